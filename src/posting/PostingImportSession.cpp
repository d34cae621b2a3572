#include "posting/PostingImportSession.h"

#include "posting/PostingParser.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QFuture>
#include <QFutureWatcher>
#include <QThreadPool>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

PostingImportSession::Recognizer PostingImportSession::screenshotRecognizer(
    std::shared_ptr<const std::atomic<bool>> cancelled)
{
    RecognitionSettings settings;
    settings.cancelled = std::move(cancelled);
    return Recognizer {
        [settings](const QString& filePath) { return ScreenshotTextRecognizer(settings).recognize(filePath); },
        [settings](const QByteArray& imageData) { return ScreenshotTextRecognizer(settings).recognize(imageData); },
    };
}

PostingImportSession::PostingImportSession(QObject* parent)
    : PostingImportSession(RecognizerFactory(&PostingImportSession::screenshotRecognizer), parent)
{
}

PostingImportSession::PostingImportSession(Recognizer recognizer, QObject* parent)
    : PostingImportSession(
        RecognizerFactory([recognizer](std::shared_ptr<const std::atomic<bool>>) { return recognizer; }), parent)
{
}

PostingImportSession::PostingImportSession(RecognizerFactory makeRecognizer, QObject* parent)
    : ImportSession(parent)
    , m_makeRecognizer(std::move(makeRecognizer))
    , m_recognizer(m_makeRecognizer(m_cancelled))
    , m_pool(std::make_unique<QThreadPool>())
    , m_stillReading(new QTimer(this))
{
    // One worker that never retires: images are read strictly one at a time, and
    // the recognition engine it loads stays loaded between imports.
    m_pool->setMaxThreadCount(1);
    m_pool->setExpiryTimeout(-1);
    m_stillReading->setSingleShot(true);
    m_stillReading->setInterval(stillReadingAfterMs);
}

PostingImportSession::~PostingImportSession()
{
    m_cancelled->store(true);
    startRun();
    m_queue.clear();
    m_pool->waitForDone();
}

void PostingImportSession::setStillReadingAfter(int milliseconds)
{
    m_stillReading->setInterval(milliseconds);
}

void PostingImportSession::setProgress(const QString& progress)
{
    if (m_progress == progress)
        return;
    m_progress = progress;
    Q_EMIT progressChanged(progress);
}

void PostingImportSession::dropRun()
{
    startRun();
    m_queue.clear();
    m_stillReading->stop();
    m_stillReading->disconnect();
    setProgress({});
    // The old run's recognition stops early; the next run gets a flag of its own.
    m_cancelled->store(true);
    m_cancelled = std::make_shared<std::atomic<bool>>(false);
    m_recognizer = m_makeRecognizer(m_cancelled);
}

void PostingImportSession::clearDrafts()
{
    const QList<PostingDraft*> old = std::exchange(m_drafts, {});
    Q_EMIT draftsChanged();
    for (PostingDraft* draft : old)
        draft->deleteLater();
}

void PostingImportSession::begin()
{
    dropRun();
    clearDrafts();
    setFailures({});
    setPresenting(true);
}

void PostingImportSession::reset()
{
    dropRun();
    clearDrafts();
    setFailures({});
    setProcessing(false);
    setPresenting(false);
}

void PostingImportSession::appendDraft(Read read, const QString& label)
{
    auto* draft = new PostingDraft(std::move(read.parsed), std::move(read.suggestions), label, this);
    draft->beginReview(std::move(read.start), std::move(read.source),
        [this](const PostingDraft& made) { return existingRecord(made) != nullptr; });
    m_drafts.append(draft);
    Q_EMIT draftsChanged();
}

void PostingImportSession::addText(const QString& text, const QString& sourceLabel)
{
    Read read;
    read.parsed = PostingParser::parse(text);
    read.source.lines = PostingSuggestions::linesOf(text);
    read.suggestions = PostingSuggestions::suggest(read.source.lines, read.parsed);
    read.start = DraftStart::decide(read.source.lines, read.parsed, read.suggestions);
    appendDraft(std::move(read), sourceLabel);
}

void PostingImportSession::setExistingRecords(RecordFinder find)
{
    m_findRecord = std::move(find);
}

JobApplication* PostingImportSession::existingRecord(const PostingDraft& draft) const
{
    return m_findRecord ? m_findRecord(draft) : nullptr;
}

void PostingImportSession::process(const QByteArray& imageData, const QString& sourceLabel)
{
    m_queue.append(Input {sourceLabel, QString(), imageData});
    setProcessing(true);
    if (m_queue.size() == 1)
        runNext(currentRun());
}

void PostingImportSession::process(const QStringList& filePaths)
{
    for (const QString& path : filePaths)
        m_queue.append(Input {QFileInfo(path).fileName(), path, QByteArray()});
    if (m_queue.isEmpty()) {
        finish();
        return;
    }
    setProcessing(true);
    if (m_queue.size() == qsizetype(filePaths.size()))
        runNext(currentRun());
}

void PostingImportSession::runNext(quint64 run)
{
    if (run != currentRun())
        return;
    if (m_queue.isEmpty()) {
        finish();
        return;
    }
    const Input input = m_queue.first();
    const Recognizer recognizer = m_recognizer;
    using Outcome = Expected<Read, RecognizerError>;
    QFuture<Outcome> future = QtConcurrent::run(m_pool.get(), [recognizer, input]() -> Outcome {
        const RecognitionResult lines
            = input.filePath.isEmpty() ? recognizer.fromData(input.imageData) : recognizer.fromFile(input.filePath);
        if (!lines)
            return lines.error();
        Read read;
        read.parsed = PostingParser::parse(lines.value());
        read.suggestions = PostingSuggestions::suggest(lines.value(), read.parsed);
        read.start = DraftStart::decide(lines.value(), read.parsed, read.suggestions);
        read.source = DraftSource {input.filePath, input.imageData, lines.value()};
        return read;
    });
    // An image that takes long says so; the line goes with the image.
    m_stillReading->disconnect();
    connect(m_stillReading, &QTimer::timeout, this, [this, label = input.label] {
        setProgress(QCoreApplication::translate("PostingImportSession", "Still reading %1…").arg(label));
    });
    m_stillReading->start();
    auto* watcher = new QFutureWatcher<Outcome>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, run, label = input.label] {
        watcher->deleteLater();
        const Outcome outcome = watcher->result();
        if (run != currentRun()) {
            // The session was reset or restarted meanwhile. The flag was this run's
            // to clear: unless the newer run has images of its own in the queue,
            // nothing is being read any more.
            if (m_queue.isEmpty())
                setProcessing(false);
            return;
        }
        if (!m_queue.isEmpty())
            m_queue.removeFirst();
        m_stillReading->stop();
        setProgress({});
        if (outcome)
            appendDraft(outcome.value(), label);
        else
            addFailure(label + QLatin1String(": ") + outcome.error().description());
        runNext(run);
    });
    watcher->setFuture(future);
}

QList<PostingDraft*> PostingImportSession::chosenDrafts() const
{
    QList<PostingDraft*> chosen;
    for (PostingDraft* draft : m_drafts) {
        if (draft->include() && draft->hasContent())
            chosen.append(draft);
    }
    return chosen;
}

qsizetype PostingImportSession::editedDrafts() const
{
    return std::count_if(m_drafts.begin(), m_drafts.end(), [](const PostingDraft* draft) { return draft->isEdited(); });
}

QString PostingImportSession::clipboardLabel()
{
    return QCoreApplication::translate("PostingImportSession", "Clipboard");
}

QString PostingImportSession::emptyClipboardFailure()
{
    return QCoreApplication::translate("PostingImportSession", "The clipboard has no job posting text or screenshot.");
}
