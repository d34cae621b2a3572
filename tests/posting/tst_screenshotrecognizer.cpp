#include "TestSupport.h"
#include "Unprivileged.h"

#include "posting/DrawnPages.h"
#include "posting/ScreenshotTextRecognizer.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QtConcurrent/QtConcurrentRun>

#include <cmath>
#include <thread>

#include <fcntl.h>
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

using DrawnPages::drawPage;

// Random colours in every pixel, the same every run.
QImage noise(const QSize& size)
{
    QImage image(size, QImage::Format_RGB32);
    QRandomGenerator generator(42);
    for (int y = 0; y < image.height(); ++y)
        generator.fillRange(reinterpret_cast<quint32*>(image.scanLine(y)), image.width());
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

QList<qint64> workersSince(const QList<qint64>& others)
{
    QList<qint64> running = workers();
    running.removeIf([&others](qint64 pid) { return others.contains(pid); });
    return running;
}

QByteArray procFile(qint64 pid, const char* name)
{
    return TestSupport::readFile(QStringLiteral("/proc/%1/%2").arg(pid).arg(QLatin1String(name)));
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
        QStringList found;
        const auto number
            = [](std::optional<double> value) { return value ? QString::number(*value) : QStringLiteral("-"); };
        for (const PostingLine& line : ScreenshotTextRecognizer::buildLines(observations))
            found << QStringLiteral("%1/%2/%3/%4")
                         .arg(line.text)
                         .arg(line.order)
                         .arg(number(line.relativeHeight), number(line.confidence));
        QTEST(found.join(QStringLiteral(" | ")), "expected");
    }

    void drawnPage()
    {
        // A 48 px title, two 24 px words on one row far apart, a 24 px caption a little
        // lower on the left, on a 1000 x 600 page; in a corner a patch of noise, which
        // does not make the page one without text.
        QImage page = drawPage(QSize(1000, 600),
            {{"Senior Software Engineer", 48, QPoint(40, 100)}, {"Hybrid", 24, QPoint(600, 200)},
                {"Istanbul", 24, QPoint(40, 200)}, {"Posted yesterday", 24, QPoint(40, 240)}});
        QPainter(&page).drawImage(QPoint(860, 460), noise(QSize(120, 120)));
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
        for (int i = 0; i < 3; ++i) {
            futures.append(QtConcurrent::run([page] {
                const RecognitionResult read = ScreenshotTextRecognizer().recognize(page);
                ScreenshotTextRecognizer::stopWorker(); // no worker left behind on a pool thread
                return read;
            }));
        }
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
        row("truncated.png", RecognizerError::Kind::unreadableImage);
        // Grain and blobs read as a stray word or two of low confidence, which is no text.
        row("noise-photo.png", RecognizerError::Kind::noTextFound);
        // 64 million pixels: larger than any screen, refused before it is decoded.
        row("huge-8000x8000.png", RecognizerError::Kind::engineFailure, "too large");
    }

    void notPostingFiles()
    {
        QFETCH(QString, path);
        QFETCH(RecognizerError::Kind, expectedError);
        QFETCH(QString, expectedText);
        checkFailure(ScreenshotTextRecognizer().recognize(path), expectedError, expectedText);
        if (QTest::currentTestFailed())
            return;
        // The same bytes pasted from the clipboard fare the same.
        checkFailure(ScreenshotTextRecognizer().recognize(TestSupport::readFile(path)), expectedError, expectedText);
    }

    // A file that cannot even be opened says why, in words the person can act on.
    void filesThatCannotBeOpenedSayWhy_data()
    {
        QTest::addColumn<QByteArray>("name"); // made in a new folder; an absolute name is used as it is
        QTest::addColumn<QString>("expected");
        const QString notOrdinary
            = "This is not an ordinary file (a device or a pipe, for example), so it was not read.";
        QTest::newRow("no such file") << QByteArray("gone.png")
                                      << "This file was not found; it may have been moved or deleted.";
        // Latin-1 bytes: the name reaches the program with a replacement character.
        QTest::newRow("name not valid text")
            << QByteArray("caf\xe9.png") << "The name of this file could not be read, so the file could not be opened.";
        QTest::newRow("folder") << QByteArray("folder.png") << "This is a folder, not an image file.";
        // A named pipe blocks whoever opens it until something writes into it.
        QTest::newRow("named pipe") << QByteArray("pipe.png") << notOrdinary;
        QTest::newRow("endless device") << QByteArray("/dev/zero") << notOrdinary;
        QTest::newRow("no permission") << QByteArray("locked.png") << "You do not have permission to read this file.";
    }

    void filesThatCannotBeOpenedSayWhy()
    {
        if (QByteArray(QTest::currentDataTag()) == "no permission" && !TestSupport::runsUnprivileged())
            return;
        QFETCH(QByteArray, name);
        QTemporaryDir folder;
        const QByteArray path = name.startsWith('/') ? name : QFile::encodeName(folder.path()) + '/' + name;
        if (name == "folder.png")
            QVERIFY(::mkdir(path.constData(), 0700) == 0);
        else if (name == "pipe.png")
            QVERIFY(::mkfifo(path.constData(), 0600) == 0);
        else if (name != "gone.png" && !name.startsWith('/'))
            QVERIFY(::close(::open(path.constData(), O_WRONLY | O_CREAT, name == "locked.png" ? 0 : 0600)) == 0);
        RecognitionSettings settings;
        settings.deadlineMs = 10000; // should a pipe block after all, this ends it, with another text
        const RecognitionResult result = ScreenshotTextRecognizer(settings).recognize(QFile::decodeName(path));
        if (!name.startsWith('/'))
            ::unlink(path.constData()); // a name the folder's own clean-up cannot spell
        QVERIFY(!result && result.error().kind() == RecognizerError::Kind::unreadableImage);
        QTEST(describe(result), "expected");
    }

    // An image with nothing that could be text is refused before the engine reads it
    // (the check itself: tst_recognitionengine). The engine makes "wie" of this one, a
    // line the parser takes for a position.
    void noiseIsNoText()
    {
        QCOMPARE(describe(ScreenshotTextRecognizer().recognize(noise(QSize(1024, 1024)))),
            "No text was found in this screenshot.");
    }

    // Decoding and recognition run in a worker process, started ahead of time or by the
    // first thread that needs one, and kept by that thread between images. It loads its
    // language data unasked; Tesseract never loads into this process; the worker carries
    // the OpenMP thread limit in its environment and a cap of 256 MB on its memory.
    void readInAWorkerProcess()
    {
        ScreenshotTextRecognizer::stopWorker(); // earlier tests' workers of other threads may still run
        const QList<qint64> others = workers();
        ScreenshotTextRecognizer::prepareWorker();
        ScreenshotTextRecognizer::prepareWorker(); // one runs already
        const QList<qint64> ahead = workersSince(others);
        QCOMPARE(ahead.size(), 1);
        // Its memory grows past 16 MB as the language data loads (it starts near 3 MB).
        const auto dataKb = [&ahead] {
            const QByteArray status = procFile(ahead.first(), "status");
            return status.mid(status.indexOf("VmData:") + 7, 20).simplified().split(' ').first().toLongLong();
        };
        QTRY_VERIFY_WITH_TIMEOUT(dataKb() > 16 * 1024, 20000);
        QVERIFY(!procFile(::getpid(), "maps").contains("libtesseract"));
        QVERIFY(procFile(ahead.first(), "maps").contains("libtesseract"));
        QVERIFY(procFile(ahead.first(), "environ").split('\0').contains("OMP_THREAD_LIMIT=1"));
#if !defined(__SANITIZE_ADDRESS__) // an instrumented worker runs without the cap
        const QByteArray limits = procFile(ahead.first(), "limits");
        const QByteArray cap = limits.mid(limits.indexOf("Max data size"), 80).simplified();
        QVERIFY2(cap.startsWith("Max data size 268435456 268435456"), cap.constData());
#endif
        // The first thread that needs a worker takes this one over and keeps it.
        QStringList read;
        QList<qint64> during;
        std::thread reader([&] {
            for (int i = 0; i < 2; ++i) {
                read.append(describe(ScreenshotTextRecognizer().recognize(oneLinePage())));
                during.append(workersSince(others));
            }
        });
        reader.join();
        QCOMPARE(read, QStringList(2, "Platform Engineer"));
        QCOMPARE(during, ahead + ahead);
        QCOMPARE(workers(), others); // it ended with the thread that used it
    }

    void workerFailuresBecomeFailures_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<qint64>("memoryLimit");
        QTest::addColumn<int>("deadlineMs"); // 0: the default, and the one-line page; else a screen of small text
        QTest::addColumn<QString>("expected");
        const RecognitionSettings normal;
        QTest::newRow("no worker program")
            << "/nonexistent/applywright-ocr" << normal.memoryLimitBytes << 0 << QString("could not be run");
        QTest::newRow("a worker that ends at once")
            << "/bin/true" << normal.memoryLimitBytes << 0 << QString("stopped unexpectedly");
#if !defined(__SANITIZE_ADDRESS__) // an instrumented worker runs without the cap
        // Far below what a screen of text needs.
        QTest::newRow("memory cap") << QString() << (qint64(40) << 20) << normal.deadlineMs
                                    << "This image needs more memory than text recognition may use.";
#endif
        // A screen filled with small text keeps the engine busy for a minute.
        QTest::newRow("deadline") << QString() << normal.memoryLimitBytes << 1500
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
            image = DrawnPages::denseScreen();
        }
        ScreenshotTextRecognizer::stopWorker();
        // Workers of other threads may end by themselves meanwhile (idle); none may be added.
        const QList<qint64> others = workers();
        checkFailure(
            ScreenshotTextRecognizer(settings).recognize(image), RecognizerError::Kind::engineFailure, expected);
        if (deadlineMs > 0 && deadlineMs < RecognitionSettings().deadlineMs)
            QCOMPARE(workersSince(others), QList<qint64>()); // killed at the deadline, not left to finish
        // Nothing is left running, and the default worker reads the next image.
        ScreenshotTextRecognizer::stopWorker();
        QCOMPARE(workersSince(others), QList<qint64>());
        QCOMPARE(describe(ScreenshotTextRecognizer().recognize(oneLinePage())), "Platform Engineer");
    }
};

QTEST_MAIN(TestScreenshotRecognizer)
#include "tst_screenshotrecognizer.moc"
