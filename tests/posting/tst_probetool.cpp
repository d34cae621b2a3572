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

// The value at a path such as "posting/company/value" or "lines/0/text".
QJsonValue at(const QJsonObject& object, const QString& path)
{
    QJsonValue value = object;
    for (const QString& key : path.split(u'/'))
        value = value.isArray() ? value.toArray().at(key.toInt()) : value.toObject().value(key);
    return value;
}

QString textAt(const QJsonObject& object, const char* path)
{
    return at(object, QString::fromLatin1(path)).toString();
}

// What the corpus scorer reads: every line with its four keys, each field null or a
// value with a confidence word and evidence, a known board, and suggestions only for
// known fields.
void checkPostingShape(const QJsonObject& object)
{
    QVERIFY(object.value(QStringLiteral("source")).isString());
    QVERIFY(object.value(QStringLiteral("lines")).isArray());
    for (const QJsonValue& line : object.value(QStringLiteral("lines")).toArray()) {
        for (const char* key : {"text", "order", "relativeHeight", "confidence"})
            QVERIFY2(line.toObject().contains(QLatin1String(key)), key);
    }
    const QJsonObject posting = object.value(QStringLiteral("posting")).toObject();
    for (const char* name : {"company", "position", "workModel", "location", "postingLink"}) {
        const QJsonValue field = posting.value(QLatin1String(name));
        QVERIFY2(field.isNull()
                || (field.toObject().value(QStringLiteral("value")).isString()
                    && QStringList {"low", "medium", "high"}.contains(textAt(field.toObject(), "confidence"))
                    && field.toObject().value(QStringLiteral("evidence")).isString()),
            name);
    }
    QVERIFY(QStringList({"linkedIn", "workday", "kariyerNet", "indeed", "glassdoor", "unknown"})
                .contains(textAt(posting, "board")));
    QVERIFY(posting.value(QStringLiteral("rawText")).isString());
    const QJsonObject suggestions = object.value(QStringLiteral("suggestions")).toObject();
    for (auto it = suggestions.begin(); it != suggestions.end(); ++it) {
        QVERIFY2(QStringList({"company", "position", "workModel", "location", "board"}).contains(it.key()),
            qPrintable(it.key()));
        QVERIFY(it.value().toObject().value(QStringLiteral("evidence")).isString());
    }
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
    QPainter painter(&page);
    for (const auto& [words, size, y] : {std::tuple {"Data Engineer", 40, 80}, std::tuple {"Remote", 20, 140}}) {
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(size);
        painter.setFont(font);
        painter.drawText(QPoint(30, y), QString::fromLatin1(words));
    }
    painter.end();
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
    for (int i : {0, 1, 2, 4})
        checkPostingShape(run.objects.at(i));

    const QJsonObject pasted = run.objects.at(0);
    QCOMPARE(textAt(pasted, "source"), QStringLiteral("pasted.txt"));
    QCOMPARE(at(pasted, QStringLiteral("lines")).toArray().size(), 3);
    QVERIFY(at(pasted, QStringLiteral("lines/0/relativeHeight")).isNull());
    QCOMPARE(textAt(pasted, "posting/position/value"), QStringLiteral("Senior iOS Developer"));
    QCOMPARE(textAt(pasted, "posting/company/value"), QStringLiteral("Acme Corp"));
    QCOMPARE(textAt(pasted, "posting/workModel/value"), QStringLiteral("hybrid"));
    QVERIFY(pasted.value(QStringLiteral("suggestions")).toObject().isEmpty());

    const QJsonObject recognised = run.objects.at(1);
    QCOMPARE(at(recognised, QStringLiteral("lines")).toArray().size(), 2);
    QCOMPARE(at(recognised, QStringLiteral("lines/1/order")).toInt(), 2);
    QCOMPARE(at(recognised, QStringLiteral("lines/1/relativeHeight")).toDouble(), 0.5);
    QVERIFY(at(recognised, QStringLiteral("lines/1/confidence")).isNull());
    QCOMPARE(textAt(recognised, "posting/position/value"), QStringLiteral("Backend Engineer"));

    const QJsonObject screenshot = run.objects.at(2);
    QCOMPARE(at(screenshot, QStringLiteral("lines")).toArray().size(), 2);
    QCOMPARE(textAt(screenshot, "lines/0/text"), QStringLiteral("Data Engineer"));
    QCOMPARE(at(screenshot, QStringLiteral("lines/0/relativeHeight")).toDouble(), 1.0);
    QVERIFY(at(screenshot, QStringLiteral("lines/1/confidence")).isDouble());
    QCOMPARE(textAt(screenshot, "posting/workModel/value"), QStringLiteral("remote"));

    const QJsonObject failed = run.objects.at(3);
    QCOMPARE(textAt(failed, "source"), QStringLiteral("notes.png"));
    QCOMPARE(textAt(failed, "error"), QStringLiteral("This file could not be read as an image."));
    QVERIFY(!failed.contains(QStringLiteral("posting")));

    // The parser's fields stay as they are; the suggestion stands beside them.
    const QJsonObject suggested = run.objects.at(4);
    QVERIFY(at(suggested, QStringLiteral("posting/company")).isNull());
    QCOMPARE(textAt(suggested, "suggestions/company/value"), QStringLiteral("Fernhill"));
    QVERIFY(textAt(suggested, "suggestions/company/evidence").startsWith(QLatin1String("At Fernhill, we build")));
    QCOMPARE(textAt(suggested, "suggestions/board/value"), QStringLiteral("workday"));
}

void TestProbeTool::namedPipesAreRefused_data()
{
    QTest::addColumn<QString>("subcommand");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("backup") << QStringLiteral("backup") << QStringLiteral("pipe.json") << 1;
    QTest::newRow("screenshot") << QStringLiteral("posting") << QStringLiteral("pipe.png") << 0;
    QTest::newRow("posting text") << QStringLiteral("posting") << QStringLiteral("pipe.txt") << 0;
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
