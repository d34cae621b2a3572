#include "TestSupport.h"
#include "posting/LinkDetector.h"
#include "posting/ParsedPosting.h"
#include "posting/PostingParser.h"
#include "posting/PostingSuggestions.h"
#include "posting/PostingVocabulary.h"
#include "posting/TextFolding.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <QtConcurrent>

#include <string_view>

using TextField = std::optional<ParsedField<QString>>;
using ModelField = std::optional<ParsedField<WorkModel>>;
using Lines = QList<PostingLine>;

Q_DECLARE_METATYPE(TextField)
Q_DECLARE_METATYPE(Lines)
Q_DECLARE_METATYPE(JobBoard)
Q_DECLARE_METATYPE(ParsedPosting)

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

// `count` filler lines, then `last`.
QString filler(int count, const QString& last)
{
    QStringList lines;
    for (int i = 0; i < count; ++i)
        lines << QStringLiteral("Filler %1").arg(QChar(u'a' + i % 26));
    return (lines << last).join(u'\n');
}

QString readCorpusText(const QString& id)
{
    return QString::fromUtf8(
        TestSupport::readFile(QStringLiteral(APPLYWRIGHT_CORPUS_DIR "/postings/") + id + QStringLiteral(".txt")));
}

QString describe(const TextField& value)
{
    if (!value)
        return QStringLiteral("(absent)");
    const char* confidence = std::array {"low", "medium", "high"}[int(value->confidence)];
    return QStringLiteral("\"%1\" [%2] from \"%3\"").arg(value->value, QLatin1String(confidence), value->evidence);
}

// Every field on a line of its own, so that a failure names the wrong one.
QString describe(const ParsedPosting& posting)
{
    return QStringList {describe(posting.company), describe(posting.position), describe(asText(posting.workModel)),
        describe(posting.location), describe(posting.postingLink), QString(rawValue(posting.board)),
        QStringLiteral("raw text of %1 characters").arg(posting.rawText.size())}
        .join(QStringLiteral("\n  "));
}

void linesRow(const char* name, const Lines& lines, const TextField& expected)
{
    QTest::newRow(name) << lines << expected;
}

} // namespace

char* toString(const TextField& value)
{
    return QTest::toString(describe(value));
}

char* toString(const ParsedPosting& posting)
{
    return QTest::toString(describe(posting));
}

char* toString(JobBoard board)
{
    return QTest::toString(rawValue(board));
}

class PostingParserTest : public QObject {
    Q_OBJECT

private Q_SLOTS:

    // MARK: - Text functions

    void normalize_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");

        const auto row = [](const char* name, const char* text, const char* expected) {
            QTest::newRow(name) << QString::fromUtf8(text) << QString::fromUtf8(expected);
        };
        row("turkish lower-case letters", "ışğçöü", "isgcou");
        row("turkish capitals, I without Turkish casing", "IŞĞÇÖÜ", "isgcou");
        row("dotted capital I", "İSTANBUL", "istanbul");
        row("decomposed dotted I", "I\u0307zmir", "izmir");
        row("other diacritics", "Café Résumé naïve São Paulo", "cafe resume naive sao paulo");
        row("full-width forms", "\uFF33\uFF45\uFF4E\u3000\uFF08\uFF28\uFF49\uFF09\uFF11\uFF12", "sen (hi)12");
        row("unicode spaces and line separators", "a\u00A0b\u2003c\u3000d\u2028e\u0085f\r\ng", "a b c d e f g");
        row("punctuation and separators kept", "Acme · İstanbul (Hibrit) | 3 gün önce • 50+ ‧ x・y ❘ z",
            "acme · istanbul (hibrit) | 3 gun once • 50+ ‧ x・y ❘ z");
        row("other compatibility forms kept", "m² ½", "m² ½");
        row("hangul kept whole", "한국", "한국");
    }

    void normalize()
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

    void segments_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("expected");

        QTest::newRow("middle dot") << "Acme Corp · Istanbul, Türkiye · 2 days ago"
                                    << QStringList {"Acme Corp", QStringLiteral("Istanbul, Türkiye"), "2 days ago"};
        QTest::newRow("all separators") << "a·b•c‧d・e|f❘g" << QStringList {"a", "b", "c", "d", "e", "f", "g"};
        QTest::newRow("empty pieces dropped") << " | Acme |  | Remote | " << QStringList {"Acme", "Remote"};
        QTest::newRow("original text kept")
            << "Çamlıca A.Ş. · İSTANBUL" << QStringList {QStringLiteral("Çamlıca A.Ş."), "İSTANBUL"};
        QTest::newRow("full-width vertical line is no separator") << "Acme \uFF5C Remote" << QStringList {};
    }

    void segments()
    {
        QFETCH(QString, text);

        QTEST(TextFolding::segments(text), "expected");
    }

    void linkDetector_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected"); // empty: no link

        const auto row = [](const char* name, const char* text, const char* expected) {
            QTest::newRow(name) << QString::fromUtf8(text) << QString::fromUtf8(expected);
        };
        const char* wiki = "https://en.wikipedia.org/wiki/Acme_(company)";
        const char* glassdoor
            = "https://www.glassdoor.com/job-listing/x-JV_IC3256131_KO0,24_KE25,33.htm?jl=1009037104238";
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

    void linkDetector()
    {
        QFETCH(QString, text);

        const LinkDetector detector;
        QVERIFY(detector.isValid());
        const std::optional<QUrl> link = detector.firstLink(text);
        QTEST(link ? link->toString(QUrl::FullyEncoded) : QString(), "expected");
    }

    void vocabularies()
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

    void rawTextAndLineSplitting()
    {
        const Lines lines {line("Senior Developer", 0), line("Acme", 3)};
        QCOMPARE(PostingParser::parse(lines).rawText, QStringLiteral("Senior Developer\nAcme"));
        QCOMPARE(PostingParser::parse(lines, QStringLiteral("given")).rawText, QStringLiteral("given"));
        QCOMPARE(PostingParser::parse(lines, QString()).rawText, QString());

        // Blank lines take no order: the title is the fifth line (order 4) and gets the
        // top-of-page bonus, 2.0 + 1.0 = 3.0.
        const QString text = QStringLiteral("\n  One  \r\n\r\nTwo\n\n\nThree\u2028Four\n \t \n  Senior Developer  \n");
        const ParsedPosting posting = PostingParser::parse(text);
        QCOMPARE(posting.rawText, text);
        QCOMPARE(posting.position, field("Senior Developer", high));
        // One more line before it and it is at order 5: 2.0 + 0.3.
        QCOMPARE(PostingParser::parse(QStringLiteral("Zero\n") + text).position, field("Senior Developer", medium));

        // The same as the line entry point with the pieces numbered from 0.
        const Lines pieces {
            line("One", 0), line("Two", 1), line("Three", 2), line("Four", 3), line("Senior Developer", 4)};
        QCOMPARE(posting, PostingParser::parse(pieces, text));
    }

    // Every break Unicode names ends a line, for the parser and the suggestions alike.
    void everyLineBreak_data()
    {
        QTest::addColumn<QString>("text");
        for (const char16_t c : std::u16string_view(u"\n\r\v\f\u0085\u2028\u2029"))
            QTest::addRow("U+%04X", unsigned(c))
                << QStringLiteral("Senior Developer") + QChar(c) + QStringLiteral("Acme");
    }

    void everyLineBreak()
    {
        QFETCH(QString, text);
        const Lines pieces {line("Senior Developer", 0), line("Acme", 1)};
        QCOMPARE(PostingParser::parse(text), PostingParser::parse(pieces, text));
        QCOMPARE(PostingSuggestions::linesOf(text), pieces);
    }

    void board_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<JobBoard>("expected");

        QTest::newRow("workday before linkedin") << "LinkedIn\nWe use Workday" << JobBoard::workday;
        QTest::newRow("linkedin before kariyer.net") << "Kariyer.net\nLinkedIn" << JobBoard::linkedIn;
        QTest::newRow("kariyer net with a blank") << "Kariyer Net" << JobBoard::unknown;
        QTest::newRow("kariyer.net before indeed") << "Indeed\nKariyer.net" << JobBoard::kariyerNet;
        QTest::newRow("indeed before glassdoor") << "Glassdoor\nIndeed" << JobBoard::indeed;
        QTest::newRow("15th line seen") << filler(14, "Indeed") << JobBoard::indeed;
        QTest::newRow("16th line not seen") << filler(15, "Indeed") << JobBoard::unknown;
        QTest::newRow("blank lines not counted")
            << filler(14, "Indeed").replace(u'\n', QStringLiteral("\n\n")) << JobBoard::indeed;
        QTest::newRow("link beyond the 15th line")
            << filler(20, "https://www.glassdoor.com/job-listing/x") << JobBoard::glassdoor;
    }

    void board()
    {
        QFETCH(QString, text);
        QTEST(PostingParser::parse(text).board, "expected");
    }

    void position_data()
    {
        QTest::addColumn<Lines>("lines");
        QTest::addColumn<TextField>("expected");
        const TextField none;

        // Lines that are no content are never the title: too long, an address, mostly digits.
        const QString title = QStringLiteral("Senior Developer ");
        const auto alone = [](const char* name, const QString& text, std::optional<ParseConfidence> confidence) {
            linesRow(name, {line(text, 0)}, confidence ? field(text, *confidence) : TextField());
        };
        alone("120 characters", title + QString(103, u'a'), medium);
        alone("121 characters", title + QString(104, u'a'), std::nullopt);
        alone("120 grapheme clusters", title + QStringLiteral("\U0001F44D").repeated(103), medium);
        alone("http, folded", "Senior Developer HTTPS", std::nullopt);
        alone("www.", "Senior Developer at www.acme", std::nullopt);
        alone("digit share below one half", "QA 12", high);
        alone("digit share of one half", "QA 123", std::nullopt);
        alone("two characters", "QA", high);

        const QString ios = QStringLiteral("Senior iOS Developer");
        linesRow("recognised title", {line(ios, 2, 1.0)}, field(ios, high)); // 2.0 + 0.5 + 1.0 + 1.5

        // Order bonus: < 5 gives 1.0, < 12 gives 0.3.
        linesRow("order 5", {line("Developer", 5)}, field("Developer", medium)); // 2.3
        linesRow("order 12", {line("Developer", 12, 0.7)}, field("Developer", medium)); // 2.7

        // Heights: > 0.85 gives 1.5, > 0.6 gives 0.7; without a title word the line must be taller than 0.6.
        linesRow("height 0.86 without title word", {line("Northwind Portal", 20, 0.86)},
            field("Northwind Portal", medium)); // 1.5
        linesRow("height 0.85 without title word", {line("Northwind Portal", 20, 0.85)}, none); // 0.7
        linesRow("height 0.61 with tech word", {line("Cloud Portal", 0, 0.61)}, field("Cloud Portal", medium)); // 2.2
        linesRow("height 0.6 is not tall", {line("Cloud Portal", 0, 0.6)}, none);

        // Penalties.
        linesRow("company suffix", {line("Developer Labs", 0)}, field("Developer Labs", medium)); // 1.5
        linesRow("location word", {line("Developer Berlin", 0)}, none); // 1.0
        linesRow("metadata word", {line("Developer 2 days ago", 0)}, none); // 1.0
        const QString seventy = QStringLiteral("Developer") + QString(57, u' ') + QStringLiteral("Team");
        const QString seventyOne = QStringLiteral("Developer") + QString(58, u' ') + QStringLiteral("Team");
        linesRow("70 characters", {line(seventy, 0)}, field(seventy, high)); // 3.0
        linesRow("71 characters", {line(seventyOne, 0)}, field(seventyOne, medium)); // 2.0

        // The 1.5 floor: 2.0 + 0.5 - 1.0 far down, 2.0 + 0.3 - 1.0 a little higher.
        const QString longJava = QStringLiteral("Java Developer ") + QString(57, u'x');
        linesRow("exactly 1.5", {line(longJava, 20)}, field(longJava, medium));
        linesRow("1.3 is no candidate", {line("Zzzz Developer " + QString(57, u'x'), 7)}, none);

        // Ties keep the earlier line; only a strictly higher score replaces it.
        linesRow("higher later", {line("Developer", 0), line("Java Developer", 1)}, field("Java Developer", high));
        // 2.0 + 0.5 + 0.3 - 1.0 and 0.3 + 1.5 are both 1.8; summed as reals the second
        // would come out a hair higher.
        linesRow("tie of differently built scores", {line(longJava, 7), line("Northwind Portal", 7, 0.9)},
            field(longJava, medium));

        // A medium title (2.8) is raised to high by the company's metadata line right below it,
        // with only page furniture between them.
        const PostingLine backend = line("Backend Developer", 7);
        const PostingLine company = line("Acme · Berlin", 8);
        const TextField raised = field("Backend Developer", high), kept = field("Backend Developer", medium);
        linesRow("upgrade: company line right below", {backend, company}, raised);
        linesRow("upgrade: furniture between", {backend, line("Easy Apply", 8), company}, raised);
        linesRow("upgrade: line between", {backend, line("Full-time", 8), company}, kept);
        linesRow("upgrade: company line above", {company, backend}, kept);
        linesRow("upgrade: company not from a metadata line", {backend, line("Acme Holding", 8)}, kept);
        linesRow("upgrade: address company",
            {line("https://acme.wd1.myworkdayjobs.com/x", 0), backend, line("Berlin", 8)}, kept);
    }

    void position()
    {
        QFETCH(Lines, lines);
        QTEST(PostingParser::parse(lines).position, "expected");
    }

    void textFields_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<TextField>("expected"); // of the field the row's name starts with
        const auto rows = [](const char* field) {
            return [field](const char* name, const QString& text, const TextField& expected) {
                QTest::addRow("%s: %s", field, name) << text << expected;
            };
        };
        const auto company = rows("company"), location = rows("location"), link = rows("postingLink");
        const TextField none;

        // Segment rule.
        const QString meta = QStringLiteral("Acme Corp · Istanbul, Türkiye · 2 days ago");
        company("metadata line", meta, field("Acme Corp", high, meta));
        company("location first, next line", "Istanbul · Hybrid\nNorthwind · Berlin",
            field("Northwind", high, "Northwind · Berlin"));
        const QString sixty = QString(60, u'N');
        company("first part of 60 characters", sixty + " · Remote", field(sixty, high, sixty + " · Remote"));
        company("first part of 61 characters", QString(61, u'N') + " · Remote", none);

        // Address rule: Workday board and a link.
        const QString workdayLink = QStringLiteral("https://acme.wd3.myworkdayjobs.com/External/job/1");
        company("workday address", workdayLink + "\nSenior Developer\nIstanbul",
            field("acme", low, "From address: acme.wd3.myworkdayjobs.com"));
        company("segment line before address", workdayLink + "\nNorthwind · Berlin",
            field("Northwind", high, "Northwind · Berlin"));
        company("all-digit first label", "https://123.wd3.myworkdayjobs.com/job/1\nSenior Developer\nNorthwind Holding",
            field("Northwind Holding", medium));
        company("first label of three characters", "https://a1b.wd3.myworkdayjobs.com/job/1\nSenior Developer",
            field("a1b", low, "From address: a1b.wd3.myworkdayjobs.com"));
        company("workday board without link", "Workday\nSenior Developer\nNorthwind", field("Northwind", low));
        company("link on another board", "https://careers.acme.com/jobs/1\nSenior Developer", none);

        // Suffix rule.
        company("suffix", "Senior Developer\nNorthwind Teknoloji A.Ş.", field("Northwind Teknoloji A.Ş.", medium));
        company("dotted legal form is no word", "Senior Developer\nNorthwind A.Ş.", field("Northwind A.Ş.", low));
        // Below the title only a location.
        company("suffix line that is the position", "Developer Labs\nIstanbul", none);
        company("suffix line equal to the position, later line", "Developer Labs\nNorthwind Inc",
            field("Northwind Inc", medium));
        company("suffix with metadata word", "Senior Developer\nNorthwind Group 3 days ago", none);
        const QString suffix60 = QStringLiteral("Northwind Labs ") + QString(45, u'x');
        company("suffix line of 60 characters", "Senior Developer\n" + suffix60, field(suffix60, medium));
        company("suffix line of 61 characters", "Senior Developer\n" + suffix60 + u'x', none);

        // Below-title rule.
        company("third line below", "Senior Developer\nIstanbul\nBerlin\nNorthwind", field("Northwind", low));
        company("fourth line below", "Senior Developer\nIstanbul\nBerlin\nLondon\nNorthwind", none);
        company("first copy of the title", "Java Developer\nIstanbul\nBerlin\nLondon\nJava Developer\nNorthwind", none);

        // Three lines below the title are looked at: if the line under it is kept,
        // "Acme" is the fourth and out of reach.
        const auto below = [&company](const char* name, const QString& probe, const TextField& expected) {
            company(name, "Senior Developer\n" + probe + "\nIstanbul\nBerlin\nAcme", expected);
        };
        const TextField acme = field("Acme", low);
        below("turkish noise phrase, folded", "Daha  fazlasını GÖR", acme);
        below("whole-line noise phrase", "Be an early applicant", acme);
        // Kept, but its metadata word rules it out and it fills one of the three places.
        below("longer than the noise phrase", "Be an early applicant today", none);
        below("noise phrase inside a line", "Apply now on our site", field("Apply now on our site", low));
        below("one character", "X", acme);
        below("two characters", "XY", field("XY", low));
        below("address", "https://acme.com/x", acme);

        location("last part without location word", meta, field(meta, medium));
        location("last part with location word", "Acme · Berlin, Germany",
            field("Berlin, Germany", high, "Acme · Berlin, Germany"));
        location("address line dropped", "https://istanbul.acme.com/x\nAnkara", field("Ankara", medium));
        location("no location word", "Austin, TX", none);

        link("host with job", "https://jobs.acme.com/123", field("https://jobs.acme.com/123", high));
        link("no job", "https://acme.com/careers/42", field("https://acme.com/careers/42", medium));
        link("bare domain with path", "Apply: acme.com/careers/7",
            field("http://acme.com/careers/7", medium, "Apply: acme.com/careers/7"));
        link("bare domain skipped, search goes on", "acme.com\nacme.com/careers/7",
            field("http://acme.com/careers/7", medium, "acme.com/careers/7"));
        link("path of one character", "acme.com/\nwww.acme.com", none);
        link("http accepts an empty path", "http://acme.com", field("http://acme.com", medium));
        link("ftp skipped", "ftp://jobs.acme.com/x\nhttps://acme.com/y", field("https://acme.com/y", medium));
        link("e-mail address skipped", "jobs@acme.com\nhttps://acme.com/y", field("https://acme.com/y", medium));
        link("first line wins", "https://a-corp.com/one\nhttps://jobs.b-corp.com/two",
            field("https://a-corp.com/one", medium));

        // Work models, written as their raw value.
        const auto work = [](const char* name, const QString& text, WorkModel value, ParseConfidence confidence) {
            QTest::addRow("workModel: %s", name) << text << field(QString(rawValue(value)), confidence, text);
        };
        work("keyword in brackets", "İstanbul (Hibrit)", WorkModel::hybrid, high);
        work("blank after bracket", "Austin ( Hybrid )", WorkModel::hybrid, medium);
        work("hybrid before on-site", "Hybrid work, 3 days in office", WorkModel::hybrid, medium);
        work("remote before on-site", "On-site or remote", WorkModel::remote, medium);
        work("substring of a word", "Karmaşık sistemler", WorkModel::hybrid, medium);
        // An earlier keyword of the row is found first and is not the whole line.
        work("tam uzaktan", "Tam uzaktan", WorkModel::remote, medium);
        rows("workModel")("first line decides", "Remote\nHybrid", field("remote", high, "Remote"));
        rows("workModel")("long line dropped", "Hybrid " + QString(120, u'a'), none);
    }

    void textFields()
    {
        QFETCH(QString, text);

        const ParsedPosting posting = PostingParser::parse(text);
        const QString name = QString::fromUtf8(QTest::currentDataTag());
        const TextField found = name.startsWith(u"company:") ? posting.company
            : name.startsWith(u"location:")                  ? posting.location
            : name.startsWith(u"workModel:")                 ? asText(posting.workModel)
                                                             : posting.postingLink;
        QTEST(found, "expected");
    }

    // MARK: - Worked examples and real postings

    void emptyResults()
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

    void corpusPostings_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<ParsedPosting>("expected"); // without its raw text

        // A title, the usual "Company · Place · age" line and a work-model chip, pasted.
        const QString meta = QStringLiteral("Acme Corp · Istanbul, Türkiye · 2 days ago");
        QTest::newRow("pasted") << "Senior iOS Developer\n" + meta + "\nHybrid"
                                << ParsedPosting {field("Acme Corp", high, meta), field("Senior iOS Developer", high),
                                       model(WorkModel::hybrid, high, "Hybrid"), field(meta, medium), TextField(),
                                       JobBoard::unknown, {}};
        // Workday: the first metadata line starts with a place name that is no location word.
        QTest::newRow("pub-009")
            << readCorpusText("pub-009")
            << ParsedPosting {field("Austin, Texas", high, "Austin, Texas · Posted 10 Days Ago"),
                   field("Senior Data Engineer", high), ModelField(), field("USA-Boston-MA", medium),
                   field("https://hooli.wd1.myworkdayjobs.com/External/job/USA-Boston-MA/Senior-Data-Engineer_R70647",
                       high),
                   JobBoard::workday, {}};
        // Kariyer.net in Turkish: suffix rule with "Teknoloji", a work-model chip.
        QTest::newRow("pub-016")
            << readCorpusText("pub-016")
            << ParsedPosting {field("Northwind Teknoloji A.Ş.", medium), field("Kıdemli Yazılım Mühendisi", high),
                   model(WorkModel::remote, high, "Uzaktan"), field("Ankara", medium),
                   field("https://www.kariyer.net/is-ilani/northwind-teknoloji-a-s-kidemli-yazilim-muhendisi-3932058",
                       medium),
                   JobBoard::kariyerNet, {}};
        // LinkedIn top card: everything from the metadata line.
        const QString initech
            = QStringLiteral("Initech Ltd. · Warsaw, Mazowieckie, Poland (On-site) · 3 weeks ago · 47 applicants");
        QTest::newRow("pub-033") << readCorpusText("pub-033")
                                 << ParsedPosting {field("Initech Ltd.", high, initech),
                                        field("Senior iOS Developer", high), model(WorkModel::onSite, high, initech),
                                        field(initech, medium), TextField(), JobBoard::unknown, {}};
    }

    void corpusPostings()
    {
        QFETCH(QString, text);
        QFETCH(ParsedPosting, expected);
        QVERIFY2(!text.isEmpty(), "cannot read the corpus text");
        expected.rawText = text;
        QCOMPARE(PostingParser::parse(text), expected);
    }

    void parsesConcurrently()
    {
        // Parsing keeps no state between calls, so any number of threads may parse at once.
        QStringList texts;
        for (const QString& name : QDir(QStringLiteral(APPLYWRIGHT_CORPUS_DIR "/postings")).entryList({"*.txt"}))
            texts << readCorpusText(name.chopped(4));
        QVERIFY(texts.size() >= 40);
        QStringList repeated;
        for (int round = 0; round < 8; ++round)
            repeated << texts;
        const QList<ParsedPosting> parallel = QtConcurrent::blockingMapped<QList<ParsedPosting>>(
            repeated, [](const QString& text) { return PostingParser::parse(text); });
        QCOMPARE(parallel.size(), repeated.size());
        for (qsizetype i = 0; i < parallel.size(); ++i)
            QCOMPARE(parallel[i], PostingParser::parse(repeated[i]));
    }
};

QTEST_GUILESS_MAIN(PostingParserTest)
#include "tst_postingparser.moc"
