#include "model/StatusChange.h"

#include "model/JobApplication.h"

#include <algorithm>

StatusChange::StatusChange(std::optional<ApplicationStatus> from, ApplicationStatus to, const QDateTime& date)
    : m_date(date.toUTC())
    , m_from(from ? quint8(*from) : noStatus)
    , m_to(quint8(to))
{
}

StatusChange::StatusChange(std::optional<QString> fromRaw, QString toRaw, const QDateTime& date)
    : m_date(date.toUTC())
    , m_from(statusCode(fromRaw))
    , m_to(statusCode(toRaw))
{
    if (m_from == unknownStatus || m_to == unknownStatus)
        m_unknownRaw.reset(new UnknownRaw {std::move(fromRaw), std::move(toRaw)});
}

quint8 StatusChange::statusCode(const std::optional<QString>& raw)
{
    if (!raw)
        return noStatus;
    const auto status = fromRawValue<ApplicationStatus>(*raw);
    return status ? quint8(*status) : unknownStatus;
}

std::optional<QString> StatusChange::fromRaw() const
{
    switch (m_from) {
    case noStatus: return std::nullopt;
    case unknownStatus: return m_unknownRaw->from;
    default: return rawValue(ApplicationStatus(m_from));
    }
}

QString StatusChange::toRaw() const
{
    return m_to == unknownStatus ? m_unknownRaw->to : rawValue(ApplicationStatus(m_to));
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
    return m_from == noStatus || m_from == unknownStatus ? std::nullopt : std::optional(ApplicationStatus(m_from));
}

ApplicationStatus StatusChange::to() const
{
    return m_to == unknownStatus ? ApplicationStatus::applied : ApplicationStatus(m_to);
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
