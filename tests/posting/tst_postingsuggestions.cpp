// The second reading: what each source suggests on English and Turkish pages as boards
// write them; what the parser is sure of is left alone; text that is no posting gets no employer.

#include "posting/PostingParser.h"
#include "posting/PostingSuggestions.h"

#include <QFile>
#include <QTest>

namespace {

// Recognised lines: the first given line is the tallest, the rest body text.
QList<PostingLine> recognised(const QStringList& texts, int tallest)
{
    QList<PostingLine> lines;
    for (int i = 0; i < texts.size(); ++i)
        lines.append(PostingLine {texts[i], i, i == tallest ? 1.0 : 0.55, 0.93});
    return lines;
}

PostingSuggestions suggestText(const QString& text)
{
    return PostingSuggestions::suggest(text, PostingParser::parse(text));
}

// "value by source" of one field's suggestion (empty when there is none), and its evidence.
std::pair<QString, QString> found(const PostingSuggestions& suggestions, QStringView field)
{
    const auto of = [](const auto& suggestion, auto text) {
        return suggestion
            ? std::pair {text(suggestion->value) + " by " + rawValue(suggestion->source), suggestion->evidence}
            : std::pair<QString, QString> {};
    };
    const auto same = [](const QString& value) { return value; };
    const auto raw = [](auto value) { return QString(rawValue(value)); };
    if (field == u"company")
        return of(suggestions.company, same);
    if (field == u"position")
        return of(suggestions.position, same);
    if (field == u"location")
        return of(suggestions.location, same);
    if (field == u"workModel")
        return of(suggestions.workModel, raw);
    return of(suggestions.board, raw);
}

QString valueOf(const PostingSuggestions& suggestions, QStringView field)
{
    return found(suggestions, field).first.section(QStringLiteral(" by "), 0, -2);
}

// A Workday job page: title, labelled fields, then the description.
QString workdayPage(const QString& description, const QString& address = {})
{
    return address
        + "\nBackend Engineer\nApply\nlocations\nBerlin, Germany\ntime type\nFull time\nposted on\nPosted 3 Days "
          "Ago\njob requisition id\nR-10422\n\n"
        + description
        + QStringLiteral("\n\nWe are looking for a Backend Engineer to join our Payments team and help us grow.\n");
}

} // namespace

class TestPostingSuggestions : public QObject {
    Q_OBJECT

private Q_SLOTS:

    void sources_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("expected"); // "value by source"
        QTest::addColumn<QString>("evidence"); // a part of it
        const auto row
            = [](const char* name, const QString& text, const char* field, const char* expected, const char* evidence) {
                  QTest::newRow(name) << text << QString::fromUtf8(field) << QString::fromUtf8(expected)
                                      << QString::fromUtf8(evidence);
              };

        // Sentences of the description.
        row("sentence: At X, we",
            workdayPage("At Fernhill, we build the tools that small shops use to sell online. Our teams work from "
                        "three countries."),
            "company", "Fernhill by sentence", "At Fernhill, we build");
        row("sentence tr: X'da with an apostrophe",
            workdayPage("Tidewell Medya'da, yayıncılar için veri ürünleri geliştiren bir ekibe katılacak takım "
                        "arkadaşları arıyoruz."),
            "company", "Tidewell Medya by sentence", "Tidewell Medya'da");
        row("sentence tr: X olarak, not the role olarak",
            workdayPage("Backend Engineer olarak ödeme altyapımızı büyüteceksin. Mavi Kuş Yazılım olarak on yıldır "
                        "bankalara yazılım geliştiriyoruz."),
            "company", "Mavi Kuş Yazılım by sentence", "olarak on yıldır");

        // Addresses.
        row("host: Workday tenant, spelled as the text writes it",
            workdayPage("Our customers are insurers across Europe. Brightwater has offices in Berlin and Lisbon and a "
                        "team of two hundred people.",
                "https://brightwater.wd3.myworkdayjobs.com/en-US/External/job/Berlin/Backend-Engineer_R-10422"),
            "company", "Brightwater by host", "myworkdayjobs.com");
        row("host: a company's career site in capitals on the page",
            "Open roles\nSELKIE BAY CAREERS\nProduct Designer\nRotterdam, Netherlands\nFull-time\nApply for this "
            "job\nhttps://careers.selkiebay.nl/jobs/4411\n",
            "company", "Selkie Bay by header", "SELKIE BAY CAREERS");
        row("host: a hosted job page's path",
            "Data Engineer\nAmsterdam\nApply for this job\njobs.lever.co/orchardlane/8c1f2a\n", "company",
            "Orchardlane by host", "jobs.lever.co");
        row("host: a board's address names no employer",
            "https://www.linkedin.com/jobs/view/4012345678/\nData Engineer\nAmsterdam\n", "company", "", "");

        // Headers: what stands above and below the title on each board.
        // The parser takes the advertised firm of the top bar for the employer.
        row("header: Kariyer.net puts the employer below the title",
            "Öne çıkan firma: Atlas Holding\nİş İlanları\nKıdemli Veri Mühendisi\nKaraca "
            "Lojistik\nKocaeli\nHibrit\nTam Zamanlı\nİlk başvuranlardan olun\nGüncellendi: Bugün\nBaşvur\nGENEL "
            "NİTELİKLER VE İŞ TANIMI\n",
            "company", "Karaca Lojistik by header", "Karaca Lojistik");
        const QString kariyer = "Kıdemli Veri Mühendisi\nKaraca Lojistik\nDenizli\nHibrit\nTam Zamanlı\nİlk "
                                "başvuranlardan olun\nGüncellendi: Bugün\nGENEL NİTELİKLER VE İŞ TANIMI\n";
        row("header: Kariyer.net's place below the employer", kariyer, "location", "Denizli by header", "Denizli");
        row("header: Indeed puts the employer and its rating below the title",
            "Warehouse Operations Manager\nNorthgate Freight 3.8\nLeeds LS1\n£42,000 - £48,000 a year - "
            "Full-time\nApply now\n",
            "company", "Northgate Freight by header", "Northgate Freight");
        const QString glassdoor = "Harbour Pay\n4.4\nSite Reliability Engineer\nDublin\n€70K - €90K (Employer "
                                  "provided)\nApply on employer site\n";
        row("header: Glassdoor puts the employer above the title", glassdoor, "company", "Harbour Pay by header",
            "Harbour Pay");
        row("header: LinkedIn's card with a place where the parser looks for the employer",
            "Harbour Pay Ltd.\nSite Reliability Engineer\nDublin, County Dublin, Ireland · 4 days ago · 61 "
            "applicants\nFull-time\nEasy Apply\nSave\nAbout the job\n",
            "company", "Harbour Pay Ltd. by header", "Harbour Pay Ltd.");
        // The parser takes the first line that mentions a work model: the top bar's link.
        row("header: the work model chip under the title, not the top bar",
            "Remote jobs near you\nHome\nMy Network\nMessaging\nNotifications\nHarbour Pay Ltd.\nSite Reliability "
            "Engineer\nDublin, County Dublin, Ireland · 4 days ago · 61 applicants\nOn-site\nFull-time\nEasy "
            "Apply\nAbout the job\n",
            "workModel", "onSite by header", "On-site");
        row("header: a breadcrumb names the title among the side column's",
            "İş İlanları\nFirmalar\nMaaşlar\nİş İlanları › Ankara İş İlanları › Oyun Tasarımcısı\nOyun "
            "Tasarımcısı\nKarakum Oyun\nAnkara\nBenzer ilanlar\nJava Developer\nCopper Labs\n",
            "position", "Oyun Tasarımcısı by header", "İş İlanları ›");
        row("legal form: the employer line by the title", "Kestrel Data SE\nQA Engineer\nEskişehir\n", "company",
            "Kestrel Data SE by legalSuffix", "Kestrel Data SE");

        // Furniture: the board from its buttons, labels and counters.
        row("furniture: LinkedIn in Turkish",
            "Kestrel Bilişim A.Ş.\nQA Uzmanı\nEskişehir, Türkiye · 2 gün önce · 12 başvuru sahibi\nKolay "
            "Başvuru\nKaydet\n",
            "board", "linkedIn by furniture", "Kolay Başvuru");
        row("furniture: Workday's labels", workdayPage("We build payment software."), "board", "workday by furniture",
            "job requisition id");
        row("furniture: Kariyer.net's tabs and counters", kariyer, "board", "kariyerNet by furniture", "");
        row("furniture: Indeed in Turkish",
            "Muhasebe Uzmanı\nKaraca Lojistik\nKocaeli\n₺40.000 - ₺55.000 yıllık - Tam zamanlı\nŞirket sitesinde "
            "başvur\nİş ayrıntıları\n",
            "board", "indeed by furniture", "Şirket sitesinde başvur");
        row("furniture: Glassdoor's estimate", glassdoor, "board", "glassdoor by furniture", "");
        row("furniture: one shared button says nothing", "Harbour Pay\nSite Reliability Engineer\nDublin\nEasy Apply\n",
            "board", "", "");
        // LinkedIn's button (3) against Indeed's labels (1 each): ahead by exactly the
        // margin names the board; one point less says nothing.
        row("furniture: ahead by the margin", "Kestrel Bilişim A.Ş.\nQA Uzmanı\nEskişehir\nKolay Başvuru\nApply now\n",
            "board", "linkedIn by furniture", "Kolay Başvuru");
        row("furniture: ahead by less than the margin",
            "Kestrel Bilişim A.Ş.\nQA Uzmanı\nEskişehir\nKolay Başvuru\nApply now\nJob details\n", "board", "", "");

        // Work model from a field or the description.
        row("field: Workday's remote type",
            "Backend Engineer\nApply\nlocations\nBerlin, Germany\nremote type\nHybrid Remote\ntime type\nFull "
            "time\njob requisition id\nR-10422\n",
            "workModel", "hybrid by field", "Hybrid Remote");
        row("field: the value under Workday's locations label",
            "Backend Engineer\nApply\nlocations\nGBR-Leeds\ntime type\nFull time\njob requisition id\nR-10422\n",
            "location", "GBR-Leeds by field", "GBR-Leeds");
        row("sentence: fully remote",
            workdayPage("This role is fully remote within the EU; the team meets twice a year in Berlin for a week of "
                        "planning, and the company pays for the trip."),
            "workModel", "remote by sentence", "fully remote");
        row("sentence tr: iş yerinde",
            workdayPage("Çalışma şekli tamamen iş yerinde olup ekip her gün İzmir ofisinde birlikte çalışıyor; öğle "
                        "yemeği ve servis şirket tarafından karşılanıyor."),
            "workModel", "onSite by sentence", "iş yerinde");
        row("sentence: the title the description repeats",
            "Home\nMy Network\nJobs\nMessaging\nNotifications\nCustomer Success Manager\nHarbour Pay\nDublin\nAbout "
            "the job\nAs a Customer Success Manager you will look after forty of our largest customers, from their "
            "first week with us to every renewal.\nSimilar jobs\nData Engineer\nCopper Labs\n",
            "position", "Customer Success Manager by sentence", "As a Customer Success Manager");

        // The parser's "Company · Place · age" line right under the title is high: left alone
        // even though a sentence names the brand differently.
        row("parser's value: high in the header stays",
            "Site Reliability Engineer\nHarbour Pay Ltd. · Dublin, Ireland (Hybrid) · 4 days ago\nEasy Apply\nAbout "
            "the job\nAt Harbour Payments, we keep money moving for two million people every day.\n",
            "company", "", "");
        // Medium, and every source agrees with it: nothing to offer.
        row("parser's value: medium, same value",
            "Kıdemli Veri Mühendisi\nKaraca Lojistik A.Ş.\nKocaeli\nHibrit\nİlk başvuranlardan olun\nGENEL NİTELİKLER "
            "VE İŞ TANIMI\n",
            "company", "", "");
        // High, but read far below the header: the company box of another job.
        row("parser's value: high, but far below the header",
            "Site Reliability Engineer\nHarbour Pay Ltd.\nDublin\nEasy Apply\nMeet the hiring team\nAbout the "
            "job\nHarbour Pay is growing fast, and we are looking for people who enjoy hard problems.\nAs a Site "
            "Reliability Engineer you will keep our payment network running.\nSimilar jobs\nCopper Labs · London · 2 "
            "days ago\n",
            "company", "Harbour Pay Ltd. by legalSuffix", "Harbour Pay Ltd.");
    }

    void sources()
    {
        QFETCH(QString, text);
        QFETCH(QString, field);
        QFETCH(QString, evidence);
        const auto [suggestion, from] = found(suggestText(text), field);
        QTEST(suggestion, "expected");
        QVERIFY2(from.contains(evidence), qPrintable(from));
    }

    // Recognised lines keep a side column between the header's lines; the tallest line
    // and the lines around it still give the header.
    void recognisedHeader()
    {
        const QList<PostingLine> lines = recognised(
            {"People also viewed", "Harbour Pay Ltd.", "Data Analyst", "Site Reliability Engineer", "Copper Labs",
                "Dublin, County Dublin, Ireland · 4 days ago · 61 applicants", "London (Hybrid)", "Easy Apply",
                "About the job",
                "The role is office-based: you will work on site in our Dublin office with the payments team.",
                "Harbour Pay is growing fast, and we are looking for people who like hard problems."},
            3);
        const ParsedPosting parsed = PostingParser::parse(lines);
        const PostingSuggestions suggestions = PostingSuggestions::suggest(lines, parsed);
        QCOMPARE((QStringList {valueOf(suggestions, u"board"), valueOf(suggestions, u"company"),
                     valueOf(suggestions, u"location")}),
            (QStringList {"linkedIn", "Harbour Pay Ltd.", "Dublin, County Dublin, Ireland"}));
    }

    void noEmployerWithoutAPosting_data()
    {
        QTest::addColumn<QStringList>("lines");
        // The one line of the almost blank 8000×8000 image, and its neighbours.
        QTest::newRow("almost blank page") << QStringList {"This page is intentionally left almost blank."};
        QTest::newRow("nothing") << QStringList {};
        QTest::newRow("stray characters of a photo") << QStringList {"~ ,", "Ii", ".."};
        // Prose naming companies, but no job title anywhere.
        QTest::newRow("a news paragraph") << QStringList {"Markets today",
            "At Fernhill, we build tools. Founded in 2011, Brightwater Analytics helps insurers. Mavi Kuş Yazılım "
            "olarak bankalara yazılım geliştiriyoruz.",
            "https://careers.selkiebay.nl/news/2024"};
    }

    void noEmployerWithoutAPosting()
    {
        QFETCH(QStringList, lines);
        const QList<PostingLine> recognisedLines = recognised(lines, 0);
        const PostingSuggestions suggestions
            = PostingSuggestions::suggest(recognisedLines, PostingParser::parse(recognisedLines));
        QVERIFY(!suggestions.company);
        QVERIFY(!suggestions.position);
        const QString text = lines.join(u'\n');
        QVERIFY(!suggestText(text).company);
    }

    // Pasted text is read on the window's thread: a page is read up to its first 400
    // lines, whatever follows them.
    void onlyThePageTopIsRead()
    {
        auto page = [](int fillerLines) -> QString {
            QString text = QStringLiteral("Backend Engineer\nApply\n");
            for (int i = 0; i < fillerLines; ++i)
                text += QStringLiteral("Bullet point %1\n").arg(i);
            return text + QStringLiteral("time type\nFull time\njob requisition id\nR-10422\n");
        };
        QCOMPARE(valueOf(suggestText(page(390)), u"board"), QStringLiteral("workday"));
        QCOMPARE(valueOf(suggestText(page(420)), u"board"), QString());

        // A clipboard's worth of one line of names gives an answer, not a hang.
        QString names = QStringLiteral("Backend Engineer\n");
        while (names.size() < 200'000)
            names += QStringLiteral("Founded in 2004, Aaaa Bbbb Cccc Dddd Eeee's ");
        const PostingSuggestions suggestions = suggestText(names);
        QVERIFY(suggestions.company);
        QVERIFY(suggestions.company->evidence.size() < 1000);
    }
};

QTEST_GUILESS_MAIN(TestPostingSuggestions)
#include "tst_postingsuggestions.moc"
