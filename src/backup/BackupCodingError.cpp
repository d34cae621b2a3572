#include "backup/BackupCodingError.h"

#include <QCoreApplication>

QString BackupDecodingError::description() const
{
    return QCoreApplication::translate(
        "BackupDecodingError", "The file couldn't be read because it isn't in the correct format.");
}

QString BackupEncodingError::description() const
{
    return QCoreApplication::translate(
        "BackupEncodingError", "The data couldn't be written because it isn't in the correct format.");
}
