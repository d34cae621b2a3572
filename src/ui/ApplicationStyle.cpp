#include "ui/ApplicationStyle.h"

#include "ui/Palette.h"

#include <QGuiApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPointer>
#include <QStyleFactory>
#include <QStyleOption>
#include <QWidget>

namespace {

constexpr qreal fieldRadius = 3;
constexpr qreal toolRingRadius = 4;

void drawEdge(QPainter* painter, const QRect& rect, const QPalette& palette, bool focused)
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setBrush(Qt::NoBrush);
    if (focused) {
        painter->setPen(QPen(Palette::focusRing(palette), 2));
        painter->drawRoundedRect(QRectF(rect).adjusted(1, 1, -1, -1), fieldRadius, fieldRadius);
    } else {
        painter->setPen(QPen(Palette::controlEdge(palette), 1));
        painter->drawRoundedRect(QRectF(rect).adjusted(0.5, 0.5, -0.5, -0.5), fieldRadius, fieldRadius);
    }
    painter->restore();
}

// A picture of the base style, read only when something is drawn with it. The
// pictures are PNG files, and reading the first one asks every image-format plugin
// of the system: a cost the window would otherwise pay before its first frame for
// buttons that seldom show (the menu bar's overflow arrow).
class DeferredStyleIcon : public QIconEngine {
public:
    DeferredStyleIcon(QStyle* style, QStyle::StandardPixmap which, Qt::LayoutDirection direction)
        : m_style(style)
        , m_which(which)
        , m_direction(direction)
    {
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override
    {
        return icon().pixmap(size / scale, scale, mode, state);
    }
    QIconEngine* clone() const override { return new DeferredStyleIcon(m_style, m_which, m_direction); }
    QString key() const override { return QStringLiteral("applywright-deferred-style-icon"); }

private:
    const QIcon& icon()
    {
        if (!m_read && m_style) {
            QStyleOption option;
            option.direction = m_direction;
            m_icon = m_style->standardIcon(m_which, &option);
            m_read = true;
        }
        return m_icon;
    }

    QPointer<QStyle> m_style;
    QStyle::StandardPixmap m_which;
    Qt::LayoutDirection m_direction;
    bool m_read = false;
    QIcon m_icon;
};

} // namespace

ApplicationStyle::ApplicationStyle()
    : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion")))
{
    setObjectName(QStringLiteral("ApplicationStyle"));
}

void ApplicationStyle::drawPrimitive(
    PrimitiveElement element, const QStyleOption* option, QPainter* painter, const QWidget* widget) const
{
    switch (element) {
    case PE_FrameLineEdit:
        drawEdge(painter, option->rect, option->palette,
            option->state.testFlag(State_HasFocus) && option->state.testFlag(State_Enabled));
        return;
    case PE_PanelMenu:
    case PE_FrameMenu:
        // Fusion edges its menus with a shade of the window colour, which in the dark
        // is nearly the window itself: the edge is drawn again in the controls' colour.
        if (element == PE_PanelMenu)
            QProxyStyle::drawPrimitive(element, option, painter, widget);
        painter->save();
        painter->setPen(Palette::controlEdge(option->palette));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(QRectF(option->rect).adjusted(0.5, 0.5, -0.5, -0.5));
        painter->restore();
        return;
    case PE_IndicatorCheckBox:
        // Fusion's box edge is a darker shade of the window: in the dark it is lost.
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        {
            // With the keyboard focus the edge takes the accent, as a text field's does.
            painter->save();
            painter->setRenderHint(QPainter::Antialiasing);
            painter->setPen(option->state.testFlag(State_HasFocus) ? Palette::focusRing(option->palette)
                                                                   : Palette::controlEdge(option->palette));
            painter->setBrush(Qt::NoBrush);
            painter->drawRoundedRect(QRectF(option->rect).adjusted(0.5, 0.5, -1.5, -1.5), 2, 2);
            painter->restore();
        }
        return;
    default: QProxyStyle::drawPrimitive(element, option, painter, widget);
    }
}

void ApplicationStyle::drawComplexControl(
    ComplexControl control, const QStyleOptionComplex* option, QPainter* painter, const QWidget* widget) const
{
    if (const auto* tool = qstyleoption_cast<const QStyleOptionToolButton*>(option);
        tool && control == CC_ToolButton && option->state.testFlag(State_HasFocus)) {
        // Fusion's own ring round a tool button is a faint wash of the accent: the
        // button is drawn without it and ringed as a focused text field is.
        QStyleOptionToolButton plain = *tool;
        plain.state.setFlag(State_HasFocus, false);
        QProxyStyle::drawComplexControl(control, &plain, painter, widget);
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(QPen(Palette::focusRing(option->palette), 2));
        painter->setBrush(Qt::NoBrush);
        painter->drawRoundedRect(QRectF(option->rect).adjusted(1, 1, -1, -1), toolRingRadius, toolRingRadius);
        painter->restore();
        return;
    }
    QProxyStyle::drawComplexControl(control, option, painter, widget);
    // Editable pickers draw their field through the line-edit frame; the others get
    // their edge on top of Fusion's own.
    const auto* combo = qstyleoption_cast<const QStyleOptionComboBox*>(option);
    const bool framed = (control == CC_SpinBox && option->subControls.testFlag(SC_SpinBoxFrame))
        || (control == CC_ComboBox && combo && combo->frame);
    if (framed && !option->state.testFlag(State_HasFocus))
        drawEdge(painter, option->rect, option->palette, false);
}

QIcon ApplicationStyle::standardIcon(StandardPixmap which, const QStyleOption* option, const QWidget* widget) const
{
    switch (which) {
    case SP_ToolBarHorizontalExtensionButton:
    case SP_ToolBarVerticalExtensionButton: {
        const Qt::LayoutDirection direction = option ? option->direction
            : widget                                 ? widget->layoutDirection()
                                                     : QGuiApplication::layoutDirection();
        return QIcon(new DeferredStyleIcon(baseStyle(), which, direction));
    }
    default: return QProxyStyle::standardIcon(which, option, widget);
    }
}
