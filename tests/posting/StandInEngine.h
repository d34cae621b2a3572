#pragma once

#include "posting/PostingImportSession.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QThread>

#include <algorithm>
#include <atomic>

namespace StandIn {

using namespace Qt::StringLiterals;

// Recognised lines, one under the other, each with its box.
inline QList<PostingLine> linesOf(const QStringList& texts)
{
    QList<PostingLine> lines;
    for (int i = 0; i < texts.size(); ++i)
        lines.append(PostingLine {texts[i], i, 1.0 - 0.1 * i, 0.9, QRectF(0.1, 0.9 - 0.05 * i, 0.5, 0.04)});
    return lines;
}

inline const QStringList postingLines {
    u"Senior iOS Developer"_s, u"Acme Corp · Istanbul, Türkiye · 2 days ago"_s, u"Hybrid"_s};

// Stands in for the recognition engine: answers by file name (or by clipboard bytes read as
// text), optionally slowly, and records where, in which order and how many at a time it ran.
// Inputs named "endless…" are read until their run is dropped (or for ten seconds, so a missed
// cancel cannot hang the test); names it has no answer for cannot be read.
struct Engine {
    QMutex mutex;
    QHash<QString, RecognitionResult> answers {{u"first.png"_s, linesOf(postingLines)},
        {u"third.jpg"_s, linesOf({u"Backend Developer"_s})},
        {u"blank.png"_s, RecognitionResult(RecognizerError::noTextFound())}, {u"posting"_s, linesOf(postingLines)},
        {u"posting.png"_s, linesOf(postingLines)}, {u"shot.png"_s, linesOf(postingLines)},
        {u"a.png"_s, linesOf(postingLines)}, {u"slow.png"_s, linesOf({u"Slow Engineer"_s})},
        {u"next.png"_s, linesOf({u"Next Engineer"_s})}};
    const QHash<QString, int> delaysMs {{u"first.png"_s, 150}, {u"slow.png"_s, 150}, {u"next.png"_s, 20}};
    std::atomic<int> running {0};
    std::atomic<int> mostAtOnce {0};
    std::atomic<int> cancelledReads {0};
    QList<QThread*> threads;
    QStringList reads;

    RecognitionResult read(const QString& key, const std::atomic<bool>& cancelled)
    {
        const int now = ++running;
        mostAtOnce = std::max(mostAtOnce.load(), now);
        {
            QMutexLocker lock(&mutex);
            threads.append(QThread::currentThread());
            reads.append(key);
        }
        const bool endless = key.startsWith(u"endless"_s);
        QElapsedTimer waited;
        waited.start();
        while (endless ? !cancelled && waited.elapsed() < 10000 : waited.elapsed() < delaysMs.value(key))
            QThread::msleep(2);
        --running;
        cancelledReads += endless && cancelled;
        QMutexLocker lock(&mutex);
        return endless ? RecognitionResult(RecognizerError::noTextFound())
                       : answers.value(key, RecognitionResult(RecognizerError::unreadableImage()));
    }

    PostingImportSession::RecognizerFactory factory()
    {
        return [this](std::shared_ptr<const std::atomic<bool>> cancelled) {
            return PostingImportSession::Recognizer {
                [this, cancelled](const QString& path) { return read(QFileInfo(path).fileName(), *cancelled); },
                [this, cancelled](const QByteArray& data) { return read(QString::fromUtf8(data), *cancelled); }};
        };
    }
};

} // namespace StandIn
