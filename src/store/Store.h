#pragma once

#include "model/Expected.h"
#include "model/JobApplication.h"
#include "store/StoreError.h"

#include <QFuture>
#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QTimer>

class QSemaphore;
class QThread;
class StoreLock;

#include <bitset>
#include <memory>
#include <vector>

class SqliteDatabase;
class StoreLoader;
namespace StoreSchema {
class TextPool;
}

// The local object store: one SQLite file whose records live in memory as
// JobApplication and StatusChange objects owned by the store. Inserts, deletes,
// field writes and history appends are tracked and written by save() in one
// transaction; a failed save writes nothing and keeps every change pending.
// The store also saves by itself a few seconds after the last change.
class Store : public QObject, private JobApplication::Observer {
    Q_OBJECT

public:
    static constexpr const char* schemaVersion = "1.0.0";
    static constexpr const char* databaseFileName = "Applywright.sqlite";
    static constexpr const char* lockFileName = "Applywright.lock";
    static constexpr int defaultAutosaveDelayMs = 3000;

    ~Store() override;

    QString dataDirectory() const { return m_dataDirectory; }
    QString databasePath() const;

    // Records are read from the file on a worker thread when the store was opened
    // with StoreLoading::inBackground. Every accessor below waits for that read to
    // finish; a window that wants to paint before then asks isLoaded() first and
    // listens for loaded(). The file's check for damage follows the read, on a
    // worker thread too, so the rows can be shown first; nothing is written before
    // it has passed. ensureLoaded() waits for both and says why the file was refused.
    bool isLoaded() const { return m_loaded; }
    // The newest records (as many as a window shows, in identifier order), read before the
    // rest and announced with firstApplicationsRead(), so a window can show the top
    // of its list sooner. Empty before then, and once every record is read. They are
    // the store's own: a change to one waits for the rest.
    const QList<JobApplication*>& firstApplications() const;
    static constexpr int firstReadCount = 64;
    // Lets the records be read, in a store opened to read them as the window draws its
    // first frame. Anything that needs them, and closing the store, lets them be read
    // too; so does the event loop after readWaitLimitMs.
    void beginReading() const;
    static constexpr int readWaitLimitMs = 2000;
    bool isChecked() const { return m_checked; }
    Expected<Done, StoreError> ensureLoaded() const;

    // Every record, in the order they were loaded or inserted.
    const QList<JobApplication*>& applications() const;
    // The live query: every record by application date, latest first (ties by identity).
    const QList<JobApplication*>& applicationsByDate() const;
    // Every stored record, no order.
    Expected<QList<JobApplication*>, StoreError> fetchApplications() const;
    JobApplication* application(RecordID id) const;
    qsizetype count() const { return applications().size(); }

    // Takes ownership; the record is part of the store at once and is written with
    // the next save. Returns the record, now with its identifier. A record taken
    // out earlier comes back with the identifiers it had, its history's included.
    JobApplication* insert(std::unique_ptr<JobApplication> application);
    // The same for many records, announced once.
    QList<JobApplication*> insert(std::vector<std::unique_ptr<JobApplication>> applications);
    // Removes the record and its history; the object is deleted once control returns
    // to the event loop, so pointers held in the current call stay valid.
    void remove(JobApplication* application);
    // Removes records and their history from the store (written with the next save)
    // and hands them to the caller, which may insert them again: what undo does.
    // Announced once, after they are out.
    std::vector<std::unique_ptr<JobApplication>> take(const QList<JobApplication*>& applications);

    bool hasChanges() const;
    Expected<Done, StoreError> save();
    // Saves when there are unsaved changes. A failure only reaches the log
    // ("Kaydedilemedi: " and the error); the changes stay pending.
    void saveIfNeeded();

    void setAutosaveDelay(int milliseconds);

Q_SIGNALS:
    void applicationInserted(JobApplication* application);
    void applicationAboutToBeRemoved(JobApplication* application);
    void applicationRemoved(RecordID id);
    void applicationChanged(JobApplication* application, JobApplication::Field field);
    void historyAppended(JobApplication* application, StatusChange* change);
    // Records inserted together (each was also announced with applicationInserted).
    void applicationsInserted(const QList<JobApplication*>& applications);
    // Records taken out of the store; they still exist, owned by whoever took them.
    void applicationsTaken(const QList<JobApplication*>& applications);
    // After every insert, delete, field change and history append.
    void contentsChanged();
    void saved();
    // The newest records are read; the rest are still being read (emitted at most once,
    // before loaded()).
    void firstApplicationsRead();
    // The records read in the background are in place (emitted once, also on failure).
    void loaded();
    // The background check of the file is done (emitted once, after loaded(); also when
    // the read failed). A file that fails it loses the records read from it again
    // (announced with applicationsTaken), and ensureLoaded() reports the damage.
    void checked();

private:
    friend class StoreLoader;
    friend class StoreOpener;
    Store(QString dataDirectory, std::unique_ptr<SqliteDatabase> database);

    // What reading the file yields: records (already living on the store's thread)
    // and the next free identifiers.
    struct LoadedRecords {
        QList<JobApplication*> applications;
        RecordID nextRecordId = 1;
        qint64 nextHistoryId = 1;
    };
    // Checks the file for damage first: records are read only from a sound file, and
    // nothing is ever written into one that is not. Read on a connection of its own
    // that leaves no side file behind a file without any.
    static Expected<LoadedRecords, StoreError> checkAndRead(const QString& path);
    // In the background the file is read first and checked later (check()); a read that
    // fails is checked at once (this), so a damaged file is refused for its damage.
    static Expected<Done, StoreError> readFailure(SqliteDatabase& db, const QString& path, const StoreError& error);
    static std::optional<StoreError> check(const QString& path);
    static Expected<std::unique_ptr<SqliteDatabase>, StoreError> openForReading(const QString& path);
    static std::optional<StoreError> damage(SqliteDatabase& db, const QString& path);
    // Every record (but `alreadyRead`, which join the result, in identifier order), or
    // the firstReadCount newest ones.
    enum class Part { all, newest };
    static Expected<LoadedRecords, StoreError> readRecords(SqliteDatabase& db, StoreSchema::TextPool& texts,
        Part part = Part::all, const QList<JobApplication*>& alreadyRead = {});
    // Takes the newest records read first, once they are read; announces nothing.
    void takeFirstApplications() const;
    // Before a record's change is tracked: every record is read (false: could not be).
    bool wholeBeforeChange() const;
    // Takes the read's records (or its failure); a sound file is written through a log from now on.
    Expected<Done, StoreError> finishOpening(Expected<LoadedRecords, StoreError> records);
    void loadFailed(const StoreError& error) const;
    Expected<Done, StoreError> makeReadyForSaving();
    void startCheck() const;
    // Waits for the check and takes its outcome; announces nothing.
    void finishChecking() const;
    // The file failed its check after its records were shown: they go, unsaved.
    void reject(const StoreError& error);
    Expected<Done, StoreError> load();
    // Waits for the background read and takes its records; announces nothing.
    void finishLoading() const;
    void loadInBackground(bool waitForWindow);
    void adoptLoaded(LoadedRecords records);
    void adopt(JobApplication* application);
    void applicationFieldChanged(JobApplication* application, int field) override;
    void applicationHistoryAppended(JobApplication* application, StatusChange* change) override;
    void applicationHistoryRemoved(JobApplication* application, StatusChange* change) override;
    void applicationHistoryEntryChanged(JobApplication* application, StatusChange* change) override;
    void trackHistoryEntry(JobApplication* application, StatusChange* change);
    // An entry's row number, given the first time the store sees it.
    void numberHistoryEntry(StatusChange* change);
    JobApplication* place(std::unique_ptr<JobApplication> owned);
    // The record with identifier `id` among m_applications, none when there is none.
    JobApplication* withId(RecordID id) const;
    // Where a record with identifier `id` is, or would go, in m_applications.
    QList<JobApplication*>::const_iterator placeOf(RecordID id) const;
    void forget(JobApplication* application);
    bool deleteRows(const char* table, const char* column, QList<qint64> ids);
    void noteChange();
    void clearPendingChanges();
    Expected<Done, StoreError> writePending();
    // The parts of a save, in this order; false on the first statement that fails.
    bool writeDeletions();
    bool writeInsertions();
    bool writeFieldChanges();
    // Writes those values of a row just written (of the fields in `written`, when given).
    bool writeInPlace(RecordID id, const JobApplication& application,
        const std::bitset<JobApplication::fieldCount>* written = nullptr);
    bool writeHistory();
    bool writeHistoryEntry(const StatusChange& change, RecordID owner);

    // Held for the store's life (and released last): one running instance per data folder.
    std::unique_ptr<StoreLock> m_lock;
    QString m_dataDirectory;
    std::unique_ptr<SqliteDatabase> m_db;

    mutable bool m_loaded = false;
    mutable std::optional<StoreError> m_loadError;
    using FirstRead = Expected<QList<JobApplication*>, StoreError>;
    mutable QFuture<FirstRead> m_pendingFirst;
    mutable bool m_firstTaken = false;
    mutable QList<JobApplication*> m_first;
    mutable QFuture<Expected<LoadedRecords, StoreError>> m_pendingLoad;
    // Released to start the read; none when it starts at once.
    std::shared_ptr<QSemaphore> m_readGate;
    mutable bool m_checked = false;
    mutable bool m_checkStarted = false;
    mutable QFuture<std::optional<StoreError>> m_pendingCheck;

    // In identifier order: records are read in that order, a new one takes the next
    // identifier, and one put back by an undo takes its place again. A record is found
    // by its identifier with a binary search, not through an index of its own.
    QList<JobApplication*> m_applications;
    mutable QList<JobApplication*> m_byDate;
    mutable bool m_byDateValid = false;

    RecordID m_nextRecordId = 1;
    qint64 m_nextHistoryId = 1;

    // Pending work for the next save.
    QSet<RecordID> m_inserted;
    QHash<RecordID, std::bitset<JobApplication::fieldCount>> m_dirtyFields;
    QSet<RecordID> m_deleted;
    QList<StatusChange*> m_newHistory;
    QSet<StatusChange*> m_dirtyHistory;
    QSet<qint64> m_deletedHistory;

    QTimer m_autosave;
};
