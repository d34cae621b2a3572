#pragma once

#include "posting/RecognizerError.h"
#include "posting/ScreenshotTextRecognizer.h"

#include <QByteArray>
#include <QList>
#include <QSize>
#include <QString>

#include <optional>

// What passes between the application and its recognition worker (applywright-ocr)
// over their socket: one request, then one response. Each is a frame: a 4-byte
// mark, the 4-byte length of the body, then the body (a QDataStream). Both sides
// refuse a frame that is not marked or is longer than its limit, so neither can make
// the other allocate without bound.
namespace OcrProtocol {

constexpr quint32 requestMark = 0x41574f51; // "AWOQ"
constexpr quint32 responseMark = 0x41574f52; // "AWOR"
constexpr int headerSize = 8;
// Room for the pixels of the largest image recognition reads, with margin.
constexpr quint32 maximumRequestBody = 1u << 30;
// Far more text than any screenshot holds.
constexpr quint32 maximumResponseBody = 64u << 20;

// Why the worker produced no observations.
enum class Failure : quint8 {
    none,
    unreadableImage,
    languagesMissing,
    engineFailed,
    outOfMemory,
    imageTooLarge, // larger than any screenshot
    // A file that could not be opened, by the reason the person is told.
    nameNotReadable, // not valid text where the name came from, so no file has it
    noSuchFile,
    folder,
    notRegularFile, // a pipe, a device, a socket
    notPermitted,
};
constexpr Failure lastFailure = Failure::notPermitted;

struct Request {
    enum class Source : quint8 {
        file, // the worker opens and decodes `filePath`
        encodedBytes, // the worker decodes `data` (PNG, TIFF, ...)
        pixels, // `data` holds ARGB32 rows of `size`, `bytesPerLine` apart
    };
    Source source = Source::file;
    QString filePath;
    QByteArray data;
    QSize size;
    qint32 bytesPerLine = 0;
    // The tuning settings; the cancel flag, the deadline and the worker's own
    // settings stay with the caller.
    RecognitionSettings settings;
};

struct Response {
    Failure failure = Failure::none;
    // Normalised, lower-left boxes in the worker's reading of the page.
    QList<TextObservation> observations;
};

// Whole frames, header included.
QByteArray frame(const Request& request);
QByteArray frame(const Response& response);

// The body length a header announces, or none when it is not a header of `mark`
// or announces more than `maximumBody`.
std::optional<quint32> bodyLength(const char* header, quint32 mark, quint32 maximumBody);

std::optional<Request> readRequest(const QByteArray& body);
std::optional<Response> readResponse(const QByteArray& body);

// What the person is told for a failure of the worker's.
RecognizerError errorFor(Failure failure);

} // namespace OcrProtocol
