#include "mail/MailGrammar.h"

#include <QRegularExpression>

#include <initializer_list>

namespace MailGrammar {
namespace {

using MailVocabulary::Cue;
using MailVocabulary::Span;

// The pieces the shapes are built of, on folded text (lower case, Turkish letters
// in their ASCII spellings, one space between words).

// English negation, before the verb it negates ("won't be moving", "unable to
// progress", "decided not to take").
constexpr auto englishNo = R"((?:\bnot\b|n't\b|\bno longer\b|\bunable to\b|\bdecided against\b|\bcannot\b))";
constexpr auto englishOnward = R"((?:mov(?:e|ed|ing)|proceed(?:ed|ing)?|progress(?:ed|ing)?|advanc(?:e|ed|ing))"
                               R"(|continu(?:e|ed|ing)|tak(?:e|en|ing)|pursu(?:e|ed|ing)|consider(?:ed|ing)?)"
                               R"(|go(?:ing)?|carry(?:ing)?|invit(?:e|ed|ing)|shortlist(?:ed|ing)?|select(?:ed|ing)?))";
// Choosing someone: "went with", "offered the role to", "hired".
constexpr auto choosing
    = R"(\b(?:mov|proceed|continu|go|went|gone|progress|advanc|pursu|select|chose|hire|hiring|offer|extend)\w*)";
constexpr auto roleGone = R"(\b(?:role|position|job|post|opportunity|offer) (?:has |had |was )?)"
                          R"((?:gone|went|been given|been offered|been filled by|given) (?:to |by )?)"
                          R"((?:someone|another|a different|an? (?:internal|external|other)))";
constexpr auto englishYours = R"(your (?:application|applications|candidacy|candidature|profile|submission|cv|resume))";
// Turkish verbs of going on with someone, and the negative they take: -me/-ma and
// -eme/-ama (could not) in the present, future, past and reported past, with or
// without the passive ("ilerletilmeyecek"); "-memiz" (our going on) is no negative.
constexpr auto turkishOnward
    = R"(\b(?:ilerle|ilerlet|devam e[dt]|devam ettir|surdur|yurut|degerlendir|davet e[dt])"
      R"(|(?:asamaya|adima|surece) (?:tasi|gec|al)|cagir|teklif sun|yer ver|calis|dahil e[dt]|(?:degerlendirmeye|dikkate|ise) al))";
constexpr auto turkishNot = R"((?:[iu][ln])?(?:y?[ea])?(?:m[iu]yor|m[ea]y[ea]c|m[ea]d[iu]|m[ea]z|m[ea]m(?![iu]z)))";
// Second person: "siz", "sizinle", the -(n)ız endings ("başvurunuzu", "profilinizle").
constexpr auto turkishYou
    = R"(\b(?:siz|sizi|size|sizinle|sizin|sen|seni|sana|seninle|senin|basvurun\w*|adayligin\w*)\b)"
      R"(|\w(?:[iu]n[iu]z|n[iu]z)(?:[iu]|[ea]|l[ea]|[iu]n|d[ea]n?)?\b)";

QRegularExpression compiled(std::initializer_list<const char*> pieces)
{
    QString pattern;
    for (const char* piece : pieces)
        pattern += QString::fromLatin1(piece);
    QRegularExpression expression(pattern, QRegularExpression::UseUnicodePropertiesOption);
    expression.optimize();
    return expression;
}

// A refusal aimed at the reader.
const QList<QRegularExpression>& aimedRefusals()
{
    static const QList<QRegularExpression> shapes {
        // "we won't be continuing with your candidacy", "decided not to take your
        // candidacy further", "not able to progress you".
        compiled({englishNo, R"((?: \S+){0,4}? )", englishOnward, R"((?: \S+){0,5}? )", englishYours, R"(\b)"}),
        compiled({englishNo, R"((?: \S+){0,4}? )", englishOnward,
            R"((?: (?:forward|ahead|further|on))?(?: with)? you\b(?!'))"}),
        // "your application will not be progressed".
        compiled({R"(\b)", englishYours,
            R"(\b(?: \S+){0,5}? (?:will|would|has|have|is|was|were|can|could|does|did|wo|ca)(?: not|n't))",
            R"((?: \S+){0,2}? (?:progressed|taken|moved|considered|advanced|selected|shortlisted|proceed|progress|move|go|continue)\b)"}),
        // "we've decided not to fill this role", "…will not be filling it".
        compiled({englishNo, R"((?: \S+){0,3}? fill(?:ing)?(?: \S+){0,2}? )",
            R"((?:it|(?:this|the|that|our) (?:\S+ )?(?:role|position|opening|vacancy|job|requisition))\b)"}),
        // "we won't be able to offer you the Analytics Engineer role".
        compiled({englishNo, R"((?: \S+){0,4}? offer(?:ing)? you (?:the|a|an|this) (?:\S+ ){0,3}?)",
            R"((?:role|position|job|post|opportunity)\b)"}),
        // The reader as the one not chosen: "you were not among those selected", "you
        // haven't been shortlisted".
        compiled({R"(\byou(?:'re|'ve| are| were| have| had| will)(?: not|n't)(?: \S+){0,4}? )",
            R"((?:selected|successful|shortlisted|chosen|invited|progressed|progressing|moving|proceeding|advancing)\b)"}),
        // Another's fit over the reader's: "another applicant's experience was a closer fit".
        compiled({R"(\b(?:another|other) (?:candidate|applicant)\S*(?: (?!you\b|your\b)\S+){0,8}? )",
            R"((?:closer|better|stronger|more closely|more)\b)"}),
        // The role given to someone else: "the role has gone to someone with…".
        compiled({roleGone}),
        // A meeting not to be: "we will not be scheduling a technical interview".
        compiled({englishNo, R"((?: \S+){0,3}? (?:schedul|invit|arrang|book|offer|set)\w*(?: up)?)",
            R"((?: you)?(?: to| for)? (?:a|an|any|further|the next) (?:\S+ )?(?:interview|call|round|stage|screen)s?\b)"}),
        // Closing the reader's application: "we have to close your application", "your
        // candidacy has been declined", "closing all open applications, including yours".
        compiled(
            {R"(\b(?:clos(?:e|ing)|declin(?:e|ing)|reject(?:ing)?|archiv(?:e|ing)|withdraw(?:ing)?)(?: \S+){0,2}? )",
                englishYours, R"(\b)"}),
        compiled({R"(\b(?:clos|declin|reject|archiv|withdraw)\w*(?: \S+){0,3}? applications?,?)",
            R"((?: \S+){0,3}? (?:yours|including yours)\b)"}),
        // Turkish: "başvurunuzu bu aşamada sonlandırıyoruz".
        compiled(
            {R"(\b(?:basvurun|adayligin|surecin|sureci)\w*(?: \S+){0,3}? (?:sonlandir|kapat|reddet|iptal et|durdur)\w*)"}),
        compiled({R"(\b)", englishYours, R"(\b(?: \S+){0,4}? (?:has been|have been|was|were|is being|will be) )",
            R"((?:closed|archived|declined|rejected|withdrawn)\b)"}),
        // Going on with someone else: "decided to continue with another candidate",
        // "başka bir adayla yola devam etme kararı aldık".
        compiled({choosing, R"((?: (?!you\b|your\b)\S+){0,6}? )",
            R"((?:(?:another|other|a different|a stronger|a more \S+|one of the other) (?:\S+ )?)",
            R"((?:candidate|applicant|finalist|person)s?\b|someone (?:else|whose)\b))"}),
        compiled({R"(\b(?:baska|diger|farkli|daha uygun)(?: \S+){0,2}? aday\w*(?: \S+){0,3}? )",
            R"((?:devam|ilerle|tercih|sec|anlas|yola)\w*)"}),
    };
    return shapes;
}

// The reason "another candidate": someone chosen, named or not ("decided to go ahead
// with a candidate who already runs dbt", "offered the role to a candidate from
// inside the company").
const QList<QRegularExpression>& others()
{
    static const QList<QRegularExpression> shapes {
        compiled({choosing, R"((?: (?!you\b|your\b)\S+){0,6}? )",
            R"((?:another|other|a|an|one|a different|a stronger|a more \S+|one of the other|internal|external) (?:\S+ )?)",
            R"((?:candidate|applicant|finalist|person)s?\b)"}),
        compiled({roleGone}),
    };
    return shapes;
}

// The reason "experience": the reader's background falling short ("a scale well
// beyond what your background shows", "your experience does not match", "tecrübesi
// ile profiliniz örtüşmediğinden").
const QList<QRegularExpression>& shortfalls()
{
    static const QList<QRegularExpression> shapes {
        compiled({R"(\b(?:beyond|than|short of|below) (?:what )?your (?:\S+ )?)",
            R"((?:background|experience|profile|skills?|skill set|qualifications|cv|resume)\b)"}),
        compiled({R"(\byour (?:\S+ )?(?:background|experience|profile|skills?|skill set|qualifications)\b)",
            R"((?: \S+){0,5}? (?:is |are |does |did |do |was |were )?(?:not|n't))",
            R"((?: \S+){0,2}? (?:match|meet|align|fit|suit|enough|sufficient)\w*)"}),
        compiled({R"(\b(?:deneyim|tecrube|profil|yetkinlik|birikim|nitelik)\w*(?: \S+){0,5}? )",
            R"((?:ortus|uyus|esles|karsila|uy|yet)\w*?)", turkishNot}),
        compiled({R"(\b(?:deneyim|tecrube|profil|yetkinlik|birikim|nitelik)\w*(?: \S+){0,5}? )",
            R"((?:uygun|uyumlu|yeterli) (?:\S+ )?(?:degil|olmad|olmam)\w*)"}),
        // The reader's background lying elsewhere: "your background is mostly Python".
        compiled({R"(\byour (?:\S+ )?(?:background|experience|skills?|skill set|profile)\b (?:is|was|has been|lies) )",
            R"((?:mostly|mainly|primarily|largely|more)\b)"}),
    };
    return shapes;
}

// A refusal that names nobody: "we won't be moving forward at this time".
const QList<QRegularExpression>& englishRefusals()
{
    static const QList<QRegularExpression> shapes {
        compiled({englishNo, R"((?: \S+){0,4}? )", englishOnward,
            R"((?:(?: \S+){0,2}? (?:forward|ahead|further|on\b|with\b|to the next)|\s*(?:[.,;:!]|$))",
            R"(| at this| this time| for now))"}),
        // "we've decided to end the process here".
        compiled({R"(\b(?:end|ending|close|closing|conclude|concluding|stop|stopping)(?: \S+)? (?:the|this|our|your) )",
            R"((?:\S+ )?(?:process|candidacy|application)\b)"}),
        // "we're going to pass for now", "decided to go a different way".
        compiled({R"(\b(?:we|we're|we've|we'll|we'd|we are|we will|we have|i|i'm|i'll|i've|team)\b(?: \S+){0,4}? pass)",
            R"((?: for now| this time| at this time| on this occasion)?\s*(?:[.!]|$))"}),
        compiled({R"(\b(?:go|going|gone|went|take|taking|took|head|heading|move|moving)(?: in)? (?:a|another) )",
            R"((?:different|new|separate) (?:direction|way|route)\b)"}),
        // "decided it isn't the right match for this opening".
        compiled(
            {englishNo, R"((?: \S+){0,2}? (?:the right|a good|a strong|a|the best|quite the right) (?:fit|match)\b)"}),
    };
    return shapes;
}

// A Turkish refusal, aimed where its sentence speaks to the reader ("süreci sizinle
// bu aşamada sürdüremiyoruz"): the negative verb, "olumlu … sonuçlanmadı", "devam
// etmemiz mümkün değil".
const QList<QRegularExpression>& turkishRefusals()
{
    static const QList<QRegularExpression> shapes {
        compiled({turkishOnward, turkishNot}),
        compiled({R"(\bolumlu(?: \S+){0,3}? (?:\S{2,}?)", turkishNot, R"(|degil|olma[dm]|olama[dy]))"}),
        compiled(
            {R"(\b(?:devam|ilerle|surdur|degerlendir|calis)\w*(?: \S+){0,2}? (?:mumkun|imkan\w*) (?:degil|olma[dmy]|bulunma|kalma[dm]))"}),
        // "profilinizin … uyumlu olmadığına karar verdik", "uygun görülmemiştir".
        compiled({R"(\b(?:uygun|uyumlu|yeterli|olumlu|elverisli) (?:\S+ )?(?:degil|olmad|olmam|bulunmad|bulunmam)\w*)",
            R"(|\b(?:uygun|uyumlu|yeterli) (?:\S+ )?(?:goruleme|gorulme|degerlendirilme|degerlendirileme)[dm]\w*)"}),
    };
    return shapes;
}

const QList<QRegularExpression>& invitations()
{
    static const QList<QRegularExpression> shapes {
        // The writer wanting a meeting: "I'd love to set up an initial phone call",
        // "we would like to move you on to the technical round".
        compiled({R"((?:\b(?:we|i|we'd|i'd|we'll|i'll|let's|let us)\b(?: \S+){0,4}?)",
            R"(|\b(?:like|love|want|wish|happy|glad|keen|pleased|delighted|excited) to))",
            R"( (?:(?:set up|schedule|arrange|book|organi[sz]e|invite you|move you|advance you|bring you|progress you)",
            R"(|(?:have|hold|get|put) (?:a|an|some)|meet|speak|talk|chat)\b(?: \S+){0,6}? )",
            R"((?:call|chat|conversation|interview|meeting|session|round|stage|screen|screening|deep-dive|discussion)",
            R"(|onsite|on-site)\b|(?:meet|speak|talk|chat|get to know) (?:with )?you\b))"}),
        // "would like to see more of your work. Next up is a short home assignment".
        compiled({R"(\b(?:like|love|want) to see more of you|\bnext (?:up|step|steps|stage|round)\b(?: \S+){0,6}? )",
            R"((?:assignment|exercise|task|challenge|interview|call|chat|conversation|assessment|test)\b)"}),
        // An invitation on its way: "we'll send you a calendar invite", "takvimine bir
        // davet göndereceğiz".
        compiled(
            {R"(\b(?:send|sending|sent|share|sharing) (?:you )?(?:over )?(?:a |an )?(?:calendar |meeting |zoom |teams )?)",
                R"(invit(?:e|ation)\b|\b(?:davet|takvim)\w*(?: \S+){0,2}? (?:gonder|ilet|yolla|paylas)\w*)"}),
        // A time asked about: "Does 2pm work?", "Perşembe 14:00 uygun mu?".
        compiled({R"(^(?=.*(?:\b\d{1,2}(?::\d{2})? ?(?:am|pm)\b|\b\d{1,2}[:.]\d{2}\b|\b(?:monday|tuesday|wednesday)",
            R"(|thursday|friday|pazartesi|sali|carsamba|persembe|cuma|yarin)\b)).*?)",
            R"((?:\b(?:does|do|would|will|could|can)(?: \S+){0,4}? (?:work|suit)s?\b)",
            R"(|\b(?:uygun|musait) (?:mu|mi|musunuz|misiniz|musun|misin)\b))"}),
        // The reader moved on: "you've made it to the final stage".
        compiled(
            {R"(\byou(?:'ve| have)? (?:made it|moved|progressed|advanced|been invited|been selected|been shortlisted))",
                R"((?: \S+){0,3}? (?:to|for) the (?:next|final|second|third|technical|onsite) (?:\S+ )?)",
                R"((?:stage|round|step|interview)\b)"}),
        // The reader's meeting scheduled, confirmed or moved.
        compiled(
            {R"(\byour\b(?: \S+){0,6}? (?:interview|screen|screening|deep-dive|round|assessment|onsite|on-site)\b)",
                R"((?: \S+){0,10}? (?:has been|have been|is|was|is now|are now|will be))",
                R"( (?:moved|rescheduled|confirmed|scheduled|booked|set|changed|updated|arranged)\b)"}),
        // Turkish: the writer wanting to meet the reader ("sizi daha yakından tanımak
        // isteriz", "sizinle … bir vaka üzerinde çalışmak istiyoruz"), a day asked for.
        compiled({R"(\b(?:sizi|sizinle|seni|seninle)\b(?: \S+){0,12}? (?:tani|gorus|konus|bulus|calis)\w*)",
            R"((?: \S+){0,2}? (?:ister|istiyor)\w*)"}),
        compiled({R"(\b(?:size|sana) uygun (?:\S+ ){0,2}?(?:gun|saat|zaman|tarih)\w*)"}),
    };
    return shapes;
}

// The writer wanting the reader to join them: "we'd love for you to join Umbrella
// Labs as our Product Designer", "sizi … olarak aramızda görmekten mutluluk duyarız".
const QList<QRegularExpression>& welcomes()
{
    static const QList<QRegularExpression> shapes {
        compiled({R"(\b(?:love|like|want|happy|pleased|delighted|thrilled|excited)(?: \S+){0,2}? )",
            R"((?:for you to join|you to join|to have you join|to welcome you|to bring you on(?: board)?|to have you on board))",
            R"(\b(?: \S+){0,5}? as\b(?! (?:a |an |our )?(?:guest|speaker|member|attendee|volunteer|panelist|mentor)))"}),
        // "the QA Engineer job is yours".
        compiled({R"(\b(?:job|role|position|offer) is yours\b)"}),
        // The papers of a job: "your contract for the Embedded Firmware Engineer role".
        compiled({R"(\byour (?:\S+ )?(?:contract|agreement)\b(?: \S+){0,4}? (?:for|as) (?:the |our |a |an )?)",
            R"((?:\S+ ){0,3}?(?:role|position|job)\b|\bis sozlesme\w*|\bsozlesmeniz\w*)"}),
        // "seni ekibimizde görmek istiyoruz", not where it invites to a meeting.
        compiled({R"(^(?!.*\b(?:gorusme|mulakat|interview))(?:.*?)\b(?:sizi|seni)\b(?: \S+){0,6}? )",
            R"((?:aramizda|ekibimizde|ailemizde)\b(?: \S+)? (?:gormek|gormekten)\w*)"}),
        // "sizinle çalışmak istediğimizi bildirmekten mutluluk duyuyoruz".
        compiled({R"(\b(?:sizinle|seninle) (?:birlikte )?calis(?:mak|maya) (?:istedigimiz|karar)\w*)"}),
        compiled(
            {R"(\bsizi\b(?: \S+){0,6}? olarak (?:\S+ ){0,2}?(?:aramizda|ekibimizde|ekibimize|ailemizde|ailemize)\b)"}),
        compiled({R"(\b(?:aramiza|ekibimize|ailemize) katil(?:ma|mani)\w*)"}),
    };
    return shapes;
}

std::optional<Span> firstOf(const QList<QRegularExpression>& shapes, QStringView folded)
{
    for (const QRegularExpression& shape : shapes) {
        const QRegularExpressionMatch match = shape.match(folded);
        if (match.hasMatch())
            return Span {match.capturedStart(), match.capturedEnd()};
    }
    return std::nullopt;
}

bool isAimedAtTheReader(QStringView folded)
{
    static const QRegularExpression you(
        QString::fromLatin1(turkishYou), QRegularExpression::UseUnicodePropertiesOption);
    return you.match(folded).hasMatch();
}

std::optional<Span> refusal(QStringView folded, bool aimed)
{
    const auto unlessOwn = [folded](std::optional<Span> span) {
        return span && !isReadersOwnOrConditional(folded, span->start) ? span : std::nullopt;
    };
    if (const auto span = unlessOwn(firstOf(aimedRefusals(), folded)))
        return aimed ? span : std::nullopt;
    if (const auto span = unlessOwn(firstOf(turkishRefusals(), folded)))
        return isAimedAtTheReader(folded) == aimed ? span : std::nullopt;
    const auto span = unlessOwn(firstOf(englishRefusals(), folded));
    return aimed ? std::nullopt : span;
}

} // namespace

bool isReadersOwnOrConditional(QStringView folded, qsizetype start)
{
    static const QRegularExpression clauseOpening(
        QStringLiteral(R"(\b(?:if|unless|until|whether|although|though|despite|once)\b)"
                       R"(|\byou (?:do|did|don't|didn't|can|can't|cannot|should|may|might|must|need)\b ?$)"),
        QRegularExpression::UseUnicodePropertiesOption);
    // Turkish puts the condition on the verb, after the news: "başvurunuz olumsuz
    // sonuçlandıysa", "uygun görülürse".
    // "We can't consider your application until we receive…": a request, not news.
    static const QRegularExpression englishCondition(QStringLiteral(R"(\b(?:unless|until|without|before|once|if)\b)"),
        QRegularExpression::UseUnicodePropertiesOption);
    static const QRegularExpression turkishCondition(
        QStringLiteral(R"(\b\w{3,}(?:d[iu]ys[ae]|[aeiu]rs[ae]|m[ae]zs[ae]|ils[ae]|[aeiu]?s[ae]n[iu]z)\b)"),
        QRegularExpression::UseUnicodePropertiesOption);
    const QStringView stops = u".,;:!?";
    qsizetype from = start;
    while (from > 0 && !stops.contains(folded.at(from - 1)))
        --from;
    qsizetype to = start;
    while (to < folded.size() && !stops.contains(folded.at(to)))
        ++to;
    return clauseOpening.match(folded.sliced(from, start - from)).hasMatch()
        || turkishCondition.match(folded.sliced(start, to - start)).hasMatch()
        || englishCondition.match(folded.sliced(start, to - start)).hasMatch();
}

std::optional<Span> find(Cue cue, QStringView folded)
{
    switch (cue) {
    case Cue::rejection: return refusal(folded, true);
    case Cue::softRejection: return refusal(folded, false);
    case Cue::interview: return firstOf(invitations(), folded);
    case Cue::offer: return firstOf(welcomes(), folded);
    case Cue::otherCandidate: return firstOf(others(), folded);
    case Cue::experience: return firstOf(shortfalls(), folded);
    default: return std::nullopt;
    }
}

} // namespace MailGrammar
