// The program started the way a desktop starts it: no OMP_THREAD_LIMIT, its own data
// folder under XDG_DATA_HOME, no display (offscreen).
#include "TestSupport.h"
#include "app/InstanceSocket.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// Whether a copy runs on `folder` and takes callers.
bool listening(const QString& folder)
{
    const int socket = InstanceSocket::connect(folder);
    if (socket >= 0)
        ::close(socket);
    return socket >= 0;
}

class Launch {
public:
    explicit Launch(const QString& home, const QStringList& arguments = {},
        QProcess::ProcessChannelMode channels = QProcess::MergedChannels)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        // No desktop to reach: as over ssh or in a build machine.
        for (const char* name : {"OMP_THREAD_LIMIT", "DISPLAY", "WAYLAND_DISPLAY"})
            environment.remove(QLatin1String(name));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("HOME"), home);
        environment.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/data"));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/config"));
        process.setProcessEnvironment(environment);
        process.setProcessChannelMode(channels);
        process.start(QStringLiteral(APPLYWRIGHT_BINARY), arguments);
    }
    ~Launch()
    {
        if (process.state() != QProcess::NotRunning) {
            process.terminate();
            if (!process.waitForFinished(5000))
                process.kill();
            process.waitForFinished(5000);
        }
    }
    QProcess process;
};

} // namespace

class LaunchTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void startsAndCreatesItsStore()
    {
        QTemporaryDir home;
        Launch app(home.path());
        QVERIFY2(app.process.waitForStarted(10000), qPrintable(app.process.errorString()));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(home.filePath(u"data/Applywright/Applywright.sqlite"_s)), 15000);
        QTest::qWait(500);
        QCOMPARE(app.process.state(), QProcess::Running);
        // It no longer restarts itself for the OCR thread limit (its recognition worker
        // gets that limit), and Tesseract and Leptonica are not loaded into it.
        const QString proc = QStringLiteral("/proc/%1/").arg(app.process.processId());
        QVERIFY(!TestSupport::readFile(proc + u"environ"_s).split('\0').contains("OMP_THREAD_LIMIT=1"));
        const QByteArray mapped = TestSupport::readFile(proc + u"maps"_s);
        QVERIFY(!mapped.isEmpty() && !mapped.contains("libtesseract") && !mapped.contains("liblept"));
        // Nor any image-format plugin: the window draws its own pictures without them, and asking one asks them all.
        QVERIFY(!mapped.contains("/imageformats/"));
        // Nor what only a worker or nothing at all needs, each a few milliseconds of every start: the mail reader, and
        // Qt's network module (the hand-over socket is a plain one).
        QVERIFY(!mapped.contains("libgmime") && !mapped.contains("libQt6Network"));
        // Once its records are on screen it starts its recognition worker unasked.
        QTRY_COMPARE_WITH_TIMEOUT(
            TestSupport::childProcesses("applywright-ocr", app.process.processId()).size(), 1, 15000);
        // A second start asks this one to show its window and ends; this one goes on.
        const QString folder = home.filePath(u"data/Applywright"_s);
        QTRY_VERIFY_WITH_TIMEOUT(listening(folder), 15000);
        Launch second(home.path());
        QVERIFY(second.process.waitForFinished(10000));
        QCOMPARE(second.process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.process.exitCode(), 0);
        QCOMPARE(app.process.state(), QProcess::Running);
        // A logout or `kill` quits in order (pending edits are saved on the way out).
        app.process.terminate();
        QVERIFY(app.process.waitForFinished(10000));
        QCOMPARE(app.process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(app.process.exitCode(), 0);
        QVERIFY(!QFile::exists(home.filePath(u"data/Applywright/Applywright.lock"_s)));
        QVERIFY(!listening(folder));
    }

    void answersItsCommandLineWithoutOpeningTheStore_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("standardOutput");
        // Its own lines on standard error (Qt may warn there about its own setup too).
        QTest::addColumn<QByteArrayList>("errors");
        const auto row = [](const char* name, const char* arguments, int exitCode, const QByteArray& output,
                             const QByteArrayList& errors = {}) {
            QTest::newRow(name) << QString::fromLatin1(arguments).split(u' ') << exitCode << output << errors;
        };
        const QByteArray version = QByteArrayLiteral("Applywright " APPLYWRIGHT_VERSION "\n");
        // The X platform without a display ends any program that opens a window.
        row("without a display", "-platform xcb --version", 0, version);
        row("an option it does not take", "--reset a.png", 2, {}, {"applywright: Unknown option 'reset'."});
    }

    void answersItsCommandLineWithoutOpeningTheStore()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, standardOutput);
        QFETCH(QByteArrayList, errors);
        QTemporaryDir home;
        Launch app(home.path(), arguments, QProcess::SeparateChannels);
        QVERIFY(app.process.waitForFinished(10000));
        QCOMPARE(app.process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(app.process.exitCode(), exitCode);
        QCOMPARE(app.process.readAllStandardOutput(), standardOutput);
        QByteArrayList ownErrors = app.process.readAllStandardError().split('\n');
        ownErrors.removeIf([](const QByteArray& line) { return !line.startsWith("applywright:"); });
        QCOMPARE(ownErrors, errors);
        QVERIFY(!QFileInfo::exists(home.filePath(u"data/Applywright"_s)));
    }

    void refusesAForeignFileAndKeepsRunning()
    {
        QTemporaryDir home;
        QVERIFY(QDir(home.path()).mkpath(u"data/Applywright"_s));
        const QString database = home.filePath(u"data/Applywright/Applywright.sqlite"_s);
        const QByteArray foreign = "notes from another program\n";
        QVERIFY(TestSupport::writeFile(database, foreign));
        Launch app(home.path());
        QVERIFY(app.process.waitForStarted(10000));
        // The failure window stays up (no crash, no exit) and the file is left as it was.
        QTest::qWait(2000);
        QCOMPARE(app.process.state(), QProcess::Running);
        QCOMPARE(TestSupport::readFile(database), foreign);
        QVERIFY(!QFile::exists(database + QStringLiteral("-wal")));
    }
};

QTEST_GUILESS_MAIN(LaunchTest)
#include "tst_launch.moc"
