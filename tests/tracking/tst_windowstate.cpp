// The window state without widgets: selection, filter, search and sort, the
// visible list it derives, creating and deleting records, and the day clock.

#include "SqliteSupport.h"
#include "TestSupport.h"

#include "backup/BackupTransfer.h"
#include "model/ApplicationEdits.h"
#include "store/Store.h"
#include "store/StoreLoader.h"
#include "tracking/ListQuery.h"
#include "tracking/TodayProvider.h"
#include "tracking/WindowState.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace TestSupport;
using namespace Qt::StringLiterals;

namespace {

using F = ApplicationField;

} // namespace

class WindowStateTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { useTimeZone("Europe/Istanbul"); }

    void init()
    {
        m_clock = std::make_unique<FixedClock>(testNow());
        QDir(m_dir.path()).removeRecursively();
        QDir().mkpath(m_dir.path());
        m_loader = std::make_unique<StoreLoader>(openStore(m_dir.path()));
        QVERIFY(m_loader->isReady());
        m_loader->store()->setAutosaveDelay(-1);
        m_today = std::make_unique<TodayProvider>();
        m_state = std::make_unique<WindowState>(*m_loader->store(), *m_today);
    }

    void cleanup()
    {
        m_state.reset();
        m_today.reset();
        m_loader.reset();
        m_clock.reset();
    }

    void newRecordsAndTheFilter_data()
    {
        // "new": the New Application command; "drafts": two reviewed posting drafts.
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<bool>("saveFails");
        QTest::addColumn<QString>("filterAfter");
        const auto row = [](const char* name, const char* how, const char* filter, bool saveFails, const char* after) {
            QTest::newRow(name) << QString::fromLatin1(how) << QString::fromLatin1(filter) << saveFails
                                << QString::fromLatin1(after);
        };
        // A new blank record gives up only a filter that would hide it.
        row("active stays", "new", "active", false, "active");
        row("applied stays", "new", "applied", false, "applied");
        row("hrInterview becomes all", "new", "hrInterview", false, "all");
        // A refused save is logged; the record stays inserted and the rest still happens.
        row("the save fails", "new", "offer", true, "all");
        // Reviewed drafts always show the whole list.
        row("drafts", "drafts", "applied", false, "all");
    }

    void newRecordsAndTheFilter()
    {
        QFETCH(QString, how);
        QFETCH(QString, filter);
        QFETCH(bool, saveFails);
        QFETCH(QString, filterAfter);
        Store& store = *m_loader->store();
        add(QStringLiteral("Firm"), ApplicationStatus::offer, 3);
        QVERIFY(store.save());
        m_state->setStatusFilter(*StatusFilter::fromIdentifier(filter));
        m_state->setSearchText(QStringLiteral("Firm"));
        if (saveFails) {
            QVERIFY(execute(store.databasePath(),
                "CREATE TRIGGER refuse BEFORE INSERT ON JobApplication BEGIN SELECT RAISE(ABORT, 'disk is full'); "
                "END"));
            QTest::ignoreMessage(
                QtWarningMsg, QRegularExpression(QStringLiteral("^Yeni başvuru kaydedilemedi: .*disk is full")));
        }
        QSignalSpy recomputed(m_state.get(), &WindowState::visibleApplicationsChanged);
        QList<JobApplication*> added;
        if (how == QLatin1String("drafts")) {
            std::vector<std::unique_ptr<JobApplication>> drafts;
            for (const QString& name : {QStringLiteral("Draft One"), QStringLiteral("Draft Two")})
                drafts.push_back(std::make_unique<JobApplication>(
                    name, QString(), QString(), WorkModel::remote, ApplicationStatus::applied, testNow()));
            added = m_state->addNewApplications(std::move(drafts));
        } else {
            added.append(m_state->createApplication());
        }
        QCOMPARE(added.size(), how == QLatin1String("drafts") ? 2 : 1);
        for (JobApplication* record : std::as_const(added)) {
            // One history entry: no previous status, applied, at the application date; and in view.
            QCOMPARE(record->history().size(), 1);
            const StatusChange* entry = record->history().first();
            QCOMPARE((QVariantList {entry->fromRaw().has_value(), entry->toRaw(), entry->date(),
                         m_state->visibleApplications().contains(record)}),
                (QVariantList {false, u"applied"_s, record->applicationDate(), true}));
        }
        QCOMPARE(store.hasChanges(), saveFails);
        QCOMPARE(m_state->statusFilter().identifier(), filterAfter);
        QCOMPARE(m_state->searchText(), QString());
        QCOMPARE(m_state->selectedApplication(), added.first());
        // One action, one recomputation.
        QCOMPARE(recomputed.count(), 1);
        if (saveFails)
            QVERIFY(execute(store.databasePath(), "DROP TRIGGER refuse"));
    }

    void deletion_data()
    {
        // "selected": the selected record; "other": another record; "elsewhere": the
        // selected record leaves the store while nobody asked.
        QTest::addColumn<QString>("which");
        QTest::addColumn<bool>("confirmed");
        QTest::newRow("the selected record, confirmed") << "selected" << true;
        QTest::newRow("the selected record, cancelled") << "selected" << false;
        QTest::newRow("another record, confirmed") << "other" << true;
        QTest::newRow("the selected record, deleted elsewhere") << "elsewhere" << true;
    }

    void deletion()
    {
        QFETCH(QString, which);
        QFETCH(bool, confirmed);
        Store& store = *m_loader->store();
        JobApplication* selected = add(QStringLiteral("Selected"), ApplicationStatus::applied, 1);
        JobApplication* other = add(QStringLiteral("Other"), ApplicationStatus::applied, 2);
        QVERIFY(store.save());
        const RecordID selectedID = selected->id();
        m_state->setSelectedID(selectedID);
        JobApplication* target = which == QLatin1String("other") ? other : selected;
        const RecordID targetID = target->id();
        m_state->edits().edit<F::notes>(*selected, QStringLiteral("pending edit"));
        if (which == QLatin1String("elsewhere")) {
            store.remove(target);
        } else {
            QVERIFY(m_state->beginDeletion(*target));
            // One confirmation at a time.
            QVERIFY(!m_state->beginDeletion(*other));
            QCOMPARE(m_state->pendingDeletion(), std::optional<RecordID>(targetID));
            m_state->endDeletion(confirmed);
        }
        QVERIFY(!m_state->pendingDeletion());
        QCOMPARE(store.application(targetID) == nullptr, confirmed);
        // A confirmed deletion saves, pending edits with it.
        QCOMPARE(store.hasChanges(), !confirmed || which == QLatin1String("elsewhere"));
        const bool selectionGone = confirmed && which != QLatin1String("other");
        QCOMPARE(m_state->selectedID(), selectionGone ? std::nullopt : std::optional<RecordID>(selectedID));
        QTRY_COMPARE(m_state->visibleApplications().size(), confirmed ? 1 : 2);
    }

    void everySearchedFieldIsSearchedAndFollowed_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("search");
        // The nine fields a search looks in; the status and work model by their titles.
        for (F field : {F::companyName, F::position, F::notes, F::hrContactName, F::hrContactEmail,
                 F::techInterviewerName, F::techInterviewerRole})
            QTest::newRow(ApplicationFields::describe(field).name.data()) << int(field) << QStringLiteral("Zebrafish");
        QTest::newRow("statusRaw") << int(F::statusRaw) << title(ApplicationStatus::offer);
        QTest::newRow("workModelRaw") << int(F::workModelRaw) << title(WorkModel::onSite);
    }

    void everySearchedFieldIsSearchedAndFollowed()
    {
        QFETCH(int, field);
        QFETCH(QString, search);
        JobApplication* record = add(QStringLiteral("Plain"), ApplicationStatus::applied, 1);
        add(QStringLiteral("Other"), ApplicationStatus::applied, 2);
        m_state->setSearchText(search);
        QTRY_VERIFY(m_state->totalCount() == 2);
        QVERIFY(m_state->visibleApplications().isEmpty());
        // An edit of the field under an active search brings the record into view.
        ApplicationEdits& edits = m_state->edits();
        switch (F(field)) {
        case F::statusRaw: edits.changeStatus(*record, ApplicationStatus::offer); break;
        case F::workModelRaw: edits.setWorkModel(*record, WorkModel::onSite); break;
        default: edits.edit(*record, F(field), QStringLiteral("the zebrafish team"));
        }
        QTRY_COMPARE(m_state->visibleApplications(), QList<JobApplication*> {record});
    }

    void onlyFieldsTheListReadsMoveTheRecord_data()
    {
        QTest::addColumn<int>("sort");
        QTest::addColumn<int>("field"); // written on the list's first record, "Burst 0"
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QStringList>("order"); // empty: the list is not recomputed at all
        using F = JobApplication::Field;
        const auto row
            = [](const char* name, SortOption sort, F field, const QVariant& value, const QStringList& order) {
                  QTest::newRow(name) << int(sort) << int(field) << value << order;
              };
        row("a rename moves the record", SortOption::company, F::companyName, u"Zeta"_s,
            {u"Burst 1"_s, u"Burst 2"_s, u"Zeta"_s});
        row("an earlier date moves the record", SortOption::newest, F::applicationDate, testNow().addDays(-5),
            {u"Burst 1"_s, u"Burst 2"_s, u"Burst 0"_s});
        // A field the list does not read only tells its views.
        row("the posting link", SortOption::company, F::postingLink, u"acme.example"_s, {});
    }

    void onlyFieldsTheListReadsMoveTheRecord()
    {
        QFETCH(int, sort);
        QFETCH(int, field);
        QFETCH(QVariant, value);
        QFETCH(QStringList, order);
        m_state->setSortOption(SortOption(sort));
        for (int i = 0; i < 3; ++i)
            add(QStringLiteral("Burst %1").arg(i), ApplicationStatus::applied, i);
        QTRY_COMPARE(
            companies(m_state->visibleApplications()), (QStringList {u"Burst 0"_s, u"Burst 1"_s, u"Burst 2"_s}));
        QSignalSpy recomputed(m_state.get(), &WindowState::visibleApplicationsChanged);
        QSignalSpy moved(m_state.get(), &WindowState::visibleApplicationMoved);
        QSignalSpy changed(m_state.get(), &WindowState::applicationChanged);
        m_state->edits().edit(*m_state->visibleApplications().first(), JobApplication::Field(field),
            value.typeId() == QMetaType::QDateTime ? FieldValue(value.toDateTime()) : FieldValue(value.toString()));
        QCOMPARE(changed.count(), 1);
        QCoreApplication::processEvents();
        QCOMPARE(recomputed.count(), 0);
        QCOMPARE(moved.count(), order.isEmpty() ? 0 : 1);
        if (!order.isEmpty())
            QCOMPARE(companies(m_state->visibleApplications()), order);
    }

    // Edits move one record and searches that extend the last one narrow its result:
    // after every step the list and the counts are what computing them again gives,
    // ties and names that collate the same included, and one edit is one signal.
    void oneEditMovesOneRecord_data()
    {
        QTest::addColumn<int>("sort");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("locale");
        for (SortOption sort : allCases<SortOption>()) {
            QTest::newRow(qPrintable(rawValue(sort) + u" all"_s)) << int(sort) << u"all"_s << u"tr_TR"_s;
            QTest::newRow(qPrintable(rawValue(sort) + u" active"_s)) << int(sort) << u"active"_s << u"el_GR"_s;
        }
    }

    void oneEditMovesOneRecord()
    {
        QFETCH(int, sort);
        QFETCH(QString, filter);
        QFETCH(QString, locale);
        QLocale::setDefault(QLocale(locale));
        const auto restore = qScopeGuard([] { QLocale::setDefault(QLocale(QLocale::English)); });
        QRandomGenerator random(quint32(sort * 31 + filter.size()));
        // Names that fold or collate alike, numbers that sort by value, and three dates for many ties.
        const QStringList names {u"Ilık"_s, u"ılık"_s, u"İzmir"_s, u"izmir"_s, u"Ωmega"_s, u"ωmega"_s, u"Zeta 2"_s,
            u"zeta 10"_s, u"Çağrı"_s, u"Cagri"_s, QString()};
        const auto pick = [&](const auto& list) { return list[random.bounded(qsizetype(list.size()))]; };
        for (int i = 0; i < 40; ++i)
            add(pick(names), ApplicationStatus(random.bounded(5)), int(random.bounded(3)) * 10);
        m_state->setSortOption(SortOption(sort));
        m_state->setStatusFilter(*StatusFilter::fromIdentifier(filter));
        QTRY_COMPARE(m_state->totalCount(), 40);
        QSignalSpy recomputed(m_state.get(), &WindowState::visibleApplicationsChanged);
        QSignalSpy moved(m_state.get(), &WindowState::visibleApplicationMoved);
        const QStringList searches {QString(), u"i"_s, u"iz"_s, u"izm"_s, u"ı"_s, u"ılı"_s, u"ω"_s, u"zeta"_s};
        for (int step = 0; step < 300; ++step) {
            recomputed.clear();
            moved.clear();
            const QList<JobApplication*> all = m_loader->store()->applications();
            JobApplication* record = pick(all);
            const qsizetype rowBefore = m_state->visibleApplications().indexOf(record);
            const quint32 kind = random.bounded(4);
            switch (kind) {
            case 0: m_state->edits().edit<F::companyName>(*record, pick(names)); break;
            case 1: m_state->edits().changeStatus(*record, ApplicationStatus(random.bounded(5))); break;
            case 2:
                m_state->edits().edit<F::applicationDate>(*record, testNow().addDays(-10 * random.bounded(3)));
                break;
            default: m_state->setSearchText(pick(searches)); break;
            }
            const QList<JobApplication*> expected = visibleApplications(m_loader->store()->applicationsByDate(),
                m_state->statusFilter(), m_state->searchText(), m_state->sortOption(), m_state->today());
            QCOMPARE(companies(m_state->visibleApplications()), companies(expected));
            QCOMPARE(m_state->visibleApplications(), expected);
            QCOMPARE(m_state->summary(), summaryCounts(expected, m_state->today()));
            if (kind == 3)
                continue;
            // An edit tells the list only the one record's move.
            QCOMPARE(recomputed.count(), 0);
            if (expected.indexOf(record) != rowBefore)
                QVERIFY(!moved.isEmpty());
            for (const auto& signal : std::as_const(moved))
                QCOMPARE(signal.at(0).value<JobApplication*>(), record);
        }
    }

    // Taking a search text back shows the result kept for that text, and only for
    // the same text: a wider text found inside a kept one is searched again.
    void takingASearchBackShowsItsKeptResult()
    {
        for (const QString& name : {u"Zeta"_s, u"Beta"_s, u"Zeta 1"_s, u"Acme"_s})
            add(name, ApplicationStatus::applied, 0);
        QTRY_COMPARE(m_state->totalCount(), 4);
        for (const QString& text : {u"z"_s, u"zeta"_s, u"zeta 1"_s, u"eta"_s, u"zeta"_s, QString(), u"z"_s}) {
            m_state->setSearchText(text);
            QCOMPARE(companies(m_state->visibleApplications()),
                companies(visibleApplications(m_loader->store()->applicationsByDate(), StatusFilter::all(), text, {})));
        }
    }

    void theDayClockMovesSortAndCounts()
    {
        // Applied 13 days ago at 09:00 and 12 days ago at 23:00: not stale today.
        add(QStringLiteral("Early"), ApplicationStatus::applied, 13);
        JobApplication* late = add(QStringLiteral("Late"), ApplicationStatus::applied, 12);
        m_state->edits().edit<F::applicationDate>(*late, local(2025, 3, 2, 23, 0));
        m_state->setSortOption(SortOption::longestWaiting);
        QTRY_COMPARE(m_state->summary().stale, 0);
        // Past midnight the clock has moved but the day clock has not ticked yet: the
        // list still counts yesterday, as the rows do.
        m_clock->set(local(2025, 3, 15, 0, 0, 30));
        m_state->edits().edit<F::notes>(*late, QStringLiteral("touch"));
        m_state->setSearchText(QStringLiteral(" "));
        QCOMPARE(m_state->summary().stale, 0);
        QSignalSpy day(m_state.get(), &WindowState::todayChanged);
        m_today->refreshDay();
        QCOMPARE(day.count(), 1);
        QCOMPARE(m_state->summary().stale, 1);
        QCOMPARE(companies(m_state->visibleApplications()), (QStringList {u"Early"_s, u"Late"_s}));
    }

    // Random edits, status changes, history corrections, deletions, new records and
    // imports, saved after each: taking every step back, one by one, gives back the
    // file as it was at each step, byte for byte, and so does doing them again; a
    // reopened store reads the same, and a backup of it is the same document.
    void undoAndRedoGiveBackTheFile()
    {
        QRandomGenerator random(20250314);
        for (int i = 0; i < 4; ++i)
            add(QStringLiteral("Seed %1").arg(i), ApplicationStatus(i), 10 + i);
        m_state->saveIfNeeded();
        const QString path = m_loader->store()->databasePath();
        QUndoStack& steps = m_state->undoStack();
        QHash<int, QString> dumps {{0, dumpTables(path)}};
        const auto keep = [&] {
            m_state->saveIfNeeded();
            dumps.insert(steps.index(), dumpTables(path));
        };
        // Some changes are more than one step; typing grows the step it joins.
        const auto each = connect(&steps, &QUndoStack::indexChanged, this, keep);
        for (int step = 0; step < 160; ++step) {
            m_clock->set(testNow().addSecs(60 * step));
            randomChange(random);
            keep();
        }
        disconnect(each);
        QVERIFY2(steps.count() > 100, qPrintable(QString::number(steps.count())));
        const QByteArray exported = exportBackup(*m_loader->store())->data();
        // Each step taken back or done again is saved as soon as the event loop turns.
        for (const bool back : {true, false}) {
            while (back ? steps.canUndo() : steps.canRedo()) {
                back ? m_state->undo() : m_state->redo();
                QCoreApplication::processEvents();
                QVERIFY(!m_loader->store()->hasChanges());
                QCOMPARE(dumpTables(path), dumps.value(steps.index()));
            }
        }
        QCOMPARE(exportBackup(*m_loader->store())->data(), exported);
        const QString last = dumps.value(steps.count());
        m_state.reset();
        m_loader.reset();
        m_loader = std::make_unique<StoreLoader>(openStore(m_dir.path()));
        QVERIFY(m_loader->isReady());
        QCOMPARE(dumpTables(path), last);
        QCOMPARE(exportBackup(*m_loader->store())->data(), exported);
    }

    // Until every record is read, the list shows the newest ones read first, as the top of what it shows once all
    // are in; another order, and the counts, wait for all of them.
    void newestRecordsShownFirst()
    {
        for (int i = 0; i < 200; ++i)
            add(u"Company %1"_s.arg(i % 7), ApplicationStatus::applied, i / 3);
        QVERIFY(m_loader->store()->save());
        m_state.reset();
        m_loader.reset();
        m_loader = std::make_unique<StoreLoader>(openStore(m_dir.path(), StoreLoading::inBackground));
        Store& store = *m_loader->store();
        WindowState byCompany(store, *m_today);
        byCompany.setSortOption(SortOption::company);
        m_state = std::make_unique<WindowState>(store, *m_today);
        QList<JobApplication*> first;
        connect(&store, &Store::firstApplicationsRead, this, [&] {
            first = m_state->visibleApplications();
            QVERIFY(byCompany.visibleApplications().isEmpty());
            QCOMPARE(m_state->totalCount(), -1);
        });
        QVERIFY(QSignalSpy(&store, &Store::loaded).wait());
        QCOMPARE(first.size(), Store::firstReadCount);
        QCOMPARE(m_state->visibleApplications().mid(0, first.size()), first);
    }

private:
    // One change a person could make, through the window's edit layer and actions.
    void randomChange(QRandomGenerator& random)
    {
        ApplicationEdits& edits = m_state->edits();
        const QList<JobApplication*> all = m_loader->store()->applications();
        JobApplication* record = all.isEmpty() ? nullptr : all.at(random.bounded(int(all.size())));
        const auto pick = [&random](const auto& cases) { return cases[random.bounded(int(cases.size()))]; };
        switch (record ? random.bounded(13) : 9) {
        case 0: { // typing a few keys
            const F field = pick(std::array {F::companyName, F::position, F::notes, F::postingLink, F::rejectionNote});
            QString text = fieldText(record->value(field));
            for (int key = 0, keys = 1 + random.bounded(3); key < keys; ++key)
                edits.edit(*record, field, text += QChar(u'a' + random.bounded(26)));
            break;
        }
        case 1: edits.changeStatus(*record, pick(allCases<ApplicationStatus>())); break;
        case 2: edits.toggleFavorite(*record); break;
        case 3: edits.setFollowUpEnabled(*record, !record->followUpDate()); break;
        case 4:
            edits.setRejectionReason(*record, pick(allCases<RejectionReason>()));
            edits.edit<F::rejectedByEmail>(*record, random.bounded(2) == 1);
            break;
        case 5:
            edits.edit<F::expectedSalary>(*record, Decimal::fromInteger(random.bounded(90000)));
            edits.setCurrency(*record, pick(allCases<Currency>()));
            break;
        case 6: edits.edit<F::applicationDate>(*record, testNow().addDays(-random.bounded(60))); break;
        case 7: correctADate(random, *record); break;
        case 8:
            if (!record->history().isEmpty())
                edits.removeChange(*record, *StatusChange::newestFirst(record->history()).first());
            break;
        case 9: m_state->createApplication(); break;
        case 10:
            if (m_state->beginDeletion(*record))
                m_state->endDeletion(true);
            break;
        case 11: m_state->setSelectedID(record->id()); break;
        default: importSome(random, *record); break;
        }
    }

    void correctADate(QRandomGenerator& random, JobApplication& record)
    {
        const QList<StatusChange*> entries = StatusChange::newestFirst(record.history());
        if (entries.isEmpty())
            return;
        StatusChange* entry = entries.at(random.bounded(int(entries.size())));
        const auto bounds = ApplicationEdits::dateBounds(record, *entry);
        const QDateTime earliest = bounds.earliest.value_or(bounds.latest.addDays(-30));
        m_state->edits().changeEntryDate(record, *entry, earliest.addSecs(earliest.secsTo(bounds.latest) / 2));
    }

    // Reviewed drafts, or a backup holding a stored record and two new ones.
    void importSome(QRandomGenerator& random, JobApplication& stored)
    {
        if (random.bounded(2) == 0) {
            std::vector<std::unique_ptr<JobApplication>> drafts;
            drafts.push_back(std::make_unique<JobApplication>(
                u"Draft"_s, u"Engineer"_s, QString(), WorkModel::hybrid, ApplicationStatus::applied, testNow()));
            m_state->addNewApplications(std::move(drafts));
            return;
        }
        QList<ApplicationBackup> entries {makeApplicationBackup(stored)};
        for (int i = 0; i < 2; ++i) {
            ApplicationBackup copy = entries.first();
            copy.uuid = QUuid::createUuidV5(QUuid(), QString::number(random.generate()));
            copy.companyName = u"Restored %1"_s.arg(i);
            entries.append(copy);
        }
        const auto merged = mergeBackup(BackupFileContents::makeForExport(entries), *m_loader->store(),
            [this](auto records) { m_state->addRestoredApplications(std::move(records)); });
        QCOMPARE(merged.value(), (std::pair<qint64, qint64>(2, 1)));
    }

private:
    JobApplication* add(const QString& company, ApplicationStatus status, int daysAgo)
    {
        return m_loader->store()->insert(std::make_unique<JobApplication>(
            company, QString(), QString(), WorkModel::remote, status, testNow().addDays(-daysAgo)));
    }

    std::unique_ptr<FixedClock> m_clock;
    QTemporaryDir m_dir;
    std::unique_ptr<StoreLoader> m_loader;
    std::unique_ptr<TodayProvider> m_today;
    std::unique_ptr<WindowState> m_state;
};

QTEST_GUILESS_MAIN(WindowStateTest)
#include "tst_windowstate.moc"
