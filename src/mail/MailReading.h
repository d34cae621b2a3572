#pragma once

#include "mail/MailMessage.h"
#include "model/ApplicationStatus.h"
#include "model/RejectionReason.h"

#include <QString>
#include <QStringList>

#include <optional>

// What a message says about an application.
enum class MailKind {
    rejection,
    interview,
    offer,
    // "We received your application": nothing changes.
    received,
    // Not about an application of the reader's: job alerts, newsletters, recruiters
    // offering new roles, profile views, a friend's mail. Nothing changes, ever.
    other,
};

// "rejection", "interview", "offer", "received", "other".
QString rawValue(MailKind kind);

// The reading of one message, from its subject and text alone (which application
// it is about is the matcher's part).
struct MailReading {
    MailKind kind = MailKind::other;
    // The status the message moves an application to: rejected, hrInterview or
    // techInterview (a screening call or a technical round), offer. None for
    // received and other.
    std::optional<ApplicationStatus> status;
    // Where a rejection says why.
    std::optional<RejectionReason> reason;
    // The sentence the kind was read from, and the one that gave the reason.
    QString evidence;
    QString reasonEvidence;
    // The message speaks to the reader about their own application, and nothing in
    // it reads like an alert, a newsletter or a recruiter's new role.
    bool isClear = false;

    static MailReading of(const MailMessage& message);
};
