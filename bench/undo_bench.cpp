// Taking back a backup import of 10,000 records: the step undone (the records leave
// the store, the visible list is computed again), the save that writes their
// removal, and in the main window the step with the list's update and a repaint;
// doing it again as well. A plain anchor runs in the same process, so results from
// machines of other speeds compare as ratios. Runs offscreen unless QT_QPA_PLATFORM says otherwise.
#include "BenchData.h"

#include "app/ApplywrightApp.h"
#include "backup/BackupTransfer.h"
#include "model/Clock.h"
#include "tracking/TodayProvider.h"
#include "tracking/WindowState.h"
#include "ui/ApplicationListView.h"
#include "ui/ContentView.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QListView>
#include <QMainWindow>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace {

constexpr int imported = 10000;
const QDateTime benchNow = QDateTime(QDate(2025, 6, 1), QTime(12, 0), Qt::UTC);

// The backup: generated records like the store's, three history entries each, new identifiers.
const BackupFileContents& backup()
{
    static const BackupFileContents contents = [] {
        QRandomGenerator random(7);
        QList<ApplicationBackup> entries;
        for (int i = 0; i < imported; ++i) {
            ApplicationBuilder record(BenchData::makeValues(random, i, benchNow));
            const std::unique_ptr<JobApplication> built = BenchData::addHistory(record).build();
            entries.append(makeApplicationBackup(*built));
        }
        return BackupFileContents::makeForExport(std::move(entries));
    }();
    return contents;
}

// A copy of the generated store of `records` records, in a folder of its own.
QString storeCopy(QTemporaryDir& dir, int records)
{
    const QString source = BenchData::storeWithRecords(records) + QStringLiteral("/Applywright.sqlite");
    QFile::copy(source, dir.filePath(QStringLiteral("Applywright.sqlite")));
    return dir.path();
}

// Wall and this thread's CPU time, in milliseconds, since start().
class Stopwatch {
public:
    Stopwatch() { start(); }
    void start()
    {
        m_wall.start();
        m_cpu = cpuNow();
    }
    double wall() const { return double(m_wall.nsecsElapsed()) / 1e6; }
    double cpu() const { return cpuNow() - m_cpu; }

private:
    static double cpuNow()
    {
        timespec now {};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
        return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
    }
    QElapsedTimer m_wall;
    double m_cpu = 0;
};

// The window state over a store of `existing` records, the backup merged into it as one step.
void BM_UndoImport(benchmark::State& state)
{
    double cpu = 0;
    double saves = 0;
    double saveCpu = 0;
    double redos = 0;
    for (auto _ : state) {
        QTemporaryDir dir;
        StoreLoader loader = openStore(storeCopy(dir, int(state.range(0))));
        Store& store = *loader.store();
        store.setAutosaveDelay(-1);
        TodayProvider today;
        WindowState window(store, today);
        const auto merged = mergeBackup(
            backup(), store, [&window](auto records) { window.addRestoredApplications(std::move(records)); });
        if (!merged || merged->first != imported) {
            state.SkipWithError("the merge failed");
            break;
        }
        QCoreApplication::processEvents();
        Stopwatch timer;
        window.undoStack().undo();
        state.SetIterationTime(timer.wall() / 1000);
        cpu += timer.cpu();
        timer.start();
        (void)store.save();
        saves += timer.wall();
        saveCpu += timer.cpu();
        timer.start();
        window.undoStack().redo();
        QCoreApplication::processEvents();
        redos += timer.wall();
        if (store.count() != state.range(0) + imported)
            state.SkipWithError("the redo lost records");
    }
    state.counters["cpu_ms"] = benchmark::Counter(cpu, benchmark::Counter::kAvgIterations);
    state.counters["save_ms"] = benchmark::Counter(saves, benchmark::Counter::kAvgIterations);
    state.counters["save_cpu_ms"] = benchmark::Counter(saveCpu, benchmark::Counter::kAvgIterations);
    state.counters["redo_ms"] = benchmark::Counter(redos, benchmark::Counter::kAvgIterations);
}

// The same in the main window, shown: Ctrl+Z's whole work until the list is painted again.
void BM_UndoImportInWindow(benchmark::State& state)
{
    double cpu = 0;
    for (auto _ : state) {
        QTemporaryDir dir;
        ApplywrightApp app(storeCopy(dir, int(state.range(0))),
            {[](const QUrl&) {}, [](const QString&, const QString&) { return false; }});
        auto window = app.createWindow();
        window->show();
        auto* content = window->findChild<ContentView*>();
        (void)mergeBackup(backup(), *app.storeLoader().store(),
            [content](auto records) { content->state().addRestoredApplications(std::move(records)); });
        QApplication::processEvents();
        QWidget* rows = content->listView()->listView()->viewport();
        rows->repaint();
        Stopwatch timer;
        content->state().undoStack().undo();
        QApplication::processEvents();
        rows->repaint();
        state.SetIterationTime(timer.wall() / 1000);
        cpu += timer.cpu();
        if (content->state().totalCount() != state.range(0))
            state.SkipWithError("the undo left records behind");
    }
    state.counters["cpu_ms"] = benchmark::Counter(cpu, benchmark::Counter::kAvgIterations);
}

void BM_Anchor(benchmark::State& state)
{
    BenchData::sortAnchor(state);
}

} // namespace

BENCHMARK(BM_Anchor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UndoImport)->Arg(0)->Arg(10000)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UndoImportInWindow)->Arg(0)->Arg(10000)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    Clock::setFixed(benchNow);
    return BenchData::runBenchmarks(argc, argv);
}
