// The program started the way a desktop starts it: no OMP_THREAD_LIMIT, its own data
// folder under XDG_DATA_HOME, no display (offscreen).
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
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
    explicit Launch(const QString& home)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("OMP_THREAD_LIMIT"));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("HOME"), home);
        environment.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/data"));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/config"));
        process.setProcessEnvironment(environment);
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(QStringLiteral(APPLYWRIGHT_BINARY), QStringList());
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
