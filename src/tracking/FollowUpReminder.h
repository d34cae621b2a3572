#pragma once

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QObject>
#include <QPointer>

#include <functional>

class JobApplication;
class QSettings;
class Store;
class TodayProvider;
class WindowState;

// Shows one message on the desktop. The application passes the desktop's
// notification service; tests pass their own.
class FollowUpNotifier {
public:
    virtual ~FollowUpNotifier() = default;
    // Shows `summary` and `body`. `finished` runs once with whether the desktop took
    // the message; `activated` runs when the person clicks it, later or never.
    virtual void notify(const QString& summary, const QString& body, std::function<void()> activated,
        std::function<void(bool delivered)> finished)
        = 0;
};

// The applications whose follow-up is due as of `now`, the earliest reminder first.
QList<JobApplication*> dueFollowUps(const QList<JobApplication*>& applications, const QDateTime& now);

// "3 follow-ups due today", and the companies, for the notification.
QString followUpSummary(qsizetype count);
QString followUpBody(const QList<JobApplication*>& due);

// Puts the due follow-ups in view: every open application listed (no search, the
// "In Progress" filter) with the earliest due one selected. Returns whether one was due.
bool revealFollowUps(WindowState& state, const QDateTime& now = QDateTime());

// Tells the person once a day, at start-up or when the day changes, how many
// follow-ups are due, unless they have turned it off. The day of the last message
// and the setting are kept in `settings`, so a restart the same day stays quiet. A
// desktop without a notification service gets nothing, and nothing is recorded.
// The settings, not the reminder, know of a message on its way: the desktop's
// answer is recorded even if the reminder that sent it is gone by then, and no
// other reminder sends a second one meanwhile.
class FollowUpReminder : public QObject {
    Q_OBJECT

public:
    static constexpr const char* enabledKey = "reminders/followUpNotifications";
    static constexpr const char* lastDayKey = "reminders/lastFollowUpNotification";
    // The moment a message went out, until the desktop has answered.
    static constexpr const char* sentAtKey = "reminders/followUpNotificationSentAt";
    // A message unanswered for this long counts as lost (a notifier gives up far sooner).
    static constexpr qint64 answerWaitMs = 60'000;

    // `settings` must outlive every answer `notifier` still owes.
    FollowUpReminder(
        Store& store, TodayProvider& today, QSettings& settings, FollowUpNotifier& notifier, QObject* parent = nullptr);

    bool isEnabled() const;
    // Kept in the settings; turning it on looks for due follow-ups at once.
    void setEnabled(bool enabled);
    // The day a message was last shown, invalid when never.
    QDate lastNotifiedDay() const;

    // Shows the message if it is due today and has not been shown today.
    void check();

Q_SIGNALS:
    // The person clicked the message.
    void activated();
    void enabledChanged(bool enabled);

private:
    // Whether a message sent before `now` still waits for the desktop's answer.
    bool isAwaitingAnswer(const QDateTime& now) const;

    Store& m_store;
    TodayProvider& m_today;
    QSettings& m_settings;
    FollowUpNotifier& m_notifier;
};
