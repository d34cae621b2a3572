#include "model/StatusChange.h"

#include "model/JobApplication.h"

#include <algorithm>

StatusChange::StatusChange(std::optional<ApplicationStatus> from, ApplicationStatus to, const QDateTime& date)
    : StatusChange(from ? std::optional<QString>(rawValue(*from)) : std::nullopt, rawValue(to), date)
{
}

StatusChange::StatusChange(std::optional<QString> fromRaw, QString toRaw, const QDateTime& date)
    : m_fromRaw(std::move(fromRaw))
    , m_toRaw(std::move(toRaw))
    , m_date(date.toUTC())
{
}

void StatusChange::setDate(const QDateTime& value)
{
    const QDateTime utc = value.toUTC();
    if (m_date == utc)
        return;
    m_date = utc;
    notify(Field::date);
}

std::optional<ApplicationStatus> StatusChange::from() const
{
    return m_fromRaw ? fromRawValue<ApplicationStatus>(*m_fromRaw) : std::nullopt;
}

ApplicationStatus StatusChange::to() const
{
    return fromRawValue<ApplicationStatus>(m_toRaw).value_or(ApplicationStatus::applied);
}

void StatusChange::notify(Field field)
{
    if (m_application)
        m_application->historyEntryDidChange(this, field);
}

QList<StatusChange*> StatusChange::newestFirst(const QList<StatusChange*>& history)
{
    QList<StatusChange*> entries = history;
    std::stable_sort(entries.begin(), entries.end(), [](const StatusChange* a, const StatusChange* b) {
        if (a->date() == b->date())
            return int(a->to()) > int(b->to());
        return a->date() > b->date();
    });
    return entries;
}
