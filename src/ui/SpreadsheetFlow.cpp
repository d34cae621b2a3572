#include "ui/SpreadsheetFlow.h"

#include "model/Clock.h"
#include "store/Store.h"
#include "ui/ContentView.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QMessageBox>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

using Kind = SpreadsheetExport::Kind;

SpreadsheetFlow::SpreadsheetFlow(ContentView& view, Store& store, Panels panels, QObject* parent)
    : QObject(parent)
    , m_view(view)
    , m_store(store)
    , m_panels(std::move(panels))
{
    if (!m_panels.saveFile) {
        m_panels.saveFile = [](QWidget* window, const QString& suggested) -> std::optional<Choice> {
            QString selected = applicationsFilter();
            const QString path = QFileDialog::getSaveFileName(window, tr("Export as Spreadsheet"), suggested,
                applicationsFilter() + QLatin1String(";;") + historyFilter(), &selected);
            if (path.isEmpty())
                return std::nullopt;
            return Choice {path, selected == historyFilter() ? Kind::history : Kind::applications};
        };
    }
    m_view.setExportSpreadsheetAction([this] { exportSpreadsheet(); });
}

QString SpreadsheetFlow::applicationsFilter()
{
    return tr("Applications, one row each (*.csv)");
}

QString SpreadsheetFlow::historyFilter()
{
    return tr("Status history, one row per change (*.csv)");
}

void SpreadsheetFlow::exportSpreadsheet()
{
    const QString name = SpreadsheetExport::defaultFilename(Kind::applications, Clock::now());
    const QString suggested = m_lastFolder.isEmpty() ? name : QDir(m_lastFolder).filePath(name);
    std::optional<Choice> choice = m_panels.saveFile(m_view.window(), suggested);
    if (!choice || choice->path.isEmpty())
        return;
    // The history under the applications' default name gets a name of its own.
    if (choice->kind == Kind::history && QFileInfo(choice->path).fileName() == name)
        choice->path
            = QFileInfo(choice->path).dir().filePath(SpreadsheetExport::defaultFilename(Kind::history, Clock::now()));
    if (QFileInfo(choice->path).suffix().isEmpty())
        choice->path += QLatin1String(".csv");
    m_lastFolder = QFileInfo(choice->path).absolutePath();
    write(*choice);
}

// One export on its way: what is left to copy, and the copies so far.
struct SpreadsheetFlow::Export {
    SpreadsheetFlow::Choice choice;
    QList<RecordID> records;
    qsizetype copied = 0;
    SpreadsheetExport::Spreadsheet spreadsheet;
};

void SpreadsheetFlow::write(const Choice& choice)
{
    if (auto loaded = m_store.ensureLoaded(); !loaded) {
        finish(loaded.error().description());
        return;
    }
    // The texts are looked up now, in the language the person sees.
    auto job = std::make_shared<Export>(Export {choice, {}, 0, SpreadsheetExport::Spreadsheet(choice.kind)});
    const QList<JobApplication*>& records = m_store.applicationsByDate();
    job->records.reserve(records.size());
    for (const JobApplication* record : records)
        job->records.append(record->id());
    copyMore(job);
}

void SpreadsheetFlow::copyMore(const std::shared_ptr<Export>& job)
{
    const qsizetype end = std::min(job->copied + recordsPerTurn, job->records.size());
    for (; job->copied < end; ++job->copied) {
        // A record deleted since the export began is no longer there to copy.
        if (const JobApplication* record = m_store.application(job->records.at(job->copied)))
            job->spreadsheet.add(*record);
    }
    if (job->copied < job->records.size()) {
        QTimer::singleShot(0, this, [this, job] { copyMore(job); });
        return;
    }
    using Outcome = std::optional<QString>;
    auto* watcher = new QFutureWatcher<Outcome>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher] {
        watcher->deleteLater();
        finish(watcher->result());
    });
    watcher->setFuture(QtConcurrent::run([spreadsheet = job->spreadsheet, path = job->choice.path]() -> Outcome {
        if (auto written = SpreadsheetExport::write(spreadsheet.document(), path); !written)
            return written.error().description();
        return std::nullopt;
    }));
}

void SpreadsheetFlow::finish(const std::optional<QString>& failure)
{
    Q_EMIT finished(failure.value_or(QString()));
    if (!failure)
        return;
    const QString title = tr("Export as Spreadsheet");
    if (m_panels.alert) {
        m_panels.alert(m_view.window(), title, *failure);
        return;
    }
    auto* box = new QMessageBox(QMessageBox::Warning, title, title, QMessageBox::Ok, m_view.window());
    box->setObjectName(QStringLiteral("spreadsheetAlert"));
    box->setInformativeText(*failure);
    box->setWindowModality(Qt::WindowModal);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}
