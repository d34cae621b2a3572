#pragma once

#include "model/JobApplication.h"

#include <QCoreApplication>

#include <array>
#include <string_view>

// The one description of a job application's persistent fields. The store's
// columns, the backup document's keys, the search text, what makes the visible
// list change and which edits stamp updatedAt are all read from this table, so
// a field cannot be forgotten by one of them.

enum class FieldKind : quint8 {
    identifier, // optional UUID
    text,
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
    byWriter, // the typed writer decides (work model and currency when changed, the reason always)
};

struct FieldDescription {
    JobApplication::Field field;
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

    constexpr bool isOptional() const
    {
        return kind == FieldKind::identifier || kind == FieldKind::optionalRawValue || kind == FieldKind::optionalMoment
            || kind == FieldKind::amount;
    }
    // A change of this field can change which records the list shows, their order or the counts.
    constexpr bool affectsVisibleList() const { return searchOrder > 0 || listInput; }
};

namespace ApplicationFields {

using F = JobApplication::Field;
using K = FieldKind;
using V = FieldVocabulary;
using S = EditStamp;

inline constexpr std::array<FieldDescription, JobApplication::fieldCount> all {{
    {F::uuid, "uuid", "id", QT_TRANSLATE_NOOP("ApplicationFields", "ID"), K::identifier},
    {F::companyName, "companyName", "companyName", QT_TRANSLATE_NOOP("ApplicationFields", "Company"), K::text, V::none,
        1, true, S::whenChanged},
    {F::position, "position", "position", QT_TRANSLATE_NOOP("ApplicationFields", "Position"), K::text, V::none, 2,
        false, S::whenChanged},
    {F::postingLink, "postingLink", "postingLink", QT_TRANSLATE_NOOP("ApplicationFields", "Posting Link"), K::text,
        V::none, 0, false, S::never},
    {F::workModelRaw, "workModelRaw", "workModel", QT_TRANSLATE_NOOP("ApplicationFields", "Work Model"), K::rawValue,
        V::workModel, 9, false, S::byWriter},
    {F::statusRaw, "statusRaw", "status", QT_TRANSLATE_NOOP("ApplicationFields", "Status"), K::rawValue, V::status, 8,
        true, S::byWriter},
    {F::applicationDate, "applicationDate", "applicationDate",
        QT_TRANSLATE_NOOP("ApplicationFields", "Application Date"), K::moment, V::none, 0, true, S::whenChanged},
    {F::statusChangedAt, "statusChangedAt", "statusChangedAt", QT_TRANSLATE_NOOP("ApplicationFields", "Status Date"),
        K::moment},
    {F::closedAt, "closedAt", "closedAt", QT_TRANSLATE_NOOP("ApplicationFields", "Closing Date"), K::optionalMoment},
    {F::followUpDate, "followUpDate", "followUpDate", QT_TRANSLATE_NOOP("ApplicationFields", "Follow-up Date"),
        K::optionalMoment, V::none, 0, false, S::whenChanged},
    {F::rejectedByEmail, "rejectedByEmail", "rejectedByEmail",
        QT_TRANSLATE_NOOP("ApplicationFields", "Rejected by Email"), K::flag, V::none, 0, false, S::whenChanged},
    {F::rejectedByPhone, "rejectedByPhone", "rejectedByPhone",
        QT_TRANSLATE_NOOP("ApplicationFields", "Rejected by Phone"), K::flag, V::none, 0, false, S::whenChanged},
    {F::rejectionReasonRaw, "rejectionReasonRaw", "rejectionReason",
        QT_TRANSLATE_NOOP("ApplicationFields", "Rejection Reason"), K::optionalRawValue, V::rejectionReason, 0, false,
        S::byWriter},
    {F::rejectionNote, "rejectionNote", "rejectionNote", QT_TRANSLATE_NOOP("ApplicationFields", "Rejection Note"),
        K::text, V::none, 0, false, S::whenChanged},
    {F::hrContactName, "hrContactName", "hrContactName", QT_TRANSLATE_NOOP("ApplicationFields", "HR Contact"), K::text,
        V::none, 4, false, S::whenChanged},
    {F::hrContactEmail, "hrContactEmail", "hrContactEmail", QT_TRANSLATE_NOOP("ApplicationFields", "HR Email"), K::text,
        V::none, 5, false, S::whenChanged},
    {F::techInterviewerName, "techInterviewerName", "techInterviewerName",
        QT_TRANSLATE_NOOP("ApplicationFields", "Tech Interviewer"), K::text, V::none, 6, false, S::whenChanged},
    {F::techInterviewerRole, "techInterviewerRole", "techInterviewerRole",
        QT_TRANSLATE_NOOP("ApplicationFields", "Tech Interviewer Role"), K::text, V::none, 7, false, S::whenChanged},
    {F::expectedSalary, "expectedSalary", "expectedSalary", QT_TRANSLATE_NOOP("ApplicationFields", "Expected Salary"),
        K::amount, V::none, 0, false, S::whenChanged},
    {F::offeredSalary, "offeredSalary", "offeredSalary", QT_TRANSLATE_NOOP("ApplicationFields", "Offered Salary"),
        K::amount, V::none, 0, false, S::whenChanged},
    {F::currencyRaw, "currencyRaw", "currency", QT_TRANSLATE_NOOP("ApplicationFields", "Currency"), K::rawValue,
        V::currency, 0, false, S::byWriter},
    {F::notes, "notes", "notes", QT_TRANSLATE_NOOP("ApplicationFields", "Notes"), K::text, V::none, 3, false,
        S::whenChanged},
    {F::isFavorite, "isFavorite", "isFavorite", QT_TRANSLATE_NOOP("ApplicationFields", "Starred"), K::flag, V::none, 0,
        false, S::whenChanged},
    {F::createdAt, "createdAt", "createdAt", QT_TRANSLATE_NOOP("ApplicationFields", "Created On"), K::moment},
    {F::updatedAt, "updatedAt", "updatedAt", QT_TRANSLATE_NOOP("ApplicationFields", "Last Changed"), K::moment},
    {F::history, "history", "history", QT_TRANSLATE_NOOP("ApplicationFields", "History"), K::history},
}};

constexpr const FieldDescription& describe(JobApplication::Field field)
{
    return all[size_t(field)];
}

// The field's title in the user's language.
inline QString title(const FieldDescription& description)
{
    return QCoreApplication::translate("ApplicationFields", description.title);
}

constexpr bool inFieldOrder()
{
    for (size_t i = 0; i < all.size(); ++i) {
        if (size_t(all[i].field) != i)
            return false;
    }
    return true;
}
static_assert(inFieldOrder(), "the table lists the fields in their declared order");

// The searched fields in search-text order.
constexpr auto searchedFields()
{
    constexpr int count = [] {
        int n = 0;
        for (const FieldDescription& d : all)
            n += d.searchOrder > 0 ? 1 : 0;
        return n;
    }();
    std::array<JobApplication::Field, count> fields {};
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

// The variant alternative a field's value takes.
constexpr size_t valueIndex(FieldKind kind)
{
    switch (kind) {
    case FieldKind::identifier: return 1;
    case FieldKind::text:
    case FieldKind::rawValue: return 2;
    case FieldKind::optionalRawValue: return 3;
    case FieldKind::moment: return 4;
    case FieldKind::optionalMoment: return 5;
    case FieldKind::flag: return 6;
    case FieldKind::amount: return 7;
    case FieldKind::history: return 0;
    }
    return 0;
}

} // namespace ApplicationFields
