#include "ui/MailImportFlow.h"

#include "mail/MailImportSession.h"
#include "mail/MailReader.h"
#include "store/Store.h"
#include "tracking/WindowState.h"
#include "ui/ApplicationListView.h"
#include "ui/ClipboardPosting.h"
#include "ui/ContentView.h"

#include <QFileInfo>
#include <QMimeData>

MailImportFlow::MailImportFlow(ContentView& view, DesktopPanels panels, QObject* parent)
    : QObject(parent)
    , m_view(view)
    , m_panels(panels.withDefaults())
    , m_session(new MailImportSession(this))
{
    connect(m_session, &MailImportSession::presentingChanged, this, &MailImportFlow::presentingChanged);
    m_view.setImportMailAction([this] { pickFiles(); });
    m_view.setMailImporters([this](const QList<QUrl>& urls) { importFiles(urls); },
        [this](const QString& text) { importText(text, tr("Dropped text")); }, [this] { return pasteIfMail(); });
}

MailImportFlow::~MailImportFlow()
{
    delete m_sheet.data();
}

QString MailImportFlow::mailFilter()
{
    return tr("Mail (*.eml *.mbox)");
}

QString MailImportFlow::messageText(const QMimeData& data)
{
    // Some mail programs offer the dragged or copied message itself.
    if (data.hasFormat(QStringLiteral("message/rfc822")))
        return QString::fromUtf8(data.data(QStringLiteral("message/rfc822")));
    const QString text = data.text();
    return MailReader::startsWithHeaders(text) ? text : QString();
}

void MailImportFlow::begin()
{
    QList<MailCandidate> applications;
    Store& store = m_view.state().store();
    if (store.isLoaded()) {
        for (const JobApplication* record : store.applications())
            applications.append(MailCandidate::of(*record));
    }
    m_session->begin(std::move(applications));
}

void MailImportFlow::pickFiles()
{
    const QStringList paths = m_panels.openFiles(m_view.window(), tr("Import Mail"), m_lastFolder, mailFilter());
    if (paths.isEmpty())
        return;
    m_lastFolder = QFileInfo(paths.first()).absolutePath();
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls.append(QUrl::fromLocalFile(path));
    importFiles(urls);
}

void MailImportFlow::importFiles(const QList<QUrl>& urls)
{
    if (urls.isEmpty() || m_session->isPresenting())
        return;
    QStringList paths;
    for (const QUrl& url : urls)
        paths.append(url.toLocalFile());
    begin();
    m_session->processFiles(paths);
}

void MailImportFlow::importText(const QString& text, const QString& label)
{
    if (text.trimmed().isEmpty() || m_session->isPresenting())
        return;
    begin();
    m_session->processText(text, label);
}

bool MailImportFlow::pasteIfMail()
{
    const QMimeData* data = m_panels.clipboard();
    if (!data)
        return false;
    const QList<QUrl> files = ApplicationListView::mailFiles(ClipboardPosting::fileLocations(*data));
    if (!files.isEmpty()) {
        importFiles(files);
        return true;
    }
    const QString text = messageText(*data);
    if (text.isEmpty())
        return false;
    importText(text, MailImportSession::clipboardLabel());
    return true;
}

void MailImportFlow::apply(const QList<MailStatusUpdate>& changes)
{
    applyMailUpdates(m_view.state(), changes);
}

void MailImportFlow::presentingChanged(bool presenting)
{
    if (!presenting || m_sheet)
        return;
    auto* sheet = new MailImportSheet(
        *m_session, [this](const QList<MailStatusUpdate>& changes) { apply(changes); }, m_view.window());
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    connect(sheet, &QDialog::finished, this, [this] {
        m_sheet = nullptr;
        m_session->reset();
    });
    m_sheet = sheet;
    sheet->open();
}
