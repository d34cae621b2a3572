#pragma once

#include <QDate>
#include <QDateTime>
#include <QHash>

// Whole calendar days from the local day of `from` to the local day of `to`,
// never negative. Days are counted on the calendar, not as elapsed seconds divided
// by 86,400, so a 23- or 25-hour day across a daylight-saving change is one day.
int dayCount(const QDateTime& from, const QDateTime& to);

// The local calendar date of a moment, and the first moment of that day (in UTC),
// through the offsets a `LocalDayResolver` keeps.
QDate localDate(const QDateTime& moment);
QDateTime startOfLocalDay(const QDateTime& moment);

// Local dates of many moments at once, for sorting and counting thousands of
// records: the zone offset is looked up once per UTC day instead of once per
// moment, except on the rare days when the offset changes within the day. The
// offsets found are kept for the thread while the system's zone stays the same,
// so the list recomputed after an edit converts no moment to local time again.
class LocalDayResolver {
public:
    LocalDayResolver();
    QDate localDate(const QDateTime& moment);
    // The zone may have changed (the day clock ticked): the next resolver asks the
    // system which zone it is in instead of waiting for its once-a-second look.
    static void checkZone();

private:
    static constexpr int unknownOffset = 1 << 30;
    QHash<qint64, int>* m_offsetByUtcDay; // unknownOffset: the offset changes that day
};
