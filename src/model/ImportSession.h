#pragma once

#include <QObject>
#include <QStringList>

// What every import keeps beside what it reads: the lines for inputs that could
// not be read, whether reading goes on, whether the review is shown, and which run
// is the current one, so that results of a dropped run are not applied.
class ImportSession : public QObject {
    Q_OBJECT

public:
    const QStringList& failures() const { return m_failures; }
    bool isProcessing() const { return m_isProcessing; }
    bool isPresenting() const { return m_isPresenting; }
    void addFailure(const QString& failure);

Q_SIGNALS:
    void failuresChanged();
    void processingChanged(bool processing);
    void presentingChanged(bool presenting);
    // Every input handed over so far has been handled.
    void finished();

protected:
    explicit ImportSession(QObject* parent);

    void setFailures(const QStringList& failures);
    void addFailures(const QStringList& failures);
    void setProcessing(bool processing);
    void setPresenting(bool presenting);
    // Nothing is left to read.
    void finish();

    // A new run begins; results of older ones that arrive later are dropped.
    void startRun() { ++m_run; }
    quint64 currentRun() const { return m_run; }

private:
    QStringList m_failures;
    bool m_isProcessing = false;
    bool m_isPresenting = false;
    quint64 m_run = 0;
};
