#include "posting/PostingSuggestions.h"

#include "posting/CompanyNames.h"
#include "posting/LinkDetector.h"
#include "posting/PostingSigns.h"
#include "posting/PostingVocabulary.h"
#include "posting/RuledOutValues.h"
#include "posting/SuggestionReading.h"
#include "posting/SuggestionText.h"
#include "posting/SuggestionVocabulary.h"
#include "posting/TextFolding.h"

#include <QRegularExpression>
#include <QUrl>

#include <algorithm>
#include <array>
#include <vector>

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

// Weights of what speaks for a value. A value where the board's layout puts it
// outweighs one sentence; two sources agreeing outweigh either.
constexpr int layoutWeight = 3;
constexpr int careerHeaderWeight = 3;
constexpr int hostWeight = 3;
constexpr int legalFormWeight = 2;
constexpr int mentionWeight = 2;
constexpr int mentionsCounted = 2;
constexpr int looseLayoutWeight = 1;
constexpr int parserMediumWeight = 1;
constexpr int titleMentionWeight = 3;
constexpr int breadcrumbWeight = 3;
constexpr int addressTitleWeight = 3;
constexpr int aboveMetadataWeight = 3;
constexpr int tallestLineWeight = 2;
constexpr int lowestCompanyScore = 2;
constexpr int lowestTitleScore = 3;
constexpr int boardFurnitureScore = 3;
constexpr int boardFurnitureMargin = 2;

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

// Position ------------------------------------------------------------------------

struct Scored {
    int score = 0;
    int weight = 0;
    QString evidence;
    SuggestionSource source = SuggestionSource::header;

    void add(int points, const QString& text, SuggestionSource from)
    {
        score += points;
        if (points > weight) {
            weight = points;
            evidence = text;
            source = from;
        }
    }
};

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

std::optional<Suggestion<QString>> suggestPosition(Reading& reading)
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

// Company -------------------------------------------------------------------------

struct Candidate {
    QString value;
    QString key;
    QString letters;
    Scored scored;
    // Shown in the header (layout, career header, legal form, the parser's pick):
    // such a value is written in full, a brand in a sentence often is not.
    bool inHeader = false;
};

QString lettersOfKey(const QString& key)
{
    QString letters = key;
    letters.remove(u' ');
    return letters;
}

class CompanyCandidates {
public:
    void add(const QString& value, int points, const QString& evidence, SuggestionSource source, bool inHeader)
    {
        const QString key = CompanyNames::nameKey(value);
        if (key.isEmpty())
            return;
        auto& list = inHeader ? m_header : m_brands;
        for (Candidate& candidate : list) {
            if (candidate.key == key) {
                candidate.scored.add(points, evidence, source);
                // Mixed case is how the company writes itself; capitals are the page's style.
                if (!hasLowerCase(candidate.value) && hasLowerCase(value))
                    candidate.value = value;
                return;
            }
        }
        Candidate candidate {value, key, lettersOfKey(key), {}, inHeader};
        candidate.scored.add(points, evidence, source);
        list.push_back(std::move(candidate));
    }

    // A brand in a sentence or an address speaks for the header name it begins:
    // "Nimbus Retail" for "Nimbus Retail SE", "umbrellalabs" for "UMBRELLA LABS".
    std::optional<Candidate> best()
    {
        std::vector<Candidate> all = m_header;
        for (const Candidate& brand : m_brands) {
            bool absorbed = false;
            for (Candidate& header : all) {
                if (!header.inHeader || !beginsWith(header, brand))
                    continue;
                header.scored.add(brand.scored.score, brand.scored.evidence, brand.scored.source);
                if (!hasLowerCase(header.value) && header.letters == brand.letters && hasLowerCase(brand.value))
                    header.value = brand.value;
                absorbed = true;
            }
            if (!absorbed)
                all.push_back(brand);
        }
        const Candidate* winner = nullptr;
        for (const Candidate& candidate : all) {
            if (!winner || candidate.scored.score > winner->scored.score
                || (candidate.scored.score == winner->scored.score && candidate.inHeader && !winner->inHeader))
                winner = &candidate;
        }
        if (!winner)
            return std::nullopt;
        Candidate result = *winner;
        if (!hasLowerCase(result.value))
            result.value = CompanyNames::titleCased(result.value);
        return result;
    }

private:
    static bool hasLowerCase(const QString& text)
    {
        return std::any_of(text.begin(), text.end(), [](QChar c) { return c.isLower(); });
    }

    static bool beginsWith(const Candidate& header, const Candidate& brand)
    {
        if (header.key == brand.key || header.key.startsWith(brand.key + u' '))
            return true;
        // An address label runs the words together: "umbrellalabs".
        if (!brand.key.contains(u' ')) {
            QString run;
            for (QStringView word : QStringView(header.key).split(u' ')) {
                run += word;
                if (run == brand.letters)
                    return true;
                if (run.size() >= brand.letters.size())
                    break;
            }
        }
        return false;
    }

    std::vector<Candidate> m_header;
    std::vector<Candidate> m_brands;
};

// "UMBRELLA LABS CAREERS", "Careers at Fernhill", "NORTHWİND KARİYER".
std::optional<QString> careerHeaderName(const Line& line)
{
    if (line.prose || line.length > PostingVocabulary::longestCompanyName)
        return std::nullopt;
    static const QStringList trailingWords {
        QStringLiteral("careers"), QStringLiteral("career"), QStringLiteral("kariyer")};
    static const QStringList leadingWords {QStringLiteral("careers at"), QStringLiteral("jobs at"),
        QStringLiteral("life at"), QStringLiteral("kariyer |"), QStringLiteral("careers |")};
    if (!line.normalized.contains(u"career") && !line.normalized.contains(u"kariyer")
        && !line.normalized.contains(u" at "))
        return std::nullopt;
    QStringList words = line.text.split(u' ', Qt::SkipEmptyParts);
    if (words.size() < 2)
        return std::nullopt;
    QString name;
    if (trailingWords.contains(TextFolding::normalize(words.back()))) {
        words.removeLast();
        name = words.join(u' ');
    } else {
        for (const QString& leading : leadingWords) {
            if (line.normalized.startsWith(leading + u' ')) {
                name = words.mid(qsizetype(leading.count(u' ') + 1)).join(u' ');
                break;
            }
        }
    }
    name = name.trimmed();
    if (name.isEmpty() || !looksLikeName(name) || isLeadingStopWord(TextFolding::normalize(words.front())))
        return std::nullopt;
    return name;
}

// The employer a LinkedIn-style headline names: "Head of Talent at Nimbus Retail".
std::optional<QString> headlineEmployer(const Line& line)
{
    if (line.prose || !line.hasRoleWord || line.length > 80)
        return std::nullopt;
    static const QRegularExpression at(
        QStringLiteral(R"(\s(?:at|@)\s+(\p{Lu}[^·|•]*)$)"), QRegularExpression::UseUnicodePropertiesOption);
    const QRegularExpressionMatch match = at.match(line.text);
    if (!match.hasMatch())
        return std::nullopt;
    const QString name = match.captured(1).trimmed();
    if (!looksLikeName(name))
        return std::nullopt;
    return name;
}

bool isSkippedAboveTitle(const Line& line)
{
    return line.furniture || line.hasRoleWord || isRatingLine(line) || line.bare.size() < 3 || line.link
        || careerHeaderName(line);
}

// Where each board's header card puts the employer, relative to the title.
void addLayoutCandidates(const Reading& reading, CompanyCandidates& candidates)
{
    const int title = reading.title;
    const int count = int(reading.lines.size());
    auto lineAt = [&](int i) -> const Line& { return reading.lines[size_t(i)]; };
    // Recognised screenshots put lines of a side column between the header's lines:
    // the nearest line that can be a name counts.
    auto above = [&](int weight, int reach) {
        for (int i = title - 1; i >= std::max(0, title - reach); --i) {
            const Line& line = lineAt(i);
            if (isSkippedAboveTitle(line))
                continue;
            const QString name = withoutRating(line.text);
            if (looksLikeName(name)) {
                candidates.add(name, weight, line.text, SuggestionSource::header, true);
                return;
            }
        }
    };
    auto below = [&](int weight, int reach) {
        for (int i = title + 1; i < std::min(count, title + 1 + reach); ++i) {
            const Line& line = lineAt(i);
            if (line.furniture || isRatingLine(line) || careerHeaderName(line))
                continue;
            const QString name = withoutRating(line.text);
            if (looksLikeName(name))
                candidates.add(name, weight, line.text, SuggestionSource::header, true);
            return;
        }
    };
    auto segmentBelow = [&](int weight) {
        if (title + 1 >= count)
            return;
        const Line& line = lineAt(title + 1);
        const QStringList parts = TextFolding::segments(line.text);
        if (!parts.isEmpty() && looksLikeName(parts.front()))
            candidates.add(parts.front(), weight, line.text, SuggestionSource::header, true);
    };

    switch (reading.board) {
    case JobBoard::linkedIn:
        // Above the title in the newer card, first on the line below it in the older one.
        above(layoutWeight, 4);
        segmentBelow(layoutWeight);
        break;
    case JobBoard::glassdoor:
        // The employer and its rating stand above the title.
        above(layoutWeight, 4);
        break;
    case JobBoard::kariyerNet:
    case JobBoard::indeed:
        // The employer (with its rating on Indeed) stands right below the title.
        below(layoutWeight, 2);
        break;
    case JobBoard::workday:
        // A Workday header names no employer; its address and description do.
        break;
    case JobBoard::unknown:
        above(looseLayoutWeight, 2);
        below(looseLayoutWeight, 2);
        segmentBelow(looseLayoutWeight);
        break;
    }
}

// How the page writes the employer an address names: "umbrellalabs" is written
// "Umbrella Labs" somewhere on the page, or else the label is all there is.
QString spelledName(const Reading& reading, const QString& label)
{
    static const QRegularExpression capitalised(
        QStringLiteral(R"(\p{Lu}[\p{L}\p{M}\p{N}\-]*(?:[ \t]+\p{Lu}[\p{L}\p{M}\p{N}\-]*)*)"),
        QRegularExpression::UseUnicodePropertiesOption);
    QString inCapitals;
    for (const Line& line : reading.lines) {
        QRegularExpressionMatchIterator runs = capitalised.globalMatch(line.text);
        while (runs.hasNext()) {
            const QRegularExpressionMatch run = runs.next();
            const QList<QStringView> words = run.capturedView(0).split(u' ', Qt::SkipEmptyParts);
            for (qsizetype first = 0; first < words.size(); ++first) {
                QString letters;
                for (qsizetype last = first; last < words.size(); ++last) {
                    letters += lettersOf(TextFolding::normalize(words[last]));
                    if (letters.size() > label.size() || !label.startsWith(letters))
                        break;
                    if (letters == label) {
                        const qsizetype from = words[first].data() - line.text.data();
                        const qsizetype to = words[last].data() + words[last].size() - line.text.data();
                        const QString name = line.text.sliced(from, to - from);
                        if (std::any_of(name.begin(), name.end(), [](QChar c) { return c.isLower(); }))
                            return name;
                        if (inCapitals.isEmpty())
                            inCapitals = name;
                        break;
                    }
                }
            }
        }
    }
    if (!inCapitals.isEmpty())
        return CompanyNames::titleCased(inCapitals);
    return label.left(1).toUpper() + label.mid(1);
}

std::optional<Suggestion<QString>> suggestCompany(const Reading& reading)
{
    const ParsedPosting& parsed = reading.parsed;
    const bool doubtful = reading.ruledOut.company;
    if (parsed.company && parsed.company->confidence == ParseConfidence::high && !doubtful)
        return std::nullopt;
    // A page without a job title is no posting: its names are nobody's employer.
    if (!reading.hasHeader())
        return std::nullopt;

    CompanyCandidates candidates;
    if (parsed.company && !doubtful && looksLikeName(parsed.company->value)) {
        const int points = parsed.company->confidence == ParseConfidence::medium ? parserMediumWeight : 0;
        candidates.add(parsed.company->value, points, parsed.company->evidence, SuggestionSource::header, true);
    }
    addLayoutCandidates(reading, candidates);

    const int careerSearchEnd = std::min(int(reading.lines.size()), reading.title + 3);
    for (int i = std::max(0, reading.title - 6); i < careerSearchEnd; ++i) {
        const Line& line = reading.lines[size_t(i)];
        if (const std::optional<QString> name = careerHeaderName(line))
            candidates.add(*name, careerHeaderWeight, line.text, SuggestionSource::header, true);
    }
    for (int i = reading.headerStart; i < reading.headerEnd; ++i) {
        const Line& line = reading.lines[size_t(i)];
        const QString name = withoutRating(line.text);
        if (line.prose || line.furniture || !CompanyNames::endsWithLegalForm(name) || !looksLikeName(name))
            continue;
        // Right by the title it is the employer; further down it may be another job's.
        const bool nearTitle = std::abs(i - reading.title) <= 2;
        candidates.add(
            name, nearTitle ? legalFormWeight : legalFormWeight - 1, line.text, SuggestionSource::legalSuffix, true);
    }

    // Brands: sentences of the description, headlines, addresses.
    QHash<QString, int> mentionsPerName;
    auto mention = [&](const QString& name, const QString& evidence) {
        int& seen = mentionsPerName[CompanyNames::nameKey(name)];
        if (seen++ >= mentionsCounted)
            return;
        candidates.add(name, mentionWeight, evidence, SuggestionSource::sentence, false);
    };
    for (const Paragraph& paragraph : reading.paragraphs) {
        for (const CompanyNames::Mention& found : CompanyNames::mentionsIn(paragraph.text))
            mention(found.name, found.sentence);
    }
    for (const Line& line : reading.lines) {
        if (const std::optional<QString> name = headlineEmployer(line))
            mention(*name, line.text);
    }
    for (const Line& line : reading.lines) {
        if (!isWebLink(line.link))
            continue;
        if (const std::optional<QString> label = CompanyNames::employerLabel(*line.link, reading.detector)) {
            candidates.add(spelledName(reading, *label), hostWeight, line.text, SuggestionSource::host, false);
            break;
        }
    }

    const std::optional<Candidate> best = candidates.best();
    if (!best || best->scored.score < lowestCompanyScore)
        return std::nullopt;
    if (parsed.company && parsed.company->value == best->value)
        return std::nullopt;
    return Suggestion<QString> {best->value, best->scored.evidence, best->scored.source};
}

// Location ------------------------------------------------------------------------

// The value under a field's label; a side column's job titles may come between.
const Line* fieldValue(const Reading& reading, int label)
{
    const int end = std::min(int(reading.lines.size()), label + 3);
    for (int i = label + 1; i < end; ++i) {
        const Line& line = reading.lines[size_t(i)];
        if (!line.hasRoleWord && !line.matches(PostingVocabulary::metadataWord))
            return &line;
    }
    return nullptr;
}

std::optional<Suggestion<QString>> suggestLocation(const Reading& reading, const QString& company)
{
    const ParsedPosting& parsed = reading.parsed;
    if (!reading.hasHeader())
        return std::nullopt;
    if (parsed.location && parsed.location->confidence == ParseConfidence::high && !reading.ruledOut.location)
        return std::nullopt;

    std::optional<Suggestion<QString>> found;
    const QString companyKey = CompanyNames::nameKey(company);
    const int count = int(reading.lines.size());
    // A labelled field: "locations" above "USA-Boston-MA".
    for (int i = reading.headerStart; i + 1 < count && !found; ++i) {
        if (i >= reading.headerEnd && i > reading.title + headerBelowTitle)
            break;
        if (!isLocationLabel(reading.lines[size_t(i)].bare))
            continue;
        if (const Line* value = fieldValue(reading, i)) {
            if (const std::optional<QString> place = placeIn(value->text, true))
                found = Suggestion<QString> {*place, value->text, SuggestionSource::field};
        }
        break;
    }
    // "Company · Place (Hybrid) · 3 weeks ago": the first part that is a place.
    for (int i = reading.headerStart; i < reading.headerEnd && !found; ++i) {
        const Line& line = reading.lines[size_t(i)];
        const QStringList parts = TextFolding::segments(line.text);
        for (const QString& part : parts) {
            if (!companyKey.isEmpty() && CompanyNames::nameKey(part) == companyKey)
                continue;
            if (const std::optional<QString> place = placeIn(part, false)) {
                found = Suggestion<QString> {*place, line.text, SuggestionSource::header};
                break;
            }
        }
    }
    // Boards that put the place on a line of its own, below the employer or the title.
    if (!found) {
        int from = reading.title + 1;
        for (int i = reading.title + 1; i < std::min(count, reading.title + 3); ++i) {
            const Line& line = reading.lines[size_t(i)];
            if (!companyKey.isEmpty() && CompanyNames::nameKey(withoutRating(line.text)) == companyKey) {
                from = i + 1;
                break;
            }
        }
        for (int i = from; i < std::min(reading.headerEnd, from + 2); ++i) {
            const Line& line = reading.lines[size_t(i)];
            if (isRatingLine(line))
                continue;
            if (line.hasSeparators || line.furniture)
                break;
            if (const std::optional<QString> place = placeIn(line.text, true))
                found = Suggestion<QString> {*place, line.text, SuggestionSource::header};
            break;
        }
    }
    // Where the parser's line holds more than the place ("Bursa, Türkiye · 18 saat
    // önce"), the place alone is worth showing.
    if (!found
        || (parsed.location && TextFolding::normalize(parsed.location->value) == TextFolding::normalize(found->value)))
        return std::nullopt;
    return found;
}

// Work model ----------------------------------------------------------------------

// A labelled field: "remote type" above "Hybrid Remote".
std::optional<Suggestion<WorkModel>> labelledWorkModel(const Reading& reading)
{
    const int count = int(reading.lines.size());
    for (int i = reading.headerStart; i + 1 < count && i <= reading.title + headerBelowTitle; ++i) {
        if (!isWorkModelLabel(reading.lines[size_t(i)].bare))
            continue;
        if (const Line* value = fieldValue(reading, i)) {
            if (const std::optional<WorkModel> model = workModelIn(value->normalized))
                return Suggestion<WorkModel> {*model, value->text, SuggestionSource::field};
        }
        break;
    }
    return std::nullopt;
}

// The work model a header line shows: a chip, a part of the metadata line, a
// bracket beside the place, "Remote in Denver, CO".
std::optional<WorkModel> workModelShownBy(const Line& line)
{
    std::optional<WorkModel> model = workModelNamed(line.bare);
    for (const QString& part : TextFolding::segments(line.text)) {
        if (model)
            return model;
        model = workModelNamed(bareOf(TextFolding::normalize(part)));
    }
    if (!model && line.wordCount <= 8) {
        static const QRegularExpression bracket(QStringLiteral(R"(\(([^()]+)\))"));
        const QRegularExpressionMatch match = bracket.match(line.normalized);
        if (match.hasMatch())
            model = workModelNamed(match.captured(1).trimmed());
    }
    if (!model && line.wordCount <= 8) {
        static const QRegularExpression leading(
            QStringLiteral(R"(^(?:hybrid|remote|on-site|in person|hibrit|uzaktan)\s+(?:work\s+)?in\s)"));
        if (leading.match(line.normalized).hasMatch())
            model = workModelIn(line.normalized);
    }
    return model;
}

std::optional<Suggestion<WorkModel>> headerWorkModel(const Reading& reading)
{
    // Boards put the chips below the title; above it a recognised screenshot may show
    // a side column.
    std::vector<int> order;
    for (int i = reading.title; i < reading.headerEnd; ++i)
        order.push_back(i);
    for (int i = reading.title - 1; i >= reading.headerStart; --i)
        order.push_back(i);
    for (int i : order) {
        const Line& line = reading.lines[size_t(i)];
        if (line.prose)
            continue;
        if (const std::optional<WorkModel> model = workModelShownBy(line))
            return Suggestion<WorkModel> {*model, line.text, SuggestionSource::header};
    }
    return std::nullopt;
}

// The description: "We work in a hybrid model…", "Çalışma şekli iş yerinde…".
std::optional<Suggestion<WorkModel>> descriptionWorkModel(const Reading& reading)
{
    for (const Paragraph& paragraph : reading.paragraphs) {
        for (const QString& sentence : sentencesOf(paragraph.text)) {
            if (const std::optional<WorkModel> model = workModelIn(TextFolding::normalize(sentence)))
                return Suggestion<WorkModel> {*model, sentence, SuggestionSource::sentence};
        }
    }
    return std::nullopt;
}

std::optional<Suggestion<WorkModel>> suggestWorkModel(const Reading& reading)
{
    const ParsedPosting& parsed = reading.parsed;
    if (!reading.hasHeader())
        return std::nullopt;
    std::optional<Suggestion<WorkModel>> found;
    // A header the parser is sure of is only questioned by a description that says
    // otherwise ("(Hybrid)" above "This is a 100% remote role").
    if (parsed.workModel && parsed.workModel->confidence == ParseConfidence::high && !reading.ruledOut.workModel)
        found = descriptionWorkModel(reading);
    else if (!(found = labelledWorkModel(reading)) && !(found = headerWorkModel(reading)))
        found = descriptionWorkModel(reading);
    if (!found || (parsed.workModel && parsed.workModel->value == found->value))
        return std::nullopt;
    return found;
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
    auto isLineBreak = [](QChar c) {
        switch (c.unicode()) {
        case u'\n':
        case u'\r':
        case u'\v':
        case u'\f':
        case u'\u0085':
        case u'\u2028':
        case u'\u2029': return true;
        default: return false;
        }
    };
    QList<PostingLine> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size() && lines.size() < linesRead; ++i) {
        if (i < text.size() && !isLineBreak(text.at(i)))
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
