#pragma once

#include "mail/MailReader.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <chrono>
#include <optional>

// The application's side of the mail worker. Mail is read with GMime in a process
// of its own (applywright-mail, beside the running program): the window's process
// never loads the MIME library, and a hostile message that makes the reader slow,
// large or crash ends as a failure line, never in the window.
//
// One worker per input: started with the input, it prints what it read and ends.
// Blocking; the import calls it off the main thread.
namespace MailWorker {

struct Options {
    // Empty: applywright-mail beside the running program.
    QString program;
    // The worker is killed past this; its reader keeps far tighter limits of its own.
    std::chrono::milliseconds deadline {120000};
    // Whatever the worker may print (every message of a mailbox at its largest).
    qint64 maximumOutputBytes = qint64(256) * 1024 * 1024;
};

// What MailReader::readFile and MailReader::readText give, read in the worker. A
// worker that cannot start, crashes or prints what cannot be read gives one failure
// line for the input; one killed at the deadline says it took too long.
QList<MailReader::Item> readFile(const QString& path, const Options& options = {});
MailReader::Item readText(const QString& text, const QString& label, const Options& options = {});

// What the worker prints: a mark, then the items as a QDataStream.
QByteArray encode(const QList<MailReader::Item>& items);
// None for anything the worker could not have written.
std::optional<QList<MailReader::Item>> decode(const QByteArray& bytes);

QString defaultProgram();

} // namespace MailWorker
