#pragma once

#include "ocrworker/TesseractReader.h"

#include <QList>
#include <QRect>
#include <QString>

// Cleaning up what the engine read on a screenshot: icons and bars read as words,
// address-bar text, lines cut off by the page, and middle dots put back as text.
namespace TesseractReader {

int letterOrDigitCount(const QString& text);

// Characters the engine puts where a middle dot stands in the image.
bool isSeparatorLookalike(const QString& word);

// Drops bars anywhere and icons read as words at either end of a line.
void stripJunkWords(QList<Word>* words);

QRect wordsBox(const QList<Word>& words);

// Text cut off by the page or the browser ("Senior Develope...").
bool isTruncated(const QString& text);

// An address-bar line put back together as one address; other lines unchanged.
QString repairAddress(const QString& text);

// The words joined by blanks, with the line's separator dots written as "·".
QString joinWithSeparators(const Line& line);

// The words joined by blanks.
QString lineText(const Line& line);

} // namespace TesseractReader
