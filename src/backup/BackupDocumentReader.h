#pragma once

#include "backup/BackupCodingError.h"
#include "backup/BackupFields.h"
#include "backup/BackupFileContents.h"
#include "backup/BackupJson.h"
#include "backup/BackupTextReader.h"

#include <rapidjson/reader.h>

#include <QString>

#include <array>
#include <optional>
#include <string_view>

// The backup reader's handler of the JSON parser's events: it builds the values as
// the events arrive, so memory follows the size of the data, and any event of the
// wrong shape stops the parse.
namespace BackupReading {

// The JSON type of what arrived, for the diagnostic text.
enum class Found { null, boolean, number, string, object, array };

// Where the reader is in the document's fixed shape.
enum class Where { root, rootObject, applications, application, history, change, done };

class DocumentReader : public rapidjson::BaseReaderHandler<rapidjson::UTF8<>, DocumentReader> {
public:
    using SizeType = rapidjson::SizeType;
    template <typename Record> using Field = BackupFields::Field<Record>;

    // Before the parse: the stream over the text, whose position tells what has been
    // read. `checkSurrogates`: the text holds a \uD800 to \uDFFF escape, the only way
    // an encoded surrogate can reach a string once the bytes have passed the UTF-8 check.
    void start(const rapidjson::InsituStringStream& stream, bool checkSurrogates);

    bool Null();
    bool Bool(bool value);
    bool RawNumber(const char* text, SizeType length, bool);
    bool String(const char* text, SizeType length, bool);
    // Every number arrives through RawNumber; anything else is a surprise.
    bool Default() { return fail(BackupDecodingError::Kind::dataCorrupted, path(), "Unexpected JSON event."); }
    bool Key(const char* text, SizeType length, bool);
    bool StartObject();
    bool EndObject(SizeType);
    bool StartArray();
    bool EndArray(SizeType);

    bool finished() const { return m_where == Where::done; }
    BackupFileContents takeContents() { return std::move(m_contents); }
    const std::optional<BackupDecodingError>& error() const { return m_error; }

private:
    // A scalar value: skipped, handed to the field it belongs to, or the wrong thing here.
    template <typename Take> bool scalar(Found found, Take take);
    // 0, 1, 2 for the root, an application and a history entry.
    int level() const { return m_where == Where::application ? 1 : (m_where == Where::change ? 2 : 0); }
    bool markSeen(int objectLevel);
    // The start of an object or array that belongs to a skipped value.
    bool startSkipped();
    bool checkNesting();

    template <typename Record> bool takeNull(const Field<Record>& field, Record& record);
    template <typename Record> bool takeBool(const Field<Record>& field, Record& record, bool value);
    template <typename Record> bool takeNumber(const Field<Record>& field, Record& record, std::string_view text);
    template <typename Record> bool takeString(const Field<Record>& field, Record& record, std::string_view text);
    template <typename Record> bool toQString(const Field<Record>& field, std::string_view text, QString& out);

    template <typename Record> bool corrupt(const Field<Record>& field, QString description);
    template <typename Record> bool mismatch(const Field<Record>& field, Found found);
    // An object or array under a known key that wants something else.
    bool mismatchForField(Found found);
    // The root and the elements of both lists must be objects.
    bool mismatchForElement(Found found);
    template <typename Record, size_t N> bool checkRequired(const std::array<Field<Record>, N>& fields, quint32 seen);
    // The path of the current position, e.g. applications[2].history[0], plus `key`.
    QString path(std::string_view key = {}) const;
    QString elementSuffix() const;
    bool fail(BackupDecodingError::Kind kind, QString codingPath, QString description);

    BackupFileContents m_contents;
    Where m_where = Where::root;
    int m_field = -1; // the table index of the key just read
    int m_lastField[3] = {-1, -1, -1}; // the last key found in the current root, application and history objects
    bool m_skipNext = false; // the next value belongs to an unknown key
    int m_skipDepth = 0; // > 0 inside a skipped object or array
    quint32 m_seen[3] = {}; // keys present in the current root, application and history objects
    std::optional<BackupDecodingError> m_error;
    const rapidjson::InsituStringStream* m_stream = nullptr;
    std::optional<BackupTextReader> m_texts;
};

} // namespace BackupReading
