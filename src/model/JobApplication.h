#pragma once

#include "model/ApplicationStatus.h"
#include "model/Currency.h"
#include "model/Decimal.h"
#include "model/FieldValue.h"
#include "model/RejectionReason.h"
#include "model/StatusChange.h"
#include "model/WorkModel.h"

#include <QCollator>
#include <QDateTime>
#include <QList>
#include <QObject>
#include <QUrl>
#include <QUuid>

#include <memory>
#include <optional>

// The store's persistent identifier of a record: stable for the record's life,
// used for selection, never written to a backup. 0 means "not stored yet".
using RecordID = qint64;

// One job application. Every field write that changes a value emits
// fieldChanged(field), so views and the store follow edits as they happen.
// A plain field write never touches updatedAt; only the typed writers and
// changeStatus stamp it.
class JobApplication : public QObject {
    Q_OBJECT

public:
    // The store follows every record; one pointer instead of per-record
    // connections keeps a large store small.
    class Observer {
    public:
        virtual void applicationFieldChanged(JobApplication* application, int field) = 0;
        virtual void applicationHistoryAppended(JobApplication* application, StatusChange* change) = 0;
        virtual void applicationHistoryEntryChanged(JobApplication* application, StatusChange* change) = 0;

    protected:
        ~Observer() = default;
    };

    // The persistent fields, in the order the store declares them.
    enum class Field {
        uuid,
        companyName,
        position,
        postingLink,
        workModelRaw,
        statusRaw,
        applicationDate,
        statusChangedAt,
        closedAt,
        followUpDate,
        rejectedByEmail,
        rejectedByPhone,
        rejectionReasonRaw,
        rejectionNote,
        hrContactName,
        hrContactEmail,
        techInterviewerName,
        techInterviewerRole,
        expectedSalary,
        offeredSalary,
        currencyRaw,
        notes,
        isFavorite,
        createdAt,
        updatedAt,
        history,
    };
    Q_ENUM(Field)
    static constexpr int fieldCount = int(Field::history) + 1;

    JobApplication(const QString& companyName, const QString& position, const QString& postingLink, WorkModel workModel,
        ApplicationStatus status, const QDateTime& applicationDate);
    // A blank application as the new-application command creates it: empty texts,
    // remote, applied, dated now.
    static std::unique_ptr<JobApplication> makeBlank();
    ~JobApplication() override;

    RecordID id() const { return m_id; }

    // Plain fields.
    const std::optional<QUuid>& uuid() const { return m_uuid; }
    void setUuid(const std::optional<QUuid>& value);
    const QString& companyName() const { return m_companyName; }
    void setCompanyName(const QString& value);
    const QString& position() const { return m_position; }
    void setPosition(const QString& value);
    const QString& postingLink() const { return m_postingLink; }
    void setPostingLink(const QString& value);
    const QString& workModelRaw() const { return m_workModelRaw; }
    void setWorkModelRaw(const QString& value);
    const QString& statusRaw() const { return m_statusRaw; }
    void setStatusRaw(const QString& value);
    const QDateTime& applicationDate() const { return m_applicationDate; }
    void setApplicationDate(const QDateTime& value);
    const QDateTime& statusChangedAt() const { return m_statusChangedAt; }
    void setStatusChangedAt(const QDateTime& value);
    const std::optional<QDateTime>& closedAt() const { return m_closedAt; }
    void setClosedAt(const std::optional<QDateTime>& value);
    const std::optional<QDateTime>& followUpDate() const { return m_followUpDate; }
    void setFollowUpDate(const std::optional<QDateTime>& value);
    bool rejectedByEmail() const { return m_rejectedByEmail; }
    void setRejectedByEmail(bool value);
    bool rejectedByPhone() const { return m_rejectedByPhone; }
    void setRejectedByPhone(bool value);
    const std::optional<QString>& rejectionReasonRaw() const { return m_rejectionReasonRaw; }
    void setRejectionReasonRaw(const std::optional<QString>& value);
    const QString& rejectionNote() const { return m_rejectionNote; }
    void setRejectionNote(const QString& value);
    const QString& hrContactName() const { return m_hrContactName; }
    void setHrContactName(const QString& value);
    const QString& hrContactEmail() const { return m_hrContactEmail; }
    void setHrContactEmail(const QString& value);
    const QString& techInterviewerName() const { return m_techInterviewerName; }
    void setTechInterviewerName(const QString& value);
    const QString& techInterviewerRole() const { return m_techInterviewerRole; }
    void setTechInterviewerRole(const QString& value);
    const std::optional<Decimal>& expectedSalary() const { return m_expectedSalary; }
    void setExpectedSalary(const std::optional<Decimal>& value);
    const std::optional<Decimal>& offeredSalary() const { return m_offeredSalary; }
    void setOfferedSalary(const std::optional<Decimal>& value);
    const QString& currencyRaw() const { return m_currencyRaw; }
    void setCurrencyRaw(const QString& value);
    const QString& notes() const { return m_notes; }
    void setNotes(const QString& value);
    bool isFavorite() const { return m_isFavorite; }
    void setFavorite(bool value);
    const QDateTime& createdAt() const { return m_createdAt; }
    void setCreatedAt(const QDateTime& value);
    const QDateTime& updatedAt() const { return m_updatedAt; }
    void setUpdatedAt(const QDateTime& value);

    // Any plain field by its name in the field table; `history` has no value here.
    // A value of another type than the field's is ignored.
    FieldValue value(Field field) const;
    void setValue(Field field, const FieldValue& value);

    // The status transitions in the order they were appended.
    const QList<StatusChange*>& history() const { return m_history; }
    // Takes ownership, points the entry back at this record and emits historyAppended.
    StatusChange* appendHistory(std::unique_ptr<StatusChange> change);
    // The entry a new record's history starts with: no previous status, applied,
    // dated with the application date.
    StatusChange* appendFirstHistoryEntry();

    // Typed accessors over the raw fields. Reads never fail: unknown raw texts read
    // as applied, remote, TRY or no reason and stay stored until written.
    ApplicationStatus status() const;
    WorkModel workModel() const;
    void setWorkModel(WorkModel value);
    Currency currency() const;
    void setCurrency(Currency value);
    std::optional<RejectionReason> rejectionReason() const;
    // Stamps updatedAt every time, also when the reason does not change.
    void setRejectionReason(std::optional<RejectionReason> value);

    // The user's status pick: records the transition and maintains the dates.
    void changeStatus(ApplicationStatus newStatus);
    // The same transition dated at `moment` instead of now: a status read from a
    // message happened when the message was sent. updatedAt still says now.
    void changeStatus(ApplicationStatus newStatus, const QDateTime& moment);

    QString displayCompany() const;
    QString displayPosition() const;
    // The http(s) address of postingLink ("https://" added when no scheme is typed).
    std::optional<QUrl> postingURL() const;
    // The identifier that survives export and import; created and stored on first use.
    QUuid stableID();

    // Day values, counted in calendar days of the local time zone.
    std::optional<int> daysWaiting(const QDateTime& today) const;
    int daysSinceApplied() const;
    int daysInCurrentStatus() const;
    bool isFollowUpDue() const;
    // The same as of `now`; views pass the day clock's today so every count agrees.
    bool isFollowUpDue(const QDateTime& now) const;

    // A slot for derived text that readers may cache with the record (the list
    // query keeps its search text here); cleared by every field change.
    struct DerivedCache {
        quint64 searchKey = 0;
        QString searchText;
        quint64 collationKey = 0;
        std::optional<QCollatorSortKey> companySortKey;
        // The insights' reading of postingLink (its job board, another site or no
        // usable link): 0 until read, then 1 + the reader's own number.
        quint8 linkKind = 0;
        void clear()
        {
            searchKey = 0;
            collationKey = 0;
            linkKind = 0;
        }
    };
    DerivedCache& derivedCache() const { return m_derivedCache; }

Q_SIGNALS:
    void fieldChanged(JobApplication::Field field);
    void historyAppended(StatusChange* change);
    void historyEntryChanged(StatusChange* change, StatusChange::Field field);

private:
    friend class Store;
    friend class StatusChange;
    struct Members;
    void historyEntryDidChange(StatusChange* change, StatusChange::Field field);
    void setObserver(Observer* observer) { m_observer = observer; }

    // An empty record for the store to fill from its file.
    JobApplication() = default;

    template <typename T> void assign(T& member, const T& value, Field field);

    RecordID m_id = 0;
    Observer* m_observer = nullptr;
    std::optional<QUuid> m_uuid;
    QString m_companyName;
    QString m_position;
    QString m_postingLink;
    QString m_workModelRaw;
    QString m_statusRaw;
    QDateTime m_applicationDate;
    QDateTime m_statusChangedAt;
    std::optional<QDateTime> m_closedAt;
    std::optional<QDateTime> m_followUpDate;
    bool m_rejectedByEmail = false;
    bool m_rejectedByPhone = false;
    std::optional<QString> m_rejectionReasonRaw;
    QString m_rejectionNote;
    QString m_hrContactName;
    QString m_hrContactEmail;
    QString m_techInterviewerName;
    QString m_techInterviewerRole;
    std::optional<Decimal> m_expectedSalary;
    std::optional<Decimal> m_offeredSalary;
    QString m_currencyRaw;
    QString m_notes;
    bool m_isFavorite = false;
    QDateTime m_createdAt;
    QDateTime m_updatedAt;
    QList<StatusChange*> m_history;
    mutable DerivedCache m_derivedCache;
};
