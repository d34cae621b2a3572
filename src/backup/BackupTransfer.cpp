#include "backup/BackupTransfer.h"

#include "backup/BackupDocument.h"
#include "model/JobApplication.h"
#include "store/Store.h"

#include <QCoreApplication>
#include <QSet>

#include <algorithm>

ApplicationBackup makeApplicationBackup(JobApplication& application)
{
    ApplicationBackup backup;
    backup.id = application.stableID();
    backup.companyName = application.companyName();
    backup.position = application.position();
    backup.postingLink = application.postingLink();
    backup.workModel = application.workModelRaw();
    backup.status = application.statusRaw();
    backup.applicationDate = application.applicationDate();
    backup.statusChangedAt = application.statusChangedAt();
    backup.closedAt = application.closedAt();
    backup.followUpDate = application.followUpDate();
    backup.rejectedByEmail = application.rejectedByEmail();
    backup.rejectedByPhone = application.rejectedByPhone();
    backup.rejectionReason = application.rejectionReasonRaw();
    backup.rejectionNote = application.rejectionNote();
    backup.hrContactName = application.hrContactName();
    backup.hrContactEmail = application.hrContactEmail();
    backup.techInterviewerName = application.techInterviewerName();
    backup.techInterviewerRole = application.techInterviewerRole();
    backup.expectedSalary = application.expectedSalary();
    backup.offeredSalary = application.offeredSalary();
    backup.currency = application.currencyRaw();
    backup.notes = application.notes();
    backup.isFavorite = application.isFavorite();
    backup.createdAt = application.createdAt();
    backup.updatedAt = application.updatedAt();

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
    auto application = JobApplication::makeBlank();
    application->setUuid(backup.id);
    application->setCompanyName(backup.companyName);
    application->setPosition(backup.position);
    application->setPostingLink(backup.postingLink);
    application->setWorkModelRaw(backup.workModel);
    application->setStatusRaw(backup.status);
    application->setApplicationDate(backup.applicationDate);
    application->setStatusChangedAt(backup.statusChangedAt);
    application->setClosedAt(backup.closedAt);
    application->setFollowUpDate(backup.followUpDate);
    application->setRejectedByEmail(backup.rejectedByEmail);
    application->setRejectedByPhone(backup.rejectedByPhone);
    application->setRejectionReasonRaw(backup.rejectionReason);
    application->setRejectionNote(backup.rejectionNote);
    application->setHrContactName(backup.hrContactName);
    application->setHrContactEmail(backup.hrContactEmail);
    application->setTechInterviewerName(backup.techInterviewerName);
    application->setTechInterviewerRole(backup.techInterviewerRole);
    application->setExpectedSalary(backup.expectedSalary);
    application->setOfferedSalary(backup.offeredSalary);
    application->setCurrencyRaw(backup.currency);
    application->setNotes(backup.notes);
    application->setFavorite(backup.isFavorite);
    application->setCreatedAt(backup.createdAt);
    application->setUpdatedAt(backup.updatedAt);

    // File order, not re-sorted: the file is taken as the history it describes.
    for (const StatusChangeBackup& change : backup.history) {
        const std::optional<ApplicationStatus> from
            = change.from ? fromRawValue<ApplicationStatus>(*change.from) : std::nullopt;
        const ApplicationStatus to = fromRawValue<ApplicationStatus>(change.to).value_or(ApplicationStatus::applied);
        application->appendHistory(std::make_unique<StatusChange>(from, to, change.date));
    }
    return application;
}

Expected<std::pair<qint64, qint64>, StoreError> mergeBackup(const BackupFileContents& contents, Store& store)
{
    auto fetched = store.fetchApplications();
    if (!fetched)
        return fetched.error();

    // Only identifiers already stored count; a record without one blocks nothing,
    // and entries inserted below do not block later entries with the same id.
    QSet<QUuid> present;
    present.reserve(fetched->size());
    for (const JobApplication* application : std::as_const(*fetched)) {
        if (application->uuid())
            present.insert(*application->uuid());
    }

    qint64 inserted = 0;
    qint64 skipped = 0;
    for (const ApplicationBackup& backup : contents.applications) {
        if (present.contains(backup.id)) {
            ++skipped;
            continue;
        }
        store.insert(restoreApplication(backup));
        ++inserted;
    }

    if (inserted > 0) {
        if (auto saved = store.save(); !saved)
            return saved.error();
    }
    return std::pair {inserted, skipped};
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
