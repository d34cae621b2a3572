#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QtEndian>

#include <sqlite3.h>

namespace TestSupport {

// Runs `sql` (one statement or more) on a store's file through a second connection, the
// way another process would: the given column (the first unless asked) of every row,
// joined with "|", or "<error: …>" when SQLite refused. A file is not made where there
// is none, unless asked.
inline QString query(const QString& path, const char* sql, int open = SQLITE_OPEN_READWRITE, int column = 0)
{
    sqlite3* db = nullptr;
    struct Rows {
        int column;
        QStringList texts;
    } rows {column, {}};
    const auto oneColumn = [](void* out, int count, char** values, char**) {
        auto* read = static_cast<Rows*>(out);
        const char* value = read->column < count ? values[read->column] : nullptr;
        read->texts.append(value ? QString::fromUtf8(value) : QStringLiteral("<null>"));
        return 0;
    };
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, open, nullptr) != SQLITE_OK
        || (sqlite3_busy_timeout(db, 10000), sqlite3_exec(db, sql, oneColumn, &rows, nullptr)) != SQLITE_OK)
        rows.texts = QStringList {QStringLiteral("<error: %1>").arg(QString::fromUtf8(sqlite3_errmsg(db)))};
    sqlite3_close(db);
    return rows.texts.join(u'|');
}

// Runs `sql` as query() does; false when SQLite refused it (used to make the disk refuse writes).
inline bool execute(const QString& path, const char* sql)
{
    return !query(path, sql, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE).startsWith(u"<error: ");
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

// Damage that every read of the records passes over, but SQLite's check finds: the
// count of fragmented free bytes of the last leaf page of `object` (a table or an
// index) of a file with 4096-byte pages and no log beside it.
inline bool damageLastLeaf(const QString& path, const QByteArray& object, int offset = 7, char byte = '\x3f')
{
    sqlite3* db = nullptr;
    sqlite3_stmt* statement = nullptr;
    qint64 page = 0;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK
        && sqlite3_prepare_v2(db, "SELECT rootpage FROM sqlite_master WHERE name = ?1", -1, &statement, nullptr)
            == SQLITE_OK) {
        sqlite3_bind_text(statement, 1, object.constData(), int(object.size()), SQLITE_TRANSIENT);
        if (sqlite3_step(statement) == SQLITE_ROW)
            page = sqlite3_column_int64(statement, 0);
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    QFile file(path);
    if (page <= 1 || !file.open(QIODevice::ReadWrite))
        return false;
    // Down the right edge of the tree to a leaf.
    for (QByteArray header; file.seek((page - 1) * 4096) && (header = file.read(12)).size() == 12
         && (header.at(0) == 0x02 || header.at(0) == 0x05);)
        page = qFromBigEndian<quint32>(header.constData() + 8);
    return file.seek((page - 1) * 4096 + offset) && file.putChar(byte);
}

} // namespace TestSupport
