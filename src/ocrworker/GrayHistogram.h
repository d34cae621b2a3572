#pragma once

#include <QImage>
#include <QRect>

#include <array>

// How many pixels of each gray level a part of a grayscale image holds.
using GrayHistogram = std::array<int, 256>;

inline GrayHistogram grayHistogram(const QImage& gray, const QRect& area)
{
    GrayHistogram histogram {};
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const uchar* row = gray.constScanLine(y);
        for (int x = area.left(); x <= area.right(); ++x)
            ++histogram[size_t(row[x])];
    }
    return histogram;
}
