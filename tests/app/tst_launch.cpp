// The program started the way a desktop starts it: no OMP_THREAD_LIMIT, its own data
// folder under XDG_DATA_HOME, no display (offscreen).
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

namespace {

QByteArray fileHash(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

class Launch {
public:
    explicit Launch(const QString& home, const QStringList& arguments = {},
        QProcess::ProcessChannelMode channels = QProcess::MergedChannels)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("OMP_THREAD_LIMIT"));
        // No desktop to reach: as over ssh or in a build machine.
        environment.remove(QStringLiteral("DISPLAY"));
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
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

// Whether the running process sees `variable=value` in its environment.
bool environmentContains(qint64 pid, const QByteArray& entry)
{
    QFile file(QStringLiteral("/proc/%1/environ").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return file.readAll().split('\0').contains(entry);
}

} // namespace

class LaunchTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void startsAndCreatesItsStore();
    void answersItsCommandLineWithoutOpeningTheStore_data();
    void answersItsCommandLineWithoutOpeningTheStore();
    void refusesAForeignFileAndKeepsRunning();
    void secondCopyHandsOverToTheFirst();
};

void LaunchTest::startsAndCreatesItsStore()
{
    QTemporaryDir home;
    Launch app(home.path());
    QVERIFY2(app.process.waitForStarted(10000), qPrintable(app.process.errorString()));
    const QString database = home.path() + QStringLiteral("/data/Applywright/Applywright.sqlite");
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(database), 15000);
    QTest::qWait(500);
    QCOMPARE(app.process.state(), QProcess::Running);
    // It no longer restarts itself for the OCR thread limit (its recognition worker
    // gets that limit), and Tesseract and Leptonica are not loaded into it.
    QVERIFY(!environmentContains(app.process.processId(), "OMP_THREAD_LIMIT=1"));
    QFile maps(QStringLiteral("/proc/%1/maps").arg(app.process.processId()));
    QVERIFY(maps.open(QIODevice::ReadOnly));
    const QByteArray mapped = maps.readAll();
    QVERIFY(!mapped.contains("libtesseract") && !mapped.contains("liblept"));
    // A logout or `kill` quits in order (pending edits are saved on the way out).
    app.process.terminate();
    QVERIFY(app.process.waitForFinished(10000));
    QCOMPARE(app.process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(app.process.exitCode(), 0);
    QVERIFY(!QFile::exists(home.path() + QStringLiteral("/data/Applywright/Applywright.lock")));
}

void LaunchTest::answersItsCommandLineWithoutOpeningTheStore_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("standardOutput");
    // Its own lines on standard error (Qt may warn there about its own setup too).
    QTest::addColumn<QByteArrayList>("errors");

    const QByteArray version = QByteArrayLiteral("Applywright " APPLYWRIGHT_VERSION "\n");
    QTest::newRow("version") << QStringList {QStringLiteral("--version")} << 0 << version << QByteArrayList();
    QTest::newRow("after Qt's own options")
        << QStringList {QStringLiteral("-platform"), QStringLiteral("offscreen"), QStringLiteral("--version")} << 0
        << version << QByteArrayList();
    // The X platform without a display ends any program that opens a window.
    QTest::newRow("without a display") << QStringList {QStringLiteral("-platform"), QStringLiteral("xcb"),
        QStringLiteral("--version")} << 0
                                       << version << QByteArrayList();
    QTest::newRow("an option it does not take")
        << QStringList {QStringLiteral("--reset"), QStringLiteral("a.png")} << 2 << QByteArray()
        << QByteArrayList {"applywright: Unknown option 'reset'."};
}

void LaunchTest::answersItsCommandLineWithoutOpeningTheStore()
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
    QByteArrayList ownErrors;
    for (const QByteArray& line : app.process.readAllStandardError().split('\n')) {
        if (line.startsWith("applywright:"))
            ownErrors.append(line);
    }
    QCOMPARE(ownErrors, errors);
    QVERIFY(!QFileInfo::exists(home.path() + QStringLiteral("/data/Applywright")));
}

void LaunchTest::refusesAForeignFileAndKeepsRunning()
{
    QTemporaryDir home;
    const QString folder = home.path() + QStringLiteral("/data/Applywright");
    QVERIFY(QDir().mkpath(folder));
    const QString database = folder + QStringLiteral("/Applywright.sqlite");
    {
        QFile file(database);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("notes from another program\n");
    }
    const QByteArray before = fileHash(database);
    Launch app(home.path());
    QVERIFY(app.process.waitForStarted(10000));
    // The failure window stays up (no crash, no exit) and the file is left as it was.
    QTest::qWait(2000);
    QCOMPARE(app.process.state(), QProcess::Running);
    QCOMPARE(fileHash(database), before);
    QVERIFY(!QFile::exists(database + QStringLiteral("-wal")));
}

void LaunchTest::secondCopyHandsOverToTheFirst()
{
    QTemporaryDir home;
    Launch first(home.path());
    QVERIFY(first.process.waitForStarted(10000));
    const QString socket = home.path() + QStringLiteral("/data/Applywright/Applywright.socket");
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(socket), 15000);
    // The second start asks the first to show its window and ends; the first goes on.
    Launch second(home.path());
    QVERIFY(second.process.waitForFinished(10000));
    QCOMPARE(second.process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.process.exitCode(), 0);
    QCOMPARE(first.process.state(), QProcess::Running);
    first.process.terminate();
    QVERIFY(first.process.waitForFinished(10000));
    QVERIFY(!QFile::exists(socket));
}

QTEST_GUILESS_MAIN(LaunchTest)
#include "tst_launch.moc"
