#include "mail/MailReading.h"

#include "mail/MailGrammar.h"
#include "mail/MailVocabulary.h"
#include "posting/TextFolding.h"

#include <QList>
#include <QRegularExpression>

#include <array>

namespace {

using MailVocabulary::Cue;

// Recruiters' news comes early in a message and a newsletter's footer at its end:
// a long message is read by its head and its tail.
constexpr qsizetype headLength = 24 * 1024;
constexpr qsizetype tailLength = 4 * 1024;
constexpr qsizetype evidenceLength = 240;

struct Sentence {
    QString text;
    QString folded;
    // The folded text without quotations that do not speak to the reader: someone
    // else's words (a review site's "I received an offer after four rounds"). A job
    // board relays the employer's message to the reader in quotation marks, and that
    // stays.
    QString told;
    // What the writer says to the reader, every quotation blanked (a newsletter
    // citing "your application was not successful"); a question asks rather than
    // tells, so none of it is.
    QString spoken;
};

bool speaksToReader(QStringView folded)
{
    for (const MailVocabulary::Phrase& phrase : MailVocabulary::phrases(Cue::addressed)) {
        if (MailVocabulary::matches(phrase, folded))
            return true;
    }
    return false;
}

// Spaces for what stands between quotation marks (only where it does not speak to
// the reader, when `keepAddressed`), the length kept so that places in the text stay
// where they were. A quote may run over several sentences, not over a paragraph.
QString blankQuotes(QString folded, bool keepAddressed)
{
    constexpr qsizetype longestQuote = 600;
    qsizetype open = -1;
    QChar closing;
    for (qsizetype i = 0; i < folded.size(); ++i) {
        const QChar c = folded.at(i);
        if (open >= 0 && i - open > longestQuote)
            open = -1;
        if (open >= 0 && c == closing) {
            if (keepAddressed && speaksToReader(QStringView(folded).sliced(open, i - open))) {
                open = -1;
                continue;
            }
            for (qsizetype k = open; k <= i; ++k)
                folded[k] = u' ';
            open = -1;
        } else if (open < 0 && (c == u'"' || c == QChar(0x201C) || c == QChar(0x00AB))) {
            open = i;
            closing = c == u'"' ? c : c == QChar(0x201C) ? QChar(0x201D) : QChar(0x00BB);
        }
    }
    return folded;
}

// The text without what a reply quotes: the lines marked ">" and everything from
// the "On Sun, Feb 9, 2025, Deniz wrote:" line on. Those are the reader's own words
// or older mail.
QString withoutQuotedReply(const QString& text)
{
    static const QRegularExpression attribution(
        QStringLiteral(R"(^\s*(?:On\b.{0,160}\bwrote|.{0,160}\b(?:tarihinde|zamanında)\b.{0,120}\byazdı)\s*:\s*$)"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::UseUnicodePropertiesOption);
    QString kept;
    kept.reserve(text.size());
    for (QStringView line : QStringView(text).split(u'\n')) {
        if (line.trimmed().startsWith(u'>'))
            continue;
        if (line.size() < 300 && attribution.match(line).hasMatch())
            break;
        kept += line;
        kept += u'\n';
    }
    return kept;
}

// The subject, then the sentences of the text: lines of a paragraph joined (plain
// text mail is wrapped at 72 columns), paragraphs and sentences apart.
QList<Sentence> sentencesOf(const MailMessage& message)
{
    QString text = withoutQuotedReply(message.text);
    if (text.size() > headLength + tailLength)
        text = text.left(headLength) + u"\n\n" + text.right(tailLength);
    QList<Sentence> sentences;
    // The sentences of one paragraph, their quotes blanked together.
    const auto add = [&sentences](const QStringList& paragraph) {
        const qsizetype first = sentences.size();
        QString joined;
        for (const QString& piece : paragraph) {
            QString sentence = piece.simplified();
            if (sentence.isEmpty())
                continue;
            QString folded = TextFolding::normalize(QString(sentence).replace(QChar(0x2019), u'\''));
            joined += folded;
            joined += u'\n';
            sentences.append({std::move(sentence), std::move(folded), {}, {}});
        }
        const QString told = blankQuotes(joined, true);
        const QString unquoted = blankQuotes(joined, false);
        qsizetype at = 0;
        for (qsizetype i = first; i < sentences.size(); ++i) {
            Sentence& sentence = sentences[i];
            const qsizetype size = sentence.folded.size();
            sentence.told = told.sliced(at, size);
            sentence.spoken = sentence.text.endsWith(u'?') ? QString(size, u' ') : unquoted.sliced(at, size);
            at += size + 1;
        }
    };
    add({message.subject});
    static const QRegularExpression paragraphBreak(QStringLiteral(R"(\n[ \t]*\n)"));
    static const QRegularExpression sentenceEnd(QStringLiteral(R"((?<=[.!?])\s+)"));
    for (const QString& paragraph : text.split(paragraphBreak, Qt::SkipEmptyParts))
        add(paragraph.split(sentenceEnd, Qt::SkipEmptyParts));
    return sentences;
}

class Reader {
public:
    explicit Reader(const MailMessage& message)
        : m_sentences(sentencesOf(message))
    {
        for (const Sentence& sentence : std::as_const(m_sentences)) {
            m_all += sentence.folded;
            m_all += u'\n';
        }
    }

    // The first sentence that holds a phrase of `cue`, or -1. The kinds of news skip
    // sentences about what may happen: "if we decide not to move forward…".
    qsizetype first(Cue cue)
    {
        const bool factual
            = cue == Cue::rejection || cue == Cue::softRejection || cue == Cue::offer || cue == Cue::interview;
        // Mass mail tells of other people's applications ("recruiters decided not to
        // move forward with candidates who…"): news there must speak to the reader,
        // next to the news itself.
        const bool mustAddress = factual && m_bulk;
        qsizetype& cached = m_first[size_t(cue)];
        if (cached != notLooked)
            return cached;
        cached = -1;
        const auto counts = [&](qsizetype i, std::optional<MailVocabulary::Span> span) {
            return span
                && !(factual
                    && (sentenceHas(i, Cue::conditional)
                        || MailGrammar::isReadersOwnOrConditional(textOf(i, cue), span->start)))
                && (!mustAddress || addressesReader(m_sentences[i].spoken, *span))
                && !(factual && m_personalSender && !speaksOfTheReader(i));
        };
        for (const MailVocabulary::Phrase& phrase : MailVocabulary::phrases(cue)) {
            // Most phrases are not in a message at all: one look at the whole text first.
            if (!MailVocabulary::containsRun(m_all, phrase.runs.front()))
                continue;
            const qsizetype limit = cached < 0 ? m_sentences.size() : cached;
            for (qsizetype i = 0; i < limit; ++i) {
                if (counts(i, MailVocabulary::find(phrase, textOf(i, cue)))) {
                    cached = i;
                    break;
                }
            }
        }
        // Then the shapes of a sentence, for wordings no phrase holds.
        const qsizetype limit = cached < 0 ? m_sentences.size() : cached;
        for (qsizetype i = 0; i < limit; ++i) {
            if (counts(i, MailGrammar::find(cue, textOf(i, cue)))) {
                cached = i;
                break;
            }
        }
        return cached;
    }

    bool has(Cue cue) { return first(cue) >= 0; }

    // News from a free mail address, and any interview, counts where the mail speaks
    // of the reader's application somewhere, or the sentence itself speaks to the
    // reader: a recruiter's "the process is a call, then a technical interview" about
    // a new role invites nobody.
    bool speaksOfTheReader(qsizetype sentence) { return has(Cue::personal) || sentenceHas(sentence, Cue::addressed); }

    // Whether a word that speaks to the reader stands close to the news: "we will not
    // be moving forward with your application", not "…with candidates whose CV".
    static bool addressesReader(const QString& folded, MailVocabulary::Span span)
    {
        constexpr qsizetype before = 40;
        constexpr qsizetype after = 50;
        const qsizetype start = std::max<qsizetype>(0, span.start - before);
        const QStringView near = QStringView(folded).sliced(start, std::min(folded.size(), span.end + after) - start);
        for (const MailVocabulary::Phrase& phrase : MailVocabulary::phrases(Cue::addressed)) {
            if (MailVocabulary::matches(phrase, near))
                return true;
        }
        return false;
    }

    // Sent in bulk (a list's headers or a newsletter's words), or from a free mail
    // address (a friend's news: "I got an offer from Kuzey"). Set before news is read.
    void setBulk(bool bulk) { m_bulk = bulk; }
    void setPersonalSender(bool personal) { m_personalSender = personal; }

    bool sentenceHas(qsizetype index, Cue cue) const
    {
        if (index < 0 || index >= m_sentences.size())
            return false;
        for (const MailVocabulary::Phrase& phrase : MailVocabulary::phrases(cue)) {
            if (MailVocabulary::matches(phrase, textOf(index, cue)))
                return true;
        }
        return false;
    }

    // Whether the reader is spoken to or of is read from what the writer says to them,
    // news from the writer's own words; the rest from all the sentence holds.
    const QString& textOf(qsizetype index, Cue cue) const
    {
        const Sentence& sentence = m_sentences[index];
        switch (cue) {
        case Cue::personal:
        case Cue::addressed: return sentence.spoken;
        case Cue::rejection:
        case Cue::softRejection:
        case Cue::offer:
        case Cue::interview:
        case Cue::writersOwn: return sentence.told;
        default: return sentence.folded;
        }
    }

    QString evidence(qsizetype index) const
    {
        if (index < 0 || index >= m_sentences.size())
            return {};
        QString text = m_sentences[index].text;
        if (text.size() > evidenceLength)
            text = text.left(evidenceLength - 1).trimmed() + QChar(0x2026);
        return text;
    }

private:
    static constexpr qsizetype notLooked = -2;
    QList<Sentence> m_sentences;
    QString m_all;
    bool m_bulk = false;
    bool m_personalSender = false;
    std::array<qsizetype, size_t(Cue::otherCandidate) + 1> m_first = [] {
        std::array<qsizetype, size_t(Cue::otherCandidate) + 1> values {};
        values.fill(notLooked);
        return values;
    }();
};

QString domainOf(const QString& address)
{
    return address.section(u'@', 1).toLower();
}

// A sender at a free mail service: a friend, or a person writing for themselves.
bool fromPersonalAddress(const MailMessage& message)
{
    const QString domain = domainOf(message.senderAddress);
    if (domain.isEmpty())
        return false;
    // Only the last two labels matter for these services ("mail.yahoo.com" aside).
    return MailVocabulary::isPersonalMailDomain(domain)
        || MailVocabulary::isPersonalMailDomain(domain.section(u'.', -2));
}

void readReason(Reader& reader, MailReading& reading)
{
    static constexpr std::array<std::pair<Cue, RejectionReason>, 5> reasons {{
        {Cue::positionClosed, RejectionReason::positionClosed},
        {Cue::relocation, RejectionReason::relocation},
        {Cue::budget, RejectionReason::budget},
        {Cue::experience, RejectionReason::experience},
        {Cue::otherCandidate, RejectionReason::otherCandidate},
    }};
    for (const auto& [cue, reason] : reasons) {
        if (const qsizetype at = reader.first(cue); at >= 0) {
            reading.reason = reason;
            reading.reasonEvidence = reader.evidence(at);
            return;
        }
    }
}

// The role itself filled, closed or cancelled, told to someone who applied for it:
// "we've now filled the position". A sentence about the reader's application being on
// hold, or about what may happen, tells no such thing.
qsizetype roleClosed(Reader& reader)
{
    const qsizetype at = reader.first(Cue::positionClosed);
    return at >= 0 && reader.sentenceHas(at, Cue::job) && !reader.sentenceHas(at, Cue::personal)
            && !reader.sentenceHas(at, Cue::conditional)
        ? at
        : -1;
}

ApplicationStatus interviewStatus(Reader& reader, qsizetype evidence)
{
    // The invitation's own sentence and the subject say best what the meeting is;
    // the rest of the text decides only for a technical round.
    for (const qsizetype at : {evidence, qsizetype(0)}) {
        if (reader.sentenceHas(at, Cue::technical))
            return ApplicationStatus::techInterview;
        if (reader.sentenceHas(at, Cue::screening))
            return ApplicationStatus::hrInterview;
    }
    return reader.has(Cue::technical) ? ApplicationStatus::techInterview : ApplicationStatus::hrInterview;
}

} // namespace

QString rawValue(MailKind kind)
{
    switch (kind) {
    case MailKind::rejection: return QStringLiteral("rejection");
    case MailKind::interview: return QStringLiteral("interview");
    case MailKind::offer: return QStringLiteral("offer");
    case MailKind::received: return QStringLiteral("received");
    case MailKind::other: return QStringLiteral("other");
    }
    return {};
}

MailReading MailReading::of(const MailMessage& message)
{
    Reader reader(message);
    MailReading reading;

    const bool personal = reader.has(Cue::personal);
    // Mail about jobs that are not the reader's applications.
    const bool elsewhere = reader.has(Cue::jobAlert) || reader.has(Cue::profileView) || reader.has(Cue::outreach);
    const bool bulk = message.isBulk || reader.has(Cue::newsletter);
    reader.setBulk(bulk);
    reader.setPersonalSender(fromPersonalAddress(message));
    // Nothing changes on mail that does not speak of the reader's application, nor on
    // the writer's own news, nor on a customer's application for a card or a loan.
    if ((!personal && (elsewhere || bulk)) || reader.has(Cue::writersOwn)
        || (reader.has(Cue::customer) && !reader.has(Cue::job)))
        return reading;

    const auto decide = [&](MailKind kind, qsizetype at, bool clear) {
        reading.kind = kind;
        reading.evidence = reader.evidence(at);
        reading.isClear = clear && !elsewhere;
    };

    if (const qsizetype at = reader.first(Cue::rejection); at >= 0) {
        // A plain "no" from the employer is clear; in bulk mail it needs a second look.
        decide(MailKind::rejection, at, !bulk);
    } else if (const qsizetype soft = reader.first(Cue::softRejection); soft >= 0 && personal && !bulk) {
        decide(MailKind::rejection, soft, true);
    } else if (const qsizetype closed = roleClosed(reader); closed >= 0 && personal && !bulk) {
        decide(MailKind::rejection, closed, true);
    } else if (const qsizetype offer = reader.first(Cue::offer); offer >= 0) {
        decide(MailKind::offer, offer, !bulk);
    } else if (const qsizetype interview = reader.first(Cue::interview); interview >= 0) {
        // "Can we schedule a call?" from a friend's address is not an invitation, nor
        // is a colleague's call about a roadmap: a meeting is about a job, or with the
        // reader.
        if (!personal
            && (fromPersonalAddress(message)
                || !(reader.has(Cue::job) || reader.sentenceHas(interview, Cue::addressed))))
            return reading;
        decide(MailKind::interview, interview, (personal || !fromPersonalAddress(message)) && !bulk);
        reading.status = interviewStatus(reader, interview);
        return reading;
    } else if (const qsizetype received = reader.first(Cue::received); received >= 0) {
        decide(MailKind::received, received, personal);
        return reading;
    } else {
        return reading;
    }

    if (reading.kind == MailKind::rejection) {
        reading.status = ApplicationStatus::rejected;
        readReason(reader, reading);
    } else {
        reading.status = ApplicationStatus::offer;
    }
    return reading;
}
