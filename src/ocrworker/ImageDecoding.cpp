#include "ocrworker/ImageDecoding.h"

#include "model/RegularFile.h"
#include "posting/ScreenshotTextRecognizer.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>

#include <algorithm>
#include <cmath>

namespace ImageDecoding {
namespace {

QImage decodeFirstImage(QImageReader& reader, bool* tooLarge)
{
    reader.setDecideFormatFromContent(true);
    const QSize announced = reader.size();
    if (announced.isValid()) {
        const qint64 pixels = qint64(announced.width()) * announced.height();
        if (pixels <= 0)
            return {};
        if (ScreenshotTextRecognizer::isTooLarge(announced)) {
            if (tooLarge)
                *tooLarge = true;
            return {};
        }
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

QImage decodeFile(const QString& filePath, bool* tooLarge)
{
    QFile file;
    if (!RegularFile::openForReading(filePath, file))
        return {};
    QImageReader reader(&file);
    return decodeFirstImage(reader, tooLarge);
}

QImage decodeBytes(const QByteArray& bytes, bool* tooLarge)
{
    QBuffer buffer;
    buffer.setData(bytes);
    if (!buffer.open(QIODevice::ReadOnly))
        return {};
    QImageReader reader(&buffer);
    return decodeFirstImage(reader, tooLarge);
}

} // namespace ImageDecoding
