// The list query over generated records, beside SQLite running the query a
// straightforward implementation would send for the same filter, search and sort.
#include "BenchData.h"

#include "model/Clock.h"
#include "tracking/ListQuery.h"
#include "tracking/StatusFilter.h"
#include "tracking/SummaryCounts.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QCoreApplication>

#include <map>

namespace {

const QDateTime benchNow = QDateTime(QDate(2025, 6, 1), QTime(12, 0), Qt::UTC);

struct Dataset {
    std::vector<std::unique_ptr<JobApplication>> owned;
    QList<JobApplication*> base; // latest application first
    sqlite3* db = nullptr;
};

Dataset& dataset(int count)
{
    static std::map<int, Dataset> cache;
    auto found = cache.find(count);
    if (found != cache.end())
        return found->second;
    Dataset& d = cache[count];
    QRandomGenerator random(7);
    for (int i = 0; i < count; ++i)
        d.owned.push_back(BenchData::makeApplication(random, i, benchNow));
    for (auto& a : d.owned)
        d.base.append(a.get());
    std::stable_sort(
        d.base.begin(), d.base.end(), [](auto* a, auto* b) { return a->applicationDate() > b->applicationDate(); });

    sqlite3_open(":memory:", &d.db);
    sqlite3_exec(d.db,
        "CREATE TABLE app (id INTEGER PRIMARY KEY, companyName TEXT, position TEXT, notes TEXT, "
        "hrContactName TEXT, hrContactEmail TEXT, techInterviewerName TEXT, techInterviewerRole TEXT, "
        "statusRaw TEXT, workModelRaw TEXT, applicationDate INTEGER)",
        nullptr, nullptr, nullptr);
    sqlite3_exec(d.db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(d.db, "INSERT INTO app VALUES (?,?,?,?,?,?,?,?,?,?,?)", -1, &insert, nullptr);
    int id = 0;
    for (auto& a : d.owned) {
        const QByteArray texts[] = {a->companyName().toUtf8(), a->position().toUtf8(), a->notes().utf8().toByteArray(),
            a->hrContactName().toUtf8(), a->hrContactEmail().toUtf8(), a->techInterviewerName().toUtf8(),
            a->techInterviewerRole().toUtf8(), a->statusRaw().toUtf8(), a->workModelRaw().toUtf8()};
        sqlite3_bind_int(insert, 1, ++id);
        for (int i = 0; i < 9; ++i)
            sqlite3_bind_text(insert, i + 2, texts[i].constData(), int(texts[i].size()), SQLITE_TRANSIENT);
        sqlite3_bind_int64(insert, 11, a->applicationDate().toMSecsSinceEpoch());
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_exec(d.db, "COMMIT", nullptr, nullptr, nullptr);
    return d;
}

// Arguments: record count, sort option, status filter (an index into
// StatusFilter::allFilters(): all, active, then each status) and whether the
// search text "engineer" is set: 7 × 2 × 4 = 56 combinations a record count.
struct Combination {
    explicit Combination(const benchmark::State& state)
        : filter(StatusFilter::allFilters().at(qsizetype(state.range(2))))
        , search(state.range(3) ? QStringLiteral("engineer") : QString())
        , sort(SortOption(state.range(1)))
    {
    }
    StatusFilter filter;
    QString search;
    SortOption sort;
};

void BM_VisibleApplications(benchmark::State& state)
{
    Clock::setFixed(benchNow);
    Dataset& d = dataset(int(state.range(0)));
    const Combination c(state);
    visibleApplications(d.base, c.filter, c.search, c.sort); // fills the per-record caches once
    qsizetype shown = 0;
    for (auto _ : state) {
        const auto visible = visibleApplications(d.base, c.filter, c.search, c.sort);
        shown = visible.size();
        benchmark::DoNotOptimize(visible.data());
    }
    state.counters["shown"] = double(shown);
    Clock::reset();
}

// The first search after loading (or after every record changed): no cached text.
void BM_VisibleApplicationsColdCache(benchmark::State& state)
{
    Clock::setFixed(benchNow);
    Dataset& d = dataset(int(state.range(0)));
    const auto sort = SortOption(state.range(1));
    for (auto _ : state) {
        state.PauseTiming();
        for (JobApplication* a : d.base)
            a->derivedCache().clear();
        state.ResumeTiming();
        const auto visible = visibleApplications(d.base, StatusFilter::active(), QStringLiteral("engineer"), sort);
        benchmark::DoNotOptimize(visible.data());
    }
    Clock::reset();
}

void BM_SqliteBaseline(benchmark::State& state)
{
    Dataset& d = dataset(int(state.range(0)));
    const Combination c(state);
    QByteArray sql = "SELECT id FROM app WHERE 1";
    switch (c.filter.kind()) {
    case StatusFilter::Kind::all: break;
    case StatusFilter::Kind::active: sql += " AND statusRaw NOT IN ('offer', 'rejected')"; break;
    case StatusFilter::Kind::status:
        // An unknown raw status reads as applied.
        if (c.filter.identifier() == QLatin1String("applied"))
            sql += " AND statusRaw NOT IN ('hrInterview', 'techInterview', 'offer', 'rejected')";
        else
            sql += " AND statusRaw = '" + c.filter.identifier().toLatin1() + "'";
        break;
    }
    if (!c.search.isEmpty())
        sql += " AND (companyName || ' ' || position || ' ' || notes || ' ' || hrContactName || ' ' || "
               "hrContactEmail || ' ' || techInterviewerName || ' ' || techInterviewerRole || ' ' || "
               "CASE statusRaw WHEN 'hrInterview' THEN 'HR Interview' WHEN 'techInterview' THEN 'Tech Interview' "
               "WHEN 'offer' THEN 'Offer' WHEN 'rejected' THEN 'Rejected' ELSE 'Applied' END || ' ' || "
               "CASE workModelRaw WHEN 'hybrid' THEN 'Hybrid' WHEN 'onSite' THEN 'On-site' ELSE 'Remote' END) "
               "LIKE '%engineer%'";
    switch (c.sort) {
    case SortOption::newest: sql += " ORDER BY applicationDate DESC"; break;
    case SortOption::longestWaiting:
        sql += " ORDER BY statusRaw IN ('offer', 'rejected'), "
               "julianday(applicationDate / 1000, 'unixepoch', 'localtime', 'start of day') ASC, "
               "applicationDate DESC";
        break;
    case SortOption::company: sql += " ORDER BY companyName COLLATE NOCASE"; break;
    case SortOption::status:
        sql += " ORDER BY CASE statusRaw WHEN 'hrInterview' THEN 1 WHEN 'techInterview' THEN 2 WHEN 'offer' THEN 3 "
               "WHEN 'rejected' THEN 4 ELSE 0 END, applicationDate DESC";
        break;
    }
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(d.db, sql.constData(), -1, &statement, nullptr);
    qsizetype shown = 0;
    for (auto _ : state) {
        std::vector<qint64> ids;
        while (sqlite3_step(statement) == SQLITE_ROW)
            ids.push_back(sqlite3_column_int64(statement, 0));
        sqlite3_reset(statement);
        shown = qsizetype(ids.size());
        benchmark::DoNotOptimize(ids.data());
    }
    sqlite3_finalize(statement);
    state.counters["shown"] = double(shown);
}

void BM_SummaryCounts(benchmark::State& state)
{
    Dataset& d = dataset(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(summaryCounts(d.base, benchNow));
}

void queryArguments(benchmark::internal::Benchmark* b)
{
    b->ArgNames({"records", "sort", "filter", "search"});
    // A search folds texts on every core: the processor time is the whole process's.
    b->MeasureProcessCPUTime();
    for (int count : {1000, 10000, 100000})
        for (int sort = 0; sort < 4; ++sort)
            for (int filter = 0; filter < StatusFilter::allFilters().size(); ++filter)
                for (int search = 0; search < 2; ++search)
                    b->Args({count, sort, filter, search});
    b->Unit(benchmark::kMillisecond);
}

} // namespace

BENCHMARK(BM_VisibleApplications)->Apply(queryArguments);
BENCHMARK(BM_SqliteBaseline)->Apply(queryArguments);
BENCHMARK(BM_VisibleApplicationsColdCache)
    ->ArgNames({"records", "sort"})
    ->Args({10000, 0})
    ->Args({10000, 2})
    ->Args({100000, 0})
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SummaryCounts)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    return BenchData::runBenchmarks(argc, argv);
}
