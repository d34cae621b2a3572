#pragma once

#include <QKeySequence>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QUndoStack>

#include <array>
#include <functional>

// The actions a main window publishes for the menu commands, one optional action
// per key. The commands read the keys of the focused window and stay disabled for
// a key that carries no action.
class FocusedActions : public QObject {
    Q_OBJECT

public:
    enum class Key {
        createApplication,
        saveChanges,
        deleteSelection,
        exportBackup,
        importBackup,
        importScreenshots,
        pastePosting,
        exportSpreadsheet,
        showInsights,
        importMail,
        toggleStar,
    };
    Q_ENUM(Key)

    static constexpr std::array keys {Key::createApplication, Key::saveChanges, Key::deleteSelection, Key::exportBackup,
        Key::importBackup, Key::importScreenshots, Key::pastePosting, Key::exportSpreadsheet, Key::showInsights,
        Key::importMail, Key::toggleStar};

    using Action = std::function<void()>;

    explicit FocusedActions(QObject* parent = nullptr);

    // Publishes `action` under `key`; an empty action withdraws the key.
    void publish(Key key, Action action);
    void withdraw(Key key);
    bool isPublished(Key key) const;
    // Calls the action of `key` once; false when none is published.
    bool trigger(Key key) const;

    // The keyboard shortcuts of the command that reads `key`, first the one menus show.
    static QList<QKeySequence> shortcuts(Key key);

    // The window's undo stack (what Edit ▸ Undo and Redo name and whether they
    // apply) and the window's own way of taking a step back and doing it again.
    void publishUndo(QUndoStack* stack, Action undo, Action redo);
    QUndoStack* undoStack() const { return m_undoStack; }
    // Takes a step back (or does one again); false when nothing is published.
    bool triggerUndo(bool redo) const;

Q_SIGNALS:
    void publishedChanged(FocusedActions::Key key);
    void undoPublished();

private:
    std::array<Action, keys.size()> m_actions;
    QPointer<QUndoStack> m_undoStack;
    Action m_undo;
    Action m_redo;
};
