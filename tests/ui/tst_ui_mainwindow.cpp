// The main window's content: creating, deleting, saving, the list query driving
// the rows, the selection, the detail column and the published actions.

#include "UiTestSupport.h"

#include "model/DayCount.h"
#include "tracking/TodayProvider.h"
#include "ui/ApplicationListModel.h"
#include "ui/ApplicationListView.h"
#include "ui/ApplicationRow.h"
#include "ui/ContentView.h"
#include "ui/DetailPlaceholder.h"
#include "ui/DetailSummaryView.h"
#include "ui/EmptyListOverlay.h"
#include "ui/Palette.h"
#include "ui/SummaryBar.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSplitter>
#include <QTest>

#include <sqlite3.h>

using namespace UiTestSupport;

namespace {

// Runs one statement on the store's file through a second connection, the way
// another process would (used to make the disk refuse writes).
bool execute(const QString& path, const char* sql)
{
    sqlite3* db = nullptr;
    if (sqlite3_open(path.toUtf8().constData(), &db) != SQLITE_OK)
        return false;
    sqlite3_busy_timeout(db, 2000);
    const bool ok = sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

struct Confirmations {
    bool answer = true;
    QList<std::pair<QString, QString>> asked;

    std::function<bool(const QString&, const QString&)> confirmer()
    {
        return [this](const QString& title, const QString& message) {
            asked.append({title, message});
            return answer;
        };
    }
};

QStringList companies(const QList<JobApplication*>& records)
{
    QStringList names;
    for (const JobApplication* record : records)
        names.append(record->companyName());
    return names;
}

QStringList shownCompanies(ContentView& view)
{
    return companies(view.listView()->model()->applications());
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void layoutAndColumnWidths();
    void searchFieldPrompt();
    void createAddsOneRecordWithItsFirstHistoryEntry();
    void createAdjustsOnlyAHidingFilter_data();
    void createAdjustsOnlyAHidingFilter();
    void createClearsTheSearch();
    void createStillSelectsWhenTheSaveFails();
    void failedSavesAreOnlyLogged();
    void deleteAsksWithTheRecordsNames_data();
    void deleteAsksWithTheRecordsNames();
    void deletingTheSelectedRecordShowsThePlaceholder();
    void deletingAnotherRecordKeepsTheSelection();
    void cancellingKeepsEverything();
    void filterSortAndSearchDriveTheRows_data();
    void filterSortAndSearchDriveTheRows();
    void searchTypedWithTurkishLetters_data();
    void searchTypedWithTurkishLetters();
    void selectionSurvivesFilteringAndSearching();
    void detailFollowsEditsOfTheSelectedRecord();
    void placeholderForms();
    void emptyStoreAndNoResultsOverlays();
    void summaryCountsTheVisibleList();
    void storeSignalsAreCoalesced();
    void fieldEditsReorderAndRepaint();
    void recordDeletedElsewhereLeavesNoSelection();
    void saveMoments();
    void deleteSelectionIsPublishedOnlyWithASelection();
    void laterFlowsArePublishedWhenInstalled();
    void addNewApplicationsResetsFilterAndSelectsTheFirst();
    void dayChangeReachesTheList();
    void followsTheDesktopBetweenLightAndDark();

private:
    std::unique_ptr<TestSupport::FixedClock> m_clock;
    std::unique_ptr<TempStore> m_store;
    std::unique_ptr<TodayProvider> m_today;
    Confirmations m_confirmations;
    QList<QUrl> m_opened;

    std::unique_ptr<ContentView> makeView();
    void addSampleRecords();
};

void TestMainWindow::initTestCase()
{
    useTestLocale();
}

void TestMainWindow::init()
{
    m_clock = std::make_unique<TestSupport::FixedClock>(testNow());
    m_store = std::make_unique<TempStore>();
    QVERIFY(m_store->isReady());
    m_today = std::make_unique<TodayProvider>();
    m_confirmations = {};
    m_opened.clear();
}

void TestMainWindow::cleanup()
{
    m_today.reset();
    m_store.reset();
    m_clock.reset();
}

std::unique_ptr<ContentView> TestMainWindow::makeView()
{
    ContentView::Environment environment;
    environment.confirmDeletion = m_confirmations.confirmer();
    environment.openURL = [this](const QUrl& url) { m_opened.append(url); };
    auto view = std::make_unique<ContentView>(m_store->store(), *m_today, environment);
    view->resize(1080, 700);
    return view;
}

void TestMainWindow::addSampleRecords()
{
    Store& store = m_store->store();
    addRecord(store, QStringLiteral("Acme Ltd"), QStringLiteral("Engineer"), ApplicationStatus::applied, 3);
    addRecord(
        store, QStringLiteral("Firm 10"), QStringLiteral("Designer"), ApplicationStatus::offer, 20, WorkModel::onSite);
    addRecord(
        store, QStringLiteral("Firm 9"), QStringLiteral("Analyst"), ApplicationStatus::rejected, 1, WorkModel::hybrid);
    addRecord(store, QStringLiteral("Müller GmbH"), QStringLiteral("Tester"), ApplicationStatus::hrInterview, 15);
    addRecord(store, QStringLiteral("Çağrı Yazılım"), QStringLiteral("Mobil Geliştirici"),
        ApplicationStatus::techInterview, 8);
    QVERIFY(store.save());
}

void TestMainWindow::layoutAndColumnWidths()
{
    auto view = makeView();
    QSplitter* split = view->findChild<QSplitter*>(QStringLiteral("splitView"));
    QVERIFY(split);
    QCOMPARE(split->count(), 2);
    QCOMPARE(split->widget(0), view->listView());
    QCOMPARE(view->listView()->minimumWidth(), 280);
    QCOMPARE(view->listView()->maximumWidth(), 440);
    QCOMPARE(split->widget(1)->minimumWidth(), 460);
    view->show();
    QVERIFY(QTest::qWaitForWindowExposed(view.get()));
    QCOMPARE(split->sizes().value(0), 320);
    // Growing the window widens the detail column, not the list.
    view->resize(1400, 700);
    QApplication::processEvents();
    QCOMPARE(split->sizes().value(0), 320);
}

void TestMainWindow::searchFieldPrompt()
{
    auto view = makeView();
    QLineEdit* field = view->findChild<QLineEdit*>(QStringLiteral("searchField"));
    QVERIFY(field);
    QCOMPARE(field->placeholderText(), QStringLiteral("Search company, position or notes"));
    QVERIFY(field->isClearButtonEnabled());
}

void TestMainWindow::createAddsOneRecordWithItsFirstHistoryEntry()
{
    auto view = makeView();
    view->createApplication();
    Store& store = m_store->store();
    QCOMPARE(store.count(), 1);
    JobApplication* record = store.applications().first();
    QCOMPARE(record->companyName(), QString());
    QCOMPARE(record->position(), QString());
    QCOMPARE(record->postingLink(), QString());
    QCOMPARE(record->status(), ApplicationStatus::applied);
    QCOMPARE(record->workModel(), allCases<WorkModel>().front());
    QCOMPARE(record->applicationDate(), testNow().toUTC());
    QCOMPARE(record->history().size(), 1);
    QVERIFY(!record->history().first()->fromRaw().has_value());
    QCOMPARE(record->history().first()->to(), ApplicationStatus::applied);
    QCOMPARE(record->history().first()->date(), record->applicationDate());
    // Saved at once, selected and shown in the detail column.
    QVERIFY(!store.hasChanges());
    QCOMPARE(view->selectedID(), std::optional<RecordID>(record->id()));
    QCOMPARE(view->selectedApplication(), record);
    auto* detail = qobject_cast<DetailSummaryView*>(view->detailView());
    QVERIFY(detail);
    QCOMPARE(detail->companyLabel()->text(), QStringLiteral("New Application"));
    QCOMPARE(detail->positionLabel()->text(), QStringLiteral("No position specified"));
    QCOMPARE(shownCompanies(*view), QStringList {QString()});
    QCOMPARE(view->listView()->listView()->selectionModel()->selectedIndexes().value(0).row(), 0);
}

void TestMainWindow::createAdjustsOnlyAHidingFilter_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("expected");
    QTest::newRow("all stays") << QStringLiteral("all") << QStringLiteral("all");
    QTest::newRow("active stays") << QStringLiteral("active") << QStringLiteral("active");
    QTest::newRow("applied stays") << QStringLiteral("applied") << QStringLiteral("applied");
    QTest::newRow("hrInterview becomes all") << QStringLiteral("hrInterview") << QStringLiteral("all");
    QTest::newRow("techInterview becomes all") << QStringLiteral("techInterview") << QStringLiteral("all");
    QTest::newRow("offer becomes all") << QStringLiteral("offer") << QStringLiteral("all");
    QTest::newRow("rejected becomes all") << QStringLiteral("rejected") << QStringLiteral("all");
}

void TestMainWindow::createAdjustsOnlyAHidingFilter()
{
    QFETCH(QString, filter);
    QFETCH(QString, expected);
    addSampleRecords();
    auto view = makeView();
    view->setStatusFilter(*StatusFilter::fromIdentifier(filter));
    view->createApplication();
    QCOMPARE(view->statusFilter().identifier(), expected);
    QCOMPARE(view->listView()->statusFilter().identifier(), expected);
    JobApplication* created = view->selectedApplication();
    QVERIFY(created);
    QVERIFY(view->visibleApplications().contains(created));
}

void TestMainWindow::createClearsTheSearch()
{
    addSampleRecords();
    auto view = makeView();
    view->setSearchText(QStringLiteral("Acme"));
    QCOMPARE(view->visibleApplications().size(), 1);
    QSignalSpy recomputed(view.get(), &ContentView::visibleApplicationsChanged);
    view->createApplication();
    QCOMPARE(view->searchText(), QString());
    QCOMPARE(view->visibleApplications().size(), 6);
    // One action, one recomputation.
    QCOMPARE(recomputed.count(), 1);
}

void TestMainWindow::createStillSelectsWhenTheSaveFails()
{
    addSampleRecords();
    auto view = makeView();
    view->setStatusFilter(StatusFilter::status(ApplicationStatus::offer));
    view->setSearchText(QStringLiteral("Firm"));
    QVERIFY(execute(m_store->store().databasePath(),
        "CREATE TRIGGER refuse BEFORE INSERT ON JobApplication BEGIN SELECT RAISE(ABORT, 'disk is full'); END"));
    QTest::ignoreMessage(
        QtWarningMsg, QRegularExpression(QStringLiteral("^Yeni başvuru kaydedilemedi: .*disk is full")));
    view->createApplication();
    // The record stays inserted (unsaved) and everything after the save still happens.
    QCOMPARE(m_store->store().count(), 6);
    QVERIFY(m_store->store().hasChanges());
    QVERIFY(view->statusFilter() == StatusFilter::all());
    QCOMPARE(view->searchText(), QString());
    QVERIFY(view->selectedApplication());
    QCOMPARE(view->selectedApplication()->history().size(), 1);
    QVERIFY(execute(m_store->store().databasePath(), "DROP TRIGGER refuse"));
}

void TestMainWindow::failedSavesAreOnlyLogged()
{
    addSampleRecords();
    auto view = makeView();
    JobApplication* record = view->visibleApplications().at(0);
    view->setSelectedID(record->id());
    QVERIFY(execute(m_store->store().databasePath(),
        "CREATE TRIGGER refuse BEFORE UPDATE ON JobApplication BEGIN SELECT RAISE(ABORT, 'disk is full'); END"));
    record->setNotes(QStringLiteral("pending"));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^Kaydedilemedi: .*disk is full")));
    QVERIFY(view->focusedActions()->trigger(FocusedActions::Key::saveChanges));
    // Nothing else changes: the edit stays pending, the selection stays.
    QVERIFY(m_store->store().hasChanges());
    QCOMPARE(view->selectedApplication(), record);
    QVERIFY(execute(m_store->store().databasePath(), "DROP TRIGGER refuse"));
    view->saveIfNeeded();
    QVERIFY(!m_store->store().hasChanges());
}

void TestMainWindow::deleteAsksWithTheRecordsNames_data()
{
    QTest::addColumn<QString>("company");
    QTest::addColumn<QString>("position");
    QTest::addColumn<QString>("message");
    QTest::newRow("named") << QStringLiteral("Acme") << QStringLiteral("Engineer")
                           << QStringLiteral("Acme — Engineer. This cannot be undone.");
    QTest::newRow("blank") << QStringLiteral("  ") << QString()
                           << QStringLiteral("New Application — No position specified. This cannot be undone.");
    QTest::newRow("placeholders in names") << QStringLiteral("50%1 Off") << QStringLiteral("%2 Lead")
                                           << QStringLiteral("50%1 Off — %2 Lead. This cannot be undone.");
}

void TestMainWindow::deleteAsksWithTheRecordsNames()
{
    QFETCH(QString, company);
    QFETCH(QString, position);
    QFETCH(QString, message);
    JobApplication* record = addRecord(m_store->store(), company, position, ApplicationStatus::applied, 2);
    auto view = makeView();
    m_confirmations.answer = false;
    view->requestDeletion(*record);
    QCOMPARE(m_confirmations.asked.size(), 1);
    QCOMPARE(m_confirmations.asked.first().first, QStringLiteral("Delete this application?"));
    QCOMPARE(m_confirmations.asked.first().second, message);
}

void TestMainWindow::deletingTheSelectedRecordShowsThePlaceholder()
{
    addSampleRecords();
    auto view = makeView();
    JobApplication* record = view->visibleApplications().at(1);
    const RecordID id = record->id();
    view->setSelectedID(id);
    QVERIFY(view->detailView());
    // Through the published command, as the menu runs it.
    QVERIFY(view->focusedActions()->trigger(FocusedActions::Key::deleteSelection));
    QCOMPARE(m_confirmations.asked.size(), 1);
    QVERIFY(!view->pendingDeletion());
    QCOMPARE(m_store->store().application(id), nullptr);
    QCOMPARE(m_store->store().count(), 4);
    QVERIFY(!view->selectedID());
    QVERIFY(!view->detailView());
    QVERIFY(view->detailPlaceholder()->isVisibleTo(view.get()));
    QVERIFY(!m_store->store().hasChanges());
    QCOMPARE(view->visibleApplications().size(), 4);
    QCOMPARE(view->listView()->model()->rowCount(), 4);
    // The deleted object goes once control returns to the event loop; nothing still points at it.
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
    QCOMPARE(view->listView()->model()->rowCount(), 4);
}

void TestMainWindow::deletingAnotherRecordKeepsTheSelection()
{
    addSampleRecords();
    auto view = makeView();
    JobApplication* selected = view->visibleApplications().at(0);
    JobApplication* other = view->visibleApplications().at(2);
    view->setSelectedID(selected->id());
    view->requestDeletion(*other);
    QCOMPARE(view->selectedID(), std::optional<RecordID>(selected->id()));
    QVERIFY(!view->visibleApplications().contains(other));
    QCOMPARE(qobject_cast<DetailSummaryView*>(view->detailView())->application(), selected);
}

void TestMainWindow::cancellingKeepsEverything()
{
    addSampleRecords();
    auto view = makeView();
    JobApplication* record = view->visibleApplications().at(0);
    view->setSelectedID(record->id());
    QWidget* detail = view->detailView();
    m_confirmations.answer = false;
    view->deleteSelection();
    QCOMPARE(m_confirmations.asked.size(), 1);
    QCOMPARE(m_store->store().count(), 5);
    QCOMPARE(view->selectedID(), std::optional<RecordID>(record->id()));
    QCOMPARE(view->detailView(), detail);
    QVERIFY(!view->pendingDeletion());
}

void TestMainWindow::filterSortAndSearchDriveTheRows_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("search");
    QTest::addColumn<int>("sort");
    QTest::addColumn<QStringList>("rows");
    const QString acme = QStringLiteral("Acme Ltd");
    const QString firm10 = QStringLiteral("Firm 10");
    const QString firm9 = QStringLiteral("Firm 9");
    const QString muller = QStringLiteral("Müller GmbH");
    const QString cagri = QStringLiteral("Çağrı Yazılım");
    QTest::newRow("all, newest") << "all"
                                 << "" << int(SortOption::newest) << QStringList {firm9, acme, cagri, muller, firm10};
    QTest::newRow("active") << "active"
                            << "" << int(SortOption::newest) << QStringList {acme, cagri, muller};
    QTest::newRow("offer") << "offer"
                           << "" << int(SortOption::newest) << QStringList {firm10};
    QTest::newRow("company sort") << "all"
                                  << "" << int(SortOption::company) << QStringList {acme, cagri, firm9, firm10, muller};
    QTest::newRow("longest waiting") << "all"
                                     << "" << int(SortOption::longestWaiting)
                                     << QStringList {muller, cagri, acme, firm9, firm10};
    QTest::newRow("by status") << "all"
                               << "" << int(SortOption::status) << QStringList {acme, muller, cagri, firm10, firm9};
    QTest::newRow("search across fields") << "all"
                                          << "acme ltd engineer" << int(SortOption::newest) << QStringList {acme};
    QTest::newRow("search status title") << "all"
                                         << "OFFER" << int(SortOption::newest) << QStringList {firm10};
    QTest::newRow("marks are significant") << "all"
                                           << "Muller" << int(SortOption::newest) << QStringList {};
    QTest::newRow("only spaces") << "all"
                                 << "  \n " << int(SortOption::newest)
                                 << QStringList {firm9, acme, cagri, muller, firm10};
    QTest::newRow("search and filter") << "active"
                                       << "firm" << int(SortOption::newest) << QStringList {};
}

void TestMainWindow::filterSortAndSearchDriveTheRows()
{
    QFETCH(QString, filter);
    QFETCH(QString, search);
    QFETCH(int, sort);
    QFETCH(QStringList, rows);
    addSampleRecords();
    auto view = makeView();
    view->setStatusFilter(*StatusFilter::fromIdentifier(filter));
    view->setSortOption(SortOption(sort));
    view->setSearchText(search);
    QCOMPARE(shownCompanies(*view), rows);
    QCOMPARE(companies(view->visibleApplications()), rows);
}

void TestMainWindow::searchTypedWithTurkishLetters_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("rows");
    QTest::newRow("Çağrı") << QStringLiteral("Çağrı") << QStringList {QStringLiteral("Çağrı Yazılım")};
    QTest::newRow("lower case çağ") << QStringLiteral("çağ") << QStringList {QStringLiteral("Çağrı Yazılım")};
    QTest::newRow("Geliştirici") << QStringLiteral("Geliştirici") << QStringList {QStringLiteral("Çağrı Yazılım")};
    QTest::newRow("İstanbul in notes") << QStringLiteral("İstanbul") << QStringList {QStringLiteral("Acme Ltd")};
    QTest::newRow("ü") << QStringLiteral("Mü") << QStringList {QStringLiteral("Müller GmbH")};
}

void TestMainWindow::searchTypedWithTurkishLetters()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, rows);
    addSampleRecords();
    for (JobApplication* record : m_store->store().applications()) {
        if (record->companyName() == QLatin1String("Acme Ltd"))
            record->setNotes(QStringLiteral("Ofis İstanbul'da"));
    }
    auto view = makeView();
    view->show();
    QLineEdit* field = view->searchField();
    field->setFocus();
    typeText(field, typed);
    QCOMPARE(field->text(), typed);
    // Each keystroke recomputes at once: no event loop turn needed.
    QCOMPARE(shownCompanies(*view), rows);
}

void TestMainWindow::selectionSurvivesFilteringAndSearching()
{
    addSampleRecords();
    auto view = makeView();
    JobApplication* offer = nullptr;
    for (JobApplication* record : view->visibleApplications()) {
        if (record->status() == ApplicationStatus::offer)
            offer = record;
    }
    QVERIFY(offer);
    view->setSelectedID(offer->id());
    QListView* list = view->listView()->listView();
    QCOMPARE(list->selectionModel()->selectedIndexes().size(), 1);

    view->setStatusFilter(StatusFilter::active());
    QVERIFY(!view->visibleApplications().contains(offer));
    QCOMPARE(view->selectedID(), std::optional<RecordID>(offer->id()));
    QCOMPARE(view->selectedApplication(), offer);
    QVERIFY(list->selectionModel()->selectedIndexes().isEmpty());
    QCOMPARE(qobject_cast<DetailSummaryView*>(view->detailView())->application(), offer);
    QVERIFY(view->focusedActions()->isPublished(FocusedActions::Key::deleteSelection));

    view->setStatusFilter(StatusFilter::all());
    view->setSearchText(QStringLiteral("zzz"));
    QCOMPARE(view->selectedID(), std::optional<RecordID>(offer->id()));
    view->setSearchText(QString());
    const QModelIndexList selected = list->selectionModel()->selectedIndexes();
    QCOMPARE(selected.size(), 1);
    QCOMPARE(view->listView()->model()->application(selected.first()), offer);

    // Picking another row in the list selects it in the window.
    const QModelIndex first = view->listView()->model()->index(0, 0);
    list->selectionModel()->setCurrentIndex(first, QItemSelectionModel::ClearAndSelect);
    QCOMPARE(view->selectedApplication(), view->listView()->model()->application(first));
}

void TestMainWindow::detailFollowsEditsOfTheSelectedRecord()
{
    addSampleRecords();
    auto view = makeView();
    JobApplication* record = view->visibleApplications().at(0);
    view->setSelectedID(record->id());
    auto* detail = qobject_cast<DetailSummaryView*>(view->detailView());
    QVERIFY(detail);
    record->setCompanyName(QStringLiteral("Renamed Co"));
    record->setPosition(QString());
    QCOMPARE(detail->companyLabel()->text(), QStringLiteral("Renamed Co"));
    QCOMPARE(detail->positionLabel()->text(), QStringLiteral("No position specified"));

    // Selecting another record builds a new view for it.
    JobApplication* other = view->visibleApplications().at(1);
    view->setSelectedID(other->id());
    QVERIFY(view->detailView() != detail);
    QCOMPARE(qobject_cast<DetailSummaryView*>(view->detailView())->application(), other);

    // A richer detail view can be installed; it gets the record and a delete action.
    JobApplication* given = nullptr;
    std::function<void()> askDelete;
    view->setDetailFactory([&](JobApplication& application, std::function<void()> onDelete) {
        given = &application;
        askDelete = onDelete;
        auto* label = new QLabel(application.displayCompany());
        label->setObjectName(QStringLiteral("customDetail"));
        return label;
    });
    QCOMPARE(given, other);
    QCOMPARE(view->detailView()->objectName(), QStringLiteral("customDetail"));
    m_confirmations.answer = false;
    askDelete();
    QCOMPARE(m_confirmations.asked.size(), 1);
}

void TestMainWindow::placeholderForms()
{
    auto view = makeView();
    DetailPlaceholder* placeholder = view->findChild<DetailPlaceholder*>(QStringLiteral("detailPlaceholder"));
    QVERIFY(placeholder);
    QCOMPARE(placeholder->title(), QStringLiteral("No Application Selected"));
    QCOMPARE(placeholder->symbol(), QStringLiteral("doc.text.magnifyingglass"));
    QCOMPARE(placeholder->description(), QStringLiteral("Add your first application to start tracking."));
    QVERIFY(!placeholder->actionButton()->isHidden());
    QCOMPARE(placeholder->actionButton()->text(), QStringLiteral("New Application"));
    placeholder->actionButton()->click();
    QCOMPARE(m_store->store().count(), 1);

    view->setSelectedID(std::nullopt);
    QCOMPARE(placeholder->description(), QStringLiteral("Select an application from the list to see its details."));
    QVERIFY(placeholder->actionButton()->isHidden());
}

void TestMainWindow::emptyStoreAndNoResultsOverlays()
{
    auto view = makeView();
    view->show();
    auto* overlay = view->findChild<EmptyListOverlay*>(QStringLiteral("emptyListOverlay"));
    QVERIFY(overlay && overlay->isVisible());
    QCOMPARE(overlay->title(), QStringLiteral("No applications yet"));
    QVERIFY(overlay->actionButton()->isVisible());
    QVERIFY(view->listView()->summaryBar()->isVisible());
    overlay->actionButton()->click();
    QCOMPARE(m_store->store().count(), 1);
    QVERIFY(!overlay->isVisible());

    view->setSearchText(QStringLiteral("nothing matches this"));
    QVERIFY(overlay->isVisible());
    QCOMPARE(overlay->title(), QStringLiteral("No results"));
    QVERIFY(!overlay->actionButton()->isVisible());
    QVERIFY(view->listView()->summaryBar()->isVisible());
}

void TestMainWindow::summaryCountsTheVisibleList()
{
    addSampleRecords();
    auto view = makeView();
    SummaryBar* bar = view->findChild<SummaryBar*>(QStringLiteral("summaryBar"));
    // Open: Acme (3 days), Çağrı (8), Müller (15, stale); an offer; a rejection.
    QCOMPARE(bar->counts(), (SummaryCounts {3, 1, 1}));
    QCOMPARE(bar->findChild<QLabel*>(QStringLiteral("activeCount"))->text(), QStringLiteral("3"));
    QCOMPARE(bar->findChild<QLabel*>(QStringLiteral("offersCount"))->text(), QStringLiteral("1"));
    QCOMPARE(bar->findChild<QLabel*>(QStringLiteral("staleCount"))->text(), QStringLiteral("1"));
    // With a search in force the counters describe the matches only.
    view->setSearchText(QStringLiteral("Firm"));
    QCOMPARE(bar->counts(), (SummaryCounts {0, 1, 0}));
    QVERIFY(bar->findChild<QWidget*>(QStringLiteral("staleItem"))->isHidden());
}

void TestMainWindow::storeSignalsAreCoalesced()
{
    auto view = makeView();
    QSignalSpy recomputed(view.get(), &ContentView::visibleApplicationsChanged);
    Store& store = m_store->store();
    for (int i = 0; i < 3; ++i)
        addRecord(store, QStringLiteral("Burst %1").arg(i), {}, ApplicationStatus::applied, i);
    QCOMPARE(recomputed.count(), 0);
    QTRY_COMPARE(recomputed.count(), 1);
    QApplication::processEvents();
    QCOMPARE(recomputed.count(), 1);
    QCOMPARE(shownCompanies(*view),
        (QStringList {QStringLiteral("Burst 0"), QStringLiteral("Burst 1"), QStringLiteral("Burst 2")}));
}

void TestMainWindow::fieldEditsReorderAndRepaint()
{
    addSampleRecords();
    auto view = makeView();
    view->setSortOption(SortOption::company);
    JobApplication* acme = view->visibleApplications().first();
    QCOMPARE(acme->companyName(), QStringLiteral("Acme Ltd"));
    QSignalSpy changed(view->listView()->model(), &QAbstractItemModel::dataChanged);
    acme->setCompanyName(QStringLiteral("Zeta"));
    QCOMPARE(changed.count(), 1);
    QTRY_COMPARE(view->visibleApplications().last(), acme);
    QCOMPARE(view->listView()->model()->applications().last(), acme);
    // A field the list does not read only repaints the row.
    QSignalSpy recomputed(view.get(), &ContentView::visibleApplicationsChanged);
    acme->setFavorite(true);
    QCOMPARE(changed.count(), 2);
    QApplication::processEvents();
    QCOMPARE(recomputed.count(), 0);
}

void TestMainWindow::recordDeletedElsewhereLeavesNoSelection()
{
    addSampleRecords();
    auto view = makeView();
    JobApplication* record = view->visibleApplications().at(2);
    view->setSelectedID(record->id());
    m_store->store().remove(record);
    QVERIFY(!view->selectedID());
    QVERIFY(!view->visibleApplications().contains(record));
    QCOMPARE(view->listView()->model()->rowOf(record), -1);
    QVERIFY(!view->focusedActions()->isPublished(FocusedActions::Key::deleteSelection));
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
    QCOMPARE(view->visibleApplications().size(), 4);
}

void TestMainWindow::saveMoments()
{
    addSampleRecords();
    auto view = makeView();
    Store& store = m_store->store();
    JobApplication* record = view->visibleApplications().at(0);

    record->setNotes(QStringLiteral("save command"));
    QVERIFY(store.hasChanges());
    QVERIFY(view->focusedActions()->trigger(FocusedActions::Key::saveChanges));
    QVERIFY(!store.hasChanges());

    record->setNotes(QStringLiteral("to the background"));
    QVERIFY(store.hasChanges());
    Q_EMIT qGuiApp->applicationStateChanged(Qt::ApplicationInactive);
    QVERIFY(!store.hasChanges());

    record->setNotes(QStringLiteral("becoming active saves nothing"));
    Q_EMIT qGuiApp->applicationStateChanged(Qt::ApplicationActive);
    QVERIFY(store.hasChanges());

    // The save after a deletion takes pending edits along.
    view->requestDeletion(*view->visibleApplications().at(1));
    QVERIFY(!store.hasChanges());
}

void TestMainWindow::deleteSelectionIsPublishedOnlyWithASelection()
{
    addSampleRecords();
    auto view = makeView();
    FocusedActions* actions = view->focusedActions();
    using Key = FocusedActions::Key;
    QVERIFY(actions->isPublished(Key::createApplication));
    QVERIFY(actions->isPublished(Key::saveChanges));
    QVERIFY(!actions->isPublished(Key::deleteSelection));
    QVERIFY(!actions->trigger(Key::deleteSelection));
    QSignalSpy published(actions, &FocusedActions::publishedChanged);
    view->setSelectedID(view->visibleApplications().at(0)->id());
    QVERIFY(actions->isPublished(Key::deleteSelection));
    QCOMPARE(published.count(), 1);
    view->setSelectedID(std::nullopt);
    QVERIFY(!actions->isPublished(Key::deleteSelection));
}

void TestMainWindow::laterFlowsArePublishedWhenInstalled()
{
    auto view = makeView();
    FocusedActions* actions = view->focusedActions();
    using Key = FocusedActions::Key;
    for (Key key : {Key::exportBackup, Key::importBackup, Key::importScreenshots, Key::pastePosting})
        QVERIFY(!actions->isPublished(key));
    QStringList ran;
    view->setExportBackupAction([&] { ran.append(QStringLiteral("export")); });
    view->setImportBackupAction([&] { ran.append(QStringLiteral("import")); });
    view->setImportScreenshotsAction([&] { ran.append(QStringLiteral("screenshots")); });
    view->setPastePostingAction([&] { ran.append(QStringLiteral("paste")); });
    for (Key key : {Key::exportBackup, Key::importBackup, Key::importScreenshots, Key::pastePosting})
        QVERIFY(actions->trigger(key));
    QCOMPARE(ran,
        (QStringList {QStringLiteral("export"), QStringLiteral("import"), QStringLiteral("screenshots"),
            QStringLiteral("paste")}));

    // The list's paste key runs the same paste action.
    view->show();
    view->listView()->listView()->setFocus();
    QTest::keySequence(view->listView()->listView(), QKeySequence::Paste);
    QCOMPARE(ran.last(), QStringLiteral("paste"));
    QCOMPARE(ran.size(), 5);

    // Drops are refused until an importer is installed, then reach it.
    QVERIFY(!view->listView()->acceptsImageDrops());
    QList<QUrl> imported;
    view->setImageFilesImporter([&](const QList<QUrl>& urls) { imported = urls; });
    QVERIFY(view->listView()->acceptsImageDrops());
    view->importImageFiles({});
    QVERIFY(imported.isEmpty());
    view->importImageFiles({QUrl::fromLocalFile(QStringLiteral("/tmp/a.png"))});
    QCOMPARE(imported.size(), 1);

    view->setPastePostingAction({});
    QVERIFY(!actions->isPublished(Key::pastePosting));
}

void TestMainWindow::addNewApplicationsResetsFilterAndSelectsTheFirst()
{
    addSampleRecords();
    auto view = makeView();
    view->setStatusFilter(StatusFilter::status(ApplicationStatus::offer));
    view->setSearchText(QStringLiteral("Firm"));
    std::vector<std::unique_ptr<JobApplication>> drafts;
    drafts.push_back(std::make_unique<JobApplication>(
        QStringLiteral("Draft One"), QString(), QString(), WorkModel::remote, ApplicationStatus::applied, daysAgo(0)));
    drafts.push_back(std::make_unique<JobApplication>(
        QStringLiteral("Draft Two"), QString(), QString(), WorkModel::hybrid, ApplicationStatus::applied, daysAgo(0)));
    const QList<JobApplication*> added = view->addNewApplications(std::move(drafts));
    QCOMPARE(added.size(), 2);
    QVERIFY(view->statusFilter() == StatusFilter::all());
    QCOMPARE(view->searchText(), QString());
    QCOMPARE(view->selectedApplication(), added.first());
    for (JobApplication* record : added) {
        QCOMPARE(record->history().size(), 1);
        QVERIFY(view->visibleApplications().contains(record));
    }
    QVERIFY(!m_store->store().hasChanges());
    QVERIFY(view->addNewApplications({}).isEmpty());
}

void TestMainWindow::dayChangeReachesTheList()
{
    addSampleRecords();
    auto view = makeView();
    QCOMPARE(view->listView()->rowDelegate()->today(), startOfLocalDay(testNow()));
    m_clock->set(testNow().addDays(1));
    m_today->refreshDay();
    QCOMPARE(view->listView()->rowDelegate()->today(), startOfLocalDay(testNow().addDays(1)));
}

void TestMainWindow::followsTheDesktopBetweenLightAndDark()
{
    addSampleRecords();
    const QPalette original = QApplication::palette();
    QApplication::setPalette(Palette::lightPalette());
    auto view = makeView();
    view->show();
    QLabel* active = view->findChild<QLabel*>(QStringLiteral("activeCount"));
    QListView* list = view->listView()->listView();
    QCOMPARE(
        active->palette().color(QPalette::WindowText), Palette::textColor(NamedColor::blue, Palette::lightPalette()));

    // A running window picks up the new palette: named colours and the sidebar follow.
    QApplication::setPalette(Palette::darkPalette());
    QApplication::processEvents();
    QVERIFY(Palette::isDark(view->palette()));
    QCOMPARE(
        active->palette().color(QPalette::WindowText), Palette::textColor(NamedColor::blue, Palette::darkPalette()));
    QCOMPARE(list->palette().color(QPalette::Base), Palette::sidebarBackground(Palette::darkPalette()));
    QVERIFY(Palette::textColor(NamedColor::blue, Palette::darkPalette())
        != Palette::textColor(NamedColor::blue, Palette::lightPalette()));
    QApplication::setPalette(original);
}

QTEST_MAIN(TestMainWindow)
#include "tst_ui_mainwindow.moc"
