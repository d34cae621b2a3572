#include "tracking/FollowUpReminder.h"

#include "model/Clock.h"
#include "model/DayCount.h"
#include "model/JobApplication.h"
#include "store/Store.h"
#include "tracking/TodayProvider.h"
#include "tracking/WindowState.h"

#include <QCoreApplication>
#include <QSettings>
#include <QTimer>

#include <algorithm>

namespace {

constexpr qsizetype namedInBody = 3;

// The desktop's answer to the message of `day`: the day is recorded once it has shown it.
void recordAnswer(QSettings& settings, bool delivered, QDate day)
{
    settings.remove(QLatin1String(FollowUpReminder::sentAtKey));
    if (delivered)
        settings.setValue(QLatin1String(FollowUpReminder::lastDayKey), day.toString(Qt::ISODate));
    settings.sync();
}

} // namespace

QList<JobApplication*> dueFollowUps(const QList<JobApplication*>& applications, const QDateTime& now)
{
    QList<JobApplication*> due;
    for (JobApplication* application : applications) {
        if (application->isFollowUpDue(now))
            due.append(application);
    }
    std::stable_sort(due.begin(), due.end(),
        [](const JobApplication* a, const JobApplication* b) { return *a->followUpDate() < *b->followUpDate(); });
    return due;
}

QString followUpSummary(qsizetype count)
{
    if (count == 1)
        return QCoreApplication::translate("FollowUpReminder", "1 follow-up due today", "Desktop notification");
    return QCoreApplication::translate(
        "FollowUpReminder", "%1 follow-ups due today", "Desktop notification; %1 is a number above one")
        .arg(count);
}

QString followUpBody(const QList<JobApplication*>& due)
{
    QStringList names;
    for (qsizetype i = 0; i < std::min(due.size(), namedInBody); ++i)
        names << due.at(i)->displayCompany().trimmed();
    const QString listed = names.join(QStringLiteral(", "));
    if (due.size() <= namedInBody)
        return listed;
    return QCoreApplication::translate(
        "FollowUpReminder", "%1 and %2 more", "Desktop notification; %1 lists companies, %2 is a number")
        .arg(listed)
        .arg(due.size() - namedInBody);
}

bool revealFollowUps(WindowState& state, const QDateTime& now)
{
    const QList<JobApplication*> due
        = dueFollowUps(state.store().applicationsByDate(), now.isValid() ? now : Clock::now());
    if (due.isEmpty())
        return false;
    // Every due follow-up is an open application, so this filter shows them all.
    state.setSearchText(QString());
    state.setStatusFilter(StatusFilter::active());
    state.setSelectedID(due.first()->id());
    return true;
}

FollowUpReminder::FollowUpReminder(
    Store& store, TodayProvider& today, QSettings& settings, FollowUpNotifier& notifier, QObject* parent)
    : QObject(parent)
    , m_store(store)
    , m_today(today)
    , m_settings(settings)
    , m_notifier(notifier)
{
    connect(&m_today, &TodayProvider::todayChanged, this, &FollowUpReminder::check);
    // At start-up, once the records are read and the window has had its first turn.
    if (m_store.isLoaded())
        QTimer::singleShot(0, this, &FollowUpReminder::check);
    else
        connect(&m_store, &Store::loaded, this, &FollowUpReminder::check, Qt::QueuedConnection);
}

bool FollowUpReminder::isEnabled() const
{
    return m_settings.value(QLatin1String(enabledKey), true).toBool();
}

void FollowUpReminder::setEnabled(bool enabled)
{
    if (enabled == isEnabled())
        return;
    m_settings.setValue(QLatin1String(enabledKey), enabled);
    m_settings.sync();
    Q_EMIT enabledChanged(enabled);
    if (enabled)
        check();
}

QDate FollowUpReminder::lastNotifiedDay() const
{
    return QDate::fromString(m_settings.value(QLatin1String(lastDayKey)).toString(), Qt::ISODate);
}

bool FollowUpReminder::isAwaitingAnswer(const QDateTime& now) const
{
    const QDateTime sent
        = QDateTime::fromString(m_settings.value(QLatin1String(sentAtKey)).toString(), Qt::ISODateWithMs);
    // A moment ahead of now is a clock that was set back: nothing to wait for.
    return sent.isValid() && sent <= now && sent.msecsTo(now) < answerWaitMs;
}

void FollowUpReminder::check()
{
    if (!isEnabled() || !m_store.isLoaded())
        return;
    const QDateTime now = Clock::now();
    const QDate today = localDate(now);
    if (lastNotifiedDay() == today || isAwaitingAnswer(now))
        return;
    const QList<JobApplication*> due = dueFollowUps(m_store.applications(), now);
    if (due.isEmpty())
        return;
    m_settings.setValue(QLatin1String(sentAtKey), now.toUTC().toString(Qt::ISODateWithMs));
    QPointer<FollowUpReminder> self(this);
    // The settings outlive every reminder and the notifier (the application's and
    // each test's own), so the answer is kept whoever is still there to see it.
    QSettings* settings = &m_settings;
    m_notifier.notify(
        followUpSummary(due.size()), followUpBody(due),
        [self] {
            if (FollowUpReminder* reminder = self.data())
                Q_EMIT reminder->activated();
        },
        [settings, today](bool delivered) { recordAnswer(*settings, delivered, today); });
}
