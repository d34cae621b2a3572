#include "ui/Palette.h"

#include "ui/ApplicationStyle.h"

#include <QApplication>
#include <QFontDatabase>
#include <QStyle>
#include <QStyleFactory>
#include <QWidget>

#include <cmath>

#include <algorithm>

namespace Palette {

namespace {

struct Shades {
    QColor lightText;
    QColor lightFill;
    QColor darkText;
    QColor darkFill;
};

// Light text shades are the system colours darkened until they reach 4.5:1 on a
// badge's tinted capsule over the sidebar; the fills keep the vivid system colours.
Shades shades(NamedColor color)
{
    switch (color) {
    case NamedColor::blue:
        return {QColor(0x00, 0x5d, 0xc3), QColor(0x00, 0x7a, 0xff), QColor(0x4c, 0xa4, 0xff), QColor(0x0a, 0x84, 0xff)};
    case NamedColor::purple:
        return {QColor(0x8e, 0x34, 0xbc), QColor(0xaf, 0x52, 0xde), QColor(0xd0, 0x8a, 0xf5), QColor(0xbf, 0x5a, 0xf2)};
    case NamedColor::indigo:
        return {QColor(0x47, 0x44, 0xc2), QColor(0x58, 0x56, 0xd6), QColor(0x8e, 0x8c, 0xff), QColor(0x5e, 0x5c, 0xe6)};
    case NamedColor::green:
        return {QColor(0x19, 0x75, 0x33), QColor(0x34, 0xc7, 0x59), QColor(0x3f, 0xd8, 0x6a), QColor(0x30, 0xd1, 0x58)};
    case NamedColor::red:
        return {QColor(0xb9, 0x27, 0x1e), QColor(0xff, 0x3b, 0x30), QColor(0xff, 0x75, 0x6b), QColor(0xff, 0x45, 0x3a)};
    case NamedColor::yellow:
        return {QColor(0x8d, 0x5e, 0x00), QColor(0xf5, 0xb8, 0x00), QColor(0xff, 0xd6, 0x0a), QColor(0xff, 0xd6, 0x0a)};
    case NamedColor::orange:
        return {QColor(0xa5, 0x4d, 0x00), QColor(0xff, 0x95, 0x00), QColor(0xff, 0xa6, 0x2e), QColor(0xff, 0x9f, 0x0a)};
    case NamedColor::secondary: break;
    }
    return {};
}

QColor blend(const QColor& a, const QColor& b, qreal t)
{
    return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * t),
        float(a.greenF() + (b.greenF() - a.greenF()) * t), float(a.blueF() + (b.blueF() - a.blueF()) * t));
}

qreal scaledSize(const QFont& base, qreal factor, qreal minimumPoints)
{
    const qreal points = base.pointSizeF() > 0 ? base.pointSizeF() : base.pixelSize() * 0.75;
    return std::max(points * factor, std::min(points, minimumPoints));
}

void applySize(QFont& font, const QFont& base, qreal factor, qreal minimumPoints)
{
    font.setPointSizeF(scaledSize(base, factor, minimumPoints));
}

void setGroup(QPalette& p, QPalette::ColorGroup group, const QColor& window, const QColor& base, const QColor& text,
    const QColor& button, const QColor& accent, const QColor& highlightedText)
{
    p.setColor(group, QPalette::Window, window);
    p.setColor(group, QPalette::WindowText, text);
    p.setColor(group, QPalette::Base, base);
    p.setColor(group, QPalette::AlternateBase, blend(base, text, 0.035));
    p.setColor(group, QPalette::Text, text);
    p.setColor(group, QPalette::BrightText, Qt::white);
    p.setColor(group, QPalette::Button, button);
    p.setColor(group, QPalette::ButtonText, text);
    p.setColor(group, QPalette::Highlight, accent);
    p.setColor(group, QPalette::HighlightedText, highlightedText);
    p.setColor(group, QPalette::Link, accent);
    p.setColor(group, QPalette::LinkVisited, accent.darker(120));
    p.setColor(group, QPalette::ToolTipBase, base);
    p.setColor(group, QPalette::ToolTipText, text);
    p.setColor(group, QPalette::PlaceholderText, withAlpha(text, 0.45));
    p.setColor(group, QPalette::Light, blend(button, Qt::white, 0.5));
    p.setColor(group, QPalette::Midlight, blend(button, Qt::white, 0.25));
    p.setColor(group, QPalette::Mid, blend(button, text, 0.25));
    p.setColor(group, QPalette::Dark, blend(button, text, 0.45));
    p.setColor(group, QPalette::Shadow, blend(button, Qt::black, 0.6));
}

// Fusion draws disabled text "etched", with a copy in the Light colour one pixel
// down; on a dark menu that reads as blurred text. Light equal to the background
// hides the copy.
void unetch(QPalette& p)
{
    p.setColor(QPalette::Disabled, QPalette::Light, p.color(QPalette::Disabled, QPalette::Window));
}

// A desktop accent worth keeping: saturated, not too dark, and not Qt's own
// built-in highlight (which only means that no desktop theme chose one).
bool usableAccent(const QColor& color)
{
    return color.isValid() && color != QColor(0x30, 0x8c, 0xc6) && color.hsvSaturationF() > 0.3f
        && color.valueF() > 0.35f;
}

} // namespace

bool isDark(const QPalette& palette)
{
    return palette.color(QPalette::Window).lightnessF() < 0.5f;
}

QColor textColor(NamedColor color, const QPalette& palette)
{
    if (color == NamedColor::secondary)
        return secondaryText(palette);
    const Shades s = shades(color);
    return isDark(palette) ? s.darkText : s.lightText;
}

QColor fillColor(NamedColor color, const QPalette& palette)
{
    if (color == NamedColor::secondary)
        return secondaryText(palette);
    const Shades s = shades(color);
    return isDark(palette) ? s.darkFill : s.lightFill;
}

QColor secondaryText(const QPalette& palette)
{
    // Opaque rather than translucent so that text drawn over a highlight keeps its tone.
    const QColor text = palette.color(QPalette::Text);
    const QColor base = palette.color(QPalette::Base);
    return blend(base, text, isDark(palette) ? 0.62 : 0.64);
}

QColor quaternaryFill(const QPalette& palette)
{
    return withAlpha(palette.color(QPalette::Text), isDark(palette) ? 0.24 : 0.2);
}

QColor separator(const QPalette& palette)
{
    return blend(palette.color(QPalette::Window), palette.color(QPalette::Text), isDark(palette) ? 0.28 : 0.16);
}

QColor controlEdge(const QPalette& palette)
{
    return isDark(palette) ? QColor(0x7c, 0x7c, 0x82) : QColor(0x85, 0x85, 0x8a);
}

QColor sidebarBackground(const QPalette& palette)
{
    return palette.color(QPalette::Window);
}

QColor barBackground(const QPalette& palette)
{
    return blend(palette.color(QPalette::Window), palette.color(QPalette::Text), isDark(palette) ? 0.05 : 0.03);
}

QColor onSelection(const QColor& color, const QPalette& palette)
{
    const bool dark = isDark(palette);
    QColor lifted = blend(color, dark ? QColor(Qt::white) : QColor(Qt::black), dark ? 0.4 : 0.3);
    lifted.setAlphaF(color.alphaF());
    return lifted;
}

QColor over(const QColor& color, const QColor& background)
{
    if (!color.isValid())
        return background;
    return blend(background, color, color.alphaF());
}

namespace {

// x^2.4 for x in (0, 1], as x² times the fifth root of x², found by Newton's method
// from 1: from above it falls to the root step by step, so it ends where a step no
// longer falls, within a unit in the last place. std::pow would bring the maths
// library's power code and tables (about 100 KiB) into every start for this alone.
double toThePower2point4(double x)
{
    const double square = x * x;
    double root = 1;
    for (;;) {
        const double fourth = root * root * root * root;
        const double next = (4 * root + square / fourth) / 5;
        if (!(next < root))
            return square * root;
        root = next;
    }
}

} // namespace

double contrast(const QColor& a, const QColor& b)
{
    const auto luminance = [](const QColor& c) {
        const auto linear = [](double v) { return v <= 0.04045 ? v / 12.92 : toThePower2point4((v + 0.055) / 1.055); };
        return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
    };
    const double la = luminance(a) + 0.05;
    const double lb = luminance(b) + 0.05;
    return la > lb ? la / lb : lb / la;
}

QColor withContrast(const QColor& color, const QColor& background, double minimum)
{
    const QColor opaque = over(color, background);
    const QColor away = contrast(background, Qt::white) > contrast(background, Qt::black) ? Qt::white : Qt::black;
    // Small steps, so the colour keeps as much of its hue as the ratio allows; the
    // painted colour is measured in whole 8-bit channels, so each step is rounded
    // the way the screen will show it before it is measured.
    for (int step = 0; step <= 40; ++step) {
        const QColor candidate = blend(opaque, away, step / 40.0).toRgb();
        const QColor shown(candidate.red(), candidate.green(), candidate.blue());
        if (contrast(shown, background) >= minimum)
            return step == 0 ? color : shown;
    }
    return away;
}

QColor focusRing(const QPalette& palette)
{
    const QColor card = groupedCard(palette);
    // The light and dark surfaces all lie on one side of the accent, so each step
    // away from one keeps the ring clear of those already met.
    QColor ring = palette.color(QPalette::Active, QPalette::Highlight);
    for (const QColor& behind : {palette.color(QPalette::Window), palette.color(QPalette::Base), card,
             barBackground(palette), over(quaternaryFill(palette), card)})
        ring = withContrast(ring, behind, minimumShapeContrast);
    return ring;
}

QColor groupedBackground(const QPalette& palette)
{
    return isDark(palette) ? palette.color(QPalette::Base) : palette.color(QPalette::Window);
}

QColor groupedCard(const QPalette& palette)
{
    // White cards on the light page; in the dark a step lighter than the page.
    return isDark(palette) ? blend(palette.color(QPalette::Base), palette.color(QPalette::Text), 0.07)
                           : palette.color(QPalette::Base);
}

QColor withAlpha(QColor color, qreal alpha)
{
    color.setAlphaF(float(std::clamp(alpha, 0.0, 1.0)));
    return color;
}

QString slimScrollBarStyleSheet(const QPalette& palette)
{
    const auto rgba = [](const QColor& c) {
        return QStringLiteral("rgba(%1,%2,%3,%4)").arg(c.red()).arg(c.green()).arg(c.blue()).arg(c.alphaF());
    };
    const bool dark = isDark(palette);
    const QColor thumb = withAlpha(palette.color(QPalette::Text), dark ? 0.3 : 0.22);
    const QColor hovered = withAlpha(palette.color(QPalette::Text), dark ? 0.45 : 0.38);
    return QStringLiteral(
        "QScrollBar:vertical{background:transparent;width:10px;margin:0;border:none;}"
        "QScrollBar::handle:vertical{background:%1;border-radius:3px;min-height:32px;margin:2px;}"
        "QScrollBar::handle:vertical:hover{background:%2;}"
        "QScrollBar::add-line:vertical,QScrollBar::sub-line:vertical{height:0;border:none;background:none;}"
        "QScrollBar::add-page:vertical,QScrollBar::sub-page:vertical{background:none;}")
        .arg(rgba(thumb), rgba(hovered));
}

void setForeground(QWidget* widget, const QColor& color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    palette.setColor(QPalette::Text, color);
    widget->setPalette(palette);
}

QFont font(TextStyle style, const QFont& base)
{
    QFont f = base;
    // Ratios of the desktop text styles to the body size; the small styles keep a
    // floor so that they stay legible with small desktop fonts.
    switch (style) {
    case TextStyle::title2: applySize(f, base, 1.3, 0); break;
    case TextStyle::headline: f.setWeight(QFont::DemiBold); break;
    case TextStyle::subheadline: applySize(f, base, 0.93, 8.5); break;
    case TextStyle::body: break;
    case TextStyle::callout: applySize(f, base, 0.96, 8.5); break;
    case TextStyle::footnote: applySize(f, base, 0.87, 8); break;
    case TextStyle::caption: applySize(f, base, 0.87, 8); break;
    case TextStyle::caption2: applySize(f, base, 0.8, 7.5); break;
    }
    return f;
}

QFont monospacedFont(TextStyle style, const QFont& base)
{
    QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    // Ask the font matcher for fixed pitch outright: whichever family the desktop
    // names, a substitute must still be monospaced.
    mono.setStyleHint(QFont::Monospace, QFont::PreferMatch);
    mono.setFixedPitch(true);
    const QFont sized = font(style, base);
    mono.setPointSizeF(sized.pointSizeF() > 0 ? sized.pointSizeF() : base.pointSizeF());
    mono.setWeight(sized.weight());
    return mono;
}

QPalette lightPalette(const QColor& accent)
{
    const QColor highlight = usableAccent(accent) ? accent : QColor(0x2f, 0x6f, 0xde);
    const QColor text(0x1d, 0x1d, 0x1f);
    QPalette p;
    setGroup(
        p, QPalette::Active, QColor(0xf2, 0xf2, 0xf4), Qt::white, text, QColor(0xfa, 0xfa, 0xfb), highlight, Qt::white);
    setGroup(p, QPalette::Inactive, QColor(0xf2, 0xf2, 0xf4), Qt::white, text, QColor(0xfa, 0xfa, 0xfb), highlight,
        Qt::white);
    const QColor disabled(0xa4, 0xa4, 0xaa);
    setGroup(p, QPalette::Disabled, QColor(0xf2, 0xf2, 0xf4), Qt::white, disabled, QColor(0xf4, 0xf4, 0xf6),
        QColor(0xc8, 0xc8, 0xcc), Qt::white);
    unetch(p);
    return p;
}

QPalette darkPalette(const QColor& accent)
{
    const QColor highlight = usableAccent(accent) ? accent : QColor(0x2f, 0x7b, 0xf0);
    const QColor text(0xec, 0xec, 0xef);
    QPalette p;
    setGroup(p, QPalette::Active, QColor(0x26, 0x26, 0x2a), QColor(0x1c, 0x1c, 0x1f), text, QColor(0x36, 0x36, 0x3b),
        highlight, Qt::white);
    setGroup(p, QPalette::Inactive, QColor(0x26, 0x26, 0x2a), QColor(0x1c, 0x1c, 0x1f), text, QColor(0x36, 0x36, 0x3b),
        highlight, Qt::white);
    const QColor disabled(0x74, 0x74, 0x7a);
    setGroup(p, QPalette::Disabled, QColor(0x26, 0x26, 0x2a), QColor(0x1c, 0x1c, 0x1f), disabled,
        QColor(0x2e, 0x2e, 0x32), QColor(0x4a, 0x4a, 0x50), QColor(0xb0, 0xb0, 0xb4));
    unetch(p);
    return p;
}

void installAppearance()
{
#ifndef Q_OS_MACOS
    // A desktop that brings its own style (Breeze, Kvantum, …) keeps it, with its
    // palette; our views read their colours from whatever palette is in force.
    const QString style = QApplication::style()->name();
    if (!qobject_cast<ApplicationStyle*>(QApplication::style())
        && style.compare(QLatin1String("fusion"), Qt::CaseInsensitive) != 0
        && style.compare(QLatin1String("windows"), Qt::CaseInsensitive) != 0)
        return;
#endif
    const QPalette desktop = QApplication::palette();
    installAppearance(isDark(desktop) ? Appearance::dark : Appearance::light);
}

void installAppearance(Appearance appearance)
{
#ifdef Q_OS_MACOS
    Q_UNUSED(appearance)
#else
    const QColor accent = QApplication::palette().color(QPalette::Active, QPalette::Highlight);
    if (!qobject_cast<ApplicationStyle*>(QApplication::style()))
        QApplication::setStyle(new ApplicationStyle);
    QApplication::setPalette(appearance == Appearance::dark ? darkPalette(accent) : lightPalette(accent));
#endif
}

} // namespace Palette
