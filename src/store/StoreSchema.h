#pragma once

#include "model/JobApplication.h"
#include "model/Utf8Text.h"

#include <QByteArray>
#include <QByteArrayView>

#include <array>
#include <string>
#include <string_view>
#include <unordered_map>

class SqliteStatement;

// The table layout of the store: one column per persistent field of a record,
// named after the field and typed by its kind in the field table, plus the
// history table with its cascading foreign key.
namespace StoreSchema {

// Marks a file as ours before any table is read ("Apwr").
constexpr int applicationId = 0x41707772;

// The statements that create an empty store's tables.
const QByteArray& createStatements();

// The shared string of a known raw value read from the file's UTF-8 bytes, found
// among the raw values (plain ASCII) without decoding the bytes into a text that
// would be thrown away; any other value is the bytes' own text.
template <typename E> QString internedRawValue(QByteArrayView utf8)
{
    for (E value : allCases<E>()) {
        if (utf8 == QByteArrayView(VocabularyTraits<E>::raw(value)))
            return rawValue(value);
    }
    return textFromUtf8(utf8);
}

// The short texts read from one file, each decoded once: records that name the same
// company, position or contact share one string instead of holding a copy each.
class TextPool {
public:
    QString text(QByteArrayView utf8);

private:
    struct Hash {
        using is_transparent = void;
        size_t operator()(std::string_view bytes) const { return std::hash<std::string_view> {}(bytes); }
    };
    std::unordered_map<std::string, QString, Hash, std::equal_to<>> m_texts;
};

struct Column {
    const char* name;
    JobApplication::Field field;

    // A long text this size or more is written into its place in the file after its
    // row, a piece at a time, instead of being copied whole into the row SQLite builds.
    static constexpr qsizetype inPlaceFrom = qsizetype(1) << 20;
    // Whether the record's value is one of those.
    bool goesInPlace(const JobApplication& application) const;
    // Binds the record's value; with `inPlace`, zeros of its length for the value to
    // be written over (SqliteDatabase::writeBlob) once the row is there.
    void bind(SqliteStatement& statement, int index, const JobApplication& application, bool inPlace = false) const;
    void read(const SqliteStatement& statement, int column, ApplicationValues& values, TextPool& texts) const;
};

// Every persistent field but `history`, in field order except that long texts come
// last: SQLite leaves out of the row it builds only zeros at the row's very end, so
// in a store created this way a long text is never held twice while it is written.
// (In a store of an earlier version the zeros are made, once, before the text
// is written over them.)
const std::array<Column, JobApplication::fieldCount - 1>& columns();

// Moments are stored as milliseconds since the epoch, UTC; an invalid moment as 0.
qint64 storedMoment(const QDateTime& moment);
QDateTime momentFromStored(qint64 milliseconds);

} // namespace StoreSchema
