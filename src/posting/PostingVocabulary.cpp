#include "posting/PostingVocabulary.h"

#include <QHash>
#include <QSet>
#include <QString>

#include <array>

namespace PostingVocabulary {
namespace {

constexpr std::array<QStringView, 29> locationList {u"turkiye", u"turkey", u"istanbul", u"ankara", u"izmir", u"bursa",
    u"antalya", u"kocaeli", u"gebze", u"remote", u"uzaktan", u"germany", u"deutschland", u"netherlands", u"poland",
    u"polska", u"czechia", u"czech", u"praha", u"prague", u"warsaw", u"warszawa", u"berlin", u"munich", u"amsterdam",
    u"london", u"usa", u"europe", u"avrupa"};

constexpr std::array<QStringView, 35> titleList {u"engineer", u"developer", u"programmer", u"architect", u"analyst",
    u"designer", u"manager", u"specialist", u"consultant", u"scientist", u"administrator", u"lead", u"intern",
    u"devops", u"sre", u"qa", u"fullstack", u"frontend", u"backend", u"mobile", u"muhendis", u"muhendisi",
    u"gelistirici", u"yazilim", u"uzman", u"uzmani", u"danisman", u"mudur", u"mudduru", u"analist", u"tasarimci",
    u"stajyer", u"sorumlusu", u"mimari", u"mimar"};

constexpr std::array<QStringView, 18> techList {u"software", u"java", u"python", u"swift", u"ios", u"android", u"web",
    u"cloud", u"data", u"security", u"network", u"product", u"platform", u"backend", u"frontend", u"machine",
    u"learning", u"ai"};

constexpr std::array<QStringView, 22> metadataList {u"ago", u"week", u"weeks", u"day", u"days", u"month", u"months",
    u"hour", u"hours", u"minute", u"minutes", u"applicant", u"applicants", u"posted", u"once", u"gun", u"hafta", u"ay",
    u"saat", u"dakika", u"basvuran", u"goruntulenme"};

constexpr std::array<QStringView, 20> companySuffixList {u"as", u"ltd", u"limited", u"inc", u"llc", u"gmbh", u"bv",
    u"corp", u"corporation", u"holding", u"teknoloji", u"teknolojileri", u"bilisim", u"danismanlik", u"group", u"grup",
    u"technologies", u"solutions", u"systems", u"labs"};

constexpr std::array<QStringView, 62> noiseList {u"apply", u"easy apply", u"apply now", u"save", u"saved", u"share",
    u"report", u"show more", u"see more", u"show less", u"sign in", u"join now", u"follow", u"following", u"followers",
    u"employees", u"promoted", u"actively reviewing", u"be an early applicant", u"about the job", u"about us",
    u"responsibilities", u"qualifications", u"requirements", u"benefits", u"skills", u"job description",
    u"seniority level", u"employment type", u"job function", u"industries", u"basvur", u"hemen basvur", u"kaydet",
    u"kaydedildi", u"paylas", u"sikayet et", u"daha fazla", u"daha fazlasini gor", u"devamini oku", u"giris yap",
    u"takip et", u"takipci", u"calisan", u"basvuran", u"ilan hakkinda", u"is tanimi", u"aranan nitelikler",
    u"sorumluluklar", u"nitelikler", u"genel nitelikler", u"pozisyon bilgileri", u"firma hakkinda", u"time type",
    u"posted on", u"job requisition id", u"locations", u"location", u"full time", u"part time", u"tam zamanli",
    u"yari zamanli"};

constexpr std::array<QStringView, 5> hybridKeywords {
    u"hybrid", u"hibrit", u"karma", u"haftada 2 gun", u"haftada 3 gun"};
constexpr std::array<QStringView, 7> remoteKeywords {
    u"remote", u"uzaktan", u"work from home", u"evden", u"tam uzaktan", u"fully remote", u"remote work"};
constexpr std::array<QStringView, 8> onSiteKeywords {
    u"on-site", u"on site", u"onsite", u"is yerinde", u"ofisten", u"yerinde", u"office based", u"in office"};

constexpr std::array<WorkModelKeywords, 3> workModelTable {{
    {WorkModel::hybrid, hybridKeywords},
    {WorkModel::remote, remoteKeywords},
    {WorkModel::onSite, onSiteKeywords},
}};

// Every word of the five token lists in one open-addressed table keyed by the word,
// so one probe per word of a line answers all five "does the line match" questions.
// Every word of every line is looked up here; the longest entry turns most
// description words away before they are hashed.
class WordTable {
public:
    WordTable()
    {
        add(locationList, locationWord);
        add(titleList, titleWord);
        add(techList, techWord);
        add(metadataList, metadataWord);
        add(companySuffixList, companySuffix);
    }

    WordKinds kindsOf(QStringView word) const
    {
        if (word.size() > m_longest)
            return 0;
        return m_kinds.value(word, 0);
    }

private:
    template <std::size_t N> void add(const std::array<QStringView, N>& words, WordKind kind)
    {
        for (QStringView word : words) {
            m_kinds[word] |= kind;
            m_longest = std::max(m_longest, word.size());
        }
    }

    // The keys view the word lists, which live as long as the program.
    QHash<QStringView, WordKinds> m_kinds;
    qsizetype m_longest = 0;
};

const WordTable& wordTable()
{
    static const WordTable table;
    return table;
}

struct NoiseSet {
    QSet<QString> phrases;
    qsizetype longest = 0;

    NoiseSet()
    {
        for (QStringView phrase : noiseList) {
            phrases.insert(phrase.toString());
            longest = std::max(longest, phrase.size());
        }
    }
};

const NoiseSet& noiseSet()
{
    static const NoiseSet set;
    return set;
}

} // namespace

std::span<const QStringView> locationWords()
{
    return locationList;
}

std::span<const QStringView> titleWords()
{
    return titleList;
}

std::span<const QStringView> techWords()
{
    return techList;
}

std::span<const QStringView> metadataWords()
{
    return metadataList;
}

std::span<const QStringView> companySuffixes()
{
    return companySuffixList;
}

std::span<const QStringView> noisePhrases()
{
    return noiseList;
}

std::span<const WorkModelKeywords> workModelKeywords()
{
    return workModelTable;
}

WordKinds kindsOf(QStringView word)
{
    return wordTable().kindsOf(word);
}

bool isNoisePhrase(QStringView normalizedLine)
{
    const NoiseSet& set = noiseSet();
    if (normalizedLine.size() > set.longest)
        return false;
    return set.phrases.contains(QString::fromRawData(normalizedLine.data(), normalizedLine.size()));
}

} // namespace PostingVocabulary
