#pragma once

#include "mail/MailReader.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include <chrono>
#include <optional>

// The application's side of the mail worker. Mail is read with GMime in a process
// of its own (applywright-mail, beside the running program): the window's process
// never loads the MIME library, and a hostile message that makes the reader slow,
// large or crash ends as a failure line, never in the window.
//
// Each thread that reads keeps one worker, started with its first input and kept
// for the inputs that follow, until stopThisThreadsWorker(). Blocking; the import
// calls it off the main thread, and stops the worker when its inputs are read.
namespace MailWorker {

struct Options {
    // Empty: applywright-mail beside the running program.
    QString program;
    // A worker still reading past this is killed; its reader keeps far tighter limits
    // of its own.
    std::chrono::milliseconds deadline {120000};
    // The most an answer may hold (every message of a mailbox at its largest).
    quint32 maximumAnswerBytes = 256u << 20;
};

// What MailReader::readFile and MailReader::readText give, read in this thread's
// worker. A worker that cannot start, crashes or answers what cannot be read gives
// one failure line for the input; one killed at the deadline says it took too long.
QList<MailReader::Item> readFile(const QString& path, const Options& options = {});
MailReader::Item readText(const QString& text, const QString& label, const Options& options = {});

// Ends this thread's worker; the next input starts a new one.
void stopThisThreadsWorker();

QString defaultProgram();

// What passes between the two: each message a 4-byte big-endian length, then a
// QDataStream body with a mark of its own.
struct Request {
    // The application's clock, which dates what pasted text leaves without a zone.
    QDateTime now;
    // A file's path, or (when `isText`) pasted text under `label`.
    bool isText = false;
    QString label;
    QString pathOrText;
};
// The largest request: pasted text up to the reader's limit, as UTF-16, with room.
constexpr quint32 maximumRequestBytes = quint32(4 * MailReadError::maximumMessageBytes) + (1u << 20);

QByteArray framed(const QByteArray& body);
QByteArray encodeRequest(const Request& request);
std::optional<Request> decodeRequest(const QByteArray& body);
QByteArray encodeAnswer(const QList<MailReader::Item>& items);
// None for anything the worker could not have written.
std::optional<QList<MailReader::Item>> decodeAnswer(const QByteArray& body);

} // namespace MailWorker
