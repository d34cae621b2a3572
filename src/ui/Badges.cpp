#include "ui/Badges.h"

#include "tracking/WaitingLevel.h"
#include "ui/Palette.h"
#include "ui/ShapedText.h"
#include "ui/Symbols.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace {

constexpr int dotDiameter = 7;
constexpr qreal capsuleOpacity = 0.15;

QFont semibold(QFont font)
{
    font.setWeight(QFont::DemiBold);
    return font;
}

} // namespace

QString substituteCount(QString format, qint64 count)
{
    return format.replace(QLatin1String("%lld"), QString::number(count));
}

QString waitingDaysText(qint64 days)
{
    return QCoreApplication::translate("WaitingBadge", "Waiting %n days", "%n is the number of days", int(days));
}

BadgePainter BadgePainter::statusBadge(
    ApplicationStatus status, bool compact, const QFont& base, const QPalette& palette)
{
    BadgePainter badge;
    badge.m_symbol = symbolName(status);
    badge.m_text = title(status);
    badge.m_font = semibold(Palette::font(compact ? Palette::TextStyle::caption2 : Palette::TextStyle::caption, base));
    badge.m_foreground = Palette::textColor(tint(status), palette);
    badge.m_background = Palette::withAlpha(Palette::fillColor(tint(status), palette), capsuleOpacity);
    badge.m_padding = compact ? QMargins(6, 2, 6, 2) : QMargins(8, 4, 8, 4);
    badge.m_spacing = compact ? 3 : 4;
    badge.measure();
    return badge;
}

void BadgePainter::setOnSelection(const QPalette& palette, const QColor& behind)
{
    m_foreground = Palette::withContrast(
        Palette::onSelection(m_foreground, palette), Palette::over(m_background, behind), Palette::minimumTextContrast);
}

BadgePainter BadgePainter::waitingBadge(
    qint64 days, WaitingBadgeStyle style, const QFont& base, const QPalette& palette)
{
    const WaitingLevel level = waitingLevel(days);
    BadgePainter badge;
    badge.m_foreground = Palette::textColor(tint(level), palette);
    switch (style) {
    case WaitingBadgeStyle::full:
        badge.m_symbol = symbolName(level);
        badge.m_text = waitingDaysText(days);
        badge.m_font = semibold(Palette::font(Palette::TextStyle::caption, base));
        badge.m_background = Palette::withAlpha(Palette::fillColor(tint(level), palette), capsuleOpacity);
        badge.m_padding = QMargins(8, 4, 8, 4);
        badge.m_spacing = 4;
        break;
    case WaitingBadgeStyle::compact:
        badge.m_text = substituteCount(
            QCoreApplication::translate("WaitingBadge", "%lldd", "Days waiting, abbreviated: the number and d"), days);
        badge.m_font = semibold(Palette::font(Palette::TextStyle::caption2, base));
        badge.m_background = Palette::withAlpha(Palette::fillColor(tint(level), palette), capsuleOpacity);
        badge.m_padding = QMargins(6, 2, 6, 2);
        break;
    case WaitingBadgeStyle::dot:
        badge.m_dot = true;
        badge.m_foreground = Palette::fillColor(tint(level), palette);
        badge.m_font = base;
        break;
    }
    badge.measure();
    return badge;
}

BadgePainter BadgePainter::metaChip(
    const QString& symbol, const QString& text, NamedColor tint, const QFont& base, const QPalette& palette)
{
    BadgePainter badge;
    badge.m_symbol = symbol;
    badge.m_text = text;
    badge.m_font = Palette::font(Palette::TextStyle::caption, base);
    badge.m_foreground = Palette::textColor(tint, palette);
    badge.m_spacing = 4;
    badge.measure();
    return badge;
}

BadgePainter BadgePainter::capsule(const QString& text, NamedColor tint, const QFont& base, const QPalette& palette)
{
    BadgePainter badge;
    badge.m_text = text;
    badge.m_font = semibold(Palette::font(Palette::TextStyle::caption2, base));
    badge.m_foreground = Palette::textColor(tint, palette);
    badge.m_background = Palette::withAlpha(Palette::fillColor(tint, palette), capsuleOpacity);
    badge.m_padding = QMargins(6, 2, 6, 2);
    badge.measure();
    return badge;
}

void BadgePainter::measure()
{
    if (m_dot) {
        m_size = QSize(dotDiameter, dotDiameter);
        return;
    }
    const QFontMetrics metrics(m_font);
    // Symbols at "small scale": about the height of the text's em square.
    m_symbolSize = m_symbol.isEmpty() ? 0 : std::max(8, QFontInfo(m_font).pixelSize());
    m_textWidth = m_text.isEmpty() ? 0 : ShapedText::line(m_font, m_text).width;
    const int gap = (m_symbolSize > 0 && m_textWidth > 0) ? m_spacing : 0;
    const int contentHeight = std::max(m_textWidth > 0 ? metrics.height() : 0, m_symbolSize);
    m_size = QSize(m_padding.left() + m_symbolSize + gap + m_textWidth + m_padding.right(),
        m_padding.top() + contentHeight + m_padding.bottom());
}

void BadgePainter::paint(QPainter* painter, const QRect& rect) const
{
    paint(painter, rect, m_size.width());
}

void BadgePainter::paint(QPainter* painter, const QRect& rect, int width) const
{
    width = std::min(width, m_size.width());
    if (width <= 0)
        return;
    const QRect box(rect.left(), rect.top() + (rect.height() - m_size.height()) / 2, width, m_size.height());
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    if (m_dot) {
        painter->setPen(Qt::NoPen);
        painter->setBrush(m_foreground);
        painter->drawEllipse(QRectF(box));
        painter->restore();
        return;
    }
    if (m_background.isValid()) {
        const qreal radius = box.height() / 2.0;
        painter->setPen(Qt::NoPen);
        painter->setBrush(m_background);
        painter->drawRoundedRect(QRectF(box), radius, radius);
    }
    const QRect content = box.marginsRemoved(m_padding);
    int x = content.left();
    if (m_symbolSize > 0) {
        const QRectF symbolRect(x, content.top() + (content.height() - m_symbolSize) / 2.0, m_symbolSize, m_symbolSize);
        Symbols::paint(painter, symbolRect, m_symbol, m_foreground);
        x += m_symbolSize + (m_textWidth > 0 ? m_spacing : 0);
    }
    if (m_textWidth > 0 && x < content.right()) {
        const QRect textRect(x, content.top(), content.right() + 1 - x, content.height());
        painter->setPen(m_foreground);
        ShapedText::draw(painter, textRect, m_font,
            ShapedText::line(m_font, m_text, textRect.width() >= m_textWidth ? -1 : textRect.width()));
    }
    painter->restore();
}

BadgeWidget::BadgeWidget(QWidget* parent)
    : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize BadgeWidget::sizeHint() const
{
    return m_badge.sizeHint();
}

QSize BadgeWidget::minimumSizeHint() const
{
    return m_badge.sizeHint();
}

void BadgeWidget::rebuild()
{
    m_badge = makeBadge();
    updateGeometry();
    update();
}

void BadgeWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    // A badge given less than its width (a layout that may shrink it) elides its text.
    m_badge.paint(&painter, rect(), width());
}

void BadgeWidget::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::FontChange
        || event->type() == QEvent::LanguageChange)
        rebuild();
    QWidget::changeEvent(event);
}

StatusBadge::StatusBadge(ApplicationStatus status, bool compact, QWidget* parent)
    : BadgeWidget(parent)
    , m_status(status)
    , m_compact(compact)
{
    rebuild();
}

void StatusBadge::setStatus(ApplicationStatus status)
{
    if (status == m_status)
        return;
    m_status = status;
    rebuild();
}

BadgePainter StatusBadge::makeBadge()
{
    setAccessibleName(title(m_status));
    return BadgePainter::statusBadge(m_status, m_compact, font(), palette());
}

WaitingBadge::WaitingBadge(qint64 days, Style style, QWidget* parent)
    : BadgeWidget(parent)
    , m_days(days)
    , m_style(style)
{
    rebuild();
}

void WaitingBadge::setDays(qint64 days)
{
    if (days == m_days)
        return;
    m_days = days;
    rebuild();
}

QString WaitingBadge::toolTipFor(qint64 days, Style style)
{
    switch (style) {
    case Style::full: return waitingHint(waitingLevel(days));
    case Style::compact: return waitingDaysText(days);
    case Style::dot: break;
    }
    return {};
}

BadgePainter WaitingBadge::makeBadge()
{
    setToolTip(toolTipFor(m_days, m_style));
    setAccessibleName(waitingDaysText(m_days));
    return BadgePainter::waitingBadge(m_days, m_style, font(), palette());
}

MetaChip::MetaChip(QString symbol, QString text, NamedColor tint, QWidget* parent)
    : BadgeWidget(parent)
    , m_symbol(std::move(symbol))
    , m_text(std::move(text))
    , m_tint(tint)
{
    rebuild();
}

void MetaChip::setText(const QString& text)
{
    if (text == m_text)
        return;
    m_text = text;
    rebuild();
}

BadgePainter MetaChip::makeBadge()
{
    setAccessibleName(m_text);
    return BadgePainter::metaChip(m_symbol, m_text, m_tint, font(), palette());
}
