#pragma once

#include "model/Clock.h"

#include <QDateTime>
#include <QTimeZone>

#include <ctime>

namespace TestSupport {

// Switches the process time zone; Qt re-reads TZ before each local-time conversion.
inline void useTimeZone(const char* zone)
{
    qputenv("TZ", zone);
    tzset();
}

// A local wall-clock moment in the current time zone.
inline QDateTime local(int year, int month, int day, int hour = 12, int minute = 0, int second = 0)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second), Qt::LocalTime);
}

inline QDateTime utc(int year, int month, int day, int hour = 12, int minute = 0, int second = 0, int ms = 0)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second, ms), Qt::UTC);
}

// Pins Clock::now() for the life of the object.
class FixedClock {
public:
    explicit FixedClock(const QDateTime& moment) { Clock::setFixed(moment.toUTC()); }
    ~FixedClock() { Clock::reset(); }
    void set(const QDateTime& moment) { Clock::setFixed(moment.toUTC()); }
    FixedClock(const FixedClock&) = delete;
    FixedClock& operator=(const FixedClock&) = delete;
};

} // namespace TestSupport
