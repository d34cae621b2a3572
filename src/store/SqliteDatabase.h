#pragma once

#include "model/Expected.h"
#include "store/StoreError.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <array>
#include <memory>
#include <optional>

struct sqlite3;
struct sqlite3_stmt;

// A prepared statement bound to its database; reset for reuse after each run.
class SqliteStatement {
public:
    explicit SqliteStatement(sqlite3_stmt* statement)
        : m_statement(statement)
    {
    }
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    void bind(int index, qint64 value);
    void bind(int index, const QString& text);
    void bind(int index, const std::optional<QString>& text);
    void bind(int index, const std::optional<qint64>& value);
    // UTF-8 text bound without a copy: `utf8` must stay as it is until the statement has run.
    void bindUtf8(int index, QByteArrayView utf8);
    // A value of `size` zero bytes, to be filled in afterwards (SqliteDatabase::writeBlob).
    void bindZeroBlob(int index, qsizetype size);
    void bindNull(int index);

    // SQLITE_ROW, SQLITE_DONE or an error code.
    int step();
    void reset();

    bool isNull(int column) const;
    qint64 int64(int column) const;
    QString text(int column) const;
    // The column's UTF-8 bytes as SQLite holds them, valid until the next step or reset.
    QByteArrayView utf8(int column) const;
    // The same without a conversion: a value stored as a blob reads as its bytes.
    QByteArrayView bytes(int column) const;

private:
    sqlite3_stmt* m_statement;
};

// One SQLite connection with a cache of prepared statements.
class SqliteDatabase {
public:
    enum class Mode {
        ReadOnly,
        // Reads the file alone, as it is: no lock, no log, and no side file is created.
        // Only for a file that has no log beside it and that nobody else writes.
        ReadOnlySnapshot,
        ReadWrite,
        Create,
    };

    // How long any connection waits for another one (of this or another program)
    // that holds the file, before an operation gives up with "database is locked".
    static constexpr int busyTimeoutMs = 5000;

    // What SQLite keeps beside a database: its log, the log's index and the rollback
    // journal an interrupted change of a file without a log leaves.
    static constexpr std::array<const char*, 3> sideSuffixes = {"-wal", "-shm", "-journal"};
    // Whether any of them is there.
    static bool hasSideFiles(const QString& path);

    static Expected<std::unique_ptr<SqliteDatabase>, StoreError> open(const QString& path, Mode mode);
    ~SqliteDatabase();

    Expected<Done, StoreError> exec(const char* sql);
    // A cached statement for sql, reset and with its bindings cleared; null on error.
    SqliteStatement* prepare(const QByteArray& sql);
    QString lastError() const;
    // The extended result code of the last failed call.
    int lastErrorCode() const;
    // Writes `bytes` over the start of the blob in `column` of row `row`, a piece at a
    // time: a value of hundreds of megabytes is never copied whole.
    bool writeBlob(const char* table, const char* column, qint64 row, QByteArrayView bytes);
    // True when the file could only be opened for reading (it is write-protected),
    // whatever mode was asked for.
    bool isReadOnly() const;
    // SQLite's own check of every page and index ("PRAGMA quick_check"): nothing when
    // the file is sound, otherwise the first problem found.
    std::optional<QString> quickCheck();
    // Closing the last connection normally copies the log into the database file;
    // a file found damaged must not be written to, not even that way.
    void keepLogOnClose();

private:
    explicit SqliteDatabase(sqlite3* db)
        : m_db(db)
    {
    }
    sqlite3* m_db;
    QHash<QByteArray, std::shared_ptr<SqliteStatement>> m_statements;
};
