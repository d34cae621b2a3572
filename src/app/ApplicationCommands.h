#pragma once

#include "ui/FocusedActions.h"

#include <QObject>
#include <QPointer>
#include <QUndoStack>

#include <array>

class QAction;
class QMainWindow;
class QMenu;
class QWidget;

// The menu commands of a main window. They do nothing themselves: each calls the
// action its window publishes under the command's key, and is enabled exactly
// while that window is the active one and publishes the key. The standard edit
// commands act on the focused text field; Undo and Redo take the field's own
// typing back first, then the window's steps ("Undo Status Change").
class ApplicationCommands : public QObject {
    Q_OBJECT

public:
    // Builds the File, Edit, View and Help menus in `window`'s menu bar and adds every command
    // to the window, so its shortcut works wherever the focus is. `published` may
    // be null (the store-failure window publishes nothing).
    ApplicationCommands(QMainWindow& window, FocusedActions* published);

    // The command that reads `key`.
    QAction* action(FocusedActions::Key key) const { return m_commands[size_t(key)]; }
    QAction* quitAction() const { return m_quit; }
    QMenu* fileMenu() const { return m_fileMenu; }
    QMenu* editMenu() const { return m_editMenu; }
    QMenu* viewMenu() const { return m_viewMenu; }
    QMenu* helpMenu() const { return m_helpMenu; }
    // Help ▸ About Applywright; the application shows the window, in either content.
    QAction* aboutAction() const { return m_about; }

    // Follows the window's activation and what it publishes.
    void updateEnabled();

    enum class EditOperation { undo, redo, cut, copy, paste, selectAll };
    // The standard edit commands on a text widget, and whether they apply now.
    static void perform(QWidget* focus, EditOperation operation);
    static bool isAvailable(const QWidget* focus, EditOperation operation);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAction* makeCommand(FocusedActions::Key key, const QString& title, const char* name);
    void buildEditActions();
    void updateEditActions();
    void followUndoStack();
    void watchFocus(QWidget* now);
    bool passesUndoKey(QObject* watched, QEvent* event) const;
    bool windowIsActive() const;

    QMainWindow& m_window;
    QPointer<FocusedActions> m_published;
    QPointer<QUndoStack> m_undoStack;
    QPointer<QWidget> m_focus;
    std::array<QAction*, FocusedActions::keys.size()> m_commands {};
    QMenu* m_fileMenu = nullptr;
    QMenu* m_editMenu = nullptr;
    QMenu* m_viewMenu = nullptr;
    QMenu* m_helpMenu = nullptr;
    QAction* m_quit = nullptr;
    QAction* m_about = nullptr;
    QAction* m_undo = nullptr;
    QAction* m_redo = nullptr;
    QAction* m_cut = nullptr;
    QAction* m_copy = nullptr;
    QAction* m_paste = nullptr;
    QAction* m_selectAll = nullptr;
};
