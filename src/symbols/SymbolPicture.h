#pragma once

#include "symbols/OutlineFile.h"

#include <optional>

class QIODevice;

// A bundled picture (an SVG of a view box and paths filled in one colour) as one
// outline. None for a picture with anything else in it: the build stops there.
std::optional<SymbolOutline> readSymbolPicture(QIODevice& svg);
