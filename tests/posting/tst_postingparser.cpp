#include "posting/LinkDetector.h"
#include "posting/ParsedPosting.h"
#include "posting/PostingParser.h"
#include "posting/PostingVocabulary.h"
#include "posting/TextFolding.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <QtConcurrent>

#include <algorithm>
#include <climits>

using TextField = std::optional<ParsedField<QString>>;
using ModelField = std::optional<ParsedField<WorkModel>>;
using Lines = QList<PostingLine>;

Q_DECLARE_METATYPE(TextField)
Q_DECLARE_METATYPE(ModelField)
Q_DECLARE_METATYPE(Lines)
Q_DECLARE_METATYPE(ParseConfidence)
Q_DECLARE_METATYPE(JobBoard)
Q_DECLARE_METATYPE(WorkModel)

namespace {

constexpr auto low = ParseConfidence::low;
constexpr auto medium = ParseConfidence::medium;
constexpr auto high = ParseConfidence::high;

const char* confidenceName(ParseConfidence confidence)
{
    switch (confidence) {
    case ParseConfidence::low: return "low";
    case ParseConfidence::medium: return "medium";
    case ParseConfidence::high: return "high";
    }
    return "?";
}

template <typename Value>
QString describe(const std::optional<ParsedField<Value>>& field, QString (*text)(const Value&))
{
    if (!field)
        return QStringLiteral("(absent)");
    return QStringLiteral("%1 [%2] from \"%3\"")
        .arg(text(field->value), QLatin1String(confidenceName(field->confidence)), field->evidence);
}

QString quoted(const QString& value)
{
    return u'"' + value + u'"';
}

QString modelName(const WorkModel& model)
{
    return rawValue(model);
}

TextField field(const QString& value, ParseConfidence confidence, const QString& evidence)
{
    return ParsedField<QString>{value, confidence, evidence};
}

// Most values are taken from a whole line, which is then also the evidence.
TextField field(const QString& value, ParseConfidence confidence)
{
    return field(value, confidence, value);
}

ModelField model(WorkModel value, ParseConfidence confidence, const QString& evidence)
{
    return ParsedField<WorkModel>{value, confidence, evidence};
}

PostingLine line(const QString& text, int order, std::optional<double> height = std::nullopt)
{
    return PostingLine{text, order, height, std::nullopt};
}

QString joined(const QStringList& lines)
{
    return lines.join(u'\n');
}

QStringList fillerLines(int count)
{
    QStringList lines;
    for (int i = 0; i < count; ++i)
        lines << QStringLiteral("Filler %1").arg(QChar(u'a' + i % 26));
    return lines;
}

QString corpusDirectory()
{
    return QStringLiteral(APPLYWRIGHT_CORPUS_DIR "/postings");
}

QString readCorpusText(const QString& id)
{
    QFile file(corpusDirectory() + u'/' + id + QStringLiteral(".txt"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

QStringList sorted(QStringList list)
{
    list.sort();
    return list;
}

QStringList sortedList(const QSet<QString>& set)
{
    return sorted(QStringList(set.begin(), set.end()));
}

QStringList toStringList(std::span<const QStringView> views)
{
    QStringList list;
    for (QStringView view : views)
        list << view.toString();
    return list;
}

} // namespace

char* toString(const TextField& value)
{
    return QTest::toString(describe<QString>(value, quoted));
}

char* toString(const ModelField& value)
{
    return QTest::toString(describe<WorkModel>(value, modelName));
}

char* toString(ParseConfidence confidence)
{
    return qstrdup(confidenceName(confidence));
}

char* toString(JobBoard board)
{
    return QTest::toString(rawValue(board));
}

class PostingParserTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Value types
    void confidenceFromRawValue_data();
    void confidenceFromRawValue();
    void confidenceOrder();
    void jobBoard_data();
    void jobBoard();
    void parsedFieldEquality();
    void isEmpty_data();
    void isEmpty();

    // Text functions
    void normalize_data();
    void normalize();
    void tokens_data();
    void tokens();
    void segments_data();
    void segments();
    void characterCount_data();
    void characterCount();

    // Link detection
    void linkDetector_data();
    void linkDetector();

    // Vocabularies
    void vocabularyLists();
    void vocabularyEntriesAreNormalized();
    void titleWords_data();
    void titleWords();
    void techWords_data();
    void techWords();
    void metadataWords_data();
    void metadataWords();
    void companySuffixes_data();
    void companySuffixes();
    void locationWords_data();
    void locationWords();
    void noisePhrases_data();
    void noisePhrases();
    void workModelKeywords_data();
    void workModelKeywords();

    // Parser rules
    void rawText();
    void pastedTextSplitting();
    void postingLink_data();
    void postingLink();
    void board_data();
    void board();
    void contentLineFilterForPosition_data();
    void contentLineFilterForPosition();
    void contentLineFilterBelowTitle_data();
    void contentLineFilterBelowTitle();
    void workModel_data();
    void workModel();
    void position_data();
    void position();
    void company_data();
    void company();
    void location_data();
    void location();
    void positionUpgrade_data();
    void positionUpgrade();

    // Worked examples and edge cases
    void threeLinePastedPosting();
    void emptyInput();
    void onlyLocationIsEmpty();

    // Real postings
    void corpusPostings_data();
    void corpusPostings();
    void corpusInvariants();
    void parsesConcurrently();
};

// MARK: - Value types

void PostingParserTest::confidenceFromRawValue_data()
{
    QTest::addColumn<int>("raw");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<ParseConfidence>("expected");

    QTest::newRow("below range") << -1 << false << low;
    QTest::newRow("low") << 0 << true << low;
    QTest::newRow("medium") << 1 << true << medium;
    QTest::newRow("high") << 2 << true << high;
    QTest::newRow("above range") << 3 << false << low;
    QTest::newRow("far above") << INT_MAX << false << low;
    QTest::newRow("far below") << INT_MIN << false << low;
}

void PostingParserTest::confidenceFromRawValue()
{
    QFETCH(int, raw);
    QFETCH(bool, valid);
    QFETCH(ParseConfidence, expected);

    const std::optional<ParseConfidence> confidence = parseConfidenceFromRawValue(raw);
    QCOMPARE(confidence.has_value(), valid);
    if (valid) {
        QCOMPARE(*confidence, expected);
        QCOMPARE(rawValue(*confidence), raw);
    }
}

void PostingParserTest::confidenceOrder()
{
    QVERIFY(low < medium);
    QVERIFY(medium < high);
    QVERIFY(low < high);
    QVERIFY(!(high < low));
    QVERIFY(high >= medium);
    QCOMPARE(std::max({medium, high, low}), high);
}

void PostingParserTest::jobBoard_data()
{
    QTest::addColumn<JobBoard>("board");
    QTest::addColumn<QString>("raw");
    QTest::addColumn<QString>("title");

    QTest::newRow("linkedIn") << JobBoard::linkedIn << "linkedIn"
                              << "LinkedIn";
    QTest::newRow("workday") << JobBoard::workday << "workday"
                             << "Workday";
    QTest::newRow("kariyerNet") << JobBoard::kariyerNet << "kariyerNet"
                                << "Kariyer.net";
    QTest::newRow("indeed") << JobBoard::indeed << "indeed"
                            << "Indeed";
    QTest::newRow("glassdoor") << JobBoard::glassdoor << "glassdoor"
                               << "Glassdoor";
    QTest::newRow("unknown") << JobBoard::unknown << "unknown" << QStringLiteral("\u2014");
}

void PostingParserTest::jobBoard()
{
    QFETCH(JobBoard, board);
    QFETCH(QString, raw);
    QFETCH(QString, title);

    QCOMPARE(rawValue(board), raw);
    QCOMPARE(::title(board), title);
    QCOMPARE(fromRawValue<JobBoard>(raw), std::optional<JobBoard>(board));
    // Raw values are exact: neither the title nor another spelling reads back.
    QCOMPARE(fromRawValue<JobBoard>(raw.toUpper()), std::optional<JobBoard>());
    QCOMPARE(allCases<JobBoard>().size(), std::size_t(6));
}

void PostingParserTest::parsedFieldEquality()
{
    const ParsedField<QString> base{QStringLiteral("Acme"), medium, QStringLiteral("Acme · Berlin")};
    ParsedField<QString> same = base;
    QVERIFY(base == same);

    ParsedField<QString> otherValue = base;
    otherValue.value = QStringLiteral("Acme Corp");
    QVERIFY(!(base == otherValue));

    ParsedField<QString> otherConfidence = base;
    otherConfidence.confidence = high;
    QVERIFY(!(base == otherConfidence));

    ParsedField<QString> otherEvidence = base;
    otherEvidence.evidence = QStringLiteral("Acme");
    QVERIFY(!(base == otherEvidence));

    const ParsedField<WorkModel> hybrid{WorkModel::hybrid, high, QStringLiteral("Hybrid")};
    ParsedField<WorkModel> remote = hybrid;
    remote.value = WorkModel::remote;
    QVERIFY(hybrid == ParsedField<WorkModel>(hybrid));
    QVERIFY(!(hybrid == remote));
}

void PostingParserTest::isEmpty_data()
{
    QTest::addColumn<bool>("company");
    QTest::addColumn<bool>("position");
    QTest::addColumn<bool>("workModel");
    QTest::addColumn<bool>("postingLink");
    QTest::addColumn<bool>("location");
    QTest::addColumn<bool>("expected");

    QTest::newRow("nothing") << false << false << false << false << false << true;
    QTest::newRow("location only") << false << false << false << false << true << true;
    QTest::newRow("company") << true << false << false << false << false << false;
    QTest::newRow("position") << false << true << false << false << false << false;
    QTest::newRow("work model") << false << false << true << false << false << false;
    QTest::newRow("posting link") << false << false << false << true << false << false;
}

void PostingParserTest::isEmpty()
{
    QFETCH(bool, company);
    QFETCH(bool, position);
    QFETCH(bool, workModel);
    QFETCH(bool, postingLink);
    QFETCH(bool, location);
    QFETCH(bool, expected);

    ParsedPosting posting;
    posting.board = JobBoard::linkedIn; // the board never counts
    if (company)
        posting.company = field(QStringLiteral("Acme"), high);
    if (position)
        posting.position = field(QStringLiteral("Developer"), high);
    if (workModel)
        posting.workModel = model(WorkModel::remote, high, QStringLiteral("Remote"));
    if (postingLink)
        posting.postingLink = field(QStringLiteral("https://acme.com/jobs/1"), high);
    if (location)
        posting.location = field(QStringLiteral("Berlin"), medium);
    QCOMPARE(posting.isEmpty(), expected);
}

// MARK: - Text functions

void PostingParserTest::normalize_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    QTest::newRow("turkish lower-case letters") << QStringLiteral("ışğçöü") << "isgcou";
    QTest::newRow("turkish capitals, I without Turkish casing") << QStringLiteral("IŞĞÇÖÜ") << "isgcou";
    QTest::newRow("dotted capital I") << QStringLiteral("İSTANBUL") << "istanbul";
    QTest::newRow("dotted capital I in a word") << QStringLiteral("İzmir") << "izmir";
    QTest::newRow("decomposed dotted I") << QStringLiteral("I\u0307zmir") << "izmir";
    QTest::newRow("dotless i") << QStringLiteral("Kıdemli Yazılım Mühendisi") << "kidemli yazilim muhendisi";
    QTest::newRow("other diacritics") << QStringLiteral("Café Résumé naïve São Paulo") << "cafe resume naive sao paulo";
    QTest::newRow("full-width letters and space")
        << QStringLiteral("\uFF33\uFF45\uFF4E\uFF49\uFF4F\uFF52\u3000\uFF24\uFF45\uFF56") << "senior dev";
    QTest::newRow("full-width brackets and digits")
        << QStringLiteral("\uFF08\uFF28\uFF49\uFF42\uFF52\uFF49\uFF54\uFF09\uFF11\uFF12") << "(hibrit)12";
    QTest::newRow("half-width katakana") << QStringLiteral("\uFF76\uFF80\uFF76\uFF85")
                                         << QStringLiteral("\u30AB\u30BF\u30AB\u30CA");
    QTest::newRow("white space collapsed") << QStringLiteral("  Easy \t Apply\n\n now  ") << "easy apply now";
    QTest::newRow("unicode spaces") << QStringLiteral("a\u00A0b\u2003c\u3000d") << "a b c d";
    QTest::newRow("line separators") << QStringLiteral("a\u2028b\u2029c\u0085d\r\ne") << "a b c d e";
    QTest::newRow("punctuation and separators kept")
        << QStringLiteral("Acme · İstanbul (Hibrit) | 3 gün önce • 50+ ‧ x・y ❘ z")
        << QStringLiteral("acme · istanbul (hibrit) | 3 gun once • 50+ ‧ x・y ❘ z");
    QTest::newRow("digits kept") << QStringLiteral("12 345 678") << "12 345 678";
    QTest::newRow("other compatibility forms kept") << QStringLiteral("m² ½") << QStringLiteral("m² ½");
    QTest::newRow("lone combining mark") << QStringLiteral("a \u0301 b") << "a b";
    QTest::newRow("greek lowered without accents") << QStringLiteral("ΕΛΛΆΔΑ") << QStringLiteral("ελλαδα");
    QTest::newRow("hangul kept whole") << QStringLiteral("한국") << QStringLiteral("한국");
    QTest::newRow("long full-width text") << QString(300, QChar(0xFF21)) << QString(300, u'a');
    QTest::newRow("empty") << QString() << "";
    QTest::newRow("only blanks") << QStringLiteral(" \t\n ") << "";
}

void PostingParserTest::normalize()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);

    const QString normalized = TextFolding::normalize(text);
    QCOMPARE(normalized, expected);
    // Folding is idempotent.
    QCOMPARE(TextFolding::normalize(normalized), expected);
    // Appending to a buffer that already holds text folds the same way.
    QString buffer = QStringLiteral("x ");
    TextFolding::appendNormalized(text, buffer);
    QCOMPARE(buffer, QStringLiteral("x ") + expected);
}

void PostingParserTest::tokens_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("metadata line") << QStringLiteral("Acme Corp · Istanbul, Türkiye · 2 days ago")
                                   << QStringList{"acme", "ago", "corp", "days", "istanbul", "turkiye"};
    QTest::newRow("one-character pieces dropped") << QStringLiteral("A.Ş. & Co") << QStringList{"co"};
    QTest::newRow("punctuation splits") << QStringLiteral("Full-stack Developer (Node.js)")
                                        << QStringList{"developer", "full", "js", "node", "stack"};
    QTest::newRow("digits are word characters")
        << QStringLiteral("Java 17, C++ 20, 3D") << QStringList{"17", "20", "3d", "java"};
    QTest::newRow("turkish folding") << QStringLiteral("İK UZMANI") << QStringList{"ik", "uzmani"};
    QTest::newRow("duplicates once") << QStringLiteral("Data data DATA") << QStringList{"data"};
    QTest::newRow("underscore separates") << QStringLiteral("snake_case") << QStringList{"case", "snake"};
    QTest::newRow("other digits") << QStringLiteral("\u0661\u0662") << QStringList{QStringLiteral("\u0661\u0662")};
    QTest::newRow("one character outside the BMP") << QStringLiteral("\U0001D400") << QStringList{};
    QTest::newRow("two characters outside the BMP")
        << QStringLiteral("\U0001D400\U0001D401") << QStringList{QStringLiteral("\U0001D400\U0001D401")};
    QTest::newRow("empty") << QString() << QStringList{};
}

void PostingParserTest::tokens()
{
    QFETCH(QString, text);
    QFETCH(QStringList, expected);

    QCOMPARE(sortedList(TextFolding::tokens(text)), sorted(expected));
}

void PostingParserTest::segments_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("no separator") << QStringLiteral("Acme Corp, Istanbul") << QStringList{};
    QTest::newRow("middle dot") << QStringLiteral("Acme Corp · Istanbul, Türkiye · 2 days ago")
                                << QStringList{"Acme Corp", QStringLiteral("Istanbul, Türkiye"), "2 days ago"};
    QTest::newRow("bullet") << QStringLiteral("Acme \u2022 Remote") << QStringList{"Acme", "Remote"};
    QTest::newRow("hyphenation point") << QStringLiteral("Acme \u2027 Remote") << QStringList{"Acme", "Remote"};
    QTest::newRow("katakana middle dot") << QStringLiteral("Acme\u30FBRemote") << QStringList{"Acme", "Remote"};
    QTest::newRow("vertical line") << QStringLiteral("Acme | Remote") << QStringList{"Acme", "Remote"};
    QTest::newRow("light vertical bar") << QStringLiteral("Acme \u2758 Remote") << QStringList{"Acme", "Remote"};
    QTest::newRow("all separators") << QStringLiteral("a·b•c‧d・e|f❘g")
                                    << QStringList{"a", "b", "c", "d", "e", "f", "g"};
    QTest::newRow("empty pieces dropped") << QStringLiteral(" | Acme |  | Remote | ") << QStringList{"Acme", "Remote"};
    QTest::newRow("only separators") << QStringLiteral("· | •") << QStringList{};
    QTest::newRow("original text kept") << QStringLiteral("Çamlıca Sağlık A.Ş. · İSTANBUL")
                                        << QStringList{QStringLiteral("Çamlıca Sağlık A.Ş."),
                                                       QStringLiteral("İSTANBUL")};
    QTest::newRow("newlines trimmed") << QStringLiteral("\nAcme\n·\tRemote\n") << QStringList{"Acme", "Remote"};
    QTest::newRow("full-width vertical line is no separator") << QStringLiteral("Acme \uFF5C Remote") << QStringList{};
}

void PostingParserTest::segments()
{
    QFETCH(QString, text);
    QFETCH(QStringList, expected);

    QCOMPARE(TextFolding::segments(text), expected);
}

void PostingParserTest::characterCount_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected");

    QTest::newRow("empty") << QString() << 0;
    QTest::newRow("ascii") << QStringLiteral("abc") << 3;
    QTest::newRow("precomposed") << QStringLiteral("Türkiye") << 7;
    QTest::newRow("combining mark") << QStringLiteral("e\u0301") << 1;
    QTest::newRow("flag") << QStringLiteral("\U0001F1F9\U0001F1F7") << 1;
    QTest::newRow("joined emoji") << QStringLiteral("\U0001F469\u200D\U0001F4BB") << 1;
    QTest::newRow("CR LF is one") << QStringLiteral("a\r\nb") << 3;
    QTest::newRow("outside the BMP") << QStringLiteral("\U0001D400\U0001D401") << 2;
}

void PostingParserTest::characterCount()
{
    QFETCH(QString, text);
    QFETCH(int, expected);

    QCOMPARE(TextFolding::characterCount(text), qsizetype(expected));
    QCOMPARE(TextFolding::countCharacters(text).characters, qsizetype(expected));
}

// MARK: - Link detection

void PostingParserTest::linkDetector_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected"); // empty: no link

    QTest::newRow("https") << "https://www.linkedin.com/jobs/view/4001601930/"
                           << "https://www.linkedin.com/jobs/view/4001601930/";
    QTest::newRow("in running text") << "Apply at https://careers.acme.com/jobs/42."
                                     << "https://careers.acme.com/jobs/42";
    QTest::newRow("in brackets") << "(see https://acme.com/jobs)"
                                 << "https://acme.com/jobs";
    QTest::newRow("trailing comma") << "https://acme.com/jobs/1, then apply"
                                    << "https://acme.com/jobs/1";
    QTest::newRow("trailing quote and colon") << "\"https://acme.com/jobs/1\":"
                                              << "https://acme.com/jobs/1";
    QTest::newRow("balanced bracket kept") << "https://en.wikipedia.org/wiki/Acme_(company)"
                                           << "https://en.wikipedia.org/wiki/Acme_(company)";
    QTest::newRow("commas and query inside")
        << "https://www.glassdoor.com/job-listing/x-JV_IC3256131_KO0,24_KE25,33.htm?jl=1009037104238"
        << "https://www.glassdoor.com/job-listing/x-JV_IC3256131_KO0,24_KE25,33.htm?jl=1009037104238";
    QTest::newRow("percent escapes kept")
        << "https://www.linkedin.com/jobs/search/?currentJobId=1&keywords=veri%20analisti"
        << "https://www.linkedin.com/jobs/search/?currentJobId=1&keywords=veri%20analisti";
    QTest::newRow("www") << "www.acme.com/careers"
                         << "http://www.acme.com/careers";
    QTest::newRow("bare domain with path") << "careers.umbrellalabs.com/jobs/1719198"
                                           << "http://careers.umbrellalabs.com/jobs/1719198";
    QTest::newRow("bare domain alone") << "Visit acme.com, today"
                                       << "http://acme.com";
    QTest::newRow("two-label public suffix") << "northwind.com.tr/kariyer"
                                             << "http://northwind.com.tr/kariyer";
    QTest::newRow("framework name under no suffix") << "Full Stack Developer (Node.js)"
                                                    << "";
    QTest::newRow("framework name under a real suffix") << "Lead ASP.NET Developer"
                                                        << "http://asp.net";
    QTest::newRow("abbreviation") << "e.g. Python"
                                  << "";
    QTest::newRow("public suffix alone") << "co.uk"
                                         << "";
    QTest::newRow("number with dot") << "15.000 TL, v2.5"
                                     << "";
    QTest::newRow("unknown suffix") << "acme.notarealtld/jobs"
                                    << "";
    QTest::newRow("ftp reported") << "ftp://files.acme.com/x"
                                  << "ftp://files.acme.com/x";
    QTest::newRow("e-mail address as mailto") << "jobs@acme.com"
                                              << "mailto:jobs@acme.com";
    QTest::newRow("e-mail address first") << "Write to jobs@acme.com or see acme.com/jobs"
                                          << "mailto:jobs@acme.com";
    QTest::newRow("mailto") << "mailto:hr@acme.com."
                            << "mailto:hr@acme.com";
    QTest::newRow("first of two") << "a-corp.com/x and https://b.com/y"
                                  << "http://a-corp.com/x";
    QTest::newRow("scheme after a digit") << "1https://acme.com/x"
                                          << "https://acme.com/x";
    QTest::newRow("domain after an underscore") << "ref_acme.com/jobs"
                                                << "http://acme.com/jobs";
    QTest::newRow("upper-case scheme and host") << "HTTPS://ACME.COM/Jobs"
                                                << "https://acme.com/Jobs";
    QTest::newRow("scheme without address") << "https:// nothing"
                                            << "";
    QTest::newRow("scheme and punctuation only") << "Apply (https://)."
                                                 << "";
    QTest::newRow("no link") << "Senior Developer"
                             << "";
    QTest::newRow("empty") << ""
                           << "";
}

void PostingParserTest::linkDetector()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);

    const LinkDetector detector;
    QVERIFY(detector.isValid());
    const std::optional<QUrl> link = detector.firstLink(text);
    QCOMPARE(link ? link->toString(QUrl::FullyEncoded) : QString(), expected);
}

// MARK: - Vocabularies

namespace {

const QStringList expectedLocationWords{
    "turkiye", "turkey",   "istanbul",    "ankara",      "izmir",     "bursa",  "antalya", "kocaeli", "gebze", "remote",
    "uzaktan", "germany",  "deutschland", "netherlands", "poland",    "polska", "czechia", "czech",   "praha", "prague",
    "warsaw",  "warszawa", "berlin",      "munich",      "amsterdam", "london", "usa",     "europe",  "avrupa"};
const QStringList expectedTitleWords{"engineer",  "developer",  "programmer", "architect", "analyst",       "designer",
                                     "manager",   "specialist", "consultant", "scientist", "administrator", "lead",
                                     "intern",    "devops",     "sre",        "qa",        "fullstack",     "frontend",
                                     "backend",   "mobile",     "muhendis",   "muhendisi", "gelistirici",   "yazilim",
                                     "uzman",     "uzmani",     "danisman",   "mudur",     "mudduru",       "analist",
                                     "tasarimci", "stajyer",    "sorumlusu",  "mimari",    "mimar"};
const QStringList expectedTechWords{"software", "java",    "python",   "swift",    "ios",      "android",
                                    "web",      "cloud",   "data",     "security", "network",  "product",
                                    "platform", "backend", "frontend", "machine",  "learning", "ai"};
const QStringList expectedMetadataWords{"ago",        "week",   "weeks",    "day",         "days",    "month",
                                        "months",     "hour",   "hours",    "minute",      "minutes", "applicant",
                                        "applicants", "posted", "once",     "gun",         "hafta",   "ay",
                                        "saat",       "dakika", "basvuran", "goruntulenme"};
const QStringList expectedCompanySuffixes{
    "as",    "ltd",         "limited",      "inc",       "llc",           "gmbh",    "bv",
    "corp",  "corporation", "holding",      "teknoloji", "teknolojileri", "bilisim", "danismanlik",
    "group", "grup",        "technologies", "solutions", "systems",       "labs"};
const QStringList expectedNoisePhrases{"apply",
                                       "easy apply",
                                       "apply now",
                                       "save",
                                       "saved",
                                       "share",
                                       "report",
                                       "show more",
                                       "see more",
                                       "show less",
                                       "sign in",
                                       "join now",
                                       "follow",
                                       "following",
                                       "followers",
                                       "employees",
                                       "promoted",
                                       "actively reviewing",
                                       "be an early applicant",
                                       "about the job",
                                       "about us",
                                       "responsibilities",
                                       "qualifications",
                                       "requirements",
                                       "benefits",
                                       "skills",
                                       "job description",
                                       "seniority level",
                                       "employment type",
                                       "job function",
                                       "industries",
                                       "basvur",
                                       "hemen basvur",
                                       "kaydet",
                                       "kaydedildi",
                                       "paylas",
                                       "sikayet et",
                                       "daha fazla",
                                       "daha fazlasini gor",
                                       "devamini oku",
                                       "giris yap",
                                       "takip et",
                                       "takipci",
                                       "calisan",
                                       "basvuran",
                                       "ilan hakkinda",
                                       "is tanimi",
                                       "aranan nitelikler",
                                       "sorumluluklar",
                                       "nitelikler",
                                       "genel nitelikler",
                                       "pozisyon bilgileri",
                                       "firma hakkinda",
                                       "time type",
                                       "posted on",
                                       "job requisition id",
                                       "locations",
                                       "location",
                                       "full time",
                                       "part time",
                                       "tam zamanli",
                                       "yari zamanli"};

void addWordRows(const QStringList& words)
{
    for (const QString& word : words)
        QTest::newRow(qPrintable(word)) << word;
}

} // namespace

void PostingParserTest::vocabularyLists()
{
    namespace V = PostingVocabulary;
    QCOMPARE(toStringList(V::locationWords()), expectedLocationWords);
    QCOMPARE(toStringList(V::titleWords()), expectedTitleWords);
    QCOMPARE(toStringList(V::techWords()), expectedTechWords);
    QCOMPARE(toStringList(V::metadataWords()), expectedMetadataWords);
    QCOMPARE(toStringList(V::companySuffixes()), expectedCompanySuffixes);
    QCOMPARE(toStringList(V::noisePhrases()), expectedNoisePhrases);
    QCOMPARE(expectedLocationWords.size(), 29);
    QCOMPARE(expectedTitleWords.size(), 35);
    QCOMPARE(expectedTechWords.size(), 18);
    QCOMPARE(expectedMetadataWords.size(), 22);
    QCOMPARE(expectedCompanySuffixes.size(), 20);
    QCOMPARE(expectedNoisePhrases.size(), 62);

    // Words of several lists carry every list's kind.
    QCOMPARE(V::kindsOf(u"backend"), V::WordKinds(V::titleWord | V::techWord));
    QCOMPARE(V::kindsOf(u"basvuran"), V::WordKinds(V::metadataWord));
    QCOMPARE(V::kindsOf(u"acme"), V::WordKinds(0));
    QCOMPARE(V::kindsOf(u"Berlin"), V::WordKinds(0)); // only normalised words match
    QVERIFY(V::isNoisePhrase(u"easy apply"));
    QVERIFY(!V::isNoisePhrase(u"easy"));

    const auto table = V::workModelKeywords();
    QCOMPARE(table.size(), std::size_t(3));
    QCOMPARE(table[0].workModel, WorkModel::hybrid);
    QCOMPARE(toStringList(table[0].keywords),
             (QStringList{"hybrid", "hibrit", "karma", "haftada 2 gun", "haftada 3 gun"}));
    QCOMPARE(table[1].workModel, WorkModel::remote);
    QCOMPARE(
        toStringList(table[1].keywords),
        (QStringList{"remote", "uzaktan", "work from home", "evden", "tam uzaktan", "fully remote", "remote work"}));
    QCOMPARE(table[2].workModel, WorkModel::onSite);
    QCOMPARE(
        toStringList(table[2].keywords),
        (QStringList{"on-site", "on site", "onsite", "is yerinde", "ofisten", "yerinde", "office based", "in office"}));
}

void PostingParserTest::vocabularyEntriesAreNormalized()
{
    namespace V = PostingVocabulary;
    for (const auto& list : {V::locationWords(), V::titleWords(), V::techWords(), V::metadataWords(),
                             V::companySuffixes(), V::noisePhrases()}) {
        for (QStringView entry : list)
            QCOMPARE(TextFolding::normalize(entry), entry.toString());
    }
    for (const V::WorkModelKeywords& row : V::workModelKeywords()) {
        for (QStringView keyword : row.keywords)
            QCOMPARE(TextFolding::normalize(keyword), keyword.toString());
    }
}

void PostingParserTest::titleWords_data()
{
    QTest::addColumn<QString>("word");
    addWordRows(expectedTitleWords);
}

void PostingParserTest::titleWords()
{
    QFETCH(QString, word);
    // Pasted lines have no height: only a title word makes a line a position.
    const QString text = QStringLiteral("Acme ") + word.toUpper();
    const ParsedPosting posting = PostingParser::parse(text);
    QVERIFY(posting.position);
    QCOMPARE(posting.position->value, text);

    QVERIFY(!PostingParser::parse(QStringLiteral("Acme ") + word + QStringLiteral("x")).position);
}

void PostingParserTest::techWords_data()
{
    QTest::addColumn<QString>("word");
    addWordRows(expectedTechWords);
}

void PostingParserTest::techWords()
{
    QFETCH(QString, word);
    // Far down (no order bonus) and longer than 70 characters: 2.0 - 1.0 = 1.0 is no
    // candidate, the tech bonus lifts it to 1.5.
    const QString padding(60, u'z');
    const QString withTech = word + QStringLiteral(" Developer ") + padding;
    const ParsedPosting posting = PostingParser::parse(Lines{line(withTech, 20)});
    QCOMPARE(posting.position, field(withTech, medium));

    const QString withoutTech = QStringLiteral("Zzz Developer ") + padding;
    QCOMPARE(PostingParser::parse(Lines{line(withoutTech, 20)}).position, TextField());
}

void PostingParserTest::metadataWords_data()
{
    QTest::addColumn<QString>("word");
    addWordRows(expectedMetadataWords);
}

void PostingParserTest::metadataWords()
{
    QFETCH(QString, word);
    // 2.0 + 1.0 - 2.0 = 1.0: no candidate.
    QCOMPARE(PostingParser::parse(QStringLiteral("Developer ") + word).position, TextField());
    QVERIFY(PostingParser::parse(QStringLiteral("Developer ") + word + QStringLiteral("x")).position);
}

void PostingParserTest::companySuffixes_data()
{
    QTest::addColumn<QString>("word");
    addWordRows(expectedCompanySuffixes);
}

void PostingParserTest::companySuffixes()
{
    QFETCH(QString, word);
    const QString company = QStringLiteral("Zzz ") + word;
    const ParsedPosting posting = PostingParser::parse(joined({QStringLiteral("Senior Developer"), company}));
    QCOMPARE(posting.company, field(company, medium));

    // Without the suffix the line below the title is a weak guess.
    const QString plain = QStringLiteral("Zzz ") + word + QStringLiteral("x");
    QCOMPARE(PostingParser::parse(joined({QStringLiteral("Senior Developer"), plain})).company, field(plain, low));
}

void PostingParserTest::locationWords_data()
{
    QTest::addColumn<QString>("word");
    addWordRows(expectedLocationWords);
}

void PostingParserTest::locationWords()
{
    QFETCH(QString, word);
    const QString text = QStringLiteral("Office ") + word.toUpper();
    QCOMPARE(PostingParser::parse(text).location, field(text, medium));
    QCOMPARE(PostingParser::parse(text + QStringLiteral("x")).location, TextField());
}

void PostingParserTest::noisePhrases_data()
{
    QTest::addColumn<QString>("phrase");
    addWordRows(expectedNoisePhrases);
}

void PostingParserTest::noisePhrases()
{
    QFETCH(QString, phrase);
    // Three lines below the title are looked at: if the phrase line were kept, the
    // company line would be the fourth and out of reach.
    const QStringList lines{QStringLiteral("Senior Developer"), phrase.toUpper(), QStringLiteral("Istanbul"),
                            QStringLiteral("Berlin"), QStringLiteral("Acme")};
    QCOMPARE(PostingParser::parse(joined(lines)).company, field(QStringLiteral("Acme"), low));
}

void PostingParserTest::workModelKeywords_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<WorkModel>("expected");
    QTest::addColumn<ParseConfidence>("confidence");

    QTest::newRow("hybrid") << "Hybrid" << WorkModel::hybrid << high;
    QTest::newRow("hibrit") << "Hibrit" << WorkModel::hybrid << high;
    QTest::newRow("karma") << "Karma" << WorkModel::hybrid << high;
    QTest::newRow("haftada 2 gun") << QStringLiteral("Haftada 2 gün") << WorkModel::hybrid << high;
    QTest::newRow("haftada 3 gun") << QStringLiteral("Haftada 3 gün") << WorkModel::hybrid << high;
    QTest::newRow("remote") << "Remote" << WorkModel::remote << high;
    QTest::newRow("uzaktan") << "Uzaktan" << WorkModel::remote << high;
    QTest::newRow("work from home") << "Work from home" << WorkModel::remote << high;
    QTest::newRow("evden") << "Evden" << WorkModel::remote << high;
    // These contain an earlier keyword of their row, which decides and is not the whole line.
    QTest::newRow("tam uzaktan") << "Tam uzaktan" << WorkModel::remote << medium;
    QTest::newRow("fully remote") << "Fully remote" << WorkModel::remote << medium;
    QTest::newRow("remote work") << "Remote work" << WorkModel::remote << medium;
    QTest::newRow("on-site") << "On-site" << WorkModel::onSite << high;
    QTest::newRow("on site") << "On site" << WorkModel::onSite << high;
    QTest::newRow("onsite") << "Onsite" << WorkModel::onSite << high;
    QTest::newRow("is yerinde") << QStringLiteral("İş yerinde") << WorkModel::onSite << high;
    QTest::newRow("ofisten") << "Ofisten" << WorkModel::onSite << high;
    QTest::newRow("yerinde") << "Yerinde" << WorkModel::onSite << high;
    QTest::newRow("office based") << "Office based" << WorkModel::onSite << high;
    QTest::newRow("in office") << "In office" << WorkModel::onSite << high;
}

void PostingParserTest::workModelKeywords()
{
    QFETCH(QString, text);
    QFETCH(WorkModel, expected);
    QFETCH(ParseConfidence, confidence);

    QCOMPARE(PostingParser::parse(text).workModel, model(expected, confidence, text));
}

// MARK: - Parser rules

void PostingParserTest::rawText()
{
    const Lines lines{line(QStringLiteral("Senior Developer"), 0), line(QStringLiteral("Acme"), 3)};
    QCOMPARE(PostingParser::parse(lines).rawText, QStringLiteral("Senior Developer\nAcme"));
    QCOMPARE(PostingParser::parse(lines, QStringLiteral("given")).rawText, QStringLiteral("given"));
    QCOMPARE(PostingParser::parse(lines, QString()).rawText, QString());

    const QString pasted = QStringLiteral("  Senior Developer \r\n\r\n\tAcme\n");
    QCOMPARE(PostingParser::parse(pasted).rawText, pasted);
}

void PostingParserTest::pastedTextSplitting()
{
    // Blank lines do not take an order: the title is the fifth line (order 4) and
    // gets the top-of-page bonus, 2.0 + 1.0 = 3.0.
    const QString text = QStringLiteral("\n  One  \r\n\r\nTwo\n\n\nThree\u2028Four\n \t \n  Senior Developer  \n");
    QCOMPARE(PostingParser::parse(text).position, field(QStringLiteral("Senior Developer"), high));

    // One more line before it and it is at order 5: 2.0 + 0.3.
    QCOMPARE(PostingParser::parse(QStringLiteral("Zero\n") + text).position,
             field(QStringLiteral("Senior Developer"), medium));

    // Same result as the line entry point with the pieces numbered from 0.
    const Lines lines{line(QStringLiteral("One"), 0), line(QStringLiteral("Two"), 1), line(QStringLiteral("Three"), 2),
                      line(QStringLiteral("Four"), 3), line(QStringLiteral("Senior Developer"), 4)};
    QCOMPARE(PostingParser::parse(text), PostingParser::parse(lines, text));
}

void PostingParserTest::postingLink_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<TextField>("expected");

    const QString jobHost = QStringLiteral("https://jobs.acme.com/123");
    QTest::newRow("host with job") << jobHost << field(jobHost, high);
    const QString jobPath = QStringLiteral("https://acme.com/careers/backend-jobs-42");
    QTest::newRow("job in the address") << jobPath << field(jobPath, high);
    QTest::newRow("job in the address, folded")
        << "https://acme.com/JOBS/42" << field("https://acme.com/JOBS/42", high);
    const QString plain = QStringLiteral("https://acme.com/careers/42");
    QTest::newRow("no job") << plain << field(plain, medium);
    QTest::newRow("bare domain with path")
        << "Apply: acme.com/careers/7" << field("http://acme.com/careers/7", medium, "Apply: acme.com/careers/7");
    QTest::newRow("bare domain skipped, search goes on")
        << "acme.com\nacme.com/careers/7" << field("http://acme.com/careers/7", medium, "acme.com/careers/7");
    QTest::newRow("path of one character") << "acme.com/\nnothing here" << TextField();
    QTest::newRow("www without path") << "www.acme.com" << TextField();
    QTest::newRow("www with path") << "www.acme.com/jobs/1"
                                   << field("http://www.acme.com/jobs/1", high, "www.acme.com/jobs/1");
    QTest::newRow("http accepts an empty path") << "http://acme.com" << field("http://acme.com", medium);
    QTest::newRow("http elsewhere in the line")
        << "acme.com (HTTP)" << field("http://acme.com", medium, "acme.com (HTTP)");
    QTest::newRow("ftp skipped") << "ftp://jobs.acme.com/x\nhttps://acme.com/y" << field("https://acme.com/y", medium);
    QTest::newRow("only the first match of a line") << "ftp://jobs.acme.com/x https://acme.com/y" << TextField();
    QTest::newRow("e-mail address skipped")
        << "jobs@acme.com\nhttps://acme.com/y" << field("https://acme.com/y", medium);
    QTest::newRow("e-mail address first in the line") << "jobs@acme.com https://acme.com/y" << TextField();
    QTest::newRow("first line wins") << "https://a-corp.com/one\nhttps://jobs.b-corp.com/two"
                                     << field("https://a-corp.com/one", medium);
    QTest::newRow("unknown suffix") << "acme.internal/jobs/1" << TextField();
    QTest::newRow("framework name") << "Full Stack Developer (Node.js)" << TextField();
}

void PostingParserTest::postingLink()
{
    QFETCH(QString, text);
    QFETCH(TextField, expected);

    QCOMPARE(PostingParser::parse(text).postingLink, expected);
}

void PostingParserTest::board_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<JobBoard>("expected");

    QTest::newRow("workday career site") << "https://acme.wd3.myworkdayjobs.com/External/job/1" << JobBoard::workday;
    QTest::newRow("workday in the text") << "Powered by Workday" << JobBoard::workday;
    QTest::newRow("linkedin") << "LinkedIn" << JobBoard::linkedIn;
    QTest::newRow("workday before linkedin") << "LinkedIn\nWe use Workday" << JobBoard::workday;
    QTest::newRow("kariyer.net address") << "https://www.kariyer.net/is-ilani/x-1" << JobBoard::kariyerNet;
    QTest::newRow("kariyer.net in the text") << "Kariyer.net" << JobBoard::kariyerNet;
    QTest::newRow("kariyernet") << "KariyerNet" << JobBoard::kariyerNet;
    QTest::newRow("kariyer net with a blank") << "Kariyer Net" << JobBoard::unknown;
    QTest::newRow("indeed") << "uk.indeed.com" << JobBoard::indeed;
    QTest::newRow("glassdoor") << "Glassdoor" << JobBoard::glassdoor;
    QTest::newRow("indeed before glassdoor") << "Glassdoor\nIndeed" << JobBoard::indeed;
    QTest::newRow("linkedin before kariyer.net") << "Kariyer.net\nLinkedIn" << JobBoard::linkedIn;
    QTest::newRow("folded") << QStringLiteral("LİNKEDİN") << JobBoard::linkedIn;
    QTest::newRow("furniture lines count")
        << joined(QStringList(14, QStringLiteral("Easy Apply")) << "Indeed") << JobBoard::indeed;
    QTest::newRow("15th line seen") << joined(fillerLines(14) << "Indeed") << JobBoard::indeed;
    QTest::newRow("16th line not seen") << joined(fillerLines(15) << "Indeed") << JobBoard::unknown;
    QTest::newRow("blank lines not counted")
        << joined(fillerLines(14) << "Indeed").replace(u'\n', QStringLiteral("\n\n")) << JobBoard::indeed;
    QTest::newRow("link beyond the 15th line")
        << joined(fillerLines(20) << "https://www.glassdoor.com/job-listing/x") << JobBoard::glassdoor;
    QTest::newRow("no board") << "Acme" << JobBoard::unknown;
    QTest::newRow("empty") << "" << JobBoard::unknown;
}

void PostingParserTest::board()
{
    QFETCH(QString, text);
    QFETCH(JobBoard, expected);

    QCOMPARE(PostingParser::parse(text).board, expected);
}

void PostingParserTest::contentLineFilterForPosition_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("kept");

    const QString title = QStringLiteral("Senior Developer ");
    QTest::newRow("120 characters") << title + QString(103, u'a') << true;
    QTest::newRow("121 characters") << title + QString(104, u'a') << false;
    QTest::newRow("120 characters after folding")
        << QStringLiteral("Senior      Developer ") + QString(103, u'a') << true;
    QString emoji;
    for (int i = 0; i < 103; ++i)
        emoji += QStringLiteral("\U0001F44D");
    QTest::newRow("120 grapheme clusters") << title + emoji << true;
    QTest::newRow("121 grapheme clusters") << title + emoji + QStringLiteral("\U0001F44D") << false;
    QTest::newRow("http") << "Senior Developer http" << false;
    QTest::newRow("HTTP folded") << "Senior Developer HTTPS" << false;
    QTest::newRow("www.") << "Senior Developer at www.acme" << false;
    QTest::newRow("www without dot") << "Senior Developer www" << true;
    QTest::newRow("digit share below one half") << "QA 12" << true;
    QTest::newRow("digit share of one half") << "QA 123" << false;
    QTest::newRow("other digits count") << QStringLiteral("QA \u0661\u0662\u0663") << false;
    QTest::newRow("fractions count") << QStringLiteral("QA ½½½") << false;
    QTest::newRow("two characters") << "QA" << true;
}

void PostingParserTest::contentLineFilterForPosition()
{
    QFETCH(QString, text);
    QFETCH(bool, kept);

    const std::optional<ParsedField<QString>> position = PostingParser::parse(text).position;
    QCOMPARE(position.has_value(), kept);
    if (kept)
        QCOMPARE(position->value, text.trimmed());
}

void PostingParserTest::contentLineFilterBelowTitle_data()
{
    QTest::addColumn<QString>("probe");
    QTest::addColumn<TextField>("expected");

    const TextField acme = field(QStringLiteral("Acme"), low);
    QTest::newRow("noise phrase") << "Easy Apply" << acme;
    QTest::newRow("noise phrase, folded") << "EASY   APPLY" << acme;
    QTest::newRow("turkish noise phrase") << QStringLiteral("Daha fazlasını gör") << acme;
    QTest::newRow("dotted capital I noise phrase") << QStringLiteral("İlan Hakkında") << acme;
    QTest::newRow("whole-line equality") << "Be an early applicant" << acme;
    // Kept, but the metadata word rules it out and it fills one of the three places.
    QTest::newRow("longer than the phrase") << "Be an early applicant today" << TextField();
    QTest::newRow("phrase inside a line") << "Apply now on our site" << field("Apply now on our site", low);
    QTest::newRow("one character") << "X" << acme;
    QTest::newRow("two characters") << "XY" << field("XY", low);
    QTest::newRow("digits") << "12 345 678" << acme;
    QTest::newRow("address") << "https://acme.com/x" << acme;
}

void PostingParserTest::contentLineFilterBelowTitle()
{
    QFETCH(QString, probe);
    QFETCH(TextField, expected);

    const QStringList lines{QStringLiteral("Senior Developer"), probe, QStringLiteral("Istanbul"),
                            QStringLiteral("Berlin"), QStringLiteral("Acme")};
    QCOMPARE(PostingParser::parse(joined(lines)).company, expected);
}

void PostingParserTest::workModel_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<ModelField>("expected");

    QTest::newRow("keyword alone") << "Hybrid" << model(WorkModel::hybrid, high, "Hybrid");
    QTest::newRow("keyword in brackets") << QStringLiteral("İstanbul (Hibrit)")
                                         << model(WorkModel::hybrid, high, QStringLiteral("İstanbul (Hibrit)"));
    QTest::newRow("full-width brackets") << QStringLiteral("Berlin\uFF08Remote\uFF09")
                                         << model(WorkModel::remote, high, QStringLiteral("Berlin\uFF08Remote\uFF09"));
    QTest::newRow("blank after bracket") << "Austin ( Hybrid )"
                                         << model(WorkModel::hybrid, medium, "Austin ( Hybrid )");
    QTest::newRow("hybrid before on-site")
        << "Hybrid work, 3 days in office" << model(WorkModel::hybrid, medium, "Hybrid work, 3 days in office");
    QTest::newRow("hybrid before remote") << "Remote or hybrid" << model(WorkModel::hybrid, medium, "Remote or hybrid");
    QTest::newRow("remote before on-site")
        << "On-site or remote" << model(WorkModel::remote, medium, "On-site or remote");
    QTest::newRow("on-site in metadata") << "Warsaw, Poland (On-site)"
                                         << model(WorkModel::onSite, high, "Warsaw, Poland (On-site)");
    QTest::newRow("turkish") << QStringLiteral("Haftada 2 gün ofisten çalışma")
                             << model(WorkModel::hybrid, medium, QStringLiteral("Haftada 2 gün ofisten çalışma"));
    QTest::newRow("substring of a word") << QStringLiteral("Karmaşık sistemler")
                                         << model(WorkModel::hybrid, medium, QStringLiteral("Karmaşık sistemler"));
    QTest::newRow("first line decides") << "Remote\nHybrid" << model(WorkModel::remote, high, "Remote");
    QTest::newRow("long line dropped") << QStringLiteral("Hybrid ") + QString(120, u'a') << ModelField();
    QTest::newRow("no keyword") << "Senior Developer\nAcme" << ModelField();
}

void PostingParserTest::workModel()
{
    QFETCH(QString, text);
    QFETCH(ModelField, expected);

    QCOMPARE(PostingParser::parse(text).workModel, expected);
}

void PostingParserTest::position_data()
{
    QTest::addColumn<Lines>("lines");
    QTest::addColumn<TextField>("expected");

    const QString ios = QStringLiteral("Senior iOS Developer");
    // 2.0 + 0.5 + 1.0 + 1.5 = 5.0
    QTest::newRow("recognised title") << Lines{line(ios, 2, 1.0)} << field(ios, high);
    // 2.0 + 0.5 + 0.3 = 2.8
    QTest::newRow("pasted title") << Lines{line("Backend Developer", 7)} << field("Backend Developer", medium);

    // Order bonus: < 5 gives 1.0, < 12 gives 0.3.
    QTest::newRow("order 4") << Lines{line("Developer", 4)} << field("Developer", high); // 3.0
    QTest::newRow("order 5") << Lines{line("Developer", 5)} << field("Developer", medium); // 2.3
    QTest::newRow("order 11") << Lines{line("Developer", 11, 0.7)} << field("Developer", high); // 3.0
    QTest::newRow("order 12") << Lines{line("Developer", 12, 0.7)} << field("Developer", medium); // 2.7

    // Heights: > 0.85 gives 1.5, > 0.6 gives 0.7; without a title word the line must be taller than 0.6.
    QTest::newRow("height 0.86 without title word")
        << Lines{line("Northwind Portal", 20, 0.86)} << field("Northwind Portal", medium); // 1.5
    QTest::newRow("height 0.85 without title word") << Lines{line("Northwind Portal", 20, 0.85)} << TextField(); // 0.7
    QTest::newRow("height 0.85 at the top")
        << Lines{line("Northwind Portal", 0, 0.85)} << field("Northwind Portal", medium); // 1.7
    QTest::newRow("height 0.61 with tech word")
        << Lines{line("Cloud Portal", 0, 0.61)} << field("Cloud Portal", medium); // 2.2
    QTest::newRow("height 0.6 is not tall") << Lines{line("Cloud Portal", 0, 0.6)} << TextField();
    QTest::newRow("height 0.86 with title word")
        << Lines{line("Developer", 12, 0.86)} << field("Developer", high); // 3.5
    QTest::newRow("height 0.6 with title word")
        << Lines{line("Developer", 12, 0.6)} << field("Developer", medium); // 2.0
    QTest::newRow("no height, no title word") << Lines{line("NORTHWIND PORTAL", 0)} << TextField();

    // Penalties.
    QTest::newRow("company suffix") << Lines{line("Developer Labs", 0)} << field("Developer Labs", medium); // 1.5
    QTest::newRow("location word") << Lines{line("Developer Berlin", 0)} << TextField(); // 1.0
    QTest::newRow("location word, tall") << Lines{line("iOS Developer Berlin", 0, 0.9)}
                                         << field("iOS Developer Berlin", high); // 3.0
    QTest::newRow("metadata word") << Lines{line("Developer 2 days ago", 0)} << TextField(); // 1.0
    const QString seventy = QStringLiteral("Developer") + QString(57, u' ') + QStringLiteral("Team");
    const QString seventyOne = QStringLiteral("Developer") + QString(58, u' ') + QStringLiteral("Team");
    QTest::newRow("70 characters") << Lines{line(seventy, 0)} << field(seventy, high); // 3.0
    QTest::newRow("71 characters") << Lines{line(seventyOne, 0)} << field(seventyOne, medium); // 2.0
    QTest::newRow("whole words only") << Lines{line("Engineering Leadership", 0)} << TextField();

    // The 1.5 floor.
    const QString longJava = QStringLiteral("Java Developer ") + QString(57, u'x');
    QTest::newRow("exactly 1.5") << Lines{line(longJava, 20)} << field(longJava, medium);
    const QString longPlain = QStringLiteral("Zzzz Developer ") + QString(57, u'x');
    QTest::newRow("1.0 is no candidate") << Lines{line(longPlain, 20)} << TextField();
    QTest::newRow("1.3 is no candidate") << Lines{line(longPlain, 7)} << TextField();

    // Ties keep the earlier line; only a strictly higher score replaces it.
    QTest::newRow("tie") << Lines{line("Java Developer", 0), line("Python Developer", 1)}
                         << field("Java Developer", high);
    QTest::newRow("higher later") << Lines{line("Developer", 0), line("Java Developer", 1)}
                                  << field("Java Developer", high);
    QTest::newRow("lower later") << Lines{line("Java Developer", 0), line("Developer", 1)}
                                 << field("Java Developer", high);
    // 2.0 + 0.5 + 0.3 - 1.0 and 0.3 + 1.5 are both 1.8; summed as reals the second
    // would come out a hair higher.
    const QString longJavaTitle = QStringLiteral("Java Developer ") + QString(57, u'x');
    QTest::newRow("tie of differently built scores")
        << Lines{line(longJavaTitle, 7), line("Northwind Portal", 7, 0.9)} << field(longJavaTitle, medium);
    // 2.0 + 0.3 + 0.7 = 3.0 against 2.0 + 1.0 = 3.0.
    QTest::newRow("tie at 3.0") << Lines{line("Developer", 7, 0.7), line("Engineer", 0, 0.5)}
                                << field("Developer", high);

    QTest::newRow("turkish title") << Lines{line(QStringLiteral("Kıdemli Yazılım Mühendisi"), 0)}
                                   << field(QStringLiteral("Kıdemli Yazılım Mühendisi"), high);
    QTest::newRow("turkish title with odd spelling")
        << Lines{line(QStringLiteral("Satış Müddürü"), 0)} << field(QStringLiteral("Satış Müddürü"), high);
    QTest::newRow("no lines") << Lines{} << TextField();
}

void PostingParserTest::position()
{
    QFETCH(Lines, lines);
    QFETCH(TextField, expected);

    QCOMPARE(PostingParser::parse(lines).position, expected);
}

void PostingParserTest::company_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<TextField>("expected");

    // Segment rule.
    const QString meta = QStringLiteral("Acme Corp · Istanbul, Türkiye · 2 days ago");
    QTest::newRow("metadata line") << meta << field("Acme Corp", high, meta);
    QTest::newRow("location first, next line") << QStringLiteral("Istanbul · Hybrid\nNorthwind · Berlin")
                                               << field("Northwind", high, QStringLiteral("Northwind · Berlin"));
    QTest::newRow("metadata first, next line") << QStringLiteral("2 days ago · 50 applicants\nNorthwind | Remote")
                                               << field("Northwind", high, "Northwind | Remote");
    const QString sixty = QString(60, u'N');
    const QString sixtyOne = QString(61, u'N');
    QTest::newRow("first part of 60 characters")
        << sixty + QStringLiteral(" · Remote") << field(sixty, high, sixty + QStringLiteral(" · Remote"));
    QTest::newRow("first part of 61 characters") << sixtyOne + QStringLiteral(" · Remote") << TextField();
    QTest::newRow("only separators") << QStringLiteral("· | •\nNorthwind • Remote")
                                     << field("Northwind", high, QStringLiteral("Northwind • Remote"));
    QTest::newRow("first part without words")
        << QStringLiteral("— · Remote") << field(QStringLiteral("—"), high, QStringLiteral("— · Remote"));

    // Address rule: Workday board and a link.
    const QString workdayLink = QStringLiteral("https://acme.wd3.myworkdayjobs.com/External/job/1");
    QTest::newRow("workday address") << joined({workdayLink, "Senior Developer", "Istanbul"})
                                     << field("acme", low, QStringLiteral("From address: acme.wd3.myworkdayjobs.com"));
    QTest::newRow("workday address before suffix")
        << joined({workdayLink, "Senior Developer", "Northwind Holding"})
        << field("acme", low, QStringLiteral("From address: acme.wd3.myworkdayjobs.com"));
    QTest::newRow("segment line before address") << joined({workdayLink, "Northwind · Berlin"})
                                                 << field("Northwind", high, QStringLiteral("Northwind · Berlin"));
    QTest::newRow("address without content lines")
        << workdayLink << field("acme", low, QStringLiteral("From address: acme.wd3.myworkdayjobs.com"));
    QTest::newRow("all-digit first label")
        << joined({"https://123.wd3.myworkdayjobs.com/job/1", "Senior Developer", "Northwind Holding"})
        << field("Northwind Holding", medium);
    QTest::newRow("first label of two characters")
        << joined({"https://ab.wd3.myworkdayjobs.com/job/1", "Senior Developer", "Northwind Holding"})
        << field("Northwind Holding", medium);
    QTest::newRow("first label of three characters")
        << joined({"https://a1b.wd3.myworkdayjobs.com/job/1", "Senior Developer"})
        << field("a1b", low, QStringLiteral("From address: a1b.wd3.myworkdayjobs.com"));
    QTest::newRow("workday board without link")
        << joined({"Workday", "Senior Developer", "Northwind"}) << field("Northwind", low);
    QTest::newRow("link on another board")
        << joined({"https://careers.acme.com/jobs/1", "Senior Developer"}) << TextField();

    // Suffix rule.
    QTest::newRow("suffix") << QStringLiteral("Senior Developer\nNorthwind Teknoloji A.Ş.")
                            << field(QStringLiteral("Northwind Teknoloji A.Ş."), medium);
    QTest::newRow("suffix above the title")
        << QStringLiteral("Northwind GmbH\nSenior Developer") << field("Northwind GmbH", medium);
    QTest::newRow("dotted legal form is no word")
        << QStringLiteral("Senior Developer\nNorthwind A.Ş.") << field(QStringLiteral("Northwind A.Ş."), low);
    QTest::newRow("suffix line that is the position")
        << "Developer Labs\nIstanbul" << TextField(); // below the title only a location
    QTest::newRow("suffix line equal to the position, later line")
        << "Developer Labs\nNorthwind Inc" << field("Northwind Inc", medium);
    QTest::newRow("suffix with metadata word") << "Senior Developer\nNorthwind Group 3 days ago" << TextField();
    const QString suffix60 = QStringLiteral("Northwind Labs ") + QString(45, u'x');
    const QString suffix61 = QStringLiteral("Northwind Labs ") + QString(46, u'x');
    QTest::newRow("suffix line of 60 characters")
        << QStringLiteral("Senior Developer\n") + suffix60 << field(suffix60, medium);
    QTest::newRow("suffix line of 61 characters") << QStringLiteral("Senior Developer\n") + suffix61 << TextField();

    // Below-title rule.
    QTest::newRow("below the title") << "Senior Developer\nIstanbul\nNorthwind" << field("Northwind", low);
    QTest::newRow("third line below") << "Senior Developer\nIstanbul\nBerlin\nNorthwind" << field("Northwind", low);
    QTest::newRow("fourth line below") << "Senior Developer\nIstanbul\nBerlin\nLondon\nNorthwind" << TextField();
    QTest::newRow("title word below") << "Senior Developer\nLead Engineer\nNorthwind" << field("Northwind", low);
    QTest::newRow("line without words below")
        << QStringLiteral("Senior Developer\n——\nNorthwind") << field(QStringLiteral("——"), low);
    QTest::newRow("long line below") << QStringLiteral("Senior Developer\n") + QString(61, u'n')
            + QStringLiteral("\nNorthwind")
                                     << field("Northwind", low);
    QTest::newRow("first copy of the title")
        << "Java Developer\nIstanbul\nBerlin\nLondon\nJava Developer\nNorthwind" << TextField();
    QTest::newRow("no position") << "Northwind" << TextField();
    QTest::newRow("nothing") << "" << TextField();
}

void PostingParserTest::company()
{
    QFETCH(QString, text);
    QFETCH(TextField, expected);

    QCOMPARE(PostingParser::parse(text).company, expected);
}

void PostingParserTest::location_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<TextField>("expected");

    const QString meta = QStringLiteral("Acme Corp · Istanbul, Türkiye · 2 days ago");
    QTest::newRow("last part without location word") << meta << field(meta, medium);
    QTest::newRow("last part with location word")
        << QStringLiteral("Acme · Berlin, Germany")
        << field("Berlin, Germany", high, QStringLiteral("Acme · Berlin, Germany"));
    QTest::newRow("no parts") << "Berlin, Germany" << field("Berlin, Germany", medium);
    QTest::newRow("remote is a place word") << "Remote" << field("Remote", medium);
    QTest::newRow("turkish") << QStringLiteral("İstanbul(Avr.)") << field(QStringLiteral("İstanbul(Avr.)"), medium);
    QTest::newRow("first line wins") << "Berlin\nLondon" << field("Berlin", medium);
    QTest::newRow("address line dropped") << "https://istanbul.acme.com/x\nAnkara" << field("Ankara", medium);
    QTest::newRow("no location word") << "Austin, TX" << TextField();
}

void PostingParserTest::location()
{
    QFETCH(QString, text);
    QFETCH(TextField, expected);

    QCOMPARE(PostingParser::parse(text).location, expected);
}

void PostingParserTest::positionUpgrade_data()
{
    QTest::addColumn<Lines>("lines");
    QTest::addColumn<ParseConfidence>("expected");

    const PostingLine title = line(QStringLiteral("Backend Developer"), 7); // 2.8, medium
    const PostingLine company = line(QStringLiteral("Acme · Berlin"), 8);
    QTest::newRow("company line right below") << Lines{title, company} << high;
    QTest::newRow("furniture between") << Lines{title, line(QStringLiteral("Easy Apply"), 8), company} << high;
    QTest::newRow("line between") << Lines{title, line(QStringLiteral("Full-time"), 8), company} << medium;
    QTest::newRow("company line above") << Lines{company, title} << medium;
    QTest::newRow("company not from a metadata line")
        << Lines{title, line(QStringLiteral("Acme Holding"), 8)} << medium;
    QTest::newRow("address company") << Lines{line(QStringLiteral("https://acme.wd1.myworkdayjobs.com/x"), 0), title,
                                              line("Berlin", 8)}
                                     << medium;
}

void PostingParserTest::positionUpgrade()
{
    QFETCH(Lines, lines);
    QFETCH(ParseConfidence, expected);

    const ParsedPosting posting = PostingParser::parse(lines);
    QVERIFY(posting.position);
    QCOMPARE(posting.position->value, QStringLiteral("Backend Developer"));
    QCOMPARE(posting.position->evidence, QStringLiteral("Backend Developer"));
    QCOMPARE(posting.position->confidence, expected);
}

// MARK: - Worked examples and edge cases

void PostingParserTest::threeLinePastedPosting()
{
    const QString meta = QStringLiteral("Acme Corp · Istanbul, Türkiye · 2 days ago");
    const QString text = joined({QStringLiteral("Senior iOS Developer"), meta, QStringLiteral("Hybrid")});
    const ParsedPosting posting = PostingParser::parse(text);

    QCOMPARE(posting.position, field(QStringLiteral("Senior iOS Developer"), high));
    QCOMPARE(posting.company, field(QStringLiteral("Acme Corp"), high, meta));
    QCOMPARE(posting.workModel, model(WorkModel::hybrid, high, QStringLiteral("Hybrid")));
    QCOMPARE(posting.location, field(meta, medium));
    QCOMPARE(posting.board, JobBoard::unknown);
    QCOMPARE(posting.postingLink, TextField());
    QCOMPARE(posting.rawText, text);
    QVERIFY(!posting.isEmpty());
}

void PostingParserTest::emptyInput()
{
    for (const ParsedPosting& posting :
         {PostingParser::parse(QString()), PostingParser::parse(QStringLiteral(" \n\t\n")),
          PostingParser::parse(Lines{})}) {
        QVERIFY(!posting.company && !posting.position && !posting.workModel && !posting.location
                && !posting.postingLink);
        QCOMPARE(posting.board, JobBoard::unknown);
        QVERIFY(posting.isEmpty());
    }
    QCOMPARE(PostingParser::parse(Lines{}).rawText, QString());
    QCOMPARE(PostingParser::parse(QStringLiteral(" \n\t\n")).rawText, QStringLiteral(" \n\t\n"));
}

void PostingParserTest::onlyLocationIsEmpty()
{
    const ParsedPosting posting = PostingParser::parse(QStringLiteral("Istanbul"));
    QCOMPARE(posting.location, field(QStringLiteral("Istanbul"), medium));
    QVERIFY(posting.isEmpty());
}

// MARK: - Real postings

namespace {

struct CorpusExpectation {
    TextField company;
    TextField position;
    ModelField workModel;
    TextField location;
    TextField postingLink;
    JobBoard board;
};

} // namespace

Q_DECLARE_METATYPE(CorpusExpectation)

void PostingParserTest::corpusPostings_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<CorpusExpectation>("expected");

    // A careers page: suffix rule, title at order 7, bare-domain link with a job path.
    QTest::newRow("pub-002") << "pub-002"
                             << CorpusExpectation{field("UMBRELLA LABS CAREERS", medium),
                                                  field("Full Stack Developer (Node.js)", medium),
                                                  ModelField(),
                                                  field("Munich, Germany", medium),
                                                  field("http://careers.umbrellalabs.com/jobs/1719198", high,
                                                        "careers.umbrellalabs.com/jobs/1719198"),
                                                  JobBoard::unknown};
    // Workday: the first metadata line starts with a place name that is no location word.
    const QString hooliLink =
        QStringLiteral("https://hooli.wd1.myworkdayjobs.com/External/job/USA-Boston-MA/Senior-Data-Engineer_R70647");
    QTest::newRow("pub-009") << "pub-009"
                             << CorpusExpectation{field("Austin, Texas", high, "Austin, Texas · Posted 10 Days Ago"),
                                                  field("Senior Data Engineer", high),
                                                  ModelField(),
                                                  field("USA-Boston-MA", medium),
                                                  field(hooliLink, high),
                                                  JobBoard::workday};
    // Kariyer.net in Turkish: suffix rule with "Teknoloji", a work-model chip.
    const QString kariyerLink =
        QStringLiteral("https://www.kariyer.net/is-ilani/northwind-teknoloji-a-s-kidemli-yazilim-muhendisi-3932058");
    QTest::newRow("pub-016") << "pub-016"
                             << CorpusExpectation{field(QStringLiteral("Northwind Teknoloji A.Ş."), medium),
                                                  field(QStringLiteral("Kıdemli Yazılım Mühendisi"), high),
                                                  model(WorkModel::remote, high, "Uzaktan"),
                                                  field("Ankara", medium),
                                                  field(kariyerLink, medium),
                                                  JobBoard::kariyerNet};
    // Workday without any metadata line: the company comes from the address.
    const QString fjordLink = QStringLiteral(
        "https://fjordline.wd3.myworkdayjobs.com/External/job/Lisbon-Portugal/Product-Designer_R-156805");
    QTest::newRow("pub-019") << "pub-019"
                             << CorpusExpectation{
                                    field("fjordline", low, "From address: fjordline.wd3.myworkdayjobs.com"),
                                    field("Product Designer", high),
                                    model(WorkModel::remote, medium, "remote type"),
                                    field("remote type", medium),
                                    field(fjordLink, high),
                                    JobBoard::workday};
    // LinkedIn top card: everything from the metadata line.
    const QString initechMeta =
        QStringLiteral("Initech Ltd. · Warsaw, Mazowieckie, Poland (On-site) · 3 weeks ago · 47 applicants");
    QTest::newRow("pub-033") << "pub-033"
                             << CorpusExpectation{field("Initech Ltd.", high, initechMeta),
                                                  field("Senior iOS Developer", high),
                                                  model(WorkModel::onSite, high, initechMeta),
                                                  field(initechMeta, medium),
                                                  TextField(),
                                                  JobBoard::unknown};
}

void PostingParserTest::corpusPostings()
{
    QFETCH(QString, id);
    QFETCH(CorpusExpectation, expected);

    const QString text = readCorpusText(id);
    QVERIFY2(!text.isEmpty(), qPrintable(QStringLiteral("cannot read %1").arg(id)));
    const ParsedPosting posting = PostingParser::parse(text);
    QCOMPARE(posting.company, expected.company);
    QCOMPARE(posting.position, expected.position);
    QCOMPARE(posting.workModel, expected.workModel);
    QCOMPARE(posting.location, expected.location);
    QCOMPARE(posting.postingLink, expected.postingLink);
    QCOMPARE(posting.board, expected.board);
    QCOMPARE(posting.rawText, text);
}

void PostingParserTest::corpusInvariants()
{
    const QDir directory(corpusDirectory());
    const QStringList files = directory.entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name);
    QVERIFY(files.size() >= 40);

    int withPosition = 0;
    for (const QString& name : files) {
        const QString text = readCorpusText(name.chopped(4));
        const ParsedPosting posting = PostingParser::parse(text);
        QCOMPARE(posting.rawText, text);

        QStringList lines;
        for (const QString& piece : text.split(u'\n'))
            lines << piece.trimmed();
        // Every value comes from one line of the text, which is its evidence.
        const auto fromLine = [&](const TextField& value, bool valueIsLine) {
            if (!value)
                return true;
            if (value->evidence.startsWith(QStringLiteral("From address: ")))
                return true;
            return lines.contains(value->evidence) && (!valueIsLine || value->value == value->evidence);
        };
        QVERIFY2(fromLine(posting.position, true), qPrintable(name));
        QVERIFY2(fromLine(posting.company, false), qPrintable(name));
        QVERIFY2(fromLine(posting.location, false), qPrintable(name));
        QVERIFY2(fromLine(posting.postingLink, false), qPrintable(name));
        if (posting.workModel)
            QVERIFY2(lines.contains(posting.workModel->evidence), qPrintable(name));
        if (posting.position)
            ++withPosition;
    }
    QVERIFY(withPosition > files.size() / 2);
}

void PostingParserTest::parsesConcurrently()
{
    const QDir directory(corpusDirectory());
    QStringList texts;
    for (const QString& name : directory.entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name))
        texts << readCorpusText(name.chopped(4));
    QVERIFY(!texts.isEmpty());

    QList<ParsedPosting> sequential;
    for (const QString& text : texts)
        sequential << PostingParser::parse(text);

    QStringList repeated;
    for (int round = 0; round < 8; ++round)
        repeated << texts;
    const QList<ParsedPosting> parallel = QtConcurrent::blockingMapped<QList<ParsedPosting>>(
        repeated, [](const QString& text) { return PostingParser::parse(text); });
    QCOMPARE(parallel.size(), repeated.size());
    for (qsizetype i = 0; i < parallel.size(); ++i)
        QVERIFY(parallel[i] == sequential[i % texts.size()]);
}

QTEST_GUILESS_MAIN(PostingParserTest)
#include "tst_postingparser.moc"
