#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QString>
#include <QStringList>

class QPainter;
class QRectF;

// The symbols the views show, by the names the rest of the code uses
// ("paperplane.fill", "star", …), drawn from the outlines of bundled pictures (read
// when the program is built) and tinted at run time.
// Rendered pixmaps are kept in QPixmapCache per name, colour, size and pixel ratio.
namespace Symbols {

// Every symbol name that has a bundled picture.
QStringList names();
bool contains(const QString& name);
// The bundled picture `name` is drawn from, as its path under the icon set's folder
// without ".svg" ("regular/code"); empty when the name is unknown.
QString picture(const QString& name);

// `name` rendered into a square of `size` logical pixels in `color`. Unknown names
// give a null pixmap.
QPixmap pixmap(const QString& name, const QColor& color, int size, qreal devicePixelRatio);
// Draws `name` centred in `rect` at the painter's pixel ratio.
void paint(QPainter* painter, const QRectF& rect, const QString& name, const QColor& color);
// An icon that renders `name` at whatever size it is asked for; disabled states
// are drawn faded.
QIcon icon(const QString& name, const QColor& color);

// The application's own icon, from the bitmaps of it rendered when the program is
// built (the nearest larger one, scaled down): the window and the About window show it.
QIcon applicationIcon();

} // namespace Symbols
