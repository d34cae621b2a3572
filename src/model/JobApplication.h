#pragma once

#include "model/ApplicationFields.h"
#include "model/ApplicationStatus.h"
#include "model/Currency.h"
#include "model/Decimal.h"
#include "model/FieldValue.h"
#include "model/RecordNotifier.h"
#include "model/RecordStorage.h"
#include "model/RejectionReason.h"
#include "model/StatusChange.h"
#include "model/WorkModel.h"

#include <QCollator>
#include <QDateTime>
#include <QList>
#include <QPointer>
#include <QUrl>
#include <QUuid>

#include <memory>
#include <optional>

// Whether `text` shows anything: a company or position of only blanks counts as
// none, in the list's names and in a draft that is ready to add.
bool hasVisibleText(const QString& text);

// The store's persistent identifier of a record: stable for the record's life,
// used for selection, never written to a backup. 0 means "not stored yet".
using RecordID = qint64;

// One job application. Its values are read through one typed reader per field
// (made from the field table); nothing outside the edit layer and the loaders
// writes them. Every write that changes a value is announced, to the store through
// its observer and to whoever follows this record through its notifier, so views
// and the store follow edits as they happen. (Not a QObject: a store holds tens of
// thousands, and a QObject's private part would be a tenth of each one's memory.)
class JobApplication {
public:
    // The store follows every record; one pointer instead of per-record
    // connections keeps a large store small.
    class Observer {
    public:
        virtual void applicationFieldChanged(JobApplication* application, int field) = 0;
        virtual void applicationHistoryAppended(JobApplication* application, StatusChange* change) = 0;
        virtual void applicationHistoryRemoved(JobApplication* application, StatusChange* change) = 0;
        virtual void applicationHistoryEntryChanged(JobApplication* application, StatusChange* change) = 0;

    protected:
        ~Observer() = default;
    };

    // The persistent fields, in the order the store declares them.
    using Field = ApplicationField;
    static constexpr int fieldCount = ApplicationFields::fieldCount;

    // What a new application starts with: the given texts, work model, status and
    // date, a fresh identifier, TRY, created and updated now, closed now when the
    // status is closed, its stage dated with the application date.
    static ApplicationValues initialValues(const QString& companyName, const QString& position,
        const QString& postingLink, WorkModel workModel, ApplicationStatus status, const QDateTime& applicationDate);
    // A new record with those values and no history entry.
    JobApplication(const QString& companyName, const QString& position, const QString& postingLink, WorkModel workModel,
        ApplicationStatus status, const QDateTime& applicationDate);
    // A blank application as the new-application command creates it: empty texts,
    // remote, applied, dated now.
    static std::unique_ptr<JobApplication> makeBlank();
    ~JobApplication();
    JobApplication(const JobApplication&) = delete;
    JobApplication& operator=(const JobApplication&) = delete;

    RecordID id() const { return m_id; }
    // Every value at once, copied out: an edit's before and after, a backup entry.
    ApplicationValues values() const;

    // A reference to the value, except for a text kept as UTF-8 (RecordStorage::isUtf8Text),
    // which reads as a new string.
    template <Field field> decltype(auto) get() const
    {
        using namespace RecordStorage;
        if constexpr (isCoded<field>) {
            const quint8 code = m_fields.at<field>();
            if (code == unknownValue)
                return unknownText<field>();
            if (code == noValue)
                return none<field>();
            return knownText<field>(code);
        } else if constexpr (ApplicationFields::describe(field).place == FieldPlace::inRecord) {
            return valueOf<field>(m_fields.at<field>());
        } else {
            return m_aside ? valueOf<field>(m_aside->fields.at<field>()) : none<field>();
        }
    }
    // The typed reader of every field: companyName(), statusRaw(), closedAt(), …
#define APPLYWRIGHT_FIELD_READER(name, ...)                                                                            \
    decltype(auto) name() const                                                                                        \
    {                                                                                                                  \
        return get<Field::name>();                                                                                     \
    }
    APPLYWRIGHT_APPLICATION_FIELDS(APPLYWRIGHT_FIELD_READER)
#undef APPLYWRIGHT_FIELD_READER
    // Any plain field; `history` has no value here.
    FieldValue value(Field field) const;

    // The status transitions in the order they were appended.
    const StatusHistory& history() const
    {
        return m_history;
    }

    // Typed accessors over the raw fields. Reads never fail: unknown raw texts read
    // as applied, remote, TRY or no reason and stay stored until written.
    ApplicationStatus status() const;
    WorkModel workModel() const;
    Currency currency() const;
    std::optional<RejectionReason> rejectionReason() const;

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
    // query keeps its search text here); cleared by every field change. Reading it
    // makes it, so one record is read by one thread at a time: a search spread over
    // threads gives each thread records of its own.
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
    DerivedCache& derivedCache() const
    {
        if (!m_derivedCache)
            m_derivedCache = std::make_unique<DerivedCache>();
        return *m_derivedCache;
    }

    // What this record announces to those who follow it one by one; made on first use
    // (on the thread that asks), gone with the record.
    RecordNotifier& notifier();

private:
    friend class ApplicationBuilder;
    friend class RecordWriter;
    friend class Store;
    friend class StatusChange;

    explicit JobApplication(ApplicationValues values);

    // The only writers of a record; reached through the edit layer and the loaders.
    void write(Field field, const FieldValue& value);
    StatusChange* insertHistory(qsizetype index, std::unique_ptr<StatusChange> change);
    // Takes the entry in without announcing it: a record being built is nobody's yet.
    StatusChange* attachHistory(qsizetype index, std::unique_ptr<StatusChange> change);
    StatusChange* appendHistory(std::unique_ptr<StatusChange> change);
    std::unique_ptr<StatusChange> takeHistory(StatusChange* change);
    void historyEntryDidChange(StatusChange* change, StatusChange::Field field);
    void setObserver(Observer* observer)
    {
        m_observer = observer;
    }
    RecordNotifier* followers() const
    {
        return m_aside ? m_aside->notifier.get() : nullptr;
    }

    // Keeps `value` as field F's: a raw value as its case's number (its text aside when
    // it is no known case), a field kept aside in the part made for it when the value
    // is the first that is not empty.
    template <Field field> void store(ApplicationFields::ValueType<field> value);
    void storeAll(ApplicationValues values);
    template <Field field> const ApplicationFields::ValueType<field>& unknownText() const
    {
        const auto& text = (*m_aside->unknownTexts)[RecordStorage::codedIndex(field)];
        if constexpr (std::is_same_v<ApplicationFields::ValueType<field>, QString>)
            return *text;
        else
            return text;
    }
    // The case of a coded field, none when the field is none or holds an unknown text.
    template <Field field> std::optional<RecordStorage::Vocabulary<field>> known() const
    {
        const quint8 code = m_fields.at<field>();
        if (code == RecordStorage::noValue || code == RecordStorage::unknownValue)
            return std::nullopt;
        return RecordStorage::Vocabulary<field>(code);
    }

    RecordID m_id = 0;
    Observer* m_observer = nullptr;
    StatusHistory m_history;
    // Made when first read: a store's records wait for their first search or sort by
    // name without carrying an empty one each.
    mutable std::unique_ptr<DerivedCache> m_derivedCache;
    std::unique_ptr<RecordStorage::Aside> m_aside;
    RecordStorage::Block<FieldPlace::inRecord> m_fields;
};

// A record that may be deleted while something still refers to it (an undo step, a
// view, a menu): reads as null once it is, as a QPointer does for an object.
class RecordPointer {
public:
    RecordPointer() = default;
    RecordPointer(JobApplication* application)
        : m_application(application)
        , m_notifier(application ? &application->notifier() : nullptr)
    {
    }
    JobApplication* data() const { return m_notifier ? m_application : nullptr; }
    operator JobApplication*() const { return data(); }
    JobApplication* operator->() const { return data(); }
    JobApplication& operator*() const { return *data(); }

private:
    JobApplication* m_application = nullptr;
    QPointer<RecordNotifier> m_notifier;
};

// How loaders make records: the store reading its file, a backup entry restored,
// a new record with its first history entry, a test's fixture. The record is
// built whole and then handed out; a builder never reaches a stored record.
class ApplicationBuilder {
public:
    explicit ApplicationBuilder(ApplicationValues values);
    explicit ApplicationBuilder(std::unique_ptr<JobApplication> application);

    // The values of the record being built; it is nobody's yet, so they may still change.
    // Copied out on first use and kept into the record when it is built.
    ApplicationValues& values();
    // Room for `count` entries, for a loader that knows how many it will append.
    ApplicationBuilder& reserveHistory(qsizetype count);
    ApplicationBuilder& appendHistory(std::unique_ptr<StatusChange> change);
    ApplicationBuilder& appendHistory(
        std::optional<ApplicationStatus> from, ApplicationStatus to, const QDateTime& date);
    // The entry a new record's history starts with: no previous status, applied,
    // dated with the application date.
    ApplicationBuilder& appendFirstHistoryEntry();
    std::unique_ptr<JobApplication> build();

private:
    std::unique_ptr<JobApplication> m_application;
    std::unique_ptr<ApplicationValues> m_values;
};
