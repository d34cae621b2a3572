#pragma once

#include <QByteArray>
#include <QDataStream>
#include <QHash>
#include <QIODevice>
#include <QList>
#include <QPainterPath>
#include <QRectF>
#include <QString>

#include <utility>

// A symbol's outline in its own coordinates, and the square those span.
struct SymbolOutline {
    QRectF viewBox;
    QPainterPath outline;
};

// The outlines of the bundled pictures in one file, by picture ("regular/code"):
// written when the program is built, read by the program when it first draws a symbol.
namespace OutlineFile {

inline constexpr quint32 magic = 0x41574f31; // "AWO1"
inline constexpr QDataStream::Version streamVersion = QDataStream::Qt_6_4;

inline QByteArray write(const QList<std::pair<QString, SymbolOutline>>& outlines)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(streamVersion);
    out << magic << quint32(outlines.size());
    for (const auto& [picture, outline] : outlines)
        out << picture << outline.viewBox << outline.outline;
    return bytes;
}

// Empty when the bytes are not such a file.
inline QHash<QString, SymbolOutline> read(const QByteArray& bytes)
{
    QDataStream in(bytes);
    in.setVersion(streamVersion);
    quint32 mark = 0, count = 0;
    in >> mark >> count;
    if (mark != magic)
        return {};
    QHash<QString, SymbolOutline> outlines;
    for (quint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
        QString picture;
        SymbolOutline outline;
        in >> picture >> outline.viewBox >> outline.outline;
        outlines.insert(picture, outline);
    }
    if (in.status() != QDataStream::Ok || !in.atEnd())
        return {};
    return outlines;
}

} // namespace OutlineFile
