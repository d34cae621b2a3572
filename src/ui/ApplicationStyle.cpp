#include "ui/ApplicationStyle.h"

#include "ui/Palette.h"

#include <QPainter>
#include <QStyleFactory>
#include <QStyleOption>

namespace {

constexpr qreal fieldRadius = 3;

void drawEdge(QPainter* painter, const QRect& rect, const QPalette& palette, bool focused)
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setBrush(Qt::NoBrush);
    if (focused) {
        painter->setPen(QPen(palette.color(QPalette::Active, QPalette::Highlight), 2));
        painter->drawRoundedRect(QRectF(rect).adjusted(1, 1, -1, -1), fieldRadius, fieldRadius);
    } else {
        painter->setPen(QPen(Palette::controlEdge(palette), 1));
        painter->drawRoundedRect(QRectF(rect).adjusted(0.5, 0.5, -0.5, -0.5), fieldRadius, fieldRadius);
    }
    painter->restore();
}

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
            painter->setPen(option->state.testFlag(State_HasFocus)
                    ? option->palette.color(QPalette::Active, QPalette::Highlight)
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
    QProxyStyle::drawComplexControl(control, option, painter, widget);
    // Editable pickers draw their field through the line-edit frame; the others get
    // their edge on top of Fusion's own.
    const auto* combo = qstyleoption_cast<const QStyleOptionComboBox*>(option);
    const bool framed = (control == CC_SpinBox && option->subControls.testFlag(SC_SpinBoxFrame))
        || (control == CC_ComboBox && combo && combo->frame);
    if (framed && !option->state.testFlag(State_HasFocus))
        drawEdge(painter, option->rect, option->palette, false);
}
