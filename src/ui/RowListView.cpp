#include "ui/RowListView.h"

#include "ui/ApplicationListView.h"

#include <QAccessible>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>

void RowListView::focusInEvent(QFocusEvent* event)
{
    QListView::focusInEvent(event);
    // After the list's own focus event, which Qt sends once this returns: the
    // last focus a reader hears is the row.
    QMetaObject::invokeMethod(
        this,
        [this] {
            const QModelIndex current = currentIndex();
            if (!hasFocus() || !current.isValid())
                return;
            QAccessibleEvent focus(this, QAccessible::Focus);
            focus.setChild(current.row());
            QAccessible::updateAccessibility(&focus);
        },
        Qt::QueuedConnection);
}

void RowListView::dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight, const QList<int>& roles)
{
    // With uniform item sizes every row takes the first row's size, so new data
    // below the first row moves nothing; QListView would still lay out every row
    // again (at 10,000 rows a quarter of a keystroke that moves a record).
    if (uniformItemSizes() && viewMode() == ListMode && !isWrapping() && topLeft.row() > 0) {
        QAbstractItemView::dataChanged(topLeft, bottomRight, roles);
        return;
    }
    QListView::dataChanged(topLeft, bottomRight, roles);
}

bool RowListView::event(QEvent* event)
{
    // Claim delete and paste before the window's shortcuts see them: while the
    // list has focus they mean "this list's selection" and "paste into the list".
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (ApplicationListView::isDeleteKey(key) || key->matches(QKeySequence::Paste)) {
            event->accept();
            return true;
        }
    }
    return QListView::event(event);
}

void RowListView::mousePressEvent(QMouseEvent* event)
{
    // A right click opens the row's menu; it does not move the selection.
    if (event->button() == Qt::RightButton) {
        event->accept();
        return;
    }
    QListView::mousePressEvent(event);
}

void RowListView::keyPressEvent(QKeyEvent* event)
{
    // With nothing selected, the first arrow selects the row the focus ring is
    // on rather than the one after it.
    const bool arrow = event->key() == Qt::Key_Down || event->key() == Qt::Key_Up;
    if (arrow && event->modifiers() == Qt::NoModifier && selectionModel()->selectedIndexes().isEmpty() && model()
        && model()->rowCount() > 0) {
        const QModelIndex current = currentIndex().isValid() ? currentIndex() : model()->index(0, 0);
        selectionModel()->setCurrentIndex(current, QItemSelectionModel::ClearAndSelect);
        event->accept();
        return;
    }
    if (ApplicationListView::isDeleteKey(event)) {
        if (onDeleteKey)
            onDeleteKey();
        event->accept();
        return;
    }
    if (event->matches(QKeySequence::Paste)) {
        if (onPasteKey)
            onPasteKey();
        event->accept();
        return;
    }
    QListView::keyPressEvent(event);
}

void RowListView::dragEnterEvent(QDragEnterEvent* event)
{
    acceptFiles(event);
    setDropHighlight(event->isAccepted());
}

void RowListView::dragMoveEvent(QDragMoveEvent* event)
{
    acceptFiles(event);
}

void RowListView::dragLeaveEvent(QDragLeaveEvent* event)
{
    setDropHighlight(false);
    event->accept();
}

void RowListView::paintEvent(QPaintEvent* event)
{
    QListView::paintEvent(event);
    if (!property(dropHighlightProperty).toBool())
        return;
    QPainter painter(viewport());
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor accent = palette().color(QPalette::Highlight);
    QColor wash = accent;
    wash.setAlphaF(0.08f);
    painter.setPen(QPen(accent, 2));
    painter.setBrush(wash);
    painter.drawRoundedRect(QRectF(viewport()->rect()).adjusted(3, 3, -3, -3), 8, 8);
}

void RowListView::dropEvent(QDropEvent* event)
{
    setDropHighlight(false);
    bool accepted = false;
    if (event->mimeData() && onDrop)
        onDrop(*event->mimeData(), accepted);
    if (accepted) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void RowListView::setDropHighlight(bool on)
{
    if (property(dropHighlightProperty).toBool() == on)
        return;
    setProperty(dropHighlightProperty, on);
    viewport()->update();
}

void RowListView::acceptFiles(QDropEvent* event)
{
    const QMimeData* data = event->mimeData();
    if (data && (data->hasUrls() || (data->hasText() && !data->text().trimmed().isEmpty()))) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

bool ApplicationListView::isDeleteKey(const QKeyEvent* event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    return modifiers == Qt::NoModifier && (event->key() == Qt::Key_Delete || event->key() == Qt::Key_Backspace);
}
