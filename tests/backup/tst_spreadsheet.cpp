#include "TestSupport.h"

#include "backup/SpreadsheetExport.h"
#include "model/JobApplication.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <tuple>
#include <vector>

using namespace TestSupport;
using namespace Qt::StringLiterals;
using Kind = SpreadsheetExport::Kind;

namespace {

struct Change {
    std::optional<ApplicationStatus> from;
    ApplicationStatus to;
    QDateTime at;
};

struct Records {
    static ApplicationValues values(const QString& company, const QString& position, const QDateTime& applied)
    {
        return JobApplication::initialValues(
            company, position, QString(), WorkModel::hybrid, ApplicationStatus::applied, applied);
    }
    void add(ApplicationValues values, std::initializer_list<Change> history = {})
    {
        ApplicationBuilder record(std::move(values));
        for (const Change& change : history)
            record.appendHistory(change.from, change.to, change.at);
        owned.push_back(record.build());
        list.append(owned.back().get());
    }
    std::vector<std::unique_ptr<JobApplication>> owned;
    QList<JobApplication*> list;
};

QString cell(const QList<QStringList>& rows, int row, const QString& column)
{
    const qsizetype index = rows.first().indexOf(column);
    return index < 0 ? u"<no column %1>"_s.arg(column) : rows.at(row).value(index);
}

void fill(Records& records)
{
    using S = ApplicationStatus;
    ApplicationValues turkish
        = Records::values(u"Çağrı \"Yazılım\", A.Ş."_s, u"Kıdemli Geliştirici"_s, local(2025, 3, 3, 9));
    turkish.notes = u"İlk görüşme iyi geçti;\nikinci tur: \"sistem tasarımı\", 90 dk.\r\nŞimdi bekliyorum."_s;
    turkish.expectedSalary = Decimal::parse("123456789012345678.01");
    turkish.offeredSalary = Decimal::parse("85000.50");
    turkish.currencyRaw = u"EUR"_s;
    turkish.uuid = QUuid(u"{6f1c1f3e-8d2a-4c55-9b0e-2d6a1c3b4e5f}"_s);
    turkish.statusRaw = u"hrInterview"_s;
    records.add(turkish,
        {{std::nullopt, S::applied, local(2025, 3, 3, 9)}, {S::applied, S::hrInterview, local(2025, 3, 7, 1, 30)},
            {S::hrInterview, S::rejected, local(2025, 3, 8, 10)},
            // Reopened: the HR interview keeps the date it was first reached.
            {S::rejected, S::hrInterview, local(2025, 3, 11, 8, 15)}});

    ApplicationValues formula
        = Records::values(u"=HYPERLINK(\"http://evil.example\")"_s, u"-1+1"_s, local(2025, 2, 1, 0, 30));
    formula.uuid.reset(); // records from old backups may have none
    formula.isFavorite = true;
    formula.followUpDate = local(2025, 2, 8, 23, 59).toUTC();
    formula.rejectionReasonRaw = u"budget"_s;
    formula.workModelRaw = u"fourDayWeek"_s;
    // Appended out of order: the history rows follow the dates.
    records.add(formula,
        {{S::applied, S::offer, local(2025, 2, 20, 16)}, {std::nullopt, S::applied, local(2025, 2, 1, 0, 30)}});
    records.add(Records::values(QString(), QString(), local(2025, 1, 31, 23, 59))); // blank, no history
}

} // namespace

class SpreadsheetTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        useTimeZone("Europe/Istanbul");
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }

    void bothExportsReadBackByACsvReader();

    void fieldsAreQuotedWhenTheyMustBe_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("written");
        QTest::newRow("spaces kept, not quoted") << u" Çağrı "_s << u" Çağrı "_s;
        QTest::newRow("a comma") << u"A, B"_s << u"\"A, B\""_s;
        // A reader that takes a quote inside an unquoted field literally would not see this one go wrong.
        QTest::newRow("a quote alone") << u"5\" screen"_s << u"\"5\"\" screen\""_s;
        QTest::newRow("a line break") << u"a\nb"_s << u"\"a\nb\""_s;
        QTest::newRow("a carriage return") << u"a\rb"_s << u"\"a\rb\""_s;
    }

    void fieldsAreQuotedWhenTheyMustBe()
    {
        QFETCH(QString, value);
        QFETCH(QString, written);
        QCOMPARE(SpreadsheetExport::field(value), written);
    }
};

void SpreadsheetTest::bothExportsReadBackByACsvReader()
{
    Records records;
    fill(records);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"applications.csv"_s);
    const QByteArray data = SpreadsheetExport::document(Kind::applications, records.list);
    QVERIFY(data.startsWith("\xEF\xBB\xBF") && data.endsWith("\r\n"));
    QVERIFY(SpreadsheetExport::write(data, path).hasValue());
    QCOMPARE(QFile::permissions(path) & (QFileDevice::ReadGroup | QFileDevice::ReadOther), QFileDevice::Permissions());
    QString error;
    const QList<QStringList> rows = readCsvWithPython(path, &error);
    QVERIFY2(!rows.isEmpty(), qPrintable(error));
    QCOMPARE(rows, SpreadsheetExport::table(Kind::applications, records.list));
    // Every field but the history, then applied, HR interview, technical
    // interview, offer and rejected.
    for (const QStringList& row : rows)
        QCOMPARE(row.size(), 25 + 5);

    // Row, column, text; the row and column lead each text so that a failure names them.
    const std::tuple<int, const char*, QString> cells[] {{1, "Company", u"Çağrı \"Yazılım\", A.Ş."_s},
        {1, "Notes", u"İlk görüşme iyi geçti;\nikinci tur: \"sistem tasarımı\", 90 dk.\r\nŞimdi bekliyorum."_s},
        {1, "Expected Salary", u"123456789012345678.01 EUR"_s}, {1, "ID", u"6f1c1f3e-8d2a-4c55-9b0e-2d6a1c3b4e5f"_s},
        {1, "Status", u"HR Interview"_s}, {1, "Applied on", u"2025-03-03"_s},
        {1, "HR Interview on", u"2025-03-07"_s}, // 01:30 local, still the 6th in UTC
        {1, "Rejected on", u"2025-03-08"_s}, {2, "Company", u"'=HYPERLINK(\"http://evil.example\")"_s},
        {2, "Position", u"'-1+1"_s}, {2, "Application Date", u"2025-02-01"_s}, // 00:30 local is still the 31st in UTC
        {2, "Follow-up Date", u"2025-02-08"_s}, {2, "Rejection Reason", u"Budget mismatch"_s},
        {2, "Work Model", u"fourDayWeek"_s}, // outside the vocabulary: as stored
        {2, "Starred", u"Yes"_s}, {3, "Company", QString()},
        {3, "Applied on", QString()}}; // the stage dates come from the history alone
    for (const auto& [row, column, text] : cells) {
        const QString where = u"%1 %2: "_s.arg(row).arg(QLatin1StringView(column));
        QCOMPARE(where + cell(rows, row, QString::fromLatin1(column)), where + text);
    }

    // The history: one row per change, in date order.
    QVERIFY(SpreadsheetExport::write(SpreadsheetExport::document(Kind::history, records.list), path).hasValue());
    const QStringList turkish {
        u"6f1c1f3e-8d2a-4c55-9b0e-2d6a1c3b4e5f"_s, u"Çağrı \"Yazılım\", A.Ş."_s, u"Kıdemli Geliştirici"_s};
    const QStringList formula {QString(), u"'=HYPERLINK(\"http://evil.example\")"_s, u"'-1+1"_s};
    const QList<QStringList> expected {{u"ID"_s, u"Company"_s, u"Position"_s, u"Date"_s, u"From"_s, u"To"_s},
        turkish + QStringList {u"2025-03-03 09:00"_s, QString(), u"Applied"_s},
        turkish + QStringList {u"2025-03-07 01:30"_s, u"Applied"_s, u"HR Interview"_s},
        turkish + QStringList {u"2025-03-08 10:00"_s, u"HR Interview"_s, u"Rejected"_s},
        turkish + QStringList {u"2025-03-11 08:15"_s, u"Rejected"_s, u"HR Interview"_s},
        formula + QStringList {u"2025-02-01 00:30"_s, QString(), u"Applied"_s},
        formula + QStringList {u"2025-02-20 16:00"_s, u"Applied"_s, u"Offer"_s}};
    QCOMPARE(readCsvWithPython(path, &error), expected);
}

QTEST_GUILESS_MAIN(SpreadsheetTest)
#include "tst_spreadsheet.moc"
