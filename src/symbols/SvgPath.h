#pragma once

#include <QPainterPath>
#include <QStringView>

#include <optional>

// The outline of an SVG path's `d` attribute (every command, absolute and relative,
// elliptical arcs included) as a QPainterPath filled the way SVG fills by default
// (non-zero winding). The symbols' outlines are read with it when the program is
// built.
namespace SvgPath {

// None when the data is not a well-formed path.
std::optional<QPainterPath> parse(QStringView data);

} // namespace SvgPath
