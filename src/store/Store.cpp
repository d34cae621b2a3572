#include "store/Store.h"

#include "store/SqliteDatabase.h"
#include "store/StoreLock.h"
#include "store/StoreSchema.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFutureWatcher>
#include <QSemaphore>
#include <QThread>
#include <QtConcurrent/QtConcurrentRun>

#include <sqlite3.h>

#include <algorithm>

namespace {
QString describe(const char* what, const QString& detail)
{
    return QCoreApplication::translate("Store", what) + QLatin1String(": ") + detail;
}
} // namespace

Store::Store(QString dataDirectory, std::unique_ptr<SqliteDatabase> database)
    : m_dataDirectory(std::move(dataDirectory))
    , m_db(std::move(database))
{
    m_autosave.setSingleShot(true);
    m_autosave.setInterval(defaultAutosaveDelayMs);
    connect(&m_autosave, &QTimer::timeout, this, &Store::saveIfNeeded);
}

Store::~Store()
{
    if (m_pendingCheck.isValid())
        m_pendingCheck.waitForFinished();
    // The read may still be waiting for a window (it has not even started then): it
    // is let through and waited for, so that what it reads is deleted here.
    beginReading();
    if (!m_loaded) {
        m_pendingLoad.waitForFinished();
        takeFirstApplications();
        // Not valid when no read was started in the background (the file could not be
        // opened): then no records wait to be deleted here.
        if (m_pendingLoad.isValid()) {
            if (auto records = m_pendingLoad.result(); records) {
                qDeleteAll(records.value().applications); // the first ones among them
                m_first.clear();
            }
        }
        m_loaded = true;
    }
    // Read first, but the rest could not be: never the store's records.
    for (JobApplication* application : std::as_const(m_first))
        application->setObserver(nullptr);
    qDeleteAll(m_first);
    // Last chance for edits made after the final explicit save.
    saveIfNeeded();
    // Records go before the connection; their destruction emits nothing we listen to.
    for (JobApplication* application : std::as_const(m_applications)) {
        application->setObserver(nullptr);
        delete application;
    }
}

QString Store::databasePath() const
{
    return QDir(m_dataDirectory).filePath(QLatin1String(databaseFileName));
}

Expected<std::unique_ptr<SqliteDatabase>, StoreError> Store::openForReading(const QString& path)
{
    // A connection of its own: the store's connection stays with the store's thread.
    // The store holds the folder's lock, so nobody writes the file meanwhile, and a
    // file with no side files is read as it is, which creates none.
    auto opened = SqliteDatabase::open(path,
        SqliteDatabase::hasSideFiles(path) ? SqliteDatabase::Mode::ReadOnly : SqliteDatabase::Mode::ReadOnlySnapshot);
    if (!opened)
        return StoreError(
            describe(QT_TRANSLATE_NOOP("Store", "The applications could not be read"), opened.error().description()));
    // It reads the file once, front to back: a page cache of the default 2 MB would
    // only sit beside the records being built. If the setting fails, the read still works.
    (void)opened.value()->exec("PRAGMA cache_size = -128");
    return opened;
}

Expected<Store::LoadedRecords, StoreError> Store::checkAndRead(const QString& path)
{
    auto opened = openForReading(path);
    if (!opened)
        return opened.error();
    if (auto damaged = damage(*opened.value(), path))
        return *damaged;
    StoreSchema::TextPool texts;
    return readRecords(*opened.value(), texts);
}

Expected<Done, StoreError> Store::readFailure(SqliteDatabase& db, const QString& path, const StoreError& error)
{
    // A read that fails is checked at once: a damaged file is refused for its damage
    // rather than for what reading ran into.
    if (auto damaged = damage(db, path))
        return *damaged;
    return error;
}

std::optional<StoreError> Store::check(const QString& path)
{
    auto opened = openForReading(path);
    if (!opened)
        return opened.error();
    return damage(*opened.value(), path);
}

std::optional<StoreError> Store::damage(SqliteDatabase& db, const QString& path)
{
    if (const std::optional<QString> problem = db.quickCheck()) {
        // The report opens with a line naming the database ("*** in database main ***").
        QString found;
        for (const QString& line : problem->split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            found = line.trimmed();
            if (!found.startsWith(QLatin1String("***")))
                break;
        }
        if (found.size() > 160)
            found = found.left(159) + QChar(0x2026);
        return StoreError(QCoreApplication::translate(
            "Store", "The database file “%1” is damaged: its integrity check reports “%2”. It was left unchanged.")
                              .arg(QDir::toNativeSeparators(path), found));
    }
    return std::nullopt;
}

namespace {
// Deletes a record as deleteLater deletes an object: once control is back in the
// event loop the removal came from, so views still in the calls that are running
// may finish with it.
void deleteRecordLater(JobApplication* application)
{
    struct Holder : QObject {
        explicit Holder(JobApplication* held)
            : record(held)
        {
        }
        std::unique_ptr<JobApplication> record;
    };
    (new Holder(application))->deleteLater();
}

// The newest records, as the list shows them first (the live query's order).
// Found through the index in that order (a file written before it has none until
// its next save, and is read whole), then named by identifier: the records and
// their history are looked up, not searched for again.
std::optional<QByteArray> newestIds(SqliteDatabase& db, int count)
{
    SqliteStatement* statement = db.prepare(QByteArray("SELECT id FROM JobApplication ORDER BY ")
        + StoreSchema::newestFirst + " LIMIT " + QByteArray::number(count));
    if (!statement)
        return std::nullopt;
    QByteArray ids;
    int rc;
    while ((rc = statement->step()) == SQLITE_ROW)
        ids += (ids.isEmpty() ? "" : ",") + QByteArray::number(statement->int64(0));
    statement->reset();
    if (rc != SQLITE_DONE)
        return std::nullopt;
    return ids;
}
} // namespace

Expected<Store::LoadedRecords, StoreError> Store::readRecords(
    SqliteDatabase& db, StoreSchema::TextPool& texts, Part part, const QList<JobApplication*>& alreadyRead)
{
    LoadedRecords loaded;
    // Each record is built whole (its values, then its history) before anyone sees it.
    std::vector<ApplicationBuilder> records;
    // Ascending (the rows come in identifier order): an entry finds its record by binary search.
    QList<RecordID> ids;
    // Read before, and only passed over now.
    QList<RecordID> readIds;
    for (const JobApplication* application : alreadyRead)
        readIds.append(application->m_id);
    std::sort(readIds.begin(), readIds.end());
    const auto wasRead = [&readIds](RecordID id) { return std::binary_search(readIds.cbegin(), readIds.cend(), id); };

    QByteArray newest;
    if (part == Part::newest) {
        auto found = newestIds(db, firstReadCount);
        if (!found)
            return StoreError(
                describe(QT_TRANSLATE_NOOP("Store", "The applications could not be read"), db.lastError()));
        newest = std::move(*found);
    }
    const auto& columns = StoreSchema::columns();
    QByteArray select = "SELECT id";
    for (const auto& column : columns)
        select += QByteArray(", ") + column.name;
    select += " FROM JobApplication";
    if (part == Part::newest)
        select += " WHERE id IN (" + newest + ")";
    select += " ORDER BY id";

    SqliteStatement* statement = db.prepare(select);
    if (!statement)
        return StoreError(describe(QT_TRANSLATE_NOOP("Store", "The applications could not be read"), db.lastError()));
    int rc;
    while ((rc = statement->step()) == SQLITE_ROW) {
        const RecordID id = statement->int64(0);
        loaded.nextRecordId = std::max(loaded.nextRecordId, id + 1);
        if (!readIds.isEmpty() && wasRead(id))
            continue;
        // Read into one set of values, then moved into the record, which keeps
        // them compactly: every record's builder is held until the history is read.
        ApplicationValues values;
        for (int i = 0; i < int(columns.size()); ++i)
            columns[size_t(i)].read(*statement, i + 1, values, texts);
        ids.append(id);
        records.emplace_back(std::move(values));
    }
    // The newest records share their texts with the rest; after the rest, the pool
    // goes before the history is read, so its entries take the pool's room.
    if (part == Part::all)
        texts = {};
    statement->reset();
    if (rc != SQLITE_DONE)
        return StoreError(describe(QT_TRANSLATE_NOOP("Store", "The applications could not be read"), db.lastError()));

    // Each record's history is given its size first, from the index of entries by
    // record, so the entries go straight into their records as they are read: held
    // apart until the end, they were a tenth of a large store's peak memory.
    const QByteArray onlyNewest = part == Part::newest ? " WHERE application IN (" + newest + ")" : QByteArray();
    SqliteStatement* sizes
        = db.prepare("SELECT application, count(*) FROM StatusChange" + onlyNewest + " GROUP BY application");
    if (!sizes)
        return StoreError(describe(QT_TRANSLATE_NOOP("Store", "The status history could not be read"), db.lastError()));
    const auto recordOf = [&ids](RecordID ownerId) -> std::optional<size_t> {
        const auto record = std::lower_bound(ids.cbegin(), ids.cend(), ownerId);
        if (record == ids.cend() || *record != ownerId)
            return std::nullopt; // an entry of a record read before, or an orphan row (never written by us)
        return size_t(record - ids.cbegin());
    };
    while ((rc = sizes->step()) == SQLITE_ROW) {
        if (const auto index = recordOf(sizes->int64(0)))
            records[*index].reserveHistory(sizes->int64(1));
    }
    sizes->reset();
    if (rc != SQLITE_DONE)
        return StoreError(describe(QT_TRANSLATE_NOOP("Store", "The status history could not be read"), db.lastError()));

    // In identifier order, which is the order entries were appended.
    SqliteStatement* history
        = db.prepare("SELECT id, fromRaw, toRaw, date, application FROM StatusChange" + onlyNewest + " ORDER BY id");
    if (!history)
        return StoreError(describe(QT_TRANSLATE_NOOP("Store", "The status history could not be read"), db.lastError()));
    while ((rc = history->step()) == SQLITE_ROW) {
        const qint64 id = history->int64(0);
        loaded.nextHistoryId = std::max(loaded.nextHistoryId, id + 1);
        const auto record = recordOf(history->int64(4));
        if (!record)
            continue;
        const bool noFrom = history->isNull(1);
        const auto from = noFrom ? std::nullopt : StoreSchema::caseOfRawValue<ApplicationStatus>(history->utf8(1));
        const auto to = StoreSchema::caseOfRawValue<ApplicationStatus>(history->utf8(2));
        const QDateTime date = StoreSchema::momentFromStored(history->int64(3));
        std::unique_ptr<StatusChange> entry;
        if (to && (noFrom || from)) {
            entry = std::make_unique<StatusChange>(from, *to, date);
        } else {
            // A status this version does not know is kept as its text, to be written back unchanged.
            std::optional<QString> fromRaw;
            if (!noFrom)
                fromRaw = StoreSchema::internedRawValue<ApplicationStatus>(history->utf8(1));
            entry = std::make_unique<StatusChange>(
                fromRaw, StoreSchema::internedRawValue<ApplicationStatus>(history->utf8(2)), date);
        }
        entry->setStoreId(id);
        records[*record].appendHistory(std::move(entry));
    }
    history->reset();
    if (rc != SQLITE_DONE)
        return StoreError(describe(QT_TRANSLATE_NOOP("Store", "The status history could not be read"), db.lastError()));

    // The records read before take their places among the new ones, by identifier.
    QList<JobApplication*> earlier = alreadyRead;
    std::sort(earlier.begin(), earlier.end(),
        [](const JobApplication* a, const JobApplication* b) { return a->m_id < b->m_id; });
    loaded.applications.reserve(qsizetype(records.size()) + earlier.size());
    auto next = earlier.cbegin();
    for (size_t i = 0; i < records.size(); ++i) {
        JobApplication* application = records[i].build().release();
        application->m_id = ids[qsizetype(i)];
        for (; next != earlier.cend() && (*next)->m_id < application->m_id; ++next)
            loaded.applications.append(*next);
        loaded.applications.append(application);
    }
    for (; next != earlier.cend(); ++next)
        loaded.applications.append(*next);
    return loaded;
}

Expected<Done, StoreError> Store::load()
{
    m_checked = true;
    return finishOpening(checkAndRead(databasePath()));
}

Expected<Done, StoreError> Store::makeReadyForSaving()
{
    // Only once the file has passed its check: the switch rewrites the file's first
    // page, and a file refused as damaged must be left exactly as it was (even
    // choosing how to sync reads it).
    if (auto switched = m_db->exec("PRAGMA journal_mode = WAL; PRAGMA synchronous = FULL"); !switched)
        return StoreError(describe(QT_TRANSLATE_NOOP("Store", "The database could not be made ready for saving"),
                              switched.error().description()),
            switched.error().code());
    return Done {};
}

Expected<Done, StoreError> Store::finishOpening(Expected<LoadedRecords, StoreError> records)
{
    if (records) {
        if (auto ready = makeReadyForSaving(); !ready) {
            qDeleteAll(records.value().applications);
            records = ready.error();
        }
    }
    if (!records) {
        loadFailed(records.error());
        return records.error();
    }
    adoptLoaded(std::move(records.value()));
    return Done {};
}

void Store::loadInBackground(bool waitForWindow)
{
    // One connection for both parts: the newest records first, then the rest. The
    // store holds the folder's lock, so nothing changes the file in between. For a
    // window, nothing is read before it starts drawing its first frame: a read beside
    // the window's construction held that frame up by more than the read takes.
    struct Reading {
        std::unique_ptr<SqliteDatabase> db;
        StoreSchema::TextPool texts;
    };
    auto reading = std::make_shared<Reading>();
    const QString path = databasePath();
    if (waitForWindow) {
        m_readGate = std::make_shared<QSemaphore>();
        // A window that is never shown never asks.
        QTimer::singleShot(readWaitLimitMs, this, &Store::beginReading);
    }
    m_pendingFirst = QtConcurrent::run([path, reading, gate = m_readGate]() -> FirstRead {
        if (gate)
            gate->acquire();
        auto opened = openForReading(path);
        if (!opened)
            return opened.error();
        reading->db = std::move(opened.value());
        auto newest = readRecords(*reading->db, reading->texts, Part::newest);
        if (!newest)
            return newest.error();
        return std::move(newest.value().applications);
    });
    // On a worker thread even when the first part is done before this is attached,
    // never on the caller's thread.
    m_pendingLoad = m_pendingFirst.then(
        QtFuture::Launch::Async, [path, reading](FirstRead first) -> Expected<LoadedRecords, StoreError> {
            if (!reading->db)
                return first.error(); // not even opened
            const std::unique_ptr<SqliteDatabase> db = std::move(reading->db);
            if (!first)
                return readFailure(*db, path, first.error()).error();
            // The first records are the window's now: only their identifiers (which never change) are read here.
            auto records = readRecords(*db, reading->texts, Part::all, first.value());
            if (!records)
                return readFailure(*db, path, records.error()).error();
            return records;
        });
    auto* firstWatcher = new QFutureWatcher<FirstRead>(this);
    connect(firstWatcher, &QFutureWatcherBase::finished, this, [this, firstWatcher] {
        firstWatcher->deleteLater();
        if (m_loaded)
            return; // everything is here already
        takeFirstApplications();
        if (!m_first.isEmpty())
            Q_EMIT firstApplicationsRead();
    });
    firstWatcher->setFuture(m_pendingFirst);
    // Picked up by the first accessor, or as soon as the event loop runs.
    auto* watcher = new QFutureWatcher<Expected<LoadedRecords, StoreError>>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher] {
        watcher->deleteLater();
        // An accessor may have taken the records already; either way the
        // announcement comes from here, never from inside an accessor.
        finishLoading();
        Q_EMIT loaded();
        // The check reads the whole file once more: after the rows, not before them.
        if (!m_checkStarted) {
            if (m_checked)
                Q_EMIT checked(); // the read failed: nothing to check
            else
                startCheck();
        }
    });
    watcher->setFuture(m_pendingLoad);
}

void Store::takeFirstApplications() const
{
    if (m_firstTaken || !m_pendingFirst.isValid())
        return;
    m_pendingFirst.waitForFinished();
    m_firstTaken = true;
    auto first = m_pendingFirst.result();
    m_pendingFirst = {};
    if (!first)
        return;
    m_first = std::move(first.value());
    // Written to (by an edit that waits for the rest) like any record of the store.
    for (JobApplication* application : std::as_const(m_first))
        const_cast<Store*>(this)->adopt(application);
}

const QList<JobApplication*>& Store::firstApplications() const
{
    static const QList<JobApplication*> none;
    return m_loaded ? none : m_first;
}

void Store::beginReading() const
{
    if (m_readGate)
        m_readGate->release();
}

void Store::finishLoading() const
{
    if (m_loaded)
        return;
    beginReading();
    m_pendingLoad.waitForFinished();
    auto records = m_pendingLoad.result();
    m_pendingLoad = {};
    // Whatever was read first is either among the records now, or, when the rest
    // failed, kept aside until the store goes (a window may still show it).
    takeFirstApplications();
    m_loaded = true;
    if (!records) {
        m_checked = true;
        for (JobApplication* application : std::as_const(m_first))
            application->setObserver(nullptr);
        loadFailed(records.error());
        return;
    }
    m_first.clear();
    const_cast<Store*>(this)->adoptLoaded(std::move(records.value()));
}

void Store::startCheck() const
{
    auto* self = const_cast<Store*>(this);
    m_checkStarted = true;
    m_pendingCheck = QtConcurrent::run([path = databasePath()] { return check(path); });
    auto* watcher = new QFutureWatcher<std::optional<StoreError>>(self);
    connect(watcher, &QFutureWatcherBase::finished, self, [self, watcher] {
        watcher->deleteLater();
        self->finishChecking();
        Q_EMIT self->checked();
    });
    watcher->setFuture(m_pendingCheck);
}

void Store::finishChecking() const
{
    finishLoading();
    if (m_checked)
        return;
    if (!m_checkStarted)
        startCheck();
    m_pendingCheck.waitForFinished();
    std::optional<StoreError> problem = m_pendingCheck.result();
    m_pendingCheck = {};
    m_checked = true;
    auto* self = const_cast<Store*>(this);
    if (!problem) {
        if (auto ready = self->makeReadyForSaving(); !ready)
            problem = ready.error();
    }
    if (problem)
        self->reject(*problem);
}

void Store::reject(const StoreError& error)
{
    loadFailed(error);
    // Whatever the window shows of them goes, and nothing typed meanwhile is kept for a save.
    const QList<JobApplication*> read = std::exchange(m_applications, {});
    m_byDate.clear();
    m_byDateValid = false;
    clearPendingChanges();
    for (JobApplication* application : read)
        application->setObserver(nullptr);
    if (!read.isEmpty())
        Q_EMIT applicationsTaken(read);
    // Views may still hold them in the calls that are running.
    for (JobApplication* application : read)
        deleteRecordLater(application);
}

void Store::loadFailed(const StoreError& error) const
{
    m_loaded = true;
    m_loadError = error;
    // Closing would copy the log left by the last run into the file; one that
    // could not be read, or is damaged, is not written to at all.
    m_db->keepLogOnClose();
}

Expected<Done, StoreError> Store::ensureLoaded() const
{
    finishChecking();
    if (m_loadError)
        return *m_loadError;
    return Done {};
}

void Store::adoptLoaded(LoadedRecords records)
{
    m_loaded = true;
    m_applications = std::move(records.applications);
    m_nextRecordId = records.nextRecordId;
    m_nextHistoryId = records.nextHistoryId;
    for (JobApplication* application : std::as_const(m_applications))
        adopt(application);
    m_byDateValid = false;
}

void Store::adopt(JobApplication* application)
{
    application->setObserver(this);
}

bool Store::wholeBeforeChange() const
{
    // A record read first may be written to before the rest are in: the change waits
    // for them, so it is tracked against the whole store.
    finishLoading();
    return !m_loadError;
}

void Store::applicationFieldChanged(JobApplication* application, int field)
{
    if (!wholeBeforeChange())
        return;
    if (!m_inserted.contains(application->m_id))
        m_dirtyFields[application->m_id].set(size_t(field));
    if (field == int(JobApplication::Field::applicationDate))
        m_byDateValid = false;
    Q_EMIT applicationChanged(application, JobApplication::Field(field));
    noteChange();
}

void Store::applicationHistoryAppended(JobApplication* application, StatusChange* change)
{
    if (!wholeBeforeChange())
        return;
    trackHistoryEntry(application, change);
    Q_EMIT historyAppended(application, change);
    noteChange();
}

void Store::applicationHistoryRemoved(JobApplication* application, StatusChange* change)
{
    if (!wholeBeforeChange())
        return;
    // A row that was only waiting to be written is simply not written; one on disk
    // goes with the next save (and comes back if the entry is appended again).
    if (m_newHistory.isEmpty() || !m_newHistory.removeOne(change))
        m_deletedHistory.insert(change->storeId());
    m_dirtyHistory.remove(change);
    Q_EMIT applicationChanged(application, JobApplication::Field::history);
    noteChange();
}

void Store::applicationHistoryEntryChanged(JobApplication* application, StatusChange* change)
{
    if (!wholeBeforeChange())
        return;
    if (!m_inserted.contains(application->m_id) && !m_newHistory.contains(change))
        m_dirtyHistory.insert(change);
    Q_EMIT applicationChanged(application, JobApplication::Field::history);
    noteChange();
}

void Store::numberHistoryEntry(StatusChange* change)
{
    if (change->storeId() == 0)
        change->setStoreId(m_nextHistoryId++);
}

void Store::trackHistoryEntry(JobApplication* application, StatusChange* change)
{
    numberHistoryEntry(change);
    // Entries of a record that was never saved are written together with the record.
    if (!m_inserted.contains(application->m_id))
        m_newHistory.append(change);
}

const QList<JobApplication*>& Store::applications() const
{
    finishLoading();
    return m_applications;
}

JobApplication* Store::application(RecordID id) const
{
    finishLoading();
    return withId(id);
}

JobApplication* Store::withId(RecordID id) const
{
    const auto at = placeOf(id);
    return at != m_applications.cend() && (*at)->m_id == id ? *at : nullptr;
}

QList<JobApplication*>::const_iterator Store::placeOf(RecordID id) const
{
    return std::lower_bound(m_applications.cbegin(), m_applications.cend(), id,
        [](const JobApplication* application, RecordID wanted) { return application->m_id < wanted; });
}

const QList<JobApplication*>& Store::applicationsByDate() const
{
    finishLoading();
    if (!m_byDateValid) {
        m_byDate = m_applications;
        // Ties by identity: a record put back by an undo takes the place it had.
        std::sort(m_byDate.begin(), m_byDate.end(), [](const JobApplication* a, const JobApplication* b) {
            if (a->applicationDate() != b->applicationDate())
                return a->applicationDate() > b->applicationDate();
            return a->id() < b->id();
        });
        m_byDateValid = true;
    }
    return m_byDate;
}

Expected<QList<JobApplication*>, StoreError> Store::fetchApplications() const
{
    if (auto ready = ensureLoaded(); !ready)
        return ready.error();
    return m_applications;
}

JobApplication* Store::place(std::unique_ptr<JobApplication> owned)
{
    JobApplication* application = owned.release();
    // A record that was taken out comes back under its own identifier.
    if (application->m_id == 0 || withId(application->m_id))
        application->m_id = m_nextRecordId++;
    m_applications.insert(placeOf(application->m_id) - m_applications.cbegin(), application);
    m_inserted.insert(application->m_id);
    for (StatusChange* change : application->history())
        numberHistoryEntry(change);
    adopt(application);
    return application;
}

JobApplication* Store::insert(std::unique_ptr<JobApplication> owned)
{
    finishLoading();
    JobApplication* application = place(std::move(owned));
    m_byDateValid = false;
    Q_EMIT applicationInserted(application);
    Q_EMIT applicationsInserted({application});
    noteChange();
    return application;
}

QList<JobApplication*> Store::insert(std::vector<std::unique_ptr<JobApplication>> owned)
{
    finishLoading();
    QList<JobApplication*> placed;
    placed.reserve(qsizetype(owned.size()));
    for (auto& application : owned)
        placed.append(place(std::move(application)));
    if (placed.isEmpty())
        return placed;
    m_byDateValid = false;
    for (JobApplication* application : std::as_const(placed))
        Q_EMIT applicationInserted(application);
    Q_EMIT applicationsInserted(placed);
    noteChange();
    return placed;
}

void Store::forget(JobApplication* application)
{
    const RecordID id = application->m_id;
    application->setObserver(nullptr);
    // A row on disk goes with the next save; one that never got there has nothing to undo.
    if (!m_inserted.remove(id))
        m_deleted.insert(id);
    m_dirtyFields.remove(id);
    for (StatusChange* change : application->history()) {
        if (!m_newHistory.isEmpty())
            m_newHistory.removeOne(change);
        m_dirtyHistory.remove(change);
    }
}

void Store::remove(JobApplication* application)
{
    finishLoading();
    if (!application || withId(application->m_id) != application)
        return;
    const RecordID id = application->m_id;
    Q_EMIT applicationAboutToBeRemoved(application);
    forget(application);
    m_applications.removeOne(application);
    m_byDateValid = false;
    deleteRecordLater(application);
    Q_EMIT applicationRemoved(id);
    noteChange();
}

std::vector<std::unique_ptr<JobApplication>> Store::take(const QList<JobApplication*>& applications)
{
    finishLoading();
    QSet<JobApplication*> leaving;
    QList<JobApplication*> taken;
    std::vector<std::unique_ptr<JobApplication>> owned;
    for (JobApplication* application : applications) {
        if (!application || withId(application->m_id) != application || leaving.contains(application))
            continue;
        leaving.insert(application);
        forget(application);
        taken.append(application);
        owned.emplace_back(application);
    }
    if (taken.isEmpty())
        return owned;
    // One pass over the records, however many leave; what stays keeps its order by date.
    const auto leaves = [&leaving](JobApplication* application) { return leaving.contains(application); };
    m_applications.removeIf(leaves);
    if (m_byDateValid)
        m_byDate.removeIf(leaves);
    Q_EMIT applicationsTaken(taken);
    noteChange();
    return owned;
}

bool Store::hasChanges() const
{
    return !m_inserted.isEmpty() || !m_dirtyFields.isEmpty() || !m_deleted.isEmpty() || !m_newHistory.isEmpty()
        || !m_dirtyHistory.isEmpty() || !m_deletedHistory.isEmpty();
}

void Store::noteChange()
{
    Q_EMIT contentsChanged();
    // Counted from the first unsaved change, not the last: someone who keeps typing
    // would otherwise never be saved, and a crash would take all of it.
    if (m_autosave.interval() >= 0 && !m_autosave.isActive())
        m_autosave.start();
}

void Store::setAutosaveDelay(int milliseconds)
{
    m_autosave.setInterval(milliseconds);
    if (milliseconds < 0)
        m_autosave.stop();
}

void Store::saveIfNeeded()
{
    if (!hasChanges())
        return;
    if (auto result = save(); !result)
        qWarning().noquote() << QStringLiteral("Kaydedilemedi: ") + result.error().description();
}

Expected<Done, StoreError> Store::save()
{
    // Never write on top of a file whose records could not be read: identifiers
    // handed out meanwhile might collide with rows that are there.
    if (auto ready = ensureLoaded(); !ready)
        return ready.error();
    if (!hasChanges())
        return Done {};
    const auto notSaved = [](const StoreError& cause) {
        return StoreError(describe(QT_TRANSLATE_NOOP("Store", "The changes could not be saved"), cause.description()));
    };
    if (auto begun = m_db->exec("BEGIN IMMEDIATE"); !begun)
        return notSaved(begun.error());
    // The index of the newest records comes with a file's first save, also for a file
    // written before the index existed (after that, one look at the schema).
    Expected<Done, StoreError> written = Done {};
    if (auto indexed = m_db->exec(StoreSchema::newestFirstIndex().constData()); !indexed)
        written = notSaved(indexed.error());
    else
        written = writePending();
    if (written) {
        if (auto committed = m_db->exec("COMMIT"); !committed)
            written = notSaved(committed.error());
    }
    if (!written) {
        // A failed ROLLBACK leaves nothing to undo: SQLite has already rolled the
        // transaction back, and the changes stay pending for the next save.
        (void)m_db->exec("ROLLBACK");
        return written;
    }
    clearPendingChanges();
    Q_EMIT saved();
    return Done {};
}

void Store::clearPendingChanges()
{
    m_inserted.clear();
    m_dirtyFields.clear();
    m_deleted.clear();
    m_newHistory.clear();
    m_dirtyHistory.clear();
    m_deletedHistory.clear();
    m_autosave.stop();
}

bool Store::deleteRows(const char* table, const char* column, QList<qint64> ids)
{
    if (ids.isEmpty())
        return true;
    // Records taken out together (an import undone) have neighbouring identifiers:
    // one statement per run of them, not one per row.
    std::sort(ids.begin(), ids.end());
    SqliteStatement* statement
        = m_db->prepare(QByteArray("DELETE FROM ") + table + " WHERE " + column + " BETWEEN ?1 AND ?2");
    if (!statement)
        return false;
    for (qsizetype first = 0; first < ids.size();) {
        qsizetype last = first;
        while (last + 1 < ids.size() && ids[last + 1] == ids[last] + 1)
            ++last;
        statement->reset();
        statement->bind(1, ids[first]);
        statement->bind(2, ids[last]);
        if (statement->step() != SQLITE_DONE)
            return false;
        first = last + 1;
    }
    statement->reset();
    return true;
}

Expected<Done, StoreError> Store::writePending()
{
    if (writeDeletions() && writeInsertions() && writeFieldChanges() && writeHistory())
        return Done {};
    return StoreError(describe(QT_TRANSLATE_NOOP("Store", "The changes could not be saved"), m_db->lastError()));
}

bool Store::writeDeletions()
{
    // Deleted records take their history with them. The foreign key would cascade row
    // by row; a range of records (an import taken back) goes faster range by range.
    const QList<qint64> deleted = m_deleted.values();
    return deleteRows("StatusChange", "application", deleted) && deleteRows("JobApplication", "id", deleted)
        && deleteRows("StatusChange", "id", m_deletedHistory.values());
}

bool Store::writeHistoryEntry(const StatusChange& change, RecordID owner)
{
    SqliteStatement* insert
        = m_db->prepare("INSERT INTO StatusChange (id, fromRaw, toRaw, date, application) VALUES (?1, ?2, ?3, ?4, ?5)");
    if (!insert)
        return false;
    insert->bind(1, change.storeId());
    insert->bind(2, change.fromRaw());
    insert->bind(3, change.toRaw());
    insert->bind(4, StoreSchema::storedMoment(change.date()));
    insert->bind(5, owner);
    const bool ok = insert->step() == SQLITE_DONE;
    insert->reset();
    return ok;
}

bool Store::writeInsertions()
{
    if (m_inserted.isEmpty())
        return true;
    const auto& columns = StoreSchema::columns();
    QByteArray sql = "INSERT INTO JobApplication (id";
    QByteArray values = "?1";
    for (size_t i = 0; i < columns.size(); ++i) {
        sql += QByteArray(", ") + columns[i].name;
        values += ", ?" + QByteArray::number(qsizetype(i) + 2);
    }
    sql += ") VALUES (" + values + ")";
    SqliteStatement* statement = m_db->prepare(sql);
    if (!statement)
        return false;
    for (RecordID id : std::as_const(m_inserted)) {
        const JobApplication* application = withId(id);
        statement->reset();
        statement->bind(1, id);
        for (size_t i = 0; i < columns.size(); ++i)
            columns[i].bind(*statement, int(i) + 2, *application, columns[i].goesInPlace(*application));
        if (statement->step() != SQLITE_DONE)
            return false;
        statement->reset();
        if (!writeInPlace(id, *application))
            return false;
        for (const StatusChange* change : application->history()) {
            if (!writeHistoryEntry(*change, id))
                return false;
        }
    }
    return true;
}

bool Store::writeInPlace(
    RecordID id, const JobApplication& application, const std::bitset<JobApplication::fieldCount>* written)
{
    for (const StoreSchema::Column& column : StoreSchema::columns()) {
        if (written && !written->test(size_t(column.field)))
            continue;
        if (!column.goesInPlace(application))
            continue;
        const FieldValue value = application.value(column.field);
        if (!m_db->writeBlob("JobApplication", column.name, id, std::get<LongText>(value).utf8()))
            return false;
    }
    return true;
}

bool Store::writeFieldChanges()
{
    const auto& columns = StoreSchema::columns();
    for (auto it = m_dirtyFields.cbegin(); it != m_dirtyFields.cend(); ++it) {
        const JobApplication* application = withId(it.key());
        const auto& dirty = it.value();
        QByteArray sql = "UPDATE JobApplication SET ";
        QList<size_t> changed;
        for (size_t i = 0; i < columns.size(); ++i) {
            if (!dirty.test(size_t(columns[i].field)))
                continue;
            if (!changed.isEmpty())
                sql += ", ";
            sql += QByteArray(columns[i].name) + " = ?" + QByteArray::number(changed.size() + 2);
            changed.append(i);
        }
        if (changed.isEmpty())
            continue; // only `history` was touched; its rows are written below
        sql += " WHERE id = ?1";
        SqliteStatement* statement = m_db->prepare(sql);
        if (!statement)
            return false;
        statement->bind(1, it.key());
        for (qsizetype k = 0; k < changed.size(); ++k) {
            const StoreSchema::Column& column = columns[changed[k]];
            column.bind(*statement, int(k) + 2, *application, column.goesInPlace(*application));
        }
        const bool ok = statement->step() == SQLITE_DONE;
        statement->reset();
        if (!ok || !writeInPlace(it.key(), *application, &dirty))
            return false;
    }
    return true;
}

bool Store::writeHistory()
{
    for (const StatusChange* change : std::as_const(m_newHistory)) {
        if (!writeHistoryEntry(*change, change->application()->id()))
            return false;
    }
    if (m_dirtyHistory.isEmpty())
        return true;
    SqliteStatement* statement
        = m_db->prepare("UPDATE StatusChange SET fromRaw = ?2, toRaw = ?3, date = ?4 WHERE id = ?1");
    if (!statement)
        return false;
    for (StatusChange* change : std::as_const(m_dirtyHistory)) {
        statement->reset();
        statement->bind(1, change->storeId());
        statement->bind(2, change->fromRaw());
        statement->bind(3, change->toRaw());
        statement->bind(4, StoreSchema::storedMoment(change->date()));
        if (statement->step() != SQLITE_DONE)
            return false;
    }
    statement->reset();
    return true;
}
