#include "model/ApplicationEdits.h"

#include "model/ApplicationFields.h"
#include "model/Clock.h"
#include "model/RecordChange.h"

#include <QCoreApplication>
#include <QUndoStack>

namespace {

using Field = ApplicationField;

QDateTime stamp()
{
    return Clock::now().toUTC();
}

QString stepName(Field field)
{
    return QCoreApplication::translate("ApplicationEdits", ApplicationFields::describe(field).editName);
}

RecordChange::Coalescing coalescingOf(FieldKind kind)
{
    switch (kind) {
    case FieldKind::text:
    case FieldKind::longText:
    case FieldKind::amount: return RecordChange::Coalescing::typing;
    case FieldKind::moment:
    case FieldKind::optionalMoment: return RecordChange::Coalescing::date;
    default: return RecordChange::Coalescing::none;
    }
}

void resetRejection(ApplicationValues& values)
{
    values.rejectedByEmail = false;
    values.rejectedByPhone = false;
    values.rejectionReasonRaw.reset();
    values.rejectionNote.clear();
}

// The stage and closing dates that were an entry's date follow it to its new one.
void followEntry(ApplicationValues& values, const QDateTime& from, const QDateTime& to)
{
    if (values.statusChangedAt == from)
        values.statusChangedAt = to;
    if (values.closedAt == from)
        values.closedAt = to;
}

// A new application date takes the first history entry with it when they were
// the same moment, as long as it stays before the entry after it.
void followApplicationDate(const JobApplication& application, ApplicationValues& after, RecordChange& change)
{
    const QList<StatusChange*> entries = StatusChange::newestFirst(application.history());
    if (entries.isEmpty())
        return;
    StatusChange* first = entries.last();
    const QDateTime& was = application.applicationDate();
    if (first->from() || first->date() != was)
        return;
    if (entries.size() > 1 && entries[entries.size() - 2]->date() < after.applicationDate)
        return;
    change.redateEntry(first, after.applicationDate);
    followEntry(after, was, after.applicationDate);
}

} // namespace

ApplicationEdits::ApplicationEdits(QUndoStack* stack)
    : m_stack(stack)
{
}

void ApplicationEdits::apply(std::unique_ptr<RecordChange> change)
{
    if (change->isEmpty())
        return;
    if (m_stack)
        m_stack->push(change.release());
    else
        change->redo();
}

void ApplicationEdits::edit(JobApplication& application, Field field, const FieldValue& value)
{
    const FieldDescription& description = ApplicationFields::describe(field);
    const auto raw = [&value] { return std::get_if<QString>(&value); };
    switch (description.stamp) {
    case EditStamp::notEditable: break;
    case EditStamp::never:
    case EditStamp::whenChanged: editValue(application, field, value); return;
    case EditStamp::byWriter:
        switch (description.vocabulary) {
        case FieldVocabulary::status:
            if (const auto status = raw() ? fromRawValue<ApplicationStatus>(*raw()) : std::nullopt)
                changeStatus(application, *status);
            return;
        case FieldVocabulary::workModel:
            if (const auto model = raw() ? fromRawValue<WorkModel>(*raw()) : std::nullopt)
                setWorkModel(application, *model);
            return;
        case FieldVocabulary::currency:
            if (const auto currency = raw() ? fromRawValue<Currency>(*raw()) : std::nullopt)
                setCurrency(application, *currency);
            return;
        case FieldVocabulary::rejectionReason:
            if (const auto* reason = std::get_if<std::optional<QString>>(&value))
                setRejectionReason(application, *reason ? fromRawValue<RejectionReason>(**reason) : std::nullopt);
            return;
        case FieldVocabulary::none: break;
        }
        break;
    }
    Q_ASSERT_X(false, "ApplicationEdits::edit", "a field nobody edits directly");
}

void ApplicationEdits::editValue(JobApplication& application, Field field, const FieldValue& value)
{
    const FieldDescription& description = ApplicationFields::describe(field);
    ApplicationValues after = application.values();
    if (!ApplicationFields::assign(after, field, value)) {
        Q_ASSERT_X(false, "ApplicationEdits::edit", "a value of another type than the field's");
        return;
    }
    if (ApplicationFields::value(after, field) == application.value(field))
        return;
    if (description.stamp == EditStamp::whenChanged)
        after.updatedAt = stamp();
    auto change = std::make_unique<RecordChange>(application, stepName(field));
    if (field == Field::applicationDate)
        followApplicationDate(application, after, *change);
    change->setValues(application.values(), after);
    if (const auto coalescing = coalescingOf(description.kind); coalescing != RecordChange::Coalescing::none)
        change->coalesce(coalescing, field, m_session);
    apply(std::move(change));
}

void ApplicationEdits::writeWithStamp(JobApplication& application, Field field, const QString& raw, bool always)
{
    ApplicationValues after = application.values();
    if (field == Field::rejectionReasonRaw)
        after.rejectionReasonRaw = raw.isNull() ? std::nullopt : std::optional<QString>(raw);
    else
        ApplicationFields::assign(after, field, raw);
    if (!always && after == application.values())
        return;
    after.updatedAt = stamp();
    auto change = std::make_unique<RecordChange>(application, stepName(field));
    change->setValues(application.values(), after);
    apply(std::move(change));
}

void ApplicationEdits::changeStatus(JobApplication& application, ApplicationStatus status)
{
    changeStatus(application, status, stamp());
}

void ApplicationEdits::changeStatus(JobApplication& application, ApplicationStatus status, const QDateTime& moment)
{
    const ApplicationStatus old = application.status();
    if (status == old)
        return;
    const QDateTime now = moment.toUTC();
    ApplicationValues after = application.values();
    after.statusRaw = rawValue(status);
    after.statusChangedAt = now;
    after.closedAt = isClosed(status) ? std::optional<QDateTime>(now) : std::nullopt;
    if (status != ApplicationStatus::rejected)
        resetRejection(after);
    // A reading of its own: the stamp says when the change was finished.
    after.updatedAt = stamp();
    auto change = std::make_unique<RecordChange>(application, stepName(Field::statusRaw));
    change->setValues(application.values(), after);
    change->appendEntry(std::make_unique<StatusChange>(old, status, now));
    apply(std::move(change));
}

void ApplicationEdits::setWorkModel(JobApplication& application, WorkModel workModel)
{
    if (workModel != application.workModel())
        writeWithStamp(application, Field::workModelRaw, rawValue(workModel), false);
}

void ApplicationEdits::setCurrency(JobApplication& application, Currency currency)
{
    if (currency != application.currency())
        writeWithStamp(application, Field::currencyRaw, rawValue(currency), false);
}

void ApplicationEdits::setRejectionReason(JobApplication& application, std::optional<RejectionReason> reason)
{
    writeWithStamp(application, Field::rejectionReasonRaw, reason ? rawValue(*reason) : QString(), true);
}

void ApplicationEdits::setFollowUpEnabled(JobApplication& application, bool enabled)
{
    ApplicationValues after = application.values();
    after.followUpDate.reset();
    if (enabled) {
        // Calendar addition in local time keeps the time of day across a
        // daylight-saving change; an impossible date leaves the reminder off.
        const QDateTime weekAhead = Clock::now().toLocalTime().addDays(7);
        if (weekAhead.isValid())
            after.followUpDate = weekAhead.toUTC();
    }
    after.updatedAt = stamp();
    auto change = std::make_unique<RecordChange>(application, stepName(Field::followUpDate));
    change->setValues(application.values(), after);
    apply(std::move(change));
}

void ApplicationEdits::toggleFavorite(JobApplication& application)
{
    ApplicationValues after = application.values();
    after.isFavorite = !after.isFavorite;
    after.updatedAt = stamp();
    auto change = std::make_unique<RecordChange>(application, stepName(Field::isFavorite));
    change->setValues(application.values(), after);
    apply(std::move(change));
}

bool ApplicationEdits::DateBounds::contains(const QDateTime& moment) const
{
    return (!earliest || *earliest <= moment) && moment <= latest;
}

ApplicationEdits::DateBounds ApplicationEdits::dateBounds(const JobApplication& application, const StatusChange& entry)
{
    const QList<StatusChange*> entries = StatusChange::newestFirst(application.history());
    const qsizetype at = entries.indexOf(&entry);
    DateBounds bounds {std::nullopt, stamp()};
    if (at > 0)
        bounds.latest = std::min(bounds.latest, entries[at - 1]->date());
    if (at >= 0 && at + 1 < entries.size())
        bounds.earliest = entries[at + 1]->date();
    return bounds;
}

bool ApplicationEdits::changeEntryDate(JobApplication& application, StatusChange& entry, const QDateTime& date)
{
    if (entry.application() != &application || !dateBounds(application, entry).contains(date))
        return false;
    if (date == entry.date())
        return true;
    ApplicationValues after = application.values();
    followEntry(after, entry.date(), date.toUTC());
    after.updatedAt = stamp();
    auto change
        = std::make_unique<RecordChange>(application, QCoreApplication::translate("ApplicationEdits", "Date Change"));
    change->setValues(application.values(), after);
    change->redateEntry(&entry, date);
    apply(std::move(change));
    return true;
}

bool ApplicationEdits::canRemove(const JobApplication& application, const StatusChange& entry)
{
    const QList<StatusChange*> entries = StatusChange::newestFirst(application.history());
    return !entries.isEmpty() && entries.first() == &entry && entry.from().has_value();
}

bool ApplicationEdits::removeChange(JobApplication& application, StatusChange& entry)
{
    if (!canRemove(application, entry))
        return false;
    const QList<StatusChange*> entries = StatusChange::newestFirst(application.history());
    const ApplicationStatus back = *entry.from();
    ApplicationValues after = application.values();
    after.statusRaw = rawValue(back);
    // The stage began with the newest change that remains.
    after.statusChangedAt = entries.size() > 1 ? entries[1]->date() : application.applicationDate();
    after.closedAt = isClosed(back) ? std::optional<QDateTime>(after.statusChangedAt) : std::nullopt;
    if (back != ApplicationStatus::rejected)
        resetRejection(after);
    after.updatedAt = stamp();
    auto change = std::make_unique<RecordChange>(
        application, QCoreApplication::translate("ApplicationEdits", "Status Change Removal"));
    change->setValues(application.values(), after);
    change->removeEntry(&entry);
    apply(std::move(change));
    return true;
}
