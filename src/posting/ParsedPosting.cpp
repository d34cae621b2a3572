#include "posting/ParsedPosting.h"

#include <array>
#include <utility>

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

JobBoard jobBoardNamedIn(QStringView normalizedText)
{
    // "myworkdayjobs" is the host label of Workday-hosted career sites.
    static constexpr std::array<std::pair<QStringView, JobBoard>, 7> probes {{
        {u"myworkdayjobs", JobBoard::workday},
        {u"workday", JobBoard::workday},
        {u"linkedin", JobBoard::linkedIn},
        {u"kariyer.net", JobBoard::kariyerNet},
        {u"kariyernet", JobBoard::kariyerNet},
        {u"indeed", JobBoard::indeed},
        {u"glassdoor", JobBoard::glassdoor},
    }};
    for (const auto& [token, board] : probes) {
        if (normalizedText.contains(token))
            return board;
    }
    return JobBoard::unknown;
}
