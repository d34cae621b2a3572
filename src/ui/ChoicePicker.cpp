#include "ui/ChoicePicker.h"

#include <QAbstractItemView>
#include <QKeyEvent>

void ChoicePicker::keyPressEvent(QKeyEvent* event)
{
    const bool command = event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
        // Alt with an arrow opens and closes the list as it always does.
        if (event->modifiers() & Qt::AltModifier)
            break;
        showPopup();
        event->accept();
        return;
    case Qt::Key_Space: break;
    default:
        // A typed letter opens the list at the first entry it starts.
        if (!command && !event->text().isEmpty() && event->text().front().isPrint()) {
            showPopup();
            view()->keyboardSearch(event->text());
            event->accept();
            return;
        }
        break;
    }
    QComboBox::keyPressEvent(event);
}
