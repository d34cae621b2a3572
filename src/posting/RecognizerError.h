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
    static RecognizerError noTextFound() { return RecognizerError(Kind::noTextFound, {}); }
    static RecognizerError engineFailure(const QString& engineMessage)
    {
        return RecognizerError(Kind::engineFailure, engineMessage);
    }

    Kind kind() const { return m_kind; }
    // The engine's message for engineFailure, empty otherwise.
    const QString& engineMessage() const { return m_engineMessage; }
    QString description() const;

    friend bool operator==(const RecognizerError&, const RecognizerError&) = default;

private:
    RecognizerError(Kind kind, QString engineMessage)
        : m_kind(kind)
        , m_engineMessage(std::move(engineMessage))
    {
    }

    Kind m_kind;
    QString m_engineMessage;
};
