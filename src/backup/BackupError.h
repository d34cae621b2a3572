#pragma once

#include <QString>
#include <QtGlobal>

// A well-formed document that this version cannot take: not a backup of ours,
// or one written by a newer version.
class BackupError {
public:
    enum class Kind { newerFormat, notABackupFile };

    static BackupError newerFormat(qint64 version) { return BackupError(Kind::newerFormat, version); }
    static BackupError notABackupFile() { return BackupError(Kind::notABackupFile, 0); }

    Kind kind() const { return m_kind; }
    // The formatVersion found in the file (newerFormat only); not shown to the user.
    qint64 version() const { return m_version; }
    QString description() const;

    friend bool operator==(const BackupError&, const BackupError&) = default;

private:
    BackupError(Kind kind, qint64 version)
        : m_kind(kind)
        , m_version(version)
    {
    }

    Kind m_kind;
    qint64 m_version;
};
