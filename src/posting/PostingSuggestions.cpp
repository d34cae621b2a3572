#include "posting/PostingSuggestions.h"

#include "posting/LinkDetector.h"
#include "posting/PostingSigns.h"
#include "posting/RuledOutValues.h"
#include "posting/SuggestionFields.h"
#include "posting/SuggestionText.h"
#include "posting/SuggestionVocabulary.h"

#include <algorithm>
#include <array>
#include <vector>

using namespace SuggestionFields;
using namespace SuggestionReading;
using namespace SuggestionText;
using namespace SuggestionVocabulary;

const char* rawValue(SuggestionSource source)
{
    switch (source) {
    case SuggestionSource::header: return "header";
    case SuggestionSource::host: return "host";
    case SuggestionSource::sentence: return "sentence";
    case SuggestionSource::legalSuffix: return "legalSuffix";
    case SuggestionSource::furniture: return "furniture";
    case SuggestionSource::field: return "field";
    }
    return "header";
}

namespace {

// Board ---------------------------------------------------------------------------

std::optional<Suggestion<JobBoard>> suggestBoard(const Reading& reading)
{
    // The parser already looks for the boards' names and addresses in the top lines
    // and the link; what is left is the page furniture.
    if (reading.parsed.board != JobBoard::unknown)
        return std::nullopt;
    // Each phrase counts once, however often the page shows it.
    const auto& phrases = boardPhrases();
    std::vector<const Line*> firstMatch(phrases.size(), nullptr);
    for (const Line& line : reading.lines) {
        if (line.prose || line.length > longestLabelLine)
            continue;
        for (int i : boardPhrasesIn(line.bare, line.normalized)) {
            if (!firstMatch[size_t(i)])
                firstMatch[size_t(i)] = &line;
        }
    }
    std::array<int, VocabularyTraits<JobBoard>::cases.size()> scores {};
    std::array<const Line*, VocabularyTraits<JobBoard>::cases.size()> evidence {};
    std::array<int, VocabularyTraits<JobBoard>::cases.size()> heaviest {};
    for (std::size_t i = 0; i < phrases.size(); ++i) {
        if (!firstMatch[i])
            continue;
        const auto board = std::size_t(phrases[i].board);
        scores[board] += phrases[i].weight;
        if (phrases[i].weight > heaviest[board]) {
            heaviest[board] = phrases[i].weight;
            evidence[board] = firstMatch[i];
        }
    }
    std::size_t best = 0;
    for (std::size_t board = 1; board < scores.size(); ++board) {
        if (scores[board] > scores[best])
            best = board;
    }
    int runnerUp = 0;
    for (std::size_t board = 0; board < scores.size(); ++board) {
        if (board != best)
            runnerUp = std::max(runnerUp, scores[board]);
    }
    if (scores[best] < boardFurnitureScore || scores[best] - runnerUp < boardFurnitureMargin)
        return std::nullopt;
    return Suggestion<JobBoard> {
        VocabularyTraits<JobBoard>::cases[best], evidence[best]->text, SuggestionSource::furniture};
}

PostingSuggestions suggestFor(const QList<PostingLine>& input, const ParsedPosting& parsed)
{
    const LinkDetector detector;
    Reading reading {parsed, detector, prepare(input.first(std::min(input.size(), linesRead)), detector), {}};
    reading.paragraphs = paragraphsOf(reading.lines);

    PostingSuggestions suggestions;
    suggestions.board = suggestBoard(reading);
    reading.board = suggestions.board ? suggestions.board->value : parsed.board;
    suggestions.position = suggestPosition(reading);
    findHeader(reading);
    ruleOutValues(reading);
    suggestions.ruledOut = reading.ruledOut;
    suggestions.company = suggestCompany(reading);
    const QString company = suggestions.company ? suggestions.company->value
        : parsed.company                        ? parsed.company->value
                                                : QString();
    suggestions.location = suggestLocation(reading, company);
    suggestions.workModel = suggestWorkModel(reading);
    suggestions.noPostingSigns = !showsPostingSigns(reading, suggestions.board);
    return suggestions;
}

} // namespace

PostingSuggestions PostingSuggestions::suggest(const QList<PostingLine>& lines, const ParsedPosting& parsed)
{
    return suggestFor(lines, parsed);
}

QList<PostingLine> PostingSuggestions::linesOf(const QString& text)
{
    QList<PostingLine> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size() && lines.size() < linesRead; ++i) {
        if (i < text.size() && !isLineBreak(text.at(i).unicode()))
            continue;
        const QString piece = QStringView(text).sliced(start, i - start).trimmed().toString();
        if (!piece.isEmpty())
            lines.append(PostingLine {piece, int(lines.size()), std::nullopt, std::nullopt});
        start = i + 1;
    }
    return lines;
}

PostingSuggestions PostingSuggestions::suggest(const QString& text, const ParsedPosting& parsed)
{
    return suggestFor(linesOf(text), parsed);
}
