#pragma once

#include "store/StoreLoader.h"

#include <QObject>

#include <memory>

class QWidget;
class TodayProvider;

// The application entry: opens the store before any window exists, then shows
// the main window (store ready) or the failure window (store failed). The result
// of opening holds for the whole run; there is no retry.
class ApplywrightApp : public QObject {
    Q_OBJECT

public:
    // Opens the store in `dataDirectory`, or in the default data folder.
    explicit ApplywrightApp(const QString& dataDirectory = QString(), QObject* parent = nullptr);
    ~ApplywrightApp() override;

    const StoreLoader& storeLoader() const { return m_loader; }

    // The day clock, created on first use; never created when the store failed.
    TodayProvider* todayProvider();
    bool hasTodayProvider() const { return m_today != nullptr; }

    // Builds the window for the kept result and returns it (owned by the caller).
    std::unique_ptr<QWidget> createWindow();

private:
    StoreLoader m_loader;
    std::unique_ptr<TodayProvider> m_today;
};
