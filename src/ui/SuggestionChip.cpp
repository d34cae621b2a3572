#include "ui/SuggestionChip.h"

#include "ui/Palette.h"

#include <QEvent>
#include <QKeyEvent>
#include <QPainter>

namespace {

constexpr int horizontalPadding = 8;
constexpr int verticalPadding = 2;
// Long enough for a sentence's start, short enough for one tooltip line.
constexpr qsizetype longestEvidence = 90;

} // namespace

SuggestionChip::SuggestionChip(QWidget* parent)
    : QAbstractButton(parent)
{
    setObjectName(QStringLiteral("suggestionChip"));
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setAttribute(Qt::WA_Hover);
    refresh();
}

QString SuggestionChip::textFor(const QString& shown)
{
    return tr("Use “%1”", "Review sheet: takes a suggested value into the field above").arg(shown);
}

QString SuggestionChip::toolTipFor(const QString& evidence)
{
    const QString line = evidence.simplified();
    const QString shortened = line.size() > longestEvidence ? line.left(longestEvidence - 1).trimmed() + u'…' : line;
    return tr("From: ", "Review sheet: where a suggested value was read") + shortened;
}

void SuggestionChip::setSuggestion(const QString& shown, const QString& evidence)
{
    m_shown = shown;
    m_evidence = evidence;
    refresh();
}

void SuggestionChip::refresh()
{
    setText(textFor(m_shown));
    setToolTip(toolTipFor(m_evidence));
    setAccessibleName(text());
    setAccessibleDescription(toolTip());
    updateGeometry();
    update();
}

QSize SuggestionChip::sizeHint() const
{
    const QFontMetrics metrics(chipFont());
    return QSize(metrics.horizontalAdvance(text()) + 2 * horizontalPadding, metrics.height() + 2 * verticalPadding);
}

QFont SuggestionChip::chipFont() const
{
    return Palette::font(Palette::TextStyle::caption, font());
}

void SuggestionChip::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPalette& pal = palette();
    const QColor accent = Palette::textColor(NamedColor::blue, pal);
    const QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const qreal radius = box.height() / 2;
    // At rest only a hairline: the chip stays in the background until it is wanted.
    QColor fill = Qt::transparent;
    if (isDown())
        fill = Palette::withAlpha(Palette::fillColor(NamedColor::blue, pal), 0.22);
    else if (underMouse())
        fill = Palette::withAlpha(Palette::fillColor(NamedColor::blue, pal), 0.12);
    painter.setBrush(fill);
    painter.setPen(
        QPen(hasFocus() ? pal.color(QPalette::Highlight) : Palette::withAlpha(accent, 0.45), hasFocus() ? 1.5 : 1.0));
    painter.drawRoundedRect(box, radius, radius);
    painter.setPen(accent);
    painter.setFont(chipFont());
    painter.drawText(rect(), Qt::AlignCenter, text());
}

void SuggestionChip::keyPressEvent(QKeyEvent* event)
{
    // Return takes the suggestion too, as it does on a focused button of a dialog.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        click();
        event->accept();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

void SuggestionChip::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::FontChange
        || event->type() == QEvent::LanguageChange)
        refresh();
    QAbstractButton::changeEvent(event);
}
