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

Q_DECLARE_METATYPE(BackupFileContents)

namespace {

const QString corruptText = QStringLiteral("The file couldn't be read because it isn't in the correct format.");
const QString notABackupText = QStringLiteral("This file is not an Applywright backup.");
const QString newerFormatText = QStringLiteral("This backup was made by a newer version of Applywright.");
const QString cannotWriteText = QStringLiteral("The data couldn't be written because it isn't in the correct format.");

QString goldenPath()
{
    return QStringLiteral(APPLYWRIGHT_TEST_DATA_DIR "/backup/golden.json");
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
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

// What went wrong, for the failure message of a test.
QString details(const BackupReadError& error)
{
    const BackupDecodingError* decoding = error.decodingError();
    return decoding ? decoding->codingPath() + QStringLiteral(": ") + decoding->debugDescription()
                    : error.description();
}

// Decodes `bytes` into `name`; a document that does not read fails the test here.
#define DECODE_OR_FAIL(name, bytes)                                                                                    \
    const auto name##Result = decodeBackup(bytes);                                                                     \
    QVERIFY2(name##Result, name##Result ? "" : qPrintable(details(name##Result.error())));                             \
    const BackupFileContents& name = *name##Result

BackupFileContents contentsOf(QList<ApplicationBackup> applications, const QDateTime& exportedAt = utc(2025, 3, 7))
{
    BackupFileContents contents;
    contents.format = QStringLiteral("Applywright Backup");
    contents.formatVersion = 1;
    contents.exportedAt = exportedAt;
    contents.applications = std::move(applications);
    return contents;
}

// An application with nothing but what every record has.
ApplicationBackup entry(const char* id, const QString& company = "Acme", const QDateTime& day = utc(2025, 3, 1))
{
    ApplicationBackup backup;
    backup.id = uuid(id);
    backup.companyName = company;
    backup.workModel = QStringLiteral("remote");
    backup.status = QStringLiteral("applied");
    backup.currency = QStringLiteral("TRY");
    backup.applicationDate = backup.statusChangedAt = backup.createdAt = backup.updatedAt = day;
    return backup;
}

// The document checked in as tests/data/backup/golden.json: one application with
// every field set (text that needs escaping, non-Latin letters, both amounts), one
// with nothing optional and unknown raw texts, one at the edges of the date range.
BackupFileContents goldenContents()
{
    const ApplicationBackup full {.id = uuid("0f8fad5b-d9cb-469f-a165-70867728950e"),
        .companyName = "Çiçek Yazılım A.Ş.",
        .position = "Senior \"Qt\" Engineer\\Lead",
        .postingLink = "https://jobs.example.com/ilan/42?ref=a&b=c",
        .workModel = "hybrid",
        .status = "rejected",
        .applicationDate = utc(2025, 1, 15, 9, 30),
        .statusChangedAt = utc(2025, 2, 20, 16, 45, 30, 5),
        .closedAt = utc(2025, 2, 20, 16, 45, 30, 5),
        .followUpDate = utc(2025, 1, 29, 7, 0, 0, 999),
        .rejectedByEmail = true,
        .rejectedByPhone = false,
        .rejectionReason = "salaryMismatch",
        .rejectionNote = "Line one\nLine two\twith a tab and \x01",
        .hrContactName = "Ayşe Öztürk",
        .hrContactEmail = "ayse@example.com",
        .techInterviewerName = "Li Wei 李伟",
        .techInterviewerRole = "Staff engineer 🚀",
        .expectedSalary = decimal("123456789012345678901234567890.123456789"),
        .offeredSalary = decimal("12.50075"),
        .currency = "EUR",
        .notes = "İstanbul / İzmir",
        .isFavorite = true,
        .createdAt = utc(2025, 1, 15, 9, 31, 2, 250),
        .updatedAt = utc(2025, 2, 20, 16, 45, 30, 5),
        .history
        = {{std::nullopt, "applied", utc(2025, 1, 15, 9, 30)}, {"applied", "techInterview", utc(2025, 2, 1, 10, 0)},
            {"techInterview", "rejected", utc(2025, 2, 20, 16, 45, 30, 5)}}};
    ApplicationBackup bare = entry("9B2E1D3C-0000-4ABC-8DEF-00000000000A", QString(), utc(2025, 1, 1, 0, 0));
    bare.workModel = QStringLiteral("moon");
    bare.status = QStringLiteral("paused");
    bare.currency = QStringLiteral("XYZ");
    bare.applicationDate = bare.statusChangedAt = utc(2024, 12, 31, 23, 59, 59);
    ApplicationBackup edges = entry("00000000-0000-0000-0000-000000000000", QStringLiteral("Edge"));
    edges.workModel = QStringLiteral("onSite");
    edges.status = QStringLiteral("offer");
    edges.applicationDate = utc(1969, 12, 31, 23, 59, 59, 999);
    edges.statusChangedAt = utc(1, 1, 1, 0, 0);
    edges.closedAt = utc(9999, 12, 31, 23, 59, 59, 999);
    edges.expectedSalary = decimal("0");
    edges.offeredSalary = decimal("50000");
    edges.createdAt = utc(2000, 2, 29, 12, 0, 0, 1);
    edges.updatedAt = utc(2000, 2, 29, 12, 0, 0, 10);
    edges.history = {{std::nullopt, QStringLiteral("offer"), edges.applicationDate}};
    return contentsOf({full, bare, edges}, utc(2025, 3, 7, 14, 5, 9, 120));
}

// A JSON object written member by member, so tests can drop, replace or add one.
class JsonObject {
public:
    JsonObject& set(const QByteArray& key, const QByteArray& rawValue)
    {
        remove(key);
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
        QByteArrayList members;
        for (const auto& [key, value] : m_members)
            members << '"' + key + "\":" + value;
        return '{' + members.join(',') + '}';
    }

private:
    QList<std::pair<QByteArray, QByteArray>> m_members;
};

// The JSON form of validContents(), made to be varied.
JsonObject validChange()
{
    return JsonObject().set("date", "\"2025-03-01T12:00:00.000Z\"").set("to", "\"applied\"");
}

JsonObject validApplication(const QByteArray& history = "[" + validChange().text() + "]")
{
    JsonObject a;
    for (const char* key : {"hrContactEmail", "hrContactName", "notes", "position", "postingLink", "rejectionNote",
             "techInterviewerName", "techInterviewerRole"})
        a.set(key, "\"\"");
    for (const char* key : {"applicationDate", "createdAt", "statusChangedAt", "updatedAt"})
        a.set(key, "\"2025-03-01T12:00:00.000Z\"");
    for (const char* key : {"isFavorite", "rejectedByEmail", "rejectedByPhone"})
        a.set(key, "false");
    return a.set("companyName", "\"Acme\"")
        .set("currency", "\"TRY\"")
        .set("history", history)
        .set("id", "\"0F8FAD5B-D9CB-469F-A165-70867728950E\"")
        .set("status", "\"applied\"")
        .set("workModel", "\"remote\"");
}

JsonObject validRoot(const QByteArray& applications = "[" + validApplication().text() + "]")
{
    return JsonObject()
        .set("applications", applications)
        .set("exportedAt", "\"2025-03-07T12:00:00.000Z\"")
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

BackupFileContents validContents()
{
    ApplicationBackup application = entry("0F8FAD5B-D9CB-469F-A165-70867728950E");
    application.history = {{std::nullopt, "applied", utc(2025, 3, 1)}};
    return contentsOf({application});
}

std::unique_ptr<JobApplication> plainRecord(const QString& company, const QDateTime& applied)
{
    return std::make_unique<JobApplication>(
        company, QStringLiteral("Engineer"), QString(), WorkModel::remote, ApplicationStatus::applied, applied);
}

QStringList historyOf(const JobApplication& record)
{
    QStringList out;
    for (const StatusChange* change : record.history())
        out << change->fromRaw().value_or(QStringLiteral("-")) + QStringLiteral(" > ") + change->toRaw();
    return out;
}

// A fresh store in a folder of its own.
class TempStore {
public:
    TempStore()
        : m_loader(openStore(m_dir.path()))
    {
    }
    bool isReady() const { return m_dir.isValid() && m_loader.isReady(); }
    Store& operator*() const { return *m_loader.store(); }
    // Closes the store and opens it again, so what counts is what reached the disk.
    void reopen()
    {
        m_loader = StoreLoader::failed(QString());
        m_loader = openStore(m_dir.path());
    }
    QString filePath(const QString& name) const { return m_dir.filePath(name); }
    // A file in the store's folder that holds `data`.
    QString file(const char* name, const QByteArray& data) const
    {
        const QString path = filePath(QString::fromLatin1(name));
        return writeAll(path, data) ? path : QString();
    }

private:
    QTemporaryDir m_dir;
    StoreLoader m_loader;
};

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

    void goldenDocument();
    void acceptedDocuments_data();
    void acceptedDocuments();
    void amountsRoundTripExactly_data();
    void amountsRoundTripExactly();
    void dateReader_data();
    void dateReader();
    void datesOutsideTheFormFailToEncode();
    void controlCharactersAreEscaped();
    void structuralFailures_data();
    void structuralFailures();
    void markerAndVersion_data();
    void markerAndVersion();
    void defaultFilenameUsesTheUtcDate();
    void files();

    void recordToBackup();
    void backupToRecord();
    void mergeSkipsOnlyStoredIdentifiers_data();
    void mergeSkipsOnlyStoredIdentifiers();
    void saveFailures();
    void importThenExport();
    void importMessages();
};

void BackupTest::goldenDocument()
{
    const QByteArray golden = readAll(goldenPath());
    const QByteArray encoded = encodeBackup(goldenContents()).value();
    // The file fixes the whole form: keys sorted in every object, optional values
    // without a value left out (never null), dates, identifiers, amounts, escapes.
    const QString actual = QDir::temp().filePath(QStringLiteral("applywright-golden-actual.json"));
    if (encoded != golden)
        writeAll(actual, encoded);
    QVERIFY2(encoded == golden, qPrintable(QStringLiteral("the encoder wrote something else: see ") + actual));
    // Read from a view into a larger buffer, which is neither read past nor written to.
    const QByteArray buffer = golden + "garbage";
    DECODE_OR_FAIL(decoded, QByteArray::fromRawData(buffer.constData(), golden.size()));
    QCOMPARE(decoded, goldenContents());
    QCOMPARE(buffer, golden + "garbage");
}

void BackupTest::acceptedDocuments_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<BackupFileContents>("expected");

    const QByteArray plain = validRoot().text();
    const BackupFileContents contents = validContents();
    QTest::newRow("plain") << plain << contents;
    QTest::newRow("byte-order mark") << QByteArray("\xEF\xBB\xBF" + plain) << contents;
    JsonObject nulls = validApplication("[" + validChange().set("from", "null").text() + "]");
    for (const char* key : {"closedAt", "followUpDate", "rejectionReason", "expectedSalary", "offeredSalary"})
        nulls.set(key, "null");
    QTest::newRow("optional values as null") << withApplication(nulls) << contents;
    const JsonObject change = validChange().set("note", "{\"a\":[1,{\"b\":null}]}");
    const JsonObject extra = validApplication("[" + change.text() + "]").set("tags", "[\"x\",[[[]]],{}]");
    QTest::newRow("unknown keys at every level")
        << validRoot("[" + extra.text() + "]").set("generator", "{\"v\":[2,0]}").set("rating", "4.5").text()
        << contents;
    JsonObject reversed = JsonObject().set("formatVersion", "1").set("format", "\"Applywright Backup\"");
    reversed.set("exportedAt", "\"2025-03-07T12:00:00.000Z\"")
        .set("applications", "[" + validApplication().text() + "]");
    QTest::newRow("keys in another order") << reversed.text() << contents;
    QTest::newRow("identifier in mixed case")
        << withApplication(validApplication().set("id", "\"0f8FAD5b-d9cb-469F-A165-70867728950e\"")) << contents;
    // A byte-order mark opening a text is a character of it, escaped or not.
    BackupFileContents marked = contents;
    marked.applications[0].companyName = QChar(0xFEFF) + QStringLiteral("Acme");
    marked.applications[0].position = QChar(0xFEFF) + QStringLiteral("Engineer");
    const JsonObject markedJson = validApplication()
                                      .set("companyName", "\"\\ufeffAcme\"")
                                      .set("position",
                                          "\"\xEF\xBB\xBF"
                                          "Engineer\"");
    QTest::newRow("texts starting with a byte-order mark") << withApplication(markedJson) << marked;
    QTest::newRow("empty applications") << validRoot("[]").text() << contentsOf({});

    BackupFileContents changed = contents;
    changed.applications[0].companyName = QStringLiteral("A/B Ç 🚀");
    changed.applications[0].notes = QStringLiteral("second");
    QTest::newRow("escapes, repeated key")
        << withApplication(validApplication()
                               .set("companyName", "\"A\\/B \\u00c7 \\ud83d\\ude80\"")
                               .set("notes", "\"first\",\"notes\":\"second\""))
        << changed;

    // Long enough to be read in pieces, with characters of two, three and four
    // bytes falling across the pieces' edges.
    BackupFileContents longNote = contents;
    longNote.applications[0].notes = QChar(0xFEFF) + QStringLiteral("ışık ğ € 🚀 ").repeated(300'000);
    QTest::newRow("a note of several megabytes")
        << withApplication(validApplication().set("notes", '"' + longNote.applications[0].notes.toUtf8() + '"'))
        << longNote;
}

void BackupTest::acceptedDocuments()
{
    QFETCH(QByteArray, json);
    QFETCH(BackupFileContents, expected);

    DECODE_OR_FAIL(decoded, json);
    QCOMPARE(decoded, expected);
}

void BackupTest::amountsRoundTripExactly_data()
{
    QTest::addColumn<QString>("amount");
    QTest::newRow("30 integer and 9 fraction digits") << "123456789012345678901234567890.123456789";
    QTest::newRow("not a binary fraction") << "0.1";
}

void BackupTest::amountsRoundTripExactly()
{
    QFETCH(QString, amount);
    // A locale that writes a decimal comma must not leak into the file.
    QLocale::setDefault(QLocale(QLocale::Turkish, QLocale::Turkey));
    BackupFileContents contents = validContents();
    contents.applications[0].expectedSalary = Decimal::parse(QStringView(amount)).value();
    const QByteArray text = encodeBackup(contents).value();
    QLocale::setDefault(QLocale::c());
    QVERIFY2(text.contains(QByteArray("\"expectedSalary\": " + amount.toLatin1() + ",\n")), text.constData());
    DECODE_OR_FAIL(decoded, text);
    QCOMPARE(decoded.applications.at(0).expectedSalary->toString(), amount);
}

void BackupTest::dateReader_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDateTime>("expected"); // invalid: refused
    // The writer's form, written for moments in other zones too.
    QTest::newRow("local time, UTC+3") << "2025-03-07T14:05:09.120Z" << local(2025, 3, 7, 17, 5, 9).addMSecs(120);
    QTest::newRow("offset, across midnight")
        << "2025-03-07T23:30:00.000Z" << QDateTime(QDate(2025, 3, 8), QTime(1, 30), Qt::OffsetFromUTC, 2 * 3600);
    QTest::newRow("without fraction") << "2025-03-07T14:05:09Z" << utc(2025, 3, 7, 14, 5, 9);
    QTest::newRow("six fraction digits, cut to ms") << "2025-03-07T14:05:09.123999Z" << utc(2025, 3, 7, 14, 5, 9, 123);
    QTest::newRow("date alone") << "2025-03-07" << QDateTime();
    QTest::newRow("no zone") << "2025-03-07T14:05:09.120" << QDateTime();
    QTest::newRow("dot without digits") << "2025-03-07T14:05:09.Z" << QDateTime();
    QTest::newRow("ten fraction digits") << "2025-03-07T14:05:09.1234567890Z" << QDateTime();
    QTest::newRow("not a leap year") << "2025-02-29T00:00:00Z" << QDateTime();
    QTest::newRow("month 13") << "2025-13-01T00:00:00Z" << QDateTime();
    QTest::newRow("second 60") << "2025-03-07T23:59:60Z" << QDateTime();
    QTest::newRow("year 0") << "0000-01-01T00:00:00Z" << QDateTime();
    QTest::newRow("signed digits") << "2025-+3-07T14:05:09Z" << QDateTime();
}

void BackupTest::dateReader()
{
    QFETCH(QString, text);
    QFETCH(QDateTime, expected);
    const auto read = parseBackupDate(text.toStdString());
    QCOMPARE(read.value_or(QDateTime()), expected);
    if (read)
        QCOMPARE(read->timeSpec(), Qt::UTC);
    if (expected.isValid() && text.size() == 24)
        QCOMPARE(formatBackupDate(expected), std::optional(text.toLatin1()));
}

void BackupTest::datesOutsideTheFormFailToEncode()
{
    for (const QDateTime& moment : {utc(10000, 1, 1, 0, 0), utc(-1, 12, 31, 23, 59), QDateTime()}) {
        BackupFileContents contents = validContents();
        contents.applications[0].updatedAt = moment;
        const auto encoded = encodeBackup(contents);
        QVERIFY2(!encoded, qPrintable(moment.toString(Qt::ISODate)));
        QCOMPARE(encoded.error().description(), cannotWriteText);
        QVERIFY(encoded.error().debugDescription().startsWith(QStringLiteral("updatedAt")));
    }
}

void BackupTest::controlCharactersAreEscaped()
{
    // Every character below 0x20, also far into a long string, leaves the writer escaped.
    QString text = QString(70, u'x');
    for (char16_t c = 0; c < 0x20; ++c)
        text += QChar(c) + QString(17, u'y');
    BackupFileContents contents = validContents();
    contents.applications[0].notes = text;
    const QByteArray encoded = encodeBackup(contents).value();
    for (const char c : encoded)
        QVERIFY2(c == '\n' || static_cast<unsigned char>(c) >= 0x20, qPrintable(QString::number(int(c), 16)));
    DECODE_OR_FAIL(read, encoded);
    QCOMPARE(read.applications.at(0).notes, text);
}

void BackupTest::structuralFailures_data()
{
    using K = BackupDecodingError::Kind;
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("debug"); // a part of the diagnostic text

    const auto row = [](const QByteArray& name, const QByteArray& json, K kind, const char* path, const char* debug) {
        QTest::newRow(name.constData()) << json << int(kind) << QString::fromUtf8(path) << QString::fromUtf8(debug);
    };
    const auto app = [](const QByteArray& key, const QByteArray& value) {
        return withApplication(validApplication().set(key, value));
    };
    const QByteArray valid = validRoot().text();
    const char* notJson = "not valid JSON";
    const char* first = "applications[0]";

    // Missing keys, null in a required key, a value of the wrong JSON type.
    for (const char* key : {"applications", "exportedAt", "format", "formatVersion"})
        row(QByteArray("missing ") + key, validRoot().remove(key).text(), K::keyNotFound, "", key);
    // In the second application, so the path counts the applications.
    for (const char* key : {"id", "history", "isFavorite", "createdAt", "workModel"})
        row(QByteArray("missing ") + key,
            validRoot("[" + validApplication().text() + "," + validApplication().remove(key).text() + "]").text(),
            K::keyNotFound, "applications[1]", key);
    row("missing to", withChange(validChange().remove("to")), K::keyNotFound, "applications[0].history[0]", "to");
    row("null root", "null", K::valueNotFound, "", "null");
    row("null application", validRoot("[null]").text(), K::valueNotFound, first, "null");
    row("string amount", app("expectedSalary", "\"12\""), K::typeMismatch, "applications[0].expectedSalary", "string");
    row("string for a bool", app("isFavorite", "\"true\""), K::typeMismatch, "applications[0].isFavorite", "a string");
    row("object for applications", validRoot("{}").text(), K::typeMismatch, "applications", "a dictionary");

    // Values that cannot be what their key needs.
    row("bad date", app("applicationDate", "\"2025-03-07\""), K::dataCorrupted, "applications[0].applicationDate",
        "Tarih çözümlenemedi: 2025-03-07");
    row("bad history date", withChange(validChange().set("date", "\"2025-03-07T14:05:09\"")), K::dataCorrupted,
        "applications[0].history[0].date", "Tarih çözümlenemedi: 2025-03-07T14:05:09");
    // The diagnostic shows the start of a value, not a copy of all of it.
    row("date of a million characters", app("applicationDate", '"' + QByteArray(1'000'000, '9') + '"'),
        K::dataCorrupted, "applications[0].applicationDate", "Tarih çözümlenemedi: 9999999999");
    row("bad identifier", app("id", "\"{0F8FAD5B-D9CB-469F-A165-70867728950E}\""), K::dataCorrupted,
        "applications[0].id", "UUID");
    row("version 1.0", validRoot().set("formatVersion", "1.0").text(), K::dataCorrupted, "formatVersion", "Int");
    row("version beyond 64 bits", validRoot().set("formatVersion", "9223372036854775808").text(), K::dataCorrupted,
        "formatVersion", "Int");
    row("amount 1e999999", app("expectedSalary", "1e999999"), K::dataCorrupted, "", notJson);
    row("amount 1e301", app("expectedSalary", "1e301"), K::dataCorrupted, "applications[0].expectedSalary", "amount");
    row("10000-digit amount", app("expectedSalary", QByteArray(10000, '7')), K::dataCorrupted, "", notJson);
    row("10000-digit fraction", app("expectedSalary", "0." + QByteArray(9998, '3')), K::dataCorrupted,
        "applications[0].expectedSalary", "amount");
    for (const char* escape : {"\\udc00", "\\uDC00", "\\udC00"})
        row(QByteArray("lone low surrogate ") + escape, app("companyName", QByteArray("\"a") + escape + "b\""),
            K::dataCorrupted, "applications[0].companyName", "surrogate");
    row("lone high surrogate", app("companyName", "\"a\\ud800b\""), K::dataCorrupted, "", notJson);

    // Not JSON at all.
    row("empty", "", K::dataCorrupted, "", notJson);
    row("truncated", valid.chopped(40), K::dataCorrupted, "", notJson);
    row("trailing garbage", valid + "x", K::dataCorrupted, "", notJson);
    row("NUL after the document", valid + QByteArray(1, '\0') + "x", K::dataCorrupted, "", notJson);
    row("invalid UTF-8", app("companyName", "\"Acme \xC3\x28\""), K::dataCorrupted, "", notJson);
    row("invalid UTF-8, unknown key", validRoot().set("extra", "[\"\xFE\"]").text(), K::dataCorrupted, "", notJson);
    // Raw control characters, also far into a long string, where a parser may scan 16 bytes at a time.
    row("raw tab", app("notes", "\"a\tb\""), K::dataCorrupted, "", notJson);
    for (const char* control : {"\x01", "\x1a", "\x1f"})
        row("raw 0x" + QByteArray(control).toHex(),
            app("notes", '"' + QByteArray(61, 'n') + control + QByteArray(40, 'n') + '"'), K::dataCorrupted, "",
            notJson);

    // Nesting far beyond any backup.
    constexpr int deep = 100000;
    const QByteArray arrays = QByteArray(deep, '[') + QByteArray(deep, ']');
    const QByteArray objects = QByteArray("{\"a\":").repeated(deep) + "1" + QByteArray(deep, '}');
    row("deep arrays", arrays, K::typeMismatch, "", "found an array");
    row("deep arrays, unknown key", validRoot().set("extra", arrays).text(), K::dataCorrupted, "", "nested too deeply");
    row("deep objects, unknown key", app("extra", objects), K::dataCorrupted, first, "nested too deeply");
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
    QVERIFY2(error->debugDescription().contains(debug), qPrintable(error->debugDescription().left(200)));
    // However long the value, the diagnostic stays a line.
    QVERIFY2(error->debugDescription().size() < 200, qPrintable(error->debugDescription().left(200)));
    QCOMPARE(int(error->kind()), kind);
    QCOMPARE(error->codingPath(), path);
    QCOMPARE(decoded.error().description(), corruptText);
}

void BackupTest::markerAndVersion_data()
{
    QTest::addColumn<QByteArray>("format");
    QTest::addColumn<QByteArray>("version");
    QTest::addColumn<QString>("message"); // empty: accepted

    const QByteArray marker("Applywright Backup");
    QTest::newRow("version 0") << marker << QByteArray("0") << QString();
    QTest::newRow("version -1") << marker << QByteArray("-1") << QString();
    QTest::newRow("version 2") << marker << QByteArray("2") << newerFormatText;
    QTest::newRow("largest version") << marker << QByteArray("9223372036854775807") << newerFormatText;
    // The marker is checked first, whatever the version.
    QTest::newRow("marker case, version 99") << QByteArray("applywright backup") << QByteArray("99") << notABackupText;
    QTest::newRow("leading space, version 2") << QByteArray(" Applywright Backup") << QByteArray("2") << notABackupText;
}

void BackupTest::markerAndVersion()
{
    QFETCH(QByteArray, format);
    QFETCH(QByteArray, version);
    QFETCH(QString, message);

    const auto decoded
        = decodeBackup(validRoot().set("format", '"' + format + '"').set("formatVersion", version).text());
    if (message.isEmpty()) {
        QVERIFY2(decoded, decoded ? "" : qPrintable(details(decoded.error())));
        QCOMPARE(decoded->formatVersion, version.toLongLong());
        return;
    }
    const BackupError* error = decoded ? nullptr : decoded.error().backupError();
    QVERIFY(error);
    QCOMPARE(error->description(), message);
    QCOMPARE(
        error->kind(), message == newerFormatText ? BackupError::Kind::newerFormat : BackupError::Kind::notABackupFile);
    if (error->kind() == BackupError::Kind::newerFormat)
        QCOMPARE(error->version(), version.toLongLong());
}

void BackupTest::defaultFilenameUsesTheUtcDate()
{
    useTimeZone("EET-2"); // two hours east of UTC
    QCOMPARE(defaultBackupFilename(local(2025, 3, 8, 1, 30)), QStringLiteral("Applywright-2025-03-07.json"));
    QCOMPARE(defaultBackupFilename(local(2025, 3, 8, 2, 30)), QStringLiteral("Applywright-2025-03-08.json"));
    useTimeZone("America/New_York");
    QCOMPARE(defaultBackupFilename(local(2025, 3, 7, 20, 30)), QStringLiteral("Applywright-2025-03-08.json"));
}

void BackupTest::files()
{
    QTemporaryDir temp;
    QVERIFY(temp.isValid());

    auto read = readBackup(temp.filePath(QStringLiteral("missing.json")));
    QVERIFY(!read);
    QCOMPARE(read.error().fileError()->kind(), BackupFileError::Kind::cannotOpen);
    const QString cannotOpen = QStringLiteral("The file “missing.json” couldn't be opened. ");
    QVERIFY2(read.error().description().startsWith(cannotOpen), qPrintable(read.error().description()));
    QVERIFY(read.error().description().size() > cannotOpen.size()); // with the system's reason

    // Opening a pipe for reading would wait for a writer, for ever: it is refused
    // before it is opened (the file dialogs let a pipe through).
    const QString fifo = temp.filePath(QStringLiteral("pipe.json"));
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    read = readBackup(fifo);
    QVERIFY(!read);
    QCOMPARE(read.error().fileError()->kind(), BackupFileError::Kind::notARegularFile);
    QVERIFY(QFile::remove(fifo));

    // Larger than any backup: refused. Sparse, so it takes no disk space.
    const QString huge = temp.filePath(QStringLiteral("huge.json"));
    {
        QFile file(huge);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(BackupFile::maxFileSize + 1));
    }
    read = readBackup(huge);
    QVERIFY(!read);
    QCOMPARE(read.error().fileError()->kind(), BackupFileError::Kind::tooLarge);
    QCOMPARE(read.error().description(),
        QStringLiteral(
            "The file “huge.json” couldn't be opened because it is larger than 512 MB, too large for a backup."));

    // Saving writes the file in full or not at all, readable by its owner alone
    // whatever the umask and whatever the mode of the file it replaces.
    const QString path = temp.filePath(QStringLiteral("Applywright-2025-03-07.json"));
    const BackupFile file(encodeBackup(goldenContents()).value());
    const auto mode = [&path] {
        struct stat status { };
        ::stat(QFile::encodeName(path).constData(), &status);
        return status.st_mode & 0777;
    };
    for (const mode_t umask : {mode_t(000), mode_t(077)}) {
        QVERIFY(writeAll(path, "{}"));
        QVERIFY(::chmod(QFile::encodeName(path).constData(), 0644) == 0);
        const mode_t previous = ::umask(umask);
        const std::optional<BackupMessage> saved = saveExportedBackup(file, path);
        ::umask(previous);
        QVERIFY(!saved);
        QCOMPARE(readAll(path), file.data());
        QCOMPARE(mode(), mode_t(0600));
    }
    QVERIFY(QFile::remove(path));
    QVERIFY(!saveExportedBackup(file, path));
    QCOMPARE(mode(), mode_t(0600));

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
    QCOMPARE(QDir(temp.path()).entryList(QDir::Files), QStringList({"Applywright-2025-03-07.json", "huge.json"}));
}

void BackupTest::recordToBackup()
{
    auto record = plainRecord(QStringLiteral("A"), utc(2025, 1, 1));
    record->setStatusRaw(QStringLiteral("paused"));
    // Appended out of date order, the last two at the same moment.
    const auto add = [&record](std::optional<QString> from, const char* to, const QDateTime& date) {
        record->appendHistory(std::make_unique<StatusChange>(std::move(from), QString::fromLatin1(to), date));
    };
    add(QStringLiteral("limbo"), "archived", utc(2025, 3, 5));
    add(QStringLiteral("offer"), "rejected", utc(2025, 3, 5));
    add(std::nullopt, "applied", utc(2025, 1, 1));
    add(QStringLiteral("applied"), "offer", utc(2025, 2, 1));

    const ApplicationBackup backup = makeApplicationBackup(*record);
    QCOMPARE(std::optional(backup.id), record->uuid());
    QCOMPARE(backup.status, QStringLiteral("paused")); // raw texts as stored
    // Earliest first; statuses outside the vocabulary leave as none (from) or applied (to).
    QStringList history;
    for (const StatusChangeBackup& change : backup.history)
        history << change.from.value_or(QStringLiteral("-")) + QStringLiteral(" > ") + change.to;
    QCOMPARE(history, QStringList({"- > applied", "applied > offer", "- > applied", "offer > rejected"}));
    QCOMPARE(backup.history.at(2).date, utc(2025, 3, 5));
    QCOMPARE(historyOf(*record).first(), QStringLiteral("limbo > archived")); // the record is left as it was
}

void BackupTest::backupToRecord()
{
    ApplicationBackup backup = goldenContents().applications.at(0);
    backup.rejectionReason = QStringLiteral("ghosted");
    backup.history.append({QStringLiteral("limbo"), QStringLiteral("archived"), utc(2024, 1, 1)});
    const auto record = restoreApplication(backup);
    QCOMPARE(record->rejectionReasonRaw(), std::optional(QStringLiteral("ghosted"))); // as in the file
    QCOMPARE(record->createdAt(), backup.createdAt); // not the moment of the import
    // In file order; unknown statuses become no previous status and applied.
    QCOMPARE(historyOf(*record),
        QStringList({"- > applied", "applied > techInterview", "techInterview > rejected", "- > applied"}));
}

void BackupTest::mergeSkipsOnlyStoredIdentifiers_data()
{
    QTest::addColumn<QStringList>("stored"); // identifiers of the records in the store, "" for none
    QTest::addColumn<QStringList>("file"); // identifiers of the file's entries
    QTest::addColumn<Counts>("expected");

    const QString a = QStringLiteral("AAAAAAAA-0000-4000-8000-000000000001");
    const QString b = QStringLiteral("BBBBBBBB-0000-4000-8000-000000000002");
    const QString nil = QStringLiteral("00000000-0000-0000-0000-000000000000");
    QTest::newRow("stored identifier, other letter case")
        << QStringList {a} << QStringList {a.toLower(), b} << Counts(1, 1);
    QTest::newRow("record without identifier") << QStringList {QString()} << QStringList {nil, b} << Counts(2, 0);
    QTest::newRow("same new identifier twice") << QStringList {a} << QStringList {b, b} << Counts(2, 0);
    QTest::newRow("empty file") << QStringList {a} << QStringList {} << Counts(0, 0);
}

void BackupTest::mergeSkipsOnlyStoredIdentifiers()
{
    QFETCH(QStringList, stored);
    QFETCH(QStringList, file);
    QFETCH(Counts, expected);

    TempStore temp;
    QVERIFY(temp.isReady());
    Store& store = *temp;
    for (const QString& id : stored) {
        auto record = plainRecord(QStringLiteral("Stored"), utc(2025, 1, 1));
        record->setUuid(id.isEmpty() ? std::nullopt : std::optional(QUuid::fromString(id)));
        store.insert(std::move(record));
    }
    QVERIFY(store.save());
    QList<ApplicationBackup> entries;
    for (const QString& id : file)
        entries << entry(qPrintable(id), QStringLiteral("From file %1").arg(entries.size()));

    QSignalSpy saved(&store, &Store::saved);
    QCOMPARE(mergeBackup(contentsOf(entries), store).value(), expected);
    QCOMPARE(saved.count(), expected.first > 0 ? 1 : 0);
    QVERIFY(!store.hasChanges());
    QCOMPARE(store.count(), stored.size() + expected.first);
    QStringList companies;
    for (const JobApplication* application : store.applications())
        companies << application->companyName();
    for (qsizetype i = 0; i < file.size(); ++i) {
        const bool skipped = stored.contains(file.at(i), Qt::CaseInsensitive);
        QCOMPARE(companies.contains(QStringLiteral("From file %1").arg(i)), !skipped);
    }
    // The merge hands out no identifiers of its own.
    const auto& all = store.applications();
    QCOMPARE(std::count_if(all.begin(), all.end(), [](auto* a) { return !a->uuid(); }), stored.count(QString()));
}

void BackupTest::saveFailures()
{
    TempStore temp;
    QVERIFY(temp.isReady());
    Store& store = *temp;
    store.setAutosaveDelay(-1);
    DatabaseLock lock(store.databasePath());
    QVERIFY(lock.isLocked());

    // A merge whose save fails reports it and keeps what it inserted.
    const auto merged = mergeBackup(goldenContents(), store);
    QVERIFY(!merged);
    QVERIFY(!merged.error().description().isEmpty());
    QCOMPARE(store.count(), 3);
    QVERIFY(store.hasChanges());
    const QByteArray one = encodeBackup(contentsOf({entry("EEEEEEEE-0000-4000-8000-000000000005")})).value();
    QCOMPARE(importBackup(temp.file("one.json", one), store).text(), merged.error().description());
    QCOMPARE(store.count(), 4);

    // An export logs its failed saves, before the records are mapped and after, and goes on.
    const QRegularExpression logLine(QStringLiteral("^Kaydedilemedi: .+"));
    QTest::ignoreMessage(QtWarningMsg, logLine);
    QTest::ignoreMessage(QtWarningMsg, logLine);
    const auto exported = exportBackup(store);
    QVERIFY(exported);
    DECODE_OR_FAIL(contents, exported->data());
    QCOMPARE(contents.applications.size(), 4);
    QVERIFY(store.hasChanges());
}

void BackupTest::importThenExport()
{
    FixedClock clock(utc(2030, 1, 1, 8, 0, 0, 250));
    TempStore temp;
    QVERIFY(temp.isReady());
    // The golden applications, the all-zero identifier among them.
    const BackupFileContents source = goldenContents();
    const QString path = temp.file("source.json", encodeBackup(source).value());
    QCOMPARE(importBackup(path, *temp).text(), QStringLiteral("Imported 3 applications, skipped 0 already present."));

    // Every field, the identifiers, the file's moments and unknown raw texts reach the
    // disk and come back out as they were, latest application first. A record that
    // had no identifier is given one, and it is saved.
    temp.reopen();
    QVERIFY(temp.isReady());
    Store& store = *temp;
    auto anonymous = plainRecord(QStringLiteral("New"), utc(2025, 1, 1));
    anonymous->setUuid(std::nullopt);
    JobApplication* added = store.insert(std::move(anonymous));
    const auto exported = exportBackup(store);
    QVERIFY(exported);
    QVERIFY(!store.hasChanges());
    QVERIFY(added->uuid());
    DECODE_OR_FAIL(contents, exported->data());
    QCOMPARE(contents.formatVersion, qint64(1));
    QCOMPARE(contents.exportedAt, utc(2030, 1, 1, 8, 0, 0, 250));
    QCOMPARE(contents.applications.size(), 4);
    QCOMPARE(contents.applications.at(1).id, *added->uuid()); // second by date
    const auto& all = contents.applications;
    QVERIFY(QList<ApplicationBackup>({all.at(0), all.at(2), all.at(3)}) == source.applications);

    // Importing what is already there inserts nothing and saves nothing: an edit the
    // user has not saved yet stays unsaved.
    store.setAutosaveDelay(-1);
    added->setNotes(QStringLiteral("typed, not saved"));
    QSignalSpy saved(&store, &Store::saved);
    QSignalSpy inserted(&store, &Store::applicationInserted);
    const QString again = temp.file("export.json", exported->data());
    QCOMPARE(importBackup(again, store).text(), QStringLiteral("Imported 0 applications, skipped 4 already present."));
    QCOMPARE(saved.count(), 0);
    QCOMPARE(inserted.count(), 0);
    QVERIFY(store.hasChanges());
}

void BackupTest::importMessages()
{
    TempStore temp;
    QVERIFY(temp.isReady());
    Store& store = *temp;
    QSignalSpy inserted(&store, &Store::applicationInserted);
    const auto import
        = [&](const char* name, const QByteArray& data) { return importBackup(temp.file(name, data), store).text(); };
    // The first application is fine, the second is broken: nothing of the file goes in.
    const QByteArray broken
        = validApplication().set("id", "\"1F8FAD5B-D9CB-469F-A165-70867728950E\"").set("offeredSalary", "\"5\"").text();
    QCOMPARE(import("half.json", validRoot("[" + validApplication().text() + "," + broken + "]").text()), corruptText);
    QCOMPARE(inserted.count(), 0);
    QVERIFY(!store.hasChanges());

    const BackupMessage first = importBackup(temp.file("one.json", validRoot().text()), store);
    QCOMPARE(first.text(), QStringLiteral("Imported 1 applications, skipped 0 already present."));
    // Plain digits, whatever the locale.
    QCOMPARE(importSummary(10000, 123456789012),
        QStringLiteral("Imported 10000 applications, skipped 123456789012 already present."));
    const BackupMessage second = importBackup(temp.file("one.json", validRoot().text()), store);
    QCOMPARE(second.text(), QStringLiteral("Imported 0 applications, skipped 1 already present."));
    QVERIFY(first.id() != second.id());
}

QTEST_GUILESS_MAIN(BackupTest)
#include "tst_backup.moc"
