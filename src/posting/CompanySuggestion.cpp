#include "posting/SuggestionFields.h"

#include "posting/CompanyNames.h"
#include "posting/LinkDetector.h"
#include "posting/PostingVocabulary.h"
#include "posting/SuggestionReading.h"
#include "posting/SuggestionText.h"
#include "posting/SuggestionVocabulary.h"
#include "posting/TextFolding.h"

#include <QRegularExpression>
#include <QUrl>

#include <algorithm>
#include <vector>

using namespace SuggestionFields;
using namespace SuggestionReading;
using namespace SuggestionText;
using namespace SuggestionVocabulary;

namespace {

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

} // namespace

std::optional<Suggestion<QString>> SuggestionFields::suggestCompany(const Reading& reading)
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
