#pragma once

#include "model/JobApplication.h"

#include <QUndoCommand>

#include <memory>
#include <vector>

// One person's change of one record as a step that can be taken back and done
// again: the values it changed (each before and after), the history entries it
// appended or removed and the entry dates it corrected. It only carries the
// change out; what the change is (stamping, what a status change resets) the
// edit layer has decided before it makes one.
class RecordChange : public QUndoCommand {
public:
    // Steps of one kind on one field of one record that may grow into one.
    enum class Coalescing { none = -1, typing = 1, date = 2 };

    RecordChange(JobApplication& application, const QString& text);
    ~RecordChange() override;

    // The fields whose value differs between the two.
    void setValues(const ApplicationValues& before, const ApplicationValues& after);
    // Appended at the end of the history when done, taken out when undone.
    void appendEntry(std::unique_ptr<StatusChange> entry);
    // Taken out of the history when done, put back where it was when undone.
    void removeEntry(StatusChange* entry);
    void redateEntry(StatusChange* entry, const QDateTime& date);
    // Later steps of the same kind on `field` in the same session join this one.
    void coalesce(Coalescing kind, ApplicationField field, quint64 session);

    bool isEmpty() const { return m_fields.empty() && m_entries.empty(); }
    JobApplication* application() const { return m_application; }

    void redo() override;
    void undo() override;
    int id() const override { return int(m_coalescing); }
    bool mergeWith(const QUndoCommand* other) override;

private:
    struct FieldChange {
        ApplicationField field;
        FieldValue before;
        FieldValue after;
    };
    struct EntryChange {
        enum class Kind { append, remove, redate };
        Kind kind;
        StatusChange* entry;
        // Held here while the entry is out of the history.
        std::unique_ptr<StatusChange> detached;
        qsizetype index = -1;
        QDateTime before;
        QDateTime after;
    };

    void attach(JobApplication& application, EntryChange& change);
    void detach(JobApplication& application, EntryChange& change);

    RecordPointer m_application;
    std::vector<FieldChange> m_fields;
    std::vector<EntryChange> m_entries;
    Coalescing m_coalescing = Coalescing::none;
    ApplicationField m_coalescedField = ApplicationField::history;
    quint64 m_session = 0;
};
