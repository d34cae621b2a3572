// The board over generated records: switching the window from the list to the board
// (the first time, when the board is made, and again), one Ctrl+Shift+Right on a
// card with everything that follows it (the status change through the edit layer,
// the visible list computed again, the two columns and the editor redrawn), and
// scrolling a column of about 5,000 cards one step per frame. A plain anchor runs in
// the same process, so results from machines of other speeds compare as ratios.
// Runs offscreen unless QT_QPA_PLATFORM says otherwise.
#include "BenchData.h"

#include "app/ApplywrightApp.h"
#include "model/Clock.h"
#include "tracking/WindowState.h"
#include "ui/ApplicationDetailView.h"
#include "ui/ApplicationListModel.h"
#include "ui/BoardView.h"
#include "ui/ContentView.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QListView>
#include <QMainWindow>
#include <QScrollBar>

#include <algorithm>

namespace {

const QDateTime benchNow = QDateTime(QDate(2025, 6, 1), QTime(12, 0), Qt::UTC);

ContentView::Environment quietEnvironment()
{
    return {[](const QUrl&) {}, [](const QString&, const QString&) { return false; }};
}

// The main window over a store of `records` generated records, shown, every record read.
struct OpenWindow {
    explicit OpenWindow(int records)
        : app(BenchData::storeWithRecords(records), quietEnvironment())
        , window(app.createWindow())
    {
        window->resize(1600, 900);
        window->show();
        if (auto read = app.storeLoader().store()->ensureLoaded(); !read)
            qFatal("%s", qPrintable(read.error().description()));
        QApplication::processEvents();
        content = window->findChild<ContentView*>();
    }
    ApplywrightApp app;
    std::unique_ptr<QMainWindow> window;
    ContentView* content = nullptr;
};

void repaintBoard(BoardView& board)
{
    for (ApplicationStatus status : allCases<ApplicationStatus>())
        board.columnView(status)->viewport()->repaint();
}

// From the list to the board, painted; `again`: the board was shown before.
void switchToBoard(benchmark::State& state, bool again)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto open = std::make_unique<OpenWindow>(int(state.range(0)));
        if (again) {
            open->content->setBoardShown(true);
            QApplication::processEvents();
            open->content->setBoardShown(false);
            QApplication::processEvents();
        }
        QElapsedTimer timer;
        state.ResumeTiming();
        timer.start();
        open->content->setBoardShown(true);
        QApplication::processEvents();
        repaintBoard(*open->content->boardView());
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        state.PauseTiming();
        open.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}

void BM_SwitchToBoardFirst(benchmark::State& state)
{
    switchToBoard(state, false);
}

void BM_SwitchToBoardAgain(benchmark::State& state)
{
    switchToBoard(state, true);
}

// Counts the paint events its watched widgets receive.
class PaintCounter : public QObject {
public:
    int painted = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++painted;
        return QObject::eventFilter(watched, event);
    }
};

// Ctrl+Shift+Right on the first Applied card, as a person moves cards on one after
// another: each press is one status change with everything the window does after it
// until the event loop is idle again -- the columns, the editor, and the repaint the
// loop delivers (counted, so a turn that painted nothing would show). Selecting the
// next card is not timed.
void BM_MoveCardKey(benchmark::State& state)
{
    OpenWindow open(int(state.range(0)));
    open.content->setBoardShown(true);
    QApplication::processEvents();
    BoardView* board = open.content->boardView();
    PaintCounter paints;
    for (ApplicationStatus status : {ApplicationStatus::applied, ApplicationStatus::hrInterview})
        board->columnView(status)->viewport()->installEventFilter(&paints);
    if (open.content->detailView())
        open.content->detailView()->installEventFilter(&paints);
    // Where the time goes: the key itself (the status change and the card's move) and
    // the turn of the event loop after it (the views told, laid out and painted).
    double keyNs = 0;
    double loopNs = 0;
    int paintsInTurn = 0;
    QElapsedTimer timer;
    QListView* column = board->columnView(ApplicationStatus::applied);
    for (auto _ : state) {
        JobApplication* record = board->columnModel(ApplicationStatus::applied)->application(0);
        open.content->state().setSelectedID(record->id());
        QApplication::processEvents();
        const int paintedBefore = paints.painted;
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Right, Qt::ControlModifier | Qt::ShiftModifier);
        timer.start();
        QApplication::sendEvent(column, &press);
        const qint64 key = timer.nsecsElapsed();
        QApplication::processEvents();
        const qint64 whole = timer.nsecsElapsed();
        keyNs += double(key);
        loopNs += double(whole - key);
        paintsInTurn += paints.painted - paintedBefore;
        state.SetIterationTime(double(whole) / 1e9);
    }
    const auto perKey = [&](double ns) { return benchmark::Counter(ns / 1e6, benchmark::Counter::kAvgIterations); };
    state.counters["key_ms"] = perKey(keyNs);
    state.counters["loop_ms"] = perKey(loopNs);
    state.counters["paints"] = benchmark::Counter(paintsInTurn, benchmark::Counter::kAvgIterations);
    state.counters["cards"] = double(open.content->state().visibleApplications().size());
}

// One scroll step of the fullest column, painted, as a frame of a steady scroll.
void BM_ScrollColumn(benchmark::State& state)
{
    OpenWindow open(int(state.range(0)));
    open.content->setBoardShown(true);
    QApplication::processEvents();
    QListView* column = open.content->boardView()->columnView(ApplicationStatus::applied);
    QScrollBar* bar = column->verticalScrollBar();
    const int step = 40;
    for (auto _ : state) {
        bar->setValue(bar->value() + step > bar->maximum() ? 0 : bar->value() + step);
        column->viewport()->repaint();
    }
    state.counters["cards"] = double(column->model()->rowCount());
}

void BM_Anchor(benchmark::State& state)
{
    BenchData::sortAnchor(state);
}

} // namespace

BENCHMARK(BM_Anchor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SwitchToBoardFirst)->Arg(10000)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SwitchToBoardAgain)->Arg(10000)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MoveCardKey)->Arg(10000)->UseManualTime()->Unit(benchmark::kMillisecond);
// About 5,000 of 13,334 generated records are in Applied (three in eight).
BENCHMARK(BM_ScrollColumn)->Arg(13334)->UseRealTime()->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    Clock::setFixed(benchNow);
    return BenchData::runBenchmarks(argc, argv);
}
