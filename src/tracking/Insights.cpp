#include "tracking/Insights.h"

#include "model/Clock.h"
#include "model/DayCount.h"
#include "model/JobApplication.h"

#include <QtConcurrent/QtConcurrentMap>

#include <algorithm>
#include <vector>

namespace {

std::optional<double> ratio(qsizetype part, qsizetype whole)
{
    if (whole <= 0)
        return std::nullopt;
    return double(part) / double(whole);
}

std::optional<double> median(std::vector<int>& values)
{
    if (values.empty())
        return std::nullopt;
    const size_t middle = values.size() / 2;
    std::nth_element(values.begin(), values.begin() + qsizetype(middle), values.end());
    const int upper = values[middle];
    if (values.size() % 2 == 1)
        return double(upper);
    const int lower = *std::max_element(values.begin(), values.begin() + qsizetype(middle));
    return (double(lower) + double(upper)) / 2.0;
}

// What one record's history says, read once.
struct HistoryReading {
    size_t furthestStage = 0;
    bool leftApplied = false;
    std::optional<QDateTime> firstChange;
    std::optional<size_t> rejectedAt;
};

HistoryReading readHistory(const JobApplication& application, ApplicationStatus status)
{
    HistoryReading reading;
    const auto reach = [&reading](std::optional<ApplicationStatus> seen) {
        if (!seen)
            return;
        if (const auto stage = funnelStageIndex(*seen))
            reading.furthestStage = std::max(reading.furthestStage, *stage);
    };
    reach(status);
    const StatusChange* lastRejection = nullptr;
    for (const StatusChange* change : application.history()) {
        const ApplicationStatus to = change->to();
        reach(change->from());
        reach(to);
        if (to == ApplicationStatus::applied)
            continue;
        reading.leftApplied = true;
        if (!reading.firstChange || change->date() < *reading.firstChange)
            reading.firstChange = change->date();
        if (to == ApplicationStatus::rejected && (!lastRejection || change->date() >= lastRejection->date()))
            lastRejection = change;
    }
    if (status != ApplicationStatus::applied) {
        reading.leftApplied = true;
        // A record without a history of its changes still knows when it entered its status.
        if (!reading.firstChange)
            reading.firstChange = application.statusChangedAt();
    }
    if (status == ApplicationStatus::rejected) {
        const auto from = lastRejection ? lastRejection->from() : std::nullopt;
        const auto stage = from ? funnelStageIndex(*from) : std::nullopt;
        reading.rejectedAt = stage ? *stage : reading.furthestStage;
    }
    return reading;
}

void count(Insights::Group& group, bool responded)
{
    ++group.applications;
    if (responded)
        ++group.responded;
}

} // namespace

std::optional<double> Insights::Response::share() const
{
    return ratio(responded, applications);
}

std::optional<double> Insights::Group::share() const
{
    return ratio(responded, applications);
}

std::optional<double> Insights::conversion(size_t fromStage) const
{
    if (fromStage + 1 >= reached.size())
        return std::nullopt;
    return ratio(reached[fromStage + 1], reached[fromStage]);
}

std::optional<size_t> funnelStageIndex(ApplicationStatus status)
{
    const auto found = std::find(Insights::funnelStages.begin(), Insights::funnelStages.end(), status);
    if (found == Insights::funnelStages.end())
        return std::nullopt;
    return size_t(found - Insights::funnelStages.begin());
}

JobBoard boardOfHost(const QString& host)
{
    return jobBoardNamedIn(host.toLower());
}

namespace {

// One slot per known board; the unknown board's slot holds the other sites, and
// one more holds the records without a usable link.
constexpr size_t otherSiteSlot = size_t(JobBoard::unknown);
constexpr size_t noLinkSlot = otherSiteSlot + 1;
using BoardSlots = std::array<Insights::BoardGroup, allCases<JobBoard>().size() + 1>;

// The record's link slot, read once and kept with the record until it changes:
// parsing the address is most of the work of a first run.
size_t linkSlot(const JobApplication& application)
{
    quint8& linkKind = application.derivedCache().linkKind;
    if (linkKind == 0) {
        const std::optional<QUrl> url = application.postingURL();
        // QUrl keeps hosts in lower case already.
        linkKind = quint8(1 + (url ? size_t(jobBoardNamedIn(url->host(QUrl::FullyEncoded))) : noLinkSlot));
    }
    return size_t(linkKind - 1);
}

// Before a first run over many records (after loading, or a backup read in) the
// links not read yet are read on the thread pool while this thread waits; each
// task writes only its own record's cache entry.
void readLinksAhead(const QList<JobApplication*>& applications)
{
    constexpr qsizetype worthSharing = 512;
    QList<const JobApplication*> unread;
    for (const JobApplication* application : applications) {
        if (application->derivedCache().linkKind == 0)
            unread.append(application);
    }
    if (unread.size() >= worthSharing)
        QtConcurrent::blockingMap(unread, [](const JobApplication* application) { linkSlot(*application); });
}

// The slots that took at least one application, named, in slot order.
QList<Insights::BoardGroup> boardGroups(const BoardSlots& boards)
{
    QList<Insights::BoardGroup> groups;
    for (size_t slot = 0; slot < boards.size(); ++slot) {
        Insights::BoardGroup group = boards[slot];
        if (group.applications == 0)
            continue;
        if (slot == noLinkSlot) {
            group.kind = Insights::BoardKind::noLink;
        } else if (slot == otherSiteSlot) {
            group.kind = Insights::BoardKind::otherSite;
        } else {
            group.kind = Insights::BoardKind::known;
            group.board = JobBoard(slot);
        }
        groups.append(group);
    }
    return groups;
}

} // namespace

Insights computeInsights(const QList<JobApplication*>& applications, const QDateTime& now, const QLocale& locale)
{
    Insights insights;
    LocalDayResolver days;
    const QDate today = days.localDate(now.isValid() ? now : Clock::now());
    const int firstDay = int(locale.firstDayOfWeek());
    const QDate thisWeek = today.addDays(-((today.dayOfWeek() - firstDay + 7) % 7));
    const QDate firstWeek = thisWeek.addDays(-7 * (Insights::weekCount - 1));
    for (int i = 0; i < Insights::weekCount; ++i)
        insights.weeks[size_t(i)].start = firstWeek.addDays(7 * i);

    std::vector<int> waits30;
    std::vector<int> waits90;
    std::vector<int> waitsAll;
    BoardSlots boards {};
    readLinksAhead(applications);

    for (const JobApplication* application : applications) {
        const ApplicationStatus status = application->status();
        const HistoryReading reading = readHistory(*application, status);
        ++insights.total;
        for (size_t stage = 0; stage <= reading.furthestStage; ++stage)
            ++insights.reached[stage];

        const QDate applied = days.localDate(application->applicationDate());
        const qint64 age = applied.daysTo(today);
        std::optional<int> wait;
        if (reading.firstChange)
            wait = int(std::max<qint64>(0, applied.daysTo(days.localDate(*reading.firstChange))));
        const auto addResponse = [&](Insights::Response& response, std::vector<int>& waits) {
            ++response.applications;
            if (!reading.leftApplied)
                return;
            ++response.responded;
            if (wait)
                waits.push_back(*wait);
        };
        addResponse(insights.allTime, waitsAll);
        if (age < 90)
            addResponse(insights.last90Days, waits90);
        if (age < 30)
            addResponse(insights.last30Days, waits30);

        const qint64 week = firstWeek.daysTo(applied);
        if (week >= 0 && week < 7 * Insights::weekCount)
            ++insights.weeks[size_t(week / 7)].applications;

        if (reading.rejectedAt) {
            ++insights.rejections;
            ++insights.rejectedAtStage[*reading.rejectedAt];
            if (const auto reason = application->rejectionReason())
                ++insights.rejectionReasons[size_t(*reason)];
            else
                ++insights.rejectionsWithoutReason;
        }

        count(insights.byWorkModel[size_t(application->workModel())], reading.leftApplied);

        count(boards[linkSlot(*application)], reading.leftApplied);
    }

    insights.last30Days.medianDaysToFirstChange = median(waits30);
    insights.last90Days.medianDaysToFirstChange = median(waits90);
    insights.allTime.medianDaysToFirstChange = median(waitsAll);

    insights.byBoard = boardGroups(boards);
    return insights;
}
