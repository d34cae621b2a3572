#include "SqliteSupport.h"
#include "TestSupport.h"
#include "Unprivileged.h"

#include "model/ApplicationEdits.h"
#include "model/JobApplication.h"
#include "store/Store.h"
#include "store/StoreLoader.h"
#include "store/StoreSchema.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QUndoStack>
#include <QtEndian>

#include <csignal>
#include <functional>
#include <sqlite3.h>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>

using namespace TestSupport;
using namespace Qt::StringLiterals;

#define VERIFY_READY(loader) QVERIFY2((loader).isReady(), qPrintable((loader).message()))
#define VERIFY_CONTAINS(text, part) QVERIFY2((text).contains(part), qPrintable(text))

namespace {

const auto databaseIn = [](const QString& dir) -> QString { return dir + u"/Applywright.sqlite"_s; };

// Folds the log into the file.
void checkpoint(const QString& path)
{
    query(path, "PRAGMA wal_checkpoint(TRUNCATE)");
}

std::unique_ptr<JobApplication> record(const QString& company, const QDateTime& applied = utc(2025, 3, 1))
{
    return std::make_unique<JobApplication>(
        company, u"Engineer"_s, QString(), WorkModel::remote, ApplicationStatus::applied, applied);
}

// A store with `count` records a day apart, of three history entries each, closed again, its log copied into the file.
void makeStore(const QString& directory, int count)
{
    StoreLoader loader = openStore(directory);
    VERIFY_READY(loader);
    for (int i = 0; i < count; ++i) {
        JobApplication* a
            = loader.store()->insert(ApplicationBuilder(record(u"Company %1"_s.arg(i), utc(2025, 1, 1).addDays(i)))
                                         .appendFirstHistoryEntry()
                                         .build());
        ApplicationEdits edits;
        edits.changeStatus(*a, ApplicationStatus::hrInterview);
        edits.changeStatus(*a, ApplicationStatus::techInterview);
    }
    QVERIFY(loader.store()->save());
}

// Opens the store in `dir`, expects `count` records, saves one more and closes it again: the file must then be whole.
void reopenAndAdd(const QString& dir, int count, const QString& company = u"after"_s)
{
    {
        StoreLoader loader = openStore(dir);
        VERIFY_READY(loader);
        QCOMPARE(loader.store()->count(), count);
        loader.store()->insert(record(company));
        QVERIFY(loader.store()->save());
    }
    QCOMPARE(query(databaseIn(dir), "PRAGMA integrity_check"), u"ok"_s);
}

mode_t modeOf(const QString& path)
{
    struct stat status { };
    ::stat(QFile::encodeName(path).constData(), &status);
    return status.st_mode & 0777;
}

// Opens `dir` expecting a refusal whose message holds each of `parts` and fits a few lines, the folder left exactly as
// it was.
StoreLoader refusedOpen(const QString& dir, const QStringList& parts)
{
    const QStringList before = snapshot(dir);
    StoreLoader loader = openStore(dir);
    [&] {
        for (const QString& part : parts)
            VERIFY_CONTAINS(loader.message(), part);
        QVERIFY2(loader.message().size() < 500, qPrintable(loader.message().left(500)));
        QCOMPARE(snapshot(dir), before);
    }();
    return loader;
}

QByteArray bigEndian(quint32 value)
{
    const quint32 big = qToBigEndian(value);
    return QByteArray(reinterpret_cast<const char*>(&big), sizeof big);
}

// A rollback journal as SQLite writes one: a header padded to a 4096-byte sector, then the saved page with its number
// and checksum.
QByteArray journal(quint32 originalPages, const QByteArray& page)
{
    const quint32 nonce = 0x1234567;
    quint32 checksum = nonce;
    for (int i = int(page.size()) - 200; i > 0; i -= 200)
        checksum += uchar(page.at(i));
    QByteArray header = QByteArray("\xd9\xd5\x05\xf9\x20\xa1\x63\xd7", 8) + bigEndian(1) + bigEndian(nonce)
        + bigEndian(originalPages) + bigEndian(4096) + bigEndian(quint32(page.size()));
    header.resize(4096, '\0');
    return header + bigEndian(1) + page + bigEndian(checksum);
}

// The first `pages` pages of a database file.
QByteArray pagesOf(const QString& path, int pages = 1)
{
    return readFile(path).left(qint64(pages) * 4096);
}

// A folder of its own; given a count, holding a closed store of that many records, its log folded into the file.
struct Folder {
    explicit Folder(int count = -1)
    {
        if (count < 0)
            return;
        makeStore(dir, count);
        checkpoint(path);
    }
    // Opens the store, to be saved only when asked.
    Store& open()
    {
        loader = openStore(dir);
        loader.store()->setAutosaveDelay(-1);
        return *loader.store();
    }
    QTemporaryDir temp;
    const QString dir = temp.path();
    const QString path = databaseIn(dir);
    StoreLoader loader = StoreLoader::failed(QString());
};

} // namespace

using Setup = std::function<void(const QString& path)>;
Q_DECLARE_METATYPE(Setup)
Q_DECLARE_METATYPE(StoreLoading)

class StoreTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { useTimeZone("Europe/Istanbul"); }

    void newStoreAndFolderPermissions_data()
    {
        QTest::addColumn<int>("umask");
        QTest::addColumn<bool>("folderExists");
        QTest::newRow("umask 000, new folder") << 000 << false;
        QTest::newRow("umask 022, folder open to all") << 022 << true;
    }

    void newStoreAndFolderPermissions()
    {
        QFETCH(int, umask);
        QFETCH(bool, folderExists);
        QTemporaryDir temp;
        const QString dir = temp.filePath(u"nested/Applywright"_s);
        if (folderExists)
            QVERIFY(QDir().mkpath(dir) && ::chmod(QFile::encodeName(dir).constData(), 0777) == 0);
        const mode_t previous = ::umask(mode_t(umask));
        StoreLoader loader = openStore(dir);
        ::umask(previous);
        VERIFY_READY(loader);
        QCOMPARE(loader.store()->count(), 0);
        const QString path = loader.store()->databasePath();
        // The folder and every file in it belong to the owner alone, whatever the umask: the lock, the database and its
        // log, nothing half-made and no journal.
        QStringList modes {u". %1"_s.arg(modeOf(dir), 0, 8)};
        for (const QString& name : QDir(dir).entryList(QDir::Files | QDir::Hidden))
            modes << name + u" %1"_s.arg(modeOf(QDir(dir).filePath(name)), 0, 8);
        QCOMPARE(modes.join(u", "_s),
            u". 700, Applywright.lock 600, Applywright.sqlite 600, Applywright.sqlite-shm 600, Applywright.sqlite-wal 600"_s);
        QCOMPARE(query(path, "SELECT value FROM Metadata WHERE key = 'schemaVersion'"), u"1.0.0"_s);
    }

    // Killed at any moment of its very first start, the program leaves either no database (the next start begins again)
    // or a whole one that the next start opens: never a half-made file and never a journal that locks it.
    void firstStartKilledAtAnyMoment()
    {
        QTemporaryDir temp;
        QElapsedTimer timer;
        qint64 whole = 0; // how long a whole first start takes here, process start included
        const int rounds = 120;
        int created = 0;
        for (int round = -3; round < rounds; ++round) { // the first three measure
            const QString dir = temp.filePath(u"round%1"_s.arg(round));
            QProcess child;
            timer.start();
            child.start(QStringLiteral(STORE_CRASH_CHILD), {u"--first-start"_s, dir});
            QVERIFY(child.waitForStarted());
            if (round < 0) {
                QVERIFY(child.waitForFinished(10000));
                whole = std::max(whole, timer.nsecsElapsed() / 1000);
                QCOMPARE(child.readAllStandardOutput(), QByteArray("opened\n"));
                continue;
            }
            // Evenly over the whole start, from the process's own start-up to its exit.
            const qint64 at = whole * round / rounds;
            while (timer.nsecsElapsed() / 1000 < at && child.state() == QProcess::Running)
                QThread::usleep(200);
            ::kill(pid_t(child.processId()), SIGKILL);
            QVERIFY(child.waitForFinished(10000));
            QVERIFY2(!QFile::exists(databaseIn(dir) + u"-journal"_s), qPrintable(QString::number(at)));
            created += QFile::exists(databaseIn(dir)) ? 1 : 0;
            reopenAndAdd(dir, 0, u"after the kill"_s);
            QCOMPARE(query(databaseIn(dir), "SELECT companyName FROM JobApplication"), u"after the kill"_s);
        }
        qInfo("%d of %d starts had made the database when killed (a whole start: %lld µs)", created, rounds, whole);
    }

    void refusedFilesStayUntouched_data()
    {
        QTest::addColumn<Setup>("setup"); // makes the folder's database file
        QTest::addColumn<QStringList>("expected"); // fragments of the message
        const auto row = [](const char* name, const QStringList& message, const Setup& setup) {
            QTest::newRow(name) << setup << message;
        };
        const auto write = [](const QByteArray& bytes, const QString& suffix = QString()) {
            return [=](const QString& path) { QVERIFY(writeFile(path + suffix, bytes)); };
        };
        // A real store, then altered the way an incompatible build, or damage, would.
        const auto altered = [](const char* sql, const std::function<void(QFile&)>& damage = {}) {
            return [=](const QString& path) {
                makeStore(QFileInfo(path).path(), 40);
                query(path, sql);
                checkpoint(path); // and no log or index left beside it
                QFile::remove(path + u"-wal"_s);
                QFile::remove(path + u"-shm"_s);
                QFile file(path);
                QVERIFY(file.open(QIODevice::ReadWrite));
                if (damage)
                    damage(file);
            };
        };
        row("garbage", {"not an SQLite file"},
            write("this is not a database, just some text that happens to be here\n"));
        row("other program's database", {"another program"}, [](const QString& path) {
            QVERIFY(execute(path, "PRAGMA journal_mode = WAL; CREATE TABLE notes(x); INSERT INTO notes VALUES (1);"));
        });
        row("older schema", {"uses data format 0.9.0"},
            altered("UPDATE Metadata SET value = '0.9.0' WHERE key = 'schemaVersion'"));
        row("a version of 5 MB", {"uses data format 7777", "…, but"},
            altered("UPDATE Metadata SET value = replace(hex(zeroblob(2500000)), '0', '7')"));
        row("no version", {"no data format version"}, altered("DELETE FROM Metadata"));
        row("truncated database", {"is damaged"}, altered("", [](QFile& file) { file.resize(2 * 4096); }));
        row("zeroed header", {"is damaged: its first bytes are zeroed"},
            altered("", [](QFile& file) { file.write(QByteArray(100, '\0')); }));
        // The table list on page 1, past the file header.
        row("damaged schema page", {"is damaged"},
            altered("", [](QFile& file) { file.seek(3000) && file.write(QByteArray(1000, '\x5a')); }));
        row("empty file with a full log", {"is empty, but"}, [altered](const QString& path) {
            // The database emptied by some accident, its newest records still in the log.
            altered("")(path);
            QVERIFY(writeFile(path + u"-wal"_s, pagesOf(path, 3)));
            QVERIFY(writeFile(path, QByteArray()));
        });
        row("empty file", {"is empty (0 bytes)"}, write(QByteArray()));
        row("log without its database", {"is missing, but"}, write(QByteArray(4096, 'x'), u"-wal"_s));
        row("a folder in its place", {"it is a folder"}, [](const QString& path) { QVERIFY(QDir().mkdir(path)); });
        row("a named pipe in its place", {"it is a named pipe"},
            [](const QString& path) { QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0600) == 0); });
        row("a link to a disk that is not there", {"which cannot be reached"}, [](const QString& path) {
            QVERIFY(QFile::link(u"/nonexistent-disk/Applywright/Applywright.sqlite"_s, path));
        });
        // A journal beside a real store that does not belong to it: replaying it would cut records away. Nor can one
        // without the journal's mark be passed over: SQLite would not read the file until it was rolled back.
        const auto besideAStore = [](const std::function<QByteArray(const QString& path)>& journalFor) {
            return [=](const QString& path) {
                makeStore(QFileInfo(path).path(), 40);
                checkpoint(path);
                QVERIFY(writeFile(path + u"-journal"_s, journalFor(path)));
            };
        };
        row("journal of a change that grew the file", {"-journal", "Move it out"},
            besideAStore([](const QString& path) {
                return journal(quint32(QFileInfo(path).size() / 4096) - 2, pagesOf(path));
            }));
        row("journal of random bytes", {"-journal", "Move it out"}, besideAStore([](const QString&) {
            QByteArray noise(8192, '\0');
            QRandomGenerator(21).fillRange(reinterpret_cast<quint32*>(noise.data()), noise.size() / 4);
            noise[0] = '\x7f';
            return noise;
        }));
    }

    // Only a folder with no database and no side file gets a new store. Everything else that is not a readable store is
    // refused with a message naming the file and the cause, and the folder is left exactly as it was: no file written,
    // replaced or removed, and no log or index created beside a refused file.
    void refusedFilesStayUntouched()
    {
        QFETCH(Setup, setup);
        QFETCH(QStringList, expected);
        const Folder folder;
        setup(folder.path);
        QCOMPARE(refusedOpen(folder.dir, expected << folder.path).failure(), StoreLoader::Failure::other);
    }

    // A journal an older build left when killed while switching a new file to WAL is replayed and removed; one without
    // its mark holds nothing and is left as it is.
    void journalBesideTheStoreIsReplayed()
    {
        for (const bool marked : {true, false}) {
            const Folder folder(40);
            const QString& path = folder.path;
            QByteArray firstPage = pagesOf(path);
            firstPage[18] = firstPage[19] = 1; // the page as it was before the switch: rollback mode
            QByteArray bytes = journal(quint32(QFileInfo(path).size() / 4096), firstPage);
            if (!marked)
                bytes.replace(0, 8, QByteArray(8, '\0'));
            QVERIFY(writeFile(path + u"-journal"_s, bytes));
            reopenAndAdd(folder.dir, 40);
            QCOMPARE(QFile::exists(path + u"-journal"_s), !marked);
            QCOMPARE(query(path, "PRAGMA journal_mode"), u"wal"_s);
            QCOMPARE(query(path, "SELECT count(*) FROM JobApplication"), u"41"_s);
        }
    }

    void damagedRecordsAreNeverWritten_data()
    {
        QTest::addColumn<QByteArray>("object"); // empty: the records' table renamed away
        QTest::addColumn<StoreLoading>("loading");
        // The records were shown (and edited) before the check of the file came back.
        QTest::addColumn<bool>("shownFirst");
        QTest::addColumn<bool>("rollbackJournal"); // a file without a log, as other tools leave one
        QTest::addColumn<QString>("expected");
        for (const auto& [loading, shownFirst, when] : {std::tuple(StoreLoading::now, false, "read at once"),
                 std::tuple(StoreLoading::inBackground, false, "read in the background"),
                 std::tuple(StoreLoading::inBackground, true, "shown before the check")}) {
            for (const char* object :
                {"StatusChange", "StatusChangeByApplication", "JobApplication", "JobApplicationNewestFirst"})
                QTest::addRow("%s, %s", object, when)
                    << QByteArray(object) << loading << shownFirst << false << u"is damaged"_s;
            QTest::addRow("StatusChange without a log, %s", when)
                << QByteArray("StatusChange") << loading << shownFirst << true << u"is damaged"_s;
            QTest::addRow("unreadable records, %s", when)
                << QByteArray() << loading << shownFirst << false << u"could not be read"_s;
        }
    }

    // Damage that every read of the records passes over (a leaf page's free-space count) is still damage: the file
    // fails SQLite's check, and nothing may be committed into it. Nor into a file whose versions check out but whose
    // records cannot be read. Refused means untouched: not even switched to a log, and no side file made.
    void damagedRecordsAreNeverWritten()
    {
        QFETCH(QByteArray, object);
        QFETCH(StoreLoading, loading);
        QFETCH(bool, shownFirst);
        QFETCH(bool, rollbackJournal);
        QFETCH(QString, expected);
        const Folder folder(300);
        const QString& path = folder.path;
        if (rollbackJournal)
            QCOMPARE(query(path, "PRAGMA journal_mode = DELETE"), u"delete"_s);
        if (object.isEmpty()) {
            query(path, "ALTER TABLE JobApplication RENAME TO Lost");
        } else {
            QVERIFY(TestSupport::damageLastLeaf(path, object));
            QCOMPARE(query(path, "SELECT count(*) FROM StatusChange"), u"900"_s);
        }
        const QStringList before = snapshot(folder.dir);
        {
            StoreLoader loader = openStore(folder.dir, loading);
            if (loading == StoreLoading::inBackground) {
                // Opened at once so the window paints; the check follows the read.
                QVERIFY(loader.isReady());
                Store& store = *loader.store();
                QSignalSpy checked(&store, &Store::checked);
                QSignalSpy taken(&store, &Store::applicationsTaken);
                if (shownFirst) {
                    QVERIFY(QSignalSpy(&store, &Store::loaded).wait());
                    // A read that passes over the damage shows the rows; what is typed then must not reach the file.
                    QCOMPARE(store.count(), object.isEmpty() ? 0 : 300);
                    if (!object.isEmpty())
                        ApplicationEdits().edit<ApplicationField::notes>(*store.applications().first(), u"typed"_s);
                    QTRY_COMPARE(checked.count(), 1);
                    // The rows shown go again, announced once.
                    QCOMPARE(taken.count(), object.isEmpty() ? 0 : 1);
                }
                const auto loaded = loader.store()->ensureLoaded();
                QVERIFY(!loaded);
                VERIFY_CONTAINS(loaded.error().description(), expected);
                QCOMPARE(loader.store()->count(), 0);
                // Nothing is written, and the reason given is the file's, not a collision of identifiers that the write
                // would run into.
                loader.store()->insert(record(u"Typed meanwhile"_s));
                const auto saved = loader.store()->save();
                QVERIFY(!saved);
                VERIFY_CONTAINS(saved.error().description(), expected);
            } else {
                VERIFY_CONTAINS(loader.message(), expected);
                if (!object.isEmpty())
                    VERIFY_CONTAINS(loader.message(), path);
            }
        }
        QCOMPARE(snapshot(folder.dir), before);
    }

    // A first start that cannot make the store says why and leaves nothing half-made.
    void firstStartThatCannotCreate()
    {
        QTemporaryDir temp;
        // A path under a regular file can never become a folder, whoever runs the test.
        QVERIFY(writeFile(temp.filePath(u"file"_s), QByteArray()));
        StoreLoader blocked = openStore(temp.filePath(u"file/Applywright"_s));
        VERIFY_CONTAINS(blocked.message(), u"could not be created"_s);

        const QString dir = temp.filePath(u"Applywright"_s);
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"LD_PRELOAD"_s, QStringLiteral(FULL_DISK_LIBRARY));
        // In a sanitizer build the shim is loaded before the sanitizer's runtime, which it allows when told.
        environment.insert(u"ASAN_OPTIONS"_s, u"verify_asan_link_order=0"_s);
        child.setProcessEnvironment(environment);
        child.start(QStringLiteral(STORE_CRASH_CHILD), {u"--first-start"_s, dir});
        QVERIFY(child.waitForFinished(10000));
        const QString output = QString::fromUtf8(child.readAllStandardOutput());
        QVERIFY2(output.startsWith(u"failed "_s) && output.contains(u"The disk is full"_s) && output.contains(dir),
            qPrintable(output));
        QCOMPARE(QDir(dir).entryList(QDir::Files), QStringList());
        reopenAndAdd(dir, 0);
    }

    void permissionFailures_data()
    {
        QTest::addColumn<QString>("target"); // appended to the database's path; "/" for the folder
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("expected");
        QTest::newRow("unreadable file") << "" << 0200 << "could not be read";
        QTest::newRow("write-protected file") << "" << 0400 << "cannot be written to, so changes could not be saved";
        QTest::newRow("write-protected log") << "-wal" << 0400 << "-wal” cannot be written to";
        QTest::newRow("write-protected log index") << "-shm" << 0400 << "-shm” cannot be written to";
        QTest::newRow("read-only data folder") << "/" << 0500 << "cannot be written to";
    }

    // A store whose database, log or log index cannot be written is refused at opening, before any side file is made
    // (SQLite would give a new log the database's mode, so a refused read-only file would get a read-only log that
    // outlives the refusal). Once the cause is fixed, the store opens and saves.
    void permissionFailures()
    {
        if (!runsUnprivileged())
            return;
        QFETCH(QString, target);
        QFETCH(int, mode);
        QFETCH(QString, expected);
        const Folder folder(3);
        const QString& dir = folder.dir;
        const QString& path = folder.path;
        if (target.startsWith(u'-')) {
            // Left open in another process, so the log and its index stay behind.
            QProcess holder;
            holder.start(QStringLiteral(STORE_CRASH_CHILD), {u"--fill-log"_s, path, u"10"_s});
            QVERIFY(holder.waitForFinished(10000));
            QVERIFY(QFile::exists(path + u"-wal"_s) && QFile::exists(path + u"-shm"_s));
        }
        const QByteArray file = QFile::encodeName(target == u"/" ? dir : path + target);
        QVERIFY(::chmod(file.constData(), mode_t(mode)) == 0);
        refusedOpen(dir, {expected});
        QVERIFY(::chmod(file.constData(), target == u"/" ? 0700 : 0600) == 0);
        reopenAndAdd(dir, 3);
    }

    // After a crash that left a large log, another program reading the file (a backup tool, an indexer) holds it for a
    // moment each time it opens it; starting then waits for it instead of failing with "database is locked".
    void busyReaderAtStartUp()
    {
        const Folder folder(10);
        const QString& path = folder.path;
        QProcess filler;
        filler.start(QStringLiteral(STORE_CRASH_CHILD), {u"--fill-log"_s, path, u"20000"_s});
        QVERIFY(filler.waitForFinished(60000));
        QVERIFY(QFileInfo(path + u"-wal"_s).size() > 20'000'000);
        QProcess reader;
        reader.start(QStringLiteral(STORE_CRASH_CHILD), {u"--read-loop"_s, path, u"8000"_s});
        QVERIFY(reader.waitForReadyRead(10000));
        for (int i = 0; i < 6; ++i)
            reopenAndAdd(folder.dir, 10 + i, QString::number(i));
        reader.kill();
        reader.waitForFinished();
    }

    void locks_data()
    {
        QTest::addColumn<Setup>("setup"); // given the lock's path; none: a running copy holds it
        const auto row = [](const char* name, const Setup& setup) { QTest::newRow(name) << setup; };
        row("held by a running copy", {});
        row("left by a copy on another computer",
            [](const QString& lock) { QVERIFY(writeFile(lock, "4242\nApplywright\nsome-other-laptop\n")); });
        row("a folder with files in its place",
            [](const QString& lock) { QVERIFY(QDir().mkdir(lock) && writeFile(lock + u"/note"_s, "x")); });
        row("a link in its place",
            [](const QString& lock) { QVERIFY(QFile::link(QFileInfo(lock).dir().filePath(u"elsewhere"_s), lock)); });
    }

    // Only a lock that a running process holds keeps the user out; whatever else sits at the lock's path cannot be a
    // live lock and is taken over.
    void locks()
    {
        QFETCH(Setup, setup);
        const bool opens = bool(setup);
        QTemporaryDir temp;
        const QString elsewhere = temp.filePath(u"elsewhere"_s);
        QVERIFY(writeFile(elsewhere, "keep me\n"));
        QProcess holder;
        if (opens) {
            setup(temp.filePath(u"Applywright.lock"_s));
        } else {
            holder.start(QStringLiteral(STORE_CRASH_CHILD), {temp.path()});
            QVERIFY(holder.waitForReadyRead(10000)); // it has opened the store and saved once
        }
        StoreLoader loader = openStore(temp.path());
        if (!opens) {
            VERIFY_CONTAINS(loader.message(), u"already running"_s);
            QCOMPARE(loader.failure(), StoreLoader::Failure::alreadyRunning);
            holder.kill();
            holder.waitForFinished();
            loader = openStore(temp.path()); // gone with its process: the next start opens
        }
        VERIFY_READY(loader);
        QCOMPARE(pagesOf(elsewhere), QByteArray("keep me\n"));
        // Held now: a second open of the same folder, in this process too, is refused.
        QCOMPARE(openStore(temp.path()).failure(), StoreLoader::Failure::alreadyRunning);
    }

    void recordsReadInTheBackground()
    {
        const Folder folder(300);
        query(folder.path, "UPDATE JobApplication SET workModelRaw = 'ufo' WHERE id = 299");
        // The newest records are not the last written, and tie: in identifier order.
        query(folder.path, "UPDATE JobApplication SET applicationDate = 4102444800000 WHERE id % 3 = 0");
        // Closed again before anyone looked: the worker's records must not leak or crash.
        QVERIFY(openStore(folder.dir, StoreLoading::inBackground).isReady());
        {
            // Read to the end on the worker before anything asks (an accessor that comes first may run the read
            // itself). The newest come first, for the window's top rows, and are the same objects once the rest are in.
            StoreLoader early = openStore(folder.dir, StoreLoading::inBackground);
            QVERIFY(early.isReady());
            QList<JobApplication*> first; // both announcements may come in one turn of the event loop
            connect(early.store(), &Store::firstApplicationsRead, this,
                [&] { first = early.store()->firstApplications(); });
            QVERIFY(QSignalSpy(early.store(), &Store::loaded).wait());
            QCOMPARE(early.store()->count(), 300);
            QCOMPARE(first, early.store()->applicationsByDate().mid(0, Store::firstReadCount));
        }
        StoreLoader loader = openStore(folder.dir, StoreLoading::inBackground);
        QVERIFY(loader.isReady());
        Store& store = *loader.store();
        QSignalSpy loaded(&store, &Store::loaded);
        // The first accessor waits for the read but announces nothing: the signal comes from the read's completion,
        // once, when the event loop runs.
        QCOMPARE(store.count(), 300);
        QVERIFY(store.isLoaded());
        QCOMPARE(loaded.count(), 0);
        QTRY_COMPARE(loaded.count(), 1);
        QCOMPARE(store.applicationsByDate().first()->id(), 3);
        for (JobApplication* a : store.applications()) {
            QCOMPARE(a->history().size(), 3);
            QCOMPARE(a->history().at(1)->fromRaw(), std::optional(u"applied"_s));
            QCOMPARE(a->history().at(1)->application(), a);
        }
        // What records have in common is one string in memory; a value of no known kind is kept as it was stored.
        const JobApplication* first = store.applications().first();
        const JobApplication* last = store.applications().last();
        QCOMPARE(first->position().constData(), last->position().constData());
        QCOMPARE(first->statusRaw().constData(), rawValue(ApplicationStatus::techInterview).constData());
        QCOMPARE(first->history().at(2)->toRaw().constData(), last->history().at(2)->toRaw().constData());
        QVERIFY(first->companyName().constData() != last->companyName().constData());
        QCOMPARE(store.application(last->id() - 1)->workModelRaw(), u"ufo"_s);
        // Identifiers continue after the ones read, and edits are tracked as usual.
        JobApplication* added = store.insert(record(u"Added"_s));
        for (JobApplication* a : store.applications())
            QVERIFY(a == added || a->id() < added->id());
        ApplicationEdits().edit<ApplicationField::notes>(*store.applications().first(), u"edited"_s);
        QVERIFY(store.save());
        QCoreApplication::processEvents();
        QCOMPARE(loaded.count(), 1);
    }

    void newestRecordsAreFoundThroughAnIndex_data()
    {
        QTest::addColumn<bool>("older");
        QTest::newRow("a new file") << false;
        QTest::newRow("a file written before the index") << true;
    }

    // The window's first rows are looked up in an index, not sorted out of the whole table; a file written before
    // the index is read the long way, the same records, and has the index from its next save.
    void newestRecordsAreFoundThroughAnIndex()
    {
        QFETCH(bool, older);
        const Folder folder(300);
        query(folder.path, "UPDATE JobApplication SET applicationDate = 4102444800000 WHERE id % 3 = 0");
        if (older)
            QVERIFY(execute(folder.path, "DROP INDEX JobApplicationNewestFirst"));
        // SQLite's plan for the first read: each step's description (the plan's fourth column).
        const QByteArray firstRead = "EXPLAIN QUERY PLAN SELECT id FROM JobApplication ORDER BY "
            + QByteArray(StoreSchema::newestFirst) + " LIMIT " + QByteArray::number(Store::firstReadCount);
        const auto plan = [&] { return query(folder.path, firstRead.constData(), SQLITE_OPEN_READONLY, 3); };
        const QString byIndex = u"SCAN JobApplication USING COVERING INDEX JobApplicationNewestFirst"_s;
        QCOMPARE(plan() == byIndex, !older);

        StoreLoader loader = openStore(folder.dir, StoreLoading::inBackground);
        QVERIFY(loader.isReady());
        Store& store = *loader.store();
        store.setAutosaveDelay(-1);
        QList<JobApplication*> first;
        connect(&store, &Store::firstApplicationsRead, this, [&] { first = store.firstApplications(); });
        QVERIFY(QSignalSpy(&store, &Store::loaded).wait());
        QCOMPARE(first, store.applicationsByDate().mid(0, Store::firstReadCount));
        ApplicationEdits().edit<ApplicationField::notes>(*store.applications().first(), u"edited"_s);
        QVERIFY(store.save());
        QCOMPARE(plan(), byIndex);
    }

    // Opened for a window, the store reads nothing until asked (the window asks as it draws its first frame), then
    // its newest records and the rest; whatever needs every record asks too, and so does closing the store.
    void readWhenAsked()
    {
        const Folder folder(300);
        // Closed while the read waits: nothing hangs or leaks.
        QVERIFY(openStore(folder.dir, StoreLoading::withFirstFrame).isReady());
        {
            StoreLoader loader = openStore(folder.dir, StoreLoading::withFirstFrame);
            Store& store = *loader.store();
            QList<qsizetype> firstShown;
            connect(&store, &Store::firstApplicationsRead, this,
                [&] { firstShown.append(store.firstApplications().size()); });
            QSignalSpy loaded(&store, &Store::loaded);
            QTest::qWait(100); // far below the limit after which it reads them anyway
            QCOMPARE(firstShown.size() + loaded.count(), 0);
            QVERIFY(!store.isLoaded());
            store.beginReading();
            QVERIFY(loaded.wait());
            QCOMPARE(firstShown, QList<qsizetype> {Store::firstReadCount});
            QCOMPARE(store.count(), 300);
        }
        // An accessor does not wait for a window; nothing runs the event loop here.
        StoreLoader loader = openStore(folder.dir, StoreLoading::withFirstFrame);
        QCOMPARE(loader.store()->count(), 300);
        QCOMPARE(loader.store()->application(299)->history().size(), 3);
    }

    void changeBeforeTheRestIsRead_data()
    {
        QTest::addColumn<bool>("damaged");
        QTest::newRow("sound") << false;
        QTest::newRow("history damaged beyond the newest records") << true;
    }

    // A change to a record shown before the rest are read waits for them: it is saved like any other (its history
    // entry takes an identifier no entry read later has), or, when the rest are damaged, it goes with the rows shown
    // and the file is refused for its damage, exactly as it was.
    void changeBeforeTheRestIsRead()
    {
        QFETCH(bool, damaged);
        const Folder folder(300);
        if (damaged) {
            // The newest records are now the first written: their history lies before the last page, which breaks.
            query(folder.path, "UPDATE JobApplication SET applicationDate = -applicationDate");
            checkpoint(folder.path);
            QVERIFY(TestSupport::damageLastLeaf(folder.path, "StatusChange", 0, '\0'));
        }
        const QStringList before = snapshot(folder.dir);
        {
            StoreLoader loader = openStore(folder.dir, StoreLoading::inBackground);
            Store& store = *loader.store();
            QSignalSpy shown(&store, &Store::firstApplicationsRead);
            connect(&store, &Store::firstApplicationsRead, this, [&store] {
                ApplicationEdits().changeStatus(*store.firstApplications().first(), ApplicationStatus::offer);
                QVERIFY(store.isLoaded() && store.firstApplications().isEmpty());
            });
            QVERIFY(QSignalSpy(&store, &Store::checked).wait());
            QCOMPARE(shown.count(), 1);
            const auto saved = store.save();
            QCOMPARE(saved.hasValue(), !damaged);
            if (damaged)
                VERIFY_CONTAINS(saved.error().description(), u"is damaged"_s);
        }
        if (damaged)
            QCOMPARE(snapshot(folder.dir), before);
        else
            QCOMPARE(query(folder.path, "SELECT count(*) FROM StatusChange WHERE toRaw = 'offer'"), u"1"_s);
    }

    void liveQueryOrderAndRemoval()
    {
        Folder folder;
        Store& store = folder.open();
        // What reached the disk: each record with its number of history rows, then all history rows.
        const auto onDisk = [&folder]() -> QString {
            return query(folder.path,
                       "SELECT companyName || ' ' || (SELECT count(*) FROM StatusChange WHERE application = a.id) "
                       "FROM JobApplication a ORDER BY id")
                + u" / "_s + query(folder.path, "SELECT count(*) FROM StatusChange");
        };
        QSignalSpy changed(&store, &Store::contentsChanged);
        JobApplication* older = store.insert(record(u"Older"_s, utc(2025, 1, 1)));
        JobApplication* newer = store.insert(record(u"Newer"_s, utc(2025, 2, 1)));
        JobApplication* middle = store.insert(record(u"Middle"_s, utc(2025, 1, 15)));
        QCOMPARE(changed.count(), 3);
        QCOMPARE(store.applicationsByDate(), (QList<JobApplication*> {newer, middle, older}));
        ApplicationEdits edits;
        edits.edit<ApplicationField::applicationDate>(*older, utc(2025, 3, 1));
        QVERIFY(changed.count() > 3); // the date (and its stamp, unless in the same millisecond)
        QCOMPARE(store.applicationsByDate().first(), older);
        for (JobApplication* a : {older, middle}) {
            edits.changeStatus(*a, ApplicationStatus::hrInterview);
            edits.changeStatus(*a, ApplicationStatus::techInterview);
        }
        QVERIFY(changed.count() > 5); // several fields and history entries
        QVERIFY(store.save());
        QCOMPARE(onDisk(), u"Older 2|Newer 0|Middle 2 / 4"_s);

        // Removed with its history, pending entries included.
        QSignalSpy removed(&store, &Store::applicationRemoved);
        const RecordID middleId = middle->id();
        edits.changeStatus(*middle, ApplicationStatus::offer);
        const RecordPointer followed(middle);
        store.remove(middle);
        // Gone once the event loop runs, not before: a view still in the call that removed it may finish with it.
        QCOMPARE(followed->id(), middleId);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!followed);
        QCOMPARE(removed.count(), 1);
        QCOMPARE(removed.first().first().value<RecordID>(), middleId);
        QCOMPARE(store.applicationsByDate(), (QList<JobApplication*> {older, newer}));
        QVERIFY(store.save());
        QCOMPARE(onDisk(), u"Older 2|Newer 0 / 2"_s);
        // Inserted and deleted before any save: nothing to write at all.
        JobApplication* fleeting = store.insert(record(u"Fleeting"_s));
        edits.changeStatus(*fleeting, ApplicationStatus::offer);
        store.remove(fleeting);
        QVERIFY(!store.hasChanges());
    }

    // A record taken out and put back (an undone deletion) is found again by its identifier among the others, and
    // what is typed into it afterwards is saved.
    void aRecordPutBackIsFoundByItsIdentifier()
    {
        Folder folder(5);
        Store& store = folder.open();
        const QList<JobApplication*> before = store.applications();
        JobApplication* taken = before.at(1);
        const RecordID id = taken->id();
        auto owned = store.take({taken});
        QCOMPARE(owned.size(), size_t(1));
        QVERIFY(!store.application(id));
        JobApplication* added = store.insert(record(u"Added"_s));
        QCOMPARE(store.insert(std::move(owned.front())), taken);
        QCOMPARE(taken->id(), id);
        for (JobApplication* a : before + QList<JobApplication*> {added})
            QCOMPARE(store.application(a->id()), a);
        ApplicationEdits edits;
        edits.edit<ApplicationField::companyName>(*taken, u"Put back"_s);
        QVERIFY(store.save());
        folder.loader = StoreLoader::failed(QString());
        const JobApplication* reread = folder.open().application(id);
        QVERIFY(reread);
        QCOMPARE(reread->companyName(), u"Put back"_s);
    }

    // A long note is written into its place in the file a piece at a time. It comes back byte for byte, inserted and
    // then replaced by a shorter one, in a store made by this version (notes its last column) and in one where another
    // column follows the notes.
    void longNotesComeBackWhole_data()
    {
        QTest::addColumn<int>("bytes");
        QTest::newRow("short") << 100;
        QTest::newRow("just under a megabyte") << (1 << 20) - 64;
        QTest::newRow("several megabytes") << (5 << 20) + 7;
    }
    void longNotesComeBackWhole()
    {
        QFETCH(int, bytes);
        Folder folder(0);
        // About `size` bytes of characters one to four bytes long, so pieces end inside characters.
        const auto text = [](const QString& start, int size) -> QString {
            const QString unit = u" ışık € 🚀"_s;
            return start + unit.repeated(size / int(unit.toUtf8().size()));
        };
        const QString first = text(u"first"_s, bytes);
        const QString second = text(u"second"_s, bytes / 2);
        const auto notesAfterReopening = [&folder] {
            folder.loader = StoreLoader::failed(QString());
            Store& store = folder.open();
            return store.count() == 1 ? store.applications().first()->notes().toString() : u"<not one record>"_s;
        };

        Store& store = folder.open();
        ApplicationEdits().edit<ApplicationField::notes>(*store.insert(record(u"Acme"_s)), first);
        QVERIFY(store.save());
        QVERIFY(notesAfterReopening() == first);
        ApplicationEdits().edit<ApplicationField::notes>(*folder.loader.store()->applications().first(), second);
        QVERIFY(folder.loader.store()->save());
        QVERIFY(notesAfterReopening() == second);
        QCOMPARE(query(folder.path, "PRAGMA integrity_check"), u"ok"_s);
    }

    // History rows find their record by its identifier: rows of a record no longer in the file are left out, and
    // status texts of no known kind come back as they were stored.
    void historyRowsFindTheirRecords_data()
    {
        QTest::addColumn<QByteArray>("change");
        QTest::addColumn<QString>("histories"); // each record's entries, from/to, oldest record first
        const QString plain = u"-/applied applied/hrInterview hrInterview/techInterview"_s;
        QTest::newRow("a record gone between two")
            << QByteArray("DELETE FROM JobApplication WHERE id = 2") << plain + u" | "_s + plain;
        QTest::newRow("unknown and empty texts")
            << QByteArray("UPDATE StatusChange SET fromRaw = iif(id = 1, '', 'limbo'), toRaw = iif(id = 1, toRaw, "
                          "'nowhere') WHERE id IN (1, 9)")
            << u"/applied applied/hrInterview hrInterview/techInterview | %1 | -/applied applied/hrInterview "
               u"limbo/nowhere"_s.arg(plain);
    }
    void historyRowsFindTheirRecords()
    {
        QFETCH(QByteArray, change);
        QFETCH(QString, histories);
        Folder folder(3);
        QCOMPARE(query(folder.path, change.constData()), QString());
        QStringList read;
        for (const JobApplication* a : folder.open().applicationsByDate()) {
            QStringList entries;
            for (const StatusChange* entry : a->history())
                entries << entry->fromRaw().value_or(u"-"_s) + u'/' + entry->toRaw();
            read.prepend(entries.join(u' '));
        }
        QCOMPARE(read.join(u" | "_s), histories);
    }

    // A row numbered beyond what a store gives out (a file edited by hand) keeps its number:
    // a corrected date and a removal reach that row and no other.
    void historyRowsKeepAnyNumber_data()
    {
        QTest::addColumn<qint64>("row");
        QTest::addColumn<QString>("toRaw");
        QTest::newRow("the largest kept in the entry") << (qint64(1) << 47) - 2 << u"techInterview"_s;
        QTest::newRow("the first kept aside") << (qint64(1) << 47) - 1 << u"techInterview"_s;
        QTest::newRow("far beyond") << (qint64(1) << 62) << u"techInterview"_s;
        QTest::newRow("below zero") << qint64(-7) << u"techInterview"_s;
        QTest::newRow("beyond, with a status of no known case") << (qint64(1) << 50) << u"nowhere"_s;
    }
    void historyRowsKeepAnyNumber()
    {
        QFETCH(qint64, row);
        QFETCH(QString, toRaw);
        Folder folder(3);
        // The first record's newest entry takes the number; its older two move a day back,
        // so that the newest can be dated a minute earlier.
        const QString newest = u"UPDATE StatusChange SET id = %1, toRaw = '%2' WHERE id = 3"_s.arg(row).arg(toRaw);
        QCOMPARE(query(folder.path, qPrintable(newest)), QString());
        QCOMPARE(query(folder.path, "UPDATE StatusChange SET date = date - 86400000 WHERE id IN (1, 2)"), QString());
        Store& store = folder.open();
        JobApplication* first = nullptr;
        for (JobApplication* a : store.applicationsByDate())
            first = a->id() == 1 ? a : first;
        QVERIFY(first);
        StatusChange* entry = nullptr;
        for (StatusChange* e : first->history())
            entry = e->storeId() == row ? e : entry;
        QVERIFY(entry);
        QCOMPARE(entry->toRaw(), toRaw);

        const QDateTime corrected = entry->date().addSecs(-60);
        QVERIFY(ApplicationEdits().changeEntryDate(*first, *entry, corrected));
        QVERIFY(store.save());
        const QString atCorrected
            = u"SELECT id || ' ' || toRaw FROM StatusChange WHERE date = %1"_s.arg(corrected.toMSecsSinceEpoch());
        QCOMPARE(query(folder.path, qPrintable(atCorrected)), u"%1 %2"_s.arg(row).arg(toRaw));

        QVERIFY(ApplicationEdits().removeChange(*first, *entry));
        QVERIFY(store.save());
        QCOMPARE(query(folder.path, "SELECT count(*) FROM StatusChange"), u"8"_s);
        QCOMPARE(query(folder.path, qPrintable(u"SELECT count(*) FROM StatusChange WHERE id = %1"_s.arg(row))), u"0"_s);
    }

    // Every value read back is the one saved (a byte-order mark, unknown raw texts, amounts, none values), and equal
    // short texts of different records come back as one shared entry, among thousands of others.
    void valuesComeBackAsSaved_data()
    {
        QTest::addColumn<int>("count");
        QTest::newRow("two records") << 2;
        QTest::newRow("thousands of texts") << 3000;
    }
    void valuesComeBackAsSaved()
    {
        QFETCH(int, count);
        Folder folder(0);
        Store& store = folder.open();
        std::vector<ApplicationValues> saved;
        for (int i = 0; i < count; ++i) {
            ApplicationValues& v = saved.emplace_back(JobApplication::initialValues(u"\uFEFFFirma %1"_s.arg(i % 1500),
                u"Geliştirici"_s, QString(), WorkModel::hybrid, ApplicationStatus::offer, utc(2025, 1, 2)));
            if (i % 2) {
                std::tie(v.workModelRaw, v.statusRaw, v.currencyRaw, v.rejectionReasonRaw)
                    = std::tuple(u"onMars"_s, u"limbo"_s, u"XTS"_s, u"gone"_s);
                std::tie(v.followUpDate, v.expectedSalary) = std::tuple(utc(2025, 2, 3), Decimal::parse("-1234.005"));
                v.notes = u"note %1"_s.arg(i).repeated(i % 40);
            } else {
                v.uuid.reset();
                v.closedAt.reset();
            }
            store.insert(ApplicationBuilder(ApplicationValues(v)).build());
        }
        QVERIFY(store.save());
        folder.loader = StoreLoader::failed(QString());
        const QList<JobApplication*> read = folder.open().applications();
        QCOMPARE(read.size(), count);
        for (int i = 0; i < count; ++i) {
            QVERIFY2(read[i]->values() == saved[size_t(i)], qPrintable(read[i]->companyName()));
            if (i >= 1500)
                QCOMPARE(&read[i]->companyName(), &read[i - 1500]->companyName());
        }
    }

    // Equal short texts of the records read from one file are one entry. Editing one record's text, undoing and
    // redoing that, leaves the others reading theirs. A posting's address is one of a kind and is not shared.
    void sharedTextsStayApart_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("edited");
        QTest::addColumn<bool>("shared"); // the two records that hold `text` read one string
        using F = ApplicationField;
        QTest::newRow("company") << int(F::companyName) << u"Acme"_s << u"Acme Labs"_s << true;
        QTest::newRow("a byte-order mark") << int(F::hrContactName) << u"\uFEFFAyşe"_s << u"Ayşe"_s << true;
        QTest::newRow("non-Latin, emptied")
            << int(F::techInterviewerRole) << u"Ведущий инженер 工程师 \U00010400"_s << QString() << true;
        QTest::newRow("empty, then given") << int(F::position) << QString() << u"Mühendis"_s << true;
        QTest::newRow("a note aside") << int(F::rejectionNote) << u"Too far"_s << u"Too far away"_s << true;
        QTest::newRow("posting link") << int(F::postingLink) << u"https://jobs.example/1"_s << u"jobs.example/2"_s
                                      << false;
    }
    void sharedTextsStayApart()
    {
        QFETCH(int, field);
        QFETCH(QString, text);
        QFETCH(QString, edited);
        QFETCH(bool, shared);
        // Where the record keeps the string (none for a text kept as UTF-8), and the text.
        const auto kept = [field](const JobApplication& a) {
            return ApplicationFields::withField(
                ApplicationField(field), [&]<ApplicationField F>() -> std::pair<const QString*, QString> {
                    if constexpr (RecordStorage::isSharedText<F>)
                        return {&a.get<F>(), a.get<F>()};
                    else if constexpr (std::is_same_v<ApplicationFields::ValueType<F>, QString>)
                        return {nullptr, a.get<F>()};
                    else
                        return {};
                });
        };
        Folder folder(0);
        Store& store = folder.open();
        for (const QString& value : {text, text, u"other"_s}) {
            ApplicationValues v = JobApplication::initialValues(
                u"Company"_s, u"Engineer"_s, QString(), WorkModel::remote, ApplicationStatus::applied, utc(2025, 1, 2));
            QVERIFY(ApplicationFields::assign(v, ApplicationField(field), value));
            store.insert(ApplicationBuilder(std::move(v)).build());
        }
        QVERIFY(store.save());
        folder.loader = StoreLoader::failed(QString());
        QList<JobApplication*> read = folder.open().applications();
        QCOMPARE(read.size(), 3);
        JobApplication& a = *read[0];
        const JobApplication& b = *read[1];
        QCOMPARE(kept(a).first && kept(a).first == kept(b).first, shared);
        QCOMPARE(kept(a).second, text);
        QCOMPARE(kept(b).second, text);
        QCOMPARE(kept(*read[2]).second, u"other"_s);
        const ApplicationValues bRead = b.values();

        QUndoStack stack;
        ApplicationEdits edits(&stack);
        edits.edit(a, ApplicationField(field), FieldValue(edited));
        QCOMPARE(kept(a).second, edited);
        QCOMPARE(kept(b).second, text);
        QVERIFY(b.values() == bRead);
        stack.undo();
        QCOMPARE(kept(a).second, text);
        QVERIFY(b.values() == bRead);
        stack.redo();
        QVERIFY(folder.loader.store()->save());
        folder.loader = StoreLoader::failed(QString());
        read = folder.open().applications();
        QCOMPARE(kept(*read[0]).second, edited);
        QVERIFY(read[1]->values() == bRead);
    }

    void saveWritesOnlyWhatChanged()
    {
        Folder folder(50);
        Store& store = folder.open();
        // Edited behind the store's back: a save that rewrote whole rows would undo that.
        JobApplication* edited = store.applications().at(10);
        query(
            folder.path, qPrintable(u"UPDATE JobApplication SET notes = 'outside' WHERE id <> %1"_s.arg(edited->id())));
        ApplicationEdits().edit<ApplicationField::position>(*edited, u"Principal Engineer"_s);
        QVERIFY(store.save());
        QCOMPARE(query(folder.path, "SELECT count(*) FROM JobApplication WHERE notes = 'outside'"), u"49"_s);
        QCOMPARE(query(folder.path, "SELECT position FROM JobApplication WHERE position <> 'Engineer'"),
            u"Principal Engineer"_s);
        // A stored history entry corrected in place is written as well, and only that one.
        StatusChange* entry = edited->history().at(1);
        const QDateTime corrected = utc(2025, 1, 11, 18);
        QVERIFY(ApplicationEdits().changeEntryDate(*edited, *entry, corrected));
        QVERIFY(store.save());
        QCOMPARE(query(folder.path,
                     qPrintable(u"SELECT id FROM StatusChange WHERE date = %1"_s.arg(corrected.toMSecsSinceEpoch()))),
            QString::number(entry->storeId()));
    }

    void failedSaveKeepsChangesPending()
    {
        Folder folder;
        Store& store = folder.open();
        const auto onDisk = [&folder]() -> QString {
            return query(folder.path, "SELECT companyName || ':' || notes FROM JobApplication ORDER BY id") + u" / "_s
                + query(folder.path, "SELECT toRaw FROM StatusChange");
        };
        JobApplication* kept = store.insert(record(u"Kept"_s));
        QVERIFY(store.save());
        // The disk refuses one row mid-transaction, the way a full disk would.
        QCOMPARE(query(folder.path,
                     "CREATE TRIGGER refuse BEFORE INSERT ON JobApplication WHEN NEW.companyName = 'Refused' "
                     "BEGIN SELECT RAISE(ABORT, 'disk is full'); END"),
            QString());
        ApplicationEdits().edit<ApplicationField::notes>(*kept, u"edited before the failure"_s);
        store.insert(ApplicationBuilder(record(u"Refused"_s)).appendFirstHistoryEntry().build());
        QSignalSpy saved(&store, &Store::saved);
        const auto failed = store.save();
        QVERIFY(!failed);
        VERIFY_CONTAINS(failed.error().description(), u"disk is full"_s);
        QVERIFY(store.hasChanges());
        // Nothing of the failed save reached the file, not even the edit that came first.
        QCOMPARE(onDisk(), u"Kept: / "_s);
        query(folder.path, "DROP TRIGGER refuse");
        QVERIFY(store.save());
        QVERIFY(!store.hasChanges());
        QCOMPARE(saved.count(), 1);
        QCOMPARE(onDisk(), u"Kept:edited before the failure|Refused: / applied"_s);
    }

    // Saved a short while after the first unsaved change, however many changes follow: someone who keeps typing is
    // saved while typing.
    void autosaveWhileEditingGoesOn()
    {
        Folder folder;
        Store& store = folder.open();
        store.setAutosaveDelay(100);
        QSignalSpy saved(&store, &Store::saved);
        JobApplication* a = store.insert(record(u"Typed"_s));
        QCOMPARE(saved.count(), 0); // not at once
        // A change every 10 ms for ten times the delay: the edits never pause.
        QString typed;
        QElapsedTimer typing;
        ApplicationEdits edits;
        for (typing.start(); typing.elapsed() < 1000; QTest::qWait(10))
            edits.edit<ApplicationField::notes>(*a, typed += u'a');
        QVERIFY2(saved.count() >= 2, qPrintable(QString::number(saved.count())));
        QTRY_VERIFY(!store.hasChanges());
        QCOMPARE(query(folder.path, "SELECT notes FROM JobApplication"), typed);
    }

    void killedWhileSavingLosesNothingSaved()
    {
        QTemporaryDir temp;
        auto* random = QRandomGenerator::global();
        long long lastSaved = -1;
        const int kills = 50;
        for (int round = 0; round < kills; ++round) {
            QProcess child;
            child.start(QStringLiteral(STORE_CRASH_CHILD), {temp.path()});
            QVERIFY2(child.waitForStarted(), qPrintable(child.errorString()));
            // Every other round the child dies while still starting up; otherwise it is killed at a random moment after
            // its first save returned, mid-flight.
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
            for (const QByteArray& line : output.split('\n'))
                lastSaved = line.startsWith("saved ") ? std::max(lastSaved, line.mid(6).toLongLong()) : lastSaved;
            QCOMPARE(child.readAllStandardError(), QByteArray());
            // Killed before the first start finished creating the file: there is nothing to check yet.
            if (QFile::exists(databaseIn(temp.path())))
                QCOMPARE(query(databaseIn(temp.path()), "PRAGMA integrity_check"), u"ok"_s);
            StoreLoader loader = openStore(temp.path());
            VERIFY_READY(loader);
            if (lastSaved < 0)
                continue; // killed before its first save returned
            QHash<QString, const JobApplication*> named;
            for (const JobApplication* a : loader.store()->applications())
                named.insert(a->companyName(), a);
            const long long stored
                = named.contains(u"counter"_s) ? named[u"counter"_s]->notes().toString().toLongLong() : -1;
            // Everything reported saved is there; at most the one save in flight went further.
            QVERIFY2(stored == lastSaved || stored == lastSaved + 1,
                qPrintable(u"stored %1, reported %2"_s.arg(stored).arg(lastSaved)));
            const JobApplication* latest = named.value(u"record %1"_s.arg(stored));
            QCOMPARE(latest ? latest->statusRaw() + u" after %1 change"_s.arg(latest->history().size()) : u"none"_s,
                u"hrInterview after 1 change"_s);
            lastSaved = stored;
        }
        qInfo("%d kills, %lld saves confirmed", kills, lastSaved + 1);
        QVERIFY2(lastSaved + 1 >= kills / 2, "every other round must have saved at least once");
    }
};

QTEST_GUILESS_MAIN(StoreTest)
#include "tst_store.moc"
