#include "model/DayCount.h"

QDate localDate(const QDateTime& moment)
{
    return moment.toLocalTime().date();
}

QDateTime startOfLocalDay(const QDateTime& moment)
{
    return localDate(moment).startOfDay().toUTC();
}

int dayCount(const QDateTime& from, const QDateTime& to)
{
    if (!from.isValid() || !to.isValid())
        return 0;
    const qint64 days = localDate(from).daysTo(localDate(to));
    return days > 0 ? int(days) : 0;
}
