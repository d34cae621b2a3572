// Screenshot recognition on real corpus screenshots: through the worker process as
// the application runs it (the first image of a new worker, and the ones after it),
// the same engine in the benchmark's own process, and the `tesseract` command-line
// program on the same files with the same languages and page segmentation. The
// command-line runs pay for loading the language data every time; BM_TesseractCliStartup
// measures that part alone so it can be subtracted.
#include "ocrworker/ImageDecoding.h"
#include "ocrworker/TesseractReader.h"
#include "posting/ScreenshotTextRecognizer.h"

#include <thread>

#include <benchmark/benchmark.h>

#include <QImage>
#include <QImageReader>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

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
