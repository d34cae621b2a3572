#pragma once

#include "model/ApplicationStatus.h"

#include <QHashFunctions>
#include <QList>
#include <QString>

#include <optional>

class JobApplication;

// Which records the list shows: all, the ones still in progress, or exactly one status.
class StatusFilter {
public:
    enum class Kind { all, active, status };

    static StatusFilter all() { return StatusFilter(Kind::all, ApplicationStatus::applied); }
    static StatusFilter active() { return StatusFilter(Kind::active, ApplicationStatus::applied); }
    static StatusFilter status(ApplicationStatus status) { return StatusFilter(Kind::status, status); }

    // all, active, then each status in pipeline order.
    static QList<StatusFilter> allFilters();
    static std::optional<StatusFilter> fromIdentifier(const QString& identifier);

    Kind kind() const { return m_kind; }

    // "all", "active" or the status's raw value.
    QString identifier() const;
    QString title() const;

    bool selects(const JobApplication& application) const;

    friend bool operator==(const StatusFilter& a, const StatusFilter& b)
    {
        return a.m_kind == b.m_kind && (a.m_kind != Kind::status || a.m_status == b.m_status);
    }
    friend size_t qHash(const StatusFilter& filter, size_t seed = 0)
    {
        return qHashMulti(seed, int(filter.m_kind), filter.m_kind == Kind::status ? int(filter.m_status) : -1);
    }

private:
    StatusFilter(Kind kind, ApplicationStatus status)
        : m_kind(kind)
        , m_status(status)
    {
    }
    Kind m_kind;
    ApplicationStatus m_status;
};
