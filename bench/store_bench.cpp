// Opening, saving and the memory of the store with generated records.
#include "BenchData.h"
#include "model/ApplicationEdits.h"
#include "store/SqliteDatabase.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QTemporaryDir>

#include <malloc.h>

namespace {

void BM_OpenStore(benchmark::State& state)
{
    const QString dir = BenchData::storeWithRecords(int(state.range(0)));
    for (auto _ : state) {
        StoreLoader loader = openStore(dir);
        if (!loader.isReady()) {
            state.SkipWithError("open failed");
            break;
        }
        benchmark::DoNotOptimize(loader.store()->count());
        state.PauseTiming();
        loader = StoreLoader::failed(QString()); // closing is not part of opening
        state.ResumeTiming();
    }
}

void BM_SaveOneFieldChange(benchmark::State& state)
{
    const QString dir = BenchData::storeWithRecords(int(state.range(0)));
    StoreLoader loader = openStore(dir);
    Store& store = *loader.store();
    store.setAutosaveDelay(-1);
    JobApplication* edited = store.applications().at(store.applications().size() / 2);
    ApplicationEdits edits;
    int n = 0;
    for (auto _ : state) {
        edits.edit<ApplicationField::postingLink>(*edited, QStringLiteral("https://example.com/%1").arg(++n));
        if (!store.save()) {
            state.SkipWithError("save failed");
            break;
        }
    }
}

// SQLite's check of every page (PRAGMA quick_check), which opening now runs on the
// background read before any record is taken from the file.
void BM_QuickCheck(benchmark::State& state)
{
    const QString dir = BenchData::storeWithRecords(int(state.range(0)));
    const QString path = dir + QStringLiteral("/Applywright.sqlite");
    for (auto _ : state) {
        auto db = SqliteDatabase::open(path, SqliteDatabase::Mode::ReadOnly);
        if (!db || db.value()->quickCheck()) {
            state.SkipWithError("the check failed");
            break;
        }
    }
}

// Heap bytes held by the loaded records: the store opened, minus before.
void BM_StoreMemory(benchmark::State& state)
{
    const QString dir = BenchData::storeWithRecords(int(state.range(0)));
    double bytes = 0;
    for (auto _ : state) {
        malloc_trim(0);
        const size_t before = mallinfo2().uordblks;
        StoreLoader loader = openStore(dir);
        const size_t after = mallinfo2().uordblks;
        bytes = double(after - before);
        benchmark::DoNotOptimize(loader.store());
    }
    state.counters["heap_MiB"] = bytes / (1024.0 * 1024.0);
    state.counters["bytes_per_record"] = bytes / double(state.range(0));
}

} // namespace

BENCHMARK(BM_OpenStore)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QuickCheck)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveOneFieldChange)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StoreMemory)->Arg(10000)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    return BenchData::runBenchmarks(argc, argv);
}
