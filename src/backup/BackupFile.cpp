#include "backup/BackupFile.h"

#include "model/RegularFile.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>

#include <sys/stat.h>

namespace {
QString withReason(const QString& text, const QString& reason)
{
    return reason.isEmpty() ? text : text + QLatin1Char(' ') + reason;
}
} // namespace

QString BackupFileError::description() const
{
    switch (m_kind) {
    case Kind::cannotOpen:
        return withReason(
            QCoreApplication::translate("BackupFileError", "The file “%1” couldn't be opened.").arg(m_fileName),
            m_reason);
    case Kind::notARegularFile:
        return QCoreApplication::translate(
            "BackupFileError", "The file “%1” couldn't be opened because it isn't a regular file.")
            .arg(m_fileName);
    case Kind::tooLarge:
        return QCoreApplication::translate("BackupFileError",
            "The file “%1” couldn't be opened because it is larger than 512 MB, "
            "too large for a backup.")
            .arg(m_fileName);
    case Kind::cannotRead:
        return withReason(
            QCoreApplication::translate("BackupFileError", "The file “%1” couldn't be read.").arg(m_fileName),
            m_reason);
    case Kind::cannotSave:
        return withReason(
            QCoreApplication::translate("BackupFileError", "The file “%1” couldn't be saved.").arg(m_fileName),
            m_reason);
    }
    Q_UNREACHABLE();
}

Expected<BackupFile, BackupFileError> BackupFile::read(const QString& path)
{
    using Kind = BackupFileError::Kind;
    const QString name = QFileInfo(path).fileName();
    // A pipe would block the open and a device could stream without end: only a
    // regular file is opened at all.
    QFile file;
    if (auto opened = RegularFile::openForReading(path, file); !opened) {
        if (opened.error().failure == RegularFile::Failure::notARegularFile)
            return BackupFileError(Kind::notARegularFile, name);
        return BackupFileError(Kind::cannotOpen, name, opened.error().reason);
    }
    // Measured on the open handle, so the file we measure is the file we read.
    struct stat status { };
    if (::fstat(file.handle(), &status) != 0 || !S_ISREG(status.st_mode))
        return BackupFileError(Kind::notARegularFile, name);
    if (status.st_size > maxFileSize)
        return BackupFileError(Kind::tooLarge, name);

    // The size can change while we read; the cap holds for what is actually read.
    constexpr qint64 chunkSize = 1 << 20;
    QByteArray data;
    data.reserve(qsizetype(std::min<qint64>(qint64(status.st_size) + chunkSize, maxFileSize + 1)));
    for (;;) {
        const qint64 room = std::min(chunkSize, maxFileSize + 1 - qint64(data.size()));
        const qsizetype before = data.size();
        data.resize(before + qsizetype(room));
        const qint64 got = file.read(data.data() + before, room);
        if (got < 0)
            return BackupFileError(Kind::cannotRead, name, file.errorString());
        data.resize(before + qsizetype(got));
        if (data.size() > maxFileSize)
            return BackupFileError(Kind::tooLarge, name);
        if (got == 0)
            break;
    }
    return BackupFile(std::move(data));
}

Expected<Done, BackupFileError> BackupFile::write(const QString& path) const
{
    const QString name = QFileInfo(path).fileName();
    QSaveFile file(path);
    // Unbuffered: through the buffer, a short write (a full disk, a file-size limit)
    // can reach commit() unnoticed and replace the old file with a truncated one.
    // Written directly, the count that comes back tells.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return BackupFileError(BackupFileError::Kind::cannotSave, name, file.errorString());
    // A backup holds the person's whole job search: readable by its owner alone,
    // whatever the umask or the mode of a file it replaces.
    if (!file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
        file.cancelWriting();
        return BackupFileError(BackupFileError::Kind::cannotSave, name, file.errorString());
    }
    errno = 0;
    if (file.write(m_data) != m_data.size()) {
        const int writeError = errno;
        QString reason = file.error() != QFileDevice::NoError ? file.errorString() : QString();
        if (reason.isEmpty() && writeError != 0)
            reason = qt_error_string(writeError);
        file.cancelWriting();
        return BackupFileError(BackupFileError::Kind::cannotSave, name, reason);
    }
    if (!file.commit())
        return BackupFileError(BackupFileError::Kind::cannotSave, name, file.errorString());
    return Done {};
}

QString defaultBackupFilename(const QDateTime& moment)
{
    return QStringLiteral("Applywright-") + moment.toUTC().date().toString(Qt::ISODate) + QStringLiteral(".json");
}
