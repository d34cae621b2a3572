#pragma once

#include "model/ApplicationFields.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QUuid>

#include <optional>

// The plain values a backup document holds. They carry the stored texts as they
// stand: raw vocabulary values are not checked here, the transfer decides what
// each direction does with unknown ones.

// One status transition of an application's history.
struct StatusChangeBackup {
    std::optional<QString> from; // none for a change without a previous status
    QString to;
    QDateTime date;

    friend bool operator==(const StatusChangeBackup&, const StatusChangeBackup&) = default;
};

// One application record with its history: the record's values (the same
// fields, `uuid` being the document's "id"), and the history as the file has it.
struct ApplicationBackup : ApplicationValues {
    QList<StatusChangeBackup> history;

    friend bool operator==(const ApplicationBackup&, const ApplicationBackup&) = default;
};

// The whole document.
struct BackupFileContents {
    static constexpr const char* formatMarker = "Applywright Backup";
    static constexpr qint64 currentFormatVersion = 1;

    // A document about to be written: the marker, the current version and now.
    static BackupFileContents makeForExport(QList<ApplicationBackup> applications);

    QString format;
    qint64 formatVersion = 0;
    QDateTime exportedAt;
    QList<ApplicationBackup> applications;

    friend bool operator==(const BackupFileContents&, const BackupFileContents&) = default;
};
