#include "ui/ProminentButton.h"

#include "ui/Palette.h"

#include <QPainter>

namespace {
constexpr int paddingX = 14;
constexpr int paddingY = 6;
constexpr qreal radius = 6;
} // namespace

ProminentButton::ProminentButton(const QString& text, QWidget* parent)
    : QPushButton(text, parent)
{
    setAutoDefault(false);
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_Hover);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize ProminentButton::sizeHint() const
{
    const QFontMetrics metrics(font());
    int width = metrics.horizontalAdvance(text()) + 2 * paddingX;
    if (!icon().isNull())
        width += iconSize().width() + 6;
    return QSize(width, metrics.height() + 2 * paddingY);
}

void ProminentButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPalette& pal = palette();
    QColor fill = pal.color(QPalette::Active, QPalette::Highlight);
    if (!isEnabled())
        fill = Palette::withAlpha(pal.color(QPalette::Text), 0.12);
    else if (isDown())
        fill = fill.darker(118);
    else if (underMouse())
        fill = fill.lighter(108);

    const QRectF box = QRectF(rect()).adjusted(1, 1, -1, -1);
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawRoundedRect(box, radius, radius);
    // Only a focus that came from the keyboard is worth a ring.
    if (hasFocus() && window()->testAttribute(Qt::WA_KeyboardFocusChange)) {
        // The keyboard focus ring sits just inside the edge, in a lighter accent.
        QPen ring(Palette::withAlpha(pal.color(QPalette::Active, QPalette::HighlightedText), 0.8), 1.5);
        painter.setPen(ring);
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(box.adjusted(2, 2, -2, -2), radius - 2, radius - 2);
    }

    painter.setPen(isEnabled() ? pal.color(QPalette::Active, QPalette::HighlightedText)
                               : pal.color(QPalette::Disabled, QPalette::Text));
    painter.setFont(font());
    QRect content = rect().adjusted(paddingX, 0, -paddingX, 0);
    if (!icon().isNull()) {
        const QFontMetrics metrics(font());
        const int total = iconSize().width() + 6 + metrics.horizontalAdvance(text());
        const int left = rect().center().x() - total / 2 + 1;
        const QRect iconRect(left, (height() - iconSize().height()) / 2, iconSize().width(), iconSize().height());
        icon().paint(&painter, iconRect, Qt::AlignCenter, isEnabled() ? QIcon::Normal : QIcon::Disabled);
        content.setLeft(iconRect.right() + 1 + 6);
        painter.drawText(content, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text());
        return;
    }
    painter.drawText(content, Qt::AlignCenter | Qt::TextSingleLine, text());
}
