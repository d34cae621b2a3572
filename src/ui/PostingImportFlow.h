#pragma once

#include "ui/DesktopPanels.h"
#include "ui/PostingImportSheet.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QUrl>

class ContentView;
class PostingDraft;
class PostingImportSession;

// The window's ways of bringing job postings in: screenshots picked in the open
// panel, image files dropped on the list and the clipboard. Each starts a new
// import in the window's one session, which opens the review sheet; the sheet's
// Add turns the chosen drafts into records.
class PostingImportFlow : public QObject {
    Q_OBJECT

public:
    // Publishes "Add from Screenshot…", "Paste Job Posting" and the list's image
    // drops on `view`. Without a session of its own it makes the real one.
    PostingImportFlow(ContentView& view, DesktopPanels panels = {}, PostingImportSession* session = nullptr,
        QObject* parent = nullptr);
    ~PostingImportFlow() override;

    PostingImportSession& session() const { return *m_session; }
    // The review sheet while it is open.
    PostingImportSheet* sheet() const { return m_sheet; }
    // Where the screenshot panel opens: the folder of the last pick in this window.
    const QString& lastFolder() const { return m_lastFolder; }

    // Shows the screenshot open panel and imports the chosen files.
    void pickScreenshots();
    // Starts an import of image files, in this order (nothing for an empty list).
    void importFiles(const QList<QUrl>& urls);
    // Image files handed over from outside the window (the command line, a second
    // start): imported at once, or, while a review is open, as soon as its sheet
    // closes, so the drafts under review are never replaced.
    void openFiles(const QList<QUrl>& urls);
    // Files handed over while a review was open, in the order they came.
    const QList<QUrl>& waitingFiles() const { return m_waiting; }
    // Starts an import from what the clipboard holds.
    void paste();
    // The sheet's Add: one record per draft, then the window shows the first.
    void commit(const QList<PostingDraft*>& drafts);

    // The open panel's filter: every image type the decoder reads.
    static QString imageFilter();

private:
    void presentingChanged(bool presenting);

    ContentView& m_view;
    DesktopPanels m_panels;
    PostingImportSession* m_session;
    QPointer<PostingImportSheet> m_sheet;
    QString m_lastFolder;
    QList<QUrl> m_waiting;
};
