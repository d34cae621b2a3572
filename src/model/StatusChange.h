#pragma once

#include "model/ApplicationStatus.h"

#include <QDateTime>
#include <QString>

#include <optional>

class JobApplication;

// One dated status transition in an application's history. Entries are only ever
// appended; the application owns them and announces their changes with its own
// historyEntryChanged signal. (Not a QObject: a store holds several per record,
// and per-entry objects and connections would dominate its memory.)
class StatusChange {
public:
    enum class Field { fromRaw, toRaw, date, application };

    StatusChange(std::optional<ApplicationStatus> from, ApplicationStatus to, const QDateTime& date);
    // Raw texts as stored or restored, without any check against the vocabulary.
    StatusChange(std::optional<QString> fromRaw, QString toRaw, const QDateTime& date);

    const std::optional<QString>& fromRaw() const { return m_fromRaw; }
    void setFromRaw(const std::optional<QString>& value);
    const QString& toRaw() const { return m_toRaw; }
    void setToRaw(const QString& value);
    const QDateTime& date() const { return m_date; }
    void setDate(const QDateTime& value);
    JobApplication* application() const { return m_application; }

    // None when no previous status is stored or the stored text is unknown.
    std::optional<ApplicationStatus> from() const;
    // Applied when the stored text is unknown.
    ApplicationStatus to() const;

    // The store's row identifier, 0 until the entry is stored.
    qint64 storeId() const { return m_storeId; }

private:
    void notify(Field field);

    friend class JobApplication;
    friend class Store;

    std::optional<QString> m_fromRaw;
    QString m_toRaw;
    QDateTime m_date;
    JobApplication* m_application = nullptr;
    qint64 m_storeId = 0;
};
