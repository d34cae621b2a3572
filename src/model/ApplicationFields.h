#pragma once

#include "model/FieldValue.h"

#include <QCoreApplication>

#include <array>
#include <string_view>

// The one description of a job application's persistent fields. The record's
// storage and its typed readers, the store's columns, the backup document's keys,
// the search text, what makes the visible list change, which edits stamp
// updatedAt and what their undo step is called are all made from this list, so a
// field is added in one line and cannot be forgotten (or swapped) by any of them.

enum class FieldKind : quint8 {
    identifier, // optional UUID
    text,
    longText, // a text that may run to megabytes: kept as UTF-8
    rawValue, // a vocabulary's raw value
    optionalRawValue,
    moment,
    optionalMoment,
    flag,
    amount, // optional exact decimal
    history, // the status changes: a relation, not a value
};

// The vocabulary whose raw values a field stores.
enum class FieldVocabulary : quint8 { none, status, workModel, currency, rejectionReason };

// What a user's edit of the field does to updatedAt.
enum class EditStamp : quint8 {
    notEditable, // written only by the record's own rules, the store and backups
    never, // the posting link: typing an address is not a change of the application
    whenChanged, // stamped after every write that changes the value
    byWriter, // the field's writer decides (status, work model and currency when changed, the reason always)
};

// Where a record keeps a field: in the record itself, or aside, in a part made when
// one of its fields is first given a value (fields most records leave empty).
enum class FieldPlace : quint8 { inRecord, aside };

// One line per field, in the order the store declares them:
// X(name, backup key, title, kind, vocabulary, search position (0: not searched),
//   read by the list's filter, sorts or counters, edit stamp, name of its undo step, place)
// clang-format off
#define APPLYWRIGHT_APPLICATION_FIELDS(X) \
    X(uuid, "id", QT_TRANSLATE_NOOP("ApplicationFields", "ID"), \
        identifier, none, 0, false, notEditable, nullptr, inRecord) \
    X(companyName, "companyName", QT_TRANSLATE_NOOP("ApplicationFields", "Company"), \
        text, none, 1, true, whenChanged, QT_TRANSLATE_NOOP("ApplicationEdits", "Typing"), inRecord) \
    X(position, "position", QT_TRANSLATE_NOOP("ApplicationFields", "Position"), \
        text, none, 2, false, whenChanged, QT_TRANSLATE_NOOP("ApplicationEdits", "Typing"), inRecord) \
    X(postingLink, "postingLink", QT_TRANSLATE_NOOP("ApplicationFields", "Posting Link"), \
        text, none, 0, false, never, QT_TRANSLATE_NOOP("ApplicationEdits", "Typing"), inRecord) \
    X(workModelRaw, "workModel", QT_TRANSLATE_NOOP("ApplicationFields", "Work Model"), \
        rawValue, workModel, 9, false, byWriter, QT_TRANSLATE_NOOP("ApplicationEdits", "Work Model Change"), inRecord) \
    X(statusRaw, "status", QT_TRANSLATE_NOOP("ApplicationFields", "Status"), \
        rawValue, status, 8, true, byWriter, QT_TRANSLATE_NOOP("ApplicationEdits", "Status Change"), inRecord) \
    X(applicationDate, "applicationDate", QT_TRANSLATE_NOOP("ApplicationFields", "Application Date"), \
        moment, none, 0, true, whenChanged, QT_TRANSLATE_NOOP("ApplicationEdits", "Date Change"), inRecord) \
    X(statusChangedAt, "statusChangedAt", QT_TRANSLATE_NOOP("ApplicationFields", "Status Date"), \
        moment, none, 0, false, notEditable, nullptr, inRecord) \
    X(closedAt, "closedAt", QT_TRANSLATE_NOOP("ApplicationFields", "Closing Date"), \
        optionalMoment, none, 0, false, notEditable, nullptr, inRecord) \
    X(followUpDate, "followUpDate", QT_TRANSLATE_NOOP("ApplicationFields", "Follow-up Date"), \
        optionalMoment, none, 0, false, whenChanged, QT_TRANSLATE_NOOP("ApplicationEdits", "Follow-up Change"), aside) \
    X(rejectedByEmail, "rejectedByEmail", QT_TRANSLATE_NOOP("ApplicationFields", "Rejected by Email"), \
        flag, none, 0, false, whenChanged, QT_TRANSLATE_NOOP("ApplicationEdits", "Rejection Channel Change"), inRecord) \
    X(rejectedByPhone, "rejectedByPhone", QT_TRANSLATE_NOOP("ApplicationFields", "Rejected by Phone"), \
        flag, none, 0, false, whenChanged, QT_TRANSLATE_NOOP("ApplicationEdits", "Rejection Channel Change"), inRecord) \
    X(rejectionReasonRaw, "rejectionReason", QT_TRANSLATE_NOOP("ApplicationFields", "Rejection Reason"), \
        optionalRawValue, rejectionReason, 0, false, byWriter, \
        QT_TRANSLATE_NOOP("ApplicationEdits", "Rejection Reason Change"), inRecord) \
    X(rejectionNote, "rejectionNote", QT_TRANSLATE_NOOP("ApplicationFields", "Rejection Note"), \
        text, none, 0, false, whenChanged, QT_TRANSLATE_NOOP("ApplicationEdits", "Typing"), aside) \
    X(hrContactName, "hrContactName", QT_TRANSLATE_NOOP("ApplicationFields", "HR Contact"), \
        text, none, 4, false, whenChanged, QT_TRANSLATE_NOOP("ApplicationEdits", "Typing"), inRecord) \
    X(hrContactEmail, "hrContactEmail", QT_TRANSLATE_NOOP("ApplicationFields", "HR Email"), \
        text, none, 5, false, whenChanged, QT_TRANSLATE_NOOP("ApplicationEdits", "Typing"), inRecord) \
    X(techInterviewerName, "techInterviewerName", QT_TRANSLATE_NOOP("ApplicationFields", "Tech Interviewer"), \
        text, none, 6, false, whenChanged, QT_TRANSLATE_NOOP("ApplicationEdits", "Typing"), inRecord) \
    X(techInterviewerRole, "techInterviewerRole", QT_TRANSLATE_NOOP("ApplicationFields", "Tech Interviewer Role"), \
        text, none, 7, false, whenChanged, QT_TRANSLATE_NOOP("ApplicationEdits", "Typing"), inRecord) \
    X(expectedSalary, "expectedSalary", QT_TRANSLATE_NOOP("ApplicationFields", "Expected Salary"), \
        amount, none, 0, false, whenChanged, QT_TRANSLATE_NOOP("ApplicationEdits", "Typing"), aside) \
    X(offeredSalary, "offeredSalary", QT_TRANSLATE_NOOP("ApplicationFields", "Offered Salary"), \
        amount, none, 0, false, whenChanged, QT_TRANSLATE_NOOP("ApplicationEdits", "Typing"), aside) \
    X(currencyRaw, "currency", QT_TRANSLATE_NOOP("ApplicationFields", "Currency"), \
        rawValue, currency, 0, false, byWriter, QT_TRANSLATE_NOOP("ApplicationEdits", "Currency Change"), inRecord) \
    X(notes, "notes", QT_TRANSLATE_NOOP("ApplicationFields", "Notes"), \
        longText, none, 3, false, whenChanged, QT_TRANSLATE_NOOP("ApplicationEdits", "Typing"), inRecord) \
    X(isFavorite, "isFavorite", QT_TRANSLATE_NOOP("ApplicationFields", "Starred"), \
        flag, none, 0, false, whenChanged, QT_TRANSLATE_NOOP("ApplicationEdits", "Star Change"), inRecord) \
    X(createdAt, "createdAt", QT_TRANSLATE_NOOP("ApplicationFields", "Created On"), \
        moment, none, 0, false, notEditable, nullptr, inRecord) \
    X(updatedAt, "updatedAt", QT_TRANSLATE_NOOP("ApplicationFields", "Last Changed"), \
        moment, none, 0, false, notEditable, nullptr, inRecord)
// clang-format on

// The fields by name; `history` closes the list: the status changes are a
// relation of the record, not one of its values.
enum class ApplicationField : quint8 {
#define APPLYWRIGHT_FIELD_NAME(name, ...) name,
    APPLYWRIGHT_APPLICATION_FIELDS(APPLYWRIGHT_FIELD_NAME)
#undef APPLYWRIGHT_FIELD_NAME
        history,
};

// The type a field of each kind holds.
template <FieldKind> struct FieldKindTraits;
template <> struct FieldKindTraits<FieldKind::identifier> {
    using Type = std::optional<QUuid>;
};
template <> struct FieldKindTraits<FieldKind::text> {
    using Type = QString;
};
template <> struct FieldKindTraits<FieldKind::longText> {
    using Type = LongText;
};
template <> struct FieldKindTraits<FieldKind::rawValue> {
    using Type = QString;
};
template <> struct FieldKindTraits<FieldKind::optionalRawValue> {
    using Type = std::optional<QString>;
};
template <> struct FieldKindTraits<FieldKind::moment> {
    using Type = QDateTime;
};
template <> struct FieldKindTraits<FieldKind::optionalMoment> {
    using Type = std::optional<QDateTime>;
};
template <> struct FieldKindTraits<FieldKind::flag> {
    using Type = bool;
};
template <> struct FieldKindTraits<FieldKind::amount> {
    using Type = std::optional<Decimal>;
};
template <FieldKind kind> using FieldKindType = typename FieldKindTraits<kind>::Type;

// Every plain value of one application, each typed by its field's kind: the
// record's own storage, the fields of a backup entry, and what a loader fills in
// before it builds a record.
struct ApplicationValues {
#define APPLYWRIGHT_FIELD_MEMBER(name, key, title, kind, ...) FieldKindType<FieldKind::kind> name {};
    APPLYWRIGHT_APPLICATION_FIELDS(APPLYWRIGHT_FIELD_MEMBER)
#undef APPLYWRIGHT_FIELD_MEMBER

    friend bool operator==(const ApplicationValues&, const ApplicationValues&) = default;
};

struct FieldDescription {
    ApplicationField field;
    // The attribute name: the store's column and what the code calls it.
    std::string_view name;
    std::string_view backupKey;
    // The English column title people read (spreadsheet headers); translated
    // in the "ApplicationFields" context.
    const char* title;
    FieldKind kind;
    FieldVocabulary vocabulary = FieldVocabulary::none;
    // Position in the joined search text (raw values contribute their title); 0: not searched.
    int searchOrder = 0;
    // Read by the status filter, a sort or the summary counters.
    bool listInput = false;
    EditStamp stamp = EditStamp::notEditable;
    // What undoing a person's edit of the field says ("Undo Typing"); translated
    // in the "ApplicationEdits" context. None for fields nobody edits.
    const char* editName = nullptr;
    FieldPlace place = FieldPlace::inRecord;

    constexpr bool isOptional() const
    {
        return kind == FieldKind::identifier || kind == FieldKind::optionalRawValue || kind == FieldKind::optionalMoment
            || kind == FieldKind::amount;
    }
    // A change of this field can change which records the list shows, their order or the counts.
    constexpr bool affectsVisibleList() const { return searchOrder > 0 || listInput; }
};

namespace ApplicationFields {

inline constexpr int fieldCount = int(ApplicationField::history) + 1;

inline constexpr std::array<FieldDescription, fieldCount> all {{
#define APPLYWRIGHT_FIELD_DESCRIPTION(name, key, title, kind, vocabulary, search, list, stamp, editName, place)        \
    {ApplicationField::name, #name, key, title, FieldKind::kind, FieldVocabulary::vocabulary, search, list,            \
        EditStamp::stamp, editName, FieldPlace::place},
    APPLYWRIGHT_APPLICATION_FIELDS(APPLYWRIGHT_FIELD_DESCRIPTION)
#undef APPLYWRIGHT_FIELD_DESCRIPTION
        {ApplicationField::history, "history", "history", QT_TRANSLATE_NOOP("ApplicationFields", "History"),
            FieldKind::history},
}};

constexpr const FieldDescription& describe(ApplicationField field)
{
    return all[size_t(field)];
}

// The field's title in the user's language.
inline QString title(const FieldDescription& description)
{
    return QCoreApplication::translate("ApplicationFields", description.title);
}

// Where a field lives in ApplicationValues: `values.*member<F>` is the field F.
template <ApplicationField field> inline constexpr auto member = nullptr;
#define APPLYWRIGHT_FIELD_POINTER(name, ...)                                                                           \
    template <> inline constexpr auto member<ApplicationField::name> = &ApplicationValues::name;
APPLYWRIGHT_APPLICATION_FIELDS(APPLYWRIGHT_FIELD_POINTER)
#undef APPLYWRIGHT_FIELD_POINTER

// The type of field F's value.
template <ApplicationField field>
using ValueType = std::remove_cvref_t<decltype(std::declval<ApplicationValues>().*member<field>)>;

// Calls `fn.template operator()<F>()` with F the given plain field, for code written
// once for every field; `history` is no plain field and must not be passed.
template <typename Fn> decltype(auto) withField(ApplicationField field, Fn&& fn)
{
    switch (field) {
#define APPLYWRIGHT_FIELD_CASE(name, ...)                                                                              \
    case ApplicationField::name: return fn.template operator()<ApplicationField::name>();
        APPLYWRIGHT_APPLICATION_FIELDS(APPLYWRIGHT_FIELD_CASE)
#undef APPLYWRIGHT_FIELD_CASE
    case ApplicationField::history: break;
    }
    Q_UNREACHABLE();
}

// Calls `fn.template operator()<F>()` for every plain field F, in order.
template <typename Fn> void forEachField(Fn&& fn)
{
#define APPLYWRIGHT_FIELD_CALL(name, ...) fn.template operator()<ApplicationField::name>();
    APPLYWRIGHT_APPLICATION_FIELDS(APPLYWRIGHT_FIELD_CALL)
#undef APPLYWRIGHT_FIELD_CALL
}

// The value of field F that `value` holds, in the form the field keeps: moments in
// UTC whichever way they arrive, a long text also from a QString. None when `value`
// holds another type.
template <ApplicationField field> std::optional<ValueType<field>> typedValue(const FieldValue& value)
{
    using T = ValueType<field>;
    if constexpr (std::is_same_v<T, LongText>) {
        // What a person types arrives as a QString.
        if (const QString* text = std::get_if<QString>(&value))
            return LongText(*text);
    }
    const T* typed = std::get_if<T>(&value);
    if (!typed)
        return std::nullopt;
    if constexpr (std::is_same_v<T, QDateTime>)
        return typed->isValid() ? typed->toUTC() : *typed;
    else if constexpr (std::is_same_v<T, std::optional<QDateTime>>)
        return *typed && typed->value().isValid() ? T(typed->value().toUTC()) : *typed;
    else
        return *typed;
}

// Any plain field as a FieldValue, for the layers that treat every field alike;
// `history` reads as std::monostate.
FieldValue value(const ApplicationValues& values, ApplicationField field);
// Writes `value` into the field when it holds the field's type; false (and
// nothing written) otherwise. Moments are kept in UTC whichever way they arrive;
// a long text also takes a QString.
bool assign(ApplicationValues& values, ApplicationField field, const FieldValue& value);

// The searched fields in search-text order.
constexpr auto searchedFields()
{
    constexpr int count = [] {
        int n = 0;
        for (const FieldDescription& d : all)
            n += d.searchOrder > 0 ? 1 : 0;
        return n;
    }();
    std::array<ApplicationField, count> fields {};
    for (const FieldDescription& d : all) {
        if (d.searchOrder > 0)
            fields[size_t(d.searchOrder - 1)] = d.field;
    }
    return fields;
}

constexpr bool searchOrderIsComplete()
{
    const auto fields = searchedFields();
    for (size_t i = 0; i < fields.size(); ++i) {
        if (describe(fields[i]).searchOrder != int(i) + 1)
            return false;
    }
    return true;
}
static_assert(searchOrderIsComplete(), "search positions run from 1 without gaps");

} // namespace ApplicationFields
