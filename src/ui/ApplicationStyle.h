#pragma once

#include <QProxyStyle>

// Fusion with edges that can be seen: text fields, pickers, date fields and
// menus get a border of at least 3:1 against what surrounds them, in the light
// and the dark palette (Fusion's own edges nearly vanish on a dark background).
class ApplicationStyle : public QProxyStyle {
    Q_OBJECT

public:
    ApplicationStyle();

    void drawPrimitive(
        PrimitiveElement element, const QStyleOption* option, QPainter* painter, const QWidget* widget) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
        const QWidget* widget) const override;
    QIcon standardIcon(StandardPixmap which, const QStyleOption* option, const QWidget* widget) const override;
};
