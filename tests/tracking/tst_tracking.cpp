#include "TestSupport.h"

#include "model/ApplicationEdits.h"
#include "model/DayCount.h"
#include "model/JobApplication.h"
#include "tracking/ListQuery.h"
#include "tracking/SummaryCounts.h"
#include "tracking/TodayProvider.h"
#include "tracking/WaitingLevel.h"

#include <QCollator>
#include <QSignalSpy>
#include <QTest>

#include <functional>
#include <memory>
#include <vector>

using namespace TestSupport;

namespace {

// Owns a handful of records for one test and hands out the base list.
class Records {
public:
    JobApplication* add(const QString& company, const QDateTime& applied,
        ApplicationStatus status = ApplicationStatus::applied, const QString& position = QString(),
        const std::function<void(ApplicationValues&)>& tweak = {})
    {
        ApplicationValues values
            = JobApplication::initialValues(company, position, QString(), WorkModel::remote, status, applied);
        if (tweak)
            tweak(values);
        m_owned.push_back(ApplicationBuilder(std::move(values)).build());
        return m_owned.back().get();
    }
    // Latest application date first, as the store's live query gives them.
    QList<JobApplication*> base() const
    {
        QList<JobApplication*> list;
        for (const auto& a : m_owned)
            list.append(a.get());
        std::stable_sort(
            list.begin(), list.end(), [](auto* a, auto* b) { return a->applicationDate() > b->applicationDate(); });
        return list;
    }

private:
    std::vector<std::unique_ptr<JobApplication>> m_owned;
};

} // namespace

class TrackingTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        useTimeZone("Europe/Istanbul");
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }
    void cleanup() { Clock::reset(); }

    void batchLocalDatesAgreeWithSingleOnes_data()
    {
        QTest::addColumn<QByteArray>("zone");
        QTest::newRow("Berlin, two changes a year") << QByteArray("Europe/Berlin");
        QTest::newRow("Lord Howe, half-hour change") << QByteArray("Australia/Lord_Howe");
        QTest::newRow("Kathmandu, +05:45") << QByteArray("Asia/Kathmandu");
        QTest::newRow("Samoa skipped a day") << QByteArray("Pacific/Apia");
    }

    void batchLocalDatesAgreeWithSingleOnes()
    {
        QFETCH(QByteArray, zone);
        useTimeZone(zone.constData());
        LocalDayResolver resolver;
        // Every 17 minutes through two years, which crosses every change of these zones.
        for (qint64 minutes = 0; minutes < 2 * 366 * 24 * 60; minutes += 17) {
            const QDateTime moment = utc(2011, 1, 1, 0, 0).addSecs(minutes * 60);
            if (resolver.localDate(moment) != moment.toLocalTime().date())
                QFAIL(qPrintable(moment.toString(Qt::ISODate) + QStringLiteral(" resolves to ")
                    + resolver.localDate(moment).toString(Qt::ISODate)));
        }
    }

    void waitingLevels()
    {
        const QList<std::pair<int, WaitingLevel>> levels {{0, WaitingLevel::early}, {6, WaitingLevel::early},
            {7, WaitingLevel::followUp}, {13, WaitingLevel::followUp}, {14, WaitingLevel::silent},
            {400, WaitingLevel::silent}};
        for (const auto& [days, level] : levels)
            QVERIFY2(waitingLevel(days) == level, qPrintable(QString::number(days)));
    }

    void dayValues()
    {
        FixedClock clock(local(2025, 3, 1, 10, 0));
        Records records;
        JobApplication* open = records.add(QStringLiteral("Open"), local(2025, 3, 1, 9, 0));
        JobApplication* offer = records.add(QStringLiteral("Offer"), local(2025, 3, 1, 9, 0));
        clock.set(local(2025, 3, 11, 15, 0));
        ApplicationEdits edits;
        edits.changeStatus(*offer, ApplicationStatus::offer); // closed on 11 March
        edits.changeStatus(*open, ApplicationStatus::hrInterview); // entered this stage on 11 March
        clock.set(local(2025, 3, 20, 8, 0));
        // Waiting runs from the application date, not from the last status change; a
        // closed application's age stops at closedAt.
        const auto days = [](const JobApplication* a) {
            return QList<std::optional<int>> {
                a->daysWaiting(local(2025, 3, 20, 0, 0)), a->daysInCurrentStatus(), a->daysSinceApplied()};
        };
        QCOMPARE(days(open), (QList<std::optional<int>> {19, 9, 19}));
        QCOMPARE(days(offer), (QList<std::optional<int>> {std::nullopt, 0, 10}));
        // Closed without a closing date (an imported record) counts to now.
        const JobApplication* imported = records.add(QStringLiteral("Imported"), local(2025, 3, 1, 9, 0),
            ApplicationStatus::offer, {}, [](ApplicationValues& v) { v.closedAt.reset(); });
        QCOMPARE(imported->daysSinceApplied(), 19);
        // A status change this morning is 0 days in the stage.
        clock.set(local(2025, 3, 20, 7, 0));
        edits.changeStatus(*open, ApplicationStatus::techInterview);
        clock.set(local(2025, 3, 20, 23, 0));
        QCOMPARE(open->daysInCurrentStatus(), 0);
        // Dated ahead: no days yet, never a negative count.
        edits.edit<ApplicationField::applicationDate>(*open, local(2025, 3, 25, 9, 0));
        QCOMPARE(open->daysSinceApplied(), 0);
    }

    // A zone changed behind the application's back (no day-clock tick) is followed
    // once the kept offsets are a second old.
    void zoneChangeFollowedWithinASecond()
    {
        useTimeZone("Europe/Istanbul");
        const QDateTime lateEvening = utc(2025, 3, 7, 22, 30);
        QCOMPARE(localDate(lateEvening), QDate(2025, 3, 8));
        qputenv("TZ", "America/New_York");
        tzset();
        QTest::qSleep(1100);
        QCOMPARE(localDate(lateEvening), QDate(2025, 3, 7));
    }

    void todayMovesOnAtMidnightOnly()
    {
        FixedClock clock(local(2025, 3, 7, 23, 58));
        TodayProvider provider;
        QCOMPARE(provider.today(), local(2025, 3, 7, 0, 0));
        QVERIFY(provider.timer().isActive());
        QSignalSpy changed(&provider, &TodayProvider::todayChanged);
        clock.set(local(2025, 3, 7, 23, 59));
        provider.refreshDay();
        QCOMPARE(changed.count(), 0);
        clock.set(local(2025, 3, 8, 0, 0, 30));
        provider.refreshDay();
        provider.refreshDay();
        QCOMPARE(changed.count(), 1);
        QCOMPARE(provider.today(), local(2025, 3, 8, 0, 0));
        // A move to a zone where it is still yesterday moves the day back.
        useTimeZone("America/New_York");
        provider.refreshDay();
        QCOMPARE(changed.count(), 2);
        QCOMPARE(provider.today().date(), QDate(2025, 3, 7));
    }

    void filterAndSearch_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("search");
        QTest::addColumn<QStringList>("shown");
        const auto row = [](const char* name, const char* filter, QLocale::Language language, const QString& search,
                             const QStringList& shown) {
            QTest::newRow(name) << QString::fromLatin1(filter) << QLocale(language) << search << shown;
        };
        const auto en = QLocale::English;
        const auto tr = QLocale::Turkish;
        row("all, blank search", "all", en, " \n\t ",
            {"Isparta Bilişim", "İstanbul Yazılım", "ΚΟΣΜΟΣ Ltd", "Müller GmbH", "Globex", "Acme Ltd"});
        row("active keeps unknown raw status", "active", en, "",
            {"Isparta Bilişim", "ΚΟΣΜΟΣ Ltd", "Müller GmbH", "Acme Ltd"});
        row("applied includes unknown", "applied", en, "", {"Isparta Bilişim", "Acme Ltd"});
        row("offer", "offer", en, "", {"Globex"});
        row("rejected", "rejected", en, "", {"İstanbul Yazılım"});
        row("upper case finds mixed", "all", en, "ACME", {"Acme Ltd"});
        row("bridges company and position", "all", en, "acme ltd engineer", {"Acme Ltd"});
        row("marks are significant", "all", en, "Muller", {});
        row("umlaut matches", "all", en, "MÜLLER", {"Müller GmbH"});
        row("trimmed", "all", en, "  globex  ", {"Globex"});
        row("tr: İSTANBUL finds istanbul", "all", tr, "İSTANBUL", {"İstanbul Yazılım"});
        row("tr: dotless I is not i", "all", tr, "ISPARTA", {"Isparta Bilişim"});
        row("tr: lower ı finds ISPARTA", "all", tr, "ısparta", {"Isparta Bilişim"});
        row("tr: dotless ı in the name", "all", tr, "yazılım", {"İstanbul Yazılım"});
        row("en: ISPARTA finds Isparta", "all", en, "isparta", {"Isparta Bilişim"});
        // A final sigma is the same letter as a medial one.
        row("en: ΚΟΣ finds ΚΟΣΜΟΣ", "all", en, "ΚΟΣ", {"ΚΟΣΜΟΣ Ltd"});
        row("tr: κοσμος finds ΚΟΣΜΟΣ", "all", tr, "κοσμος", {"ΚΟΣΜΟΣ Ltd"});
    }

    void filterAndSearch()
    {
        QFETCH(QString, filter);
        QFETCH(QLocale, locale);
        QFETCH(QString, search);
        QFETCH(QStringList, shown);
        FixedClock clock(local(2025, 3, 10));
        Records records;
        records.add(
            QStringLiteral("Acme Ltd"), local(2025, 3, 1), ApplicationStatus::applied, QStringLiteral("Engineer"));
        records.add(QStringLiteral("Globex"), local(2025, 3, 2), ApplicationStatus::offer, QStringLiteral("Designer"));
        records.add(QStringLiteral("Müller GmbH"), local(2025, 3, 3), ApplicationStatus::hrInterview);
        records.add(QStringLiteral("ΚΟΣΜΟΣ Ltd"), local(2025, 3, 4), ApplicationStatus::techInterview);
        records.add(QStringLiteral("İstanbul Yazılım"), local(2025, 3, 5), ApplicationStatus::rejected);
        records.add(QStringLiteral("Isparta Bilişim"), local(2025, 3, 6), ApplicationStatus::applied, {},
            [](ApplicationValues& v) { v.statusRaw = QStringLiteral("onHold"); });
        // Searched first under the other locale: what was cached then must not count now.
        QLocale::setDefault(QLocale(locale.language() == QLocale::Turkish ? QLocale::English : QLocale::Turkish));
        visibleApplications(records.base(), StatusFilter::all(), QStringLiteral("x"), SortOption::newest);
        QLocale::setDefault(locale);
        const auto list
            = visibleApplications(records.base(), *StatusFilter::fromIdentifier(filter), search, SortOption::newest);
        QCOMPARE(companies(list), shown);
    }

    void sorts_data()
    {
        QTest::addColumn<int>("sort");
        QTest::addColumn<QStringList>("order");
        QTest::newRow("newest ignores stars")
            << int(SortOption::newest)
            << QStringList {"Shut today", "Open today", "Firm 10", "", "Firm 9", "beta", "Alpha", "Zed"};
        // Waiting: Zed 30 days, Alpha 20, beta 12, Open today 0; Shut today and Firm 9 offers, Firm 10 rejected, blank
        // offer: no value, after a record that waits no days yet.
        QTest::newRow("longest waiting, then newest")
            << int(SortOption::longestWaiting)
            << QStringList {"Zed", "Alpha", "beta", "Open today", "Shut today", "Firm 10", "", "Firm 9"};
        QTest::newRow("company, numeric and case-insensitive")
            << int(SortOption::company)
            << QStringList {"Alpha", "beta", "Firm 9", "Firm 10", "", "Open today", "Shut today", "Zed"};
        QTest::newRow("status, then newest")
            << int(SortOption::status)
            << QStringList {"Open today", "beta", "Alpha", "Zed", "Shut today", "", "Firm 9", "Firm 10"};
    }

    void sorts()
    {
        QFETCH(int, sort);
        QFETCH(QStringList, order);
        FixedClock clock(local(2025, 3, 31, 12, 0));
        Records records;
        records.add(QStringLiteral("Zed"), local(2025, 3, 1), ApplicationStatus::techInterview);
        records.add(QStringLiteral("Alpha"), local(2025, 3, 11), ApplicationStatus::applied);
        records.add(QStringLiteral("beta"), local(2025, 3, 19), ApplicationStatus::applied, {},
            [](ApplicationValues& v) { v.isFavorite = true; });
        records.add(QStringLiteral("Firm 9"), local(2025, 3, 20), ApplicationStatus::offer);
        records.add(QString(), local(2025, 3, 21), ApplicationStatus::offer); // sorts as "New Application"
        records.add(QStringLiteral("Firm 10"), local(2025, 3, 22), ApplicationStatus::rejected);
        records.add(QStringLiteral("Open today"), local(2025, 3, 31, 9), ApplicationStatus::applied);
        records.add(QStringLiteral("Shut today"), local(2025, 3, 31, 11), ApplicationStatus::offer);
        QCOMPARE(
            companies(visibleApplications(records.base(), StatusFilter::all(), QString(), SortOption(sort))), order);
    }

    // A list in the query's order is taken as it stands; any other is sorted, even one
    // whose first record is in its place already.
    void sortsWhateverTheFirstRecord()
    {
        Records records;
        records.add(QStringLiteral("Mid"), local(2025, 3, 1));
        records.add(QStringLiteral("Zed"), local(2025, 3, 2));
        records.add(QStringLiteral("Alpha"), local(2025, 3, 3));
        QCOMPARE(companies(visibleApplications(records.base(), StatusFilter::all(), QString(), SortOption::company)),
            (QStringList {"Alpha", "Mid", "Zed"}));
    }

    // The sort compares the first bytes of each collation key before the whole key.
    void companySortIsTheCollatorsOrder_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QLocale>("collation");
        QTest::newRow("en") << QLocale(QLocale::English) << QLocale(QLocale::English);
        QTest::newRow("tr") << QLocale(QLocale::Turkish) << QLocale(QLocale::Turkish);
        // A minimal install's C.UTF-8 has no collation of its own: the root one, so Ç sorts with C.
        QTest::newRow("C") << QLocale::c() << QLocale(QLocale::English, QLocale::UnitedStates);
    }

    void companySortIsTheCollatorsOrder()
    {
        QFETCH(QLocale, locale);
        QFETCH(QLocale, collation);
        const QStringList names {"Anadolu Teknoloji A.Ş.", "Anadolu Teknoloji Ltd", "ANADOLU teknoloji", "Anadolu",
            "Çağrı", "Cagri", "Wayne", "Ilık", "ılık", "İnci", "inci", "Ωμέγα", "ΑΛΦΑ", "άλφα", "Firm 9", "Firm 10",
            "Firm 010", "", "New Applications", "Acme Globex Systems", "Acme Globex Systemz"};
        // Every name three times, two of them at the same moment.
        Records records;
        for (qsizetype i = 0; i < names.size() * 3; ++i)
            records.add(names[i / 3], local(2025, 3, 1 + int((i / 3 * 7 + i % 3 / 2) % 28)));
        // Sorted first under another locale: the keys kept then must not count now.
        QLocale::setDefault(QLocale(locale.language() == QLocale::Turkish ? QLocale::English : QLocale::Turkish));
        visibleApplications(records.base(), StatusFilter::all(), QString(), SortOption::company);
        QLocale::setDefault(locale);
        QCollator collator(collation);
        collator.setNumericMode(true);
        collator.setCaseSensitivity(Qt::CaseInsensitive);
        QList<JobApplication*> expected = records.base();
        // The order before: the collator, then the newest, then the lower identifier.
        const auto order
            = [](const JobApplication* a) { return std::pair(-a->applicationDate().toMSecsSinceEpoch(), a->id()); };
        std::stable_sort(expected.begin(), expected.end(), [&](const JobApplication* a, const JobApplication* b) {
            const int byName = collator.compare(a->displayCompany(), b->displayCompany());
            return byName != 0 ? byName < 0 : order(a) < order(b);
        });
        QCOMPARE(visibleApplications(records.base(), StatusFilter::all(), QString(), SortOption::company), expected);
    }

    // Enough records for the search texts to be folded on several threads.
    void searchOverManyRecordsAgreesWithOneAtATime()
    {
        QLocale::setDefault(QLocale(QLocale::Turkish));
        const QStringList companies {"Isparta Bilişim", "İstanbul Yazılım", "Acme", "ΚΟΣΜΟΣ"};
        Records records;
        for (int i = 0; i < 3 * 4096 + 123; ++i)
            records.add(companies[i % companies.size()] + QString::number(i), local(2025, 3, 1 + i % 28));
        const QList<JobApplication*> base = records.base();
        for (const QString search : {"ı", "κοσ", "17"}) {
            const ListQuery query(StatusFilter::all(), search, SortOption::newest);
            QList<JobApplication*> expected;
            for (JobApplication* record : base) {
                if (query.selects(*record))
                    expected.append(record);
                record->derivedCache().clear();
            }
            QVERIFY(!expected.isEmpty() && expected.size() < base.size());
            QCOMPARE(query.apply(base), expected);
        }
    }

    void summaryCounts_data()
    {
        // Active, offers, stale. Now: 20 March 00:01; the records are made in the test body.
        QTest::addColumn<QString>("search");
        QTest::addColumn<QList<qint64>>("counts");
        QTest::newRow("everything") << "" << QList<qint64> {5, 2, 2};
        QTest::newRow("search narrows the counts") << "old" << QList<qint64> {2, 1, 2};
        QTest::newRow("nothing matches") << "nothing" << QList<qint64> {0, 0, 0};
    }

    void summaryCounts()
    {
        QFETCH(QString, search);
        QFETCH(QList<qint64>, counts);
        FixedClock clock(local(2025, 1, 1));
        Records records;
        records.add(QStringLiteral("old 14 days"), local(2025, 3, 6, 10, 0)); // stale
        records.add(QStringLiteral("13 days"), local(2025, 3, 7, 23, 59)); // 13: not stale
        records.add(QStringLiteral("unknown status, old"), local(2025, 1, 2), ApplicationStatus::applied, {},
            [](ApplicationValues& v) { v.statusRaw = QStringLiteral("ghosted"); });
        records.add(QStringLiteral("future"), local(2025, 4, 1));
        records.add(QStringLiteral("yesterday"), local(2025, 3, 19, 23, 59));
        records.add(QStringLiteral("old offer"), local(2024, 1, 1), ApplicationStatus::offer);
        records.add(QStringLiteral("offer"), local(2025, 3, 1), ApplicationStatus::offer);
        records.add(QStringLiteral("ancient rejection"), local(2020, 1, 1), ApplicationStatus::rejected);
        clock.set(local(2025, 3, 20, 0, 1));
        const SummaryCounts found
            = ::summaryCounts(visibleApplications(records.base(), StatusFilter::all(), search, SortOption::newest));
        QCOMPARE((QList<qint64> {found.active, found.offers, found.stale}), counts);
        QCOMPARE(::summaryCounts({}), SummaryCounts {});
    }
};

QTEST_GUILESS_MAIN(TrackingTest)
#include "tst_tracking.moc"
