#include "posting/OcrProtocol.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QIODevice>

namespace OcrProtocol {
namespace {

constexpr QDataStream::Version streamVersion = QDataStream::Qt_6_4;

QByteArray withHeader(quint32 mark, const QByteArray& body)
{
    QByteArray bytes;
    bytes.reserve(headerSize + body.size());
    QDataStream header(&bytes, QIODevice::WriteOnly);
    header << mark << quint32(body.size());
    bytes += body;
    return bytes;
}

void writeSettings(QDataStream& out, const RecognitionSettings& settings)
{
    out << qint32(settings.pageSegmentation) << settings.invertDarkImages << qint32(settings.minimumXHeight)
        << qint32(settings.maximumUpscale) << settings.restoreSeparators << settings.splitGap << settings.secondPass
        << settings.secondPassXHeight << settings.cleanUpText << qint32(settings.heightMeasure)
        << qint32(settings.minimumLetters) << settings.minimumConfidence;
}

bool readSettings(QDataStream& in, RecognitionSettings& settings)
{
    qint32 pageSegmentation = 0;
    qint32 minimumXHeight = 0;
    qint32 maximumUpscale = 0;
    qint32 heightMeasure = 0;
    qint32 minimumLetters = 0;
    in >> pageSegmentation >> settings.invertDarkImages >> minimumXHeight >> maximumUpscale
        >> settings.restoreSeparators >> settings.splitGap >> settings.secondPass >> settings.secondPassXHeight
        >> settings.cleanUpText >> heightMeasure >> minimumLetters >> settings.minimumConfidence;
    if (in.status() != QDataStream::Ok || heightMeasure < 0 || heightMeasure > 2)
        return false;
    settings.pageSegmentation = pageSegmentation;
    settings.minimumXHeight = minimumXHeight;
    settings.maximumUpscale = maximumUpscale;
    settings.heightMeasure = RecognitionSettings::HeightMeasure(heightMeasure);
    settings.minimumLetters = minimumLetters;
    return true;
}

} // namespace

QByteArray frame(const Request& request)
{
    QByteArray body;
    QDataStream out(&body, QIODevice::WriteOnly);
    out.setVersion(streamVersion);
    out << quint8(request.source) << request.filePath << request.data << request.size << request.bytesPerLine;
    writeSettings(out, request.settings);
    return withHeader(requestMark, body);
}

QByteArray frame(const Response& response)
{
    QByteArray body;
    QDataStream out(&body, QIODevice::WriteOnly);
    out.setVersion(streamVersion);
    out << quint8(response.failure) << qint32(response.observations.size());
    for (const TextObservation& observation : response.observations) {
        const NormalizedBox& box = observation.boundingBox;
        out << box.minX << box.minY << box.width << box.height << observation.topCandidate.has_value();
        if (observation.topCandidate)
            out << observation.topCandidate->string << observation.topCandidate->confidence;
    }
    return withHeader(responseMark, body);
}

std::optional<quint32> bodyLength(const char* header, quint32 mark, quint32 maximumBody)
{
    QDataStream in(QByteArray::fromRawData(header, headerSize));
    quint32 found = 0;
    quint32 length = 0;
    in >> found >> length;
    if (in.status() != QDataStream::Ok || found != mark || length > maximumBody)
        return std::nullopt;
    return length;
}

std::optional<Request> readRequest(const QByteArray& body)
{
    QDataStream in(body);
    in.setVersion(streamVersion);
    Request request;
    quint8 source = 0;
    in >> source >> request.filePath >> request.data >> request.size >> request.bytesPerLine;
    if (in.status() != QDataStream::Ok || source > quint8(Request::Source::pixels)
        || !readSettings(in, request.settings))
        return std::nullopt;
    request.source = Request::Source(source);
    return request;
}

std::optional<Response> readResponse(const QByteArray& body)
{
    QDataStream in(body);
    in.setVersion(streamVersion);
    Response response;
    quint8 failure = 0;
    qint32 count = 0;
    in >> failure >> count;
    if (in.status() != QDataStream::Ok || failure > quint8(lastFailure) || count < 0)
        return std::nullopt;
    response.failure = Failure(failure);
    for (qint32 i = 0; i < count; ++i) {
        TextObservation observation;
        NormalizedBox& box = observation.boundingBox;
        bool hasCandidate = false;
        in >> box.minX >> box.minY >> box.width >> box.height >> hasCandidate;
        if (hasCandidate) {
            RecognizedText candidate;
            in >> candidate.string >> candidate.confidence;
            observation.topCandidate = candidate;
        }
        if (in.status() != QDataStream::Ok)
            return std::nullopt;
        response.observations.append(observation);
    }
    return response;
}

RecognizerError errorFor(Failure failure)
{
    switch (failure) {
    case Failure::unreadableImage: return RecognizerError::unreadableImage();
    case Failure::languagesMissing:
        return RecognizerError::engineFailure(QCoreApplication::translate(
            "RecognizerError", "Text recognition could not start: its Turkish and English language data is missing."));
    case Failure::outOfMemory:
        return RecognizerError::engineFailure(QCoreApplication::translate(
            "RecognizerError", "This image needs more memory than text recognition may use."));
    case Failure::imageTooLarge:
        return RecognizerError::engineFailure(QCoreApplication::translate("RecognizerError",
            "This image is too large for a screenshot (more than 40 million pixels), so it was not read."));
    case Failure::nameNotReadable:
        return RecognizerError::unreadableImage(QCoreApplication::translate(
            "RecognizerError", "The name of this file could not be read, so the file could not be opened."));
    case Failure::noSuchFile:
        return RecognizerError::unreadableImage(QCoreApplication::translate(
            "RecognizerError", "This file was not found; it may have been moved or deleted."));
    case Failure::folder:
        return RecognizerError::unreadableImage(
            QCoreApplication::translate("RecognizerError", "This is a folder, not an image file."));
    case Failure::notRegularFile:
        return RecognizerError::unreadableImage(QCoreApplication::translate(
            "RecognizerError", "This is not an ordinary file (a device or a pipe, for example), so it was not read."));
    case Failure::notPermitted:
        return RecognizerError::unreadableImage(
            QCoreApplication::translate("RecognizerError", "You do not have permission to read this file."));
    case Failure::none:
    case Failure::engineFailed: break;
    }
    return RecognizerError::engineFailure(
        QCoreApplication::translate("RecognizerError", "The text recognition engine could not read this image."));
}

} // namespace OcrProtocol
