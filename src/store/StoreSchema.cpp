#include "store/StoreSchema.h"

#include "model/ApplicationFields.h"
#include "model/RejectionReason.h"
#include "store/SqliteDatabase.h"

#include <algorithm>
#include <string_view>
#include <utility>

namespace StoreSchema {

qint64 storedMoment(const QDateTime& moment)
{
    return moment.isValid() ? moment.toMSecsSinceEpoch() : 0;
}

QDateTime momentFromStored(qint64 milliseconds)
{
    return QDateTime::fromMSecsSinceEpoch(milliseconds, Qt::UTC);
}

namespace {

const char* columnType(FieldKind kind)
{
    switch (kind) {
    case FieldKind::moment: return "INTEGER NOT NULL";
    case FieldKind::optionalMoment: return "INTEGER";
    case FieldKind::flag: return "INTEGER NOT NULL";
    case FieldKind::text:
    case FieldKind::longText:
    case FieldKind::rawValue: return "TEXT NOT NULL";
    // Identifiers as upper-case text, amounts as their exact decimal text.
    case FieldKind::identifier:
    case FieldKind::optionalRawValue:
    case FieldKind::amount:
    case FieldKind::history: break;
    }
    return "TEXT";
}

// The shared string of a known raw value: loaded records share the few raw texts.
QString interned(FieldVocabulary vocabulary, QByteArrayView bytes)
{
    switch (vocabulary) {
    case FieldVocabulary::status: return internedRawValue<ApplicationStatus>(bytes);
    case FieldVocabulary::workModel: return internedRawValue<WorkModel>(bytes);
    case FieldVocabulary::currency: return internedRawValue<Currency>(bytes);
    case FieldVocabulary::rejectionReason: return internedRawValue<RejectionReason>(bytes);
    case FieldVocabulary::none: break;
    }
    return textFromUtf8(bytes);
}

bool isLongText(const Column& column)
{
    return ApplicationFields::describe(column.field).kind == FieldKind::longText;
}

std::optional<QUuid> storedUuid(const SqliteStatement& s, int column)
{
    if (s.isNull(column))
        return std::nullopt;
    // QUuid reads both garbage and the all-zero identifier as null; only garbage is none.
    const QByteArrayView text = s.utf8(column);
    const QUuid uuid = QUuid::fromString(QUtf8StringView(text));
    if (uuid.isNull() && text != QByteArrayView("00000000-0000-0000-0000-000000000000"))
        return std::nullopt;
    return uuid;
}

} // namespace

const QByteArray& createStatements()
{
    static const QByteArray statements = [] {
        QByteArray sql = "CREATE TABLE Metadata (\n    key TEXT PRIMARY KEY NOT NULL,\n    value TEXT NOT NULL\n);\n"
                         "CREATE TABLE JobApplication (\n    id INTEGER PRIMARY KEY";
        for (const Column& column : columns())
            sql += ",\n    " + QByteArray(column.name) + ' '
                + columnType(ApplicationFields::describe(column.field).kind);
        sql += "\n);\n"
               "CREATE TABLE StatusChange (\n"
               "    id INTEGER PRIMARY KEY,\n"
               "    fromRaw TEXT,\n"
               "    toRaw TEXT NOT NULL,\n"
               "    date INTEGER NOT NULL,\n"
               "    application INTEGER REFERENCES JobApplication(id) ON DELETE CASCADE\n"
               ");\n"
               "CREATE INDEX StatusChangeByApplication ON StatusChange(application);\n";
        return sql;
    }();
    return statements;
}

const QByteArray& newestFirstIndex()
{
    static const QByteArray statement
        = QByteArray("CREATE INDEX IF NOT EXISTS JobApplicationNewestFirst ON JobApplication(") + newestFirst + ')';
    return statement;
}

bool Column::goesInPlace(const JobApplication& application) const
{
    // Asked of every column of every row written: only a long text's value is looked at.
    if (!isLongText(*this))
        return false;
    return std::get<LongText>(application.value(field)).utf8().size() >= inPlaceFrom;
}

void Column::bind(SqliteStatement& s, int index, const JobApplication& application, bool inPlace) const
{
    const FieldValue value = application.value(field);
    switch (ApplicationFields::describe(field).kind) {
    case FieldKind::identifier:
        if (const auto& uuid = std::get<std::optional<QUuid>>(value))
            s.bind(index, uuid->toString(QUuid::WithoutBraces).toUpper());
        else
            s.bindNull(index);
        return;
    case FieldKind::text:
    case FieldKind::rawValue: s.bind(index, std::get<QString>(value)); return;
    case FieldKind::longText: {
        // Bound without a copy: the record shares these bytes and keeps them while the statement runs.
        const QByteArrayView utf8 = std::get<LongText>(value).utf8();
        if (inPlace)
            s.bindZeroBlob(index, utf8.size());
        else
            s.bindUtf8(index, utf8);
        return;
    }
    case FieldKind::optionalRawValue: s.bind(index, std::get<std::optional<QString>>(value)); return;
    case FieldKind::moment: s.bind(index, storedMoment(std::get<QDateTime>(value))); return;
    case FieldKind::optionalMoment:
        if (const auto& moment = std::get<std::optional<QDateTime>>(value))
            s.bind(index, storedMoment(*moment));
        else
            s.bindNull(index);
        return;
    case FieldKind::flag: s.bind(index, qint64(std::get<bool>(value))); return;
    case FieldKind::amount:
        if (const auto& amount = std::get<std::optional<Decimal>>(value))
            s.bind(index, amount->toString());
        else
            s.bindNull(index);
        return;
    case FieldKind::history: break;
    }
    s.bindNull(index);
}

SharedText TextPool::text(QByteArrayView utf8)
{
    // Long texts are mostly one of a kind: keeping their bytes would cost more than sharing saves.
    constexpr qsizetype longestShared = 96;
    if (utf8.isEmpty() || utf8.size() > longestShared)
        return SharedText(textFromUtf8(utf8));
    const size_t hash = std::hash<std::string_view> {}(std::string_view(utf8.data(), size_t(utf8.size())));
    if ((m_entries.size() + 1) * 2 > m_slots.size())
        grow();
    const size_t mask = m_slots.size() - 1;
    for (size_t at = hash & mask;; at = (at + 1) & mask) {
        Slot& slot = m_slots[at];
        if (slot.entry == 0) {
            slot = Slot {tagOf(hash), quint32(m_entries.size() + 1)};
            m_entries.push_back(Entry {hash, m_bytes.size(), utf8.size(), SharedText(textFromUtf8(utf8))});
            m_bytes.append(utf8);
            return m_entries.back().text;
        }
        if (slot.tag != tagOf(hash))
            continue;
        const Entry& entry = m_entries[slot.entry - 1];
        if (entry.hash == hash && QByteArrayView(m_bytes).sliced(entry.offset, entry.size) == utf8)
            return entry.text;
    }
}

void TextPool::grow()
{
    std::vector<Slot> slots(std::max<size_t>(1024, m_slots.size() * 2));
    const size_t mask = slots.size() - 1;
    for (size_t i = 0; i < m_entries.size(); ++i) {
        size_t at = m_entries[i].hash & mask;
        while (slots[at].entry != 0)
            at = (at + 1) & mask;
        slots[at] = Slot {tagOf(m_entries[i].hash), quint32(i + 1)};
    }
    m_slots = std::move(slots);
}

namespace {

// Each field's value read from its column and written into its place, typed by the
// field's kind at compile time: no value passes through a variant on the way.
template <ApplicationField field>
void readField(const SqliteStatement& s, int column, ApplicationValues& values, TextPool& texts)
{
    constexpr FieldDescription description = ApplicationFields::describe(field);
    auto& target = values.*ApplicationFields::member<field>;
    if constexpr (description.kind == FieldKind::identifier) {
        target = storedUuid(s, column);
    } else if constexpr (description.kind == FieldKind::text) {
        if constexpr (RecordStorage::isSharedText<field>) {
            // The record built from these values next takes the entry itself.
            SharedText& entry = RecordStorage::loadedText<field>();
            entry = texts.text(s.utf8(column));
            target = entry.text();
        } else {
            target = textFromUtf8(s.utf8(column));
        }
    } else if constexpr (description.kind == FieldKind::longText) {
        target = LongText::fromUtf8(s.bytes(column));
    } else if constexpr (description.kind == FieldKind::rawValue) {
        target = interned(description.vocabulary, s.utf8(column));
    } else if constexpr (description.kind == FieldKind::optionalRawValue) {
        if (s.isNull(column))
            target = std::nullopt;
        else
            target = interned(description.vocabulary, s.utf8(column));
    } else if constexpr (description.kind == FieldKind::moment) {
        target = momentFromStored(s.int64(column));
    } else if constexpr (description.kind == FieldKind::optionalMoment) {
        if (s.isNull(column))
            target = std::nullopt;
        else
            target = momentFromStored(s.int64(column));
    } else if constexpr (description.kind == FieldKind::flag) {
        target = s.int64(column) != 0;
    } else if constexpr (description.kind == FieldKind::amount) {
        // Only ASCII can spell an amount; its UTF-8 bytes are its characters.
        if (s.isNull(column)) {
            target = std::nullopt;
        } else {
            const QByteArrayView text = s.utf8(column);
            target = Decimal::parse(std::string_view(text.data(), size_t(text.size())));
        }
    } else {
        static_assert(description.kind != FieldKind::history, "the history is not a column");
    }
}

template <size_t... index>
constexpr std::array<Column::Reader, sizeof...(index)> makeReaders(std::index_sequence<index...>)
{
    return {&readField<ApplicationField(index)>...};
}

} // namespace

const std::array<Column, JobApplication::fieldCount - 1>& columns()
{
    static const auto table = [] {
        constexpr auto readers = makeReaders(std::make_index_sequence<JobApplication::fieldCount - 1> {});
        std::array<Column, JobApplication::fieldCount - 1> built {};
        for (size_t i = 0; i < built.size(); ++i)
            built[i] = Column {ApplicationFields::all[i].name.data(), ApplicationFields::all[i].field, readers[i]};
        std::stable_partition(built.begin(), built.end(), [](const Column& column) { return !isLongText(column); });
        return built;
    }();
    return table;
}

} // namespace StoreSchema
