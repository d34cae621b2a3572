#include "backup/BackupDocumentReader.h"

#include "backup/BackupCodec.h"
#include "backup/BackupDocument.h"

#include <bit>
#include <charconv>
#include <utility>

namespace BackupReading {

using namespace BackupCodec;
using namespace BackupFields;

namespace {

// Far deeper than any backup; values under unknown keys may nest up to here.
constexpr int maxNesting = 512;

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

QString unpairedSurrogate()
{
    return QStringLiteral("The string holds an unpaired surrogate.");
}

const char* expectedName(Kind kind)
{
    switch (kind) {
    case Kind::text:
    case Kind::longText:
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

} // namespace

void DocumentReader::start(const rapidjson::InsituStringStream& stream, bool checkSurrogates)
{
    m_stream = &stream;
    m_texts.emplace(stream.src_, checkSurrogates);
}

bool DocumentReader::Null()
{
    return scalar(Found::null, [this](auto& f, auto& r) { return takeNull(f, r); });
}

bool DocumentReader::Bool(bool value)
{
    return scalar(Found::boolean, [this, value](auto& f, auto& r) { return takeBool(f, r, value); });
}

bool DocumentReader::RawNumber(const char* text, SizeType length, bool)
{
    const std::string_view number(text, length);
    return scalar(Found::number, [this, number](auto& f, auto& r) { return takeNumber(f, r, number); });
}

bool DocumentReader::String(const char* text, SizeType length, bool)
{
    const std::string_view string(text, length);
    return scalar(Found::string, [this, string](auto& f, auto& r) { return takeString(f, r, string); });
}

bool DocumentReader::Key(const char* text, SizeType length, bool)
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

bool DocumentReader::StartObject()
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

bool DocumentReader::EndObject(SizeType)
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
            m_texts->releaseBefore(m_stream->src_);
        return true;
    case Where::change:
        if (!checkRequired(changeFields, m_seen[2]))
            return false;
        m_where = Where::history;
        return true;
    default: return Default();
    }
}

bool DocumentReader::StartArray()
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

bool DocumentReader::EndArray(SizeType)
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

// A scalar value: skipped, handed to the field it belongs to, or the wrong thing here.
template <typename Take> bool DocumentReader::scalar(Found found, Take take)
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

bool DocumentReader::markSeen(int objectLevel)
{
    m_seen[objectLevel] |= quint32(1) << m_field;
    return true;
}

// The start of an object or array that belongs to a skipped value.
bool DocumentReader::startSkipped()
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

bool DocumentReader::checkNesting()
{
    if (int(m_where) + m_skipDepth > maxNesting)
        return fail(BackupDecodingError::Kind::dataCorrupted, path(), "The data is nested too deeply.");
    return true;
}

template <typename Record> bool DocumentReader::takeNull(const Field<Record>& field, Record& record)
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

template <typename Record> bool DocumentReader::takeBool(const Field<Record>& field, Record& record, bool value)
{
    if (field.kind != Kind::boolean)
        return mismatch(field, Found::boolean);
    record.*field.boolean = value;
    return true;
}

template <typename Record>
bool DocumentReader::takeNumber(const Field<Record>& field, Record& record, std::string_view text)
{
    if (field.kind == Kind::amount) {
        // Decimal refuses absurd lengths and exponents before it allocates for them.
        std::optional<Decimal> amount = Decimal::parse(text);
        if (!amount)
            return corrupt(field,
                QStringLiteral("Parsed JSON number <%1> is not a valid amount.").arg(BackupTextReader::excerpt(text)));
        record.*field.amount = std::move(amount);
        return true;
    }
    if (field.kind == Kind::integer) {
        qint64 value = 0;
        const auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (status != std::errc() || end != text.data() + text.size())
            return corrupt(field,
                QStringLiteral("Parsed JSON number <%1> does not fit in Int.").arg(BackupTextReader::excerpt(text)));
        record.*field.integer = value;
        return true;
    }
    return mismatch(field, Found::number);
}

template <typename Record>
bool DocumentReader::takeString(const Field<Record>& field, Record& record, std::string_view text)
{
    switch (field.kind) {
    case Kind::text: return toQString(field, text, record.*field.text);
    case Kind::longText: {
        if (!m_texts->utf8(text, record.*field.longText))
            return corrupt(field, unpairedSurrogate());
        return true;
    }
    case Kind::optionalText: {
        QString value;
        if (!toQString(field, text, value))
            return false;
        record.*field.optionalText = std::move(value);
        return true;
    }
    case Kind::date:
    case Kind::optionalDate: {
        std::optional<QDateTime> date = parseBackupDate(text);
        if (!date)
            return corrupt(field, QStringLiteral("Tarih çözümlenemedi: ") + BackupTextReader::excerpt(text));
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

template <typename Record>
bool DocumentReader::toQString(const Field<Record>& field, std::string_view text, QString& out)
{
    if (field.shared ? m_texts->sharedText(text, out) : m_texts->text(text, out))
        return true;
    return corrupt(field, unpairedSurrogate());
}

template <typename Record> bool DocumentReader::corrupt(const Field<Record>& field, QString description)
{
    return fail(BackupDecodingError::Kind::dataCorrupted, path(field.key), std::move(description));
}

template <typename Record> bool DocumentReader::mismatch(const Field<Record>& field, Found found)
{
    return fail(BackupDecodingError::Kind::typeMismatch, path(field.key),
        QStringLiteral("Expected to decode %1 but found %2 instead.")
            .arg(QLatin1StringView(expectedName(field.kind)), QLatin1StringView(foundName(found))));
}

// An object or array under a known key that wants something else.
bool DocumentReader::mismatchForField(Found found)
{
    switch (m_where) {
    case Where::rootObject: return mismatch(rootFields[m_field], found);
    case Where::application: return mismatch(applicationFields[m_field], found);
    case Where::change: return mismatch(changeFields[m_field], found);
    default: return Default();
    }
}

// The root and the elements of both lists must be objects.
bool DocumentReader::mismatchForElement(Found found)
{
    const auto kind
        = found == Found::null ? BackupDecodingError::Kind::valueNotFound : BackupDecodingError::Kind::typeMismatch;
    return fail(kind, path() + elementSuffix(),
        QStringLiteral("Expected to decode Dictionary but found %1 instead.").arg(QLatin1StringView(foundName(found))));
}

template <typename Record, size_t N>
bool DocumentReader::checkRequired(const std::array<Field<Record>, N>& fields, quint32 seen)
{
    const quint32 missing = requiredMask(fields) & ~seen;
    if (missing == 0)
        return true;
    const int first = std::countr_zero(missing);
    return fail(BackupDecodingError::Kind::keyNotFound, path(),
        QStringLiteral("No value associated with key \"%1\".").arg(QLatin1StringView(fields[first].key)));
}

// The path of the current position, e.g. applications[2].history[0], plus `key`.
QString DocumentReader::path(std::string_view key) const
{
    QString result;
    const auto index = [](qsizetype i) -> QString { return QLatin1Char('[') + QString::number(i) + QLatin1Char(']'); };
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

QString DocumentReader::elementSuffix() const
{
    if (m_where == Where::applications)
        return QLatin1Char('[') + QString::number(m_contents.applications.size()) + QLatin1Char(']');
    if (m_where == Where::history)
        return QLatin1Char('[') + QString::number(m_contents.applications.back().history.size()) + QLatin1Char(']');
    return {};
}

bool DocumentReader::fail(BackupDecodingError::Kind kind, QString codingPath, QString description)
{
    m_error = BackupDecodingError(kind, std::move(codingPath), std::move(description));
    return false;
}

} // namespace BackupReading
