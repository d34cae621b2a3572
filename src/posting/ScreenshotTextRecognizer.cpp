#include "posting/ScreenshotTextRecognizer.h"

#include "posting/OcrProtocol.h"
#include "posting/OcrWorkerClient.h"

#include <QFileInfo>
#include <QImage>

#include <algorithm>
#include <cmath>

namespace {

RecognitionResult linesFrom(const Expected<OcrProtocol::Response, RecognizerError>& response)
{
    if (!response)
        return response.error();
    if (response->failure != OcrProtocol::Failure::none)
        return OcrProtocol::errorFor(response->failure);
    if (response->observations.isEmpty())
        return RecognizerError::noTextFound();
    return ScreenshotTextRecognizer::buildLines(response->observations);
}

} // namespace

RecognitionResult ScreenshotTextRecognizer::recognize(const QString& filePath) const
{
    OcrProtocol::Request request;
    request.source = OcrProtocol::Request::Source::file;
    request.filePath = QFileInfo(filePath).absoluteFilePath();
    request.settings = m_settings;
    return linesFrom(OcrWorkerClient::run(request, m_settings));
}

RecognitionResult ScreenshotTextRecognizer::recognize(const QByteArray& imageData) const
{
    OcrProtocol::Request request;
    request.source = OcrProtocol::Request::Source::encodedBytes;
    request.data = imageData;
    request.settings = m_settings;
    return linesFrom(OcrWorkerClient::run(request, m_settings));
}

RecognitionResult ScreenshotTextRecognizer::recognize(const QImage& image) const
{
    if (image.isNull())
        return RecognizerError::unreadableImage();
    if (isTooLarge(image.size()))
        return OcrProtocol::errorFor(OcrProtocol::Failure::imageTooLarge);
    // Scaled down here, as a file would be while decoding: the worker's memory is
    // for reading the image, not for holding a larger copy of it.
    const QSize size = decodedSize(image.size());
    const QImage pixels
        = (size == image.size() ? image : image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation))
              .convertToFormat(QImage::Format_ARGB32);
    OcrProtocol::Request request;
    request.source = OcrProtocol::Request::Source::pixels;
    request.size = pixels.size();
    request.bytesPerLine = qint32(pixels.bytesPerLine());
    request.data = QByteArray(reinterpret_cast<const char*>(pixels.constBits()), pixels.sizeInBytes());
    request.settings = m_settings;
    return linesFrom(OcrWorkerClient::run(request, m_settings));
}

QSize ScreenshotTextRecognizer::decodedSize(const QSize& size)
{
    const qint64 pixels = qint64(size.width()) * size.height();
    if (pixels <= maximumDecodedPixels)
        return size;
    const double factor = std::sqrt(double(maximumDecodedPixels) / double(pixels));
    return QSize(std::max(1, int(size.width() * factor)), std::max(1, int(size.height() * factor)));
}

void ScreenshotTextRecognizer::stopWorker()
{
    OcrWorkerClient::stopThisThreadsWorker();
}

void ScreenshotTextRecognizer::prepareWorker(const RecognitionSettings& settings)
{
    OcrWorkerClient::prepareWorker(settings);
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
        const NormalizedBox& box = observation.boundingBox;
        line.box = QRectF(box.minX, box.minY, box.width, box.height);
        lines.append(line);
    }
    return lines;
}
