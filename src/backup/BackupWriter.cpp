#include "backup/BackupDocument.h"

#include "backup/BackupCodec.h"
#include "backup/BackupFields.h"
#include "backup/BackupJson.h"

#include <rapidjson/prettywriter.h>
#include <rapidjson/stringbuffer.h>

#include <limits>
#include <string>
#include <string_view>

namespace {

using rapidjson::SizeType;
using namespace BackupCodec;
using namespace BackupFields;

// Walks the field tables in their (alphabetical) order, so the keys come out sorted.
class DocumentWriter {
public:
    DocumentWriter()
        : m_writer(m_buffer)
    {
        m_writer.SetIndent(' ', 2);
    }

    bool write(const BackupFileContents& contents) { return writeObject(rootFields, contents); }
    QByteArray bytes() const { return QByteArray(m_buffer.GetString(), qsizetype(m_buffer.GetSize())); }
    const std::optional<BackupEncodingError>& error() const { return m_error; }

private:
    template <typename Record, size_t N>
    bool writeObject(const std::array<Field<Record>, N>& fields, const Record& record)
    {
        m_writer.StartObject();
        for (const Field<Record>& field : fields) {
            if (!writeField(field, record))
                return false;
        }
        m_writer.EndObject();
        return true;
    }

    template <typename Record> bool writeField(const Field<Record>& field, const Record& record)
    {
        switch (field.kind) {
        case Kind::text: key(field.key); return writeString(record.*field.text, field.key);
        case Kind::longText: key(field.key); return writeUtf8((record.*field.longText).utf8(), field.key);
        case Kind::optionalText:
            if (!(record.*field.optionalText))
                return true;
            key(field.key);
            return writeString(*(record.*field.optionalText), field.key);
        case Kind::date: key(field.key); return writeDateValue(record.*field.date, field.key);
        case Kind::optionalDate:
            if (!(record.*field.optionalDate))
                return true;
            key(field.key);
            return writeDateValue(*(record.*field.optionalDate), field.key);
        case Kind::boolean:
            key(field.key);
            m_writer.Bool(record.*field.boolean);
            return true;
        case Kind::amount:
            if (!(record.*field.amount))
                return true;
            key(field.key);
            writeAmount(*(record.*field.amount));
            return true;
        case Kind::identifier: {
            key(field.key);
            char text[uuidLength];
            writeUuid((record.*field.identifier).value_or(QUuid()), text);
            m_writer.String(text, SizeType(uuidLength));
            return true;
        }
        case Kind::integer:
            key(field.key);
            m_writer.Int64(record.*field.integer);
            return true;
        case Kind::applications:
            if constexpr (std::is_same_v<Record, BackupFileContents>) {
                key(field.key);
                return writeList(applicationFields, record.applications);
            }
            break;
        case Kind::history:
            if constexpr (std::is_same_v<Record, ApplicationBackup>) {
                key(field.key);
                return writeList(changeFields, record.history);
            }
            break;
        }
        Q_UNREACHABLE();
        return false;
    }

    template <typename Record, size_t N>
    bool writeList(const std::array<Field<Record>, N>& fields, const QList<Record>& records)
    {
        m_writer.StartArray();
        for (const Record& record : records) {
            if (!writeObject(fields, record))
                return false;
        }
        m_writer.EndArray();
        return true;
    }

    void key(std::string_view name) { m_writer.Key(name.data(), SizeType(name.size())); }

    bool writeString(const QString& value, std::string_view name) { return writeUtf8(value.toUtf8(), name); }

    bool writeUtf8(QByteArrayView utf8, std::string_view name)
    {
        if (quint64(utf8.size()) > std::numeric_limits<SizeType>::max())
            return fail(name, "text too long for one JSON string");
        m_writer.String(utf8.data(), SizeType(utf8.size()));
        return true;
    }

    bool writeDateValue(const QDateTime& value, std::string_view name)
    {
        char text[dateLength];
        if (!writeDate(value, text))
            return fail(name, "date outside the years 1 to 9999");
        m_writer.String(text, SizeType(dateLength));
        return true;
    }

    // The exact digits as a JSON number; RawValue writes them as they are.
    void writeAmount(const Decimal& value)
    {
        const std::string text = value.toStdString();
        m_writer.RawValue(text.data(), text.size(), rapidjson::kNumberType);
    }

    bool fail(std::string_view name, const char* what)
    {
        m_error = BackupEncodingError(QString::fromLatin1(name) + QStringLiteral(": ") + QString::fromLatin1(what));
        return false;
    }

    rapidjson::StringBuffer m_buffer;
    rapidjson::PrettyWriter<rapidjson::StringBuffer> m_writer;
    std::optional<BackupEncodingError> m_error;
};

} // namespace

Expected<QByteArray, BackupEncodingError> encodeBackup(const BackupFileContents& contents)
{
    DocumentWriter writer;
    if (!writer.write(contents))
        return *writer.error();
    return writer.bytes();
}
