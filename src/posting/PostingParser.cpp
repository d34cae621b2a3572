#include "posting/PostingParser.h"

#include "posting/LinkDetector.h"
#include "posting/PostingVocabulary.h"
#include "posting/TextFolding.h"

#include <QCoreApplication>
#include <QUrl>

#include <algorithm>
#include <array>
#include <bit>
#include <vector>

using namespace PostingVocabulary;

namespace {

// Limits of the rules, in characters.
constexpr qsizetype shortestContentLine = 2;
constexpr qsizetype longestContentLine = 120;
constexpr qsizetype boardProbeLines = 15;
constexpr qsizetype linesBelowTitle = 3;

// Position scores are kept in tenths so that equal sums compare equal.
constexpr int titleWordScore = 20;
constexpr int techWordBonus = 5;
constexpr int topOrderBonus = 10;
constexpr int upperOrderBonus = 3;
constexpr int topOrderLimit = 5;
constexpr int upperOrderLimit = 12;
constexpr double largeHeight = 0.85;
constexpr double mediumHeight = 0.6;
constexpr int largeHeightBonus = 15;
constexpr int mediumHeightBonus = 7;
constexpr int companySuffixPenalty = 15;
constexpr int locationPenalty = 20;
constexpr int metadataPenalty = 20;
constexpr int longTextPenalty = 10;
constexpr int lowestCandidateScore = 15;
constexpr int highConfidenceScore = 30;

// Plain substring test for the short lines the rules look at; cheaper than the
// general search, which is tuned for long texts.
bool startsWithAt(QStringView text, qsizetype position, QStringView prefix)
{
    if (text.size() - position < prefix.size())
        return false;
    const char16_t* at = text.utf16() + position;
    const char16_t* wanted = prefix.utf16();
    // Keywords are a few characters long and most candidates fail on the second one,
    // so a plain loop beats a call to memcmp.
    for (qsizetype i = 0; i < prefix.size(); ++i) {
        if (at[i] != wanted[i])
            return false;
    }
    return true;
}

bool contains(QStringView text, QStringView needle)
{
    const qsizetype last = text.size() - needle.size();
    const char16_t first = needle.front().unicode();
    const char16_t* units = text.utf16();
    for (qsizetype i = 0; i <= last; ++i) {
        if (units[i] == first && startsWithAt(text, i, needle))
            return true;
    }
    return false;
}

struct Words {
    WordKinds kinds = 0;
    bool any = false;

    bool matches(WordKinds wanted) const { return (kinds & wanted) != 0; }
};

Words wordsOfNormalized(QStringView normalized)
{
    Words words;
    TextFolding::forEachWord(normalized, [&](QStringView word, bool ascii) {
        words.any = true;
        if (ascii)
            words.kinds |= kindsOf(word);
    });
    return words;
}

Words wordsOf(QStringView text)
{
    return wordsOfNormalized(TextFolding::normalize(text));
}

// One input line as the rules see it. Pasted text is split into views of the text
// itself, so a posting costs no copy per line.
struct LineView {
    QStringView text;
    int order = 0;
    std::optional<double> relativeHeight;
};

// Every line folded once, into one buffer.
class FoldedLines {
public:
    explicit FoldedLines(const std::vector<LineView>& lines)
    {
        qsizetype total = 0;
        for (const LineView& line : lines)
            total += line.text.size() + 1;
        m_buffer.reserve(total);
        std::vector<std::pair<qsizetype, qsizetype>> spans;
        spans.reserve(lines.size());
        for (const LineView& line : lines) {
            const qsizetype start = m_buffer.size();
            TextFolding::appendNormalized(line.text, m_buffer);
            spans.emplace_back(start, m_buffer.size() - start);
        }
        // Views are taken only now: the buffer may have moved while it grew.
        m_lines.reserve(spans.size());
        for (const auto& [start, length] : spans)
            m_lines.push_back(QStringView(m_buffer).sliced(start, length));
    }

    QStringView operator[](std::size_t index) const { return m_lines[index]; }
    std::size_t size() const { return m_lines.size(); }

private:
    QString m_buffer;
    std::vector<QStringView> m_lines;
};

// A line that survived the furniture filter, with what the rules ask of it.
struct ContentLine {
    const LineView* line = nullptr;
    QStringView normalized;
    Words words;
    qsizetype textLength = 0; // see textLengthForRules

    QStringView text() const { return line->text; }
};

// The work-model keywords in table order, indexed by their first character so that
// one pass over a line finds the first keyword (in table order) it contains.
class KeywordIndex {
public:
    struct Keyword {
        WorkModel workModel;
        QStringView text;
    };

    KeywordIndex()
    {
        for (const WorkModelKeywords& row : workModelKeywords()) {
            for (QStringView keyword : row.keywords) {
                Q_ASSERT(m_count < int(m_keywords.size()) && keyword.front().unicode() < 0x80);
                m_byFirstCharacter[keyword.front().unicode()] |= 1u << m_count;
                m_keywords[m_count++] = {row.workModel, keyword};
            }
        }
    }

    // The first keyword in table order that `normalized` contains.
    const Keyword* firstKeywordIn(QStringView normalized) const
    {
        int best = m_count;
        const qsizetype size = normalized.size();
        for (qsizetype position = 0; position < size && best > 0; ++position) {
            const char16_t c = normalized.at(position).unicode();
            if (c >= 0x80)
                continue;
            quint32 candidates = m_byFirstCharacter[c] & ((1u << best) - 1);
            while (candidates != 0) {
                const int index = std::countr_zero(candidates);
                candidates &= candidates - 1;
                if (startsWithAt(normalized, position, m_keywords[index].text)) {
                    best = index;
                    break;
                }
            }
        }
        return best < m_count ? &m_keywords[best] : nullptr;
    }

private:
    std::array<Keyword, 32> m_keywords {};
    std::array<quint32, 0x80> m_byFirstCharacter {};
    int m_count = 0;
};

const KeywordIndex& keywordIndex()
{
    static const KeywordIndex index;
    return index;
}

std::optional<ParsedField<QString>> findLink(const std::vector<LineView>& lines, const FoldedLines& normalized)
{
    const LinkDetector detector;
    if (!detector.isValid())
        return std::nullopt;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::optional<QUrl> url = detector.firstLink(lines[i].text);
        if (!url)
            continue;
        const QString scheme = url->scheme().toLower();
        if (scheme != u"http" && scheme != u"https")
            continue;
        // A bare domain alone is usually a company or product name in the text.
        if (!contains(normalized[i], u"http") && TextFolding::characterCount(url->path()) < 2)
            continue;
        const QString value = url->toString(QUrl::FullyEncoded);
        const bool aboutJobs = url->host().contains(u"job") || TextFolding::normalize(value).contains(u"job");
        return ParsedField<QString> {
            value, aboutJobs ? ParseConfidence::high : ParseConfidence::medium, lines[i].text.toString()};
    }
    return std::nullopt;
}

JobBoard findBoard(const std::optional<ParsedField<QString>>& link, const FoldedLines& normalized)
{
    // Normalising the joined probe text equals joining the normalised pieces with one
    // blank, leaving out the empty ones.
    QString probe;
    if (link)
        probe = TextFolding::normalize(link->value);
    const std::size_t count = std::min(normalized.size(), std::size_t(boardProbeLines));
    for (std::size_t i = 0; i < count; ++i) {
        if (normalized[i].isEmpty())
            continue;
        if (!probe.isEmpty())
            probe += u' ';
        probe += normalized[i];
    }

    return jobBoardNamedIn(probe);
}

// The rules only compare a line's length with longestCompanyName and longestTitle.
// A line of at most longestCompanyName code units has no more characters than that,
// so its unit count decides the same way and the cluster count is skipped.
qsizetype textLengthForRules(QStringView text)
{
    if (text.size() <= longestCompanyName)
        return text.size();
    return TextFolding::characterCount(text);
}

std::vector<ContentLine> contentLines(const std::vector<LineView>& lines, const FoldedLines& normalized)
{
    std::vector<ContentLine> result;
    result.reserve(lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const QStringView n = normalized[i];
        if (n.size() < shortestContentLine)
            continue;
        // Description paragraphs are the bulk of a posting; counting stops right after
        // the limit, so they cost no more than a short line.
        const TextFolding::CharacterCounts counts = TextFolding::countCharacters(n, longestContentLine);
        if (counts.characters < shortestContentLine || counts.characters > longestContentLine)
            continue;
        if (contains(n, u"http") || contains(n, u"www."))
            continue;
        if (isNoisePhrase(n))
            continue;
        // A share of numbers of one half or more: counters, dates, salaries.
        if (2 * counts.numeric >= counts.characters)
            continue;
        result.push_back({&lines[i], n, wordsOfNormalized(n), textLengthForRules(lines[i].text)});
    }
    return result;
}

bool containsAfterParenthesis(QStringView text, QStringView keyword)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == u'(' && startsWithAt(text, i + 1, keyword))
            return true;
    }
    return false;
}

std::optional<ParsedField<WorkModel>> findWorkModel(const std::vector<ContentLine>& content)
{
    const KeywordIndex& index = keywordIndex();
    for (const ContentLine& line : content) {
        const KeywordIndex::Keyword* keyword = index.firstKeywordIn(line.normalized);
        if (!keyword)
            continue;
        // "Istanbul (Hybrid)" or a line of its own states the model outright.
        const bool stated
            = line.normalized == keyword->text || containsAfterParenthesis(line.normalized, keyword->text);
        return ParsedField<WorkModel> {
            keyword->workModel, stated ? ParseConfidence::high : ParseConfidence::medium, line.text().toString()};
    }
    return std::nullopt;
}

std::optional<ParsedField<QString>> findPosition(const std::vector<ContentLine>& content)
{
    const ContentLine* best = nullptr;
    int bestScore = 0;
    for (const ContentLine& line : content) {
        if (!line.words.any)
            continue;
        const std::optional<double> height = line.line->relativeHeight;
        const bool hasTitleWord = line.words.matches(titleWord);
        int score = 0;
        if (hasTitleWord)
            score = titleWordScore;
        else if (!height || *height <= mediumHeight)
            continue;

        if (line.words.matches(techWord))
            score += techWordBonus;
        if (line.line->order < topOrderLimit)
            score += topOrderBonus;
        else if (line.line->order < upperOrderLimit)
            score += upperOrderBonus;
        if (height) {
            if (*height > largeHeight)
                score += largeHeightBonus;
            else if (*height > mediumHeight)
                score += mediumHeightBonus;
        }
        if (line.words.matches(companySuffix))
            score -= companySuffixPenalty;
        if (line.words.matches(locationWord))
            score -= locationPenalty;
        if (line.words.matches(metadataWord))
            score -= metadataPenalty;
        if (line.textLength > longestTitle)
            score -= longTextPenalty;

        if (score < lowestCandidateScore)
            continue;
        // Strictly greater: on a tie the earlier line stays.
        if (!best || score > bestScore) {
            best = &line;
            bestScore = score;
        }
    }
    if (!best)
        return std::nullopt;
    const QString text = best->text().toString();
    return ParsedField<QString> {
        text, bestScore >= highConfidenceScore ? ParseConfidence::high : ParseConfidence::medium, text};
}

const ContentLine* firstLineWithText(const std::vector<ContentLine>& content, const QString& text)
{
    for (const ContentLine& line : content) {
        if (line.text() == text)
            return &line;
    }
    return nullptr;
}

// "Acme Corp · Istanbul, Türkiye · 3 days ago": the part before the first separator.
std::optional<ParsedField<QString>> companyFromSegments(const std::vector<ContentLine>& content)
{
    for (const ContentLine& line : content) {
        const QStringList parts = TextFolding::segments(line.text());
        if (parts.isEmpty())
            continue;
        const QString& first = parts.front();
        const Words words = wordsOf(first);
        if (words.any && words.matches(locationWord))
            continue;
        if (!words.matches(metadataWord) && TextFolding::characterCount(first) <= longestCompanyName)
            return ParsedField<QString> {first, ParseConfidence::high, line.text().toString()};
    }
    return std::nullopt;
}

// Workday career sites carry the employer in their host name: "acme.wd3.myworkdayjobs.com".
std::optional<ParsedField<QString>> companyFromAddress(const ParsedField<QString>& link)
{
    const QString host = QUrl(link.value).host();
    if (host.isEmpty())
        return std::nullopt;
    const QString label = host.section(u'.', 0, 0);
    const TextFolding::CharacterCounts counts = TextFolding::countCharacters(label);
    if (counts.characters < 3 || counts.numeric == counts.characters)
        return std::nullopt;
    return ParsedField<QString> {
        label, ParseConfidence::low, QCoreApplication::translate("PostingParser", "From address: ") + host};
}

std::optional<ParsedField<QString>> companyFromSuffix(
    const std::vector<ContentLine>& content, const std::optional<ParsedField<QString>>& position)
{
    for (const ContentLine& line : content) {
        if (!line.words.matches(companySuffix) || line.textLength > longestCompanyName
            || line.words.matches(metadataWord))
            continue;
        if (position && line.text() == position->value)
            continue;
        const QString text = line.text().toString();
        return ParsedField<QString> {text, ParseConfidence::medium, text};
    }
    return std::nullopt;
}

// Boards without a metadata line put the employer just below the title.
std::optional<ParsedField<QString>> companyBelowTitle(
    const std::vector<ContentLine>& content, const ParsedField<QString>& position)
{
    const ContentLine* title = firstLineWithText(content, position.value);
    if (!title)
        return std::nullopt;
    const ContentLine* end = content.data() + content.size();
    const ContentLine* last = std::min(title + 1 + linesBelowTitle, end);
    for (const ContentLine* line = title + 1; line < last; ++line) {
        if (line->textLength > longestCompanyName)
            continue;
        if (line->words.any && line->words.matches(locationWord))
            continue;
        if (line->words.matches(metadataWord | titleWord))
            continue;
        const QString text = line->text().toString();
        return ParsedField<QString> {text, ParseConfidence::low, text};
    }
    return std::nullopt;
}

std::optional<ParsedField<QString>> findCompany(const std::vector<ContentLine>& content,
    const std::optional<ParsedField<QString>>& position, JobBoard board,
    const std::optional<ParsedField<QString>>& link)
{
    if (auto company = companyFromSegments(content))
        return company;
    if (board == JobBoard::workday && link) {
        if (auto company = companyFromAddress(*link))
            return company;
    }
    if (content.empty())
        return std::nullopt;
    if (auto company = companyFromSuffix(content, position))
        return company;
    if (position)
        return companyBelowTitle(content, *position);
    return std::nullopt;
}

std::optional<ParsedField<QString>> findLocation(const std::vector<ContentLine>& content)
{
    for (const ContentLine& line : content) {
        if (!line.words.any || !line.words.matches(locationWord))
            continue;
        const QStringList parts = TextFolding::segments(line.text());
        if (!parts.isEmpty()) {
            const Words lastWords = wordsOf(parts.back());
            if (lastWords.any && lastWords.matches(locationWord))
                return ParsedField<QString> {parts.back(), ParseConfidence::high, line.text().toString()};
        }
        const QString text = line.text().toString();
        return ParsedField<QString> {text, ParseConfidence::medium, text};
    }
    return std::nullopt;
}

// A title directly above the "Company · Location · …" line is as sure as that line.
void upgradePosition(const std::vector<ContentLine>& content, std::optional<ParsedField<QString>>& position,
    const std::optional<ParsedField<QString>>& company)
{
    if (!position || !company || position->confidence == ParseConfidence::high
        || company->confidence != ParseConfidence::high)
        return;
    const ContentLine* companyLine = firstLineWithText(content, company->evidence);
    const ContentLine* titleLine = firstLineWithText(content, position->value);
    if (!companyLine || !titleLine)
        return;
    if (titleLine + 1 == companyLine)
        position->confidence = ParseConfidence::high;
}

// Pasted text nearly always breaks lines with line feeds alone; then the search for
// the next break can use the fast character search. The test has no early exit, so
// the compiler can vectorise it.
bool hasOtherLineBreaks(QStringView text)
{
    bool found = false;
    const char16_t* units = text.utf16();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = units[i];
        found |= isLineBreak(c) & (c != u'\n');
    }
    return found;
}

ParsedPosting parseLines(const std::vector<LineView>& lines, QString rawText)
{
    ParsedPosting result;
    result.rawText = std::move(rawText);

    const FoldedLines normalized(lines);
    result.postingLink = findLink(lines, normalized);
    result.board = findBoard(result.postingLink, normalized);

    const std::vector<ContentLine> content = contentLines(lines, normalized);
    result.workModel = findWorkModel(content);
    result.position = findPosition(content);
    result.company = findCompany(content, result.position, result.board, result.postingLink);
    result.location = findLocation(content);
    upgradePosition(content, result.position, result.company);
    return result;
}

} // namespace

ParsedPosting PostingParser::parse(const QList<PostingLine>& lines, std::optional<QString> rawText)
{
    std::vector<LineView> views;
    views.reserve(lines.size());
    for (const PostingLine& line : lines)
        views.push_back({line.text, line.order, line.relativeHeight});

    if (!rawText) {
        QStringList texts;
        texts.reserve(lines.size());
        for (const PostingLine& line : lines)
            texts.append(line.text);
        rawText = texts.join(u'\n');
    }
    return parseLines(views, std::move(*rawText));
}

ParsedPosting PostingParser::parse(const QString& text)
{
    const QStringView view(text);
    const bool onlyLineFeeds = !hasOtherLineBreaks(view);
    auto nextBreak = [&](qsizetype from) {
        if (onlyLineFeeds)
            return view.indexOf(u'\n', from);
        for (qsizetype i = from; i < view.size(); ++i) {
            if (isLineBreak(view.at(i).unicode()))
                return i;
        }
        return qsizetype(-1);
    };

    // The same lines as PostingLine values numbered from 0 would give, without a copy.
    std::vector<LineView> lines;
    lines.reserve(view.count(u'\n') + 1);
    for (qsizetype start = 0; start <= view.size();) {
        qsizetype end = nextBreak(start);
        if (end < 0)
            end = view.size();
        const QStringView piece = view.sliced(start, end - start).trimmed();
        if (!piece.isEmpty())
            lines.push_back({piece, int(lines.size()), std::nullopt});
        start = end + 1;
    }
    return parseLines(lines, text);
}
