#pragma once

#include "model/ApplicationEdits.h"
#include "model/JobApplication.h"
#include "ui/FormControls.h"

#include <functional>
#include <memory>
#include <optional>

class QMenu;

// The status history, newest first, and how long the current stage has lasted.
// An entry's context menu corrects the history: "Change Date…" for any entry and
// "Remove This Change" for the newest, both steps undo can take back.
class TimelineSection : public FormSection {
    Q_OBJECT

public:
    // Asks for an entry's new date within its bounds; none when cancelled. Empty: a dialog.
    using DatePrompt = std::function<std::optional<QDateTime>(
        const QDateTime& date, const ApplicationEdits::DateBounds& bounds, QWidget* parent)>;

    TimelineSection(JobApplication& application, ApplicationEdits& edits, QWidget* parent = nullptr);

    QWidget* stageRow() const { return m_stageRow; }
    QLabel* stageLabel() const { return m_stage; }
    // The rows below "In this stage": one per change, newest first, or the empty note.
    QList<QWidget*> entryRows() const { return m_entries; }
    // The change a row shows; none for the empty note.
    StatusChange* entryOf(const QWidget* row) const;
    // The menu a row's context menu shows.
    std::unique_ptr<QMenu> makeEntryMenu(StatusChange& entry);
    void setDatePrompt(DatePrompt prompt) { m_datePrompt = std::move(prompt); }
    // Recomputes the day count (the day clock moved on).
    void refresh();

private:
    void scheduleRebuild();
    void rebuild();
    void updateStage();
    // One change added or taken out: one row, the others stay as they are.
    void insertEntry(StatusChange* entry);
    void removeEntry(StatusChange* entry);
    void showEmptyNote();
    QWidget* makeEntryRow(StatusChange* entry);
    void changeDate(StatusChange* entry);
    void removeChange(StatusChange* entry);
    bool holds(const StatusChange* entry) const;

    RecordPointer m_application;
    ApplicationEdits& m_edits;
    DatePrompt m_datePrompt;
    QWidget* m_stageRow;
    QLabel* m_stage;
    QList<QWidget*> m_entries;
    bool m_rebuildQueued = false;
    QHash<const QWidget*, StatusChange*> m_entryOfRow;
};
