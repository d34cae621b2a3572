// The symbols are drawn from outlines the build reads from their SVG pictures with the
// application's own reader of path data; Qt's SVG renderer, linked into this test only,
// is the measure of what each outline should look like.
#include "symbols/SvgPath.h"
#include "ui/Symbols.h"

#include <QPainter>
#include <QSvgRenderer>
#include <QTest>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// How far two drawings are apart: the largest difference of one pixel's channel
// (premultiplied), and the number of pixels that differ by more than a faint edge.
struct Difference {
    int largest = 0;
    int visible = 0;
};

Difference compare(const QImage& a, const QImage& b)
{
    Difference result;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            const int d = std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                std::abs(qBlue(p) - qBlue(q)), std::abs(qAlpha(p) - qAlpha(q))});
            result.largest = std::max(result.largest, d);
            result.visible += d > 24 ? 1 : 0;
        }
    }
    return result;
}

QImage blank(int side)
{
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

QImage renderedByQt(const QByteArray& svg, int side)
{
    QSvgRenderer renderer(svg);
    QImage image = blank(side);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(0, 0, side, side));
    return image;
}

QImage filled(const QPainterPath& path, qreal box, int side)
{
    QImage image = blank(side);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(side / box, side / box);
    painter.fillPath(path, Qt::black);
    return image;
}

} // namespace

class SymbolsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void pathDataAsSvgDrawsIt_data()
    {
        QTest::addColumn<QString>("data");
        QTest::addColumn<bool>("wellFormed");
        // Each well-formed row fills a 100 × 100 box.
        QTest::newRow("lines, absolute") << u"M10,10 L90,10 L50,90 Z"_s << true;
        QTest::newRow("lines, relative and implicit") << u"m10 10 80 0 -40 80z"_s << true;
        QTest::newRow("horizontal and vertical") << u"M10,10H90V90H10ZM30,30v40h40v-40z"_s << true;
        QTest::newRow("compact numbers") << u"M10+10L90.5.5 50e0,9e1z"_s << true;
        QTest::newRow("cubic and its smooth form") << u"M10,50C10,10,50,10,50,50S90,90,90,50L90,95L10,95Z"_s << true;
        QTest::newRow("relative smooth after a relative cubic")
            << u"M10,50c0-40 40-40 40 0s40 40 40 0v45h-80z"_s << true;
        QTest::newRow("quadratic and its smooth form") << u"M10,50Q30,0,50,50T90,50L90,95L10,95Z"_s << true;
        QTest::newRow("circle of two arcs") << u"M50,10A40,40,0,1,0,50,90A40,40,0,1,0,50,10Z"_s << true;
        QTest::newRow("two rings, non-zero winding fills between")
            << u"M50,5a45,45,0,1,0,0,90a45,45,0,1,0,0-90Zm0,15a30,30,0,1,0,0,60a30,30,0,1,0,0-60Z"_s << true;
        QTest::newRow("ring, drawn the other way inside")
            << u"M50,5a45,45,0,1,0,0,90a45,45,0,1,0,0-90Zm0,15a30,30,0,1,1,0,60a30,30,0,1,1,0-60Z"_s << true;
        QTest::newRow("small and large, both sweeps") << u"M20,50A30,20,0,0,1,80,50A30,20,0,1,1,20,50Z"_s << true;
        QTest::newRow("rotated ellipse") << u"M20,60A45,30,30,1,0,80,40Z"_s << true;
        QTest::newRow("radii too small to reach") << u"M10,50A5,5,0,0,1,90,50Z"_s << true;
        QTest::newRow("flags run into the point") << u"M10,50a40,40 0 0180,0z"_s << true;
        QTest::newRow("a line after a close starts at the subpath") << u"M10,10H50V50ZL90,90H10Z"_s << true;
        // Refused as a whole.
        QTest::newRow("no move first") << u"L10,10"_s << false;
        QTest::newRow("a point cut short") << u"M10,10L20"_s << false;
        QTest::newRow("an unknown command") << u"M10,10X20,20"_s << false;
        QTest::newRow("a flag that is not 0 or 1") << u"M10,10A5,5,0,2,0,20,20"_s << false;
        QTest::newRow("a sign alone") << u"M10,10L-,20"_s << false;
    }

    void pathDataAsSvgDrawsIt()
    {
        QFETCH(QString, data);
        QFETCH(bool, wellFormed);
        const std::optional<QPainterPath> path = SvgPath::parse(data);
        QCOMPARE(path.has_value(), wellFormed);
        if (!wellFormed)
            return;
        const QByteArray svg
            = uR"(<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 100 100"><path d="%1"/></svg>)"_s.arg(data)
                  .toUtf8();
        const Difference difference = compare(filled(*path, 100, 200), renderedByQt(svg, 200));
        QVERIFY2(difference.largest <= 48 && difference.visible <= 4,
            qPrintable(u"largest %1, %2 pixels"_s.arg(difference.largest).arg(difference.visible)));
    }

    // Every point of an arc lies on its ellipse, radii too small to reach the end
    // grown as SVG grows them (the centre then halfway between the ends).
    void arcsLieOnTheirEllipse_data()
    {
        QTest::addColumn<QString>("data");
        QTest::addColumn<QPointF>("centre");
        QTest::addColumn<QSizeF>("radii");
        QTest::addColumn<double>("rotation");
        QTest::newRow("a quarter of a circle")
            << u"M50,10A40,40,0,0,1,90,50"_s << QPointF(50, 50) << QSizeF(40, 40) << 0.0;
        QTest::newRow("three quarters, the other way")
            << u"M50,10A40,40,0,1,0,90,50"_s << QPointF(50, 50) << QSizeF(40, 40) << 0.0;
        QTest::newRow("rotated, grown to reach")
            << u"M20,60A40,20,30,1,0,80,40"_s << QPointF(50, 50) << QSizeF(51.7631419390863, 25.88157096954315) << 30.0;
        QTest::newRow("rotated the other way, small arc, relative")
            << u"M10,50a50,30,-45,0,1,50-10"_s << QPointF(25.653620010543918, 76.2900547473095) << QSizeF(50, 30)
            << -45.0;
        QTest::newRow("rotated the other way, large arc")
            << u"M10,50A50,30,-45,1,1,60,40"_s << QPointF(44.34637998945608, 13.709945252690506) << QSizeF(50, 30)
            << -45.0;
    }

    void arcsLieOnTheirEllipse()
    {
        QFETCH(QString, data);
        QFETCH(QPointF, centre);
        QFETCH(QSizeF, radii);
        QFETCH(double, rotation);
        const std::optional<QPainterPath> path = SvgPath::parse(data);
        QVERIFY(path);
        const double angle = qDegreesToRadians(rotation);
        const auto onAxes = [&](QPointF p) {
            const QPointF d = p - centre;
            return QPointF(
                std::cos(angle) * d.x() + std::sin(angle) * d.y(), -std::sin(angle) * d.x() + std::cos(angle) * d.y());
        };
        for (int i = 0; i <= 100; ++i) {
            const QPointF p = onAxes(path->pointAtPercent(i / 100.0));
            const double off = std::abs(std::hypot(p.x() / radii.width(), p.y() / radii.height()) - 1);
            QVERIFY2(off < 1e-3, qPrintable(u"at %1 %: %2"_s.arg(i).arg(off)));
        }
    }

    void everySymbolLooksAsItsPicture()
    {
        for (const QString& name : Symbols::names()) {
            QFile file(QStringLiteral(SYMBOL_PICTURES "/") + Symbols::picture(name) + QStringLiteral(".svg"));
            QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(name));
            const QByteArray svg = file.readAll();
            for (const qreal ratio : {1.0, 2.0}) {
                const QImage ours = Symbols::pixmap(name, Qt::black, 24, ratio).toImage();
                QCOMPARE(ours.size(), QSize(int(24 * ratio), int(24 * ratio)));
                const Difference difference = compare(
                    ours.convertToFormat(QImage::Format_ARGB32_Premultiplied), renderedByQt(svg, ours.width()));
                QVERIFY2(difference.largest <= 48 && difference.visible <= 2,
                    qPrintable(u"%1 at %2×: largest %3, %4 pixels"_s.arg(name)
                                   .arg(ratio)
                                   .arg(difference.largest)
                                   .arg(difference.visible)));
            }
        }
    }

    // The window's icon comes from the bitmaps rendered when the program is built: at
    // a rendered size, and at one between (scaled down from the next larger), it looks
    // as the SVG drawn at that size.
    void applicationIconLooksAsItsPicture()
    {
        const QIcon icon = Symbols::applicationIcon();
        QVERIFY(!icon.isNull());
        QCOMPARE(icon.availableSizes().first(), QSize(16, 16));
        QCOMPARE(icon.availableSizes().last(), QSize(256, 256));
        QFile file(QStringLiteral(APPLICATION_ICON_SVG));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray svg = file.readAll();
        for (const int side : {16, 40, 64}) {
            for (const qreal ratio : {1.0, 2.0}) {
                const QImage ours = icon.pixmap(QSize(side, side), ratio).toImage();
                const int device = int(side * ratio);
                QCOMPARE(ours.size(), QSize(device, device));
                QCOMPARE(ours.devicePixelRatio(), ratio);
                const Difference difference = compare(ours, renderedByQt(svg, device));
                // A rendered size is that bitmap as it is; one between is a little softer.
                const bool rendered = side != 40;
                QVERIFY2(rendered ? difference.largest <= 2
                                  : difference.largest <= 48 && difference.visible <= device * device * 3 / 100,
                    qPrintable(u"%1 px at %2×: largest %3, %4 pixels"_s.arg(side)
                                   .arg(ratio)
                                   .arg(difference.largest)
                                   .arg(difference.visible)));
            }
        }
    }
};

QTEST_MAIN(SymbolsTest)
#include "tst_symbols.moc"
