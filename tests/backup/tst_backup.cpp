#include "TestSupport.h"

#include "backup/BackupDocument.h"
#include "backup/BackupFile.h"
#include "backup/BackupTransfer.h"
#include "model/JobApplication.h"
#include "store/Store.h"
#include "store/StoreLoader.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace TestSupport;

using Counts = std::pair<qint64, qint64>; // inserted, skipped

namespace {

const QString corruptText = QStringLiteral("The file couldn't be read because it isn't in the correct format.");
const QString notABackupText = QStringLiteral("This file is not an Applywright backup.");
const QString newerFormatText = QStringLiteral("This backup was made by a newer version of Applywright.");

QString goldenPath()
{
    return QStringLiteral(APPLYWRIGHT_TEST_DATA_DIR "/backup/golden.json");
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

bool writeAll(const QString& path, const QByteArray& data)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(data) == data.size();
}

Decimal decimal(const char* text)
{
    return Decimal::parse(std::string_view(text)).value();
}

QUuid uuid(const char* text)
{
    return QUuid::fromString(QLatin1StringView(text));
}

template <typename T> std::optional<T> some(T value)
{
    return std::optional<T>(std::move(value));
}

std::optional<QString> someText(const char* text)
{
    return QString::fromUtf8(text);
}

// What went wrong, for the failure message of a test.
QString details(const BackupReadError& error)
{
    if (const BackupDecodingError* decoding = error.decodingError())
        return decoding->codingPath() + QStringLiteral(": ") + decoding->debugDescription();
    return error.description();
}

// The document checked in as tests/data/backup/golden.json: one application with
// every field set (text that needs escaping, non-Latin letters, both amounts), one
// with nothing optional and unknown raw texts, one at the edges of the date range.
BackupFileContents goldenContents()
{
    BackupFileContents contents;
    contents.format = QStringLiteral("Applywright Backup");
    contents.formatVersion = 1;
    contents.exportedAt = utc(2025, 3, 7, 14, 5, 9, 120);

    ApplicationBackup full;
    full.id = uuid("0f8fad5b-d9cb-469f-a165-70867728950e");
    full.companyName = QStringLiteral("Çiçek Yazılım A.Ş.");
    full.position = QStringLiteral("Senior \"Qt\" Engineer\\Lead");
    full.postingLink = QStringLiteral("https://jobs.example.com/ilan/42?ref=a&b=c");
    full.workModel = QStringLiteral("hybrid");
    full.status = QStringLiteral("rejected");
    full.applicationDate = utc(2025, 1, 15, 9, 30, 0, 0);
    full.statusChangedAt = utc(2025, 2, 20, 16, 45, 30, 5);
    full.closedAt = utc(2025, 2, 20, 16, 45, 30, 5);
    full.followUpDate = utc(2025, 1, 29, 7, 0, 0, 999);
    full.rejectedByEmail = true;
    full.rejectedByPhone = false;
    full.rejectionReason = QStringLiteral("salaryMismatch");
    full.rejectionNote = QStringLiteral("Line one\nLine two\twith a tab and \u0001");
    full.hrContactName = QStringLiteral("Ayşe Öztürk");
    full.hrContactEmail = QStringLiteral("ayse@example.com");
    full.techInterviewerName = QStringLiteral("Li Wei 李伟");
    full.techInterviewerRole = QStringLiteral("Staff engineer 🚀");
    full.expectedSalary = decimal("123456789012345678901234567890.123456789");
    full.offeredSalary = decimal("12.50075");
    full.currency = QStringLiteral("EUR");
    full.notes = QStringLiteral("İstanbul / İzmir");
    full.isFavorite = true;
    full.createdAt = utc(2025, 1, 15, 9, 31, 2, 250);
    full.updatedAt = utc(2025, 2, 20, 16, 45, 30, 5);
    full.history = {
        {std::nullopt, QStringLiteral("applied"), utc(2025, 1, 15, 9, 30, 0, 0)},
        {QStringLiteral("applied"), QStringLiteral("techInterview"), utc(2025, 2, 1, 10, 0, 0, 0)},
        {QStringLiteral("techInterview"), QStringLiteral("rejected"), utc(2025, 2, 20, 16, 45, 30, 5)},
    };

    ApplicationBackup bare;
    bare.id = uuid("9B2E1D3C-0000-4ABC-8DEF-00000000000A");
    bare.workModel = QStringLiteral("moon");
    bare.status = QStringLiteral("paused");
    bare.applicationDate = utc(2024, 12, 31, 23, 59, 59, 0);
    bare.statusChangedAt = utc(2024, 12, 31, 23, 59, 59, 0);
    bare.currency = QStringLiteral("XYZ");
    bare.createdAt = utc(2025, 1, 1, 0, 0, 0, 0);
    bare.updatedAt = utc(2025, 1, 1, 0, 0, 0, 0);

    ApplicationBackup edges;
    edges.id = uuid("00000000-0000-0000-0000-000000000000");
    edges.companyName = QStringLiteral("Edge");
    edges.workModel = QStringLiteral("onSite");
    edges.status = QStringLiteral("offer");
    edges.applicationDate = utc(1969, 12, 31, 23, 59, 59, 999);
    edges.statusChangedAt = QDateTime(QDate(1, 1, 1), QTime(0, 0), Qt::UTC);
    edges.closedAt = QDateTime(QDate(9999, 12, 31), QTime(23, 59, 59, 999), Qt::UTC);
    edges.expectedSalary = decimal("0");
    edges.offeredSalary = decimal("50000");
    edges.currency = QStringLiteral("TRY");
    edges.createdAt = utc(2000, 2, 29, 12, 0, 0, 1);
    edges.updatedAt = utc(2000, 2, 29, 12, 0, 0, 10);
    edges.history = {{std::nullopt, QStringLiteral("offer"), utc(1969, 12, 31, 23, 59, 59, 999)}};

    contents.applications = {full, bare, edges};
    return contents;
}

// Decodes `bytes` into `name`; a document that does not read fails the test here.
#define DECODE_OR_FAIL(name, bytes)                                                                                    \
    const auto name##Result = decodeBackup(bytes);                                                                     \
    QVERIFY2(name##Result, name##Result ? "" : qPrintable(details(name##Result.error())));                             \
    const BackupFileContents& name = *name##Result

// A JSON object written member by member, so tests can drop, replace or add one.
class JsonObject {
public:
    JsonObject& set(const QByteArray& key, const QByteArray& rawValue)
    {
        for (auto& member : m_members) {
            if (member.first == key) {
                member.second = rawValue;
                return *this;
            }
        }
        m_members.append({key, rawValue});
        return *this;
    }
    JsonObject& remove(const QByteArray& key)
    {
        m_members.removeIf([&key](const auto& member) { return member.first == key; });
        return *this;
    }
    QByteArray text() const
    {
        QByteArray out = "{";
        for (const auto& member : m_members) {
            if (out.size() > 1)
                out += ',';
            out += '"' + member.first + "\":" + member.second;
        }
        return out + '}';
    }

private:
    QList<std::pair<QByteArray, QByteArray>> m_members;
};

JsonObject validChange()
{
    return JsonObject().set("date", "\"2025-03-01T09:00:00.000Z\"").set("to", "\"applied\"");
}

JsonObject validApplication(const QByteArray& history = "[" + validChange().text() + "]")
{
    JsonObject a;
    a.set("applicationDate", "\"2025-03-01T09:00:00.000Z\"")
        .set("companyName", "\"Acme\"")
        .set("createdAt", "\"2025-03-01T09:00:00.000Z\"")
        .set("currency", "\"TRY\"")
        .set("history", history)
        .set("hrContactEmail", "\"\"")
        .set("hrContactName", "\"\"")
        .set("id", "\"0F8FAD5B-D9CB-469F-A165-70867728950E\"")
        .set("isFavorite", "false")
        .set("notes", "\"\"")
        .set("position", "\"Engineer\"")
        .set("postingLink", "\"\"")
        .set("rejectedByEmail", "false")
        .set("rejectedByPhone", "false")
        .set("rejectionNote", "\"\"")
        .set("status", "\"applied\"")
        .set("statusChangedAt", "\"2025-03-01T09:00:00.000Z\"")
        .set("techInterviewerName", "\"\"")
        .set("techInterviewerRole", "\"\"")
        .set("updatedAt", "\"2025-03-01T09:00:00.000Z\"")
        .set("workModel", "\"remote\"");
    return a;
}

JsonObject validRoot(const QByteArray& applications = "[" + validApplication().text() + "]")
{
    return JsonObject()
        .set("applications", applications)
        .set("exportedAt", "\"2025-03-07T14:05:09.120Z\"")
        .set("format", "\"Applywright Backup\"")
        .set("formatVersion", "1");
}

QByteArray withApplication(const JsonObject& application)
{
    return validRoot("[" + application.text() + "]").text();
}

QByteArray withChange(const JsonObject& change)
{
    return withApplication(validApplication("[" + change.text() + "]"));
}

// Every field a record carries, compared one by one; the names of those that differ.
QStringList differences(const JobApplication& a, const JobApplication& b)
{
    QStringList out;
    const auto check = [&out](const char* name, bool same) {
        if (!same)
            out << QString::fromLatin1(name);
    };
    check("uuid", a.uuid() == b.uuid());
    check("companyName", a.companyName() == b.companyName());
    check("position", a.position() == b.position());
    check("postingLink", a.postingLink() == b.postingLink());
    check("workModelRaw", a.workModelRaw() == b.workModelRaw());
    check("statusRaw", a.statusRaw() == b.statusRaw());
    check("applicationDate", a.applicationDate() == b.applicationDate());
    check("statusChangedAt", a.statusChangedAt() == b.statusChangedAt());
    check("closedAt", a.closedAt() == b.closedAt());
    check("followUpDate", a.followUpDate() == b.followUpDate());
    check("rejectedByEmail", a.rejectedByEmail() == b.rejectedByEmail());
    check("rejectedByPhone", a.rejectedByPhone() == b.rejectedByPhone());
    check("rejectionReasonRaw", a.rejectionReasonRaw() == b.rejectionReasonRaw());
    check("rejectionNote", a.rejectionNote() == b.rejectionNote());
    check("hrContactName", a.hrContactName() == b.hrContactName());
    check("hrContactEmail", a.hrContactEmail() == b.hrContactEmail());
    check("techInterviewerName", a.techInterviewerName() == b.techInterviewerName());
    check("techInterviewerRole", a.techInterviewerRole() == b.techInterviewerRole());
    check("expectedSalary", a.expectedSalary() == b.expectedSalary());
    check("offeredSalary", a.offeredSalary() == b.offeredSalary());
    check("currencyRaw", a.currencyRaw() == b.currencyRaw());
    check("notes", a.notes() == b.notes());
    check("isFavorite", a.isFavorite() == b.isFavorite());
    check("createdAt", a.createdAt() == b.createdAt());
    check("updatedAt", a.updatedAt() == b.updatedAt());
    if (a.history().size() != b.history().size()) {
        out << QStringLiteral("history size");
        return out;
    }
    for (qsizetype i = 0; i < a.history().size(); ++i) {
        const StatusChange* x = a.history().at(i);
        const StatusChange* y = b.history().at(i);
        if (x->fromRaw() != y->fromRaw() || x->toRaw() != y->toRaw() || x->date() != y->date())
            out << QStringLiteral("history[%1]").arg(i);
    }
    return out;
}

// A record with every field set to something other than its initial value.
std::unique_ptr<JobApplication> richRecord(int n)
{
    auto record = std::make_unique<JobApplication>(QStringLiteral("Company %1").arg(n),
        QStringLiteral("Role %1").arg(n), QStringLiteral("jobs.example.com/%1").arg(n), WorkModel::hybrid,
        ApplicationStatus::applied, utc(2025, 1, 1 + n, 9, 15, 0, 123));
    record->appendHistory(
        std::make_unique<StatusChange>(std::nullopt, ApplicationStatus::applied, record->applicationDate()));
    record->appendHistory(std::make_unique<StatusChange>(
        ApplicationStatus::applied, ApplicationStatus::hrInterview, utc(2025, 2, 1 + n, 11, 0, 0, 7)));
    record->setStatusRaw(QStringLiteral("hrInterview"));
    record->setStatusChangedAt(utc(2025, 2, 1 + n, 11, 0, 0, 7));
    record->setClosedAt(utc(2025, 3, 1 + n, 8, 0, 0, 1));
    record->setFollowUpDate(utc(2025, 2, 10 + n, 6, 30, 0, 0));
    record->setRejectedByEmail(n % 2 == 0);
    record->setRejectedByPhone(n % 2 == 1);
    record->setRejectionReasonRaw(QStringLiteral("positionFilled"));
    record->setRejectionNote(QStringLiteral("Note %1\nsecond line").arg(n));
    record->setHrContactName(QStringLiteral("Şule %1").arg(n));
    record->setHrContactEmail(QStringLiteral("hr%1@example.com").arg(n));
    record->setTechInterviewerName(QStringLiteral("Tech %1").arg(n));
    record->setTechInterviewerRole(QStringLiteral("Lead"));
    record->setExpectedSalary(decimal("123456789012345678901234567890.123456789"));
    record->setOfferedSalary(Decimal::fromInteger(50000 + n));
    record->setCurrencyRaw(QStringLiteral("USD"));
    record->setNotes(QStringLiteral("Notes İ ğ %1").arg(n));
    record->setFavorite(true);
    record->setCreatedAt(utc(2025, 1, 1 + n, 9, 16, 0, 500));
    record->setUpdatedAt(utc(2025, 2, 1 + n, 11, 0, 1, 0));
    return record;
}

std::unique_ptr<JobApplication> plainRecord(const QString& company, const QDateTime& applied)
{
    return std::make_unique<JobApplication>(
        company, QStringLiteral("Engineer"), QString(), WorkModel::remote, ApplicationStatus::applied, applied);
}

ApplicationBackup entry(const char* id, const QString& company)
{
    ApplicationBackup backup;
    backup.id = uuid(id);
    backup.companyName = company;
    backup.workModel = QStringLiteral("remote");
    backup.status = QStringLiteral("applied");
    backup.currency = QStringLiteral("TRY");
    backup.applicationDate = utc(2025, 3, 1);
    backup.statusChangedAt = utc(2025, 3, 1);
    backup.createdAt = utc(2025, 3, 1);
    backup.updatedAt = utc(2025, 3, 1);
    return backup;
}

BackupFileContents contentsOf(QList<ApplicationBackup> applications)
{
    BackupFileContents contents;
    contents.format = QStringLiteral("Applywright Backup");
    contents.formatVersion = 1;
    contents.exportedAt = utc(2025, 3, 7);
    contents.applications = std::move(applications);
    return contents;
}

JobApplication* findByCompany(const Store& store, const QString& company)
{
    for (JobApplication* application : store.applications()) {
        if (application->companyName() == company)
            return application;
    }
    return nullptr;
}

// Holds the write lock of a store's database from a second connection, so the
// store's own saves fail until it is released.
class DatabaseLock {
public:
    explicit DatabaseLock(const QString& path)
    {
        if (sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK)
            m_locked = sqlite3_exec(m_db, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) == SQLITE_OK;
    }
    ~DatabaseLock()
    {
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(m_db);
    }
    bool isLocked() const { return m_locked; }

private:
    sqlite3* m_db = nullptr;
    bool m_locked = false;
};

} // namespace

class BackupTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { useTimeZone("Europe/Istanbul"); }
    void cleanup()
    {
        Clock::reset();
        useTimeZone("Europe/Istanbul");
    }

    void goldenDocumentIsWrittenExactly();
    void goldenDocumentReadsBack();
    void keysComeInAlphabeticalOrder();
    void emptyOptionalValuesAreLeftOut();
    void nullOptionalValuesReadAsNone();
    void acceptedDocuments_data();
    void acceptedDocuments();
    void amountsRoundTripExactly_data();
    void amountsRoundTripExactly();
    void amountsSurviveTheStore_data();
    void amountsSurviveTheStore();
    void datesAreWrittenInUtcWithMilliseconds_data();
    void datesAreWrittenInUtcWithMilliseconds();
    void dateReader_data();
    void dateReader();
    void datesOutsideTheFormFailToEncode();
    void identifiersAreWrittenUpperCase();
    void bytesNeedNoTerminatingNul();
    void controlCharactersAreEscaped();
    void structuralFailures_data();
    void structuralFailures();
    void markerAndVersion_data();
    void markerAndVersion();
    void errorTexts();
    void defaultFilenameUsesTheUtcDate_data();
    void defaultFilenameUsesTheUtcDate();

    void fileReadingFailures();
    void oversizedFileIsRefusedBeforeReading();
    void savingIsAtomic();

    void recordToBackup();
    void historyIsExportedEarliestFirst();
    void backupToRecord();
    void historyIsImportedInFileOrder();
    void mergeSkipsStoredIdentifiers();
    void recordsWithoutIdentifierBlockNothing();
    void sameNewIdentifierTwiceInsertsTwice();
    void secondImportInsertsAndSavesNothing();
    void failedMergeSaveKeepsInsertedRecords();
    void exportGivesMissingIdentifiersAndStoresThem();
    void exportFollowsListOrder();
    void exportLogsSaveFailuresAndGoesOn();
    void exportThenImportReproducesEveryRecord();
    void importMessages();
    void failedImportInsertsNothing();
};

void BackupTest::goldenDocumentIsWrittenExactly()
{
    const auto encoded = encodeBackup(goldenContents());
    QVERIFY(encoded);
    const QByteArray expected = readAll(goldenPath());
    QVERIFY2(!expected.isEmpty(), qPrintable(goldenPath()));
    if (*encoded != expected) {
        const QString actualPath = QDir::temp().filePath(QStringLiteral("applywright-golden-actual.json"));
        writeAll(actualPath, *encoded);
        QFAIL(qPrintable(QStringLiteral("encoder output differs from the golden file; it is in ") + actualPath));
    }
}

void BackupTest::goldenDocumentReadsBack()
{
    const auto decoded = decodeBackup(readAll(goldenPath()));
    QVERIFY2(decoded, decoded ? "" : qPrintable(details(decoded.error())));
    const BackupFileContents expected = goldenContents();
    QCOMPARE(decoded->applications.size(), expected.applications.size());
    for (qsizetype i = 0; i < expected.applications.size(); ++i)
        QVERIFY2(decoded->applications.at(i) == expected.applications.at(i), qPrintable(QString::number(i)));
    QVERIFY(*decoded == expected);
    QCOMPARE(decoded->applications.at(0).expectedSalary->toString(),
        QStringLiteral("123456789012345678901234567890.123456789"));
}

void BackupTest::keysComeInAlphabeticalOrder()
{
    const QByteArray text = encodeBackup(goldenContents()).value();
    // Keys by indentation: the root's members, the first application's, its first history entry's.
    const auto keysAt = [&text](int indent, int from, int to) {
        QStringList keys;
        const QRegularExpression key(QStringLiteral("^ {%1}\"(\\w+)\":").arg(indent));
        const QList<QByteArray> lines = text.split('\n');
        for (int i = from; i < std::min(to, int(lines.size())); ++i) {
            const auto match = key.match(QString::fromUtf8(lines.at(i)));
            if (match.hasMatch())
                keys << match.captured(1);
        }
        return keys;
    };
    const QList<QByteArray> lines = text.split('\n');
    QCOMPARE(keysAt(2, 0, int(lines.size())), QStringList({"applications", "exportedAt", "format", "formatVersion"}));
    // The first application object runs up to the first line that closes it.
    const int end = int(lines.indexOf("    },"));
    QVERIFY(end > 0);
    QCOMPARE(keysAt(6, 0, end),
        QStringList({"applicationDate", "closedAt", "companyName", "createdAt", "currency", "expectedSalary",
            "followUpDate", "history", "hrContactEmail", "hrContactName", "id", "isFavorite", "notes", "offeredSalary",
            "position", "postingLink", "rejectedByEmail", "rejectedByPhone", "rejectionNote", "rejectionReason",
            "status", "statusChangedAt", "techInterviewerName", "techInterviewerRole", "updatedAt", "workModel"}));
    const int historyEnd = int(lines.indexOf("        },"));
    QVERIFY(historyEnd > 0);
    QCOMPARE(keysAt(10, 0, historyEnd), QStringList({"date", "to"}));
    QCOMPARE(keysAt(10, historyEnd, end), QStringList({"date", "from", "to", "date", "from", "to"}));
}

void BackupTest::emptyOptionalValuesAreLeftOut()
{
    BackupFileContents contents = contentsOf({entry("11111111-2222-3333-4444-555555555555", QStringLiteral("A"))});
    contents.applications[0].history = {{std::nullopt, QStringLiteral("applied"), utc(2025, 3, 1)}};
    const QByteArray text = encodeBackup(contents).value();
    for (const char* key : {"closedAt", "followUpDate", "rejectionReason", "expectedSalary", "offeredSalary", "from"})
        QVERIFY2(!text.contains(QByteArray(QByteArray("\"") + key + "\"")), key);
    QVERIFY(!text.contains("null"));
    QVERIFY(text.contains("\"history\": [\n"));
    DECODE_OR_FAIL(read, text);
    QCOMPARE(read, contents);
}

void BackupTest::nullOptionalValuesReadAsNone()
{
    const JsonObject change = validChange();
    JsonObject application = validApplication("[" + JsonObject(change).set("from", "null").text() + "]");
    for (const char* key : {"closedAt", "followUpDate", "rejectionReason", "expectedSalary", "offeredSalary"})
        application.set(key, "null");
    const auto withNulls = decodeBackup(withApplication(application));
    const auto without = decodeBackup(withApplication(validApplication()));
    QVERIFY(withNulls);
    QVERIFY(without);
    QCOMPARE(*withNulls, *without);
    const ApplicationBackup& read = withNulls->applications.at(0);
    QVERIFY(!read.closedAt && !read.followUpDate && !read.rejectionReason && !read.expectedSalary && !read.offeredSalary
        && !read.history.at(0).from);
}

void BackupTest::acceptedDocuments_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("check");

    const QByteArray plain = withApplication(validApplication());
    QTest::newRow("plain") << plain << "";
    QTest::newRow("byte-order mark") << QByteArray("\xEF\xBB\xBF" + plain) << "";
    QTest::newRow("spaces and line breaks everywhere")
        << QByteArray(plain).replace(",", " ,\n\t ").replace("\":", "\"\r\n:  ").replace("{", "{ ") << "";
    QTest::newRow("unknown keys at every level") << validRoot("["
        + validApplication("[" + validChange().set("note", "{\"a\":[1,2,{\"b\":null}]}").text() + "]")
              .set("tags", "[\"x\",[[[]]],{}]")
              .set("rating", "4.5")
              .set("archived", "null")
              .text()
        + "]")
                                                        .set("generator", "{\"name\":\"other\",\"version\":[2,0]}")
                                                        .set("comment", "\"hello\"")
                                                        .text()
                                                 << "";
    JsonObject reversed;
    reversed.set("formatVersion", "1")
        .set("format", "\"Applywright Backup\"")
        .set("exportedAt", "\"2025-03-07T14:05:09.120Z\"")
        .set("applications", "[" + validApplication().text() + "]");
    QTest::newRow("keys in another order") << reversed.text() << "";
    QTest::newRow("lower-case identifier")
        << withApplication(validApplication().set("id", "\"0f8fad5b-d9cb-469f-a165-70867728950e\"")) << "";
    QTest::newRow("escaped slash and unicode escapes")
        << withApplication(validApplication().set("companyName", "\"A\\/B \\u00c7 \\ud83d\\ude80\""))
        << QStringLiteral("company=A/B Ç 🚀");
    QTest::newRow("date without fraction")
        << withApplication(validApplication().set("applicationDate", "\"2025-03-07T14:05:09Z\""))
        << QStringLiteral("applicationDate=2025-03-07T14:05:09.000Z");
    QTest::newRow("empty applications") << validRoot("[]").text() << QStringLiteral("count=0");
    QTest::newRow("empty history") << withApplication(validApplication("[]")) << QStringLiteral("history=0");
    QTest::newRow("repeated key, last wins")
        << withApplication(validApplication().set("notes", "\"first\",\"notes\":\"second\""))
        << QStringLiteral("notes=second");
    QTest::newRow("negative and exponent amounts")
        << withApplication(validApplication().set("expectedSalary", "-1.5E+3").set("offeredSalary", "0.000"))
        << QStringLiteral("amounts=-1500/0");
}

void BackupTest::acceptedDocuments()
{
    QFETCH(QByteArray, json);
    QFETCH(QString, check);
    const auto decoded = decodeBackup(json);
    QVERIFY2(decoded, decoded ? "" : qPrintable(details(decoded.error())));
    QCOMPARE(decoded->format, QStringLiteral("Applywright Backup"));
    if (check.isEmpty()) {
        QCOMPARE(decoded->applications.size(), 1);
        const ApplicationBackup& a = decoded->applications.at(0);
        QCOMPARE(a.id, uuid("0F8FAD5B-D9CB-469F-A165-70867728950E"));
        QCOMPARE(a.companyName, QStringLiteral("Acme"));
        QCOMPARE(a.applicationDate, utc(2025, 3, 1, 9, 0));
        QCOMPARE(a.history.size(), 1);
        QCOMPARE(a.history.at(0).to, QStringLiteral("applied"));
        return;
    }
    const ApplicationBackup* a = decoded->applications.isEmpty() ? nullptr : &decoded->applications.at(0);
    const QString key = check.section(QLatin1Char('='), 0, 0);
    const QString value = check.section(QLatin1Char('='), 1);
    if (key == QLatin1String("count"))
        QCOMPARE(QString::number(decoded->applications.size()), value);
    else if (key == QLatin1String("company"))
        QCOMPARE(a->companyName, value);
    else if (key == QLatin1String("applicationDate"))
        QCOMPARE(QString::fromLatin1(formatBackupDate(a->applicationDate).value()), value);
    else if (key == QLatin1String("history"))
        QCOMPARE(QString::number(a->history.size()), value);
    else if (key == QLatin1String("notes"))
        QCOMPARE(a->notes, value);
    else if (key == QLatin1String("amounts"))
        QCOMPARE(a->expectedSalary->toString() + QLatin1Char('/') + a->offeredSalary->toString(), value);
    else
        QFAIL("unknown check");
}

void BackupTest::amountsRoundTripExactly_data()
{
    QTest::addColumn<QString>("amount");
    QTest::newRow("30 integer and 9 fraction digits") << "123456789012345678901234567890.123456789";
    QTest::newRow("five fraction digits") << "12.50075";
    QTest::newRow("zero") << "0";
    QTest::newRow("integer") << "50000";
    QTest::newRow("not a binary fraction") << "0.1";
    QTest::newRow("negative") << "-96.9";
}

void BackupTest::amountsRoundTripExactly()
{
    QFETCH(QString, amount);
    // A locale that writes a decimal comma must not leak into the file.
    QLocale::setDefault(QLocale(QLocale::Turkish, QLocale::Turkey));
    BackupFileContents contents = contentsOf({entry("11111111-2222-3333-4444-555555555555", QStringLiteral("A"))});
    contents.applications[0].expectedSalary = Decimal::parse(QStringView(amount)).value();
    contents.applications[0].offeredSalary = Decimal::parse(QStringView(amount)).value();
    const QByteArray text = encodeBackup(contents).value();
    QLocale::setDefault(QLocale::c());
    QVERIFY2(text.contains(QByteArray("\"expectedSalary\": " + amount.toLatin1() + ",\n")), text.constData());
    QVERIFY(text.contains(QByteArray("\"offeredSalary\": " + amount.toLatin1() + ",\n")));
    const auto decoded = decodeBackup(text);
    QVERIFY(decoded);
    QCOMPARE(decoded->applications.at(0).expectedSalary->toString(), amount);
    QCOMPARE(decoded->applications.at(0).offeredSalary, contents.applications.at(0).offeredSalary);
}

void BackupTest::amountsSurviveTheStore_data()
{
    amountsRoundTripExactly_data();
}

void BackupTest::amountsSurviveTheStore()
{
    QFETCH(QString, amount);
    QTemporaryDir temp;
    QVERIFY(temp.isValid());
    const QByteArray text = [&] {
        BackupFileContents contents = contentsOf({entry("11111111-2222-3333-4444-555555555555", QStringLiteral("A"))});
        contents.applications[0].expectedSalary = Decimal::parse(QStringView(amount)).value();
        return encodeBackup(contents).value();
    }();
    {
        StoreLoader loader = openStore(temp.path());
        QVERIFY2(loader.isReady(), qPrintable(loader.message()));
        DECODE_OR_FAIL(contents, text);
        const auto merged = mergeBackup(contents, *loader.store());
        QVERIFY(merged);
        QCOMPARE(merged->first, qint64(1));
        QVERIFY(!loader.store()->hasChanges());
    }
    StoreLoader reopened = openStore(temp.path());
    QVERIFY2(reopened.isReady(), qPrintable(reopened.message()));
    QCOMPARE(reopened.store()->count(), 1);
    JobApplication* stored = reopened.store()->applications().at(0);
    QCOMPARE(stored->expectedSalary()->toString(), amount);
    // And out again, digit for digit.
    const auto exported = exportBackup(*reopened.store());
    QVERIFY(exported);
    QVERIFY(exported->data().contains(QByteArray("\"expectedSalary\": " + amount.toLatin1() + ",\n")));
}

void BackupTest::datesAreWrittenInUtcWithMilliseconds_data()
{
    QTest::addColumn<QDateTime>("moment");
    QTest::addColumn<QString>("written");
    QTest::newRow("utc") << utc(2025, 3, 7, 14, 5, 9, 120) << "2025-03-07T14:05:09.120Z";
    QTest::newRow("local Istanbul (UTC+3)")
        << QDateTime(QDate(2025, 3, 7), QTime(17, 5, 9, 120), Qt::LocalTime) << "2025-03-07T14:05:09.120Z";
    QTest::newRow("offset crossing midnight")
        << QDateTime(QDate(2025, 3, 8), QTime(1, 30), Qt::OffsetFromUTC, 2 * 3600) << "2025-03-07T23:30:00.000Z";
    QTest::newRow("whole second") << utc(2025, 12, 31, 23, 59, 59, 0) << "2025-12-31T23:59:59.000Z";
    QTest::newRow("before 1970") << utc(1969, 12, 31, 23, 59, 59, 999) << "1969-12-31T23:59:59.999Z";
    QTest::newRow("leap day") << utc(2024, 2, 29, 0, 0, 0, 1) << "2024-02-29T00:00:00.001Z";
    QTest::newRow("first writable") << QDateTime(QDate(1, 1, 1), QTime(0, 0), Qt::UTC) << "0001-01-01T00:00:00.000Z";
    QTest::newRow("last writable") << QDateTime(QDate(9999, 12, 31), QTime(23, 59, 59, 999), Qt::UTC)
                                   << "9999-12-31T23:59:59.999Z";
}

void BackupTest::datesAreWrittenInUtcWithMilliseconds()
{
    QFETCH(QDateTime, moment);
    QFETCH(QString, written);
    QCOMPARE(QString::fromLatin1(formatBackupDate(moment).value()), written);
    const auto read = parseBackupDate(written.toStdString());
    QVERIFY(read);
    QCOMPARE(*read, moment);
    QCOMPARE(read->timeSpec(), Qt::UTC);
}

void BackupTest::dateReader_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDateTime>("expected"); // invalid: refused
    QTest::newRow("writer's form") << "2025-03-07T14:05:09.120Z" << utc(2025, 3, 7, 14, 5, 9, 120);
    QTest::newRow("without fraction") << "2025-03-07T14:05:09Z" << utc(2025, 3, 7, 14, 5, 9);
    QTest::newRow("one fraction digit") << "2025-03-07T14:05:09.1Z" << utc(2025, 3, 7, 14, 5, 9, 100);
    QTest::newRow("six fraction digits, cut to ms") << "2025-03-07T14:05:09.123999Z" << utc(2025, 3, 7, 14, 5, 9, 123);
    QTest::newRow("leap day") << "2024-02-29T00:00:00Z" << utc(2024, 2, 29, 0, 0, 0);
    QTest::newRow("date alone") << "2025-03-07" << QDateTime();
    QTest::newRow("empty") << "" << QDateTime();
    QTest::newRow("no zone") << "2025-03-07T14:05:09.120" << QDateTime();
    QTest::newRow("numeric offset") << "2025-03-07T14:05:09+00:00" << QDateTime();
    QTest::newRow("lower-case z") << "2025-03-07T14:05:09z" << QDateTime();
    QTest::newRow("space for T") << "2025-03-07 14:05:09Z" << QDateTime();
    QTest::newRow("dot without digits") << "2025-03-07T14:05:09.Z" << QDateTime();
    QTest::newRow("ten fraction digits") << "2025-03-07T14:05:09.1234567890Z" << QDateTime();
    QTest::newRow("not a leap year") << "2025-02-29T00:00:00Z" << QDateTime();
    QTest::newRow("month 13") << "2025-13-01T00:00:00Z" << QDateTime();
    QTest::newRow("day 0") << "2025-03-00T00:00:00Z" << QDateTime();
    QTest::newRow("hour 24") << "2025-03-07T24:00:00Z" << QDateTime();
    QTest::newRow("second 60") << "2025-03-07T23:59:60Z" << QDateTime();
    QTest::newRow("year 0") << "0000-01-01T00:00:00Z" << QDateTime();
    QTest::newRow("signed digits") << "2025-+3-07T14:05:09Z" << QDateTime();
    QTest::newRow("five-digit year") << "12025-03-07T14:05:09Z" << QDateTime();
}

void BackupTest::dateReader()
{
    QFETCH(QString, text);
    QFETCH(QDateTime, expected);
    const auto direct = parseBackupDate(text.toStdString());
    QCOMPARE(direct.has_value(), expected.isValid());
    if (direct)
        QCOMPARE(*direct, expected);

    // The same through a document, where a refusal rejects the whole file.
    const QByteArray json = withApplication(validApplication().set("followUpDate", '"' + text.toUtf8() + '"'));
    const auto decoded = decodeBackup(json);
    QCOMPARE(bool(decoded), expected.isValid());
    if (decoded) {
        QCOMPARE(decoded->applications.at(0).followUpDate.value(), expected);
    } else {
        const BackupDecodingError* error = decoded.error().decodingError();
        QVERIFY(error);
        QCOMPARE(error->kind(), BackupDecodingError::Kind::dataCorrupted);
        QCOMPARE(error->debugDescription(), QStringLiteral("Tarih çözümlenemedi: ") + text);
        QCOMPARE(error->codingPath(), QStringLiteral("applications[0].followUpDate"));
        QCOMPARE(decoded.error().description(), corruptText);
    }
}

void BackupTest::datesOutsideTheFormFailToEncode()
{
    for (const QDateTime& moment : {QDateTime(QDate(10000, 1, 1), QTime(0, 0), Qt::UTC),
             QDateTime(QDate(-1, 12, 31), QTime(23, 59), Qt::UTC), QDateTime()}) {
        BackupFileContents contents = contentsOf({entry("11111111-2222-3333-4444-555555555555", QStringLiteral("A"))});
        contents.applications[0].updatedAt = moment;
        const auto encoded = encodeBackup(contents);
        QVERIFY2(!encoded, qPrintable(moment.toString(Qt::ISODate)));
        QCOMPARE(encoded.error().description(),
            QStringLiteral("The data couldn't be written because it isn't in the correct format."));
        QVERIFY(encoded.error().debugDescription().startsWith(QStringLiteral("updatedAt")));
    }
}

void BackupTest::identifiersAreWrittenUpperCase()
{
    const QUuid id = uuid("{abcdef01-2345-6789-abcd-ef0123456789}");
    const QByteArray text
        = encodeBackup(contentsOf({entry("abcdef01-2345-6789-abcd-ef0123456789", QString())})).value();
    QVERIFY2(text.contains("\"id\": \"ABCDEF01-2345-6789-ABCD-EF0123456789\""), text.constData());
    for (const QByteArray& written : {QByteArray("ABCDEF01-2345-6789-ABCD-EF0123456789"),
             QByteArray("abcdef01-2345-6789-abcd-ef0123456789"), QByteArray("AbCdEf01-2345-6789-aBcD-eF0123456789")}) {
        const auto decoded = decodeBackup(withApplication(validApplication().set("id", '"' + written + '"')));
        QVERIFY(decoded);
        QCOMPARE(decoded->applications.at(0).id, id);
    }
}

void BackupTest::controlCharactersAreEscaped()
{
    // Every character below 0x20, also far into a long string, leaves the writer escaped.
    QString text = QString(70, QLatin1Char('x'));
    for (char16_t c = 0; c < 0x20; ++c)
        text += QChar(c) + QString(17, QLatin1Char('y'));
    BackupFileContents contents = contentsOf({entry("11111111-2222-3333-4444-555555555555", QStringLiteral("A"))});
    contents.applications[0].notes = text;
    const QByteArray encoded = encodeBackup(contents).value();
    for (const char c : encoded) {
        if (c != '\n')
            QVERIFY2(static_cast<unsigned char>(c) >= 0x20, qPrintable(QString::number(int(c), 16)));
    }
    QVERIFY(encoded.contains("\\u001F"));
    DECODE_OR_FAIL(read, encoded);
    QCOMPARE(read.applications.at(0).notes, text);
}

void BackupTest::bytesNeedNoTerminatingNul()
{
    // A view into a larger buffer: what follows the view is no part of the document.
    const QByteArray document = withApplication(validApplication());
    const QByteArray buffer = document + "garbage";
    const auto whole = decodeBackup(QByteArray::fromRawData(buffer.constData(), document.size()));
    QVERIFY2(whole, whole ? "" : qPrintable(details(whole.error())));
    QCOMPARE(whole->applications.size(), 1);
    const auto cut = decodeBackup(QByteArray::fromRawData(buffer.constData(), document.size() - 1));
    QVERIFY(!cut);
    QCOMPARE(cut.error().description(), corruptText);
}

void BackupTest::structuralFailures_data()
{
    using Kind = BackupDecodingError::Kind;
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("debug"); // a part of the diagnostic text

    const auto row = [](const char* name, const QByteArray& json, Kind kind, const char* path, const char* debug) {
        QTest::newRow(name) << json << int(kind) << QString::fromUtf8(path) << QString::fromUtf8(debug);
    };
    const auto app = [](const QByteArray& key, const QByteArray& value) {
        return withApplication(validApplication().set(key, value));
    };
    const auto notJson = "not valid JSON";

    // Missing keys.
    for (const char* key : {"applications", "exportedAt", "format", "formatVersion"})
        row(qPrintable(QStringLiteral("missing root key ") + QLatin1String(key)), validRoot().remove(key).text(),
            Kind::keyNotFound, "", key);
    for (const char* key : {"id", "companyName", "history", "isFavorite", "currency", "createdAt", "workModel"})
        row(qPrintable(QStringLiteral("missing application key ") + QLatin1String(key)),
            withApplication(validApplication().remove(key)), Kind::keyNotFound, "applications[0]", key);
    row("missing history date", withChange(validChange().remove("date")), Kind::keyNotFound,
        "applications[0].history[0]", "date");
    row("missing history to", withChange(validChange().remove("to")), Kind::keyNotFound, "applications[0].history[0]",
        "to");
    row("missing key in second application",
        validRoot("[" + validApplication().text() + "," + validApplication().remove("notes").text() + "]").text(),
        Kind::keyNotFound, "applications[1]", "notes");

    // Null in a required key.
    row("null format", validRoot().set("format", "null").text(), Kind::valueNotFound, "format", "null");
    row("null formatVersion", validRoot().set("formatVersion", "null").text(), Kind::valueNotFound, "formatVersion",
        "null");
    row("null applications", validRoot("null").text(), Kind::valueNotFound, "applications", "null");
    row("null application", validRoot("[null]").text(), Kind::valueNotFound, "applications[0]", "null");
    row("null companyName", app("companyName", "null"), Kind::valueNotFound, "applications[0].companyName", "null");
    row("null id", app("id", "null"), Kind::valueNotFound, "applications[0].id", "null");
    row("null isFavorite", app("isFavorite", "null"), Kind::valueNotFound, "applications[0].isFavorite", "null");
    row("null history", app("history", "null"), Kind::valueNotFound, "applications[0].history", "null");
    row("null history to", withChange(validChange().set("to", "null")), Kind::valueNotFound,
        "applications[0].history[0].to", "null");
    row("null root", "null", Kind::valueNotFound, "", "null");

    // Wrong JSON types.
    row("string 12 for an amount", app("expectedSalary", "\"12\""), Kind::typeMismatch,
        "applications[0].expectedSalary", "found a string");
    row("number for a string", app("companyName", "12"), Kind::typeMismatch, "applications[0].companyName",
        "found a number");
    row("number for a date", app("applicationDate", "1741356309"), Kind::typeMismatch,
        "applications[0].applicationDate", "found a number");
    row("number for an optional date", app("closedAt", "0"), Kind::typeMismatch, "applications[0].closedAt",
        "found a number");
    row("bool for an optional text", app("rejectionReason", "true"), Kind::typeMismatch,
        "applications[0].rejectionReason", "found a bool");
    row("string true for a bool", app("isFavorite", "\"true\""), Kind::typeMismatch, "applications[0].isFavorite",
        "found a string");
    row("number 1 for a bool", app("rejectedByEmail", "1"), Kind::typeMismatch, "applications[0].rejectedByEmail",
        "found a number");
    row("string for formatVersion", validRoot().set("formatVersion", "\"1\"").text(), Kind::typeMismatch,
        "formatVersion", "found a string");
    row("number for format", validRoot().set("format", "1").text(), Kind::typeMismatch, "format", "found a number");
    row("array for notes", app("notes", "[]"), Kind::typeMismatch, "applications[0].notes", "found an array");
    row("object for id", app("id", "{}"), Kind::typeMismatch, "applications[0].id", "found a dictionary");
    row("object for applications", validRoot("{}").text(), Kind::typeMismatch, "applications", "found a dictionary");
    row("string for applications", validRoot("\"none\"").text(), Kind::typeMismatch, "applications", "found a string");
    row("string as application", validRoot("[\"x\"]").text(), Kind::typeMismatch, "applications[0]", "found a string");
    row("array as application", validRoot("[[]]").text(), Kind::typeMismatch, "applications[0]", "found an array");
    row("object for history", app("history", "{}"), Kind::typeMismatch, "applications[0].history",
        "found a dictionary");
    row("number as history entry", app("history", "[3]"), Kind::typeMismatch, "applications[0].history[0]",
        "found a number");
    row("number for from", withChange(validChange().set("from", "5")), Kind::typeMismatch,
        "applications[0].history[0].from", "found a number");
    row("array at the root", "[]", Kind::typeMismatch, "", "found an array");
    row("string at the root", "\"Applywright Backup\"", Kind::typeMismatch, "", "found a string");

    // Values that cannot be what their key needs.
    row("bad date", app("applicationDate", "\"2025-03-07\""), Kind::dataCorrupted, "applications[0].applicationDate",
        "Tarih çözümlenemedi: 2025-03-07");
    row("bad exportedAt", validRoot().set("exportedAt", "\"yesterday\"").text(), Kind::dataCorrupted, "exportedAt",
        "Tarih çözümlenemedi: yesterday");
    row("bad history date", withChange(validChange().set("date", "\"2025-13-01T00:00:00Z\"")), Kind::dataCorrupted,
        "applications[0].history[0].date", "Tarih çözümlenemedi: 2025-13-01T00:00:00Z");
    row("bad identifier", app("id", "\"not-a-uuid\""), Kind::dataCorrupted, "applications[0].id", "UUID");
    row("identifier in braces", app("id", "\"{0F8FAD5B-D9CB-469F-A165-70867728950E}\""), Kind::dataCorrupted,
        "applications[0].id", "UUID");
    row("identifier without dashes", app("id", "\"0F8FAD5BD9CB469FA16570867728950E\""), Kind::dataCorrupted,
        "applications[0].id", "UUID");
    row("formatVersion 1.0", validRoot().set("formatVersion", "1.0").text(), Kind::dataCorrupted, "formatVersion",
        "Int");
    row("formatVersion 1e0", validRoot().set("formatVersion", "1e0").text(), Kind::dataCorrupted, "formatVersion",
        "Int");
    row("formatVersion beyond 64 bits", validRoot().set("formatVersion", "9223372036854775808").text(),
        Kind::dataCorrupted, "formatVersion", "Int");
    row("formatVersion below 64 bits", validRoot().set("formatVersion", "-9223372036854775809").text(),
        Kind::dataCorrupted, "formatVersion", "Int");
    row("amount 1e999999", app("expectedSalary", "1e999999"), Kind::dataCorrupted, "", notJson);
    row("amount 1e301", app("expectedSalary", "1e301"), Kind::dataCorrupted, "applications[0].expectedSalary",
        "amount");
    row("amount 1e-999999", app("offeredSalary", "1e-999999"), Kind::dataCorrupted, "applications[0].offeredSalary",
        "amount");
    row("10000-digit amount", app("expectedSalary", QByteArray(10000, '7')), Kind::dataCorrupted, "", notJson);
    row("10000-digit fraction", app("expectedSalary", "0." + QByteArray(9998, '3')), Kind::dataCorrupted,
        "applications[0].expectedSalary", "amount");
    row("lone low surrogate escape", app("companyName", "\"a\\udc00b\""), Kind::dataCorrupted,
        "applications[0].companyName", "surrogate");
    row("lone high surrogate escape", app("companyName", "\"a\\ud800b\""), Kind::dataCorrupted, "", notJson);

    // Not JSON at all.
    row("empty", "", Kind::dataCorrupted, "", notJson);
    row("blank", " \n\t ", Kind::dataCorrupted, "", notJson);
    row("truncated", withApplication(validApplication()).chopped(40), Kind::dataCorrupted, "", notJson);
    row("just an opening brace", "{", Kind::dataCorrupted, "", notJson);
    row("trailing garbage", withApplication(validApplication()) + "x", Kind::dataCorrupted, "", notJson);
    row("two documents", withApplication(validApplication()) + withApplication(validApplication()), Kind::dataCorrupted,
        "", notJson);
    row("NUL after the document", withApplication(validApplication()) + QByteArray(1, '\0') + "x", Kind::dataCorrupted,
        "", notJson);
    row("trailing comma", validRoot("[" + validApplication().text() + ",]").text(), Kind::dataCorrupted, "", notJson);
    row("single quotes", "{'format':'Applywright Backup'}", Kind::dataCorrupted, "", notJson);
    row("comment", "// backup\n" + withApplication(validApplication()), Kind::dataCorrupted, "", notJson);
    row("NaN amount", app("expectedSalary", "NaN"), Kind::dataCorrupted, "", notJson);
    row("leading zero", app("expectedSalary", "012"), Kind::dataCorrupted, "", notJson);
    row("invalid UTF-8 in a value", app("companyName", "\"Acme \xC3\x28\""), Kind::dataCorrupted, "", notJson);
    row("overlong UTF-8", app("companyName", "\"\xC0\xAF\""), Kind::dataCorrupted, "", notJson);
    row("encoded surrogate", app("companyName", "\"\xED\xA0\x80\""), Kind::dataCorrupted, "", notJson);
    row("Latin-1 byte", app("notes", "\"caf\xE9\""), Kind::dataCorrupted, "", notJson);
    row("invalid UTF-8 in a key", validRoot().set("x\xFF", "1").text(), Kind::dataCorrupted, "", notJson);
    row("invalid UTF-8 under an unknown key", validRoot().set("extra", "[\"\xFE\"]").text(), Kind::dataCorrupted, "",
        notJson);
    row("raw control character", app("notes", "\"a\tb\""), Kind::dataCorrupted, "", notJson);
    // Far into a long string, where a parser may scan 16 bytes at a time.
    for (const char control : {'\x01', '\x19', '\x1a', '\x1b', '\x1f'}) {
        const QByteArray name = "raw control character 0x" + QByteArray::number(int(control), 16) + " deep in a string";
        row(name.constData(), app("notes", '"' + QByteArray(61, 'n') + control + QByteArray(40, 'n') + '"'),
            Kind::dataCorrupted, "", notJson);
    }

    // Nesting far beyond any backup.
    constexpr int deep = 100000;
    row("100000 nested arrays", QByteArray(deep, '[') + QByteArray(deep, ']'), Kind::typeMismatch, "",
        "found an array");
    row("100000 nested arrays under an unknown key",
        validRoot().set("extra", QByteArray(deep, '[') + QByteArray(deep, ']')).text(), Kind::dataCorrupted, "",
        "nested too deeply");
    QByteArray objects;
    for (int i = 0; i < deep; ++i)
        objects += "{\"a\":";
    objects += "1" + QByteArray(deep, '}');
    row("100000 nested objects under an unknown key", app("extra", objects), Kind::dataCorrupted, "applications[0]",
        "nested too deeply");
    row("100000 unclosed arrays", validRoot().set("extra", QByteArray(deep, '[')).text(), Kind::dataCorrupted, "",
        "nested too deeply");
    row("100000 nested arrays as applications", validRoot(QByteArray(deep, '[') + QByteArray(deep, ']')).text(),
        Kind::typeMismatch, "applications[0]", "found an array");
}

void BackupTest::structuralFailures()
{
    QFETCH(QByteArray, json);
    QFETCH(int, kind);
    QFETCH(QString, path);
    QFETCH(QString, debug);

    const auto decoded = decodeBackup(json);
    QVERIFY(!decoded);
    const BackupDecodingError* error = decoded.error().decodingError();
    QVERIFY2(error, qPrintable(decoded.error().description()));
    QVERIFY2(error->debugDescription().contains(debug), qPrintable(error->debugDescription()));
    QCOMPARE(int(error->kind()), kind);
    QCOMPARE(error->codingPath(), path);
    QCOMPARE(decoded.error().description(), corruptText);
}

void BackupTest::markerAndVersion_data()
{
    QTest::addColumn<QByteArray>("format");
    QTest::addColumn<QByteArray>("version");
    QTest::addColumn<QString>("message"); // empty: accepted
    QTest::addColumn<qint64>("newerVersion");

    QTest::newRow("version 1") << QByteArray("Applywright Backup") << QByteArray("1") << QString() << qint64(0);
    QTest::newRow("version 0") << QByteArray("Applywright Backup") << QByteArray("0") << QString() << qint64(0);
    QTest::newRow("version -1") << QByteArray("Applywright Backup") << QByteArray("-1") << QString() << qint64(0);
    QTest::newRow("version -0") << QByteArray("Applywright Backup") << QByteArray("-0") << QString() << qint64(0);
    QTest::newRow("version 2") << QByteArray("Applywright Backup") << QByteArray("2") << newerFormatText << qint64(2);
    QTest::newRow("version 99") << QByteArray("Applywright Backup") << QByteArray("99") << newerFormatText
                                << qint64(99);
    QTest::newRow("largest version") << QByteArray("Applywright Backup") << QByteArray("9223372036854775807")
                                     << newerFormatText << std::numeric_limits<qint64>::max();
    QTest::newRow("marker case, version 99")
        << QByteArray("applywright backup") << QByteArray("99") << notABackupText << qint64(0);
    QTest::newRow("marker case, version 1")
        << QByteArray("APPLYWRIGHT BACKUP") << QByteArray("1") << notABackupText << qint64(0);
    QTest::newRow("trailing space") << QByteArray("Applywright Backup ") << QByteArray("1") << notABackupText
                                    << qint64(0);
    QTest::newRow("leading space") << QByteArray(" Applywright Backup") << QByteArray("2") << notABackupText
                                   << qint64(0);
    QTest::newRow("empty marker") << QByteArray("") << QByteArray("1") << notABackupText << qint64(0);
    QTest::newRow("another program") << QByteArray("Other Backup") << QByteArray("1") << notABackupText << qint64(0);
}

void BackupTest::markerAndVersion()
{
    QFETCH(QByteArray, format);
    QFETCH(QByteArray, version);
    QFETCH(QString, message);
    QFETCH(qint64, newerVersion);

    const QByteArray json = validRoot().set("format", '"' + format + '"').set("formatVersion", version).text();
    const auto decoded = decodeBackup(json);
    if (message.isEmpty()) {
        QVERIFY2(decoded, decoded ? "" : qPrintable(details(decoded.error())));
        QCOMPARE(decoded->formatVersion, version.toLongLong());
        QCOMPARE(decoded->applications.size(), 1);
        return;
    }
    QVERIFY(!decoded);
    const BackupError* error = decoded.error().backupError();
    QVERIFY(error);
    QCOMPARE(decoded.error().description(), message);
    if (message == newerFormatText) {
        QCOMPARE(error->kind(), BackupError::Kind::newerFormat);
        QCOMPARE(error->version(), newerVersion);
    } else {
        QCOMPARE(error->kind(), BackupError::Kind::notABackupFile);
    }
}

void BackupTest::errorTexts()
{
    QCOMPARE(BackupError::newerFormat(7).description(), newerFormatText);
    QCOMPARE(BackupError::notABackupFile().description(), notABackupText);
    QCOMPARE(
        BackupDecodingError(BackupDecodingError::Kind::keyNotFound, QString(), QString()).description(), corruptText);
    QCOMPARE(BackupEncodingError(QString()).description(),
        QStringLiteral("The data couldn't be written because it isn't in the correct format."));
    QCOMPARE(importSummary(3, 0), QStringLiteral("Imported 3 applications, skipped 0 already present."));
    QCOMPARE(importSummary(10000, 123456789012),
        QStringLiteral("Imported 10000 applications, skipped 123456789012 already present."));
    QCOMPARE(BackupFileError(BackupFileError::Kind::cannotOpen, QStringLiteral("a.json"),
                 QStringLiteral("No such file or directory"))
                 .description(),
        QStringLiteral("The file “a.json” couldn't be opened. No such file or directory"));
    QCOMPARE(BackupFileError(BackupFileError::Kind::tooLarge, QStringLiteral("big.json")).description(),
        QStringLiteral("The file “big.json” couldn't be opened because it is larger than 512 MB, too large for a "
                       "backup."));
    QCOMPARE(BackupFileError(BackupFileError::Kind::notARegularFile, QStringLiteral("fifo")).description(),
        QStringLiteral("The file “fifo” couldn't be opened because it isn't a regular file."));
    QCOMPARE(BackupFileError(BackupFileError::Kind::cannotSave, QStringLiteral("b.json"), QStringLiteral("Disk full"))
                 .description(),
        QStringLiteral("The file “b.json” couldn't be saved. Disk full"));
    QCOMPARE(QString::fromLatin1(BackupFile::mimeType), QStringLiteral("application/json"));
    QCOMPARE(QString::fromLatin1(BackupFile::fileExtension), QStringLiteral("json"));
}

void BackupTest::defaultFilenameUsesTheUtcDate_data()
{
    QTest::addColumn<QByteArray>("zone");
    QTest::addColumn<QDateTime>("wallClock");
    QTest::addColumn<QString>("name");
    // Two hours east of UTC: late on the 7th and early on the 8th are both the 7th in UTC.
    QTest::newRow("EET-2, 23:30 on the 7th")
        << QByteArray("EET-2") << local(2025, 3, 7, 23, 30) << "Applywright-2025-03-07.json";
    QTest::newRow("EET-2, 01:30 on the 8th")
        << QByteArray("EET-2") << local(2025, 3, 8, 1, 30) << "Applywright-2025-03-07.json";
    QTest::newRow("Cairo, 23:30 on the 7th")
        << QByteArray("Africa/Cairo") << local(2025, 3, 7, 23, 30) << "Applywright-2025-03-07.json";
    QTest::newRow("Cairo, 01:30 on the 8th")
        << QByteArray("Africa/Cairo") << local(2025, 3, 8, 1, 30) << "Applywright-2025-03-07.json";
    QTest::newRow("Cairo, 02:30 on the 8th")
        << QByteArray("Africa/Cairo") << local(2025, 3, 8, 2, 30) << "Applywright-2025-03-08.json";
    QTest::newRow("west of UTC, evening")
        << QByteArray("America/New_York") << local(2025, 3, 7, 20, 0) << "Applywright-2025-03-08.json";
}

void BackupTest::defaultFilenameUsesTheUtcDate()
{
    QFETCH(QByteArray, zone);
    QFETCH(QDateTime, wallClock);
    QFETCH(QString, name);
    useTimeZone(zone.constData());
    // The row's wall-clock time is read in the zone just set.
    const QDateTime moment(wallClock.date(), wallClock.time(), Qt::LocalTime);
    QCOMPARE(defaultBackupFilename(moment), name);
}

void BackupTest::fileReadingFailures()
{
    QTemporaryDir temp;
    QVERIFY(temp.isValid());

    const QString missing = temp.filePath(QStringLiteral("missing.json"));
    auto read = readBackup(missing);
    QVERIFY(!read);
    QVERIFY(read.error().fileError());
    QCOMPARE(read.error().fileError()->kind(), BackupFileError::Kind::cannotOpen);
    QVERIFY2(read.error().description().startsWith(QStringLiteral("The file “missing.json” couldn't be opened. ")),
        qPrintable(read.error().description()));
    QVERIFY(read.error().description().size() > QStringLiteral("The file “missing.json” couldn't be opened. ").size());

    const QString folder = temp.filePath(QStringLiteral("folder.json"));
    QVERIFY(QDir().mkdir(folder));
    read = readBackup(folder);
    QVERIFY(!read);
    QVERIFY(read.error().description().startsWith(QStringLiteral("The file “folder.json” couldn't be opened")));

    const QString fifo = temp.filePath(QStringLiteral("pipe.json"));
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    // Opening a pipe for reading would wait for a writer; a writer that opens and
    // closes at once lets the open return.
    {
        QFile writer(fifo);
        QVERIFY(writer.open(QIODevice::ReadWrite));
        read = readBackup(fifo);
    }
    QVERIFY(!read);
    QCOMPARE(read.error().fileError()->kind(), BackupFileError::Kind::notARegularFile);

    const QString good = temp.filePath(QStringLiteral("good.json"));
    QVERIFY(writeAll(good, readAll(goldenPath())));
    read = readBackup(good);
    QVERIFY(read);
    QCOMPARE(*read, goldenContents());
}

void BackupTest::oversizedFileIsRefusedBeforeReading()
{
    QTemporaryDir temp;
    QVERIFY(temp.isValid());
    const QString path = temp.filePath(QStringLiteral("huge.json"));
    {
        // Sparse: no disk space is used and nothing would make sense if it were read.
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.resize(BackupFile::maxFileSize + 1));
    }
    const auto read = BackupFile::read(path);
    QVERIFY(!read);
    QCOMPARE(read.error().kind(), BackupFileError::Kind::tooLarge);
    QCOMPARE(read.error().description(),
        QStringLiteral("The file “huge.json” couldn't be opened because it is larger than 512 MB, too large for a "
                       "backup."));
}

void BackupTest::savingIsAtomic()
{
    QTemporaryDir temp;
    QVERIFY(temp.isValid());
    const QString path = temp.filePath(QStringLiteral("Applywright-2025-03-07.json"));
    const BackupFile file(encodeBackup(goldenContents()).value());
    QVERIFY(!saveExportedBackup(file, path));
    QCOMPARE(readAll(path), file.data());
    QCOMPARE(QDir(temp.path()).entryList(QDir::Files), QStringList({"Applywright-2025-03-07.json"}));

    // An older backup stays as it was when the new one cannot be written in full:
    // here the process may not write files larger than 100 bytes.
    const QByteArray older = "{\"older\": true}";
    QVERIFY(writeAll(path, older));
    struct rlimit saved { };
    QCOMPARE(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limited = saved;
    limited.rlim_cur = 100;
    QCOMPARE(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    const std::optional<BackupMessage> failure = saveExportedBackup(file, path);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    QVERIFY(failure);
    QVERIFY2(failure->text().startsWith(QStringLiteral("The file “Applywright-2025-03-07.json” couldn't be saved.")),
        qPrintable(failure->text()));
    QCOMPARE(readAll(path), older);
    QCOMPARE(QDir(temp.path()).entryList(QDir::Files), QStringList({"Applywright-2025-03-07.json"}));

    const std::optional<BackupMessage> noFolder
        = saveExportedBackup(file, temp.filePath(QStringLiteral("no/such/folder/x.json")));
    QVERIFY(noFolder);
    QVERIFY(noFolder->text().startsWith(QStringLiteral("The file “x.json” couldn't be saved.")));
    QVERIFY(noFolder->id() != failure->id());
}

void BackupTest::recordToBackup()
{
    FixedClock clock(utc(2025, 3, 10));
    auto record = richRecord(1);
    record->setStatusRaw(QStringLiteral("paused"));
    record->setWorkModelRaw(QStringLiteral("moon"));
    record->setCurrencyRaw(QStringLiteral("XYZ"));
    record->setRejectionReasonRaw(QStringLiteral("ghosted"));
    const ApplicationBackup backup = makeApplicationBackup(*record);
    QCOMPARE(some(backup.id), record->uuid());
    QCOMPARE(backup.companyName, QStringLiteral("Company 1"));
    QCOMPARE(backup.postingLink, QStringLiteral("jobs.example.com/1")); // as stored, not normalised
    QCOMPARE(backup.status, QStringLiteral("paused"));
    QCOMPARE(backup.workModel, QStringLiteral("moon"));
    QCOMPARE(backup.currency, QStringLiteral("XYZ"));
    QCOMPARE(backup.rejectionReason, someText("ghosted"));
    QCOMPARE(backup.applicationDate, record->applicationDate());
    QCOMPARE(backup.closedAt, record->closedAt());
    QCOMPARE(backup.followUpDate, record->followUpDate());
    QCOMPARE(backup.expectedSalary, record->expectedSalary());
    QCOMPARE(backup.offeredSalary, some(Decimal::fromInteger(50001)));
    QCOMPARE(backup.rejectedByEmail, false);
    QCOMPARE(backup.rejectedByPhone, true);
    QCOMPARE(backup.hrContactName, QStringLiteral("Şule 1"));
    QCOMPARE(backup.createdAt, utc(2025, 1, 2, 9, 16, 0, 500));
    QCOMPARE(backup.updatedAt, utc(2025, 2, 2, 11, 0, 1, 0));
    QCOMPARE(backup.isFavorite, true);

    // Statuses outside the vocabulary leave the file as none (from) or applied (to).
    record->appendHistory(
        std::make_unique<StatusChange>(QStringLiteral("limbo"), QStringLiteral("archived"), utc(2025, 3, 5)));
    record->appendHistory(std::make_unique<StatusChange>(
        std::optional<QString>(QStringLiteral("hrInterview")), QStringLiteral("offer"), utc(2025, 3, 6)));
    const ApplicationBackup withOdd = makeApplicationBackup(*record);
    QCOMPARE(withOdd.history.size(), 4);
    QVERIFY(!withOdd.history.at(0).from);
    QCOMPARE(withOdd.history.at(1).from, someText("applied"));
    QCOMPARE(withOdd.history.at(1).to, QStringLiteral("hrInterview"));
    QVERIFY(!withOdd.history.at(2).from);
    QCOMPARE(withOdd.history.at(2).to, QStringLiteral("applied"));
    QCOMPARE(withOdd.history.at(2).date, utc(2025, 3, 5));
    QCOMPARE(withOdd.history.at(3).from, someText("hrInterview"));
    QCOMPARE(withOdd.history.at(3).to, QStringLiteral("offer"));
    // The stored texts themselves are left alone.
    QCOMPARE(record->history().at(2)->toRaw(), QStringLiteral("archived"));

    // A record without an identifier is given one, and keeps it.
    record->setUuid(std::nullopt);
    const ApplicationBackup fresh = makeApplicationBackup(*record);
    QVERIFY(!fresh.id.isNull());
    QCOMPARE(record->uuid(), some(fresh.id));
    QCOMPARE(makeApplicationBackup(*record).id, fresh.id);
}

void BackupTest::historyIsExportedEarliestFirst()
{
    auto record = plainRecord(QStringLiteral("A"), utc(2025, 1, 1));
    // Appended out of date order, two of them at the same moment.
    record->appendHistory(
        std::make_unique<StatusChange>(ApplicationStatus::hrInterview, ApplicationStatus::offer, utc(2025, 3, 1)));
    record->appendHistory(std::make_unique<StatusChange>(std::nullopt, ApplicationStatus::applied, utc(2025, 1, 1)));
    record->appendHistory(
        std::make_unique<StatusChange>(ApplicationStatus::applied, ApplicationStatus::hrInterview, utc(2025, 2, 1)));
    record->appendHistory(
        std::make_unique<StatusChange>(ApplicationStatus::offer, ApplicationStatus::rejected, utc(2025, 3, 1)));
    const ApplicationBackup backup = makeApplicationBackup(*record);
    QStringList order;
    for (const StatusChangeBackup& change : backup.history)
        order << change.to + QLatin1Char('@') + QString::fromLatin1(formatBackupDate(change.date).value());
    QCOMPARE(order,
        QStringList({"applied@2025-01-01T12:00:00.000Z", "hrInterview@2025-02-01T12:00:00.000Z",
            "offer@2025-03-01T12:00:00.000Z", "rejected@2025-03-01T12:00:00.000Z"}));
    // The record's own order is untouched.
    QCOMPARE(record->history().at(0)->toRaw(), QStringLiteral("offer"));
}

void BackupTest::backupToRecord()
{
    FixedClock clock(utc(2030, 1, 1));
    ApplicationBackup backup = goldenContents().applications.at(0);
    backup.status = QStringLiteral("paused");
    backup.workModel = QStringLiteral("moon");
    backup.currency = QStringLiteral("XYZ");
    backup.rejectionReason = QStringLiteral("ghosted");
    backup.history.append({QStringLiteral("limbo"), QStringLiteral("archived"), utc(2025, 3, 1)});
    const auto record = restoreApplication(backup);
    QCOMPARE(record->id(), RecordID(0)); // not in a store
    QCOMPARE(record->uuid(), some(backup.id));
    QCOMPARE(record->companyName(), backup.companyName);
    QCOMPARE(record->position(), backup.position);
    QCOMPARE(record->postingLink(), backup.postingLink);
    QCOMPARE(record->statusRaw(), QStringLiteral("paused"));
    QCOMPARE(record->status(), ApplicationStatus::applied);
    QCOMPARE(record->workModelRaw(), QStringLiteral("moon"));
    QCOMPARE(record->currencyRaw(), QStringLiteral("XYZ"));
    QCOMPARE(record->rejectionReasonRaw(), someText("ghosted"));
    QVERIFY(!record->rejectionReason());
    QCOMPARE(record->applicationDate(), backup.applicationDate);
    QCOMPARE(record->statusChangedAt(), backup.statusChangedAt);
    QCOMPARE(record->closedAt(), backup.closedAt);
    QCOMPARE(record->followUpDate(), backup.followUpDate);
    QCOMPARE(record->rejectedByEmail(), true);
    QCOMPARE(record->rejectedByPhone(), false);
    QCOMPARE(record->rejectionNote(), backup.rejectionNote);
    QCOMPARE(record->hrContactName(), backup.hrContactName);
    QCOMPARE(record->hrContactEmail(), backup.hrContactEmail);
    QCOMPARE(record->techInterviewerName(), backup.techInterviewerName);
    QCOMPARE(record->techInterviewerRole(), backup.techInterviewerRole);
    QCOMPARE(record->expectedSalary(), backup.expectedSalary);
    QCOMPARE(record->offeredSalary(), backup.offeredSalary);
    QCOMPARE(record->notes(), backup.notes);
    QCOMPARE(record->isFavorite(), true);
    // The file's moments, not the moment of the import.
    QCOMPARE(record->createdAt(), backup.createdAt);
    QCOMPARE(record->updatedAt(), backup.updatedAt);

    QCOMPARE(record->history().size(), 4);
    QVERIFY(!record->history().at(0)->fromRaw());
    QCOMPARE(record->history().at(2)->fromRaw(), someText("techInterview"));
    QCOMPARE(record->history().at(2)->toRaw(), QStringLiteral("rejected"));
    // Unknown statuses in the history become no previous status and applied.
    QVERIFY(!record->history().at(3)->fromRaw());
    QCOMPARE(record->history().at(3)->toRaw(), QStringLiteral("applied"));
    for (const StatusChange* change : record->history())
        QCOMPARE(change->application(), record.get());
}

void BackupTest::historyIsImportedInFileOrder()
{
    QTemporaryDir temp;
    StoreLoader loader = openStore(temp.path());
    QVERIFY(loader.isReady());
    ApplicationBackup backup = entry("11111111-2222-3333-4444-555555555555", QStringLiteral("A"));
    backup.history = {
        {QStringLiteral("hrInterview"), QStringLiteral("offer"), utc(2025, 3, 1)},
        {std::nullopt, QStringLiteral("applied"), utc(2025, 1, 1)},
        {QStringLiteral("applied"), QStringLiteral("hrInterview"), utc(2025, 2, 1)},
    };
    QVERIFY(mergeBackup(contentsOf({backup}), *loader.store()));
    const auto history = loader.store()->applications().at(0)->history();
    QStringList order;
    for (const StatusChange* change : history)
        order << change->toRaw();
    QCOMPARE(order, QStringList({"offer", "applied", "hrInterview"}));
}

void BackupTest::mergeSkipsStoredIdentifiers()
{
    QTemporaryDir temp;
    StoreLoader loader = openStore(temp.path());
    QVERIFY(loader.isReady());
    Store& store = *loader.store();
    auto existing = plainRecord(QStringLiteral("Stored"), utc(2025, 1, 1));
    existing->setUuid(uuid("AAAAAAAA-0000-4000-8000-000000000001"));
    store.insert(std::move(existing));
    QVERIFY(store.save());

    QSignalSpy saved(&store, &Store::saved);
    // The stored identifier in another letter case is still the same identifier.
    const auto merged = mergeBackup(contentsOf({entry("aaaaaaaa-0000-4000-8000-000000000001", QStringLiteral("Dup")),
                                        entry("BBBBBBBB-0000-4000-8000-000000000002", QStringLiteral("New"))}),
        store);
    QVERIFY(merged);
    QCOMPARE(merged->first, qint64(1));
    QCOMPARE(merged->second, qint64(1));
    QCOMPARE(store.count(), 2);
    QVERIFY(!findByCompany(store, QStringLiteral("Dup")));
    QVERIFY(findByCompany(store, QStringLiteral("New")));
    QCOMPARE(saved.count(), 1);
    QVERIFY(!store.hasChanges());
}

void BackupTest::recordsWithoutIdentifierBlockNothing()
{
    QTemporaryDir temp;
    StoreLoader loader = openStore(temp.path());
    QVERIFY(loader.isReady());
    Store& store = *loader.store();
    auto anonymous = plainRecord(QStringLiteral("Anonymous"), utc(2025, 1, 1));
    anonymous->setUuid(std::nullopt);
    JobApplication* stored = store.insert(std::move(anonymous));
    QVERIFY(store.save());

    const auto merged = mergeBackup(contentsOf({entry("00000000-0000-0000-0000-000000000000", QStringLiteral("Nil")),
                                        entry("CCCCCCCC-0000-4000-8000-000000000003", QStringLiteral("C"))}),
        store);
    QVERIFY(merged);
    QCOMPARE(*merged, Counts(2, 0));
    QCOMPARE(store.count(), 3);
    // The merge hands out no identifiers of its own.
    QVERIFY(!stored->uuid());
}

void BackupTest::sameNewIdentifierTwiceInsertsTwice()
{
    QTemporaryDir temp;
    StoreLoader loader = openStore(temp.path());
    QVERIFY(loader.isReady());
    const auto merged = mergeBackup(contentsOf({entry("DDDDDDDD-0000-4000-8000-000000000004", QStringLiteral("First")),
                                        entry("DDDDDDDD-0000-4000-8000-000000000004", QStringLiteral("Second"))}),
        *loader.store());
    QVERIFY(merged);
    QCOMPARE(*merged, Counts(2, 0));
    QCOMPARE(loader.store()->count(), 2);
    const JobApplication* first = findByCompany(*loader.store(), QStringLiteral("First"));
    const JobApplication* second = findByCompany(*loader.store(), QStringLiteral("Second"));
    QVERIFY(first && second);
    QCOMPARE(first->uuid(), second->uuid());
}

void BackupTest::secondImportInsertsAndSavesNothing()
{
    QTemporaryDir temp;
    StoreLoader loader = openStore(temp.path());
    QVERIFY(loader.isReady());
    Store& store = *loader.store();
    const QString path = temp.filePath(QStringLiteral("golden.json"));
    QVERIFY(writeAll(path, readAll(goldenPath())));

    QSignalSpy saved(&store, &Store::saved);
    QCOMPARE(importBackup(path, store).text(), QStringLiteral("Imported 3 applications, skipped 0 already present."));
    QCOMPARE(saved.count(), 1);
    QVERIFY(!store.hasChanges());

    // An edit the user has not saved yet: an import that inserts nothing must not save it.
    store.setAutosaveDelay(-1);
    store.applications().at(0)->setNotes(QStringLiteral("typed, not saved"));
    QVERIFY(store.hasChanges());
    QSignalSpy inserted(&store, &Store::applicationInserted);
    QCOMPARE(importBackup(path, store).text(), QStringLiteral("Imported 0 applications, skipped 3 already present."));
    QCOMPARE(saved.count(), 1);
    QCOMPARE(inserted.count(), 0);
    QVERIFY(store.hasChanges());
    QCOMPARE(store.count(), 3);

    // An empty backup saves nothing either.
    QCOMPARE(*mergeBackup(contentsOf({}), store), Counts(0, 0));
    QCOMPARE(saved.count(), 1);
    QVERIFY(store.hasChanges());
}

void BackupTest::failedMergeSaveKeepsInsertedRecords()
{
    QTemporaryDir temp;
    StoreLoader loader = openStore(temp.path());
    QVERIFY(loader.isReady());
    Store& store = *loader.store();
    store.setAutosaveDelay(-1);
    DatabaseLock lock(store.databasePath());
    QVERIFY(lock.isLocked());
    const auto merged = mergeBackup(goldenContents(), store);
    QVERIFY(!merged);
    QVERIFY(!merged.error().description().isEmpty());
    QCOMPARE(store.count(), 3);
    QVERIFY(store.hasChanges());

    const QString path = temp.filePath(QStringLiteral("one.json"));
    QVERIFY(writeAll(
        path, encodeBackup(contentsOf({entry("EEEEEEEE-0000-4000-8000-000000000005", QStringLiteral("E"))})).value()));
    QCOMPARE(importBackup(path, store).text(), merged.error().description());
    QCOMPARE(store.count(), 4);
}

void BackupTest::exportGivesMissingIdentifiersAndStoresThem()
{
    QTemporaryDir temp;
    QUuid handedOut;
    QByteArray file;
    {
        StoreLoader loader = openStore(temp.path());
        QVERIFY(loader.isReady());
        Store& store = *loader.store();
        auto record = plainRecord(QStringLiteral("Old"), utc(2024, 6, 1));
        record->setUuid(std::nullopt);
        JobApplication* stored = store.insert(std::move(record));
        QVERIFY(store.save());

        const auto exported = exportBackup(store);
        QVERIFY(exported);
        QVERIFY(stored->uuid());
        handedOut = *stored->uuid();
        QVERIFY(!store.hasChanges()); // saved right after mapping
        file = exported->data();
        DECODE_OR_FAIL(contents, file);
        QCOMPARE(contents.applications.at(0).id, handedOut);
    }
    StoreLoader reopened = openStore(temp.path());
    QVERIFY(reopened.isReady());
    QCOMPARE(reopened.store()->applications().at(0)->uuid(), some(handedOut));
    DECODE_OR_FAIL(contents, file);
    const auto merged = mergeBackup(contents, *reopened.store());
    QVERIFY(merged);
    QCOMPARE(*merged, Counts(0, 1));
}

void BackupTest::exportFollowsListOrder()
{
    FixedClock clock(utc(2025, 4, 1, 8, 0, 0, 250));
    QTemporaryDir temp;
    StoreLoader loader = openStore(temp.path());
    QVERIFY(loader.isReady());
    Store& store = *loader.store();
    store.insert(plainRecord(QStringLiteral("Middle"), utc(2025, 2, 1)));
    store.insert(plainRecord(QStringLiteral("Oldest"), utc(2025, 1, 1)));
    store.insert(plainRecord(QStringLiteral("Latest"), utc(2025, 3, 1)));
    const auto exported = exportBackup(store);
    QVERIFY(exported);
    QVERIFY(!store.hasChanges()); // pending inserts were saved first
    DECODE_OR_FAIL(contents, exported->data());
    QStringList order;
    for (const ApplicationBackup& application : contents.applications)
        order << application.companyName;
    QCOMPARE(order, QStringList({"Latest", "Middle", "Oldest"}));
    QCOMPARE(contents.format, QStringLiteral("Applywright Backup"));
    QCOMPARE(contents.formatVersion, qint64(1));
    QCOMPARE(contents.exportedAt, utc(2025, 4, 1, 8, 0, 0, 250));
    QVERIFY(exported->data().contains("\"exportedAt\": \"2025-04-01T08:00:00.250Z\""));
}

void BackupTest::exportLogsSaveFailuresAndGoesOn()
{
    QTemporaryDir temp;
    StoreLoader loader = openStore(temp.path());
    QVERIFY(loader.isReady());
    Store& store = *loader.store();
    store.setAutosaveDelay(-1);
    auto record = plainRecord(QStringLiteral("Unsaved"), utc(2025, 1, 1));
    record->setUuid(std::nullopt);
    store.insert(std::move(record));

    DatabaseLock lock(store.databasePath());
    QVERIFY(lock.isLocked());
    const QRegularExpression logLine(QStringLiteral("^Kaydedilemedi: .+"));
    QTest::ignoreMessage(QtWarningMsg, logLine);
    QTest::ignoreMessage(QtWarningMsg, logLine);
    const auto exported = exportBackup(store);
    QVERIFY(exported);
    DECODE_OR_FAIL(contents, exported->data());
    QCOMPARE(contents.applications.size(), 1);
    QCOMPARE(contents.applications.at(0).companyName, QStringLiteral("Unsaved"));
    QVERIFY(store.hasChanges());
}

void BackupTest::exportThenImportReproducesEveryRecord()
{
    FixedClock clock(utc(2025, 5, 1));
    QTemporaryDir source;
    QTemporaryDir target;
    QByteArray file;
    std::vector<std::unique_ptr<JobApplication>> originals;
    {
        StoreLoader loader = openStore(source.path());
        QVERIFY(loader.isReady());
        for (int n = 0; n < 5; ++n)
            loader.store()->insert(richRecord(n));
        auto odd = plainRecord(QStringLiteral("Odd"), utc(2024, 12, 1));
        odd->setStatusRaw(QStringLiteral("paused"));
        odd->setWorkModelRaw(QStringLiteral("moon"));
        loader.store()->insert(std::move(odd));
        QVERIFY(loader.store()->save());
        const auto exported = exportBackup(*loader.store());
        QVERIFY(exported);
        file = exported->data();
        // What the records were, kept apart from any store for the comparison.
        for (JobApplication* record : loader.store()->applicationsByDate())
            originals.push_back(restoreApplication(makeApplicationBackup(*record)));
        QCOMPARE(originals.size(), size_t(6));
        for (size_t i = 0; i < originals.size(); ++i)
            QCOMPARE(
                differences(*originals.at(i), *loader.store()->applicationsByDate().at(qsizetype(i))), QStringList());
    }
    const QString path = target.filePath(QStringLiteral("export.json"));
    QVERIFY(writeAll(path, file));
    {
        StoreLoader loader = openStore(target.path());
        QVERIFY(loader.isReady());
        QCOMPARE(importBackup(path, *loader.store()).text(),
            QStringLiteral("Imported 6 applications, skipped 0 already present."));
    }
    // Compared after a reopen, so what counts is what reached the disk.
    StoreLoader reopened = openStore(target.path());
    QVERIFY(reopened.isReady());
    const QList<JobApplication*> imported = reopened.store()->applicationsByDate();
    QCOMPARE(size_t(imported.size()), originals.size());
    for (size_t i = 0; i < originals.size(); ++i)
        QCOMPARE(differences(*imported.at(qsizetype(i)), *originals.at(i)), QStringList());
    JobApplication* odd = findByCompany(*reopened.store(), QStringLiteral("Odd"));
    QVERIFY(odd);
    QCOMPARE(odd->statusRaw(), QStringLiteral("paused"));
    QCOMPARE(odd->workModelRaw(), QStringLiteral("moon"));
    JobApplication* rich = findByCompany(*reopened.store(), QStringLiteral("Company 3"));
    QVERIFY(rich && rich->expectedSalary());
    QCOMPARE(rich->expectedSalary()->toString(), QStringLiteral("123456789012345678901234567890.123456789"));
    QCOMPARE(rich->history().size(), 2);
    QCOMPARE(rich->history().at(1)->fromRaw(), QStringLiteral("applied"));
    QCOMPARE(rich->history().at(1)->toRaw(), QStringLiteral("hrInterview"));
    QCOMPARE(rich->history().at(1)->date(), utc(2025, 2, 4, 11, 0, 0, 7));
    QCOMPARE(rich->createdAt(), utc(2025, 1, 4, 9, 16, 0, 500));
}

void BackupTest::importMessages()
{
    QTemporaryDir temp;
    StoreLoader loader = openStore(temp.path());
    QVERIFY(loader.isReady());
    Store& store = *loader.store();
    const auto file = [&temp](const char* name, const QByteArray& data) {
        const QString path = temp.filePath(QString::fromLatin1(name));
        writeAll(path, data);
        return path;
    };
    QCOMPARE(
        importBackup(file("marker.json", validRoot().set("format", "\"Other\"").text()), store).text(), notABackupText);
    QCOMPARE(
        importBackup(file("newer.json", validRoot().set("formatVersion", "2").text()), store).text(), newerFormatText);
    QCOMPARE(importBackup(file("broken.json", "{\"format\":"), store).text(), corruptText);
    QCOMPARE(
        importBackup(file("date.json", withApplication(validApplication().set("createdAt", "\"2025-03-07\""))), store)
            .text(),
        corruptText);
    QVERIFY(importBackup(temp.filePath(QStringLiteral("nowhere.json")), store)
                .text()
                .startsWith(QStringLiteral("The file “nowhere.json” couldn't be opened.")));
    QCOMPARE(store.count(), 0);
    QVERIFY(!store.hasChanges());

    const BackupMessage first = importBackup(file("one.json", withApplication(validApplication())), store);
    QCOMPARE(first.text(), QStringLiteral("Imported 1 applications, skipped 0 already present."));
    const BackupMessage second = importBackup(file("one.json", withApplication(validApplication())), store);
    QCOMPARE(second.text(), QStringLiteral("Imported 0 applications, skipped 1 already present."));
    QVERIFY(first.id() != second.id());
    QVERIFY(!first.id().isNull());
}

void BackupTest::failedImportInsertsNothing()
{
    QTemporaryDir temp;
    StoreLoader loader = openStore(temp.path());
    QVERIFY(loader.isReady());
    Store& store = *loader.store();
    QSignalSpy inserted(&store, &Store::applicationInserted);
    // The first application is fine, the second is broken: nothing of the file goes in.
    const QByteArray json = validRoot("[" + validApplication().text() + ","
        + validApplication()
              .set("id", "\"1F8FAD5B-D9CB-469F-A165-70867728950E\"")
              .set("offeredSalary", "\"50000\"")
              .text()
        + "]")
                                .text();
    const QString path = temp.filePath(QStringLiteral("half.json"));
    QVERIFY(writeAll(path, json));
    QCOMPARE(importBackup(path, store).text(), corruptText);
    QCOMPARE(inserted.count(), 0);
    QCOMPARE(store.count(), 0);
    QVERIFY(!store.hasChanges());
}

QTEST_GUILESS_MAIN(BackupTest)
#include "tst_backup.moc"
