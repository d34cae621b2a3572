#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>

// UTF-8 bytes to text, every character kept. QString::fromUtf8 takes a byte-order
// mark at the start for a signature and drops it; in a field's value, a pasted line
// or a recognised one the mark is part of what was written, and stays.
inline QString textFromUtf8(QByteArrayView bytes)
{
    if (!bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes);
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(bytes);
}
