#pragma once

#include "backup/BackupCodingError.h"
#include "backup/BackupFileContents.h"
#include "backup/BackupReadError.h"
#include "model/Expected.h"

#include <QByteArray>
#include <QDateTime>

#include <optional>
#include <string_view>

// The JSON form of a backup: pretty-printed, keys of every object in alphabetical
// order, dates as UTC strings with milliseconds, identifiers in upper case,
// amounts as JSON numbers with exactly their decimal digits. Empty optional
// values are left out.
Expected<QByteArray, BackupEncodingError> encodeBackup(const BackupFileContents& contents);

// Reads a whole document or nothing: any structural problem fails with a
// BackupDecodingError; a document that decodes but carries another marker or a
// newer version fails with a BackupError (the marker is checked first).
Expected<BackupFileContents, BackupReadError> decodeBackup(const QByteArray& bytes);
// The same, parsing in the buffer handed over instead of a copy of it (the buffer's
// contents are overwritten).
Expected<BackupFileContents, BackupReadError> decodeBackup(QByteArray&& bytes);

// The date form of the file, 2025-03-07T14:05:09.120Z in UTC; none for a moment
// outside the years 1 to 9999, which the form cannot hold.
std::optional<QByteArray> formatBackupDate(const QDateTime& moment);
// Reads that form and the same without fractional seconds (2025-03-07T14:05:09Z).
std::optional<QDateTime> parseBackupDate(std::string_view text);
