#include "ui/BackupFlow.h"

#include "backup/BackupTransfer.h"
#include "model/Clock.h"
#include "store/Store.h"
#include "tracking/WindowState.h"
#include "ui/ContentView.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QtConcurrent/QtConcurrentRun>

namespace {

QString jsonFilter()
{
    return QCoreApplication::translate("BackupFlow", "JSON files (*.json)");
}

} // namespace

BackupFlow::BackupFlow(ContentView& view, Store& store, DesktopPanels panels, QObject* parent)
    : QObject(parent)
    , m_view(view)
    , m_store(store)
    , m_panels(panels.withDefaults())
{
    m_view.setExportBackupAction([this] { exportBackup(); });
    m_view.setImportBackupAction([this] { importBackup(); });
}

BackupFlow::~BackupFlow()
{
    if (m_alertBox)
        m_alertBox->deleteLater();
}

QWidget* BackupFlow::dialogParent() const
{
    return m_view.window();
}

void BackupFlow::remember(const QString& path)
{
    m_lastFolder = QFileInfo(path).absolutePath();
}

void BackupFlow::exportBackup()
{
    auto exported = ::exportBackup(m_store);
    if (!exported) {
        post(exported.error());
        return;
    }
    m_exportDocument = std::move(exported).value();
    const QString name = defaultBackupFilename(Clock::now());
    const QString suggested = m_lastFolder.isEmpty() ? name : QDir(m_lastFolder).filePath(name);
    QString path = m_panels.saveFile(dialogParent(), tr("Export Backup"), suggested, jsonFilter());
    const BackupFile document = *std::exchange(m_exportDocument, std::nullopt);
    if (path.isEmpty())
        return; // closed without saving
    // A name typed without an extension still becomes a JSON file.
    if (QFileInfo(path).suffix().isEmpty())
        path += QLatin1Char('.') + QLatin1String(BackupFile::fileExtension);
    remember(path);
    if (auto failed = saveExportedBackup(document, path))
        post(*failed);
}

void BackupFlow::importBackup()
{
    const QString path = m_panels.openFile(dialogParent(), tr("Import Backup"), m_lastFolder, jsonFilter());
    if (path.isEmpty())
        return;
    remember(path);
    importFile(path);
}

void BackupFlow::importFile(const QString& path)
{
    // The file is untrusted and may be large: it is read and decoded on a worker
    // thread (size-capped), and only the merge touches the store, back here.
    using Read = Expected<BackupFileContents, BackupReadError>;
    auto* watcher = new QFutureWatcher<Read>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher] {
        watcher->deleteLater();
        const Read read = watcher->result();
        if (!read) {
            post(BackupMessage(read.error().description()));
        } else if (auto merged = mergeBackup(*read, m_store,
                       [this](auto records) { m_view.state().addRestoredApplications(std::move(records)); });
                   !merged) {
            post(BackupMessage(merged.error().description()));
        } else {
            post(BackupMessage(importSummary(merged->first, merged->second)));
        }
        Q_EMIT importFinished();
    });
    watcher->setFuture(QtConcurrent::run([path] { return readBackup(path); }));
}

QMessageBox* BackupFlow::makeAlert(QWidget* parent, const QString& text)
{
    auto* box = new QMessageBox(parent);
    box->setObjectName(QStringLiteral("backupAlert"));
    box->setWindowModality(Qt::WindowModal);
    box->setIcon(QMessageBox::NoIcon);
    box->setWindowTitle(tr("Backup"));
    box->setText(tr("Backup"));
    box->setInformativeText(text);
    if (auto* title = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))) {
        QFont bold = title->font();
        bold.setBold(true);
        title->setFont(bold);
    }
    // Room for a sentence on one or two lines instead of a narrow column.
    if (auto* grid = qobject_cast<QGridLayout*>(box->layout()))
        grid->addItem(new QSpacerItem(340, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
            grid->columnCount());
    QPushButton* ok = box->addButton(tr("OK"), QMessageBox::AcceptRole);
    box->setDefaultButton(ok);
    box->setEscapeButton(ok);
    return box;
}

void BackupFlow::post(const BackupMessage& message)
{
    // One message at a time: a newer one takes the place of the one on screen.
    m_message = message;
    if (m_panels.alert) {
        m_panels.alert(dialogParent(), tr("Backup"), message.text());
        m_message.reset();
        return;
    }
    if (m_alertBox) {
        m_alertBox->setInformativeText(message.text());
        return;
    }
    QMessageBox* box = makeAlert(dialogParent(), message.text());
    box->setAttribute(Qt::WA_DeleteOnClose);
    connect(box, &QMessageBox::finished, this, [this] { m_message.reset(); });
    m_alertBox = box;
    box->open();
}
