// The main window's content: creating, deleting, saving, the list query driving
// the rows, the selection, the detail column and the published actions.

#include "SqliteSupport.h"
#include "UiTestSupport.h"

#include "model/DayCount.h"
#include "tracking/TodayProvider.h"
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

// The clock, a fresh store, the day and the desktop, for each test.
struct Fixture {
    TestSupport::FixedClock clock {testNow()};
    TempStore store;
    TodayProvider today;
    FakeDesktop desktop;
};

// A window area's painted pixels, as the eye sees them.
QImage pixels(QWidget* widget)
{
    return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { useTestLocale(); }
    void init()
    {
        m_fixture = std::make_unique<Fixture>();
        QVERIFY(m_fixture->store.isReady());
    }
    void cleanup() { m_fixture.reset(); }

    void columnsColoursAndSearchField()
    {
        addSampleRecords();
        const QPalette original = QApplication::palette();
        QApplication::setPalette(Palette::lightPalette());
        auto view = makeView(true);
        QSplitter* split = view->findChild<QSplitter*>(u"splitView"_s);
        const auto listWidth = [&] {
            QApplication::processEvents();
            return split->sizes().value(0);
        };
        QCOMPARE(listWidth(), 320);
        // Growing the window widens the detail column, not the list.
        view->resize(1400, 700);
        QCOMPARE(listWidth(), 320);
        // The search field keeps its whole prompt: beside the buttons where it fits, on a
        // row of its own under them in the narrowest list.
        QLineEdit* search = view->searchField();
        QToolButton* filter = view->listView()->filterButton();
        const int prompt = search->fontMetrics().horizontalAdvance(search->placeholderText());
        QVERIFY(search->geometry().bottom() > filter->geometry().top());
        split->setSizes({ContentView::listMinimumWidth, 10000});
        QCOMPARE(listWidth(), ContentView::listMinimumWidth);
        QVERIFY2(search->width() >= prompt + 30, qPrintable(QString::number(search->width())));
        QVERIFY(search->geometry().top() >= filter->geometry().bottom());
        split->setSizes({320, 10000});
        QCOMPARE(listWidth(), 320);
        QVERIFY(search->geometry().bottom() > filter->geometry().top());

        // A running window follows the desktop into dark: named colours and the sidebar change with it.
        QLabel* active = view->findChild<QLabel*>(u"activeCount"_s);
        const QColor darkBlue = Palette::textColor(NamedColor::blue, Palette::darkPalette());
        QVERIFY(active->palette().color(QPalette::WindowText) != darkBlue);
        QApplication::setPalette(Palette::darkPalette());
        QApplication::processEvents();
        QCOMPARE(active->palette().color(QPalette::WindowText), darkBlue);
        QCOMPARE(view->listView()->listView()->palette().color(QPalette::Base),
            Palette::sidebarBackground(Palette::darkPalette()));
        QApplication::setPalette(original);
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
        const QString styleName = QApplication::style()->name();
        const QPalette original = QApplication::palette();
        Palette::installAppearance(dark ? Palette::Appearance::dark : Palette::Appearance::light);
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
        view.reset();
        QApplication::setStyle(styleName);
        QApplication::setPalette(original);
    }

    void create()
    {
        addSampleRecords();
        auto view = makeView(true);
        view->state().setSearchText(u"Firm"_s);
        view->createApplication();
        JobApplication* created = view->state().selectedApplication();
        QVERIFY(created);
        // The search field empties with the search, the new record's row is selected,
        // and its editor shows, ready for the company at once.
        QCOMPARE(view->searchField()->text(), QString());
        const QModelIndexList selected = view->listView()->listView()->selectionModel()->selectedIndexes();
        QCOMPARE(view->listView()->model()->application(selected.value(0)), created);
        QCOMPARE(view->detailView()->application(), created);
        QTRY_COMPARE(QApplication::focusWidget(), view->detailView()->applicationSection()->companyField());
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
        QTest::addColumn<bool>("confirmed");
        QTest::newRow("the command, confirmed") << "command" << true;
        QTest::newRow("the command, cancelled") << "command" << false;
        QTest::newRow("the editor's button, confirmed") << "editor" << true;
        QTest::newRow("another record, confirmed") << "row" << true;
    }

    void deleteOutcome()
    {
        QFETCH(QString, how);
        QFETCH(bool, confirmed);
        addSampleRecords();
        auto view = makeView();
        const RecordID selected = view->state().visibleApplications().at(1)->id();
        JobApplication* target = view->state().visibleApplications().at(how == u"row"_s ? 2 : 1);
        const RecordID targetID = target->id();
        view->state().setSelectedID(selected);
        QWidget* const detail = view->detailView();
        desktop().answer = confirmed;
        if (how == u"command"_s)
            QVERIFY(view->focusedActions()->trigger(FocusedActions::Key::deleteSelection));
        else if (how == u"editor"_s)
            view->detailView()->header()->deleteButton()->click();
        else
            view->requestDeletion(*target);
        QCOMPARE(desktop().asked.size(), 1);
        QCOMPARE(store().application(targetID) == nullptr, confirmed);
        const bool selectionGone = confirmed && how != u"row"_s;
        QCOMPARE(view->focusedActions()->isPublished(FocusedActions::Key::deleteSelection), !selectionGone);
        QCOMPARE(view->detailPlaceholder()->isVisibleTo(view.get()), selectionGone);
        if (!selectionGone)
            QCOMPARE(view->detailView(), detail);
        // The deleted object goes once control returns to the event loop; nothing still points at it.
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QApplication::processEvents();
        QCOMPARE(view->listView()->model()->rowCount(), confirmed ? 4 : 5);
    }

    // The rows and the summary follow the filter, the sort and every keystroke of the
    // search at once, without a turn of the event loop.
    void filterSortAndSearchDriveTheRows()
    {
        addSampleRecords();
        auto view = makeView();
        SummaryBar* bar = view->findChild<SummaryBar*>(u"summaryBar"_s);
        QWidget* staleItem = bar->findChild<QWidget*>(u"staleItem"_s);
        const auto shown = [&](const char* name) { return bar->findChild<QLabel*>(QLatin1String(name))->text(); };
        const QString acme = u"Acme Ltd"_s, cagri = u"Çağrı Yazılım"_s, muller = u"Müller GmbH"_s;
        QCOMPARE(shownCompanies(*view), (QStringList {u"Firm 9"_s, acme, cagri, muller, u"Firm 10"_s}));
        // Open: Acme (3 days), Çağrı (8), Müller (15, stale); an offer; a rejection, counted nowhere.
        QCOMPARE((QStringList {shown("activeCount"), shown("activeLabel"), shown("offersCount"), shown("staleCount")}),
            (QStringList {u"3"_s, u"active"_s, u"1"_s, u"1"_s}));
        QVERIFY(!staleItem->isHidden());
        view->state().setStatusFilter(StatusFilter::active());
        view->state().setSortOption(SortOption::company);
        QCOMPARE(shownCompanies(*view), (QStringList {acme, cagri, muller}));
        // Typed in lower case, and matched in the notes too; the counters describe the
        // matches only, with no stale item at zero.
        view->show();
        view->searchField()->setFocus();
        typeText(view->searchField(), u"çağ"_s);
        QCOMPARE(view->state().searchText(), u"çağ"_s);
        QCOMPARE(shownCompanies(*view), QStringList {cagri});
        QCOMPARE(shown("activeCount") + shown("offersCount"), u"10"_s);
        QVERIFY(staleItem->isHidden());
        view->searchField()->selectAll();
        typeText(view->searchField(), u"İstanbul"_s);
        QCOMPARE(shownCompanies(*view), QStringList {acme});
    }

    void selectionSurvivesFilteringAndSearching()
    {
        addSampleRecords();
        auto view = makeView();
        JobApplication* offer = view->state().visibleApplications().last();
        QCOMPARE(offer->status(), ApplicationStatus::offer);
        view->state().setSelectedID(offer->id());
        QItemSelectionModel* selection = view->listView()->listView()->selectionModel();

        // Hidden by the filter: still selected, shown in the detail column and deletable.
        view->state().setStatusFilter(StatusFilter::active());
        QCOMPARE(view->state().selectedApplication(), offer);
        QVERIFY(selection->selectedIndexes().isEmpty());
        QCOMPARE(view->detailView()->application(), offer);
        QVERIFY(view->focusedActions()->isPublished(FocusedActions::Key::deleteSelection));
        // Shown again: selected in the list again.
        view->state().setStatusFilter(StatusFilter::all());
        QCOMPARE(view->listView()->model()->application(selection->selectedIndexes().value(0)), offer);

        // Picking another row in the list selects it in the window.
        const QModelIndex first = view->listView()->model()->index(0, 0);
        selection->setCurrentIndex(first, QItemSelectionModel::ClearAndSelect);
        QCOMPARE(view->state().selectedApplication(), view->listView()->model()->application(first));
    }

    void keyboardAndContextMenuOnTheList()
    {
        addSampleRecords();
        auto view = makeView(true);
        view->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(view.get()));
        QListView* list = view->listView()->listView();
        // Tab follows the toolbar left to right, then into the list.
        view->searchField()->setFocus();
        for (QWidget* next : {static_cast<QWidget*>(view->listView()->filterButton()),
                 static_cast<QWidget*>(view->listView()->newButton()), static_cast<QWidget*>(list)}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
        // The first row is current from the start, unselected; the first Down selects it.
        QCOMPARE(list->currentIndex().row(), 0);
        QVERIFY(!view->state().selectedID());
        QTest::keyClick(list, Qt::Key_Down);
        JobApplication* first = view->listView()->model()->application(0);
        QCOMPARE(view->state().selectedApplication(), first);

        // A right click on another row opens its menu, outlined, and leaves the selection.
        const QRect third = list->visualRect(view->listView()->model()->index(2, 0));
        QTest::mouseClick(list->viewport(), Qt::RightButton, Qt::NoModifier, third.center());
        QContextMenuEvent context(
            QContextMenuEvent::Mouse, third.center(), list->viewport()->mapToGlobal(third.center()));
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
        DetailPlaceholder* placeholder = view->detailPlaceholder();
        // An empty store: the list and the detail column both invite to add the first application.
        QVERIFY(overlay && overlay->isVisible());
        QCOMPARE(overlay->title(), u"No applications yet"_s);
        QCOMPARE(overlay->geometry(), view->listView()->listView()->viewport()->rect());
        QVERIFY(placeholder->actionButton()->isVisible());
        // Side by side, the two empty panels share a centre line.
        const auto centre = [&view](QWidget* widget) { return widget->mapTo(view.get(), widget->rect().center()).y(); };
        QVERIFY2(std::abs(centre(overlay->actionButton()) - centre(placeholder->actionButton())) <= 1,
            qPrintable(u"%1 %2"_s.arg(centre(overlay->actionButton())).arg(centre(placeholder->actionButton()))));
        overlay->actionButton()->click();
        QCOMPARE(store().count(), 1);
        QVERIFY(!overlay->isVisible());

        view->state().setSelectedID(std::nullopt);
        QCOMPARE(placeholder->description(), u"Select an application from the list to see its details."_s);
        QVERIFY(placeholder->actionButton()->isHidden());
        // A search that matches nothing: no invitation, and the summary bar stays.
        view->state().setSearchText(u"nothing matches this"_s);
        QVERIFY(overlay->isVisible());
        QCOMPARE(overlay->title(), u"No results"_s);
        QVERIFY(!overlay->actionButton()->isVisible());
        QVERIFY(view->listView()->summaryBar()->isVisible());

        // Empty again: the placeholder's button creates too.
        view->state().setSearchText(QString());
        store().remove(store().applications().first());
        QTRY_VERIFY(placeholder->actionButton()->isVisible());
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
            record->setNotes(record->notes() + u'.');
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

    // The import flows install their actions; the paste key and drops on the list reach them.
    void laterFlowsArePublishedWhenInstalled()
    {
        auto view = makeView();
        FocusedActions* actions = view->focusedActions();
        QVERIFY(!actions->isPublished(FocusedActions::Key::pastePosting));
        int pasted = 0;
        view->setPastePostingAction([&] { ++pasted; });
        view->show();
        view->listView()->listView()->setFocus();
        QTest::keySequence(view->listView()->listView(), QKeySequence::Paste);
        QCOMPARE(pasted, 1);
        view->setPastePostingAction({});
        QVERIFY(!actions->isPublished(FocusedActions::Key::pastePosting));

        // Drops are refused until an importer is installed, then reach it.
        QVERIFY(!view->listView()->acceptsImageDrops());
        QList<QUrl> imported;
        view->setImageFilesImporter([&](const QList<QUrl>& urls) { imported = urls; });
        QVERIFY(view->listView()->acceptsImageDrops());
        view->importImageFiles({QUrl::fromLocalFile(u"/tmp/a.png"_s)});
        QCOMPARE(imported.size(), 1);
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
        record->setFavorite(true);
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

    // A window of the usual size over the store; shown, it waits until it is on screen.
    std::unique_ptr<ContentView> makeView(bool shown = false)
    {
        auto view = std::make_unique<ContentView>(store(), m_fixture->today, desktop().environment());
        view->resize(1080, 700);
        if (shown) {
            view->show();
            if (!QTest::qWaitForWindowExposed(view.get()))
                qWarning("window not exposed");
        }
        return view;
    }

    void addSampleRecords()
    {
        addRecord(store(), u"Acme Ltd"_s, u"Engineer"_s, ApplicationStatus::applied, 3)
            ->setNotes(u"Ofis İstanbul'da"_s);
        addRecord(store(), u"Firm 10"_s, u"Designer"_s, ApplicationStatus::offer, 20, WorkModel::onSite);
        addRecord(store(), u"Firm 9"_s, u"Analyst"_s, ApplicationStatus::rejected, 1, WorkModel::hybrid);
        addRecord(store(), u"Müller GmbH"_s, u"Tester"_s, ApplicationStatus::hrInterview, 15);
        addRecord(store(), u"Çağrı Yazılım"_s, u"Mobil Geliştirici"_s, ApplicationStatus::techInterview, 8);
        QVERIFY(store().save());
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_ui_mainwindow.moc"
