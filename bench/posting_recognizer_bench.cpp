// Screenshot recognition on real corpus screenshots: through the worker process as
// the application runs it (the first image after start-up, when the worker was
// started ahead; the first image of a new worker; the ones after it), the same engine
// in the benchmark's own process, and the `tesseract` command-line program on the same
// files with the same languages and page segmentation. The command-line runs pay for
// loading the language data every time; BM_TesseractCliStartup measures that part
// alone so it can be subtracted. Beside them, images made to be hard: noise (refused
// before the engine), a screen of small text, and a screenshot larger than 4K, each
// with the worker's peak resident memory.
#include "ocrworker/ImageDecoding.h"
#include "ocrworker/TesseractReader.h"
#include "posting/ScreenshotTextRecognizer.h"

#include <chrono>
#include <thread>

#include <benchmark/benchmark.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFont>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <unistd.h>

namespace {

QString screenshot(const char* name)
{
    return QStringLiteral(APPLYWRIGHT_CORPUS_DIR "/postings/") + QLatin1String(name);
}

// pub-007: 1440x900 LinkedIn page, light. pub-003: 2880x1800 Glassdoor page, dark.
const char* const smallScreenshot = "pub-007.png";
const char* const largeScreenshot = "pub-003.png";

bool runTesseract(const QString& image, int pageSegmentation)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("OMP_THREAD_LIMIT"), QStringLiteral("1"));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral("tesseract"),
        {image, QStringLiteral("stdout"), QStringLiteral("-l"), QStringLiteral("tur+eng"), QStringLiteral("--psm"),
            QString::number(pageSegmentation)});
    if (!process.waitForFinished(120000))
        return false;
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0
        && !process.readAllStandardOutput().isEmpty();
}

// A number from this process's recognition worker's /proc status ("VmHWM", "VmData"),
// in kB; 0 when there is no worker.
qint64 workerStatus(const char* field)
{
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString& entry : entries) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray line = stat.readAll();
        const qsizetype close = line.lastIndexOf(')');
        const QList<QByteArray> fields = line.mid(close + 2).split(' ');
        if (!line.contains("(applywright-ocr)") || fields.size() < 2 || fields.at(1).toLongLong() != ::getpid())
            continue;
        QFile status(QStringLiteral("/proc/%1/status").arg(entry));
        if (!status.open(QIODevice::ReadOnly))
            return 0;
        const QByteArray text = status.readAll();
        const qsizetype at = text.indexOf(QByteArray(field).append(':'));
        return at < 0 ? 0
                      : text.mid(at + qsizetype(qstrlen(field)) + 1, 24).simplified().split(' ').first().toLongLong();
    }
    return 0;
}

// As after start-up: a worker started ahead, given the time to load its language
// data that a person takes to pick the first screenshot.
void startWorkerAhead()
{
    ScreenshotTextRecognizer::stopWorker();
    ScreenshotTextRecognizer::prepareWorker();
    // Loaded: its memory has grown past the language data and stopped growing.
    qint64 last = 0;
    for (int waited = 0, still = 0; still < 5 && waited < 20000; waited += 100) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        const qint64 now = workerStatus("VmData");
        still = now > 16 * 1024 && now == last ? still + 1 : 0;
        last = now;
    }
}

// Processor time (user and system) of this process's recognition worker, in ms.
double workerCpuMs()
{
    const qint64 pid = workerStatus("Pid");
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (pid == 0 || !stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray line = stat.readAll();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    // Fields 14 and 15 of the whole line: utime, stime.
    return double(fields.at(11).toLongLong() + fields.at(12).toLongLong()) * 1000.0 / double(::sysconf(_SC_CLK_TCK));
}

double childrenCpuMs()
{
    rusage usage {};
    ::getrusage(RUSAGE_CHILDREN, &usage);
    const auto ms = [](const timeval& time) { return double(time.tv_sec) * 1000.0 + double(time.tv_usec) / 1000.0; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

// The first import after start-up (the image goes to the worker started ahead)
// against the `tesseract` program on the same file, one after the other in every
// iteration so both meet the same load. The iteration time is ours; the counters
// give the means of both, wall and processor time, and their ratios.
void BM_FirstImportAgainstCli(benchmark::State& state, const char* name)
{
    const QString path = screenshot(name);
    const ScreenshotTextRecognizer recognizer;
    double ours = 0, cli = 0, oursCpu = 0, cliCpu = 0;
    for (auto _ : state) {
        startWorkerAhead();
        QElapsedTimer clock;
        const double cpuBefore = workerCpuMs();
        clock.start();
        const bool read = bool(recognizer.recognize(path));
        const double wall = double(clock.nsecsElapsed()) / 1e6;
        oursCpu += workerCpuMs() - cpuBefore;
        const double childrenBefore = childrenCpuMs();
        clock.restart();
        if (!read || !runTesseract(path, RecognitionSettings().pageSegmentation)) {
            state.SkipWithError("recognition failed");
            return;
        }
        cli += double(clock.nsecsElapsed()) / 1e6;
        cliCpu += childrenCpuMs() - childrenBefore;
        ours += wall;
        state.SetIterationTime(wall / 1000.0);
    }
    const double n = double(state.iterations());
    state.counters["ours_ms"] = ours / n;
    state.counters["cli_ms"] = cli / n;
    state.counters["wall_ratio"] = ours / cli;
    state.counters["ours_cpu_ms"] = oursCpu / n;
    state.counters["cli_cpu_ms"] = cliCpu / n;
    state.counters["cpu_ratio"] = oursCpu / cliCpu;
    state.counters["worker_peak_MB"] = double(workerStatus("VmHWM")) / 1024;
}

// Images made to be hard, written once into a folder of their own.
QString hardImage(const char* kind)
{
    static QTemporaryDir folder;
    const QString path = folder.filePath(QLatin1String(kind) + QStringLiteral(".png"));
    if (QFile::exists(path))
        return path;
    QImage image;
    if (qstrcmp(kind, "noise") == 0) {
        image = QImage(4096, 4096, QImage::Format_RGB32);
        QRandomGenerator generator(42);
        for (int y = 0; y < image.height(); ++y)
            generator.fillRange(reinterpret_cast<quint32*>(image.scanLine(y)), image.width());
    } else if (qstrcmp(kind, "dense") == 0) {
        image = QImage(1920, 1080, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(11);
        painter.setFont(font);
        for (int y = 14; y < image.height(); y += 16)
            painter.drawText(4, y, QStringLiteral("senior platform engineer remote hybrid istanbul ").repeated(6));
    } else {
        image = QImage(screenshot(largeScreenshot)).scaled(7680, 4800, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    image.save(path);
    return path;
}

// Each from a worker started ahead, as the first import after start-up meets it.
void BM_RecognizeHardImage(benchmark::State& state, const char* kind)
{
    const QString path = hardImage(kind);
    const ScreenshotTextRecognizer recognizer;
    QString outcome;
    for (auto _ : state) {
        state.PauseTiming();
        startWorkerAhead();
        state.ResumeTiming();
        const RecognitionResult result = recognizer.recognize(path);
        outcome = result ? QStringLiteral("%1 lines").arg(result.value().size()) : result.error().description();
    }
    state.counters["worker_peak_MB"] = double(workerStatus("VmHWM")) / 1024;
    state.SetLabel(outcome.toStdString());
}

// The images after the first: the worker is running and has its engine loaded.
void BM_Recognize(benchmark::State& state, const char* name)
{
    const QString path = screenshot(name);
    const ScreenshotTextRecognizer recognizer;
    if (!recognizer.recognize(path)) { // starts this thread's worker
        state.SkipWithError("recognition failed");
        return;
    }
    qsizetype lines = 0;
    for (auto _ : state) {
        const RecognitionResult result = recognizer.recognize(path);
        lines = result ? result.value().size() : 0;
        benchmark::DoNotOptimize(lines);
    }
    state.counters["lines"] = double(lines);
}

// The first image of an import after a pause: a new worker starts, loads tur+eng and reads it.
void BM_RecognizeFirstImage(benchmark::State& state, const char* name)
{
    const QString path = screenshot(name);
    const ScreenshotTextRecognizer recognizer;
    for (auto _ : state) {
        state.PauseTiming();
        ScreenshotTextRecognizer::stopWorker();
        state.ResumeTiming();
        if (!recognizer.recognize(path)) {
            state.SkipWithError("recognition failed");
            return;
        }
    }
}

// What the application did before the worker: decode and read in its own process.
QList<PostingLine> recognizeInProcess(const QString& path)
{
    const QImage image = ImageDecoding::decodeFile(path);
    auto observed = TesseractReader::observe(image, RecognitionSettings());
    if (!std::holds_alternative<QList<TextObservation>>(observed))
        return {};
    return ScreenshotTextRecognizer::buildLines(std::get<QList<TextObservation>>(observed));
}

void BM_RecognizeInProcess(benchmark::State& state, const char* name)
{
    const QString path = screenshot(name);
    if (recognizeInProcess(path).isEmpty()) { // loads the engine for this thread
        state.SkipWithError("recognition failed");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(recognizeInProcess(path).size());
}

// The same on a thread of its own each time, so the engine is loaded first, as for
// the first screenshot after the application started.
void BM_RecognizeInProcessFirstImage(benchmark::State& state, const char* name)
{
    const QString path = screenshot(name);
    for (auto _ : state) {
        qsizetype lines = 0;
        std::thread reader([&] { lines = recognizeInProcess(path).size(); });
        reader.join();
        if (lines == 0) {
            state.SkipWithError("recognition failed");
            return;
        }
    }
}

void BM_TesseractCli(benchmark::State& state, const char* name)
{
    const QString path = screenshot(name);
    for (auto _ : state) {
        if (!runTesseract(path, RecognitionSettings().pageSegmentation)) {
            state.SkipWithError("tesseract failed (is it installed?)");
            return;
        }
    }
}

// The command-line program on the image exactly as recognition hands it to the
// engine: grayscale, inverted when dark, enlarged by the factor recognition chose.
void BM_TesseractCliPrepared(benchmark::State& state, const char* name)
{
    const QString path = screenshot(name);
    const QImage image = ImageDecoding::decodeFile(path);
    const RecognitionSettings settings;
    const auto page = TesseractReader::readPage(image, settings);
    if (!std::holds_alternative<TesseractReader::Page>(page)) {
        state.SkipWithError("recognition failed");
        return;
    }
    const TesseractReader::Page& read = std::get<TesseractReader::Page>(page);
    QImage prepared = image.convertToFormat(QImage::Format_Grayscale8);
    if (read.inverted)
        prepared.invertPixels();
    prepared = prepared.scaled(read.preparedSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QTemporaryDir directory;
    const QString preparedPath = directory.filePath(QStringLiteral("prepared.png"));
    if (!directory.isValid() || !prepared.save(preparedPath)) {
        state.SkipWithError("could not write the prepared image");
        return;
    }
    for (auto _ : state) {
        if (!runTesseract(preparedPath, settings.pageSegmentation)) {
            state.SkipWithError("tesseract failed (is it installed?)");
            return;
        }
    }
    state.counters["scale"] = read.scale;
}

// Loading tur+eng and reading an image with a single word: the command-line
// program's fixed cost per run.
void BM_TesseractCliStartup(benchmark::State& state)
{
    QTemporaryDir directory;
    QImage image(200, 60, QImage::Format_Grayscale8);
    image.fill(255);
    const QString path = directory.filePath(QStringLiteral("blank.png"));
    if (!directory.isValid() || !image.save(path)) {
        state.SkipWithError("could not write the image");
        return;
    }
    QProcess process;
    for (auto _ : state) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("OMP_THREAD_LIMIT"), QStringLiteral("1"));
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral("tesseract"),
            {path, QStringLiteral("stdout"), QStringLiteral("-l"), QStringLiteral("tur+eng"), QStringLiteral("--psm"),
                QString::number(RecognitionSettings().pageSegmentation)});
        if (!process.waitForFinished(60000)) {
            state.SkipWithError("tesseract did not finish");
            return;
        }
    }
}

} // namespace

BENCHMARK_CAPTURE(BM_FirstImportAgainstCli, 1440x900, smallScreenshot)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(7);
BENCHMARK_CAPTURE(BM_FirstImportAgainstCli, 2880x1800, largeScreenshot)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(3);
BENCHMARK_CAPTURE(BM_Recognize, 1440x900, smallScreenshot)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK_CAPTURE(BM_RecognizeFirstImage, 1440x900, smallScreenshot)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5);
BENCHMARK_CAPTURE(BM_RecognizeInProcess, 1440x900, smallScreenshot)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5);
BENCHMARK_CAPTURE(BM_RecognizeInProcessFirstImage, 1440x900, smallScreenshot)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5);
BENCHMARK_CAPTURE(BM_TesseractCli, 1440x900, smallScreenshot)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5);
BENCHMARK_CAPTURE(BM_TesseractCliPrepared, 1440x900, smallScreenshot)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5);
BENCHMARK_CAPTURE(BM_Recognize, 2880x1800, largeScreenshot)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);
BENCHMARK_CAPTURE(BM_RecognizeFirstImage, 2880x1800, largeScreenshot)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);
BENCHMARK_CAPTURE(BM_RecognizeInProcess, 2880x1800, largeScreenshot)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);
BENCHMARK_CAPTURE(BM_RecognizeInProcessFirstImage, 2880x1800, largeScreenshot)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);
BENCHMARK_CAPTURE(BM_TesseractCli, 2880x1800, largeScreenshot)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);
BENCHMARK_CAPTURE(BM_TesseractCliPrepared, 2880x1800, largeScreenshot)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);
BENCHMARK(BM_TesseractCliStartup)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK_CAPTURE(BM_RecognizeHardImage, noise_4096x4096, "noise")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);
BENCHMARK_CAPTURE(BM_RecognizeHardImage, small_text_1920x1080, "dense")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);
BENCHMARK_CAPTURE(BM_RecognizeHardImage, screenshot_7680x4800, "large")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);
