#pragma once

#include "backup/BackupFile.h"
#include "model/Expected.h"
#include "model/FieldValue.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

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

// A spreadsheet in the making. The records are copied on the thread that owns
// them, as many at a time as the caller likes (a copy shares the record's texts,
// so it is cheap); the file is then built from the copies on any thread, without
// touching a record. Its texts are those of the language in use when it was made.
class Spreadsheet {
public:
    // Copies `applications` at once; more can be added later.
    explicit Spreadsheet(Kind kind, const QList<JobApplication*>& applications = {});
    ~Spreadsheet();
    Spreadsheet(const Spreadsheet&);
    Spreadsheet& operator=(const Spreadsheet&);

    void add(const JobApplication& application);
    qsizetype size() const { return m_records.size(); }

    // The header row and a row per record (or per status change), in the order
    // added. Dates are local ISO dates (the history's moments also carry the local
    // time), amounts the exact decimal followed by the currency code, vocabulary
    // values their titles (a stored text outside the vocabulary is written as it
    // is), flags "Yes" or "No". Text that a spreadsheet would take for a formula
    // (starting with =, +, -, @, a tab or a carriage return) is written with an
    // apostrophe in front.
    QList<QStringList> table() const;
    // The file's bytes: the byte-order mark and every row of table().
    QByteArray document() const;

    struct Texts;
    struct Change {
        std::optional<QString> fromRaw;
        QString toRaw;
        QDateTime date;
    };
    struct Record {
        QList<FieldValue> values; // by field
        QList<Change> history;
    };

private:
    Kind m_kind;
    std::shared_ptr<const Texts> m_texts;
    QList<Record> m_records;
};

// table() and document() of a spreadsheet of `applications`, made at once.
QList<QStringList> table(Kind kind, const QList<JobApplication*>& applications);

// One RFC 4180 field.
QString field(const QString& value);

QByteArray document(Kind kind, const QList<JobApplication*>& applications);

// "Applywright-" (or "Applywright-History-") + the local date of `moment` + ".csv".
QString defaultFilename(Kind kind, const QDateTime& moment);

// Replaces `path` atomically with `data`, readable by its owner only (it holds the
// whole job search).
Expected<Done, BackupFileError> write(const QByteArray& data, const QString& path);

} // namespace SpreadsheetExport
