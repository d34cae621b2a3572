#include "posting/LinkDetector.h"
#include "posting/ParsedPosting.h"
#include "posting/PostingParser.h"
#include "posting/PostingVocabulary.h"
#include "posting/TextFolding.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <QtConcurrent>

using TextField = std::optional<ParsedField<QString>>;
using ModelField = std::optional<ParsedField<WorkModel>>;
using Lines = QList<PostingLine>;

Q_DECLARE_METATYPE(TextField)
Q_DECLARE_METATYPE(Lines)
Q_DECLARE_METATYPE(JobBoard)

namespace {

constexpr auto low = ParseConfidence::low;
constexpr auto medium = ParseConfidence::medium;
constexpr auto high = ParseConfidence::high;

TextField field(const QString& value, ParseConfidence confidence, const QString& evidence)
{
    return ParsedField<QString> {value, confidence, evidence};
}

// Most values are taken from a whole line, which is then also the evidence.
TextField field(const QString& value, ParseConfidence confidence)
{
    return field(value, confidence, value);
}

ModelField model(WorkModel value, ParseConfidence confidence, const QString& evidence)
{
    return ParsedField<WorkModel> {value, confidence, evidence};
}

// A work model written as its raw value, so that one printer serves every field.
TextField asText(const ModelField& found)
{
    if (!found)
        return std::nullopt;
    return field(QString(rawValue(found->value)), found->confidence, found->evidence);
}

PostingLine line(const QString& text, int order, std::optional<double> height = std::nullopt)
{
    return PostingLine {text, order, height, std::nullopt};
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

QString readCorpusText(const QString& id)
{
    QFile file(QStringLiteral(APPLYWRIGHT_CORPUS_DIR "/postings/") + id + QStringLiteral(".txt"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

} // namespace

char* toString(const TextField& value)
{
    if (!value)
        return QTest::toString(QStringLiteral("(absent)"));
    const char* confidence = std::array {"low", "medium", "high"}[int(value->confidence)];
    return QTest::toString(
        QStringLiteral("\"%1\" [%2] from \"%3\"").arg(value->value, QLatin1String(confidence), value->evidence));
}

char* toString(JobBoard board)
{
    return QTest::toString(rawValue(board));
}

class PostingParserTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void normalize_data();
    void normalize();
    void segments_data();
    void segments();
    void linkDetector_data();
    void linkDetector();
    void vocabularies();

    void rawTextAndLineSplitting();
    void board_data();
    void board();
    void contentLineFilterForPosition_data();
    void contentLineFilterForPosition();
    void position_data();
    void position();
    void textFields_data();
    void textFields();
    void positionUpgrade_data();
    void positionUpgrade();

    void emptyResults();
    void corpusPostings_data();
    void corpusPostings();
    void parsesConcurrently();
};

// MARK: - Text functions

void PostingParserTest::normalize_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    QTest::newRow("turkish lower-case letters") << QStringLiteral("ışğçöü") << "isgcou";
    QTest::newRow("turkish capitals, I without Turkish casing") << QStringLiteral("IŞĞÇÖÜ") << "isgcou";
    QTest::newRow("dotted capital I") << QStringLiteral("İSTANBUL") << "istanbul";
    QTest::newRow("decomposed dotted I") << QStringLiteral("I\u0307zmir") << "izmir";
    QTest::newRow("other diacritics") << QStringLiteral("Café Résumé naïve São Paulo") << "cafe resume naive sao paulo";
    QTest::newRow("full-width forms") << QStringLiteral("\uFF33\uFF45\uFF4E\u3000\uFF08\uFF28\uFF49\uFF09\uFF11\uFF12")
                                      << "sen (hi)12";
    QTest::newRow("unicode spaces and line separators")
        << QStringLiteral("a\u00A0b\u2003c\u3000d\u2028e\u0085f\r\ng") << "a b c d e f g";
    QTest::newRow("punctuation and separators kept")
        << QStringLiteral("Acme · İstanbul (Hibrit) | 3 gün önce • 50+ ‧ x・y ❘ z")
        << QStringLiteral("acme · istanbul (hibrit) | 3 gun once • 50+ ‧ x・y ❘ z");
    QTest::newRow("other compatibility forms kept") << QStringLiteral("m² ½") << QStringLiteral("m² ½");
    QTest::newRow("hangul kept whole") << QStringLiteral("한국") << QStringLiteral("한국");
}

void PostingParserTest::normalize()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);

    const QString normalized = TextFolding::normalize(text);
    QCOMPARE(normalized, expected);
    QCOMPARE(TextFolding::normalize(normalized), expected); // idempotent
    // Appending to a buffer that already holds text folds the same way.
    QString buffer = QStringLiteral("x ");
    TextFolding::appendNormalized(text, buffer);
    QCOMPARE(buffer, QStringLiteral("x ") + expected);
}

void PostingParserTest::segments_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("middle dot") << QStringLiteral("Acme Corp · Istanbul, Türkiye · 2 days ago")
                                << QStringList {"Acme Corp", QStringLiteral("Istanbul, Türkiye"), "2 days ago"};
    QTest::newRow("all separators") << QStringLiteral("a·b•c‧d・e|f❘g")
                                    << QStringList {"a", "b", "c", "d", "e", "f", "g"};
    QTest::newRow("empty pieces dropped") << QStringLiteral(" | Acme |  | Remote | ") << QStringList {"Acme", "Remote"};
    QTest::newRow("original text kept") << QStringLiteral("Çamlıca A.Ş. · İSTANBUL")
                                        << QStringList {QStringLiteral("Çamlıca A.Ş."), "İSTANBUL"};
    QTest::newRow("full-width vertical line is no separator") << QStringLiteral("Acme \uFF5C Remote") << QStringList {};
}

void PostingParserTest::segments()
{
    QFETCH(QString, text);
    QFETCH(QStringList, expected);

    QCOMPARE(TextFolding::segments(text), expected);
}

void PostingParserTest::linkDetector_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected"); // empty: no link

    const auto row = [](const char* name, const char* text, const char* expected) {
        QTest::newRow(name) << QString::fromUtf8(text) << QString::fromUtf8(expected);
    };
    const char* wiki = "https://en.wikipedia.org/wiki/Acme_(company)";
    const char* glassdoor = "https://www.glassdoor.com/job-listing/x-JV_IC3256131_KO0,24_KE25,33.htm?jl=1009037104238";
    row("in brackets", "(see https://acme.com/jobs)", "https://acme.com/jobs");
    row("trailing comma", "https://acme.com/jobs/1, then apply", "https://acme.com/jobs/1");
    row("balanced bracket kept", wiki, wiki);
    row("commas and query inside", glassdoor, glassdoor);
    row("www", "www.acme.com/careers", "http://www.acme.com/careers");
    row("bare domain alone", "Visit acme.com, today", "http://acme.com");
    row("two-label public suffix", "northwind.com.tr/kariyer", "http://northwind.com.tr/kariyer");
    row("framework name under no suffix", "Full Stack Developer (Node.js)", "");
    row("unknown suffix", "acme.notarealtld/jobs", "");
    row("e-mail address first", "Write to jobs@acme.com or see acme.com/jobs", "mailto:jobs@acme.com");
    row("domain after an underscore", "ref_acme.com/jobs", "http://acme.com/jobs");
    row("upper-case scheme and host", "HTTPS://ACME.COM/Jobs", "https://acme.com/Jobs");
    row("scheme without address", "Apply (https://). https:// nothing", "");
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

void PostingParserTest::vocabularies()
{
    namespace V = PostingVocabulary;
    // Lines are compared in folded form, so an entry that is not folded could never match;
    // and every entry must be found again in the table built from the lists.
    const std::pair<std::span<const QStringView>, V::WordKind> lists[]
        = {{V::locationWords(), V::locationWord}, {V::titleWords(), V::titleWord}, {V::techWords(), V::techWord},
            {V::metadataWords(), V::metadataWord}, {V::companySuffixes(), V::companySuffix}};
    for (const auto& [list, kind] : lists) {
        for (QStringView word : list) {
            QCOMPARE(TextFolding::normalize(word), word.toString());
            QVERIFY2(V::kindsOf(word) & kind, qPrintable(word.toString()));
        }
    }
    for (QStringView phrase : V::noisePhrases()) {
        QCOMPARE(TextFolding::normalize(phrase), phrase.toString());
        QVERIFY2(V::isNoisePhrase(phrase), qPrintable(phrase.toString()));
    }
    // Each keyword on a line of its own gives its own work model.
    for (const V::WorkModelKeywords& row : V::workModelKeywords()) {
        for (QStringView keyword : row.keywords) {
            const ModelField found = PostingParser::parse(keyword.toString()).workModel;
            QVERIFY2(found && found->value == row.workModel, qPrintable(keyword.toString()));
        }
    }
    // A word of several lists carries every list's kind; only folded words match.
    QCOMPARE(V::kindsOf(u"backend"), V::WordKinds(V::titleWord | V::techWord));
    QCOMPARE(V::kindsOf(u"Berlin"), V::WordKinds(0));
}

// MARK: - Parser rules

void PostingParserTest::rawTextAndLineSplitting()
{
    const Lines lines {line(QStringLiteral("Senior Developer"), 0), line(QStringLiteral("Acme"), 3)};
    QCOMPARE(PostingParser::parse(lines).rawText, QStringLiteral("Senior Developer\nAcme"));
    QCOMPARE(PostingParser::parse(lines, QStringLiteral("given")).rawText, QStringLiteral("given"));
    QCOMPARE(PostingParser::parse(lines, QString()).rawText, QString());

    // Blank lines take no order: the title is the fifth line (order 4) and gets the
    // top-of-page bonus, 2.0 + 1.0 = 3.0.
    const QString text = QStringLiteral("\n  One  \r\n\r\nTwo\n\n\nThree\u2028Four\n \t \n  Senior Developer  \n");
    const ParsedPosting posting = PostingParser::parse(text);
    QCOMPARE(posting.rawText, text);
    QCOMPARE(posting.position, field(QStringLiteral("Senior Developer"), high));
    // One more line before it and it is at order 5: 2.0 + 0.3.
    QCOMPARE(PostingParser::parse(QStringLiteral("Zero\n") + text).position,
        field(QStringLiteral("Senior Developer"), medium));

    // The same as the line entry point with the pieces numbered from 0.
    const Lines pieces {line(QStringLiteral("One"), 0), line(QStringLiteral("Two"), 1),
        line(QStringLiteral("Three"), 2), line(QStringLiteral("Four"), 3), line(QStringLiteral("Senior Developer"), 4)};
    QCOMPARE(posting, PostingParser::parse(pieces, text));
}

void PostingParserTest::board_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<JobBoard>("expected");

    QTest::newRow("workday career site") << "https://acme.wd3.myworkdayjobs.com/External/job/1" << JobBoard::workday;
    QTest::newRow("workday before linkedin") << "LinkedIn\nWe use Workday" << JobBoard::workday;
    QTest::newRow("linkedin before kariyer.net") << "Kariyer.net\nLinkedIn" << JobBoard::linkedIn;
    QTest::newRow("kariyer net with a blank") << "Kariyer Net" << JobBoard::unknown;
    QTest::newRow("kariyer.net before indeed") << "Indeed\nKariyer.net" << JobBoard::kariyerNet;
    QTest::newRow("indeed before glassdoor") << "Glassdoor\nIndeed" << JobBoard::indeed;
    QTest::newRow("15th line seen") << joined(fillerLines(14) << "Indeed") << JobBoard::indeed;
    QTest::newRow("16th line not seen") << joined(fillerLines(15) << "Indeed") << JobBoard::unknown;
    QTest::newRow("blank lines not counted")
        << joined(fillerLines(14) << "Indeed").replace(u'\n', QStringLiteral("\n\n")) << JobBoard::indeed;
    QTest::newRow("link beyond the 15th line")
        << joined(fillerLines(20) << "https://www.glassdoor.com/job-listing/x") << JobBoard::glassdoor;
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
    QTest::newRow("120 grapheme clusters") << title + QStringLiteral("\U0001F44D").repeated(103) << true;
    QTest::newRow("http, folded") << "Senior Developer HTTPS" << false;
    QTest::newRow("www.") << "Senior Developer at www.acme" << false;
    QTest::newRow("digit share below one half") << "QA 12" << true;
    QTest::newRow("digit share of one half") << "QA 123" << false;
    QTest::newRow("two characters") << "QA" << true;
}

void PostingParserTest::contentLineFilterForPosition()
{
    QFETCH(QString, text);
    QFETCH(bool, kept);

    const TextField position = PostingParser::parse(text).position;
    QCOMPARE(position.has_value(), kept);
    if (kept)
        QCOMPARE(position->value, text.trimmed());
}

void PostingParserTest::position_data()
{
    QTest::addColumn<Lines>("lines");
    QTest::addColumn<TextField>("expected");

    const QString ios = QStringLiteral("Senior iOS Developer");
    QTest::newRow("recognised title") << Lines {line(ios, 2, 1.0)} << field(ios, high); // 2.0 + 0.5 + 1.0 + 1.5

    // Order bonus: < 5 gives 1.0, < 12 gives 0.3.
    QTest::newRow("order 5") << Lines {line("Developer", 5)} << field("Developer", medium); // 2.3
    QTest::newRow("order 12") << Lines {line("Developer", 12, 0.7)} << field("Developer", medium); // 2.7

    // Heights: > 0.85 gives 1.5, > 0.6 gives 0.7; without a title word the line must be taller than 0.6.
    QTest::newRow("height 0.86 without title word")
        << Lines {line("Northwind Portal", 20, 0.86)} << field("Northwind Portal", medium); // 1.5
    QTest::newRow("height 0.85 without title word") << Lines {line("Northwind Portal", 20, 0.85)} << TextField(); // 0.7
    QTest::newRow("height 0.61 with tech word")
        << Lines {line("Cloud Portal", 0, 0.61)} << field("Cloud Portal", medium); // 2.2
    QTest::newRow("height 0.6 is not tall") << Lines {line("Cloud Portal", 0, 0.6)} << TextField();

    // Penalties.
    QTest::newRow("company suffix") << Lines {line("Developer Labs", 0)} << field("Developer Labs", medium); // 1.5
    QTest::newRow("location word") << Lines {line("Developer Berlin", 0)} << TextField(); // 1.0
    QTest::newRow("metadata word") << Lines {line("Developer 2 days ago", 0)} << TextField(); // 1.0
    const QString seventy = QStringLiteral("Developer") + QString(57, u' ') + QStringLiteral("Team");
    const QString seventyOne = QStringLiteral("Developer") + QString(58, u' ') + QStringLiteral("Team");
    QTest::newRow("70 characters") << Lines {line(seventy, 0)} << field(seventy, high); // 3.0
    QTest::newRow("71 characters") << Lines {line(seventyOne, 0)} << field(seventyOne, medium); // 2.0

    // The 1.5 floor: 2.0 + 0.5 - 1.0 far down, 2.0 + 0.3 - 1.0 a little higher.
    const QString longJava = QStringLiteral("Java Developer ") + QString(57, u'x');
    QTest::newRow("exactly 1.5") << Lines {line(longJava, 20)} << field(longJava, medium);
    const QString longPlain = QStringLiteral("Zzzz Developer ") + QString(57, u'x');
    QTest::newRow("1.3 is no candidate") << Lines {line(longPlain, 7)} << TextField();

    // Ties keep the earlier line; only a strictly higher score replaces it.
    QTest::newRow("tie") << Lines {line("Java Developer", 0), line("Python Developer", 1)}
                         << field("Java Developer", high);
    QTest::newRow("higher later") << Lines {line("Developer", 0), line("Java Developer", 1)}
                                  << field("Java Developer", high);
    // 2.0 + 0.5 + 0.3 - 1.0 and 0.3 + 1.5 are both 1.8; summed as reals the second
    // would come out a hair higher.
    QTest::newRow("tie of differently built scores")
        << Lines {line(longJava, 7), line("Northwind Portal", 7, 0.9)} << field(longJava, medium);
}

void PostingParserTest::position()
{
    QFETCH(Lines, lines);
    QFETCH(TextField, expected);

    QCOMPARE(PostingParser::parse(lines).position, expected);
}

void PostingParserTest::textFields_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<TextField>("expected"); // of the field the row's name starts with

    // Segment rule.
    const QString meta = QStringLiteral("Acme Corp · Istanbul, Türkiye · 2 days ago");
    QTest::newRow("company: metadata line") << meta << field("Acme Corp", high, meta);
    QTest::newRow("company: location first, next line") << QStringLiteral(
        "Istanbul · Hybrid\nNorthwind · Berlin") << field("Northwind", high, QStringLiteral("Northwind · Berlin"));
    const QString sixty = QString(60, u'N');
    QTest::newRow("company: first part of 60 characters")
        << sixty + QStringLiteral(" · Remote") << field(sixty, high, sixty + QStringLiteral(" · Remote"));
    QTest::newRow("company: first part of 61 characters")
        << QString(61, u'N') + QStringLiteral(" · Remote") << TextField();

    // Address rule: Workday board and a link.
    const QString workdayLink = QStringLiteral("https://acme.wd3.myworkdayjobs.com/External/job/1");
    const TextField fromAddress = field("acme", low, QStringLiteral("From address: acme.wd3.myworkdayjobs.com"));
    QTest::newRow("company: workday address") << workdayLink + "\nSenior Developer\nIstanbul" << fromAddress;
    QTest::newRow("company: segment line before address")
        << workdayLink + QStringLiteral("\nNorthwind · Berlin") << field("Northwind", high, "Northwind · Berlin");
    QTest::newRow("company: all-digit first label")
        << "https://123.wd3.myworkdayjobs.com/job/1\nSenior Developer\nNorthwind Holding"
        << field("Northwind Holding", medium);
    QTest::newRow("company: first label of three characters")
        << "https://a1b.wd3.myworkdayjobs.com/job/1\nSenior Developer"
        << field("a1b", low, "From address: a1b.wd3.myworkdayjobs.com");
    QTest::newRow("company: workday board without link")
        << "Workday\nSenior Developer\nNorthwind" << field("Northwind", low);
    QTest::newRow("company: link on another board")
        << "https://careers.acme.com/jobs/1\nSenior Developer" << TextField();

    // Suffix rule.
    QTest::newRow("company: suffix") << QStringLiteral("Senior Developer\nNorthwind Teknoloji A.Ş.")
                                     << field(QStringLiteral("Northwind Teknoloji A.Ş."), medium);
    QTest::newRow("company: dotted legal form is no word")
        << QStringLiteral("Senior Developer\nNorthwind A.Ş.") << field(QStringLiteral("Northwind A.Ş."), low);
    QTest::newRow("company: suffix line that is the position")
        << "Developer Labs\nIstanbul" << TextField(); // below the title only a location
    QTest::newRow("company: suffix line equal to the position, later line")
        << "Developer Labs\nNorthwind Inc" << field("Northwind Inc", medium);
    QTest::newRow("company: suffix with metadata word")
        << "Senior Developer\nNorthwind Group 3 days ago" << TextField();
    const QString suffix60 = QStringLiteral("Northwind Labs ") + QString(45, u'x');
    QTest::newRow("company: suffix line of 60 characters")
        << QStringLiteral("Senior Developer\n") + suffix60 << field(suffix60, medium);
    QTest::newRow("company: suffix line of 61 characters")
        << QStringLiteral("Senior Developer\n") + suffix60 + u'x' << TextField();

    // Below-title rule.
    QTest::newRow("company: third line below")
        << "Senior Developer\nIstanbul\nBerlin\nNorthwind" << field("Northwind", low);
    QTest::newRow("company: fourth line below")
        << "Senior Developer\nIstanbul\nBerlin\nLondon\nNorthwind" << TextField();
    QTest::newRow("company: first copy of the title")
        << "Java Developer\nIstanbul\nBerlin\nLondon\nJava Developer\nNorthwind" << TextField();

    QTest::newRow("location: last part without location word") << meta << field(meta, medium);
    QTest::newRow("location: last part with location word") << QStringLiteral(
        "Acme · Berlin, Germany") << field("Berlin, Germany", high, QStringLiteral("Acme · Berlin, Germany"));
    QTest::newRow("location: address line dropped") << "https://istanbul.acme.com/x\nAnkara" << field("Ankara", medium);
    QTest::newRow("location: no location word") << "Austin, TX" << TextField();

    const QString jobHost = QStringLiteral("https://jobs.acme.com/123");
    QTest::newRow("postingLink: host with job") << jobHost << field(jobHost, high);
    const QString plain = QStringLiteral("https://acme.com/careers/42");
    QTest::newRow("postingLink: no job") << plain << field(plain, medium);
    QTest::newRow("postingLink: bare domain with path")
        << "Apply: acme.com/careers/7" << field("http://acme.com/careers/7", medium, "Apply: acme.com/careers/7");
    QTest::newRow("postingLink: bare domain skipped, search goes on")
        << "acme.com\nacme.com/careers/7" << field("http://acme.com/careers/7", medium, "acme.com/careers/7");
    QTest::newRow("postingLink: path of one character") << "acme.com/\nwww.acme.com" << TextField();
    QTest::newRow("postingLink: http accepts an empty path") << "http://acme.com" << field("http://acme.com", medium);
    QTest::newRow("postingLink: ftp skipped")
        << "ftp://jobs.acme.com/x\nhttps://acme.com/y" << field("https://acme.com/y", medium);
    QTest::newRow("postingLink: e-mail address skipped")
        << "jobs@acme.com\nhttps://acme.com/y" << field("https://acme.com/y", medium);
    QTest::newRow("postingLink: first line wins")
        << "https://a-corp.com/one\nhttps://jobs.b-corp.com/two" << field("https://a-corp.com/one", medium);

    // Three lines below the title are looked at: if the line under it is kept,
    // "Acme" is the fourth and out of reach.
    const auto below = [](const char* name, const QString& probe, const TextField& expected) {
        QTest::addRow("company: %s", name)
            << QStringLiteral("Senior Developer\n") + probe + QStringLiteral("\nIstanbul\nBerlin\nAcme") << expected;
    };
    const TextField acme = field(QStringLiteral("Acme"), low);
    below("turkish noise phrase, folded", QStringLiteral("Daha  fazlasını GÖR"), acme);
    below("whole-line noise phrase", QStringLiteral("Be an early applicant"), acme);
    // Kept, but its metadata word rules it out and it fills one of the three places.
    below("longer than the noise phrase", QStringLiteral("Be an early applicant today"), TextField());
    below("noise phrase inside a line", QStringLiteral("Apply now on our site"), field("Apply now on our site", low));
    below("one character", QStringLiteral("X"), acme);
    below("two characters", QStringLiteral("XY"), field("XY", low));
    below("address", QStringLiteral("https://acme.com/x"), acme);

    // Work models, written as their raw value.
    const auto work = [](const char* name, const QString& text, WorkModel value, ParseConfidence confidence) {
        QTest::addRow("workModel: %s", name) << text << field(QString(rawValue(value)), confidence, text);
    };
    work("keyword in brackets", QStringLiteral("İstanbul (Hibrit)"), WorkModel::hybrid, high);
    work("blank after bracket", QStringLiteral("Austin ( Hybrid )"), WorkModel::hybrid, medium);
    work("hybrid before on-site", QStringLiteral("Hybrid work, 3 days in office"), WorkModel::hybrid, medium);
    work("remote before on-site", QStringLiteral("On-site or remote"), WorkModel::remote, medium);
    work("substring of a word", QStringLiteral("Karmaşık sistemler"), WorkModel::hybrid, medium);
    // An earlier keyword of the row is found first and is not the whole line.
    work("tam uzaktan", QStringLiteral("Tam uzaktan"), WorkModel::remote, medium);
    QTest::newRow("workModel: first line decides") << "Remote\nHybrid" << field("remote", high, "Remote");
    QTest::newRow("workModel: long line dropped") << QStringLiteral("Hybrid ") + QString(120, u'a') << TextField();
}

void PostingParserTest::textFields()
{
    QFETCH(QString, text);
    QFETCH(TextField, expected);

    const ParsedPosting posting = PostingParser::parse(text);
    const QString name = QString::fromUtf8(QTest::currentDataTag());
    TextField found = name.startsWith(u"company:") ? posting.company
        : name.startsWith(u"location:")            ? posting.location
                                                   : posting.postingLink;
    if (name.startsWith(u"workModel:"))
        found = asText(posting.workModel);
    QCOMPARE(found, expected);
}

void PostingParserTest::positionUpgrade_data()
{
    QTest::addColumn<Lines>("lines");
    QTest::addColumn<ParseConfidence>("expected");

    const PostingLine title = line(QStringLiteral("Backend Developer"), 7); // 2.8, medium
    const PostingLine company = line(QStringLiteral("Acme · Berlin"), 8);
    QTest::newRow("company line right below") << Lines {title, company} << high;
    QTest::newRow("furniture between") << Lines {title, line(QStringLiteral("Easy Apply"), 8), company} << high;
    QTest::newRow("line between") << Lines {title, line(QStringLiteral("Full-time"), 8), company} << medium;
    QTest::newRow("company line above") << Lines {company, title} << medium;
    QTest::newRow("company not from a metadata line")
        << Lines {title, line(QStringLiteral("Acme Holding"), 8)} << medium;
    QTest::newRow("address company") << Lines {line(QStringLiteral("https://acme.wd1.myworkdayjobs.com/x"), 0), title,
        line("Berlin", 8)} << medium;
}

void PostingParserTest::positionUpgrade()
{
    QFETCH(Lines, lines);
    QFETCH(ParseConfidence, expected);

    const ParsedPosting posting = PostingParser::parse(lines);
    const QString title = QStringLiteral("Backend Developer");
    QCOMPARE(posting.position, field(title, expected));
}

// MARK: - Worked examples and real postings

void PostingParserTest::emptyResults()
{
    const QString blank = QStringLiteral(" \n\t\n");
    ParsedPosting nothing;
    nothing.rawText = blank;
    QCOMPARE(PostingParser::parse(blank), nothing);
    QCOMPARE(PostingParser::parse(Lines {}), ParsedPosting {});
    QVERIFY(ParsedPosting {}.isEmpty());

    // A location (or a board) alone is no posting worth offering; any other field is.
    const ParsedPosting onlyLocation = PostingParser::parse(QStringLiteral("Istanbul\nLinkedIn"));
    QVERIFY(onlyLocation.location && onlyLocation.board == JobBoard::linkedIn && onlyLocation.isEmpty());
    for (const char* text : {"Remote", "https://acme.com/careers/1", "Senior Developer"})
        QVERIFY2(!PostingParser::parse(QString::fromUtf8(text)).isEmpty(), text);
}

Q_DECLARE_METATYPE(ParsedPosting)

void PostingParserTest::corpusPostings_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<ParsedPosting>("expected"); // without its raw text

    const auto row = [](const char* id, const QString& text, const ParsedPosting& expected) {
        QTest::newRow(id) << text << expected;
    };
    // A title, the usual "Company · Place · age" line and a work-model chip, pasted.
    const QString meta = QStringLiteral("Acme Corp · Istanbul, Türkiye · 2 days ago");
    row("pasted", QStringLiteral("Senior iOS Developer\n") + meta + QStringLiteral("\nHybrid"),
        {field("Acme Corp", high, meta), field("Senior iOS Developer", high), model(WorkModel::hybrid, high, "Hybrid"),
            field(meta, medium), TextField(), JobBoard::unknown, {}});
    // Workday: the first metadata line starts with a place name that is no location word.
    const QString hooliLink
        = QStringLiteral("https://hooli.wd1.myworkdayjobs.com/External/job/USA-Boston-MA/Senior-Data-Engineer_R70647");
    row("pub-009", readCorpusText("pub-009"),
        {field("Austin, Texas", high, "Austin, Texas · Posted 10 Days Ago"), field("Senior Data Engineer", high),
            ModelField(), field("USA-Boston-MA", medium), field(hooliLink, high), JobBoard::workday, {}});
    // Kariyer.net in Turkish: suffix rule with "Teknoloji", a work-model chip.
    const QString kariyerLink
        = QStringLiteral("https://www.kariyer.net/is-ilani/northwind-teknoloji-a-s-kidemli-yazilim-muhendisi-3932058");
    row("pub-016", readCorpusText("pub-016"),
        {field(QStringLiteral("Northwind Teknoloji A.Ş."), medium),
            field(QStringLiteral("Kıdemli Yazılım Mühendisi"), high), model(WorkModel::remote, high, "Uzaktan"),
            field("Ankara", medium), field(kariyerLink, medium), JobBoard::kariyerNet, {}});
    // LinkedIn top card: everything from the metadata line.
    const QString initech
        = QStringLiteral("Initech Ltd. · Warsaw, Mazowieckie, Poland (On-site) · 3 weeks ago · 47 applicants");
    row("pub-033", readCorpusText("pub-033"),
        {field("Initech Ltd.", high, initech), field("Senior iOS Developer", high),
            model(WorkModel::onSite, high, initech), field(initech, medium), TextField(), JobBoard::unknown, {}});
}

void PostingParserTest::corpusPostings()
{
    QFETCH(QString, text);
    QFETCH(ParsedPosting, expected);

    QVERIFY2(!text.isEmpty(), "cannot read the corpus text");
    const ParsedPosting posting = PostingParser::parse(text);
    QCOMPARE(posting.company, expected.company);
    QCOMPARE(posting.position, expected.position);
    QCOMPARE(asText(posting.workModel), asText(expected.workModel));
    QCOMPARE(posting.location, expected.location);
    QCOMPARE(posting.postingLink, expected.postingLink);
    QCOMPARE(posting.board, expected.board);
    QCOMPARE(posting.rawText, text);
}

void PostingParserTest::parsesConcurrently()
{
    // Parsing keeps no state between calls, so any number of threads may parse at once.
    const QDir directory(QStringLiteral(APPLYWRIGHT_CORPUS_DIR "/postings"));
    QStringList texts;
    for (const QString& name : directory.entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name))
        texts << readCorpusText(name.chopped(4));
    QVERIFY(texts.size() >= 40);

    QStringList repeated;
    for (int round = 0; round < 8; ++round)
        repeated << texts;
    const QList<ParsedPosting> parallel = QtConcurrent::blockingMapped<QList<ParsedPosting>>(
        repeated, [](const QString& text) { return PostingParser::parse(text); });
    QCOMPARE(parallel.size(), repeated.size());
    for (qsizetype i = 0; i < parallel.size(); ++i)
        QVERIFY(parallel[i] == PostingParser::parse(repeated[i]));
}

QTEST_GUILESS_MAIN(PostingParserTest)
#include "tst_postingparser.moc"
