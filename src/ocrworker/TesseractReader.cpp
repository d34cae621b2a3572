#include "ocrworker/TesseractReader.h"

#include "ocrworker/LineInk.h"
#include "ocrworker/LineText.h"
#include "ocrworker/TesseractEngine.h"
#include "ocrworker/TextPresence.h"

#include <QImage>
#include <QPainter>
#include <QRegularExpression>

#include <tesseract/baseapi.h>
#include <tesseract/ocrclass.h>

#include <algorithm>
#include <cmath>
#include <optional>

namespace TesseractReader {
namespace {

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

// Baseline, x-height and capital height from the line's own pixels, and the middle
// dots between its words.
void measureOnPixels(const QImage& gray, const RecognitionSettings& settings, Line& line)
{
    LineInk ink = analyseInk(gray, line.box);
    if (ink.capHeight > 0) {
        line.baseline = ink.baseline;
        line.xHeight = ink.xHeight;
        line.capHeight = lineCapHeight(ink, line.words);
    }
    if (!settings.restoreSeparators)
        return;
    line.separatorColumns = findSeparatorDots(ink);
    // A dot inside a one-letter word is part of an icon (a magnifier's handle), not a
    // separator; longer words' boxes often swallow the dot after them.
    line.separatorColumns.removeIf([&](int x) {
        return std::any_of(line.words.cbegin(), line.words.cend(), [x](const Word& word) {
            return word.text.size() == 1 && !isSeparatorLookalike(word.text) && x > word.box.left()
                && x < word.box.right();
        });
    });
}

// Where the engine joined pieces of text that stand well apart on the page with no
// separator between them (a field label and its value): the index of the first word
// after the gap, or 0.
qsizetype wideGapAt(const Line& line, const RecognitionSettings& settings)
{
    if (settings.splitGap <= 0 || line.xHeight <= 0)
        return 0;
    const double widest = settings.splitGap * line.xHeight;
    for (qsizetype i = 1; i < line.words.size(); ++i) {
        const int gapStart = line.words.at(i - 1).box.right();
        const int gapEnd = line.words.at(i).box.left();
        const bool separated = std::any_of(line.separatorColumns.cbegin(), line.separatorColumns.cend(),
            [&](int x) { return x > gapStart && x < gapEnd; });
        if (gapEnd - gapStart > widest && !separated)
            return i;
    }
    return 0;
}

double averageConfidence(const QList<Word>& words)
{
    double sum = 0;
    for (const Word& word : words)
        sum += word.confidence;
    return sum / double(words.size());
}

// Review sites set a one-decimal rating right after the employer's name ("Initech
// 3.9 ★"); they are two elements, and a copy of the page gives them as two lines.
bool endsInRating(const Line& line, const RecognitionSettings& settings)
{
    thread_local const QRegularExpression rating(QStringLiteral("^[0-5][.,][0-9]$"));
    return settings.cleanUpText && line.words.size() > 1 && rating.match(line.words.last().text).hasMatch()
        && letterOrDigitCount(line.words.at(line.words.size() - 2).text) > 1;
}

// Measures a line on its pixels, restores its separators and splits it where the
// engine joined pieces of text that stand apart on the page (a company name and its
// rating, a field label and its value).
void finishLine(const QImage& gray, Line line, const RecognitionSettings& settings, QList<Line>* lines)
{
    if (settings.cleanUpText)
        stripJunkWords(&line.words);
    if (line.words.isEmpty())
        return;
    line.box = wordsBox(line.words);
    measureOnPixels(gray, settings, line);
    if (const qsizetype split = wideGapAt(line, settings); split > 0) {
        Line rest = line;
        rest.words = line.words.mid(split);
        line.words = line.words.mid(0, split);
        line.confidence = averageConfidence(line.words);
        rest.confidence = averageConfidence(rest.words);
        line.separatorColumns.clear();
        rest.separatorColumns.clear();
        finishLine(gray, std::move(line), settings, lines);
        finishLine(gray, std::move(rest), settings, lines);
        return;
    }
    if (endsInRating(line, settings)) {
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

// Small text is read better enlarged: layout analysis alone (no recognition) gives
// the typical x-height, and below the minimum the image grows in quarter steps.
void enlargeSmallText(
    tesseract::TessBaseAPI& api, int decodedWidth, const RecognitionSettings& settings, QImage& gray, Page& page)
{
    const double xHeight = typicalXHeight(api);
    if (xHeight <= 0 || xHeight >= settings.minimumXHeight)
        return;
    double scale = std::min(double(settings.maximumUpscale), settings.minimumXHeight / xHeight);
    scale = std::round(scale * 4) / 4; // quarter steps keep glyph edges regular
    const double pixels = double(gray.width()) * gray.height() * scale * scale;
    const double pixelLimit = double(ScreenshotTextRecognizer::maximumDecodedPixels);
    if (pixels > pixelLimit)
        scale = std::sqrt(pixelLimit / (double(gray.width()) * gray.height()));
    if (scale <= 1.05)
        return;
    gray = gray.scaled(
        int(gray.width() * scale), int(gray.height() * scale), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    page.scale = double(gray.width()) / decodedWidth;
    setImage(api, gray, page.scale);
}

} // namespace

std::variant<Page, OcrProtocol::Failure> readPage(QImage image, const RecognitionSettings& settings)
{
    tesseract::TessBaseAPI* engine = threadEngine();
    if (!engine)
        return OcrProtocol::Failure::languagesMissing;
    tesseract::TessBaseAPI& api = *engine;

    Page page;
    QImage gray = toGray(image);
    const int decodedWidth = image.width();
    image = QImage();
    if (settings.invertDarkImages && meanBrightness(gray) < 110) {
        gray.invertPixels();
        page.inverted = true;
    }
    page.preparedSize = gray.size();
    if (!TextPresence::hasTextLikeRegions(gray))
        return page; // no lines: nothing that could be text

    api.SetPageSegMode(tesseract::PageSegMode(settings.pageSegmentation));
    setImage(api, gray, 1);
    if (settings.minimumXHeight > 0)
        enlargeSmallText(api, decodedWidth, settings, gray, page);
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