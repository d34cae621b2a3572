#include "backup/BackupDocument.h"

#include "backup/BackupCodec.h"
#include "backup/BackupFields.h"
#include "backup/BackupJson.h"
#include "model/Utf8Text.h"

#include <rapidjson/error/en.h>
#include <rapidjson/reader.h>

#include <QStringDecoder>

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#if defined(__linux__)
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace {

using rapidjson::SizeType;
using namespace BackupCodec;
using namespace BackupFields;

// A SAX handler that builds the values as the events arrive, so memory
// follows the size of the data, and any event of the wrong shape stops the parse.

// Far deeper than any backup; values under unknown keys may nest up to here.
constexpr int maxNesting = 512;

// The JSON type of what arrived, for the diagnostic text.
enum class Found { null, boolean, number, string, object, array };

const char* foundName(Found found)
{
    switch (found) {
    case Found::null: return "null";
    case Found::boolean: return "a bool";
    case Found::number: return "a number";
    case Found::string: return "a string";
    case Found::object: return "a dictionary";
    case Found::array: return "an array";
    }
    return "";
}

const char* expectedName(Kind kind)
{
    switch (kind) {
    case Kind::text:
    case Kind::optionalText:
    case Kind::date:
    case Kind::optionalDate:
    case Kind::identifier: return "String";
    case Kind::boolean: return "Bool";
    case Kind::amount: return "Decimal";
    case Kind::integer: return "Int";
    case Kind::applications:
    case Kind::history: return "Array";
    }
    return "";
}

// Where the reader is in the document's fixed shape.
enum class Where { root, rootObject, applications, application, history, change, done };

// The text is parsed in place, and every value is copied out of it as it is read:
// what the parser has passed is never looked at again. Giving those pages back as
// the parse goes on keeps a large file from being held twice, once as bytes and
// once as the values made of them (a file of one long note: its bytes, and the
// note twice as large in UTF-16).
class ConsumedText {
public:
    void setText(const char* begin) { m_released = begin; }

    // Everything before `position` has been read.
    void releaseBefore(const char* position, size_t atLeast = size_t(16) << 20)
    {
#if defined(__linux__)
        static const auto page = uintptr_t(::sysconf(_SC_PAGESIZE));
        const uintptr_t from = (uintptr_t(m_released) + page - 1) / page * page;
        const uintptr_t to = uintptr_t(position) / page * page;
        if (m_released == nullptr || to <= from || to - from < atLeast)
            return;
        // The pages are the buffer's own (private, anonymous): nothing reads them again.
        ::madvise(reinterpret_cast<void*>(from), to - from, MADV_DONTNEED);
        m_released = reinterpret_cast<const char*>(to);
#else
        Q_UNUSED(position);
        Q_UNUSED(atLeast);
#endif
    }

private:
    const char* m_released = nullptr;
};

class DocumentReader : public rapidjson::BaseReaderHandler<rapidjson::UTF8<>, DocumentReader> {
public:
    // The parse position, for giving back what has been read.
    void setStream(const rapidjson::InsituStringStream* stream)
    {
        m_stream = stream;
        m_consumed.setText(stream->src_);
    }

    bool Null()
    {
        return scalar(Found::null, [this](auto& f, auto& r) { return takeNull(f, r); });
    }
    bool Bool(bool value)
    {
        return scalar(Found::boolean, [this, value](auto& f, auto& r) { return takeBool(f, r, value); });
    }
    bool RawNumber(const char* text, SizeType length, bool)
    {
        const std::string_view number(text, length);
        return scalar(Found::number, [this, number](auto& f, auto& r) { return takeNumber(f, r, number); });
    }
    bool String(const char* text, SizeType length, bool)
    {
        const std::string_view string(text, length);
        return scalar(Found::string, [this, string](auto& f, auto& r) { return takeString(f, r, string); });
    }
    // Every number arrives through RawNumber; anything else is a surprise.
    bool Default() { return fail(BackupDecodingError::Kind::dataCorrupted, path(), "Unexpected JSON event."); }

    bool Key(const char* text, SizeType length, bool)
    {
        if (m_skipDepth > 0)
            return true;
        const std::string_view key(text, length);
        int& last = m_lastField[level()];
        switch (m_where) {
        case Where::rootObject: m_field = findField(rootFields, key, last + 1); break;
        case Where::application: m_field = findField(applicationFields, key, last + 1); break;
        case Where::change: m_field = findField(changeFields, key, last + 1); break;
        default: return Default();
        }
        m_skipNext = m_field < 0;
        if (m_field >= 0)
            last = m_field;
        return true;
    }

    bool StartObject()
    {
        if (startSkipped())
            return checkNesting();
        switch (m_where) {
        case Where::root:
            m_where = Where::rootObject;
            m_seen[0] = 0;
            m_lastField[0] = -1;
            return true;
        case Where::applications:
            m_contents.applications.emplace_back();
            m_where = Where::application;
            m_seen[1] = 0;
            m_lastField[1] = -1;
            return true;
        case Where::history:
            m_contents.applications.back().history.emplace_back();
            m_where = Where::change;
            m_seen[2] = 0;
            m_lastField[2] = -1;
            return true;
        case Where::rootObject:
        case Where::application:
        case Where::change: return mismatchForField(Found::object);
        case Where::done: break;
        }
        return Default();
    }

    bool EndObject(SizeType)
    {
        if (m_skipDepth > 0) {
            --m_skipDepth;
            return true;
        }
        switch (m_where) {
        case Where::rootObject:
            if (!checkRequired(rootFields, m_seen[0]))
                return false;
            m_where = Where::done;
            return true;
        case Where::application:
            if (!checkRequired(applicationFields, m_seen[1]))
                return false;
            m_where = Where::applications;
            if (m_stream)
                m_consumed.releaseBefore(m_stream->src_);
            return true;
        case Where::change:
            if (!checkRequired(changeFields, m_seen[2]))
                return false;
            m_where = Where::history;
            return true;
        default: return Default();
        }
    }

    bool StartArray()
    {
        if (startSkipped())
            return checkNesting();
        switch (m_where) {
        case Where::rootObject:
            if (rootFields[m_field].kind == Kind::applications) {
                m_contents.applications.clear(); // a repeated key: the last one counts
                m_seen[0] |= quint32(1) << m_field;
                m_where = Where::applications;
                return true;
            }
            return mismatchForField(Found::array);
        case Where::application:
            if (applicationFields[m_field].kind == Kind::history) {
                m_contents.applications.back().history.clear();
                m_seen[1] |= quint32(1) << m_field;
                m_where = Where::history;
                return true;
            }
            return mismatchForField(Found::array);
        case Where::change: return mismatchForField(Found::array);
        case Where::root:
        case Where::applications:
        case Where::history: return mismatchForElement(Found::array);
        case Where::done: break;
        }
        return Default();
    }

    bool EndArray(SizeType)
    {
        if (m_skipDepth > 0) {
            --m_skipDepth;
            return true;
        }
        switch (m_where) {
        case Where::applications: m_where = Where::rootObject; return true;
        case Where::history: m_where = Where::application; return true;
        default: return Default();
        }
    }

    // Set when the text holds a \uD800 to \uDFFF escape, the only way an encoded
    // surrogate can reach a string once the bytes have passed the UTF-8 check.
    void setCheckSurrogates(bool check) { m_checkSurrogates = check; }
    bool finished() const { return m_where == Where::done; }
    BackupFileContents takeContents() { return std::move(m_contents); }
    const std::optional<BackupDecodingError>& error() const { return m_error; }

private:
    // A scalar value: skipped, handed to the field it belongs to, or the wrong thing here.
    template <typename Take> bool scalar(Found found, Take take)
    {
        if (m_skipDepth > 0)
            return true;
        if (m_skipNext) {
            m_skipNext = false;
            return true;
        }
        switch (m_where) {
        case Where::rootObject: return take(rootFields[m_field], m_contents) && markSeen(0);
        case Where::application: return take(applicationFields[m_field], m_contents.applications.back()) && markSeen(1);
        case Where::change:
            return take(changeFields[m_field], m_contents.applications.back().history.back()) && markSeen(2);
        case Where::root:
        case Where::applications:
        case Where::history: return mismatchForElement(found);
        case Where::done: break;
        }
        return Default();
    }

    // 0, 1, 2 for the root, an application and a history entry.
    int level() const { return m_where == Where::application ? 1 : (m_where == Where::change ? 2 : 0); }

    bool markSeen(int objectLevel)
    {
        m_seen[objectLevel] |= quint32(1) << m_field;
        return true;
    }

    // The start of an object or array that belongs to a skipped value.
    bool startSkipped()
    {
        if (m_skipDepth > 0) {
            ++m_skipDepth;
            return true;
        }
        if (m_skipNext) {
            m_skipNext = false;
            m_skipDepth = 1;
            return true;
        }
        return false;
    }

    bool checkNesting()
    {
        if (int(m_where) + m_skipDepth > maxNesting)
            return fail(BackupDecodingError::Kind::dataCorrupted, path(), "The data is nested too deeply.");
        return true;
    }

    template <typename Record> bool takeNull(const Field<Record>& field, Record& record)
    {
        switch (field.kind) {
        case Kind::optionalText: (record.*field.optionalText).reset(); return true;
        case Kind::optionalDate: (record.*field.optionalDate).reset(); return true;
        case Kind::amount: (record.*field.amount).reset(); return true;
        default:
            return fail(BackupDecodingError::Kind::valueNotFound, path(field.key),
                QStringLiteral("Expected %1 value but found null instead.")
                    .arg(QLatin1StringView(expectedName(field.kind))));
        }
    }

    template <typename Record> bool takeBool(const Field<Record>& field, Record& record, bool value)
    {
        if (field.kind != Kind::boolean)
            return mismatch(field, Found::boolean);
        record.*field.boolean = value;
        return true;
    }

    template <typename Record> bool takeNumber(const Field<Record>& field, Record& record, std::string_view text)
    {
        if (field.kind == Kind::amount) {
            // Decimal refuses absurd lengths and exponents before it allocates for them.
            std::optional<Decimal> amount = Decimal::parse(text);
            if (!amount)
                return corrupt(
                    field, QStringLiteral("Parsed JSON number <%1> is not a valid amount.").arg(excerpt(text)));
            record.*field.amount = std::move(amount);
            return true;
        }
        if (field.kind == Kind::integer) {
            qint64 value = 0;
            const auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), value);
            if (status != std::errc() || end != text.data() + text.size())
                return corrupt(
                    field, QStringLiteral("Parsed JSON number <%1> does not fit in Int.").arg(excerpt(text)));
            record.*field.integer = value;
            return true;
        }
        return mismatch(field, Found::number);
    }

    template <typename Record> bool takeString(const Field<Record>& field, Record& record, std::string_view text)
    {
        switch (field.kind) {
        case Kind::text:
            if (field.shared)
                return sharedText(field, text, record.*field.text);
            return toQString(field, text, record.*field.text);
        case Kind::optionalText: {
            QString value;
            if (!(field.shared ? sharedText(field, text, value) : toQString(field, text, value)))
                return false;
            record.*field.optionalText = std::move(value);
            return true;
        }
        case Kind::date:
        case Kind::optionalDate: {
            std::optional<QDateTime> date = parseBackupDate(text);
            if (!date)
                return corrupt(field, QStringLiteral("Tarih çözümlenemedi: ") + excerpt(text));
            if (field.kind == Kind::date)
                record.*field.date = *date;
            else
                record.*field.optionalDate = std::move(date);
            return true;
        }
        case Kind::identifier: {
            const std::optional<QUuid> id = parseUuid(text);
            if (!id)
                return corrupt(field, QStringLiteral("Attempted to decode UUID from invalid UUID string."));
            record.*field.identifier = *id;
            return true;
        }
        default: return mismatch(field, Found::string);
        }
    }

    // A raw vocabulary value: the same few texts in every record, kept once each.
    template <typename Record> bool sharedText(const Field<Record>& field, std::string_view text, QString& out)
    {
        for (const auto& [bytes, string] : m_sharedTexts) {
            if (bytes == text) {
                out = string;
                return true;
            }
        }
        if (!toQString(field, text, out))
            return false;
        // Bounded: a file full of distinct values simply stops being shared.
        if (m_sharedTexts.size() < 64 && text.size() <= 64)
            m_sharedTexts.emplace_back(std::string(text), out);
        return true;
    }

    // The bytes are valid UTF-8, but the parser turns a \uDC00 escape on its own into
    // an encoded surrogate, which is no character at all.
    template <typename Record> bool toQString(const Field<Record>& field, std::string_view text, QString& out)
    {
        const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
        const size_t size = text.size();
        for (const void* hit = m_checkSurrogates ? std::memchr(bytes, 0xED, size) : nullptr; hit;) {
            const auto at = size_t(static_cast<const unsigned char*>(hit) - bytes);
            if (at + 1 < size && bytes[at + 1] >= 0xA0)
                return corrupt(field, QStringLiteral("The string holds an unpaired surrogate."));
            hit = at + 1 < size ? std::memchr(bytes + at + 1, 0xED, size - at - 1) : nullptr;
        }
        constexpr size_t chunk = size_t(1) << 20;
        if (size <= chunk) {
            out = textFromUtf8(QByteArrayView(text.data(), qsizetype(size)));
            return true;
        }
        // A long text is converted a piece at a time, each piece's bytes given back
        // once it is converted, so the bytes and the text are not held together.
        out.resize(qsizetype(size)); // UTF-16 never needs more units than UTF-8 bytes
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
        QChar* end = out.data();
        for (size_t at = 0; at < size; at += chunk) {
            const size_t length = std::min(chunk, size - at);
            end = decoder.appendToBuffer(end, QByteArrayView(text.data() + at, qsizetype(length)));
            m_consumed.releaseBefore(text.data() + at + length, chunk);
        }
        out.truncate(end - out.constData());
        return true;
    }

    template <typename Record> bool corrupt(const Field<Record>& field, QString description)
    {
        return fail(BackupDecodingError::Kind::dataCorrupted, path(field.key), std::move(description));
    }

    template <typename Record> bool mismatch(const Field<Record>& field, Found found)
    {
        return fail(BackupDecodingError::Kind::typeMismatch, path(field.key),
            QStringLiteral("Expected to decode %1 but found %2 instead.")
                .arg(QLatin1StringView(expectedName(field.kind)), QLatin1StringView(foundName(found))));
    }

    // An object or array under a known key that wants something else.
    bool mismatchForField(Found found)
    {
        switch (m_where) {
        case Where::rootObject: return mismatch(rootFields[m_field], found);
        case Where::application: return mismatch(applicationFields[m_field], found);
        case Where::change: return mismatch(changeFields[m_field], found);
        default: return Default();
        }
    }

    // The root and the elements of both lists must be objects.
    bool mismatchForElement(Found found)
    {
        const auto kind
            = found == Found::null ? BackupDecodingError::Kind::valueNotFound : BackupDecodingError::Kind::typeMismatch;
        return fail(kind, path() + elementSuffix(),
            QStringLiteral("Expected to decode Dictionary but found %1 instead.")
                .arg(QLatin1StringView(foundName(found))));
    }

    template <typename Record, size_t N> bool checkRequired(const std::array<Field<Record>, N>& fields, quint32 seen)
    {
        const quint32 missing = requiredMask(fields) & ~seen;
        if (missing == 0)
            return true;
        const int first = std::countr_zero(missing);
        return fail(BackupDecodingError::Kind::keyNotFound, path(),
            QStringLiteral("No value associated with key \"%1\".").arg(QLatin1StringView(fields[first].key)));
    }

    // The path of the current position, e.g. applications[2].history[0], plus `key`.
    QString path(std::string_view key = {}) const
    {
        QString result;
        const auto index
            = [](qsizetype i) -> QString { return QLatin1Char('[') + QString::number(i) + QLatin1Char(']'); };
        if (m_where >= Where::applications && m_where != Where::done)
            result += QStringLiteral("applications");
        if (m_where >= Where::application && m_where != Where::done)
            result += index(m_contents.applications.size() - 1);
        if (m_where >= Where::history && m_where != Where::done)
            result += QStringLiteral(".history");
        if (m_where == Where::change)
            result += index(m_contents.applications.back().history.size() - 1);
        if (!key.empty())
            result += (result.isEmpty() ? QString() : QStringLiteral(".")) + QLatin1StringView(key);
        return result;
    }

    QString elementSuffix() const
    {
        if (m_where == Where::applications)
            return QLatin1Char('[') + QString::number(m_contents.applications.size()) + QLatin1Char(']');
        if (m_where == Where::history)
            return QLatin1Char('[') + QString::number(m_contents.applications.back().history.size()) + QLatin1Char(']');
        return {};
    }

    // The start of a value for a diagnostic: enough to recognise it, and never the
    // whole of a value that may be hundreds of megabytes long.
    static QString excerpt(std::string_view text)
    {
        constexpr size_t shown = 40;
        if (text.size() <= shown)
            return QString::fromUtf8(text.data(), qsizetype(text.size()));
        size_t cut = shown;
        while (cut > 0 && (uchar(text[cut]) & 0xC0) == 0x80)
            --cut; // not inside a character
        return QString::fromUtf8(text.data(), qsizetype(cut)) + QStringLiteral("…");
    }

    bool fail(BackupDecodingError::Kind kind, QString codingPath, QString description)
    {
        m_error = BackupDecodingError(kind, std::move(codingPath), std::move(description));
        return false;
    }

    BackupFileContents m_contents;
    Where m_where = Where::root;
    int m_field = -1; // the table index of the key just read
    int m_lastField[3] = {-1, -1, -1}; // the last key found in the current root, application and history objects
    bool m_checkSurrogates = true;
    std::vector<std::pair<std::string, QString>> m_sharedTexts;
    bool m_skipNext = false; // the next value belongs to an unknown key
    int m_skipDepth = 0; // > 0 inside a skipped object or array
    quint32 m_seen[3] = {}; // keys present in the current root, application and history objects
    std::optional<BackupDecodingError> m_error;
    const rapidjson::InsituStringStream* m_stream = nullptr;
    ConsumedText m_consumed;
};

// A \uD800 to \uDFFF escape anywhere in the text (a \\ before the u is counted
// too, which only costs a check that was not needed).
bool hasSurrogateEscape(std::string_view text)
{
    for (size_t at = text.find('\\'); at != std::string_view::npos; at = text.find('\\', at + 1)) {
        if (at + 3 < text.size() && text[at + 1] == 'u' && (text[at + 2] == 'd' || text[at + 2] == 'D')
            && std::strchr("89abcdefABCDEF", text[at + 3]) && text[at + 3] != '\0')
            return true;
    }
    return false;
}

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

    DocumentReader handler;
    handler.setCheckSurrogates(hasSurrogateEscape(text));
    rapidjson::Reader reader;
    rapidjson::InsituStringStream stream(begin);
    handler.setStream(&stream);
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
