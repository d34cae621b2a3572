#include "backup/BackupTransfer.h"

#include "backup/BackupDocument.h"
#include "backup/BackupFields.h"
#include "model/JobApplication.h"
#include "store/Store.h"

#include <QCoreApplication>
#include <QSet>

#include <algorithm>

ApplicationBackup makeApplicationBackup(JobApplication& application)
{
    ApplicationBackup backup;
    // Hands out an identifier to a record that has none, so the file can carry it.
    application.stableID();
    static_cast<ApplicationValues&>(backup) = application.values();

    // Appended entries can carry any date; the file lists them as they happened.
    QList<StatusChange*> entries = application.history();
    std::stable_sort(entries.begin(), entries.end(),
        [](const StatusChange* a, const StatusChange* b) { return a->date() < b->date(); });
    backup.history.reserve(entries.size());
    for (const StatusChange* entry : std::as_const(entries)) {
        const std::optional<ApplicationStatus> from = entry->from();
        backup.history.append(StatusChangeBackup {
            .from = from ? std::optional<QString>(rawValue(*from)) : std::nullopt,
            .to = rawValue(entry->to()),
            .date = entry->date(),
        });
    }
    return backup;
}

std::unique_ptr<JobApplication> restoreApplication(const ApplicationBackup& backup)
{
    // Every value as the file has it; unknown raw texts stay what they are.
    ApplicationBuilder record(static_cast<const ApplicationValues&>(backup));
    // File order, not re-sorted: the file is taken as the history it describes.
    for (const StatusChangeBackup& change : backup.history) {
        const std::optional<ApplicationStatus> from
            = change.from ? fromRawValue<ApplicationStatus>(*change.from) : std::nullopt;
        const ApplicationStatus to = fromRawValue<ApplicationStatus>(change.to).value_or(ApplicationStatus::applied);
        record.appendHistory(from, to, change.date);
    }
    return record.build();
}

BackupMerge planBackupMerge(const BackupFileContents& contents, const QList<JobApplication*>& stored)
{
    // Only identifiers already stored count; a record without one blocks nothing,
    // and entries taken below do not block later entries with the same id.
    QSet<QUuid> present;
    present.reserve(stored.size());
    for (const JobApplication* application : stored) {
        if (application->uuid())
            present.insert(*application->uuid());
    }
    BackupMerge merge;
    for (const ApplicationBackup& backup : contents.applications) {
        if (backup.uuid && present.contains(*backup.uuid))
            ++merge.skipped;
        else
            merge.records.push_back(restoreApplication(backup));
    }
    return merge;
}

Expected<std::pair<qint64, qint64>, StoreError> mergeBackup(
    const BackupFileContents& contents, Store& store, const RecordInserter& insert)
{
    auto fetched = store.fetchApplications();
    if (!fetched)
        return fetched.error();
    BackupMerge merge = planBackupMerge(contents, *fetched);
    const qint64 inserted = qint64(merge.records.size());
    if (inserted > 0) {
        if (insert)
            insert(std::move(merge.records));
        else
            store.insert(std::move(merge.records));
        if (auto saved = store.save(); !saved)
            return saved.error();
    }
    return std::pair {inserted, merge.skipped};
}

Expected<BackupFile, BackupMessage> exportBackup(Store& store)
{
    store.saveIfNeeded();

    // A copy: handing out identifiers writes to the records, which reorders nothing
    // but may rebuild the store's sorted list while we walk it.
    const QList<JobApplication*> records = store.applicationsByDate();
    QList<ApplicationBackup> applications;
    applications.reserve(records.size());
    for (JobApplication* record : records)
        applications.append(makeApplicationBackup(*record));

    // Stores the identifiers just handed out, so the file and the store agree.
    store.saveIfNeeded();

    auto encoded = encodeBackup(BackupFileContents::makeForExport(std::move(applications)));
    if (!encoded)
        return BackupMessage(encoded.error().description());
    return BackupFile(std::move(encoded).value());
}

std::optional<BackupMessage> saveExportedBackup(const BackupFile& file, const QString& path)
{
    if (auto written = file.write(path); !written)
        return BackupMessage(written.error().description());
    return std::nullopt;
}

Expected<BackupFileContents, BackupReadError> readBackup(const QString& path)
{
    auto file = BackupFile::read(path);
    if (!file)
        return BackupReadError(file.error());
    return decodeBackup(file->takeData());
}

BackupMessage importBackup(const QString& path, Store& store)
{
    auto contents = readBackup(path);
    if (!contents)
        return BackupMessage(contents.error().description());
    auto merged = mergeBackup(*contents, store);
    if (!merged)
        return BackupMessage(merged.error().description());
    return BackupMessage(importSummary(merged->first, merged->second));
}

QString importSummary(qint64 inserted, qint64 skipped)
{
    return QCoreApplication::translate("BackupTransfer", "Imported %1 applications, skipped %2 already present.")
        .arg(QString::number(inserted), QString::number(skipped));
}
