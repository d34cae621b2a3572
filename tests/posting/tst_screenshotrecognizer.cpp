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

namespace {

// A box 0.2 wide; no reading when `text` is null.
TextObservation observation(double minX, double midY, double height, const char* text, double confidence = 0.9)
{
    TextObservation result;
    result.boundingBox = NormalizedBox {minX, midY - height / 2, 0.2, height};
    if (text)
        result.topCandidate = RecognizedText {QString::fromUtf8(text), confidence};
    return result;
}

// The lines' texts or the error, for comparisons and failure messages.
QString describe(const RecognitionResult& result)
{
    if (!result)
        return result.error().description();
    QStringList texts;
    for (const PostingLine& line : result.value())
        texts << line.text;
    return texts.join(u'|');
}

QString notPosting(const char* name)
{
    return QStringLiteral(APPLYWRIGHT_TEST_DATA_DIR "/not-postings/") + QLatin1String(name);
}

// Black text on white in a font every test machine has, large enough that the
// engine reads it without doubt.
QImage drawPage(const QSize& size, const QList<std::tuple<QString, int, QPoint>>& items)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setPen(Qt::black);
    for (const auto& [text, pixelSize, baselineStart] : items) {
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(pixelSize);
        painter.setFont(font);
        painter.drawText(baselineStart, text);
    }
    painter.end();
    return image;
}

// One title line the engine reads every time.
QImage oneLinePage()
{
    return drawPage(QSize(700, 200), {{QStringLiteral("Platform Engineer"), 36, QPoint(30, 80)}});
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

void checkFailure(const RecognitionResult& result, RecognizerError::Kind error, const QString& text)
{
    QVERIFY2(
        !result && result.error().kind() == error && describe(result).contains(text), qPrintable(describe(result)));
}

} // namespace

class TestScreenshotRecognizer : public QObject {
    Q_OBJECT

private Q_SLOTS:

    void buildLines_data()
    {
        QTest::addColumn<QList<TextObservation>>("observations");
        QTest::addColumn<QString>("expected"); // text/order/relative height/confidence of each line

        using Seen = QList<TextObservation>;
        // y grows upwards; heights are relative to the largest box.
        QTest::newRow("top to bottom") << Seen {observation(0.1, 0.2, 0.02, "bottom"),
            observation(0.5, 0.9, 0.08, "top"), observation(0.3, 0.5, 0.04, "middle")}
                                       << "top/0/1/0.9 | middle/1/0.5/0.9 | bottom/2/0.25/0.9";
        // Midpoints 0.005 apart share a row: left before right, whatever is higher. The
        // caption 0.02 lower comes after both even though it starts further left.
        QTest::newRow("one row, then a caption") << Seen {observation(0.6, 0.800, 0.04, "right"),
            observation(0.0, 0.780, 0.02, "caption"), observation(0.1, 0.795, 0.04, "left")}
                                                 << "left/0/1/0.9 | right/1/1/0.9 | caption/2/0.5/0.9";
        QTest::newRow("exactly 0.01 apart is two rows") << Seen {observation(0.1, 0.50, 0.04, "lower left"),
            observation(0.6, 0.51, 0.04, "upper right")} << "upper right/0/1/0.9 | lower left/1/1/0.9";
        QTest::newRow("equal boxes keep their order") << Seen {observation(0.1, 0.5, 0.04, "first"),
            observation(0.1, 0.5, 0.04, "second")} << "first/0/1/0.9 | second/1/1/0.9";
        QTest::newRow("nothing") << Seen {} << "";
        // Blank or missing readings are skipped but keep their place in the order, and a
        // blank box still counts for the largest height.
        QTest::newRow("skipped readings leave gaps") << Seen {observation(0.1, 0.9, 0.10, " \t\n "),
            observation(0.1, 0.8, 0.05, nullptr), observation(0.1, 0.7, 0.05, "  Acme Corp \n", 0.25)}
                                                     << "Acme Corp/2/0.5/0.25";
        QTest::newRow("a box of no height")
            << Seen {observation(0.1, 0.9, 0.05, "Acme"), observation(0.1, 0.5, 0, "x")} << "Acme/0/1/0.9 | x/1/0/0.9";
        QTest::newRow("no box has a height") << Seen {observation(0.1, 0.9, 0, "A")} << "A/0/-/0.9";
    }

    void buildLines()
    {
        QFETCH(QList<TextObservation>, observations);
        QFETCH(QString, expected);
        QStringList found;
        const auto number
            = [](std::optional<double> value) { return value ? QString::number(*value) : QStringLiteral("-"); };
        for (const PostingLine& line : ScreenshotTextRecognizer::buildLines(observations))
            found << QStringLiteral("%1/%2/%3/%4")
                         .arg(line.text)
                         .arg(line.order)
                         .arg(number(line.relativeHeight), number(line.confidence));
        QCOMPARE(found.join(QStringLiteral(" | ")), expected);
    }

    void drawnPage()
    {
        // A 48 px title, two 24 px words on one row far apart, a 24 px caption a little
        // lower on the left, on a 1000 x 600 page.
        const QImage page = drawPage(QSize(1000, 600),
            {{"Senior Software Engineer", 48, QPoint(40, 100)}, {"Hybrid", 24, QPoint(600, 200)},
                {"Istanbul", 24, QPoint(40, 200)}, {"Posted yesterday", 24, QPoint(40, 240)}});
        const RecognitionResult result = ScreenshotTextRecognizer().recognize(page);
        QCOMPARE(describe(result), "Senior Software Engineer|Istanbul|Hybrid|Posted yesterday");
        const QList<PostingLine>& lines = result.value();

        QCOMPARE(lines.at(0).relativeHeight, std::optional(1.0));
        // Half the font size is half the capital height, give or take the one pixel by
        // which a 17 px and a 35 px capital round on the pixel grid (about 0.06).
        for (const PostingLine& line : lines.mid(1))
            QVERIFY2(line.relativeHeight && std::abs(*line.relativeHeight - 0.5) <= 0.07, qPrintable(line.text));
        for (const PostingLine& line : lines)
            QVERIFY2(line.confidence && *line.confidence > 0.5 && *line.confidence <= 1.0, qPrintable(line.text));

        // The page reads the same on other threads at once (each has its own engine).
        QList<QFuture<RecognitionResult>> futures;
        for (int i = 0; i < 3; ++i)
            futures.append(QtConcurrent::run([page] { return ScreenshotTextRecognizer().recognize(page); }));
        for (QFuture<RecognitionResult>& future : futures) {
            const RecognitionResult other = future.result();
            QVERIFY2(other && other.value() == lines, qPrintable(describe(other)));
        }
    }

    void separatorsRestored_data()
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

    void separatorsRestored()
    {
        QFETCH(int, pixelSize);
        QFETCH(QString, text);
        const QImage page
            = drawPage(QSize(900, 200), {{"Product Designer", 32, QPoint(30, 60)}, {text, pixelSize, QPoint(30, 120)}});
        QCOMPARE(describe(ScreenshotTextRecognizer().recognize(page)), "Product Designer|" + text);
    }

    void notPostingFiles_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<RecognizerError::Kind>("expectedError");
        QTest::addColumn<QString>("expectedText"); // a part of the error's description

        const auto row = [](const char* name, RecognizerError::Kind error, const char* text = "") {
            QTest::newRow(name) << notPosting(name) << error << QString::fromUtf8(text);
        };
        row("blank-white.png", RecognizerError::Kind::noTextFound);
        row("text-renamed.png", RecognizerError::Kind::unreadableImage);
        row("zero-bytes.png", RecognizerError::Kind::unreadableImage);
        row("no-such-file.png", RecognizerError::Kind::unreadableImage);
        row("truncated.png", RecognizerError::Kind::unreadableImage);
        // Grain and blobs read as a stray word or two of low confidence, which is no text.
        row("noise-photo.png", RecognizerError::Kind::noTextFound);
        // 64 million pixels: larger than any screen, refused before it is decoded.
        row("huge-8000x8000.png", RecognizerError::Kind::engineFailure, "too large");
        // A named pipe blocks whoever opens it until something writes into it.
        QTest::newRow("named pipe") << QStringLiteral("fifo") << RecognizerError::Kind::unreadableImage << QString();
    }

    void notPostingFiles()
    {
        QFETCH(QString, path);
        QFETCH(RecognizerError::Kind, expectedError);
        QFETCH(QString, expectedText);
        QTemporaryDir temp;
        RecognitionSettings settings;
        if (path == QLatin1String("fifo")) {
            path = temp.filePath(QStringLiteral("screenshot.png"));
            QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
            // Should it block after all, this ends it (with another error than expected).
            settings.deadlineMs = 10000;
        }
        checkFailure(ScreenshotTextRecognizer(settings).recognize(path), expectedError, expectedText);
        if (QTest::currentTestFailed() || path.endsWith(u"screenshot.png"))
            return;
        // The same bytes pasted from the clipboard fare the same.
        QFile file(path);
        const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        checkFailure(ScreenshotTextRecognizer().recognize(bytes), expectedError, expectedText);
    }

    // Decoding and recognition run in a worker process that this thread keeps between
    // images: Tesseract never loads into this process, and the worker carries the
    // OpenMP thread limit in its environment and a cap on its address space.
    void readInAWorkerProcess()
    {
        const QImage page = oneLinePage();
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
        const QByteArray cap = limits.mid(limits.indexOf("Max address space"), 80).simplified();
        QVERIFY2(cap.startsWith("Max address space 1572864000 1572864000"), cap.constData());
#endif

        ScreenshotTextRecognizer::stopWorker();
        QCOMPARE(workers(), others);
    }

    void workerFailuresBecomeFailures_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<qint64>("memoryLimit");
        QTest::addColumn<int>("deadlineMs"); // 0: the default, and the one-line page; else a page of noise
        QTest::addColumn<QString>("expected");
        const qint64 normal = RecognitionSettings().memoryLimitBytes;
        QTest::newRow("no worker program")
            << "/nonexistent/applywright-ocr" << normal << 0 << QString("could not be run");
        QTest::newRow("a worker that ends at once") << "/bin/true" << normal << 0 << QString("stopped unexpectedly");
#if !defined(__SANITIZE_ADDRESS__) // an instrumented worker runs without the cap
        // Far below what the engine needs: it fails inside the worker, whichever way.
        QTest::newRow("memory cap") << QString() << (qint64(64) << 20) << 0 << QString();
#endif
        // Noise of 4096 x 4096 would keep the engine busy for many minutes.
        QTest::newRow("deadline") << QString() << normal << 3000
                                  << "Reading this image took too long, so it was stopped.";
    }

    void workerFailuresBecomeFailures()
    {
        QFETCH(QString, program);
        QFETCH(qint64, memoryLimit);
        QFETCH(int, deadlineMs);
        QFETCH(QString, expected);
        QImage image = oneLinePage();
        RecognitionSettings settings;
        settings.workerProgram = program;
        settings.memoryLimitBytes = memoryLimit;
        if (deadlineMs > 0) {
            settings.deadlineMs = deadlineMs;
            image = QImage(4096, 4096, QImage::Format_RGB32);
            for (int y = 0; y < image.height(); ++y)
                QRandomGenerator::global()->fillRange(reinterpret_cast<quint32*>(image.scanLine(y)), image.width());
        }
        ScreenshotTextRecognizer::stopWorker();
        // Workers of other threads may end by themselves meanwhile (idle); none may be added.
        const QList<qint64> others = workers();
        const auto added = [&others] {
            QList<qint64> now = workers();
            now.removeIf([&others](qint64 pid) { return others.contains(pid); });
            return now;
        };
        checkFailure(
            ScreenshotTextRecognizer(settings).recognize(image), RecognizerError::Kind::engineFailure, expected);
        if (deadlineMs > 0)
            QCOMPARE(added(), QList<qint64>()); // killed at the deadline, not left to finish
        // Nothing is left running, and the default worker reads the next image.
        ScreenshotTextRecognizer::stopWorker();
        QCOMPARE(added(), QList<qint64>());
        QCOMPARE(describe(ScreenshotTextRecognizer().recognize(oneLinePage())), "Platform Engineer");
    }
};

QTEST_MAIN(TestScreenshotRecognizer)
#include "tst_screenshotrecognizer.moc"
