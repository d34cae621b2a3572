#include "posting/PostingDraft.h"

#include "model/Clock.h"
#include "model/JobApplication.h"

PostingDraft::PostingDraft(ParsedPosting parsed, QString sourceLabel, QObject* parent)
    : PostingDraft(std::move(parsed), PostingSuggestions(), std::move(sourceLabel), parent)
{
}

PostingDraft::PostingDraft(ParsedPosting parsed, PostingSuggestions suggestions, QString sourceLabel, QObject* parent)
    : QObject(parent)
    , m_id(QUuid::createUuid())
    , m_parsed(std::move(parsed))
    , m_suggestions(std::move(suggestions))
    , m_sourceLabel(std::move(sourceLabel))
    , m_include(!m_parsed.isEmpty())
    , m_company(m_parsed.company ? m_parsed.company->value : QString())
    , m_position(m_parsed.position ? m_parsed.position->value : QString())
    , m_postingLink(m_parsed.postingLink ? m_parsed.postingLink->value : QString())
    , m_workModel(m_parsed.workModel ? m_parsed.workModel->value : WorkModel::remote)
    , m_start(DraftStart::fromRules(m_parsed))
    , m_untouched(values())
{
}

void PostingDraft::setInclude(bool include)
{
    if (m_include == include)
        return;
    m_include = include;
    Q_EMIT changed();
}

void PostingDraft::setCompany(const QString& company)
{
    if (m_company == company)
        return;
    m_company = company;
    Q_EMIT changed();
}

void PostingDraft::setPosition(const QString& position)
{
    if (m_position == position)
        return;
    m_position = position;
    Q_EMIT changed();
}

void PostingDraft::setPostingLink(const QString& postingLink)
{
    if (m_postingLink == postingLink)
        return;
    m_postingLink = postingLink;
    Q_EMIT changed();
}

void PostingDraft::setWorkModel(WorkModel workModel)
{
    if (m_workModel == workModel)
        return;
    m_workModel = workModel;
    Q_EMIT changed();
}

void PostingDraft::beginReview(
    DraftStart start, DraftSource source, const std::function<bool(const PostingDraft&)>& repeatsRecord)
{
    m_company = start.company.value.value_or(QString());
    m_position = start.position.value.value_or(QString());
    m_postingLink = start.postingLink.value.value_or(QString());
    m_workModel = start.workModel.value.value_or(WorkModel::remote);
    m_include = start.hasValue() && !start.notAPosting;
    m_start = std::move(start);
    m_source = std::move(source);
    // Added once already: adding it again takes a deliberate tick.
    if (m_include && repeatsRecord && repeatsRecord(*this))
        m_include = false;
    m_untouched = values();
}

PostingDraft::Values PostingDraft::values() const
{
    return Values {m_include, m_company, m_position, m_postingLink, m_workModel};
}

bool PostingDraft::isEdited() const
{
    return values() != m_untouched;
}

bool PostingDraft::hasContent() const
{
    return hasVisibleText(m_company) || hasVisibleText(m_position);
}

std::unique_ptr<JobApplication> PostingDraft::makeApplication() const
{
    return std::make_unique<JobApplication>(m_company.trimmed(), m_position.trimmed(), m_postingLink.trimmed(),
        m_workModel, ApplicationStatus::applied, Clock::now());
}
