#include "symbols/SymbolPicture.h"

#include "symbols/SvgPath.h"

#include <QXmlStreamReader>

std::optional<SymbolOutline> readSymbolPicture(QIODevice& svg)
{
    QXmlStreamReader xml(&svg);
    QRectF viewBox;
    // The paths of one picture fill as one outline.
    QString data;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QXmlStreamAttributes attributes = xml.attributes();
        if (xml.name() == u"svg") {
            const QList<QStringView> box = attributes.value(QLatin1String("viewBox")).split(u' ', Qt::SkipEmptyParts);
            if (box.size() != 4)
                return std::nullopt;
            viewBox = QRectF(box[0].toDouble(), box[1].toDouble(), box[2].toDouble(), box[3].toDouble());
        } else if (xml.name() == u"path" && !attributes.hasAttribute(QLatin1String("fill"))
            && !attributes.hasAttribute(QLatin1String("stroke"))
            && !attributes.hasAttribute(QLatin1String("transform"))) {
            data += attributes.value(QLatin1String("d")) + u' ';
        } else {
            return std::nullopt;
        }
    }
    if (xml.hasError() || viewBox.isEmpty())
        return std::nullopt;
    const std::optional<QPainterPath> outline = SvgPath::parse(data);
    if (!outline || outline->isEmpty())
        return std::nullopt;
    return SymbolOutline {viewBox, *outline};
}
