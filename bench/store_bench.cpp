// Opening, saving and the memory of the store with generated records.
#include "BenchData.h"
#include "model/ApplicationEdits.h"
#include "store/SqliteDatabase.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>

#include <malloc.h>
#include <sqlite3.h>

#include <vector>

namespace {

// Opening as the application starts: the file's checks before SQLite reads it, then
// every record and history row on a worker thread, until the store announces its
// records (what the window waits for to show its rows). The page check that follows
// on another worker is measured on its own (BM_QuickCheck).
void BM_OpenStore(benchmark::State& state)
{
    const QString dir = BenchData::storeWithRecords(int(state.range(0)));
    for (auto _ : state) {
        StoreLoader loader = openStore(dir, StoreLoading::inBackground);
        if (!loader.isReady()) {
            state.SkipWithError("open failed");
            break;
        }
        Store* store = loader.store();
        if (!store->isLoaded()) {
            QEventLoop wait;
            QObject::connect(store, &Store::loaded, &wait, &QEventLoop::quit);
            wait.exec();
        }
        benchmark::DoNotOptimize(store->count());
        state.PauseTiming();
        loader = StoreLoader::failed(QString()); // closing (and the check it waits for) is not part of opening
        state.ResumeTiming();
    }
}

// Opening with everything before it returns: the page check first, the records, the
// switch to the log. What a caller that reads at once (an import, a test) waits for.
void BM_OpenStoreChecked(benchmark::State& state)
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

// The anchor for opening: the load a plain program would do, every row of both tables read
// through SQLite's C interface into rows of numbers and QStrings, with none of the store's
// checks, records or history objects.
struct PlainCell {
    qint64 number = 0;
    QString text;
};

std::vector<std::vector<PlainCell>> plainRows(sqlite3* db, const char* sql)
{
    std::vector<std::vector<PlainCell>> rows;
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) != SQLITE_OK)
        return rows;
    const int columns = sqlite3_column_count(statement);
    while (sqlite3_step(statement) == SQLITE_ROW) {
        std::vector<PlainCell>& row = rows.emplace_back(size_t(columns));
        for (int c = 0; c < columns; ++c) {
            if (sqlite3_column_type(statement, c) == SQLITE_TEXT) {
                const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, c));
                row[size_t(c)].text = QString::fromUtf8(text, sqlite3_column_bytes(statement, c));
            } else {
                row[size_t(c)].number = sqlite3_column_int64(statement, c);
            }
        }
    }
    sqlite3_finalize(statement);
    return rows;
}

void BM_AnchorPlainLoad(benchmark::State& state)
{
    const QByteArray path = QFile::encodeName(BenchData::storeWithRecords(int(state.range(0)))) + "/Applywright.sqlite";
    std::vector<std::vector<PlainCell>> applications;
    std::vector<std::vector<PlainCell>> history;
    size_t read = 0;
    for (auto _ : state) {
        sqlite3* db = nullptr;
        if (sqlite3_open_v2(path.constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
            state.SkipWithError("open failed");
            sqlite3_close(db);
            break;
        }
        applications = plainRows(db, "SELECT * FROM JobApplication");
        history = plainRows(db, "SELECT * FROM StatusChange");
        read = applications.size();
        benchmark::DoNotOptimize(history.data());
        state.PauseTiming();
        // Closing and letting go are not part of opening, here as for the store.
        sqlite3_close(db);
        applications.clear();
        history.clear();
        state.ResumeTiming();
    }
    state.counters["records"] = double(read);
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

// SQLite's check of every page (PRAGMA quick_check): on a worker after the records
// are shown when the application starts, first when the store is read at once.
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
BENCHMARK(BM_OpenStoreChecked)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AnchorPlainLoad)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QuickCheck)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveOneFieldChange)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StoreMemory)->Arg(10000)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    return BenchData::runBenchmarks(argc, argv);
}
