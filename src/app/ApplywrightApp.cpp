#include "app/ApplywrightApp.h"

#include "app/ApplicationCommands.h"
#include "store/Store.h"
#include "tracking/TodayProvider.h"
#include "ui/BackupFlow.h"
#include "ui/PostingImportFlow.h"
#include "ui/StoreErrorView.h"

#include <QMainWindow>

ApplywrightApp::ApplywrightApp(const QString& dataDirectory, ContentView::Environment environment, QObject* parent)
    : QObject(parent)
    , m_dataDirectory(dataDirectory.isEmpty() ? defaultDataDirectory() : dataDirectory)
    , m_loader(openStore(m_dataDirectory, StoreLoading::inBackground))
    , m_environment(std::move(environment))
{
}

ApplywrightApp::~ApplywrightApp() = default;

TodayProvider* ApplywrightApp::todayProvider()
{
    if (!m_today)
        m_today = std::make_unique<TodayProvider>();
    return m_today.get();
}

std::unique_ptr<QMainWindow> ApplywrightApp::createWindow()
{
    auto window = std::make_unique<QMainWindow>();
    window->setObjectName(QStringLiteral("mainWindow"));
    window->setWindowTitle(tr("Applywright"));
    window->resize(defaultWidth, defaultHeight);
    window->setMinimumSize(minimumWidth, minimumHeight);

    FocusedActions* published = nullptr;
    if (m_loader.isReady()) {
        auto* content = new ContentView(*m_loader.store(), *todayProvider(), m_environment, window.get());
        published = content->focusedActions();
        // Backups, screenshots, drops and the clipboard: every remaining command.
        new BackupFlow(*content, *m_loader.store(), m_panels, content);
        new PostingImportFlow(*content, m_panels, nullptr, content);
        window->setCentralWidget(content);
        content->setFocus();
        // The records are read while the window paints. Should that read fail, the
        // window turns into the failure window; nothing has been written by then.
        QMainWindow* shown = window.get();
        Store* store = m_loader.store();
        const auto checkLoad = [this, shown, store] {
            if (auto loaded = store->ensureLoaded(); !loaded) {
                shown->setCentralWidget(
                    new StoreErrorView(loaded.error().description(), m_dataDirectory, m_environment.openURL, shown));
            }
        };
        if (store->isLoaded())
            checkLoad();
        else
            connect(store, &Store::loaded, shown, checkLoad, Qt::SingleShotConnection);
    } else {
        // The day clock is not needed, and so never made, on this path.
        window->setCentralWidget(
            new StoreErrorView(m_loader.message(), m_dataDirectory, m_environment.openURL, window.get()));
    }
    new ApplicationCommands(*window, published);
    return window;
}
