#include "ocrworker/ImageDecoding.h"

#include "model/RegularFile.h"
#include "posting/ScreenshotTextRecognizer.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>

#include <algorithm>
#include <cerrno>
#include <cmath>

#include <sys/stat.h>
#include <unistd.h>

namespace ImageDecoding {
namespace {

using OcrProtocol::Failure;

// Why a file could not be opened, in terms the person can act on. Looked at only
// after opening failed, never followed by an open.
Failure whyNotOpened(const QString& filePath)
{
    const QByteArray name = QFile::encodeName(filePath);
    struct stat status { };
    if (::stat(name.constData(), &status) != 0) {
        if (errno == EACCES)
            return Failure::notPermitted;
        if (errno != ENOENT && errno != ENOTDIR)
            return Failure::unreadableImage;
        // A name in bytes that are not valid text reached us with replacement
        // characters in their place, and no file is called that.
        return filePath.contains(QChar::ReplacementCharacter) ? Failure::nameNotReadable : Failure::noSuchFile;
    }
    if (S_ISDIR(status.st_mode))
        return Failure::folder;
    if (!S_ISREG(status.st_mode))
        return Failure::notRegularFile;
    if (::access(name.constData(), R_OK) != 0)
        return Failure::notPermitted;
    return Failure::unreadableImage;
}

QImage refuse(Failure reason, Failure* failure)
{
    if (failure)
        *failure = reason;
    return {};
}

QImage decodeFirstImage(QImageReader& reader, Failure* failure)
{
    reader.setDecideFormatFromContent(true);
    const QSize announced = reader.size();
    if (announced.isValid()) {
        const qint64 pixels = qint64(announced.width()) * announced.height();
        if (pixels <= 0)
            return refuse(Failure::unreadableImage, failure);
        if (ScreenshotTextRecognizer::isTooLarge(announced))
            return refuse(Failure::imageTooLarge, failure);
        if (pixels > ScreenshotTextRecognizer::maximumDecodedPixels) {
            // Some decoders allocate the full image before scaling it down.
            reader.setAllocationLimit(int(pixels * 4 / (1024 * 1024)) + 1);
            reader.setScaledSize(ScreenshotTextRecognizer::decodedSize(announced));
        }
    }
    QImage image;
    if (!reader.read(&image))
        return refuse(Failure::unreadableImage, failure);
    // A format that does not announce its size is scaled down once it is read.
    if (const QSize size = ScreenshotTextRecognizer::decodedSize(image.size()); size != image.size()) {
        if (ScreenshotTextRecognizer::isTooLarge(image.size()))
            return refuse(Failure::imageTooLarge, failure);
        image = image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    return image;
}

} // namespace

QImage decodeFile(const QString& filePath, Failure* failure)
{
    QFile file;
    if (!RegularFile::openForReading(filePath, file))
        return refuse(whyNotOpened(filePath), failure);
    QImageReader reader(&file);
    return decodeFirstImage(reader, failure);
}

QImage decodeBytes(const QByteArray& bytes, Failure* failure)
{
    QBuffer buffer;
    buffer.setData(bytes);
    if (!buffer.open(QIODevice::ReadOnly))
        return refuse(Failure::unreadableImage, failure);
    QImageReader reader(&buffer);
    return decodeFirstImage(reader, failure);
}

} // namespace ImageDecoding
