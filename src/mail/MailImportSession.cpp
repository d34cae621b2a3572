#include "mail/MailImportSession.h"

#include "mail/MailWorker.h"
#include "model/Clock.h"

#include <QCoreApplication>
#include <QFutureWatcher>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>

struct MailImportSession::Read {
    struct Message {
        MailMessage message;
        MailReading reading;
        MailMatch match;
    };
    QList<Message> messages;
    QStringList failures;
};

MailImportSession::MailImportSession(QObject* parent, FileReader readFile)
    : ImportSession(parent)
    , m_readFile(readFile ? std::move(readFile) : [](const QString& path) { return MailWorker::readFile(path); })
    , m_pool(std::make_unique<QThreadPool>())
    , m_candidates(std::make_shared<const QList<MailCandidate>>())
    , m_matcher(std::make_shared<const MailMatcher>(QList<MailCandidate>()))
{
    // One input at a time, on a thread with room for deeply nested messages. The
    // thread keeps the mail worker between inputs, so it stays as long as the session.
    m_pool->setMaxThreadCount(1);
    m_pool->setStackSize(16 * 1024 * 1024);
    m_pool->setExpiryTimeout(-1);
}

MailImportSession::~MailImportSession()
{
    startRun();
    stopWorker();
    m_pool->waitForDone();
    clear();
}

void MailImportSession::stopWorker()
{
    QThreadPool* pool = m_pool.get();
    (void)QtConcurrent::run(pool, [] { MailWorker::stopThisThreadsWorker(); });
}

QString MailImportSession::clipboardLabel()
{
    return QCoreApplication::translate("MailImportSession", "Clipboard");
}

void MailImportSession::clear()
{
    const QList<MailUpdate*> updates = std::exchange(m_updates, {});
    qDeleteAll(updates);
    m_queue.clear();
    if (!updates.isEmpty())
        Q_EMIT updatesChanged();
    setFailures({});
}

void MailImportSession::begin(QList<MailCandidate> applications)
{
    startRun();
    clear();
    setProcessing(false);
    m_candidates = std::make_shared<const QList<MailCandidate>>(applications);
    m_matcher = std::make_shared<const MailMatcher>(std::move(applications));
    setPresenting(true);
}

void MailImportSession::reset()
{
    startRun();
    clear();
    setProcessing(false);
    setPresenting(false);
}

void MailImportSession::processFiles(const QStringList& paths)
{
    for (const QString& path : paths)
        enqueue({path, QString(), QString()});
}

void MailImportSession::processText(const QString& text, const QString& label)
{
    enqueue({QString(), text, label});
}

void MailImportSession::enqueue(Input input)
{
    m_queue.append(std::move(input));
    setProcessing(true);
    if (m_queue.size() == 1)
        runNext(currentRun());
}

void MailImportSession::runNext(quint64 run)
{
    if (run != currentRun())
        return;
    if (m_queue.isEmpty()) {
        // Every input is read: the worker ends, and the next input starts another.
        stopWorker();
        finish();
        return;
    }
    const Input input = m_queue.first();
    const std::shared_ptr<const MailMatcher> matcher = m_matcher;
    QFuture<Read> future = QtConcurrent::run(m_pool.get(), [input, matcher, readFile = m_readFile] {
        const QList<MailReader::Item> items = input.path.isEmpty()
            ? QList<MailReader::Item> {MailWorker::readText(input.text, input.label)}
            : readFile(input.path);
        Read read;
        for (const MailReader::Item& item : items) {
            if (!item.result) {
                read.failures.append(item.label + QLatin1String(": ") + item.result.error().description());
                continue;
            }
            const MailMessage& message = item.result.value();
            read.messages.append({message, MailReading::of(message), matcher->match(message)});
        }
        return read;
    });
    auto* watcher = new QFutureWatcher<Read>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, run] {
        watcher->deleteLater();
        if (run != currentRun())
            return;
        if (!m_queue.isEmpty())
            m_queue.removeFirst();
        take(watcher->result());
        runNext(run);
    });
    watcher->setFuture(future);
}

void MailImportSession::take(Read read)
{
    if (!read.messages.isEmpty()) {
        for (Read::Message& each : read.messages) {
            auto* update = new MailUpdate(
                std::move(each.message), std::move(each.reading), std::move(each.match), m_candidates, this);
            connect(update, &MailUpdate::changed, this, &MailImportSession::updateChanged);
            m_updates.append(update);
        }
        Q_EMIT updatesChanged();
    }
    addFailures(read.failures);
}

QList<MailStatusUpdate> MailImportSession::chosenChanges() const
{
    QList<MailStatusUpdate> changes;
    for (const MailUpdate* update : m_updates) {
        if (!update->include() || !update->isApplicable())
            continue;
        MailStatusUpdate change;
        // A message without a date (pasted text) is dated when it is applied.
        change.date = update->message().date.value_or(Clock::now());
        change.status = update->reading().status;
        if (update->reading().status == ApplicationStatus::rejected)
            change.reason = update->reading().reason;
        if (update->createsApplication()) {
            change.newApplication = MailNewApplication {update->newCompany(), QString()};
        } else if (const MailCandidate* application = update->application()) {
            change.record = application->key;
        } else {
            continue;
        }
        changes.append(change);
    }
    return changes;
}

qsizetype MailImportSession::chosenCount() const
{
    return chosenChanges().size();
}
