#include "ui/SpreadsheetFlow.h"

#include "model/Clock.h"
#include "store/Store.h"
#include "ui/ContentView.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

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
    const std::optional<QString> failed = write(*choice);
    if (!failed)
        return;
    const QString title = tr("Export as Spreadsheet");
    if (m_panels.alert) {
        m_panels.alert(m_view.window(), title, *failed);
        return;
    }
    auto* box = new QMessageBox(QMessageBox::Warning, title, title, QMessageBox::Ok, m_view.window());
    box->setObjectName(QStringLiteral("spreadsheetAlert"));
    box->setInformativeText(*failed);
    box->setWindowModality(Qt::WindowModal);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

std::optional<QString> SpreadsheetFlow::write(const Choice& choice)
{
    if (auto loaded = m_store.ensureLoaded(); !loaded)
        return loaded.error().description();
    const QByteArray data = SpreadsheetExport::document(choice.kind, m_store.applicationsByDate());
    if (auto written = SpreadsheetExport::write(data, choice.path); !written)
        return written.error().description();
    return std::nullopt;
}
