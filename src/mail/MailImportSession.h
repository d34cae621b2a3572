#pragma once

#include "mail/MailMatcher.h"
#include "mail/MailReader.h"
#include "mail/MailStatusUpdates.h"
#include "mail/MailUpdate.h"
#include "model/ImportSession.h"

#include <QList>
#include <QObject>
#include <QStringList>

#include <functional>
#include <memory>

class QThreadPool;

// One mail import: the messages read so far as reviewable updates, the inputs that
// could not be read, and whether reading goes on and the review is shown. Messages
// are read, understood and matched off the main thread, one input after another;
// each input's updates arrive on the main thread as it finishes. Nothing reaches the
// store before the review's Apply.
class MailImportSession : public ImportSession {
    Q_OBJECT

public:
    // What reads a file's messages: the mail worker, unless a test puts its own in.
    // Pasted text is always read by the worker.
    using FileReader = std::function<QList<MailReader::Item>(const QString& path)>;

    explicit MailImportSession(QObject* parent = nullptr, FileReader readFile = {});
    ~MailImportSession() override;

    const QList<MailUpdate*>& updates() const { return m_updates; }

    // Starts a new import against these applications: no updates, no failures, and
    // the review opens. Work of an earlier import still running is dropped.
    void begin(QList<MailCandidate> applications);
    // Back to idle: nothing listed, nothing running, the review closed.
    void reset();

    // .eml and .mbox files, in this order.
    void processFiles(const QStringList& paths);
    // Pasted or dropped message text.
    void processText(const QString& text, const QString& label);

    // The updates ticked and applicable, as changes to apply.
    QList<MailStatusUpdate> chosenChanges() const;
    qsizetype chosenCount() const;

    static QString clipboardLabel();

Q_SIGNALS:
    void updatesChanged();
    // An update's fields changed (a pick, a tick).
    void updateChanged();

private:
    struct Input {
        QString path;
        QString text;
        QString label;
    };
    struct Read;
    void clear();
    void stopWorker();
    void enqueue(Input input);
    void runNext(quint64 run);
    void take(Read read);

    FileReader m_readFile;
    std::unique_ptr<QThreadPool> m_pool;
    std::shared_ptr<const QList<MailCandidate>> m_candidates;
    std::shared_ptr<const MailMatcher> m_matcher;
    QList<MailUpdate*> m_updates;
    QList<Input> m_queue;
};
