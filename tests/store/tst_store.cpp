#include "TestSupport.h"
#include "Unprivileged.h"

#include "model/JobApplication.h"
#include "store/Store.h"
#include "store/StoreLoader.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <csignal>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace TestSupport;

namespace {

QByteArray fileHash(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

// Runs one statement on a separate raw connection and returns the first column
// of every row, joined with "|".
QString query(const QString& path, const char* sql)
{
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return QStringLiteral("<open failed>");
    }
    QStringList rows;
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) == SQLITE_OK) {
        while (sqlite3_step(statement) == SQLITE_ROW) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
            rows << (text ? QString::fromUtf8(text) : QStringLiteral("<null>"));
        }
    } else {
        rows << QStringLiteral("<error: %1>").arg(QString::fromUtf8(sqlite3_errmsg(db)));
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return rows.join(QLatin1Char('|'));
}

std::unique_ptr<JobApplication> record(const QString& company, const QDateTime& applied = utc(2025, 3, 1))
{
    return std::make_unique<JobApplication>(
        company, QStringLiteral("Engineer"), QString(), WorkModel::remote, ApplicationStatus::applied, applied);
}

// A store with `count` records of three history entries each, closed again, its
// log copied into the file.
void makeStore(const QString& directory, int count)
{
    StoreLoader loader = openStore(directory);
    QVERIFY2(loader.isReady(), qPrintable(loader.message()));
    for (int i = 0; i < count; ++i) {
        JobApplication* a = loader.store()->insert(record(QStringLiteral("Company %1").arg(i)));
        a->appendFirstHistoryEntry();
        a->changeStatus(ApplicationStatus::hrInterview);
        a->changeStatus(ApplicationStatus::techInterview);
    }
    QVERIFY(loader.store()->save());
}

// Everything in a folder, as "name kind size hash" lines: what a refused start
// must leave exactly as it found it.
QStringList snapshot(const QString& directory)
{
    QStringList entries;
    const auto infos
        = QDir(directory).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo& info : infos) {
        struct stat status { };
        ::lstat(QFile::encodeName(info.filePath()).constData(), &status);
        QString line = info.fileName() + QLatin1Char(' ') + QString::number(status.st_mode, 8);
        if (S_ISREG(status.st_mode))
            line += QLatin1Char(' ') + QString::number(status.st_size) + QLatin1Char(' ')
                + QString::fromLatin1(fileHash(info.filePath()).toHex());
        else if (S_ISLNK(status.st_mode))
            line += QStringLiteral(" -> ") + info.symLinkTarget();
        entries.append(line);
    }
    return entries;
}

quint32 bigEndian(const QByteArray& bytes, int at)
{
    return quint32(uchar(bytes.at(at))) << 24 | quint32(uchar(bytes.at(at + 1))) << 16
        | quint32(uchar(bytes.at(at + 2))) << 8 | quint32(uchar(bytes.at(at + 3)));
}

void putBigEndian(QByteArray& bytes, int at, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = char((value >> (24 - 8 * i)) & 0xff);
}

// A rollback journal as SQLite writes one: a header padded to a 4096-byte sector,
// then each saved page with its number and checksum.
QByteArray journal(quint32 originalPages, const QList<std::pair<quint32, QByteArray>>& pages)
{
    const quint32 pageSize = quint32(pages.first().second.size());
    const quint32 nonce = 0x1234567;
    QByteArray bytes("\xd9\xd5\x05\xf9\x20\xa1\x63\xd7", 8);
    bytes.resize(4096, '\0');
    putBigEndian(bytes, 8, quint32(pages.size()));
    putBigEndian(bytes, 12, nonce);
    putBigEndian(bytes, 16, originalPages);
    putBigEndian(bytes, 20, 4096);
    putBigEndian(bytes, 24, pageSize);
    for (const auto& [number, page] : pages) {
        QByteArray record(8 + page.size(), '\0');
        putBigEndian(record, 0, number);
        record.replace(4, page.size(), page);
        quint32 checksum = nonce;
        for (int i = int(pageSize) - 200; i > 0; i -= 200)
            checksum += uchar(page.at(i));
        putBigEndian(record, 4 + page.size(), checksum);
        bytes += record;
    }
    return bytes;
}

// The first `pages` pages of a database file.
QByteArray pagesOf(const QString& path, int pages = 1)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.read(qint64(pages) * 4096);
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

} // namespace

class StoreTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { useTimeZone("Europe/Istanbul"); }
    void cleanup() { Clock::reset(); }

    void newStoreAndFolderPermissions_data();
    void newStoreAndFolderPermissions();
    void firstStartKilledAtAnyMoment();
    void refusedFilesStayUntouched_data();
    void refusedFilesStayUntouched();
    void journalBesideTheStore_data();
    void journalBesideTheStore();
    void damagedPagesAreNeverWritten_data();
    void damagedPagesAreNeverWritten();
    void folderThatCannotBeCreated();
    void fullDiskAtFirstStart();
    void permissionFailures_data();
    void permissionFailures();
    void busyReaderAtStartUp();
    void locks_data();
    void locks();
    void everyFieldSurvivesReopening();
    void recordsReadInTheBackground();
    void unreadableRecordsFailTheStore();
    void liveQueryOrderAndNotifications();
    void saveWritesOnlyWhatChanged();
    void failedSaveKeepsChangesPending();
    void deleteCascadesToHistory();
    void autosaveWhileEditingGoesOn();
    void killedWhileSavingLosesNothingSaved();
};

void StoreTest::newStoreAndFolderPermissions_data()
{
    QTest::addColumn<int>("umask");
    QTest::addColumn<bool>("folderExists");
    QTest::newRow("umask 000, new folder") << 000 << false;
    QTest::newRow("umask 022, folder open to all") << 022 << true;
}

void StoreTest::newStoreAndFolderPermissions()
{
    QFETCH(int, umask);
    QFETCH(bool, folderExists);
    QTemporaryDir temp;
    const QString dir = temp.filePath(QStringLiteral("nested/Applywright"));
    if (folderExists) {
        QVERIFY(QDir().mkpath(dir));
        QVERIFY(::chmod(QFile::encodeName(dir).constData(), 0777) == 0);
    }
    const mode_t previous = ::umask(mode_t(umask));
    StoreLoader loader = openStore(dir);
    ::umask(previous);
    QVERIFY2(loader.isReady(), qPrintable(loader.message()));
    QCOMPARE(loader.store()->count(), 0);
    QVERIFY(!loader.store()->hasChanges());

    const QString path = loader.store()->databasePath();
    const auto mode = [](const QString& file) {
        struct stat status { };
        ::stat(QFile::encodeName(file).constData(), &status);
        return status.st_mode & 0777;
    };
    // The folder and every file in it belong to the owner alone, whatever the umask.
    QCOMPARE(mode(dir), mode_t(0700));
    for (const QString& name : QDir(dir).entryList(QDir::Files | QDir::Hidden))
        QVERIFY2(mode(QDir(dir).filePath(name)) == 0600, qPrintable(name));
    QVERIFY(QFile::exists(QDir(dir).filePath(QStringLiteral("Applywright.lock"))));
    QVERIFY(QFile::exists(path + QStringLiteral("-wal")));
    QCOMPARE(query(path, "SELECT value FROM Metadata WHERE key = 'schemaVersion'"), QStringLiteral("1.0.0"));
    QCOMPARE(query(path, "PRAGMA journal_mode"), QStringLiteral("wal"));
    QVERIFY(!QFile::exists(path + QStringLiteral(".new")));
    QVERIFY(!QFile::exists(path + QStringLiteral("-journal")));
}

// Killed at any moment of its very first start, the program leaves either no
// database (the next start begins again) or a whole one that the next start opens:
// never a half-made file and never a journal that locks it.
void StoreTest::firstStartKilledAtAnyMoment()
{
    QTemporaryDir temp;
    const auto start = [](QProcess& child, const QString& dir) {
        child.start(QStringLiteral(STORE_CRASH_CHILD), {QStringLiteral("--first-start"), dir});
        return child.waitForStarted();
    };
    // How long a whole first start takes here, process start included.
    QElapsedTimer timer;
    qint64 whole = 0;
    for (int i = 0; i < 3; ++i) {
        QProcess child;
        timer.start();
        QVERIFY(start(child, temp.filePath(QStringLiteral("measure%1").arg(i))));
        QVERIFY(child.waitForFinished(10000));
        whole = std::max(whole, timer.nsecsElapsed() / 1000);
        QCOMPARE(child.readAllStandardOutput(), QByteArray("opened\n"));
    }
    const int rounds = 120;
    int created = 0;
    for (int round = 0; round < rounds; ++round) {
        const QString dir = temp.filePath(QStringLiteral("round%1").arg(round));
        const QString path = dir + QStringLiteral("/Applywright.sqlite");
        QProcess child;
        timer.start();
        QVERIFY(start(child, dir));
        // Evenly over the whole start, from the process's own start-up to its exit.
        const qint64 at = whole * round / rounds;
        while (timer.nsecsElapsed() / 1000 < at && child.state() == QProcess::Running)
            QThread::usleep(200);
        ::kill(pid_t(child.processId()), SIGKILL);
        QVERIFY(child.waitForFinished(10000));

        QVERIFY2(!QFile::exists(path + QStringLiteral("-journal")), qPrintable(QString::number(at)));
        if (QFile::exists(path))
            ++created;
        StoreLoader loader = openStore(dir);
        QVERIFY2(loader.isReady(), qPrintable(QStringLiteral("killed after %1 µs: %2").arg(at).arg(loader.message())));
        loader.store()->insert(record(QStringLiteral("after the kill")));
        QVERIFY(loader.store()->save());
        loader = StoreLoader::failed(QString());
        QCOMPARE(query(path, "PRAGMA integrity_check"), QStringLiteral("ok"));
        QCOMPARE(query(path, "SELECT companyName FROM JobApplication"), QStringLiteral("after the kill"));
    }
    qInfo("%d of %d starts had made the database when killed (a whole start: %lld µs)", created, rounds, whole);
}

void StoreTest::refusedFilesStayUntouched_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("expected"); // a fragment of the message
    const auto row = [](const char* name, const char* what, const char* message) {
        QTest::newRow(name) << QString::fromUtf8(what) << QString::fromUtf8(message);
    };
    row("garbage", "garbage", "not an SQLite file");
    row("other program's database", "foreign", "another program");
    row("older schema", "version", "uses data format 0.9.0");
    row("no version", "noversion", "no data format version");
    row("truncated database", "truncated", "is damaged");
    row("zeroed header", "zeroed", "is damaged: its first bytes are zeroed");
    row("damaged schema page", "schemapage", "is damaged");
    row("empty file with a full log", "emptywithlog", "is empty, but");
    row("empty file", "empty", "is empty (0 bytes)");
    row("log without its database", "logonly", "is missing, but");
    row("a folder in its place", "folder", "it is a folder");
    row("a named pipe in its place", "fifo", "it is a named pipe");
    row("a link to a disk that is not there", "dangling", "which cannot be reached");
}

// Only a folder with no database and no side file gets a new store. Everything
// else that is not a readable store is refused with a message naming the file and
// the cause, and the folder is left exactly as it was: no file written, replaced or
// removed, and no log or index created beside a refused file.
void StoreTest::refusedFilesStayUntouched()
{
    QFETCH(QString, setup);
    QFETCH(QString, expected);
    QTemporaryDir temp;
    const QString dir = temp.path();
    const QString path = dir + QStringLiteral("/Applywright.sqlite");

    const auto fromRealStore = [&] {
        makeStore(dir, 40);
        query(path, "PRAGMA wal_checkpoint(TRUNCATE)");
        QFile::remove(path + QStringLiteral("-wal"));
        QFile::remove(path + QStringLiteral("-shm"));
    };
    if (setup == QLatin1String("garbage")) {
        QVERIFY(writeFile(path, "this is not a database, just some text that happens to be here\n"));
    } else if (setup == QLatin1String("foreign")) {
        sqlite3* db = nullptr;
        sqlite3_open(QFile::encodeName(path).constData(), &db);
        sqlite3_exec(db, "PRAGMA journal_mode = WAL; CREATE TABLE notes(x); INSERT INTO notes VALUES (1);", nullptr,
            nullptr, nullptr);
        sqlite3_close(db);
    } else if (setup == QLatin1String("emptywithlog")) {
        // The database emptied by some accident, its newest records still in the log.
        fromRealStore();
        QVERIFY(writeFile(path + QStringLiteral("-wal"), pagesOf(path, 3)));
        QVERIFY(writeFile(path, QByteArray()));
    } else if (setup == QLatin1String("empty")) {
        QVERIFY(writeFile(path, QByteArray()));
    } else if (setup == QLatin1String("logonly")) {
        QVERIFY(writeFile(path + QStringLiteral("-wal"), QByteArray(4096, 'x')));
    } else if (setup == QLatin1String("folder")) {
        QVERIFY(QDir(dir).mkdir(QStringLiteral("Applywright.sqlite")));
    } else if (setup == QLatin1String("fifo")) {
        QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
    } else if (setup == QLatin1String("dangling")) {
        QVERIFY(QFile::link(QStringLiteral("/nonexistent-disk/Applywright/Applywright.sqlite"), path));
    } else {
        // Start from a real store, then alter it the way an incompatible build, or
        // damage, would.
        fromRealStore();
        if (setup == QLatin1String("version"))
            query(path, "UPDATE Metadata SET value = '0.9.0' WHERE key = 'schemaVersion'");
        else if (setup == QLatin1String("noversion"))
            query(path, "DELETE FROM Metadata");
        query(path, "PRAGMA wal_checkpoint(TRUNCATE)");
        QFile::remove(path + QStringLiteral("-wal"));
        QFile::remove(path + QStringLiteral("-shm"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        if (setup == QLatin1String("truncated")) {
            file.resize(2 * 4096);
        } else if (setup == QLatin1String("zeroed")) {
            file.write(QByteArray(100, '\0'));
        } else if (setup == QLatin1String("schemapage")) {
            // The table list on page 1, past the file header.
            file.seek(3000);
            file.write(QByteArray(1000, '\x5a'));
        }
    }
    const QStringList before = snapshot(dir);

    StoreLoader loader = openStore(dir);
    QVERIFY(!loader.isReady());
    QVERIFY2(loader.message().contains(expected), qPrintable(loader.message()));
    QVERIFY2(loader.message().contains(path), qPrintable(loader.message()));
    QCOMPARE(loader.failure(), StoreLoader::Failure::other);
    QCOMPARE(snapshot(dir), before);
}

void StoreTest::journalBesideTheStore_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("opens");
    // What an older build left when killed while switching a new file to WAL.
    QTest::newRow("left by switching this file to WAL") << "switch" << true;
    QTest::newRow("of another store") << "other" << false;
    QTest::newRow("of a change that grew this file") << "grew" << false;
    QTest::newRow("without its mark") << "unmarked" << true;
}

void StoreTest::journalBesideTheStore()
{
    QFETCH(QString, kind);
    QFETCH(bool, opens);
    QTemporaryDir temp;
    const QString dir = temp.path();
    const QString path = dir + QStringLiteral("/Applywright.sqlite");
    makeStore(dir, 40);
    query(path, "PRAGMA wal_checkpoint(TRUNCATE)");
    const qint64 pages = QFileInfo(path).size() / 4096;
    QByteArray firstPage = pagesOf(path);
    QByteArray journalBytes;
    if (kind == QLatin1String("switch") || kind == QLatin1String("unmarked")) {
        firstPage[18] = 1; // the page as it was before the switch: rollback mode
        firstPage[19] = 1;
        journalBytes = journal(quint32(pages), {{1, firstPage}});
        if (kind == QLatin1String("unmarked"))
            journalBytes.replace(0, 8, QByteArray(8, '\0'));
    } else if (kind == QLatin1String("grew")) {
        journalBytes = journal(quint32(pages - 2), {{1, firstPage}});
    } else {
        QTemporaryDir otherDir;
        makeStore(otherDir.path(), 0);
        const QString other = otherDir.path() + QStringLiteral("/Applywright.sqlite");
        query(other, "PRAGMA wal_checkpoint(TRUNCATE)");
        journalBytes = journal(quint32(QFileInfo(other).size() / 4096), {{1, pagesOf(other)}});
    }
    QVERIFY(writeFile(path + QStringLiteral("-journal"), journalBytes));
    const QStringList before = snapshot(dir);

    StoreLoader loader = openStore(dir);
    if (!opens) {
        QVERIFY(!loader.isReady());
        QVERIFY2(loader.message().contains(path + QStringLiteral("-journal")), qPrintable(loader.message()));
        QVERIFY2(loader.message().contains(QStringLiteral("Move it out")), qPrintable(loader.message()));
        QCOMPARE(snapshot(dir), before);
        return;
    }
    QVERIFY2(loader.isReady(), qPrintable(loader.message()));
    QCOMPARE(loader.store()->count(), 40);
    // Replayed and gone; one without its mark holds nothing and is left as it is.
    QCOMPARE(QFile::exists(path + QStringLiteral("-journal")), kind == QLatin1String("unmarked"));
    loader.store()->insert(record(QStringLiteral("after")));
    QVERIFY(loader.store()->save());
    loader = StoreLoader::failed(QString());
    QCOMPARE(query(path, "PRAGMA integrity_check"), QStringLiteral("ok"));
    QCOMPARE(query(path, "PRAGMA journal_mode"), QStringLiteral("wal"));
    QCOMPARE(query(path, "SELECT count(*) FROM JobApplication"), QStringLiteral("41"));
}

void StoreTest::damagedPagesAreNeverWritten_data()
{
    QTest::addColumn<QByteArray>("object");
    QTest::addColumn<bool>("inBackground");
    for (const char* object : {"StatusChange", "StatusChangeByApplication", "JobApplication"}) {
        QTest::addRow("%s, read at once", object) << QByteArray(object) << false;
        QTest::addRow("%s, read in the background", object) << QByteArray(object) << true;
    }
}

// Damage that every read of the records passes over (a leaf page's free-space
// count) is still damage: the file fails SQLite's check, and nothing may be
// committed into it.
void StoreTest::damagedPagesAreNeverWritten()
{
    QFETCH(QByteArray, object);
    QFETCH(bool, inBackground);
    QTemporaryDir temp;
    const QString dir = temp.path();
    const QString path = dir + QStringLiteral("/Applywright.sqlite");
    makeStore(dir, 300);
    query(path, "PRAGMA wal_checkpoint(TRUNCATE)");
    const QByteArray rootQuery = "SELECT rootpage FROM sqlite_master WHERE name = '" + object + "'";
    const QString root = query(path, rootQuery.constData());
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        qint64 page = root.toLongLong();
        QVERIFY(page > 1);
        // Down the right edge of the tree to a leaf.
        for (;;) {
            file.seek((page - 1) * 4096);
            const QByteArray header = file.read(12);
            if (header.at(0) != 0x02 && header.at(0) != 0x05)
                break;
            page = bigEndian(header, 8);
        }
        file.seek((page - 1) * 4096 + 7); // the count of fragmented free bytes
        file.write("\x3f");
    }
    QCOMPARE(query(path, "SELECT count(*) FROM StatusChange"), QStringLiteral("900"));
    const QByteArray before = fileHash(path);

    StoreLoader loader = openStore(dir, inBackground ? StoreLoading::inBackground : StoreLoading::now);
    if (inBackground) {
        // Opened at once so the window paints; the check runs with the read.
        QVERIFY(loader.isReady());
        const auto loaded = loader.store()->ensureLoaded();
        QVERIFY(!loaded);
        QVERIFY2(loaded.error().description().contains(QStringLiteral("is damaged")),
            qPrintable(loaded.error().description()));
        loader.store()->insert(record(QStringLiteral("Typed meanwhile")));
        QVERIFY(!loader.store()->save());
    } else {
        QVERIFY(!loader.isReady());
        QVERIFY2(loader.message().contains(QStringLiteral("is damaged")), qPrintable(loader.message()));
        QVERIFY2(loader.message().contains(path), qPrintable(loader.message()));
    }
    loader = StoreLoader::failed(QString());
    QCOMPARE(fileHash(path), before);
}

void StoreTest::folderThatCannotBeCreated()
{
    // A path under a regular file can never become a folder, whoever runs the test.
    QTemporaryDir temp;
    const QString blocker = temp.filePath(QStringLiteral("file"));
    QVERIFY(writeFile(blocker, QByteArray()));
    StoreLoader loader = openStore(blocker + QStringLiteral("/Applywright"));
    QVERIFY(!loader.isReady());
    QVERIFY2(loader.message().contains(QStringLiteral("could not be created")), qPrintable(loader.message()));
}

void StoreTest::fullDiskAtFirstStart()
{
    QTemporaryDir temp;
    const QString dir = temp.filePath(QStringLiteral("Applywright"));
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(FULL_DISK_LIBRARY));
    // In a sanitizer build the shim is loaded before the sanitizer's runtime, which it allows when told.
    environment.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("verify_asan_link_order=0"));
    child.setProcessEnvironment(environment);
    child.start(QStringLiteral(STORE_CRASH_CHILD), {QStringLiteral("--first-start"), dir});
    QVERIFY(child.waitForFinished(10000));
    const QString output = QString::fromUtf8(child.readAllStandardOutput());
    QVERIFY2(output.startsWith(QStringLiteral("failed ")), qPrintable(output));
    QVERIFY2(output.contains(QStringLiteral("The disk is full")), qPrintable(output));
    QVERIFY2(output.contains(dir), qPrintable(output));
    // Nothing half-made is left for the next start to stumble on.
    QCOMPARE(QDir(dir).entryList(QDir::Files), QStringList());
    StoreLoader loader = openStore(dir);
    QVERIFY2(loader.isReady(), qPrintable(loader.message()));
}

void StoreTest::permissionFailures_data()
{
    QTest::addColumn<QString>("what");
    QTest::addColumn<QString>("expected");
    const auto row = [](const char* name, const char* what, const char* message) {
        QTest::newRow(name) << QString::fromUtf8(what) << QString::fromUtf8(message);
    };
    row("unreadable file", "unreadable", "could not be read");
    row("write-protected file", "writeprotected", "cannot be written to, so changes could not be saved");
    row("write-protected log", "wal", "-wal” cannot be written to");
    row("write-protected log index", "shm", "-shm” cannot be written to");
    row("read-only data folder", "readonly", "cannot be written to");
}

// A store whose database, log or log index cannot be written is refused at
// opening, before any side file is made (SQLite would give a new log the database's
// mode, so a refused read-only file would get a read-only log that outlives the
// refusal). Once the cause is fixed, the store opens and saves.
void StoreTest::permissionFailures()
{
    if (!runsUnprivileged())
        return;
    QFETCH(QString, what);
    QFETCH(QString, expected);
    QTemporaryDir temp;
    const QString dir = temp.path();
    const QString path = dir + QStringLiteral("/Applywright.sqlite");
    makeStore(dir, 3);
    if (what == QLatin1String("wal") || what == QLatin1String("shm")) {
        // Left open in another process, so the log and its index stay behind.
        QProcess holder;
        holder.start(QStringLiteral(STORE_CRASH_CHILD), {QStringLiteral("--fill-log"), path, QStringLiteral("10")});
        QVERIFY(holder.waitForFinished(10000));
        QVERIFY(QFile::exists(path + QStringLiteral("-wal")) && QFile::exists(path + QStringLiteral("-shm")));
    } else {
        query(path, "PRAGMA wal_checkpoint(TRUNCATE)");
    }
    const QString target = what == QLatin1String("readonly") ? dir
        : what == QLatin1String("wal")                       ? path + QStringLiteral("-wal")
        : what == QLatin1String("shm")                       ? path + QStringLiteral("-shm")
                                                             : path;
    const mode_t mode = what == QLatin1String("readonly") ? 0500 : what == QLatin1String("unreadable") ? 0200 : 0400;
    QVERIFY(::chmod(QFile::encodeName(target).constData(), mode) == 0);
    const QStringList before = snapshot(dir);

    StoreLoader loader = openStore(dir);
    QVERIFY(!loader.isReady());
    QVERIFY2(loader.message().contains(expected), qPrintable(loader.message()));
    QCOMPARE(snapshot(dir), before);

    QVERIFY(::chmod(QFile::encodeName(target).constData(), target == dir ? 0700 : 0600) == 0);
    loader = openStore(dir);
    QVERIFY2(loader.isReady(), qPrintable(loader.message()));
    loader.store()->insert(record(QStringLiteral("Saved after the fix")));
    QVERIFY(loader.store()->save());
}

// After a crash that left a large log, another program reading the file (a backup
// tool, an indexer) holds it for a moment each time it opens it; starting then
// waits for it instead of failing with "database is locked".
void StoreTest::busyReaderAtStartUp()
{
    QTemporaryDir temp;
    const QString path = temp.filePath(QStringLiteral("Applywright.sqlite"));
    makeStore(temp.path(), 10);
    QProcess filler;
    filler.start(QStringLiteral(STORE_CRASH_CHILD), {QStringLiteral("--fill-log"), path, QStringLiteral("20000")});
    QVERIFY(filler.waitForFinished(60000));
    QVERIFY(QFileInfo(path + QStringLiteral("-wal")).size() > 20'000'000);

    QProcess reader;
    reader.start(QStringLiteral(STORE_CRASH_CHILD), {QStringLiteral("--read-loop"), path, QStringLiteral("8000")});
    QVERIFY(reader.waitForReadyRead(10000));
    for (int i = 0; i < 6; ++i) {
        StoreLoader loader = openStore(temp.path());
        QVERIFY2(loader.isReady(), qPrintable(QStringLiteral("start %1: %2").arg(i).arg(loader.message())));
        QCOMPARE(loader.store()->count(), 10);
        loader.store()->applications().first()->setNotes(QString::number(i));
        QVERIFY(loader.store()->save());
    }
    reader.kill();
    reader.waitForFinished();
}

void StoreTest::locks_data()
{
    QTest::addColumn<QString>("lock");
    QTest::addColumn<bool>("opens");
    QTest::newRow("held by a running copy") << "live" << false;
    QTest::newRow("left by a copy on another computer") << "otherhost" << true;
    QTest::newRow("a folder with files in its place") << "fullfolder" << true;
    QTest::newRow("a link in its place") << "link" << true;
}

// Only a lock that a running process holds keeps the user out; whatever else sits
// at the lock's path cannot be a live lock and is taken over.
void StoreTest::locks()
{
    QFETCH(QString, lock);
    QFETCH(bool, opens);
    QTemporaryDir temp;
    const QString lockPath = temp.filePath(QStringLiteral("Applywright.lock"));
    const QString elsewhere = temp.filePath(QStringLiteral("elsewhere"));
    QVERIFY(writeFile(elsewhere, "keep me\n"));
    QProcess holder;
    if (lock == QLatin1String("live")) {
        holder.start(QStringLiteral(STORE_CRASH_CHILD), {temp.path()});
        QVERIFY(holder.waitForReadyRead(10000)); // it has opened the store and saved once
    } else if (lock == QLatin1String("otherhost")) {
        QVERIFY(writeFile(lockPath, "4242\nApplywright\nsome-other-laptop\n"));
    } else if (lock == QLatin1String("fullfolder")) {
        QVERIFY(QDir().mkdir(lockPath));
        QVERIFY(writeFile(lockPath + QStringLiteral("/note"), "x"));
    } else if (lock == QLatin1String("link")) {
        QVERIFY(QFile::link(elsewhere, lockPath));
    }

    StoreLoader loader = openStore(temp.path());
    if (!opens) {
        QVERIFY(!loader.isReady());
        QVERIFY2(loader.message().contains(QStringLiteral("already running")), qPrintable(loader.message()));
        QCOMPARE(loader.failure(), StoreLoader::Failure::alreadyRunning);
        holder.kill();
        holder.waitForFinished();
        // Gone with its process: the next start opens.
        loader = openStore(temp.path());
        QVERIFY2(loader.isReady(), qPrintable(loader.message()));
    } else {
        QVERIFY2(loader.isReady(), qPrintable(loader.message()));
    }
    QFile kept(elsewhere);
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), QByteArray("keep me\n"));
    // Held now: a second open of the same folder, in this process too, is refused.
    StoreLoader twice = openStore(temp.path());
    QVERIFY(!twice.isReady());
    QCOMPARE(twice.failure(), StoreLoader::Failure::alreadyRunning);
}

void StoreTest::everyFieldSurvivesReopening()
{
    QTemporaryDir temp;
    FixedClock clock(utc(2025, 3, 7, 14, 5, 9, 120));
    RecordID id = 0;
    QList<FieldValue> written;
    {
        StoreLoader loader = openStore(temp.path());
        QVERIFY(loader.isReady());
        JobApplication* stored
            = loader.store()->insert(std::make_unique<JobApplication>(QStringLiteral("Ötüken Veri A.Ş."),
                QStringLiteral("Kıdemli Geliştirici"), QStringLiteral("kariyer.net/is-ilani/1"), WorkModel::hybrid,
                ApplicationStatus::applied, utc(2025, 3, 1, 9, 0, 0, 7)));
        stored->appendFirstHistoryEntry();
        clock.set(utc(2025, 3, 8, 1, 2, 3, 456));
        stored->changeStatus(ApplicationStatus::rejected);
        stored->setFollowUpDate(utc(2025, 3, 15, 10));
        stored->setRejectedByEmail(true);
        stored->setRejectionReasonRaw(QStringLiteral("somethingNew"));
        stored->setRejectionNote(QStringLiteral("line one\nline two"));
        stored->setHrContactName(QStringLiteral("Ayşe"));
        stored->setHrContactEmail(QStringLiteral("ayse@example.com"));
        stored->setTechInterviewerName(QStringLiteral("Deniz"));
        stored->setTechInterviewerRole(QStringLiteral("Staff Engineer"));
        stored->setExpectedSalary(Decimal::parse("123456789012345678901234567890.123456789"));
        stored->setOfferedSalary(Decimal::parse("12.50075"));
        stored->setCurrencyRaw(QStringLiteral("EUR"));
        stored->setNotes(QStringLiteral("\uFEFFemoji 🎉 and quotes ' \""));
        stored->setFavorite(true);
        stored->setWorkModelRaw(QStringLiteral("spaceStation"));
        QVERIFY(loader.store()->save());
        stored->setUuid(QUuid()); // the all-zero identifier is an identifier too
        id = stored->id();
        for (int field = 0; field < int(JobApplication::Field::history); ++field)
            written.append(stored->value(JobApplication::Field(field)));
        QVERIFY(loader.store()->save());
    }
    StoreLoader loader = openStore(temp.path());
    QVERIFY(loader.isReady());
    const JobApplication* a = loader.store()->application(id);
    QVERIFY(a);
    for (int field = 0; field < int(JobApplication::Field::history); ++field)
        QVERIFY2(a->value(JobApplication::Field(field)) == written.at(field),
            QMetaEnum::fromType<JobApplication::Field>().valueToKey(field));
    QCOMPARE(a->history().size(), 2);
    QCOMPARE(a->history().at(0)->fromRaw(), std::nullopt);
    QCOMPARE(a->history().at(1)->fromRaw(), std::optional<QString>(QStringLiteral("applied")));
    QCOMPARE(a->history().at(1)->toRaw(), QStringLiteral("rejected"));
    QCOMPARE(a->history().at(1)->date(), utc(2025, 3, 8, 1, 2, 3, 456));
    QCOMPARE(a->history().at(1)->application(), a);
    QVERIFY(!loader.store()->hasChanges());
}

void StoreTest::recordsReadInTheBackground()
{
    QTemporaryDir temp;
    {
        StoreLoader loader = openStore(temp.path());
        for (int i = 0; i < 300; ++i) {
            JobApplication* a
                = loader.store()->insert(record(QStringLiteral("Company %1").arg(i), utc(2025, 1, 1).addDays(i)));
            a->appendFirstHistoryEntry();
            a->changeStatus(ApplicationStatus::hrInterview);
        }
        QVERIFY(loader.store()->save());
    }
    {
        // Closed again before anyone looked: the worker's records must not leak or crash.
        StoreLoader abandoned = openStore(temp.path(), StoreLoading::inBackground);
        QVERIFY(abandoned.isReady());
    }
    {
        // Read to the end on the worker before anything asks: the records must come
        // over to the store's thread (an accessor that comes first may run the read itself).
        StoreLoader early = openStore(temp.path(), StoreLoading::inBackground);
        QVERIFY(early.isReady());
        QSignalSpy loaded(early.store(), &Store::loaded);
        QVERIFY(loaded.wait());
        QCOMPARE(early.store()->count(), 300);
        for (JobApplication* a : early.store()->applications())
            QCOMPARE(a->thread(), early.store()->thread());
    }
    StoreLoader loader = openStore(temp.path(), StoreLoading::inBackground);
    QVERIFY(loader.isReady());
    Store& store = *loader.store();
    QSignalSpy loaded(&store, &Store::loaded);
    // The first accessor waits for the read but announces nothing: the signal
    // comes from the read's completion, once, when the event loop runs.
    QCOMPARE(store.count(), 300);
    QVERIFY(store.isLoaded());
    QCOMPARE(loaded.count(), 0);
    QTRY_COMPARE(loaded.count(), 1);
    QCOMPARE(store.applicationsByDate().first()->companyName(), QStringLiteral("Company 299"));
    for (JobApplication* a : store.applications()) {
        QCOMPARE(a->thread(), store.thread());
        QCOMPARE(a->history().size(), 2);
        QCOMPARE(a->history().at(1)->fromRaw(), std::optional<QString>(QStringLiteral("applied")));
    }
    // Identifiers continue after the ones read, and edits are tracked as usual.
    JobApplication* added = store.insert(record(QStringLiteral("Added")));
    for (JobApplication* a : store.applications())
        QVERIFY(a == added || a->id() < added->id());
    store.applications().first()->setNotes(QStringLiteral("edited"));
    QVERIFY(store.save());
    QCoreApplication::processEvents();
    QCOMPARE(loaded.count(), 1);
}

void StoreTest::unreadableRecordsFailTheStore()
{
    QTemporaryDir temp;
    const QString path = temp.filePath(QStringLiteral("Applywright.sqlite"));
    {
        StoreLoader loader = openStore(temp.path());
        loader.store()->insert(record(QStringLiteral("Acme")));
        QVERIFY(loader.store()->save());
    }
    // The version checks pass, but the records cannot be read.
    query(path, "ALTER TABLE JobApplication RENAME TO Lost");
    const QByteArray before = fileHash(path);

    StoreLoader now = openStore(temp.path());
    QVERIFY(!now.isReady());
    QVERIFY2(now.message().contains(QStringLiteral("could not be read")), qPrintable(now.message()));
    now = StoreLoader::failed(QString());

    StoreLoader background = openStore(temp.path(), StoreLoading::inBackground);
    QVERIFY(background.isReady());
    Store& store = *background.store();
    const auto loaded = store.ensureLoaded();
    QVERIFY(!loaded);
    QVERIFY(loaded.error().description().contains(QStringLiteral("could not be read")));
    QCOMPARE(store.count(), 0);
    // Nothing may be written on top of records that could not be read.
    store.insert(record(QStringLiteral("Typed meanwhile")));
    QVERIFY(!store.save());
    background = StoreLoader::failed(QString());
    QCOMPARE(fileHash(path), before);
}

void StoreTest::liveQueryOrderAndNotifications()
{
    QTemporaryDir temp;
    StoreLoader loader = openStore(temp.path());
    Store& store = *loader.store();
    store.setAutosaveDelay(-1);
    QSignalSpy changed(&store, &Store::contentsChanged);

    JobApplication* older = store.insert(record(QStringLiteral("Older"), utc(2025, 1, 1)));
    JobApplication* newer = store.insert(record(QStringLiteral("Newer"), utc(2025, 2, 1)));
    JobApplication* middle = store.insert(record(QStringLiteral("Middle"), utc(2025, 1, 15)));
    QCOMPARE(changed.count(), 3);
    QCOMPARE(store.applicationsByDate(), (QList<JobApplication*> {newer, middle, older}));

    older->setApplicationDate(utc(2025, 3, 1));
    QCOMPARE(changed.count(), 4);
    QCOMPARE(store.applicationsByDate().first(), older);

    older->changeStatus(ApplicationStatus::offer); // several fields and one history entry
    QVERIFY(changed.count() > 5);

    QSignalSpy removed(&store, &Store::applicationRemoved);
    const RecordID middleId = middle->id();
    store.remove(middle);
    QCOMPARE(removed.count(), 1);
    QCOMPARE(removed.first().first().value<RecordID>(), middleId);
    QCOMPARE(store.applicationsByDate(), (QList<JobApplication*> {older, newer}));
    QCOMPARE(store.application(middleId), nullptr);
    QVERIFY(store.hasChanges());
    QVERIFY(store.save());
    QVERIFY(!store.hasChanges());
}

void StoreTest::saveWritesOnlyWhatChanged()
{
    QTemporaryDir temp;
    const QString path = temp.filePath(QStringLiteral("Applywright.sqlite"));
    RecordID editedId = 0;
    {
        StoreLoader loader = openStore(temp.path());
        Store& store = *loader.store();
        for (int i = 0; i < 50; ++i)
            store.insert(record(QStringLiteral("Company %1").arg(i)));
        QVERIFY(store.save());
        editedId = store.applications().at(10)->id();
    }
    // A raw edit behind the store's back: a save that rewrote whole rows would undo it.
    query(path,
        "UPDATE JobApplication SET notes = 'outside' WHERE id <> (SELECT id FROM JobApplication LIMIT 1 OFFSET 10)");
    StoreLoader loader = openStore(temp.path());
    Store& store = *loader.store();
    store.setAutosaveDelay(-1);
    for (JobApplication* a : store.applications()) {
        if (a->id() != editedId)
            a->setNotes(a->notes()); // same value: nothing pending
    }
    QVERIFY(!store.hasChanges());
    JobApplication* edited = store.application(editedId);
    // Stale in-memory notes of the others must not be written back with this save.
    store.applications().at(0)->derivedCache();
    edited->setPosition(QStringLiteral("Principal Engineer"));
    QVERIFY(store.hasChanges());
    QVERIFY(store.save());
    QCOMPARE(query(path, "SELECT count(*) FROM JobApplication WHERE notes = 'outside'"), QStringLiteral("49"));
    QCOMPARE(query(path, "SELECT position FROM JobApplication WHERE position <> 'Engineer'"),
        QStringLiteral("Principal Engineer"));
}

void StoreTest::failedSaveKeepsChangesPending()
{
    QTemporaryDir temp;
    const QString path = temp.filePath(QStringLiteral("Applywright.sqlite"));
    StoreLoader loader = openStore(temp.path());
    Store& store = *loader.store();
    store.setAutosaveDelay(-1);
    JobApplication* kept = store.insert(record(QStringLiteral("Kept")));
    QVERIFY(store.save());

    // The disk refuses one row mid-transaction, the way a full disk would.
    QCOMPARE(query(path,
                 "CREATE TRIGGER refuse BEFORE INSERT ON JobApplication WHEN NEW.companyName = 'Refused' "
                 "BEGIN SELECT RAISE(ABORT, 'disk is full'); END"),
        QString());
    kept->setNotes(QStringLiteral("edited before the failure"));
    JobApplication* refused = store.insert(record(QStringLiteral("Refused")));
    refused->appendHistory(std::make_unique<StatusChange>(std::nullopt, ApplicationStatus::applied, utc(2025, 3, 1)));
    QSignalSpy saved(&store, &Store::saved);
    const auto failed = store.save();
    QVERIFY(!failed);
    QVERIFY2(failed.error().description().contains(QStringLiteral("disk is full")),
        qPrintable(failed.error().description()));
    QVERIFY(store.hasChanges());
    QCOMPARE(saved.count(), 0);
    // Nothing of the failed save reached the file, not even the edit that came first.
    QCOMPARE(query(path, "SELECT notes FROM JobApplication"), QString());
    QCOMPARE(query(path, "SELECT count(*) FROM StatusChange"), QStringLiteral("0"));

    query(path, "DROP TRIGGER refuse");
    QVERIFY(store.save());
    QVERIFY(!store.hasChanges());
    QCOMPARE(saved.count(), 1);
    QCOMPARE(query(path, "SELECT companyName FROM JobApplication ORDER BY id"), QStringLiteral("Kept|Refused"));
    QCOMPARE(query(path, "SELECT notes FROM JobApplication WHERE companyName = 'Kept'"),
        QStringLiteral("edited before the failure"));
    QCOMPARE(query(path, "SELECT toRaw FROM StatusChange"), QStringLiteral("applied"));
}

void StoreTest::deleteCascadesToHistory()
{
    QTemporaryDir temp;
    const QString path = temp.filePath(QStringLiteral("Applywright.sqlite"));
    StoreLoader loader = openStore(temp.path());
    Store& store = *loader.store();
    JobApplication* gone = store.insert(record(QStringLiteral("Gone")));
    JobApplication* stays = store.insert(record(QStringLiteral("Stays")));
    for (JobApplication* a : {gone, stays}) {
        a->appendHistory(std::make_unique<StatusChange>(std::nullopt, ApplicationStatus::applied, utc(2025, 3, 1)));
        a->changeStatus(ApplicationStatus::hrInterview);
    }
    QVERIFY(store.save());
    QCOMPARE(query(path, "SELECT count(*) FROM StatusChange"), QStringLiteral("4"));
    const QString goneId = QString::number(gone->id());

    gone->changeStatus(ApplicationStatus::techInterview); // pending history of a record about to go
    store.remove(gone);
    QVERIFY(store.save());
    QCOMPARE(query(path, "SELECT count(*) FROM StatusChange"), QStringLiteral("2"));
    QCOMPARE(query(path, qPrintable(QStringLiteral("SELECT count(*) FROM StatusChange WHERE application = ") + goneId)),
        QStringLiteral("0"));
    QCOMPARE(query(path, "SELECT companyName FROM JobApplication"), QStringLiteral("Stays"));
    QCOMPARE(query(path, "PRAGMA foreign_key_check"), QString());

    // Inserted and deleted before any save: nothing to write at all.
    JobApplication* fleeting = store.insert(record(QStringLiteral("Fleeting")));
    fleeting->changeStatus(ApplicationStatus::offer);
    store.remove(fleeting);
    QVERIFY(!store.hasChanges());
    QVERIFY(store.save());
    QCOMPARE(query(path, "SELECT count(*) FROM JobApplication"), QStringLiteral("1"));
    QCOMPARE(query(path, "SELECT count(*) FROM StatusChange"), QStringLiteral("2"));
}

// Saved a short while after the first unsaved change, however many changes follow:
// someone who keeps typing is saved while typing.
void StoreTest::autosaveWhileEditingGoesOn()
{
    QTemporaryDir temp;
    const QString path = temp.filePath(QStringLiteral("Applywright.sqlite"));
    StoreLoader loader = openStore(temp.path());
    Store& store = *loader.store();
    QCOMPARE(store.autosaveDelay(), Store::defaultAutosaveDelayMs);
    store.setAutosaveDelay(100);
    QSignalSpy saved(&store, &Store::saved);
    JobApplication* a = store.insert(record(QStringLiteral("Typed")));
    QCOMPARE(saved.count(), 0); // not at once
    // A change every 10 ms for ten times the delay: the edits never pause.
    QString typed;
    QElapsedTimer typing;
    typing.start();
    while (typing.elapsed() < 1000) {
        typed += QLatin1Char('a');
        a->setNotes(typed);
        QTest::qWait(10);
    }
    QVERIFY2(saved.count() >= 2, qPrintable(QString::number(saved.count())));
    QVERIFY(!query(path, "SELECT notes FROM JobApplication").isEmpty());
    QTRY_VERIFY(!store.hasChanges());
    QCOMPARE(query(path, "SELECT notes FROM JobApplication"), typed);
}

void StoreTest::killedWhileSavingLosesNothingSaved()
{
    QTemporaryDir temp;
    const QString path = temp.filePath(QStringLiteral("Applywright.sqlite"));
    auto* random = QRandomGenerator::global();
    long long lastSaved = -1;
    const int kills = 50;
    for (int round = 0; round < kills; ++round) {
        QProcess child;
        child.setProcessChannelMode(QProcess::SeparateChannels);
        child.start(QStringLiteral(STORE_CRASH_CHILD), {temp.path()});
        QVERIFY2(child.waitForStarted(), qPrintable(child.errorString()));
        // Every other round the child dies while still starting up; otherwise it is
        // killed at a random moment after its first save returned, mid-flight.
        QByteArray output;
        if (round % 2 == 0) {
            while (!output.contains("saved ") && child.waitForReadyRead(10000))
                output += child.readAllStandardOutput();
            QVERIFY2(output.contains("saved "), "the child never reported a save");
            QTest::qWait(int(random->bounded(0, 25)));
        } else {
            QThread::usleep(random->bounded(0, 20000));
        }
        ::kill(pid_t(child.processId()), SIGKILL);
        QVERIFY(child.waitForFinished(10000));
        output += child.readAllStandardOutput();
        for (const QByteArray& line : output.split('\n')) {
            if (line.startsWith("saved "))
                lastSaved = std::max(lastSaved, line.mid(6).toLongLong());
        }
        const QByteArray errors = child.readAllStandardError();
        QVERIFY2(errors.isEmpty(), errors.constData());

        // Killed before the first start finished creating the file: there is nothing to check yet.
        if (QFile::exists(path))
            QCOMPARE(query(path, "PRAGMA integrity_check"), QStringLiteral("ok"));
        StoreLoader loader = openStore(temp.path());
        QVERIFY2(loader.isReady(), qPrintable(loader.message()));
        JobApplication* counter = nullptr;
        QSet<QString> companies;
        for (JobApplication* a : loader.store()->applications()) {
            companies.insert(a->companyName());
            if (a->companyName() == QLatin1String("counter"))
                counter = a;
        }
        if (lastSaved < 0)
            continue; // killed before its first save returned
        QVERIFY(counter);
        const long long stored = counter->notes().toLongLong();
        // Everything reported saved is there; at most the one save in flight went further.
        QVERIFY2(stored == lastSaved || stored == lastSaved + 1,
            qPrintable(QStringLiteral("stored %1, reported %2").arg(stored).arg(lastSaved)));
        QVERIFY(companies.contains(QStringLiteral("record %1").arg(stored)));
        for (JobApplication* a : loader.store()->applications()) {
            if (a->companyName() == QStringLiteral("record %1").arg(stored)) {
                QCOMPARE(a->history().size(), 1);
                QCOMPARE(a->statusRaw(), QStringLiteral("hrInterview"));
            }
        }
        lastSaved = stored;
    }
    qInfo("%d kills, %lld saves confirmed", kills, lastSaved + 1);
    QVERIFY2(lastSaved + 1 >= kills / 2, "every other round must have saved at least once");
}

QTEST_GUILESS_MAIN(StoreTest)
#include "tst_store.moc"
