#include "store/SqliteDatabase.h"

#include "model/Utf8Text.h"

#include <QFile>

#include <sqlite3.h>

#include <algorithm>
#include <cerrno>

#include <sys/stat.h>

namespace {
// A full disk shows as SQLITE_FULL on most writes, but as an I/O error on some
// (a sync, a truncation); the system's own error tells them apart.
int resultCode(sqlite3* db)
{
    const int code = sqlite3_extended_errcode(db);
    const int system = sqlite3_system_errno(db);
    if ((code & 0xff) == SQLITE_IOERR && (system == ENOSPC || system == EDQUOT))
        return SQLITE_FULL;
    return code;
}
} // namespace

bool SqliteDatabase::hasSideFiles(const QString& path)
{
    for (const char* suffix : sideSuffixes) {
        struct stat status { };
        if (::lstat(QFile::encodeName(path + QLatin1String(suffix)).constData(), &status) == 0)
            return true;
    }
    return false;
}

SqliteStatement::~SqliteStatement()
{
    sqlite3_finalize(m_statement);
}

void SqliteStatement::bind(int index, qint64 value)
{
    sqlite3_bind_int64(m_statement, index, value);
}

void SqliteStatement::bind(int index, const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text(m_statement, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

void SqliteStatement::bind(int index, const std::optional<QString>& text)
{
    if (text)
        bind(index, *text);
    else
        bindNull(index);
}

void SqliteStatement::bind(int index, const std::optional<qint64>& value)
{
    if (value)
        bind(index, *value);
    else
        bindNull(index);
}

void SqliteStatement::bindNull(int index)
{
    sqlite3_bind_null(m_statement, index);
}

int SqliteStatement::step()
{
    return sqlite3_step(m_statement);
}

void SqliteStatement::reset()
{
    sqlite3_reset(m_statement);
    sqlite3_clear_bindings(m_statement);
}

bool SqliteStatement::isNull(int column) const
{
    return sqlite3_column_type(m_statement, column) == SQLITE_NULL;
}

qint64 SqliteStatement::int64(int column) const
{
    return sqlite3_column_int64(m_statement, column);
}

QString SqliteStatement::text(int column) const
{
    const QByteArrayView bytes = utf8(column);
    return bytes.data() ? textFromUtf8(bytes) : QString();
}

void SqliteStatement::bindUtf8(int index, QByteArrayView utf8)
{
    // An empty view may have no address; SQLite would read that as NULL, not as an empty text.
    const char* bytes = utf8.isEmpty() ? "" : utf8.data();
    sqlite3_bind_text64(m_statement, index, bytes, sqlite3_uint64(utf8.size()), SQLITE_STATIC, SQLITE_UTF8);
}

void SqliteStatement::bindZeroBlob(int index, qsizetype size)
{
    sqlite3_bind_zeroblob64(m_statement, index, sqlite3_uint64(size));
}

QByteArrayView SqliteStatement::bytes(int column) const
{
    const auto* data = static_cast<const char*>(sqlite3_column_blob(m_statement, column));
    return QByteArrayView(data, data ? sqlite3_column_bytes(m_statement, column) : 0);
}

QByteArrayView SqliteStatement::utf8(int column) const
{
    const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column));
    return QByteArrayView(data, data ? sqlite3_column_bytes(m_statement, column) : 0);
}

Expected<std::unique_ptr<SqliteDatabase>, StoreError> SqliteDatabase::open(const QString& path, Mode mode)
{
    int flags = SQLITE_OPEN_NOMUTEX;
    QByteArray name = QFile::encodeName(path);
    switch (mode) {
    case Mode::ReadOnly: flags |= SQLITE_OPEN_READONLY; break;
    case Mode::ReadOnlySnapshot:
        flags |= SQLITE_OPEN_READONLY | SQLITE_OPEN_URI;
        name = "file:" + name.toPercentEncoding("/") + "?immutable=1";
        break;
    case Mode::ReadWrite: flags |= SQLITE_OPEN_READWRITE; break;
    case Mode::Create: flags |= SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE; break;
    }
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(name.constData(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        QString message = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc));
        const int code = db ? resultCode(db) : rc;
        sqlite3_close(db);
        return StoreError(message, code);
    }
    sqlite3_extended_result_codes(db, 1);
    // Before anything else reads the file: another program reading it, or one
    // replaying a large log after a crash, holds it for a moment.
    sqlite3_busy_timeout(db, busyTimeoutMs);
    return std::unique_ptr<SqliteDatabase>(new SqliteDatabase(db));
}

SqliteDatabase::~SqliteDatabase()
{
    m_statements.clear(); // finalize every statement before the connection closes
    sqlite3_close(m_db);
}

Expected<Done, StoreError> SqliteDatabase::exec(const char* sql)
{
    char* message = nullptr;
    if (sqlite3_exec(m_db, sql, nullptr, nullptr, &message) != SQLITE_OK) {
        StoreError error(QString::fromUtf8(message ? message : sqlite3_errmsg(m_db)), resultCode(m_db));
        sqlite3_free(message);
        return error;
    }
    return Done {};
}

SqliteStatement* SqliteDatabase::prepare(const QByteArray& sql)
{
    if (auto found = m_statements.constFind(sql); found != m_statements.constEnd()) {
        found.value()->reset();
        return found.value().get();
    }
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v3(m_db, sql.constData(), int(sql.size()), SQLITE_PREPARE_PERSISTENT, &statement, nullptr)
        != SQLITE_OK) {
        return nullptr;
    }
    auto wrapped = std::make_shared<SqliteStatement>(statement);
    m_statements.insert(sql, wrapped);
    return wrapped.get();
}

QString SqliteDatabase::lastError() const
{
    return QString::fromUtf8(sqlite3_errmsg(m_db));
}

bool SqliteDatabase::isReadOnly() const
{
    return sqlite3_db_readonly(m_db, "main") == 1;
}

int SqliteDatabase::lastErrorCode() const
{
    return resultCode(m_db);
}

std::optional<QString> SqliteDatabase::quickCheck()
{
    // One problem is enough to refuse the file, and the first is the one to show.
    SqliteStatement* check = prepare("PRAGMA quick_check(1)");
    if (!check)
        return lastError();
    const int rc = check->step();
    std::optional<QString> problem;
    if (rc != SQLITE_ROW)
        problem = lastError();
    else if (const QString result = check->text(0); result != QLatin1String("ok"))
        problem = result;
    check->reset();
    return problem;
}

void SqliteDatabase::keepLogOnClose()
{
    sqlite3_db_config(m_db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
}

bool SqliteDatabase::writeBlob(const char* table, const char* column, qint64 row, QByteArrayView bytes)
{
    sqlite3_blob* blob = nullptr;
    if (sqlite3_blob_open(m_db, "main", table, column, row, 1, &blob) != SQLITE_OK) {
        sqlite3_blob_close(blob);
        return false;
    }
    constexpr qsizetype piece = qsizetype(1) << 20;
    bool ok = true;
    for (qsizetype at = 0; ok && at < bytes.size(); at += piece) {
        const qsizetype length = std::min(piece, bytes.size() - at);
        ok = sqlite3_blob_write(blob, bytes.data() + at, int(length), int(at)) == SQLITE_OK;
    }
    return sqlite3_blob_close(blob) == SQLITE_OK && ok;
}
