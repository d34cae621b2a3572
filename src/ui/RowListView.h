#pragma once

#include <QListView>

#include <functional>

class QDropEvent;
class QMimeData;

// The list itself: rows, the delete and paste keys while it has focus, and drops
// of image files. It keeps no state; everything goes back through the callbacks.
class RowListView : public QListView {
public:
    using QListView::QListView;

    std::function<void()> onDeleteKey;
    std::function<void()> onPasteKey;
    std::function<void(const QMimeData&, bool&)> onDrop;

protected:
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // Entering the list says which row is current, not only that it is a list.
    void focusInEvent(QFocusEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;

    // The usual drop feedback: the list is outlined in the accent colour while
    // files are dragged over it.
    void paintEvent(QPaintEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    // Rows whose records changed are repainted; the rows are not laid out again
    // while their size cannot have changed.
    void dataChanged(
        const QModelIndex& topLeft, const QModelIndex& bottomRight, const QList<int>& roles = QList<int>()) override;

private:
    static constexpr const char* dropHighlightProperty = "dropHighlighted";

    void setDropHighlight(bool on);

    // Which files are images or mail is decided on the drop itself; while dragging
    // any file list is welcome, and text (a message dragged out as text).
    static void acceptFiles(QDropEvent* event);
};
