#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QMimeData;
class QWidget;

// The desktop's panels and clipboard as the window's import and export flows use
// them. Every member left empty is the real one (QFileDialog, QGuiApplication's
// clipboard); tests set their own answers instead of driving native dialogs.
struct DesktopPanels {
    // The save panel: the chosen path, or empty when cancelled. `suggestedPath` is
    // the folder and default file name together.
    std::function<QString(QWidget* parent, const QString& title, const QString& suggestedPath, const QString& filter)>
        saveFile;
    // The open panel for one file; empty when cancelled.
    std::function<QString(QWidget* parent, const QString& title, const QString& folder, const QString& filter)>
        openFile;
    // The open panel for several files; empty when cancelled.
    std::function<QStringList(QWidget* parent, const QString& title, const QString& folder, const QString& filter)>
        openFiles;
    // Shows a one-shot message (the backup alert). Empty: a window-modal message box.
    std::function<void(QWidget* parent, const QString& title, const QString& text)> alert;
    // What the clipboard holds now (may be null).
    std::function<const QMimeData*()> clipboard;

    // Fills every empty member with the desktop's own, except `alert`, whose
    // default the backup flow keeps itself (it replaces an open message).
    DesktopPanels withDefaults() const;
};
