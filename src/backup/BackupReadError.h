#pragma once

#include "backup/BackupCodingError.h"
#include "backup/BackupError.h"
#include "backup/BackupFile.h"

#include <variant>

// Why a backup could not be taken in: the file could not be read, the bytes are
// not a backup document, or the document is one this version refuses.
class BackupReadError {
public:
    BackupReadError(BackupFileError error)
        : m_error(std::move(error))
    {
    }
    BackupReadError(BackupDecodingError error)
        : m_error(std::move(error))
    {
    }
    BackupReadError(BackupError error)
        : m_error(std::move(error))
    {
    }

    const BackupFileError* fileError() const { return std::get_if<BackupFileError>(&m_error); }
    const BackupDecodingError* decodingError() const { return std::get_if<BackupDecodingError>(&m_error); }
    const BackupError* backupError() const { return std::get_if<BackupError>(&m_error); }

    // The text the import alert shows.
    QString description() const
    {
        return std::visit([](const auto& error) { return error.description(); }, m_error);
    }

private:
    std::variant<BackupFileError, BackupDecodingError, BackupError> m_error;
};
