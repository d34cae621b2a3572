#include "ocrworker/LineText.h"

#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace TesseractReader {

int letterOrDigitCount(const QString& text)
{
    return int(std::count_if(text.cbegin(), text.cend(), [](QChar c) { return c.isLetterOrNumber(); }));
}

// Characters the engine puts where a middle dot stands in the image.
bool isSeparatorLookalike(const QString& word)
{
    static const QString lookalikes = QStringLiteral("-–—:;*·•.,+=~°_'\"»«›‹");
    return word.size() == 1 && lookalikes.contains(word.at(0));
}

namespace {

// Icons beside text come out as stray marks at either end of a line ("© Apply",
// "9 Lisbon", "Save x"), and borders and text cursors as bars.
bool isStrayMark(const Word& word)
{
    static const QString bars = QStringLiteral("|[]{}¦!/\\");
    if (word.text.size() <= 2
        && std::all_of(word.text.cbegin(), word.text.cend(), [](QChar c) { return bars.contains(c); }))
        return true;
    return false;
}

bool isEdgeJunk(const Word& word, bool last)
{
    // List bullets and icons: a separator only ever stands between words.
    if (letterOrDigitCount(word.text) == 0)
        return true;
    // A close button after a browser tab's title.
    if (last && (word.text == QStringLiteral("x") || word.text == QStringLiteral("×")))
        return true;
    return word.text.size() <= 2 && word.confidence < 0.75;
}

} // namespace

void stripJunkWords(QList<Word>* words)
{
    words->removeIf(isStrayMark);
    for (int i = 0; i < 2 && words->size() > 1 && isEdgeJunk(words->first(), false); ++i)
        words->removeFirst();
    for (int i = 0; i < 2 && words->size() > 1 && isEdgeJunk(words->last(), true); ++i)
        words->removeLast();
}

QRect wordsBox(const QList<Word>& words)
{
    QRect box;
    for (const Word& word : words)
        box = box.united(word.box);
    return box;
}

// Text cut off by the page or the browser ("Senior Develope...") is only part of its
// value; a copy of the page would hold the whole text, the screenshot does not.
bool isTruncated(const QString& text)
{
    // Recognition runs on several threads at once; each keeps its own compiled patterns.
    thread_local const QRegularExpression cut(QStringLiteral("\\S(\\.\\.\\.|…)$"));
    return cut.match(text).hasMatch();
}

// The engine reads address-bar text with blanks around dots and slashes, splits it
// where an underscore is too faint to see, loses the colon of the scheme, and reads
// the bar's icons in front of it as letters. An address holds no blanks, so a line
// that is an address and a few short pieces becomes the address alone.
QString repairAddress(const QString& text)
{
    thread_local const QRegularExpression addressStart(
        QStringLiteral("^(https?:?//|www\\.?[a-z0-9]|[\\w-]+\\.[\\w-]+\\.?[a-z]{2,}/)"),
        QRegularExpression::CaseInsensitiveOption);
    thread_local const QRegularExpression blankAroundPunctuation(QStringLiteral("\\s*([./])\\s*"));
    thread_local const QRegularExpression schemeWithoutColon(QStringLiteral("^(https?)//"));
    QString joined = text;
    joined.replace(blankAroundPunctuation, QStringLiteral("\\1"));
    QStringList pieces = joined.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    qsizetype start = 0;
    while (start < pieces.size() && !addressStart.match(pieces.at(start)).hasMatch())
        ++start;
    if (start == pieces.size())
        return text;
    // Only icons may stand in front of the address, and only stray pieces after it.
    for (qsizetype i = 0; i < start; ++i) {
        if (pieces.at(i).size() > 2)
            return text;
    }
    if (pieces.size() - start > 3)
        return text;
    QString address = pieces.mid(start).join(QString());
    address.replace(schemeWithoutColon, QStringLiteral("\\1://"));
    // "www" is always followed by a dot, which small text loses.
    thread_local const QRegularExpression wwwWithoutDot(
        QStringLiteral("^((?:https?://)?www)(?=[a-z0-9])"), QRegularExpression::CaseInsensitiveOption);
    address.replace(wwwWithoutDot, QStringLiteral("\\1."));
    return address;
}

QString joinWithSeparators(const Line& line)
{
    QStringList words;
    QList<double> centres;
    for (const Word& word : line.words) {
        words.append(word.text);
        centres.append(word.box.left() + word.box.width() / 2.0);
    }
    static const QString middleDot = QStringLiteral("·");
    for (int dot : line.separatorColumns) {
        // A misread separator standing on its own near the dot becomes the dot.
        qsizetype replaced = -1;
        for (qsizetype i = 0; i < words.size(); ++i) {
            if (isSeparatorLookalike(words.at(i)) && std::abs(centres.at(i) - dot) <= 1.5 * line.xHeight) {
                replaced = i;
                break;
            }
        }
        if (replaced >= 0) {
            words[replaced] = middleDot;
            continue;
        }
        qsizetype insertAt = 0;
        while (insertAt < centres.size() && centres.at(insertAt) < dot)
            ++insertAt;
        if (insertAt == 0 || insertAt == words.size())
            continue;
        // A separator glued to the end of the word before it ("Spain:") goes too.
        QString& before = words[insertAt - 1];
        if (before.size() > 1 && isSeparatorLookalike(before.right(1)) && before.right(1) != QStringLiteral(","))
            before.chop(1);
        if (words.at(insertAt) == middleDot || before == middleDot)
            continue;
        words.insert(insertAt, middleDot);
        centres.insert(insertAt, dot);
    }
    return words.join(QLatin1Char(' '));
}

QString lineText(const Line& line)
{
    QStringList words;
    for (const Word& word : line.words)
        words.append(word.text);
    return words.join(QLatin1Char(' '));
}

} // namespace TesseractReader
