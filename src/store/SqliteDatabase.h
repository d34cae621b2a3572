#pragma once

#include "model/Expected.h"
#include "store/StoreError.h"

#include <QByteArray>
#include <QHash>
#include <QString>

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
    void bindNull(int index);

    // SQLITE_ROW, SQLITE_DONE or an error code.
    int step();
    void reset();

    bool isNull(int column) const;
    qint64 int64(int column) const;
    QString text(int column) const;

private:
    sqlite3_stmt* m_statement;
};

// One SQLite connection with a cache of prepared statements.
class SqliteDatabase {
public:
    enum class Mode { ReadOnly, ReadWrite, Create };

    static Expected<std::unique_ptr<SqliteDatabase>, StoreError> open(const QString& path, Mode mode);
    ~SqliteDatabase();

    Expected<Done, StoreError> exec(const char* sql);
    // A cached statement for sql, reset and with its bindings cleared; null on error.
    SqliteStatement* prepare(const QByteArray& sql);
    QString lastError() const;
    // True when the file could only be opened for reading (it is write-protected),
    // whatever mode was asked for.
    bool isReadOnly() const;

private:
    explicit SqliteDatabase(sqlite3* db)
        : m_db(db)
    {
    }
    sqlite3* m_db;
    QHash<QByteArray, std::shared_ptr<SqliteStatement>> m_statements;
};
