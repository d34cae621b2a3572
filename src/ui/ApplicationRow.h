#pragma once

#include <QDateTime>
#include <QRect>
#include <QStyledItemDelegate>

#include <memory>

class JobApplication;

// Paints one application in the list: a status bar, then a column with the
// company (star, waiting badge), the position and a meta line of status badge,
// work-model chip and follow-up chip. Every row has the same height, so the list
// can lay out any number of records without measuring them.
class ApplicationRow : public QStyledItemDelegate {
    Q_OBJECT

public:
    static constexpr int statusBarWidth = 3;
    static constexpr qreal statusBarRadius = 1.5;
    static constexpr qreal closedStatusOpacity = 0.45;
    static constexpr int barSpacing = 10;
    static constexpr int verticalPadding = 5;
    static constexpr int lineSpacing = 4;
    static constexpr int titleSpacing = 6;
    static constexpr int metaSpacing = 8;
    // The highlight is inset from the list edges and rounded, as in a sidebar.
    static constexpr int highlightInsetX = 6;
    static constexpr int highlightInsetY = 1;
    static constexpr qreal highlightRadius = 6;
    static constexpr int contentInsetX = 12;

    // Where the parts of a row go; empty rectangles for parts the record does not show.
    struct Layout {
        QRect statusBar;
        QRect company;
        QRect star;
        QRect waitingBadge;
        QRect position;
        QRect statusBadge;
        QRect workModelChip;
        QRect followUpChip;
    };

    explicit ApplicationRow(QObject* parent = nullptr);
    ~ApplicationRow() override;

    // The day the waiting badges count to (the day clock's today).
    const QDateTime& today() const { return m_today; }
    void setToday(const QDateTime& today);
    // The record whose row is outlined while its context menu is open (0: none).
    void setMarkedID(qint64 id) { m_markedID = id; }
    qint64 markedID() const { return m_markedID; }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    // Shows the help text of the part under the pointer.
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
        const QModelIndex& index) override;

    Layout layout(const QStyleOptionViewItem& option, const JobApplication& application) const;
    int rowHeight(const QFont& font, const QPalette& palette) const;
    void paintRow(QPainter* painter, const QStyleOptionViewItem& option, const JobApplication& application) const;
    // The help text at `position` of the row: "Waiting N days" over the compact
    // waiting badge, the whole name over a company or position cut short, nothing
    // elsewhere.
    QString toolTipAt(
        const QStyleOptionViewItem& option, const JobApplication& application, const QPoint& position) const;

    // The follow-up chip: whether the row shows it (against `today`, or the current
    // moment when `today` is not valid) and its text.
    static bool showsFollowUp(const JobApplication& application, const QDateTime& today);
    static QString followUpText();

private:
    struct Metrics;
    // The fonts and line heights of a row follow from the base font alone, and the
    // list paints every row in the same font: they are measured once for it, not
    // once per painted row.
    const Metrics& metrics(const QFont& base, const QPalette& palette) const;

    QDateTime m_today;
    qint64 m_markedID = 0;
    mutable std::unique_ptr<Metrics> m_metrics;
};
