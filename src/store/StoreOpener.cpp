// Opening the store's file at start-up: every check that can refuse a file, and
// making a new one. openStore() is declared with its result, in StoreLoader.h.
#include "store/StoreLoader.h"

#include "model/RegularFile.h"
#include "store/SqliteDatabase.h"
#include "store/Store.h"
#include "store/StoreLock.h"
#include "store/StoreSchema.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

#include <array>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr auto sideSuffixes = SqliteDatabase::sideSuffixes;

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

bool pathExists(const QString& path)
{
    struct stat status { };
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0;
}

qint64 fileSize(const QString& path)
{
    struct stat status { };
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? qint64(status.st_size) : 0;
}

quint32 bigEndian32(const char* bytes)
{
    const auto* b = reinterpret_cast<const unsigned char*>(bytes);
    return quint32(b[0]) << 24 | quint32(b[1]) << 16 | quint32(b[2]) << 8 | quint32(b[3]);
}

// The most of any one text from an engine or the system that a message quotes:
// the failure window shows a few lines.
constexpr qsizetype longestQuote = 160;
// A data format version is a word, and a long one would not even wrap.
constexpr qsizetype longestVersion = 24;

// Enough of such a text to say why: its first line, shortened.
QString brief(const QString& text, qsizetype longest = longestQuote)
{
    QString line = text.section(QLatin1Char('\n'), 0, 0).trimmed();
    if (line.size() > longest)
        line = line.left(longest - 1) + QChar(0x2026);
    return line;
}

bool isDiskFull(int sqliteCode)
{
    return (sqliteCode & 0xff) == SQLITE_FULL;
}

bool isDamage(int sqliteCode, const QString& message)
{
    const int primary = sqliteCode & 0xff;
    // A table of ours that SQLite cannot find means the schema pages are damaged.
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB
        || (primary == SQLITE_ERROR && message.startsWith(QLatin1String("no such table")));
}

// What kind of thing stands where the database should be, in words.
QString kindOfFile(const QString& path)
{
    struct stat status { };
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return QCoreApplication::translate("StoreOpener", "it cannot be examined");
    if (S_ISDIR(status.st_mode))
        return QCoreApplication::translate("StoreOpener", "it is a folder");
    if (S_ISFIFO(status.st_mode))
        return QCoreApplication::translate("StoreOpener", "it is a named pipe");
    if (S_ISSOCK(status.st_mode))
        return QCoreApplication::translate("StoreOpener", "it is a socket");
    return QCoreApplication::translate("StoreOpener", "it is a device");
}

} // namespace

// Opens (or creates) the database file of one data folder. Every check that can
// refuse a file runs before anything is written, most of them before SQLite is
// even asked to open it, so a refused file gets no side files either.
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

        auto lock = StoreLock::acquire(QDir(m_directory).filePath(QLatin1String(Store::lockFileName)));
        if (!lock) {
            if (lock.error().failure == StoreLock::Failure::held)
                return StoreLoader::failed(tr("Applywright is already running with the data folder “%1”, but its "
                                              "window could not be reached. Quit that copy, then start it again.")
                                               .arg(shown(m_directory)),
                    StoreLoader::Failure::alreadyRunning);
            return StoreLoader::failed(folderError(lock.error().error));
        }

        const QString path = QDir(m_directory).filePath(QLatin1String(Store::databaseFileName));
        auto database = openOrCreate(path);
        if (!database)
            return StoreLoader::failed(database.error().description());

        std::unique_ptr<Store> store(new Store(m_directory, std::move(database.value())));
        if (m_loading != StoreLoading::now) {
            store->loadInBackground(m_loading == StoreLoading::withFirstFrame);
        } else if (auto loaded = store->load(); !loaded) {
            return StoreLoader::failed(loaded.error().description());
        }
        store->m_lock = std::move(lock.value());
        return StoreLoader::ready(std::move(store));
    }

private:
    // The folder exists (made 0700 when new) and is no wider than 0700.
    Expected<Done, StoreError> prepareFolder()
    {
        const QByteArray name = QFile::encodeName(m_directory);
        struct stat status { };
        if (::stat(name.constData(), &status) == 0) {
            if (!S_ISDIR(status.st_mode))
                return StoreError(tr("“%1” is not a folder, so it cannot hold the database.").arg(shown(m_directory)));
            // The folder holds the person's whole job search: only its owner may look in.
            if (status.st_uid == ::geteuid() && (status.st_mode & 077) != 0)
                ::chmod(name.constData(), S_IRWXU);
            return Done {};
        }
        const QString parent = QFileInfo(m_directory).absolutePath();
        if (!QDir().mkpath(parent) || ::mkdir(name.constData(), S_IRWXU) != 0) {
            const int error = errno;
            if (error == ENOSPC || error == EDQUOT)
                return StoreError(
                    tr("The disk is full: the data folder “%1” could not be created.").arg(shown(m_directory)));
            return StoreError(
                tr("The data folder “%1” could not be created: %2.").arg(shown(m_directory), qt_error_string(error)));
        }
        // mkdir's mode passes through the umask, which may take even the owner's rights.
        ::chmod(name.constData(), S_IRWXU);
        return Done {};
    }

    QString folderError(int error) const
    {
        if (error == ENOSPC || error == EDQUOT)
            return tr("The disk is full: nothing can be written to the data folder “%1”, so the database could not "
                      "be opened safely.")
                .arg(shown(m_directory));
        return tr("The data folder “%1” cannot be written to (%2), so the database could not be opened safely.")
            .arg(shown(m_directory), qt_error_string(error));
    }

    Expected<std::unique_ptr<SqliteDatabase>, StoreError> openOrCreate(const QString& path)
    {
        const QByteArray name = QFile::encodeName(path);
        struct stat status { };
        if (::lstat(name.constData(), &status) != 0) {
            if (const int error = errno; error != ENOENT)
                return StoreError(
                    tr("The database file “%1” could not be opened: %2.").arg(shown(path), qt_error_string(error)));
            // A log or journal without its database is what is left of one: it is
            // not a new start, and creating a store here would lose it.
            for (const char* suffix : sideSuffixes) {
                const QString side = path + QLatin1String(suffix);
                if (pathExists(side))
                    return StoreError(tr("The database file “%1” is missing, but “%2” beside it is still there. "
                                         "Nothing was changed.")
                                          .arg(shown(path), shown(side)));
            }
            return create(path);
        }
        if (S_ISLNK(status.st_mode) && ::stat(name.constData(), &status) != 0) {
            const int error = errno;
            return StoreError(tr("The database “%1” is a link to “%2”, which cannot be reached (%3). Is its disk "
                                 "connected? Nothing was changed.")
                                  .arg(shown(path), shown(QFile::symLinkTarget(path)), qt_error_string(error)));
        }
        return openExisting(path);
    }

    Expected<std::unique_ptr<SqliteDatabase>, StoreError> openExisting(const QString& path)
    {
        QFile file;
        if (auto opened = RegularFile::openForReading(path, file); !opened) {
            if (opened.error().failure == RegularFile::Failure::notARegularFile)
                return StoreError(tr("“%1” is not a regular file (%2), so it cannot be the database. It was left "
                                     "unchanged.")
                                      .arg(shown(path), kindOfFile(path)));
            return StoreError(
                tr("The database file “%1” could not be read: %2.").arg(shown(path), opened.error().reason));
        }
        const qint64 size = file.size();
        const QByteArray header = file.read(100);
        file.close();

        if (size == 0) {
            for (const char* suffix : {"-wal", "-journal"}) {
                const QString side = path + QLatin1String(suffix);
                if (fileSize(side) > 0)
                    return StoreError(tr("The database file “%1” is empty, but “%2” beside it holds data. Both were "
                                         "left unchanged.")
                                          .arg(shown(path), shown(side)));
            }
            return StoreError(tr("The database file “%1” is empty (0 bytes). It was left unchanged.").arg(shown(path)));
        }
        if (!header.startsWith(QByteArrayView("SQLite format 3\0", 16)) || header.size() < 100) {
            if (header.count('\0') == header.size())
                return StoreError(
                    tr("The database file “%1” is damaged: its first bytes are zeroed. It was left unchanged.")
                        .arg(shown(path)));
            if (header.startsWith(QByteArrayView("SQLite format 3\0", 16)))
                return StoreError(
                    tr("The database file “%1” is damaged: it is cut short. It was left unchanged.").arg(shown(path)));
            return StoreError(tr("The file “%1” is not an Applywright database (it is not an SQLite file). "
                                 "It was left unchanged.")
                                  .arg(shown(path)));
        }
        if (qint32(bigEndian32(header.constData() + 68)) != StoreSchema::applicationId)
            return StoreError(tr("The file “%1” is an SQLite database of another program, not an Applywright "
                                 "database. It was left unchanged.")
                                  .arg(shown(path)));

        if (auto writable = checkWritable(path); !writable)
            return writable.error();
        if (auto journal = replayJournal(path, header); !journal)
            return journal.error();
        if (auto check = checkSchema(path); !check)
            return check.error();
        return openConfigured(path);
    }

    // The store writes its database, its log and the log's index. If any of them
    // cannot be written, every save would fail into the log while the window shows
    // the edits; such a store is refused here, before SQLite creates the missing ones.
    Expected<Done, StoreError> checkWritable(const QString& path)
    {
        for (const char* suffix : {"", "-wal", "-shm"}) {
            const QString file = path + QLatin1String(suffix);
            const QByteArray name = QFile::encodeName(file);
            if (*suffix != '\0' && !pathExists(file))
                continue;
            if (::access(name.constData(), R_OK) != 0) {
                const int error = errno;
                return StoreError(
                    tr("The database file “%1” could not be read: %2.").arg(shown(file), qt_error_string(error)));
            }
            if (::access(name.constData(), W_OK) != 0)
                return StoreError(tr("The database file “%1” cannot be written to, so changes could not be saved. "
                                     "It was left unchanged.")
                                      .arg(shown(file)));
        }
        return Done {};
    }

    // A rollback journal beside the database is replayed by the first connection
    // that may write, and a read-only one refuses the file until then. Replaying
    // puts the journal's pages back and cuts the file to the journal's size, so only
    // the journal that switching this very file to WAL leaves behind is replayed
    // (the switch saves page 1 alone): a journal of another file, or of a change
    // that grew this one, would overwrite or cut away records.
    Expected<Done, StoreError> replayJournal(const QString& path, const QByteArray& header)
    {
        const QString journalPath = path + QLatin1String("-journal");
        if (!pathExists(journalPath))
            return Done {};
        const auto refused = [&journalPath] {
            return StoreError(tr("“%1” beside the database is left from an interrupted change that cannot be undone "
                                 "safely. Move it out of the data folder, then start Applywright again. Nothing was "
                                 "changed.")
                                  .arg(shown(journalPath)));
        };
        QFile journal;
        if (auto opened = RegularFile::openForReading(journalPath, journal); !opened)
            return refused();
        static constexpr char journalMagic[] = "\xd9\xd5\x05\xf9\x20\xa1\x63\xd7";
        const QByteArray head = journal.read(28);
        // SQLite passes over a journal whose first byte is zero: it holds nothing to
        // replay. Any other journal it takes for an interrupted change that must be
        // rolled back before the file can be read, whether or not it carries the mark.
        if (head.isEmpty() || head.at(0) == '\0')
            return Done {};
        if (head.size() < 28 || !head.startsWith(QByteArrayView(journalMagic, 8)))
            return refused();

        const quint32 originalPages = bigEndian32(head.constData() + 16);
        const quint32 sectorSize = bigEndian32(head.constData() + 20);
        const quint32 pageSize = bigEndian32(head.constData() + 24);
        const quint32 storedPageSize = (quint32(uchar(header.at(16))) << 8) | quint32(uchar(header.at(17)));
        const quint32 databasePageSize = storedPageSize == 1 ? 65536 : storedPageSize;
        if (pageSize != databasePageSize || sectorSize < 512 || sectorSize > 65536
            || qint64(originalPages) * pageSize != fileSize(path) || !journal.seek(sectorSize))
            return refused();
        const QByteArray number = journal.read(4);
        const QByteArray saved = journal.read(pageSize);
        journal.close();
        if (number.size() < 4 || bigEndian32(number.constData()) != 1 || saved.size() < qsizetype(pageSize))
            return refused();
        QFile database;
        if (auto opened = RegularFile::openForReading(path, database); !opened)
            return refused();
        const QByteArray current = database.read(pageSize);
        database.close();
        // The same page but for what the switch changes: the journal mode (bytes 18
        // and 19), the change counter (24) and the version it is valid for (92).
        const auto comparable = [](QByteArray page) {
            for (int at : {18, 19, 24, 25, 26, 27, 92, 93, 94, 95})
                page[at] = 0;
            return page;
        };
        if (current.size() != saved.size() || comparable(current) != comparable(saved))
            return refused();

        auto writable = SqliteDatabase::open(path, SqliteDatabase::Mode::ReadWrite);
        if (!writable)
            return sqliteError(path, writable.error());
        SqliteStatement* read = writable.value()->prepare("PRAGMA schema_version");
        if (!read || read->step() != SQLITE_ROW)
            return sqliteError(path, StoreError(writable.value()->lastError(), writable.value()->lastErrorCode()));
        read->reset();
        return Done {};
    }

    // Reads the schema version on a read-only connection. A file with no log
    // beside it is read as it is, which creates none; otherwise whatever side file
    // the check created goes again when the file is refused.
    Expected<Done, StoreError> checkSchema(const QString& path)
    {
        std::array<bool, sideSuffixes.size()> existed {};
        bool anySideFile = false;
        for (size_t i = 0; i < sideSuffixes.size(); ++i) {
            existed[i] = pathExists(path + QLatin1String(sideSuffixes[i]));
            anySideFile = anySideFile || existed[i];
        }
        auto checked = [&]() -> Expected<Done, StoreError> {
            auto readOnly = SqliteDatabase::open(
                path, anySideFile ? SqliteDatabase::Mode::ReadOnly : SqliteDatabase::Mode::ReadOnlySnapshot);
            if (!readOnly)
                return sqliteError(path, readOnly.error());
            return checkSchema(path, *readOnly.value());
        }();
        if (!checked) {
            for (size_t i = 0; i < 2; ++i) { // the log and its index, never a journal
                if (!existed[i])
                    QFile::remove(path + QLatin1String(sideSuffixes[i]));
            }
        }
        return checked;
    }

    Expected<Done, StoreError> checkSchema(const QString& path, SqliteDatabase& db)
    {
        const QString shownPath = shown(path);
        SqliteStatement* applicationId = db.prepare("PRAGMA application_id");
        if (!applicationId || applicationId->step() != SQLITE_ROW)
            return sqliteError(path, StoreError(db.lastError(), db.lastErrorCode()));
        const qint64 id = applicationId->int64(0);
        applicationId->reset();
        if (id != StoreSchema::applicationId)
            return StoreError(tr("The file “%1” is an SQLite database of another program, not an Applywright "
                                 "database. It was left unchanged.")
                                  .arg(shownPath));

        // Only as much as a message can quote: the file may hold any length of text here.
        SqliteStatement* version = db.prepare("SELECT substr(value, 1, " + QByteArray::number(longestVersion + 1)
            + ") FROM Metadata WHERE key = 'schemaVersion'");
        const int rc = version ? version->step() : SQLITE_ERROR;
        if (rc == SQLITE_DONE)
            return StoreError(tr("The database file “%1” has no data format version and cannot be opened. It was "
                                 "left unchanged.")
                                  .arg(shownPath));
        if (rc != SQLITE_ROW)
            return sqliteError(path, StoreError(db.lastError(), db.lastErrorCode()));
        const QString found = version->text(0);
        version->reset();
        if (found != QLatin1String(Store::schemaVersion))
            return StoreError(tr("The database file “%1” uses data format %2, but this version of Applywright "
                                 "reads format %3. It was left unchanged.")
                                  .arg(shownPath, brief(found, longestVersion), QLatin1String(Store::schemaVersion)));
        return Done {};
    }

    // SQLite's complaint about `path`, said as its cause: damage, a full disk or
    // something else, with SQLite's own words.
    StoreError sqliteError(const QString& path, const StoreError& error) const
    {
        if (isDamage(error.code(), error.description()))
            return StoreError(tr("The database file “%1” is damaged (%2). It was left unchanged.")
                                  .arg(shown(path), brief(error.description())),
                error.code());
        if (isDiskFull(error.code()))
            return StoreError(
                tr("The disk is full: the database file “%1” could not be opened.").arg(shown(path)), error.code());
        return StoreError(
            tr("The database file “%1” could not be opened: %2.").arg(shown(path), brief(error.description())),
            error.code());
    }

    // The store's own connection, with the settings every session of it uses.
    Expected<std::unique_ptr<SqliteDatabase>, StoreError> openConfigured(const QString& path)
    {
        auto database = SqliteDatabase::open(path, SqliteDatabase::Mode::ReadWrite);
        if (!database)
            return sqliteError(path, database.error());
        // SQLite quietly falls back to reading a write-protected file; every save
        // would then fail and the user's edits would be lost at the end of the run.
        if (database.value()->isReadOnly())
            return StoreError(tr("The database file “%1” cannot be written to, so changes could not be saved. It "
                                 "was left unchanged.")
                                  .arg(shown(path)));
        // Nothing here reads the file: a store whose records turn out damaged is left as
        // it was (the log and how it is synced come once they have been read). A save
        // waits less than opening may: it runs while the window waits.
        for (const char* pragma : {"PRAGMA foreign_keys = ON", "PRAGMA busy_timeout = 2000"}) {
            if (auto done = database.value()->exec(pragma); !done)
                return sqliteError(path, done.error());
        }
        return database;
    }

    StoreError creationError(const QString& path, int sqliteCode, const QString& detail) const
    {
        if (isDiskFull(sqliteCode))
            return StoreError(tr("The disk is full: the new database “%1” could not be created. Free some space, "
                                 "then start Applywright again.")
                                  .arg(shown(path)),
                sqliteCode);
        return StoreError(
            tr("The database file “%1” could not be created: %2.").arg(shown(path), brief(detail)), sqliteCode);
    }

    // A new database is built complete, already in WAL mode, under a temporary name
    // and moved into place in one step. A start interrupted at any moment leaves
    // either no database (the next start begins again) or a whole one, and never a
    // journal beside it.
    Expected<std::unique_ptr<SqliteDatabase>, StoreError> create(const QString& path)
    {
        const QString temporary = path + QLatin1String(".new");
        const auto removeTemporary = [&temporary] {
            for (const char* suffix : {"", "-journal", "-wal", "-shm"})
                QFile::remove(temporary + QLatin1String(suffix));
        };
        removeTemporary(); // what an interrupted first start left
        {
            auto fresh = SqliteDatabase::open(temporary, SqliteDatabase::Mode::Create);
            if (!fresh)
                return creationError(path, fresh.error().code(), fresh.error().description());
            SqliteDatabase& db = *fresh.value();
            const QByteArray setup = "PRAGMA journal_mode = WAL;\nPRAGMA synchronous = FULL;\n"
                                     "PRAGMA application_id = "
                + QByteArray::number(StoreSchema::applicationId) + ";\nBEGIN;\n" + StoreSchema::createStatements()
                + "INSERT INTO Metadata (key, value) VALUES ('schemaVersion', '" + Store::schemaVersion
                + "');\nCOMMIT;\nPRAGMA wal_checkpoint(TRUNCATE);";
            if (auto done = db.exec(setup.constData()); !done) {
                fresh.value().reset();
                removeTemporary();
                return creationError(path, done.error().code(), done.error().description());
            }
        } // closing the last connection writes the rest of the log into the file and removes it
        const QByteArray name = QFile::encodeName(path);
        const QByteArray temporaryName = QFile::encodeName(temporary);
        ::chmod(temporaryName.constData(), S_IRUSR | S_IWUSR);
        if (::rename(temporaryName.constData(), name.constData()) != 0) {
            const int error = errno;
            removeTemporary();
            return creationError(path, error == ENOSPC ? SQLITE_FULL : SQLITE_CANTOPEN, qt_error_string(error));
        }
        removeTemporary(); // an empty log of the temporary name, if SQLite kept one
        // The new name itself must survive a power cut, not only the file's contents.
        if (const int folder = ::open(QFile::encodeName(m_directory).constData(), O_RDONLY | O_CLOEXEC); folder >= 0) {
            ::fsync(folder);
            ::close(folder);
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
