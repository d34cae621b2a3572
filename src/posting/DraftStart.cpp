#include "posting/DraftStart.h"

#include "posting/CompanyNames.h"
#include "posting/TextFolding.h"

#include <algorithm>

namespace {

// Below this the recognition engine itself doubts the line: a value read from it is
// worth a look ("trindeed.com" for "tr.indeed.com").
constexpr double clearlyRead = 0.8;
// Enough of a sentence's start or end to tell which recognised line it runs through.
constexpr qsizetype sentenceOverlap = 12;

// Whether `first` ends with the start of `second`, by at least sentenceOverlap characters:
// a sentence that begins at the end of a recognised line.
bool overlaps(const QString& first, const QString& second)
{
    for (qsizetype length = std::min(first.size(), second.size()); length >= sentenceOverlap; --length) {
        if (first.endsWith(QStringView(second).left(length)))
            return true;
    }
    return false;
}

template <typename Value> StartingField<Value> fromRules(const std::optional<ParsedField<Value>>& rules)
{
    StartingField<Value> field;
    if (rules) {
        field.value = rules->value;
        field.confidence = rules->confidence;
        field.evidence = rules->evidence;
        field.source = ReadingSource::rules;
    }
    return field;
}

// The two readings side by side: which comes first, what is offered, how sure the
// sheet may say it is. `same` tells two spellings of one value apart from two values.
template <typename Value, typename Same>
StartingField<Value> decideField(const std::optional<ParsedField<Value>>& rules,
    const std::optional<Suggestion<Value>>& second, bool ruledOut, Same same)
{
    StartingField<Value> field = fromRules(rules);
    if (!second) {
        // Nothing better was found; a value that cannot be the field still needs a look.
        if (rules && ruledOut)
            field.confidence = ParseConfidence::low;
        return field;
    }
    const OtherReading<Value> secondValue {second->value, second->evidence};
    if (rules && same(rules->value, second->value)) {
        field.other = secondValue;
        return field;
    }
    if (rules && !ruledOut && rules->confidence == ParseConfidence::high) {
        field.confidence = ParseConfidence::medium;
        field.other = secondValue;
        return field;
    }
    StartingField<Value> taken;
    taken.value = second->value;
    taken.confidence = ParseConfidence::medium;
    taken.evidence = second->evidence;
    taken.source = ReadingSource::second;
    if (rules)
        taken.other = OtherReading<Value> {rules->value, rules->evidence};
    return taken;
}

bool sameText(const QString& a, const QString& b)
{
    return TextFolding::normalize(a) == TextFolding::normalize(b);
}

bool sameName(const QString& a, const QString& b)
{
    return CompanyNames::nameKey(a) == CompanyNames::nameKey(b);
}

// A value read from a line the engine was unsure of is at most worth a check.
template <typename Value> void doubtUnclearLine(StartingField<Value>& field, const QList<PostingLine>& lines)
{
    if (field.confidence != ParseConfidence::high)
        return;
    for (const PostingLine& line : lines) {
        if (line.text == field.evidence) {
            if (line.confidence && *line.confidence < clearlyRead)
                field.confidence = ParseConfidence::medium;
            return;
        }
    }
}

} // namespace

const char* rawValue(ReadingSource source)
{
    switch (source) {
    case ReadingSource::none: return "none";
    case ReadingSource::rules: return "rules";
    case ReadingSource::second: return "second";
    }
    return "none";
}

DraftStart DraftStart::fromRules(const ParsedPosting& parsed)
{
    DraftStart start;
    start.company = ::fromRules(parsed.company);
    start.position = ::fromRules(parsed.position);
    start.postingLink = ::fromRules(parsed.postingLink);
    start.workModel = ::fromRules(parsed.workModel);
    start.location = ::fromRules(parsed.location);
    start.board = parsed.board;
    return start;
}

DraftStart DraftStart::decide(
    const QList<PostingLine>& lines, const ParsedPosting& parsed, const PostingSuggestions& suggestions)
{
    const PostingSuggestions::RuledOut& out = suggestions.ruledOut;
    DraftStart start;
    start.company = decideField(parsed.company, suggestions.company, out.company, sameName);
    start.position = decideField(parsed.position, suggestions.position, out.position, sameText);
    start.postingLink = ::fromRules(parsed.postingLink);
    start.workModel = decideField(parsed.workModel, suggestions.workModel, out.workModel, std::equal_to<WorkModel>());
    start.location = decideField(parsed.location, suggestions.location, out.location, sameText);
    start.board = parsed.board != JobBoard::unknown || !suggestions.board ? parsed.board : suggestions.board->value;
    doubtUnclearLine(start.company, lines);
    doubtUnclearLine(start.position, lines);
    doubtUnclearLine(start.postingLink, lines);
    doubtUnclearLine(start.workModel, lines);
    doubtUnclearLine(start.location, lines);
    start.notAPosting = suggestions.noPostingSigns && (start.company.value || start.position.value);
    return start;
}

bool DraftStart::hasValue() const
{
    return company.value || position.value || postingLink.value || workModel.value;
}

ParseConfidence DraftStart::overall() const
{
    if (notAPosting || !company.value || !position.value)
        return ParseConfidence::low;
    ParseConfidence lowest = std::min(company.confidence, position.confidence);
    if (postingLink.value)
        lowest = std::min(lowest, postingLink.confidence);
    if (workModel.value)
        lowest = std::min(lowest, workModel.confidence);
    return lowest;
}

QList<int> evidenceLines(const QList<PostingLine>& lines, const QString& evidence)
{
    const QString wanted = evidence.simplified();
    if (wanted.isEmpty())
        return {};
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines[i].text.simplified() == wanted)
            return {int(i)};
    }
    // "From address: careers.example.com": the line that shows the address.
    const QString last = wanted.section(u' ', -1);
    if (last.contains(u'.') && !last.endsWith(u'.')) {
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (lines[i].text.contains(last, Qt::CaseInsensitive))
                return {int(i)};
        }
    }
    // A sentence of the description: the lines it starts, runs through and ends in.
    QList<int> found;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString text = lines[i].text.simplified();
        if (text.size() >= sentenceOverlap
            && (wanted.contains(text) || text.contains(wanted) || overlaps(text, wanted) || overlaps(wanted, text)))
            found.append(int(i));
    }
    return found;
}
