#pragma once

#include "model/Clock.h"
#include "model/DayCount.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QList>
#include <QProcess>
#include <QStringList>
#include <QTimeZone>

#include <ctime>
#include <sys/stat.h>
#include <unistd.h>

namespace TestSupport {

// The peak resident memory of this process is measured from here on (Linux: VmHWM
// starts again from the present resident size); false when the system refuses.
inline bool resetPeakMemory()
{
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    return refs.open(QIODevice::WriteOnly) && refs.write("5") == 1;
}
// A figure of this process's memory in bytes: "VmRSS:" now, "VmHWM:" the peak.
inline qint64 residentMemory(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').front().toLongLong() * 1024;
    }
    return 0;
}

// Switches the process time zone; Qt re-reads TZ before each local-time conversion,
// and the kept day offsets are asked to look again.
inline void useTimeZone(const char* zone)
{
    qputenv("TZ", zone);
    tzset();
    LocalDayResolver::checkZone();
}

// The whole of the file at `path`; nothing when it cannot be read.
inline QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Writes `bytes` as the whole of the file at `path`; false when it could not.
inline bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// A local wall-clock moment in the current time zone.
inline QDateTime local(int year, int month, int day, int hour = 12, int minute = 0, int second = 0)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second), Qt::LocalTime);
}

// The moment the tests of the window and of the figures run at: Friday 14 March 2025, 10:00.
inline QDateTime testNow()
{
    return local(2025, 3, 14, 10, 0);
}

inline QDateTime utc(int year, int month, int day, int hour = 12, int minute = 0, int second = 0, int ms = 0)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second, ms), Qt::UTC);
}

// Pins Clock::now() for the life of the object.
class FixedClock {
public:
    explicit FixedClock(const QDateTime& moment) { Clock::setFixed(moment.toUTC()); }
    ~FixedClock() { Clock::reset(); }
    void set(const QDateTime& moment) { Clock::setFixed(moment.toUTC()); }
    FixedClock(const FixedClock&) = delete;
    FixedClock& operator=(const FixedClock&) = delete;
};

// The company names of `records` in their order: one comparison shows a missing,
// extra or misplaced record.
template <typename Records> QStringList companies(const Records& records)
{
    QStringList names;
    for (const auto* record : records)
        names.append(record->companyName());
    return names;
}

// Everything under a folder as "path mode size hash" lines (links by their target):
// what a refused start or a failure window must leave exactly as it found it.
inline QStringList snapshot(const QString& folder)
{
    QStringList entries;
    QDirIterator it(
        folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        struct stat status { };
        ::lstat(QFile::encodeName(info.filePath()).constData(), &status);
        QString line = QDir(folder).relativeFilePath(info.filePath()) + u' ' + QString::number(status.st_mode, 8);
        if (S_ISREG(status.st_mode))
            line += u' ' + QString::number(status.st_size) + u' '
                + QString::fromLatin1(
                    QCryptographicHash::hash(readFile(info.filePath()), QCryptographicHash::Sha256).toHex());
        else if (S_ISLNK(status.st_mode))
            line += QStringLiteral(" -> ") + info.symLinkTarget();
        entries.append(line);
    }
    entries.sort();
    return entries;
}

// The processes named `name` that this process started and that still run (Linux).
inline QList<qint64> childProcesses(const QByteArray& name, qint64 parent = ::getpid())
{
    QList<qint64> found;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString& entry : entries) {
        bool number = false;
        const qint64 pid = entry.toLongLong(&number);
        QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
        if (!number || !stat.open(QIODevice::ReadOnly))
            continue;
        // "pid (name) state ppid ..."
        const QByteArray line = stat.readAll();
        const qsizetype close = line.lastIndexOf(')');
        const QList<QByteArray> fields = line.mid(close + 2).split(' ');
        if (line.mid(line.indexOf('(') + 1, close - line.indexOf('(') - 1) == name && fields.size() > 1
            && fields.at(1).toLongLong() == parent)
            found.append(pid);
    }
    return found;
}

// The rows of a CSV file as Python's csv module reads them (strict, UTF-8 with or
// without a byte-order mark): a reader that shares no code with our writer. Empty
// when it fails, with the reason in `error`.
inline QList<QStringList> readCsvWithPython(const QString& path, QString* error = nullptr)
{
    QProcess python;
    python.start(QStringLiteral("python3"),
        {QStringLiteral("-c"),
            QStringLiteral("import csv, json, sys\n"
                           "with open(sys.argv[1], newline='', encoding='utf-8-sig') as f:\n"
                           "    json.dump(list(csv.reader(f, strict=True)), sys.stdout)\n"),
            path});
    if (!python.waitForFinished(30000) || python.exitCode() != 0) {
        if (error)
            *error = QString::fromUtf8(python.readAllStandardError()) + python.errorString();
        return {};
    }
    QList<QStringList> rows;
    for (const QJsonValue& row : QJsonDocument::fromJson(python.readAllStandardOutput()).array()) {
        QStringList cells;
        for (const QJsonValue& cell : row.toArray())
            cells << cell.toString();
        rows.append(cells);
    }
    return rows;
}

} // namespace TestSupport
