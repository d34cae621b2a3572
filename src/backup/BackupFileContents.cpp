#include "backup/BackupFileContents.h"

#include "model/Clock.h"

BackupFileContents BackupFileContents::makeForExport(QList<ApplicationBackup> applications)
{
    BackupFileContents contents;
    contents.format = QString::fromLatin1(formatMarker);
    contents.formatVersion = currentFormatVersion;
    contents.exportedAt = Clock::now().toUTC();
    contents.applications = std::move(applications);
    return contents;
}
