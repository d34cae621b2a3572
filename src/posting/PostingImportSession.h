#pragma once

#include "model/ImportSession.h"
#include "posting/DraftStart.h"
#include "posting/ParsedPosting.h"
#include "posting/PostingDraft.h"
#include "posting/PostingSuggestions.h"
#include "posting/ScreenshotTextRecognizer.h"

#include <QList>
#include <QObject>
#include <QStringList>

#include <atomic>
#include <functional>
#include <memory>

class JobApplication;
class QThreadPool;
class QTimer;

// The state of one import run: its drafts and failure lines, whether it is still
// reading images and whether the review sheet is shown. Lives on the main thread;
// recognition and parsing of images run on a worker thread, one image at a time
// in the given order, and their results are applied back here.
class PostingImportSession : public ImportSession {
    Q_OBJECT

public:
    // The stored record a draft repeats, if any ("you already applied here").
    using RecordFinder = std::function<JobApplication*(const PostingDraft& draft)>;

    // What reads an image file or image bytes into lines; replaceable in tests.
    struct Recognizer {
        std::function<RecognitionResult(const QString& filePath)> fromFile;
        std::function<RecognitionResult(const QByteArray& imageData)> fromData;
    };
    // The screenshot recogniser; it stops early once `cancelled` is set.
    static Recognizer screenshotRecognizer(std::shared_ptr<const std::atomic<bool>> cancelled = {});
    // Makes the recogniser for one run; `cancelled` turns true when that run is
    // dropped (a new import, a reset, the session going away).
    using RecognizerFactory = std::function<Recognizer(std::shared_ptr<const std::atomic<bool>> cancelled)>;

    explicit PostingImportSession(QObject* parent = nullptr);
    // A fixed recogniser that does not hear about dropped runs.
    PostingImportSession(Recognizer recognizer, QObject* parent);
    PostingImportSession(RecognizerFactory makeRecognizer, QObject* parent);
    ~PostingImportSession() override;

    const QList<PostingDraft*>& drafts() const { return m_drafts; }

    using ImportSession::setFailures;
    using ImportSession::setPresenting;
    using ImportSession::setProcessing;

    // Starts a new import: no drafts, no failures, and the sheet opens.
    void begin();
    // Back to idle: no drafts, no failures, nothing running, the sheet closed.
    // Work still in flight for the old run is dropped when it finishes.
    void reset();

    // Pasted posting text, parsed at once into one draft.
    void addText(const QString& text, const QString& sourceLabel);
    // Image bytes (a clipboard image) into one draft or one failure line.
    void process(const QByteArray& imageData, const QString& sourceLabel);
    // Image files, one after another in this order; each file's label is its name.
    void process(const QStringList& filePaths);

    // The drafts the user chose: ticked and with a company or a position.
    QList<PostingDraft*> chosenDrafts() const;
    // The drafts the person changed since they arrived.
    qsizetype editedDrafts() const;

    // Matches drafts with the records already stored: a draft that repeats one
    // arrives unticked. Set before the drafts arrive.
    void setExistingRecords(RecordFinder find);
    JobApplication* existingRecord(const PostingDraft& draft) const;

    // A line for the sheet while one image takes long ("Still reading <file>…"),
    // empty otherwise. It comes once an image has been read this long:
    static constexpr int stillReadingAfterMs = 10000;
    const QString& progress() const { return m_progress; }
    void setStillReadingAfter(int milliseconds);

    // The source label and failure text of clipboard imports.
    static QString clipboardLabel();
    static QString emptyClipboardFailure();

Q_SIGNALS:
    void draftsChanged();
    void progressChanged(const QString& progress);

private:
    struct Input {
        QString label;
        QString filePath;
        QByteArray imageData;
    };
    void clearDrafts();
    struct Read {
        ParsedPosting parsed;
        PostingSuggestions suggestions;
        DraftStart start;
        DraftSource source;
    };
    void appendDraft(Read read, const QString& label);
    void runNext(quint64 run);
    // Starts a new run: the old one's work is stopped and its results dropped.
    void dropRun();

    RecognizerFactory m_makeRecognizer;
    RecordFinder m_findRecord;
    // Set when the current run is dropped, so a recognition in progress stops at
    // once instead of holding up the next import or the window's closing.
    std::shared_ptr<std::atomic<bool>> m_cancelled = std::make_shared<std::atomic<bool>>(false);
    Recognizer m_recognizer;
    QList<PostingDraft*> m_drafts;
    QList<Input> m_queue;
    std::unique_ptr<QThreadPool> m_pool;
    QTimer* m_stillReading;
    QString m_progress;
    void setProgress(const QString& progress);
};
