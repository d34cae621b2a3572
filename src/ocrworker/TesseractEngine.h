#pragma once

#include "ocrworker/TesseractReader.h"

#include <QList>
#include <QPoint>
#include <QRect>

#include <optional>

class QImage;

namespace tesseract {
class TessBaseAPI;
class ETEXT_DESC;
} // namespace tesseract

// Tesseract itself: the engine each thread keeps, handing it an image, and reading
// its lines back in the prepared image's pixels.
namespace TesseractReader {

// This thread's engine with tur+eng loaded (the first call loads it), or null when
// the language data is missing.
tesseract::TessBaseAPI* threadEngine();

// Hands a grayscale image to the engine, enlarged by `scale` from the screenshot.
void setImage(tesseract::TessBaseAPI& api, const QImage& gray, double scale);

// x-height of the typical text line, from layout analysis alone (no recognition).
double typicalXHeight(tesseract::TessBaseAPI& api);

// The engine's lines with their words. Boxes are mapped from the image the engine
// read (a crop at `origin`, enlarged by `scale`) back to the prepared image.
QList<Line> collectLines(tesseract::TessBaseAPI& api, QPoint origin, double scale);

// Reads one region again as a single line of text, enlarged so that its x-height is
// comfortable for the engine. Empty when the engine finds nothing there.
std::optional<Line> rereadRegion(tesseract::TessBaseAPI& api, tesseract::ETEXT_DESC* monitor, const QImage& gray,
    QRect region, double xHeight, double pageScale, double comfortableXHeight);

} // namespace TesseractReader
