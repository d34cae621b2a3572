#pragma once

#include "backup/BackupFile.h"
#include "backup/BackupFileContents.h"
#include "backup/BackupMessage.h"
#include "backup/BackupReadError.h"
#include "model/Expected.h"
#include "model/JobApplication.h"
#include "store/StoreError.h"

#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class Store;

// A record as a backup entry. The record keeps the identifier it is given here if
// it had none (stored with the next save). History comes earliest first, with
// statuses outside the vocabulary written as none (from) or applied (to); every
// other field is copied as stored.
ApplicationBackup makeApplicationBackup(JobApplication& application);

// A new record from a backup entry, not yet in any store: every field as in the
// file (unknown raw texts included), the history in file order.
std::unique_ptr<JobApplication> restoreApplication(const ApplicationBackup& backup);

// What merging a document into records already stored would do: the records to
// insert (each entry whose identifier none of them carries, in file order) and
// how many entries are skipped.
struct BackupMerge {
    std::vector<std::unique_ptr<JobApplication>> records;
    qint64 skipped = 0;
};
BackupMerge planBackupMerge(const BackupFileContents& contents, const QList<JobApplication*>& stored);

// Inserts every entry whose identifier no stored record carries and saves once if
// anything was inserted. Returns (inserted, skipped). On a failed save the inserted
// records stay in the store, unsaved. `insert` puts them into the store instead of
// a plain insert (the window makes it a step that can be taken back).
using RecordInserter = std::function<void(std::vector<std::unique_ptr<JobApplication>>)>;
Expected<std::pair<qint64, qint64>, StoreError> mergeBackup(
    const BackupFileContents& contents, Store& store, const RecordInserter& insert = {});

// The export command: saves pending edits (a failure is only logged), maps every
// record in list order and encodes the document. Gives the bytes for the save
// panel, or the message to show.
Expected<BackupFile, BackupMessage> exportBackup(Store& store);

// Writes the exported bytes where the save panel said; a message only on failure.
std::optional<BackupMessage> saveExportedBackup(const BackupFile& file, const QString& path);

// Reads and decodes the file at `path` (size-capped) without touching any store.
Expected<BackupFileContents, BackupReadError> readBackup(const QString& path);

// The import command for the file the open panel chose: read, decode, merge, and
// the message that says how it went.
BackupMessage importBackup(const QString& path, Store& store);

// "Imported 3 applications, skipped 0 already present."
QString importSummary(qint64 inserted, qint64 skipped);
