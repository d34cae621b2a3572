#include "backup/BackupError.h"

#include <QCoreApplication>

QString BackupError::description() const
{
    switch (m_kind) {
    case Kind::newerFormat:
        return QCoreApplication::translate("BackupError", "This backup was made by a newer version of Applywright.");
    case Kind::notABackupFile:
        return QCoreApplication::translate("BackupError", "This file is not an Applywright backup.");
    }
    Q_UNREACHABLE();
}
