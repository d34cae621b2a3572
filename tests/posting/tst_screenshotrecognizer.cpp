#include "TestSupport.h"

#include "posting/ScreenshotTextRecognizer.h"

#include <QDir>
#include <QFile>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QtConcurrent/QtConcurrentRun>

#include <cmath>

#include <sys/stat.h>
#include <unistd.h>

Q_DECLARE_METATYPE(RecognizerError::Kind)
Q_DECLARE_METATYPE(std::optional<RecognizerError::Kind>)

namespace {

TextObservation observation(
    double minX, double midY, double height, std::optional<QString> text, double confidence = 0.9)
{
    TextObservation result;
    result.boundingBox = NormalizedBox {minX, midY - height / 2, 0.2, height};
    if (text)
        result.topCandidate = RecognizedText {*text, confidence};
    return result;
}

QStringList texts(const QList<PostingLine>& lines)
{
    QStringList result;
    for (const PostingLine& line : lines)
        result.append(line.text);
    return result;
}

QList<int> orders(const QList<PostingLine>& lines)
{
    QList<int> result;
    for (const PostingLine& line : lines)
        result.append(line.order);
    return result;
}

// The lines or the error, for failure messages (both sides are evaluated on every check).
QString describe(const RecognitionResult& result)
{
    return result ? texts(result.value()).join(QLatin1Char('|')) : result.error().description();
}

QString notPosting(const char* name)
{
    return QStringLiteral(APPLYWRIGHT_TEST_DATA_DIR "/not-postings/") + QLatin1String(name);
}

struct DrawnText {
    QString text;
    int pixelSize;
    QPoint baselineStart;
};

// Black text on white in a font every test machine has, large enough that the
// engine reads it without doubt.
QImage drawPage(const QSize& size, const QList<DrawnText>& items)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setPen(Qt::black);
    for (const DrawnText& item : items) {
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(item.pixelSize);
        painter.setFont(font);
        painter.drawText(item.baselineStart, item.text);
    }
    painter.end();
    return image;
}

// The recognition workers this process has started and not yet ended.
QList<qint64> workers()
{
    return TestSupport::childProcesses("applywright-ocr");
}

QByteArray procFile(qint64 pid, const char* name)
{
    QFile file(QStringLiteral("/proc/%1/%2").arg(pid).arg(QLatin1String(name)));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const PostingLine* findLine(const QList<PostingLine>& lines, const QString& text)
{
    for (const PostingLine& line : lines) {
        if (line.text == text)
            return &line;
    }
    return nullptr;
}

} // namespace

class TestScreenshotRecognizer : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void errorDescriptions_data();
    void errorDescriptions();
    void readingOrder_data();
    void readingOrder();
    void relativeHeights_data();
    void relativeHeights();
    void skippedObservationsLeaveGaps_data();
    void skippedObservationsLeaveGaps();
    void confidenceIsCarried();
    void drawnPage();
    void concurrentRecognitions();
    void cancelledRecognitionStops();
    void separatorsRestored_data();
    void separatorsRestored();
    void notPostingFiles_data();
    void notPostingFiles();
    void notPostingsFromBytes_data();
    void notPostingsFromBytes();
    void readInAWorkerProcess();
    void hostileImageIsStoppedAtItsDeadline();
    void workerFailuresBecomeFailures_data();
    void workerFailuresBecomeFailures();

private:
    void notPostings_data();
};

// A closing window sets the flag: the engine stops instead of finishing the page.
void TestScreenshotRecognizer::cancelledRecognitionStops()
{
    const QImage page = drawPage(QSize(900, 300),
        {{QStringLiteral("Senior Backend Engineer"), 36, QPoint(30, 80)},
            {QStringLiteral("Globex Systems Ankara"), 22, QPoint(30, 160)}});
    RecognitionSettings settings;
    auto flag = std::make_shared<std::atomic<bool>>(false);
    settings.cancelled = flag;
    const RecognitionResult read = ScreenshotTextRecognizer(settings).recognize(page);
    QVERIFY2(
        read && texts(read.value()).contains(QStringLiteral("Senior Backend Engineer")), qPrintable(describe(read)));
    flag->store(true);
    const RecognitionResult stopped = ScreenshotTextRecognizer(settings).recognize(page);
    QVERIFY2(!stopped, qPrintable(describe(stopped)));
    QCOMPARE(stopped.error().kind(), RecognizerError::Kind::engineFailure);
}

void TestScreenshotRecognizer::errorDescriptions_data()
{
    QTest::addColumn<RecognizerError::Kind>("kind");
    QTest::addColumn<QString>("description");
    QTest::newRow("unreadable image") << RecognizerError::Kind::unreadableImage
                                      << QStringLiteral("This file could not be read as an image.");
    QTest::newRow("no text found") << RecognizerError::Kind::noTextFound
                                   << QStringLiteral("No text was found in this screenshot.");
    QTest::newRow("engine failure") << RecognizerError::Kind::engineFailure << QStringLiteral("engine says no");
}

void TestScreenshotRecognizer::errorDescriptions()
{
    QFETCH(RecognizerError::Kind, kind);
    QFETCH(QString, description);
    const RecognizerError error = kind == RecognizerError::Kind::unreadableImage ? RecognizerError::unreadableImage()
        : kind == RecognizerError::Kind::noTextFound                             ? RecognizerError::noTextFound()
                                                     : RecognizerError::engineFailure(QStringLiteral("engine says no"));
    QCOMPARE(error.kind(), kind);
    QCOMPARE(error.description(), description);
}

void TestScreenshotRecognizer::readingOrder_data()
{
    QTest::addColumn<QList<TextObservation>>("observations");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("top to bottom") << QList<TextObservation> {observation(0.1, 0.2, 0.05, QStringLiteral("bottom")),
        observation(0.5, 0.9, 0.05, QStringLiteral("top")), observation(0.3, 0.5, 0.05, QStringLiteral("middle"))}
                                   << QStringList {
                                          QStringLiteral("top"), QStringLiteral("middle"), QStringLiteral("bottom")};
    // Midpoints 0.005 apart share a row: left before right, whatever is higher. The
    // caption 0.02 lower comes after both even though it starts further left.
    QTest::newRow("one row, then a caption")
        << QList<TextObservation> {observation(0.6, 0.800, 0.04, QStringLiteral("right")),
               observation(0.0, 0.780, 0.02, QStringLiteral("caption")),
               observation(0.1, 0.795, 0.04, QStringLiteral("left"))}
        << QStringList {QStringLiteral("left"), QStringLiteral("right"), QStringLiteral("caption")};
    QTest::newRow("exactly 0.01 apart is two rows")
        << QList<TextObservation> {observation(0.1, 0.50, 0.04, QStringLiteral("lower left")),
               observation(0.6, 0.51, 0.04, QStringLiteral("upper right"))}
        << QStringList {QStringLiteral("upper right"), QStringLiteral("lower left")};
    QTest::newRow("equal boxes keep their order")
        << QList<TextObservation> {observation(0.1, 0.5, 0.04, QStringLiteral("first")),
               observation(0.1, 0.5, 0.04, QStringLiteral("second"))}
        << QStringList {QStringLiteral("first"), QStringLiteral("second")};
    QTest::newRow("nothing") << QList<TextObservation> {} << QStringList {};
}

void TestScreenshotRecognizer::readingOrder()
{
    QFETCH(QList<TextObservation>, observations);
    QFETCH(QStringList, expected);
    const QList<PostingLine> lines = ScreenshotTextRecognizer::buildLines(observations);
    QCOMPARE(texts(lines), expected);
    for (qsizetype i = 0; i < lines.size(); ++i)
        QCOMPARE(lines.at(i).order, int(i));
}

void TestScreenshotRecognizer::relativeHeights_data()
{
    QTest::addColumn<QList<TextObservation>>("observations");
    QTest::addColumn<QList<double>>("expected");

    QTest::newRow("largest is 1, half is 0.5")
        << QList<TextObservation> {observation(0.1, 0.9, 0.08, QStringLiteral("Title")),
               observation(0.1, 0.7, 0.04, QStringLiteral("Body")),
               observation(0.1, 0.5, 0.02, QStringLiteral("Fine print"))}
        << QList<double> {1.0, 0.5, 0.25};
    // A blank observation still counts for the largest height.
    QTest::newRow("skipped observation sets the scale")
        << QList<TextObservation> {observation(0.1, 0.9, 0.10, QStringLiteral("   ")),
               observation(0.1, 0.7, 0.05, QStringLiteral("Body"))}
        << QList<double> {0.5};
}

void TestScreenshotRecognizer::relativeHeights()
{
    QFETCH(QList<TextObservation>, observations);
    QFETCH(QList<double>, expected);
    const QList<PostingLine> lines = ScreenshotTextRecognizer::buildLines(observations);
    QCOMPARE(lines.size(), expected.size());
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QVERIFY(lines.at(i).relativeHeight.has_value());
        QVERIFY2(std::abs(*lines.at(i).relativeHeight - expected.at(i)) < 1e-12, qPrintable(lines.at(i).text));
    }
}

void TestScreenshotRecognizer::skippedObservationsLeaveGaps_data()
{
    QTest::addColumn<QList<TextObservation>>("observations");
    QTest::addColumn<QStringList>("expectedTexts");
    QTest::addColumn<QList<int>>("expectedOrders");

    QTest::newRow("blank candidate") << QList<TextObservation> {observation(0.1, 0.9, 0.05,
                                                                    QStringLiteral("Senior iOS Developer")),
        observation(0.1, 0.8, 0.05, QStringLiteral(" \t\n ")), observation(0.1, 0.7, 0.05, QStringLiteral("Acme Corp"))}
                                     << QStringList {QStringLiteral("Senior iOS Developer"),
                                            QStringLiteral("Acme Corp")}
                                     << QList<int> {0, 2};
    QTest::newRow("no candidate") << QList<TextObservation> {observation(0.1, 0.9, 0.05, std::nullopt),
        observation(0.1, 0.8, 0.05, QStringLiteral("Hybrid"))}
                                  << QStringList {QStringLiteral("Hybrid")} << QList<int> {1};
    QTest::newRow("trimmed") << QList<TextObservation> {observation(0.1, 0.9, 0.05, QStringLiteral("  Acme Corp \n"))}
                             << QStringList {QStringLiteral("Acme Corp")} << QList<int> {0};
}

void TestScreenshotRecognizer::skippedObservationsLeaveGaps()
{
    QFETCH(QList<TextObservation>, observations);
    QFETCH(QStringList, expectedTexts);
    QFETCH(QList<int>, expectedOrders);
    const QList<PostingLine> lines = ScreenshotTextRecognizer::buildLines(observations);
    QCOMPARE(texts(lines), expectedTexts);
    QCOMPARE(orders(lines), expectedOrders);
}

void TestScreenshotRecognizer::confidenceIsCarried()
{
    const QList<PostingLine> lines = ScreenshotTextRecognizer::buildLines(
        {observation(0.1, 0.9, 0.05, QStringLiteral("Acme"), 0.25), observation(0.1, 0.5, 0.0, QStringLiteral("x"))});
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines.at(0).confidence, std::optional<double>(0.25));
    // A box of no height beside a box of some height: 0 relative to the largest.
    QCOMPARE(lines.at(1).relativeHeight, std::optional<double>(0.0));

    // Every box without height: no largest height above 0, so no relative heights.
    const QList<PostingLine> flat
        = ScreenshotTextRecognizer::buildLines({observation(0.1, 0.9, 0.0, QStringLiteral("A"))});
    QCOMPARE(flat.size(), 1);
    QVERIFY(!flat.at(0).relativeHeight.has_value());
}

void TestScreenshotRecognizer::drawnPage()
{
    // A 48 px title, two 24 px words on one row far apart, a 24 px caption a little
    // lower on the left, on a 1000 x 600 page.
    const QImage page = drawPage(QSize(1000, 600),
        {
            {QStringLiteral("Senior Software Engineer"), 48, QPoint(40, 100)},
            {QStringLiteral("Hybrid"), 24, QPoint(600, 200)},
            {QStringLiteral("Istanbul"), 24, QPoint(40, 200)},
            {QStringLiteral("Posted yesterday"), 24, QPoint(40, 240)},
        });
    const RecognitionResult result = ScreenshotTextRecognizer().recognize(page);
    QVERIFY2(result.hasValue(), qPrintable(describe(result)));
    const QList<PostingLine>& lines = result.value();
    QCOMPARE(texts(lines),
        (QStringList {QStringLiteral("Senior Software Engineer"), QStringLiteral("Istanbul"), QStringLiteral("Hybrid"),
            QStringLiteral("Posted yesterday")}));
    QCOMPARE(orders(lines), (QList<int> {0, 1, 2, 3}));

    const PostingLine* title = findLine(lines, QStringLiteral("Senior Software Engineer"));
    QVERIFY(title && title->relativeHeight);
    QCOMPARE(*title->relativeHeight, 1.0);
    // Half the font size is half the capital height, give or take the one pixel by
    // which a 17 px and a 35 px capital round on the pixel grid (about 0.06).
    for (const QString& text :
        {QStringLiteral("Istanbul"), QStringLiteral("Hybrid"), QStringLiteral("Posted yesterday")}) {
        const PostingLine* line = findLine(lines, text);
        QVERIFY(line && line->relativeHeight);
        QVERIFY2(std::abs(*line->relativeHeight - 0.5) <= 0.07,
            qPrintable(text + QStringLiteral(": ") + QString::number(*line->relativeHeight)));
    }
    for (const PostingLine& line : lines) {
        QVERIFY(line.confidence);
        QVERIFY(*line.confidence > 0.5 && *line.confidence <= 1.0);
    }

    // A dark-theme copy of the same page reads the same.
    QImage dark = page;
    dark.invertPixels();
    const RecognitionResult darkResult = ScreenshotTextRecognizer().recognize(dark);
    QVERIFY(darkResult.hasValue());
    QCOMPARE(texts(darkResult.value()), texts(lines));
}

void TestScreenshotRecognizer::concurrentRecognitions()
{
    // Each worker thread loads its own engine; results do not depend on the thread.
    const QImage page = drawPage(QSize(800, 300),
        {
            {QStringLiteral("Backend Engineer"), 40, QPoint(30, 80)},
            {QStringLiteral("Globex Ltd · Ankara"), 20, QPoint(30, 140)},
        });
    const RecognitionResult expected = ScreenshotTextRecognizer().recognize(page);
    QVERIFY2(expected.hasValue(), qPrintable(describe(expected)));
    QList<QFuture<RecognitionResult>> futures;
    for (int i = 0; i < 4; ++i)
        futures.append(QtConcurrent::run([page] { return ScreenshotTextRecognizer().recognize(page); }));
    for (QFuture<RecognitionResult>& future : futures) {
        const RecognitionResult result = future.result();
        QVERIFY2(result.hasValue(), qPrintable(describe(result)));
        QCOMPARE(result.value(), expected.value());
    }
}

void TestScreenshotRecognizer::separatorsRestored_data()
{
    QTest::addColumn<int>("pixelSize");
    QTest::addColumn<QString>("text");
    const QString metadata = QStringLiteral("Acme Corp · Istanbul, Türkiye · 3 days ago");
    const QString hyphen = QStringLiteral("Engineering Manager - Mobile");
    for (int size : {14, 16, 20}) {
        QTest::addRow("metadata %d px", size) << size << metadata;
        // A hyphen between words stays a hyphen.
        QTest::addRow("hyphen %d px", size) << size << hyphen;
    }
}

void TestScreenshotRecognizer::separatorsRestored()
{
    QFETCH(int, pixelSize);
    QFETCH(QString, text);
    const QImage page = drawPage(QSize(900, 200),
        {
            {QStringLiteral("Product Designer"), 32, QPoint(30, 60)},
            {text, pixelSize, QPoint(30, 120)},
        });
    const RecognitionResult result = ScreenshotTextRecognizer().recognize(page);
    QVERIFY2(result.hasValue(), qPrintable(describe(result)));
    QCOMPARE(texts(result.value()), (QStringList {QStringLiteral("Product Designer"), text}));
}

void TestScreenshotRecognizer::notPostingFiles_data()
{
    notPostings_data();
    // A named pipe blocks whoever opens it until something writes into it.
    QTest::newRow("named pipe") << QStringLiteral("fifo") << std::optional(RecognizerError::Kind::unreadableImage)
                                << QString();
}

void TestScreenshotRecognizer::notPostings_data()
{
    QTest::addColumn<QString>("path");
    // The error expected, or none when the file holds real text.
    QTest::addColumn<std::optional<RecognizerError::Kind>>("expectedError");
    QTest::addColumn<QString>("expectedText");

    QTest::newRow("blank white") << notPosting("blank-white.png") << std::optional(RecognizerError::Kind::noTextFound)
                                 << QString();
    QTest::newRow("text renamed") << notPosting("text-renamed.png")
                                  << std::optional(RecognizerError::Kind::unreadableImage) << QString();
    QTest::newRow("zero bytes") << notPosting("zero-bytes.png") << std::optional(RecognizerError::Kind::unreadableImage)
                                << QString();
    QTest::newRow("missing file") << notPosting("no-such-file.png")
                                  << std::optional(RecognizerError::Kind::unreadableImage) << QString();
    QTest::newRow("truncated") << notPosting("truncated.png") << std::optional(RecognizerError::Kind::unreadableImage)
                               << QString();
    // Grain and blobs read as a stray word or two of low confidence, which is no text.
    QTest::newRow("noise photo") << notPosting("noise-photo.png") << std::optional(RecognizerError::Kind::noTextFound)
                                 << QString();
    // 64 million pixels: larger than any screen, refused before it is decoded.
    QTest::newRow("huge") << notPosting("huge-8000x8000.png") << std::optional(RecognizerError::Kind::engineFailure)
                          << QStringLiteral("too large");
}

// An error of the expected kind whose text mentions `text`, or exactly one line reading `text`.
void checkNotPosting(
    const RecognitionResult& result, const std::optional<RecognizerError::Kind>& error, const QString& text)
{
    if (error) {
        QVERIFY2(!result.hasValue(), qPrintable(describe(result)));
        QCOMPARE(result.error().kind(), *error);
        QVERIFY2(result.error().description().contains(text), qPrintable(result.error().description()));
    } else {
        QVERIFY2(result.hasValue(), qPrintable(describe(result)));
        QCOMPARE(texts(result.value()), QStringList {text});
    }
}

void TestScreenshotRecognizer::notPostingFiles()
{
    QFETCH(QString, path);
    QFETCH(std::optional<RecognizerError::Kind>, expectedError);
    QFETCH(QString, expectedText);
    QTemporaryDir temp;
    RecognitionSettings settings;
    if (path == QLatin1String("fifo")) {
        path = temp.filePath(QStringLiteral("screenshot.png"));
        QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
        // Should it block after all, this ends it (with another error than expected).
        settings.deadlineMs = 10000;
    }
    checkNotPosting(ScreenshotTextRecognizer(settings).recognize(path), expectedError, expectedText);
}

void TestScreenshotRecognizer::notPostingsFromBytes_data()
{
    notPostings_data();
}

void TestScreenshotRecognizer::notPostingsFromBytes()
{
    QFETCH(QString, path);
    QFETCH(std::optional<RecognizerError::Kind>, expectedError);
    QFETCH(QString, expectedText);
    QFile file(path);
    const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    checkNotPosting(ScreenshotTextRecognizer().recognize(bytes), expectedError, expectedText);
}

// Decoding and recognition run in a worker process that this thread keeps between
// images: Tesseract never loads into this process, and the worker carries the
// OpenMP thread limit in its environment and a cap on its address space.
void TestScreenshotRecognizer::readInAWorkerProcess()
{
    const QImage page = drawPage(QSize(700, 200), {{QStringLiteral("Platform Engineer"), 36, QPoint(30, 80)}});
    RecognitionSettings settings;
    settings.memoryLimitBytes = qint64(1500) << 20;
    const ScreenshotTextRecognizer recognizer(settings);
    // Workers of other threads (earlier tests) may still run; this thread's is new.
    ScreenshotTextRecognizer::stopWorker();
    const QList<qint64> others = workers();
    QVERIFY(recognizer.recognize(page));
    QList<qint64> running = workers();
    running.removeIf([&others](qint64 pid) { return others.contains(pid); });
    QCOMPARE(running.size(), 1);
    QVERIFY(recognizer.recognize(page));
    QVERIFY(workers().contains(running.first())); // the same worker read the second image

    QVERIFY(!procFile(::getpid(), "maps").contains("libtesseract"));
    QVERIFY(procFile(running.first(), "maps").contains("libtesseract"));
    QVERIFY(procFile(running.first(), "environ").split('\0').contains("OMP_THREAD_LIMIT=1"));
#if !defined(__SANITIZE_ADDRESS__) // an instrumented worker runs without the cap
    const QByteArray limits = procFile(running.first(), "limits");
    const qsizetype at = limits.indexOf("Max address space");
    QVERIFY(at >= 0);
    QVERIFY2(limits.mid(at, 80).simplified().startsWith("Max address space 1572864000 1572864000"),
        limits.mid(at, 80).constData());
#endif

    ScreenshotTextRecognizer::stopWorker();
    QCOMPARE(workers(), others);
}

// An image the engine would work on for many minutes (noise, 4096 x 4096) is
// stopped at the deadline: the worker is killed, and the next image gets a new one.
void TestScreenshotRecognizer::hostileImageIsStoppedAtItsDeadline()
{
    QImage noise(4096, 4096, QImage::Format_RGB32);
    auto* random = QRandomGenerator::global();
    for (int y = 0; y < noise.height(); ++y)
        random->fillRange(reinterpret_cast<quint32*>(noise.scanLine(y)), noise.width());
    RecognitionSettings settings;
    settings.deadlineMs = 3000;
    ScreenshotTextRecognizer::stopWorker();
    const QList<qint64> others = workers();
    const RecognitionResult read = ScreenshotTextRecognizer(settings).recognize(noise);
    QVERIFY2(!read, qPrintable(describe(read)));
    QCOMPARE(read.error().kind(), RecognizerError::Kind::engineFailure);
    QCOMPARE(read.error().description(), QStringLiteral("Reading this image took too long, so it was stopped."));
    QCOMPARE(workers(), others);

    const QImage page = drawPage(QSize(700, 200), {{QStringLiteral("Platform Engineer"), 36, QPoint(30, 80)}});
    const RecognitionResult next = ScreenshotTextRecognizer(settings).recognize(page);
    QVERIFY2(
        next && texts(next.value()) == QStringList {QStringLiteral("Platform Engineer")}, qPrintable(describe(next)));
}

void TestScreenshotRecognizer::workerFailuresBecomeFailures_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<qint64>("memoryLimit");
    QTest::addColumn<QString>("expected");
    const qint64 normal = RecognitionSettings().memoryLimitBytes;
    QTest::newRow("no worker program") << QStringLiteral("/nonexistent/applywright-ocr") << normal
                                       << "could not be run";
    QTest::newRow("a worker that ends at once") << QStringLiteral("/bin/true") << normal << "stopped unexpectedly";
#if !defined(__SANITIZE_ADDRESS__) // an instrumented worker runs without the cap
    // Far below what the engine needs: it fails inside the worker, whichever way.
    QTest::newRow("memory cap") << QString() << (qint64(64) << 20) << QString();
#endif
}

void TestScreenshotRecognizer::workerFailuresBecomeFailures()
{
    QFETCH(QString, program);
    QFETCH(qint64, memoryLimit);
    QFETCH(QString, expected);
    const QImage page = drawPage(QSize(700, 200), {{QStringLiteral("Platform Engineer"), 36, QPoint(30, 80)}});
    RecognitionSettings settings;
    settings.workerProgram = program;
    settings.memoryLimitBytes = memoryLimit;
    ScreenshotTextRecognizer::stopWorker();
    const QList<qint64> others = workers();
    const RecognitionResult read = ScreenshotTextRecognizer(settings).recognize(page);
    QVERIFY2(!read, qPrintable(describe(read)));
    QCOMPARE(read.error().kind(), RecognizerError::Kind::engineFailure);
    QVERIFY2(read.error().description().contains(expected), qPrintable(read.error().description()));
    // Nothing is left running, and the default worker reads the next image.
    ScreenshotTextRecognizer::stopWorker();
    QCOMPARE(workers(), others);
    const RecognitionResult next = ScreenshotTextRecognizer().recognize(page);
    QVERIFY2(next, qPrintable(describe(next)));
}

QTEST_MAIN(TestScreenshotRecognizer)
#include "tst_screenshotrecognizer.moc"
