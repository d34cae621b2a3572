#pragma once

#include "model/JobApplication.h"

#include <array>

class SqliteStatement;

// The table layout of the store: one column per persistent field of a record,
// named after the field, plus the history table with its cascading foreign key.
namespace StoreSchema {

// Marks a file as ours before any table is read ("Apwr").
constexpr int applicationId = 0x41707772;

extern const char* const createStatements;

struct Column {
    const char* name;
    void (*bind)(SqliteStatement& statement, int index, const JobApplication& application);
    void (*read)(const SqliteStatement& statement, int column, JobApplication& application);
};

// Every persistent field but `history`, in field order.
const std::array<Column, JobApplication::fieldCount - 1>& columns();

// Moments are stored as milliseconds since the epoch, UTC; an invalid moment as 0.
qint64 storedMoment(const QDateTime& moment);
QDateTime momentFromStored(qint64 milliseconds);

} // namespace StoreSchema
