#pragma once

#include <QString>

// A failure of the local store, with the text a user (or the log) is shown and,
// when SQLite reported it, SQLite's extended result code.
class StoreError {
public:
    explicit StoreError(QString message, int code = 0)
        : m_message(std::move(message))
        , m_code(code)
    {
    }
    const QString& description() const { return m_message; }
    int code() const { return m_code; }

private:
    QString m_message;
    int m_code;
};
