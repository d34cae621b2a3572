#include "backup/BackupTransfer.h"

#include "backup/BackupDocument.h"
#include "backup/BackupFields.h"
#include "model/JobApplication.h"
#include "store/Store.h"

#include <QCoreApplication>
#include <QSet>

#include <algorithm>

namespace {

// Copies one record field into its place in the backup, or back.
void copyToBackup(
    const JobApplication& application, const BackupFields::ApplicationField& field, ApplicationBackup& backup)
{
    using BackupFields::Kind;
    const FieldValue value = application.value(field.recordField);
    switch (field.kind) {
    case Kind::identifier: backup.*field.identifier = std::get<std::optional<QUuid>>(value).value_or(QUuid()); return;
    case Kind::text: backup.*field.text = std::get<QString>(value); return;
    case Kind::optionalText: backup.*field.optionalText = std::get<std::optional<QString>>(value); return;
    case Kind::date: backup.*field.date = std::get<QDateTime>(value); return;
    case Kind::optionalDate: backup.*field.optionalDate = std::get<std::optional<QDateTime>>(value); return;
    case Kind::boolean: backup.*field.boolean = std::get<bool>(value); return;
    case Kind::amount: backup.*field.amount = std::get<std::optional<Decimal>>(value); return;
    case Kind::integer:
    case Kind::applications:
    case Kind::history: return; // not a plain value
    }
}

void copyFromBackup(
    const ApplicationBackup& backup, const BackupFields::ApplicationField& field, JobApplication& application)
{
    using BackupFields::Kind;
    FieldValue value;
    switch (field.kind) {
    case Kind::identifier: value = std::optional<QUuid>(backup.*field.identifier); break;
    case Kind::text: value = backup.*field.text; break;
    case Kind::optionalText: value = backup.*field.optionalText; break;
    case Kind::date: value = backup.*field.date; break;
    case Kind::optionalDate: value = backup.*field.optionalDate; break;
    case Kind::boolean: value = backup.*field.boolean; break;
    case Kind::amount: value = backup.*field.amount; break;
    case Kind::integer:
    case Kind::applications:
    case Kind::history: return;
    }
    application.setValue(field.recordField, value);
}

} // namespace

ApplicationBackup makeApplicationBackup(JobApplication& application)
{
    ApplicationBackup backup;
    // Hands out an identifier to a record that has none, so the file can carry it.
    application.stableID();
    for (const auto& field : BackupFields::applicationFieldsInRecordOrder)
        copyToBackup(application, field, backup);

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
    for (const auto& field : BackupFields::applicationFieldsInRecordOrder)
        copyFromBackup(backup, field, *application);

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
