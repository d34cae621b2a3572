// applywright-symbol-outlines OUT FOLDER PICTURE...
//
// Reads each PICTURE (an SVG under FOLDER) into its outline and writes them all to OUT,
// by their paths under FOLDER without ".svg" ("regular/code"). The program embeds OUT
// and draws its symbols from it, so it reads no SVG and computes no arc itself.
#include "symbols/OutlineFile.h"
#include "symbols/SymbolPicture.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <cstdio>

int main(int argc, char* argv[])
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s OUT FOLDER PICTURE...\n", argv[0]);
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[2]));
    QList<std::pair<QString, SymbolOutline>> outlines;
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
        outlines.append({picture, *outline});
    }
    QSaveFile out(QString::fromLocal8Bit(argv[1]));
    if (!out.open(QIODevice::WriteOnly) || out.write(OutlineFile::write(outlines)) < 0 || !out.commit()) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
        return 1;
    }
    return 0;
}
