#pragma once

#include <QDir>
#include <QImage>
#include <QString>

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
