#include "model/JobApplication.h"

#include "model/ApplicationFields.h"
#include "model/Clock.h"
#include "model/DayCount.h"

#include <QCoreApplication>

#include <algorithm>

namespace {
QDateTime utc(const QDateTime& moment)
{
    return moment.isValid() ? moment.toUTC() : moment;
}
} // namespace

bool hasVisibleText(const QString& text)
{
    for (QChar c : text) {
        if (!c.isSpace())
            return true;
    }
    return false;
}

ApplicationValues JobApplication::initialValues(const QString& companyName, const QString& position,
    const QString& postingLink, WorkModel workModel, ApplicationStatus status, const QDateTime& applicationDate)
{
    const QDateTime created = Clock::now().toUTC();
    ApplicationValues values;
    values.uuid = QUuid::createUuid();
    values.companyName = companyName;
    values.position = position;
    values.postingLink = postingLink;
    values.workModelRaw = rawValue(workModel);
    values.statusRaw = rawValue(status);
    values.applicationDate = utc(applicationDate);
    values.statusChangedAt = values.applicationDate;
    if (isClosed(status))
        values.closedAt = created;
    values.currencyRaw = rawValue(Currency::tryy);
    values.createdAt = created;
    values.updatedAt = created;
    return values;
}

JobApplication::JobApplication(const QString& companyName, const QString& position, const QString& postingLink,
    WorkModel workModel, ApplicationStatus status, const QDateTime& applicationDate)
    : m_values(initialValues(companyName, position, postingLink, workModel, status, applicationDate))
{
}

JobApplication::JobApplication(ApplicationValues values)
    : m_values(std::move(values))
{
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

void JobApplication::write(Field field, const FieldValue& value)
{
    const FieldValue before = this->value(field);
    if (!ApplicationFields::assign(m_values, field, value)) {
        Q_ASSERT_X(false, "JobApplication::write", "a value of another type than the field's");
        return;
    }
    if (this->value(field) == before)
        return;
    if (m_derivedCache)
        m_derivedCache->clear();
    if (m_observer)
        m_observer->applicationFieldChanged(this, int(field));
    Q_EMIT fieldChanged(field);
}

StatusChange* JobApplication::insertHistory(qsizetype index, std::unique_ptr<StatusChange> change)
{
    StatusChange* entry = change.release();
    entry->m_application = this;
    m_history.insert(std::clamp<qsizetype>(index, 0, m_history.size()), entry);
    if (m_observer)
        m_observer->applicationHistoryAppended(this, entry);
    Q_EMIT historyAppended(entry);
    return entry;
}

StatusChange* JobApplication::appendHistory(std::unique_ptr<StatusChange> change)
{
    return insertHistory(m_history.size(), std::move(change));
}

std::unique_ptr<StatusChange> JobApplication::takeHistory(StatusChange* change)
{
    if (!m_history.removeOne(change))
        return nullptr;
    if (m_observer)
        m_observer->applicationHistoryRemoved(this, change);
    change->m_application = nullptr;
    Q_EMIT historyRemoved(change);
    return std::unique_ptr<StatusChange>(change);
}

void JobApplication::historyEntryDidChange(StatusChange* change, StatusChange::Field field)
{
    if (m_observer)
        m_observer->applicationHistoryEntryChanged(this, change);
    Q_EMIT historyEntryChanged(change, field);
}

ApplicationStatus JobApplication::status() const
{
    return fromRawValue<ApplicationStatus>(m_values.statusRaw).value_or(ApplicationStatus::applied);
}

WorkModel JobApplication::workModel() const
{
    return fromRawValue<WorkModel>(m_values.workModelRaw).value_or(WorkModel::remote);
}

Currency JobApplication::currency() const
{
    return fromRawValue<Currency>(m_values.currencyRaw).value_or(Currency::tryy);
}

std::optional<RejectionReason> JobApplication::rejectionReason() const
{
    return m_values.rejectionReasonRaw ? fromRawValue<RejectionReason>(*m_values.rejectionReasonRaw) : std::nullopt;
}

QString JobApplication::displayCompany() const
{
    return hasVisibleText(m_values.companyName) ? m_values.companyName
                                                : QCoreApplication::translate("JobApplication", "New Application");
}

QString JobApplication::displayPosition() const
{
    return hasVisibleText(m_values.position) ? m_values.position
                                             : QCoreApplication::translate("JobApplication", "No position specified");
}

std::optional<QUrl> JobApplication::postingURL() const
{
    QString text = m_values.postingLink.trimmed();
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
    if (!m_values.uuid)
        write(Field::uuid, std::optional<QUuid>(QUuid::createUuid()));
    return *m_values.uuid;
}

std::optional<int> JobApplication::daysWaiting(const QDateTime& today) const
{
    if (!isActive(status()))
        return std::nullopt;
    return dayCount(m_values.applicationDate, today);
}

int JobApplication::daysSinceApplied() const
{
    return dayCount(m_values.applicationDate, m_values.closedAt.value_or(Clock::now()));
}

int JobApplication::daysInCurrentStatus() const
{
    return dayCount(m_values.statusChangedAt, m_values.closedAt.value_or(Clock::now()));
}

bool JobApplication::isFollowUpDue() const
{
    return isFollowUpDue(Clock::now());
}

bool JobApplication::isFollowUpDue(const QDateTime& now) const
{
    if (!isActive(status()) || !m_values.followUpDate)
        return false;
    return localDate(*m_values.followUpDate) <= localDate(now);
}

// A record being built is nobody's yet: it announces nothing until it is handed
// out, and a store of thousands read at start-up pays for no announcements.
ApplicationBuilder::ApplicationBuilder(ApplicationValues values)
    : m_application(new JobApplication(std::move(values)))
{
    m_application->blockSignals(true);
}

ApplicationBuilder::ApplicationBuilder(std::unique_ptr<JobApplication> application)
    : m_application(std::move(application))
{
    Q_ASSERT(m_application && m_application->id() == 0);
    m_application->blockSignals(true);
}

ApplicationBuilder& ApplicationBuilder::reserveHistory(qsizetype count)
{
    m_application->m_history.reserve(count);
    return *this;
}

ApplicationBuilder& ApplicationBuilder::appendHistory(std::unique_ptr<StatusChange> change)
{
    m_application->appendHistory(std::move(change));
    return *this;
}

ApplicationBuilder& ApplicationBuilder::appendHistory(
    std::optional<ApplicationStatus> from, ApplicationStatus to, const QDateTime& date)
{
    return appendHistory(std::make_unique<StatusChange>(from, to, date));
}

ApplicationBuilder& ApplicationBuilder::appendFirstHistoryEntry()
{
    return appendHistory(std::nullopt, ApplicationStatus::applied, m_application->applicationDate());
}

std::unique_ptr<JobApplication> ApplicationBuilder::build()
{
    // Entries came one at a time; the record keeps only the room they take.
    m_application->m_history.squeeze();
    m_application->blockSignals(false);
    return std::move(m_application);
}
