#include "model/RecordChange.h"

#include "model/RecordWriter.h"

#include <algorithm>

RecordChange::RecordChange(JobApplication& application, const QString& text)
    : QUndoCommand(text)
    , m_application(&application)
{
}

RecordChange::~RecordChange() = default;

void RecordChange::setValues(const ApplicationValues& before, const ApplicationValues& after)
{
    for (const FieldDescription& description : ApplicationFields::all) {
        if (description.kind == FieldKind::history)
            continue;
        FieldValue was = ApplicationFields::value(before, description.field);
        FieldValue becomes = ApplicationFields::value(after, description.field);
        if (was != becomes)
            m_fields.push_back({description.field, std::move(was), std::move(becomes)});
    }
}

void RecordChange::appendEntry(std::unique_ptr<StatusChange> entry)
{
    StatusChange* pointer = entry.get();
    m_entries.push_back({EntryChange::Kind::append, pointer, std::move(entry), -1, {}, {}});
}

void RecordChange::removeEntry(StatusChange* entry)
{
    m_entries.push_back({EntryChange::Kind::remove, entry, nullptr, -1, {}, {}});
}

void RecordChange::redateEntry(StatusChange* entry, const QDateTime& date)
{
    m_entries.push_back({EntryChange::Kind::redate, entry, nullptr, -1, entry->date(), date.toUTC()});
}

void RecordChange::coalesce(Coalescing kind, ApplicationField field, quint64 session)
{
    m_coalescing = kind;
    m_coalescedField = field;
    m_session = session;
}

void RecordChange::attach(JobApplication& application, EntryChange& change)
{
    const qsizetype at = change.index < 0 ? application.history().size() : change.index;
    change.index = at;
    change.entry = RecordWriter::insertHistory(application, at, std::move(change.detached));
}

void RecordChange::detach(JobApplication& application, EntryChange& change)
{
    change.index = application.history().indexOf(change.entry);
    change.detached = RecordWriter::takeHistory(application, change.entry);
}

void RecordChange::redo()
{
    JobApplication* application = m_application.data();
    if (!application)
        return;
    for (const FieldChange& change : m_fields)
        RecordWriter::write(*application, change.field, change.after);
    for (EntryChange& change : m_entries) {
        switch (change.kind) {
        case EntryChange::Kind::append: attach(*application, change); break;
        case EntryChange::Kind::remove: detach(*application, change); break;
        case EntryChange::Kind::redate: RecordWriter::setDate(*change.entry, change.after); break;
        }
    }
}

void RecordChange::undo()
{
    JobApplication* application = m_application.data();
    if (!application)
        return;
    for (auto it = m_entries.rbegin(); it != m_entries.rend(); ++it) {
        switch (it->kind) {
        case EntryChange::Kind::append: detach(*application, *it); break;
        case EntryChange::Kind::remove: attach(*application, *it); break;
        case EntryChange::Kind::redate: RecordWriter::setDate(*it->entry, it->before); break;
        }
    }
    for (auto it = m_fields.rbegin(); it != m_fields.rend(); ++it)
        RecordWriter::write(*application, it->field, it->before);
}

bool RecordChange::mergeWith(const QUndoCommand* other)
{
    // Only changes of this class share a coalescing id.
    const auto* next = static_cast<const RecordChange*>(other);
    if (next->m_application != m_application || next->m_coalescedField != m_coalescedField
        || next->m_session != m_session)
        return false;
    const auto redatesOnly = [](const EntryChange& change) { return change.kind == EntryChange::Kind::redate; };
    if (!std::all_of(next->m_entries.begin(), next->m_entries.end(), redatesOnly)
        || !std::all_of(m_entries.begin(), m_entries.end(), redatesOnly))
        return false;

    for (const FieldChange& change : next->m_fields) {
        auto mine = std::find_if(
            m_fields.begin(), m_fields.end(), [&change](const FieldChange& f) { return f.field == change.field; });
        if (mine != m_fields.end())
            mine->after = change.after;
        else
            m_fields.push_back(change);
    }
    for (const EntryChange& change : next->m_entries) {
        auto mine = std::find_if(
            m_entries.begin(), m_entries.end(), [&change](const EntryChange& e) { return e.entry == change.entry; });
        if (mine != m_entries.end())
            mine->after = change.after;
        else
            m_entries.push_back({change.kind, change.entry, nullptr, -1, change.before, change.after});
    }

    // Typed back to where it started: as if nothing had been typed, stamp included.
    const auto typed = std::find_if(
        m_fields.begin(), m_fields.end(), [this](const FieldChange& f) { return f.field == m_coalescedField; });
    if (typed == m_fields.end() || typed->before == typed->after) {
        undo();
        setObsolete(true);
    }
    return true;
}
