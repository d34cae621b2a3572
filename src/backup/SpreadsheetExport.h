#pragma once

#include "backup/BackupFile.h"
#include "model/Expected.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

class JobApplication;

// The records as a spreadsheet: CSV after RFC 4180 (comma-separated, CRLF line
// ends, fields holding a comma, a quote or a line break in double quotes), UTF-8
// with a byte-order mark so that spreadsheet programs do not guess another
// encoding, headers in the user's language.
namespace SpreadsheetExport {

enum class Kind {
    // One row per application: every field of the field table, then one column per
    // status with the date its history first reached it.
    applications,
    // One row per status change: the application's ID, company and position, the
    // moment, the status left and the status entered.
    history,
};

// The header row and the rows of `applications`, in the given order. Dates are
// local ISO dates (the history's moments also carry the local time), amounts the
// exact decimal followed by the currency code, vocabulary values their titles
// (a stored text outside the vocabulary is written as it is), flags "Yes" or "No".
// Text that a spreadsheet would take for a formula (starting with =, +, -, @, a tab
// or a carriage return) is written with an apostrophe in front.
QList<QStringList> table(Kind kind, const QList<JobApplication*>& applications);

// One RFC 4180 field and one record of them.
QString field(const QString& value);
QString row(const QStringList& values);

// The file's bytes: the byte-order mark and every row of table().
QByteArray document(Kind kind, const QList<JobApplication*>& applications);

// "Applywright-" (or "Applywright-History-") + the local date of `moment` + ".csv".
QString defaultFilename(Kind kind, const QDateTime& moment);

// Replaces `path` atomically with `data`, readable by its owner only (it holds the
// whole job search).
Expected<Done, BackupFileError> write(const QByteArray& data, const QString& path);

} // namespace SpreadsheetExport
