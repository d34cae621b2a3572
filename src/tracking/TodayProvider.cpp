#include "tracking/TodayProvider.h"

#include "model/Clock.h"
#include "model/DayCount.h"

TodayProvider::TodayProvider(QObject* parent)
    : QObject(parent)
    , m_today(startOfLocalDay(Clock::now()))
{
    m_timer.setInterval(refreshIntervalMs);
    m_timer.setTimerType(Qt::CoarseTimer);
    connect(&m_timer, &QTimer::timeout, this, &TodayProvider::refreshDay);
    m_timer.start();
}

void TodayProvider::refreshDay()
{
    LocalDayResolver::checkZone();
    const QDateTime day = startOfLocalDay(Clock::now());
    if (day == m_today)
        return;
    m_today = day;
    Q_EMIT todayChanged(m_today);
}
