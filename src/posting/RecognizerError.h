#pragma once

#include <QString>

// Why a screenshot gave no lines. The description is what the user reads in the
// import sheet's failure list.
class RecognizerError {
public:
    enum class Kind {
        unreadableImage,
        noTextFound,
        // The recognition engine itself failed; its own message is shown.
        engineFailure,
    };

    static RecognizerError unreadableImage() { return RecognizerError(Kind::unreadableImage, {}); }
    // A file that could not even be opened, with the reason the person can act on
    // (no such file, a folder, ...) in place of the general text.
    static RecognizerError unreadableImage(const QString& reason)
    {
        return RecognizerError(Kind::unreadableImage, reason);
    }
    static RecognizerError noTextFound() { return RecognizerError(Kind::noTextFound, {}); }
    static RecognizerError engineFailure(const QString& engineMessage)
    {
        return RecognizerError(Kind::engineFailure, engineMessage);
    }

    Kind kind() const { return m_kind; }
    QString description() const;

    friend bool operator==(const RecognizerError&, const RecognizerError&) = default;

private:
    RecognizerError(Kind kind, QString message)
        : m_kind(kind)
        , m_message(std::move(message))
    {
    }

    Kind m_kind;
    // The engine's message, or why a file could not be opened; empty for the rest.
    QString m_message;
};
