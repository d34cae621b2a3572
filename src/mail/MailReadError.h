#pragma once

#include <QString>

// Why a message could not be read. The description is the failure line the mail
// review shows after the message's label.
class MailReadError {
public:
    enum class Kind {
        unreadableFile,
        notMail,
        tooLarge,
        tooManyParts,
        nestedTooDeep,
        textTooLong,
        undecodable,
        noText,
        tooSlow,
        tooManyMessages,
        // The reader's process failed: it could not start, crashed or ran out of memory.
        readerFailed,
    };

    // The reader's limits that a description names.
    static constexpr qint64 maximumMessageBytes = qint64(40) * 1024 * 1024;
    static constexpr int maximumMessages = 1000;

    explicit MailReadError(Kind kind)
        : m_kind(kind)
    {
    }

    Kind kind() const { return m_kind; }
    QString description() const;

    friend bool operator==(const MailReadError&, const MailReadError&) = default;

private:
    Kind m_kind;
};
