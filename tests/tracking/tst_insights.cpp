#include "TestSupport.h"

#include "model/ApplicationEdits.h"
#include "model/JobApplication.h"
#include "tracking/Insights.h"

#include <QTest>

#include <memory>
#include <vector>

using namespace TestSupport;
using namespace Qt::StringLiterals;

namespace {

using Status = ApplicationStatus;

// Records with hand-written histories. A history is a list of steps "status@day" or
// "from>status@day", `day` counted from the application date; without a "from" a
// step leaves the previous step's status. The record's status is the last step's,
// unless given.
class Histories {
public:
    // The values of the record added, which may still change until list() is read.
    ApplicationValues& add(int appliedDaysAgo, const QString& history, std::optional<Status> status = std::nullopt,
        WorkModel workModel = WorkModel::remote, const QString& link = QString())
    {
        const QDateTime applied = testNow().addDays(-appliedDaysAgo).addSecs(-3600);
        std::optional<QString> previous;
        std::vector<std::unique_ptr<StatusChange>> steps;
        for (const QString& step : history.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            const QStringList parts = step.split(QLatin1Char('@'));
            QString to = parts.at(0);
            if (to.contains(QLatin1Char('>'))) {
                previous = to.section(QLatin1Char('>'), 0, 0);
                to = to.section(QLatin1Char('>'), 1, 1);
            }
            // Same-day steps keep their order: an hour apart.
            const QDateTime date = applied.addDays(parts.at(1).toInt()).addSecs(3600 * qint64(steps.size()));
            steps.push_back(std::make_unique<StatusChange>(previous, to, date));
            previous = to;
        }
        const Status current = status ? *status : (previous ? *fromRawValue<Status>(*previous) : Status::applied);
        ApplicationBuilder& record = m_pending.emplace_back(
            JobApplication::initialValues(QStringLiteral("Firm"), QString(), link, workModel, current, applied));
        if (!steps.empty())
            record.values().statusChangedAt = steps.back()->date();
        for (auto& step : steps)
            record.appendHistory(std::move(step));
        return record.values();
    }

    QList<JobApplication*> list()
    {
        for (ApplicationBuilder& record : m_pending)
            m_owned.push_back(record.build());
        m_pending.clear();
        QList<JobApplication*> records;
        for (const auto& record : m_owned)
            records.append(record.get());
        return records;
    }

private:
    std::vector<ApplicationBuilder> m_pending;
    std::vector<std::unique_ptr<JobApplication>> m_owned;
};

using Counts = QList<qsizetype>;

template <size_t N> Counts counts(const std::array<qsizetype, N>& values)
{
    return Counts(values.begin(), values.end());
}

// "applications/responded median", the median "-" when there is none.
QString summary(const Insights::Response& response)
{
    return u"%1/%2 %3"_s.arg(response.applications)
        .arg(response.responded)
        .arg(response.medianDaysToFirstChange ? QString::number(*response.medianDaysToFirstChange) : u"-"_s);
}

} // namespace

class InsightsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        useTimeZone("Europe/Istanbul");
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }

    void funnelOfOneHistory_data()
    {
        QTest::addColumn<QString>("history");
        QTest::addColumn<int>("status"); // -1: the last step's
        QTest::addColumn<Counts>("reached");
        QTest::addColumn<int>("rejectedAt"); // -1: not rejected now
        const auto row = [](const char* name, const char* history, int status, Counts reached, int rejectedAt) {
            QTest::newRow(name) << QString::fromLatin1(history) << status << reached << rejectedAt;
        };
        const int last = -1;
        row("no history, applied", "", last, {1, 0, 0, 0}, -1);
        row("no history, offer", "", int(Status::offer), {1, 1, 1, 1}, -1);
        row("no history, rejected", "", int(Status::rejected), {1, 0, 0, 0}, 0);
        row("rejected after the technical interview", "applied@0 hrInterview@3 techInterview@8 rejected@12", last,
            {1, 1, 1, 0}, 2);
        row("HR interview skipped", "applied@0 techInterview@4", last, {1, 1, 1, 0}, -1);
        row("same-day changes up to the offer", "applied@0 hrInterview@0 techInterview@0 offer@0", last, {1, 1, 1, 1},
            -1);
        row("reopened after a rejection", "applied@0 rejected@2 hrInterview@9", last, {1, 1, 0, 0}, -1);
        row("rejected, reopened, rejected again from the technical interview",
            "applied@0 rejected@2 techInterview@9 rejected@15", last, {1, 1, 1, 0}, 2);
        row("offer withdrawn", "applied@0 offer@20 rejected@25", last, {1, 1, 1, 1}, 3);
        row("history starting mid-way", "hrInterview>rejected@6", last, {1, 1, 0, 0}, 1);
        row("unknown status text reads as applied", "applied@0 interviewing@3", int(Status::applied), {1, 0, 0, 0}, -1);
    }

    void funnelOfOneHistory()
    {
        QFETCH(QString, history);
        QFETCH(int, status);
        QFETCH(Counts, reached);
        QFETCH(int, rejectedAt);
        Histories records;
        records.add(10, history, status < 0 ? std::nullopt : std::optional(Status(status)));
        const Insights insights = computeInsights(records.list(), testNow());
        QCOMPARE(insights.total, 1);
        QCOMPARE(counts(insights.reached), reached);
        Counts stages {0, 0, 0, 0};
        if (rejectedAt >= 0)
            stages[rejectedAt] = 1;
        QCOMPARE(counts(insights.rejectedAtStage), stages);
        QCOMPARE(insights.rejections, rejectedAt >= 0 ? 1 : 0);
    }

    void conversionBetweenStages()
    {
        Histories records;
        for (const char* history :
            {"applied@0", "applied@0", "applied@0 hrInterview@1", "applied@0 hrInterview@1 rejected@2",
                "applied@0 hrInterview@1 techInterview@2 rejected@3", "applied@0 techInterview@2 offer@3"})
            records.add(3, QString::fromLatin1(history));
        const Insights insights = computeInsights(records.list(), testNow());
        QCOMPARE(counts(insights.reached), (Counts {6, 4, 2, 1}));
        QCOMPARE((QList<std::optional<double>> {
                     insights.conversion(0), insights.conversion(1), insights.conversion(2), insights.conversion(3)}),
            (QList<std::optional<double>> {4.0 / 6.0, 0.5, 0.5, std::nullopt}));
        // Nothing reached the HR interview: no conversion from it, rather than 0 %.
        Histories early;
        early.add(1, QStringLiteral("applied@0"));
        QCOMPARE(computeInsights(early.list(), testNow()).conversion(1), std::nullopt);
    }

    void responseOverThreeWindows()
    {
        Histories records;
        records.add(5, QStringLiteral("applied@0 hrInterview@2")); // 2 days
        records.add(10, QStringLiteral("applied@0 rejected@0")); // the same day: 0
        records.add(20, QStringLiteral("applied@0")); // no answer
        records.add(29, QString(), Status::offer).statusChangedAt = testNow().addDays(-25); // no history: 4 days
        records.add(30, QStringLiteral("applied@0")); // a day too old for the last 30
        records.add(40, QStringLiteral("applied@0 techInterview@7")); // 7 days
        records.add(100, QStringLiteral("applied@0 rejected@3 hrInterview@10")); // the first change counts: 3
        const Insights insights = computeInsights(records.list(), testNow());
        // The 90-day median is (2 + 4) / 2.
        QCOMPARE((QStringList {summary(insights.last30Days), summary(insights.last90Days), summary(insights.allTime)}),
            (QStringList {u"4/3 2"_s, u"6/4 3"_s, u"7/5 3"_s}));
        QCOMPARE(insights.last30Days.share(), std::optional(0.75));
        // Nobody answered: a share of 0, and no median at all.
        Histories silent;
        silent.add(1, QStringLiteral("applied@0"));
        const Insights none = computeInsights(silent.list(), testNow());
        QCOMPARE(none.allTime.share(), std::optional(0.0));
        QCOMPARE(summary(none.allTime), u"1/0 -"_s);
        QCOMPARE(computeInsights({}, testNow()).allTime.share(), std::nullopt);
    }

    void weeksFollowTheLocale_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QDate>("currentWeek");
        QTest::addColumn<Counts>("lastTwoWeeks");
        // Applications on Sunday 9 March (twice), Monday 10 March and Friday 14 March,
        // and on both sides of the first of the twelve weeks.
        QTest::newRow("English (United States): weeks start on Sunday")
            << QLocale(QLocale::English, QLocale::UnitedStates) << QDate(2025, 3, 9) << Counts {0, 4};
        QTest::newRow("Turkish: weeks start on Monday")
            << QLocale(QLocale::Turkish, QLocale::Turkey) << QDate(2025, 3, 10) << Counts {2, 2};
    }

    void weeksFollowTheLocale()
    {
        QFETCH(QLocale, locale);
        QFETCH(QDate, currentWeek);
        QFETCH(Counts, lastTwoWeeks);
        const QDate first = currentWeek.addDays(-77);
        Histories records;
        // Sunday 9 March twice, Monday 10 March, today, the first week's first day and the day before it.
        for (int daysAgo :
            {5, 5, 4, 0, int(first.daysTo(QDate(2025, 3, 14))), int(first.daysTo(QDate(2025, 3, 14))) + 1})
            records.add(daysAgo, QStringLiteral("applied@0"));
        const Insights insights = computeInsights(records.list(), testNow(), locale);
        QCOMPARE(insights.weeks.back().start, currentWeek);
        QCOMPARE(insights.weeks.front().start, first);
        QCOMPARE((Counts {insights.weeks[10].applications, insights.weeks[11].applications}), lastTwoWeeks);
        QCOMPARE(insights.weeks.front().applications, 1);
        qsizetype inWeeks = 0;
        for (const Insights::Week& week : insights.weeks)
            inWeeks += week.applications;
        QCOMPARE(inWeeks, 5);
    }

    void whyItEnded()
    {
        Histories records;
        records.add(30, QStringLiteral("applied@0 hrInterview@3 rejected@9")).rejectionReasonRaw = u"budget"_s;
        records.add(30, QStringLiteral("applied@0 rejected@1"));
        records.add(30, QStringLiteral("applied@0 hrInterview@1 techInterview@2 offer@3 rejected@4")).rejectionReasonRaw
            = u"budget"_s;
        records.add(30, QString(), Status::rejected).rejectionReasonRaw = u"experience"_s;
        // An unknown reason text counts as none; an open record's leftover reason is not a rejection.
        records.add(30, QStringLiteral("applied@0 rejected@5")).rejectionReasonRaw = u"tooExpensive"_s;
        records.add(30, QStringLiteral("applied@0 hrInterview@5")).rejectionReasonRaw = u"budget"_s;
        const Insights insights = computeInsights(records.list(), testNow());
        QCOMPARE(insights.rejections, 5);
        QCOMPARE(counts(insights.rejectionReasons), (Counts {0, 1, 2, 0, 0, 0}));
        QCOMPARE(insights.rejectionsWithoutReason, 2);
        QCOMPARE(counts(insights.rejectedAtStage), (Counts {3, 1, 0, 1}));
    }

    void workModelsAndBoards_data()
    {
        QTest::addColumn<int>("copies");
        QTest::newRow("a few") << 1;
        // Enough records for the links to be read on the thread pool.
        QTest::newRow("hundreds") << 100;
    }

    void workModelsAndBoards()
    {
        QFETCH(int, copies);
        // History, work model, link; the board is the host's: a LinkedIn tracking
        // parameter on another site does not make it LinkedIn.
        const std::tuple<const char*, WorkModel, const char*> rows[] {
            {"applied@0 hrInterview@1", WorkModel::remote, "https://www.linkedin.com/jobs/view/1"},
            {"applied@0", WorkModel::remote, "linkedin.com/jobs/view/2"},
            {"applied@0 rejected@1", WorkModel::hybrid, "acme.wd3.myworkdayjobs.com/en-US/job/3"},
            {"applied@0", WorkModel::hybrid, "  WWW.KARIYER.NET/ilan/4 "},
            {"applied@0 offer@9", WorkModel::onSite, "https://careers.acme.example/jobs?ref=linkedin"},
            {"applied@0", WorkModel::onSite, "ftp://indeed.com/5"}, {"applied@0", WorkModel::onSite, ""}};
        Histories records;
        for (int copy = 0; copy < copies; ++copy) {
            for (const auto& [history, workModel, link] : rows)
                records.add(3, QString::fromLatin1(history), std::nullopt, workModel, QString::fromLatin1(link));
        }
        const Insights insights = computeInsights(records.list(), testNow());
        Counts byWorkModel;
        for (const auto& group : insights.byWorkModel)
            byWorkModel << group.applications << group.responded;
        QCOMPARE(byWorkModel, (Counts {2 * copies, copies, 2 * copies, copies, 3 * copies, copies}));
        QCOMPARE(insights.byWorkModel[size_t(WorkModel::onSite)].share(), std::optional(1.0 / 3.0));
        QStringList boards;
        for (const Insights::BoardGroup& group : insights.byBoard) {
            const QString name = group.kind == Insights::BoardKind::known ? title(group.board)
                : group.kind == Insights::BoardKind::otherSite            ? u"other"_s
                                                                          : u"none"_s;
            boards << u"%1 %2/%3"_s.arg(name).arg(group.responded).arg(group.applications);
        }
        const auto times = [copies](const char* name, int responded, int applications) {
            return u"%1 %2/%3"_s.arg(QLatin1String(name)).arg(responded * copies).arg(applications * copies);
        };
        QCOMPARE(boards,
            (QStringList {times("LinkedIn", 1, 2), times("Workday", 1, 1), times("Kariyer.net", 0, 1),
                times("other", 1, 1), times("none", 0, 2)}));
        // A corrected link counts under its new board at once.
        ApplicationEdits().edit<ApplicationField::postingLink>(
            *records.list().last(), u"https://tr.indeed.com/viewjob?jk=9"_s);
        const Insights corrected = computeInsights(records.list(), testNow());
        QCOMPARE(corrected.byBoard.at(3).board, JobBoard::indeed);
        QCOMPARE(corrected.byBoard.last().applications, 2 * copies - 1);
    }

    void tooFewToSay()
    {
        Histories records;
        for (int i = 0; i < 4; ++i)
            records.add(i, QStringLiteral("applied@0"));
        QVERIFY(!computeInsights(records.list(), testNow()).isEnough());
        records.add(9, QStringLiteral("applied@0"));
        QVERIFY(computeInsights(records.list(), testNow()).isEnough());
    }
};

QTEST_GUILESS_MAIN(InsightsTest)
#include "tst_insights.moc"
