#pragma once

#include "model/JobApplication.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

class WindowState;

// A new application for a message about one that is not in the list yet.
struct MailNewApplication {
    QString company;
    QString position;
};

// One reviewed change from a message.
struct MailStatusUpdate {
    // The application to change; 0 with `newApplication` for one to create first.
    RecordID record = 0;
    std::optional<MailNewApplication> newApplication;
    // None for a new application that only starts at "applied".
    std::optional<ApplicationStatus> status;
    // When the message was sent: the history entry, and a new application's date.
    QDateTime date;
    std::optional<RejectionReason> reason;
};

// Applies the reviewed changes of a mail import as one step, oldest message first:
// makes the new applications (dated at their messages, with their first history
// entry), moves each application to its status with the history entry dated at the
// message, and marks a rejection as one by e-mail with the reason where the message
// gave one. Notes and every other field stay as they are. Saves once (a failure is
// only logged) and selects the first application changed. Returns the applications
// changed or made, in the order applied.
QList<JobApplication*> applyMailUpdates(WindowState& state, QList<MailStatusUpdate> updates);
