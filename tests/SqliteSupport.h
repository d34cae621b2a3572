#pragma once

#include <QFile>
#include <QString>

#include <sqlite3.h>

namespace TestSupport {

// Runs one statement on a store's file through a second connection, the way
// another process would (used to make the disk refuse writes).
inline bool execute(const QString& path, const char* sql)
{
    sqlite3* db = nullptr;
    if (sqlite3_open(QFile::encodeName(path).constData(), &db) != SQLITE_OK) {
        sqlite3_close(db);
        return false;
    }
    sqlite3_busy_timeout(db, 2000);
    const bool ok = sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

} // namespace TestSupport
