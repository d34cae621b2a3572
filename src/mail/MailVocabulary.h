#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

// The phrases recruiters' mail is read by, in English and Turkish, folded as the
// posting parser folds text (case, marks and Turkish letters aside: "mülakat" and
// "mulakat" are one phrase). A phrase is a run of words, or several runs that must
// follow each other within one sentence ("unfortunately … not be moving forward");
// a word ending in '*' is a stem ("ilerleyem*" is "ilerleyemeyeceğiz" and
// "ilerleyemiyoruz").
namespace MailVocabulary {

enum class Cue {
    // What happened.
    rejection, // a plain "no", whatever else the sentence says
    softRejection, // a "no" only when the sentence speaks to the reader ("unfortunately … you")
    offer,
    interview,
    received,
    // The reader's own application is meant ("your application", "başvurunuz").
    personal,
    // The sentence speaks to the reader ("you", "size").
    addressed,
    // Mail that is not about an application of the reader's.
    jobAlert,
    profileView,
    newsletter,
    outreach,
    // The writer's own news ("my interview", "teklif aldım"), not the reader's.
    writersOwn,
    // An application for a card or a loan, and words that name a job.
    customer,
    job,
    // A sentence about what may happen ("if we decide…", "uygun görülmesi halinde"):
    // what it says has not happened.
    conditional,
    // What kind of interview.
    technical,
    screening,
    // Why the answer is no, most specific first.
    positionClosed,
    relocation,
    budget,
    experience,
    otherCandidate,
};

struct Phrase {
    // The folded runs, in order; a run ending in '*' ends in a stem.
    QStringList runs;
};

const QList<Phrase>& phrases(Cue cue);

// Where the folded sentence holds the phrase (from the start of its first run to the
// end of its last), each run starting at a word, the runs in order without
// overlapping; none when it does not.
struct Span {
    qsizetype start = 0;
    qsizetype end = 0;
};
std::optional<Span> find(const Phrase& phrase, QStringView folded);
inline bool matches(const Phrase& phrase, QStringView folded)
{
    return find(phrase, folded).has_value();
}
// Whether the folded text holds one run of a phrase, starting at a word.
bool containsRun(QStringView folded, const QString& run);

// Free mail services, where a sender's domain says nothing of an employer.
bool isPersonalMailDomain(const QString& registrableDomain);
// Applicant-tracking systems and job boards that send mail on an employer's behalf
// ("greenhouse-mail.io", "myworkday.com", "kariyer.net").
bool isHiringServiceDomain(const QString& registrableDomain);
// Mailbox names that name no company ("no-reply", "careers", "bilgi").
bool isGenericMailbox(const QString& localPart);

} // namespace MailVocabulary
