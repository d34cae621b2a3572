#include "mail/MailWorker.h"

#include "model/Clock.h"
#include "model/ProgramBeside.h"

#include <QDataStream>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QIODevice>
#include <QProcess>

namespace MailWorker {
namespace {

constexpr quint32 mark = 0x41574d4c; // "AWML"
constexpr auto lastKind = MailReadError::Kind::readerFailed;

MailReader::Item failure(const QString& label, MailReadError::Kind kind)
{
    return {label, MailReadError(kind)};
}

// Runs the worker with `arguments`, hands it `input` on its standard input, and
// reads what it prints. Every way of failing is said for the input as a whole.
QList<MailReader::Item> run(
    const QStringList& arguments, const QByteArray& input, const QString& label, const Options& options)
{
    QProcess worker;
    worker.setStandardErrorFile(QProcess::nullDevice());
    worker.start(options.program.isEmpty() ? defaultProgram() : options.program,
        QStringList {QStringLiteral("--now"), QString::number(Clock::now().toMSecsSinceEpoch())} + arguments);
    if (!worker.waitForStarted())
        return {failure(label, MailReadError::Kind::readerFailed)};
    worker.write(input);
    worker.closeWriteChannel();

    const QDeadlineTimer deadline(options.deadline);
    QByteArray output;
    while (true) {
        // Returns early when the worker prints or ends; false at the deadline too.
        const bool printed = worker.waitForReadyRead(int(std::max<qint64>(deadline.remainingTime(), 0)));
        output += worker.readAllStandardOutput();
        if (output.size() > options.maximumOutputBytes) {
            worker.kill();
            worker.waitForFinished();
            return {failure(label, MailReadError::Kind::tooLarge)};
        }
        if (worker.state() == QProcess::NotRunning)
            break;
        if (!printed && deadline.hasExpired()) {
            worker.kill();
            worker.waitForFinished();
            return {failure(label, MailReadError::Kind::tooSlow)};
        }
    }
    output += worker.readAllStandardOutput();
    if (worker.exitStatus() != QProcess::NormalExit || worker.exitCode() != 0)
        return {failure(label, MailReadError::Kind::readerFailed)};
    std::optional<QList<MailReader::Item>> items = decode(output);
    if (!items || items->isEmpty())
        return {failure(label, MailReadError::Kind::readerFailed)};
    return *std::move(items);
}

} // namespace

QList<MailReader::Item> readFile(const QString& path, const Options& options)
{
    return run({path}, {}, QFileInfo(path).fileName(), options);
}

MailReader::Item readText(const QString& text, const QString& label, const Options& options)
{
    QList<MailReader::Item> items = run({QStringLiteral("--text"), label}, text.toUtf8(), label, options);
    // The worker reads one message from text; anything else is not its answer.
    if (items.size() != 1)
        return failure(label, MailReadError::Kind::readerFailed);
    return std::move(items.front());
}

QByteArray encode(const QList<MailReader::Item>& items)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_4);
    out << mark << qint32(items.size());
    for (const MailReader::Item& item : items) {
        out << item.label << bool(item.result);
        if (!item.result) {
            out << quint8(item.result.error().kind());
            continue;
        }
        const MailMessage& message = item.result.value();
        out << message.sourceLabel << message.senderName << message.senderAddress << message.subject
            << message.date.has_value() << message.date.value_or(QDateTime()) << message.text << message.links
            << message.isBulk << message.forwardedBy;
    }
    return bytes;
}

std::optional<QList<MailReader::Item>> decode(const QByteArray& bytes)
{
    QDataStream in(bytes);
    in.setVersion(QDataStream::Qt_6_4);
    quint32 readMark = 0;
    qint32 count = 0;
    in >> readMark >> count;
    // One line per message of a mailbox, and one more past its limit.
    if (in.status() != QDataStream::Ok || readMark != mark || count < 0
        || count > MailReader::Limits {}.maximumMessages + 1)
        return std::nullopt;
    QList<MailReader::Item> items;
    items.reserve(count);
    for (qint32 i = 0; i < count; ++i) {
        QString label;
        bool read = false;
        in >> label >> read;
        if (!read) {
            quint8 kind = 0;
            in >> kind;
            if (kind > quint8(lastKind))
                return std::nullopt;
            items.append(failure(label, MailReadError::Kind(kind)));
            continue;
        }
        MailMessage message;
        bool dated = false;
        QDateTime date;
        in >> message.sourceLabel >> message.senderName >> message.senderAddress >> message.subject >> dated >> date
            >> message.text >> message.links >> message.isBulk >> message.forwardedBy;
        if (dated)
            message.date = date;
        items.append({label, std::move(message)});
    }
    if (in.status() != QDataStream::Ok || !in.atEnd())
        return std::nullopt;
    return items;
}

QString defaultProgram()
{
    return programBeside(QStringLiteral("applywright-mail"));
}

} // namespace MailWorker
