#pragma once

#include "mail/MailMessage.h"
#include "mail/MailReadError.h"
#include "model/Expected.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <chrono>

// Reads e-mail as mail programs hand it over: a saved or dragged-out message
// (.eml), a mailbox export (.mbox, every message in it) or message text that was
// pasted or dropped (headers optional). MIME is read by GMime: multipart bodies,
// quoted-printable and base64, encoded-word headers, character sets, attached and
// inline forwards. Nothing a message refers to is ever fetched, attachments are
// never opened, and every message is read within fixed limits of size, parts,
// nesting and time, so hostile mail ends as a failure rather than a stall. Runs
// on any thread; the application runs it in the mail worker (MailWorker), so that
// only that process loads GMime.
namespace MailReader {

struct Limits {
    qint64 maximumMessageBytes = MailReadError::maximumMessageBytes;
    int maximumParts = 500;
    // MIME nesting and forwards inside forwards, counted together.
    int maximumDepth = 24;
    // One text part, encoded, and all the text of a message once decoded.
    qint64 maximumTextPartBytes = 4 * 1024 * 1024;
    qsizetype maximumTextLength = 2 * 1024 * 1024;
    int maximumMessages = MailReadError::maximumMessages;
    std::chrono::milliseconds timePerMessage {1500};
};

// One message of an input, or why it could not be read.
struct Item {
    // The file's name, "NAME.mbox#2" for the second message of a mailbox, or the
    // label the caller gave.
    QString label;
    Expected<MailMessage, MailReadError> result;
};

// Every message of the file at `path`: one for a message, one per message of a
// mailbox (a failure line of its own past the limit on messages).
QList<Item> readFile(const QString& path, const Limits& limits = {});
// One message given as its bytes (headers and body).
Item readBytes(const QByteArray& bytes, const QString& label, const Limits& limits = {});
// Pasted or dropped text: a message with its headers, text with a copied header
// block at the top ("From: …", "Konu: …"), or the body alone.
Item readText(const QString& text, const QString& label, const Limits& limits = {});

// Whether `text` starts with mail headers (From:, Subject:, Date:…), as a message
// copied with them does.
bool startsWithHeaders(const QString& text);

} // namespace MailReader
