// The board: cards dragged and moved by keys through the edit layer, search and sort,
// folded columns, screen-reader names, and the window's choice of board or list.

#include "UiTestSupport.h"

#include "app/ApplywrightApp.h"
#include "backup/BackupTransfer.h"
#include "tracking/WindowState.h"
#include "ui/ApplicationDetailView.h"
#include "ui/ApplicationListModel.h"
#include "ui/ApplicationListView.h"
#include "ui/ApplicationSection.h"
#include "ui/BoardCard.h"
#include "ui/BoardView.h"
#include "ui/DetailSections.h"

#include <QAccessible>
#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QMainWindow>
#include <QSettings>
#include <QSignalSpy>
#include <QToolButton>
#include <QUndoStack>

using namespace UiTestSupport;
using namespace Qt::StringLiterals;

namespace {

struct Fixture : StoreFixture {
    FakeDesktop desktop;
};

// The board's columns as "Applied: A, B | HR Interview: … | …".
QString columns(BoardView& board)
{
    QStringList parts;
    for (ApplicationStatus status : allCases<ApplicationStatus>())
        parts.append(title(status) + u": "_s + companies(board.columnModel(status)->applications()).join(u", "_s));
    return parts.join(u" | "_s);
}

QByteArray backupBytes(Store& store)
{
    auto file = exportBackup(store);
    return file ? file->data() : QByteArray("export failed");
}

} // namespace

class TestBoard : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { useEnglishTexts(); }
    void init()
    {
        m_fixture = std::make_unique<Fixture>();
        addRecord(store(), u"Acme Ltd"_s, u"Engineer"_s, ApplicationStatus::applied, 3);
        addRecord(store(), u"Fernhill Analytics"_s, u"Data Engineer"_s, ApplicationStatus::hrInterview, 5);
        addRecord(store(), u"Firm 10"_s, u"Designer"_s, ApplicationStatus::offer, 20, WorkModel::onSite);
        addRecord(store(), u"Firm 9"_s, u"Analyst"_s, ApplicationStatus::rejected, 1, WorkModel::hybrid);
        addRecord(store(), u"Bolt"_s, u"Tester"_s, ApplicationStatus::applied, 9);
        QVERIFY(store().save());
    }
    void cleanup() { m_fixture.reset(); }

    void dragMovesCardAsTheEditorDoes_data()
    {
        QTest::addColumn<QString>("company");
        QTest::addColumn<ApplicationStatus>("target");
        QTest::newRow("applied to HR") << u"Acme Ltd"_s << ApplicationStatus::hrInterview;
        QTest::newRow("applied to offer, over two columns") << u"Bolt"_s << ApplicationStatus::offer;
        QTest::newRow("HR back to applied") << u"Fernhill Analytics"_s << ApplicationStatus::applied;
        QTest::newRow("into rejected") << u"Acme Ltd"_s << ApplicationStatus::rejected;
    }

    void dragMovesCardAsTheEditorDoes()
    {
        QFETCH(QString, company);
        QFETCH(ApplicationStatus, target);
        auto view = makeBoard();
        JobApplication* record = find(company);
        const QByteArray before = backupBytes(store());

        // The same change made in the editor, then taken back.
        view->state().setSelectedID(record->id());
        QComboBox* picker = view->detailView()->applicationSection()->statusPicker();
        picker->setCurrentIndex(picker->findText(title(target)));
        Q_EMIT picker->activated(picker->currentIndex());
        QCOMPARE(record->status(), target);
        const QByteArray byEditor = backupBytes(store());
        const QString editorStep = view->state().undoStack().undoText();
        view->state().undo();
        QApplication::processEvents();
        QCOMPARE(backupBytes(store()), before);
        view->state().setSelectedID(std::nullopt);

        BoardView* board = view->boardView();
        const int steps = view->state().undoStack().index();
        const QString shown = columns(*board);
        QSignalSpy resets(board->columnModel(target), &QAbstractItemModel::modelReset);
        drag(*board, record, target);
        QCOMPARE(record->status(), target);
        // One step, the same record change byte for byte.
        QCOMPARE(view->state().undoStack().index(), steps + 1);
        QCOMPARE(view->state().undoStack().undoText(), editorStep);
        QCOMPARE(backupBytes(store()), byEditor);
        // The card moved alone: no column was rebuilt, and it is the selected one.
        QCOMPARE(resets.count(), 0);
        QVERIFY(board->columnModel(target)->rowOf(record) >= 0);
        QCOMPARE(view->state().selectedID(), std::optional<RecordID>(record->id()));
        QTRY_COMPARE(view->detailView()->rejectionSection()->isVisible(), target == ApplicationStatus::rejected);
        QCOMPARE(board->lastAnnouncement(), u"%1 moved to %2"_s.arg(company, title(target)));
        QCOMPARE(board->columnView(target)->accessibleDescription(), board->lastAnnouncement());

        view->state().undo();
        QApplication::processEvents();
        QCOMPARE(columns(*board), shown);
    }

    void dropsThatChangeNothing_data()
    {
        QTest::addColumn<QString>("where");
        QTest::newRow("same column") << u"same"_s;
        QTest::newRow("outside the columns") << u"toolbar"_s;
        QTest::newRow("folded column") << u"folded"_s;
    }

    void dropsThatChangeNothing()
    {
        QFETCH(QString, where);
        auto view = makeBoard();
        BoardView* board = view->boardView();
        JobApplication* acme = find(u"Acme Ltd"_s);
        const QByteArray before = backupBytes(store());
        const QString shown = columns(*board);
        QListView* from = board->columnView(ApplicationStatus::applied);
        const QPoint start = from->visualRect(board->columnModel(ApplicationStatus::applied)->index(0, 0)).center();
        QWidget* target = from->viewport();
        QPoint end = start + QPoint(0, 40);
        if (where == u"toolbar"_s) {
            target = board->menuButton();
            end = board->menuButton()->rect().center();
        } else if (where == u"folded"_s) {
            board->setShowsClosedColumns(false);
            QApplication::processEvents();
            target = board->columnHeader(ApplicationStatus::offer);
            end = target->rect().center();
        }
        QCOMPARE(board->columnModel(ApplicationStatus::applied)->application(0), acme);
        dragTo(from, start, target, end);
        QCOMPARE(backupBytes(store()), before);
        QCOMPARE(columns(*board), shown);
        QCOMPARE(view->state().undoStack().count(), 0);
    }

    void keyboard_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("expected");
        // Keys pressed with the first Applied card current; what follows them.
        QTest::newRow("move on twice") << u"C>,C>"_s << u"Acme Ltd in Tech Interview, 2 steps"_s;
        QTest::newRow("move on then back") << u"C>,C<"_s << u"Acme Ltd in Applied, 2 steps"_s;
        QTest::newRow("back from the first status") << u"C<"_s << u"Acme Ltd in Applied, 0 steps"_s;
        QTest::newRow("down selects the next card") << u"v,v"_s << u"Bolt selected"_s;
        QTest::newRow("right goes to the next column") << u">"_s << u"Fernhill Analytics selected"_s;
        QTest::newRow("right past empty columns") << u">,>"_s << u"Firm 10 selected"_s;
        QTest::newRow("return opens the detail") << u"v,R"_s << u"Acme Ltd selected, detail focused"_s;
        QTest::newRow("delete asks") << u"v,D"_s << u"asked Acme Ltd — Engineer. This cannot be undone."_s;
    }

    void keyboard()
    {
        QFETCH(QString, keys);
        QFETCH(QString, expected);
        m_fixture->desktop.answer = false;
        auto view = makeBoard();
        BoardView* board = view->boardView();
        JobApplication* acme = find(u"Acme Ltd"_s);
        board->focusCards();
        QListView* focused = board->columnView(ApplicationStatus::applied);
        QTRY_VERIFY(focused->hasFocus());
        for (const QString& key : keys.split(u',')) {
            QWidget* at = QApplication::focusWidget();
            if (key == u"C>"_s || key == u"C<"_s)
                QTest::keyClick(
                    at, key == u"C>"_s ? Qt::Key_Right : Qt::Key_Left, Qt::ControlModifier | Qt::ShiftModifier);
            else if (key == u">"_s)
                QTest::keyClick(at, Qt::Key_Right);
            else if (key == u"v"_s)
                QTest::keyClick(at, Qt::Key_Down);
            else if (key == u"R"_s)
                QTest::keyClick(at, Qt::Key_Return);
            else if (key == u"D"_s)
                QTest::keyClick(at, Qt::Key_Delete);
            QApplication::processEvents();
        }
        QString seen;
        if (expected.contains(u" in "_s)) {
            seen = u"Acme Ltd in %1, %2 steps"_s.arg(title(acme->status())).arg(view->state().undoStack().count());
            // The moved card keeps the keyboard in its new column.
            QVERIFY(board->columnView(acme->status())->hasFocus());
        } else if (expected.startsWith(u"asked"_s)) {
            seen = u"asked "_s + m_fixture->desktop.asked.value(0).second;
            QCOMPARE(store().count(), 5);
        } else {
            JobApplication* selected = view->state().selectedApplication();
            seen = (selected ? selected->companyName() : u"nothing"_s) + u" selected"_s;
            if (expected.endsWith(u"detail focused"_s) && view->detailView()
                && view->detailView()->isAncestorOf(QApplication::focusWidget()))
                seen += u", detail focused"_s;
        }
        QCOMPARE(seen, expected);
    }

    void searchAndSort_data()
    {
        QTest::addColumn<QString>("search");
        QTest::addColumn<SortOption>("sort");
        QTest::addColumn<QString>("expected");
        QTest::newRow("newest") << QString() << SortOption::newest
                                << u"Applied: Acme Ltd, Bolt | HR Interview: Fernhill Analytics | Tech Interview:  | "
                                   u"Offer: Firm 10 | Rejected: Firm 9"_s;
        QTest::newRow("longest waiting") << QString() << SortOption::longestWaiting
                                         << u"Applied: Bolt, Acme Ltd | HR Interview: Fernhill Analytics | Tech "
                                            u"Interview:  | Offer: Firm 10 | Rejected: Firm 9"_s;
        QTest::newRow("search firm, by company")
            << u"firm"_s << SortOption::company
            << u"Applied:  | HR Interview:  | Tech Interview:  | Offer: Firm 10 | Rejected: Firm 9"_s;
        QTest::newRow("search a status title")
            << u"hr interview"_s << SortOption::newest
            << u"Applied:  | HR Interview: Fernhill Analytics | Tech Interview:  | Offer:  | Rejected: "_s;
    }

    void searchAndSort()
    {
        QFETCH(QString, search);
        QFETCH(SortOption, sort);
        auto view = makeBoard();
        typeText(view->searchField(), search);
        view->state().setSortOption(sort);
        QTEST(columns(*view->boardView()), "expected");
        // The field the board shows is the window's one.
        QVERIFY(view->boardView()->isAncestorOf(view->searchField()));
    }

    void foldedColumnsKeepTheirCounts_data()
    {
        QTest::addColumn<bool>("shown");
        QTest::addColumn<QString>("headers");
        QTest::newRow("shown") << true << u"Applied 2|HR Interview 1|Tech Interview 0|Offer 1|Rejected 1"_s;
        QTest::newRow("folded") << false
                                << u"Applied 2|HR Interview 1|Tech Interview 0|Offer 1 folded|Rejected 1 folded"_s;
    }

    void foldedColumnsKeepTheirCounts()
    {
        QFETCH(bool, shown);
        auto view = makeBoard();
        BoardView* board = view->boardView();
        if (!shown)
            board->closedColumnsAction()->trigger();
        QApplication::processEvents();
        QStringList seen;
        for (ApplicationStatus status : allCases<ApplicationStatus>()) {
            BoardColumnHeader* header = board->columnHeader(status);
            seen.append(header->text() + (header->isFolded() ? u" folded"_s : QString()));
            QCOMPARE(board->columnView(status)->isVisible(), !header->isFolded());
            if (header->isFolded())
                QCOMPARE(board->column(status)->width(), BoardView::foldedColumnWidth);
        }
        QTEST(seen.join(u'|'), "headers");
        // A folded column still counts a card moved into it.
        JobApplication* acme = find(u"Acme Ltd"_s);
        QVERIFY(board->moveTo(*acme, ApplicationStatus::offer));
        QCOMPARE(board->columnHeader(ApplicationStatus::offer)->count(), 2);
        QCOMPARE(board->columnHeader(ApplicationStatus::applied)->count(), 1);
    }

    void accessibleNames()
    {
        auto view = makeBoard();
        BoardView* board = view->boardView();
        QListView* hr = board->columnView(ApplicationStatus::hrInterview);
        QCOMPARE(hr->accessibleName(), u"HR Interview, 1 application"_s);
        QCOMPARE(board->columnView(ApplicationStatus::applied)->accessibleName(), u"Applied, 2 applications"_s);
        QCOMPARE(board->columnHeader(ApplicationStatus::hrInterview)->accessibleName(), hr->accessibleName());
        QAccessibleInterface* column = QAccessible::queryAccessibleInterface(hr);
        QVERIFY(column);
        QAccessibleInterface* card = nullptr;
        for (int i = 0; i < column->childCount() && !card; ++i) {
            if (column->child(i)->role() == QAccessible::ListItem)
                card = column->child(i);
        }
        QVERIFY(card);
        QCOMPARE(card->text(QAccessible::Name),
            u"Fernhill Analytics, Data Engineer, HR Interview, Waiting 5 days, Remote"_s);
        board->setShowsClosedColumns(false);
        QCOMPARE(board->columnHeader(ApplicationStatus::offer)->accessibleName(), u"Offer, 1 application, folded"_s);
    }

    void moveCardAgreesWithARebuild()
    {
        // A card moved on its own lands where a rebuild from the visible list puts it.
        auto view = makeBoard();
        BoardView* board = view->boardView();
        JobApplication* fernhill = find(u"Fernhill Analytics"_s);
        QSignalSpy removed(board->columnModel(ApplicationStatus::hrInterview), &QAbstractItemModel::rowsRemoved);
        QSignalSpy inserted(board->columnModel(ApplicationStatus::applied), &QAbstractItemModel::rowsInserted);
        view->state().edits().changeStatus(*fernhill, ApplicationStatus::applied);
        QCOMPARE(removed.count(), 1);
        QCOMPARE(inserted.count(), 1);
        const QString moved = columns(*board);
        QCOMPARE(moved.section(u" | "_s, 0, 0), u"Applied: Acme Ltd, Fernhill Analytics, Bolt"_s);
        board->showVisible();
        QApplication::processEvents();
        QCOMPARE(columns(*board), moved);
    }

    void viewChoiceRemembered()
    {
        AppFixture app;
        const QString ini = app.dir.filePath(u"settings.ini"_s);
        const auto open = [&](ApplywrightApp& shell, QSettings& settings) {
            shell.setSettings(settings);
            auto window = showWindow(shell);
            if (!QTest::qWaitFor([&] { return window->findChild<ContentView*>()->state().totalCount() >= 0; }))
                qWarning("the store was not read");
            return window;
        };
        {
            QSettings settings(ini, QSettings::IniFormat);
            ApplywrightApp shell(app.dir.path(), app.desktop.environment());
            auto window = open(shell, settings);
            auto* content = window->findChild<ContentView*>();
            QVERIFY(!content->isBoardShown());
            content->state().setStatusFilter(StatusFilter::active());
            QTest::keyClick(window.get(), Qt::Key_1, Qt::ControlModifier);
            QVERIFY(content->isBoardShown());
            QVERIFY(content->boardView()->isVisible());
            QVERIFY(!content->listView()->isVisible());
            QVERIFY(window->findChild<QAction*>(u"boardViewAction"_s)->isChecked());
            // Every column shows; the list's filter comes back with the list.
            QCOMPARE(content->state().statusFilter(), StatusFilter::all());
            QTest::keyClick(window.get(), Qt::Key_2, Qt::ControlModifier);
            QVERIFY(!content->isBoardShown());
            QCOMPARE(content->state().statusFilter(), StatusFilter::active());
            QVERIFY(content->listView()->isAncestorOf(content->searchField()));
            QVERIFY(content->searchField()->isVisible());
            QTest::keyClick(window.get(), Qt::Key_1, Qt::ControlModifier);
            content->boardView()->closedColumnsAction()->trigger();
            QVERIFY(!content->boardView()->showsClosedColumns());
        }
        QSettings settings(ini, QSettings::IniFormat);
        ApplywrightApp shell(app.dir.path(), app.desktop.environment());
        auto window = open(shell, settings);
        auto* content = window->findChild<ContentView*>();
        QVERIFY(content->isBoardShown());
        QVERIFY(window->findChild<QAction*>(u"boardViewAction"_s)->isChecked());
        // The closed columns stay folded as they were left.
        QVERIFY(!content->boardView()->showsClosedColumns());
        QVERIFY(content->boardView()->columnView(ApplicationStatus::offer)->isHidden());
    }

private:
    Store& store() const { return m_fixture->store.store(); }

    JobApplication* find(const QString& company) const
    {
        for (JobApplication* record : store().applicationsByDate()) {
            if (record->companyName() == company)
                return record;
        }
        return nullptr;
    }

    std::unique_ptr<ContentView> makeBoard()
    {
        auto view = makeContentView(*m_fixture, m_fixture->desktop.environment(), false, {1600, 700});
        view->setBoardShown(true);
        if (!showActive(view.get()))
            qWarning("window not active");
        return view;
    }

    // A real drag: press on `from` at `start`, move in steps, release over `target` at `end`.
    static void dragTo(QWidget* from, const QPoint& start, QWidget* target, const QPoint& end)
    {
        QTest::mousePress(from->window()->windowHandle(), Qt::LeftButton, {}, from->mapTo(from->window(), start));
        const QPoint to = target->mapTo(target->window(), end);
        const QPoint begin = from->mapTo(from->window(), start);
        for (int step = 1; step <= 4; ++step)
            QTest::mouseMove(from->window()->windowHandle(), begin + (to - begin) * step / 4);
        QTest::mouseRelease(from->window()->windowHandle(), Qt::LeftButton, {}, to);
        QApplication::processEvents();
    }

    static void drag(BoardView& board, JobApplication* record, ApplicationStatus target)
    {
        QApplication::processEvents();
        QListView* from = board.columnView(record->status());
        ApplicationListModel* model = board.columnModel(record->status());
        const QPoint start = from->visualRect(model->index(model->rowOf(record), 0)).center();
        QListView* to = board.columnView(target);
        dragTo(from->viewport(), start, to->viewport(), QPoint(to->viewport()->width() / 2, 30));
    }

    std::unique_ptr<Fixture> m_fixture;
};

QTEST_MAIN(TestBoard)
#include "tst_ui_board.moc"
