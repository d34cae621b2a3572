#pragma once

#include "posting/OcrProtocol.h"

#include <QByteArray>
#include <QImage>
#include <QString>

// Decoding untrusted images: only the first image of a file, and never more pixels
// than recognition can use (ScreenshotTextRecognizer::maximumDecodedPixels). A header
// that announces more is scaled down while decoding; one larger than any screenshot
// is refused before decoding. Null when the file or the bytes give no image this
// build can decode, and then `failure` says why.
namespace ImageDecoding {

// A regular file only: a named pipe or a device is refused before it is opened.
QImage decodeFile(const QString& filePath, OcrProtocol::Failure* failure = nullptr);
QImage decodeBytes(const QByteArray& bytes, OcrProtocol::Failure* failure = nullptr);

} // namespace ImageDecoding
