// The main window's content: creating, deleting, saving, the list query driving
// the rows, the selection, the detail column and the published actions.

#include "SqliteSupport.h"
#include "UiTestSupport.h"

#include "model/DayCount.h"
#include "tracking/WindowState.h"
#include "ui/ApplicationDetailView.h"
#include "ui/ApplicationListModel.h"
#include "ui/ApplicationListView.h"
#include "ui/ApplicationRow.h"
#include "ui/ConfirmationDialog.h"
#include "ui/DetailHeader.h"
#include "ui/DetailPlaceholder.h"
#include "ui/DetailSections.h"
#include "ui/EmptyListOverlay.h"
#include "ui/Palette.h"
#include "ui/SummaryBar.h"

#include <QCheckBox>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSplitter>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTimer>
#include <QToolButton>

using namespace UiTestSupport;
using namespace Qt::StringLiterals;
using TestSupport::execute;

namespace {

QStringList shownCompanies(ContentView& view)
{
    return companies(view.listView()->model()->applications());
}

JobApplication* selectedInList(ContentView& view)
{
    const QModelIndexList rows = view.listView()->listView()->selectionModel()->selectedIndexes();
    return rows.isEmpty() ? nullptr : view.listView()->model()->application(rows.first());
}

// The store fixture and the desktop, for each test.
struct Fixture : StoreFixture {
    FakeDesktop desktop;
};

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { useTestLocale(); }
    void init() { m_fixture = std::make_unique<Fixture>(); }
    void cleanup() { m_fixture.reset(); }

    void columnsColoursAndSearchField()
    {
        addSampleRecords();
        PaletteRestorer restorer;
        QApplication::setPalette(Palette::lightPalette());
        auto view = makeView(true);
        QSplitter* split = view->findChild<QSplitter*>(u"splitView"_s);
        QLineEdit* search = view->searchField();
        // The list's width, and whether the search field sits beside the buttons or under them.
        const auto layout = [&](int listWidth) {
            if (listWidth)
                split->setSizes({listWidth, 10000});
            QApplication::processEvents();
            const bool under = search->geometry().top() >= view->listView()->filterButton()->geometry().bottom();
            return u"%1 %2"_s.arg(split->sizes().value(0)).arg(under ? u"under"_s : u"beside"_s);
        };
        QCOMPARE(layout(0), u"320 beside"_s);
        // Growing the window widens the detail column, not the list.
        view->resize(1400, 700);
        QCOMPARE(layout(0), u"320 beside"_s);
        // The search field keeps its whole prompt: in the narrowest list on a row of its own.
        QCOMPARE(layout(ContentView::listMinimumWidth), u"%1 under"_s.arg(ContentView::listMinimumWidth));
        QVERIFY2(search->width() >= search->fontMetrics().horizontalAdvance(search->placeholderText()) + 30,
            qPrintable(QString::number(search->width())));
        QCOMPARE(layout(320), u"320 beside"_s);

        // A running window follows the desktop into dark: named colours and the sidebar change with it.
        QLabel* active = view->findChild<QLabel*>(u"activeCount"_s);
        const QPalette dark = Palette::darkPalette();
        QVERIFY(active->palette().color(QPalette::WindowText) != Palette::textColor(NamedColor::blue, dark));
        QApplication::setPalette(dark);
        QApplication::processEvents();
        QCOMPARE(active->palette().color(QPalette::WindowText), Palette::textColor(NamedColor::blue, dark));
        QCOMPARE(view->listView()->listView()->palette().color(QPalette::Base), Palette::sidebarBackground(dark));
    }

    void edgesStandOut_data()
    {
        QTest::addColumn<bool>("dark");
        QTest::newRow("light") << false;
        QTest::newRow("dark") << true;
    }

    void edgesStandOut()
    {
        // Measured in the painted pixels, in the application's own look: the search
        // field's edge and a menu's edge at least 3:1 against what surrounds them.
        QFETCH(bool, dark);
        AppearanceForTest appearance(dark);
        addSampleRecords();
        auto view = makeView(true);

        // The field's edge, at rest and with the keyboard focus (the focus ring).
        QLineEdit* search = view->searchField();
        for (const bool focused : {false, true}) {
            (focused ? static_cast<QWidget*>(search) : view->listView()->listView())->setFocus();
            QApplication::processEvents();
            QCOMPARE(search->hasFocus(), focused);
            const QImage bar = pixels(search->parentWidget());
            const qreal scale = bar.devicePixelRatio();
            const QRect field = search->geometry();
            const int x = int(field.center().x() * scale);
            const QColor outside = bar.pixelColor(x, int((field.top() - 3) * scale));
            double edge = 1;
            for (int y = int((field.top() - 1) * scale); y <= int((field.top() + 2) * scale); ++y)
                edge = std::max(edge, contrast(bar.pixelColor(x, y), outside));
            QVERIFY2(edge >= 3, qPrintable(u"search field edge %1 (focused %2)"_s.arg(edge).arg(focused)));
        }

        // A check box's edge, unchecked, on the window.
        QCheckBox box(u"Only what the list shows"_s);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QStyleOptionButton boxOption;
        boxOption.initFrom(&box);
        const QRect indicator = box.style()->subElementRect(QStyle::SE_CheckBoxIndicator, &boxOption, &box);
        const double boxEdge = drawnContrast(pixels(&box), indicator.adjusted(-2, -2, 2, 2));
        QVERIFY2(boxEdge >= 3, qPrintable(u"check box edge %1"_s.arg(boxEdge)));

        QMenu* menu = view->listView()->filterMenu();
        menu->popup(view->mapToGlobal(QPoint(40, 40)));
        QVERIFY(QTest::qWaitForWindowExposed(menu));
        const QColor menuEdge = pixels(menu).pixelColor(menu->width() / 2, 0);
        for (const QColor& behind : {QApplication::palette().color(QPalette::Window),
                 QApplication::palette().color(QPalette::Base), Palette::sidebarBackground(QApplication::palette())}) {
            QVERIFY2(contrast(menuEdge, behind) >= 3,
                qPrintable(
                    u"menu edge %1 on %2: %3"_s.arg(menuEdge.name(), behind.name()).arg(contrast(menuEdge, behind))));
        }
        menu->close();
    }

    // Names that look like placeholders stay as typed; a blank record is named as the
    // list names it.
    void deleteAsksWithTheRecordsNames()
    {
        auto view = makeView();
        desktop().answer = false;
        view->requestDeletion(*addRecord(store(), u"50%1 Off"_s, u"%2 Lead"_s));
        view->requestDeletion(*addRecord(store(), u"  "_s));
        const QString title = u"Delete this application?"_s;
        QCOMPARE(desktop().asked,
            (QList<std::pair<QString, QString>> {{title, u"50%1 Off — %2 Lead. This cannot be undone."_s},
                {title, u"New Application — No position specified. This cannot be undone."_s}}));
        QCOMPARE(store().count(), 2);
    }

    void deleteConfirmationDialog()
    {
        const auto answer = [](const std::function<void(ConfirmationDialog&)>& act) {
            ConfirmationDialog dialog(
                u"Delete this application?"_s, u"Acme — Engineer. This cannot be undone."_s, u"Delete"_s, nullptr);
            QTimer::singleShot(0, &dialog, [&] { act(dialog); });
            return dialog.ask();
        };
        // Return and Escape both keep the record; only the red action deletes.
        QVERIFY(!answer([](ConfirmationDialog& d) { QTest::keyClick(&d, Qt::Key_Return); }));
        QVERIFY(!answer([](ConfirmationDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); }));
        QVERIFY(answer([](ConfirmationDialog& d) { d.actionButton()->click(); }));
    }

    void deleteOutcome_data()
    {
        // "command": the selected record through the published command, as the menu runs
        // it; "editor": the editor's delete button; "row": another record from its row.
        QTest::addColumn<QString>("how");
        QTest::newRow("the command") << "command";
        QTest::newRow("the editor's button") << "editor";
        QTest::newRow("another record") << "row";
    }

    void deleteOutcome()
    {
        QFETCH(QString, how);
        addSampleRecords();
        auto view = makeView();
        JobApplication* target = view->state().visibleApplications().at(how == u"row"_s ? 2 : 1);
        const RecordID targetID = target->id();
        view->state().setSelectedID(view->state().visibleApplications().at(1)->id());
        QWidget* const detail = view->detailView();
        if (how == u"command"_s)
            QVERIFY(view->focusedActions()->trigger(FocusedActions::Key::deleteSelection));
        else if (how == u"editor"_s)
            view->detailView()->header()->deleteButton()->click();
        else
            view->requestDeletion(*target);
        QCOMPARE(desktop().asked.size(), 1);
        QVERIFY(!store().application(targetID));
        const bool selectionGone = how != u"row"_s;
        QCOMPARE(view->focusedActions()->isPublished(FocusedActions::Key::deleteSelection), !selectionGone);
        QCOMPARE(view->detailPlaceholder()->isVisibleTo(view.get()), selectionGone);
        if (!selectionGone)
            QCOMPARE(view->detailView(), detail);
        // The deleted object goes once control returns to the event loop; nothing still points at it.
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QApplication::processEvents();
        QCOMPARE(view->listView()->model()->rowCount(), 4);
    }

    // The rows and the summary follow the filter, the sort and every keystroke of the
    // search at once, without a turn of the event loop.
    void filterSortAndSearchDriveTheRows()
    {
        addSampleRecords();
        auto view = makeView();
        SummaryBar* bar = view->findChild<SummaryBar*>(u"summaryBar"_s);
        // The rows, then the counters: active, offers and stale (when its item shows).
        const auto summary = [&] {
            const auto text = [&](const char* name) { return bar->findChild<QLabel*>(QLatin1String(name))->text(); };
            const bool stale = !bar->findChild<QWidget*>(u"staleItem"_s)->isHidden();
            return QStringList {shownCompanies(*view).join(u", "_s), text("activeCount") + u' ' + text("activeLabel"),
                text("offersCount"), stale ? text("staleCount") : u"-"_s};
        };
        // Open: Acme (3 days), Çağrı (8), Müller (15, stale); an offer; a rejection, counted nowhere.
        QCOMPARE(summary(),
            (QStringList {u"Firm 9, Acme Ltd, Çağrı Yazılım, Müller GmbH, Firm 10"_s, u"3 active"_s, u"1"_s, u"1"_s}));
        view->state().setStatusFilter(StatusFilter::active());
        view->state().setSortOption(SortOption::company);
        QCOMPARE(shownCompanies(*view), (QStringList {u"Acme Ltd"_s, u"Çağrı Yazılım"_s, u"Müller GmbH"_s}));
        // Typed in lower case; the counters describe the matches only, with no stale item at zero.
        view->show();
        view->searchField()->setFocus();
        typeText(view->searchField(), u"çağ"_s);
        QCOMPARE(summary(), (QStringList {u"Çağrı Yazılım"_s, u"1 active"_s, u"0"_s, u"-"_s}));
    }

    // A selection the filter hides stays the window's (detail column, delete command)
    // while the list shows none; shown again, the list selects it.
    void selectionSurvivesFiltering()
    {
        addSampleRecords();
        auto view = makeView();
        JobApplication* offer = view->state().visibleApplications().last();
        view->state().setSelectedID(offer->id());
        view->state().setStatusFilter(StatusFilter::active());
        QCOMPARE(selectedInList(*view), nullptr);
        QCOMPARE(view->detailView()->application(), offer);
        QVERIFY(view->focusedActions()->isPublished(FocusedActions::Key::deleteSelection));
        view->state().setStatusFilter(StatusFilter::all());
        QCOMPARE(selectedInList(*view), offer);

        // Picking another row in the list selects it in the window.
        const QModelIndex first = view->listView()->model()->index(0, 0);
        view->listView()->listView()->selectionModel()->setCurrentIndex(first, QItemSelectionModel::ClearAndSelect);
        QCOMPARE(view->state().selectedApplication(), view->listView()->model()->application(first));
    }

    void keyboardAndContextMenuOnTheList()
    {
        addSampleRecords();
        auto view = makeView(true);
        QListView* list = view->listView()->listView();
        list->setFocus();
        // The first row is current from the start, unselected; the first Down selects it.
        QCOMPARE(list->currentIndex().row(), 0);
        QVERIFY(!view->state().selectedID());
        QTest::keyClick(list, Qt::Key_Down);
        JobApplication* first = view->listView()->model()->application(0);
        QCOMPARE(view->state().selectedApplication(), first);

        // A right click on another row opens its menu, outlined, and leaves the selection.
        const QPoint third = list->visualRect(view->listView()->model()->index(2, 0)).center();
        QTest::mouseClick(list->viewport(), Qt::RightButton, Qt::NoModifier, third);
        QContextMenuEvent context(QContextMenuEvent::Mouse, third, list->viewport()->mapToGlobal(third));
        QApplication::sendEvent(list->viewport(), &context);
        auto* menu = view->findChild<QMenu*>(u"rowContextMenu"_s);
        QVERIFY(menu);
        QCOMPARE(view->state().selectedApplication(), first);
        QCOMPARE(view->listView()->rowDelegate()->markedID(), view->listView()->model()->application(2)->id());
        menu->hide();
        QCOMPARE(view->listView()->rowDelegate()->markedID(), 0);
    }

    void emptyStoreAndNoResults()
    {
        auto view = makeView(true);
        auto* overlay = view->findChild<EmptyListOverlay*>(u"emptyListOverlay"_s);
        QVERIFY(overlay);
        DetailPlaceholder* placeholder = view->detailPlaceholder();
        // What the list's empty panel says, and which empty panels offer to create.
        const auto panels = [&] {
            return QStringList {overlay->isVisible() ? overlay->title() : u"(no panel)"_s,
                overlay->actionButton()->isVisible() ? u"list creates"_s : u"-"_s,
                placeholder->actionButton()->isVisible() ? u"detail creates"_s : u"-"_s};
        };
        const QStringList emptyStore {u"No applications yet"_s, u"list creates"_s, u"detail creates"_s};
        QCOMPARE(panels(), emptyStore);
        QCOMPARE(overlay->geometry(), view->listView()->listView()->viewport()->rect());
        // Side by side, the two empty panels share a centre line.
        const auto centre = [&view](QWidget* widget) { return widget->mapTo(view.get(), widget->rect().center()).y(); };
        QVERIFY2(std::abs(centre(overlay->actionButton()) - centre(placeholder->actionButton())) <= 1,
            qPrintable(u"%1 %2"_s.arg(centre(overlay->actionButton())).arg(centre(placeholder->actionButton()))));
        overlay->actionButton()->click();
        QCOMPARE(store().count(), 1);

        view->state().setSelectedID(std::nullopt);
        QCOMPARE(panels(), (QStringList {u"(no panel)"_s, u"-"_s, u"-"_s}));
        QCOMPARE(placeholder->description(), u"Select an application from the list to see its details."_s);
        // A search that matches nothing: no invitation, and the summary bar stays.
        view->state().setSearchText(u"nothing matches this"_s);
        QCOMPARE(panels(), (QStringList {u"No results"_s, u"-"_s, u"-"_s}));
        QVERIFY(view->listView()->summaryBar()->isVisible());

        // Empty again: the placeholder's button creates too.
        view->state().setSearchText(QString());
        store().remove(store().applications().first());
        QTRY_COMPARE(panels(), emptyStore);
        placeholder->actionButton()->click();
        QCOMPARE(store().count(), 1);
    }

    void saveMoments()
    {
        addSampleRecords();
        auto view = makeView();
        JobApplication* record = view->state().visibleApplications().at(0);
        view->state().setSelectedID(record->id());

        const auto save = [&] { return view->focusedActions()->trigger(FocusedActions::Key::saveChanges); };
        // The save command and going to the background save; becoming active saves nothing.
        const std::pair<std::function<void()>, bool> moments[] = {{[&] { QVERIFY(save()); }, true},
            {[] { Q_EMIT qGuiApp->applicationStateChanged(Qt::ApplicationInactive); }, true},
            {[] { Q_EMIT qGuiApp->applicationStateChanged(Qt::ApplicationActive); }, false}};
        for (const auto& [moment, saves] : moments) {
            edited<ApplicationField::notes>(record, record->notes().toString() + u'.');
            moment();
            QCOMPARE(store().hasChanges(), !saves);
        }

        // A refused save is only logged: the edit stays pending, the selection stays.
        QVERIFY(execute(store().databasePath(),
            "CREATE TRIGGER refuse BEFORE UPDATE ON JobApplication BEGIN SELECT RAISE(ABORT, 'disk is full'); END"));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"^Kaydedilemedi: .*disk is full"_s));
        QVERIFY(save());
        QVERIFY(store().hasChanges());
        QCOMPARE(view->state().selectedApplication(), record);
        QVERIFY(execute(store().databasePath(), "DROP TRIGGER refuse"));

        // The save after a deletion takes pending edits along.
        view->requestDeletion(*view->state().visibleApplications().at(1));
        QVERIFY(!store().hasChanges());
    }

    // The paste flow installs its action; the paste key on the list reaches it.
    void laterFlowsArePublishedWhenInstalled()
    {
        auto view = makeView(true);
        FocusedActions* actions = view->focusedActions();
        QVERIFY(!actions->isPublished(FocusedActions::Key::pastePosting));
        int pasted = 0;
        view->setPastePostingAction([&] { ++pasted; });
        view->listView()->listView()->setFocus();
        QTest::keySequence(view->listView()->listView(), QKeySequence::Paste);
        QCOMPARE(pasted, 1);
        view->setPastePostingAction({});
        QVERIFY(!actions->isPublished(FocusedActions::Key::pastePosting));
    }

    // Edits and the day clock both reach the rows.
    void changesReachTheRows()
    {
        JobApplication* record = addRecord(store(), u"A"_s, {}, ApplicationStatus::applied, 6);
        auto view = makeView();
        ApplicationRow* row = view->listView()->rowDelegate();
        QStyleOptionViewItem option;
        option.font = view->listView()->listView()->font();
        option.palette = view->listView()->listView()->palette();
        option.rect = QRect(0, 0, 300, 80);
        const int before = row->layout(option, *record).waitingBadge.width();
        // A field the list does not sort or search by still repaints the row.
        QSignalSpy changed(view->listView()->model(), &QAbstractItemModel::dataChanged);
        edited<ApplicationField::isFavorite>(record, true);
        QCOMPARE(changed.count(), 1);
        m_fixture->clock.set(testNow().addDays(5));
        m_fixture->today.refreshDay();
        QCOMPARE(row->today(), startOfLocalDay(testNow().addDays(5)));
        // 6 days became 11: "11d" is wider than "6d".
        QVERIFY(row->layout(option, *record).waitingBadge.width() > before);
    }

private:
    std::unique_ptr<Fixture> m_fixture;
    Store& store() const { return m_fixture->store.store(); }
    FakeDesktop& desktop() const { return m_fixture->desktop; }

    // A window of the usual size over the store; shown, it waits until it is active.
    std::unique_ptr<ContentView> makeView(bool shown = false)
    {
        return makeContentView(*m_fixture, desktop().environment(), shown);
    }

    void addSampleRecords()
    {
        edited<ApplicationField::notes>(
            addRecord(store(), u"Acme Ltd"_s, u"Engineer"_s, ApplicationStatus::applied, 3), u"Ofis İstanbul'da"_s);
        addRecord(store(), u"Firm 10"_s, u"Designer"_s, ApplicationStatus::offer, 20, WorkModel::onSite);
        addRecord(store(), u"Firm 9"_s, u"Analyst"_s, ApplicationStatus::rejected, 1, WorkModel::hybrid);
        addRecord(store(), u"Müller GmbH"_s, u"Tester"_s, ApplicationStatus::hrInterview, 15);
        addRecord(store(), u"Çağrı Yazılım"_s, u"Mobil Geliştirici"_s, ApplicationStatus::techInterview, 8);
        QVERIFY(store().save());
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_ui_mainwindow.moc"
