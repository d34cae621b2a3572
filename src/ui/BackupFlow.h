#pragma once

#include "backup/BackupFile.h"
#include "backup/BackupMessage.h"
#include "ui/DesktopPanels.h"

#include <QMessageBox>
#include <QObject>
#include <QPointer>

#include <optional>

class ContentView;

class Store;

// The window's backup commands. Export saves pending edits, encodes every record
// and offers the save panel; import reads the file chosen in the open panel off
// the main thread, merges it into the store and says how it went. Both end with at
// most one message in the "Backup" alert.
class BackupFlow : public QObject {
    Q_OBJECT

public:
    // Publishes "Export…" and "Import…" on `view`.
    BackupFlow(ContentView& view, Store& store, DesktopPanels panels = {}, QObject* parent = nullptr);
    ~BackupFlow() override;

    void exportBackup();
    // Shows the open panel and imports the chosen file.
    void importBackup();
    // Reads `path` in the background, then merges it and posts the result.
    void importFile(const QString& path);

    // The message shown now, until its alert is dismissed.
    const std::optional<BackupMessage>& backupMessage() const { return m_message; }
    // Set from a successful encode until the save panel closes.
    const std::optional<BackupFile>& exportDocument() const { return m_exportDocument; }
    // Where the panels open: the folder of the last file chosen in this window.
    const QString& lastFolder() const { return m_lastFolder; }
    QMessageBox* alertBox() const { return m_alertBox; }

    // The alert as the desktop shows it: title "Backup", the text, one "OK".
    static QMessageBox* makeAlert(QWidget* parent, const QString& text);

Q_SIGNALS:
    // An import finished, with or without success.
    void importFinished();

private:
    void post(const BackupMessage& message);
    QWidget* dialogParent() const;
    void remember(const QString& path);

    ContentView& m_view;
    Store& m_store;
    DesktopPanels m_panels;
    std::optional<BackupMessage> m_message;
    std::optional<BackupFile> m_exportDocument;
    QPointer<QMessageBox> m_alertBox;
    QString m_lastFolder;
};
