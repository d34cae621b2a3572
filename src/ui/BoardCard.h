#pragma once

#include "model/ApplicationStatus.h"
#include "ui/ApplicationRow.h"

#include <QWidget>

// Paints one application on the board: the list's row, on a card of its own.
// The row's parts, colours and contrast rules are the list's; only the card
// around them is the board's.
class BoardCard : public ApplicationRow {
    Q_OBJECT

public:
    static constexpr int gapX = 6;
    static constexpr int gapY = 3;
    static constexpr qreal radius = 8;

    using ApplicationRow::ApplicationRow;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
        const QModelIndex& index) override;

    // The card within the item's rectangle; the row is laid out inside it.
    static QRect cardRect(const QRect& item);
};

// The head of a board column: the status's symbol, title and card count; folded,
// a narrow strip with the symbol, the count and the title running down. A click
// on a folded strip asks for it to open.
class BoardColumnHeader : public QWidget {
    Q_OBJECT

public:
    BoardColumnHeader(ApplicationStatus status, QWidget* parent = nullptr);

    ApplicationStatus status() const { return m_status; }
    qsizetype count() const { return m_count; }
    void setCount(qsizetype count);
    bool isFolded() const { return m_folded; }
    void setFolded(bool folded);
    // What the header shows as text: "HR Interview 12".
    QString text() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

Q_SIGNALS:
    void openRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void updateAccessibleName();

    ApplicationStatus m_status;
    qsizetype m_count = 0;
    bool m_folded = false;
};
