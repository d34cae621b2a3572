#pragma once

#include <QFont>
#include <QImage>
#include <QPainter>

#include <tuple>

namespace DrawnPages {

// Text drawn in a font every test machine has, each item from where its baseline starts.
inline QImage drawPage(const QSize& size, const QList<std::tuple<QString, int, QPoint>>& items,
    const QColor& ink = Qt::black, const QColor& paper = Qt::white)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(paper);
    QPainter painter(&image);
    painter.setPen(ink);
    for (const auto& [text, pixelSize, baselineStart] : items) {
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(pixelSize);
        painter.setFont(font);
        painter.drawText(baselineStart, text);
    }
    painter.end();
    return image;
}

// A screen filled with small text, which keeps the engine busy for a minute.
inline QImage denseScreen()
{
    QList<std::tuple<QString, int, QPoint>> lines;
    for (int y = 14; y < 1080; y += 16)
        lines.append(
            {QStringLiteral("senior platform engineer remote hybrid istanbul ").repeated(6), 11, QPoint(4, y)});
    return drawPage(QSize(1920, 1080), lines);
}

} // namespace DrawnPages
