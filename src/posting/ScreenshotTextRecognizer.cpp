#include "posting/ScreenshotTextRecognizer.h"

#include "posting/TesseractReader.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>

#include <algorithm>
#include <cmath>

namespace {

// Decodes the first image only. A header that announces more pixels than recognition
// can use is scaled down while decoding, so a tiny file claiming a gigapixel image
// cannot exhaust memory.
QImage decodeFirstImage(QImageReader& reader)
{
    reader.setDecideFormatFromContent(true);
    const QSize announced = reader.size();
    if (announced.isValid()) {
        const qint64 pixels = qint64(announced.width()) * announced.height();
        if (pixels <= 0)
            return {};
        // Beyond this not even a scaled-down read is worth its memory and time.
        if (pixels > 4 * ScreenshotTextRecognizer::maximumDecodedPixels)
            return {};
        if (pixels > ScreenshotTextRecognizer::maximumDecodedPixels) {
            // Some decoders allocate the full image before scaling it down.
            reader.setAllocationLimit(int(pixels * 4 / (1024 * 1024)) + 1);
            const double factor = std::sqrt(double(ScreenshotTextRecognizer::maximumDecodedPixels) / double(pixels));
            reader.setScaledSize(
                QSize(std::max(1, int(announced.width() * factor)), std::max(1, int(announced.height() * factor))));
        }
    }
    QImage image;
    if (!reader.read(&image))
        return {};
    return image;
}

} // namespace

QImage ScreenshotTextRecognizer::decode(const QString& filePath)
{
    QImageReader reader(filePath);
    return decodeFirstImage(reader);
}

RecognitionResult ScreenshotTextRecognizer::recognize(const QString& filePath) const
{
    const QImage image = decode(filePath);
    if (image.isNull())
        return RecognizerError::unreadableImage();
    return recognize(image);
}

RecognitionResult ScreenshotTextRecognizer::recognize(const QByteArray& imageData) const
{
    QBuffer buffer;
    buffer.setData(imageData);
    if (!buffer.open(QIODevice::ReadOnly))
        return RecognizerError::unreadableImage();
    QImageReader reader(&buffer);
    const QImage image = decodeFirstImage(reader);
    if (image.isNull())
        return RecognizerError::unreadableImage();
    return recognize(image);
}

RecognitionResult ScreenshotTextRecognizer::recognize(const QImage& image) const
{
    if (image.isNull())
        return RecognizerError::unreadableImage();
    auto observed = TesseractReader::observe(image, m_settings);
    if (auto* error = std::get_if<RecognizerError>(&observed))
        return *error;
    auto& observations = std::get<QList<TextObservation>>(observed);
    if (observations.isEmpty())
        return RecognizerError::noTextFound();
    return buildLines(std::move(observations));
}

QList<PostingLine> ScreenshotTextRecognizer::buildLines(QList<TextObservation> observations)
{
    // Top to bottom; boxes whose vertical midpoints are less than 0.01 apart share a
    // visual row and go left to right. Not transitive over long chains of slightly
    // offset boxes, so the stable merge sort defines the order then.
    std::stable_sort(observations.begin(), observations.end(), [](const TextObservation& a, const TextObservation& b) {
        const double aMid = a.boundingBox.midY();
        const double bMid = b.boundingBox.midY();
        if (std::abs(aMid - bMid) >= 0.01)
            return aMid > bMid;
        return a.boundingBox.minX < b.boundingBox.minX;
    });

    double largestHeight = 1.0;
    if (!observations.isEmpty()) {
        largestHeight = std::max_element(
            observations.cbegin(), observations.cend(), [](const TextObservation& a, const TextObservation& b) {
                return a.boundingBox.height < b.boundingBox.height;
            })->boundingBox.height;
    }

    QList<PostingLine> lines;
    lines.reserve(observations.size());
    for (qsizetype i = 0; i < observations.size(); ++i) {
        const TextObservation& observation = observations.at(i);
        if (!observation.topCandidate)
            continue;
        const QString text = observation.topCandidate->string.trimmed();
        if (text.isEmpty())
            continue;
        PostingLine line;
        line.text = text;
        // The order keeps the index in the sorted list, so skipped observations leave
        // gaps that the parser's order thresholds count.
        line.order = int(i);
        if (largestHeight > 0)
            line.relativeHeight = observation.boundingBox.height / largestHeight;
        line.confidence = observation.topCandidate->confidence;
        lines.append(line);
    }
    return lines;
}
