#include "app/Translations.h"
#include "model/ApplicationStatus.h"
#include "model/JobApplication.h"
#include "tracking/StatusFilter.h"
#include "tracking/WaitingLevel.h"
#include "ui/Badges.h"

#include <QApplication>
#include <QFile>
#include <QTest>
#include <QTranslator>
#include <QXmlStreamReader>

class TranslationsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void turkishIsComplete();
    void turkishIsUsed();
    void countsTakeTheirGrammar_data();
    void countsTakeTheirGrammar();
};

// Every text of the program has a finished Turkish translation that keeps its
// placeholders; a new text without one fails here rather than showing English.
void TranslationsTest::turkishIsComplete()
{
    QFile file(QStringLiteral(APPLYWRIGHT_TS_FILE));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    QString source;
    int messages = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("source")) {
            source = xml.readElementText();
        } else if (xml.name() == QLatin1String("translation")) {
            const bool unfinished = xml.attributes().value(QLatin1String("type")) == QLatin1String("unfinished");
            // Plural texts hold their forms in child elements.
            const QString translation = xml.readElementText(QXmlStreamReader::IncludeChildElements);
            ++messages;
            QVERIFY2(!unfinished && !translation.isEmpty(), qPrintable(QStringLiteral("untranslated: ") + source));
            for (const char* marker : {"%1", "%2", "%3", "%lld", "%n"})
                QVERIFY2(source.contains(QLatin1String(marker)) == translation.contains(QLatin1String(marker)),
                    qPrintable(QStringLiteral("placeholder %1 differs in: ").arg(QLatin1String(marker)) + source));
        }
    }
    QVERIFY(!xml.hasError());
    QVERIFY(messages > 100);
}

void TranslationsTest::turkishIsUsed()
{
    QVERIFY(installTranslations(*qApp, QLocale(QLocale::Turkish, QLocale::Turkey)));
    // Texts from the record's vocabulary, the list's query and the record itself.
    const JobApplication blank(
        {}, {}, {}, WorkModel::remote, ApplicationStatus::applied, QDateTime::currentDateTimeUtc());
    QCOMPARE((QStringList {title(ApplicationStatus::offer), StatusFilter::active().title(),
                 waitingHint(WaitingLevel::silent), blank.displayCompany()}),
        (QStringList {QStringLiteral("Teklif"), QStringLiteral("Devam Eden"),
            QStringLiteral("İki haftadır ses yok — takip etmeyi düşünün."), QStringLiteral("Yeni Başvuru")}));
}

void TranslationsTest::countsTakeTheirGrammar_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<int>("days");
    QTest::addColumn<QStringList>("texts"); // waiting, closed, in this stage
    QTest::newRow("English, one") << "en" << 1 << QStringList {"Waiting 1 day", "Closed in 1 day", "1 day"};
    QTest::newRow("English, two") << "en" << 2 << QStringList {"Waiting 2 days", "Closed in 2 days", "2 days"};
    QTest::newRow("English, none") << "en" << 0 << QStringList {"Waiting 0 days", "Closed in 0 days", "0 days"};
    // Turkish has one form.
    QTest::newRow("Turkish, one") << "tr" << 1 << QStringList {"1 gündür bekliyor", "1 günde kapandı", "1 gün"};
    QTest::newRow("Turkish, two") << "tr" << 2 << QStringList {"2 gündür bekliyor", "2 günde kapandı", "2 gün"};
}

// "1 day", "2 days": the English plural forms ship with the application and apply
// under every locale without a translation of its own.
void TranslationsTest::countsTakeTheirGrammar()
{
    QFETCH(QString, language);
    QFETCH(int, days);
    QFETCH(QStringList, texts);
    QTranslator translator;
    QVERIFY(translator.load(QStringLiteral(":/i18n/applywright_") + language));
    QCoreApplication::installTranslator(&translator);
    const QStringList shown {waitingDaysText(days),
        QCoreApplication::translate(
            "DetailHeader", "Closed in %n days", "%n is the number of days from applying to the end", days),
        QCoreApplication::translate("TimelineSection", "%n days", "Days in the current stage", days)};
    QCoreApplication::removeTranslator(&translator);
    QCOMPARE(shown, texts);
}

QTEST_MAIN(TranslationsTest)
#include "tst_translations.moc"
