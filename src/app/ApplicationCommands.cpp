#include "app/ApplicationCommands.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QTextEdit>
#include <QUndoStack>

namespace {

using EditOperation = ApplicationCommands::EditOperation;

template <typename Edit> void performOnText(Edit* edit, EditOperation op)
{
    switch (op) {
    case EditOperation::undo: edit->undo(); break;
    case EditOperation::redo: edit->redo(); break;
    case EditOperation::cut: edit->cut(); break;
    case EditOperation::copy: edit->copy(); break;
    case EditOperation::paste: edit->paste(); break;
    case EditOperation::selectAll: edit->selectAll(); break;
    }
}

template <typename Edit> bool availableOnText(const Edit* edit, EditOperation op)
{
    const bool selection = edit->textCursor().hasSelection();
    switch (op) {
    case EditOperation::undo: return !edit->isReadOnly() && edit->document()->isUndoAvailable();
    case EditOperation::redo: return !edit->isReadOnly() && edit->document()->isRedoAvailable();
    case EditOperation::cut: return !edit->isReadOnly() && selection;
    case EditOperation::copy: return selection;
    case EditOperation::paste: return edit->canPaste();
    case EditOperation::selectAll: return !edit->document()->isEmpty();
    }
    return false;
}

} // namespace

void ApplicationCommands::perform(QWidget* focus, EditOperation op)
{
    if (auto* line = qobject_cast<QLineEdit*>(focus)) {
        performOnText(line, op);
    } else if (auto* text = qobject_cast<QTextEdit*>(focus)) {
        performOnText(text, op);
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(focus)) {
        performOnText(plain, op);
    } else if (auto* spin = qobject_cast<QAbstractSpinBox*>(focus); spin && op == EditOperation::selectAll) {
        spin->selectAll();
    }
}

bool ApplicationCommands::isAvailable(const QWidget* focus, EditOperation op)
{
    if (const auto* line = qobject_cast<const QLineEdit*>(focus)) {
        const bool visibleText = line->echoMode() == QLineEdit::Normal;
        switch (op) {
        case EditOperation::undo: return !line->isReadOnly() && line->isUndoAvailable();
        case EditOperation::redo: return !line->isReadOnly() && line->isRedoAvailable();
        case EditOperation::cut: return !line->isReadOnly() && visibleText && line->hasSelectedText();
        case EditOperation::copy: return visibleText && line->hasSelectedText();
        case EditOperation::paste: return !line->isReadOnly();
        case EditOperation::selectAll: return !line->text().isEmpty();
        }
        return false;
    }
    if (const auto* text = qobject_cast<const QTextEdit*>(focus))
        return availableOnText(text, op);
    if (const auto* plain = qobject_cast<const QPlainTextEdit*>(focus))
        return availableOnText(plain, op);
    if (qobject_cast<const QAbstractSpinBox*>(focus))
        return op == EditOperation::selectAll;
    return false;
}

ApplicationCommands::ApplicationCommands(QMainWindow& window, FocusedActions* published)
    : QObject(&window)
    , m_window(window)
    , m_published(published)
{
    setObjectName(QStringLiteral("applicationCommands"));
    using Key = FocusedActions::Key;

    // "…" in the titles is the single character U+2026, not three dots.
    m_fileMenu = window.menuBar()->addMenu(tr("&File"));
    m_fileMenu->setObjectName(QStringLiteral("fileMenu"));
    m_fileMenu->addAction(makeCommand(Key::createApplication, tr("&New Application"), "newApplicationAction"));
    m_fileMenu->addAction(makeCommand(Key::saveChanges, tr("&Save"), "saveAction"));
    m_fileMenu->addSeparator();
    m_fileMenu->addAction(makeCommand(Key::importScreenshots, tr("&Add from Screenshot…"), "addFromScreenshotAction"));
    m_fileMenu->addAction(makeCommand(Key::pastePosting, tr("&Paste Job Posting"), "pasteJobPostingAction"));
    m_fileMenu->addAction(makeCommand(Key::importMail, tr("Import &Mail…"), "importMailAction"));
    m_fileMenu->addSeparator();
    m_fileMenu->addAction(makeCommand(Key::importBackup, tr("&Import…"), "importAction"));
    m_fileMenu->addAction(makeCommand(Key::exportBackup, tr("&Export…"), "exportAction"));
    m_fileMenu->addAction(
        makeCommand(Key::exportSpreadsheet, tr("Export as Sp&readsheet…"), "exportSpreadsheetAction"));
    m_fileMenu->addSeparator();
    m_quit = m_fileMenu->addAction(tr("&Quit"));
    m_quit->setObjectName(QStringLiteral("quitAction"));
    m_quit->setShortcuts(QKeySequence::Quit);
    m_quit->setMenuRole(QAction::QuitRole);
    // Queued, so the menu closes before the application starts to quit.
    connect(m_quit, &QAction::triggered, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    window.addAction(m_quit);

    m_editMenu = window.menuBar()->addMenu(tr("&Edit"));
    m_editMenu->setObjectName(QStringLiteral("editMenu"));
    buildEditActions();
    m_editMenu->addSeparator();
    m_editMenu->addAction(makeCommand(Key::toggleStar, tr("Add or Remove &Star"), "toggleStarCommand"));
    m_editMenu->addAction(makeCommand(Key::deleteSelection, tr("&Delete Application…"), "deleteApplicationAction"));
    connect(m_editMenu, &QMenu::aboutToShow, this, &ApplicationCommands::updateEditActions);

    m_viewMenu = window.menuBar()->addMenu(tr("&View"));
    m_viewMenu->setObjectName(QStringLiteral("viewMenu"));
    m_viewMenu->addAction(makeCommand(Key::showInsights, tr("&Insights"), "insightsAction"));

    m_helpMenu = window.menuBar()->addMenu(tr("&Help"));
    m_helpMenu->setObjectName(QStringLiteral("helpMenu"));
    m_about = m_helpMenu->addAction(tr("&About Applywright"));
    m_about->setObjectName(QStringLiteral("aboutAction"));
    m_about->setMenuRole(QAction::AboutRole);

    if (m_published) {
        connect(m_published, &FocusedActions::publishedChanged, this, &ApplicationCommands::updateEnabled);
        connect(m_published, &FocusedActions::undoPublished, this, &ApplicationCommands::followUndoStack);
        // The window's content may be replaced (a store that fails to read): every
        // command goes dark with it.
        connect(m_published, &QObject::destroyed, this, &ApplicationCommands::updateEnabled, Qt::QueuedConnection);
    }
    // Backspace and Delete still edit text while a text field has the focus: text
    // fields claim those keys before window shortcuts see them, so the delete
    // command keeps its keys and the menu keeps showing them.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { watchFocus(now); });
    m_window.installEventFilter(this);
    followUndoStack();
    watchFocus(QApplication::focusWidget());
    updateEnabled();
}

QAction* ApplicationCommands::makeCommand(FocusedActions::Key key, const QString& title, const char* name)
{
    auto* command = new QAction(title, &m_window);
    command->setObjectName(QLatin1String(name));
    command->setShortcuts(FocusedActions::shortcuts(key));
    command->setShortcutContext(Qt::WindowShortcut);
    connect(command, &QAction::triggered, this, [this, key] {
        if (m_published && windowIsActive())
            m_published->trigger(key);
    });
    m_window.addAction(command);
    m_commands[size_t(key)] = command;
    return command;
}

bool ApplicationCommands::windowIsActive() const
{
    return m_window.isActiveWindow();
}

void ApplicationCommands::updateEnabled()
{
    const bool active = windowIsActive();
    for (FocusedActions::Key key : FocusedActions::keys)
        action(key)->setEnabled(active && m_published && m_published->isPublished(key));
}

void ApplicationCommands::buildEditActions()
{
    const auto add = [this](const QString& title, const QList<QKeySequence>& keys, const char* name, EditOperation op) {
        QAction* command = m_editMenu->addAction(title);
        command->setObjectName(QLatin1String(name));
        command->setShortcuts(keys);
        command->setShortcutContext(Qt::WindowShortcut);
        command->setData(int(op));
        m_window.addAction(command);
        // Works on whatever text widget has the focus when it is chosen; undo and
        // redo go on to the window's steps once the field has none of its own.
        connect(command, &QAction::triggered, this, [this, op] {
            QWidget* focus = QApplication::focusWidget();
            if (focus && focus->window() != &m_window)
                focus = nullptr;
            if (focus && isAvailable(focus, op))
                perform(focus, op);
            else if (const FocusedActions* published = m_published.data();
                     published && (op == EditOperation::undo || op == EditOperation::redo) && windowIsActive())
                published->triggerUndo(op == EditOperation::redo);
            updateEditActions();
        });
        return command;
    };
    m_undo = add(tr("&Undo"), {QKeySequence(Qt::CTRL | Qt::Key_Z)}, "undoAction", EditOperation::undo);
    m_redo = add(tr("&Redo"), {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)},
        "redoAction", EditOperation::redo);
    m_editMenu->addSeparator();
    m_cut = add(tr("Cu&t"), QKeySequence::keyBindings(QKeySequence::Cut), "cutAction", EditOperation::cut);
    m_copy = add(tr("&Copy"), QKeySequence::keyBindings(QKeySequence::Copy), "copyAction", EditOperation::copy);
    m_paste = add(tr("&Paste"), QKeySequence::keyBindings(QKeySequence::Paste), "pasteAction", EditOperation::paste);
    m_selectAll = add(tr("Select &All"), QKeySequence::keyBindings(QKeySequence::SelectAll), "selectAllAction",
        EditOperation::selectAll);
}

void ApplicationCommands::followUndoStack()
{
    const FocusedActions* published = m_published.data();
    QUndoStack* stack = published ? published->undoStack() : nullptr;
    if (stack == m_undoStack)
        return;
    if (m_undoStack)
        disconnect(m_undoStack, nullptr, this, nullptr);
    m_undoStack = stack;
    if (stack)
        connect(stack, &QUndoStack::indexChanged, this, &ApplicationCommands::updateEditActions);
    updateEditActions();
}

void ApplicationCommands::updateEditActions()
{
    QWidget* focus = QApplication::focusWidget();
    if (focus && focus->window() != &m_window)
        focus = nullptr;
    for (QAction* command : {m_cut, m_copy, m_paste, m_selectAll})
        command->setEnabled(focus && isAvailable(focus, EditOperation(command->data().toInt())));

    // The field's own typing first, then the window's steps.
    const QUndoStack* steps = m_undoStack.data();
    const bool fieldUndo = focus && isAvailable(focus, EditOperation::undo);
    const bool fieldRedo = focus && isAvailable(focus, EditOperation::redo);
    const QString typing = QCoreApplication::translate("ApplicationEdits", "Typing");
    const QString undone = fieldUndo ? typing : (steps && steps->canUndo() ? steps->undoText() : QString());
    const QString redone = fieldRedo ? typing : (steps && steps->canRedo() ? steps->redoText() : QString());
    m_undo->setEnabled(fieldUndo || (steps && steps->canUndo()));
    m_redo->setEnabled(fieldRedo || (steps && steps->canRedo()));
    m_undo->setText(undone.isEmpty() ? tr("&Undo") : tr("&Undo %1", "%1 names the step, e.g. Typing").arg(undone));
    m_redo->setText(redone.isEmpty() ? tr("&Redo") : tr("&Redo %1", "%1 names the step, e.g. Typing").arg(redone));
}

void ApplicationCommands::watchFocus(QWidget* now)
{
    if (m_focus)
        m_focus->removeEventFilter(this);
    m_focus = now && now->window() == &m_window ? now : nullptr;
    if (m_focus)
        m_focus->installEventFilter(this);
    updateEditActions();
}

bool ApplicationCommands::passesUndoKey(QObject* watched, QEvent* event) const
{
    // A text field claims Ctrl+Z and its redo keys even when it has nothing left to
    // take back; then the keys are the window's, so the window's last step goes.
    if (watched != m_focus || event->type() != QEvent::ShortcutOverride)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    const QKeySequence pressed(key->keyCombination());
    if (m_undo->shortcuts().contains(pressed))
        return !isAvailable(m_focus, EditOperation::undo);
    if (m_redo->shortcuts().contains(pressed))
        return !isAvailable(m_focus, EditOperation::redo);
    return false;
}

bool ApplicationCommands::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &m_window && event->type() == QEvent::ActivationChange) {
        updateEnabled();
        updateEditActions();
    }
    if (passesUndoKey(watched, event)) {
        updateEditActions();
        return true;
    }
    return QObject::eventFilter(watched, event);
}
