#pragma once

#include "backup/BackupFileContents.h"
#include "model/ApplicationFields.h"

#include <algorithm>
#include <array>
#include <string_view>

// The backup document's shape, one table per object type, each listing its keys
// in alphabetical order: the writer walks them in that order (which is how the
// keys come out sorted), the reader looks keys up in them. An application's keys
// come from the record's field table, so every record field has exactly one key.
namespace BackupFields {

enum class Kind : quint8 {
    text,
    longText,
    optionalText,
    date,
    optionalDate,
    boolean,
    amount, // always optional
    identifier,
    integer,
    applications,
    history,
};

template <typename Record> struct Field {
    std::string_view key {};
    Kind kind = Kind::text;
    QString Record::*text = nullptr;
    LongText Record::*longText = nullptr;
    std::optional<QString> Record::*optionalText = nullptr;
    QDateTime Record::*date = nullptr;
    std::optional<QDateTime> Record::*optionalDate = nullptr;
    bool Record::*boolean = nullptr;
    std::optional<Decimal> Record::*amount = nullptr;
    std::optional<QUuid> Record::*identifier = nullptr;
    qint64 Record::*integer = nullptr;
    // A vocabulary's raw value: the few texts that occur are shared, not copied per record.
    bool shared = false;
    // For an application's fields: the record field it holds.
    ApplicationField recordField = ApplicationField::history;

    constexpr bool isOptional() const
    {
        return kind == Kind::optionalText || kind == Kind::optionalDate || kind == Kind::amount;
    }
};

using RootField = Field<BackupFileContents>;
using ApplicationField = Field<ApplicationBackup>;
using ChangeField = Field<StatusChangeBackup>;

inline constexpr std::array<RootField, 4> rootFields {{
    {.key = "applications", .kind = Kind::applications},
    {.key = "exportedAt", .kind = Kind::date, .date = &BackupFileContents::exportedAt},
    {.key = "format", .kind = Kind::text, .text = &BackupFileContents::format},
    {.key = "formatVersion", .kind = Kind::integer, .integer = &BackupFileContents::formatVersion},
}};

inline constexpr std::array<ChangeField, 3> changeFields {{
    {.key = "date", .kind = Kind::date, .date = &StatusChangeBackup::date},
    {.key = "from", .kind = Kind::optionalText, .optionalText = &StatusChangeBackup::from, .shared = true},
    {.key = "to", .kind = Kind::text, .text = &StatusChangeBackup::to, .shared = true},
}};

namespace detail {
using A = ApplicationBackup;

// The document's view of a member, by the member's type.
constexpr ApplicationField member(std::optional<QUuid> A::*m)
{
    return {.kind = Kind::identifier, .identifier = m};
}
constexpr ApplicationField member(QString A::*m)
{
    return {.kind = Kind::text, .text = m};
}
constexpr ApplicationField member(LongText A::*m)
{
    return {.kind = Kind::longText, .longText = m};
}
constexpr ApplicationField member(std::optional<QString> A::*m)
{
    return {.kind = Kind::optionalText, .optionalText = m};
}
constexpr ApplicationField member(QDateTime A::*m)
{
    return {.kind = Kind::date, .date = m};
}
constexpr ApplicationField member(std::optional<QDateTime> A::*m)
{
    return {.kind = Kind::optionalDate, .optionalDate = m};
}
constexpr ApplicationField member(bool A::*m)
{
    return {.kind = Kind::boolean, .boolean = m};
}
constexpr ApplicationField member(std::optional<Decimal> A::*m)
{
    return {.kind = Kind::amount, .amount = m};
}

// Where each record field lives in ApplicationBackup, in record field order.
inline constexpr std::array<ApplicationField, ApplicationFields::fieldCount> membersInFieldOrder {{
#define APPLYWRIGHT_BACKUP_MEMBER(name, ...) member(&A::name),
    APPLYWRIGHT_APPLICATION_FIELDS(APPLYWRIGHT_BACKUP_MEMBER)
#undef APPLYWRIGHT_BACKUP_MEMBER
        {.kind = Kind::history},
}};

constexpr std::array<ApplicationField, ApplicationFields::fieldCount> withKeys()
{
    auto fields = membersInFieldOrder;
    for (size_t i = 0; i < fields.size(); ++i) {
        const FieldDescription& description = ApplicationFields::all[i];
        fields[i].key = description.backupKey;
        fields[i].recordField = description.field;
        fields[i].shared = description.vocabulary != FieldVocabulary::none;
    }
    return fields;
}

constexpr std::array<ApplicationField, ApplicationFields::fieldCount> sortedByKey()
{
    auto fields = withKeys();
    std::sort(fields.begin(), fields.end(),
        [](const ApplicationField& a, const ApplicationField& b) { return a.key < b.key; });
    return fields;
}

template <typename Record, size_t N> constexpr bool keysSorted(const std::array<Field<Record>, N>& fields)
{
    for (size_t i = 1; i < N; ++i) {
        if (!(fields[i - 1].key < fields[i].key))
            return false;
    }
    return true;
}
} // namespace detail

// An application's fields in key order, for the document.
inline constexpr auto applicationFields = detail::sortedByKey();

static_assert(
    detail::keysSorted(rootFields) && detail::keysSorted(applicationFields) && detail::keysSorted(changeFields),
    "keys are listed once each, in alphabetical order");

// One bit per field whose key must be present.
template <typename Record, size_t N> constexpr quint32 requiredMask(const std::array<Field<Record>, N>& fields)
{
    static_assert(N <= 32);
    quint32 mask = 0;
    for (size_t i = 0; i < N; ++i) {
        if (!fields[i].isOptional())
            mask |= quint32(1) << i;
    }
    return mask;
}

// `hint` is where the key is likely to be: our own files list the keys in table
// order, so one comparison usually settles it.
template <typename Record, size_t N>
int findField(const std::array<Field<Record>, N>& fields, std::string_view key, int hint)
{
    if (hint >= 0 && hint < int(N) && fields[hint].key == key)
        return hint;
    const auto found = std::lower_bound(std::begin(fields), std::end(fields), key,
        [](const Field<Record>& field, std::string_view k) { return field.key < k; });
    return found != std::end(fields) && found->key == key ? int(found - std::begin(fields)) : -1;
}

} // namespace BackupFields
