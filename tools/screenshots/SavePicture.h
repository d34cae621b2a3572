#pragma once

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QString>
#include <QWidget>

#include <cstdio>

// Writes `image` as FOLDER/NAME+SUFFIX.png and prints its path, or says it could not.
inline void savePicture(const QImage& image, const QString& folder, const QString& name, const QString& suffix)
{
    const QString path = QDir(folder).filePath(name + suffix + QLatin1String(".png"));
    if (!image.save(path))
        std::fprintf(stderr, "could not write %s\n", qPrintable(path));
    else
        std::printf("%s\n", qPrintable(path));
}

// A picture of `window` with the given popups (menus, a calendar) drawn where they open.
inline QImage withMenus(QWidget& window, const QList<QWidget*>& menus)
{
    QImage image = window.grab().toImage();
    QPainter painter(&image);
    for (QWidget* menu : menus) {
        const QPoint at = window.mapFromGlobal(menu->pos());
        const QPixmap shot = menu->grab();
        // A soft shadow, as the window system would draw it.
        painter.setPen(Qt::NoPen);
        for (int i = 1; i <= 4; ++i) {
            painter.setBrush(QColor(0, 0, 0, 14));
            painter.drawRoundedRect(
                QRect(at, shot.size() / shot.devicePixelRatio()).adjusted(-i, -i + 2, i, i + 2), 4, 4);
        }
        painter.drawPixmap(at, shot);
    }
    return image;
}
