#include "backup/BackupDocument.h"

#include "backup/BackupDocumentReader.h"

#include <rapidjson/error/en.h>

#include <string_view>

namespace {

BackupDecodingError notJson(const QString& why)
{
    return BackupDecodingError(BackupDecodingError::Kind::dataCorrupted, QString(),
        QStringLiteral("The given data was not valid JSON. ") + why);
}

} // namespace

Expected<BackupFileContents, BackupReadError> decodeBackup(const QByteArray& bytes)
{
    return decodeBackup(QByteArray(bytes));
}

Expected<BackupFileContents, BackupReadError> decodeBackup(QByteArray&& bytes)
{
    // The text is parsed in place, so it must be writable and end in a NUL: data()
    // gives that, copying only a buffer that is shared or raw data.
    QByteArray buffer = std::move(bytes);
    const qsizetype size = buffer.size();
    char* begin = buffer.data();

    // A byte-order mark is no part of JSON, but editors write one; it says nothing here.
    if (std::string_view(begin, size_t(size)).starts_with("\xEF\xBB\xBF"))
        begin += 3;
    const std::string_view text(begin, size_t(buffer.constData() + size - begin));
    // JSON never holds a raw NUL, and the parser would take one for the end of the text.
    if (text.find('\0') != std::string_view::npos)
        return BackupReadError(notJson(QStringLiteral("It contains a NUL byte.")));
    // JSON text is UTF-8 throughout; checked once here rather than string by string.
    if (!QByteArrayView(text.data(), qsizetype(text.size())).isValidUtf8())
        return BackupReadError(notJson(QStringLiteral("It is not valid UTF-8.")));

    BackupReading::DocumentReader handler;
    rapidjson::Reader reader;
    rapidjson::InsituStringStream stream(begin);
    handler.start(stream, BackupTextReader::holdsSurrogateEscape(text));
    constexpr unsigned flags
        = rapidjson::kParseInsituFlag | rapidjson::kParseIterativeFlag | rapidjson::kParseNumbersAsStringsFlag;
    const rapidjson::ParseResult parsed = reader.Parse<flags>(stream, handler);
    if (handler.error())
        return BackupReadError(*handler.error());
    if (parsed.IsError() || !handler.finished()) {
        return BackupReadError(notJson(QString::fromLatin1(rapidjson::GetParseError_En(parsed.Code()))
            + QStringLiteral(" (at byte ") + QString::number(parsed.Offset()) + QLatin1Char(')')));
    }

    BackupFileContents contents = handler.takeContents();
    if (contents.format != QLatin1StringView(BackupFileContents::formatMarker))
        return BackupReadError(BackupError::notABackupFile());
    if (contents.formatVersion > BackupFileContents::currentFormatVersion)
        return BackupReadError(BackupError::newerFormat(contents.formatVersion));
    return contents;
}
