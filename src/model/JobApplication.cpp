#include "model/JobApplication.h"

#include "model/ApplicationFields.h"
#include "model/Clock.h"
#include "model/DayCount.h"

#include <QCoreApplication>

namespace {
QDateTime utc(const QDateTime& moment)
{
    return moment.isValid() ? moment.toUTC() : moment;
}

std::optional<QDateTime> utc(const std::optional<QDateTime>& moment)
{
    return moment ? std::optional<QDateTime>(utc(*moment)) : std::nullopt;
}

bool hasVisibleText(const QString& text)
{
    for (QChar c : text) {
        if (!c.isSpace())
            return true;
    }
    return false;
}
} // namespace

JobApplication::JobApplication(const QString& companyName, const QString& position, const QString& postingLink,
    WorkModel workModel, ApplicationStatus status, const QDateTime& applicationDate)
{
    const QDateTime created = Clock::now().toUTC();
    m_uuid = QUuid::createUuid();
    m_companyName = companyName;
    m_position = position;
    m_postingLink = postingLink;
    m_workModelRaw = rawValue(workModel);
    m_statusRaw = rawValue(status);
    m_applicationDate = utc(applicationDate);
    m_statusChangedAt = m_applicationDate;
    if (isClosed(status))
        m_closedAt = created;
    m_currencyRaw = rawValue(Currency::tryy);
    m_createdAt = created;
    m_updatedAt = created;
}

std::unique_ptr<JobApplication> JobApplication::makeBlank()
{
    return std::make_unique<JobApplication>(QString(), QString(), QString(), allCases<WorkModel>().front(),
        allCases<ApplicationStatus>().front(), Clock::now());
}

JobApplication::~JobApplication()
{
    qDeleteAll(m_history);
}

template <typename T> void JobApplication::assign(T& member, const T& value, Field field)
{
    if (member == value)
        return;
    member = value;
    m_derivedCache.clear();
    if (m_observer)
        m_observer->applicationFieldChanged(this, int(field));
    Q_EMIT fieldChanged(field);
}

void JobApplication::setUuid(const std::optional<QUuid>& value)
{
    assign(m_uuid, value, Field::uuid);
}
void JobApplication::setCompanyName(const QString& value)
{
    assign(m_companyName, value, Field::companyName);
}
void JobApplication::setPosition(const QString& value)
{
    assign(m_position, value, Field::position);
}
void JobApplication::setPostingLink(const QString& value)
{
    assign(m_postingLink, value, Field::postingLink);
}
void JobApplication::setWorkModelRaw(const QString& value)
{
    assign(m_workModelRaw, value, Field::workModelRaw);
}
void JobApplication::setStatusRaw(const QString& value)
{
    assign(m_statusRaw, value, Field::statusRaw);
}
void JobApplication::setApplicationDate(const QDateTime& value)
{
    assign(m_applicationDate, utc(value), Field::applicationDate);
}
void JobApplication::setStatusChangedAt(const QDateTime& value)
{
    assign(m_statusChangedAt, utc(value), Field::statusChangedAt);
}
void JobApplication::setClosedAt(const std::optional<QDateTime>& value)
{
    assign(m_closedAt, utc(value), Field::closedAt);
}
void JobApplication::setFollowUpDate(const std::optional<QDateTime>& value)
{
    assign(m_followUpDate, utc(value), Field::followUpDate);
}
void JobApplication::setRejectedByEmail(bool value)
{
    assign(m_rejectedByEmail, value, Field::rejectedByEmail);
}
void JobApplication::setRejectedByPhone(bool value)
{
    assign(m_rejectedByPhone, value, Field::rejectedByPhone);
}
void JobApplication::setRejectionReasonRaw(const std::optional<QString>& value)
{
    assign(m_rejectionReasonRaw, value, Field::rejectionReasonRaw);
}
void JobApplication::setRejectionNote(const QString& value)
{
    assign(m_rejectionNote, value, Field::rejectionNote);
}
void JobApplication::setHrContactName(const QString& value)
{
    assign(m_hrContactName, value, Field::hrContactName);
}
void JobApplication::setHrContactEmail(const QString& value)
{
    assign(m_hrContactEmail, value, Field::hrContactEmail);
}
void JobApplication::setTechInterviewerName(const QString& value)
{
    assign(m_techInterviewerName, value, Field::techInterviewerName);
}
void JobApplication::setTechInterviewerRole(const QString& value)
{
    assign(m_techInterviewerRole, value, Field::techInterviewerRole);
}
void JobApplication::setExpectedSalary(const std::optional<Decimal>& value)
{
    assign(m_expectedSalary, value, Field::expectedSalary);
}
void JobApplication::setOfferedSalary(const std::optional<Decimal>& value)
{
    assign(m_offeredSalary, value, Field::offeredSalary);
}
void JobApplication::setCurrencyRaw(const QString& value)
{
    assign(m_currencyRaw, value, Field::currencyRaw);
}
void JobApplication::setNotes(const QString& value)
{
    assign(m_notes, value, Field::notes);
}
void JobApplication::setFavorite(bool value)
{
    assign(m_isFavorite, value, Field::isFavorite);
}
void JobApplication::setCreatedAt(const QDateTime& value)
{
    assign(m_createdAt, utc(value), Field::createdAt);
}
void JobApplication::setUpdatedAt(const QDateTime& value)
{
    assign(m_updatedAt, utc(value), Field::updatedAt);
}

namespace {
template <typename T> using MemberOf = T JobApplication::*;
} // namespace

// Where each field lives, in field order; the kinds are checked against the field table.
struct JobApplication::Members {
    using Member = std::variant<std::nullptr_t, MemberOf<std::optional<QUuid>>, MemberOf<QString>,
        MemberOf<std::optional<QString>>, MemberOf<QDateTime>, MemberOf<std::optional<QDateTime>>, MemberOf<bool>,
        MemberOf<std::optional<Decimal>>>;
    // One field a line, in the order of the field table.
    // clang-format off
    static constexpr std::array<Member, fieldCount> table {
        &JobApplication::m_uuid,
        &JobApplication::m_companyName,
        &JobApplication::m_position,
        &JobApplication::m_postingLink,
        &JobApplication::m_workModelRaw,
        &JobApplication::m_statusRaw,
        &JobApplication::m_applicationDate,
        &JobApplication::m_statusChangedAt,
        &JobApplication::m_closedAt,
        &JobApplication::m_followUpDate,
        &JobApplication::m_rejectedByEmail,
        &JobApplication::m_rejectedByPhone,
        &JobApplication::m_rejectionReasonRaw,
        &JobApplication::m_rejectionNote,
        &JobApplication::m_hrContactName,
        &JobApplication::m_hrContactEmail,
        &JobApplication::m_techInterviewerName,
        &JobApplication::m_techInterviewerRole,
        &JobApplication::m_expectedSalary,
        &JobApplication::m_offeredSalary,
        &JobApplication::m_currencyRaw,
        &JobApplication::m_notes,
        &JobApplication::m_isFavorite,
        &JobApplication::m_createdAt,
        &JobApplication::m_updatedAt,
        nullptr, // history
    };
    // clang-format on
    static constexpr bool kindsMatch()
    {
        for (size_t i = 0; i < table.size(); ++i) {
            if (table[i].index() != ApplicationFields::valueIndex(ApplicationFields::all[i].kind))
                return false;
        }
        return true;
    }
};

FieldValue JobApplication::value(Field field) const
{
    static_assert(Members::kindsMatch(), "every member has the type its field's kind asks for");
    return std::visit(
        [this](auto member) -> FieldValue {
            if constexpr (std::is_same_v<decltype(member), std::nullptr_t>)
                return std::monostate {};
            else
                return this->*member;
        },
        Members::table[size_t(field)]);
}

void JobApplication::setValue(Field field, const FieldValue& value)
{
    std::visit(
        [&](auto member) {
            if constexpr (!std::is_same_v<decltype(member), std::nullptr_t>) {
                using T = std::remove_reference_t<decltype(this->*member)>;
                const T* typed = std::get_if<T>(&value);
                if (!typed)
                    return;
                // Moments are kept in UTC whichever way they arrive.
                if constexpr (std::is_same_v<T, QDateTime> || std::is_same_v<T, std::optional<QDateTime>>)
                    assign(this->*member, utc(*typed), field);
                else
                    assign(this->*member, *typed, field);
            }
        },
        Members::table[size_t(field)]);
}

StatusChange* JobApplication::appendHistory(std::unique_ptr<StatusChange> change)
{
    StatusChange* entry = change.release();
    entry->m_application = this;
    m_history.append(entry);
    if (m_observer)
        m_observer->applicationHistoryAppended(this, entry);
    Q_EMIT historyAppended(entry);
    return entry;
}

StatusChange* JobApplication::appendFirstHistoryEntry()
{
    return appendHistory(std::make_unique<StatusChange>(std::nullopt, ApplicationStatus::applied, m_applicationDate));
}

void JobApplication::historyEntryDidChange(StatusChange* change, StatusChange::Field field)
{
    if (m_observer)
        m_observer->applicationHistoryEntryChanged(this, change);
    Q_EMIT historyEntryChanged(change, field);
}

ApplicationStatus JobApplication::status() const
{
    return fromRawValue<ApplicationStatus>(m_statusRaw).value_or(ApplicationStatus::applied);
}

WorkModel JobApplication::workModel() const
{
    return fromRawValue<WorkModel>(m_workModelRaw).value_or(WorkModel::remote);
}

void JobApplication::setWorkModel(WorkModel value)
{
    if (value == workModel())
        return;
    setWorkModelRaw(rawValue(value));
    setUpdatedAt(Clock::now());
}

Currency JobApplication::currency() const
{
    return fromRawValue<Currency>(m_currencyRaw).value_or(Currency::tryy);
}

void JobApplication::setCurrency(Currency value)
{
    if (value == currency())
        return;
    setCurrencyRaw(rawValue(value));
    setUpdatedAt(Clock::now());
}

std::optional<RejectionReason> JobApplication::rejectionReason() const
{
    return m_rejectionReasonRaw ? fromRawValue<RejectionReason>(*m_rejectionReasonRaw) : std::nullopt;
}

void JobApplication::setRejectionReason(std::optional<RejectionReason> value)
{
    setRejectionReasonRaw(value ? std::optional<QString>(rawValue(*value)) : std::nullopt);
    setUpdatedAt(Clock::now());
}

void JobApplication::changeStatus(ApplicationStatus newStatus)
{
    changeStatus(newStatus, Clock::now());
}

void JobApplication::changeStatus(ApplicationStatus newStatus, const QDateTime& moment)
{
    const ApplicationStatus old = status();
    if (newStatus == old)
        return;
    setStatusRaw(rawValue(newStatus));
    setStatusChangedAt(moment);
    setClosedAt(isClosed(newStatus) ? std::optional<QDateTime>(moment) : std::nullopt);
    if (newStatus != ApplicationStatus::rejected) {
        setRejectedByEmail(false);
        setRejectedByPhone(false);
        setRejectionReasonRaw(std::nullopt);
        setRejectionNote(QString());
    }
    appendHistory(std::make_unique<StatusChange>(old, newStatus, moment));
    // A reading of its own: the stamp says when the change was finished.
    setUpdatedAt(Clock::now());
}

QString JobApplication::displayCompany() const
{
    return hasVisibleText(m_companyName) ? m_companyName
                                         : QCoreApplication::translate("JobApplication", "New Application");
}

QString JobApplication::displayPosition() const
{
    return hasVisibleText(m_position) ? m_position
                                      : QCoreApplication::translate("JobApplication", "No position specified");
}

std::optional<QUrl> JobApplication::postingURL() const
{
    QString text = m_postingLink.trimmed();
    if (text.isEmpty())
        return std::nullopt;
    if (!text.contains(QLatin1String("://")))
        text.prepend(QLatin1String("https://"));
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid() || url.isRelative())
        return std::nullopt;
    const QString scheme = url.scheme().toLower();
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https"))
        return std::nullopt;
    if (url.host().isEmpty())
        return std::nullopt;
    return url;
}

QUuid JobApplication::stableID()
{
    if (!m_uuid)
        setUuid(QUuid::createUuid());
    return *m_uuid;
}

std::optional<int> JobApplication::daysWaiting(const QDateTime& today) const
{
    if (!isActive(status()))
        return std::nullopt;
    return dayCount(m_applicationDate, today);
}

int JobApplication::daysSinceApplied() const
{
    return dayCount(m_applicationDate, m_closedAt.value_or(Clock::now()));
}

int JobApplication::daysInCurrentStatus() const
{
    return dayCount(m_statusChangedAt, m_closedAt.value_or(Clock::now()));
}

bool JobApplication::isFollowUpDue() const
{
    return isFollowUpDue(Clock::now());
}

bool JobApplication::isFollowUpDue(const QDateTime& now) const
{
    if (!isActive(status()) || !m_followUpDate)
        return false;
    return localDate(*m_followUpDate) <= localDate(now);
}
