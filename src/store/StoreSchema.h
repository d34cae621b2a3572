#pragma once

#include "model/JobApplication.h"
#include "model/SharedText.h"
#include "model/Utf8Text.h"

#include <QByteArray>
#include <QByteArrayView>

#include <array>
#include <optional>
#include <vector>

class SqliteStatement;

// The table layout of the store: one column per persistent field of a record,
// named after the field and typed by its kind in the field table, plus the
// history table with its cascading foreign key.
namespace StoreSchema {

// Marks a file as ours before any table is read ("Apwr").
constexpr int applicationId = 0x41707772;

// The statements that create an empty store's tables.
const QByteArray& createStatements();

// The list's first order, newest first with ties by identifier, as SQL. The dates
// are stored as whole milliseconds and so compare as the records compare them. Not
// an expression (a cast): an index on one would keep long notes from being written
// in place.
constexpr const char* newestFirst = "applicationDate DESC, id";

// The index in that order, which finds the newest records without reading the
// table. Made by every save that finds none, so a file written before the index
// existed gets it too.
const QByteArray& newestFirstIndex();

// The case whose raw value (plain ASCII) the file's UTF-8 bytes spell, found without
// decoding the bytes into a text that would be thrown away; none for any other text.
template <typename E> std::optional<E> caseOfRawValue(QByteArrayView utf8)
{
    for (E value : allCases<E>()) {
        if (utf8 == QByteArrayView(VocabularyTraits<E>::raw(value)))
            return value;
    }
    return std::nullopt;
}

// The shared string of a known raw value read from the file; any other value is the
// bytes' own text.
template <typename E> QString internedRawValue(QByteArrayView utf8)
{
    if (const std::optional<E> value = caseOfRawValue<E>(utf8))
        return rawValue(*value);
    return textFromUtf8(utf8);
}

// The short texts read from one file, each decoded once: records that name the same
// company, position or contact share one entry instead of holding a copy each.
// Looked up for most texts of every record, so it is kept flat: the bytes of every
// text in one buffer, the texts in one array, and a table of small slots to find
// them, instead of a node, a key and a text allocated apart for each.
class TextPool {
public:
    // The entry of the bytes' text; a new one for an empty or a long text, which is not kept.
    SharedText text(QByteArrayView utf8);

private:
    struct Entry {
        size_t hash;
        qsizetype offset;
        qsizetype size;
        SharedText text;
    };
    // An empty slot has entry 0; otherwise it holds the entry's index + 1 and the
    // top bits of its hash, so most slots of other texts are passed without a look
    // at their entry.
    struct Slot {
        quint32 tag = 0;
        quint32 entry = 0;
    };
    static quint32 tagOf(size_t hash) { return quint32(hash >> 32); }
    void grow();

    std::vector<Slot> m_slots;
    std::vector<Entry> m_entries;
    QByteArray m_bytes;
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
    // Reads the column's value straight into its field (the reader of `field`).
    using Reader = void (*)(const SqliteStatement&, int, ApplicationValues&, TextPool&);
    Reader reader = nullptr;
    void read(const SqliteStatement& statement, int column, ApplicationValues& values, TextPool& texts) const
    {
        reader(statement, column, values, texts);
    }
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
