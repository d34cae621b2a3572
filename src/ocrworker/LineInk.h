#pragma once

#include "ocrworker/TesseractReader.h"

#include <QList>
#include <QRect>

class QImage;

// Measuring a line on its pixels. Column runs of ink in a line box: where the
// letters, dots and bars are, and from them the line's own baseline, x-height and
// capital height. Tesseract's row estimates vary by a third between lines set in the
// same font; the pixels do not.
namespace TesseractReader {

struct InkRun {
    int left;
    int right;
    int top;
    int bottom;
};

struct LineInk {
    QList<InkRun> runs;
    int left = 0; // x of the first column below
    QList<int> columnTop; // per column from `left`: first ink row, or -1
    QList<int> columnBottom;
    double baseline = 0;
    double xHeight = 0;
    double capHeight = 0;
};

LineInk analyseInk(const QImage& gray, const QRect& box);

// Baseline of the columns in [fromX, toX]: most columns end on it; descenders are the
// exception. -1 when the range holds no ink.
int baselineOf(const LineInk& ink, int fromX, int toX);

// Capital height of the columns in [fromX, toX], measured from their own baseline.
double capHeightOf(const LineInk& ink, int fromX, int toX);

// The capital height most of the line's letters are set in.
double lineCapHeight(const LineInk& ink, const QList<Word>& words);

// x of the middle dots that separate the parts of a metadata line.
QList<int> findSeparatorDots(const LineInk& ink);

} // namespace TesseractReader
