#include "ui/PostingImportFlow.h"

#include "model/JobApplication.h"
#include "posting/ExistingApplications.h"
#include "posting/PostingDraft.h"
#include "posting/PostingImportSession.h"
#include "store/Store.h"
#include "tracking/WindowState.h"
#include "ui/ClipboardPosting.h"
#include "ui/ContentView.h"
#include "ui/PostingImportSheet.h"

#include <QFileInfo>
#include <QImageReader>
#include <QStringList>

PostingImportFlow::PostingImportFlow(
    ContentView& view, DesktopPanels panels, PostingImportSession* session, QObject* parent)
    : QObject(parent)
    , m_view(view)
    , m_panels(panels.withDefaults())
    , m_session(session ? session : new PostingImportSession(this))
{
    connect(m_session, &PostingImportSession::presentingChanged, this, &PostingImportFlow::presentingChanged);
    m_view.setImportScreenshotsAction([this] { pickScreenshots(); });
    m_view.setPastePostingAction([this] { paste(); });
    m_view.setImageFilesImporter([this](const QList<QUrl>& urls) { importFiles(urls); });
}

PostingImportFlow::~PostingImportFlow()
{
    // The sheet belongs to the window, which may outlive this flow and its session.
    delete m_sheet.data();
}

QString PostingImportFlow::imageFilter()
{
    QStringList patterns;
    for (const QByteArray& format : QImageReader::supportedImageFormats())
        patterns.append(QLatin1String("*.") + QString::fromLatin1(format));
    return tr("Images (%1)").arg(patterns.join(QLatin1Char(' ')));
}

void PostingImportFlow::pickScreenshots()
{
    const QStringList paths
        = m_panels.openFiles(m_view.window(), tr("Add from Screenshot"), m_lastFolder, imageFilter());
    if (paths.isEmpty())
        return; // cancelled
    m_lastFolder = QFileInfo(paths.first()).absolutePath();
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls.append(QUrl::fromLocalFile(path));
    importFiles(urls);
}

void PostingImportFlow::importFiles(const QList<QUrl>& urls)
{
    if (urls.isEmpty())
        return;
    QStringList paths;
    for (const QUrl& url : urls)
        paths.append(url.toLocalFile());
    m_session->begin();
    // Every file goes to the session; one it cannot read becomes a failure line.
    m_session->process(paths);
}

void PostingImportFlow::openFiles(const QList<QUrl>& urls)
{
    if (m_session->isPresenting())
        m_waiting.append(urls);
    else
        importFiles(urls);
}

void PostingImportFlow::paste()
{
    const ClipboardPosting pasted = ClipboardPosting::read(m_panels.clipboard());
    switch (pasted.kind) {
    case ClipboardPosting::Kind::imageFiles: importFiles(pasted.files); return;
    case ClipboardPosting::Kind::imageData:
        m_session->begin();
        m_session->process(pasted.imageData, PostingImportSession::clipboardLabel());
        return;
    case ClipboardPosting::Kind::text:
        m_session->begin();
        m_session->addText(pasted.text, PostingImportSession::clipboardLabel());
        return;
    case ClipboardPosting::Kind::nothing:
        m_session->begin();
        m_session->addFailure(PostingImportSession::emptyClipboardFailure());
        return;
    }
}

void PostingImportFlow::commit(const QList<PostingDraft*>& drafts)
{
    if (drafts.isEmpty())
        return;
    std::vector<std::unique_ptr<JobApplication>> applications;
    applications.reserve(size_t(drafts.size()));
    for (const PostingDraft* draft : drafts)
        applications.push_back(draft->makeApplication());
    m_view.addNewApplications(std::move(applications));
}

void PostingImportFlow::presentingChanged(bool presenting)
{
    if (!presenting || m_sheet)
        return;
    auto* sheet = new PostingImportSheet(
        *m_session, [this](const QList<PostingDraft*>& drafts) { commit(drafts); }, m_view.window());
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    // However the sheet goes, the session is left clear behind it. The closed sheet
    // is deleted later; an import started before then gets a sheet of its own.
    connect(sheet, &QDialog::finished, this, [this] {
        m_sheet = nullptr;
        m_session->reset();
        // Files that came during the review start the next one.
        if (!m_waiting.isEmpty())
            QMetaObject::invokeMethod(
                this, [this] { openFiles(std::exchange(m_waiting, {})); }, Qt::QueuedConnection);
    });
    // "You already applied here": drafts are matched against the records as they are
    // when the sheet opens (the sheet is modal, so they stay so); the index is built
    // on the first look, once the store has read its records.
    WindowState& state = m_view.state();
    auto existing = std::make_shared<std::optional<ExistingApplications>>();
    m_session->setExistingRecords([&state, existing](const PostingDraft& draft) -> JobApplication* {
        Store& store = state.store();
        if (!store.isLoaded())
            return nullptr;
        if (!*existing)
            existing->emplace(store.applications());
        const std::optional<RecordID> id = (*existing)->find(draft.company(), draft.position(), draft.postingLink());
        return id ? store.application(*id) : nullptr;
    });
    // Shown in the window at once, even where the filter or the search hid it, so it
    // is there when the sheet closes.
    sheet->setRecordAction([&state](JobApplication& record) { state.reveal(record); });
    m_sheet = sheet;
    sheet->open();
}
