#pragma once

#include "store/StoreLoader.h"
#include "ui/ContentView.h"
#include "ui/DesktopPanels.h"

#include <QObject>

#include <memory>

class QMainWindow;
class TodayProvider;

// The application entry: opens the store before any window exists, then shows
// the main window (store ready) or the failure window (store failed). The result
// of opening holds for the whole run; there is no retry.
class ApplywrightApp : public QObject {
    Q_OBJECT

public:
    static constexpr int defaultWidth = 1080;
    static constexpr int defaultHeight = 720;
    static constexpr int minimumWidth = 860;
    static constexpr int minimumHeight = 560;

    // Opens the store in `dataDirectory`, or in the default data folder. The
    // environment reaches the desktop (opening addresses, confirmations); tests
    // pass their own.
    explicit ApplywrightApp(
        const QString& dataDirectory = QString(), ContentView::Environment environment = {}, QObject* parent = nullptr);
    ~ApplywrightApp() override;

    const StoreLoader& storeLoader() const { return m_loader; }
    // The folder that holds (or would hold) the database.
    const QString& dataDirectory() const { return m_dataDirectory; }

    // The day clock, created on first use; never created when the store failed.
    TodayProvider* todayProvider();
    bool hasTodayProvider() const { return m_today != nullptr; }

    // The file panels, the backup alert and the clipboard the window's flows use;
    // the desktop's own unless set before createWindow().
    void setDesktopPanels(DesktopPanels panels) { m_panels = std::move(panels); }

    // Builds the window for the kept result, with its menu commands, and returns
    // it (owned by the caller): the main window's content, or the failure view.
    std::unique_ptr<QMainWindow> createWindow();

private:
    // Before the loader: the loader opens the store in it.
    QString m_dataDirectory;
    StoreLoader m_loader;
    ContentView::Environment m_environment;
    DesktopPanels m_panels;
    std::unique_ptr<TodayProvider> m_today;
};
