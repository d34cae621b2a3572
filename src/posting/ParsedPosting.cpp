#include "posting/ParsedPosting.h"

const char* VocabularyTraits<JobBoard>::raw(JobBoard value)
{
    switch (value) {
    case JobBoard::linkedIn: return "linkedIn";
    case JobBoard::workday: return "workday";
    case JobBoard::kariyerNet: return "kariyerNet";
    case JobBoard::indeed: return "indeed";
    case JobBoard::glassdoor: return "glassdoor";
    case JobBoard::unknown: return "unknown";
    }
    return "unknown";
}

QString title(JobBoard board)
{
    switch (board) {
    case JobBoard::linkedIn: return QStringLiteral("LinkedIn");
    case JobBoard::workday: return QStringLiteral("Workday");
    case JobBoard::kariyerNet: return QStringLiteral("Kariyer.net");
    case JobBoard::indeed: return QStringLiteral("Indeed");
    case JobBoard::glassdoor: return QStringLiteral("Glassdoor");
    case JobBoard::unknown: return QStringLiteral("\u2014");
    }
    return QStringLiteral("\u2014");
}
