#pragma once

#include <QString>
#include <QUuid>

// The one-shot text an export or import ends with. Every message has an identity
// of its own, so the same text posted twice still shows twice.
class BackupMessage {
public:
    explicit BackupMessage(QString text)
        : m_id(QUuid::createUuid())
        , m_text(std::move(text))
    {
    }

    const QUuid& id() const { return m_id; }
    const QString& text() const { return m_text; }

private:
    QUuid m_id;
    QString m_text;
};
