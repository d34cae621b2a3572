// The main window: start-up to the first painted frame (beside a bare QMainWindow
// started the same way), one search keystroke at 10,000 and 100,000 records, and
// the resident memory the window and its store take.
//
// Start-up is measured twice: as a whole process (exec to first frame, the way a
// user starts the application: child_ui_main, beside child_ui_bare), and inside
// this process, where Qt is already warm.
//
// Runs on the offscreen platform unless QT_QPA_PLATFORM says otherwise.
#include "AppBenchSupport.h"
#include "BenchData.h"
#include "FirstPaint.h"

#include "app/ApplywrightApp.h"
#include "model/Clock.h"
#include "store/Store.h"
#include "tracking/WindowState.h"
#include "ui/ApplicationDetailView.h"
#include "ui/ApplicationListModel.h"
#include "ui/ApplicationListView.h"
#include "ui/ContentView.h"
#include "ui/DetailHeader.h"
#include "ui/DetailSections.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QMainWindow>
#include <QProcess>
#include <QRandomGenerator>
#include <QSortFilterProxyModel>
#include <QStringListModel>
#include <QTemporaryDir>

#include <cstdio>
#include <cstring>

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

namespace {

const QDateTime benchNow = QDateTime(QDate(2025, 6, 1), QTime(12, 0), Qt::UTC);

// Resident set size of this process in kibibytes, from /proc/self/status.
qint64 residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

// Exec to a marker line of a child process: "bare" (a QMainWindow), "text" (the
// same with a label) or "main";
// the marker is "painted" (the first frame) or "rows" (the records are in the
// list and painted).
QProcessEnvironment childEnvironment()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!environment.contains(QStringLiteral("QT_QPA_PLATFORM")))
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    // As a desktop starts it: the application sets no thread limit of its own any more.
    environment.remove(QStringLiteral("OMP_THREAD_LIMIT"));
    return environment;
}

// One start of the child in `mode`: milliseconds from the start of the process to
// each of `markers` (in the order the child prints them); empty when one never came.
std::vector<double> startChild(const char* mode, const QString& folder, const std::vector<QByteArray>& markers)
{
    QProcess child;
    child.setProcessEnvironment(childEnvironment());
    child.setProcessChannelMode(QProcess::SeparateChannels);
    QElapsedTimer clock;
    clock.start();
    // The bare windows come from a program that links Qt Widgets alone: started from
    // this one, they would pay for loading every library the application links.
    const QString directory = QCoreApplication::applicationDirPath();
    if (std::strcmp(mode, "main") == 0)
        child.start(directory + QStringLiteral("/child_ui_main"), {folder});
    else
        child.start(directory + QStringLiteral("/child_ui_bare"), {QLatin1String(mode)});
    std::vector<double> times;
    QByteArray output;
    while (times.size() < markers.size() && child.waitForReadyRead(20000)) {
        output += child.readAllStandardOutput();
        const double now = double(clock.nsecsElapsed()) / 1e6;
        while (times.size() < markers.size() && output.contains(markers[times.size()]))
            times.push_back(now);
    }
    child.waitForFinished(20000);
    if (times.size() < markers.size())
        times.clear();
    return times;
}

void processStartup(benchmark::State& state, const char* mode, const QByteArray& marker = "painted")
{
    const QString folder = BenchData::storeWithRecords(10000);
    for (auto _ : state) {
        const std::vector<double> times = startChild(mode, folder, {marker});
        if (times.empty()) {
            state.SkipWithError("the child did not paint");
            break;
        }
        state.SetIterationTime(times.front() / 1e3);
    }
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// The main window's first frame and first rows against the bare window with a label,
// the two started by turns (which goes first alternates), so that whatever else the
// machine does meanwhile falls on both alike. The counters are medians and their ratios.
void BM_ProcessStartupByTurns(benchmark::State& state)
{
    const QString folder = BenchData::storeWithRecords(10000);
    std::vector<double> anchor, frame, rows;
    bool mainFirst = false;
    for (auto _ : state) {
        std::vector<double> text, main;
        for (int turn = 0; turn < 2; ++turn) {
            if ((turn == 0) == mainFirst)
                main = startChild("main", folder, {"painted", "rows"});
            else
                text = startChild("text", folder, {"painted"});
        }
        mainFirst = !mainFirst;
        if (text.empty() || main.empty()) {
            state.SkipWithError("a child did not paint");
            break;
        }
        anchor.push_back(text[0]);
        frame.push_back(main[0]);
        rows.push_back(main[1]);
        state.SetIterationTime(main[0] / 1e3);
    }
    state.counters["anchor_ms"] = median(anchor);
    state.counters["frame_ms"] = median(frame);
    state.counters["rows_ms"] = median(rows);
    state.counters["frame_ratio"] = median(frame) / std::max(median(anchor), 1e-9);
    state.counters["rows_ratio"] = median(rows) / std::max(median(anchor), 1e-9);
}

// Peak resident memory, KiB, of the program as a person starts it (the `applywright`
// beside this benchmark, its data folder the store's) against the bare window and the
// window with a label, the three started by turns. The anchors end by themselves and
// report their own peak; the program is left to settle (its peak
// still for two seconds, past the first frame, the records and the check of the file)
// and read from /proc before it is ended, so that the recognition worker it starts
// and reaps is not counted as its own. Linux only.
std::optional<qint64> anchorPeakKiB(const char* mode)
{
    QProcess child;
    child.setProcessEnvironment(childEnvironment());
    child.start(QCoreApplication::applicationDirPath() + QStringLiteral("/child_ui_bare"), {QLatin1String(mode)});
    if (!child.waitForFinished(20000) || child.exitCode() != 0)
        return std::nullopt;
    for (const QByteArray& line : child.readAllStandardOutput().split('\n')) {
        if (line.startsWith("peak ") && line.mid(5).toLongLong() > 0)
            return line.mid(5).toLongLong();
    }
    return std::nullopt;
}

std::optional<qint64> peakKiBOf(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return std::nullopt;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return std::nullopt;
}

std::optional<qint64> programPeakKiB(const QString& storeFolder)
{
    QTemporaryDir home;
    if (!home.isValid() || !QDir(home.path()).mkpath(QStringLiteral("data"))
        || !QFile::link(storeFolder, home.filePath(QStringLiteral("data/Applywright"))))
        return std::nullopt;
    QProcessEnvironment environment = childEnvironment();
    environment.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.path());
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(QCoreApplication::applicationDirPath() + QStringLiteral("/applywright"), {});
    if (!program.waitForStarted(10000))
        return std::nullopt;
    std::optional<qint64> peak;
    QElapsedTimer still;
    still.start();
    while (still.elapsed() < 2000 && !program.waitForFinished(100)) {
        const std::optional<qint64> now = peakKiBOf(program.processId());
        if (now != peak) {
            peak = now;
            still.restart();
        }
    }
    if (program.state() != QProcess::Running)
        return std::nullopt;
    program.terminate();
    program.waitForFinished(10000);
    return peak;
}

void BM_ProgramPeakMemory(benchmark::State& state)
{
    const QString folder = BenchData::storeWithRecords(int(state.range(0)));
    std::vector<double> bare, text, main;
    int turn = 0;
    for (auto _ : state) {
        std::optional<qint64> peaks[3];
        for (int i = 0; i < 3; ++i) {
            switch ((turn + i) % 3) {
            case 0: peaks[0] = anchorPeakKiB("bare"); break;
            case 1: peaks[1] = anchorPeakKiB("text"); break;
            default: peaks[2] = programPeakKiB(folder); break;
            }
        }
        ++turn;
        if (!peaks[0] || !peaks[1] || !peaks[2]) {
            state.SkipWithError("a process did not report its peak");
            break;
        }
        bare.push_back(double(*peaks[0]));
        text.push_back(double(*peaks[1]));
        main.push_back(double(*peaks[2]));
    }
    state.counters["bare_KiB"] = median(bare);
    state.counters["text_KiB"] = median(text);
    state.counters["program_KiB"] = median(main);
    state.counters["over_bare"] = median(main) / std::max(median(bare), 1.0);
    state.counters["over_text"] = median(main) / std::max(median(text), 1.0);
}

void BM_ProcessStartupBareWindow(benchmark::State& state)
{
    processStartup(state, "bare");
}

void BM_ProcessStartupBareWindowWithText(benchmark::State& state)
{
    processStartup(state, "text");
}

void BM_ProcessStartupMainWindow(benchmark::State& state)
{
    processStartup(state, "main");
}

// Until the first rows are in the list and painted (the newest records are read
// first, while the window paints its first frame).
void BM_ProcessStartupMainWindowRows(benchmark::State& state)
{
    processStartup(state, "main", "rows");
}

// Until all 10,000 rows are in the list and painted.
void BM_ProcessStartupMainWindowAllRows(benchmark::State& state)
{
    processStartup(state, "main", "all");
}

void BM_StartupBareWindow(benchmark::State& state)
{
    for (auto _ : state) {
        auto window = std::make_unique<QMainWindow>();
        window->setWindowTitle(QStringLiteral("Applywright"));
        window->resize(1080, 720);
        showAndWait(*window);
        state.PauseTiming();
        window.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}

// Everything the application does before its first frame: open the store (read
// 10,000 records from the file), build the window and its list, show, paint.
void BM_StartupMainWindow(benchmark::State& state)
{
    const QString folder = BenchData::storeWithRecords(int(state.range(0)));
    for (auto _ : state) {
        auto app = std::make_unique<ApplywrightApp>(folder, quietEnvironment());
        auto window = app->createWindow();
        showAndWait(*window);
        // Then the rows: read in the background meanwhile, shown and painted.
        requireRecords(*app);
        QApplication::processEvents();
        window->findChild<ContentView*>()->listView()->listView()->viewport()->repaint();
        state.PauseTiming();
        window.reset();
        app.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}

// The window's part alone: the store is already open.
void BM_MainWindowWithOpenStore(benchmark::State& state)
{
    const QString folder = BenchData::storeWithRecords(int(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        auto app = std::make_unique<ApplywrightApp>(folder, quietEnvironment());
        state.ResumeTiming();
        auto window = app->createWindow();
        showAndWait(*window);
        state.PauseTiming();
        window.reset();
        app.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}

// The main window over a store of `records` generated records, shown, with every
// record read and listed.
struct OpenWindow {
    explicit OpenWindow(int records)
        : app(BenchData::storeWithRecords(records), quietEnvironment())
        , window(app.createWindow())
    {
        showAndWait(*window);
        requireRecords(app);
        QApplication::processEvents();
        content = window->findChild<ContentView*>();
    }
    ApplywrightApp app;
    std::unique_ptr<QMainWindow> window;
    ContentView* content = nullptr;
};

// The search texts typed and taken back one character at a time. Each measured
// iteration types the whole cycle, so every measurement is the same mix of
// narrowing and widening keystrokes whatever the iteration count.
const std::array<QString, 8> searchCycle {QStringLiteral("a"), QStringLiteral("ac"), QStringLiteral("acm"),
    QStringLiteral("acme"), QStringLiteral("acm"), QStringLiteral("ac"), QStringLiteral("a"), QString()};

// Eight keystrokes in the search field (one cycle): each time the list is
// recomputed, the rows replaced and the list painted again.
void BM_SearchKeystroke(benchmark::State& state)
{
    OpenWindow open(int(state.range(0)));
    ContentView* content = open.content;
    QLineEdit* field = content->searchField();
    QWidget* viewport = content->listView()->listView()->viewport();
    qint64 rows = 0;
    for (auto _ : state) {
        for (const QString& text : searchCycle) {
            field->setText(text);
            QApplication::processEvents();
            viewport->repaint();
            rows += content->listView()->model()->rowCount();
        }
    }
    state.counters["rows"]
        = benchmark::Counter(double(rows) / double(searchCycle.size()), benchmark::Counter::kAvgIterations);
}

// The first search after opening: no record has its folded search text yet.
// Each iteration drops every record's cache, then types one letter.
void BM_FirstSearch(benchmark::State& state)
{
    OpenWindow open(int(state.range(0)));
    ContentView* content = open.content;
    QLineEdit* field = content->searchField();
    QWidget* viewport = content->listView()->listView()->viewport();
    const QList<JobApplication*> records = open.app.storeLoader().store()->applicationsByDate();
    for (auto _ : state) {
        state.PauseTiming();
        field->clear();
        QApplication::processEvents();
        for (JobApplication* record : records)
            record->derivedCache().clear();
        state.ResumeTiming();
        field->setText(QStringLiteral("e"));
        QApplication::processEvents();
        viewport->repaint();
    }
}

// One keystroke in the selected record's company field, as the user types: the
// record is written, the visible list is recomputed and re-sorted by company
// name (the record moves), the row and the editor's header are redrawn.
void BM_CompanyKeystroke(benchmark::State& state)
{
    OpenWindow open(int(state.range(0)));
    ContentView* content = open.content;
    content->state().setSortOption(SortOption::company);
    content->state().setSelectedID(
        content->state().visibleApplications().at(content->state().visibleApplications().size() / 2)->id());
    QApplication::processEvents();
    ApplicationDetailView* editor = content->detailView();
    QLineEdit* company = editor->applicationSection()->companyField();
    company->setFocus();
    QWidget* viewport = content->listView()->listView()->viewport();
    // Type "Zeta" and take it back again, over and over: every keystroke moves the record.
    const QString word = QStringLiteral("Zeta");
    qsizetype typed = 0;
    bool erasing = false;
    for (auto _ : state) {
        if (!erasing) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, word.mid(typed, 1));
            QApplication::sendEvent(company, &press);
            erasing = ++typed == word.size();
        } else {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier);
            QApplication::sendEvent(company, &press);
            erasing = --typed > 0;
        }
        QApplication::processEvents();
        viewport->repaint();
        editor->header()->repaint();
    }
    state.counters["rows"] = double(content->state().visibleApplications().size());
}

// The plain anchor for both keystrokes: Qt's own string list of as many company
// names behind a sorting, filtering proxy in a list view. A name typed into one
// row is re-sorted by the proxy; a search text filters it; the list is painted.
struct ProxyAnchor {
    explicit ProxyAnchor(int count)
    {
        QRandomGenerator random(7);
        QStringList names;
        for (int i = 0; i < count; ++i)
            names.append(BenchData::companyWords().at(int(random.bounded(BenchData::companyWords().size()))) + u' '
                + BenchData::companyWords().at(int(random.bounded(BenchData::companyWords().size()))));
        source.setStringList(names);
        proxy.setSourceModel(&source);
        proxy.setSortLocaleAware(true);
        proxy.setFilterCaseSensitivity(Qt::CaseInsensitive);
        proxy.sort(0);
        view->setModel(&proxy);
        view->setUniformItemSizes(true);
        window.setCentralWidget(view);
        window.resize(360, 720);
        showAndWait(window);
    }
    QStringListModel source;
    QSortFilterProxyModel proxy;
    QMainWindow window;
    QListView* view = new QListView;
};

void BM_AnchorProxyRename(benchmark::State& state)
{
    ProxyAnchor anchor(int(state.range(0)));
    const QModelIndex edited = anchor.source.index(int(state.range(0)) / 2);
    const QString name = edited.data().toString();
    const QString word = QStringLiteral("Zeta");
    qsizetype typed = 0;
    bool erasing = false;
    for (auto _ : state) {
        typed += erasing ? -1 : 1;
        anchor.source.setData(edited, typed == 0 ? name : word.left(typed));
        erasing = erasing ? typed > 0 : typed == word.size();
        QApplication::processEvents();
        anchor.view->viewport()->repaint();
    }
}

void BM_AnchorProxySearch(benchmark::State& state)
{
    ProxyAnchor anchor(int(state.range(0)));
    for (auto _ : state) {
        for (const QString& text : searchCycle) {
            anchor.proxy.setFilterFixedString(text);
            QApplication::processEvents();
            anchor.view->viewport()->repaint();
        }
    }
}

// Resident memory, measured in a fresh child process so that no other benchmark
// has grown the heap: after Qt, the fonts and the style are warm (a bare window is
// shown), after the store is open, and after the main window is shown.
int runMemoryChild(int argc, char** argv)
{
    QApplication application(argc, argv);
    Clock::setFixed(benchNow);
    const QString folder = QString::fromLocal8Bit(argv[2]);
    {
        QMainWindow warm;
        warm.resize(1080, 720);
        showAndWait(warm);
    }
    QApplication::processEvents();
    const qint64 baseline = residentKiB();
    ApplywrightApp app(folder, quietEnvironment());
    requireRecords(app);
    const qint64 withStore = residentKiB();
    auto window = app.createWindow();
    showAndWait(*window);
    const qint64 withWindow = residentKiB();
    std::printf("%lld %lld %lld\n", static_cast<long long>(baseline), static_cast<long long>(withStore),
        static_cast<long long>(withWindow));
    std::fflush(stdout);
    return 0;
}

void BM_ResidentMemory(benchmark::State& state)
{
    const QString folder = BenchData::storeWithRecords(int(state.range(0)));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!environment.contains(QStringLiteral("QT_QPA_PLATFORM")))
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    for (auto _ : state) {
        QProcess child;
        child.setProcessEnvironment(environment);
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--memory-child"), folder});
        child.waitForFinished(60000);
        const QList<QByteArray> numbers = child.readAllStandardOutput().trimmed().split(' ');
        if (numbers.size() != 3) {
            state.SkipWithError("the child reported nothing");
            break;
        }
        const double baseline = numbers[0].toDouble() / 1024.0;
        const double withStore = numbers[1].toDouble() / 1024.0;
        const double withWindow = numbers[2].toDouble() / 1024.0;
        state.counters["baseline_MiB"] = baseline;
        state.counters["store_MiB"] = withStore - baseline;
        state.counters["window_MiB"] = withWindow - withStore;
        state.counters["total_MiB"] = withWindow;
    }
}

} // namespace

BENCHMARK(BM_ResidentMemory)->Arg(10000)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProgramPeakMemory)->Arg(10000)->Arg(100000)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProcessStartupBareWindow)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProcessStartupBareWindowWithText)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProcessStartupMainWindow)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProcessStartupMainWindowRows)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProcessStartupMainWindowAllRows)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProcessStartupByTurns)->UseManualTime()->Iterations(30)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StartupBareWindow)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StartupMainWindow)->Arg(10000)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MainWindowWithOpenStore)->Arg(10000)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchKeystroke)->Arg(10000)->Arg(100000)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FirstSearch)->Arg(10000)->Arg(100000)->Iterations(5)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CompanyKeystroke)->Arg(10000)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AnchorProxyRename)->Arg(10000)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AnchorProxySearch)->Arg(10000)->Arg(100000)->UseRealTime()->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--memory-child") == 0)
        return runMemoryChild(argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    Clock::setFixed(benchNow);

    // Fonts, style and the platform are initialised once per process, not per window:
    // both kinds of window are shown once before anything is measured.
    {
        QMainWindow warm;
        warm.resize(1080, 720);
        showAndWait(warm);
        ApplywrightApp app(BenchData::storeWithRecords(10000), quietEnvironment());
        auto window = app.createWindow();
        showAndWait(*window);
    }
    QApplication::processEvents();
    return BenchData::runBenchmarks(argc, argv);
}
