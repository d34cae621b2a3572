#include "posting/TextFolding.h"

#include <QTextBoundaryFinder>
#include <QVarLengthArray>

#include <algorithm>

namespace TextFolding {
namespace {

using Folded = QVarLengthArray<char32_t, 4>;

char32_t foldTurkishLetter(char32_t c)
{
    switch (c) {
    case U'\u0131': return U'i'; // dotless i
    case U'\u015F': return U's';
    case U'\u011F': return U'g';
    case U'\u00E7': return U'c';
    case U'\u00F6': return U'o';
    case U'\u00FC': return U'u';
    default: return c;
    }
}

char32_t firstCodePoint(const QString& text)
{
    if (text.isEmpty())
        return 0;
    if (text.size() > 1 && text.at(0).isHighSurrogate() && text.at(1).isLowSurrogate())
        return QChar::surrogateToUcs4(text.at(0), text.at(1));
    return text.at(0).unicode();
}

void appendCanonicalDecomposition(char32_t c, Folded& out)
{
    if (QChar::decompositionTag(c) != QChar::Canonical) {
        out.append(c);
        return;
    }
    const QString parts = QChar::decomposition(c);
    for (qsizetype i = 0; i < parts.size(); ++i) {
        char32_t part = parts.at(i).unicode();
        if (parts.at(i).isHighSurrogate() && i + 1 < parts.size()) {
            part = QChar::surrogateToUcs4(parts.at(i), parts.at(i + 1));
            ++i;
        }
        appendCanonicalDecomposition(part, out);
    }
}

char32_t foldCase(char32_t c)
{
    return QChar::toLower(QChar::toCaseFolded(c));
}

bool isHangulSyllable(char32_t c)
{
    return c >= 0xAC00 && c <= 0xD7A3;
}

// Folds one code point. Returns false for white space; otherwise `out` holds the
// folded code points (none for a combining mark).
bool foldCodePoint(char32_t c, Folded& out)
{
    // Width: full-width and half-width forms become their plain forms. Only these two
    // compatibility tags are applied, so ligatures, superscripts and fractions stay.
    const QChar::Decomposition tag = QChar::decompositionTag(c);
    if (tag == QChar::Wide || tag == QChar::Narrow)
        c = firstCodePoint(QChar::decomposition(c));
    if (QChar::isSpace(c))
        return false;

    // Case without Turkish rules. "İ" has no simple lower case of its own; it
    // decomposes to "I" and a combining dot above, and its base is lowered there.
    c = foldCase(c);

    if (QChar::category(c) == QChar::Mark_NonSpacing)
        return true;

    // Diacritics: a letter that decomposes into a base and combining marks becomes
    // its base. Characters whose decomposition holds no mark (Hangul, singletons)
    // are kept as they are.
    if (!isHangulSyllable(c) && QChar::decompositionTag(c) == QChar::Canonical) {
        Folded parts;
        appendCanonicalDecomposition(c, parts);
        Folded bases;
        for (char32_t part : parts) {
            if (QChar::category(part) != QChar::Mark_NonSpacing)
                bases.append(part);
        }
        if (bases.size() != parts.size()) {
            for (char32_t base : bases)
                out.append(foldTurkishLetter(foldCase(base)));
            return true;
        }
    }
    out.append(foldTurkishLetter(c));
    return true;
}

// Precomputed folds of the Latin, Latin-1 and Latin Extended ranges, where nearly all
// posting text lives.
constexpr char16_t foldIsSpace = 0xFFFF;
constexpr char16_t foldIsSlow = 0xFFFE;
constexpr char32_t tableLimit = 0x300;

const std::array<char16_t, tableLimit>& foldTable()
{
    static const std::array<char16_t, tableLimit> table = [] {
        std::array<char16_t, tableLimit> result {};
        for (char32_t c = 0; c < tableLimit; ++c) {
            Folded folded;
            if (!foldCodePoint(c, folded))
                result[c] = foldIsSpace;
            else if (folded.size() == 1 && folded.at(0) < 0xFFFE && !QChar::requiresSurrogates(folded.at(0)))
                result[c] = char16_t(folded.at(0));
            else
                result[c] = foldIsSlow;
        }
        return result;
    }();
    return table;
}

} // namespace

void appendNormalized(QStringView text, QString& out)
{
    const auto& table = foldTable();
    const qsizetype size = text.size();
    const char16_t* in = text.utf16();

    // A table fold writes at most one unit per unit read (a blank stands for the
    // white space before it), so the output fits in the input's size; only the rare
    // code points folded one by one may need more room.
    const qsizetype start = out.size();
    out.resize(start + size + 1);
    QChar* units = out.data();
    qsizetype length = start;
    bool pendingBlank = false;

    auto putVisible = [&](char16_t unit) {
        if (pendingBlank) {
            pendingBlank = false;
            if (length > start)
                units[length++] = QChar(u' ');
        }
        units[length++] = QChar(unit);
    };

    for (qsizetype i = 0; i < size;) {
        const char16_t unit = in[i];
        if (unit < tableLimit) {
            const char16_t mapped = table[unit];
            if (mapped == foldIsSpace) {
                pendingBlank = true;
                ++i;
                continue;
            }
            if (mapped != foldIsSlow) {
                putVisible(mapped);
                ++i;
                continue;
            }
        }
        char32_t c = unit;
        qsizetype width = 1;
        if (QChar::isHighSurrogate(unit) && i + 1 < size && QChar::isLowSurrogate(in[i + 1])) {
            c = QChar::surrogateToUcs4(unit, in[i + 1]);
            width = 2;
        }
        i += width;
        Folded folded;
        if (!foldCodePoint(c, folded)) {
            pendingBlank = true;
            continue;
        }
        // Room for this fold (two units per code point and a blank) and for the rest
        // of the input at one unit each.
        const qsizetype needed = length + 2 * folded.size() + 1 + (size - i);
        if (needed > out.size()) {
            out.resize(std::max(needed, 2 * out.size()));
            units = out.data();
        }
        for (char32_t f : folded) {
            if (QChar::requiresSurrogates(f)) {
                putVisible(QChar::highSurrogate(f));
                units[length++] = QChar(QChar::lowSurrogate(f));
            } else {
                putVisible(char16_t(f));
            }
        }
    }
    out.truncate(length);
}

QString normalize(QStringView text)
{
    QString result;
    appendNormalized(text, result);
    return result;
}

QSet<QString> tokens(QStringView text)
{
    QSet<QString> result;
    const QString normalized = normalize(text);
    forEachWord(normalized, [&](QStringView word, bool) { result.insert(word.toString()); });
    return result;
}

QStringList segments(QStringView text)
{
    bool hasSeparator = false;
    for (QChar c : text) {
        if (isSeparator(c.unicode())) {
            hasSeparator = true;
            break;
        }
    }
    if (!hasSeparator)
        return {};

    QStringList result;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && !isSeparator(text.at(i).unicode()))
            continue;
        const QStringView piece = text.sliced(start, i - start).trimmed();
        if (!piece.isEmpty())
            result.append(piece.toString());
        start = i + 1;
    }
    return result;
}

namespace {

// Code units that always form a grapheme cluster on their own (apart from CR LF):
// Latin, Greek and Cyrillic letters before the combining marks, general
// punctuation, currency signs, symbols and dingbats. Anything else (marks, joiners,
// Hangul jamo, surrogates, variation selectors) takes the full boundary finder.
bool isSingleUnitCluster(char16_t unit)
{
    if (unit < 0x300)
        return true;
    if (unit >= 0x370 && unit < 0x483)
        return true;
    if (unit >= 0x1E00 && unit < 0x2C00)
        return unit != 0x200C && unit != 0x200D && !(unit >= 0x20D0 && unit < 0x2100);
    return false;
}

CharacterCounts countClusters(QStringView text, qsizetype limit)
{
    CharacterCounts counts;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype start = 0;
    for (qsizetype end = finder.toNextBoundary(); end > 0; end = finder.toNextBoundary()) {
        ++counts.characters;
        char32_t first = text.at(start).unicode();
        if (text.at(start).isHighSurrogate() && start + 1 < end)
            first = QChar::surrogateToUcs4(text.at(start), text.at(start + 1));
        if (QChar::isNumber(first))
            ++counts.numeric;
        if (counts.characters > limit)
            break;
        start = end;
    }
    return counts;
}

} // namespace

CharacterCounts countCharacters(QStringView text, qsizetype limit)
{
    CharacterCounts counts;
    const qsizetype size = text.size();
    const char16_t* units = text.utf16();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t unit = units[i];
        if (!isSingleUnitCluster(unit))
            return countClusters(text, limit);
        if (unit == u'\r' && i + 1 < size && units[i + 1] == u'\n')
            continue; // counted with its line feed
        ++counts.characters;
        if (unit < 0x80 ? (unit >= u'0' && unit <= u'9') : QChar::isNumber(char32_t(unit)))
            ++counts.numeric;
        if (counts.characters > limit)
            break;
    }
    return counts;
}

qsizetype characterCount(QStringView text)
{
    return countCharacters(text).characters;
}

} // namespace TextFolding
