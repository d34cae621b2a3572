// The other process of the store tests:
//   DATA_DIR             edits and saves in a loop until killed, printing "saved <n>" after each save that succeeded,
//                        so the parent knows which changes must survive a kill
//   --first-start DIR    opens (creates) the store once, prints "opened" or the failure, and exits
//   --read-loop FILE MS  opens, reads and closes FILE again and again for MS milliseconds, as a backup tool would
//   --fill-log FILE N    writes N rows of 2 KB into FILE's log and dies without closing, leaving the log full
#include "model/ApplicationEdits.h"
#include "model/JobApplication.h"
#include "store/Store.h"
#include "store/StoreLoader.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>

#include <cstdio>
#include <sqlite3.h>
#include <unistd.h>

namespace {

int firstStart(const QString& directory)
{
    StoreLoader loader = openStore(directory);
    if (!loader.isReady()) {
        std::printf("failed %s\n", qPrintable(loader.message()));
        return 1;
    }
    std::printf("opened\n");
    return 0;
}

int readLoop(const QByteArray& path, qint64 milliseconds)
{
    QElapsedTimer timer;
    timer.start();
    std::printf("reading\n");
    std::fflush(stdout);
    while (timer.elapsed() < milliseconds) {
        sqlite3* db = nullptr;
        sqlite3_open_v2(path.constData(), &db, SQLITE_OPEN_READONLY, nullptr);
        sqlite3_busy_timeout(db, 10000);
        sqlite3_exec(db, "SELECT count(*) FROM Filler", nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }
    return 0;
}

int fillLog(const QByteArray& path, int rows)
{
    sqlite3* db = nullptr;
    if (sqlite3_open(path.constData(), &db) != SQLITE_OK)
        return 1;
    const char* sql = "PRAGMA wal_autocheckpoint = 0; CREATE TABLE IF NOT EXISTS Filler(x); BEGIN;";
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        return 1;
    for (int i = 0; i < rows; ++i)
        sqlite3_exec(db, "INSERT INTO Filler VALUES (randomblob(2000))", nullptr, nullptr, nullptr);
    if (sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
        return 1;
    // Gone without closing, as a crash would: the log is never copied into the file.
    std::fflush(stdout);
    _exit(0);
}

int saveLoop(const QString& directory)
{
    StoreLoader loader = openStore(directory);
    if (!loader.isReady()) {
        std::fprintf(stderr, "open failed: %s\n", qPrintable(loader.message()));
        return 1;
    }
    Store& store = *loader.store();
    store.setAutosaveDelay(-1);

    // The counter record carries the number of the last save in its notes.
    JobApplication* counter = nullptr;
    for (JobApplication* a : store.applications())
        counter = a->companyName() == QLatin1String("counter") ? a : counter;
    long long next = counter ? counter->notes().toString().toLongLong() + 1 : 0;
    ApplicationEdits edits;
    using F = ApplicationField;
    if (!counter) {
        counter = store.insert(JobApplication::makeBlank());
        edits.edit<F::companyName>(*counter, QStringLiteral("counter"));
    }

    for (;; ++next) {
        const QString n = QString::number(next);
        edits.edit<F::notes>(*counter, n);
        JobApplication* record = store.insert(JobApplication::makeBlank());
        edits.edit<F::companyName>(*record, QStringLiteral("record ") + n);
        edits.edit<F::position>(*record, QString(200, QLatin1Char('x')));
        edits.changeStatus(*record, ApplicationStatus::hrInterview);
        if (next % 7 == 0 && store.applications().size() > 3)
            store.remove(store.applications().at(1));
        if (!store.save()) {
            std::fprintf(stderr, "save failed\n");
            return 1;
        }
        std::printf("saved %lld\n", next);
        std::fflush(stdout);
    }
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() == 3 && arguments.at(1) == QLatin1String("--first-start"))
        return firstStart(arguments.at(2));
    if (arguments.size() == 4 && arguments.at(1) == QLatin1String("--read-loop"))
        return readLoop(QFile::encodeName(arguments.at(2)), arguments.at(3).toLongLong());
    if (arguments.size() == 4 && arguments.at(1) == QLatin1String("--fill-log"))
        return fillLog(QFile::encodeName(arguments.at(2)), arguments.at(3).toInt());
    if (arguments.size() == 2)
        return saveLoop(arguments.at(1));
    std::fprintf(stderr, "usage: store_crash_child [--first-start|--read-loop FILE MS|--fill-log FILE N] DATA_DIR\n");
    return 2;
}
