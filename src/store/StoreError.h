#pragma once

#include <QString>

// A failure of the local store, with the text a user (or the log) is shown.
class StoreError {
public:
    explicit StoreError(QString message)
        : m_message(std::move(message))
    {
    }
    const QString& description() const { return m_message; }

private:
    QString m_message;
};
