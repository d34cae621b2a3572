#include "mail/MailStatusUpdates.h"

#include "model/ApplicationEdits.h"
#include "store/Store.h"
#include "tracking/WindowState.h"

#include <algorithm>

QList<JobApplication*> applyMailUpdates(WindowState& state, QList<MailStatusUpdate> updates)
{
    QList<JobApplication*> changed;
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
    const QList<JobApplication*> added = state.addNewApplications(std::move(made));
    for (qsizetype i = 0; i < added.size() && i < madeFor.size(); ++i)
        updates[madeFor[i]].record = added[i]->id();

    for (const MailStatusUpdate& update : std::as_const(updates)) {
        JobApplication* record = update.record ? state.store().application(update.record) : nullptr;
        if (!record)
            continue;
        if (update.status && *update.status != record->status()) {
            record->changeStatus(*update.status, update.date);
            if (*update.status == ApplicationStatus::rejected) {
                ApplicationEdits::edit(*record, JobApplication::Field::rejectedByEmail, FieldValue(true));
                if (update.reason)
                    record->setRejectionReason(update.reason);
            }
        }
        if (!changed.contains(record))
            changed.append(record);
    }
    state.saveIfNeeded();
    if (!changed.isEmpty() && added.isEmpty())
        state.setSelectedID(changed.front()->id());
    return changed;
}
