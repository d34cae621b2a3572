#include "ui/DesktopPanels.h"

#include <QClipboard>
#include <QFileDialog>
#include <QGuiApplication>

DesktopPanels DesktopPanels::withDefaults() const
{
    DesktopPanels panels = *this;
    if (!panels.saveFile) {
        panels.saveFile = [](QWidget* parent, const QString& title, const QString& suggested, const QString& filter) {
            return QFileDialog::getSaveFileName(parent, title, suggested, filter);
        };
    }
    if (!panels.openFile) {
        panels.openFile = [](QWidget* parent, const QString& title, const QString& folder, const QString& filter) {
            return QFileDialog::getOpenFileName(parent, title, folder, filter);
        };
    }
    if (!panels.openFiles) {
        panels.openFiles = [](QWidget* parent, const QString& title, const QString& folder, const QString& filter) {
            return QFileDialog::getOpenFileNames(parent, title, folder, filter);
        };
    }
    if (!panels.clipboard)
        panels.clipboard = [] { return QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard); };
    return panels;
}
