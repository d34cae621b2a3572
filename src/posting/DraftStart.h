#pragma once

#include "model/WorkModel.h"
#include "posting/ParsedPosting.h"
#include "posting/PostingLine.h"
#include "posting/PostingSuggestions.h"

#include <QList>
#include <QString>

#include <optional>

// Which reading a draft's first value came from.
enum class ReadingSource {
    none,
    // The parser's fixed rules.
    rules,
    // The second reading (PostingSuggestions).
    second,
};

const char* rawValue(ReadingSource source);

// The value the other reading found, one click away on the review sheet.
template <typename Value> struct OtherReading {
    Value value;
    QString evidence;

    friend bool operator==(const OtherReading&, const OtherReading&) = default;
};

// One field as the review sheet first shows it.
template <typename Value> struct StartingField {
    std::optional<Value> value;
    // What the sheet says of it: never "Confident" when the two readings disagree or
    // when only the second reading found it, nor when its line was hard to read.
    ParseConfidence confidence = ParseConfidence::low;
    // The text it was read from.
    QString evidence;
    ReadingSource source = ReadingSource::none;
    // The other reading's different value, if it found one.
    std::optional<OtherReading<Value>> other;

    friend bool operator==(const StartingField&, const StartingField&) = default;
};

// What a draft starts with, decided once from both readings of a posting. Per field:
// where the second reading holds that the parser's value cannot be the field (a place,
// a chip or a team given as the employer, a line of the job list beside the posting,
// a line far from its header), where the parser was not sure, or where the parser
// found nothing, the second reading's value comes first and the parser's is offered
// for a click; where the parser was sure and the second reading still differs, the
// parser's value stays, offered the other way round, and neither is called certain.
// Readings that agree change nothing. And whether the input looks like a job posting
// at all. Plain values; safe to compute on any thread.
struct DraftStart {
    StartingField<QString> company;
    StartingField<QString> position;
    StartingField<QString> postingLink;
    StartingField<WorkModel> workModel;
    // Not part of the record; the sheet shows it beside the board for checking.
    StartingField<QString> location;
    JobBoard board = JobBoard::unknown;
    // The parser or the second reading found a company or a position, but the input
    // shows no sign of a job posting: the draft starts unticked and needs review.
    bool notAPosting = false;

    // The parse result alone, as a draft made without a second reading starts.
    static DraftStart fromRules(const ParsedPosting& parsed);
    // `lines` as both readings got them (their recognition confidences count).
    static DraftStart decide(
        const QList<PostingLine>& lines, const ParsedPosting& parsed, const PostingSuggestions& suggestions);

    // A company, a position, a link or a work model: something worth a ticked draft.
    bool hasValue() const;
    // The row's word: "Confident" only when every field the row shows is; "Needs
    // review" without a company or a position, or when it does not look like a posting.
    ParseConfidence overall() const;

    friend bool operator==(const DraftStart&, const DraftStart&) = default;
};

// The lines a value was read from: the line with exactly that text, else the lines a
// sentence or an address was taken from. Empty when no line holds it.
QList<int> evidenceLines(const QList<PostingLine>& lines, const QString& evidence);
