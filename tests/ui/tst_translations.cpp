#include "app/Translations.h"
#include "model/ApplicationStatus.h"
#include "model/JobApplication.h"
#include "tracking/StatusFilter.h"
#include "tracking/WaitingLevel.h"

#include <QApplication>
#include <QFile>
#include <QTest>
#include <QXmlStreamReader>

class TranslationsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void turkishIsComplete();
    void turkishIsUsed();
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

QTEST_MAIN(TranslationsTest)
#include "tst_translations.moc"
