#include "TestSupport.h"

#include "model/ApplicationEdits.h"
#include "model/ApplicationStatus.h"
#include "model/Currency.h"
#include "model/Decimal.h"
#include "model/JobApplication.h"
#include "model/RecordWriter.h"
#include "model/RejectionReason.h"
#include "model/SearchFolding.h"
#include "model/SharedText.h"
#include "model/Utf8Text.h"
#include "model/WorkModel.h"

#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <QUndoStack>

#include <memory>
#include <vector>

using namespace TestSupport;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(FieldValue)
Q_DECLARE_METATYPE(ApplicationValues)

namespace {

using F = ApplicationField;

ApplicationValues values(ApplicationStatus status = ApplicationStatus::applied, const QString& company = QString(),
    const QString& link = QString())
{
    return JobApplication::initialValues(company, QString(), link, WorkModel::remote, status, utc(2025, 1, 1));
}

std::unique_ptr<JobApplication> make(ApplicationStatus status = ApplicationStatus::applied,
    const QString& company = QString(), const QString& link = QString())
{
    return ApplicationBuilder(values(status, company, link)).build();
}

QDateTime day(int n)
{
    return utc(2025, 1, 1).addDays(n);
}

// A record applied on day 0 with its first entry, then each status of `path` two days apart.
std::unique_ptr<JobApplication> walked(ApplicationEdits& edits, FixedClock& clock, const QStringList& path)
{
    clock.set(day(0));
    auto record = ApplicationBuilder(values()).appendFirstHistoryEntry().build();
    for (qsizetype i = 0; i < path.size(); ++i) {
        clock.set(day(2 * int(i) + 2));
        edits.changeStatus(*record, *fromRawValue<ApplicationStatus>(path[i]));
        if (path[i] == u"rejected")
            edits.setRejectionReason(*record, RejectionReason::budget);
    }
    return record;
}

QDateTime newestDate(const JobApplication& record, int index)
{
    return StatusChange::newestFirst(record.history()).at(index)->date();
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

    // A record being built is nobody's yet: building tells no one (a store builds thousands at start-up).
    void buildingAnnouncesNothing()
    {
        auto record = make();
        QSignalSpy appended(&record->notifier(), &RecordNotifier::historyAppended);
        QSignalSpy changed(&record->notifier(), &RecordNotifier::fieldChanged);
        auto built = ApplicationBuilder(std::move(record))
                         .appendFirstHistoryEntry()
                         .appendHistory(ApplicationStatus::applied, ApplicationStatus::hrInterview, day(1))
                         .build();
        QCOMPARE(built->history().size(), 2);
        QCOMPARE(built->history().at(1)->application(), built.get());
        QCOMPARE(built->history().at(1)->to(), ApplicationStatus::hrInterview);
        QCOMPARE(appended.count() + changed.count(), 0);
    }

    // A history keeps its entries in order through inserts and removals anywhere in it, past the room it was read
    // with, as a list would.
    void historyKeepsItsOrder_data()
    {
        QTest::addColumn<int>("start");
        QTest::newRow("none") << 0;
        QTest::newRow("one") << 1;
        QTest::newRow("three, as read") << 3;
        QTest::newRow("more than a short block") << 9;
    }
    void historyKeepsItsOrder()
    {
        QFETCH(int, start);
        ApplicationBuilder builder(make());
        builder.reserveHistory(start);
        for (int i = 0; i < start; ++i)
            builder.appendHistory(std::nullopt, ApplicationStatus::applied, day(i));
        const auto record = builder.build();
        QList<StatusChange*> expected = record->history().toList();
        QCOMPARE(expected.size(), start);
        enum Where { front, middle, end };
        const auto place = [&expected](Where where, qsizetype last) {
            return where == front ? 0 : where == middle ? last / 2 : last;
        };
        for (Where where : {front, middle, end, middle, end, front, middle}) {
            const qsizetype at = place(where, expected.size());
            auto entry = std::make_unique<StatusChange>(std::nullopt, ApplicationStatus::offer, day(40));
            expected.insert(at, RecordWriter::insertHistory(*record, at, std::move(entry)));
            QCOMPARE(record->history().toList(), expected);
        }
        std::vector<std::unique_ptr<StatusChange>> taken;
        for (Where where : {middle, front, end, middle}) {
            StatusChange* leaving = expected.takeAt(place(where, expected.size() - 1));
            taken.push_back(RecordWriter::takeHistory(*record, leaving));
            QCOMPARE(taken.back().get(), leaving);
            QCOMPARE(record->history().toList(), expected);
            QCOMPARE(record->history().indexOf(leaving), -1);
        }
        QVERIFY(!RecordWriter::takeHistory(*record, taken.front().get()));
        QCOMPARE(record->history().toList(), expected);
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

    void decimalEquality()
    {
        // Equal amounts are one value however they are written; different ones never are.
        const QStringList distinct {"-100", "-2.5", "-2.25", "0", "0.001", "0.01", "1", "1.5", "10", "99.999", "1e3"};
        for (int i = 0; i < distinct.size(); ++i) {
            for (int j = 0; j < distinct.size(); ++j)
                QCOMPARE(*Decimal::parse(distinct[i]) == *Decimal::parse(distinct[j]), i == j);
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
        ApplicationValues rejected = values(ApplicationStatus(from), QStringLiteral("Acme"));
        rejected.rejectedByEmail = rejected.rejectedByPhone = true;
        rejected.rejectionReasonRaw = QStringLiteral("budget");
        rejected.rejectionNote = QStringLiteral("too expensive");
        const auto owner = ApplicationBuilder(rejected).build();
        JobApplication& a = *owner;
        // A clock that moves a second with every reading: the change happens at its
        // first reading, and the record's stamp says when all of it was done.
        const QDateTime moment = utc(2025, 2, 2, 10, 15);
        int readings = 0;
        Clock::setSource([&] { return moment.addSecs(readings++); });
        QSignalSpy appended(&a.notifier(), &RecordNotifier::historyAppended);
        ApplicationEdits().changeStatus(a, ApplicationStatus(to));
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

    void editsStampByTheRecordsRules_data()
    {
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
        // Fields with writers go through them: the status is a status change, the
        // work model and currency stamp when they change, the reason always.
        row("status", F::statusRaw, QStringLiteral("offer"), true, true);
        row("unknown status", F::statusRaw, QStringLiteral("ghosted"), false, false);
        row("work model", F::workModelRaw, QStringLiteral("onSite"), true, true);
        row("work model unchanged", F::workModelRaw, QStringLiteral("remote"), true, false);
        row("currency", F::currencyRaw, QStringLiteral("EUR"), true, true);
        row("currency unchanged", F::currencyRaw, QStringLiteral("TRY"), true, false);
        row("reason", F::rejectionReasonRaw, std::optional<QString>(u"budget"_s), true, true);
        row("reason unchanged", F::rejectionReasonRaw, std::optional<QString>(), true, true);
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
        ApplicationEdits().edit(*a, JobApplication::Field(field), value);
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
        ApplicationEdits edits;
        edits.setFollowUpEnabled(*a, true);
        QCOMPARE(a->followUpDate(), std::optional<QDateTime>(local(2025, 4, 2, 18, 30).toUTC()));
        QCOMPARE(a->updatedAt(), local(2025, 3, 26, 18, 30).toUTC());
        clock.set(local(2025, 3, 27, 9, 0));
        edits.setFollowUpEnabled(*a, false);
        QVERIFY(!a->followUpDate());
        QCOMPARE(a->updatedAt(), local(2025, 3, 27, 9, 0).toUTC());
        useTimeZone("Europe/Istanbul");
    }

    void unknownRawValuesReadWithFallbacks()
    {
        FixedClock clock(utc(2025, 1, 1));
        ApplicationValues unknown = values();
        unknown.workModelRaw = QStringLiteral("fromMars");
        unknown.currencyRaw = QStringLiteral("XAU");
        unknown.rejectionReasonRaw = QStringLiteral("vibes");
        unknown.statusRaw = QStringLiteral("ghosted");
        const auto a = ApplicationBuilder(unknown).build();
        QCOMPARE((QStringList {rawValue(a->workModel()), rawValue(a->currency()), rawValue(a->status())}),
            (QStringList {"remote", "TRY", "applied"}));
        QCOMPARE(a->rejectionReason(), std::nullopt);
        // Writing the value that is read leaves the unknown text and updatedAt alone.
        clock.set(utc(2025, 2, 1));
        ApplicationEdits edits;
        edits.setWorkModel(*a, WorkModel::remote);
        QCOMPARE(a->workModelRaw(), QStringLiteral("fromMars"));
        QCOMPARE(a->updatedAt(), utc(2025, 1, 1));
        // An unknown status reads as applied: picking applied does nothing, picking offer records a move from applied.
        edits.changeStatus(*a, ApplicationStatus::applied);
        QCOMPARE(a->statusRaw(), QStringLiteral("ghosted"));
        edits.changeStatus(*a, ApplicationStatus::offer);
        QCOMPARE(a->history().size(), 1);
        QCOMPARE(a->history().first()->fromRaw(), std::optional<QString>(QStringLiteral("applied")));
        StatusChange entry(std::optional<QString>(QStringLiteral("limbo")), QStringLiteral("nowhere"), utc(2025, 1, 1));
        QCOMPARE(entry.from(), std::nullopt);
        QCOMPARE(entry.to(), ApplicationStatus::applied);
    }

    // A record keeps raw values as numbers with unknown texts aside, and rarely set fields in a part of their own:
    // whatever it is given reads back unchanged, through an edit and its undo as well.
    void valuesReadBackAsKept_data()
    {
        QTest::addColumn<ApplicationValues>("start");
        QTest::addColumn<int>("field");
        QTest::addColumn<FieldValue>("edited");
        ApplicationValues odd = values(ApplicationStatus::rejected);
        odd.statusRaw = u"ghosted"_s;
        odd.workModelRaw = QString();
        odd.currencyRaw = u"XAU"_s;
        odd.rejectionReasonRaw = QString();
        ApplicationValues aside = values();
        aside.followUpDate = utc(2025, 1, 9);
        aside.rejectionNote = u"Too far"_s;
        aside.offeredSalary = Decimal::parse("1e5");
        QTest::newRow("unknown status") << odd << int(F::statusRaw) << FieldValue(u"offer"_s);
        QTest::newRow("unknown currency") << odd << int(F::currencyRaw) << FieldValue(u"EUR"_s);
        QTest::newRow("empty reason") << odd << int(F::rejectionReasonRaw) << FieldValue(std::optional(u"budget"_s));
        QTest::newRow("first salary") << values() << int(F::expectedSalary) << FieldValue(Decimal::parse("12.5"));
        QTest::newRow("follow-up cleared") << aside << int(F::followUpDate) << FieldValue(std::optional<QDateTime>());
        ApplicationValues texts = values(ApplicationStatus::applied, u"\uFEFFAcme"_s, u"https://jobs.example/1"_s);
        texts.position = u"Kıdemli Yazılım Mühendisi"_s;
        texts.hrContactName = u"李雷 \U00010400"_s;
        texts.rejectionNote = u"Uzak"_s;
        QTest::newRow("a text edited") << texts << int(F::companyName) << FieldValue(u"Acme"_s);
        QTest::newRow("a text emptied") << texts << int(F::hrContactName) << FieldValue(QString());
        QTest::newRow("an empty text given") << texts << int(F::techInterviewerName) << FieldValue(u"Ådne"_s);
        QTest::newRow("a note aside edited") << texts << int(F::rejectionNote) << FieldValue(u"Uzak değil"_s);
        QTest::newRow("a link edited") << texts << int(F::postingLink) << FieldValue(u"https://jobs.example/2"_s);
    }
    void valuesReadBackAsKept()
    {
        QFETCH(ApplicationValues, start);
        QFETCH(int, field);
        QFETCH(FieldValue, edited);
        FixedClock clock(utc(2025, 1, 2));
        const auto a = ApplicationBuilder(start).build();
        QVERIFY(a->values() == start);
        for (int f = 0; f < ApplicationFields::fieldCount; ++f)
            QVERIFY2(a->value(F(f)) == ApplicationFields::value(start, F(f)), ApplicationFields::all[f].name.data());
        QUndoStack stack;
        ApplicationEdits(&stack).edit(*a, F(field), edited);
        QVERIFY(a->value(F(field)) == edited);
        QVERIFY(!(a->values() == start));
        stack.undo();
        QVERIFY(a->values() == start);
    }

    // A record takes the entry the loader handed over only for the very string the entry holds: not for another
    // text, and not for an equal string of its own.
    void loadedEntryOnlyForItsOwnText_data()
    {
        QTest::addColumn<QString>("company");
        QTest::addColumn<bool>("sameString");
        QTest::newRow("the entry's string") << u"Acme"_s << true;
        QTest::newRow("an equal string") << u"Acme"_s << false;
        QTest::newRow("another text") << u"Globex"_s << false;
        QTest::newRow("no text") << QString() << false;
    }
    void loadedEntryOnlyForItsOwnText()
    {
        QFETCH(QString, company);
        QFETCH(bool, sameString);
        SharedText& loaded = RecordStorage::loadedText<F::companyName>();
        loaded = SharedText(u"Acme %1"_s.arg(1).left(4));
        const QString* entryText = &loaded.text();
        const auto a = make(ApplicationStatus::applied, sameString ? loaded.text() : company);
        QCOMPARE(a->companyName(), company);
        QCOMPARE(&a->companyName() == entryText, sameString);
        loaded = SharedText();
    }

    // Copies of one entry made and dropped on several threads at once: the entry goes with its last holder, and
    // not before it.
    void sharedTextCountsAcrossThreads()
    {
        const QString source = u"Acme %1"_s.arg(1);
        {
            const SharedText shared(source);
            QVERIFY(!source.isDetached());
            std::vector<std::unique_ptr<QThread>> threads;
            for (int t = 0; t < 4; ++t) {
                threads.emplace_back(QThread::create([&shared] {
                    for (int i = 0; i < 200000; ++i) {
                        SharedText copy(shared);
                        const SharedText other = copy;
                        QString text = other.text();
                    }
                }));
                threads.back()->start();
            }
            for (const auto& thread : threads)
                QVERIFY(thread->wait());
            QCOMPARE(shared.text(), source);
        }
        // The entry is gone, and with it its hold on the string.
        QVERIFY(source.isDetached());
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

    // A record's search text is folded field by field, ASCII apart from other runs:
    // it must be what folding the whole text gives, from UTF-16 and from UTF-8.
    void foldingInRuns_data()
    {
        QTest::addColumn<QString>("text");
        for (const char* text :
            {"", "ACME Ltd, Istanbul", "İSTANBUL Isparta ıi", "ΚΟΣΜΟΣ Ltd", "Straße MÜLLER Ç",
                "\xEF\xBB\xBFNotes with a mark at the start", "a\xEF\xBB\xBF", "\xF0\x90\x90\x80 Deseret \xE2\x84\xAA"})
            QTest::newRow(text) << textFromUtf8(text);
    }

    void foldingInRuns()
    {
        QFETCH(QString, text);
        for (const QLocale& locale : {QLocale(QLocale::English), QLocale(QLocale::Turkish)}) {
            const SearchFolder folder(locale);
            QString fromUtf16 = u"x "_s, fromUtf8 = u"x "_s;
            folder.append(fromUtf16, QStringView(text));
            folder.append(fromUtf8, QByteArrayView(text.toUtf8()));
            const QString whole = u"x "_s + foldForSearch(text, locale);
            QCOMPARE(fromUtf16, whole);
            QCOMPARE(fromUtf8, whole);
        }
    }

    // Typing in one field is one step until another field or record is touched;
    // other edits are a step each. All of it undone leaves the records as they were.
    void editsJoinIntoSteps_data()
    {
        QTest::addColumn<QStringList>("steps"); // "record field value", "record star", "end"
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("undoText");
        const auto row = [](const char* name, const QStringList& steps, int count, const char* text) {
            QTest::newRow(name) << steps << count << QString::fromLatin1(text);
        };
        row("one field, one step", {"a companyName A", "a companyName Ac", "a companyName Acme"}, 1, "Typing");
        row("another field ends it", {"a companyName A", "a position B", "a companyName AB"}, 3, "Typing");
        row("another record ends it", {"a notes x", "b notes y", "a notes xy"}, 3, "Typing");
        row("a new selection ends it", {"a notes x", "end", "a notes xy"}, 2, "Typing");
        row("typed back to the start", {"a companyName A", "a companyName "}, 0, "");
        row("amounts are typed", {"a expectedSalary 1", "a expectedSalary 12"}, 1, "Typing");
        row("a date steps as one", {"a applicationDate -1", "a applicationDate -3"}, 1, "Date Change");
        row("the star is a step each time", {"a star", "a star"}, 2, "Star Change");
        row("a status is a step each time", {"a statusRaw hrInterview", "a statusRaw offer"}, 2, "Status Change");
    }

    void editsJoinIntoSteps()
    {
        QFETCH(QStringList, steps);
        QFETCH(int, count);
        QFETCH(QString, undoText);
        FixedClock clock(day(0));
        QUndoStack stack;
        ApplicationEdits edits(&stack);
        const auto a = make();
        const auto b = make();
        const ApplicationValues aBefore = a->values();
        const ApplicationValues bBefore = b->values();
        int second = 0;
        for (const QString& step : steps) {
            clock.set(day(0).addSecs(++second));
            const QStringList parts = step.split(u' ');
            JobApplication& record = parts[0] == u"a" ? *a : *b;
            if (parts[0] == u"end")
                edits.endTyping();
            else if (parts[1] == u"star")
                edits.toggleFavorite(record);
            else if (parts[1] == u"applicationDate")
                edits.edit<F::applicationDate>(record, day(parts[2].toInt()));
            else if (parts[1] == u"expectedSalary")
                edits.edit<F::expectedSalary>(record, Decimal::parse(parts[2]));
            else
                edits.edit(record, fieldNamed(parts[1]), parts.value(2));
        }
        QCOMPARE(stack.count(), count);
        QCOMPARE(stack.undoText(), undoText);
        while (stack.canUndo())
            stack.undo();
        QVERIFY(a->values() == aBefore);
        QVERIFY(b->values() == bBefore);
        QVERIFY(a->history().isEmpty());
    }

    // Only the newest change goes; the record returns to its previous status, dated
    // by the change that remains newest, and undo puts the change back where it was.
    void removingTheNewestChange_data()
    {
        QTest::addColumn<QStringList>("path");
        QTest::addColumn<QString>("back"); // empty: refused
        QTest::addColumn<bool>("closed"); // closed again on the remaining change's day
        QTest::newRow("back to the interview") << QStringList {"hrInterview", "offer"} << "hrInterview" << false;
        QTest::newRow("closed again, details reset") << QStringList {"offer", "rejected"} << "offer" << true;
        QTest::newRow("rejected again") << QStringList {"rejected", "hrInterview"} << "rejected" << true;
        QTest::newRow("back to applied") << QStringList {"techInterview"} << "applied" << false;
        QTest::newRow("the first entry stays") << QStringList {} << "" << false;
    }

    void removingTheNewestChange()
    {
        QFETCH(QStringList, path);
        QFETCH(QString, back);
        QFETCH(bool, closed);
        FixedClock clock(day(0));
        QUndoStack stack;
        ApplicationEdits edits(&stack);
        const auto record = walked(edits, clock, path);
        const ApplicationValues before = record->values();
        const QList<StatusChange*> history = record->history();
        clock.set(day(30));
        // An older entry is never removed.
        QVERIFY(!edits.removeChange(*record, *StatusChange::newestFirst(history).last()) || history.size() == 1);
        QCOMPARE(edits.removeChange(*record, *StatusChange::newestFirst(history).first()), !back.isEmpty());
        if (back.isEmpty())
            return;
        QCOMPARE(record->statusRaw(), back);
        QCOMPARE(record->history(), history.first(history.size() - 1));
        QCOMPARE(record->statusChangedAt(), day(2 * int(path.size()) - 2));
        QCOMPARE(record->closedAt(), closed ? std::optional(record->statusChangedAt()) : std::nullopt);
        QCOMPARE(record->rejectionReasonRaw().has_value(), back == u"rejected" && path.last() == u"rejected");
        QCOMPARE(record->updatedAt(), day(30));
        stack.undo();
        QVERIFY(record->values() == before);
        QCOMPARE(record->history(), history);
    }

    // An entry's date moves no earlier than the entry before it and no later than the
    // one after it or now; the stage's date follows the entry that began it.
    void correctingADate_data()
    {
        QTest::addColumn<int>("entry"); // newest first
        QTest::addColumn<int>("toDay");
        QTest::addColumn<bool>("accepted");
        const auto row = [](const char* name, int entry, int toDay, bool accepted) {
            QTest::newRow(name) << entry << toDay << accepted;
        };
        row("newest, earlier", 0, 5, true);
        row("newest, onto the one before", 0, 2, true);
        row("newest, before the one before", 0, 1, false);
        row("newest, past now", 0, 13, false);
        row("middle, between its neighbours", 1, 3, true);
        row("middle, past the newer one", 1, 7, false);
        row("first, as early as wanted", 2, -40, true);
        row("first, past the next", 2, 5, false);
    }

    void correctingADate()
    {
        QFETCH(int, entry);
        QFETCH(int, toDay);
        QFETCH(bool, accepted);
        FixedClock clock(day(0));
        QUndoStack stack;
        ApplicationEdits edits(&stack);
        const auto record = walked(edits, clock, {"hrInterview", "techInterview", "offer"});
        // Drop the offer: the entries are applied (0), HR (2) and tech (4), the stage began on day 4.
        edits.removeChange(*record, *StatusChange::newestFirst(record->history()).first());
        clock.set(day(12).addSecs(-1));
        const ApplicationValues before = record->values();
        StatusChange* target = StatusChange::newestFirst(record->history()).at(entry);
        QCOMPARE(edits.changeEntryDate(*record, *target, day(toDay)), accepted);
        QCOMPARE(target->date(), accepted ? day(toDay) : before.applicationDate.addDays(2 * (2 - entry)));
        QCOMPARE(record->statusChangedAt(), accepted && entry == 0 ? day(toDay) : day(4));
        QCOMPARE(newestDate(*record, 0) >= newestDate(*record, 1), true);
        if (accepted) {
            stack.undo();
            QVERIFY(record->values() == before);
            QCOMPARE(target->date(), day(2 * (2 - entry)));
        }
    }

    // The first entry follows a new application date when they were the same moment,
    // and the stage's date with it while the first entry began the stage.
    void firstEntryFollowsTheApplicationDate_data()
    {
        QTest::addColumn<QStringList>("path");
        QTest::addColumn<int>("entryDay"); // the first entry's day after the application date moves to day -3
        QTest::addColumn<int>("stageDay");
        QTest::newRow("only the first entry") << QStringList {} << -3 << -3;
        QTest::newRow("a later stage stays") << QStringList {"hrInterview"} << -3 << 2;
    }

    void firstEntryFollowsTheApplicationDate()
    {
        QFETCH(QStringList, path);
        QFETCH(int, entryDay);
        QFETCH(int, stageDay);
        FixedClock clock(day(0));
        QUndoStack stack;
        ApplicationEdits edits(&stack);
        const auto record = walked(edits, clock, path);
        edits.edit<F::applicationDate>(*record, day(-3));
        QCOMPARE(newestDate(*record, int(path.size())), day(entryDay));
        QCOMPARE(record->statusChangedAt(), day(stageDay));
        // Moved forward past the next entry, the first entry stays where it is.
        edits.edit<F::applicationDate>(*record, day(5));
        QCOMPARE(newestDate(*record, int(path.size())), path.isEmpty() ? day(5) : day(entryDay));
    }

private:
    static ApplicationField fieldNamed(const QString& name)
    {
        for (const FieldDescription& description : ApplicationFields::all) {
            if (QLatin1StringView(description.name.data(), qsizetype(description.name.size())) == name)
                return description.field;
        }
        return F::history;
    }
};

QTEST_GUILESS_MAIN(ModelTest)
#include "tst_model.moc"
