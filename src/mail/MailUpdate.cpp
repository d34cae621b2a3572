#include "mail/MailUpdate.h"

#include "mail/MailVocabulary.h"
#include "posting/LinkDetector.h"

#include <QRegularExpression>

namespace {

// The pipeline's order among the stages still open.
int stageOf(ApplicationStatus status)
{
    switch (status) {
    case ApplicationStatus::applied: return 0;
    case ApplicationStatus::hrInterview: return 1;
    case ApplicationStatus::techInterview: return 2;
    case ApplicationStatus::offer: return 3;
    case ApplicationStatus::rejected: return 3;
    }
    return 0;
}

} // namespace

MailProposal MailProposal::of(
    const MailReading& reading, const MailCandidate* application, const std::optional<QDateTime>& messageDate)
{
    MailProposal proposal;
    proposal.to = reading.status;
    if (!reading.status)
        return proposal;
    if (!application) {
        proposal.outcome = Outcome::noApplication;
        return proposal;
    }
    proposal.from = application->status;
    if (application->status == *reading.status) {
        proposal.outcome = Outcome::alreadyThere;
        return proposal;
    }
    // An application still at "applied" may have been entered after the fact; any
    // later stage was reached at a known moment, and older news does not undo it.
    if (application->status != ApplicationStatus::applied && messageDate && application->statusChangedAt.isValid()
        && *messageDate < application->statusChangedAt) {
        proposal.outcome = Outcome::outdated;
        return proposal;
    }
    // Which kind of interview a message means is the weaker part of a reading; an
    // interview never takes an application back to an earlier stage.
    if (reading.kind == MailKind::interview && !isClosed(application->status)
        && stageOf(*reading.status) < stageOf(application->status)) {
        proposal.outcome = Outcome::laterStage;
        return proposal;
    }
    proposal.outcome = Outcome::change;
    proposal.isUnusual = isClosed(application->status) || stageOf(*reading.status) < stageOf(application->status);
    return proposal;
}

MailUpdate::MailUpdate(MailMessage message, MailReading reading, MailMatch match,
    std::shared_ptr<const QList<MailCandidate>> candidates, QObject* parent)
    : QObject(parent)
    , m_message(std::move(message))
    , m_reading(std::move(reading))
    , m_match(std::move(match))
    , m_candidates(std::move(candidates))
    , m_applicationKey(m_match.key)
    , m_newCompany(suggestedCompany(m_message))
{
    const MailProposal first = proposal();
    m_include = m_match.confidence == MailMatch::Confidence::confident && m_reading.isClear
        && first.outcome == MailProposal::Outcome::change && !first.isUnusual;
}

void MailUpdate::setApplicationKey(std::optional<qint64> key)
{
    if (key == m_applicationKey && !m_createsApplication)
        return;
    m_applicationKey = key;
    if (key)
        m_createsApplication = false;
    // A pick by hand is the person's decision: the change goes in if there is one.
    const MailProposal now = proposal();
    m_include = now.outcome == MailProposal::Outcome::change;
    Q_EMIT changed();
}

const MailCandidate* MailUpdate::application() const
{
    if (!m_applicationKey || m_createsApplication)
        return nullptr;
    for (const MailCandidate& candidate : *m_candidates) {
        if (candidate.key == *m_applicationKey)
            return &candidate;
    }
    return nullptr;
}

void MailUpdate::setCreatesApplication(bool creates)
{
    if (creates == m_createsApplication)
        return;
    m_createsApplication = creates;
    if (creates)
        m_applicationKey.reset();
    m_include = creates && isApplicable();
    Q_EMIT changed();
}

void MailUpdate::setNewCompany(const QString& company)
{
    if (company == m_newCompany)
        return;
    m_newCompany = company;
    if (m_createsApplication && !isApplicable())
        m_include = false;
    Q_EMIT changed();
}

QString MailUpdate::suggestedCompany(const MailMessage& message)
{
    // A company's own domain names it best ("acme.com.tr" → "Acme"); an
    // applicant-tracking system writes the company into the sender's name
    // ("Acme Robotics Hiring Team", "Acme via Greenhouse").
    const QString host = message.senderAddress.section(u'@', 1);
    static const LinkDetector links;
    const QString domain = links.isValid() ? links.registrableDomain(host) : QString();
    if (!domain.isEmpty() && !MailVocabulary::isPersonalMailDomain(domain)
        && !MailVocabulary::isHiringServiceDomain(domain)) {
        QString label = domain.section(u'.', 0, 0);
        if (!label.isEmpty())
            label[0] = label[0].toUpper();
        return label;
    }
    static const QRegularExpression recruitingWords(
        QStringLiteral(
            R"(\s*(?:\bvia\b.*|[-|,(].*|\b(?:Hiring Team|Recruiting Team|Recruiting|Recruitment|Talent)"
            R"( Acquisition|Talent Team|Talent|Careers|Jobs|People Team|HR|İK|İnsan Kaynakları|Kariyer)\b.*)$)"),
        QRegularExpression::UseUnicodePropertiesOption | QRegularExpression::CaseInsensitiveOption);
    return QString(message.senderName).remove(recruitingWords).trimmed();
}

MailProposal MailUpdate::proposal() const
{
    return MailProposal::of(m_reading, application(), m_message.date);
}

bool MailUpdate::isApplicable() const
{
    if (m_createsApplication)
        return !m_newCompany.trimmed().isEmpty();
    return proposal().outcome == MailProposal::Outcome::change;
}

void MailUpdate::setInclude(bool include)
{
    include = include && isApplicable();
    if (include == m_include)
        return;
    m_include = include;
    Q_EMIT changed();
}
