// What a draft starts with: per field the better reading, the other offered; how sure it
// is; whether the input is a job posting at all. English and Turkish pages as boards set them.

#include "TestSupport.h"
#include "posting/DraftStart.h"
#include "posting/PostingParser.h"
#include "posting/PostingSuggestions.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// A page as recognition reads it: `tallest` is the title's line, the rest body text,
// each read with `confidence` except the lines listed in `unclear`.
QList<PostingLine> recognised(const QStringList& texts, int tallest, const QList<int>& unclear = {})
{
    QList<PostingLine> lines;
    for (int i = 0; i < texts.size(); ++i)
        lines.append(PostingLine {texts[i], i, i == tallest ? 1.0 : 0.55, unclear.contains(i) ? 0.6 : 0.95});
    return lines;
}

DraftStart startOf(const QList<PostingLine>& lines)
{
    const ParsedPosting parsed = PostingParser::parse(lines);
    return DraftStart::decide(lines, parsed, PostingSuggestions::suggest(lines, parsed));
}

DraftStart startOf(const QString& text)
{
    const ParsedPosting parsed = PostingParser::parse(text);
    const QList<PostingLine> lines = PostingSuggestions::linesOf(text);
    return DraftStart::decide(lines, parsed, PostingSuggestions::suggest(lines, parsed));
}

// "value (confidence, reading) or other", "-" for no value.
template <typename Value, typename Text> QString summary(const StartingField<Value>& field, Text text)
{
    if (!field.value)
        return u"-"_s;
    static const char* const words[] = {"low", "medium", "high"};
    QString shown = text(*field.value) + u" ("_s + QLatin1String(words[rawValue(field.confidence)]) + u", "_s
        + QLatin1String(rawValue(field.source)) + u')';
    if (field.other)
        shown += u" or "_s + text(field.other->value);
    return shown;
}

QString summary(const DraftStart& start, const QString& field)
{
    const auto same = [](const QString& value) { return value; };
    if (field == u"workModel")
        return summary(start.workModel, [](WorkModel value) { return QString(rawValue(value)); });
    if (field == u"position")
        return summary(start.position, same);
    if (field == u"location")
        return summary(start.location, same);
    return summary(start.company, same);
}

const QString description = u"We are looking for someone who enjoys solving hard problems with simple solutions "
                            "and who likes working with customers."_s;

} // namespace

class TestDraftStart : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void firstAnswer_data()
    {
        QTest::addColumn<QList<PostingLine>>("lines");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("expected");
        const auto text = [](const char* name, const QString& page, const char* field, const char* expected) {
            QTest::newRow(name) << PostingSuggestions::linesOf(page) << QString::fromLatin1(field)
                                << QString::fromUtf8(expected);
        };
        const auto shot
            = [](const char* name, const QList<PostingLine>& lines, const char* field, const char* expected) {
                  QTest::newRow(name) << lines << QString::fromLatin1(field) << QString::fromUtf8(expected);
              };

        // The readings agree: nothing changes.
        text("en agree: the parser is sure and the header agrees",
            u"Senior iOS Developer\nAcme Corp · Istanbul, Türkiye · 2 days ago\nHybrid"_s, "company",
            "Acme Corp (high, rules)");
        text("agree in other letters: the parser's spelling stays, the other is offered",
            u"https://fjordline.wd3.myworkdayjobs.com/en-US/External/job/Lisbon/Data-Engineer_R-2231\nData "
            "Engineer\nApply\nlocations\nLisbon, Portugal\njob requisition id\nR-2231\n\nFjordline is growing fast, "
            "and we are looking for people who enjoy building data products for shipping companies.\n"_s,
            "company", "fjordline (low, rules) or Fjordline");

        // The parser's value cannot be the field: the second reading's comes first.
        shot("en impossible: a place given as the employer",
            recognised({u"Home"_s, u"My Network"_s, u"Jobs"_s, u"Umbrella Labs"_s, u"Customer Success Manager"_s,
                           u"Austin, Texas · 1 week ago · 47 applicants"_s, u"Hybrid"_s, u"Easy Apply"_s,
                           u"About the job"_s, description},
                4),
            "company", "Umbrella Labs (medium, second) or Austin, Texas");
        text("tr impossible: a team given as the employer",
            u"Kestrel Veri A.Ş.\nMobil Geliştirici\nMobil · Ankara · 2 gün önce · 30 başvuru sahibi\nHibrit\n"
            "Kolay Başvuru\n"_s,
            "company", "Kestrel Veri A.Ş. (medium, second) or Mobil");
        shot("en impossible: the employer of another job in the list beside the posting",
            recognised({u"Glassdoor"_s, u"Community"_s, u"Jobs"_s, u"Vandelay 4.2 ★"_s, u"Jobs you may like"_s,
                           u"Frontend Developer (React)"_s, u"Lead .NET Developer"_s, u"Northwind · Ankara"_s,
                           u"Product Designer"_s, u"Kardelen · Ankara"_s, u"Senior Data Engineer"_s,
                           u"Northwind · Istanbul"_s, u"Job description"_s, description},
                5),
            "company", "Vandelay (medium, second) or Northwind");
        shot("en impossible: a card's title dwarfed by the page's own",
            recognised({u"Similar jobs"_s, u"Veri Analisti"_s, u"Türkiye · 1 week ago · 200 applicants"_s,
                           u"Cloud Security Engineer"_s, u"Cobalt Harbor Analytics LLC"_s, u"New York, NY (Hybrid)"_s,
                           u"About the job"_s, description},
                1),
            "position", "Veri Analisti (medium, second) or Cloud Security Engineer");
        text("impossible and nothing better: the parser's value, needing review",
            u"Backend Developer\nAustin, Texas · 2 days ago\n"_s, "company", "Austin, Texas (low, rules)");

        // The parser was not sure, or found nothing: the second reading comes first.
        text("tr not sure: the board's layout outweighs the parser's guess",
            u"Öne çıkan firma: Atlas Holding\nİş İlanları\nKıdemli Veri Mühendisi\nKaraca Lojistik\nKocaeli\n"
            "Hibrit\nTam Zamanlı\nİlk başvuranlardan olun\nGüncellendi: Bugün\nBaşvur\nGENEL NİTELİKLER VE İŞ "
            "TANIMI\n"_s,
            "company", "Karaca Lojistik (medium, second) or Öne çıkan firma: Atlas Holding");
        text("en nothing found: a sentence of the description names the employer",
            u"Platform Engineer\nApply\nlocations\nNLD-Amsterdam\njob requisition id\nR-20931\n\nAt Fernhill, we "
            "build the tools that small shops use to sell online, in eleven countries.\n"_s,
            "company", "Fernhill (medium, second)");

        // The parser is sure and the second reading still differs: neither is called certain.
        text("en sure and disagreeing: the header's chip stays, the description's is offered",
            u"Data Analyst\nMassive Dynamic · San Francisco, CA · 18 hours ago\n(Hybrid)\nAbout the job\nThis is "
            "a fully remote role: the team is spread over four countries and meets twice a year.\n"_s,
            "workModel", "hybrid (medium, rules) or remote");
        text("tr sure and disagreeing",
            u"Veri Analisti\nMavi Kuş Yazılım · Ankara · 2 gün önce\nHibrit\nİş Tanımı\nBu pozisyon tamamen "
            "uzaktan yürütülmektedir ve ekip üç farklı ülkeye dağılmış durumdadır.\n"_s,
            "workModel", "hybrid (medium, rules) or remote");

        // What recognition itself doubts is worth a look.
        shot("a line the engine was unsure of",
            recognised({u"Senior Backend Engineer"_s, u"Globex Systems · Ankara, Türkiye · 3 days ago"_s, u"Remote"_s},
                0, {0}),
            "position", "Senior Backend Engineer (medium, rules)");
    }

    void firstAnswer()
    {
        QFETCH(QList<PostingLine>, lines);
        QFETCH(QString, field);
        QTEST(summary(startOf(lines), field), "expected");
    }

    // The row's word: "Confident" only when every field the row shows is.
    void rowWord_data()
    {
        QTest::addColumn<QString>("fields"); // company, position, link, work model: l/m/h, "-" for none
        QTest::addColumn<bool>("notAPosting");
        QTest::addColumn<int>("expected");
        const auto row = [](const char* name, const char* fields, bool notAPosting, ParseConfidence expected) {
            QTest::newRow(name) << QString::fromLatin1(fields) << notAPosting << int(expected);
        };
        using C = ParseConfidence;
        row("every field sure", "hhhh", false, C::high);
        row("no link, no work model: what is not shown does not count", "hh--", false, C::high);
        row("a link worth a check", "hhmh", false, C::medium);
        row("a work model worth a check", "hhhm", false, C::medium);
        row("the lower of company and position", "mh--", false, C::medium);
        row("no company", "-hhh", false, C::low);
        row("no position", "h-hh", false, C::low);
        row("sure, but no posting", "hhhh", true, C::low);
    }

    void rowWord()
    {
        QFETCH(QString, fields);
        QFETCH(bool, notAPosting);
        const auto confidence = [&](int i) {
            return fields[i] == u'h' ? ParseConfidence::high
                : fields[i] == u'm'  ? ParseConfidence::medium
                                     : ParseConfidence::low;
        };
        DraftStart start;
        const auto fill = [&](auto& field, int i, auto value) {
            if (fields[i] != u'-') {
                field.value = value;
                field.confidence = confidence(i);
            }
        };
        fill(start.company, 0, u"Acme"_s);
        fill(start.position, 1, u"Engineer"_s);
        fill(start.postingLink, 2, u"https://acme.example/jobs/1"_s);
        fill(start.workModel, 3, WorkModel::hybrid);
        start.notAPosting = notAPosting;
        QTEST(int(start.overall()), "expected");
    }

    // An input that names a company or a role but shows no sign of a job posting is
    // marked; one sign is enough to count as a posting.
    void notAPosting_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("marked");
        QTest::addColumn<bool>("found"); // a company or a position
        const auto row = [](const char* name, const char* text, bool marked, bool found = true) {
            QTest::newRow(name) << QString::fromUtf8(text) << marked << found;
        };
        row("en chat naming an employer and a manager",
            "Ayşe\nAre we still on for dinner tonight?\nMe\nYes! 7pm at Kanaat Lokantası\nAyşe\nMy manager at "
            "Globex Ltd kept me late again\n",
            true);
        row("en receipt naming its store and its manager",
            "GLOBEX FOODS LTD\n12 High Street, London\nStore Manager: J. Smith\nMilk 2 x 1.20\nBread 1.10\nTOTAL "
            "3.50\nCARD 3.50\nThank you for shopping with us\n",
            true);
        row("tr receipt with a legal form",
            "MAVİ MARKET GIDA LTD. ŞTİ.\nAtatürk Cad. No:12 Kadıköy/İSTANBUL\nTARİH: 14.03.2025 SAAT: 18:42\nEKMEK "
            "1 x 12,50\nSÜT 2 x 34,90\nTOPLAM *82,30\nTEŞEKKÜR EDERİZ\n",
            true);
        row("en news naming companies",
            "Globex Corp to cut 200 jobs\nBy Jane Doe, Business Reporter\n14 March 2025\nGlobex Corp said on "
            "Tuesday it would cut 200 jobs as its chief executive and its engineering manager step down.\nInitech "
            "Ltd, its largest rival, gained 2% in early trading.\n",
            true);
        row("tr news naming companies",
            "Kestrel Holding ilk çeyrekte büyüdü\n14 Mart 2025\nGenel Müdür Ali Demir açıklama yaptı.\nKestrel "
            "Holding yılın ilk çeyreğinde gelirlerini yüzde 12 artırdığını açıkladı.\n",
            true);
        row("shop sign in a photo: nothing found, nothing marked", "KAPALIÇARŞI\nEST. 1461\n", false, false);
        row("en a title near the top", "Backend Developer\nGlobex Labs\n", false);
        row("tr a title near the top", "Mobil Geliştirici\nMavi Kuş Yazılım\n", false);
        row("en words only postings use", "Globex Ltd\nFull-time\nApply now\n", false);
        row("tr words only postings use", "Mavi Kuş Yazılım A.Ş.\nTam zamanlı\nHemen başvur\n", false);
        row("the address of a job page", "Globex Ltd\nhttps://globex.example/careers/4411\n", false);
        row("a board's name", "Globex Ltd\nlinkedin.com/company/globex\n", false);
    }

    void notAPosting()
    {
        QFETCH(QString, text);
        QFETCH(bool, marked);
        const DraftStart start = startOf(text);
        QTEST(start.company.value || start.position.value, "found");
        QCOMPARE(start.notAPosting, marked);
        if (marked)
            QCOMPARE(start.overall(), ParseConfidence::low);
    }

    // No copied posting of the corpus is taken for something else.
    void corpusPostingsArePostings()
    {
        const QDir corpus(QStringLiteral(APPLYWRIGHT_CORPUS_DIR "/postings"));
        const QStringList names = corpus.entryList({u"*.txt"_s});
        QCOMPARE(names.size(), 40);
        QStringList marked;
        for (const QString& name : names) {
            const QByteArray text = TestSupport::readFile(corpus.filePath(name));
            QVERIFY(!text.isEmpty());
            if (startOf(QString::fromUtf8(text)).notAPosting)
                marked.append(name);
        }
        QCOMPARE(marked, QStringList());
    }

    // The lines a value was read from, for marking them in the picture.
    void evidenceLines_data()
    {
        QTest::addColumn<QString>("evidence");
        QTest::addColumn<QList<int>>("expected");
        QTest::newRow("the line itself") << u"Acme Corp · Istanbul"_s << QList<int> {1};
        QTest::newRow("an address") << u"From address: hooli.wd1.myworkdayjobs.com"_s << QList<int> {0};
        QTest::newRow("a sentence over two lines")
            << u"At Hooli, we build tools that thousands of teams rely on every day."_s << QList<int> {2, 3};
        QTest::newRow("nothing") << u"Initech"_s << QList<int> {};
    }

    void evidenceLines()
    {
        QFETCH(QString, evidence);
        const QList<PostingLine> lines = recognised(
            {u"https://hooli.wd1.myworkdayjobs.com/External/job/1"_s, u"Acme Corp · Istanbul"_s,
                u"Backend Engineer. At Hooli, we"_s, u"build tools that thousands of teams rely on every day."_s},
            0);
        QTEST(::evidenceLines(lines, evidence), "expected");
    }
};

QTEST_GUILESS_MAIN(TestDraftStart)
#include "tst_draftstart.moc"
