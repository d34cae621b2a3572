#pragma once

// What the benchmarks that open the application's window share: an environment
// that opens nothing, and the checks that a store is there to measure.

#include "app/ApplywrightApp.h"
#include "store/Store.h"
#include "store/StoreLoader.h"
#include "ui/ContentView.h"

#include <cstdio>
#include <cstdlib>

inline ContentView::Environment quietEnvironment()
{
    return {[](const QUrl&) {}, [](const QString&, const QString&) { return false; }};
}

// The benchmarks need every record in memory; a store that cannot read them
// measures nothing.
// A copy already running on the same folder takes the start over (two benchmark runs at
// once): there is no store in this process to measure.
inline void requireStore(ApplywrightApp& app)
{
    if (!app.storeLoader().isReady()) {
        std::fprintf(stderr, "the store is not open here: %s\n", qPrintable(app.storeLoader().message()));
        std::exit(1);
    }
}

inline void requireRecords(ApplywrightApp& app)
{
    requireStore(app);
    if (auto read = app.storeLoader().store()->ensureLoaded(); !read) {
        std::fprintf(stderr, "%s\n", qPrintable(read.error().description()));
        std::exit(1);
    }
}
