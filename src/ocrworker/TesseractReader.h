#pragma once

#include "posting/OcrProtocol.h"
#include "posting/ScreenshotTextRecognizer.h"

#include <QImage>
#include <QList>
#include <QRect>
#include <QString>

#include <variant>

// The Tesseract side of screenshot recognition: prepares the image, runs the engine
// (one loaded engine per thread) and reads its lines back. It runs in the
// recognition worker (applywright-ocr); the probe tool also uses the line-level view
// in its own process, for measurements.
namespace TesseractReader {

struct Word {
    QString text;
    double confidence = 0; // 0..1
    QRect box; // pixels of the prepared image, top-left origin
};

struct Line {
    QList<Word> words;
    QRect box; // Tesseract's line box, prepared-image pixels
    double baseline = 0; // y of the baseline, prepared-image pixels
    double xHeight = 0;
    double capHeight = 0; // baseline to the top of capitals and ascenders, from the pixels
    double rowHeight = 0; // the same as Tesseract's layout analysis estimates it
    double confidence = 0; // 0..1
    QList<int> separatorColumns; // x of the middle dots found between words
    QString text; // words joined, with separators restored when enabled
};

struct Page {
    QList<Line> lines;
    QSize preparedSize; // size of the image Tesseract read
    double scale = 1; // prepared size / decoded size
    bool inverted = false;
};

// Takes the image by value: once it is turned to grayscale, the caller's last
// reference to the colour pixels is the one that frees them.
std::variant<Page, OcrProtocol::Failure> readPage(QImage image, const RecognitionSettings& settings);

// The page's lines as normalised, lower-left observations.
QList<TextObservation> observations(const Page& page, const RecognitionSettings& settings);

inline std::variant<QList<TextObservation>, OcrProtocol::Failure> observe(
    QImage image, const RecognitionSettings& settings)
{
    auto page = readPage(std::move(image), settings);
    if (auto* failure = std::get_if<OcrProtocol::Failure>(&page))
        return *failure;
    return observations(std::get<Page>(page), settings);
}

} // namespace TesseractReader
