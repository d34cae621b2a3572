#pragma once

#include "model/JobApplication.h"

#include <memory>
#include <optional>

class QUndoCommand;
class QUndoStack;
class RecordChange;

// The edit layer: every change a person makes to a record comes through here,
// from the detail editor, the list's context menu and the history's corrections.
// It decides what a change is by the record's rules (which fields stamp
// updatedAt, what a status change records and resets, what follows a corrected
// date) and makes it a step on the window's undo stack. Without a stack the
// change is made at once and cannot be taken back.
class ApplicationEdits {
public:
    explicit ApplicationEdits(QUndoStack* stack = nullptr);
    ApplicationEdits(const ApplicationEdits&) = delete;
    ApplicationEdits& operator=(const ApplicationEdits&) = delete;

    QUndoStack* undoStack() const { return m_stack; }

    // Writes a field by its rule in the field table: a plain field is written and
    // stamped when its value changes (the posting link never stamps); a field with
    // a writer goes through it (the status through changeStatus). A field nobody
    // edits (dates the record keeps, the identifier) is refused. Typing in a text
    // or amount field, and stepping through a date, joins the step before it
    // until another field or record is touched.
    void edit(JobApplication& application, ApplicationField field, const FieldValue& value);
    // A long text is typed like any other text.
    template <ApplicationField field>
    using Edited = std::conditional_t<std::is_same_v<ApplicationFields::ValueType<field>, LongText>, QString,
        ApplicationFields::ValueType<field>>;
    template <ApplicationField field> void edit(JobApplication& application, const Edited<field>& value)
    {
        edit(application, field, FieldValue(value));
    }

    // The status transition: when the status changes, records the entry, dates the
    // stage (and the closing, or clears it), resets the rejection details unless
    // rejected, and stamps updatedAt with a reading of its own.
    void changeStatus(JobApplication& application, ApplicationStatus status);
    // The same transition dated at `moment` instead of now (a status read from a
    // message happened when the message was sent); updatedAt still says now.
    void changeStatus(JobApplication& application, ApplicationStatus status, const QDateTime& moment);
    // Written and stamped only when the value read changes.
    void setWorkModel(JobApplication& application, WorkModel workModel);
    void setCurrency(JobApplication& application, Currency currency);
    // Written and stamped every time, also when the reason does not change.
    void setRejectionReason(JobApplication& application, std::optional<RejectionReason> reason);
    // The follow-up switch: on sets the reminder one week ahead (7 calendar days, the
    // same time of day), off removes it; either way updatedAt is stamped.
    void setFollowUpEnabled(JobApplication& application, bool enabled);
    // The star: flips it and stamps updatedAt.
    void toggleFavorite(JobApplication& application);

    // Where an entry's date may be moved: no earlier than the entry before it (none
    // for the first), no later than the one after it or now.
    struct DateBounds {
        std::optional<QDateTime> earliest;
        QDateTime latest;
        bool contains(const QDateTime& moment) const;
    };
    static DateBounds dateBounds(const JobApplication& application, const StatusChange& entry);
    // Moves the entry to `date` when the bounds allow it; the stage and closing
    // dates that were the entry's follow it. False when refused.
    bool changeEntryDate(JobApplication& application, StatusChange& entry, const QDateTime& date);
    // Only the newest entry can be taken back, and only one that left a status.
    static bool canRemove(const JobApplication& application, const StatusChange& entry);
    // Returns the record to the entry's previous status, its stage and closing
    // dates taken from the history that remains. False when refused.
    bool removeChange(JobApplication& application, StatusChange& entry);

    // Ends the step typing is joining, so the next keystroke starts a new one (the
    // window calls it when another record is selected, and around undo and redo).
    void endTyping() { ++m_session; }

private:
    void apply(std::unique_ptr<RecordChange> change);
    void editValue(JobApplication& application, ApplicationField field, const FieldValue& value);
    void writeWithStamp(JobApplication& application, ApplicationField field, const QString& raw, bool always);

    QUndoStack* m_stack;
    quint64 m_session = 0;
};
