#include "posting/SuggestionText.h"

#include "posting/CompanyNames.h"
#include "posting/PostingVocabulary.h"
#include "posting/SuggestionVocabulary.h"
#include "posting/TextFolding.h"

#include <QRegularExpression>
#include <QSet>

#include <algorithm>

using namespace SuggestionVocabulary;

namespace SuggestionText {
namespace {

const QRegularExpression& placeWordPattern()
{
    // One part of a place: capitalised words ("San Francisco"), a region or
    // country code ("CA", "TX"), a post code ("95113", "EC2A"), a bracketed
    // district ("İstanbul(Asya)").
    static const QRegularExpression pattern(
        QStringLiteral(R"(^(?:\p{Lu}[\p{L}\p{M}.'\-]*(?:\([\p{L}\p{M}.]+\))?|[A-Z0-9]{2,6})$)"),
        QRegularExpression::UseUnicodePropertiesOption);
    return pattern;
}

bool allWordsAreLocations(QStringView normalized)
{
    bool any = false;
    bool all = true;
    TextFolding::forEachWord(normalized, [&](QStringView word, bool) {
        any = true;
        all = all && (PostingVocabulary::kindsOf(word) & PostingVocabulary::locationWord);
    });
    return any && all;
}

} // namespace

QString bareOf(const QString& normalized)
{
    qsizetype start = 0;
    qsizetype end = normalized.size();
    while (start < end && !normalized.at(start).isLetterOrNumber())
        ++start;
    while (end > start && !normalized.at(end - 1).isLetterOrNumber())
        --end;
    return normalized.sliced(start, end - start);
}

bool isMostlyNumbers(QStringView text)
{
    qsizetype digits = 0;
    qsizetype letters = 0;
    for (QChar c : text) {
        if (c.isDigit())
            ++digits;
        else if (c.isLetter())
            ++letters;
        else if (c == u'$' || c == u'£' || c == u'€' || c == u'₺')
            return true;
    }
    return digits > 0 && digits * 3 >= letters;
}

std::optional<WorkModel> workModelNamed(QStringView bare)
{
    for (const PostingVocabulary::WorkModelKeywords& row : PostingVocabulary::workModelKeywords()) {
        for (QStringView keyword : row.keywords) {
            if (bare == keyword)
                return row.workModel;
        }
    }
    for (const WorkModelPhrase& phrase : workModelPhrases()) {
        if (bare == phrase.phrase)
            return phrase.workModel;
    }
    return std::nullopt;
}

std::optional<WorkModel> workModelIn(QStringView normalized)
{
    if (!mentionsWorkModel(normalized))
        return std::nullopt;
    for (const WorkModelPhrase& phrase : workModelPhrases()) {
        if (normalized.contains(phrase.phrase))
            return phrase.workModel;
    }
    for (const PostingVocabulary::WorkModelKeywords& row : PostingVocabulary::workModelKeywords()) {
        for (QStringView keyword : row.keywords) {
            if (normalized.contains(keyword))
                return row.workModel;
        }
    }
    return std::nullopt;
}

bool hasPlaceShape(QStringView text)
{
    static const QRegularExpression coded(
        QStringLiteral(R"(^[A-Z]{2,3}\s?-\s?\p{Lu}[\p{L}\p{M}]+)"), QRegularExpression::UseUnicodePropertiesOption);
    if (coded.match(text).hasMatch())
        return true;
    if (!text.contains(u','))
        return false;
    const QList<QStringView> parts = text.split(u',');
    if (parts.size() > 4)
        return false;
    for (QStringView part : parts) {
        const QList<QStringView> words = part.trimmed().split(u' ', Qt::SkipEmptyParts);
        if (words.isEmpty() || words.size() > 4)
            return false;
        for (QStringView word : words) {
            if (!placeWordPattern().match(word).hasMatch())
                return false;
        }
    }
    return true;
}

bool looksLikeName(QStringView text)
{
    const qsizetype length = TextFolding::characterCount(text);
    if (length < 2 || length > PostingVocabulary::longestCompanyName)
        return false;
    const QChar first = text.front();
    if (!(first.isUpper() || first.isDigit() || (first.isLetter() && !first.isLower())))
        return false;
    if (text.endsWith(u'?') || text.endsWith(u':') || text.contains(u'@') || text.contains(u"://"))
        return false;
    if (isMostlyNumbers(text))
        return false;
    const QString normalized = TextFolding::normalize(text);
    const QString bare = bareOf(normalized);
    if (bare.isEmpty() || PostingVocabulary::isNoisePhrase(normalized) || isSectionHeading(bare)
        || isEmploymentTerm(bare) || isDepartment(bare) || isBoardName(bare) || workModelNamed(bare))
        return false;
    int words = 0;
    int letters = 0;
    bool rejected = false;
    TextFolding::forEachWord(normalized, [&](QStringView word, bool) {
        ++words;
        rejected |= isRoleWord(word) || (PostingVocabulary::kindsOf(word) & PostingVocabulary::metadataWord);
    });
    for (QChar c : text)
        letters += c.isLetter() ? 1 : 0;
    if (rejected || words == 0 || words > 7 || letters < 2)
        return false;
    // Names capitalise their words; "Search for", "Veri ve analitik" are not names.
    static const QSet<QStringView> connectors {u"and", u"of", u"the", u"for", u"ve", u"de", u"da", u"van", u"von",
        u"der", u"den", u"la", u"le", u"du", u"y", u"e", u"di"};
    for (QStringView word : text.split(u' ', Qt::SkipEmptyParts)) {
        if (word.front().isLower() && word.size() >= 2 && !connectors.contains(word))
            return false;
    }
    if (allWordsAreLocations(normalized))
        return false;
    if (hasPlaceShape(text) && !CompanyNames::endsWithLegalForm(text))
        return false;
    return true;
}

QString withoutRating(const QString& text)
{
    const QString trimmed = text.trimmed();
    // Recognition reads a star as "*" at times.
    if (trimmed.isEmpty()
        || !(trimmed.back().isDigit() || trimmed.back() == u'★' || trimmed.back() == u'☆' || trimmed.back() == u'*'))
        return trimmed;
    static const QRegularExpression rating(QStringLiteral(R"(\s*(?:\d[.,]\d\s*)?[★☆*]*\s*$)"));
    QString cleaned = trimmed;
    cleaned.remove(rating);
    return cleaned.trimmed();
}

std::optional<QString> placeIn(const QString& text, bool loose)
{
    QString place = text.trimmed();
    static const QRegularExpression bracketed(QStringLiteral(R"(\s*\(([^()]*)\)\s*$)"));
    const QRegularExpressionMatch tail = bracketed.match(place);
    if (tail.hasMatch() && workModelNamed(bareOf(TextFolding::normalize(tail.captured(1)))))
        place.truncate(tail.capturedStart(0));
    static const QRegularExpression leading(
        QStringLiteral(R"(^(?i:(?:remote|hybrid(?: remote| work)?|on-site|in person)\s+in)\s+)"));
    place.remove(leading);
    // A map pin read as "9", a comma without its blank: what recognition adds.
    static const QRegularExpression pin(
        QStringLiteral(R"(^\S\s+(?=\p{Lu}))"), QRegularExpression::UseUnicodePropertiesOption);
    place.remove(pin);
    static const QRegularExpression comma(QStringLiteral(R"(,(?=\S))"));
    place.replace(comma, QStringLiteral(", "));
    place = place.trimmed();
    if (place.isEmpty() || TextFolding::characterCount(place) > 50)
        return std::nullopt;
    const QString normalized = TextFolding::normalize(place);
    const QString bare = bareOf(normalized);
    if (bare.isEmpty() || workModelNamed(bare) || isEmploymentTerm(bare) || isDepartment(bare) || isSectionHeading(bare)
        || PostingVocabulary::isNoisePhrase(normalized) || isBoardName(bare))
        return std::nullopt;
    bool rejected = false;
    TextFolding::forEachWord(normalized, [&](QStringView word, bool) {
        rejected |= isRoleWord(word) || (PostingVocabulary::kindsOf(word) & PostingVocabulary::metadataWord);
    });
    if (rejected || place.contains(u'$') || place.contains(u'£') || place.contains(u'€') || place.contains(u'₺'))
        return std::nullopt;
    if (hasPlaceShape(place) || allWordsAreLocations(normalized))
        return place;
    if (!loose)
        return std::nullopt;
    const QList<QStringView> words = QStringView(place).split(u' ', Qt::SkipEmptyParts);
    if (words.size() > 4)
        return std::nullopt;
    for (QStringView word : words) {
        if (!placeWordPattern().match(word).hasMatch())
            return std::nullopt;
    }
    return place;
}

QString sentenceAt(QStringView text, qsizetype at)
{
    // A text without full stops is one long sentence; a few hundred characters
    // around `at` say as much and keep many lookups in such a text cheap.
    constexpr qsizetype reach = 300;
    const qsizetype earliest = std::max<qsizetype>(0, at - reach);
    const qsizetype latest = std::min(text.size(), at + reach);
    qsizetype start = at;
    while (start > earliest
        && !((text.at(start - 1) == u'.' || text.at(start - 1) == u'!' || text.at(start - 1) == u'?')
            && text.at(start).isSpace()))
        --start;
    qsizetype end = at;
    while (end < latest) {
        const QChar c = text.at(end++);
        if ((c == u'.' || c == u'!' || c == u'?') && (end == text.size() || text.at(end).isSpace()))
            break;
    }
    return text.sliced(start, end - start).trimmed().toString();
}

QStringList sentencesOf(const QString& text)
{
    QStringList sentences;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if ((c == u'.' || c == u'!' || c == u'?') && (i + 1 == text.size() || text.at(i + 1).isSpace())) {
            const QString sentence = text.sliced(start, i + 1 - start).trimmed();
            if (!sentence.isEmpty())
                sentences.append(sentence);
            start = i + 1;
        }
    }
    const QString rest = text.sliced(start).trimmed();
    if (!rest.isEmpty())
        sentences.append(rest);
    return sentences;
}

QString lettersOf(QStringView normalized)
{
    QString letters;
    for (QChar c : normalized) {
        if (c.isLetterOrNumber())
            letters += c;
    }
    return letters;
}

} // namespace SuggestionText
