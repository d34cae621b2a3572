#pragma once

class QImage;

// Whether a grayscale image holds anything that could be text, decided in a small
// fraction of the time recognition takes. Text on a screen stands on a plain
// background: somewhere in the image a small tile is mostly one level of gray with
// marks that stand out from it, and among those marks a stroke a few pixels tall.
// Noise, grain and photographs have no plain background and blank pages no marks;
// the engine would find nothing in them either, after taking minutes over the noise.
namespace TextPresence {

// Tiles of this many pixels square are judged one at a time.
constexpr int tileSize = 32;

// How many tiles look like text, counting no further than `enough`.
int textLikeTiles(const QImage& gray, int enough);

inline bool hasTextLikeRegions(const QImage& gray)
{
    return textLikeTiles(gray, 1) > 0;
}

} // namespace TextPresence
