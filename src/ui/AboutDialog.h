#pragma once

#include <QDialog>
#include <QString>
#include <QUrl>

#include <functional>

class QLabel;
class QPlainTextEdit;
class QPushButton;

// Help ▸ About Applywright: the version this build carries, where the data lives
// (with a way to show that folder) and the licence texts of the application and of
// what it bundles. It changes nothing.
class AboutDialog : public QDialog {
    Q_OBJECT

public:
    // Opens an address in the desktop's viewer for it (the file manager for a folder).
    using Opener = std::function<void(const QUrl&)>;

    // `opener` empty: QDesktopServices::openUrl.
    explicit AboutDialog(QString dataDirectory, Opener opener = {}, QWidget* parent = nullptr);

    QLabel* versionLabel() const { return m_version; }
    QLabel* dataFolderLabel() const { return m_dataFolder; }
    QPushButton* revealButton() const { return m_reveal; }
    QPlainTextEdit* licenceText() const { return m_licences; }

    // The application's licence, then the bundled icon set's, as shipped.
    static QString licenceTexts();

protected:
    void changeEvent(QEvent* event) override;

private:
    void applyStyle();

    QString m_dataDirectory;
    Opener m_opener;
    QLabel* m_icon;
    QLabel* m_name;
    QLabel* m_version;
    QLabel* m_summary;
    QLabel* m_dataHeading;
    QLabel* m_dataFolder;
    QPushButton* m_reveal;
    QLabel* m_licenceHeading;
    QPlainTextEdit* m_licences;
};
