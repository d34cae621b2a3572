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

// Every row of the store's two tables, in identifier order, one line each with
// NULL told apart from an empty text: what a file holds, to compare byte for byte.
inline QString dumpTables(const QString& path)
{
    sqlite3* db = nullptr;
    QString dump;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        for (const char* sql : {"SELECT * FROM JobApplication ORDER BY id", "SELECT * FROM StatusChange ORDER BY id"}) {
            sqlite3_exec(
                db, sql,
                [](void* out, int columns, char** values, char**) {
                    auto& text = *static_cast<QString*>(out);
                    for (int i = 0; i < columns; ++i)
                        text
                            += (values[i] ? u'"' + QString::fromUtf8(values[i]) + u'"' : QStringLiteral("NULL")) + u'|';
                    text += u'\n';
                    return 0;
                },
                &dump, nullptr);
            dump += QStringLiteral("--\n");
        }
    }
    sqlite3_close(db);
    return dump;
}

} // namespace TestSupport
