#pragma once

// Generated application records for benchmarks: deterministic, varied in length
// and status, spread over a year of application dates.

#include "model/JobApplication.h"
#include "store/SqliteDatabase.h"
#include "store/Store.h"
#include "store/StoreLoader.h"
#include "store/StoreSchema.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QRandomGenerator>
#include <QStandardPaths>

#include <algorithm>
#include <memory>
#include <vector>

namespace BenchData {

inline const QStringList& companyWords()
{
    static const QStringList words {"Acme", "Globex", "Initech", "Umbrella", "Hooli", "Vandelay", "Ötüken", "Çağrı",
        "Yıldız", "Anadolu", "Marmara", "Boğaziçi", "Stark", "Wayne", "Tyrell", "Cyberdyne", "Soylent", "Massive",
        "Nimbus", "Quantum", "Vertex", "Helix", "Orbital", "Pixel", "Kuzey", "Güney", "Deniz"};
    return words;
}

inline const QStringList& suffixes()
{
    static const QStringList words {"Ltd", "A.Ş.", "GmbH", "Inc", "Teknoloji", "Labs", "Systems", "Group", "BV", ""};
    return words;
}

inline const QStringList& positions()
{
    static const QStringList words {"Senior iOS Developer", "Backend Engineer", "Kıdemli Yazılım Mühendisi",
        "Data Scientist", "Product Designer", "DevOps Engineer", "Frontend Developer", "QA Specialist",
        "Engineering Manager", "Mobil Uygulama Geliştirici", "Machine Learning Engineer", "Site Reliability Engineer"};
    return words;
}

inline ApplicationValues makeValues(QRandomGenerator& random, int index, const QDateTime& now)
{
    const QString company = companyWords().at(int(random.bounded(companyWords().size()))) + QLatin1Char(' ')
        + companyWords().at(int(random.bounded(companyWords().size()))) + QLatin1Char(' ')
        + suffixes().at(int(random.bounded(suffixes().size())));
    const QString position = positions().at(int(random.bounded(positions().size())));
    const QDateTime applied = now.addSecs(-qint64(random.bounded(365 * 24 * 3600)));
    static const ApplicationStatus statuses[] = {ApplicationStatus::applied, ApplicationStatus::applied,
        ApplicationStatus::applied, ApplicationStatus::hrInterview, ApplicationStatus::techInterview,
        ApplicationStatus::offer, ApplicationStatus::rejected, ApplicationStatus::rejected};
    const ApplicationStatus status = statuses[random.bounded(8)];
    ApplicationValues a = JobApplication::initialValues(company.trimmed(), position,
        QStringLiteral("https://jobs.example.com/%1").arg(index), allCases<WorkModel>()[random.bounded(3)], status,
        applied);
    a.notes = QStringLiteral("Applied through the careers page; recruiter said they would reply within two "
                             "weeks. Reference %1.")
                  .arg(index);
    a.hrContactName = QStringLiteral("Recruiter %1").arg(index % 97);
    a.hrContactEmail = QStringLiteral("hr%1@example.com").arg(index % 97);
    if (index % 3 == 0) {
        a.techInterviewerName = QStringLiteral("Interviewer %1").arg(index % 31);
        a.techInterviewerRole = QStringLiteral("Staff Engineer");
    }
    if (index % 4 == 0)
        a.expectedSalary = Decimal::parse(QString(QString::number(50000 + index) + QStringLiteral(".50")));
    a.isFavorite = index % 11 == 0;
    return a;
}

inline std::unique_ptr<JobApplication> makeApplication(QRandomGenerator& random, int index, const QDateTime& now)
{
    return ApplicationBuilder(makeValues(random, index, now)).build();
}

// Three history entries per record, as a record that reached an interview has.
inline ApplicationBuilder& addHistory(ApplicationBuilder& record)
{
    const QDateTime applied = record.values().applicationDate;
    const auto status = fromRawValue<ApplicationStatus>(record.values().statusRaw).value_or(ApplicationStatus::applied);
    return record.appendHistory(std::nullopt, ApplicationStatus::applied, applied)
        .appendHistory(ApplicationStatus::applied, ApplicationStatus::hrInterview, applied.addDays(3))
        .appendHistory(ApplicationStatus::hrInterview, status, applied.addDays(9));
}

// A store folder with `count` records, generated once and reused by later runs while it
// is in the format this build writes: one an older build made (without an index this
// build has, say) is made again, not measured.
inline QString storeWithRecords(int count)
{
    const QString dir = QDir::temp().filePath(QStringLiteral("applywright-bench-%1").arg(count));
    const QString marker = dir + QStringLiteral("/complete");
    const QByteArray format = StoreSchema::createStatements() + StoreSchema::newestFirstIndex();
    if (QFile made(marker); made.open(QIODevice::ReadOnly) && made.readAll() == format) {
        // A run that was stopped midway leaves the log and its index beside the file,
        // and a start that finds them takes a slower way in. A person's quit leaves
        // none: opening the store and closing it again puts it back that way.
        if (SqliteDatabase::hasSideFiles(QDir(dir).filePath(QLatin1String(Store::databaseFileName)))) {
            if (StoreLoader reopened = openStore(dir); !reopened.isReady())
                qFatal("cannot reopen the benchmark store: %s", qPrintable(reopened.message()));
        }
        return dir;
    }
    QDir(dir).removeRecursively();
    StoreLoader loader = openStore(dir);
    if (!loader.isReady())
        qFatal("cannot create the benchmark store: %s", qPrintable(loader.message()));
    QRandomGenerator random(42);
    const QDateTime now = QDateTime(QDate(2025, 6, 1), QTime(12, 0), Qt::UTC);
    for (int i = 0; i < count; ++i) {
        ApplicationBuilder record(makeValues(random, i, now));
        loader.store()->insert(addHistory(record).build());
    }
    if (!loader.store()->save())
        qFatal("cannot save the benchmark store");
    QFile file(marker);
    if (!file.open(QIODevice::WriteOnly) || file.write(format) != format.size())
        qFatal("cannot mark the benchmark store complete");
    return dir;
}

// The anchor: sorting 200,000 pseudo-random integers, the same work on every machine,
// measured in the same run as what it anchors.
inline void sortAnchor(benchmark::State& state)
{
    QRandomGenerator random(11);
    std::vector<quint32> numbers(200000);
    for (quint32& n : numbers)
        n = random.generate();
    for (auto _ : state) {
        std::vector<quint32> copy = numbers;
        std::sort(copy.begin(), copy.end());
        benchmark::DoNotOptimize(copy.data());
    }
}

// The body of a benchmark program's main: Google Benchmark's flags, then the runs.
inline int runBenchmarks(int& argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace BenchData
