#pragma once

#include <QRectF>
#include <QString>

#include <optional>

// One line of posting text: recognised in a screenshot (with its visual size and
// recognition confidence and box) or pasted (without them).
struct PostingLine {
    QString text;
    int order = 0;
    std::optional<double> relativeHeight;
    std::optional<double> confidence;
    // Where the line stands in its screenshot: normalised 0..1 on both axes, origin at
    // the lower-left corner. Absent for pasted text. Shown to the person, never stored.
    std::optional<QRectF> box {};

    friend bool operator==(const PostingLine&, const PostingLine&) = default;
};

// What ends a line of posting text: a line feed, and every other break Unicode names
// (carriage return, vertical and form feed, next line, line and paragraph separator).
// Without branches, so a loop that tests every character of a text can test many at once.
constexpr bool isLineBreak(char16_t c)
{
    return (c == u'\n') | (c == u'\r') | (c == u'\v') | (c == u'\f') | (c == u'\u0085') | (c == u'\u2028')
        | (c == u'\u2029');
}
