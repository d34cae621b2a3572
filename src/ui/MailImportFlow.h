#pragma once

#include "mail/MailStatusUpdates.h"
#include "ui/DesktopPanels.h"
#include "ui/MailImportSheet.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QUrl>

class ContentView;
class MailImportSession;
class QMimeData;

// The window's ways of bringing mail in: File ▸ Import Mail… (a panel for .eml and
// .mbox files), messages dropped on the list as files or as text, and Paste when the
// clipboard holds a message. Each starts a new import in the window's mail session,
// which opens the review; its Apply changes the applications.
class MailImportFlow : public QObject {
    Q_OBJECT

public:
    MailImportFlow(ContentView& view, DesktopPanels panels = {}, QObject* parent = nullptr);
    ~MailImportFlow() override;

    MailImportSession& session() const { return *m_session; }
    MailImportSheet* sheet() const { return m_sheet; }

    // Shows the open panel and imports the chosen files.
    void pickFiles();
    void importFiles(const QList<QUrl>& urls);
    // Message text, with or without its headers.
    void importText(const QString& text, const QString& label);
    // Takes the clipboard when it holds a message (mail files, a message's data, or
    // text that starts with mail headers); false leaves it to the posting paste.
    bool pasteIfMail();
    // The review's Apply.
    void apply(const QList<MailStatusUpdate>& changes);

    // "Mail (*.eml *.mbox)".
    static QString mailFilter();
    // A message the clipboard holds as text: its headers first, or the raw message.
    static QString messageText(const QMimeData& data);

private:
    void begin();
    void presentingChanged(bool presenting);

    ContentView& m_view;
    DesktopPanels m_panels;
    MailImportSession* m_session;
    QPointer<MailImportSheet> m_sheet;
    QString m_lastFolder;
};
