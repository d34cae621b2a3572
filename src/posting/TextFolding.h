#pragma once

#include <QChar>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <array>
#include <limits>

// The text functions the posting parser compares with: one folded form of a line,
// its words and the parts of a "Company · City · 2 days ago" line.
namespace TextFolding {

// Characters that separate the parts of a metadata line.
inline constexpr std::array<char16_t, 6> separatorCharacters {
    u'\u00B7', // middle dot
    u'\u2022', // bullet
    u'\u2027', // hyphenation point
    u'\u30FB', // katakana middle dot
    u'|',
    u'\u2758', // light vertical bar
};

constexpr bool isSeparator(char16_t c) noexcept
{
    for (char16_t separator : separatorCharacters) {
        if (c == separator)
            return true;
    }
    return false;
}

// Case, diacritic and width folding without Turkish casing rules ("İ" and "I" both
// become "i"), then the Turkish letters folded to their plain Latin neighbours, and
// every run of white space collapsed to one blank with none at either end.
QString normalize(QStringView text);
// The same, appended to `out`; lets a caller fold many lines into one buffer.
void appendNormalized(QStringView text, QString& out);

// The words (runs of letters and digits) of the normalised text that are at least
// two characters long.
QSet<QString> tokens(QStringView text);

// The trimmed, non-empty parts of the original text between separator characters;
// empty when the text holds no separator at all.
QStringList segments(QStringView text);

// Number of user-perceived characters (grapheme clusters).
qsizetype characterCount(QStringView text);

struct CharacterCounts {
    qsizetype characters = 0;
    // Characters whose first code point is a number (any Unicode number).
    qsizetype numeric = 0;
};
// Counting stops once more than `limit` characters are seen, so a caller that only
// needs to know "longer than limit" does not pay for a long text.
CharacterCounts countCharacters(QStringView text, qsizetype limit = std::numeric_limits<qsizetype>::max());

// Letters, marks and numbers make up words; everything else separates them.
inline bool isWordCodePoint(char32_t c) noexcept
{
    if (c < 0x80)
        return (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z');
    return QChar::isLetterOrNumber(c) || QChar::isMark(c);
}

// Calls visit(QStringView word, bool isAscii) for every word of `normalized` (already
// the output of normalize()) that is at least two characters long, in order, with
// duplicates. `isAscii` lets callers skip lookups whose entries are all ASCII.
template <typename Visitor> void forEachWord(QStringView normalized, Visitor&& visit)
{
    const qsizetype size = normalized.size();
    const char16_t* data = normalized.utf16();
    qsizetype start = -1;
    bool ascii = true;
    auto finish = [&](qsizetype end) {
        const qsizetype length = end - start;
        if (length >= 2) {
            const QStringView word = normalized.sliced(start, length);
            if (ascii || characterCount(word) >= 2)
                visit(word, ascii);
        }
        start = -1;
    };
    for (qsizetype i = 0; i < size;) {
        char32_t c = data[i];
        qsizetype width = 1;
        if (QChar::isHighSurrogate(c) && i + 1 < size && QChar::isLowSurrogate(data[i + 1])) {
            c = QChar::surrogateToUcs4(data[i], data[i + 1]);
            width = 2;
        }
        if (isWordCodePoint(c)) {
            if (start < 0) {
                start = i;
                ascii = true;
            }
            if (c >= 0x80)
                ascii = false;
        } else if (start >= 0) {
            finish(i);
        }
        i += width;
    }
    if (start >= 0)
        finish(size);
}

} // namespace TextFolding
