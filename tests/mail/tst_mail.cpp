#include "TestSupport.h"
#include "backup/BackupTransfer.h"
#include "mail/ForwardedText.h"
#include "mail/HtmlText.h"
#include "mail/LooseDate.h"
#include "mail/MailImportSession.h"
#include "mail/MailMatcher.h"
#include "mail/MailReader.h"
#include "mail/MailReading.h"
#include "mail/MailUpdate.h"
#include "mail/MailWorker.h"
#include "model/Clock.h"
#include "model/Vocabulary.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <netdb.h>
#include <sys/socket.h>

// The reader's no-network rule, checked: every way a library in this process could
// open a connection or look up a name lands here and is counted (and refused).
namespace {
std::atomic<int> networkCalls {0};
}
extern "C" int socket(int, int, int)
{
    ++networkCalls;
    errno = EACCES;
    return -1;
}
extern "C" int connect(int, const struct sockaddr*, socklen_t)
{
    ++networkCalls;
    errno = EACCES;
    return -1;
}
extern "C" int getaddrinfo(const char*, const char*, const struct addrinfo*, struct addrinfo**)
{
    ++networkCalls;
    return EAI_FAIL;
}

using Kind = MailReadError::Kind;
using Confidence = MailMatch::Confidence;
using Status = std::optional<ApplicationStatus>;
using Reason = std::optional<RejectionReason>;
Q_DECLARE_METATYPE(MailKind)
Q_DECLARE_METATYPE(Status)
Q_DECLARE_METATYPE(Reason)
Q_DECLARE_METATYPE(Confidence)
Q_DECLARE_METATYPE(Kind)

namespace {

const QString mailData = QStringLiteral(APPLYWRIGHT_TEST_DATA_DIR "/mail");

MailMessage message(const QString& subject, const QString& text, const QString& address = {}, bool bulk = false)
{
    MailMessage result;
    result.subject = subject;
    result.text = text;
    result.senderAddress = address;
    result.isBulk = bulk;
    return result;
}

QByteArray rawMessage(const QString& headers, const QByteArray& body)
{
    return headers.toUtf8().replace("\n", "\r\n") + "\r\n" + body;
}

// A deflate stream of `count` × 258 zero bytes in fixed Huffman codes: a literal
// zero, then matches of length 258 at distance 1, each 13 bits.
QByteArray zeroDeflate(qint64 count)
{
    QByteArray out;
    quint32 bits = 0;
    int used = 0;
    const auto put = [&](quint32 value, int length) {
        bits |= value << used;
        used += length;
        while (used >= 8) {
            out.append(char(bits & 0xFF));
            bits >>= 8;
            used -= 8;
        }
    };
    // Huffman codes go most significant bit first.
    const auto code = [&](quint32 value, int length) {
        quint32 reversed = 0;
        for (int i = 0; i < length; ++i)
            reversed |= ((value >> i) & 1u) << (length - 1 - i);
        put(reversed, length);
    };
    put(1, 1); // final block
    put(1, 2); // fixed codes
    code(0x30, 8); // literal 0
    for (qint64 i = 0; i < count; ++i) {
        code(0xC5, 8); // length 258 (code 285)
        code(0, 5); // distance 1
    }
    code(0, 7); // end of block
    if (used > 0)
        out.append(char(bits & 0xFF));
    return out;
}

// A zip file with one entry of `expanded` bytes of zeros.
QByteArray zipBomb(qint64 expanded)
{
    const QByteArray data = zeroDeflate(expanded / 258);
    QByteArray local("PK\x03\x04", 4);
    const auto le = [](QByteArray& to, quint32 value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            to.append(char((value >> (8 * i)) & 0xFF));
    };
    le(local, 20, 2);
    le(local, 0, 2);
    le(local, 8, 2); // deflate
    le(local, 0, 4);
    le(local, 0, 4); // crc (not checked: nobody opens it)
    le(local, quint32(data.size()), 4);
    le(local, quint32(expanded), 4);
    le(local, 8, 2);
    le(local, 0, 2);
    return local + "zero.txt" + data;
}

// Every field of an item, one per line, so that a difference shows where it is.
QString described(const MailReader::Item& item)
{
    if (!item.result)
        return item.label + QStringLiteral("\nfailure ") + QString::number(int(item.result.error().kind()));
    const MailMessage& m = item.result.value();
    return QStringList {item.label, m.sourceLabel, m.senderName, m.senderAddress, m.subject,
        m.date ? m.date->toString(Qt::ISODateWithMs) : QStringLiteral("no date"), m.text, m.links.join(u' '),
        m.isBulk ? QStringLiteral("bulk") : QStringLiteral("personal"), m.forwardedBy}
        .join(u'\n');
}

// A stand-in for the worker: a shell script with `body`, in `folder`.
QString fakeWorker(const QTemporaryDir& folder, const QByteArray& body)
{
    const QString path = folder.filePath(QStringLiteral("worker.sh"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write("#!/bin/sh\n" + body + "\n") < 0)
        return {};
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

struct Corpus {
    QList<ApplicationBackup> entries;
    QList<MailCandidate> candidates;
    QJsonObject truth;
};

Corpus loadCorpus()
{
    Corpus corpus;
    const auto contents = readBackup(mailData + QStringLiteral("/store.json"));
    if (!contents)
        return corpus;
    corpus.entries = contents->applications;
    for (qsizetype i = 0; i < corpus.entries.size(); ++i) {
        const ApplicationBackup& entry = corpus.entries[i];
        corpus.candidates.append(MailCandidate::of(i, entry));
    }
    corpus.truth = QJsonDocument::fromJson(TestSupport::readFile(mailData + QStringLiteral("/truth.json"))).object();
    return corpus;
}

QList<MailCandidate> matchingCandidates()
{
    const QDateTime applied = TestSupport::utc(2025, 2, 1);
    const auto candidate
        = [&](qint64 key, const char* company, const char* position, const char* link = "", const char* hr = "") {
              return MailCandidate {key, QString::fromUtf8(company), QString::fromUtf8(position),
                  QString::fromUtf8(link), QString::fromUtf8(hr), applied, ApplicationStatus::applied, applied};
          };
    return {candidate(
                1, "Acme Robotics A.Ş.", "Backend Engineer", "https://boards.greenhouse.io/acmerobotics/jobs/4567001"),
        candidate(
            2, "Acme Robotics A.Ş.", "Frontend Engineer", "https://boards.greenhouse.io/acmerobotics/jobs/4567002"),
        candidate(3, "Mavi Kuş Yazılım San. ve Tic. A.Ş.", "iOS Geliştirici"),
        candidate(4, "Globex GmbH", "Data Engineer", "", "hr@globex.de"),
        candidate(5, "Çağrı Teknoloji Ltd. Şti.", "Mobil Geliştirici"), candidate(6, "Hooli", "ML Engineer"),
        candidate(7, "Data Systems Inc.", "Analyst")};
}

} // namespace

class TestMail : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { TestSupport::useTimeZone("Europe/Istanbul"); }

    void reading_data()
    {
        QTest::addColumn<QString>("subject");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("sender");
        QTest::addColumn<bool>("bulk");
        QTest::addColumn<MailKind>("kind");
        QTest::addColumn<Status>("status");
        QTest::addColumn<Reason>("reason");
        using S = ApplicationStatus;
        using R = RejectionReason;
        const QString hr = QStringLiteral("jobs@acme.com");
        const auto row = [&hr](const char* name, const char* subject, const char* text, MailKind kind,
                             Status status = {}, Reason reason = {}, const char* sender = nullptr, bool bulk = false) {
            QTest::newRow(name) << QString::fromUtf8(subject) << QString::fromUtf8(text)
                                << (sender ? QString::fromLatin1(sender) : hr) << bulk << kind << status << reason;
        };
        const auto no = MailKind::rejection;
        const Status rejected = S::rejected;
        row("rejection, another candidate", "Your application",
            "Thank you for applying. We have decided to move forward with other candidates whose experience more "
            "closely "
            "matches the role.",
            no, rejected, R::otherCandidate);
        row("rejection, position filled", "Update",
            "Thank you for your application. We regret to inform you that the position has been filled.", no, rejected,
            R::positionClosed);
        row("soft rejection, visa", "Update",
            "Thanks for your application. Unfortunately, we are not able to move forward as we cannot sponsor a work "
            "visa.",
            no, rejected, R::relocation);
        row("rejection, budget", "Next steps",
            "Thank you for your interest in the role. Unfortunately we decided not to continue: your salary "
            "expectations "
            "are above our budget.",
            no, rejected, R::budget);
        row("rejection, experience, no reason word", "Update",
            "We will not be progressing your application. We are looking for someone with more experience.", no,
            rejected, R::experience);
        row("rejection without a reason", "Update", "After review we will not be moving forward with your application.",
            no, rejected);
        row("ret, maalesef olumsuz", "Başvurunuz", "Başvurunuz değerlendirilmiş olup maalesef olumsuz sonuçlanmıştır.",
            no, rejected);
        row("ret, ASCII yazım", "Basvurunuz",
            "Basvurunuz icin tesekkurler. Maalesef surece baska bir aday ile devam etme karari aldik.", no, rejected,
            R::otherCandidate);
        row("ret, pozisyon kapandı", "Pozisyon",
            "Başvurunuz için teşekkürler. Pozisyonumuz kapatıldığı için başvurunuzu olumlu değerlendiremiyoruz.", no,
            rejected, R::positionClosed);
        row("not proceeding", "Update", "We are not proceeding with you: we need someone with more Go experience.", no,
            rejected, R::experience);
        row("phone screen", "Let's talk",
            "Thanks for applying! We'd love to set up a phone screen with our recruiter. Please pick a time.",
            MailKind::interview, S::hrInterview);
        row("technical round", "Interview",
            "Thank you for your application. We'd like to invite you to a technical interview with two engineers.",
            MailKind::interview, S::techInterview);
        row("take-home", "Next step",
            "Thanks for your interest in the role. As a next step please complete a take-home coding challenge.",
            MailKind::interview, S::techInterview);
        row("ön görüşme", "Görüşme",
            "Başvurunuz için teşekkürler. Sizinle bir ön görüşme yapmak istiyoruz, size uygun gün ve saatleri paylaşır "
            "mısınız?",
            MailKind::interview, S::hrInterview);
        row("teknik mülakat", "Mülakat", "Başvurunuz olumlu değerlendirildi, sizi teknik mülakata davet ediyoruz.",
            MailKind::interview, S::techInterview);
        row("offer", "Offer", "We are delighted to offer you the position. Your offer letter is attached.",
            MailKind::offer, S::offer);
        row("your … offer letter", "Docs", "Attached is your signed offer letter.", MailKind::offer, S::offer);
        row("iş teklifi", "Teklif", "Pozisyon için iş teklifimizi ekte paylaşıyoruz.", MailKind::offer, S::offer);
        row("acknowledgement with a condition", "Thanks",
            "We have received your application. If your profile matches, we will invite you to an interview.",
            MailKind::received);
        row("başvuru ulaştı", "Başvurunuz", "Başvurunuz bize ulaştı. Uygun görülmesi halinde mülakata davet edeceğiz.",
            MailKind::received);
        row("sen diye", "Başvurun alındı", "Yaptığın başvuru için teşekkürler.", MailKind::received);
        row("job alert naming a company", "Acme is hiring",
            "Jobs you may be interested in: Acme - Backend Engineer. Apply now.", MailKind::other, {}, {},
            "alerts@jobs.example", true);
        row("newsletter with unfortunately", "Why your application fails",
            "Unfortunately, recruiters decided not to move forward with candidates whose CV had typos. Make your "
            "application stand out. Unsubscribe.",
            MailKind::other, {}, {}, "news@tips.example", true);
        row("bülten, maalesef", "Bülten", "Maalesef birçok adayın başvurusu olumsuz sonuçlanıyor. Abonelikten çık.",
            MailKind::other, {}, {}, "bulten@kariyer.example", true);
        row("friend's interview", "hey", "How did your interview go? Can we schedule a call next week?",
            MailKind::other, {}, {}, "sam@gmail.com");
        row("a friend's question", "hi", "You applied there too, right? My coding interview is on Monday.",
            MailKind::other, {}, {}, "ali@gmail.com");
        row("quoted news", "Tips", "Nobody likes \"your application was unsuccessful\". Tips inside.", MailKind::other,
            {}, {}, "news@tips.example", true);
        row("friend's offer", "haber", "Bugün Kuzey'den iş teklifi aldım, inanamıyorum!", MailKind::other, {}, {},
            "zeynep@hotmail.com");
        row("recruiter with a new role", "Opportunity",
            "I came across your profile. Would you be open to a call about an exciting opportunity at Acme?",
            MailKind::other, {}, {}, "lisa@agency.example");
        row("profile views", "3 people viewed your profile", "See who viewed your profile.", MailKind::other, {}, {},
            "notify@social.example", true);
        row("the quoted reply is not read", "Re: call",
            "Thursday 10:00 works for the technical interview.\n\nOn Sun, Feb 9, 2025 at 9:00 PM Deniz wrote:\n> "
            "Thanks "
            "for reaching out about a new opportunity.",
            MailKind::interview, S::techInterview);
        row("not taken further", "Your application", "We will not be taking your candidacy further this time.", no,
            rejected);
        row("olumlu sonuçlanmadı, yıllık deneyim", "Başvurunuz",
            "Aradığımız 3 yıllık Go deneyimi olmadığından başvurunuz olumlu sonuçlanmadı.", no, rejected,
            R::experience);
        row("reviews quoted by a site", "Acme interview reviews",
            "\"Recruiter call first. Then a coding interview.\" - a candidate", MailKind::other);
        row("a board relays the employer's words", "Yeni mesaj",
            "Acme size yazdı: \"Sizi teknik mülakata davet ediyoruz.\"", MailKind::interview, S::techInterview);
        row("a colleague's own news", "cuma", "Cuma Acme'de mülakatım var, senin de başvurduğun ilan.", MailKind::other,
            {}, {}, "can@work.example");
        row("a card, not a job", "Başvurunuz", "Değerli müşterimiz, kart başvurunuz olumsuz sonuçlanmıştır.",
            MailKind::other);
        row("a client's interview process", "Role", "For our client the next step is a technical interview.",
            MailKind::other, {}, {}, "ed@agency.example");

        // Wordings no phrase list holds, read by the shape of the sentence, and look-alikes
        // in the same shapes.
        const auto shape
            = [&row](const char* name, const char* text, MailKind kind, Status status = {}, Reason reason = {},
                  const char* sender = nullptr) { row(name, "Update", text, kind, status, reason, sender); };
        shape("chosen not to pursue", "The committee has chosen not to pursue your candidacy.", no, rejected);
        shape("passive, someone inside",
            "Your application will not be taken forward: we have offered the role to a candidate from inside the "
            "company.",
            no, rejected, R::otherCandidate);
        shape("closing it, relocation", "As we can't support relocation, we have to close your application.", no,
            rejected, R::relocation);
        shape("not filling it", "Thanks for applying. The position is on hold, so we will not be filling it.", no,
            rejected, R::positionClosed);
        shape(
            "not offering the role", "Sadly we won't be able to offer you the Analytics Engineer role.", no, rejected);
        shape("not a match, mail about the reader",
            "Thanks for applying. We decided it isn't the right match at the moment.", no, rejected);
        shape("not a match, about nothing of the reader's", "We decided it isn't the right match for the venue.",
            MailKind::other);
        shape("background falling short",
            "We won't progress your application: the role needs a scale well beyond what your background shows.", no,
            rejected, R::experience);
        shape("reader's own doing", "If you do not move forward with your application within 7 days, it expires.",
            MailKind::other);
        shape("a condition",
            "We received your application. If we decide not to progress your application, we will tell you.",
            MailKind::received);
        shape("a concession",
            "You applied for our Security role. Although we didn't move forward with you then, we kept your profile.",
            MailKind::other);
        shape("taşımama kararı", "Bu aşamada adaylığınızı bir sonraki adıma taşımama kararı aldık.", no, rejected);
        shape("geçemiyoruz, sen, ASCII", "Yaptigin basvuru icin tesekkurler, seninle bir sonraki asamaya gecemiyoruz.",
            no, rejected);
        shape("örtüşmediğinden", "Tecrübeniz profille örtüşmediğinden başvurunuzla ilerletilmeyecektir.", no, rejected,
            R::experience);
        shape("olumlu … sağlayamıyoruz",
            "Başvurunuz için teşekkürler; şu an için olumlu bir geri dönüş sağlayamıyoruz.", no, rejected);
        shape("imkânımız olmayacak, bütçe",
            "Ücret beklentiniz bütçemizi aştığından sizinle çalışma imkânımız olmayacak.", no, rejected, R::budget);
        shape("başka bir adayla yola devam etme",
            "Başvurunuz için teşekkürler. Başka bir adayla yola devam etme kararı aldık.", no, rejected,
            R::otherCandidate);
        shape("devam etme kararı is no negative",
            "Başvurunuz için teşekkürler. Sizinle devam etme kararı aldık, sizi teknik mülakata davet ediyoruz.",
            MailKind::interview, S::techInterview);
        shape("ilerlememiz is no negative",
            "Başvurunuz için teşekkürler. Sizinle ilerlememiz için referanslarınızı bekliyoruz.", MailKind::received);
        shape("a friend's bad news", "Acme benimle devam etmeyecekmiş, başka bir adayla ilerlemişler.", MailKind::other,
            {}, {}, "selin@hotmail.com");
        shape("setting up a call", "I came across your application and would love to set up an initial phone call.",
            MailKind::interview, S::hrInterview);
        shape("moving the reader on", "Thanks for applying. We would like to move you on to the technical round.",
            MailKind::interview, S::techInterview);
        shape("the reader's onsite booked", "Your onsite loop for the role has been booked, with four engineers.",
            MailKind::interview, S::techInterview);
        shape("a colleague's call", "I'd like to set up a call next week to walk through the roadmap.", MailKind::other,
            {}, {}, "emre@lumos.example");
        shape("tanımak isteriz", "Başvurunuzu inceledik ve sizi daha yakından tanımak isteriz.", MailKind::interview,
            S::hrInterview);
        shape("a welcome as an offer", "We'd love for you to join Umbrella Labs as our Product Designer.",
            MailKind::offer, S::offer);
        shape("aramızda görmek", "Sizi Yazılım Test Uzmanı olarak aramızda görmekten mutluluk duyarız.",
            MailKind::offer, S::offer);
        shape("a university's offer", "Your application: we are delighted to offer you a place on the MSc programme.",
            MailKind::other);
        shape("the reader not among those selected",
            "Thanks for applying. You were not among those selected for interview.", no, rejected);
        shape("a meeting that will not be", "Thanks for applying. We will not be scheduling a technical interview.", no,
            rejected);
        shape("others better meet", "We have determined that other candidates better meet the needs of the role.", no,
            rejected, R::otherCandidate);
        shape("sürdüremiyoruz, to the reader alone", "Süreci sizinle bu aşamada sürdüremiyoruz.", no, rejected);
        shape("sonlandırıyoruz", "Profille eşleşmediğiniz için başvurunuzu bu aşamada sonlandırıyoruz.", no, rejected,
            R::experience);
        shape("uyumlu olmadığına",
            "Başvurunuz için teşekkürler. Profilinizin pozisyonla uyumlu olmadığına karar verdik.", no, rejected,
            R::experience);
        shape("a condition on the verb", "Başvurunuz olumsuz sonuçlandıysa yapmanız gereken üç şey var.",
            MailKind::other);
        shape("değilse is no refusal",
            "Başvurunuz için teşekkürler. Salı 14:00 uygun mu? Uygun değilse başka bir saat yazın.",
            MailKind::interview, S::hrInterview);
        shape("a time asked about", "Thanks for applying! Jo has time for a quick intro on Thursday. Does 2pm work?",
            MailKind::interview, S::hrInterview);
        shape(
            "a colleague's time", "Sprint review moved. Does 2pm work?", MailKind::other, {}, {}, "emre@lumos.example");
        shape("on board", "We want to bring you on board as a Data Engineer!", MailKind::offer, S::offer);
        shape("a job's contract", "Attached you'll find your contract for the Embedded Firmware Engineer role.",
            MailKind::offer, S::offer);
        shape("an acknowledgement's rule",
            "We received your application. Note that we will not consider applications sent by post.",
            MailKind::received);
        shape("a request, not news",
            "Thanks for applying. We can't consider your application until we receive your transcript.",
            MailKind::received);
        shape("a guest, not a hire", "We'd love to have you join us as a speaker at our careers evening.",
            MailKind::other);
        shape("the role filled", "Thanks for your interest in the role. We've now filled the position.", no, rejected,
            R::positionClosed);
        shape("the reader's application on hold",
            "Thanks for your interest in the role. Your application is on hold while the hiring team travels.",
            MailKind::received);
        shape("the role gone to someone", "The role has gone to someone with a stronger research background.", no,
            rejected, R::otherCandidate);
        shape("a visa refused", "Your visa application has not been successful.", MailKind::other);
    }

    void reading()
    {
        QFETCH(QString, subject);
        QFETCH(QString, text);
        QFETCH(QString, sender);
        QFETCH(bool, bulk);
        const MailReading reading = MailReading::of(message(subject, text, sender, bulk));
        QTEST(reading.kind, "kind");
        QTEST(reading.status, "status");
        QTEST(reading.reason, "reason");
        QCOMPARE(reading.evidence.isEmpty(), reading.kind == MailKind::other);
    }

    void matching_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("subject");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("links");
        QTest::addColumn<qint64>("key");
        QTest::addColumn<Confidence>("confidence");
        const char* body = "Thank you for your application.";
        const auto row = [](const char* test, const char* name, const char* address, const char* subject,
                             const char* text, qint64 key, Confidence confidence, const QStringList& links = {}) {
            QTest::newRow(test) << QString::fromUtf8(name) << QString::fromLatin1(address) << QString::fromUtf8(subject)
                                << QString::fromUtf8(text) << links << key << confidence;
        };
        const auto confident = Confidence::confident;
        row("legal form aside, company domain", "Mavi Kuş İK", "ik@mavikus.com.tr", "Görüşme", body, 3, confident);
        row("ASCII spelling through a job board", "kariyer.net", "bilgi@kariyer.net", "Basvurunuz",
            "Cagri Teknoloji firmasinin ilanina yaptiginiz basvuru olumsuz sonuclanmistir.", 5, confident);
        row("Turkish letters in the sender's name", "ÇAĞRI TEKNOLOJİ", "noreply@example.net", "Hello", body, 5,
            confident);
        row("tracking system address", "Careers", "hooli@myworkday.com", "Update", body, 6, confident);
        row("tracking system link and job number", "Hiring Team", "no-reply@us.greenhouse-mail.io", "Interview", body,
            2, confident, {QStringLiteral("https://boards.greenhouse.io/acmerobotics/jobs/4567002")});
        row("two at one company, the position decides", "Acme Robotics", "no-reply@hire.lever.co",
            "Acme Robotics - Frontend Engineer", body, 2, confident);
        row("the HR contact's address", "Jana", "hr@globex.de", "Hello", body, 4, confident);
        row("only named in passing", "Friend", "friend@example.org", "hi", "Did you see what Hooli did this week?", 6,
            Confidence::weak);
        row("a common word is no company", "Talent", "talent@contoso.com", "Update",
            "We build data pipelines and systems.", -1, Confidence::none);
        row("not in the list", "Contoso Talent", "talent@contoso.com", "Your application to Contoso", body, -1,
            Confidence::none);
    }

    void matching()
    {
        QFETCH(QString, name);
        QFETCH(QString, address);
        QFETCH(QString, subject);
        QFETCH(QString, text);
        QFETCH(QStringList, links);
        QFETCH(qint64, key);
        const MailMatcher matcher(matchingCandidates());
        MailMessage mail = message(subject, text, address);
        mail.senderName = name;
        mail.links = links;
        mail.date = TestSupport::utc(2025, 3, 3);
        const MailMatch match = matcher.match(mail);
        QCOMPARE(match.key.value_or(-1), key);
        QTEST(match.confidence, "confidence");
        QCOMPARE(match.evidence.isEmpty(), key < 0);
    }

    void twoApplicationsNothingDecides()
    {
        const MailMatcher matcher(matchingCandidates());
        MailMessage mail = message(QStringLiteral("Your application to Acme Robotics"),
            QStringLiteral("Unfortunately we will not be moving forward."), QStringLiteral("no-reply@ashbyhq.com"));
        mail.date = TestSupport::utc(2025, 3, 3);
        const MailMatch match = matcher.match(mail);
        QCOMPARE(match.confidence, Confidence::ambiguous);
        QVERIFY(!match.key);
        QCOMPARE(match.alternatives, (QList<qint64> {1, 2}));
        // An application sent after the message cannot be what it answers.
        QList<MailCandidate> later = matchingCandidates();
        later[1].applicationDate = TestSupport::utc(2025, 3, 10);
        QCOMPARE(MailMatcher(later).match(mail).key, std::optional<qint64>(1));
        // The person's pick is the one applied, and ticks the change.
        MailUpdate update(
            mail, MailReading::of(mail), match, std::make_shared<const QList<MailCandidate>>(matchingCandidates()));
        QVERIFY(!update.include());
        update.setApplicationKey(2);
        QVERIFY(update.include());
        QCOMPARE(update.proposal().to, Status(ApplicationStatus::rejected));
    }

    void proposals_data()
    {
        using O = MailProposal::Outcome;
        using S = ApplicationStatus;
        QTest::addColumn<MailKind>("kind");
        QTest::addColumn<Status>("read");
        QTest::addColumn<ApplicationStatus>("current");
        QTest::addColumn<int>("daysAfterTheChange");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<bool>("unusual");
        QTest::newRow("rejection of an applied one")
            << MailKind::rejection << Status(S::rejected) << S::applied << -30 << int(O::change) << false;
        QTest::newRow("already there") << MailKind::rejection << Status(S::rejected) << S::rejected << 5
                                       << int(O::alreadyThere) << false;
        QTest::newRow("older than the current stage")
            << MailKind::rejection << Status(S::rejected) << S::hrInterview << -2 << int(O::outdated) << false;
        QTest::newRow("an interview never goes back")
            << MailKind::interview << Status(S::hrInterview) << S::techInterview << 3 << int(O::laterStage) << false;
        QTest::newRow("an interview after a rejection")
            << MailKind::interview << Status(S::hrInterview) << S::rejected << 3 << int(O::change) << true;
        QTest::newRow("an acknowledgement")
            << MailKind::received << Status() << S::applied << 3 << int(O::nothing) << false;
    }

    void proposals()
    {
        QFETCH(MailKind, kind);
        QFETCH(Status, read);
        QFETCH(ApplicationStatus, current);
        QFETCH(int, daysAfterTheChange);
        MailReading reading;
        reading.kind = kind;
        reading.status = read;
        const QDateTime changed = TestSupport::utc(2025, 3, 1);
        MailCandidate application {1, QStringLiteral("Acme"), {}, {}, {}, changed.addDays(-40), current, changed};
        const MailProposal proposal = MailProposal::of(reading, &application, changed.addDays(daysAfterTheChange));
        QTEST(int(proposal.outcome), "outcome");
        QTEST(proposal.isUnusual, "unusual");
    }

    void tickedOnlyWhenSure_data()
    {
        QTest::addColumn<Confidence>("match");
        QTest::addColumn<bool>("clear");
        QTest::addColumn<bool>("ticked");
        QTest::newRow("confident match, clear reading") << Confidence::confident << true << true;
        QTest::newRow("named in passing") << Confidence::weak << true << false;
        QTest::newRow("a reading with doubts") << Confidence::confident << false << false;
    }

    void tickedOnlyWhenSure()
    {
        QFETCH(Confidence, match);
        QFETCH(bool, clear);
        MailReading reading;
        reading.kind = MailKind::rejection;
        reading.status = ApplicationStatus::rejected;
        reading.isClear = clear;
        MailMatch matched;
        matched.confidence = match;
        matched.key = 1;
        MailMessage mail = message(QStringLiteral("Update"), QStringLiteral("No."));
        mail.date = TestSupport::utc(2025, 3, 3);
        const MailUpdate update(
            mail, reading, matched, std::make_shared<const QList<MailCandidate>>(matchingCandidates()));
        QCOMPARE(update.proposal().outcome, MailProposal::Outcome::change);
        QTEST(update.include(), "ticked");
    }

    void mime_data()
    {
        // Every message was sent at 2025-03-03 13:42 UTC.
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("sender");
        QTest::addColumn<QString>("subject");
        QTest::addColumn<QString>("contains");
        QTest::addColumn<QString>("lacks");
        const auto row = [](const char* name, const QString& headers, const QByteArray& body, const char* sender,
                             const char* subject, const char* contains, const char* lacks = "") {
            QTest::newRow(name) << rawMessage(headers, body) << QString::fromLatin1(sender)
                                << QString::fromUtf8(subject) << QString::fromUtf8(contains)
                                << QString::fromUtf8(lacks);
        };
        const QString head = QStringLiteral("From: Acme <jobs@acme.com>\nTo: me@example.com\nSubject: Update\n"
                                            "Date: Mon, 03 Mar 2025 16:42:00 +0300\nMIME-Version: 1.0\n");
        row("alternative, quoted-printable plain part",
            head
                + "Content-Type: multipart/alternative; boundary=b\n\n--b\nContent-Type: text/plain; "
                  "charset=utf-8\nContent-Transfer-Encoding: quoted-printable\n\nWe will not be moving forw=\nard "
                  "with your applic=C4=B1ation.\n--b\nContent-Type: text/html\n\n<p>HTML twin</p>\n--b--\n",
            QByteArray(), "jobs@acme.com", "Update", "not be moving forward with your applicıation", "HTML twin");
        row("base64 in windows-1254",
            head + "Content-Type: text/plain; charset=windows-1254\nContent-Transfer-Encoding: base64\n",
            QByteArray("Ba\xfEvurunuz i\xe7in te\xfE"
                       "ekk\xfcrler, \xd6zt\xfcrk \xdDK.")
                .toBase64(),
            "jobs@acme.com", "Update", "Başvurunuz için teşekkürler, Öztürk İK");
        row("encoded words",
            QStringLiteral("From: =?UTF-8?Q?=C3=87a=C4=9Fr=C4=B1_=C4=B0K?= <ik@cagri.com.tr>\nSubject: "
                           "=?UTF-8?B?QmHFn3Z1cnVudXo=?=\nDate: Mon, 03 Mar 2025 16:42:00 +0300\n"),
            "Merhaba", "ik@cagri.com.tr", "Başvurunuz", "Merhaba");
        row("HTML only: scripts, styles and remote images left out", head + "Content-Type: text/html; charset=utf-8\n",
            "<html><head><style>p{color:red}</style><script>fetch('https://x.example/t')</script></head><body>"
            "<p>Hello&nbsp;Deniz,</p><script>fetch('https://x.example/u')</script><p>We&#8217;d like to <a "
            "href=\"https://acme.com/book?a=1&amp;b=2\">book a "
            "time</a>.</p><img src=\"https://track.example/p.gif\"></body></html>",
            "jobs@acme.com", "Update", "Hello Deniz,\n\nWe’d like to book a time.", "fetch");
        row("inline forward: the original's sender and date win",
            QStringLiteral("From: Me <me@example.com>\nSubject: Fwd: News\nDate: Sat, 08 Mar 2025 22:00:00 +0300\n"),
            "FYI\n\n---------- Forwarded message ---------\nFrom: Hooli Talent <talent@hooli.com>\nDate: Mon, "
            "Mar 3, 2025 at 4:42 PM\nSubject: Your application\nTo: me\n\nWe regret to inform you.\n",
            "talent@hooli.com", "Your application", "We regret to inform you.", "FYI");
        row("forward with the subject and date above the sender",
            QString(head).replace(QStringLiteral("16:42"), QStringLiteral("22:00")),
            "note\n\n-------- Forwarded Message --------\nSubject: \tNews\nDate: \tMon, 3 Mar 2025 05:42:00 "
            "-0800\nFrom: \tHooli <talent@hooli.com>\n\nWe regret.\n",
            "talent@hooli.com", "News", "We regret.", "note");
        row("reply quoting older mail", QString(head).replace(QStringLiteral("Update"), QStringLiteral("RE: S")),
            "No.\n\n-----Original Message-----\nFrom: Me <me@x.com>\nSent: 10.03.2025 09:00\n\nMine.\n",
            "jobs@acme.com", "RE: S", "No.", "Mine");
        row("attached forward",
            QStringLiteral("From: Me <me@example.com>\nSubject: Fwd\nDate: Sat, 08 Mar 2025 22:00:00 +0300\n"
                           "MIME-Version: 1.0\nContent-Type: multipart/mixed; boundary=m\n"),
            "--m\nContent-Type: text/plain\n\nSee attached.\n--m\nContent-Type: message/rfc822\n\nFrom: Stark "
            "<happy@stark.com>\nSubject: Next steps\nDate: Mon, 03 Mar 2025 05:42:00 -0800\n\nWe'd like to invite "
            "you.\n--m--\n",
            "happy@stark.com", "Next steps", "We'd like to invite you.", "See attached");
    }

    void mime()
    {
        QFETCH(QByteArray, bytes);
        const MailReader::Item item = MailReader::readBytes(bytes, QStringLiteral("m.eml"));
        QVERIFY2(item.result, qPrintable(item.result ? QString() : item.result.error().description()));
        QTEST(item.result->senderAddress, "sender");
        QTEST(item.result->subject, "subject");
        QCOMPARE(item.result->date.value_or(QDateTime()), TestSupport::utc(2025, 3, 3, 13, 42));
        QFETCH(QString, contains);
        QFETCH(QString, lacks);
        QVERIFY2(item.result->text.contains(contains), qPrintable(item.result->text));
        QVERIFY(lacks.isEmpty() || !item.result->text.contains(lacks));
    }

    void mailbox()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("export.mbox"));
        QByteArray mailbox;
        for (int i = 1; i <= 3; ++i) {
            mailbox += QStringLiteral("From someone@example.com Mon Mar  3 10:00:00 2025\nFrom: A <a@acme.com>\n"
                                      "Subject: Message %1\nDate: Mon, 0%1 Mar 2025 10:00:00 +0000\n\n%2\n\n")
                           .arg(i)
                           .arg(i == 2 ? QString() : QStringLiteral(">From us: text %1").arg(i))
                           .toUtf8();
        }
        QVERIFY(TestSupport::writeFile(path, mailbox));
        const QList<MailReader::Item> items = MailReader::readFile(path);
        QCOMPARE(items.size(), 3);
        QCOMPARE(items[0].label, QStringLiteral("export.mbox#1"));
        QCOMPARE(items[0].result->subject, QStringLiteral("Message 1"));
        QCOMPARE(items[1].result.error().kind(), Kind::noText);
        QCOMPARE(items[2].label, QStringLiteral("export.mbox#3"));
        // A body's "From " line the mailbox escaped is the writer's line, not a quote.
        QCOMPARE(items[2].result->text.trimmed(), QStringLiteral("From us: text 3"));
        // Pasted text: a header block copied from a mail program's window, or none.
        const auto pasted = MailReader::readText(
            QStringLiteral(
                "Kimden: Mavi Kuş İK <ik@mavikus.com.tr>\nTarih: 4 Mart 2025 Salı 10:15\nKonu: Mülakat\n\nSizi "
                "davet ediyoruz."),
            QStringLiteral("Clipboard"));
        QCOMPARE(pasted.result->senderAddress, QStringLiteral("ik@mavikus.com.tr"));
        QCOMPARE(pasted.result->date, TestSupport::utc(2025, 3, 4, 7, 15));
        QCOMPARE(pasted.result->text, QStringLiteral("Sizi davet ediyoruz."));
        QVERIFY(!MailReader::readText(QStringLiteral("Just a body."), QStringLiteral("x")).result->date);
    }

    void dates_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDateTime>("moment");
        const QDateTime at = TestSupport::utc(2025, 3, 3, 7, 15);
        QTest::newRow("RFC") << "Mon, 3 Mar 2025 10:15:00 +0300" << at;
        QTest::newRow("Gmail, no zone: the carrier's") << "Mon, Mar 3, 2025 at 10:15 AM" << at;
        QTest::newRow("Gmail Turkish") << "3 Mar 2025 Pzt, 10:15" << at;
        QTest::newRow("Outlook") << "Monday, March 3, 2025 10:15 AM" << at;
        QTest::newRow("Outlook Turkish") << "3 Mart 2025 Pazartesi 10:15" << at;
        QTest::newRow("Apple Mail") << "3 March 2025 at 08:15:00 GMT+1" << at;
        QTest::newRow("afternoon") << "Mon, Mar 3, 2025 at 1:15 PM" << at.addSecs(3 * 3600);
        QTest::newRow("numeric") << "03.03.2025 10:15" << at;
        QTest::newRow("ISO, UTC") << "2025-03-03 07:15 UTC" << at;
        QTest::newRow("no year") << "Mon, Mar 3 at 10:15" << QDateTime();
    }

    void dates()
    {
        QFETCH(QString, text);
        QTEST(LooseDate::parse(text, 3 * 3600).value_or(QDateTime()), "moment");
    }

    void htmlText()
    {
        // Unclosed brackets, comments and hidden elements cost one pass.
        const auto result = HtmlText::toText(QStringLiteral("a < b <!-- x --> <b>bold</b><style>p{}</style>&amp; "
                                                            "&#x130;&bogus; <tr><td>1</td><td>2</td></tr><script>"));
        QVERIFY(result);
        QCOMPARE(result->text, QStringLiteral("a < b bold& İ&bogus;\n1 2"));
    }

    // Reads and matches the whole corpus; the reader never touches the network while at it.
    void corpus()
    {
        networkCalls = 0;
        const Corpus corpus = loadCorpus();
        QVERIFY(corpus.candidates.size() >= 15);
        QVERIFY(corpus.truth.size() >= 60);
        const MailMatcher matcher(corpus.candidates);
        int read = 0, made = 0, right = 0, due = 0, found = 0, fromOther = 0;
        QStringList wrong;
        const QStringList files = QDir(mailData + QStringLiteral("/messages")).entryList(QDir::Files, QDir::Name);
        for (const QString& file : files) {
            for (const MailReader::Item& item : MailReader::readFile(mailData + QStringLiteral("/messages/") + file)) {
                const QJsonObject want = corpus.truth.value(item.label).toObject();
                QVERIFY2(!want.isEmpty() && item.result, qPrintable(item.label));
                ++read;
                const MailMessage& mail = item.result.value();
                const MailReading reading = MailReading::of(mail);
                const MailMatch match = matcher.match(mail);
                const MailCandidate* application = match.key ? &corpus.candidates[*match.key] : nullptr;
                const MailProposal proposal = MailProposal::of(reading, application, mail.date);
                QCOMPARE(mail.date->toString(Qt::ISODate), want.value(QStringLiteral("date")).toString());
                const QString wantStatus = want.value(QStringLiteral("status")).toString();
                const QString wantMatch = want.value(QStringLiteral("match")).toString().toLower();
                const bool isDue = !wantStatus.isEmpty() && !wantMatch.isEmpty();
                due += isDue;
                if (proposal.outcome != MailProposal::Outcome::change)
                    continue;
                ++made;
                const bool ok = rawValue(*proposal.to) == wantStatus
                    && corpus.entries[application->key].uuid.value_or(QUuid()).toString(QUuid::WithoutBraces)
                        == wantMatch;
                right += ok;
                found += ok && isDue;
                fromOther += want.value(QStringLiteral("kind")).toString() == u"other";
                if (!ok)
                    wrong.append(item.label);
            }
        }
        qInfo("corpus: %d proposals, %d right; %d due, %d found", made, right, due, found);
        QVERIFY2(right * 100 >= made * 95, qPrintable(wrong.join(u' ')));
        QVERIFY2(found * 100 >= due * 85, qPrintable(wrong.join(u' ')));
        QCOMPARE(fromOther, 0);
        QVERIFY(read >= 60);
        QCOMPARE(networkCalls.load(), 0);
        // The check itself: a lookup in this process is seen.
        addrinfo* lookedUp = nullptr;
        QCOMPARE(getaddrinfo("example.com", nullptr, nullptr, &lookedUp), EAI_FAIL);
        QCOMPARE(networkCalls.load(), 1);
    }

    void hostile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<Kind>("failure");
        QTest::newRow("50 MB message") << "large.eml" << Kind::tooLarge;
        QTest::newRow("50 MB message in a mailbox") << "large.mbox" << Kind::tooLarge;
        QTest::newRow("10,000 MIME parts") << "parts.eml" << Kind::tooManyParts;
        QTest::newRow("attached forwards 100 deep") << "attached.eml" << Kind::nestedTooDeep;
        QTest::newRow("inline forwards 100 deep") << "inline.eml" << Kind::nestedTooDeep;
        QTest::newRow("base64 that decodes to noise") << "noise.eml" << Kind::undecodable;
        QTest::newRow("UTF-16 labelled UTF-8") << "utf16.eml" << Kind::undecodable;
        QTest::newRow("zip bomb attachment") << "bomb.eml" << Kind::noText;
        QTest::newRow("HTML bomb, large") << "html-large.eml" << Kind::textTooLong;
        QTest::newRow("HTML bomb, deep") << "html-deep.eml" << Kind::noText;
    }

    void hostile()
    {
        QFETCH(QString, name);
        QTemporaryDir folder;
        const QString path = folder.filePath(name);
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            const QByteArray head = "From: Bad <bad@example.com>\r\nSubject: Hello\r\nDate: Mon, 03 Mar 2025 10:00:00 "
                                    "+0000\r\nMIME-Version: 1.0\r\n";
            if (name.startsWith(u"large")) {
                if (name.endsWith(u"mbox"))
                    file.write("From bad@example.com Mon Mar  3 10:00:00 2025\n");
                file.write(head + "Content-Type: text/plain\r\n\r\n");
                const QByteArray line = QByteArray(76, 'x') + "\r\n";
                file.write(line.repeated(50 * 1024 * 1024 / line.size() + 1));
            } else if (name == u"parts.eml") {
                file.write(head + "Content-Type: multipart/mixed; boundary=p\r\n\r\n");
                for (int i = 0; i < 10000; ++i)
                    file.write("--p\r\nContent-Type: text/plain\r\n\r\nPart " + QByteArray::number(i) + "\r\n");
                file.write("--p--\r\n");
            } else if (name == u"attached.eml") {
                QByteArray inner = "From: Deep <d@example.com>\r\nSubject: Innermost\r\n\r\nHello\r\n";
                for (int i = 0; i < 100; ++i)
                    inner = "From: F" + QByteArray::number(i)
                        + " <f@example.com>\r\nSubject: Fwd\r\nMIME-Version: 1.0\r\nContent-Type: "
                          "message/rfc822\r\n\r\n"
                        + inner;
                file.write(inner);
            } else if (name == u"inline.eml") {
                file.write(head + "Content-Type: text/plain\r\n\r\n"
                    + QByteArray("---------- Forwarded message ---------\r\nFrom: F <f@example.com>\r\nDate: Mon, "
                                 "Mar 3, 2025 at 4:12 PM\r\n\r\n")
                          .repeated(100)
                    + "Hello\r\n");
            } else if (name == u"noise.eml") {
                QByteArray noise(64 * 1024, Qt::Uninitialized);
                QRandomGenerator generator(42);
                for (char& c : noise)
                    c = char(generator.bounded(256));
                file.write(head + "Content-Type: text/plain; charset=utf-8\r\nContent-Transfer-Encoding: base64\r\n\r\n"
                    + noise.toBase64() + "\r\n");
            } else if (name == u"utf16.eml") {
                const QString text = QStringLiteral("Unfortunately we will not be moving forward.");
                file.write(head + "Content-Type: text/plain; charset=utf-8\r\nContent-Transfer-Encoding: base64\r\n\r\n"
                    + QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2).toBase64() + "\r\n");
            } else if (name == u"bomb.eml") {
                file.write(head
                    + "Content-Type: multipart/mixed; boundary=z\r\n\r\n--z\r\nContent-Type: application/zip; "
                      "name=invoice.zip\r\nContent-Transfer-Encoding: base64\r\n\r\n"
                    + zipBomb(qint64(1) << 30).toBase64() + "\r\n--z--\r\n");
            } else if (name == u"html-large.eml") {
                file.write(head + "Content-Type: text/html\r\n\r\n" + QByteArray("<div><span>").repeated(1000000));
            } else {
                file.write(head + "Content-Type: text/html\r\n\r\n" + QByteArray("<div>").repeated(300000));
            }
        }
        QVERIFY(TestSupport::resetPeakMemory());
        const qint64 before = TestSupport::residentMemory("VmRSS:");
        // Time enough for a loaded machine: running out of it is the deadline test's.
        const QList<MailReader::Item> items = MailReader::readFile(path, {.timePerMessage = std::chrono::seconds(30)});
        const qint64 peak = TestSupport::residentMemory("VmHWM:");
        QCOMPARE(items.size(), 1);
        QVERIFY(!items.front().result);
        QTEST(items.front().result.error().kind(), "failure");
        QVERIFY2(peak - before <= 100 * 1024 * 1024, qPrintable(QString::number((peak - before) >> 20)));
    }

    void deadline()
    {
        MailReader::Limits limits;
        limits.timePerMessage = std::chrono::milliseconds(0);
        const QByteArray html = QByteArray("<p>word</p>").repeated(200000);
        const auto item = MailReader::readBytes(
            "From: A <a@b.com>\r\nSubject: S\r\nContent-Type: text/html\r\n\r\n" + html, QStringLiteral("m"), limits);
        QCOMPARE(item.result.error().kind(), Kind::tooSlow);
    }

    // The worker gives what the reader gives in this process, field for field: files,
    // a mailbox, failures, and pasted text dated by the application's clock (July,
    // in a zone whose offset is not December's).
    void workerReadsAsTheReader_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("text");
        const QString messages = mailData + QStringLiteral("/messages/");
        for (const char* name : {"g08-ozturk-tasimama.eml", "h01-greenhouse-rejection-acme-frontend.eml",
                 "h02-lever-interview-globex-analytics.eml", "g21-newsletter-not-further.eml"})
            QTest::newRow(name) << messages + QLatin1String(name) << QString();
        QTest::newRow("mailbox") << QStringLiteral("export.mbox") << QString();
        QTest::newRow("not mail") << QStringLiteral("notes.eml") << QString();
        QTest::newRow("no such file") << QStringLiteral("missing.eml") << QString();
        QTest::newRow("pasted with headers")
            << QString()
            << QStringLiteral("Kimden: Mavi Kuş İK <ik@mavikus.com.tr>\nTarih: 4 Mart 2025 Salı 10:15\nKonu: "
                              "Mülakat\n\nSizi davet ediyoruz.");
        QTest::newRow("pasted mail") << QString()
                                     << QStringLiteral("From: A <a@acme.com>\nSubject: Hello\nDate: Mon, 03 Mar 2025 "
                                                       "10:00:00 +0000\n\nWe would like to talk.");
        QTest::newRow("pasted body") << QString() << QStringLiteral("Just a body, no date.");
        // Past the limit on text.
        QTest::newRow("pasted, too long") << QString() << QString(3 * 1024 * 1024, u'x');
    }

    void workerReadsAsTheReader()
    {
        QFETCH(QString, file);
        QFETCH(QString, text);
        TestSupport::useTimeZone("Europe/Berlin");
        Clock::setFixed(TestSupport::utc(2025, 7, 1, 12, 0));
        const auto restore = qScopeGuard([] {
            MailWorker::stopThisThreadsWorker();
            Clock::reset();
            TestSupport::useTimeZone("Europe/Istanbul");
        });
        QTemporaryDir folder;
        if (file == u"export.mbox") {
            QByteArray mailbox;
            for (int i = 1; i <= 3; ++i)
                mailbox += QStringLiteral("From someone@example.com Mon Mar  3 10:00:00 2025\nFrom: A <a@acme.com>\n"
                                          "Subject: Message %1\nDate: Mon, 0%1 Mar 2025 10:00:00 +0000\n\n%2\n\n")
                               .arg(i)
                               .arg(i == 2 ? QString() : QStringLiteral("Text %1").arg(i))
                               .toUtf8();
            file = folder.filePath(file);
            QVERIFY(TestSupport::writeFile(file, mailbox));
        } else if (file == u"notes.eml") {
            file = folder.filePath(file);
            QVERIFY(TestSupport::writeFile(file, QByteArray("\x89PNG\r\n\x1a\n").repeated(100)));
        } else if (file == u"missing.eml") {
            file = folder.filePath(file);
        }
        QStringList expected, read;
        if (text.isEmpty()) {
            for (const MailReader::Item& item : MailReader::readFile(file))
                expected << described(item);
            for (const MailReader::Item& item : MailWorker::readFile(file))
                read << described(item);
        } else {
            expected << described(MailReader::readText(text, QStringLiteral("Clipboard")));
            read << described(MailWorker::readText(text, QStringLiteral("Clipboard")));
        }
        QVERIFY(!expected.isEmpty());
        QCOMPARE(read, expected);
    }

    // A request reaches the worker through a pipe, in as many pieces as the writer
    // makes: all of it is read.
    void workerReadsARequestInPieces()
    {
        const QString text = QStringLiteral("From: A <a@acme.com>\nSubject: Long\n\n")
            + QStringLiteral("We would like to talk. ").repeated(4000);
        const QByteArray frame = MailWorker::framed(
            MailWorker::encodeRequest({TestSupport::utc(2025, 7, 1), true, QStringLiteral("Clipboard"), text}));
        QProcess worker;
        worker.start(MailWorker::defaultProgram(), {});
        QVERIFY(worker.waitForStarted());
        worker.write(frame.left(frame.size() / 2));
        QVERIFY(worker.waitForBytesWritten());
        QThread::msleep(300);
        worker.write(frame.mid(frame.size() / 2));
        worker.closeWriteChannel();
        QVERIFY(worker.waitForFinished());
        QCOMPARE(worker.exitCode(), 0);
        const QByteArray answer = worker.readAllStandardOutput();
        const auto items = MailWorker::decodeAnswer(answer.mid(4));
        QVERIFY(items.has_value());
        QCOMPARE(items->size(), 1);
        QCOMPARE(described(items->front()), described(MailReader::readText(text, QStringLiteral("Clipboard"))));
    }

    // One worker reads every input of an import; one that went away between inputs is
    // started again, and a stopped one is not used any more.
    void workerKeptBetweenInputs()
    {
        QTemporaryDir folder;
        const QString log = folder.filePath(QStringLiteral("started"));
        MailWorker::Options options;
        options.program = fakeWorker(folder,
            "echo $$ >> '" + QFile::encodeName(log) + "'\nexec '" + QFile::encodeName(MailWorker::defaultProgram())
                + "'");
        QVERIFY(!options.program.isEmpty());
        const QString file = mailData + QStringLiteral("/messages/g08-ozturk-tasimama.eml");
        const auto started
            = [&] { return QString::fromLatin1(TestSupport::readFile(log)).split(u'\n', Qt::SkipEmptyParts); };
        QVERIFY(MailWorker::readFile(file, options).front().result);
        QVERIFY(MailWorker::readText(QStringLiteral("Hello there."), QStringLiteral("Clipboard"), options).result);
        QCOMPARE(started().size(), 1);
        QCOMPARE(::kill(started().front().toInt(), SIGKILL), 0);
        QVERIFY(MailWorker::readFile(file, options).front().result);
        QCOMPARE(started().size(), 2);
        MailWorker::stopThisThreadsWorker();
        QVERIFY(MailWorker::readFile(file, options).front().result);
        QCOMPARE(started().size(), 3);
        MailWorker::stopThisThreadsWorker();
    }

    // A worker that is missing, crashes, answers nothing readable or half an answer,
    // or runs past its deadline: one failure line for the input, soon.
    void workerFailures_data()
    {
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<Kind>("failure");
        // Only the rows that hang wait for the deadline; the others end or answer at once,
        // and a loaded machine must not make them look hung.
        QTest::addColumn<int>("deadline");
        // Workers started for one input: one found gone before it answered anything is
        // started once more.
        QTest::addColumn<int>("starts");
        QTest::newRow("missing") << QByteArray() << Kind::readerFailed << 30000 << 0;
        QTest::newRow("fails") << QByteArray("exit 1") << Kind::readerFailed << 30000 << 2;
        QTest::newRow("ends at once") << QByteArray("exit 0") << Kind::readerFailed << 30000 << 2;
        QTest::newRow("crashes") << QByteArray("kill -SEGV $$") << Kind::readerFailed << 30000 << 2;
        QTest::newRow("answers nonsense")
            << QByteArray("echo hello; exec sleep 60") << Kind::readerFailed << 30000 << 1;
        QTest::newRow("announces too much")
            << QByteArray("printf '\\177\\377\\377\\377'; exec sleep 60") << Kind::readerFailed << 30000 << 1;
        QTest::newRow("answers its length") << QByteArray("head -c 4 answer") << Kind::readerFailed << 30000 << 1;
        QTest::newRow("answers half") << QByteArray("head -c 20 answer") << Kind::readerFailed << 30000 << 1;
        QTest::newRow("answers half, then hangs")
            << QByteArray("head -c 20 answer; exec sleep 60") << Kind::tooSlow << 500 << 1;
        QTest::newRow("hangs") << QByteArray("exec sleep 60") << Kind::tooSlow << 500 << 1;
    }

    void workerFailures()
    {
        QFETCH(QByteArray, script);
        QFETCH(int, deadline);
        QTemporaryDir folder;
        // A well-formed answer, for the worker that gives part of one.
        QVERIFY(TestSupport::writeFile(folder.filePath(QStringLiteral("answer")),
            MailWorker::framed(MailWorker::encodeAnswer(
                {{QStringLiteral("offer.eml"), message(QStringLiteral("Offer"), QStringLiteral("Hi"))}}))));
        MailWorker::Options options;
        options.program = script.isEmpty()
            ? folder.filePath(QStringLiteral("no-such-worker"))
            : fakeWorker(folder, "cd '" + QFile::encodeName(folder.path()) + "'\necho >> started\n" + script);
        QVERIFY(!options.program.isEmpty());
        options.deadline = std::chrono::milliseconds(deadline);
        options.maximumAnswerBytes = 64 * 1024;
        QElapsedTimer clock;
        clock.start();
        const QList<MailReader::Item> items = MailWorker::readFile(QStringLiteral("/some/where/offer.eml"), options);
        QCOMPARE(items.size(), 1);
        QCOMPARE(items.front().label, QStringLiteral("offer.eml"));
        QVERIFY(!items.front().result);
        QTEST(items.front().result.error().kind(), "failure");
        const MailReader::Item pasted
            = MailWorker::readText(QStringLiteral("Hello"), QStringLiteral("Clipboard"), options);
        QCOMPARE(pasted.label, QStringLiteral("Clipboard"));
        QTEST(pasted.result.error().kind(), "failure");
        MailWorker::stopThisThreadsWorker();
        QFETCH(int, starts);
        QCOMPARE(TestSupport::readFile(folder.filePath(QStringLiteral("started"))).count('\n'), 2 * starts);
        // Far under the sleepers' minute even on a loaded machine.
        QVERIFY2(clock.elapsed() < 50000, qPrintable(QString::number(clock.elapsed())));
    }

    // What passes between the two is read back whole or not at all.
    void workerMessagesWholeOrNothing()
    {
        MailMessage dated
            = message(QStringLiteral("Offer"), QStringLiteral("Welcome aboard."), QStringLiteral("a@b.com"));
        dated.date = TestSupport::utc(2025, 3, 4, 7, 15);
        dated.links = {QStringLiteral("https://b.com/x")};
        const QList<MailReader::Item> items {
            {QStringLiteral("a.mbox#1"), dated}, {QStringLiteral("a.mbox#2"), MailReadError(Kind::noText)}};
        const QByteArray answer = MailWorker::encodeAnswer(items);
        const auto back = MailWorker::decodeAnswer(answer);
        QVERIFY(back.has_value());
        QCOMPARE(back->size(), 2);
        QCOMPARE(described(back->at(0)), described(items[0]));
        QCOMPARE(described(back->at(1)), described(items[1]));
        for (qsizetype length = 0; length < answer.size(); ++length)
            QVERIFY2(!MailWorker::decodeAnswer(answer.left(length)), qPrintable(QString::number(length)));
        QVERIFY(!MailWorker::decodeAnswer(answer + '\0'));
        // A failure of no known kind.
        QByteArray unknown = MailWorker::encodeAnswer({{QStringLiteral("x"), MailReadError(Kind::readerFailed)}});
        unknown[unknown.size() - 1] = char(int(Kind::readerFailed) + 1);
        QVERIFY(!MailWorker::decodeAnswer(unknown));

        const MailWorker::Request request {
            TestSupport::utc(2025, 7, 1), true, QStringLiteral("Clipboard"), QStringLiteral("Hi")};
        const QByteArray asked = MailWorker::encodeRequest(request);
        const auto read = MailWorker::decodeRequest(asked);
        QVERIFY(read.has_value());
        QCOMPARE(read->now, request.now);
        QCOMPARE(read->isText, true);
        QCOMPARE(read->label, request.label);
        QCOMPARE(read->pathOrText, request.pathOrText);
        for (qsizetype length = 0; length < asked.size(); ++length)
            QVERIFY2(!MailWorker::decodeRequest(asked.left(length)), qPrintable(QString::number(length)));
        // An answer is not a request.
        QVERIFY(!MailWorker::decodeRequest(answer));
    }

    void sessionReadsOffTheMainThread()
    {
        // The reading waits for the test's word, so the session must have handed it to
        // another thread to return at all; a hostile file and a good one follow.
        QSemaphore go;
        std::atomic<QThread*> readOn {nullptr};
        MailImportSession session(nullptr, [&](const QString& path) {
            readOn = QThread::currentThread();
            go.tryAcquire(1, 10000); // a reading on the test's own thread goes on after a while, to be seen
            return MailReader::readFile(path);
        });
        session.begin(loadCorpus().candidates);
        QTemporaryDir folder;
        const QString hostile = folder.filePath(QStringLiteral("parts.eml"));
        QVERIFY(TestSupport::writeFile(hostile,
            "From: A <a@b.com>\r\nSubject: S\r\nMIME-Version: 1.0\r\nContent-Type: multipart/mixed; boundary=p\r\n\r\n"
                + QByteArray("--p\r\nContent-Type: text/plain\r\n\r\nx\r\n").repeated(10000)));
        session.processFiles(
            {hostile, mailData + QStringLiteral("/messages/t01-greenhouse-rejection-acme-backend.eml")});
        QVERIFY(session.isProcessing());
        QTRY_VERIFY(readOn.load() != nullptr);
        QVERIFY(readOn.load() != QThread::currentThread());
        go.release(2);
        QTRY_VERIFY_WITH_TIMEOUT(!session.isProcessing(), 20000);
        QCOMPARE(
            session.failures(), QStringList {QStringLiteral("parts.eml: This message has too many parts to read.")});
        QCOMPARE(session.updates().size(), 1);
        QVERIFY(session.updates().front()->include());
        QCOMPARE(session.chosenChanges().front().date, TestSupport::utc(2025, 3, 3, 13, 42, 10));
        // The next import starts clean.
        session.begin(loadCorpus().candidates);
        QVERIFY(session.failures().isEmpty() && session.updates().isEmpty());
    }

    // Pasted mail is read by the worker, one for the import, which ends when every
    // input is read.
    void sessionEndsItsWorker()
    {
        const auto workers = [] {
            int count = 0;
            for (const QString& task :
                QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
                const QByteArray children
                    = TestSupport::readFile(QStringLiteral("/proc/self/task/%1/children").arg(task));
                for (const QByteArray& child : children.split(' ')) {
                    if (!child.trimmed().isEmpty()
                        && TestSupport::readFile(
                            QStringLiteral("/proc/%1/comm").arg(QString::fromLatin1(child.trimmed())))
                               .startsWith("applywright-mai"))
                        ++count;
                }
            }
            return count;
        };
        MailImportSession session;
        session.begin(loadCorpus().candidates);
        for (const char* company : {"acme", "globex"})
            session.processText(QStringLiteral("From: HR <hr@%1.com>\nSubject: Your application\n\nUnfortunately we "
                                               "will not be moving forward with your application.")
                                    .arg(QLatin1String(company)),
                MailImportSession::clipboardLabel());
        QTRY_VERIFY_WITH_TIMEOUT(!session.isProcessing(), 20000);
        QCOMPARE(session.updates().size() + session.failures().size(), 2);
        QVERIFY(session.failures().isEmpty());
        QTRY_COMPARE(workers(), 0);
    }
};

QTEST_GUILESS_MAIN(TestMail)
#include "tst_mail.moc"
