#pragma once

#include "model/Expected.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <utility>

// A file that could not be read or written, with the reason the system gave.
class BackupFileError {
public:
    enum class Kind { cannotOpen, notARegularFile, tooLarge, cannotRead, cannotSave };

    BackupFileError(Kind kind, QString fileName, QString reason = QString())
        : m_kind(kind)
        , m_fileName(std::move(fileName))
        , m_reason(std::move(reason))
    {
    }

    Kind kind() const { return m_kind; }
    const QString& fileName() const { return m_fileName; }
    const QString& reason() const { return m_reason; }
    QString description() const;

private:
    Kind m_kind;
    QString m_fileName;
    QString m_reason;
};

// The bytes of one backup, as the save panel writes them and the open panel reads them.
class BackupFile {
public:
    static constexpr const char* mimeType = "application/json";
    static constexpr const char* fileExtension = "json";
    // No backup we write comes near this; a bigger file is refused before it is read.
    static constexpr qint64 maxFileSize = qint64(512) * 1024 * 1024;

    BackupFile() = default;
    explicit BackupFile(QByteArray data)
        : m_data(std::move(data))
    {
    }

    const QByteArray& data() const { return m_data; }
    // Hands the bytes over, leaving this file empty.
    QByteArray takeData() { return std::exchange(m_data, {}); }

    // Reads a regular file of at most maxFileSize bytes.
    static Expected<BackupFile, BackupFileError> read(const QString& path);
    // Replaces `path` with exactly data(), atomically: a failed write leaves an
    // older file at that place as it was.
    Expected<Done, BackupFileError> write(const QString& path) const;

private:
    QByteArray m_data;
};

// "Applywright-" + the UTC calendar date of `moment` + ".json".
QString defaultBackupFilename(const QDateTime& moment);
