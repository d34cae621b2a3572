#pragma once

#include <QDateTime>
#include <QUuid>

#include <optional>
#include <string_view>

// The text forms of a backup's dates and identifiers, written into fixed-size
// buffers and read without a trip through the time-zone machinery or QUuid's
// braces. The public date functions (formatBackupDate, parseBackupDate) are these.
namespace BackupCodec {

constexpr size_t dateLength = 24; // 2025-03-07T14:05:09.120Z
// Writes the date form into `out`; false for a moment outside the years 1 to 9999.
bool writeDate(const QDateTime& moment, char (&out)[dateLength]);

// 8-4-4-4-12 hexadecimal digits, written upper-case, read in either case.
constexpr size_t uuidLength = 36;
std::optional<QUuid> parseUuid(std::string_view text);
void writeUuid(const QUuid& id, char (&out)[uuidLength]);

} // namespace BackupCodec
