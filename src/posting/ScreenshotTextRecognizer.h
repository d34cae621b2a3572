#pragma once

#include "model/Expected.h"
#include "posting/PostingLine.h"
#include "posting/RecognizerError.h"

#include <QByteArray>
#include <QList>
#include <QSize>
#include <QString>

#include <atomic>
#include <memory>
#include <optional>

class QImage;

// A box in normalised image coordinates: 0..1 on both axes, origin at the lower-left
// corner, so a larger minY is higher up in the image.
struct NormalizedBox {
    double minX = 0;
    double minY = 0;
    double width = 0;
    double height = 0;

    double midY() const { return minY + height / 2; }

    friend bool operator==(const NormalizedBox&, const NormalizedBox&) = default;
};

// One reading of a piece of text, with the engine's confidence in it (0..1).
struct RecognizedText {
    QString string;
    double confidence = 0;
};

// One piece of text the engine found: where it is and its best reading, if any.
struct TextObservation {
    NormalizedBox boundingBox;
    std::optional<RecognizedText> topCandidate;
};

// The lines of a screenshot, or why there are none.
using RecognitionResult = Expected<QList<PostingLine>, RecognizerError>;

// How recognition prepares an image and reads Tesseract's result. The defaults are the
// settings measured best on job-board screenshots (bench/README.md); the other values
// stay selectable so the measurements can be repeated.
struct RecognitionSettings {
    enum class HeightMeasure {
        // Tesseract's line box: includes ascenders, descenders and padding.
        lineBox,
        // x-height plus ascenders from Tesseract's layout analysis.
        rowHeight,
        // Baseline to the top of capitals and ascenders, measured on the line's pixels:
        // the same for every line set in the same font size.
        capHeight,
    };

    // Tesseract page segmentation mode; 11 (sparse text) keeps side-by-side columns apart.
    int pageSegmentation = 11;
    // Invert screenshots whose average brightness says dark theme.
    bool invertDarkImages = true;
    // Enlarge the image so that the typical x-height reaches this many pixels
    // (0: never enlarge).
    int minimumXHeight = 12;
    // Largest enlargement factor.
    int maximumUpscale = 3;
    // Put back the middle dots between the parts of metadata lines that the engine
    // drops or misreads.
    bool restoreSeparators = true;
    // Split a line where two words stand more than this many x-heights apart
    // (0: keep the engine's lines, which measured as well).
    double splitGap = 0;
    // Read words that the layout analysis cut into fragments once more, together, as a
    // single line at a comfortable size.
    bool secondPass = true;
    // The x-height, in pixels, the second pass enlarges those lines to.
    double secondPassXHeight = 20;
    // Drop icons read as letters at the ends of lines, lines cut off with an ellipsis,
    // split ratings from names and repair web addresses.
    bool cleanUpText = true;
    HeightMeasure heightMeasure = HeightMeasure::capHeight;
    // Lines with fewer letters and digits are icons, logo initials and counters.
    int minimumLetters = 3;
    // Lines the engine is less sure of are picture fragments (web addresses excepted).
    double minimumConfidence = 0.5;
    // Set to true to stop a recognition that is running (the window is closing).
    std::shared_ptr<const std::atomic<bool>> cancelled;
    // No screenshot takes this long; past it the recognition is stopped.
    int deadlineMs = 120000;
    // The worker program that decodes and reads the image; empty: applywright-ocr
    // beside the running program.
    QString workerProgram;
    // The most memory the worker may allocate (its heap and other private memory,
    // language data included); an image that needs more fails.
    qint64 memoryLimitBytes = qint64(256) << 20;
};

// Turns a screenshot into its lines of text in reading order, each with its size
// relative to the largest text and the engine's confidence. Runs synchronously and
// may take seconds, so callers run it off the main thread; any number may run at once
// on different threads. The image is decoded and read in a worker process of the
// calling thread's own (see OcrWorkerClient): a deadline or a cancel kills it, and
// its crash is a failure like any other.
class ScreenshotTextRecognizer {
public:
    ScreenshotTextRecognizer() = default;
    explicit ScreenshotTextRecognizer(const RecognitionSettings& settings)
        : m_settings(settings)
    {
    }

    RecognitionResult recognize(const QString& filePath) const;
    RecognitionResult recognize(const QByteArray& imageData) const;
    RecognitionResult recognize(const QImage& image) const;
    static bool isTooLarge(const QSize& size) { return qint64(size.width()) * size.height() > maximumScreenshotPixels; }

    // The observations in reading order turned into lines: sizes relative to the
    // tallest box, blank readings skipped without closing the gap in the order numbers.
    static QList<PostingLine> buildLines(QList<TextObservation> observations);

    // Images are read at most this large (a 4K screen); bigger ones are scaled down
    // while decoding, and small text is enlarged no further. It bounds the engine's
    // memory: a screen full of small text at this size needs about 100 MB.
    static constexpr qint64 maximumDecodedPixels = 3840LL * 2160LL;
    // The size an image of `size` is read at: itself, or scaled down to the maximum.
    static QSize decodedSize(const QSize& size);
    // No screen makes a screenshot this large (an 8K display gives 33 million pixels):
    // a bigger image is refused with its own message rather than read.
    static constexpr qint64 maximumScreenshotPixels = 40'000'000;

    // Ends the calling thread's recognition worker; the next recognition on the
    // thread starts a new one.
    static void stopWorker();
    // Starts a recognition worker now, while nothing waits for it, so the first
    // recognition (on any thread) finds its language data loaded. Call it from the
    // main thread: the worker ends with the thread that started it.
    static void prepareWorker(const RecognitionSettings& settings = {});

private:
    RecognitionSettings m_settings;
};
