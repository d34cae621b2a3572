#pragma once

#include <QString>

// A document that is not JSON or not of the backup's shape. The user is shown one
// generic text; the kind, the path of the offending value and the diagnostic text
// are for developers and tests.
class BackupDecodingError {
public:
    enum class Kind {
        dataCorrupted, // not JSON, or a value that cannot be what its key needs (a bad date)
        keyNotFound, // a required key is missing
        valueNotFound, // a required key holds null
        typeMismatch, // a value of the wrong JSON type
    };

    BackupDecodingError(Kind kind, QString codingPath, QString debugDescription)
        : m_kind(kind)
        , m_codingPath(std::move(codingPath))
        , m_debugDescription(std::move(debugDescription))
    {
    }

    Kind kind() const { return m_kind; }
    // Where the failure is, as "applications[2].history[0].date"; empty for the root.
    const QString& codingPath() const { return m_codingPath; }
    // What went wrong, e.g. "Tarih çözümlenemedi: 2025-03-07".
    const QString& debugDescription() const { return m_debugDescription; }
    // The generic text for a file that cannot be read as a backup.
    QString description() const;

private:
    Kind m_kind;
    QString m_codingPath;
    QString m_debugDescription;
};

// A value that cannot be written into a backup (a date outside the years 1 to 9999,
// or text too long for one JSON string).
class BackupEncodingError {
public:
    explicit BackupEncodingError(QString debugDescription)
        : m_debugDescription(std::move(debugDescription))
    {
    }

    const QString& debugDescription() const { return m_debugDescription; }
    QString description() const;

private:
    QString m_debugDescription;
};
