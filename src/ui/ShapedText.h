#pragma once

#include <QFont>
#include <QStaticText>
#include <QString>

class QPainter;
class QRect;

// Single lines of text shaped once and kept. The list and the board paint the same
// names, titles and badges on every frame; laying their glyphs out again each time,
// not drawing them, was most of what a row cost.
namespace ShapedText {

struct Line {
    QString text; // as shown: cut short with an ellipsis to the room it was given
    int width = 0; // its advance
    QStaticText prepared;
};

// `text` in `font`, elided at the right to `room` pixels (no limit when negative).
Line line(const QFont& font, const QString& text, int room = -1);

// Draws `line` in `font` at the start of `rect`, centred vertically, in the painter's pen.
void draw(QPainter* painter, const QRect& rect, const QFont& font, const Line& line);

} // namespace ShapedText
