#include "ui/BoardCard.h"

#include "ui/ApplicationListModel.h"
#include "ui/BoardView.h"
#include "ui/Palette.h"
#include "ui/Symbols.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

namespace {

constexpr int headerIconSize = 16;
constexpr int headerPaddingX = 10;
constexpr int headerPaddingY = 8;
constexpr int headerSpacing = 6;

// The row's rectangle in an item: the item less the gaps between cards.
QRect rowRect(const QRect& item)
{
    return item.adjusted(0, BoardCard::gapY, 0, -BoardCard::gapY);
}

} // namespace

QRect BoardCard::cardRect(const QRect& item)
{
    // The card is exactly the area a selected row's highlight covers.
    return rowRect(item).adjusted(highlightInsetX, highlightInsetY, -highlightInsetX, -highlightInsetY);
}

QSize BoardCard::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    return ApplicationRow::sizeHint(option, index) + QSize(0, 2 * gapY);
}

void BoardCard::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    auto* record = index.data(ApplicationListModel::RecordRole).value<JobApplication*>();
    if (!record)
        return;
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QRect card = cardRect(opt.rect);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(QPen(Palette::separator(opt.palette), 1));
    painter->setBrush(opt.palette.color(QPalette::Base));
    painter->drawRoundedRect(QRectF(card).adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    painter->restore();
    opt.rect = rowRect(opt.rect);
    paintRow(painter, opt, *record);
}

bool BoardCard::helpEvent(
    QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option, const QModelIndex& index)
{
    QStyleOptionViewItem opt = option;
    opt.rect = rowRect(option.rect);
    return ApplicationRow::helpEvent(event, view, opt, index);
}

BoardColumnHeader::BoardColumnHeader(ApplicationStatus status, QWidget* parent)
    : QWidget(parent)
    , m_status(status)
{
    setObjectName(QLatin1String("boardHeader:") + rawValue(status));
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    updateAccessibleName();
}

void BoardColumnHeader::setCount(qsizetype count)
{
    if (count == m_count)
        return;
    m_count = count;
    updateAccessibleName();
    update();
}

void BoardColumnHeader::setFolded(bool folded)
{
    if (folded == m_folded)
        return;
    m_folded = folded;
    setSizePolicy(QSizePolicy::Preferred, folded ? QSizePolicy::Expanding : QSizePolicy::Fixed);
    setCursor(folded ? Qt::PointingHandCursor : Qt::ArrowCursor);
    updateAccessibleName();
    updateGeometry();
    update();
}

QString BoardColumnHeader::text() const
{
    return title(m_status) + QLatin1Char(' ') + QString::number(m_count);
}

void BoardColumnHeader::updateAccessibleName()
{
    const QString name = BoardView::columnName(m_status, m_count);
    setAccessibleName(
        m_folded ? tr("%1, folded", "A board column shown as a narrow strip; %1 is its name").arg(name) : name);
}

QSize BoardColumnHeader::sizeHint() const
{
    const QFontMetrics metrics(Palette::font(Palette::TextStyle::headline, font()));
    const int height = std::max(headerIconSize, metrics.height()) + 2 * headerPaddingY;
    if (m_folded)
        return {BoardView::foldedColumnWidth, height + headerSpacing + metrics.horizontalAdvance(title(m_status)) + 40};
    return {headerIconSize + metrics.horizontalAdvance(text()) + 2 * headerPaddingX + 2 * headerSpacing, height};
}

QSize BoardColumnHeader::minimumSizeHint() const
{
    return m_folded ? QSize(BoardView::foldedColumnWidth, sizeHint().height()) : QSize(0, sizeHint().height());
}

void BoardColumnHeader::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPalette& pal = palette();
    const QColor behind = Palette::groupedBackground(pal);
    const QColor tinted
        = Palette::withContrast(Palette::textColor(tint(m_status), pal), behind, Palette::minimumTextContrast);
    const QColor secondary = Palette::withContrast(Palette::secondaryText(pal), behind, Palette::minimumTextContrast);
    const QFont headline = Palette::font(Palette::TextStyle::headline, font());
    const QFontMetrics metrics(headline);
    const int lineHeight = std::max(headerIconSize, metrics.height());
    const QString count = QString::number(m_count);
    painter.setFont(headline);

    if (m_folded) {
        // A strip: symbol, count, and the title running down under them.
        const int x = (width() - headerIconSize) / 2;
        int y = headerPaddingY;
        Symbols::paint(&painter, QRectF(x, y, headerIconSize, headerIconSize), symbolName(m_status), tinted);
        y += headerIconSize + headerSpacing;
        painter.setPen(secondary);
        painter.drawText(QRect(0, y, width(), metrics.height()), Qt::AlignHCenter | Qt::AlignVCenter, count);
        y += metrics.height() + headerSpacing;
        painter.translate(width() / 2.0 - metrics.height() / 2.0, y);
        painter.rotate(90);
        painter.setPen(tinted);
        painter.drawText(QRect(0, -metrics.height(), std::max(0, height() - y), metrics.height()),
            Qt::AlignLeft | Qt::AlignVCenter,
            metrics.elidedText(title(m_status), Qt::ElideRight, std::max(0, height() - y - headerPaddingY)));
        return;
    }
    const int top = headerPaddingY;
    int x = headerPaddingX;
    Symbols::paint(&painter, QRectF(x, top + (lineHeight - headerIconSize) / 2.0, headerIconSize, headerIconSize),
        symbolName(m_status), tinted);
    x += headerIconSize + headerSpacing;
    const int countWidth = metrics.horizontalAdvance(count);
    const int titleRoom = std::max(0, width() - headerPaddingX - countWidth - headerSpacing - x);
    painter.setPen(tinted);
    painter.drawText(QRect(x, top, titleRoom, lineHeight), Qt::AlignLeft | Qt::AlignVCenter,
        metrics.elidedText(title(m_status), Qt::ElideRight, titleRoom));
    painter.setPen(secondary);
    painter.drawText(QRect(width() - headerPaddingX - countWidth, top, countWidth, lineHeight),
        Qt::AlignRight | Qt::AlignVCenter, count);
}

void BoardColumnHeader::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_folded && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Q_EMIT openRequested();
    QWidget::mouseReleaseEvent(event);
}
