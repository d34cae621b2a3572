#include "posting/CompanyNames.h"

#include "posting/LinkDetector.h"
#include "posting/PostingVocabulary.h"
#include "posting/SuggestionText.h"
#include "posting/SuggestionVocabulary.h"
#include "posting/TextFolding.h"

#include <QHash>
#include <QLocale>
#include <QRegularExpression>

#include <algorithm>
#include <array>

namespace CompanyNames {
namespace {

// A name as descriptions write it: capitalised words ("Mavi Kuş Yazılım", "Acme
// Robotics"), an ampersand between them allowed. Captured as group 1.
QString namePattern()
{
    const QString word = QStringLiteral(R"(\p{Lu}[\p{L}\p{M}\p{N}\-]*)");
    return QStringLiteral("(") + word + QStringLiteral(R"((?:[ \t]+(?:)") + word + QStringLiteral(R"(|&))*))");
}

// The cues around a name, each with the name as group 1. English cues ignore case;
// the name itself must be capitalised. Turkish suffixes follow an apostrophe. Each
// pattern runs only where the text holds one of its cue words (normalised), or an
// apostrophe for the suffix patterns: most paragraphs need two or three of them.
struct SentencePattern {
    QRegularExpression pattern;
    QStringList cues;
};

const QStringList apostropheCue {QStringLiteral("'")};

const std::vector<SentencePattern>& sentencePatterns()
{
    static const std::vector<SentencePattern> patterns = [] {
        const QString name = namePattern();
        // A sentence may open with a quotation mark or a bracket (or a stray one
        // recognition adds).
        const QString start = QStringLiteral(R"((?:^|[.!?:;]\s+)["'‘“(]?)");
        const QString apostrophe = QStringLiteral("['\u2019]");
        const QStringList& apostrophes = apostropheCue;
        const std::vector<std::pair<QString, QStringList>> sources {
            // "At Fernhill, we build…", "Here at Fernhill we…"
            {start + QStringLiteral(R"((?i:at|here at)\s+)") + name + QStringLiteral(R"(\s*(?:,|\s+we\b))"),
                {QStringLiteral("at")}},
            // "Join Quillstone", "Join the Quillstone team"
            {QStringLiteral(R"(\b(?i:join(?:ing)?(?:\s+the)?)\s+)") + name,
                {QStringLiteral("join"), QStringLiteral("joining")}},
            {QStringLiteral(R"(\b(?i:life at|working at|work at|careers at|jobs at|why join|welcome to)\s+)") + name,
                {QStringLiteral("at"), QStringLiteral("join"), QStringLiteral("welcome")}},
            // "Founded in 2004, Umbrella Labs helps…", "Since 2012, …"
            {QStringLiteral(R"(\b(?i:founded in|since|established in)\s+\d{4},\s+)") + name + QStringLiteral(R"(\s)"),
                {QStringLiteral("founded"), QStringLiteral("since"), QStringLiteral("established")}},
            // "Nimbus Retail is growing fast", "Vandelay is on a mission…"
            {start + name
                    + QStringLiteral(R"(\s+(?i:is|was|has been|are)\s+(?i:growing|hiring|on a mission|a|an|the|one of|)"
                                     R"(founded|building|looking|proud|committed|dedicated|headquartered|based|)"
                                     R"(expanding|scaling|backed|trusted)\b)"),
                {QStringLiteral("is"), QStringLiteral("was"), QStringLiteral("been"), QStringLiteral("are")}},
            // "Hooli helps customers…", ", Umbrella Labs builds…"
            {QStringLiteral(R"((?:^|[.!?:;,]\s+))") + name
                    + QStringLiteral(R"(\s+(?i:helps|builds|makes|develops|provides|offers|creates|designs|powers|)"
                                     R"(connects|serves|delivers|operates|brings|enables|empowers|combines)\b)"),
                {QStringLiteral("helps"), QStringLiteral("builds"), QStringLiteral("makes"), QStringLiteral("develops"),
                    QStringLiteral("provides"), QStringLiteral("offers"), QStringLiteral("creates"),
                    QStringLiteral("designs"), QStringLiteral("powers"), QStringLiteral("connects"),
                    QStringLiteral("serves"), QStringLiteral("delivers"), QStringLiteral("operates"),
                    QStringLiteral("brings"), QStringLiteral("enables"), QStringLiteral("empowers"),
                    QStringLiteral("combines")}},
            // "Tidewell Medya'da, …", "… Tidewell Medya'da çalışmak"
            {start + name + apostrophe + QStringLiteral(R"((?:da|de|ta|te|nda|nde)\b)"), apostrophes},
            {name + apostrophe + QStringLiteral(R"((?:da|de|ta|te|nda|nde)\s+(?:çalış|kariyer|yer al|görev al))"),
                apostrophes},
            // "Mavi Kuş'a katıl", "Mavi Kuş'un ekibi"
            {name + apostrophe + QStringLiteral(R"((?:a|e|ya|ye|na|ne)\s+katıl)"), apostrophes},
            {name + apostrophe
                    + QStringLiteral(R"((?:ın|in|un|ün|nın|nin|nun|nün)\s+(?:ekib|ailesi|bir parçası|dünyası))"),
                apostrophes},
            // "Mavi Kuş Yazılım olarak…", "… ailesi olarak", "… bünyesinde"
            {name
                    + QStringLiteral(R"(\s+(?:ailesi olarak|ailesine|olarak|bünyesinde|bünyesindeki|çatısı altında|)"
                                     R"(ekibine katıl)\b)"),
                {QStringLiteral("olarak"), QStringLiteral("ailesine"), QStringLiteral("bunyesinde"),
                    QStringLiteral("bunyesindeki"), QStringLiteral("catisi"), QStringLiteral("ekibine")}},
            // "Northwind, 2009 yılından bu yana…", "… 2017 yılında kurulan"
            {name + QStringLiteral(R"(,\s+\d{4}\s+yıl(?:ından|ında))"),
                {QStringLiteral("yilindan"), QStringLiteral("yilinda")}},
            // "… şirketlerinden biri olan Northwind, …"
            {QStringLiteral(R"(\b(?:biri|lideri|öncüsü|üyesi)\s+olan\s+)") + name + QStringLiteral(R"(\s*,)"),
                {QStringLiteral("olan")}},
        };
        std::vector<SentencePattern> compiled;
        for (const auto& [source, cues] : sources) {
            QRegularExpression re(source, QRegularExpression::UseUnicodePropertiesOption);
            re.optimize();
            compiled.push_back({std::move(re), cues});
        }
        return compiled;
    }();
    return patterns;
}

// Which patterns `prose` gives a reason to run, as bits in pattern order.
quint32 cuedPatterns(QStringView prose)
{
    static const QHash<QString, quint32> patternsOfCue = [] {
        QHash<QString, quint32> cues;
        const std::vector<SentencePattern>& patterns = sentencePatterns();
        for (std::size_t i = 0; i < patterns.size(); ++i) {
            for (const QString& cue : patterns[i].cues)
                cues[cue] |= 1u << i;
        }
        return cues;
    }();
    quint32 cued = 0;
    if (prose.contains(u'\'') || prose.contains(u'\u2019'))
        cued |= patternsOfCue.value(apostropheCue.front());
    const QString normalized = TextFolding::normalize(prose);
    TextFolding::forEachWord(normalized, [&](QStringView word, bool ascii) {
        if (ascii)
            cued |= patternsOfCue.value(QString::fromRawData(word.data(), word.size()));
    });
    return cued;
}

const QRegularExpression& legalFormPattern()
{
    static const QRegularExpression pattern = [] {
        QRegularExpression re(
            QStringLiteral(R"((?:^|\s)(?:A\.?\s?Ş\.?|Ltd\.?\s*Şti\.?|Ltd\.?|Limited|GmbH|GmbH & Co\.? KG|Inc\.?|LLC|)"
                           R"(L\.L\.C\.|Corp\.?|Corporation|S\.A\.?|SE|AG|KG|B\.V\.?|BV|N\.V\.?|NV|AS|ASA|AB|Oy|Oyj|)"
                           R"(plc|PLC|S\.p\.A\.|S\.r\.l\.|Sp\.\s?z\s?o\.o\.|Co\.|Pty\.? Ltd\.?|Pvt\.? Ltd\.?)\s*$)"),
            QRegularExpression::UseUnicodePropertiesOption);
        re.optimize();
        return re;
    }();
    return pattern;
}

// "San. ve Tic.", "Sanayi ve Ticaret", "Tic. Ltd." before the legal form itself.
const QRegularExpression& tradeWordsPattern()
{
    static const QRegularExpression pattern = [] {
        QRegularExpression re(QStringLiteral(R"((?:^|\s)(?:San(?:ayi|\.)?\s*(?:ve\s*)?Tic(?:aret|\.)?|Tic(?:aret|\.)?|)"
                                             R"(San(?:ayi|\.)?|ve|Şirketi|Anonim|Limited)\s*$)"),
            QRegularExpression::UseUnicodePropertiesOption | QRegularExpression::CaseInsensitiveOption);
        re.optimize();
        return re;
    }();
    return pattern;
}

bool allWordsAre(const QStringList& words, PostingVocabulary::WordKind kind)
{
    for (const QString& word : words) {
        if (!(PostingVocabulary::kindsOf(word) & kind))
            return false;
    }
    return !words.isEmpty();
}

// The words of a found name that can stand for an employer, or an empty string:
// leading sentence words go ("Biz Mavi Kuş" → "Mavi Kuş"); a role ("Machine Learning
// Engineer olarak"), a place ("İstanbul'da") or a board is no employer.
QString cleanName(QString name)
{
    QStringList words = name.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    while (!words.isEmpty()
        && (SuggestionVocabulary::isLeadingStopWord(TextFolding::normalize(words.front()))
            || words.front() == QLatin1String("&")))
        words.removeFirst();
    while (!words.isEmpty() && words.back() == QLatin1String("&"))
        words.removeLast();
    if (words.isEmpty() || words.size() > 6)
        return {};
    QStringList folded;
    for (const QString& word : std::as_const(words)) {
        const QString n = TextFolding::normalize(word);
        if (SuggestionVocabulary::isRoleWord(n) || SuggestionVocabulary::isBoardName(n)
            || (PostingVocabulary::kindsOf(n) & PostingVocabulary::metadataWord))
            return {};
        folded.append(n);
    }
    if (allWordsAre(folded, PostingVocabulary::locationWord))
        return {};
    const QString joined = words.join(QLatin1Char(' '));
    if (TextFolding::characterCount(joined) < 2 || SuggestionVocabulary::isDepartment(folded.join(u' ')))
        return {};
    // "Us" of "Join Us", "Premium" of "Try Premium": short words in capitals are
    // rarely a name a description introduces.
    if (folded.size() == 1 && folded.front() == u"us")
        return {};
    return joined;
}

bool isHostedJobSite(const QString& host, const char* domain)
{
    const QString suffix = QLatin1Char('.') + QLatin1String(domain);
    return host.endsWith(suffix) || host == QLatin1String(domain);
}

QString firstPathSegment(const QUrl& url)
{
    return url.path().section(QLatin1Char('/'), 0, 0, QString::SectionSkipEmpty);
}

bool isUsableLabel(const QString& label)
{
    if (label.size() < 3)
        return false;
    bool hasLetter = false;
    for (QChar c : label)
        hasLetter |= c.isLetter();
    return hasLetter && !SuggestionVocabulary::isBoardName(label);
}

} // namespace

QList<Mention> mentionsIn(QStringView prose)
{
    QList<Mention> mentions;
    const quint32 cued = cuedPatterns(prose);
    const std::vector<SentencePattern>& patterns = sentencePatterns();
    for (std::size_t i = 0; i < patterns.size(); ++i) {
        if (!(cued & (1u << i)))
            continue;
        QRegularExpressionMatchIterator matches = patterns[i].pattern.globalMatch(prose);
        while (matches.hasNext()) {
            const QRegularExpressionMatch match = matches.next();
            const QString name = cleanName(match.captured(1));
            if (name.isEmpty())
                continue;
            mentions.append({name, SuggestionText::sentenceAt(prose, match.capturedStart(1))});
        }
    }
    return mentions;
}

bool endsWithLegalForm(QStringView text)
{
    return legalFormPattern().match(text).hasMatch();
}

QString withoutLegalForm(QStringView name)
{
    QString rest = name.trimmed().toString();
    for (bool stripped = true; stripped;) {
        stripped = false;
        for (const QRegularExpression* pattern : {&legalFormPattern(), &tradeWordsPattern()}) {
            const QRegularExpressionMatch match = pattern->match(rest);
            // A name that is nothing but a legal form keeps it.
            if (match.hasMatch() && match.capturedStart() > 0) {
                rest.truncate(match.capturedStart());
                rest = rest.trimmed();
                while (rest.endsWith(u',') || rest.endsWith(u'-'))
                    rest = rest.chopped(1).trimmed();
                stripped = true;
            }
        }
    }
    return rest;
}

std::optional<QString> employerLabel(const QUrl& url, const LinkDetector& detector)
{
    const QString host = url.host().toLower();
    if (host.isEmpty())
        return std::nullopt;
    QString label;
    // Hosted job pages: the employer is the first label of the host…
    if (isHostedJobSite(host, "myworkdayjobs.com") || isHostedJobSite(host, "bamboohr.com")
        || isHostedJobSite(host, "recruitee.com") || isHostedJobSite(host, "teamtailor.com")
        || isHostedJobSite(host, "breezy.hr") || isHostedJobSite(host, "personio.de")
        || isHostedJobSite(host, "personio.com")) {
        label = host.section(QLatin1Char('.'), 0, 0);
    } else if (isHostedJobSite(host, "greenhouse.io") || isHostedJobSite(host, "lever.co")
        || isHostedJobSite(host, "ashbyhq.com") || isHostedJobSite(host, "smartrecruiters.com")
        || isHostedJobSite(host, "workable.com") || isHostedJobSite(host, "jobvite.com")) {
        // … or the first part of the path.
        label = firstPathSegment(url).toLower();
        if (label.isEmpty() && isHostedJobSite(host, "workable.com"))
            label = host.section(QLatin1Char('.'), 0, 0);
    } else {
        // A company's own career site: careers.acme.com, acme.com/careers/….
        const QString domain = detector.registrableDomain(host);
        if (domain.isEmpty())
            return std::nullopt;
        static const QStringList careerLabels {QStringLiteral("careers"), QStringLiteral("career"),
            QStringLiteral("jobs"), QStringLiteral("job"), QStringLiteral("kariyer"), QStringLiteral("ik"),
            QStringLiteral("apply"), QStringLiteral("join"), QStringLiteral("talent"), QStringLiteral("hiring"),
            QStringLiteral("work"), QStringLiteral("recruiting")};
        const QString firstLabel = host.section(QLatin1Char('.'), 0, 0);
        const QString firstSegment = firstPathSegment(url).toLower();
        const bool careerHost = host != domain && careerLabels.contains(firstLabel);
        const bool careerPath = careerLabels.contains(firstSegment) || firstSegment.startsWith(u"is-ilan");
        if (!careerHost && !careerPath)
            return std::nullopt;
        label = domain.section(QLatin1Char('.'), 0, 0);
    }
    if (!isUsableLabel(label))
        return std::nullopt;
    return label;
}

QString nameKey(QStringView name)
{
    const QString normalized = TextFolding::normalize(name);
    QString key;
    key.reserve(normalized.size());
    bool gap = false;
    for (QChar c : normalized) {
        if (c.isLetterOrNumber()) {
            if (gap && !key.isEmpty())
                key += u' ';
            key += c;
            gap = false;
        } else if (!c.isMark()) {
            gap = true;
        }
    }
    return key;
}

QString titleCased(const QString& name)
{
    bool hasLower = false;
    bool turkish = false;
    for (QChar c : name) {
        hasLower |= c.isLower();
        turkish |= c == QChar(0x0130) || c == QChar(0x015E) || c == QChar(0x011E) || c == QChar(0x0131);
    }
    if (hasLower)
        return name;
    const QLocale locale = turkish ? QLocale(QLocale::Turkish) : QLocale(QLocale::English);
    QStringList words = name.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (QString& word : words) {
        // Short words and legal forms stay in capitals: "AI", "A.Ş.", "SE".
        if (word.size() <= 2 || word.contains(QLatin1Char('.')) || endsWithLegalForm(word))
            continue;
        word = word.left(1) + locale.toLower(word.mid(1));
    }
    return words.join(QLatin1Char(' '));
}

} // namespace CompanyNames
