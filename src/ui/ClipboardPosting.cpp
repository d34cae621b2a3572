#include "ui/ClipboardPosting.h"

#include "model/Utf8Text.h"
#include "ui/ApplicationListView.h"

#include <QMimeData>
#include <QStringList>

namespace {

// "copy\nfile:///a.png\nfile:///b.png" (GNOME's and MATE's formats, and Nautilus's
// text form after its first line): the operation, then one address per line.
QList<QUrl> copiedFiles(const QString& payload)
{
    QList<QUrl> urls;
    const QStringList lines = payload.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (const QString& line : lines) {
        const QString trimmed = line.trimmed();
        if (trimmed == QLatin1String("copy") || trimmed == QLatin1String("cut") || trimmed.startsWith(QLatin1Char('#')))
            continue;
        const QUrl url(trimmed, QUrl::StrictMode);
        if (url.isValid() && url.isLocalFile())
            urls.append(url);
    }
    return urls;
}

const QLatin1String nautilusMarker("x-special/nautilus-clipboard");

// The clipboard's text as it was copied. QMimeData::text() decodes UTF-8 with
// QString::fromUtf8, which drops a byte-order mark at the start, and hasText()
// misses a clipboard that offers only "text/plain;charset=utf-8" (as some X
// programs do): where the clipboard offers those bytes, they are decoded here.
QString clipboardText(const QMimeData& data)
{
    const QString utf8 = QStringLiteral("text/plain;charset=utf-8");
    if (data.hasFormat(utf8)) {
        const QByteArray bytes = data.data(utf8);
        if (!bytes.isEmpty())
            return textFromUtf8(bytes.endsWith('\0') ? QByteArrayView(bytes).chopped(1) : QByteArrayView(bytes));
    }
    return data.text();
}

} // namespace

QList<QUrl> ClipboardPosting::fileLocations(const QMimeData& data)
{
    QList<QUrl> urls;
    const auto add = [&urls](const QList<QUrl>& more) {
        for (const QUrl& url : more) {
            if (!urls.contains(url))
                urls.append(url);
        }
    };
    if (data.hasUrls())
        add(data.urls());
    for (const char* format : {"x-special/gnome-copied-files", "x-special/mate-copied-files"}) {
        const QString name = QString::fromLatin1(format);
        if (data.hasFormat(name))
            add(copiedFiles(QString::fromUtf8(data.data(name))));
    }
    // Newer Nautilus puts its copied files on the clipboard as text only.
    if (data.hasText()) {
        const QString text = data.text();
        if (text.startsWith(nautilusMarker))
            add(copiedFiles(text.mid(nautilusMarker.size())));
    }
    return urls;
}

ClipboardPosting ClipboardPosting::read(const QMimeData* data)
{
    ClipboardPosting posting;
    if (!data)
        return posting;

    // 1. Image files: only locations whose content type is an image count.
    const QList<QUrl> files = ApplicationListView::imageFiles(fileLocations(*data));
    if (!files.isEmpty()) {
        posting.kind = Kind::imageFiles;
        posting.files = files;
        return posting;
    }

    // 2. PNG, then TIFF, then any other image type the clipboard offers. The bytes
    // are decoded off the main thread by the recogniser, never here.
    QStringList imageFormats;
    for (const char* preferred : {"image/png", "image/tiff"}) {
        if (data->hasFormat(QString::fromLatin1(preferred)))
            imageFormats.append(QString::fromLatin1(preferred));
    }
    for (const QString& format : data->formats()) {
        if (format.startsWith(QLatin1String("image/")) && !imageFormats.contains(format))
            imageFormats.append(format);
    }
    for (const QString& format : std::as_const(imageFormats)) {
        QByteArray bytes = data->data(format);
        if (!bytes.isEmpty()) {
            posting.kind = Kind::imageData;
            posting.imageData = std::move(bytes);
            return posting;
        }
    }

    // 3. Text with something in it besides blanks.
    QString text = clipboardText(*data);
    if (!text.trimmed().isEmpty() && !text.startsWith(nautilusMarker)) {
        if (text.size() > maximumTextLength)
            text.truncate(maximumTextLength);
        posting.kind = Kind::text;
        posting.text = std::move(text);
        return posting;
    }
    return posting;
}
