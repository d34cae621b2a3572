#include "model/DayCount.h"

#include <QTimeZone>

#include <atomic>
#include <chrono>
#include <optional>

namespace {

// Raised when someone knows the zone may have changed: every thread asks again.
std::atomic<int> zoneAsked = 0;

// The offsets of the UTC days met so far on this thread, valid for one zone. Which
// zone the system is in is asked at most once a second (asking costs system calls,
// and a row painted or a record sorted asks for a date): a zone changed while the
// application runs is followed within that second.
QHash<qint64, int>* offsetsForSystemZone()
{
    struct Offsets {
        QByteArray zone;
        QHash<qint64, int> byUtcDay;
        std::optional<std::chrono::steady_clock::time_point> checked;
        int asked = 0;
    };
    thread_local Offsets offsets;
    const auto now = std::chrono::steady_clock::now();
    const int asked = zoneAsked.load(std::memory_order_relaxed);
    if (!offsets.checked || now - *offsets.checked >= std::chrono::seconds(1) || asked != offsets.asked) {
        offsets.checked = now;
        offsets.asked = asked;
        const QByteArray zone = QTimeZone::systemTimeZoneId();
        if (zone != offsets.zone || zone.isEmpty()) {
            offsets.byUtcDay.clear();
            offsets.zone = zone;
        }
    }
    return &offsets.byUtcDay;
}

QDate systemLocalDate(const QDateTime& moment)
{
    return moment.toLocalTime().date();
}

} // namespace

QDate localDate(const QDateTime& moment)
{
    return LocalDayResolver().localDate(moment);
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

void LocalDayResolver::checkZone()
{
    zoneAsked.fetch_add(1, std::memory_order_relaxed);
}

LocalDayResolver::LocalDayResolver()
    : m_offsetByUtcDay(offsetsForSystemZone())
{
}

QDate LocalDayResolver::localDate(const QDateTime& moment)
{
    if (!moment.isValid())
        return {};
    constexpr qint64 msPerDay = 86400000;
    const qint64 ms = moment.toMSecsSinceEpoch();
    const qint64 utcDay = ms >= 0 ? ms / msPerDay : (ms - msPerDay + 1) / msPerDay;
    auto found = m_offsetByUtcDay->constFind(utcDay);
    if (found == m_offsetByUtcDay->constEnd()) {
        const auto offsetAt
            = [](qint64 at) { return QDateTime::fromMSecsSinceEpoch(at, Qt::UTC).toLocalTime().offsetFromUtc(); };
        const int first = offsetAt(utcDay * msPerDay);
        const int last = offsetAt(utcDay * msPerDay + msPerDay - 1);
        found = m_offsetByUtcDay->insert(utcDay, first == last ? first : unknownOffset);
    }
    if (*found == unknownOffset)
        return systemLocalDate(moment);
    const qint64 local = ms + qint64(*found) * 1000;
    const qint64 localDay = local >= 0 ? local / msPerDay : (local - msPerDay + 1) / msPerDay;
    return QDate(1970, 1, 1).addDays(localDay);
}
