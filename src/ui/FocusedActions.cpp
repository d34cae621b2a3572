#include "ui/FocusedActions.h"

#include <QUndoStack>

FocusedActions::FocusedActions(QObject* parent)
    : QObject(parent)
{
}

void FocusedActions::publish(Key key, Action action)
{
    Action& slot = m_actions[size_t(key)];
    const bool wasPublished = bool(slot);
    slot = std::move(action);
    if (wasPublished != bool(slot))
        Q_EMIT publishedChanged(key);
}

void FocusedActions::withdraw(Key key)
{
    publish(key, {});
}

bool FocusedActions::isPublished(Key key) const
{
    return bool(m_actions[size_t(key)]);
}

bool FocusedActions::trigger(Key key) const
{
    // A copy: the action may withdraw or replace itself while it runs.
    const Action action = m_actions[size_t(key)];
    if (!action)
        return false;
    action();
    return true;
}

QList<QKeySequence> FocusedActions::shortcuts(Key key)
{
    switch (key) {
    case Key::createApplication: return {QKeySequence(Qt::CTRL | Qt::Key_N)};
    case Key::saveChanges: return {QKeySequence(Qt::CTRL | Qt::Key_S)};
    // Delete first: it is the one menus show ("Del"); Backspace works the same.
    case Key::deleteSelection: return {QKeySequence(Qt::Key_Delete), QKeySequence(Qt::Key_Backspace)};
    case Key::exportBackup: return {QKeySequence(Qt::SHIFT | Qt::CTRL | Qt::Key_E)};
    case Key::importBackup: return {QKeySequence(Qt::SHIFT | Qt::CTRL | Qt::Key_I)};
    case Key::importScreenshots: return {QKeySequence(Qt::SHIFT | Qt::CTRL | Qt::Key_O)};
    case Key::pastePosting: return {QKeySequence(Qt::SHIFT | Qt::CTRL | Qt::Key_V)};
    case Key::exportSpreadsheet: return {};
    case Key::showInsights: return {QKeySequence(Qt::CTRL | Qt::Key_I)};
    case Key::importMail: return {QKeySequence(Qt::SHIFT | Qt::CTRL | Qt::Key_M)};
    // As bookmarks are set elsewhere on the desktop.
    case Key::toggleStar: return {QKeySequence(Qt::CTRL | Qt::Key_D)};
    }
    return {};
}

void FocusedActions::publishUndo(QUndoStack* stack, Action undo, Action redo)
{
    m_undoStack = stack;
    m_undo = std::move(undo);
    m_redo = std::move(redo);
    Q_EMIT undoPublished();
}

bool FocusedActions::triggerUndo(bool redo) const
{
    const Action action = redo ? m_redo : m_undo;
    if (!action)
        return false;
    action();
    return true;
}
