#include "posting/DrawnPages.h"

#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

namespace {

struct ProbeRun {
    int exitCode = -1;
    QList<QJsonObject> objects;
    QByteArray standardOutput;
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
    run.standardOutput = process.readAllStandardOutput();
    for (const QByteArray& line : run.standardOutput.split('\n')) {
        if (!line.trimmed().isEmpty())
            run.objects.append(QJsonDocument::fromJson(line).object());
    }
    return run;
}

// The file's path, or nothing when it could not be written.
QString writeFile(const QTemporaryDir& directory, const char* name, const QByteArray& bytes)
{
    QFile file(directory.filePath(QLatin1String(name)));
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() ? file.fileName() : QString();
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

// Compares the values at the paths that `expected` names ("path=value, path=value"),
// values in JSON and arrays by their length, so that the message shows every one.
void checkValues(const QJsonObject& object, const QString& expected)
{
    QStringList values;
    for (const QRegularExpressionMatch& match : QRegularExpression(R"((?:^|, )([\w/]+)=)").globalMatch(expected)) {
        const QJsonValue value = at(object, match.captured(1));
        const QByteArray json = QJsonDocument(QJsonArray {value}).toJson(QJsonDocument::Compact);
        values << match.captured(1) + u'='
                + (value.isArray() ? QString::number(value.toArray().size())
                                   : QString::fromUtf8(json.mid(1).chopped(1)));
    }
    QCOMPARE(values.join(QStringLiteral(", ")), expected);
}

} // namespace

class TestProbeTool : public QObject {
    Q_OBJECT

private Q_SLOTS:

    void wrongArguments_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("nothing") << QStringList {};
        QTest::newRow("unknown subcommand") << QStringList {QStringLiteral("frobnicate"), QStringLiteral("x")};
        QTest::newRow("posting without files") << QStringList {QStringLiteral("posting")};
    }

    void wrongArguments()
    {
        QFETCH(QStringList, arguments);
        const ProbeRun run = runProbe(arguments);
        QCOMPARE(run.exitCode, 2);
        QVERIFY(run.objects.isEmpty());
        QVERIFY(run.standardError.contains("usage: applywright-probe"));
    }

    void postingFiles()
    {
        const auto write
            = [this](const char* name, const QByteArray& bytes) { return writeFile(m_directory, name, bytes); };
        const QString text
            = write("pasted.txt", "Senior iOS Developer\nAcme Corp · Istanbul, Türkiye · 2 days ago\nHybrid\n");
        const QString lines = write("recognised.lines.json",
            R"([{"text":"Backend Engineer","order":0,"relativeHeight":1.0,"confidence":0.9},
            {"text":"Globex Ltd","order":2,"relativeHeight":0.5,"confidence":null},
            {"text":")"
            "\xEF\xBB\xBF"
            R"(San Mateo, CA","order":3}])");
        const QString image = m_directory.filePath(QStringLiteral("screenshot.png"));
        const QImage page = DrawnPages::drawPage(QSize(900, 300),
            {{QStringLiteral("Data Engineer"), 40, QPoint(30, 80)}, {QStringLiteral("Remote"), 20, QPoint(30, 140)}});
        QVERIFY(page.save(image));
        const QString workday = write("workday.txt",
            "Backend Engineer\nApply\nlocations\nBerlin, Germany\njob requisition id\nR-10422\nAt Fernhill, we build "
            "the tools that small shops use to sell online, in eleven countries and four languages.\n");

        const ProbeRun run = runProbe(
            {QStringLiteral("posting"), text, lines, image, write("notes.png", "just some text\n"), workday});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.objects.size(), 5);
        checkValues(run.objects.at(0),
            R"(source="pasted.txt", lines=3, lines/0/relativeHeight=null, )"
            R"(posting/position/value="Senior iOS Developer", posting/position/confidence="high", )"
            R"(posting/position/evidence="Senior iOS Developer", posting/company/value="Acme Corp", )"
            R"(posting/workModel/value="hybrid", posting/board="unknown", suggestions/location/value="Istanbul, Türkiye", )"
            R"(draft/company/confidence="high", draft/location/value="Istanbul, Türkiye", draft/overall="high")");
        checkValues(run.objects.at(1),
            R"(lines=3, lines/1/order=2, lines/1/relativeHeight=0.5, lines/1/confidence=null, )"
            R"(posting/position/value="Backend Engineer")");
        // A line opening with a byte-order mark keeps it, as recognition's lines do. Read
        // from the bytes: QJsonDocument would drop the mark on this side too.
        const QByteArray mark = "\xEF\xBB\xBF";
        QVERIFY(run.standardOutput.contains(QByteArray("\"text\":\"" + mark + "San Mateo, CA\"")));
        QVERIFY(run.standardOutput.contains(
            QByteArray("\"rawText\":\"Backend Engineer\\nGlobex Ltd\\n" + mark + "San Mateo")));
        const QJsonObject screenshot = run.objects.at(2);
        checkValues(screenshot,
            R"(lines=2, lines/0/text="Data Engineer", lines/0/relativeHeight=1, posting/workModel/value="remote")");
        QVERIFY(at(screenshot, QStringLiteral("lines/1/confidence")).isDouble());
        checkValues(
            run.objects.at(3), R"(source="notes.png", error="This file could not be read as an image.", posting=null)");
        // The parser's fields stay as they are; the suggestion stands beside them, and the
        // draft starts with it, worth a check.
        const QJsonObject suggested = run.objects.at(4);
        checkValues(suggested,
            R"(posting/company=null, suggestions/company/value="Fernhill", suggestions/board/value="workday", )"
            R"(draft/company/value="Fernhill", draft/company/confidence="medium", draft/company/source="second", )"
            R"(draft/board="workday", draft/notAPosting=false)");
        QVERIFY(textAt(suggested, "suggestions/company/evidence").startsWith(QLatin1String("At Fernhill, we build")));
    }

    void namedPipesAreRefused_data()
    {
        QTest::addColumn<QString>("subcommand");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("backup") << QStringLiteral("backup") << QStringLiteral("pipe.json") << 1;
        QTest::newRow("posting text") << QStringLiteral("posting") << QStringLiteral("pipe.txt") << 0;
    }

    // A named pipe given as a file would block its reader for ever: each is refused,
    // and the probe finishes.
    void namedPipesAreRefused()
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

private:
    QTemporaryDir m_directory;
};

QTEST_MAIN(TestProbeTool)
#include "tst_probetool.moc"
