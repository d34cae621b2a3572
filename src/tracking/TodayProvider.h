#pragma once

#include <QDateTime>
#include <QObject>
#include <QTimer>

// The day clock: the first moment of the current local day, moved on by a
// one-minute timer once midnight has passed (or the time zone has changed).
// Observers hear todayChanged only when the day is really different.
class TodayProvider : public QObject {
    Q_OBJECT

public:
    static constexpr int refreshIntervalMs = 60 * 1000;

    explicit TodayProvider(QObject* parent = nullptr);

    const QDateTime& today() const { return m_today; }
    const QTimer& timer() const { return m_timer; }

    // Recomputes the day; run by the timer, callable directly.
    void refreshDay();

Q_SIGNALS:
    void todayChanged(const QDateTime& today);

private:
    QDateTime m_today;
    // Held by value: it stops and goes away with the provider, so a tick can never
    // reach a provider that no longer exists.
    QTimer m_timer;
};
