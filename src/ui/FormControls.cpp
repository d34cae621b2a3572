#include "ui/FormControls.h"

#include "ui/Palette.h"
#include "ui/Symbols.h"

#include <QApplication>
#include <QEvent>
#include <QGraphicsOpacityEffect>
#include <QGridLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QVBoxLayout>
#include <QVariantAnimation>
#include <QWheelEvent>

#include <algorithm>

namespace {
constexpr int cardRadius = 8;
constexpr int rowHorizontalPadding = 12;
constexpr int rowVerticalPadding = 6;
constexpr int rowMinimumHeight = 36;
constexpr int labelColumnWidth = 132;
} // namespace

// ---------------------------------------------------------------------------
// FormSection

namespace {

// A row's label: a click on it puts the focus in its field, as a form's labels do.
class RowLabel : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        if (QWidget* field = buddy(); field && event->button() == Qt::LeftButton && field->isEnabled()) {
            field->setFocus(Qt::MouseFocusReason);
            event->accept();
            return;
        }
        QLabel::mousePressEvent(event);
    }
};

} // namespace

// The rounded card: its own background and a hairline between visible rows.
class FormSection::Card : public QWidget {
public:
    explicit Card(FormSection* section)
        : QWidget(section)
        , m_section(section)
    {
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF bounds = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
        painter.setPen(QPen(Palette::withAlpha(Palette::separator(palette()), 0.7), 1));
        painter.setBrush(Palette::groupedCard(palette()));
        painter.drawRoundedRect(bounds, cardRadius, cardRadius);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setPen(Palette::withAlpha(Palette::separator(palette()), 0.8));
        const QWidget* previous = nullptr;
        for (const QWidget* row : std::as_const(m_section->m_rows)) {
            if (row->isHidden())
                continue;
            if (previous)
                painter.drawLine(rowHorizontalPadding, row->y(), width() - rowHorizontalPadding, row->y());
            previous = row;
        }
    }

private:
    FormSection* m_section;
};

FormSection::FormSection(const QString& title, QWidget* parent)
    : QWidget(parent)
    , m_header(new QWidget(this))
    , m_headerIcon(new QLabel(m_header))
    , m_headerText(new QLabel(title, m_header))
    , m_footer(new QLabel(this))
    , m_card(new Card(this))
{
    m_headerText->setObjectName(QStringLiteral("sectionHeader"));
    m_headerIcon->hide();
    auto* headerLayout = new QHBoxLayout(m_header);
    headerLayout->setContentsMargins(rowHorizontalPadding, 0, 0, 0);
    headerLayout->setSpacing(5);
    headerLayout->addWidget(m_headerIcon);
    headerLayout->addWidget(m_headerText, 1);
    m_header->setVisible(!title.isEmpty());
    m_footer->setObjectName(QStringLiteral("sectionFooter"));
    m_footer->setWordWrap(true);
    m_footer->hide();
    auto* cardLayout = new QVBoxLayout(m_card);
    cardLayout->setContentsMargins(0, 0, 0, 0);
    cardLayout->setSpacing(0);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    layout->addWidget(m_header);
    layout->addWidget(m_card);
    layout->addWidget(m_footer);
    m_footer->setContentsMargins(rowHorizontalPadding, 0, rowHorizontalPadding, 0);
    applyStyle();
}

void FormSection::setHeader(const QString& symbol, const QString& title, NamedColor color)
{
    m_headerSymbol = symbol;
    m_headerColor = color;
    m_headerText->setText(title);
    m_header->setVisible(!title.isEmpty());
    applyStyle();
}

void FormSection::setFooter(const QString& text)
{
    m_footer->setText(text);
    m_footer->setVisible(!text.isEmpty());
}

QWidget* FormSection::addRow(const QString& label, QWidget* control, QWidget* field)
{
    return insertRow(m_rows.size(), label, control, field);
}

QWidget* FormSection::insertRow(qsizetype index, const QString& label, QWidget* control, QWidget* field)
{
    index = std::clamp<qsizetype>(index, 0, m_rows.size());
    auto* row = new QWidget(m_card);
    row->setObjectName(QStringLiteral("formRow"));
    row->setMinimumHeight(rowMinimumHeight);
    auto* layout = new QBoxLayout(QBoxLayout::LeftToRight, row);
    layout->setContentsMargins(rowHorizontalPadding, rowVerticalPadding, rowHorizontalPadding, rowVerticalPadding);
    layout->setSpacing(10);
    if (!label.isEmpty()) {
        auto* text = new RowLabel(label, row);
        text->setObjectName(QStringLiteral("rowLabel"));
        text->setMinimumWidth(std::min(labelColumnWidth, text->sizeHint().width()));
        text->setFixedWidth(labelColumnWidth);
        text->setWordWrap(true);
        text->setBuddy(field ? field : control);
        layout->addWidget(text, 0, Qt::AlignVCenter);
    }
    control->setParent(row);
    layout->addWidget(control, 1);
    static_cast<QVBoxLayout*>(m_card->layout())->insertWidget(int(index), row);
    m_rows.insert(index, row);
    arrangeRow(row);
    return row;
}

void FormSection::arrangeRow(QWidget* row)
{
    QLabel* label = rowLabel(row);
    if (!label)
        return;
    auto* layout = static_cast<QBoxLayout*>(row->layout());
    const QWidget* control = layout->itemAt(layout->count() - 1)->widget();
    const int controlWidth = std::max(control->minimumSizeHint().width(), control->minimumWidth());
    const int sides = 2 * rowHorizontalPadding;
    // The row asks for no more than its widest part, as it is when the label sits
    // above the control; beside each other they need both, or the label goes up.
    row->setMinimumWidth(sides + std::max(controlWidth, label->minimumSizeHint().width()));
    // Rows are as wide as the section.
    const bool beside = width() >= sides + labelColumnWidth + layout->spacing() + controlWidth;
    const auto direction = beside ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom;
    if (layout->direction() == direction)
        return;
    layout->setDirection(direction);
    if (beside) {
        label->setFixedWidth(labelColumnWidth);
        layout->setAlignment(label, Qt::AlignVCenter);
    } else {
        label->setMinimumWidth(0);
        label->setMaximumWidth(QWIDGETSIZE_MAX);
        layout->setAlignment(label, {});
    }
}

void FormSection::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    for (QWidget* row : std::as_const(m_rows))
        arrangeRow(row);
}

void FormSection::setRowVisible(QWidget* row, bool visible)
{
    row->setVisible(visible);
    m_card->update();
}

void FormSection::removeRow(QWidget* row)
{
    if (m_rows.removeOne(row)) {
        // Out of the layout at once, so its positions stay those of the rows.
        m_card->layout()->removeWidget(row);
        row->hide();
        row->deleteLater();
        m_card->update();
    }
}

QLabel* FormSection::rowLabel(QWidget* row)
{
    return row->findChild<QLabel*>(QStringLiteral("rowLabel"), Qt::FindDirectChildrenOnly);
}

void FormSection::applyStyle()
{
    const QPalette& pal = palette();
    QFont header = Palette::font(Palette::TextStyle::footnote, font());
    header.setWeight(QFont::DemiBold);
    m_headerText->setFont(header);
    const QColor headerColor = m_headerColor ? Palette::textColor(*m_headerColor, pal) : Palette::secondaryText(pal);
    Palette::setForeground(m_headerText, headerColor);
    m_headerIcon->setVisible(!m_headerSymbol.isEmpty());
    if (!m_headerSymbol.isEmpty()) {
        const int size = QFontMetrics(header).height();
        m_headerIcon->setPixmap(Symbols::pixmap(m_headerSymbol, headerColor, size, devicePixelRatioF()));
    }
    m_footer->setFont(Palette::font(Palette::TextStyle::footnote, font()));
    Palette::setForeground(m_footer, Palette::secondaryText(pal));
}

void FormSection::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::FontChange)
        applyStyle();
    if (event->type() == QEvent::FontChange) {
        for (QWidget* row : std::as_const(m_rows))
            arrangeRow(row);
    }
    QWidget::changeEvent(event);
}

// ---------------------------------------------------------------------------
// reveal

void reveal(QWidget* widget, bool visible, int durationMs)
{
    // A reveal still running for this widget gives way to the new one.
    const auto running = widget->findChildren<QVariantAnimation*>(QStringLiteral("reveal"), Qt::FindDirectChildrenOnly);
    for (QVariantAnimation* animation : running) {
        animation->stop();
        animation->deleteLater();
    }
    widget->setGraphicsEffect(nullptr);
    widget->setMaximumHeight(QWIDGETSIZE_MAX);
    if (durationMs <= 0 || visible == !widget->isHidden()) {
        widget->setVisible(visible);
        return;
    }
    const int height = widget->sizeHint().height();
    auto* effect = new QGraphicsOpacityEffect(widget);
    widget->setGraphicsEffect(effect);
    auto* animation = new QVariantAnimation(widget);
    animation->setObjectName(QStringLiteral("reveal"));
    animation->setDuration(durationMs);
    animation->setEasingCurve(QEasingCurve::OutCubic);
    animation->setStartValue(visible ? 0.0 : 1.0);
    animation->setEndValue(visible ? 1.0 : 0.0);
    QObject::connect(animation, &QVariantAnimation::valueChanged, widget, [widget, effect, height](const QVariant& v) {
        const qreal t = v.toReal();
        effect->setOpacity(t);
        widget->setMaximumHeight(int(height * t));
    });
    QObject::connect(animation, &QVariantAnimation::finished, widget, [widget, visible, animation] {
        widget->setGraphicsEffect(nullptr);
        widget->setMaximumHeight(QWIDGETSIZE_MAX);
        widget->setVisible(visible);
        animation->deleteLater();
    });
    widget->setMaximumHeight(visible ? 0 : height);
    widget->show();
    animation->start();
}

// ---------------------------------------------------------------------------
// ToggleSwitch

namespace {
constexpr int switchWidth = 34;
constexpr int switchHeight = 20;
} // namespace

ToggleSwitch::ToggleSwitch(QWidget* parent)
    : QAbstractButton(parent)
    , m_knob(new QVariantAnimation(this))
{
    setCheckable(true);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    m_knob->setDuration(140);
    m_knob->setEasingCurve(QEasingCurve::OutCubic);
    connect(m_knob, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        m_position = value.toReal();
        update();
    });
}

QSize ToggleSwitch::sizeHint() const
{
    return QSize(switchWidth + 4, switchHeight + 4);
}

void ToggleSwitch::checkStateSet()
{
    // Set from outside (the record changed): no animation, just the new state.
    m_knob->stop();
    m_position = isChecked() ? 1 : 0;
    update();
}

void ToggleSwitch::nextCheckState()
{
    QAbstractButton::nextCheckState();
    m_knob->stop();
    m_knob->setStartValue(m_position);
    m_knob->setEndValue(isChecked() ? 1.0 : 0.0);
    m_knob->start();
}

void ToggleSwitch::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPalette& pal = palette();
    const QRectF track(2, (height() - switchHeight) / 2.0, switchWidth, switchHeight);
    const QColor off = Palette::withAlpha(pal.color(QPalette::Text), Palette::isDark(pal) ? 0.28 : 0.2);
    const QColor on = pal.color(QPalette::Active, QPalette::Highlight);
    QColor fill = off;
    fill.setRedF(float(off.redF() + (on.redF() - off.redF()) * m_position));
    fill.setGreenF(float(off.greenF() + (on.greenF() - off.greenF()) * m_position));
    fill.setBlueF(float(off.blueF() + (on.blueF() - off.blueF()) * m_position));
    fill.setAlphaF(float(off.alphaF() + (on.alphaF() - off.alphaF()) * m_position));
    if (!isEnabled())
        fill = Palette::withAlpha(fill, 0.4);
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawRoundedRect(track, switchHeight / 2.0, switchHeight / 2.0);
    if (hasFocus() && focusPolicy() != Qt::NoFocus) {
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(Palette::focusRing(pal), 2));
        painter.drawRoundedRect(
            track.adjusted(-1.5, -1.5, 1.5, 1.5), switchHeight / 2.0 + 1.5, switchHeight / 2.0 + 1.5);
        painter.setPen(Qt::NoPen);
    }
    const qreal knob = switchHeight - 4;
    const qreal x = track.left() + 2 + (track.width() - knob - 4) * m_position;
    painter.setBrush(QColor(0, 0, 0, 40));
    painter.drawEllipse(QRectF(x, track.top() + 2.6, knob, knob));
    painter.setBrush(Qt::white);
    painter.drawEllipse(QRectF(x, track.top() + 2, knob, knob));
}

// ---------------------------------------------------------------------------
// SegmentedControl

namespace {
constexpr int segmentPaddingX = 12;
constexpr int segmentHeight = 26;
constexpr int segmentIconSize = 14;
constexpr int segmentIconSpacing = 5;
constexpr qreal segmentRadius = 6;
} // namespace

SegmentedControl::SegmentedControl(QWidget* parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setAttribute(Qt::WA_Hover);
}

void SegmentedControl::addSegment(const QString& symbol, const QString& title)
{
    m_segments.append({symbol, title});
    updateGeometry();
    update();
}

void SegmentedControl::setCurrentIndex(int index)
{
    if (index == m_current)
        return;
    m_current = index;
    update();
}

int SegmentedControl::segmentWidth(const Segment& segment) const
{
    return segmentPaddingX * 2 + segmentIconSize + segmentIconSpacing + fontMetrics().horizontalAdvance(segment.title);
}

QSize SegmentedControl::sizeHint() const
{
    int width = 0;
    for (const Segment& segment : m_segments)
        width = std::max(width, segmentWidth(segment));
    return QSize(width * int(m_segments.size()) + 2, std::max(segmentHeight, fontMetrics().height() + 10));
}

QSize SegmentedControl::minimumSizeHint() const
{
    return sizeHint();
}

QRect SegmentedControl::segmentRect(int index) const
{
    // Equal widths, as the desktop's segmented pickers have, filling the control.
    const int count = std::max<int>(1, int(m_segments.size()));
    const int available = std::min(width(), sizeHint().width()) - 2;
    const int x = 1 + available * index / count;
    const int next = 1 + available * (index + 1) / count;
    return QRect(x, 1, next - x, height() - 2);
}

void SegmentedControl::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPalette& pal = palette();
    const bool dark = Palette::isDark(pal);
    const QRectF frame = QRectF(0.5, 0.5, std::min(width(), sizeHint().width()) - 1.0, height() - 1.0);
    painter.setPen(QPen(Palette::separator(pal), 1));
    painter.setBrush(Palette::withAlpha(pal.color(QPalette::Text), dark ? 0.08 : 0.05));
    painter.drawRoundedRect(frame, segmentRadius, segmentRadius);

    const QColor accent = pal.color(QPalette::Active, QPalette::Highlight);
    for (int i = 0; i < m_segments.size(); ++i) {
        const QRect cell = segmentRect(i);
        const bool chosen = i == m_current;
        if (chosen) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(hasFocus() ? accent : (dark ? QColor(0x5a, 0x5a, 0x60) : QColor(Qt::white)));
            painter.drawRoundedRect(
                QRectF(cell).adjusted(1.5, 1.5, -1.5, -1.5), segmentRadius - 1.5, segmentRadius - 1.5);
        } else if (i > 0 && i - 1 != m_current) {
            painter.setPen(QPen(Palette::withAlpha(Palette::separator(pal), 0.9), 1));
            painter.drawLine(QPointF(cell.left() + 0.5, cell.top() + 6), QPointF(cell.left() + 0.5, cell.bottom() - 5));
        }
        const QColor ink = chosen && hasFocus()
            ? QColor(Qt::white)
            : (isEnabled() ? pal.color(QPalette::Text) : pal.color(QPalette::Disabled, QPalette::Text));
        const Segment& segment = m_segments[i];
        const int textWidth = fontMetrics().horizontalAdvance(segment.title);
        const int contentWidth = segmentIconSize + segmentIconSpacing + textWidth;
        int x = cell.left() + std::max(4, (cell.width() - contentWidth) / 2);
        const QRectF icon(x, cell.center().y() - segmentIconSize / 2.0 + 0.5, segmentIconSize, segmentIconSize);
        Symbols::paint(&painter, icon, segment.symbol, ink);
        x += segmentIconSize + segmentIconSpacing;
        painter.setPen(ink);
        QFont f = font();
        if (chosen)
            f.setWeight(QFont::Medium);
        painter.setFont(f);
        const QRect text(x, cell.top(), cell.right() - x - 2, cell.height());
        painter.drawText(text, Qt::AlignVCenter | Qt::AlignLeft,
            fontMetrics().elidedText(segment.title, Qt::ElideRight, text.width()));
    }
}

void SegmentedControl::choose(int index)
{
    if (index < 0 || index >= m_segments.size() || index == m_current)
        return;
    m_current = index;
    update();
    announceCurrent();
    Q_EMIT activated(index);
}

QList<Accessibility::Part> SegmentedControl::accessibleParts() const
{
    QList<Accessibility::Part> parts;
    for (int i = 0; i < m_segments.size(); ++i) {
        Accessibility::Part part;
        part.role = QAccessible::RadioButton;
        part.name = m_segments[i].title;
        part.rect = segmentRect(i);
        part.checkable = true;
        part.checked = i == m_current;
        part.focused = part.checked && hasFocus();
        part.press = [control = QPointer<const SegmentedControl>(this), i] {
            if (control)
                const_cast<SegmentedControl*>(control.data())->choose(i);
        };
        parts.append(part);
    }
    return parts;
}

// Focus on the control is focus on its chosen segment, as in a group of radio buttons.
void SegmentedControl::announceCurrent()
{
    if (!hasFocus() || m_current < 0)
        return;
    QAccessibleEvent event(this, QAccessible::Focus);
    event.setChild(m_current);
    QAccessible::updateAccessibility(&event);
}

void SegmentedControl::mousePressEvent(QMouseEvent* event)
{
    for (int i = 0; i < m_segments.size(); ++i) {
        if (segmentRect(i).contains(event->position().toPoint())) {
            choose(i);
            return;
        }
    }
    QWidget::mousePressEvent(event);
}

void SegmentedControl::keyPressEvent(QKeyEvent* event)
{
    const bool rightToLeft = layoutDirection() == Qt::RightToLeft;
    switch (event->key()) {
    case Qt::Key_Left: choose(m_current + (rightToLeft ? 1 : -1)); return;
    case Qt::Key_Right: choose(m_current + (rightToLeft ? -1 : 1)); return;
    default: QWidget::keyPressEvent(event);
    }
}

void SegmentedControl::focusInEvent(QFocusEvent* event)
{
    update();
    QWidget::focusInEvent(event);
    announceCurrent();
}

void SegmentedControl::focusOutEvent(QFocusEvent* event)
{
    update();
    QWidget::focusOutEvent(event);
}

// ---------------------------------------------------------------------------
// ElidedLabel

ElidedLabel::ElidedLabel(QWidget* parent)
    : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

void ElidedLabel::setFullText(const QString& text)
{
    // The header sets every label on each change of its record.
    if (text == m_text)
        return;
    m_text = text;
    measure();
    elide();
    updateGeometry();
}

QSize ElidedLabel::minimumSizeHint() const
{
    return QSize(0, QLabel::minimumSizeHint().height());
}

QSize ElidedLabel::sizeHint() const
{
    return QSize(qRound(m_textWidth) + 2, QLabel::sizeHint().height());
}

void ElidedLabel::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    elide();
}

void ElidedLabel::changeEvent(QEvent* event)
{
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        measure();
        elide();
    }
}

void ElidedLabel::measure()
{
    m_textWidth = QFontMetricsF(font()).horizontalAdvance(m_text);
}

void ElidedLabel::elide()
{
    // A text that fits is shown whole without asking for an elided one, which
    // would shape it again.
    const int room = std::max(0, contentsRect().width());
    const QString shown = m_textWidth <= room ? m_text : fontMetrics().elidedText(m_text, Qt::ElideRight, room);
    if (shown != text())
        setText(shown);
    // Whatever is shown, the whole text is what assistive technology reads.
    setToolTip(shown == m_text ? QString() : m_text);
    setAccessibleName(m_text);
}

// ---------------------------------------------------------------------------
// WheelGuard

WheelGuard::WheelGuard(QScrollArea* area)
    : QObject(area)
    , m_area(area)
{
}

void WheelGuard::guard(QWidget* control)
{
    control->installEventFilter(this);
    // Keyboard and clicks give focus; the wheel never does.
    if (control->focusPolicy() == Qt::WheelFocus)
        control->setFocusPolicy(Qt::StrongFocus);
}

bool WheelGuard::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Wheel && m_area) {
        QApplication::sendEvent(m_area->verticalScrollBar(), event);
        return true;
    }
    return QObject::eventFilter(watched, event);
}
