#include <QFile>
#include <QFont>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

namespace {

struct ProbeRun {
    int exitCode = -1;
    QList<QJsonObject> objects;
    QByteArray standardError;
};

ProbeRun runProbe(const QStringList& arguments)
{
    ProbeRun run;
    QProcess process;
    process.start(QStringLiteral(APPLYWRIGHT_PROBE), arguments);
    // Long enough for any image; a probe that hangs fails the test instead of the run.
    if (!process.waitForFinished(60000))
        return run;
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.standardError = process.readAllStandardError();
    const QList<QByteArray> lines = process.readAllStandardOutput().split('\n');
    for (const QByteArray& line : lines) {
        if (line.trimmed().isEmpty())
            continue;
        run.objects.append(QJsonDocument::fromJson(line).object());
    }
    return run;
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A field is null or an object with a string value, a confidence word and evidence.
void checkField(const QJsonValue& field)
{
    if (field.isNull())
        return;
    QVERIFY(field.isObject());
    const QJsonObject object = field.toObject();
    QVERIFY(object.value(QStringLiteral("value")).isString());
    QVERIFY((QStringList {QStringLiteral("low"), QStringLiteral("medium"), QStringLiteral("high")})
                .contains(object.value(QStringLiteral("confidence")).toString()));
    QVERIFY(object.value(QStringLiteral("evidence")).isString());
}

void checkPostingShape(const QJsonObject& object)
{
    QVERIFY(object.value(QStringLiteral("source")).isString());
    QVERIFY(object.value(QStringLiteral("lines")).isArray());
    for (const QJsonValue& line : object.value(QStringLiteral("lines")).toArray()) {
        const QJsonObject fields = line.toObject();
        QVERIFY(fields.value(QStringLiteral("text")).isString());
        QVERIFY(fields.value(QStringLiteral("order")).isDouble());
        QVERIFY(fields.contains(QStringLiteral("relativeHeight")));
        QVERIFY(fields.contains(QStringLiteral("confidence")));
    }
    const QJsonObject posting = object.value(QStringLiteral("posting")).toObject();
    for (const char* name : {"company", "position", "workModel", "location", "postingLink"}) {
        QVERIFY2(posting.contains(QLatin1String(name)), name);
        checkField(posting.value(QLatin1String(name)));
    }
    QVERIFY((QStringList {QStringLiteral("linkedIn"), QStringLiteral("workday"), QStringLiteral("kariyerNet"),
                 QStringLiteral("indeed"), QStringLiteral("glassdoor"), QStringLiteral("unknown")})
                .contains(posting.value(QStringLiteral("board")).toString()));
    QVERIFY(posting.value(QStringLiteral("rawText")).isString());
    // Beside the posting: only the fields that have a suggestion, each with its evidence.
    QVERIFY(object.value(QStringLiteral("suggestions")).isObject());
    const QJsonObject suggestions = object.value(QStringLiteral("suggestions")).toObject();
    for (auto it = suggestions.begin(); it != suggestions.end(); ++it) {
        QVERIFY2((QStringList {QStringLiteral("company"), QStringLiteral("position"), QStringLiteral("workModel"),
                      QStringLiteral("location"), QStringLiteral("board")})
                     .contains(it.key()),
            qPrintable(it.key()));
        QVERIFY(it.value().toObject().value(QStringLiteral("value")).isString());
        QVERIFY(it.value().toObject().value(QStringLiteral("evidence")).isString());
    }
}

QString fieldValue(const QJsonObject& object, const char* name)
{
    return object.value(QStringLiteral("posting"))
        .toObject()
        .value(QLatin1String(name))
        .toObject()
        .value(QStringLiteral("value"))
        .toString();
}

} // namespace

class TestProbeTool : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void wrongArguments_data();
    void wrongArguments();
    void postingFiles();
    void namedPipesAreRefused_data();
    void namedPipesAreRefused();

private:
    QTemporaryDir m_directory;
};

void TestProbeTool::initTestCase()
{
    QVERIFY(m_directory.isValid());
}

void TestProbeTool::wrongArguments_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("nothing") << QStringList {};
    QTest::newRow("unknown subcommand") << QStringList {QStringLiteral("frobnicate"), QStringLiteral("x")};
    QTest::newRow("posting without files") << QStringList {QStringLiteral("posting")};
}

void TestProbeTool::wrongArguments()
{
    QFETCH(QStringList, arguments);
    const ProbeRun run = runProbe(arguments);
    QCOMPARE(run.exitCode, 2);
    QVERIFY(run.objects.isEmpty());
    QVERIFY(run.standardError.contains("usage: applywright-probe"));
}

void TestProbeTool::postingFiles()
{
    const QString text = m_directory.filePath(QStringLiteral("pasted.txt"));
    QVERIFY(writeFile(
        text, QStringLiteral("Senior iOS Developer\nAcme Corp · Istanbul, Türkiye · 2 days ago\nHybrid\n").toUtf8()));

    const QString lines = m_directory.filePath(QStringLiteral("recognised.lines.json"));
    QVERIFY(writeFile(lines, R"([{"text":"Backend Engineer","order":0,"relativeHeight":1.0,"confidence":0.9},
                                 {"text":"Globex Ltd","order":2,"relativeHeight":0.5,"confidence":null}])"));

    const QString image = m_directory.filePath(QStringLiteral("screenshot.png"));
    QImage page(900, 300, QImage::Format_RGB32);
    page.fill(Qt::white);
    {
        QPainter painter(&page);
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(40);
        painter.setFont(font);
        painter.drawText(QPoint(30, 80), QStringLiteral("Data Engineer"));
        font.setPixelSize(20);
        painter.setFont(font);
        painter.drawText(QPoint(30, 140), QStringLiteral("Remote"));
    }
    QVERIFY(page.save(image));

    const QString notImage = m_directory.filePath(QStringLiteral("notes.png"));
    QVERIFY(writeFile(notImage, "just some text\n"));

    const QString workday = m_directory.filePath(QStringLiteral("workday.txt"));
    QVERIFY(writeFile(workday,
        QStringLiteral("Backend Engineer\nApply\nlocations\nBerlin, Germany\njob requisition id\nR-10422\n"
                       "At Fernhill, we build the tools that small shops use to sell online, in eleven countries "
                       "and four languages.\n")
            .toUtf8()));

    const ProbeRun run = runProbe({QStringLiteral("posting"), text, lines, image, notImage, workday});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.objects.size(), 5);

    const QJsonObject pasted = run.objects.at(0);
    checkPostingShape(pasted);
    QCOMPARE(pasted.value(QStringLiteral("source")).toString(), QStringLiteral("pasted.txt"));
    QCOMPARE(pasted.value(QStringLiteral("lines")).toArray().size(), 3);
    QVERIFY(pasted.value(QStringLiteral("lines"))
                .toArray()
                .at(0)
                .toObject()
                .value(QStringLiteral("relativeHeight"))
                .isNull());
    QCOMPARE(fieldValue(pasted, "position"), QStringLiteral("Senior iOS Developer"));
    QCOMPARE(fieldValue(pasted, "company"), QStringLiteral("Acme Corp"));
    QCOMPARE(fieldValue(pasted, "workModel"), QStringLiteral("hybrid"));

    const QJsonObject recognised = run.objects.at(1);
    checkPostingShape(recognised);
    const QJsonArray recognisedLines = recognised.value(QStringLiteral("lines")).toArray();
    QCOMPARE(recognisedLines.size(), 2);
    QCOMPARE(recognisedLines.at(1).toObject().value(QStringLiteral("order")).toInt(), 2);
    QCOMPARE(recognisedLines.at(1).toObject().value(QStringLiteral("relativeHeight")).toDouble(), 0.5);
    QVERIFY(recognisedLines.at(1).toObject().value(QStringLiteral("confidence")).isNull());
    QCOMPARE(fieldValue(recognised, "position"), QStringLiteral("Backend Engineer"));

    const QJsonObject screenshot = run.objects.at(2);
    checkPostingShape(screenshot);
    const QJsonArray screenshotLines = screenshot.value(QStringLiteral("lines")).toArray();
    QCOMPARE(screenshotLines.size(), 2);
    QCOMPARE(
        screenshotLines.at(0).toObject().value(QStringLiteral("text")).toString(), QStringLiteral("Data Engineer"));
    QCOMPARE(screenshotLines.at(0).toObject().value(QStringLiteral("relativeHeight")).toDouble(), 1.0);
    QVERIFY(screenshotLines.at(1).toObject().value(QStringLiteral("confidence")).isDouble());
    QCOMPARE(fieldValue(screenshot, "workModel"), QStringLiteral("remote"));

    const QJsonObject failed = run.objects.at(3);
    QCOMPARE(failed.value(QStringLiteral("source")).toString(), QStringLiteral("notes.png"));
    QCOMPARE(
        failed.value(QStringLiteral("error")).toString(), QStringLiteral("This file could not be read as an image."));
    QVERIFY(!failed.contains(QStringLiteral("posting")));

    // The parser's fields stay as they are; the suggestion stands beside them.
    QVERIFY(pasted.value(QStringLiteral("suggestions")).toObject().isEmpty());
    const QJsonObject suggested = run.objects.at(4);
    checkPostingShape(suggested);
    QVERIFY(suggested.value(QStringLiteral("posting")).toObject().value(QStringLiteral("company")).isNull());
    const QJsonObject company
        = suggested.value(QStringLiteral("suggestions")).toObject().value(QStringLiteral("company")).toObject();
    QCOMPARE(company.value(QStringLiteral("value")).toString(), QStringLiteral("Fernhill"));
    QVERIFY(company.value(QStringLiteral("evidence")).toString().startsWith(QLatin1String("At Fernhill, we build")));
    QCOMPARE(suggested.value(QStringLiteral("suggestions"))
                 .toObject()
                 .value(QStringLiteral("board"))
                 .toObject()
                 .value(QStringLiteral("value"))
                 .toString(),
        QStringLiteral("workday"));
}

void TestProbeTool::namedPipesAreRefused_data()
{
    QTest::addColumn<QString>("subcommand");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("backup") << "backup"
                            << "pipe.json" << 1;
    QTest::newRow("screenshot") << "posting"
                                << "pipe.png" << 0;
    QTest::newRow("posting text") << "posting"
                                  << "pipe.txt" << 0;
}

// A named pipe given as a file would block its reader for ever: each is refused,
// and the probe finishes.
void TestProbeTool::namedPipesAreRefused()
{
    QFETCH(QString, subcommand);
    QFETCH(QString, name);
    QFETCH(int, exitCode);
    const QString pipe = m_directory.filePath(name);
    QVERIFY(::mkfifo(QFile::encodeName(pipe).constData(), 0600) == 0);
    const ProbeRun run = runProbe({subcommand, pipe});
    QFile::remove(pipe);
    QCOMPARE(run.exitCode, exitCode);
    if (subcommand == QLatin1String("backup")) {
        QVERIFY2(run.standardError.contains("isn't a regular file"), run.standardError.constData());
    } else {
        QCOMPARE(run.objects.size(), 1);
        QVERIFY(run.objects.first().contains(QStringLiteral("error")));
    }
}

QTEST_MAIN(TestProbeTool)
#include "tst_probetool.moc"
