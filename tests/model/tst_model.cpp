#include "TestSupport.h"

#include "model/ApplicationEdits.h"
#include "model/ApplicationStatus.h"
#include "model/Currency.h"
#include "model/Decimal.h"
#include "model/JobApplication.h"
#include "model/RejectionReason.h"
#include "model/WorkModel.h"

#include <QSignalSpy>
#include <QTest>

using namespace TestSupport;

Q_DECLARE_METATYPE(FieldValue)

namespace {

std::unique_ptr<JobApplication> make(ApplicationStatus status = ApplicationStatus::applied,
    const QString& company = QString(), const QString& link = QString())
{
    return std::make_unique<JobApplication>(company, QString(), link, WorkModel::remote, status, utc(2025, 1, 1));
}

} // namespace

class ModelTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { useTimeZone("Europe/Istanbul"); }
    void cleanup() { Clock::reset(); }

    void rawValuesAreExact()
    {
        QCOMPARE(fromRawValue<ApplicationStatus>(QStringLiteral("applied")), ApplicationStatus::applied);
        QCOMPARE(fromRawValue<Currency>(QStringLiteral("TRY")), Currency::tryy);
        // No case folding and no trimming: the stored text is the identity.
        for (const char* text : {"Applied", " applied", "", "try"}) {
            QVERIFY2(!fromRawValue<ApplicationStatus>(QString::fromLatin1(text)), text);
            QVERIFY2(!fromRawValue<Currency>(QString::fromLatin1(text)), text);
        }
    }

    void decimalParse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("canonical"); // empty: refused
        const auto row = [](const char* name, const QString& text, const char* canonical) {
            QTest::newRow(name) << text << QString::fromLatin1(canonical);
        };
        row("fraction", "12.50075", "12.50075");
        row("negative zero", "-0.000", "0");
        row("trailing zeros", "12.500", "12.5");
        row("long", "123456789012345678901234567890.123456789", "123456789012345678901234567890.123456789");
        row("exponent", "1.5e3", "1500");
        row("negative exponent", "25E-4", "0.0025");
        row("zeros absorb exponent", "0e99999", "0");
        row("point only", ".", "");
        row("comma", "12,5", "");
        row("dangling exponent", "1e", "");
        row("huge exponent", "1e400", "");
        row("absurd exponent", "1e99999999999999999999", "");
        row("hundreds of digits", QString(150, QLatin1Char('7')), "");
        row("arabic digit", QStringLiteral("١٢"), "");
    }

    void decimalParse()
    {
        QFETCH(QString, text);
        QFETCH(QString, canonical);
        const auto parsed = Decimal::parse(text);
        QCOMPARE(parsed ? parsed->toString() : QString(), canonical);
        if (parsed)
            QCOMPARE(Decimal::parse(parsed->toString()), parsed); // the canonical text reads back
    }

    void decimalArithmetic_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<QString>("difference");
        QTest::addColumn<double>("aAsDouble");
        const auto row = [](const char* name, const char* a, const char* b, const char* difference, double aAsDouble) {
            QTest::newRow(name) << QString::fromLatin1(a) << QString::fromLatin1(b) << QString::fromLatin1(difference)
                                << aAsDouble;
        };
        row("fractions", "12.50075", "0.00075", "12.5", 12.50075);
        row("negative result", "40", "100.5", "-60.5", 40.0);
        row("borrow chain", "1000000", "0.000001", "999999.999999", 1e6);
        row("negatives", "-5", "-7.25", "2.25", -5.0);
        row("long", "123456789012345678901234567890.123456789", "0.123456789", "123456789012345678901234567890",
            1.2345678901234568e29);
    }

    void decimalArithmetic()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(QString, difference);
        QFETCH(double, aAsDouble);
        const Decimal x = *Decimal::parse(a);
        const Decimal y = *Decimal::parse(b);
        QCOMPARE((x - y).toString(), difference);
        QCOMPARE(((x - y) + y), x);
        QCOMPARE(x.toDouble(), aAsDouble);
    }

    void decimalOrdering()
    {
        const QStringList ascending {"-100", "-2.5", "-2.25", "0", "0.001", "0.01", "1", "1.5", "10", "99.999", "1e3"};
        for (int i = 0; i < ascending.size(); ++i) {
            for (int j = 0; j < ascending.size(); ++j) {
                QCOMPARE(*Decimal::parse(ascending[i]) < *Decimal::parse(ascending[j]), i < j);
                QCOMPARE(*Decimal::parse(ascending[i]) == *Decimal::parse(ascending[j]), i == j);
            }
        }
        QCOMPARE(*Decimal::parse("2.50"), *Decimal::parse("2.5"));
        QCOMPARE(Decimal::fromInteger(-1234).toString(), QStringLiteral("-1234"));
        QCOMPARE(Decimal::fromInteger(0), Decimal());
    }

    void initialValues()
    {
        const QDateTime created = utc(2025, 3, 7, 9, 30);
        FixedClock clock(created);
        const QDateTime applied = utc(2025, 3, 1, 8);
        JobApplication offer(QStringLiteral("Acme"), QStringLiteral("Engineer"), QStringLiteral("acme.com/jobs"),
            WorkModel::hybrid, ApplicationStatus::offer, applied);
        QVERIFY(offer.uuid().has_value());
        QCOMPARE((QList<QDateTime> {offer.statusChangedAt(), *offer.closedAt(), offer.createdAt(), offer.updatedAt()}),
            (QList<QDateTime> {applied, created, created, created}));
        QVERIFY(offer.history().isEmpty());
        const auto open = make();
        QVERIFY(!open->closedAt());
        QVERIFY(open->uuid() != offer.uuid());
        const auto blank = JobApplication::makeBlank();
        QCOMPARE(blank->applicationDate(), created);
        QCOMPARE(blank->statusRaw(), QStringLiteral("applied"));
    }

    void changeStatus_data()
    {
        using S = ApplicationStatus;
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<bool>("closes"); // closedAt becomes the moment of the change, else none
        QTest::addColumn<bool>("rejectionKept");
        QTest::newRow("applied to offer") << int(S::applied) << int(S::offer) << true << false;
        QTest::newRow("offer to rejected") << int(S::offer) << int(S::rejected) << true << true;
        QTest::newRow("rejected to hr") << int(S::rejected) << int(S::hrInterview) << false << false;
        QTest::newRow("applied to tech") << int(S::applied) << int(S::techInterview) << false << false;
    }

    void changeStatus()
    {
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(bool, closes);
        QFETCH(bool, rejectionKept);
        FixedClock clock(utc(2025, 1, 1));
        const auto owner = make(ApplicationStatus(from), QStringLiteral("Acme"));
        JobApplication& a = *owner;
        a.setRejectedByEmail(true);
        a.setRejectedByPhone(true);
        a.setRejectionReasonRaw(QStringLiteral("budget"));
        a.setRejectionNote(QStringLiteral("too expensive"));
        // A clock that moves a second with every reading: the change happens at its
        // first reading, and the record's stamp says when all of it was done.
        const QDateTime moment = utc(2025, 2, 2, 10, 15);
        int readings = 0;
        Clock::setSource([&] { return moment.addSecs(readings++); });
        QSignalSpy appended(&a, &JobApplication::historyAppended);
        a.changeStatus(ApplicationStatus(to));
        QCOMPARE(a.statusRaw(), rawValue(ApplicationStatus(to)));
        QCOMPARE(a.statusChangedAt(), moment);
        QVERIFY2(a.updatedAt() > moment, qPrintable(a.updatedAt().toString(Qt::ISODate)));
        QCOMPARE(a.closedAt(), closes ? std::optional<QDateTime>(moment) : std::nullopt);
        QCOMPARE(appended.count(), 1);
        QCOMPARE(a.history().size(), 1);
        const StatusChange* entry = a.history().last();
        QCOMPARE(entry->from(), std::optional<ApplicationStatus>(ApplicationStatus(from)));
        QCOMPARE(entry->to(), ApplicationStatus(to));
        QCOMPARE(entry->date(), moment);
        QCOMPARE(entry->application(), &a);
        QCOMPARE((QList<bool> {a.rejectedByEmail(), a.rejectedByPhone(), a.rejectionReasonRaw().has_value(),
                     !a.rejectionNote().isEmpty()}),
            QList<bool>(4, rejectionKept));
    }

    void changeStatusFromAnUnknownStatus()
    {
        // An unknown stored status reads as applied: picking applied does nothing,
        // picking offer records a move away from applied.
        JobApplication a(
            QString(), QString(), QString(), WorkModel::remote, ApplicationStatus::offer, utc(2024, 12, 1));
        a.setStatusRaw(QStringLiteral("onHold"));
        a.changeStatus(ApplicationStatus::applied);
        QCOMPARE(a.statusRaw(), QStringLiteral("onHold"));
        a.changeStatus(ApplicationStatus::offer);
        QCOMPARE(a.history().size(), 1);
        QCOMPARE(a.history().first()->fromRaw(), std::optional<QString>(QStringLiteral("applied")));
    }

    void typedWriters()
    {
        FixedClock clock(utc(2025, 1, 1));
        const auto owner = make();
        JobApplication& a = *owner;
        const auto stampedOn = [&clock, &a](int day, const auto& write) {
            clock.set(utc(2025, 1, day));
            write();
            return a.updatedAt().date().day();
        };
        // The same value writes nothing; a new one is written and stamped.
        QCOMPARE(stampedOn(2, [&a] { a.setWorkModel(WorkModel::remote); }), 1);
        QCOMPARE(stampedOn(3, [&a] { a.setWorkModel(WorkModel::onSite); }), 3);
        QCOMPARE(a.workModelRaw(), QStringLiteral("onSite"));
        QCOMPARE(stampedOn(4, [&a] { a.setCurrency(Currency::tryy); }), 3);
        QCOMPARE(stampedOn(5, [&a] { a.setCurrency(Currency::usd); }), 5);
        QCOMPARE(a.currencyRaw(), QStringLiteral("USD"));
        // The rejection reason stamps every time, even when unchanged.
        QCOMPARE(stampedOn(6, [&a] { a.setRejectionReason(RejectionReason::budget); }), 6);
        QCOMPARE(stampedOn(7, [&a] { a.setRejectionReason(RejectionReason::budget); }), 7);
        QCOMPARE(a.rejectionReason(), std::optional<RejectionReason>(RejectionReason::budget));
        a.setRejectionReason(std::nullopt);
        QVERIFY(!a.rejectionReasonRaw());
        // Plain writes never stamp.
        QCOMPARE(stampedOn(8, [&a] { a.setCompanyName(QStringLiteral("Acme")), a.setNotes(QStringLiteral("x")); }), 7);
    }

    void editsStampByTheRecordsRules_data()
    {
        using F = JobApplication::Field;
        QTest::addColumn<int>("field");
        QTest::addColumn<FieldValue>("value");
        // Whether the value is written, and whether updatedAt is stamped with it.
        QTest::addColumn<bool>("written");
        QTest::addColumn<bool>("stamped");
        const auto row = [](const char* name, F field, const FieldValue& value, bool written, bool stamped) {
            QTest::newRow(name) << int(field) << value << written << stamped;
        };
        row("company", F::companyName, QStringLiteral("Ayşe"), true, true);
        row("company unchanged", F::companyName, QString(), true, false);
        row("posting link alone", F::postingLink, QStringLiteral("acme.example"), true, false);
        row("application date", F::applicationDate, utc(2024, 12, 30), true, true);
        row("follow-up date", F::followUpDate, std::optional<QDateTime>(utc(2025, 1, 9)), true, true);
        row("expected salary", F::expectedSalary, Decimal::parse("12.5"), true, true);
        row("star", F::isFavorite, true, true, true);
        // Written only by the record's own rules: a direct edit changes nothing.
        row("status", F::statusRaw, QStringLiteral("offer"), false, false);
        row("currency", F::currencyRaw, QStringLiteral("EUR"), false, false);
        row("closed at", F::closedAt, std::optional<QDateTime>(utc(2025, 1, 9)), false, false);
        row("updated at", F::updatedAt, utc(2025, 1, 9), false, false);
    }

    void editsStampByTheRecordsRules()
    {
        QFETCH(int, field);
        QFETCH(FieldValue, value);
        QFETCH(bool, written);
        QFETCH(bool, stamped);
        FixedClock clock(utc(2025, 1, 1));
        const auto a = make();
        const FieldValue before = a->value(JobApplication::Field(field));
        clock.set(utc(2025, 1, 2));
        ApplicationEdits::edit(*a, JobApplication::Field(field), value);
        QCOMPARE(a->value(JobApplication::Field(field)) == value, written || before == value);
        QCOMPARE(a->updatedAt(), stamped ? utc(2025, 1, 2) : utc(2025, 1, 1));
    }

    void followUpSwitch()
    {
        FixedClock clock(local(2025, 3, 14, 18, 30));
        const auto a = make();
        // On: one week ahead at the same time of day, across the change to summer time
        // (Istanbul has none since 2016; Berlin moves on 30 March).
        useTimeZone("Europe/Berlin");
        clock.set(local(2025, 3, 26, 18, 30));
        ApplicationEdits::setFollowUpEnabled(*a, true);
        QCOMPARE(a->followUpDate(), std::optional<QDateTime>(local(2025, 4, 2, 18, 30).toUTC()));
        QCOMPARE(a->updatedAt(), local(2025, 3, 26, 18, 30).toUTC());
        clock.set(local(2025, 3, 27, 9, 0));
        ApplicationEdits::setFollowUpEnabled(*a, false);
        QVERIFY(!a->followUpDate());
        QCOMPARE(a->updatedAt(), local(2025, 3, 27, 9, 0).toUTC());
        useTimeZone("Europe/Istanbul");
    }

    void unknownRawValuesReadWithFallbacks()
    {
        FixedClock clock(utc(2025, 1, 1));
        const auto a = make();
        a->setWorkModelRaw(QStringLiteral("fromMars"));
        a->setCurrencyRaw(QStringLiteral("XAU"));
        a->setRejectionReasonRaw(QStringLiteral("vibes"));
        a->setStatusRaw(QStringLiteral("ghosted"));
        QCOMPARE((QStringList {rawValue(a->workModel()), rawValue(a->currency()), rawValue(a->status())}),
            (QStringList {"remote", "TRY", "applied"}));
        QCOMPARE(a->rejectionReason(), std::nullopt);
        // Writing the value that is read leaves the unknown text and updatedAt alone.
        clock.set(utc(2025, 2, 1));
        a->setWorkModel(WorkModel::remote);
        QCOMPARE(a->workModelRaw(), QStringLiteral("fromMars"));
        QCOMPARE(a->updatedAt(), utc(2025, 1, 1));
        StatusChange entry(std::optional<QString>(QStringLiteral("limbo")), QStringLiteral("nowhere"), utc(2025, 1, 1));
        QCOMPARE(entry.from(), std::nullopt);
        QCOMPARE(entry.to(), ApplicationStatus::applied);
    }

    void postingURL_data()
    {
        QTest::addColumn<QString>("link");
        QTest::addColumn<QString>("url"); // empty: none
        for (const auto& [link, url] : std::initializer_list<std::pair<const char*, const char*>> {{"  \n ", ""},
                 {"acme.com/jobs/42", "https://acme.com/jobs/42"}, {"  https://acme.com/x  ", "https://acme.com/x"},
                 {"http://acme.com", "http://acme.com"}, {"HTTPS://Acme.com/a", "https://acme.com/a"},
                 {"ftp://acme.com/file", ""}, {"https://", ""}, {"acme .com", ""}, {"localhost", "https://localhost"}})
            QTest::newRow(link) << QString::fromUtf8(link) << QString::fromUtf8(url);
    }

    void postingURL()
    {
        QFETCH(QString, link);
        QFETCH(QString, url);
        const auto a = make(ApplicationStatus::applied, QString(), link);
        const auto result = a->postingURL();
        QCOMPARE(result ? result->toString() : QString(), url);
        QCOMPARE(a->postingLink(), link); // never rewritten
    }
};

QTEST_GUILESS_MAIN(ModelTest)
#include "tst_model.moc"
