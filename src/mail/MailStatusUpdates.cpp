#include "mail/MailStatusUpdates.h"

#include "model/ApplicationEdits.h"
#include "store/Store.h"
#include "tracking/WindowState.h"

#include <QCoreApplication>
#include <QUndoStack>

#include <algorithm>

QList<JobApplication*> applyMailUpdates(WindowState& state, QList<MailStatusUpdate> updates)
{
    QList<JobApplication*> changed;
    if (updates.isEmpty())
        return changed;
    // Oldest first, so a record's history reads in the order its messages came.
    std::stable_sort(updates.begin(), updates.end(),
        [](const MailStatusUpdate& a, const MailStatusUpdate& b) { return a.date < b.date; });

    std::vector<std::unique_ptr<JobApplication>> made;
    QList<qsizetype> madeFor;
    for (qsizetype i = 0; i < updates.size(); ++i) {
        const MailStatusUpdate& update = updates[i];
        if (update.record != 0 || !update.newApplication)
            continue;
        made.push_back(std::make_unique<JobApplication>(update.newApplication->company.trimmed(),
            update.newApplication->position.trimmed(), QString(), WorkModel::remote, ApplicationStatus::applied,
            update.date));
        madeFor.append(i);
    }
    // The whole review is one step: undo takes back every move and every new application.
    QUndoStack& steps = state.undoStack();
    ApplicationEdits& edits = state.edits();
    edits.endTyping();
    steps.beginMacro(QCoreApplication::translate("MailStatusUpdates", "Mail Import"));
    const QList<JobApplication*> added = state.addNewApplications(std::move(made));
    for (qsizetype i = 0; i < added.size() && i < madeFor.size(); ++i)
        updates[madeFor[i]].record = added[i]->id();

    for (const MailStatusUpdate& update : std::as_const(updates)) {
        JobApplication* record = update.record ? state.store().application(update.record) : nullptr;
        if (!record)
            continue;
        if (update.status && *update.status != record->status()) {
            edits.changeStatus(*record, *update.status, update.date);
            if (*update.status == ApplicationStatus::rejected) {
                edits.edit<ApplicationField::rejectedByEmail>(*record, true);
                if (update.reason)
                    edits.setRejectionReason(*record, update.reason);
            }
        }
        if (!changed.contains(record))
            changed.append(record);
    }
    steps.endMacro();
    edits.endTyping();
    state.saveIfNeeded();
    if (!changed.isEmpty() && added.isEmpty())
        state.setSelectedID(changed.front()->id());
    return changed;
}
