#include "tracking/StoreChange.h"

#include "store/Store.h"

StoreChange::StoreChange(Store& store, bool adds, const QString& text)
    : QUndoCommand(text)
    , m_store(store)
    , m_adds(adds)
{
}

StoreChange::~StoreChange() = default;

std::unique_ptr<StoreChange> StoreChange::adding(
    Store& store, std::vector<std::unique_ptr<JobApplication>> applications, const QString& text)
{
    std::unique_ptr<StoreChange> change(new StoreChange(store, true, text));
    change->m_applications.reserve(qsizetype(applications.size()));
    for (const auto& application : applications)
        change->m_applications.append(application.get());
    change->m_outside = std::move(applications);
    return change;
}

std::unique_ptr<StoreChange> StoreChange::removing(
    Store& store, const QList<JobApplication*>& applications, const QString& text)
{
    std::unique_ptr<StoreChange> change(new StoreChange(store, false, text));
    change->m_applications = applications;
    return change;
}

void StoreChange::putIn()
{
    m_store.insert(std::move(m_outside));
    m_outside.clear();
    if (m_entered)
        m_entered(m_applications);
}

void StoreChange::takeOut()
{
    m_outside = m_store.take(m_applications);
    // A record that had already left another way is no longer part of the step.
    m_applications.clear();
    for (const auto& application : m_outside)
        m_applications.append(application.get());
}

void StoreChange::redo()
{
    if (m_adds)
        putIn();
    else
        takeOut();
}

void StoreChange::undo()
{
    if (m_adds)
        takeOut();
    else
        putIn();
}
