#include "posting/SuggestionVocabulary.h"

#include "posting/PostingVocabulary.h"
#include "posting/SuggestionText.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <array>

namespace SuggestionVocabulary {
namespace {

using enum PhraseMatch;

// What each board prints around a posting, in English and, where the board has
// one, in its Turkish interface. Phrases a second board shares weigh little.
constexpr std::array boardPhraseList {
    // LinkedIn: the top card, the hiring team, the premium nudges, the top bar.
    BoardPhrase {JobBoard::linkedIn, equals, u"easy apply", 1},
    BoardPhrase {JobBoard::linkedIn, equals, u"kolay basvuru", 3},
    BoardPhrase {JobBoard::linkedIn, equals, u"meet the hiring team", 3},
    BoardPhrase {JobBoard::linkedIn, equals, u"ise alim ekibiyle tanisin", 3},
    BoardPhrase {JobBoard::linkedIn, equals, u"job poster", 3},
    BoardPhrase {JobBoard::linkedIn, equals, u"about the job", 1},
    BoardPhrase {JobBoard::linkedIn, equals, u"is hakkinda", 1},
    BoardPhrase {JobBoard::linkedIn, equals, u"my network", 2},
    BoardPhrase {JobBoard::linkedIn, equals, u"agim", 2},
    BoardPhrase {JobBoard::linkedIn, startsWith, u"for business", 1},
    BoardPhrase {JobBoard::linkedIn, startsWith, u"isletmeler icin", 1},
    BoardPhrase {JobBoard::linkedIn, equals, u"people also viewed", 2},
    BoardPhrase {JobBoard::linkedIn, startsWith, u"diger kullanicilarin", 2},
    BoardPhrase {JobBoard::linkedIn, equals, u"similar jobs", 1},
    BoardPhrase {JobBoard::linkedIn, equals, u"benzer is ilanlari", 1},
    // Only LinkedIn counts the applicants in the posting's header.
    BoardPhrase {JobBoard::linkedIn, contains, u"applicants", 3},
    BoardPhrase {JobBoard::linkedIn, contains, u"basvuru sahibi", 3},
    BoardPhrase {JobBoard::linkedIn, contains, u"try premium", 3},
    BoardPhrase {JobBoard::linkedIn, contains, u"premium'u", 3},
    BoardPhrase {JobBoard::linkedIn, contains, u"connections work here", 3},
    BoardPhrase {JobBoard::linkedIn, contains, u"burada calisiyor", 2},
    BoardPhrase {JobBoard::linkedIn, contains, u"promoted by hirer", 3},
    BoardPhrase {JobBoard::linkedIn, contains, u"actively reviewing applicants", 2},
    BoardPhrase {JobBoard::linkedIn, contains, u"tarafindan one cikarildi", 3},
    BoardPhrase {JobBoard::linkedIn, contains, u"aktif olarak inceliyor", 2},
    // Workday-hosted career sites: the labelled fields of the job header.
    BoardPhrase {JobBoard::workday, equals, u"job requisition id", 3},
    BoardPhrase {JobBoard::workday, equals, u"time type", 2},
    BoardPhrase {JobBoard::workday, equals, u"remote type", 2},
    BoardPhrase {JobBoard::workday, equals, u"posted on", 1},
    BoardPhrase {JobBoard::workday, equals, u"locations", 1},
    BoardPhrase {JobBoard::workday, equals, u"search for jobs", 1},
    // "Posted 30+ Days Ago" under the title, the requisition number ("R-156805") below it.
    BoardPhrase {JobBoard::workday, shape, u"posted # days ago", 2},
    BoardPhrase {JobBoard::workday, equals, u"posted today", 2},
    BoardPhrase {JobBoard::workday, equals, u"posted yesterday", 2},
    BoardPhrase {JobBoard::workday, shape, u"r#", 1},
    BoardPhrase {JobBoard::workday, shape, u"r-#", 1},
    BoardPhrase {JobBoard::workday, shape, u"jr#", 1},
    BoardPhrase {JobBoard::workday, shape, u"req-#", 1},
    BoardPhrase {JobBoard::workday, equals, u"job family", 2},
    BoardPhrase {JobBoard::workday, contains, u"workday", 3},
    // Kariyer.net: the posting's tabs, its counters and the site's top bar.
    BoardPhrase {JobBoard::kariyerNet, equals, u"ilan hakkinda", 2},
    BoardPhrase {JobBoard::kariyerNet, equals, u"genel nitelikler ve is tanimi", 3},
    BoardPhrase {JobBoard::kariyerNet, equals, u"ilk basvuranlardan olun", 3},
    BoardPhrase {JobBoard::kariyerNet, equals, u"kariyer rehberi", 3},
    BoardPhrase {JobBoard::kariyerNet, equals, u"firma hakkinda", 1},
    BoardPhrase {JobBoard::kariyerNet, equals, u"yorumlar", 1},
    BoardPhrase {JobBoard::kariyerNet, equals, u"uye ol", 1},
    BoardPhrase {JobBoard::kariyerNet, equals, u"maaslar", 1},
    BoardPhrase {JobBoard::kariyerNet, startsWith, u"guncellendi", 2},
    BoardPhrase {JobBoard::kariyerNet, startsWith, u"yayinlanma", 2},
    BoardPhrase {JobBoard::kariyerNet, contains, u"kariyer.net", 3},
    // Indeed: its apply buttons, the job details box and the salary line.
    BoardPhrase {JobBoard::indeed, equals, u"apply on company site", 3},
    BoardPhrase {JobBoard::indeed, equals, u"sirket sitesinde basvur", 3},
    BoardPhrase {JobBoard::indeed, equals, u"apply now", 1},
    BoardPhrase {JobBoard::indeed, equals, u"job details", 1},
    BoardPhrase {JobBoard::indeed, equals, u"is ayrintilari", 2},
    BoardPhrase {JobBoard::indeed, equals, u"full job description", 2},
    BoardPhrase {JobBoard::indeed, equals, u"is taniminin tamami", 2},
    BoardPhrase {JobBoard::indeed, equals, u"pulled from the full job description", 3},
    BoardPhrase {JobBoard::indeed, equals, u"is taniminin tamamindan alinmistir", 3},
    BoardPhrase {JobBoard::indeed, contains, u"job details align with your profile", 3},
    BoardPhrase {JobBoard::indeed, contains, u"profilinizle nasil eslestigini", 3},
    BoardPhrase {JobBoard::indeed, equals, u"company reviews", 2},
    BoardPhrase {JobBoard::indeed, equals, u"find salaries", 2},
    BoardPhrase {JobBoard::indeed, contains, u"post job", 1},
    // Indeed writes the pay and the contract on one line: "£65,000 - £80,000 a year - Full-time".
    BoardPhrase {JobBoard::indeed, contains, u" a year - ", 3},
    BoardPhrase {JobBoard::indeed, contains, u" yillik - ", 3},
    // Glassdoor: its salary estimates and its apply button.
    BoardPhrase {JobBoard::glassdoor, contains, u"(employer provided)", 3},
    BoardPhrase {JobBoard::glassdoor, contains, u"(employer est.)", 3},
    BoardPhrase {JobBoard::glassdoor, contains, u"glassdoor est", 3},
    BoardPhrase {JobBoard::glassdoor, equals, u"apply on employer site", 3},
    BoardPhrase {JobBoard::glassdoor, equals, u"for employers", 1},
    BoardPhrase {JobBoard::glassdoor, equals, u"community", 1},
};

constexpr auto sectionHeadingList
    = std::to_array<QStringView>({u"about the job", u"job description", u"full job description", u"description",
        u"about the role", u"the role", u"overview", u"responsibilities", u"requirements", u"qualifications",
        u"what you'll do", u"what you will do", u"about you", u"your role", u"about the company", u"job details",
        u"meet the hiring team", u"is hakkinda", u"ilan hakkinda", u"genel nitelikler ve is tanimi", u"is tanimi",
        u"is taniminin tamami", u"is ayrintilari", u"sorumluluklar", u"aranan nitelikler", u"nitelikler",
        u"sirket hakkinda", u"firma hakkinda", u"ise alim ekibiyle tanisin", u"pozisyon hakkinda"});

// Nouns for what a person does, and the Turkish forms they take in a title
// ("Ürün Tasarımcısı", "Yazılım Geliştiricisi").
constexpr auto roleWordList = std::to_array<QStringView>({u"engineer", u"developer", u"programmer", u"architect",
    u"analyst", u"designer", u"manager", u"specialist", u"consultant", u"scientist", u"administrator", u"lead",
    u"intern", u"head", u"director", u"officer", u"coordinator", u"representative", u"executive", u"assistant",
    u"technician", u"writer", u"editor", u"recruiter", u"accountant", u"owner", u"tester", u"researcher", u"strategist",
    u"advisor", u"adviser", u"agent", u"operator", u"planner", u"marketer", u"associate", u"trainee", u"apprentice",
    u"devops", u"sre", u"muhendis", u"muhendisi", u"gelistirici", u"gelistiricisi", u"uzman", u"uzmani", u"danisman",
    u"danismani", u"mudur", u"muduru", u"mudduru", u"analist", u"analisti", u"tasarimci", u"tasarimcisi", u"stajyer",
    u"stajyeri", u"sorumlu", u"sorumlusu", u"mimar", u"mimari", u"yonetici", u"yoneticisi", u"lider", u"lideri",
    u"direktor", u"direktoru", u"koordinator", u"koordinatoru", u"temsilci", u"temsilcisi", u"asistan", u"asistani",
    u"teknisyen", u"teknisyeni", u"sef", u"sefi", u"programci", u"programcisi", u"editoru", u"muhasebeci",
    u"muhasebecisi", u"operatoru", u"yazari", u"arastirmaci", u"arastirmacisi", u"egitmen", u"egitmeni"});

constexpr auto departmentList
    = std::to_array<QStringView>({u"engineering", u"mobile", u"mobil", u"data", u"design", u"product", u"marketing",
        u"sales", u"operations", u"finance", u"security", u"research", u"support", u"people", u"legal", u"it",
        u"infrastructure", u"platform", u"customer success", u"hr", u"human resources", u"software development",
        u"technology", u"analytics", u"growth", u"muhendislik", u"tasarim", u"urun", u"satis", u"pazarlama", u"veri",
        u"operasyon", u"finans", u"guvenlik", u"arastirma", u"destek", u"insan kaynaklari", u"yazilim gelistirme",
        u"teknoloji", u"bilgi teknolojileri", u"yazilim", u"it services", u"musteri basarisi", u"altyapi"});

constexpr auto employmentTermList = std::to_array<QStringView>({u"full-time", u"full time", u"part-time", u"part time",
    u"contract", u"temporary", u"internship", u"freelance", u"permanent", u"tam zamanli", u"yari zamanli",
    u"sozlesmeli", u"staj", u"donemsel", u"gecici", u"entry level", u"mid-senior level", u"senior level", u"associate",
    u"director", u"executive", u"giris duzeyi", u"orta-kidemli duzey", u"kidemli duzey", u"uzman", u"direktor",
    u"yonetici", u"not applicable", u"full-time · entry level", u"new", u"yeni", u"promoted", u"reposted", u"viewed",
    u"goruntulendi", u"applied", u"basvuruldu", u"urgently hiring", u"acil", u"hiring"});

constexpr auto leadingStopWordList
    = std::to_array<QStringView>({u"the", u"this", u"that", u"these", u"those", u"our", u"we", u"you", u"your", u"it",
        u"its", u"their", u"they", u"he", u"she", u"a", u"an", u"every", u"each", u"all", u"as", u"in", u"on", u"at",
        u"for", u"with", u"if", u"when", u"while", u"why", u"how", u"what", u"who", u"join", u"about", u"since",
        u"founded", u"here", u"there", u"customers", u"teams", u"team", u"everyone", u"today", u"bu", u"biz", u"siz",
        u"bizim", u"ekibimiz", u"sirketimiz", u"her", u"tum", u"bir", u"sen", u"senin", u"ayrica", u"ve", u"ile"});

constexpr auto locationLabelList = std::to_array<QStringView>(
    {u"location", u"locations", u"konum", u"lokasyon", u"sehir", u"job location", u"is yeri", u"calisma yeri"});

constexpr auto workModelLabelList = std::to_array<QStringView>({u"remote type", u"workplace type", u"work model",
    u"work arrangement", u"calisma sekli", u"calisma modeli", u"is modeli", u"work type", u"location type"});

constexpr auto boardNameList = std::to_array<QStringView>(
    {u"linkedin", u"indeed", u"glassdoor", u"kariyer", u"kariyernet", u"workday", u"myworkdayjobs", u"greenhouse",
        u"lever", u"workable", u"bamboohr", u"recruitee", u"teamtailor", u"smartrecruiters"});

// Whole words or phrases.
constexpr auto postingPhraseList
    = std::to_array<QStringView>({u"apply now", u"easy apply", u"apply for this job", u"apply on company site",
        u"we are looking for", u"we're looking for", u"we are hiring", u"job description", u"job requisition id",
        u"employment type", u"seniority level", u"full-time", u"part-time", u"years of experience", u"nice to have",
        u"is ilani", u"is ilanlari", u"basvur", u"basvurun", u"hemen basvur", u"kolay basvuru", u"ariyoruz",
        u"tam zamanli", u"yari zamanli", u"aranan nitelikler", u"is tanimi", u"yil deneyim", u"calisma sekli"});

constexpr std::array workModelPhraseList {
    WorkModelPhrase {WorkModel::hybrid, u"hybrid"},
    WorkModelPhrase {WorkModel::hybrid, u"hibrit"},
    WorkModelPhrase {WorkModel::hybrid, u"office days per week"},
    WorkModelPhrase {WorkModel::hybrid, u"days a week in the office"},
    WorkModelPhrase {WorkModel::hybrid, u"days per week in the office"},
    WorkModelPhrase {WorkModel::hybrid, u"gun ofiste"},
    WorkModelPhrase {WorkModel::hybrid, u"haftada 2 gun"},
    WorkModelPhrase {WorkModel::hybrid, u"haftada 3 gun"},
    WorkModelPhrase {WorkModel::hybrid, u"haftada iki gun"},
    WorkModelPhrase {WorkModel::hybrid, u"haftada uc gun"},
    WorkModelPhrase {WorkModel::remote, u"fully remote"},
    WorkModelPhrase {WorkModel::remote, u"100% remote"},
    WorkModelPhrase {WorkModel::remote, u"remote role"},
    WorkModelPhrase {WorkModel::remote, u"remote position"},
    WorkModelPhrase {WorkModel::remote, u"remote-first"},
    WorkModelPhrase {WorkModel::remote, u"remote first"},
    WorkModelPhrase {WorkModel::remote, u"work from anywhere"},
    WorkModelPhrase {WorkModel::remote, u"work from home"},
    WorkModelPhrase {WorkModel::remote, u"remote"},
    WorkModelPhrase {WorkModel::remote, u"tamamen uzaktan"},
    WorkModelPhrase {WorkModel::remote, u"uzaktan"},
    WorkModelPhrase {WorkModel::remote, u"evden calisma"},
    WorkModelPhrase {WorkModel::onSite, u"office-based"},
    WorkModelPhrase {WorkModel::onSite, u"office based"},
    WorkModelPhrase {WorkModel::onSite, u"on-site"},
    WorkModelPhrase {WorkModel::onSite, u"on site"},
    WorkModelPhrase {WorkModel::onSite, u"onsite"},
    WorkModelPhrase {WorkModel::onSite, u"in person"},
    WorkModelPhrase {WorkModel::onSite, u"in the office every day"},
    WorkModelPhrase {WorkModel::onSite, u"is yerinde"},
    WorkModelPhrase {WorkModel::onSite, u"ofisten"},
    WorkModelPhrase {WorkModel::onSite, u"ofisimizde calis"},
};

// A set of words: every line of a page asks it about every one of its words, and
// the longest entry turns most of them away before they are hashed.
class WordSet {
public:
    template <std::size_t N> explicit WordSet(const std::array<QStringView, N>& words)
    {
        m_words.reserve(qsizetype(N));
        for (QStringView word : words) {
            m_words.insert(word);
            m_longest = std::max(m_longest, word.size());
        }
    }

    bool contains(QStringView word) const
    {
        return !word.isEmpty() && word.size() <= m_longest && m_words.contains(word);
    }

private:
    // The entries view the word lists, which live as long as the program.
    QSet<QStringView> m_words;
    qsizetype m_longest = 0;
};

} // namespace

std::span<const BoardPhrase> boardPhrases()
{
    return boardPhraseList;
}

namespace {

// The board phrases sorted by how they are matched, so a line costs one lookup for
// the whole-line phrases and one regular-expression pass before the others.
struct PhraseIndex {
    QHash<QString, QList<int>> equal;
    QList<int> leading;
    QList<int> contained;
    QList<int> shapes;

    PhraseIndex()
    {
        for (int i = 0; i < int(boardPhraseList.size()); ++i) {
            const BoardPhrase& phrase = boardPhraseList[size_t(i)];
            switch (phrase.match) {
            case PhraseMatch::equals: equal[phrase.phrase.toString()].append(i); break;
            case PhraseMatch::startsWith: leading.append(i); break;
            case PhraseMatch::contains: contained.append(i); break;
            case PhraseMatch::shape: shapes.append(i); break;
            }
        }
    }
};

const PhraseIndex& phraseIndex()
{
    static const PhraseIndex index;
    return index;
}

// Plain substring test for short lines: Qt's general search prepares for long texts,
// which costs more than the whole scan of a line.
bool containsPhrase(QStringView text, QStringView phrase)
{
    const qsizetype last = text.size() - phrase.size();
    const char16_t first = phrase.front().unicode();
    const char16_t* units = text.utf16();
    for (qsizetype i = 0; i <= last; ++i) {
        if (units[i] == first && text.sliced(i, phrase.size()) == phrase)
            return true;
    }
    return false;
}

// Whether `bare` has the shape: its characters, "#" standing for one or more digits
// with perhaps a "+" after them (recognition reads the "+" as "*" at times).
bool hasShape(QStringView bare, QStringView shape)
{
    qsizetype at = 0;
    for (QChar expected : shape) {
        if (expected != u'#') {
            if (at >= bare.size() || bare.at(at) != expected)
                return false;
            ++at;
            continue;
        }
        const qsizetype digits = at;
        while (at < bare.size() && bare.at(at).isDigit())
            ++at;
        if (at == digits)
            return false;
        if (at < bare.size() && (bare.at(at) == u'+' || bare.at(at) == u'*'))
            ++at;
    }
    return at == bare.size();
}

} // namespace

QList<int> boardPhrasesIn(const QString& bare, const QString& normalized)
{
    const PhraseIndex& index = phraseIndex();
    QList<int> found = index.equal.value(bare);
    for (int i : index.leading) {
        if (bare.startsWith(boardPhraseList[size_t(i)].phrase))
            found.append(i);
    }
    for (int i : index.contained) {
        if (containsPhrase(normalized, boardPhraseList[size_t(i)].phrase))
            found.append(i);
    }
    for (int i : index.shapes) {
        if (hasShape(bare, boardPhraseList[size_t(i)].phrase))
            found.append(i);
    }
    std::sort(found.begin(), found.end());
    return found;
}

bool isBoardLabel(const QString& bare)
{
    const PhraseIndex& index = phraseIndex();
    if (index.equal.contains(bare))
        return true;
    return std::any_of(index.leading.begin(), index.leading.end(),
        [&](int i) { return bare.startsWith(boardPhraseList[size_t(i)].phrase); });
}

bool isSectionHeading(QStringView bare)
{
    // Built once; the initialisation of a local static is thread-safe.
    static const WordSet set(sectionHeadingList);
    return set.contains(bare);
}

bool isRoleWord(QStringView word)
{
    // Built once; the initialisation of a local static is thread-safe.
    static const WordSet set(roleWordList);
    return set.contains(word);
}

bool isDepartment(QStringView bare)
{
    // Built once; the initialisation of a local static is thread-safe.
    static const WordSet set(departmentList);
    return set.contains(bare);
}

bool isEmploymentTerm(QStringView bare)
{
    // Built once; the initialisation of a local static is thread-safe.
    static const WordSet set(employmentTermList);
    return set.contains(bare);
}

bool isLeadingStopWord(QStringView word)
{
    // Built once; the initialisation of a local static is thread-safe.
    static const WordSet set(leadingStopWordList);
    return set.contains(word);
}

bool isLocationLabel(QStringView bare)
{
    // Built once; the initialisation of a local static is thread-safe.
    static const WordSet set(locationLabelList);
    return set.contains(bare);
}

bool isWorkModelLabel(QStringView bare)
{
    // Built once; the initialisation of a local static is thread-safe.
    static const WordSet set(workModelLabelList);
    return set.contains(bare);
}

bool mentionsPostingPhrase(QStringView normalized)
{
    static const QRegularExpression any = [] {
        QStringList alternatives;
        for (QStringView phrase : postingPhraseList)
            alternatives.append(QRegularExpression::escape(phrase.toString()));
        QRegularExpression re(
            QStringLiteral(R"((?:^|[^\p{L}\p{N}])(?:%1)(?:$|[^\p{L}\p{N}]))").arg(alternatives.join(u'|')),
            QRegularExpression::UseUnicodePropertiesOption);
        re.optimize();
        return re;
    }();
    return isSectionHeading(SuggestionText::bareOf(normalized.toString())) || any.match(normalized).hasMatch();
}

bool isBoardName(QStringView word)
{
    // Built once; the initialisation of a local static is thread-safe.
    static const WordSet set(boardNameList);
    return set.contains(word);
}

std::span<const WorkModelPhrase> workModelPhrases()
{
    return workModelPhraseList;
}

bool mentionsWorkModel(QStringView normalized)
{
    static const QRegularExpression any = [] {
        QStringList alternatives;
        for (const WorkModelPhrase& phrase : workModelPhraseList)
            alternatives.append(QRegularExpression::escape(phrase.phrase.toString()));
        for (const PostingVocabulary::WorkModelKeywords& row : PostingVocabulary::workModelKeywords()) {
            for (QStringView keyword : row.keywords)
                alternatives.append(QRegularExpression::escape(keyword.toString()));
        }
        QRegularExpression re(alternatives.join(u'|'));
        re.optimize();
        return re;
    }();
    return any.match(normalized).hasMatch();
}

} // namespace SuggestionVocabulary
