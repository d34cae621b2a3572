#include "posting/SuggestionFields.h"

#include "posting/RuledOutValues.h"
#include "posting/SuggestionText.h"
#include "posting/SuggestionVocabulary.h"
#include "posting/TextFolding.h"

#include <QUrl>

#include <vector>

using namespace SuggestionFields;
using namespace SuggestionReading;
using namespace SuggestionText;
using namespace SuggestionVocabulary;

namespace {

// Whether `words` stands in `text` as whole words: "data engineer" is not in
// "our data engineers".
bool containsWords(QStringView text, QStringView words)
{
    for (qsizetype at = text.indexOf(words); at >= 0; at = text.indexOf(words, at + 1)) {
        const qsizetype end = at + words.size();
        const bool startsWord = at == 0 || !text.at(at - 1).isLetterOrNumber();
        const bool endsWord = end == text.size() || !text.at(end).isLetterOrNumber();
        if (startsWord && endsWord)
            return true;
    }
    return false;
}

// What speaks for a line being the posting's title, gathered once per page.
struct TitleClues {
    // Addresses often carry the title: ".../Senior-Data-Engineer_R70647".
    struct Address {
        QString letters;
        const Line* line;
    };
    std::vector<Address> addresses;
    std::vector<QString> foldedParagraphs;
    const Line* tallest = nullptr;
};

TitleClues titleCluesOf(const Reading& reading)
{
    TitleClues clues;
    for (const Line& line : reading.lines) {
        if (isWebLink(line.link))
            clues.addresses.push_back({lettersOf(TextFolding::normalize(QUrl::fromPercentEncoding(
                                           line.link->toString(QUrl::FullyEncoded).toUtf8()))),
                &line});
        if (line.height && *line.height >= 0.85 && (!clues.tallest || *line.height > *clues.tallest->height))
            clues.tallest = &line;
    }
    for (const Paragraph& paragraph : reading.paragraphs)
        clues.foldedParagraphs.push_back(TextFolding::normalize(paragraph.text));
    return clues;
}

Scored scoreTitle(const Reading& reading, const TitleClues& clues, const Line& line)
{
    Scored scored;
    if (line.wordCount >= 2) {
        // "As a Customer Success Manager you will…": the description repeats its title.
        for (std::size_t p = 0; p < clues.foldedParagraphs.size(); ++p) {
            if (containsWords(clues.foldedParagraphs[p], line.normalized)) {
                const QString& text = reading.paragraphs[p].text;
                const qsizetype at = text.indexOf(line.text, 0, Qt::CaseInsensitive);
                scored.add(
                    titleMentionWeight, sentenceAt(text, std::max<qsizetype>(at, 0)), SuggestionSource::sentence);
                break;
            }
        }
        const QString letters = lettersOf(line.normalized);
        for (const TitleClues::Address& address : clues.addresses) {
            if (letters.size() >= 6 && address.letters.contains(letters)) {
                scored.add(addressTitleWeight, address.line->text, SuggestionSource::host);
                break;
            }
        }
    }
    // "Jobs › Istanbul Jobs › Backend Developer": the last crumb names the page.
    for (const Line& crumb : reading.lines) {
        if (crumb.index >= line.index)
            break;
        const QList<QStringView> parts = QStringView(crumb.text).split(u'›');
        if (parts.size() >= 2 && parts.back().trimmed() == line.text) {
            scored.add(breadcrumbWeight, crumb.text, SuggestionSource::header);
            break;
        }
    }
    const int next = line.index + 1;
    if (next < int(reading.lines.size()) && isMetadataLine(reading.lines[size_t(next)]))
        scored.add(aboveMetadataWeight, reading.lines[size_t(next)].text, SuggestionSource::header);
    if (&line == clues.tallest)
        scored.add(tallestLineWeight, line.text, SuggestionSource::header);
    const ParsedPosting& parsed = reading.parsed;
    if (parsed.position && !reading.ruledOut.position && parsed.position->value == line.text)
        scored.score += parserMediumWeight;
    return scored;
}

} // namespace

std::optional<Suggestion<QString>> SuggestionFields::suggestPosition(Reading& reading)
{
    const ParsedPosting& parsed = reading.parsed;
    const Line* parsedLine = parsed.position ? reading.lineWithText(parsed.position->value) : nullptr;
    reading.ruledOut.position = parsedLine && isListedTitle(reading, *parsedLine);
    if (parsed.position && !reading.ruledOut.position) {
        // A title names a role; a large headline that does not is no job's title.
        if (parsedLine && (parsedLine->hasRoleWord || parsedLine->matches(PostingVocabulary::titleWord)))
            reading.title = parsedLine->index;
        if (parsed.position->confidence == ParseConfidence::high) {
            reading.titleTrusted = reading.title >= 0;
            return std::nullopt;
        }
    }

    const TitleClues clues = titleCluesOf(reading);
    const int limit = std::min<int>(titleSearchLines, int(reading.lines.size()));
    const Line* best = nullptr;
    Scored bestScore;
    for (int i = 0; i < limit; ++i) {
        const Line& line = reading.lines[size_t(i)];
        if (!isTitleCandidate(line))
            continue;
        const Scored scored = scoreTitle(reading, clues, line);
        if (!best || scored.score > bestScore.score) {
            best = &line;
            bestScore = scored;
        }
    }
    if (!best || bestScore.score < lowestTitleScore)
        return std::nullopt;
    reading.title = best->index;
    reading.titleTrusted = true;
    if (parsed.position && parsed.position->value == best->text)
        return std::nullopt;
    return Suggestion<QString> {best->text, bestScore.evidence, bestScore.source};
}
