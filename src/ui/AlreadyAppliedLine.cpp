#include "ui/AlreadyAppliedLine.h"

#include "model/JobApplication.h"
#include "ui/Formats.h"
#include "ui/Palette.h"
#include "ui/Symbols.h"

#include <QEvent>
#include <QPainter>

namespace {

constexpr int iconGap = 6;
constexpr int padding = 2;

} // namespace

AlreadyAppliedLine::AlreadyAppliedLine(QWidget* parent)
    : QAbstractButton(parent)
{
    setObjectName(QStringLiteral("alreadyAppliedLine"));
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setAttribute(Qt::WA_Hover);
    setVisible(false);
}

QString AlreadyAppliedLine::textFor(const JobApplication& record)
{
    return tr(
        "Already in your list — applied %1, %2", "Review sheet: %1 is the stored application's date, %2 its status")
        .arg(Formats::abbreviatedDate(record.applicationDate()), title(record.status()));
}

JobApplication* AlreadyAppliedLine::record() const
{
    return m_record.data();
}

void AlreadyAppliedLine::setRecord(JobApplication* record)
{
    if (m_record == record && isHidden() == (record == nullptr))
        return;
    m_record = record;
    refresh();
}

void AlreadyAppliedLine::refresh()
{
    const JobApplication* record = m_record.data();
    setText(record ? textFor(*record) : QString());
    setToolTip(record ? tr("Show it in the list") : QString());
    setAccessibleName(text());
    setAccessibleDescription(toolTip());
    setVisible(record != nullptr);
    updateGeometry();
    update();
}

QFont AlreadyAppliedLine::lineFont() const
{
    return Palette::font(Palette::TextStyle::callout, font());
}

QSize AlreadyAppliedLine::sizeHint() const
{
    const QFontMetrics metrics(lineFont());
    return QSize(
        metrics.height() + iconGap + metrics.horizontalAdvance(text()) + 2 * padding, metrics.height() + 2 * padding);
}

QSize AlreadyAppliedLine::minimumSizeHint() const
{
    const QFontMetrics metrics(lineFont());
    return QSize(metrics.height() * 4, metrics.height() + 2 * padding);
}

void AlreadyAppliedLine::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPalette& pal = palette();
    const QColor orange = Palette::textColor(NamedColor::orange, pal);
    const QFont font = lineFont();
    const QFontMetrics metrics(font);
    const int iconSize = metrics.height();
    const QRect inner = rect().adjusted(padding, padding, -padding, -padding);
    painter.drawPixmap(QRect(inner.left(), inner.top() + (inner.height() - iconSize) / 2, iconSize, iconSize),
        Symbols::pixmap(QStringLiteral("exclamationmark.triangle"), orange, iconSize, devicePixelRatioF()));
    QFont shown = font;
    // A link's cue: underlined while the pointer is on it or the keyboard is.
    shown.setUnderline(underMouse() || hasFocus());
    painter.setFont(shown);
    painter.setPen(orange);
    const QRect textRect = inner.adjusted(iconSize + iconGap, 0, 0, 0);
    painter.drawText(
        textRect, Qt::AlignLeft | Qt::AlignVCenter, metrics.elidedText(text(), Qt::ElideRight, textRect.width()));
    if (hasFocus()) {
        painter.setPen(QPen(pal.color(QPalette::Highlight), 1.5));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(QRectF(rect()).adjusted(0.75, 0.75, -0.75, -0.75), 4, 4);
    }
}

void AlreadyAppliedLine::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        refresh();
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::FontChange)
        updateGeometry();
    QAbstractButton::changeEvent(event);
}
