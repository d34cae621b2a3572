#include "mail/MailVocabulary.h"

#include "posting/TextFolding.h"

#include <QHash>

#include <array>

namespace MailVocabulary {
namespace {

using Table = std::initializer_list<const char*>;

// Phrases as a person reading recruiters' mail would note them down. "…" separates
// runs that may stand apart within the sentence.

const Table rejectionPhrases {// English
    "not be moving forward", "not moving forward with", "not to move forward", "not move forward with",
    "won't be moving forward", "will not move forward", "not be proceeding", "not to proceed", "not proceed with your",
    "won't be proceeding", "not proceeding with", "won't be able to move forward", "will not be able to move forward",
    "won't be able to proceed", "will not be able to proceed", "not be progressing", "not progress your application",
    "not to progress", "unable to progress", "unable to move forward", "not able to move forward", "can't move forward",
    "cannot move forward", "can not move forward", "decided to move forward with other",
    "decided to proceed with other", "decided to pursue other", "decided to go with another", "pursue other candidates",
    "move forward with other candidates", "moving forward with other candidates", "proceed with other candidates",
    "move forward with another candidate", "moving forward with another candidate", "move forward with a candidate",
    "moving forward with a candidate", "selected another candidate", "chosen another candidate",
    "offered the position to another", "regret to inform you", "we regret that", "unable to offer you",
    "not able to offer you", "not in a position to offer you", "cannot offer you", "can't offer you",
    "have not been successful", "has not been successful", "were unsuccessful", "was unsuccessful", "been unsuccessful",
    "not been selected", "were not selected", "was not selected", "not been shortlisted", "not shortlisted",
    "no longer being considered", "no longer under consideration", "no longer considering your",
    "decided not to proceed", "decided not to move forward", "decided not to continue", "not to continue with your",
    "will not be continuing", "not be inviting you", "not be taking your application", "decline your application",
    "closing your application", "not the right fit at this time", "not a match for this role",
    "not be moving to the next", "not moving to the next", "not be advancing", "not advancing your",
    "won't be advancing", "not be moving on", "not move on with", "go in a different direction",
    "decided to move on with", "move on with other", "moving on with other", "going in a different direction",
    "go in another direction", "close out your application", "closing out your application",
    "moved forward with another", "moved forward with other candidates", "went with another candidate",
    "gone with another candidate", "proceeded with another candidate", "not be taking … further",
    "won't be taking … further", "not taking … further", "not take … further", "not be moving ahead",
    "not moving ahead with", "won't be moving ahead",
    // Turkish
    "başvurunuz … olumsuz", "başvurunuzun … olumsuz", "olumsuz sonuçlan*", "olumsuz değerlendiril*", "olumsuz yanıt",
    "olumsuz dönüş", "olumlu sonuçlanmam*", "olumlu sonuçlanmadı*", "olumlu değerlendirilemedi*",
    "olumlu değerlendirilemem*", "başka bir aday ile ilerle*", "başka bir adayla ilerle*", "başka adaylarla ilerle*",
    "başka adaylarla devam", "diğer adaylarla devam", "diğer adaylarla ilerle*", "başka bir aday ile devam",
    "başka bir adayla devam", "devam etmeme kararı", "ilerlememe kararı", "ilerlememe kararı", "süreci sonlandır*",
    "sürecinizi sonlandır*", "olumlu değerlendiremiyoruz", "olumlu değerlendiremedik", "olumlu dönüş yapamıyoruz",
    "olumlu bir dönüş yapamıyoruz", "olumlu yanıt veremiyoruz", "olumlu bir yanıt veremiyoruz", "uygun bulunmamıştır",
    "uygun bulunmadı", "uygun görülmemiştir", "uygun görülmedi", "değerlendirmeye alamıyoruz", "ilerleyemeyeceğimizi",
    "ilerleyemeyeceğiz", "devam edemeyeceğimizi", "devam edemeyeceğiz", "devam ettiremeyeceğiz", "adayla devam et*",
    "aday ile devam et*", "adayla ilerle*", "aday ile ilerle*", "adaylarla ilerle*", "ilerlemiyoruz",
    "ilerlemeyeceğiz"};

// "Unfortunately" only means no when it speaks to the reader: a newsletter writes
// "unfortunately most applicants never hear back".
// "Unfortunately" is only a no about the reader's application when the rest of the
// sentence says what: a newsletter writes "unfortunately most applicants are not
// selected" too, so these count only in mail that speaks of the reader's application.
const Table softRejectionPhrases {"unfortunately … not … move forward", "unfortunately … not … moving forward",
    "unfortunately … not … proceed", "unfortunately … not … progress", "unfortunately … not … successful",
    "unfortunately … not … selected", "unfortunately … not … continue", "unfortunately … not … offer",
    "unfortunately … not … advance", "unfortunately … not … a fit", "unfortunately … not … the right fit",
    "unfortunately … not … a match", "unfortunately … decided … other", "unfortunately … decided … not",
    "unfortunately … decided to go", "unfortunately … other candidate*", "unfortunately … another candidate",
    "unfortunately … position … filled", "unfortunately … role … filled", "unfortunately … filled the position",
    "unfortunately … filled the role", "unfortunately … unable to … you", "unfortunately … won't … you",
    "unfortunately … cannot … you", "maalesef … ilerleyem*", "maalesef … devam edem*", "maalesef … devam etme*",
    "maalesef … devam ettirem*", "maalesef … değerlendirem*", "maalesef … olumlu … verem*",
    "maalesef … olumlu … yapam*", "maalesef … başka … aday*", "maalesef … diğer … aday*", "maalesef … uygun",
    "maalesef … sonlandır*", "üzülerek … bildir*"};

const Table offerPhrases {"pleased to offer you", "happy to offer you", "delighted to offer you",
    "excited to offer you", "thrilled to offer you", "like to offer you", "offer you the position",
    "offer you the role", "offer you a position", "extend an offer", "extend you an offer", "extending an offer",
    "extending you an offer", "your … offer letter", "updated offer", "revised offer", "attached offer letter",
    "the offer letter", "offer of employment", "employment offer", "formal offer", "written offer",
    "congratulations … offer", "iş teklif*", "teklif mektub*", "teklifimizi", "teklif sunmak*", "teklifte bulun*",
    "işe alım teklif*", "size … teklif*"};

const Table interviewPhrases {"invite you to an interview", "invite you to interview", "invite you for an interview",
    "invite you for interview", "invite you to a call", "invite you to a video", "invite you to a phone",
    "invite you to a chat", "invite you to a conversation", "invite you to a meeting", "invite you to the next",
    "invite you to our", "invite you to a technical", "invite you to complete", "invite you to take",
    "like to invite you", "love to invite you", "interview invitation", "invitation to interview", "invitation to a",
    "like to schedule", "love to schedule", "schedule a call", "schedule an interview", "schedule your interview",
    "schedule a time", "schedule a chat", "schedule a conversation", "schedule a video", "schedule a phone",
    "schedule a meeting", "set up a call", "set up an interview", "set up a time", "set up a chat", "book a time",
    "book a slot", "pick a time", "select a time", "choose a time", "your availability", "when you are available",
    "when you're available", "times that work for you", "time that works for you", "next step … interview",
    "next step … call", "next steps … interview", "next steps … call", "next round", "next stage", "move you forward",
    "moving you forward", "advance you to", "your interview is", "your interview has been", "your interview with",
    "your interview … confirmed", "your interview … scheduled", "interview is confirmed",
    "interview has been scheduled", "interview has been confirmed", "interview reminder", "reminder … interview",
    "phone screen", "phone screening", "screening call", "recruiter call", "introductory call", "intro call",
    "technical interview", "coding interview", "coding challenge", "coding exercise", "coding assignment", "take-home",
    "take home assignment", "technical assessment", "online assessment", "technical challenge",
    "system design interview", "pair programming session", "live coding", "onsite interview", "on-site interview",
    "final interview", "final round", "panel interview",
    // Turkish
    "mülakat*", "görüşmeye davet", "görüşme için davet", "görüşmesine davet", "görüşmemize davet", "sizi … davet",
    "görüşme … planla*", "görüşme … ayarla*", "görüşme … organize", "size uygun … gün", "size uygun … saat",
    "size uygun … zaman", "uygun olduğunuz … gün", "uygun olduğunuz … saat", "uygun olduğunuz … zaman",
    "müsait olduğunuz", "müsaitlik", "teknik görüşme", "ik görüşme*", "ön görüşme", "tanışma görüşme*",
    "online görüşme", "vaka çalışması", "kodlama testi", "kodlama ödevi", "kodlama çalışması", "teknik test",
    "teknik değerlendirme", "teknik ödev", "bir sonraki aşama*", "sonraki aşamaya", "sonraki adım*"};

const Table receivedPhrases {"received your application", "receipt of your application", "got your application",
    "your application was sent", "your application has been sent", "thank you for applying", "thanks for applying",
    "thank you for your application", "thanks for your application", "application has been received",
    "application was received", "application has been submitted", "application was submitted", "successfully submitted",
    "successfully applied", "we will review your", "we'll review your", "reviewing your application",
    "review your application", "application is under review", "application is being reviewed",
    "thank you for your interest in", "thanks for your interest in", "başvurunuz … ulaştı", "başvurunuz … ulaşmıştır",
    "başvurunuz … iletildi", "yaptığınız başvuru için teşekkür*", "başvurunuz … alındı", "başvurunuz … alınmıştır",
    "başvurunuzu aldık", "başvurunuzu aldığımızı", "başvurunuz için teşekkür*", "başvurunuz için çok teşekkür*",
    "başvurunuz … değerlendirme*", "başvurunuz … incelen*", "başvurunuz başarıyla", "başvurunuzu … inceley*",
    "başvurunuzu … değerlendir*", "başvuru yaptığınız için teşekkür*", "ilginiz için teşekkür*",
    // Job boards and young companies write to "sen": "başvurun bize ulaştı".
    "başvurun … ulaştı", "başvurun … alındı", "başvurun … iletildi", "başvuru … iletildi", "başvurunuz … gönderildi",
    "no decision has been made", "application is in the queue", "yaptığın başvuru için teşekkür*"};

// A friend asks "how did your interview go?": the interview alone is nobody's
// application to this reader; an employer thanks for the one sent to them.
const Table personalPhrases {"your application", "your recent application", "your candidacy", "your candidature",
    "you applied", "for applying", "your interest in", "your submission", "interviewing with us",
    "time to interview with", "speaking with us", "your time and interest", "application for the", "başvurunuz*",
    "başvurduğun*", "başvuru yaptığınız", "yaptığın başvuru*", "adaylığınız*", "başvurunuzu", "görüşmemiz*",
    "including yours", "yours included", "yaptığınız başvuru*", "ilginiz için"};

// Words that speak to the reader: bulk mail that means the reader says so.
const Table addressedPhrases {"you", "your", "yours", "size", "sizi", "sizinle", "sizin", "başvurunuz*", "adaylığınız*",
    "sana", "seni", "seninle", "senin"};

const Table jobAlertPhrases {"job alert", "jobs you may be interested in", "jobs you might like", "jobs you may like",
    "recommended jobs", "jobs for you", "new jobs", "jobs matching", "similar jobs", "based on your profile",
    "based on your search", "based on your preferences", "is hiring", "are hiring", "easy apply", "view all jobs",
    "see all jobs", "new job openings", "top job picks", "jobs recommended", "job recommendations", "new openings",
    "iş ilanı öneri*", "ilan öneri*", "size uygun ilan*", "sana uygun ilan*", "yeni ilan*", "ilan alarm*",
    "önerilen ilan*", "senin için seçtiğimiz", "sizin için seçtiğimiz", "iş ilanları", "yeni iş ilanları",
    "ilgini çekebilecek ilan*", "ilginizi çekebilecek ilan*", "benzer ilan*"};

const Table profileViewPhrases {"viewed your profile", "profile views", "who viewed", "appeared in … search*",
    "looked at your profile", "profilinizi görüntüle*", "profilini görüntüle*", "profil görüntülen*",
    "profilinize bakt*", "profiline bakt*"};

const Table newsletterPhrases {"unsubscribe", "newsletter", "view in browser", "view this email in your browser",
    "email preferences", "e-mail preferences", "manage your subscription", "manage preferences", "abonelikten çık*",
    "aboneliğinizi", "aboneliğini", "bülten*", "e-bülten*", "tarayıcıda görüntüle*", "e-posta tercih*"};

const Table outreachPhrases {"came across your profile", "found your profile", "your profile caught",
    "your background caught", "reaching out about", "reaching out because", "reaching out to see",
    "reaching out to you about", "are you open to", "open to new opportunities", "would you be interested",
    "would you be open", "exciting opportunity", "new opportunity", "great opportunity", "an opportunity that",
    "a role that might", "i have a role", "i'm hiring for", "we're hiring for", "hiring for a", "headhunt*",
    "profilinizi inceledim", "profilinize rastladım", "profilinizi gördüm", "profilinizi görünce", "yeni bir fırsat",
    "yeni fırsatlar", "kariyer fırsatı", "ilginizi çekebilecek bir pozisyon", "sizinle paylaşmak istediğim",
    "açık pozisyonumuz", "for our client", "on behalf of our client", "our client is", "my client", "müşterimiz olan",
    "müşterimiz için", "müşterimiz bir"};

// The writer's own news, told to a friend or a colleague: "my interview at Kuzey",
// "I got an offer", "yarın mülakatım var". Mail that tells it is about the writer.
const Table writersOwnPhrases {"my interview", "my offer", "my application", "i got an offer", "i received an offer",
    "i was offered", "i've been offered", "i was rejected", "i got rejected", "i got the job", "mülakatım",
    "mülakatımı", "mülakatıma", "mülakatımda", "görüşmem var", "teklif aldım", "teklifim", "başvurum", "başvurumu",
    "reddedildim"};

// Applications that are not for a job: a bank's card, a loan. Read only where the
// mail names no job at all (a bank hires, too).
const Table customerPhrases {"değerli müşterimiz", "sayın müşterimiz", "dear customer", "valued customer",
    "kredi kart*", "credit card", "kredi başvuru*", "loan application", "mortgage", "hesap açılış*", "account opening",
    "sigorta başvuru*", "offer of admission", "admission*", "programme", "tuition", "enrol*", "öğrenim", "lisansüstü",
    "yüksek lisans", "visa application", "vize başvuru*", "residence permit", "oturma izni", "insurance application"};

const Table jobPhrases {"job", "jobs", "role", "position", "pozisyon*", "candida*", "aday*", "interview*", "mülakat*",
    "hiring", "recruit*", "işe alım", "ilan*", "cv", "resume", "özgeçmiş*", "insan kaynakları", "kariyer*", "career*",
    "vacanc*", "opening", "iş teklif*", "employment", "hr team", "compensation", "requisition", "istihdam"};

// What may happen later, as acknowledgements write it: "if your profile matches, we
// will invite you to an interview". "Let me know if you are free" is no condition.
const Table conditionalPhrases {"if we", "if i", "if your application", "if your profile", "if your background",
    "if your experience", "if your skills", "if your qualifications", "if your cv", "if your resume",
    "if you are selected", "if you're selected", "if selected", "if shortlisted", "if you are shortlisted",
    "if there is a match", "if there's a match", "if there is a fit", "if you are a fit", "if you're a fit",
    "if you are a good fit", "if you're a good fit", "if you match", "should you be", "should your", "should we",
    "in case", "once we", "in the event", "eğer", "halinde", "durumunda", "takdirde", "uygun görülürse",
    "uygun bulunursa", "uygun olursa", "uyarsa", "uyuyorsa", "eşleşirse"};

const Table technicalPhrases {"technical interview", "technical round", "technical call", "technical screen",
    "technical assessment", "technical challenge", "technical exercise", "technical test", "technical task", "coding",
    "take-home", "take home", "system design", "pair programming", "live coding", "hackerrank", "codility", "coderpad",
    "codesignal", "leetcode", "algorithm*", "with our engineers", "with our engineering", "engineering team",
    "engineering manager", "tech lead", "case study", "online assessment", "teknik mülakat*", "teknik görüşme*",
    "teknik değerlendirme*", "teknik test*", "teknik ödev*", "teknik aşama*", "teknik sınav*", "kodlama",
    "vaka çalışması", "ödev", "mühendislik ekibi", "yazılım ekibi", "teknik ekib*", "teknik ekip*", "technical team",
    "algoritma*", "engineers", "pairing", "vaka*", "technical panel", "engineering lead*", "assignment", "canlı kod*"};

const Table screeningPhrases {"phone screen", "screening", "recruiter", "talent acquisition", "hr interview",
    "introductory", "intro call", "culture", "get to know you", "ik görüşme*", "insan kaynakları", "ön görüşme",
    "tanışma", "kültür", "işe alım uzman*"};

const Table positionClosedPhrases {"position has been filled", "role has been filled", "filled the position",
    "filled the role", "position has been closed", "role has been closed", "position is closed", "role is closed",
    "position is no longer", "role is no longer", "closed the position", "closed the role", "no longer hiring",
    "no longer recruiting", "on hold", "hiring freeze", "cancelled the position", "canceled the position",
    "decided not to fill", "pozisyon* … kapat*", "pozisyon* … iptal*", "alım süreci … durdur*",
    "alım sürecini … durdur*", "pozisyon* … dolmuş*", "pozisyon* … doldu*", "işe alım … askıya", "alımı … durdur*",
    "pause hiring", "paused hiring", "pausing hiring", "hiring … paused", "position … cancel*", "role … cancel*",
    "requisition … cancel*", "vacancy … cancel*", "no longer accepting applications", "alım … vazgeç*",
    "alımdan vazgeç*", "alım yapmayacağız", "beklemeye alın*"};

const Table relocationPhrases {"relocation", "relocate", "visa", "sponsorship", "sponsor", "work permit",
    "right to work", "work authorization", "work authorisation", "vize", "çalışma izni", "taşınma", "ikamet",
    "lokasyon"};

const Table budgetPhrases {"budget", "salary expectation*", "compensation expectation*", "salary range",
    "salary requirement*", "compensation requirement*", "pay expectation*", "maaş beklenti*", "ücret beklenti*",
    "bütçe*"};

const Table experiencePhrases {"more experience", "with more … experience", "more senior", "more experienced",
    "level of experience", "years of experience", "experience required", "required experience", "enough experience",
    "sufficient experience", "additional experience", "experience level", "seniority", "years of … experience",
    "yıllık … deneyim*", "yıl … deneyim*", "deneyiminiz … karşılama*", "deneyim seviye*", "yeterli deneyim",
    "daha fazla … deneyim*", "daha fazla … tecrübe*", "daha deneyimli", "tecrübe seviye*", "yeterli tecrübe",
    "than your background", "than your experience", "than your profile", "than your cv", "looking for someone with",
    "looking for someone who has", "deneyim* … altında", "tecrübe* … altında", "deneyim* … yetersiz",
    "tecrübe* … yetersiz", "deneyim* … karşılam*", "tecrübe* … karşılam*", "daha tecrübeli"};

const Table otherCandidatePhrases {"other candidate*", "another candidate", "other applicant*", "another applicant",
    "candidate whose", "candidates whose", "more closely match*", "more closely align*", "better match",
    "stronger candidate*", "başka bir aday*", "başka aday*", "diğer aday*", "daha uygun aday*", "farklı bir aday*",
    "farklı aday*"};

QList<Phrase> compile(const Table& table)
{
    QList<Phrase> phrases;
    phrases.reserve(qsizetype(table.size()));
    for (const char* source : table) {
        Phrase phrase;
        const QString text = QString::fromUtf8(source);
        for (const QString& run : text.split(QChar(0x2026), Qt::SkipEmptyParts)) {
            QString folded = TextFolding::normalize(QString(run).replace(QChar(0x2019), u'\''));
            if (!folded.isEmpty())
                phrase.runs.append(folded);
        }
        phrases.append(phrase);
    }
    return phrases;
}

bool isWordUnit(QChar c)
{
    return c.isLetterOrNumber() || c.isMark();
}

// Where `run` starts at a word of `text` at or after `from`, or -1.
qsizetype findRun(QStringView text, QStringView run, qsizetype from)
{
    const bool stem = run.endsWith(u'*');
    if (stem)
        run.chop(1);
    while ((from = text.indexOf(run, from)) >= 0) {
        const qsizetype end = from + run.size();
        const bool startsWord = from == 0 || !isWordUnit(text.at(from - 1)) || !isWordUnit(run.front());
        const bool endsWord = stem || end == text.size() || !isWordUnit(text.at(end)) || !isWordUnit(run.back());
        if (startsWord && endsWord)
            return from;
        ++from;
    }
    return -1;
}

} // namespace

bool containsRun(QStringView folded, const QString& run)
{
    return findRun(folded, run, 0) >= 0;
}

const QList<Phrase>& phrases(Cue cue)
{
    static const std::array<QList<Phrase>, size_t(Cue::otherCandidate) + 1> tables {compile(rejectionPhrases),
        compile(softRejectionPhrases), compile(offerPhrases), compile(interviewPhrases), compile(receivedPhrases),
        compile(personalPhrases), compile(addressedPhrases), compile(jobAlertPhrases), compile(profileViewPhrases),
        compile(newsletterPhrases), compile(outreachPhrases), compile(writersOwnPhrases), compile(customerPhrases),
        compile(jobPhrases), compile(conditionalPhrases), compile(technicalPhrases), compile(screeningPhrases),
        compile(positionClosedPhrases), compile(relocationPhrases), compile(budgetPhrases), compile(experiencePhrases),
        compile(otherCandidatePhrases)};
    return tables[size_t(cue)];
}

std::optional<Span> find(const Phrase& phrase, QStringView folded)
{
    Span span {-1, 0};
    qsizetype from = 0;
    for (const QString& run : phrase.runs) {
        const qsizetype at = findRun(folded, run, from);
        if (at < 0)
            return std::nullopt;
        if (span.start < 0)
            span.start = at;
        from = at + run.size() - (run.endsWith(u'*') ? 1 : 0);
    }
    span.end = from;
    return span;
}

bool isPersonalMailDomain(const QString& registrableDomain)
{
    static const QStringList domains {QStringLiteral("gmail.com"), QStringLiteral("googlemail.com"),
        QStringLiteral("hotmail.com"), QStringLiteral("outlook.com"), QStringLiteral("live.com"),
        QStringLiteral("msn.com"), QStringLiteral("yahoo.com"), QStringLiteral("icloud.com"), QStringLiteral("me.com"),
        QStringLiteral("aol.com"), QStringLiteral("yandex.com"), QStringLiteral("yandex.com.tr"),
        QStringLiteral("yandex.ru"), QStringLiteral("protonmail.com"), QStringLiteral("proton.me"),
        QStringLiteral("mail.com"), QStringLiteral("gmx.com"), QStringLiteral("gmx.de"), QStringLiteral("gmx.net"),
        QStringLiteral("hotmail.com.tr"), QStringLiteral("windowslive.com"), QStringLiteral("mynet.com")};
    return domains.contains(registrableDomain);
}

bool isHiringServiceDomain(const QString& registrableDomain)
{
    static const QStringList domains {QStringLiteral("greenhouse.io"), QStringLiteral("greenhouse-mail.io"),
        QStringLiteral("lever.co"), QStringLiteral("myworkday.com"), QStringLiteral("myworkdayjobs.com"),
        QStringLiteral("workday.com"), QStringLiteral("smartrecruiters.com"), QStringLiteral("smartrecruiters.net"),
        QStringLiteral("ashbyhq.com"), QStringLiteral("workable.com"), QStringLiteral("workablemail.com"),
        QStringLiteral("teamtailor.com"), QStringLiteral("teamtailor-mail.com"), QStringLiteral("personio.de"),
        QStringLiteral("personio.com"), QStringLiteral("recruitee.com"), QStringLiteral("bamboohr.com"),
        QStringLiteral("icims.com"), QStringLiteral("jobvite.com"), QStringLiteral("taleo.net"),
        QStringLiteral("successfactors.com"), QStringLiteral("successfactors.eu"), QStringLiteral("breezy.hr"),
        QStringLiteral("jazzhr.com"), QStringLiteral("applytojob.com"), QStringLiteral("pinpointhq.com"),
        QStringLiteral("comeet.co"), QStringLiteral("zohorecruit.com"), QStringLiteral("recruiterbox.com"),
        QStringLiteral("hirehive.com"), QStringLiteral("rippling.com"), QStringLiteral("kariyer.net"),
        QStringLiteral("secretcv.com"), QStringLiteral("yenibiris.com"), QStringLiteral("eleman.net"),
        QStringLiteral("linkedin.com"), QStringLiteral("indeed.com"), QStringLiteral("indeedemail.com"),
        QStringLiteral("glassdoor.com"), QStringLiteral("xing.com"), QStringLiteral("stepstone.de"),
        QStringLiteral("otta.com"), QStringLiteral("welcometothejungle.com"), QStringLiteral("wellfound.com"),
        QStringLiteral("peoplebox.ai"), QStringLiteral("hrpanda.co"), QStringLiteral("youthall.com")};
    return domains.contains(registrableDomain);
}

bool isGenericMailbox(const QString& localPart)
{
    static const QStringList names {QStringLiteral("noreply"), QStringLiteral("no-reply"), QStringLiteral("donotreply"),
        QStringLiteral("do-not-reply"), QStringLiteral("notifications"), QStringLiteral("notification"),
        QStringLiteral("jobs"), QStringLiteral("jobs-noreply"), QStringLiteral("careers"), QStringLiteral("career"),
        QStringLiteral("kariyer"), QStringLiteral("hello"), QStringLiteral("info"), QStringLiteral("bilgi"),
        QStringLiteral("talent"), QStringLiteral("recruiting"), QStringLiteral("recruitment"), QStringLiteral("hiring"),
        QStringLiteral("hr"), QStringLiteral("ik"), QStringLiteral("insankaynaklari"), QStringLiteral("team"),
        QStringLiteral("support"), QStringLiteral("mailer"), QStringLiteral("system"), QStringLiteral("candidates"),
        QStringLiteral("apply"), QStringLiteral("applications"), QStringLiteral("messages"), QStringLiteral("alerts"),
        QStringLiteral("jobalerts-noreply"), QStringLiteral("noreply-jobs"), QStringLiteral("news")};
    return names.contains(localPart);
}

} // namespace MailVocabulary
