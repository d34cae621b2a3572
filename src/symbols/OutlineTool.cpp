// applywright-symbol-outlines OUTDIR FOLDER PICTURE...
//
// Reads each PICTURE (an SVG under FOLDER) into its outline and writes it under OUTDIR
// at the picture's path with ".outline" for ".svg" ("regular/code.outline"). The
// program embeds these and draws its symbols from them, so it reads no SVG and
// computes no arc itself.
#include "symbols/OutlineFile.h"
#include "symbols/SymbolPicture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cstdio>

int main(int argc, char* argv[])
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s OUTDIR FOLDER PICTURE...\n", argv[0]);
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    const QDir folder(QString::fromLocal8Bit(argv[2]));
    for (int i = 3; i < argc; ++i) {
        const QString path = QString::fromLocal8Bit(argv[i]);
        QFile file(path);
        const std::optional<SymbolOutline> outline
            = file.open(QIODevice::ReadOnly) ? readSymbolPicture(file) : std::nullopt;
        if (!outline) {
            std::fprintf(stderr, "%s: %s is not a picture of filled paths\n", argv[0], argv[i]);
            return 1;
        }
        QString picture = folder.relativeFilePath(path);
        picture.chop(int(qstrlen(".svg")));
        const QString target = out.filePath(picture + QLatin1String(OutlineFile::suffix));
        QSaveFile written(target);
        if (!out.mkpath(QFileInfo(target).path()) || !written.open(QIODevice::WriteOnly)
            || written.write(OutlineFile::write(*outline)) < 0 || !written.commit()) {
            std::fprintf(stderr, "%s: cannot write %s\n", argv[0], qPrintable(target));
            return 1;
        }
    }
    return 0;
}
