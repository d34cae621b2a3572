#pragma once

#include "model/JobApplication.h"

// The edit layer's hands on a record: its commands write values and history
// entries through here and nothing else does. Rules (stamping, what a status
// change resets) are decided before a command is made; this only carries out.
class RecordWriter {
public:
    static void write(JobApplication& application, ApplicationField field, const FieldValue& value)
    {
        application.write(field, value);
    }
    static StatusChange* insertHistory(
        JobApplication& application, qsizetype index, std::unique_ptr<StatusChange> change)
    {
        return application.insertHistory(index, std::move(change));
    }
    static std::unique_ptr<StatusChange> takeHistory(JobApplication& application, StatusChange* change)
    {
        return application.takeHistory(change);
    }
    static void setDate(StatusChange& change, const QDateTime& date) { change.setDate(date); }
};
