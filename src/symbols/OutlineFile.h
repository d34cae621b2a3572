#pragma once

#include <QByteArray>
#include <QDataStream>
#include <QIODevice>
#include <QPainterPath>
#include <QRectF>

#include <optional>

// A symbol's outline in its own coordinates, and the square those span.
struct SymbolOutline {
    QRectF viewBox;
    QPainterPath outline;
};

// One bundled picture's outline as a file: written when the program is built (one
// file per picture, ":/symbols/regular/code.outline"), read by the program when it
// first draws that symbol.
namespace OutlineFile {

// After the picture's path ("regular/code"); the build's rule names the same files.
inline constexpr char suffix[] = ".outline";
inline constexpr quint32 magic = 0x41574f32; // "AWO2"
inline constexpr QDataStream::Version streamVersion = QDataStream::Qt_6_4;

inline QByteArray write(const SymbolOutline& outline)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(streamVersion);
    out << magic << outline.viewBox << outline.outline;
    return bytes;
}

// None when the bytes are not such a file.
inline std::optional<SymbolOutline> read(const QByteArray& bytes)
{
    QDataStream in(bytes);
    in.setVersion(streamVersion);
    quint32 mark = 0;
    in >> mark;
    if (mark != magic)
        return std::nullopt;
    SymbolOutline outline;
    in >> outline.viewBox >> outline.outline;
    if (in.status() != QDataStream::Ok || !in.atEnd())
        return std::nullopt;
    return outline;
}

} // namespace OutlineFile
