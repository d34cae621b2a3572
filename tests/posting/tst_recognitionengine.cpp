#include "ocrworker/ImageDecoding.h"
#include "ocrworker/TesseractReader.h"
#include "ocrworker/TextPresence.h"
#include "posting/DrawnPages.h"
#include "posting/ScreenshotTextRecognizer.h"

#include <QBuffer>
#include <QImage>
#include <QRandomGenerator>
#include <QTest>

#include <algorithm>

namespace {

QImage page(const QSize& size, int pixelSize, const QColor& ink = Qt::black, const QColor& paper = Qt::white)
{
    return DrawnPages::drawPage(
        size, {{QStringLiteral("Platform Engineer"), pixelSize, QPoint(20, size.height() / 2)}}, ink, paper);
}

// A photograph's grain: every pixel 108 to 148, the same every run.
QImage grain(const QSize& size)
{
    QImage image(size, QImage::Format_Grayscale8);
    QRandomGenerator generator(7);
    for (int y = 0; y < size.height(); ++y)
        std::generate_n(image.scanLine(y), size.width(), [&generator] { return uchar(108 + generator.bounded(41)); });
    return image;
}

} // namespace

class TestRecognitionEngine : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void textPresence_data()
    {
        QTest::addColumn<QImage>("image");
        QTest::addColumn<bool>("textLike");
        const QSize size(600, 160);
        QTest::newRow("a line of text") << page(size, 24) << true;
        QTest::newRow("light text on a dark page") << page(size, 24, Qt::white, QColor(30, 30, 30)) << true;
        // 50 levels from the page: faint, still text.
        QTest::newRow("light gray text") << page(size, 24, QColor(205, 205, 205)) << true;
        QTest::newRow("a blank page") << page(size, 24, Qt::white) << false;
        QTest::newRow("grain") << grain(size) << false; // nothing stands out of it
        // Scattered the same way every run: specks drawn at random now and then fall
        // into a cluster that does look like a stroke.
        QImage specks = page(size, 24, Qt::white);
        QRandomGenerator scatter(11);
        for (int i = 0; i < 3000; ++i)
            specks.setPixel(scatter.bounded(600), scatter.bounded(160), 0);
        QTest::newRow("specks on a white page") << specks << false;
    }

    void textPresence()
    {
        QFETCH(QImage, image);
        QTEST(TextPresence::hasTextLikeRegions(image.convertToFormat(QImage::Format_Grayscale8)), "textLike");
    }

    // What bounds the worker's memory: no image is read at more pixels than a 4K
    // screen, however large it is or however small its text.
    void imagesAreReadAtMostAtTheirCap_data()
    {
        QTest::addColumn<QImage>("image");
        QTest::addColumn<double>("scale"); // how much the engine's image was enlarged (below 1: reduced)
        // 9 px text is enlarged 1.25 times, which would be 9 million pixels here.
        QTest::newRow("small text on a large screen") << page(QSize(3200, 1800), 9) << 1.2;
        QTest::newRow("a 5K screen") << page(QSize(5120, 2880), 40) << 0.75;
    }

    void imagesAreReadAtMostAtTheirCap()
    {
        QFETCH(QImage, image);
        QByteArray png;
        QBuffer buffer(&png);
        QVERIFY(buffer.open(QIODevice::WriteOnly) && image.save(&buffer, "PNG"));
        const QImage decoded = ImageDecoding::decodeBytes(png);
        const auto read = TesseractReader::readPage(decoded, RecognitionSettings());
        QVERIFY(std::holds_alternative<TesseractReader::Page>(read));
        const TesseractReader::Page& result = std::get<TesseractReader::Page>(read);
        const QSize prepared = result.preparedSize;
        QVERIFY2(qint64(prepared.width()) * prepared.height() <= ScreenshotTextRecognizer::maximumDecodedPixels,
            qPrintable(QStringLiteral("%1 x %2").arg(prepared.width()).arg(prepared.height())));
        QTEST(qRound(double(prepared.width()) / image.width() * 100) / 100.0, "scale");
        QCOMPARE(TesseractReader::observations(result, RecognitionSettings()).size(), 1);
    }
};

QTEST_MAIN(TestRecognitionEngine)
#include "tst_recognitionengine.moc"
