#include "ocrworker/TesseractEngine.h"

#include "model/Utf8Text.h"

#include <QImage>

#include <tesseract/baseapi.h>
#include <tesseract/ocrclass.h>
#include <tesseract/resultiterator.h>

#include <algorithm>
#include <cmath>
#include <memory>

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

QString takeText(char* text)
{
    const QString result = textFromUtf8(text).trimmed();
    delete[] text;
    return result;
}

double median(QList<double> values)
{
    if (values.isEmpty())
        return 0;
    const auto middle = values.begin() + values.size() / 2;
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

} // namespace

tesseract::TessBaseAPI* threadEngine()
{
    thread_local ThreadEngine engine;
    return engine.ready ? engine.api.get() : nullptr;
}

void setImage(tesseract::TessBaseAPI& api, const QImage& gray, double scale)
{
    api.SetImage(gray.constBits(), gray.width(), gray.height(), 1, int(gray.bytesPerLine()));
    // Screenshots are 96 dpi at scale 1; saying so spares the engine its estimate.
    api.SetSourceResolution(std::max(70, int(std::lround(96 * scale))));
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

} // namespace TesseractReader
