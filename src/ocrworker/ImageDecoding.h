#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// Decoding untrusted images: only the first image of a file, and never more pixels
// than recognition can use (ScreenshotTextRecognizer::maximumDecodedPixels). A header
// that announces more is scaled down while decoding; one larger than any screenshot
// is refused before decoding, and `tooLarge` says so. Null when the bytes are not an
// image this build can decode.
namespace ImageDecoding {

// A regular file only: a named pipe or a device is refused before it is opened.
QImage decodeFile(const QString& filePath, bool* tooLarge = nullptr);
QImage decodeBytes(const QByteArray& bytes, bool* tooLarge = nullptr);

} // namespace ImageDecoding
