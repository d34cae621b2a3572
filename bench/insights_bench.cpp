// Insights and the spreadsheet export over generated records: computing the
// figures, drawing the insights window's charts once, and writing both CSV files.

#include "BenchData.h"

#include "backup/SpreadsheetExport.h"
#include "tracking/Insights.h"
#include "ui/InsightsView.h"
#include "ui/Palette.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <map>
#include <memory>
#include <vector>

namespace {

// Records in memory with varied histories: the generated ones of the other
// benchmarks, and every fifth reopened after a rejection, so that the history
// reading does real work.
class Records {
public:
    explicit Records(int count)
    {
        QRandomGenerator random(42);
        const QDateTime now(QDate(2025, 6, 1), QTime(12, 0), Qt::UTC);
        for (int i = 0; i < count; ++i) {
            ApplicationValues values = BenchData::makeValues(random, i, now);
            if (i % 7 == 0)
                values.postingLink = QStringLiteral("https://www.linkedin.com/jobs/view/%1").arg(i);
            if (values.statusRaw == rawValue(ApplicationStatus::rejected) && i % 3 != 0)
                values.rejectionReasonRaw = rawValue(allCases<RejectionReason>()[size_t(i % 6)]);
            ApplicationBuilder builder(std::move(values));
            BenchData::addHistory(builder);
            if (i % 5 == 0) {
                const QDateTime applied = builder.values().applicationDate;
                const auto status = fromRawValue<ApplicationStatus>(builder.values().statusRaw);
                builder.appendHistory(status, ApplicationStatus::rejected, applied.addDays(12))
                    .appendHistory(ApplicationStatus::rejected, ApplicationStatus::techInterview, applied.addDays(20));
            }
            auto record = builder.build();
            m_list.append(record.get());
            m_owned.push_back(std::move(record));
        }
    }
    const QList<JobApplication*>& list() const { return m_list; }

private:
    std::vector<std::unique_ptr<JobApplication>> m_owned;
    QList<JobApplication*> m_list;
};

const Records& records(int count)
{
    static std::map<int, std::unique_ptr<Records>> made;
    auto& slot = made[count];
    if (!slot)
        slot = std::make_unique<Records>(count);
    return *slot;
}

const QDateTime benchNow(QDate(2025, 6, 1), QTime(12, 0), Qt::UTC);

void BM_ComputeInsights(benchmark::State& state)
{
    const QList<JobApplication*>& list = records(int(state.range(0))).list();
    for (auto _ : state) {
        Insights insights = computeInsights(list, benchNow);
        benchmark::DoNotOptimize(insights.total);
    }
    state.SetItemsProcessed(state.iterations() * list.size());
}
BENCHMARK(BM_ComputeInsights)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// The first computation after the records were read or changed: nothing read from
// the posting links is kept yet.
void BM_ComputeInsightsCold(benchmark::State& state)
{
    const QList<JobApplication*>& list = records(int(state.range(0))).list();
    for (auto _ : state) {
        state.PauseTiming();
        for (JobApplication* record : list)
            record->derivedCache().clear();
        state.ResumeTiming();
        Insights insights = computeInsights(list, benchNow);
        benchmark::DoNotOptimize(insights.total);
    }
}
BENCHMARK(BM_ComputeInsightsCold)->Arg(10000)->Unit(benchmark::kMillisecond);

// One frame of the insights window's charts, drawn into an image of the window's size.
void BM_DrawInsights(benchmark::State& state)
{
    const bool dark = state.range(1) != 0;
    Palette::installAppearance(dark ? Palette::Appearance::dark : Palette::Appearance::light);
    InsightsView view;
    view.setInsights(computeInsights(records(int(state.range(0))).list(), benchNow));
    view.resize(760, view.heightForWidth(760));
    QImage image(view.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        view.render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_DrawInsights)->Args({10000, 0})->Args({10000, 1})->Unit(benchmark::kMillisecond);

void BM_SpreadsheetDocument(benchmark::State& state)
{
    const auto kind = state.range(1) == 0 ? SpreadsheetExport::Kind::applications : SpreadsheetExport::Kind::history;
    const QList<JobApplication*>& list = records(int(state.range(0))).list();
    qint64 bytes = 0;
    for (auto _ : state) {
        const QByteArray data = SpreadsheetExport::document(kind, list);
        bytes = data.size();
        benchmark::DoNotOptimize(data.constData());
    }
    state.counters["bytes"] = double(bytes);
}
BENCHMARK(BM_SpreadsheetDocument)->Args({10000, 0})->Args({10000, 1})->Args({100000, 0})->Unit(benchmark::kMillisecond);

// The whole export as the command runs it: the document and the file written in its place.
void BM_ExportSpreadsheetFile(benchmark::State& state)
{
    const QList<JobApplication*>& list = records(int(state.range(0))).list();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("export.csv"));
    for (auto _ : state) {
        if (!SpreadsheetExport::write(SpreadsheetExport::document(SpreadsheetExport::Kind::applications, list), path))
            state.SkipWithError("could not write");
    }
}
BENCHMARK(BM_ExportSpreadsheetFile)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("TZ", "Europe/Istanbul");
    QApplication application(argc, argv);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    return BenchData::runBenchmarks(argc, argv);
}
