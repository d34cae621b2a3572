// Export and import of 10,000 applications with three history entries each:
// encode, decode, merge into an empty store (save included), merge into a store
// that already holds them all, and the whole import flow from the file. Beside
// them, Python's json module reading the same file with decimal amounts, as the
// yardstick for the decoder. And the peak memory of reading large backups built to
// cost memory.
#include "backup/BackupDocument.h"
#include "backup/BackupTransfer.h"
#include "model/JobApplication.h"
#include "store/Store.h"
#include "store/StoreLoader.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

constexpr int applicationCount = 10'000;

QDateTime moment(int day, int second)
{
    return QDateTime::fromMSecsSinceEpoch(
        qint64(1'700'000'000'000) + qint64(day) * 86'400'000 + second * 1000 + day % 1000, Qt::UTC);
}

// Records the size a real user's would have: every text filled in, amounts on most,
// a note of a couple of sentences, three status changes.
BackupFileContents makeContents()
{
    static const char* statuses[] = {"applied", "hrInterview", "techInterview", "offer", "rejected"};
    QList<ApplicationBackup> applications;
    applications.reserve(applicationCount);
    for (int n = 0; n < applicationCount; ++n) {
        ApplicationBackup a;
        a.uuid = QUuid::createUuidV5(QUuid(), QString::number(n));
        a.companyName = QStringLiteral("Şirket %1 Teknoloji A.Ş.").arg(n);
        a.position = QStringLiteral("Senior Software Engineer %1").arg(n % 97);
        a.postingLink = QStringLiteral("https://jobs.example.com/postings/%1?source=linkedin").arg(n);
        a.workModelRaw = QStringLiteral("hybrid");
        a.statusRaw = QString::fromLatin1(statuses[n % 5]);
        a.applicationDate = moment(n % 700, 10);
        a.statusChangedAt = moment(n % 700 + 9, 20);
        if (n % 5 >= 3)
            a.closedAt = a.statusChangedAt;
        if (n % 2 == 0)
            a.followUpDate = moment(n % 700 + 14, 0);
        a.rejectedByEmail = n % 5 == 4;
        a.rejectionReasonRaw = n % 5 == 4 ? std::optional<QString>(QStringLiteral("salaryMismatch")) : std::nullopt;
        a.rejectionNote = n % 5 == 4 ? QStringLiteral("They went with an internal candidate.") : QString();
        a.hrContactName = QStringLiteral("Ayşe Yılmaz");
        a.hrContactEmail = QStringLiteral("ayse.yilmaz%1@example.com").arg(n);
        a.techInterviewerName = QStringLiteral("Mehmet Öz");
        a.techInterviewerRole = QStringLiteral("Engineering Manager");
        if (n % 4 != 0)
            a.expectedSalary = Decimal::parse(std::to_string(85000 + n) + ".50");
        if (n % 3 == 0)
            a.offeredSalary = Decimal::fromInteger(80000 + n);
        a.currencyRaw = QStringLiteral("EUR");
        a.notes = QStringLiteral("Referred by a former colleague. Second round covers system design; "
                                 "prepare questions about the team's on-call rotation.");
        a.isFavorite = n % 7 == 0;
        a.createdAt = moment(n % 700, 11);
        a.updatedAt = moment(n % 700 + 9, 21);
        a.history = {
            {std::nullopt, QStringLiteral("applied"), moment(n % 700, 10)},
            {QStringLiteral("applied"), QStringLiteral("hrInterview"), moment(n % 700 + 4, 0)},
            {QStringLiteral("hrInterview"), QString::fromLatin1(statuses[n % 5]), moment(n % 700 + 9, 20)},
        };
        applications.append(std::move(a));
    }
    BackupFileContents contents;
    contents.format = QStringLiteral("Applywright Backup");
    contents.formatVersion = 1;
    contents.exportedAt = moment(800, 0);
    contents.applications = std::move(applications);
    return contents;
}

// Built once: every benchmark reads the same document.
struct Fixture {
    BackupFileContents contents = makeContents();
    QByteArray bytes = encodeBackup(contents).value();
    QTemporaryDir folder;
    QString path = folder.filePath(QStringLiteral("Applywright-backup.json"));

    Fixture()
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write the benchmark's backup file");
    }
};

Fixture& fixture()
{
    static Fixture instance;
    return instance;
}

std::unique_ptr<StoreLoader> freshStore(const QString& folder)
{
    auto loader = std::make_unique<StoreLoader>(openStore(folder));
    if (!loader->isReady())
        qFatal("cannot open a store: %s", qPrintable(loader->message()));
    loader->store()->setAutosaveDelay(-1);
    return loader;
}

void BM_Encode(benchmark::State& state)
{
    const BackupFileContents& contents = fixture().contents;
    qint64 bytes = 0;
    for (auto _ : state) {
        auto encoded = encodeBackup(contents);
        bytes = encoded->size();
        benchmark::DoNotOptimize(encoded);
    }
    state.SetBytesProcessed(state.iterations() * bytes);
    state.counters["file_MB"] = double(bytes) / 1e6;
}
BENCHMARK(BM_Encode)->Unit(benchmark::kMillisecond);

void BM_Decode(benchmark::State& state)
{
    const QByteArray& bytes = fixture().bytes;
    for (auto _ : state) {
        auto decoded = decodeBackup(bytes);
        if (!decoded || decoded->applications.size() != applicationCount)
            state.SkipWithError("decode failed");
        benchmark::DoNotOptimize(decoded);
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_Decode)->Unit(benchmark::kMillisecond);

// json.loads(bytes, parse_float=decimal.Decimal), timed inside one Python process with
// perf_counter around each call (after one warm-up call); each benchmark iteration
// reports one of those times. The process's CPU time per call (process_time) is
// reported beside it as cpu_ms, to compare with our CPU time on a busy machine.
void BM_PythonJsonDecimalLoads(benchmark::State& state)
{
    constexpr int runs = 15;
    static const char* script = R"(
import decimal, json, sys, time
data = open(sys.argv[1], "rb").read()
doc = json.loads(data, parse_float=decimal.Decimal)
assert len(doc["applications"]) == int(sys.argv[3])
for _ in range(int(sys.argv[2])):
    start, cpu = time.perf_counter(), time.process_time()
    json.loads(data, parse_float=decimal.Decimal)
    print(time.perf_counter() - start, time.process_time() - cpu)
)";
    QProcess python;
    python.start(QStringLiteral(APPLYWRIGHT_PYTHON3),
        {QStringLiteral("-c"), QString::fromLatin1(script), fixture().path, QString::number(runs),
            QString::number(applicationCount)});
    if (!python.waitForFinished(300'000) || python.exitCode() != 0) {
        state.SkipWithError("python3 failed");
        for (auto _ : state) { }
        return;
    }
    QList<double> seconds;
    double cpuSeconds = 0;
    for (const QByteArray& line : python.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> fields = line.trimmed().split(' ');
        bool wallOk = false;
        bool cpuOk = false;
        const double wall = fields.value(0).toDouble(&wallOk);
        const double cpu = fields.value(1).toDouble(&cpuOk);
        if (wallOk && cpuOk) {
            seconds.append(wall);
            cpuSeconds += cpu;
        }
    }
    if (seconds.isEmpty()) {
        state.SkipWithError("no timings from python3");
        for (auto _ : state) { }
        return;
    }
    qsizetype next = 0;
    for (auto _ : state) {
        state.SetIterationTime(seconds.at(next % seconds.size()));
        ++next;
    }
    state.SetBytesProcessed(state.iterations() * fixture().bytes.size());
    state.counters["cpu_ms"] = cpuSeconds * 1000 / double(seconds.size());
}
BENCHMARK(BM_PythonJsonDecimalLoads)->UseManualTime()->Iterations(15)->Unit(benchmark::kMillisecond);

void BM_MergeIntoEmptyStore(benchmark::State& state)
{
    const BackupFileContents& contents = fixture().contents;
    for (auto _ : state) {
        state.PauseTiming();
        auto folder = std::make_unique<QTemporaryDir>();
        auto loader = freshStore(folder->path());
        state.ResumeTiming();

        const auto merged = mergeBackup(contents, *loader->store());
        if (!merged || merged->first != applicationCount)
            state.SkipWithError("merge failed");

        state.PauseTiming();
        loader.reset();
        folder.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_MergeIntoEmptyStore)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_MergeIntoStoreHoldingAll(benchmark::State& state)
{
    const BackupFileContents& contents = fixture().contents;
    QTemporaryDir folder;
    auto loader = freshStore(folder.path());
    if (!mergeBackup(contents, *loader->store()))
        state.SkipWithError("first merge failed");
    for (auto _ : state) {
        const auto merged = mergeBackup(contents, *loader->store());
        if (!merged || merged->second != applicationCount)
            state.SkipWithError("merge did not skip everything");
    }
}
BENCHMARK(BM_MergeIntoStoreHoldingAll)->Unit(benchmark::kMillisecond)->UseRealTime();

// The import command as the window runs it: read the file, decode, merge, save.
void BM_ImportFileIntoEmptyStore(benchmark::State& state)
{
    const QString expected = importSummary(applicationCount, 0);
    for (auto _ : state) {
        state.PauseTiming();
        auto folder = std::make_unique<QTemporaryDir>();
        auto loader = freshStore(folder->path());
        state.ResumeTiming();

        const BackupMessage message = importBackup(fixture().path, *loader->store());
        if (message.text() != expected)
            state.SkipWithError("import failed");

        state.PauseTiming();
        loader.reset();
        folder.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ImportFileIntoEmptyStore)->Unit(benchmark::kMillisecond)->UseRealTime();

// The export command: save (nothing pending), map every record, encode.
void BM_ExportFromStore(benchmark::State& state)
{
    QTemporaryDir folder;
    auto loader = freshStore(folder.path());
    if (!mergeBackup(fixture().contents, *loader->store()))
        state.SkipWithError("merge failed");
    for (auto _ : state) {
        auto exported = exportBackup(*loader->store());
        if (!exported)
            state.SkipWithError("export failed");
        benchmark::DoNotOptimize(exported);
    }
}
BENCHMARK(BM_ExportFromStore)->Unit(benchmark::kMillisecond)->UseRealTime();

// ---------------------------------------------------------------------------
// Peak memory of readBackup (read the file, decode it) on files of about 480 MB,
// just under the 512 MB a backup may have. Each read runs in a child process of
// this program, which reports how far its resident memory rose above where it
// stood before the read.

constexpr qint64 hostileSize = qint64(480) << 20;

QByteArray rootWith(const QByteArray& applications, const QByteArray& exportedAt, const QByteArray& extra = {})
{
    QByteArray document = "{\"applications\":" + applications + ",\"exportedAt\":\"" + exportedAt + '"';
    if (!extra.isEmpty())
        document += ",\"extra\":\"" + extra + '"';
    return document + ",\"format\":\"Applywright Backup\",\"formatVersion\":1}";
}

ApplicationBackup minimalEntry(int n)
{
    ApplicationBackup a;
    a.uuid = QUuid::createUuidV5(QUuid(), QString::number(n));
    a.workModelRaw = QStringLiteral("remote");
    a.statusRaw = QStringLiteral("applied");
    a.currencyRaw = QStringLiteral("TRY");
    a.applicationDate = a.statusChangedAt = a.createdAt = a.updatedAt = moment(n % 700, 0);
    return a;
}

// The files: what the decoder refuses and what it takes, each as large as a
// backup may be.
QByteArray hostileDocument(const std::string& kind)
{
    const QByteArray huge(hostileSize, '9');
    if (kind == "date") // a date field holding one long string: refused
        return rootWith("[]", huge);
    if (kind == "unknownKey") // a long string under a key the format does not have: skipped
        return rootWith("[]", "2025-03-07T00:00:00.000Z", huge);
    if (kind == "amount") { // a number of millions of digits: refused
        QByteArray application = encodeBackup(
            BackupFileContents {QStringLiteral("Applywright Backup"), 1, moment(1, 0),
                {minimalEntry(1)}}).value();
        const QByteArray amount = "\"expectedSalary\": 0." + huge + ",\n      \"currency\"";
        return application.replace("\"currency\"", amount);
    }
    if (kind == "notes") { // one record whose notes are the whole file: taken
        ApplicationBackup entry = minimalEntry(1);
        entry.notes = QStringLiteral("NOTES");
        QByteArray document
            = encodeBackup(BackupFileContents {QStringLiteral("Applywright Backup"), 1, moment(1, 0), {entry}}).value();
        const QByteArray notes = '"' + QByteArray(hostileSize, 'n') + '"';
        return document.replace("\"NOTES\"", notes);
    }
    // "records": as many records with nothing optional as fit: taken
    QList<ApplicationBackup> applications;
    const QByteArray one = encodeBackup(
        BackupFileContents {QStringLiteral("Applywright Backup"), 1, moment(1, 0),
            {minimalEntry(1)}}).value();
    const qsizetype count = qsizetype(hostileSize / (one.size() - 100));
    applications.reserve(count);
    for (qsizetype n = 0; n < count; ++n)
        applications.append(minimalEntry(int(n)));
    return encodeBackup(BackupFileContents {QStringLiteral("Applywright Backup"), 1, moment(1, 0), applications})
        .value();
}

qint64 statusKiB(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(qsizetype(std::strlen(field))).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

// The child's side: read the file (and, for an import, merge it into a new store,
// saved), report resident memory before and at its peak.
int runReadChild(const char* path, bool import)
{
    QTemporaryDir folder;
    const auto loader = import ? std::make_unique<StoreLoader>(openStore(folder.path())) : nullptr;
    if (loader && !loader->isReady())
        return 1;
    const qint64 before = statusKiB("VmRSS:");
    bool taken = false;
    if (auto contents = readBackup(QString::fromLocal8Bit(path)))
        taken = !loader || mergeBackup(*contents, *loader->store());
    const qint64 peak = statusKiB("VmHWM:");
    std::printf("%lld %lld %d\n", before, peak, taken ? 1 : 0);
    return 0;
}

// `kind` as hostileDocument() has it; "import:" in front: read and merged into a store.
void BM_ReadLargeBackupPeakMemory(benchmark::State& state, const std::string& what)
{
    const bool import = what.starts_with("import:");
    const std::string kind = import ? what.substr(7) : what;
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("large.json"));
    qint64 fileSize = 0;
    {
        const QByteArray document = hostileDocument(kind);
        fileSize = document.size();
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(document) != document.size()) {
            state.SkipWithError("cannot write the file");
            return;
        }
    }
    double risenMiB = 0;
    bool accepted = false;
    for (auto _ : state) {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(),
            {import ? QStringLiteral("--import-backup-child") : QStringLiteral("--read-backup-child"), path});
        if (!child.waitForFinished(300000)) {
            state.SkipWithError("the child did not finish");
            return;
        }
        const QList<QByteArray> fields = child.readAllStandardOutput().trimmed().split(' ');
        if (fields.size() != 3) {
            state.SkipWithError("the child reported nothing");
            return;
        }
        risenMiB = double(fields.at(1).toLongLong() - fields.at(0).toLongLong()) / 1024.0;
        accepted = fields.at(2) == "1";
    }
    state.counters["file_MiB"] = double(fileSize) / double(1 << 20);
    state.counters["peak_rise_MiB"] = risenMiB;
    state.counters["peak_per_file_size"] = risenMiB * double(1 << 20) / double(fileSize);
    state.counters["accepted"] = accepted ? 1 : 0;
}

BENCHMARK_CAPTURE(BM_ReadLargeBackupPeakMemory, date, std::string("date"))
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_ReadLargeBackupPeakMemory, amount, std::string("amount"))
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_ReadLargeBackupPeakMemory, unknownKey, std::string("unknownKey"))
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_ReadLargeBackupPeakMemory, notes, std::string("notes"))
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_ReadLargeBackupPeakMemory, records, std::string("records"))
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_ReadLargeBackupPeakMemory, importNotes, std::string("import:notes"))
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_ReadLargeBackupPeakMemory, importRecords, std::string("import:records"))
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--read-backup-child") == 0)
        return runReadChild(argv[2], false);
    if (argc == 3 && std::strcmp(argv[1], "--import-backup-child") == 0) {
        QCoreApplication app(argc, argv);
        return runReadChild(argv[2], true);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    // The store's autosave timer wants an application object.
    QCoreApplication app(argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
