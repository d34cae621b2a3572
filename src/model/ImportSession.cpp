#include "model/ImportSession.h"

ImportSession::ImportSession(QObject* parent)
    : QObject(parent)
{
}

void ImportSession::setFailures(const QStringList& failures)
{
    if (m_failures == failures)
        return;
    m_failures = failures;
    Q_EMIT failuresChanged();
}

void ImportSession::addFailure(const QString& failure)
{
    addFailures({failure});
}

void ImportSession::addFailures(const QStringList& failures)
{
    if (failures.isEmpty())
        return;
    m_failures.append(failures);
    Q_EMIT failuresChanged();
}

void ImportSession::setProcessing(bool processing)
{
    if (m_isProcessing == processing)
        return;
    m_isProcessing = processing;
    Q_EMIT processingChanged(processing);
}

void ImportSession::setPresenting(bool presenting)
{
    if (m_isPresenting == presenting)
        return;
    m_isPresenting = presenting;
    Q_EMIT presentingChanged(presenting);
}

void ImportSession::finish()
{
    setProcessing(false);
    Q_EMIT finished();
}
