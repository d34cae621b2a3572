#pragma once

#include <QString>
#include <QUrl>
#include <QWidget>

#include <functional>

class ContentUnavailableView;
class QLabel;
class QPushButton;

// The window content when the store could not be opened: the data is still on
// disk, here is what went wrong, and a button that shows the data folder in the
// file manager. It changes nothing on disk and offers no retry.
class StoreErrorView : public QWidget {
    Q_OBJECT

public:
    // Opens an address in the desktop's viewer for it (the file manager for a folder).
    using Opener = std::function<void(const QUrl&)>;

    static constexpr int maximumMessageLines = 8;
    static constexpr int messagePadding = 10;
    static constexpr int messageCornerRadius = 6;
    static constexpr qreal messageBackgroundOpacity = 0.35;
    static constexpr int descriptionWidth = 520;
    static constexpr int descriptionSpacing = 14;

    // `opener` empty: QDesktopServices::openUrl.
    StoreErrorView(QString message, QString dataDirectory, Opener opener = {}, QWidget* parent = nullptr);

    const QString& message() const { return m_message; }
    const QString& dataDirectory() const { return m_dataDirectory; }

    QLabel* messageLabel() const { return m_messageLabel; }
    QPushButton* revealButton() const;

    // "Show Data Folder in Finder" on macOS, "… in File Manager" elsewhere.
    static QString revealButtonTitle();
    // `text` cut to `maxLines` lines of `width` pixels, the last line ending in "…".
    static QString elideToLines(const QString& text, const QFont& font, int width, int maxLines);
    // The message as the window lays it out: a quoted path may break only after
    // its separators, never at a hyphen or a dot inside a name.
    static QString forDisplay(const QString& message);
    // The text a person copies: what forDisplay() shows, back as it was.
    static QString fromDisplay(const QString& shown);

protected:
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void reveal();
    void fitDescription(int width);
    void applyStyle();

    QString m_message;
    QString m_dataDirectory;
    Opener m_opener;
    ContentUnavailableView* m_content;
    QLabel* m_intro;
    QWidget* m_messageBox;
    QLabel* m_messageLabel;
};
