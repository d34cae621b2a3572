#pragma once

#include "model/WorkModel.h"
#include "posting/ParsedPosting.h"
#include "posting/PostingLine.h"

#include <QList>
#include <QString>

#include <optional>

// Where a suggestion was read. Only for telling sources apart (tests, the probe,
// measuring what each one adds); the review sheet shows the evidence instead.
enum class SuggestionSource {
    // The board's header card: what stands above and below the title.
    header,
    // A web address: a company's career site, a hosted job page, a board's domain.
    host,
    // A sentence of the description ("At Fernhill, we build…", "… olarak").
    sentence,
    // A line that ends in a legal form (A.Ş., Ltd. Şti., GmbH, Inc.).
    legalSuffix,
    // A board's buttons, labels and counters ("Easy Apply", "job requisition id").
    furniture,
    // A labelled field of the header ("remote type", "locations").
    field,
};

const char* rawValue(SuggestionSource source);

template <typename Value> struct Suggestion {
    Value value;
    // The text it was read from: the line, the address or the sentence.
    QString evidence;
    SuggestionSource source = SuggestionSource::header;

    friend bool operator==(const Suggestion&, const Suggestion&) = default;
};

// A second reading of a posting beside the parser's: values the fixed rules missed,
// each with the text it came from. A field gets a suggestion only when the parser
// found nothing there, or found something it is not sure of (below high, or high
// but read from a line that cannot hold that field: a place given as the company, a
// line far below the posting's header), and only when the suggestion differs from
// what the parser found. Which of the two readings a draft starts with is decided
// in one place, DraftStart. Rules and small tables only; safe to call from any thread.
struct PostingSuggestions {
    std::optional<Suggestion<QString>> company;
    std::optional<Suggestion<QString>> position;
    std::optional<Suggestion<WorkModel>> workModel;
    std::optional<Suggestion<QString>> location;
    std::optional<Suggestion<JobBoard>> board;

    // The fields whose parser value this reading holds cannot be that field: a place,
    // a chip or a team given as the employer, a line of the list of other jobs beside
    // the posting, a line far below the posting's header. Set whether or not a better
    // value was found.
    struct RuledOut {
        bool company = false;
        bool position = false;
        bool workModel = false;
        bool location = false;

        friend bool operator==(const RuledOut&, const RuledOut&) = default;
    };
    RuledOut ruledOut;
    // The input shows no sign of a job posting: no board, no job page's address, no
    // line near the top that reads like a job title, no words only postings use.
    bool noPostingSigns = false;

    bool isEmpty() const { return !company && !position && !workModel && !location && !board; }

    // `lines` and `parsed` as the parser got and gave them.
    static PostingSuggestions suggest(const QList<PostingLine>& lines, const ParsedPosting& parsed);
    // Pasted text: the lines the parser reads from it.
    static PostingSuggestions suggest(const QString& text, const ParsedPosting& parsed);
    // The lines of pasted text, as the parser reads them (the first few hundred).
    static QList<PostingLine> linesOf(const QString& text);

    friend bool operator==(const PostingSuggestions&, const PostingSuggestions&) = default;
};
