#pragma once

// The named colours the vocabularies and the waiting levels carry. Core code only
// names them; the user interface turns each into a light or dark shade.
enum class NamedColor {
    blue,
    purple,
    indigo,
    green,
    red,
    yellow,
    orange,
    secondary,
};
