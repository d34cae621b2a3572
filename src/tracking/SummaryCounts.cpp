#include "tracking/SummaryCounts.h"

#include "model/Clock.h"
#include "model/DayCount.h"
#include "model/JobApplication.h"
#include "tracking/WaitingLevel.h"

quint8 SummaryCounts::shareOf(const JobApplication& application, const QDate& today, LocalDayResolver& days)
{
    // Closed means exactly "offer" or "rejected"; any other text, known or not, is open.
    static const QString offer = rawValue(ApplicationStatus::offer);
    static const QString rejected = rawValue(ApplicationStatus::rejected);
    const QString& raw = application.statusRaw();
    if (raw == offer)
        return countsOffer;
    if (raw == rejected)
        return none;
    if (days.localDate(application.applicationDate()).daysTo(today) >= silentThresholdDays)
        return countsActive | countsStale;
    return countsActive;
}

void SummaryCounts::add(quint8 share, int sign)
{
    active += sign * bool(share & countsActive);
    offers += sign * bool(share & countsOffer);
    stale += sign * bool(share & countsStale);
}

SummaryCounts summaryCounts(const QList<JobApplication*>& applications, const QDateTime& now)
{
    const QDate today = localDate(now.isValid() ? now : Clock::now());
    LocalDayResolver days;
    SummaryCounts counts;
    for (const JobApplication* application : applications)
        counts.add(SummaryCounts::shareOf(*application, today, days));
    return counts;
}
