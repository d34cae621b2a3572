#pragma once

#include "model/WorkModel.h"
#include "posting/DraftStart.h"
#include "posting/ParsedPosting.h"
#include "posting/PostingSuggestions.h"
#include "posting/ScreenshotTextRecognizer.h"

#include <QList>
#include <QObject>
#include <QStringList>
#include <QUuid>

#include <atomic>
#include <functional>
#include <memory>

class JobApplication;
class QThreadPool;
class QTimer;

// Where a draft was read from, for the picture the review sheet shows beside it: the
// screenshot (its file, or the bytes of a clipboard image) with the recognised lines
// and their boxes, or the lines of pasted text. Kept only while the review lasts.
struct DraftSource {
    QString filePath;
    QByteArray imageData;
    QList<PostingLine> lines;

    bool isImage() const { return !filePath.isEmpty() || !imageData.isEmpty(); }
};

// One detected application under review: the parse result it came from, kept
// unchanged, and the editable fields the user may correct before adding it. It is
// seeded from the parse result; the session then starts its review with the values
// DraftStart chose from both readings (beginReview).
class PostingDraft : public QObject {
    Q_OBJECT

public:
    PostingDraft(ParsedPosting parsed, QString sourceLabel, QObject* parent = nullptr);
    PostingDraft(ParsedPosting parsed, PostingSuggestions suggestions, QString sourceLabel, QObject* parent = nullptr);

    const QUuid& id() const { return m_id; }
    const ParsedPosting& parsed() const { return m_parsed; }
    const PostingSuggestions& suggestions() const { return m_suggestions; }
    const QString& sourceLabel() const { return m_sourceLabel; }
    // What the review started with, and what it was read from.
    const DraftStart& start() const { return m_start; }
    const DraftSource& source() const { return m_source; }

    // Starts the review with the values `start` chose. The draft is ticked when
    // something was found and the input looks like a job posting, unless
    // `repeatsRecord` says the list already holds this application. Sends no change:
    // it comes before anyone watches the draft. Its values now count as untouched.
    void beginReview(
        DraftStart start, DraftSource source, const std::function<bool(const PostingDraft&)>& repeatsRecord = {});
    // The person changed a value or the tick since the review started.
    bool isEdited() const;

    bool include() const { return m_include; }
    void setInclude(bool include);
    const QString& company() const { return m_company; }
    void setCompany(const QString& company);
    const QString& position() const { return m_position; }
    void setPosition(const QString& position);
    const QString& postingLink() const { return m_postingLink; }
    void setPostingLink(const QString& postingLink);
    WorkModel workModel() const { return m_workModel; }
    void setWorkModel(WorkModel workModel);

    // A company or a position that is more than blanks.
    bool hasContent() const;

    // A new record (status applied, dated now) from the trimmed fields. It has no
    // history yet: committing adds the first entry once the record is stored.
    std::unique_ptr<JobApplication> makeApplication() const;

Q_SIGNALS:
    void changed();

private:
    struct Values {
        bool include = false;
        QString company;
        QString position;
        QString postingLink;
        WorkModel workModel = WorkModel::remote;

        friend bool operator==(const Values&, const Values&) = default;
    };
    Values values() const;

    QUuid m_id;
    ParsedPosting m_parsed;
    PostingSuggestions m_suggestions;
    QString m_sourceLabel;
    bool m_include;
    QString m_company;
    QString m_position;
    QString m_postingLink;
    WorkModel m_workModel;
    DraftStart m_start;
    DraftSource m_source;
    Values m_untouched;
};

// The state of one import run: its drafts and failure lines, whether it is still
// reading images and whether the review sheet is shown. Lives on the main thread;
// recognition and parsing of images run on a worker thread, one image at a time
// in the given order, and their results are applied back here.
class PostingImportSession : public QObject {
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
    const QStringList& failures() const { return m_failures; }
    bool isProcessing() const { return m_isProcessing; }
    bool isPresenting() const { return m_isPresenting; }

    void setFailures(const QStringList& failures);
    void addFailure(const QString& failure);
    void setProcessing(bool processing);
    void setPresenting(bool presenting);

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
    void failuresChanged();
    void processingChanged(bool processing);
    void presentingChanged(bool presenting);
    // Every input of a process() call has been handled.
    void finished();
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
    QStringList m_failures;
    bool m_isProcessing = false;
    bool m_isPresenting = false;
    // Bumped by begin() and reset(): results of an older run are not applied.
    quint64 m_run = 0;
    QList<Input> m_queue;
    std::unique_ptr<QThreadPool> m_pool;
    QTimer* m_stillReading;
    QString m_progress;
    void setProgress(const QString& progress);
};
