#pragma once

#include "model/JobApplication.h"

#include <QByteArray>

#include <array>

class SqliteStatement;

// The table layout of the store: one column per persistent field of a record,
// named after the field and typed by its kind in the field table, plus the
// history table with its cascading foreign key.
namespace StoreSchema {

// Marks a file as ours before any table is read ("Apwr").
constexpr int applicationId = 0x41707772;

// The statements that create an empty store's tables.
const QByteArray& createStatements();

struct Column {
    const char* name;
    JobApplication::Field field;

    void bind(SqliteStatement& statement, int index, const JobApplication& application) const;
    void read(const SqliteStatement& statement, int column, ApplicationValues& values) const;
};

// Every persistent field but `history`, in field order.
const std::array<Column, JobApplication::fieldCount - 1>& columns();

// Moments are stored as milliseconds since the epoch, UTC; an invalid moment as 0.
qint64 storedMoment(const QDateTime& moment);
QDateTime momentFromStored(qint64 milliseconds);

} // namespace StoreSchema
