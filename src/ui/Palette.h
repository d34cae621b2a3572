#pragma once

#include "model/NamedColor.h"

#include <QColor>
#include <QFont>
#include <QPalette>

class QWidget;

// The named colours and text styles the views draw with. Every colour has a light
// and a dark shade; which one applies is read from the palette a widget is painted
// with, so a widget that re-reads its colours on QEvent::PaletteChange follows the
// desktop between light and dark.
namespace Palette {

enum class TextStyle {
    title2,
    headline,
    subheadline,
    body,
    callout,
    footnote,
    caption,
    caption2,
};

enum class Appearance { light, dark };

// Dark when the window background is darker than mid grey.
bool isDark(const QPalette& palette);

// The shade for text and symbols drawn beside text. In light mode some colours
// (yellow above all) are darkened so that text stays readable on white.
QColor textColor(NamedColor color, const QPalette& palette);
// The vivid shade for shapes: status bars, dots, stars, badge backgrounds.
QColor fillColor(NamedColor color, const QPalette& palette);

// Text one step below the primary text, and the faint fill behind grouped content.
QColor secondaryText(const QPalette& palette);
QColor quaternaryFill(const QPalette& palette);
// The edge of a control (text field, picker, menu): at least 3:1 against the
// window, the field and the grouped card behind it.
QColor controlEdge(const QPalette& palette);
// The hairline between regions (split view, bars).
QColor separator(const QPalette& palette);
// The background of the sidebar and of the bars pinned to it.
QColor sidebarBackground(const QPalette& palette);
QColor barBackground(const QPalette& palette);

// A colour drawn on a selected row: pushed away from the selection's tint
// (towards white in the dark, black in the light) so that text, badges and the
// status bar stay readable on it.
QColor onSelection(const QColor& color, const QPalette& palette);

// `color` as it shows painted over the opaque `background`, its alpha applied.
QColor over(const QColor& color, const QColor& background);
// The contrast ratio (1 to 21) of two opaque colours, as the accessibility
// guidelines measure it.
double contrast(const QColor& a, const QColor& b);
// The least contrast text, and shapes that carry meaning, keep against what is
// behind them.
constexpr double minimumTextContrast = 4.5;
constexpr double minimumShapeContrast = 3;
// `color` moved towards white (on a dark background) or black (on a light one)
// just far enough to stand at least `minimum`:1 against `background`.
QColor withContrast(const QColor& color, const QColor& background, double minimum);

// The keyboard focus ring: the accent, moved just far enough to stand out from
// every surface a control sits on (window, fields, cards, bars, faint fills).
QColor focusRing(const QPalette& palette);

// The page behind a grouped form and the cards of its sections.
QColor groupedBackground(const QPalette& palette);
QColor groupedCard(const QPalette& palette);

QColor withAlpha(QColor color, qreal alpha);

// A slim vertical scroll bar without arrows, as sidebars and forms have, whose
// thumb follows the palette.
QString slimScrollBarStyleSheet(const QPalette& palette);

// Gives `widget` its own text colour. Both text roles are set: a label with
// selectable text draws with Text, a plain one with WindowText.
void setForeground(QWidget* widget, const QColor& color);

// A text style relative to `base` (the application or widget font): body is the
// base itself, headline its semibold, the others scaled from it.
QFont font(TextStyle style, const QFont& base);
// The monospaced system font at the size of `style`.
QFont monospacedFont(TextStyle style, const QFont& base);

// The application's own light and dark palettes for the Fusion style.
QPalette lightPalette(const QColor& accent = QColor());
QPalette darkPalette(const QColor& accent = QColor());

// Off macOS, unless the desktop brings a style of its own: the Fusion style with
// our palette, light or dark after the desktop's palette at start-up, keeping the
// desktop's accent colour when it has one. Call it once the QApplication exists.
void installAppearance();
// The same with a chosen appearance (the screenshot tool shows both).
void installAppearance(Appearance appearance);

} // namespace Palette
