#pragma once

#include "posting/ParsedPosting.h"
#include "posting/PostingLine.h"
#include "posting/PostingSuggestions.h"
#include "posting/PostingVocabulary.h"

#include <QList>
#include <QString>
#include <QUrl>

#include <optional>
#include <vector>

class LinkDetector;

// The second reading's view of one posting: each line with its normalised forms and
// the kinds of words it holds, the description's paragraphs, and where the posting's
// title and its header card stand. Shared by the rules that suggest values and the
// rules that judge the parser's.
namespace SuggestionReading {

// Limits, in characters.
constexpr qsizetype longestLabelLine = 100;
// Running text: a line this long with this many words. How sentences run, not how
// names do; that it equals longestCompanyName is chance.
constexpr qsizetype shortestProse = 60;
constexpr int proseWords = 8;
// How far a posting's header card reaches around its title, in lines.
constexpr int headerAboveTitle = 4;
constexpr int headerBelowTitle = 12;
// Only the top of a page holds the posting's title; lower down come other jobs.
constexpr int titleSearchLines = 60;
// What is read at all. A posting's header and the start of its description are in
// its first few hundred lines; a pasted text may be a whole book, and pasted text is
// read on the window's thread.
constexpr qsizetype linesRead = 400;
constexpr qsizetype paragraphLength = 4'000;
constexpr qsizetype proseRead = 20'000;

// A line as these rules read it.
struct Line {
    int index = 0;
    QString text;
    QString normalized;
    // The normalised text without what is not a letter or digit at either end:
    // "For Business ▾" reads "for business".
    QString bare;
    PostingVocabulary::WordKinds kinds = 0;
    qsizetype length = 0;
    int wordCount = 0;
    bool hasRoleWord = false;
    // Holds one of the characters that part a "Company · Place · 2 days ago" line.
    bool hasSeparators = false;
    std::optional<double> height;
    bool prose = false;
    bool furniture = false;
    std::optional<QUrl> link;

    bool matches(PostingVocabulary::WordKinds wanted) const { return (kinds & wanted) != 0; }
};

std::vector<Line> prepare(const QList<PostingLine>& input, const LinkDetector& detector);

bool isWebLink(const std::optional<QUrl>& link);
// "4.2 ★": a rating on a line of its own.
bool isRatingLine(const Line& line);
// "Company · Place · 2 days ago": a line of segments that says how old the posting
// is or how many applied.
bool isMetadataLine(const Line& line);
// A short line that names a role the way a job title does.
bool isTitleCandidate(const Line& line);

// The description's paragraphs. Recognised screenshots break a paragraph into
// lines; consecutive prose lines are read as one.
struct Paragraph {
    QString text;
};
std::vector<Paragraph> paragraphsOf(const std::vector<Line>& lines);

// Everything the rules share about one posting.
struct Reading {
    const ParsedPosting& parsed;
    const LinkDetector& detector;
    std::vector<Line> lines;
    std::vector<Paragraph> paragraphs;
    JobBoard board = JobBoard::unknown;
    int title = -1;
    // The title is known for sure (the parser was, or the layout and the text agree
    // on it): only then does a value far from it count as read from somewhere else.
    bool titleTrusted = false;
    int headerStart = 0;
    int headerEnd = 0;
    PostingSuggestions::RuledOut ruledOut {};

    bool hasHeader() const { return title >= 0; }
    bool inHeader(int index) const { return hasHeader() && index >= headerStart && index < headerEnd; }

    const Line* lineWithText(const QString& text) const
    {
        for (const Line& line : lines) {
            if (line.text == text)
                return &line;
        }
        return nullptr;
    }
};

// Where the header card around the title ends: at the description or a section heading.
void findHeader(Reading& reading);

} // namespace SuggestionReading
