#include "TestSupport.h"

#include "model/JobApplication.h"
#include "store/Store.h"
#include "store/StoreLoader.h"

#include <QCryptographicHash>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <csignal>
#include <sqlite3.h>
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

bool runningAsRoot()
{
    return geteuid() == 0;
}

} // namespace

class StoreTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { useTimeZone("Europe/Istanbul"); }
    void cleanup() { Clock::reset(); }

    void missingStoreIsCreatedEmpty();
    void refusedFilesStayUntouched_data();
    void refusedFilesStayUntouched();
    void folderThatCannotBeCreated();
    void permissionFailures_data();
    void permissionFailures();
    void secondInstanceIsRefused();
    void everyFieldSurvivesReopening();
    void recordsReadInTheBackground();
    void unreadableRecordsFailTheStore();
    void liveQueryOrderAndNotifications();
    void saveWritesOnlyWhatChanged();
    void failedSaveKeepsChangesPending();
    void deleteCascadesToHistory();
    void insertThenDeleteBeforeSaveWritesNothing();
    void autosaveAfterQuietPeriod();
    void killedWhileSavingLosesNothingSaved();
};

void StoreTest::missingStoreIsCreatedEmpty()
{
    QTemporaryDir temp;
    const QString dir = temp.filePath(QStringLiteral("nested/Applywright"));
    StoreLoader loader = openStore(dir);
    QVERIFY2(loader.isReady(), qPrintable(loader.message()));
    QCOMPARE(loader.store()->count(), 0);
    QVERIFY(!loader.store()->hasChanges());

    const QString path = loader.store()->databasePath();
    const auto others = QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup
        | QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;
    QCOMPARE(QFileInfo(dir).permissions() & others, QFileDevice::Permissions());
    QVERIFY(QFileInfo(dir).permissions().testFlags(
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
    const auto filePermissions = QFileInfo(path).permissions();
    QVERIFY(!(filePermissions
        & (QFileDevice::ReadGroup | QFileDevice::ReadOther | QFileDevice::WriteGroup | QFileDevice::WriteOther)));
    QCOMPARE(query(path, "SELECT value FROM Metadata WHERE key = 'schemaVersion'"), QStringLiteral("1.0.0"));
    QCOMPARE(query(path, "PRAGMA journal_mode"), QStringLiteral("wal"));
    QVERIFY(!QFile::exists(path + QStringLiteral(".new")));
}

void StoreTest::refusedFilesStayUntouched_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("expected"); // a fragment of the message
    QTest::newRow("garbage") << "garbage"
                             << "not an SQLite file";
    QTest::newRow("other program's database") << "foreign"
                                              << "another program";
    QTest::newRow("older schema") << "version"
                                  << "uses data format 0.9.0";
    QTest::newRow("no version") << "noversion"
                                << "no data format version";
    QTest::newRow("truncated database") << "truncated"
                                        << "could not";
}

void StoreTest::refusedFilesStayUntouched()
{
    QFETCH(QString, setup);
    QFETCH(QString, expected);
    QTemporaryDir temp;
    const QString dir = temp.path();
    const QString path = dir + QStringLiteral("/Applywright.sqlite");

    if (setup == QLatin1String("garbage")) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("this is not a database, just some text that happens to be here\n");
    } else if (setup == QLatin1String("foreign")) {
        sqlite3* db = nullptr;
        sqlite3_open(QFile::encodeName(path).constData(), &db);
        sqlite3_exec(db, "CREATE TABLE notes(x); INSERT INTO notes VALUES (1);", nullptr, nullptr, nullptr);
        sqlite3_close(db);
    } else {
        // Start from a real store, then alter it the way an incompatible build would.
        {
            StoreLoader loader = openStore(dir);
            QVERIFY(loader.isReady());
            loader.store()->insert(record(QStringLiteral("Acme")));
            QVERIFY(loader.store()->save());
        }
        if (setup == QLatin1String("version"))
            query(path, "UPDATE Metadata SET value = '0.9.0' WHERE key = 'schemaVersion'");
        else if (setup == QLatin1String("noversion"))
            query(path, "DELETE FROM Metadata");
        else if (setup == QLatin1String("truncated")) {
            query(path, "PRAGMA wal_checkpoint(TRUNCATE)");
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadWrite));
            const QByteArray head = file.read(100); // keep only the header
            file.resize(0);
            file.seek(0);
            file.write(head);
            file.write(QByteArray(4096 - 100, '\xAB'));
        }
    }
    QFile::remove(path + QStringLiteral("-wal"));
    QFile::remove(path + QStringLiteral("-shm"));
    const QByteArray before = fileHash(path);
    const qint64 sizeBefore = QFileInfo(path).size();
    QVERIFY(!before.isEmpty());

    StoreLoader loader = openStore(dir);
    QVERIFY(!loader.isReady());
    QVERIFY2(loader.message().contains(expected), qPrintable(loader.message()));
    QVERIFY2(loader.message().contains(path), qPrintable(loader.message()));
    QCOMPARE(fileHash(path), before);
    QCOMPARE(QFileInfo(path).size(), sizeBefore);
}

void StoreTest::folderThatCannotBeCreated()
{
    // A path under a regular file can never become a folder, whoever runs the test.
    QTemporaryDir temp;
    const QString blocker = temp.filePath(QStringLiteral("file"));
    QFile file(blocker);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    StoreLoader loader = openStore(blocker + QStringLiteral("/Applywright"));
    QVERIFY(!loader.isReady());
    QVERIFY2(loader.message().contains(QStringLiteral("could not be created")), qPrintable(loader.message()));
}

void StoreTest::permissionFailures_data()
{
    QTest::addColumn<QString>("what");
    QTest::addColumn<QString>("expected");
    QTest::newRow("database is a folder") << "folder"
                                          << "could not be read";
    QTest::newRow("unreadable file") << "unreadable"
                                     << "could not be read";
    QTest::newRow("write-protected file") << "writeprotected"
                                          << "cannot be written to, so changes could not be saved";
    QTest::newRow("read-only data folder") << "readonly"
                                           << "cannot be written to";
}

void StoreTest::permissionFailures()
{
    QFETCH(QString, what);
    QFETCH(QString, expected);
    QTemporaryDir temp;
    const QString dir = temp.path();
    const QString path = dir + QStringLiteral("/Applywright.sqlite");
    {
        StoreLoader loader = openStore(dir);
        QVERIFY(loader.isReady());
        loader.store()->insert(record(QStringLiteral("Acme")));
        QVERIFY(loader.store()->save());
    }
    if (what == QLatin1String("folder")) {
        QVERIFY(QFile::remove(path));
        QVERIFY(QDir(dir).mkdir(QStringLiteral("Applywright.sqlite")));
        StoreLoader loader = openStore(dir);
        QVERIFY(!loader.isReady());
        QVERIFY2(loader.message().contains(expected), qPrintable(loader.message()));
        QVERIFY(QFileInfo(path).isDir());
        return;
    }
    if (runningAsRoot())
        QSKIP("file permissions do not bind the superuser");
    const QByteArray before = fileHash(path);
    if (what == QLatin1String("unreadable"))
        QVERIFY(QFile::setPermissions(path, QFileDevice::WriteOwner));
    else if (what == QLatin1String("writeprotected"))
        QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner));
    else
        QVERIFY(QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    StoreLoader loader = openStore(dir);
    QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QVERIFY(!loader.isReady());
    QVERIFY2(loader.message().contains(expected), qPrintable(loader.message()));
    QCOMPARE(fileHash(path), before);
}

void StoreTest::secondInstanceIsRefused()
{
    QTemporaryDir temp;
    StoreLoader first = openStore(temp.path());
    QVERIFY(first.isReady());

    // Another process holding the lock, as a second running copy would.
    QProcess holder;
    const QString lockPath = temp.filePath(QStringLiteral("Applywright.lock"));
    first = StoreLoader::failed(QString()); // release ours first
    holder.start(QStringLiteral(STORE_CRASH_CHILD), {temp.path()});
    QVERIFY(holder.waitForReadyRead(10000)); // it has opened the store and saved once

    StoreLoader second = openStore(temp.path());
    QVERIFY(!second.isReady());
    QVERIFY2(second.message().contains(QStringLiteral("already running")), qPrintable(second.message()));
    holder.kill();
    holder.waitForFinished();

    // In one process, a second open of the same folder is refused as well.
    StoreLoader again = openStore(temp.path());
    QVERIFY2(again.isReady(), qPrintable(again.message()));
    StoreLoader twice = openStore(temp.path());
    QVERIFY(!twice.isReady());
    QVERIFY(QFile::exists(lockPath));
}

void StoreTest::everyFieldSurvivesReopening()
{
    QTemporaryDir temp;
    FixedClock clock(utc(2025, 3, 7, 14, 5, 9, 120));
    RecordID id = 0;
    QUuid uuid;
    {
        StoreLoader loader = openStore(temp.path());
        QVERIFY(loader.isReady());
        auto a = std::make_unique<JobApplication>(QStringLiteral("Ötüken Veri A.Ş."),
            QStringLiteral("Kıdemli Geliştirici"), QStringLiteral("kariyer.net/is-ilani/1"), WorkModel::hybrid,
            ApplicationStatus::applied, utc(2025, 3, 1, 9, 0, 0, 7));
        JobApplication* stored = loader.store()->insert(std::move(a));
        stored->appendHistory(
            std::make_unique<StatusChange>(std::nullopt, ApplicationStatus::applied, stored->applicationDate()));
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
        stored->setNotes(QStringLiteral("emoji 🎉 and quotes ' \""));
        stored->setFavorite(true);
        stored->setWorkModelRaw(QStringLiteral("spaceStation"));
        id = stored->id();
        uuid = *stored->uuid();
        QVERIFY(loader.store()->save());
    }
    StoreLoader loader = openStore(temp.path());
    QVERIFY(loader.isReady());
    JobApplication* a = loader.store()->application(id);
    // The all-zero identifier is an identifier too (a backup may carry it).
    a->setUuid(QUuid());
    QVERIFY(loader.store()->save());
    const auto reopen = [&loader, &temp] {
        loader = StoreLoader::failed(QString()); // one open store per folder: close first
        loader = openStore(temp.path());
        return loader.isReady();
    };
    QVERIFY(reopen());
    a = loader.store()->application(id);
    QVERIFY(a);
    QCOMPARE(a->uuid(), std::optional<QUuid>(QUuid()));
    a->setUuid(uuid);
    QVERIFY(loader.store()->save());
    QVERIFY(reopen());
    a = loader.store()->application(id);
    QVERIFY(a);
    QCOMPARE(a->uuid(), std::optional<QUuid>(uuid));
    QCOMPARE(a->companyName(), QStringLiteral("Ötüken Veri A.Ş."));
    QCOMPARE(a->position(), QStringLiteral("Kıdemli Geliştirici"));
    QCOMPARE(a->postingLink(), QStringLiteral("kariyer.net/is-ilani/1"));
    QCOMPARE(a->workModelRaw(), QStringLiteral("spaceStation"));
    QCOMPARE(a->statusRaw(), QStringLiteral("rejected"));
    QCOMPARE(a->applicationDate(), utc(2025, 3, 1, 9, 0, 0, 7));
    QCOMPARE(a->statusChangedAt(), utc(2025, 3, 8, 1, 2, 3, 456));
    QCOMPARE(a->closedAt(), std::optional<QDateTime>(utc(2025, 3, 8, 1, 2, 3, 456)));
    QCOMPARE(a->followUpDate(), std::optional<QDateTime>(utc(2025, 3, 15, 10)));
    QVERIFY(a->rejectedByEmail());
    QVERIFY(!a->rejectedByPhone());
    QCOMPARE(a->rejectionReasonRaw(), std::optional<QString>(QStringLiteral("somethingNew")));
    QCOMPARE(a->rejectionNote(), QStringLiteral("line one\nline two"));
    QCOMPARE(a->hrContactName(), QStringLiteral("Ayşe"));
    QCOMPARE(a->hrContactEmail(), QStringLiteral("ayse@example.com"));
    QCOMPARE(a->techInterviewerName(), QStringLiteral("Deniz"));
    QCOMPARE(a->techInterviewerRole(), QStringLiteral("Staff Engineer"));
    QCOMPARE(a->expectedSalary()->toString(), QStringLiteral("123456789012345678901234567890.123456789"));
    QCOMPARE(a->offeredSalary()->toString(), QStringLiteral("12.50075"));
    QCOMPARE(a->currencyRaw(), QStringLiteral("EUR"));
    QCOMPARE(a->notes(), QStringLiteral("emoji 🎉 and quotes ' \""));
    QVERIFY(a->isFavorite());
    QCOMPARE(a->createdAt(), utc(2025, 3, 7, 14, 5, 9, 120));
    QCOMPARE(a->updatedAt(), utc(2025, 3, 8, 1, 2, 3, 456));
    QCOMPARE(a->history().size(), 2);
    QCOMPARE(a->history().at(0)->fromRaw(), std::nullopt);
    QCOMPARE(a->history().at(0)->toRaw(), QStringLiteral("applied"));
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
            a->appendHistory(
                std::make_unique<StatusChange>(std::nullopt, ApplicationStatus::applied, a->applicationDate()));
            a->changeStatus(ApplicationStatus::hrInterview);
        }
        QVERIFY(loader.store()->save());
    }
    {
        // Closed again before anyone looked: the worker's records must not leak or crash.
        StoreLoader abandoned = openStore(temp.path(), StoreLoading::inBackground);
        QVERIFY(abandoned.isReady());
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
    QVERIFY(older->id() != newer->id() && newer->id() != middle->id());

    older->setApplicationDate(utc(2025, 3, 1));
    QCOMPARE(changed.count(), 4);
    QCOMPARE(store.applicationsByDate().first(), older);

    older->changeStatus(ApplicationStatus::offer); // several fields and one history entry
    QVERIFY(changed.count() > 5);
    const int beforeNoop = int(changed.count());
    older->setCompanyName(older->companyName());
    QCOMPARE(changed.count(), beforeNoop);

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
}

void StoreTest::insertThenDeleteBeforeSaveWritesNothing()
{
    QTemporaryDir temp;
    const QString path = temp.filePath(QStringLiteral("Applywright.sqlite"));
    StoreLoader loader = openStore(temp.path());
    Store& store = *loader.store();
    JobApplication* fleeting = store.insert(record(QStringLiteral("Fleeting")));
    fleeting->changeStatus(ApplicationStatus::offer);
    store.remove(fleeting);
    QVERIFY(!store.hasChanges());
    QVERIFY(store.save());
    QCOMPARE(query(path, "SELECT count(*) FROM JobApplication"), QStringLiteral("0"));
    QCOMPARE(query(path, "SELECT count(*) FROM StatusChange"), QStringLiteral("0"));
}

void StoreTest::autosaveAfterQuietPeriod()
{
    QTemporaryDir temp;
    const QString path = temp.filePath(QStringLiteral("Applywright.sqlite"));
    StoreLoader loader = openStore(temp.path());
    Store& store = *loader.store();
    QCOMPARE(store.autosaveDelay(), Store::defaultAutosaveDelayMs);
    store.setAutosaveDelay(50);
    QSignalSpy saved(&store, &Store::saved);
    JobApplication* a = store.insert(record(QStringLiteral("Typed")));
    a->setNotes(QStringLiteral("a"));
    a->setNotes(QStringLiteral("ab"));
    QCOMPARE(saved.count(), 0); // nothing until the edits pause
    QTRY_COMPARE(saved.count(), 1);
    QVERIFY(!store.hasChanges());
    QCOMPARE(query(path, "SELECT notes FROM JobApplication"), QStringLiteral("ab"));
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
