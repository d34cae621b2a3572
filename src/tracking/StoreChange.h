#pragma once

#include "model/JobApplication.h"

#include <QList>
#include <QUndoCommand>

#include <functional>
#include <memory>
#include <vector>

class Store;

// Records entering or leaving the store as one step that can be taken back: a
// new record, reviewed drafts added, a backup merged (undone, the records go
// again), a deletion (undone, the record comes back with its identifier, its
// values and its whole history). The records live on while they are out of the
// store, held by the step.
class StoreChange : public QUndoCommand {
public:
    // Records not yet in the store, put in when the step is done.
    static std::unique_ptr<StoreChange> adding(
        Store& store, std::vector<std::unique_ptr<JobApplication>> applications, const QString& text);
    // Stored records, taken out when the step is done.
    static std::unique_ptr<StoreChange> removing(
        Store& store, const QList<JobApplication*>& applications, const QString& text);
    ~StoreChange() override;

    // The records of the step, in the store or not.
    const QList<JobApplication*>& applications() const { return m_applications; }
    // Called after the records have come into the store (done for an addition,
    // undone for a deletion).
    void setOnEntered(std::function<void(const QList<JobApplication*>&)> entered) { m_entered = std::move(entered); }

    void redo() override;
    void undo() override;

private:
    StoreChange(Store& store, bool adds, const QString& text);
    void putIn();
    void takeOut();

    Store& m_store;
    bool m_adds;
    QList<JobApplication*> m_applications;
    std::vector<std::unique_ptr<JobApplication>> m_outside;
    std::function<void(const QList<JobApplication*>&)> m_entered;
};
