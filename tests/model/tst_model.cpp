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

class ModelTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { useTimeZone("Europe/Istanbul"); }
    void cleanup() { Clock::reset(); }

    void rawValueConversion_data();
    void rawValueConversion();

    void decimalParse_data();
    void decimalParse();
    void decimalArithmetic_data();
    void decimalArithmetic();
    void decimalOrdering();

    void initialValues();
    void changeStatus_data();
    void changeStatus();
    void changeStatusToSameIsNoop();
    void typedWriters();
    void editsStampByTheRecordsRules_data();
    void editsStampByTheRecordsRules();
    void followUpSwitchAndStar();
    void unknownRawValuesReadWithFallbacks();
    void displayTexts_data();
    void displayTexts();
    void postingURL_data();
    void postingURL();
    void stableIDIsStoredOnFirstUse();
    void fieldChangesSignalOnlyRealChanges();
};

void ModelTest::rawValueConversion_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("status"); // -1: no case
    QTest::addColumn<int>("currency"); // -1: no case
    QTest::newRow("applied") << "applied" << int(ApplicationStatus::applied) << -1;
    QTest::newRow("Applied capitalised") << "Applied" << -1 << -1;
    QTest::newRow("leading blank") << " applied" << -1 << -1;
    QTest::newRow("TRY") << "TRY" << -1 << int(Currency::tryy);
    QTest::newRow("try lower") << "try" << -1 << -1;
    QTest::newRow("empty") << "" << -1 << -1;
}

void ModelTest::rawValueConversion()
{
    QFETCH(QString, text);
    QFETCH(int, status);
    QFETCH(int, currency);
    const auto s = fromRawValue<ApplicationStatus>(text);
    QCOMPARE(s.has_value(), status >= 0);
    if (s)
        QCOMPARE(int(*s), status);
    const auto c = fromRawValue<Currency>(text);
    QCOMPARE(c.has_value(), currency >= 0);
    if (c)
        QCOMPARE(int(*c), currency);
}

void ModelTest::decimalParse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QString>("canonical");
    QTest::newRow("fraction") << "12.50075" << true << "12.50075";
    QTest::newRow("negative zero") << "-0.000" << true << "0";
    QTest::newRow("trailing zeros") << "12.500" << true << "12.5";
    QTest::newRow("long") << "123456789012345678901234567890.123456789" << true
                          << "123456789012345678901234567890.123456789";
    QTest::newRow("exponent") << "1.5e3" << true << "1500";
    QTest::newRow("negative exponent") << "25E-4" << true << "0.0025";
    QTest::newRow("negative") << "-42.1" << true << "-42.1";
    QTest::newRow("point only") << "." << false << "";
    QTest::newRow("comma") << "12,5" << false << "";
    QTest::newRow("dangling exponent") << "1e" << false << "";
    QTest::newRow("huge exponent") << "1e400" << false << "";
    QTest::newRow("absurd exponent") << "1e99999999999999999999" << false << "";
    QTest::newRow("hundreds of digits") << QString(150, QLatin1Char('7')) << false << "";
    QTest::newRow("zeros absorb exponent") << "0e99999" << true << "0";
    QTest::newRow("arabic digit") << QStringLiteral("١٢") << false << "";
}

void ModelTest::decimalParse()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(QString, canonical);
    const auto parsed = Decimal::parse(text);
    QCOMPARE(parsed.has_value(), valid);
    if (valid) {
        QCOMPARE(parsed->toString(), canonical);
        // The canonical text parses back to the same value.
        QCOMPARE(Decimal::parse(parsed->toString()), parsed);
    }
}

void ModelTest::decimalArithmetic_data()
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
    row("equal", "3.30", "3.3", "0", 3.3);
    row("negatives", "-5", "-7.25", "2.25", -5.0);
    row("long", "123456789012345678901234567890.123456789", "0.123456789", "123456789012345678901234567890",
        1.2345678901234568e29);
}

void ModelTest::decimalArithmetic()
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

void ModelTest::decimalOrdering()
{
    const QStringList ascending {"-100", "-2.5", "-2.25", "0", "0.001", "0.01", "1", "1.5", "10", "99.999", "1e3"};
    for (int i = 0; i < ascending.size(); ++i) {
        for (int j = 0; j < ascending.size(); ++j) {
            const Decimal a = *Decimal::parse(ascending[i]);
            const Decimal b = *Decimal::parse(ascending[j]);
            QCOMPARE(a < b, i < j);
            QCOMPARE(a == b, i == j);
        }
    }
    QCOMPARE(*Decimal::parse("2.50"), *Decimal::parse("2.5"));
    QCOMPARE(Decimal::fromInteger(-1234).toString(), QStringLiteral("-1234"));
    QCOMPARE(Decimal::fromInteger(0), Decimal());
}

void ModelTest::initialValues()
{
    const QDateTime created = utc(2025, 3, 7, 9, 30);
    FixedClock clock(created);
    const QDateTime applied = utc(2025, 3, 1, 8);

    JobApplication offer(QStringLiteral("Acme"), QStringLiteral("Engineer"), QStringLiteral("acme.com/jobs"),
        WorkModel::hybrid, ApplicationStatus::offer, applied);
    QVERIFY(offer.uuid().has_value());
    QCOMPARE(offer.statusChangedAt(), applied);
    QCOMPARE(offer.closedAt(), std::optional<QDateTime>(created));
    QCOMPARE(offer.createdAt(), created);
    QCOMPARE(offer.updatedAt(), created);
    QVERIFY(offer.history().isEmpty());

    JobApplication open(QString(), QString(), QString(), WorkModel::remote, ApplicationStatus::applied, applied);
    QVERIFY(!open.closedAt());
    QVERIFY(open.uuid() != offer.uuid());

    const auto blank = JobApplication::makeBlank();
    QCOMPARE(blank->applicationDate(), created);
    QCOMPARE(blank->statusRaw(), QStringLiteral("applied"));
}

void ModelTest::changeStatus_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<bool>("closedAtIsNew"); // false: none
    QTest::addColumn<bool>("rejectionKept");
    QTest::newRow("applied to offer") << int(ApplicationStatus::applied) << int(ApplicationStatus::offer) << true
                                      << false;
    QTest::newRow("offer to rejected") << int(ApplicationStatus::offer) << int(ApplicationStatus::rejected) << true
                                       << true;
    QTest::newRow("rejected to hr") << int(ApplicationStatus::rejected) << int(ApplicationStatus::hrInterview) << false
                                    << false;
    QTest::newRow("applied to tech") << int(ApplicationStatus::applied) << int(ApplicationStatus::techInterview)
                                     << false << false;
}

void ModelTest::changeStatus()
{
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(bool, closedAtIsNew);
    QFETCH(bool, rejectionKept);

    FixedClock clock(utc(2025, 1, 1));
    JobApplication a(
        QStringLiteral("Acme"), QString(), QString(), WorkModel::remote, ApplicationStatus(from), utc(2024, 12, 20));
    a.setRejectedByEmail(true);
    a.setRejectedByPhone(true);
    a.setRejectionReasonRaw(QStringLiteral("budget"));
    a.setRejectionNote(QStringLiteral("too expensive"));
    const int before = int(a.history().size());

    const QDateTime moment = utc(2025, 2, 2, 10, 15);
    clock.set(moment);
    QSignalSpy appended(&a, &JobApplication::historyAppended);
    a.changeStatus(ApplicationStatus(to));

    QCOMPARE(a.statusRaw(), rawValue(ApplicationStatus(to)));
    QCOMPARE(a.statusChangedAt(), moment);
    QCOMPARE(a.updatedAt(), moment);
    QCOMPARE(a.closedAt(), closedAtIsNew ? std::optional<QDateTime>(moment) : std::nullopt);
    QCOMPARE(a.history().size(), before + 1);
    QCOMPARE(appended.count(), 1);
    StatusChange* entry = a.history().last();
    QCOMPARE(entry->from(), std::optional<ApplicationStatus>(ApplicationStatus(from)));
    QCOMPARE(entry->to(), ApplicationStatus(to));
    QCOMPARE(entry->date(), moment);
    QCOMPARE(entry->application(), &a);
    QCOMPARE(a.rejectedByEmail(), rejectionKept);
    QCOMPARE(a.rejectedByPhone(), rejectionKept);
    QCOMPARE(a.rejectionReasonRaw().has_value(), rejectionKept);
    QCOMPARE(a.rejectionNote().isEmpty(), !rejectionKept);
}

void ModelTest::changeStatusToSameIsNoop()
{
    FixedClock clock(utc(2025, 1, 1));
    JobApplication a(QString(), QString(), QString(), WorkModel::remote, ApplicationStatus::offer, utc(2024, 12, 1));
    const auto closed = a.closedAt();
    clock.set(utc(2025, 1, 5));
    QSignalSpy changes(&a, &JobApplication::fieldChanged);
    a.changeStatus(ApplicationStatus::offer);
    QCOMPARE(changes.count(), 0);
    QVERIFY(a.history().isEmpty());
    QCOMPARE(a.closedAt(), closed);
    QCOMPARE(a.updatedAt(), utc(2025, 1, 1));

    // An unknown stored status reads as applied: picking applied does nothing,
    // picking offer records a move away from applied.
    a.setStatusRaw(QStringLiteral("onHold"));
    QCOMPARE(a.status(), ApplicationStatus::applied);
    a.changeStatus(ApplicationStatus::applied);
    QVERIFY(a.history().isEmpty());
    QCOMPARE(a.statusRaw(), QStringLiteral("onHold"));
    a.changeStatus(ApplicationStatus::offer);
    QCOMPARE(a.history().size(), 1);
    QCOMPARE(a.history().first()->fromRaw(), std::optional<QString>(QStringLiteral("applied")));
}

void ModelTest::typedWriters()
{
    FixedClock clock(utc(2025, 1, 1));
    JobApplication a(QString(), QString(), QString(), WorkModel::remote, ApplicationStatus::applied, utc(2025, 1, 1));

    clock.set(utc(2025, 1, 2));
    a.setWorkModel(WorkModel::remote); // same value: nothing
    QCOMPARE(a.updatedAt(), utc(2025, 1, 1));
    a.setWorkModel(WorkModel::onSite);
    QCOMPARE(a.workModelRaw(), QStringLiteral("onSite"));
    QCOMPARE(a.updatedAt(), utc(2025, 1, 2));

    clock.set(utc(2025, 1, 3));
    a.setCurrency(Currency::tryy);
    QCOMPARE(a.updatedAt(), utc(2025, 1, 2));
    a.setCurrency(Currency::usd);
    QCOMPARE(a.currencyRaw(), QStringLiteral("USD"));
    QCOMPARE(a.updatedAt(), utc(2025, 1, 3));

    // The rejection reason stamps every time, even when unchanged.
    clock.set(utc(2025, 1, 4));
    a.setRejectionReason(RejectionReason::budget);
    QCOMPARE(a.updatedAt(), utc(2025, 1, 4));
    clock.set(utc(2025, 1, 5));
    a.setRejectionReason(RejectionReason::budget);
    QCOMPARE(a.updatedAt(), utc(2025, 1, 5));
    QCOMPARE(a.rejectionReason(), std::optional<RejectionReason>(RejectionReason::budget));
    a.setRejectionReason(std::nullopt);
    QVERIFY(!a.rejectionReasonRaw());

    // Plain writes never stamp.
    clock.set(utc(2025, 1, 6));
    a.setCompanyName(QStringLiteral("Acme"));
    a.setNotes(QStringLiteral("call back"));
    QCOMPARE(a.updatedAt(), utc(2025, 1, 5));
}

void ModelTest::editsStampByTheRecordsRules_data()
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
    const QString text = QStringLiteral("Ayşe");
    row("company", F::companyName, text, true, true);
    row("company unchanged", F::companyName, QString(), true, false);
    row("posting link alone", F::postingLink, QStringLiteral("acme.example"), true, false);
    row("application date", F::applicationDate, utc(2024, 12, 30), true, true);
    row("follow-up date", F::followUpDate, std::optional<QDateTime>(utc(2025, 1, 9)), true, true);
    row("rejected by email", F::rejectedByEmail, true, true, true);
    row("HR contact", F::hrContactName, text, true, true);
    row("interviewer's role", F::techInterviewerRole, text, true, true);
    row("expected salary", F::expectedSalary, Decimal::parse("12.5"), true, true);
    row("star", F::isFavorite, true, true, true);
    // Written only by the record's own rules: a direct edit changes nothing.
    row("status", F::statusRaw, QStringLiteral("offer"), false, false);
    row("currency", F::currencyRaw, QStringLiteral("EUR"), false, false);
    row("closed at", F::closedAt, std::optional<QDateTime>(utc(2025, 1, 9)), false, false);
    row("updated at", F::updatedAt, utc(2025, 1, 9), false, false);
}

void ModelTest::editsStampByTheRecordsRules()
{
    QFETCH(int, field);
    QFETCH(FieldValue, value);
    QFETCH(bool, written);
    QFETCH(bool, stamped);
    FixedClock clock(utc(2025, 1, 1));
    JobApplication a(QString(), QString(), QString(), WorkModel::remote, ApplicationStatus::applied, utc(2025, 1, 1));
    const FieldValue before = a.value(JobApplication::Field(field));
    clock.set(utc(2025, 1, 2));
    ApplicationEdits::edit(a, JobApplication::Field(field), value);
    QCOMPARE(a.value(JobApplication::Field(field)) == value, written || before == value);
    QCOMPARE(a.updatedAt(), stamped ? utc(2025, 1, 2) : utc(2025, 1, 1));
}

void ModelTest::followUpSwitchAndStar()
{
    FixedClock clock(local(2025, 3, 14, 18, 30));
    JobApplication a(QString(), QString(), QString(), WorkModel::remote, ApplicationStatus::applied, utc(2025, 1, 1));
    // On: one week ahead at the same time of day, across the change to summer time
    // (Istanbul has none since 2016; Berlin moves on 30 March).
    useTimeZone("Europe/Berlin");
    clock.set(local(2025, 3, 26, 18, 30));
    ApplicationEdits::setFollowUpEnabled(a, true);
    QCOMPARE(a.followUpDate(), std::optional<QDateTime>(local(2025, 4, 2, 18, 30).toUTC()));
    QCOMPARE(a.updatedAt(), local(2025, 3, 26, 18, 30).toUTC());
    clock.set(local(2025, 3, 27, 9, 0));
    ApplicationEdits::setFollowUpEnabled(a, false);
    QVERIFY(!a.followUpDate());
    QCOMPARE(a.updatedAt(), local(2025, 3, 27, 9, 0).toUTC());
    useTimeZone("Europe/Istanbul");

    clock.set(utc(2025, 4, 1));
    ApplicationEdits::toggleFavorite(a);
    QVERIFY(a.isFavorite());
    QCOMPARE(a.updatedAt(), utc(2025, 4, 1));
    clock.set(utc(2025, 4, 2));
    ApplicationEdits::toggleFavorite(a);
    QVERIFY(!a.isFavorite());
    QCOMPARE(a.updatedAt(), utc(2025, 4, 2));
}

void ModelTest::unknownRawValuesReadWithFallbacks()
{
    FixedClock clock(utc(2025, 1, 1));
    JobApplication a(QString(), QString(), QString(), WorkModel::hybrid, ApplicationStatus::applied, utc(2025, 1, 1));
    a.setWorkModelRaw(QStringLiteral("fromMars"));
    a.setCurrencyRaw(QStringLiteral("XAU"));
    a.setRejectionReasonRaw(QStringLiteral("vibes"));
    a.setStatusRaw(QStringLiteral("ghosted"));
    QCOMPARE(a.workModel(), WorkModel::remote);
    QCOMPARE(a.currency(), Currency::tryy);
    QCOMPARE(a.rejectionReason(), std::nullopt);
    QCOMPARE(a.status(), ApplicationStatus::applied);

    // Writing the value that is read leaves the unknown text and updatedAt alone.
    clock.set(utc(2025, 2, 1));
    a.setWorkModel(WorkModel::remote);
    QCOMPARE(a.workModelRaw(), QStringLiteral("fromMars"));
    QCOMPARE(a.updatedAt(), utc(2025, 1, 1));

    StatusChange entry(std::optional<QString>(QStringLiteral("limbo")), QStringLiteral("nowhere"), utc(2025, 1, 1));
    QCOMPARE(entry.from(), std::nullopt);
    QCOMPARE(entry.to(), ApplicationStatus::applied);
}

void ModelTest::displayTexts_data()
{
    QTest::addColumn<QString>("company");
    QTest::addColumn<QString>("position");
    QTest::addColumn<QString>("shownCompany");
    QTest::addColumn<QString>("shownPosition");
    const auto row = [](const char* name, const QString& company, const QString& position, const char* shownCompany,
                         const char* shownPosition) {
        QTest::newRow(name) << company << position << QString::fromUtf8(shownCompany)
                            << QString::fromUtf8(shownPosition);
    };
    row("blank", QStringLiteral("   "), QStringLiteral("\n\t"), "New Application", "No position specified");
    row("untrimmed kept", QStringLiteral(" Acme "), QStringLiteral(" iOS"), " Acme ", " iOS");
    row("no-break space only", QStringLiteral("\u00A0"), QStringLiteral("x"), "New Application", "x");
}

void ModelTest::displayTexts()
{
    QFETCH(QString, company);
    QFETCH(QString, position);
    QFETCH(QString, shownCompany);
    QFETCH(QString, shownPosition);
    JobApplication a(company, position, QString(), WorkModel::remote, ApplicationStatus::applied, utc(2025, 1, 1));
    QCOMPARE(a.displayCompany(), shownCompany);
    QCOMPARE(a.displayPosition(), shownPosition);
}

void ModelTest::postingURL_data()
{
    QTest::addColumn<QString>("link");
    QTest::addColumn<QString>("url"); // empty: none
    const auto row = [](const char* link, const char* url) {
        QTest::newRow(link) << QString::fromUtf8(link) << QString::fromUtf8(url);
    };
    row("  \n ", "");
    row("acme.com/jobs/42", "https://acme.com/jobs/42");
    row("  https://acme.com/x  ", "https://acme.com/x");
    row("http://acme.com", "http://acme.com");
    row("HTTPS://Acme.com/a", "https://acme.com/a");
    row("ftp://acme.com/file", "");
    row("mailto://x@y.com", "");
    row("https://", "");
    row("acme .com", "");
    row("localhost", "https://localhost");
}

void ModelTest::postingURL()
{
    QFETCH(QString, link);
    QFETCH(QString, url);
    JobApplication a(QString(), QString(), link, WorkModel::remote, ApplicationStatus::applied, utc(2025, 1, 1));
    const auto result = a.postingURL();
    QCOMPARE(result.has_value(), !url.isEmpty());
    if (result)
        QCOMPARE(result->toString(), url);
    QCOMPARE(a.postingLink(), link); // never rewritten
}

void ModelTest::stableIDIsStoredOnFirstUse()
{
    JobApplication a(QString(), QString(), QString(), WorkModel::remote, ApplicationStatus::applied, utc(2025, 1, 1));
    a.setUuid(std::nullopt);
    QSignalSpy changes(&a, &JobApplication::fieldChanged);
    const QUuid first = a.stableID();
    QVERIFY(!first.isNull());
    QCOMPARE(a.uuid(), std::optional<QUuid>(first));
    QCOMPARE(a.stableID(), first);
    QCOMPARE(changes.count(), 1);
    QCOMPARE(changes.first().first().value<JobApplication::Field>(), JobApplication::Field::uuid);
}

void ModelTest::fieldChangesSignalOnlyRealChanges()
{
    JobApplication a(
        QStringLiteral("Acme"), QString(), QString(), WorkModel::remote, ApplicationStatus::applied, utc(2025, 1, 1));
    QSignalSpy changes(&a, &JobApplication::fieldChanged);
    a.setCompanyName(QStringLiteral("Acme"));
    a.setFavorite(false);
    a.setApplicationDate(utc(2025, 1, 1));
    // The same instant written in another zone is the same moment.
    a.setApplicationDate(utc(2025, 1, 1).toOffsetFromUtc(3 * 3600));
    a.setExpectedSalary(std::nullopt);
    QCOMPARE(changes.count(), 0);
    a.setCompanyName(QStringLiteral("Acme Ltd"));
    a.setFavorite(true);
    a.setExpectedSalary(Decimal::parse("1000"));
    a.setExpectedSalary(Decimal::parse("1000.00"));
    QCOMPARE(changes.count(), 3);
}

QTEST_GUILESS_MAIN(ModelTest)
#include "tst_model.moc"
