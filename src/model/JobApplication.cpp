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
    : JobApplication(initialValues(companyName, position, postingLink, workModel, status, applicationDate))
{
}

JobApplication::JobApplication(ApplicationValues values)
{
    storeAll(std::move(values));
}

std::unique_ptr<JobApplication> JobApplication::makeBlank()
{
    return std::make_unique<JobApplication>(QString(), QString(), QString(), allCases<WorkModel>().front(),
        allCases<ApplicationStatus>().front(), Clock::now());
}

JobApplication::~JobApplication()
{
    // Those who follow it learn it is gone before anything of it is.
    if (m_aside)
        m_aside->notifier.reset();
    qDeleteAll(m_history);
}

RecordNotifier& JobApplication::notifier()
{
    if (!m_aside)
        m_aside = std::make_unique<RecordStorage::Aside>();
    if (!m_aside->notifier)
        m_aside->notifier = std::make_unique<RecordNotifier>();
    return *m_aside->notifier;
}

ApplicationValues JobApplication::values() const
{
    ApplicationValues values;
    ApplicationFields::forEachField([&]<Field F>() { values.*ApplicationFields::member<F> = get<F>(); });
    return values;
}

FieldValue JobApplication::value(Field field) const
{
    if (field == Field::history)
        return std::monostate {};
    return ApplicationFields::withField(field, [this]<Field F>() -> FieldValue { return get<F>(); });
}

template <JobApplication::Field field> void JobApplication::store(ApplicationFields::ValueType<field> value)
{
    using namespace RecordStorage;
    if constexpr (isCoded<field>) {
        static_assert(ApplicationFields::describe(field).place == FieldPlace::inRecord, "a number needs no room aside");
        const QString* text = nullptr;
        if constexpr (std::is_same_v<decltype(value), QString>)
            text = &value;
        else
            text = value ? &*value : nullptr;
        const auto known = text ? fromRawValue<Vocabulary<field>>(*text) : std::nullopt;
        auto* unknown = m_aside && m_aside->unknownTexts ? &(*m_aside->unknownTexts)[codedIndex(field)] : nullptr;
        if (!text || known) {
            m_fields.at<field>() = text ? quint8(*known) : noValue;
            if (unknown)
                unknown->reset();
            return;
        }
        if (!m_aside)
            m_aside = std::make_unique<Aside>();
        if (!m_aside->unknownTexts)
            m_aside->unknownTexts = std::make_unique<std::array<std::optional<QString>, codedFieldCount>>();
        (*m_aside->unknownTexts)[codedIndex(field)] = *text;
        m_fields.at<field>() = unknownValue;
    } else if constexpr (ApplicationFields::describe(field).place == FieldPlace::inRecord) {
        m_fields.at<field>() = kept<field>(std::move(value));
    } else {
        if (!m_aside) {
            if (value == none<field>())
                return;
            m_aside = std::make_unique<Aside>();
        }
        m_aside->fields.at<field>() = kept<field>(std::move(value));
    }
}

void JobApplication::storeAll(ApplicationValues values)
{
    ApplicationFields::forEachField([&]<Field F>() { store<F>(std::move(values.*ApplicationFields::member<F>)); });
}

void JobApplication::write(Field field, const FieldValue& value)
{
    const bool changed = field != Field::history && ApplicationFields::withField(field, [&]<Field F>() {
        auto typed = ApplicationFields::typedValue<F>(value);
        if (!typed) {
            Q_ASSERT_X(false, "JobApplication::write", "a value of another type than the field's");
            return false;
        }
        if (*typed == get<F>())
            return false;
        store<F>(std::move(*typed));
        return true;
    });
    if (!changed)
        return;
    if (m_derivedCache)
        m_derivedCache->clear();
    if (m_observer)
        m_observer->applicationFieldChanged(this, int(field));
    if (RecordNotifier* notifier = followers())
        Q_EMIT notifier->fieldChanged(field);
}

StatusChange* JobApplication::attachHistory(qsizetype index, std::unique_ptr<StatusChange> change)
{
    StatusChange* entry = change.release();
    entry->m_application = this;
    m_history.insert(std::clamp<qsizetype>(index, 0, m_history.size()), entry);
    return entry;
}

StatusChange* JobApplication::insertHistory(qsizetype index, std::unique_ptr<StatusChange> change)
{
    StatusChange* entry = attachHistory(index, std::move(change));
    if (m_observer)
        m_observer->applicationHistoryAppended(this, entry);
    if (RecordNotifier* notifier = followers())
        Q_EMIT notifier->historyAppended(entry);
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
    if (RecordNotifier* notifier = followers())
        Q_EMIT notifier->historyRemoved(change);
    return std::unique_ptr<StatusChange>(change);
}

void JobApplication::historyEntryDidChange(StatusChange* change, StatusChange::Field field)
{
    if (m_observer)
        m_observer->applicationHistoryEntryChanged(this, change);
    if (RecordNotifier* notifier = followers())
        Q_EMIT notifier->historyEntryChanged(change, field);
}

ApplicationStatus JobApplication::status() const
{
    return known<Field::statusRaw>().value_or(ApplicationStatus::applied);
}

WorkModel JobApplication::workModel() const
{
    return known<Field::workModelRaw>().value_or(WorkModel::remote);
}

Currency JobApplication::currency() const
{
    return known<Field::currencyRaw>().value_or(Currency::tryy);
}

std::optional<RejectionReason> JobApplication::rejectionReason() const
{
    return known<Field::rejectionReasonRaw>();
}

QString JobApplication::displayCompany() const
{
    return hasVisibleText(companyName()) ? companyName()
                                         : QCoreApplication::translate("JobApplication", "New Application");
}

QString JobApplication::displayPosition() const
{
    return hasVisibleText(position()) ? position()
                                      : QCoreApplication::translate("JobApplication", "No position specified");
}

std::optional<QUrl> JobApplication::postingURL() const
{
    QString text = postingLink().trimmed();
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
    if (!uuid())
        write(Field::uuid, std::optional<QUuid>(QUuid::createUuid()));
    return *uuid();
}

std::optional<int> JobApplication::daysWaiting(const QDateTime& today) const
{
    if (!isActive(status()))
        return std::nullopt;
    return dayCount(applicationDate(), today);
}

int JobApplication::daysSinceApplied() const
{
    return dayCount(applicationDate(), closedAt().value_or(Clock::now()));
}

int JobApplication::daysInCurrentStatus() const
{
    return dayCount(statusChangedAt(), closedAt().value_or(Clock::now()));
}

bool JobApplication::isFollowUpDue() const
{
    return isFollowUpDue(Clock::now());
}

bool JobApplication::isFollowUpDue(const QDateTime& now) const
{
    if (!isActive(status()) || !followUpDate())
        return false;
    return localDate(*followUpDate()) <= localDate(now);
}

// A record being built is nobody's yet: it announces nothing until it is handed
// out, and a store of thousands read at start-up pays for no announcements.
ApplicationBuilder::ApplicationBuilder(ApplicationValues values)
    : m_application(new JobApplication(std::move(values)))
{
}

ApplicationBuilder::ApplicationBuilder(std::unique_ptr<JobApplication> application)
    : m_application(std::move(application))
{
    Q_ASSERT(m_application && m_application->id() == 0);
}

ApplicationValues& ApplicationBuilder::values()
{
    if (!m_values)
        m_values = std::make_unique<ApplicationValues>(m_application->values());
    return *m_values;
}

ApplicationBuilder& ApplicationBuilder::reserveHistory(qsizetype count)
{
    m_application->m_history.reserve(count);
    return *this;
}

ApplicationBuilder& ApplicationBuilder::appendHistory(std::unique_ptr<StatusChange> change)
{
    m_application->attachHistory(m_application->m_history.size(), std::move(change));
    return *this;
}

ApplicationBuilder& ApplicationBuilder::appendHistory(
    std::optional<ApplicationStatus> from, ApplicationStatus to, const QDateTime& date)
{
    return appendHistory(std::make_unique<StatusChange>(from, to, date));
}

ApplicationBuilder& ApplicationBuilder::appendFirstHistoryEntry()
{
    return appendHistory(std::nullopt, ApplicationStatus::applied,
        m_values ? m_values->applicationDate : m_application->applicationDate());
}

std::unique_ptr<JobApplication> ApplicationBuilder::build()
{
    // Entries came one at a time; the record keeps only the room they take.
    m_application->m_history.squeeze();
    if (m_values) {
        m_application->storeAll(std::move(*m_values));
        m_values.reset();
    }
    return std::move(m_application);
}
