#include "tracking/SummaryCounts.h"

#include "model/Clock.h"
#include "model/DayCount.h"
#include "model/JobApplication.h"
#include "tracking/WaitingLevel.h"

SummaryCounts summaryCounts(const QList<JobApplication*>& applications, const QDateTime& now)
{
    const QDate today = localDate(now.isValid() ? now : Clock::now());
    const QString offer = rawValue(ApplicationStatus::offer);
    const QString rejected = rawValue(ApplicationStatus::rejected);

    LocalDayResolver days;
    SummaryCounts counts;
    for (const JobApplication* application : applications) {
        // Closed means exactly "offer" or "rejected"; any other text, known or not, is open.
        const QString& raw = application->statusRaw();
        if (raw == offer) {
            ++counts.offers;
            continue;
        }
        if (raw == rejected)
            continue;
        ++counts.active;
        if (days.localDate(application->applicationDate()).daysTo(today) >= silentThresholdDays)
            ++counts.stale;
    }
    return counts;
}
