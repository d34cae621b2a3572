#pragma once

#include "model/Vocabulary.h"
#include "model/WorkModel.h"

#include <QString>

#include <optional>

// How sure the parser is of one detected value; ordered low < medium < high.
enum class ParseConfidence : int {
    low = 0,
    medium = 1,
    high = 2,
};

constexpr int rawValue(ParseConfidence confidence)
{
    return static_cast<int>(confidence);
}

// No value for raw values outside 0 to 2.
constexpr std::optional<ParseConfidence> parseConfidenceFromRawValue(int raw)
{
    if (raw < rawValue(ParseConfidence::low) || raw > rawValue(ParseConfidence::high))
        return std::nullopt;
    return static_cast<ParseConfidence>(raw);
}

// One detected value with the text it was taken from, shown to the user as the
// reason for the guess.
template <typename Value> struct ParsedField {
    Value value;
    ParseConfidence confidence = ParseConfidence::low;
    QString evidence;

    friend bool operator==(const ParsedField&, const ParsedField&) = default;
};

// The site a posting comes from.
enum class JobBoard {
    linkedIn,
    workday,
    kariyerNet,
    indeed,
    glassdoor,
    unknown,
};

template <> struct VocabularyTraits<JobBoard> {
    static constexpr std::array cases {JobBoard::linkedIn, JobBoard::workday, JobBoard::kariyerNet, JobBoard::indeed,
        JobBoard::glassdoor, JobBoard::unknown};
    static const char* raw(JobBoard value);
};

// The board's own spelling of its name; brand names are not translated.
QString title(JobBoard board);
// The first board whose name or address `normalizedText` (lower case, folded)
// mentions, in a fixed order: Workday before LinkedIn, so a LinkedIn page that
// links a Workday career site counts as Workday. Unknown when none does.
JobBoard jobBoardNamedIn(QStringView normalizedText);

// What the parser found in one posting. Anything it could not find is absent.
struct ParsedPosting {
    std::optional<ParsedField<QString>> company;
    std::optional<ParsedField<QString>> position;
    std::optional<ParsedField<WorkModel>> workModel;
    std::optional<ParsedField<QString>> location;
    std::optional<ParsedField<QString>> postingLink;
    JobBoard board = JobBoard::unknown;
    QString rawText;

    // Nothing worth offering as a draft: a location or a board alone does not count.
    bool isEmpty() const { return !company && !position && !workModel && !postingLink; }

    friend bool operator==(const ParsedPosting&, const ParsedPosting&) = default;
};
