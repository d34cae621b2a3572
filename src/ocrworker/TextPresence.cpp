#include "ocrworker/TextPresence.h"

#include "ocrworker/GrayHistogram.h"

#include <QImage>

#include <algorithm>
#include <cstdlib>

namespace TextPresence {
namespace {

// The background is the most common level and those within this many steps of it
// (anti-aliasing and compression blur it a little).
constexpr int backgroundSpread = 12;
// At least half of a tile is background.
constexpr int backgroundShareNumerator = 1;
constexpr int backgroundShareDenominator = 2;
// A mark differs from the background by at least this much: light gray text on white
// does, the grain of a photograph does not.
constexpr int markContrast = 48;
// A stroke: this many marked pixels in a row down one column, as the stems of
// letters are; isolated specks are not text.
constexpr int strokeLength = 4;

int backgroundLevel(const GrayHistogram& histogram, int* backgroundCount)
{
    int best = 0;
    for (int level = 1; level < 256; ++level) {
        if (histogram[size_t(level)] > histogram[size_t(best)])
            best = level;
    }
    int count = 0;
    for (int level = std::max(0, best - backgroundSpread); level <= std::min(255, best + backgroundSpread); ++level)
        count += histogram[size_t(level)];
    *backgroundCount = count;
    return best;
}

bool hasStroke(const QImage& gray, const QRect& tile, int background)
{
    for (int x = tile.left(); x <= tile.right(); ++x) {
        int run = 0;
        for (int y = tile.top(); y <= tile.bottom(); ++y) {
            run = std::abs(int(gray.constScanLine(y)[x]) - background) >= markContrast ? run + 1 : 0;
            if (run >= strokeLength)
                return true;
        }
    }
    return false;
}

bool isTextLike(const QImage& gray, const QRect& tile)
{
    const GrayHistogram histogram = grayHistogram(gray, tile);
    int backgroundCount = 0;
    const int background = backgroundLevel(histogram, &backgroundCount);
    const int pixels = tile.width() * tile.height();
    if (backgroundCount * backgroundShareDenominator < pixels * backgroundShareNumerator)
        return false;
    return hasStroke(gray, tile, background);
}

} // namespace

int textLikeTiles(const QImage& gray, int enough)
{
    Q_ASSERT(gray.format() == QImage::Format_Grayscale8);
    int found = 0;
    for (int top = 0; top < gray.height(); top += tileSize) {
        for (int left = 0; left < gray.width(); left += tileSize) {
            const QRect tile = QRect(left, top, tileSize, tileSize).intersected(gray.rect());
            if (isTextLike(gray, tile) && ++found >= enough)
                return found;
        }
    }
    return found;
}

} // namespace TextPresence
