// The main window while the spreadsheet export runs over 20,000 applications: the
// longest time the main thread is kept from its event loop (MainThreadStalls), for
// the export as the command runs it, for the whole file built and written in the
// command's handler (as the command did before), and for the window left idle as
// long as the export takes (the plain anchor).
//
// Runs on the offscreen platform unless QT_QPA_PLATFORM says otherwise. TZ is left
// as the environment has it.
#include "BenchData.h"
#include "MainThreadStalls.h"

#include "backup/SpreadsheetExport.h"
#include "tracking/TodayProvider.h"
#include "ui/ContentView.h"
#include "ui/SpreadsheetFlow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

namespace {

enum class How { idle, inTheHandler, asTheCommandRunsIt };

void exportWhileTheWindowPaints(benchmark::State& state)
{
    const int count = int(state.range(0));
    const auto kind = state.range(1) == 0 ? SpreadsheetExport::Kind::applications : SpreadsheetExport::Kind::history;
    const auto how = How(state.range(2));
    StoreLoader loader = openStore(BenchData::storeWithRecords(count));
    if (!loader.isReady()) {
        state.SkipWithError("store");
        return;
    }
    Store& store = *loader.store();
    TodayProvider today;
    ContentView view(store, today);
    view.resize(1080, 720);
    view.show();
    QString failure;
    SpreadsheetFlow::Panels panels;
    panels.alert = [&failure](QWidget*, const QString&, const QString& text) { failure = text; };
    SpreadsheetFlow flow(view, store, panels);
    QApplication::processEvents();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("export.csv"));

    MainThreadStalls stalls([&view] { view.window()->repaint(); });
    double exportMs = 0;
    double idleMs = 1000; // how long the idle window is watched before an export was timed
    for (auto _ : state) {
        bool done = false;
        const QMetaObject::Connection finished
            = QObject::connect(&flow, &SpreadsheetFlow::finished, [&done](const QString&) { done = true; });
        QElapsedTimer total;
        stalls.start();
        total.start();
        switch (how) {
        case How::idle: QTimer::singleShot(int(idleMs), [&done] { done = true; }); break;
        case How::inTheHandler:
            QTimer::singleShot(0, [&] {
                if (!SpreadsheetExport::write(SpreadsheetExport::document(kind, store.applicationsByDate()), path))
                    failure = QStringLiteral("write");
                done = true;
            });
            break;
        case How::asTheCommandRunsIt: flow.write({path, kind}); break;
        }
        while (!done)
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        exportMs = double(total.nsecsElapsed()) / 1e6;
        // A handler that ran to the end in one go is a gap the next tick still has to see.
        QElapsedTimer settle;
        settle.start();
        while (settle.elapsed() < 20)
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        stalls.stop();
        QObject::disconnect(finished);
        if (!failure.isEmpty())
            state.SkipWithError(qPrintable(failure));
    }
    state.counters["longest_stall_ms"] = stalls.longestMs();
    state.counters["longest_busy_ms"] = stalls.longestBusyMs();
    state.counters["p99_gap_ms"] = stalls.percentileMs(0.99);
    state.counters["longest_repaint_ms"] = stalls.longestRepaintMs();
    state.counters["export_ms"] = exportMs;
    state.counters["ticks"] = stalls.ticks();
}

} // namespace

// {records, 0: applications / 1: history, How}
BENCHMARK(exportWhileTheWindowPaints)
    ->Args({20000, 0, int(How::idle)})
    ->Args({20000, 0, int(How::inTheHandler)})
    ->Args({20000, 0, int(How::asTheCommandRunsIt)})
    ->Args({20000, 1, int(How::inTheHandler)})
    ->Args({20000, 1, int(How::asTheCommandRunsIt)})
    ->Iterations(1)
    ->Repetitions(3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    return BenchData::runBenchmarks(argc, argv);
}
