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
            for (const QString& marker : {QStringLiteral("%1"), QStringLiteral("%2"), QStringLiteral("%3"),
                     QStringLiteral("%lld"), QStringLiteral("%n")}) {
                QVERIFY2(source.contains(marker) == translation.contains(marker),
                    qPrintable(QStringLiteral("placeholder %1 differs in: ").arg(marker) + source));
            }
        }
    }
    QVERIFY(!xml.hasError());
    QVERIFY(messages > 100);
}

void TranslationsTest::turkishIsUsed()
{
    QVERIFY(installTranslations(*qApp, QLocale(QLocale::Turkish, QLocale::Turkey)));
    QCOMPARE(title(ApplicationStatus::offer), QStringLiteral("Teklif"));
    QCOMPARE(StatusFilter::active().title(), QStringLiteral("Devam Eden"));
    QCOMPARE(waitingHint(WaitingLevel::silent), QStringLiteral("İki haftadır ses yok — takip etmeyi düşünün."));
    JobApplication blank(QString(), QString(), QString(), WorkModel::remote, ApplicationStatus::applied,
        QDateTime::currentDateTimeUtc());
    QCOMPARE(blank.displayCompany(), QStringLiteral("Yeni Başvuru"));
}

QTEST_MAIN(TranslationsTest)
#include "tst_translations.moc"
