#include "model/ApplicationStatus.h"

#include <QCoreApplication>

const char* VocabularyTraits<ApplicationStatus>::raw(ApplicationStatus value)
{
    switch (value) {
    case ApplicationStatus::applied: return "applied";
    case ApplicationStatus::hrInterview: return "hrInterview";
    case ApplicationStatus::techInterview: return "techInterview";
    case ApplicationStatus::offer: return "offer";
    case ApplicationStatus::rejected: return "rejected";
    }
    return "applied";
}

QString title(ApplicationStatus status)
{
    switch (status) {
    case ApplicationStatus::applied:
        return QCoreApplication::translate("ApplicationStatus", "Applied", "Application status");
    case ApplicationStatus::hrInterview:
        return QCoreApplication::translate("ApplicationStatus", "HR Interview", "Application status");
    case ApplicationStatus::techInterview:
        return QCoreApplication::translate("ApplicationStatus", "Tech Interview", "Application status");
    case ApplicationStatus::offer:
        return QCoreApplication::translate("ApplicationStatus", "Offer", "Application status");
    case ApplicationStatus::rejected:
        return QCoreApplication::translate("ApplicationStatus", "Rejected", "Application status");
    }
    return {};
}

QString symbolName(ApplicationStatus status)
{
    switch (status) {
    case ApplicationStatus::applied: return QStringLiteral("paperplane.fill");
    case ApplicationStatus::hrInterview: return QStringLiteral("person.wave.2.fill");
    case ApplicationStatus::techInterview: return QStringLiteral("chevron.left.forwardslash.chevron.right");
    case ApplicationStatus::offer: return QStringLiteral("checkmark.seal.fill");
    case ApplicationStatus::rejected: return QStringLiteral("xmark.circle.fill");
    }
    return {};
}

NamedColor tint(ApplicationStatus status)
{
    switch (status) {
    case ApplicationStatus::applied: return NamedColor::blue;
    case ApplicationStatus::hrInterview: return NamedColor::purple;
    case ApplicationStatus::techInterview: return NamedColor::indigo;
    case ApplicationStatus::offer: return NamedColor::green;
    case ApplicationStatus::rejected: return NamedColor::red;
    }
    return NamedColor::blue;
}

bool isActive(ApplicationStatus status)
{
    return status == ApplicationStatus::applied || status == ApplicationStatus::hrInterview
        || status == ApplicationStatus::techInterview;
}

bool isClosed(ApplicationStatus status)
{
    return !isActive(status);
}
