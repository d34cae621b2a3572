#include "mail/MailMatcher.h"

#include "mail/MailVocabulary.h"
#include "model/JobApplication.h"
#include "posting/CompanyNames.h"
#include "posting/LinkDetector.h"

#include <QCoreApplication>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QUrl>

#include <algorithm>

namespace {

// Single words too common to name a company on their own: a company called "Global
// Data Systems" is not meant by every "data" in a message.
bool isCommonWord(const QString& word)
{
    static const QSet<QString> common {QStringLiteral("the"), QStringLiteral("global"), QStringLiteral("digital"),
        QStringLiteral("tech"), QStringLiteral("turk"), QStringLiteral("turkiye"), QStringLiteral("yazilim"),
        QStringLiteral("software"), QStringLiteral("data"), QStringLiteral("cloud"), QStringLiteral("smart"),
        QStringLiteral("group"), QStringLiteral("grup"), QStringLiteral("new"), QStringLiteral("first"),
        QStringLiteral("open"), QStringLiteral("web"), QStringLiteral("bilisim"), QStringLiteral("teknoloji"),
        QStringLiteral("technology"), QStringLiteral("technologies"), QStringLiteral("solutions"),
        QStringLiteral("consulting"), QStringLiteral("bank"), QStringLiteral("banka"), QStringLiteral("international"),
        QStringLiteral("united"), QStringLiteral("general"), QStringLiteral("istanbul"), QStringLiteral("ankara"),
        QStringLiteral("izmir"), QStringLiteral("euro"), QStringLiteral("mega"), QStringLiteral("micro"),
        QStringLiteral("talent"), QStringLiteral("career"), QStringLiteral("kariyer"), QStringLiteral("jobs"),
        QStringLiteral("team"), QStringLiteral("labs"), QStringLiteral("studio"), QStringLiteral("media"),
        QStringLiteral("medya"), QStringLiteral("health"), QStringLiteral("energy"), QStringLiteral("enerji"),
        QStringLiteral("mobile"), QStringLiteral("mobil"), QStringLiteral("games"), QStringLiteral("finans"),
        QStringLiteral("finance"), QStringLiteral("systems"), QStringLiteral("sistem"), QStringLiteral("network"),
        QStringLiteral("ai"), QStringLiteral("app"), QStringLiteral("apps"), QStringLiteral("hiring"),
        QStringLiteral("recruiting"), QStringLiteral("people"), QStringLiteral("human")};
    return word.size() < 4 || common.contains(word);
}

// Words of a position that say nothing of which one it is.
bool isFillerWord(const QString& word)
{
    static const QSet<QString> filler {QStringLiteral("of"), QStringLiteral("and"), QStringLiteral("the"),
        QStringLiteral("for"), QStringLiteral("in"), QStringLiteral("ve"), QStringLiteral("ile"), QStringLiteral("m"),
        QStringLiteral("f"), QStringLiteral("d"), QStringLiteral("w"), QStringLiteral("x")};
    return filler.contains(word);
}

QString compact(const QString& key)
{
    return QString(key).remove(u' ');
}

// The words of `key` as one blank-separated run inside `text` (both keys).
bool containsWords(const QString& paddedText, const QString& key)
{
    return !key.isEmpty() && paddedText.contains(u' ' + key + u' ');
}

// Tokens of a posting link that identify the job: runs of letters and digits with
// four or more digits in them ("4567890", "r-12345", "jr0042").
QStringList jobNumbers(const QString& link)
{
    QStringList numbers;
    static const QRegularExpression token(QStringLiteral(R"([A-Za-z]*[-_]?\d{4,}[A-Za-z0-9]*)"));
    QRegularExpressionMatchIterator matches = token.globalMatch(link);
    while (matches.hasNext()) {
        QString number = matches.next().captured().toLower();
        number.remove(QRegularExpression(QStringLiteral("^[a-z]+[-_]?")));
        if (number.size() >= 4)
            numbers.append(number);
    }
    return numbers;
}

} // namespace

MailCandidate MailCandidate::of(const JobApplication& record)
{
    return of(record.id(), record.values());
}

MailCandidate MailCandidate::of(qint64 key, const ApplicationValues& values)
{
    return {key, values.companyName, values.position, values.postingLink, values.hrContactEmail, values.applicationDate,
        fromRawValue<ApplicationStatus>(values.statusRaw).value_or(ApplicationStatus::applied), values.statusChangedAt};
}

struct MailMatcher::Company {
    QString key;
    QString compact;
    // The first word, and the first words run together ("mavi", "mavikus", …).
    QString firstWord;
    QStringList leadingRuns;
    QString displayName;
    QSet<QString> postingDomains;
    QList<qsizetype> records;
};

MailMatcher::MailMatcher(QList<MailCandidate> candidates)
    : m_candidates(std::move(candidates))
    , m_links(std::make_unique<LinkDetector>())
{
    QHash<QString, qsizetype> byKey;
    for (qsizetype i = 0; i < m_candidates.size(); ++i) {
        const MailCandidate& candidate = m_candidates[i];
        const QString key = companyKey(candidate.company);
        if (key.isEmpty())
            continue;
        auto known = byKey.constFind(key);
        if (known == byKey.constEnd()) {
            Company company;
            company.key = key;
            company.compact = compact(key);
            const QStringList words = key.split(u' ');
            company.firstWord = words.front();
            QString run;
            for (const QString& word : words) {
                run += word;
                company.leadingRuns.append(run);
            }
            company.displayName = CompanyNames::withoutLegalForm(candidate.company).simplified();
            known = byKey.insert(key, qsizetype(m_companies.size()));
            m_companies.push_back(std::move(company));
        }
        Company& company = m_companies[size_t(*known)];
        company.records.append(i);
        if (m_links->isValid()) {
            QString link = candidate.postingLink.trimmed();
            if (!link.isEmpty() && !link.contains(QLatin1String("://")))
                link.prepend(QLatin1String("https://"));
            const QString domain = m_links->registrableDomain(QUrl(link).host().toLower());
            if (!domain.isEmpty() && !MailVocabulary::isHiringServiceDomain(domain))
                company.postingDomains.insert(domain);
        }
    }
}

MailMatcher::~MailMatcher() = default;
MailMatcher::MailMatcher(MailMatcher&&) noexcept = default;
MailMatcher& MailMatcher::operator=(MailMatcher&&) noexcept = default;

QString MailMatcher::companyKey(const QString& company)
{
    return CompanyNames::nameKey(CompanyNames::withoutLegalForm(company));
}

// The places a company can be named, each folded once, and the company labels in
// the sender's address and the links: the sender's own domain, or the company's name
// in an applicant-tracking system's address.
struct MailMatcher::Sightings {
    QString display;
    QString subject;
    QString body;
    QSet<QString> bodyWords;
    QString senderDomain;
    QString domainLabel;
    QStringList trackerLabels;
    bool fromService = false;
};

struct MailMatcher::Score {
    qsizetype company = 0;
    int best = 0;
    int total = 0;
    QStringList evidence;
};

MailMatcher::Sightings MailMatcher::sightingsOf(const MailMessage& message) const
{
    Sightings seen;
    seen.display = u' ' + CompanyNames::nameKey(message.senderName) + u' ';
    seen.subject = u' ' + CompanyNames::nameKey(message.subject) + u' ';
    seen.body = u' ' + CompanyNames::nameKey(message.text) + u' ';
    for (const QString& word : seen.body.split(u' ', Qt::SkipEmptyParts))
        seen.bodyWords.insert(word);

    const QString local = message.senderAddress.section(u'@', 0, 0);
    const QString host = message.senderAddress.section(u'@', 1);
    seen.senderDomain = m_links->isValid() ? m_links->registrableDomain(host) : QString();
    seen.fromService = !seen.senderDomain.isEmpty() && MailVocabulary::isHiringServiceDomain(seen.senderDomain);
    if (seen.fromService) {
        if (!MailVocabulary::isGenericMailbox(local))
            seen.trackerLabels.append(compact(CompanyNames::nameKey(local)));
        const QString subdomain = host.left(host.size() - seen.senderDomain.size()).section(u'.', 0, 0);
        if (!subdomain.isEmpty() && !MailVocabulary::isGenericMailbox(subdomain))
            seen.trackerLabels.append(compact(CompanyNames::nameKey(subdomain)));
    } else if (!seen.senderDomain.isEmpty() && !MailVocabulary::isPersonalMailDomain(seen.senderDomain)) {
        seen.domainLabel = compact(CompanyNames::nameKey(seen.senderDomain.section(u'.', 0, 0)));
    }
    for (const QString& link : message.links) {
        const QUrl url(link);
        if (const auto label = CompanyNames::employerLabel(url, *m_links)) {
            const QString domain = m_links->registrableDomain(url.host().toLower());
            if (MailVocabulary::isHiringServiceDomain(domain))
                seen.trackerLabels.append(compact(CompanyNames::nameKey(*label)));
        }
    }
    return seen;
}

MailMatcher::Score MailMatcher::scoreOf(qsizetype c, const Sightings& seen, const MailMessage& message) const
{
    const Company& company = m_companies[size_t(c)];
    Score score {c, 0, 0, {}};
    const auto add = [&score](int points, const QString& evidence) {
        if (points <= 0)
            return;
        score.total += points;
        score.best = std::max(score.best, points);
        score.evidence.append(evidence);
    };
    const auto labelPoints = [&company](const QString& label) {
        if (label.size() < 3)
            return 0;
        if (label == company.compact)
            return 5;
        // "mavikus" for Mavi Kuş Yazılım, "acme" for Acme Robotics.
        if (company.leadingRuns.contains(label) && !isCommonWord(label))
            return 4;
        return 0;
    };
    const bool distinctFirst = !isCommonWord(company.firstWord);

    for (const qsizetype record : company.records) {
        const QString hr = m_candidates[record].hrContactEmail.trimmed().toLower();
        if (!hr.isEmpty() && hr == message.senderAddress) {
            add(6, QCoreApplication::translate("MailMatcher", "The sender is the application's HR contact"));
            break;
        }
    }
    if (!seen.senderDomain.isEmpty() && company.postingDomains.contains(seen.senderDomain))
        add(5, QCoreApplication::translate("MailMatcher", "Sent from the posting's domain, %1").arg(seen.senderDomain));
    else if (const int points = labelPoints(seen.domainLabel))
        add(points, QCoreApplication::translate("MailMatcher", "Sent from %1").arg(seen.senderDomain));
    for (const QString& label : seen.trackerLabels) {
        if (const int points = labelPoints(label)) {
            add(points,
                QCoreApplication::translate("MailMatcher", "Named in the applicant-tracking address: %1").arg(label));
            break;
        }
    }
    if (containsWords(seen.display, company.key))
        add(4, QCoreApplication::translate("MailMatcher", "Sender's name: %1").arg(message.senderName));
    else if (distinctFirst && containsWords(seen.display, company.firstWord))
        add(3, QCoreApplication::translate("MailMatcher", "Sender's name: %1").arg(message.senderName));
    if (containsWords(seen.subject, company.key))
        add(4, QCoreApplication::translate("MailMatcher", "Named in the subject"));
    else if (distinctFirst && containsWords(seen.subject, company.firstWord))
        add(2, QCoreApplication::translate("MailMatcher", "Named in the subject"));
    if (seen.bodyWords.contains(company.firstWord)) {
        // A job board or tracking system writes the employer into its text:
        // "Acme firmasına yaptığınız başvuru".
        if (containsWords(seen.body, company.key))
            add(seen.fromService ? 4 : 3, QCoreApplication::translate("MailMatcher", "Named in the text"));
        else if (distinctFirst)
            add(1, QCoreApplication::translate("MailMatcher", "Named in the text"));
    }
    return score;
}

QList<qsizetype> MailMatcher::recordsSentBefore(const Company& company, const MailMessage& message) const
{
    QList<qsizetype> records;
    for (const qsizetype record : company.records) {
        const QDateTime applied = m_candidates[record].applicationDate;
        if (!message.date || !applied.isValid() || applied <= message.date->addDays(1))
            records.append(record);
    }
    if (records.isEmpty())
        records = company.records;
    return records;
}

std::optional<qsizetype> MailMatcher::byJobNumber(const QList<qsizetype>& records, const MailMessage& message) const
{
    const QString everything = (message.subject + u' ' + message.text + u' ' + message.links.join(u' ')).toLower();
    QList<qsizetype> numbered;
    for (const qsizetype record : records) {
        for (const QString& number : jobNumbers(m_candidates[record].postingLink)) {
            if (everything.contains(number)) {
                numbered.append(record);
                break;
            }
        }
    }
    if (numbered.size() == 1)
        return numbered.front();
    return std::nullopt;
}

std::optional<qsizetype> MailMatcher::byPosition(const QList<qsizetype>& records, const Sightings& seen) const
{
    const QString words = seen.subject + seen.body;
    qsizetype longest = -1;
    qsizetype longestLength = 0;
    bool tie = false;
    double bestShare = 0;
    double secondShare = 0;
    qsizetype bestShared = -1;
    for (const qsizetype record : records) {
        const QString key = CompanyNames::nameKey(m_candidates[record].position);
        if (key.isEmpty())
            continue;
        if (containsWords(words, key)) {
            if (key.size() > longestLength) {
                longest = record;
                longestLength = key.size();
                tie = false;
            } else if (key.size() == longestLength) {
                tie = true;
            }
        }
        int total = 0;
        int found = 0;
        for (const QString& word : key.split(u' ')) {
            if (isFillerWord(word))
                continue;
            ++total;
            found += seen.bodyWords.contains(word) || seen.subject.contains(u' ' + word + u' ');
        }
        const double share = total ? double(found) / total : 0;
        if (share > bestShare) {
            secondShare = bestShare;
            bestShare = share;
            bestShared = record;
        } else if (share > secondShare) {
            secondShare = share;
        }
    }
    if (longest >= 0 && !tie)
        return longest;
    if (bestShared >= 0 && bestShare >= 0.5 && bestShare - secondShare >= 0.25)
        return bestShared;
    return std::nullopt;
}

MailMatch MailMatcher::match(const MailMessage& message) const
{
    MailMatch result;
    if (m_companies.empty())
        return result;

    const Sightings seen = sightingsOf(message);
    QList<Score> scores;
    for (qsizetype c = 0; c < qsizetype(m_companies.size()); ++c) {
        Score score = scoreOf(c, seen, message);
        if (score.best > 0)
            scores.append(std::move(score));
    }
    if (scores.isEmpty())
        return result;
    std::stable_sort(scores.begin(), scores.end(),
        [](const Score& a, const Score& b) { return a.best != b.best ? a.best > b.best : a.total > b.total; });
    const Score& top = scores.front();
    const bool alone = scores.size() == 1 || scores[1].best < top.best - 1;
    const Company& company = m_companies[size_t(top.company)];
    result.evidence = top.evidence;
    result.evidence.removeDuplicates();

    // Of the company's applications, those sent before the message; of several, the
    // one whose posting's job number the message names, else the position written
    // out in full (the longest such), else the one whose words it holds clearly more of.
    const QList<qsizetype> records = recordsSentBefore(company, message);
    std::optional<qsizetype> chosen;
    if (records.size() == 1) {
        chosen = records.front();
    } else if ((chosen = byJobNumber(records, message))) {
        result.evidence.append(
            QCoreApplication::translate("MailMatcher", "The posting's job number is in the message"));
    } else if ((chosen = byPosition(records, seen))) {
        result.evidence.append(QCoreApplication::translate("MailMatcher", "The position is in the message"));
    }

    if (chosen) {
        result.key = m_candidates[*chosen].key;
        result.confidence = alone && top.best >= 4 ? MailMatch::Confidence::confident : MailMatch::Confidence::weak;
    } else {
        for (const qsizetype record : records)
            result.alternatives.append(m_candidates[record].key);
        result.confidence = alone && top.best >= 4 ? MailMatch::Confidence::ambiguous : MailMatch::Confidence::weak;
        result.evidence.append(QCoreApplication::translate(
            "MailMatcher", "%n applications at %1; nothing in the message says which", nullptr, int(records.size()))
                                   .arg(company.displayName));
    }
    return result;
}
