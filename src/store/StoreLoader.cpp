#include "store/StoreLoader.h"

#include "store/SqliteDatabase.h"
#include "store/Store.h"
#include "store/StoreSchema.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>
#include <QThread>

#include <sqlite3.h>

StoreLoader StoreLoader::ready(std::unique_ptr<Store> store)
{
    StoreLoader loader;
    loader.m_store = std::move(store);
    return loader;
}

StoreLoader StoreLoader::failed(QString message)
{
    StoreLoader loader;
    loader.m_message = std::move(message);
    return loader;
}

StoreLoader::StoreLoader(StoreLoader&&) noexcept = default;
StoreLoader& StoreLoader::operator=(StoreLoader&&) noexcept = default;
StoreLoader::~StoreLoader() = default;

QString defaultDataDirectory()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

// Opens (or creates) the database file of one data folder. Every check that can
// refuse a file runs on a read-only connection first, so a file we cannot use is
// never written to.
class StoreOpener {
    Q_DECLARE_TR_FUNCTIONS(StoreOpener)

public:
    StoreOpener(QString directory, StoreLoading loading)
        : m_directory(std::move(directory))
        , m_loading(loading)
    {
    }

    StoreLoader open()
    {
        if (auto folder = prepareFolder(); !folder)
            return StoreLoader::failed(folder.error().description());

        // One running instance per data folder. A lock left by a process that no
        // longer runs is taken over; a live one is never considered stale.
        auto lock = std::make_unique<QLockFile>(QDir(m_directory).filePath(QLatin1String(Store::lockFileName)));
        lock->setStaleLockTime(0);
        if (!lock->tryLock(0) && lock->error() == QLockFile::LockFailedError && holderDiedWhileLocking(*lock))
            lock->tryLock(0);
        if (lock->error() != QLockFile::NoError) {
            if (lock->error() == QLockFile::LockFailedError)
                return StoreLoader::failed(tr("Applywright is already running and is using its database in "
                                              "“%1”. Quit the other window of Applywright, then start it again.")
                                               .arg(QDir::toNativeSeparators(m_directory)));
            return StoreLoader::failed(tr("The data folder “%1” cannot be written to, so the database could not "
                                          "be opened safely.")
                                           .arg(QDir::toNativeSeparators(m_directory)));
        }

        const QString path = QDir(m_directory).filePath(QLatin1String(Store::databaseFileName));
        auto database = QFileInfo::exists(path) && QFileInfo(path).size() > 0 ? openExisting(path) : create(path);
        if (!database)
            return StoreLoader::failed(database.error().description());

        std::unique_ptr<Store> store(new Store(m_directory, std::move(database.value())));
        if (m_loading == StoreLoading::inBackground) {
            store->loadInBackground();
        } else if (auto loaded = store->load(); !loaded) {
            return StoreLoader::failed(loaded.error().description());
        }
        store->m_lock = std::move(lock);
        return StoreLoader::ready(std::move(store));
    }

private:
    // A lock file without readable owner information was left by a process that
    // died between creating it and writing its details (a live one writes them at
    // once). QLockFile never treats such a file as stale while the stale time is
    // 0, which would lock the user out for good; so we look twice, then take it over.
    static bool holderDiedWhileLocking(QLockFile& lock)
    {
        qint64 pid = 0;
        QString host;
        QString application;
        if (lock.getLockInfo(&pid, &host, &application))
            return false;
        QThread::msleep(200);
        if (lock.getLockInfo(&pid, &host, &application))
            return false;
        return lock.removeStaleLockFile();
    }

    Expected<Done, StoreError> prepareFolder()
    {
        QDir dir(m_directory);
        if (dir.exists())
            return Done {};
        if (!QDir().mkpath(m_directory))
            return StoreError(
                tr("The data folder “%1” could not be created.").arg(QDir::toNativeSeparators(m_directory)));
        QFile::setPermissions(m_directory, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        return Done {};
    }

    Expected<std::unique_ptr<SqliteDatabase>, StoreError> openExisting(const QString& path)
    {
        const QString shown = QDir::toNativeSeparators(path);
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return StoreError(tr("The database file “%1” could not be read: %2.").arg(shown, file.errorString()));
        const QByteArray header = file.read(16);
        file.close();
        if (header != QByteArrayView("SQLite format 3\0", 16))
            return StoreError(tr("The file “%1” is not an Applywright database (it is not an SQLite file). "
                                 "It was left unchanged.")
                                  .arg(shown));

        if (auto check = checkSchema(path); !check)
            return check.error();

        return openConfigured(path);
    }

    // Reads the schema version on a read-only connection.
    Expected<Done, StoreError> checkSchema(const QString& path)
    {
        const QString shown = QDir::toNativeSeparators(path);
        auto readOnly = SqliteDatabase::open(path, SqliteDatabase::Mode::ReadOnly);
        if (!readOnly)
            return StoreError(
                tr("The database file “%1” could not be opened: %2.").arg(shown, readOnly.error().description()));
        SqliteDatabase& db = *readOnly.value();

        SqliteStatement* applicationId = db.prepare("PRAGMA application_id");
        if (!applicationId || applicationId->step() != SQLITE_ROW)
            return StoreError(tr("The database file “%1” could not be read: %2.").arg(shown, db.lastError()));
        const qint64 id = applicationId->int64(0);
        applicationId->reset();
        if (id != StoreSchema::applicationId)
            return StoreError(tr("The file “%1” is an SQLite database of another program, not an Applywright "
                                 "database. It was left unchanged.")
                                  .arg(shown));

        SqliteStatement* version = db.prepare("SELECT value FROM Metadata WHERE key = 'schemaVersion'");
        if (!version || version->step() != SQLITE_ROW)
            return StoreError(tr("The database file “%1” has no data format version and cannot be opened. It was "
                                 "left unchanged.")
                                  .arg(shown));
        const QString found = version->text(0);
        version->reset();
        if (found != QLatin1String(Store::schemaVersion))
            return StoreError(tr("The database file “%1” uses data format %2, but this version of Applywright "
                                 "reads format %3. It was left unchanged.")
                                  .arg(shown, found, QLatin1String(Store::schemaVersion)));
        return Done {};
    }

    // The store's own connection, with the settings every session of it uses.
    static Expected<std::unique_ptr<SqliteDatabase>, StoreError> openConfigured(const QString& path)
    {
        const auto failed = [&path](const StoreError& error) {
            return StoreError(tr("The database file “%1” could not be opened: %2.")
                                  .arg(QDir::toNativeSeparators(path), error.description()));
        };
        auto database = SqliteDatabase::open(path, SqliteDatabase::Mode::ReadWrite);
        if (!database)
            return failed(database.error());
        // SQLite quietly falls back to reading a write-protected file; every save
        // would then fail and the user's edits would be lost at the end of the run.
        if (database.value()->isReadOnly())
            return StoreError(tr("The database file “%1” cannot be written to, so changes could not be saved. It "
                                 "was left unchanged.")
                                  .arg(QDir::toNativeSeparators(path)));
        if (auto configured = configure(*database.value()); !configured)
            return failed(configured.error());
        return database;
    }

    static Expected<Done, StoreError> configure(SqliteDatabase& db)
    {
        for (const char* pragma : {"PRAGMA foreign_keys = ON", "PRAGMA journal_mode = WAL", "PRAGMA synchronous = FULL",
                 "PRAGMA busy_timeout = 2000"}) {
            if (auto done = db.exec(pragma); !done)
                return done;
        }
        return Done {};
    }

    // A new database is built under a temporary name and moved into place only
    // when complete, so an interrupted first start never leaves a half-made file.
    Expected<std::unique_ptr<SqliteDatabase>, StoreError> create(const QString& path)
    {
        const QString shown = QDir::toNativeSeparators(path);
        const QString temporary = path + QLatin1String(".new");
        QFile::remove(temporary);
        QFile::remove(temporary + QLatin1String("-journal"));
        {
            auto fresh = SqliteDatabase::open(temporary, SqliteDatabase::Mode::Create);
            if (!fresh)
                return StoreError(
                    tr("The database file “%1” could not be created: %2.").arg(shown, fresh.error().description()));
            SqliteDatabase& db = *fresh.value();
            const QByteArray setup = "PRAGMA application_id = " + QByteArray::number(StoreSchema::applicationId)
                + ";\nBEGIN;\n" + StoreSchema::createStatements()
                + "INSERT INTO Metadata (key, value) VALUES ('schemaVersion', '" + Store::schemaVersion
                + "');\nCOMMIT;";
            if (auto done = db.exec(setup.constData()); !done) {
                fresh.value().reset();
                QFile::remove(temporary);
                return StoreError(
                    tr("The database file “%1” could not be created: %2.").arg(shown, done.error().description()));
            }
        }
        QFile::setPermissions(temporary, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        // Only ever an empty file here; a log left beside it belongs to no database.
        for (const char* suffix : {"", "-wal", "-shm"})
            QFile::remove(path + QLatin1String(suffix));
        if (!QFile::rename(temporary, path)) {
            QFile::remove(temporary);
            return StoreError(tr("The database file “%1” could not be created.").arg(shown));
        }
        return openConfigured(path);
    }

    QString m_directory;
    StoreLoading m_loading;
};

StoreLoader openStore(const QString& dataDirectory, StoreLoading loading)
{
    return StoreOpener(dataDirectory.isEmpty() ? defaultDataDirectory() : dataDirectory, loading).open();
}
