#include "ocrworker/LineInk.h"

#include "ocrworker/GrayHistogram.h"
#include "ocrworker/LineText.h"

#include <QHash>
#include <QImage>

#include <algorithm>
#include <cmath>

namespace TesseractReader {

// Baseline of the columns in [fromX, toX]: most columns end on it; descenders are the
// exception. -1 when the range holds no ink.
int baselineOf(const LineInk& ink, int fromX, int toX)
{
    QHash<int, int> bottomCounts;
    for (int x = std::max(fromX, ink.left); x <= toX && x - ink.left < ink.columnTop.size(); ++x) {
        const int bottom = ink.columnBottom.at(x - ink.left);
        if (bottom >= 0)
            ++bottomCounts[bottom];
    }
    int baseline = -1;
    int best = 0;
    for (auto it = bottomCounts.cbegin(); it != bottomCounts.cend(); ++it) {
        if (it.value() > best || (it.value() == best && it.key() > baseline)) {
            best = it.value();
            baseline = it.key();
        }
    }
    return baseline;
}

// Most columns of a word stop at the x-height; capitals and ascenders are a few
// stems, so the capital height is the height that a small share of columns reach.
// Measured from the word's own baseline: an icon beside it may stand lower.
double capHeightOf(const LineInk& ink, int fromX, int toX)
{
    const int baseline = baselineOf(ink, fromX, toX);
    if (baseline < 0)
        return 0;
    QList<double> heights;
    for (int x = std::max(fromX, ink.left); x <= toX && x - ink.left < ink.columnTop.size(); ++x) {
        const qsizetype i = x - ink.left;
        if (ink.columnTop.at(i) >= 0 && std::abs(ink.columnBottom.at(i) - baseline) <= 1)
            heights.append(baseline - ink.columnTop.at(i) + 1);
    }
    if (heights.isEmpty())
        return 0;
    std::sort(heights.begin(), heights.end());
    const qsizetype reaching = std::max<qsizetype>(std::min<qsizetype>(3, heights.size()), heights.size() / 25);
    return heights.at(heights.size() - reaching);
}

namespace {

// Two-class threshold of a line's own pixels; the smaller class is the ink, so light
// text on a coloured button works as well as dark text on white.
struct InkThreshold {
    int level = 128;
    bool inkIsDark = true;

    bool isInk(uchar value) const { return inkIsDark ? value <= level : value > level; }
};

InkThreshold otsuThreshold(const QImage& gray, const QRect& area)
{
    const GrayHistogram histogram = grayHistogram(gray, area);
    const int total = area.width() * area.height();
    double sumAll = 0;
    for (int i = 0; i < 256; ++i)
        sumAll += double(i) * histogram[size_t(i)];
    double sumBelow = 0;
    int countBelow = 0;
    double bestSpread = -1;
    InkThreshold threshold;
    for (int t = 0; t < 256; ++t) {
        countBelow += histogram[size_t(t)];
        sumBelow += double(t) * histogram[size_t(t)];
        const int countAbove = total - countBelow;
        if (countBelow == 0 || countAbove == 0)
            continue;
        const double meanBelow = sumBelow / countBelow;
        const double meanAbove = (sumAll - sumBelow) / countAbove;
        const double spread = double(countBelow) * countAbove * (meanBelow - meanAbove) * (meanBelow - meanAbove);
        if (spread > bestSpread) {
            bestSpread = spread;
            threshold.level = t;
        }
    }
    int darkCount = 0;
    for (int i = 0; i <= threshold.level; ++i)
        darkCount += histogram[size_t(i)];
    threshold.inkIsDark = darkCount * 2 <= total;
    return threshold;
}

// Rows inked across most of the box are borders and rules, not text.
QList<bool> findRuleRows(const QImage& gray, const QRect& area, const InkThreshold& threshold)
{
    QList<bool> ruleRows(area.height(), false);
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const uchar* row = gray.constScanLine(y);
        int count = 0;
        for (int x = area.left(); x <= area.right(); ++x)
            count += threshold.isInk(row[x]) ? 1 : 0;
        ruleRows[y - area.top()] = count * 10 > area.width() * 7;
    }
    return ruleRows;
}

// The first and last ink row of every column outside the rules, and the runs of
// neighbouring inked columns.
void scanColumns(const QImage& gray, const QRect& area, const InkThreshold& threshold, LineInk& ink)
{
    const QList<bool> ruleRows = findRuleRows(gray, area, threshold);
    ink.left = area.left();
    ink.columnTop.fill(-1, area.width());
    ink.columnBottom.fill(-1, area.width());
    for (int x = area.left(); x <= area.right(); ++x) {
        int top = -1;
        int bottom = -1;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            if (!ruleRows.at(y - area.top()) && threshold.isInk(gray.constScanLine(y)[x])) {
                if (top < 0)
                    top = y;
                bottom = y;
            }
        }
        if (top < 0)
            continue;
        ink.columnTop[x - area.left()] = top;
        ink.columnBottom[x - area.left()] = bottom;
        if (!ink.runs.isEmpty() && ink.runs.last().right == x - 1) {
            InkRun& run = ink.runs.last();
            run.right = x;
            run.top = std::min(run.top, top);
            run.bottom = std::max(run.bottom, bottom);
        } else {
            ink.runs.append(InkRun {x, x, top, bottom});
        }
    }
}

// Most columns of a line end on the baseline; descenders are the exception. The
// x-height is what most columns standing on it reach.
void measureLine(const QRect& area, LineInk& ink)
{
    QList<int> bottomCounts(area.height(), 0);
    for (int bottom : std::as_const(ink.columnBottom)) {
        if (bottom >= 0)
            ++bottomCounts[bottom - area.top()];
    }
    const auto mostCommon = std::max_element(bottomCounts.cbegin(), bottomCounts.cend());
    const int baseline = area.top() + int(mostCommon - bottomCounts.cbegin());
    QList<double> heights;
    for (qsizetype i = 0; i < ink.columnTop.size(); ++i) {
        if (ink.columnTop.at(i) >= 0 && std::abs(ink.columnBottom.at(i) - baseline) <= 1)
            heights.append(baseline - ink.columnTop.at(i) + 1);
    }
    std::sort(heights.begin(), heights.end());
    ink.baseline = baseline + 1;
    if (!heights.isEmpty()) {
        ink.xHeight = heights.at(heights.size() * 2 / 5);
        ink.capHeight = capHeightOf(ink, area.left(), area.right());
    }
}

} // namespace

LineInk analyseInk(const QImage& gray, const QRect& box)
{
    LineInk ink;
    const QRect area = box.intersected(gray.rect());
    if (area.width() < 3 || area.height() < 3)
        return ink;
    scanColumns(gray, area, otsuThreshold(gray, area), ink);
    if (!ink.runs.isEmpty())
        measureLine(area, ink);
    return ink;
}

// The capital height most of the line's letters are set in: a large logo or icon read
// as a short word in front of small text ("in Q Search") does not make the line large.
double lineCapHeight(const LineInk& ink, const QList<Word>& words)
{
    QList<std::pair<double, int>> weighted;
    int total = 0;
    for (const Word& word : words) {
        const int letters = letterOrDigitCount(word.text);
        const double height = capHeightOf(ink, word.box.left(), word.box.right());
        if (letters == 0 || height <= 0)
            continue;
        weighted.append({height, letters});
        total += letters;
    }
    if (weighted.isEmpty())
        return ink.capHeight;
    std::sort(weighted.begin(), weighted.end());
    int seen = 0;
    for (const auto& [height, letters] : weighted) {
        seen += letters;
        if (seen * 2 >= total)
            return height;
    }
    return weighted.last().first;
}

// The small round blobs at mid x-height, with space on both sides, that separate the
// parts of a metadata line ("Acme · Istanbul · 3 days ago").
QList<int> findSeparatorDots(const LineInk& ink)
{
    QList<int> dots;
    const double xHeight = ink.xHeight;
    if (xHeight < 4)
        return dots;
    for (qsizetype i = 1; i + 1 < ink.runs.size(); ++i) {
        const InkRun& run = ink.runs.at(i);
        const int width = run.right - run.left + 1;
        const int height = run.bottom - run.top + 1;
        const double centre = ink.baseline - (run.top + run.bottom + 1) / 2.0;
        const int gapBefore = run.left - ink.runs.at(i - 1).right - 1;
        const int gapAfter = ink.runs.at(i + 1).left - run.right - 1;
        if (height > 0.55 * xHeight || width > 0.55 * xHeight)
            continue;
        // Round, not a hyphen or a dash.
        if (std::abs(width - height) > std::max(1.0, 0.35 * std::max(width, height)))
            continue;
        if (centre < 0.28 * xHeight || centre > 0.85 * xHeight)
            continue;
        if (gapBefore < 0.2 * xHeight || gapAfter < 0.2 * xHeight)
            continue;
        dots.append((run.left + run.right) / 2);
    }
    return dots;
}

} // namespace TesseractReader
