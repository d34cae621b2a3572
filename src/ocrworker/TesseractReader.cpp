#include "ocrworker/TesseractReader.h"

#include "model/Utf8Text.h"

#include <QHash>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>

#include <tesseract/baseapi.h>
#include <tesseract/ocrclass.h>
#include <tesseract/resultiterator.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <optional>

namespace TesseractReader {
namespace {

// Loading the language data takes longer than reading a typical screenshot, so each
// thread loads it once and keeps its engine until the thread ends.
struct ThreadEngine {
    std::unique_ptr<tesseract::TessBaseAPI> api;
    bool ready = false;

    ThreadEngine()
        : api(std::make_unique<tesseract::TessBaseAPI>())
    {
        // Turkish first: English alone reads ı, ş, ğ as their nearest Latin letters.
        ready = api->Init(nullptr, "tur+eng", tesseract::OEM_LSTM_ONLY) == 0;
        // The engine's notes about every image (resolution guesses, empty pages)
        // are no diagnostics of ours.
        if (ready)
            api->SetVariable("debug_file", "/dev/null");
    }
    ~ThreadEngine()
    {
        if (api)
            api->End();
    }
    ThreadEngine(const ThreadEngine&) = delete;
    ThreadEngine& operator=(const ThreadEngine&) = delete;
};

ThreadEngine& threadEngine()
{
    thread_local ThreadEngine engine;
    return engine;
}

QString takeText(char* text)
{
    const QString result = textFromUtf8(text).trimmed();
    delete[] text;
    return result;
}

// Grayscale with transparency flattened onto white, as the page behind a screenshot is.
QImage toGray(const QImage& image)
{
    if (image.hasAlphaChannel()) {
        QImage flat(image.size(), QImage::Format_RGB32);
        flat.fill(Qt::white);
        QPainter painter(&flat);
        painter.drawImage(0, 0, image);
        painter.end();
        return flat.convertToFormat(QImage::Format_Grayscale8);
    }
    return image.convertToFormat(QImage::Format_Grayscale8);
}

double meanBrightness(const QImage& gray)
{
    qint64 sum = 0;
    qint64 count = 0;
    for (int y = 0; y < gray.height(); y += 3) {
        const uchar* row = gray.constScanLine(y);
        for (int x = 0; x < gray.width(); x += 3) {
            sum += row[x];
            ++count;
        }
    }
    return count == 0 ? 255.0 : double(sum) / double(count);
}

void setImage(tesseract::TessBaseAPI& api, const QImage& gray, double scale)
{
    api.SetImage(gray.constBits(), gray.width(), gray.height(), 1, int(gray.bytesPerLine()));
    // Screenshots are 96 dpi at scale 1; saying so spares the engine its estimate.
    api.SetSourceResolution(std::max(70, int(std::lround(96 * scale))));
}

double median(QList<double> values)
{
    if (values.isEmpty())
        return 0;
    const auto middle = values.begin() + values.size() / 2;
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

// x-height of the typical text line, from layout analysis alone (no recognition).
double typicalXHeight(tesseract::TessBaseAPI& api)
{
    std::unique_ptr<tesseract::PageIterator> it(api.AnalyseLayout());
    if (!it)
        return 0;
    QList<double> heights;
    do {
        if (it->Empty(tesseract::RIL_TEXTLINE))
            continue;
        float rowHeight = 0;
        float descenders = 0;
        float ascenders = 0;
        it->RowAttributes(&rowHeight, &descenders, &ascenders);
        const double xHeight = double(rowHeight) - double(ascenders) + double(descenders);
        if (xHeight > 0)
            heights.append(xHeight);
    } while (it->Next(tesseract::RIL_TEXTLINE));
    return median(heights);
}

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

// Column runs of ink in a line box: where the letters, dots and bars are, and from
// them the line's own baseline, x-height and capital height. Tesseract's row
// estimates vary by a third between lines set in the same font; the pixels do not.
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

LineInk analyseInk(const QImage& gray, const QRect& box)
{
    LineInk ink;
    const QRect area = box.intersected(gray.rect());
    if (area.width() < 3 || area.height() < 3)
        return ink;

    // Two-class threshold of the line's own pixels; the smaller class is the ink, so
    // light text on a coloured button works as well as dark text on white.
    std::array<int, 256> histogram {};
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const uchar* row = gray.constScanLine(y);
        for (int x = area.left(); x <= area.right(); ++x)
            ++histogram[size_t(row[x])];
    }
    const int total = area.width() * area.height();
    double sumAll = 0;
    for (int i = 0; i < 256; ++i)
        sumAll += double(i) * histogram[size_t(i)];
    double sumBelow = 0;
    int countBelow = 0;
    double bestSpread = -1;
    int threshold = 128;
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
            threshold = t;
        }
    }
    int darkCount = 0;
    for (int i = 0; i <= threshold; ++i)
        darkCount += histogram[size_t(i)];
    const bool inkIsDark = darkCount * 2 <= total;
    auto isInk = [&](uchar value) { return inkIsDark ? value <= threshold : value > threshold; };

    // Rows inked across most of the box are borders and rules, not text.
    QList<bool> ruleRows(area.height(), false);
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const uchar* row = gray.constScanLine(y);
        int count = 0;
        for (int x = area.left(); x <= area.right(); ++x)
            count += isInk(row[x]) ? 1 : 0;
        ruleRows[y - area.top()] = count * 10 > area.width() * 7;
    }

    QList<int> tops;
    QList<int> bottoms;
    QList<int> bottomCounts(area.height(), 0);
    ink.left = area.left();
    ink.columnTop.fill(-1, area.width());
    ink.columnBottom.fill(-1, area.width());
    for (int x = area.left(); x <= area.right(); ++x) {
        int top = -1;
        int bottom = -1;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            if (!ruleRows.at(y - area.top()) && isInk(gray.constScanLine(y)[x])) {
                if (top < 0)
                    top = y;
                bottom = y;
            }
        }
        if (top < 0)
            continue;
        tops.append(top);
        bottoms.append(bottom);
        ink.columnTop[x - area.left()] = top;
        ink.columnBottom[x - area.left()] = bottom;
        ++bottomCounts[bottom - area.top()];
        if (!ink.runs.isEmpty() && ink.runs.last().right == x - 1) {
            InkRun& run = ink.runs.last();
            run.right = x;
            run.top = std::min(run.top, top);
            run.bottom = std::max(run.bottom, bottom);
        } else {
            ink.runs.append(InkRun {x, x, top, bottom});
        }
    }
    if (tops.isEmpty())
        return ink;

    // Most columns of a line end on the baseline; descenders are the exception.
    const auto mostCommon = std::max_element(bottomCounts.cbegin(), bottomCounts.cend());
    const int baseline = area.top() + int(mostCommon - bottomCounts.cbegin());
    QList<double> heights;
    for (qsizetype i = 0; i < tops.size(); ++i) {
        if (std::abs(bottoms.at(i) - baseline) <= 1)
            heights.append(baseline - tops.at(i) + 1);
    }
    std::sort(heights.begin(), heights.end());
    ink.baseline = baseline + 1;
    if (!heights.isEmpty()) {
        ink.xHeight = heights.at(heights.size() * 2 / 5);
        ink.capHeight = capHeightOf(ink, area.left(), area.right());
    }
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

// The engine's lines with their words. Boxes are mapped from the image the engine
// read (a crop at `origin`, enlarged by `scale`) back to the prepared image.
QList<Line> collectLines(tesseract::TessBaseAPI& api, QPoint origin, double scale)
{
    QList<Line> lines;
    std::unique_ptr<tesseract::ResultIterator> it(api.GetIterator());
    if (!it)
        return lines;
    const auto mapBox = [&](int left, int top, int right, int bottom) {
        return QRect(QPoint(origin.x() + int(std::floor(left / scale)), origin.y() + int(std::floor(top / scale))),
            QPoint(origin.x() + int(std::ceil(right / scale)) - 1, origin.y() + int(std::ceil(bottom / scale)) - 1));
    };
    do {
        if (it->Empty(tesseract::RIL_TEXTLINE))
            continue;
        Line line;
        int left = 0;
        int top = 0;
        int right = 0;
        int bottom = 0;
        it->BoundingBox(tesseract::RIL_TEXTLINE, &left, &top, &right, &bottom);
        line.box = mapBox(left, top, right, bottom);
        line.confidence = double(it->Confidence(tesseract::RIL_TEXTLINE)) / 100.0;
        float rowHeight = 0;
        float descenders = 0;
        float ascenders = 0;
        it->RowAttributes(&rowHeight, &descenders, &ascenders);
        line.xHeight = (double(rowHeight) - double(ascenders) + double(descenders)) / scale;
        line.rowHeight = (double(rowHeight) + double(descenders)) / scale;
        line.capHeight = line.rowHeight;
        int x1 = 0;
        int y1 = 0;
        int x2 = 0;
        int y2 = 0;
        double baseline = bottom;
        if (it->Baseline(tesseract::RIL_TEXTLINE, &x1, &y1, &x2, &y2) && x2 != x1) {
            const double slope = double(y2 - y1) / double(x2 - x1);
            baseline = y1 + slope * ((left + right) / 2.0 - x1);
        }
        line.baseline = origin.y() + baseline / scale;
        do {
            if (!it->Empty(tesseract::RIL_WORD)) {
                Word word;
                word.text = takeText(it->GetUTF8Text(tesseract::RIL_WORD));
                word.confidence = double(it->Confidence(tesseract::RIL_WORD)) / 100.0;
                it->BoundingBox(tesseract::RIL_WORD, &left, &top, &right, &bottom);
                word.box = mapBox(left, top, right, bottom);
                if (!word.text.isEmpty())
                    line.words.append(word);
            }
            if (it->IsAtFinalElement(tesseract::RIL_TEXTLINE, tesseract::RIL_WORD))
                break;
        } while (it->Next(tesseract::RIL_WORD));
        lines.append(line);
    } while (it->Next(tesseract::RIL_TEXTLINE));
    return lines;
}

QString lineText(const Line& line)
{
    QStringList words;
    for (const Word& word : line.words)
        words.append(word.text);
    return words.join(QLatin1Char(' '));
}

// Reads one region again as a single line of text, enlarged so that its x-height is
// comfortable for the engine. Empty when the engine finds nothing there.
std::optional<Line> rereadRegion(tesseract::TessBaseAPI& api, tesseract::ETEXT_DESC* monitor, const QImage& gray,
    QRect region, double xHeight, double pageScale, double comfortableXHeight)
{
    const int margin = std::max(2, int(xHeight * 0.6));
    region = region.adjusted(-margin, -margin, margin, margin).intersected(gray.rect());
    if (region.width() < 4 || region.height() < 4 || xHeight <= 0)
        return std::nullopt;
    const double scale = std::clamp(comfortableXHeight / xHeight, 1.0, 4.0);
    QImage crop = gray.copy(region);
    if (scale > 1.05)
        crop = crop.scaled(
            int(crop.width() * scale), int(crop.height() * scale), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const double used = double(crop.width()) / region.width();
    api.SetPageSegMode(tesseract::PSM_SINGLE_LINE);
    setImage(api, crop, pageScale * used);
    if (api.Recognize(monitor) != 0)
        return std::nullopt;
    QList<Line> lines = collectLines(api, region.topLeft(), used);
    if (lines.isEmpty() || lines.first().words.isEmpty())
        return std::nullopt;
    Line line = lines.first();
    for (qsizetype i = 1; i < lines.size(); ++i)
        line.words.append(lines.at(i).words);
    return line;
}

// Large words whose last letters the page-wide layout analysis cut off into fragments
// of their own ("Mühendi" + "s" + "i") are read again, together, as one line.
void rereadDoubtfulLines(tesseract::TessBaseAPI& api, tesseract::ETEXT_DESC* monitor, const QImage& gray,
    double pageScale, double comfortableXHeight, QList<Line>* lines)
{
    QList<bool> consumed(lines->size(), false);
    for (qsizetype i = 0; i < lines->size(); ++i) {
        if (consumed.at(i))
            continue;
        Line& line = (*lines)[i];
        if (line.words.isEmpty() || line.xHeight <= 0)
            continue;
        QRect region = line.box;
        // Fragments: short pieces on the same row that touch the line's end.
        QList<qsizetype> fragments;
        for (qsizetype j = 0; j < lines->size(); ++j) {
            const Line& other = lines->at(j);
            if (j == i || consumed.at(j) || other.words.isEmpty())
                continue;
            if (letterOrDigitCount(lineText(other)) > 2 || other.box.height() > line.box.height() * 1.2)
                continue;
            const int overlapTop = std::max(other.box.top(), line.box.top());
            const int overlapBottom = std::min(other.box.bottom(), line.box.bottom());
            if (overlapBottom - overlapTop + 1 < other.box.height() / 2)
                continue;
            const int gap = other.box.left() - region.right() - 1;
            if (gap >= -other.box.width() / 2 && gap <= 1.5 * line.xHeight)
                fragments.append(j);
        }
        for (qsizetype j : fragments)
            region = region.united(lines->at(j).box);
        if (fragments.isEmpty())
            continue;
        std::optional<Line> reread
            = rereadRegion(api, monitor, gray, region, line.xHeight, pageScale, comfortableXHeight);
        if (!reread)
            continue;
        reread->box = reread->box.intersected(region);
        line = *reread;
        for (qsizetype j : fragments)
            consumed[j] = true;
    }
    for (qsizetype i = lines->size() - 1; i >= 0; --i) {
        if (consumed.at(i))
            lines->removeAt(i);
    }
}

// Measures a line on its pixels, restores its separators and splits it where the
// engine joined pieces of text that stand well apart on the page (a company name and
// its rating, a field label and its value).
void finishLine(const QImage& gray, Line line, const RecognitionSettings& settings, QList<Line>* lines)
{
    if (settings.cleanUpText)
        stripJunkWords(&line.words);
    if (line.words.isEmpty())
        return;
    line.box = wordsBox(line.words);
    LineInk ink = analyseInk(gray, line.box);
    if (ink.capHeight > 0) {
        line.baseline = ink.baseline;
        line.xHeight = ink.xHeight;
        line.capHeight = lineCapHeight(ink, line.words);
    }
    if (settings.restoreSeparators) {
        line.separatorColumns = findSeparatorDots(ink);
        // A dot inside a one-letter word is part of an icon (a magnifier's handle),
        // not a separator; longer words' boxes often swallow the dot after them.
        line.separatorColumns.removeIf([&](int x) {
            return std::any_of(line.words.cbegin(), line.words.cend(), [x](const Word& word) {
                return word.text.size() == 1 && !isSeparatorLookalike(word.text) && x > word.box.left()
                    && x < word.box.right();
            });
        });
    }

    if (settings.splitGap > 0 && line.xHeight > 0 && line.words.size() > 1) {
        const double widest = settings.splitGap * line.xHeight;
        for (qsizetype i = 1; i < line.words.size(); ++i) {
            const int gapStart = line.words.at(i - 1).box.right();
            const int gapEnd = line.words.at(i).box.left();
            if (gapEnd - gapStart <= widest)
                continue;
            const bool separated = std::any_of(line.separatorColumns.cbegin(), line.separatorColumns.cend(),
                [&](int x) { return x > gapStart && x < gapEnd; });
            if (separated)
                continue;
            Line rest = line;
            rest.words = line.words.mid(i);
            line.words = line.words.mid(0, i);
            const auto averageConfidence = [](const QList<Word>& words) {
                double sum = 0;
                for (const Word& word : words)
                    sum += word.confidence;
                return sum / double(words.size());
            };
            line.confidence = averageConfidence(line.words);
            rest.confidence = averageConfidence(rest.words);
            line.separatorColumns.clear();
            rest.separatorColumns.clear();
            finishLine(gray, std::move(line), settings, lines);
            finishLine(gray, std::move(rest), settings, lines);
            return;
        }
    }
    // Review sites set a one-decimal rating right after the employer's name ("Initech
    // 3.9 ★"); they are two elements, and a copy of the page gives them as two lines.
    thread_local const QRegularExpression rating(QStringLiteral("^[0-5][.,][0-9]$"));
    if (settings.cleanUpText && line.words.size() > 1 && rating.match(line.words.last().text).hasMatch()
        && letterOrDigitCount(line.words.at(line.words.size() - 2).text) > 1) {
        Line score = line;
        score.words = {line.words.last()};
        score.separatorColumns.clear();
        line.words.removeLast();
        line.separatorColumns.removeIf([&](int x) { return x > line.words.last().box.right(); });
        finishLine(gray, std::move(line), settings, lines);
        finishLine(gray, std::move(score), settings, lines);
        return;
    }
    line.text = joinWithSeparators(line);
    if (settings.cleanUpText)
        line.text = repairAddress(line.text);
    lines->append(line);
}

} // namespace

std::variant<Page, OcrProtocol::Failure> readPage(const QImage& image, const RecognitionSettings& settings)
{
    ThreadEngine& engine = threadEngine();
    if (!engine.ready)
        return OcrProtocol::Failure::languagesMissing;
    tesseract::TessBaseAPI& api = *engine.api;
    api.SetPageSegMode(tesseract::PageSegMode(settings.pageSegmentation));

    Page page;
    QImage gray = toGray(image);
    if (settings.invertDarkImages && meanBrightness(gray) < 110) {
        gray.invertPixels();
        page.inverted = true;
    }

    setImage(api, gray, 1);
    if (settings.minimumXHeight > 0) {
        const double xHeight = typicalXHeight(api);
        if (xHeight > 0 && xHeight < settings.minimumXHeight) {
            double scale = std::min(double(settings.maximumUpscale), settings.minimumXHeight / xHeight);
            scale = std::round(scale * 4) / 4; // quarter steps keep glyph edges regular
            const double pixels = double(gray.width()) * gray.height() * scale * scale;
            const double pixelLimit = 4.0 * double(ScreenshotTextRecognizer::maximumDecodedPixels);
            if (pixels > pixelLimit)
                scale = std::sqrt(pixelLimit / (double(gray.width()) * gray.height()));
            if (scale > 1.05) {
                gray = gray.scaled(int(gray.width() * scale), int(gray.height() * scale), Qt::IgnoreAspectRatio,
                    Qt::SmoothTransformation);
                page.scale = double(gray.width()) / image.width();
                setImage(api, gray, page.scale);
            }
        }
    }
    page.preparedSize = gray.size();

    // Lets a closing window stop the engine, and bounds how long any image may take.
    tesseract::ETEXT_DESC monitor;
    monitor.cancel = [](void* flag, int) { return flag && static_cast<const std::atomic<bool>*>(flag)->load(); };
    monitor.cancel_this = const_cast<std::atomic<bool>*>(settings.cancelled.get());
    monitor.set_deadline_msecs(settings.deadlineMs);

    if (api.Recognize(&monitor) != 0) {
        api.Clear();
        return OcrProtocol::Failure::engineFailed;
    }

    QList<Line> rawLines = collectLines(api, QPoint(0, 0), 1.0);
    if (settings.secondPass)
        rereadDoubtfulLines(api, &monitor, gray, page.scale, settings.secondPassXHeight, &rawLines);
    api.SetPageSegMode(tesseract::PageSegMode(settings.pageSegmentation));
    for (Line& line : rawLines)
        finishLine(gray, std::move(line), settings, &page.lines);
    api.Clear();
    return page;
}

QList<TextObservation> observations(const Page& page, const RecognitionSettings& settings)
{
    QList<TextObservation> result;
    const double width = std::max(1, page.preparedSize.width());
    const double height = std::max(1, page.preparedSize.height());
    for (const Line& line : page.lines) {
        // Fewer than three letters or digits: an icon, a logo's initials or a badge
        // count, which would otherwise pass for the largest text on the page.
        if (letterOrDigitCount(line.text) < settings.minimumLetters)
            continue;
        // Icons and picture fragments read as letters ("mim", "İml") come with a
        // confidence no real line of text gets; addresses are the exception, the
        // engine is never sure of them and they are still worth having.
        const bool address = line.text.contains(QLatin1Char('/')) && line.text.contains(QLatin1Char('.'));
        if (line.confidence < settings.minimumConfidence && !address)
            continue;
        if (settings.cleanUpText && isTruncated(line.text))
            continue;
        TextObservation observation;
        observation.boundingBox.minX = line.box.left() / width;
        observation.boundingBox.width = line.box.width() / width;
        const double measured = settings.heightMeasure == RecognitionSettings::HeightMeasure::capHeight ? line.capHeight
            : settings.heightMeasure == RecognitionSettings::HeightMeasure::rowHeight                   ? line.rowHeight
                                                                                                        : 0;
        if (measured > 0) {
            // From the baseline up to the capital height: lines set in the same font
            // size get the same height whatever letters they hold.
            observation.boundingBox.minY = 1.0 - line.baseline / height;
            observation.boundingBox.height = measured / height;
        } else {
            observation.boundingBox.minY = 1.0 - (line.box.bottom() + 1) / height;
            observation.boundingBox.height = line.box.height() / height;
        }
        observation.topCandidate = RecognizedText {line.text, line.confidence};
        result.append(observation);
    }
    return result;
}

} // namespace TesseractReader
