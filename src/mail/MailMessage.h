#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

// What a message says, as read from its MIME structure: who sent it, when, its
// subject and its text. For a forwarded message these are the original's: the
// person who forwarded it is kept aside, the sender and date inside the body win.
struct MailMessage {
    // Where it came from: the file name, "NAME.mbox#3", or "Clipboard".
    QString sourceLabel;
    QString senderName;
    // Lower-cased; empty when the message names none (pasted text without headers).
    QString senderAddress;
    QString subject;
    // None when neither the headers nor a forwarded block give a readable date.
    std::optional<QDateTime> date;
    // The readable text: plain parts as written, HTML parts reduced to their text,
    // forwarded originals included.
    QString text;
    // Web addresses the message points at (HTML links and addresses in the text).
    QStringList links;
    // Sent to a list or in bulk (List-Id, List-Unsubscribe, Precedence: bulk).
    bool isBulk = false;
    // Whoever forwarded the original, when the sender above came from inside the body.
    QString forwardedBy;
};
