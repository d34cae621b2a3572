// The main window while 2880×1800 screenshots are being read: how long the main
// thread is ever kept from its event loop. A 1 ms precise timer ticks on the main
// thread and a 16 ms timer repaints the whole window, as the screen would ask for
// frames; the longest gap between two ticks is the longest stall a user could
// feel (one frame at 60 Hz is 16.7 ms). The main thread's CPU time within each gap
// tells its own work apart from time the machine gave to other processes. The import runs through the window's real
// flow and session with the real recogniser, from the drop to the review sheet.
//
// Runs on the offscreen platform unless QT_QPA_PLATFORM says otherwise.
#include "posting/PostingDraft.h"
#include "store/StoreLoader.h"
#include "tracking/TodayProvider.h"
#include "ui/ContentView.h"
#include "ui/PostingImportFlow.h"
#include "ui/PostingImportSheet.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPainter>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <vector>

namespace {

// CPU time of the calling thread: the part of a gap the main thread spent working,
// as opposed to waiting for a core the rest of the machine had.
double threadCpuMs()
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

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

void windowStaysResponsive(benchmark::State& state)
{
    const int screenshots = int(state.range(0));
    QTemporaryDir folder;
    QList<QUrl> urls;
    for (int i = 0; i < screenshots; ++i)
        urls.append(QUrl::fromLocalFile(writeScreenshot(folder.path(), i)));
    QTemporaryDir data;
    StoreLoader loader = openStore(data.path());
    if (!loader.isReady()) {
        state.SkipWithError("store");
        return;
    }
    TodayProvider today;
    ContentView view(*loader.store(), today);
    view.resize(1080, 720);
    view.show();
    PostingImportFlow flow(view);
    QApplication::processEvents();

    std::vector<double> gapsMs;
    double longestBusyMs = 0;
    double longestRepaintMs = 0;
    double readingMs = 0;
    for (auto _ : state) {
        gapsMs.clear();
        longestBusyMs = 0;
        QElapsedTimer sinceTick;
        double cpuAtTick = threadCpuMs();
        QTimer ticker;
        ticker.setTimerType(Qt::PreciseTimer);
        ticker.setInterval(1);
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            gapsMs.push_back(double(sinceTick.nsecsElapsed()) / 1e6);
            sinceTick.restart();
            const double cpu = threadCpuMs();
            longestBusyMs = std::max(longestBusyMs, cpu - cpuAtTick);
            cpuAtTick = cpu;
        });
        QTimer frames;
        frames.setTimerType(Qt::PreciseTimer);
        frames.setInterval(16);
        QObject::connect(&frames, &QTimer::timeout, [&] {
            QElapsedTimer paint;
            paint.start();
            view.window()->repaint();
            if (flow.sheet())
                flow.sheet()->repaint();
            longestRepaintMs = std::max(longestRepaintMs, double(paint.nsecsElapsed()) / 1e6);
        });

        QElapsedTimer reading;
        reading.start();
        sinceTick.start();
        cpuAtTick = threadCpuMs();
        ticker.start();
        frames.start();
        flow.importFiles(urls);
        while (flow.session().isProcessing())
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        readingMs = double(reading.nsecsElapsed()) / 1e6;
        ticker.stop();
        frames.stop();
        if (flow.session().drafts().size() != qsizetype(screenshots))
            state.SkipWithError("not every screenshot became a draft");
        flow.sheet()->cancel();
        QApplication::processEvents();
    }
    std::sort(gapsMs.begin(), gapsMs.end());
    const auto percentile = [&](double p) {
        return gapsMs.empty() ? 0.0 : gapsMs[std::min(gapsMs.size() - 1, size_t(p * double(gapsMs.size())))];
    };
    state.counters["longest_stall_ms"] = gapsMs.empty() ? 0.0 : gapsMs.back();
    // The main thread's own work within one gap, without time lost to other processes.
    state.counters["longest_busy_ms"] = longestBusyMs;
    state.counters["p99_gap_ms"] = percentile(0.99);
    state.counters["longest_repaint_ms"] = longestRepaintMs;
    state.counters["reading_ms"] = readingMs;
    state.counters["ticks"] = double(gapsMs.size());
}

} // namespace

BENCHMARK(windowStaysResponsive)->Arg(1)->Arg(3)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

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
