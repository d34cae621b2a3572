#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUrl>

class QMimeData;

// What a paste brings into a posting import, decided in a fixed order: image file
// locations first (a copied file from a file manager), then PNG data, then any
// other image data, then text with more than blanks in it. An image therefore wins
// over text when the clipboard offers both.
struct ClipboardPosting {
    enum class Kind { imageFiles, imageData, text, nothing };

    Kind kind = Kind::nothing;
    QList<QUrl> files;
    QByteArray imageData;
    // The text as it was copied (blanks are only trimmed to decide).
    QString text;

    // Longer pasted texts are cut here before parsing: no posting comes near it,
    // and the parse runs on the main thread.
    static constexpr qsizetype maximumTextLength = 200'000;

    static ClipboardPosting read(const QMimeData* data);

    // Every file location on the clipboard: text/uri-list, and the copied-files
    // formats of GNOME, MATE and KDE file managers, in their order, without repeats.
    static QList<QUrl> fileLocations(const QMimeData& data);
};
