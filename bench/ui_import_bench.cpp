// The main window while things are imported: how long the main thread is ever kept
// from its event loop. A 1 ms precise timer ticks on the main thread and a 16 ms timer
// repaints the whole window and the review sheet, as the screen would ask for frames;
// the longest gap between two ticks is the longest stall a user could feel (one frame
// at 60 Hz is 16.7 ms). The main thread's CPU time within each gap tells its own work
// apart from time the machine gave to other processes. Imports run through the window's
// real flow and session:
// - screenshots of 2880×1800 with the real recogniser, from the drop to the review
//   sheet with every thumbnail, then the large picture of each draft in turn;
// - thousands of files that cannot be read, each a failure line on the sheet (the
//   recogniser replaced by one that refuses at once, so only the window's part counts,
//   or the real one for files that do not exist).
//
// Runs on the offscreen platform unless QT_QPA_PLATFORM says otherwise.
#include "MainThreadStalls.h"
#include "posting/PostingImportSession.h"
#include "store/StoreLoader.h"
#include "tracking/TodayProvider.h"
#include "ui/ContentView.h"
#include "ui/DraftPicture.h"
#include "ui/DraftRow.h"
#include "ui/PostingImportFlow.h"
#include "ui/PostingImportSheet.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPainter>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <vector>

namespace {

// A job-board page at a 15-inch Retina screen's size: a title, the company line,
// chips and paragraphs of description.
QString writeScreenshot(const QString& folder, int index)
{
    QImage image(2880, 1800, QImage::Format_RGB32);
    image.fill(QColor(0xf3, 0xf2, 0xef));
    QPainter painter(&image);
    painter.fillRect(QRect(360, 120, 2160, 1600), Qt::white);
    painter.setPen(Qt::black);
    QFont title(QStringLiteral("DejaVu Sans"));
    title.setPixelSize(56);
    title.setBold(true);
    painter.setFont(title);
    painter.drawText(440, 260, QStringLiteral("Senior Backend Engineer %1").arg(index));
    QFont body(QStringLiteral("DejaVu Sans"));
    body.setPixelSize(30);
    painter.setFont(body);
    painter.drawText(440, 340, QStringLiteral("Globex Systems · Ankara, Türkiye · 3 days ago · 120 applicants"));
    painter.drawText(440, 420, QStringLiteral("Hybrid · Full-time · Mid-Senior level"));
    for (int line = 0; line < 28; ++line) {
        painter.drawText(440, 540 + line * 42,
            QStringLiteral("You will design, build and run the services behind our payments platform, line %1.")
                .arg(line));
    }
    painter.end();
    const QString path = QDir(folder).filePath(QStringLiteral("posting-%1.png").arg(index));
    image.save(path);
    return path;
}

// Starts `begin` and lets the event loop run until `done`, with the main thread's
// stalls measured (`begin` among them); reports them under `prefix`.
void runMeasured(benchmark::State& state, const std::function<void()>& repaint, const std::function<void()>& begin,
    const std::function<bool()>& done, const std::string& prefix)
{
    MainThreadStalls stalls(repaint);
    stalls.start();
    begin();
    while (!done())
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    stalls.stop();
    state.counters[prefix + "longest_stall_ms"] = stalls.longestMs();
    state.counters[prefix + "longest_busy_ms"] = stalls.longestBusyMs();
    state.counters[prefix + "busy_in_longest_stall_ms"] = stalls.busyInLongestMs();
    state.counters[prefix + "own_missed_frames"] = stalls.ownMissedFrames();
    state.counters[prefix + "p99_gap_ms"] = stalls.percentileMs(0.99);
}

// A main window over an empty store, shown.
struct Window {
    QTemporaryDir data;
    StoreLoader loader = openStore(data.path());
    TodayProvider today;
    std::unique_ptr<ContentView> view;

    bool open()
    {
        if (!loader.isReady())
            return false;
        view = std::make_unique<ContentView>(*loader.store(), today);
        view->resize(1080, 720);
        view->show();
        QApplication::processEvents();
        return true;
    }

    std::function<void()> repaint(PostingImportFlow& flow) const
    {
        return [this, &flow] {
            view->window()->repaint();
            if (flow.sheet())
                flow.sheet()->repaint();
        };
    }
};

bool everyThumbnailShown(const PostingImportSheet* sheet)
{
    if (!sheet)
        return false;
    const QList<DraftRow*> rows = sheet->rows();
    return std::all_of(rows.begin(), rows.end(), [](DraftRow* row) { return !row->thumbnail()->image().isNull(); });
}

void windowStaysResponsive(benchmark::State& state)
{
    const int screenshots = int(state.range(0));
    QTemporaryDir folder;
    QList<QUrl> urls;
    for (int i = 0; i < screenshots; ++i)
        urls.append(QUrl::fromLocalFile(writeScreenshot(folder.path(), i)));
    Window window;
    if (!window.open()) {
        state.SkipWithError("store");
        return;
    }
    PostingImportFlow flow(*window.view);
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        runMeasured(
            state, window.repaint(flow), [&] { flow.importFiles(urls); },
            [&] { return !flow.session().isProcessing() && everyThumbnailShown(flow.sheet()); }, "");
        state.counters["reading_ms"] = double(clock.nsecsElapsed()) / 1e6;
        if (flow.session().drafts().size() != qsizetype(screenshots))
            state.SkipWithError("not every screenshot became a draft");
        PostingImportSheet* sheet = flow.sheet();
        if (!sheet) {
            state.SkipWithError("no review sheet");
            return;
        }
        // Each draft's screenshot large beside the rows, one after another.
        const QList<DraftRow*> rows = sheet->rows();
        qsizetype shown = 0;
        clock.restart();
        runMeasured(
            state, window.repaint(flow), [&] { sheet->showPicture(rows.first()); },
            [&] {
                if (sheet->pictureView()->image().isNull())
                    return false;
                if (++shown == rows.size())
                    return true;
                sheet->showPicture(rows[shown]);
                return false;
            },
            "picture_");
        state.counters["pictures_ms"] = double(clock.nsecsElapsed()) / 1e6;
        sheet->cancel();
        QApplication::processEvents();
    }
}

// `files` unreadable files on the command line, each a failure line. With range(1) 0
// the recogniser refuses every file at once, so what is measured is the window's part;
// with 1 the real recogniser is asked about files that do not exist.
void failureLinesStayResponsive(benchmark::State& state)
{
    const int files = int(state.range(0));
    const bool real = state.range(1) != 0;
    QTemporaryDir folder;
    QList<QUrl> urls;
    for (int i = 0; i < files; ++i)
        urls.append(QUrl::fromLocalFile(QDir(folder.path()).filePath(QStringLiteral("missing-%1.png").arg(i))));
    Window window;
    if (!window.open()) {
        state.SkipWithError("store");
        return;
    }
    const auto refuse = [](auto&&) { return RecognitionResult(RecognizerError::unreadableImage()); };
    auto* session = real ? new PostingImportSession(nullptr)
                         : new PostingImportSession(PostingImportSession::Recognizer {refuse, refuse}, nullptr);
    PostingImportFlow flow(*window.view, {}, session);
    session->setParent(&flow);
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        runMeasured(
            state, window.repaint(flow), [&] { flow.importFiles(urls); },
            [&] {
                const PostingImportSheet* sheet = flow.sheet();
                return !flow.session().isProcessing() && sheet && sheet->failureTexts().size() == files;
            },
            "");
        state.counters["until_shown_ms"] = double(clock.nsecsElapsed()) / 1e6;
        if (PostingImportSheet* sheet = flow.sheet())
            sheet->cancel();
        QApplication::processEvents();
    }
}

// A plain piece of work measured in the same run: sorting a million fixed numbers.
// The other results divided by it compare across machines and loads.
void plainAnchor(benchmark::State& state)
{
    std::vector<quint32> numbers(1'000'000);
    for (auto _ : state) {
        quint32 x = 2463534242u;
        for (quint32& n : numbers) {
            x ^= x << 13;
            x ^= x >> 17;
            x ^= x << 5;
            n = x;
        }
        std::sort(numbers.begin(), numbers.end());
        benchmark::DoNotOptimize(numbers.data());
    }
}

} // namespace

BENCHMARK(plainAnchor)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(windowStaysResponsive)->Arg(1)->Arg(3)->Arg(10)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(failureLinesStayResponsive)
    ->Args({1000, 0})
    ->Args({5000, 0})
    ->Args({1000, 1})
    ->Args({5000, 1})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
