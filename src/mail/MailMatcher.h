#pragma once

#include "mail/MailMessage.h"
#include "model/ApplicationFields.h"
#include "model/ApplicationStatus.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

class JobApplication;
class LinkDetector;

// An application as the matcher sees it: a plain copy of the fields it reads, so
// the application's records and a backup's entries are matched alike.
struct MailCandidate {
    // The caller's handle: a record's identifier, or an entry's index.
    qint64 key = 0;
    QString company;
    QString position;
    QString postingLink;
    QString hrContactEmail;
    QDateTime applicationDate;
    ApplicationStatus status = ApplicationStatus::applied;
    QDateTime statusChangedAt;

    // A stored record's copy, keyed by its identifier.
    static MailCandidate of(const JobApplication& record);
    // Stored values under the caller's key (an entry of a backup, say).
    static MailCandidate of(qint64 key, const ApplicationValues& values);
};

// Which application a message is about.
struct MailMatch {
    enum class Confidence {
        // No company of the list is named anywhere.
        none,
        // One company, several of its applications, and nothing says which: the
        // person chooses among `alternatives`.
        ambiguous,
        // A company only named in passing, or two companies named alike.
        weak,
        // The sender, their domain, an applicant-tracking address or the subject
        // names one company, and one of its applications.
        confident,
    };

    Confidence confidence = Confidence::none;
    std::optional<qint64> key;
    // The applications the person chooses among (all of one company), for ambiguous.
    QList<qint64> alternatives;
    // What named the company and chose the application, one line each.
    QStringList evidence;
};

// Finds the application a message is about: the company from the sender's display
// name, the sender's domain, an applicant-tracking system's address or link (the
// company's label in it), the subject, the signature and the body, all folded as
// the posting parser folds text (case, marks, Turkish letters and their ASCII
// spellings alike) and with legal forms aside ("A.Ş.", "GmbH", "Ltd. Şti.",
// "Inc."); then, of several applications at that company, the one whose position
// or posting's job number the message names. Built once per import; holds copies.
class MailMatcher {
public:
    explicit MailMatcher(QList<MailCandidate> candidates);
    ~MailMatcher();
    MailMatcher(MailMatcher&&) noexcept;
    MailMatcher& operator=(MailMatcher&&) noexcept;

    const QList<MailCandidate>& candidates() const { return m_candidates; }

    MailMatch match(const MailMessage& message) const;

    // The company as compared: folded words without the legal form,
    // "Mavi Kuş Yazılım A.Ş." → "mavi kus yazilim".
    static QString companyKey(const QString& company);

private:
    struct Company;
    struct Sightings;
    struct Score;

    Sightings sightingsOf(const MailMessage& message) const;
    Score scoreOf(qsizetype company, const Sightings& seen, const MailMessage& message) const;
    QList<qsizetype> recordsSentBefore(const Company& company, const MailMessage& message) const;
    std::optional<qsizetype> byJobNumber(const QList<qsizetype>& records, const MailMessage& message) const;
    std::optional<qsizetype> byPosition(const QList<qsizetype>& records, const Sightings& seen) const;

    QList<MailCandidate> m_candidates;
    std::vector<Company> m_companies;
    std::unique_ptr<LinkDetector> m_links;
};
