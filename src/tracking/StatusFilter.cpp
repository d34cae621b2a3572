#include "tracking/StatusFilter.h"

#include "model/JobApplication.h"

#include <QCoreApplication>

QList<StatusFilter> StatusFilter::allFilters()
{
    QList<StatusFilter> filters {all(), active()};
    for (ApplicationStatus s : allCases<ApplicationStatus>())
        filters.append(status(s));
    return filters;
}

std::optional<StatusFilter> StatusFilter::fromIdentifier(const QString& identifier)
{
    for (const StatusFilter& filter : allFilters()) {
        if (filter.identifier() == identifier)
            return filter;
    }
    return std::nullopt;
}

QString StatusFilter::identifier() const
{
    switch (m_kind) {
    case Kind::all: return QStringLiteral("all");
    case Kind::active: return QStringLiteral("active");
    case Kind::status: return rawValue(m_status);
    }
    return {};
}

QString StatusFilter::title() const
{
    switch (m_kind) {
    case Kind::all: return QCoreApplication::translate("StatusFilter", "All", "Status filter");
    case Kind::active: return QCoreApplication::translate("StatusFilter", "In Progress", "Status filter");
    case Kind::status: return ::title(m_status);
    }
    return {};
}

bool StatusFilter::selects(const JobApplication& application) const
{
    switch (m_kind) {
    case Kind::all: return true;
    // An unknown raw status reads as applied, so it stays in progress.
    case Kind::active: return !isClosed(application.status());
    case Kind::status: return application.status() == m_status;
    }
    return true;
}
