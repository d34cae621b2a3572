#pragma once

#include "mail/MailMatcher.h"
#include "mail/MailMessage.h"
#include "mail/MailReading.h"

#include <QObject>

#include <memory>
#include <optional>

// What a message would change in the application it is about.
struct MailProposal {
    enum class Outcome {
        // The status moves: `from` → `to`.
        change,
        // The message changes nothing (an acknowledgement, or not about an application).
        nothing,
        // The application is already at that status.
        alreadyThere,
        // The application moved on after the message was sent.
        outdated,
        // An interview at an application already past that stage ("a final interview"
        // after the technical round): still the later stage.
        laterStage,
        // No application is chosen.
        noApplication,
    };

    Outcome outcome = Outcome::nothing;
    std::optional<ApplicationStatus> from;
    std::optional<ApplicationStatus> to;
    // A move people rarely make (back from an interview to an earlier stage, out of
    // an offer or a rejection): proposed, but not ticked.
    bool isUnusual = false;

    // `application` is none when no application is chosen.
    static MailProposal of(
        const MailReading& reading, const MailCandidate* application, const std::optional<QDateTime>& messageDate);
};

// One message on the mail review: what it is, the application it is about (which
// the person may change) and whether its change is to be applied. Lives on the main
// thread; `changed` follows every edit.
class MailUpdate : public QObject {
    Q_OBJECT

public:
    MailUpdate(MailMessage message, MailReading reading, MailMatch match,
        std::shared_ptr<const QList<MailCandidate>> candidates, QObject* parent = nullptr);

    const MailMessage& message() const { return m_message; }
    const MailReading& reading() const { return m_reading; }
    const MailMatch& match() const { return m_match; }
    const QList<MailCandidate>& candidates() const { return *m_candidates; }

    // The application chosen: the match, or the person's pick.
    std::optional<qint64> applicationKey() const { return m_applicationKey; }
    void setApplicationKey(std::optional<qint64> key);
    const MailCandidate* application() const;

    // "Not in your list": a new application is made for the message instead. Its
    // company starts as the sender's (display name, else domain).
    bool createsApplication() const { return m_createsApplication; }
    void setCreatesApplication(bool creates);
    const QString& newCompany() const { return m_newCompany; }
    void setNewCompany(const QString& company);
    static QString suggestedCompany(const MailMessage& message);

    MailProposal proposal() const;
    // Something would be applied if ticked: a status change of the chosen
    // application, or a new application with a company.
    bool isApplicable() const;
    // Ticked at first only for a confident match and a clear reading.
    bool include() const { return m_include; }
    void setInclude(bool include);

Q_SIGNALS:
    void changed();

private:
    MailMessage m_message;
    MailReading m_reading;
    MailMatch m_match;
    std::shared_ptr<const QList<MailCandidate>> m_candidates;
    std::optional<qint64> m_applicationKey;
    bool m_createsApplication = false;
    QString m_newCompany;
    bool m_include = false;
};
