#include "mail/MailWorker.h"

#include "model/Clock.h"
#include "model/ProgramBeside.h"

#include <QDataStream>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QIODevice>
#include <QProcess>
#include <QtEndian>

#include <memory>

namespace MailWorker {
namespace {

constexpr quint32 requestMark = 0x41574d51; // "AWMQ"
constexpr quint32 answerMark = 0x41574d41; // "AWMA"
constexpr auto lastKind = MailReadError::Kind::readerFailed;

MailReader::Item failure(const QString& label, MailReadError::Kind kind)
{
    return {label, MailReadError(kind)};
}

struct Worker {
    std::unique_ptr<QProcess> process;
    QString program;

    void stop()
    {
        if (!process)
            return;
        process->kill();
        process->waitForFinished();
        process.reset();
    }
};

Worker& thisThreadsWorker()
{
    thread_local Worker worker;
    return worker;
}

enum class Outcome { complete, gone, timedOut };

// Exactly `count` more bytes of the worker's answer into `into`, before the deadline.
Outcome readExactly(QProcess& process, qint64 count, const QDeadlineTimer& deadline, QByteArray& into)
{
    const qint64 end = into.size() + count;
    while (into.size() < end) {
        if (process.bytesAvailable() > 0) {
            into += process.read(end - into.size());
            continue;
        }
        if (process.state() == QProcess::NotRunning)
            return Outcome::gone;
        if (deadline.hasExpired())
            return Outcome::timedOut;
        // Returns when the worker prints or ends, or at the deadline.
        process.waitForReadyRead(int(std::max<qint64>(deadline.remainingTime(), 1)));
    }
    return Outcome::complete;
}

QList<MailReader::Item> run(const Request& request, const Options& options)
{
    const QString program = options.program.isEmpty() ? defaultProgram() : options.program;
    const QByteArray frame = framed(encodeRequest(request));
    const QDeadlineTimer deadline(options.deadline);
    Worker& worker = thisThreadsWorker();
    // Twice at most: a worker found gone is started again once.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!worker.process || worker.program != program || worker.process->state() != QProcess::Running) {
            worker.stop();
            worker.process = std::make_unique<QProcess>();
            worker.process->setStandardErrorFile(QProcess::nullDevice());
            worker.program = program;
            worker.process->start(program, {});
            if (!worker.process->waitForStarted()) {
                worker.stop();
                return {failure(request.label, MailReadError::Kind::readerFailed)};
            }
        }
        QProcess& process = *worker.process;
        process.write(frame);
        QByteArray answer;
        Outcome outcome = readExactly(process, 4, deadline, answer);
        const bool answeredNothing = answer.isEmpty();
        if (outcome == Outcome::complete) {
            const quint32 length = qFromBigEndian<quint32>(answer.constData());
            if (length > options.maximumAnswerBytes) {
                worker.stop();
                return {failure(request.label, MailReadError::Kind::readerFailed)};
            }
            answer.clear();
            outcome = readExactly(process, length, deadline, answer);
        }
        if (outcome == Outcome::complete) {
            std::optional<QList<MailReader::Item>> items = decodeAnswer(answer);
            if (items && !items->isEmpty())
                return *std::move(items);
            worker.stop();
            return {failure(request.label, MailReadError::Kind::readerFailed)};
        }
        worker.stop();
        if (outcome == Outcome::timedOut)
            return {failure(request.label, MailReadError::Kind::tooSlow)};
        // A worker that had gone before the request came (killed, or out of memory after
        // its last answer) is started again; one that ended halfway through its answer
        // is not believed.
        if (!answeredNothing)
            break;
    }
    return {failure(request.label, MailReadError::Kind::readerFailed)};
}

} // namespace

QList<MailReader::Item> readFile(const QString& path, const Options& options)
{
    return run({Clock::now(), false, QFileInfo(path).fileName(), path}, options);
}

MailReader::Item readText(const QString& text, const QString& label, const Options& options)
{
    QList<MailReader::Item> items = run({Clock::now(), true, label, text}, options);
    // The worker reads one message from text; anything else is not its answer.
    if (items.size() != 1)
        return failure(label, MailReadError::Kind::readerFailed);
    return std::move(items.front());
}

void stopThisThreadsWorker()
{
    thisThreadsWorker().stop();
}

QString defaultProgram()
{
    return programBeside(QStringLiteral("applywright-mail"));
}

QByteArray framed(const QByteArray& body)
{
    QByteArray frame(4, Qt::Uninitialized);
    qToBigEndian<quint32>(quint32(body.size()), frame.data());
    return frame + body;
}

QByteArray encodeRequest(const Request& request)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_4);
    out << requestMark << request.now.toMSecsSinceEpoch() << request.isText << request.label << request.pathOrText;
    return bytes;
}

std::optional<Request> decodeRequest(const QByteArray& body)
{
    QDataStream in(body);
    in.setVersion(QDataStream::Qt_6_4);
    quint32 mark = 0;
    qint64 now = 0;
    Request request;
    in >> mark >> now >> request.isText >> request.label >> request.pathOrText;
    if (in.status() != QDataStream::Ok || mark != requestMark || !in.atEnd())
        return std::nullopt;
    request.now = QDateTime::fromMSecsSinceEpoch(now, Qt::UTC);
    return request;
}

QByteArray encodeAnswer(const QList<MailReader::Item>& items)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_4);
    out << answerMark << qint32(items.size());
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

std::optional<QList<MailReader::Item>> decodeAnswer(const QByteArray& body)
{
    QDataStream in(body);
    in.setVersion(QDataStream::Qt_6_4);
    quint32 mark = 0;
    qint32 count = 0;
    in >> mark >> count;
    // One line per message of a mailbox, and one more past its limit.
    if (in.status() != QDataStream::Ok || mark != answerMark || count < 0
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

} // namespace MailWorker
