// applywright-ocr: the recognition worker. The application starts it with one end
// of a socket as standard input and output, and sends it one request at a time (an
// image file, encoded image bytes or pixels); it decodes the image, reads it with
// Tesseract and answers with the observations (OcrProtocol). Everything an untrusted
// image can do to a decoder or to the engine happens here, under a memory limit,
// and the application kills this process when a request runs past its deadline.
//
//   applywright-ocr --memory-limit BYTES
//
// It loads its language data as soon as it starts, and ends by itself when its
// input closes (the application went away) or after a few minutes without a request.

#include "model/WorkerPipes.h"
#include "ocrworker/ImageDecoding.h"
#include "ocrworker/TesseractEngine.h"
#include "ocrworker/TesseractReader.h"
#include "posting/OcrProtocol.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QImage>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <new>

#include <poll.h>
#include <unistd.h>

#if defined(__linux__)
#include <sys/prctl.h>
#endif

namespace {

constexpr int idleTimeoutMs = 5 * 60 * 1000;

using WorkerPipes::Read;

QImage imageOf(const OcrProtocol::Request& request, OcrProtocol::Failure& failure)
{
    using Source = OcrProtocol::Request::Source;
    switch (request.source) {
    case Source::file: return ImageDecoding::decodeFile(request.filePath, &failure);
    case Source::encodedBytes: return ImageDecoding::decodeBytes(request.data, &failure);
    case Source::pixels: {
        const QSize size = request.size;
        if (ScreenshotTextRecognizer::isTooLarge(size))
            failure = OcrProtocol::Failure::imageTooLarge;
        if (size.isEmpty() || ScreenshotTextRecognizer::isTooLarge(size) || request.bytesPerLine < size.width() * 4
            || qint64(request.bytesPerLine) * size.height() > request.data.size())
            return {};
        // A copy, scaled down as a decoded file would be: the request's bytes go
        // when it does.
        const QImage pixels(reinterpret_cast<const uchar*>(request.data.constData()), size.width(), size.height(),
            request.bytesPerLine, QImage::Format_ARGB32);
        const QSize decoded = ScreenshotTextRecognizer::decodedSize(size);
        return decoded == size ? pixels.copy()
                               : pixels.scaled(decoded, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    }
    return {};
}

OcrProtocol::Response answer(OcrProtocol::Request request)
{
    OcrProtocol::Response response;
    OcrProtocol::Failure notDecoded = OcrProtocol::Failure::unreadableImage;
    QImage image = imageOf(request, notDecoded);
    request.data.clear();
    if (image.isNull()) {
        response.failure = notDecoded;
        return response;
    }
    // The application's kill at its deadline is the limit; the engine's own would
    // only race it.
    request.settings.deadlineMs = 0;
    auto observed = TesseractReader::observe(std::move(image), request.settings);
    if (auto* failure = std::get_if<OcrProtocol::Failure>(&observed))
        response.failure = *failure;
    else
        response.observations = std::get<QList<TextObservation>>(std::move(observed));
    return response;
}

// Loads the language data and reads a small made-up image once, so that the first
// real image does not pay for what is done only once: the engine's code and the
// decoder's paged in, their first allocations made.
void warmUp()
{
    if (!TesseractReader::threadEngine())
        return;
    // Three short bars on a white strip, encoded and decoded like a screenshot.
    QImage strip(160, 48, QImage::Format_RGB32);
    strip.fill(Qt::white);
    for (int y = 12; y < 36; ++y) {
        auto* row = reinterpret_cast<QRgb*>(strip.scanLine(y));
        for (int left : {40, 64, 88})
            std::fill(row + left, row + left + 4, qRgb(0, 0, 0));
    }
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    strip.save(&buffer, "PNG");
    TesseractReader::observe(ImageDecoding::decodeBytes(png), RecognitionSettings());
}

void limitMemory(const char* bytes)
{
    char* end = nullptr;
    const unsigned long long limit = std::strtoull(bytes, &end, 10);
    if (end == bytes || *end != '\0' || limit == 0)
        return;
    // The data limit counts what the worker allocates (its heap, the engine's
    // language data, the images), not the libraries it maps, so the limit is the
    // memory an image can make it use.
    WorkerPipes::limitDataMemory(limit);
}

} // namespace

int main(int argc, char* argv[])
{
    // First, before any image is seen.
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--memory-limit") == 0)
            limitMemory(argv[i + 1]);
    }
#if defined(__linux__)
    // Ends with the application even when it is killed mid-request.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
#endif
    // A write to an application that went away is an error to return, not a signal.
    ::signal(SIGPIPE, SIG_IGN);
    QCoreApplication application(argc, argv); // image format plugins are found through it
    // The language data loads while the application has nothing to ask yet, so a
    // worker started ahead of time meets its first image ready. Should it not fit
    // the memory limit, the first request tries again and says so.
    try {
        warmUp();
    } catch (const std::bad_alloc&) {
    }

    for (;;) {
        pollfd input {STDIN_FILENO, POLLIN, 0};
        const int ready = ::poll(&input, 1, idleTimeoutMs);
        if (ready == 0)
            return 0; // idle: the application starts a new worker when it needs one
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            return 1;
        }
        char header[OcrProtocol::headerSize];
        const Read headerRead = WorkerPipes::readFully(header, OcrProtocol::headerSize);
        if (headerRead == Read::closed)
            return 0;
        const std::optional<quint32> length = headerRead == Read::complete
            ? OcrProtocol::bodyLength(header, OcrProtocol::requestMark, OcrProtocol::maximumRequestBody)
            : std::nullopt;
        if (!length)
            return 1;
        try {
            QByteArray body(qsizetype(*length), Qt::Uninitialized);
            if (WorkerPipes::readFully(body.data(), body.size()) != Read::complete)
                return 1;
            std::optional<OcrProtocol::Request> request = OcrProtocol::readRequest(body);
            body.clear();
            if (!request)
                return 1;
            if (!WorkerPipes::writeFully(OcrProtocol::frame(answer(std::move(*request)))))
                return 1;
        } catch (const std::bad_alloc&) {
            // Over the memory limit: say so, and end, since the engine may be left
            // half way through its work.
            OcrProtocol::Response response;
            response.failure = OcrProtocol::Failure::outOfMemory;
            WorkerPipes::writeFully(OcrProtocol::frame(response));
            return 3;
        }
    }
}
