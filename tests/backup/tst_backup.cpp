#include "TestSupport.h"

#include "backup/BackupDocument.h"
#include "backup/BackupFile.h"
#include "backup/BackupTransfer.h"
#include "model/ApplicationEdits.h"
#include "model/JobApplication.h"
#include "store/Store.h"
#include "store/StoreLoader.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <functional>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace TestSupport;
using namespace Qt::StringLiterals;

using Counts = std::pair<qint64, qint64>; // inserted, skipped

Q_DECLARE_METATYPE(BackupFileContents)

namespace {

const QString corruptText = u"The file couldn't be read because it isn't in the correct format."_s;
const QString notABackupText = u"This file is not an Applywright backup."_s;
const QString newerFormatText = u"This backup was made by a newer version of Applywright."_s;
const QString cannotWriteText = u"The data couldn't be written because it isn't in the correct format."_s;

Decimal decimal(const char* text)
{
    return Decimal::parse(std::string_view(text)).value();
}

// What went wrong, for the failure message of a test.
QString details(const BackupReadError& error)
{
    const BackupDecodingError* decoding = error.decodingError();
    return decoding ? decoding->codingPath() + u": "_s + decoding->debugDescription() : error.description();
}

// Decodes `bytes` into `name`; a document that does not read fails the test here.
#define DECODE_OR_FAIL(name, bytes)                                                                                    \
    const auto name##Result = decodeBackup(bytes);                                                                     \
    QVERIFY2(name##Result, name##Result ? "" : qPrintable(details(name##Result.error())));                             \
    const BackupFileContents& name = *name##Result

BackupFileContents contentsOf(QList<ApplicationBackup> applications, const QDateTime& exportedAt = utc(2025, 3, 7))
{
    return {.format = u"Applywright Backup"_s,
        .formatVersion = 1,
        .exportedAt = exportedAt,
        .applications = std::move(applications)};
}

// An application with nothing but what every record has.
ApplicationBackup entry(const char* id, const QString& company = "Acme", const QDateTime& day = utc(2025, 3, 1))
{
    ApplicationBackup backup;
    backup.uuid = QUuid::fromString(QLatin1StringView(id));
    backup.companyName = company;
    backup.workModelRaw = u"remote"_s;
    backup.statusRaw = u"applied"_s;
    backup.currencyRaw = u"TRY"_s;
    backup.applicationDate = backup.statusChangedAt = backup.createdAt = backup.updatedAt = day;
    return backup;
}

// The document checked in as tests/data/backup/golden.json: one application with every field set (text that needs
// escaping, non-Latin letters, both amounts), one with nothing optional and unknown raw texts, one at the edges of the
// date range.
BackupFileContents goldenContents()
{
    ApplicationBackup full;
    full.uuid = QUuid(u"0f8fad5b-d9cb-469f-a165-70867728950e"_s);
    full.companyName = "Çiçek Yazılım A.Ş.";
    full.position = "Senior \"Qt\" Engineer\\Lead";
    full.postingLink = "https://jobs.example.com/ilan/42?ref=a&b=c";
    full.workModelRaw = "hybrid";
    full.statusRaw = "rejected";
    full.applicationDate = utc(2025, 1, 15, 9, 30);
    full.statusChangedAt = utc(2025, 2, 20, 16, 45, 30, 5);
    full.closedAt = full.statusChangedAt;
    full.followUpDate = utc(2025, 1, 29, 7, 0, 0, 999);
    full.rejectedByEmail = true;
    full.rejectionReasonRaw = "salaryMismatch";
    full.rejectionNote = "Line one\nLine two\twith a tab and \x01";
    full.hrContactName = "Ayşe Öztürk";
    full.hrContactEmail = "ayse@example.com";
    full.techInterviewerName = "Li Wei 李伟";
    full.techInterviewerRole = "Staff engineer 🚀";
    full.expectedSalary = decimal("123456789012345678901234567890.123456789");
    full.offeredSalary = decimal("12.50075");
    full.currencyRaw = "EUR";
    full.notes = u"İstanbul / İzmir"_s;
    full.isFavorite = true;
    full.createdAt = utc(2025, 1, 15, 9, 31, 2, 250);
    full.updatedAt = utc(2025, 2, 20, 16, 45, 30, 5);
    full.history
        = {{std::nullopt, "applied", utc(2025, 1, 15, 9, 30)}, {"applied", "techInterview", utc(2025, 2, 1, 10, 0)},
            {"techInterview", "rejected", utc(2025, 2, 20, 16, 45, 30, 5)}};
    ApplicationBackup bare = entry("9B2E1D3C-0000-4ABC-8DEF-00000000000A", QString(), utc(2025, 1, 1, 0, 0));
    bare.workModelRaw = u"moon"_s;
    bare.statusRaw = u"paused"_s;
    bare.currencyRaw = u"XYZ"_s;
    bare.applicationDate = bare.statusChangedAt = utc(2024, 12, 31, 23, 59, 59);
    ApplicationBackup edges = entry("00000000-0000-0000-0000-000000000000", u"Edge"_s);
    edges.workModelRaw = u"onSite"_s;
    edges.statusRaw = u"offer"_s;
    edges.applicationDate = utc(1969, 12, 31, 23, 59, 59, 999);
    edges.statusChangedAt = utc(1, 1, 1, 0, 0);
    edges.closedAt = utc(9999, 12, 31, 23, 59, 59, 999);
    edges.expectedSalary = decimal("0");
    edges.offeredSalary = decimal("50000");
    edges.createdAt = utc(2000, 2, 29, 12, 0, 0, 1);
    edges.updatedAt = utc(2000, 2, 29, 12, 0, 0, 10);
    edges.history = {{std::nullopt, u"offer"_s, edges.applicationDate}};
    return contentsOf({full, bare, edges}, utc(2025, 3, 7, 14, 5, 9, 120));
}

// A JSON object written member by member, so tests can drop, replace or add one.
struct JsonObject {
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
    // The object as the only member of a JSON array.
    QByteArray list() const { return '[' + text() + ']'; }
    QList<std::pair<QByteArray, QByteArray>> m_members;
};

// The JSON form of validContents(), made to be varied.
JsonObject validChange()
{
    return JsonObject().set("date", "\"2025-03-01T12:00:00.000Z\"").set("to", "\"applied\"");
}

JsonObject validApplication(const QByteArray& history = validChange().list())
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

JsonObject validRoot(const QByteArray& applications = validApplication().list())
{
    return JsonObject()
        .set("applications", applications)
        .set("exportedAt", "\"2025-03-07T12:00:00.000Z\"")
        .set("format", "\"Applywright Backup\"")
        .set("formatVersion", "1");
}

QByteArray withApplication(const JsonObject& application)
{
    return validRoot(application.list()).text();
}

BackupFileContents validContents()
{
    ApplicationBackup application = entry("0F8FAD5B-D9CB-469F-A165-70867728950E");
    application.history = {{std::nullopt, "applied", utc(2025, 3, 1)}};
    return contentsOf({application});
}

ApplicationValues plainValues(const QString& company, const QDateTime& applied = utc(2025, 1, 1))
{
    return JobApplication::initialValues(
        company, u"Engineer"_s, QString(), WorkModel::remote, ApplicationStatus::applied, applied);
}

// A record without an identifier, or with the given one.
std::unique_ptr<JobApplication> plainRecord(const QString& company, const QString& id)
{
    ApplicationValues values = plainValues(company);
    values.uuid = id.isEmpty() ? std::nullopt : std::optional(QUuid::fromString(id));
    return ApplicationBuilder(std::move(values)).build();
}

QStringList historyOf(const JobApplication& record)
{
    QStringList out;
    for (const StatusChange* change : record.history())
        out << change->fromRaw().value_or(u"-"_s) + u" > "_s + change->toRaw();
    return out;
}

// A fresh store in a folder of its own.
struct TempStore {
    Store& operator*() const { return *loader.store(); }
    // Closes the store and opens it again, so what counts is what reached the disk.
    void reopen()
    {
        loader = StoreLoader::failed(QString());
        loader = openStore(dir.path());
    }
    // A file in the store's folder that holds `data`.
    QString file(const char* name, const QByteArray& data) const
    {
        const QString path = dir.filePath(QString::fromLatin1(name));
        return writeFile(path, data) ? path : QString();
    }
    // Imports `data`, written to a file of the store's folder, and returns the message shown.
    QString import(const QByteArray& data, const char* name = "import.json")
    {
        return importBackup(file(name, data), **this).text();
    }
    QTemporaryDir dir;
    StoreLoader loader = openStore(dir.path());
};

} // namespace

class BackupTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { useTimeZone("Europe/Istanbul"); }

    void goldenDocument()
    {
        const QByteArray golden = readFile(QStringLiteral(APPLYWRIGHT_TEST_DATA_DIR "/backup/golden.json"));
        const QByteArray encoded = encodeBackup(goldenContents()).value();
        // The file fixes the whole form: keys sorted in every object, optional values without a value left out (never
        // null), dates, identifiers, amounts, escapes.
        const QString actual = QDir::temp().filePath(u"applywright-golden-actual.json"_s);
        if (encoded != golden)
            writeFile(actual, encoded);
        QVERIFY2(encoded == golden, qPrintable(u"the encoder wrote something else: see "_s + actual));
        // Read from a view into a larger buffer, which is neither read past nor written to.
        const QByteArray buffer = golden + "garbage";
        DECODE_OR_FAIL(decoded, QByteArray::fromRawData(buffer.constData(), golden.size()));
        QCOMPARE(decoded, goldenContents());
        QCOMPARE(buffer, golden + "garbage");
    }

    void acceptedDocuments_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<BackupFileContents>("expected");
        const BackupFileContents contents = validContents();
        const auto row = [](const char* name, const QByteArray& json, const BackupFileContents& expected) {
            QTest::newRow(name) << json << expected;
        };
        const auto changed = [&contents](auto change) {
            BackupFileContents copy = contents;
            change(copy.applications[0]);
            return copy;
        };
        const auto app = [](const char* key, const QByteArray& value) { return validApplication().set(key, value); };
        row("plain", validRoot().text(), contents);
        row("byte-order mark", "\xEF\xBB\xBF" + validRoot().text(), contents);
        JsonObject nulls = validApplication(validChange().set("from", "null").list());
        for (const char* key : {"closedAt", "followUpDate", "rejectionReason", "expectedSalary", "offeredSalary"})
            nulls.set(key, "null");
        row("optional values as null", withApplication(nulls), contents);
        JsonObject extra = validApplication(validChange().set("note", R"({"a":[1,{"b":null}]})").list());
        JsonObject root = validRoot(extra.set("tags", R"(["x",[[[]]],{}])").list()).set("rating", "4.5");
        row("unknown keys at every level", root.set("generator", R"({"v":[2,0]})").text(), contents);
        row("keys in another order",
            R"({"formatVersion":1,"format":"Applywright Backup","exportedAt":"2025-03-07T12:00:00.000Z","applications":)"
                + validApplication().list() + '}',
            contents);
        row("identifier in mixed case", withApplication(app("id", "\"0f8FAD5b-d9cb-469F-A165-70867728950e\"")),
            contents);
        // A byte-order mark opening a text is a character of it, escaped or not.
        row("texts starting with a byte-order mark",
            withApplication(
                app("companyName", R"("\ufeffAcme")").set("position", "\"\uFEFFEngineer\"")), // escaped, then raw
            changed([](ApplicationBackup& a) {
                a.companyName = QChar(0xFEFF) + u"Acme"_s;
                a.position = QChar(0xFEFF) + u"Engineer"_s;
            }));
        row("empty applications", validRoot("[]").text(), contentsOf({}));
        row("escapes, repeated key",
            withApplication(
                app("companyName", R"("A\/B \u00c7 \ud83d\ude80")").set("notes", R"("first","notes":"second")")),
            changed([](ApplicationBackup& a) {
                a.companyName = u"A/B Ç 🚀"_s;
                a.notes = u"second"_s;
            }));
        // Long enough to be read in pieces, with characters of two, three and four bytes falling across the pieces'
        // edges.
        const QString longNote = QChar(0xFEFF) + u"ışık ğ € 🚀 "_s.repeated(300'000);
        row("a note of several megabytes", withApplication(app("notes", '"' + longNote.toUtf8() + '"')),
            changed([&longNote](ApplicationBackup& a) { a.notes = longNote; }));
    }

    void acceptedDocuments()
    {
        QFETCH(QByteArray, json);
        QFETCH(BackupFileContents, expected);
        DECODE_OR_FAIL(decoded, json);
        QCOMPARE(decoded, expected);
    }

    void writerEdgeCases()
    {
        const auto encodedWith = [](const std::function<void(ApplicationBackup&)>& change) {
            BackupFileContents contents = validContents();
            change(contents.applications[0]);
            return encodeBackup(contents);
        };
        // Amounts are written in full and read back exactly, whatever the locale's decimal separator.
        for (const QString& amount : {u"123456789012345678901234567890.123456789"_s, u"0.1"_s}) {
            QLocale::setDefault(QLocale(QLocale::Turkish, QLocale::Turkey));
            const QByteArray text
                = encodedWith([&](auto& a) { a.expectedSalary = Decimal::parse(QStringView(amount)).value(); }).value();
            QLocale::setDefault(QLocale::c());
            QVERIFY2(text.contains(QByteArray("\"expectedSalary\": " + amount.toLatin1() + ",\n")), text.constData());
            DECODE_OR_FAIL(decoded, text);
            QCOMPARE(decoded.applications.at(0).expectedSalary->toString(), amount);
        }
        // Moments outside the written form fail to encode.
        for (const QDateTime& moment : {utc(10000, 1, 1, 0, 0), utc(-1, 12, 31, 23, 59), QDateTime()}) {
            const auto encoded = encodedWith([&moment](auto& a) { a.updatedAt = moment; });
            QVERIFY2(!encoded, qPrintable(moment.toString(Qt::ISODate)));
            QCOMPARE(encoded.error().description(), cannotWriteText);
            QVERIFY(encoded.error().debugDescription().startsWith(u"updatedAt"_s));
        }
        // Every character below 0x20, also far into a long string, leaves the writer escaped.
        QString text = QString(70, u'x');
        for (char16_t c = 0; c < 0x20; ++c)
            text += QChar(c) + QString(17, u'y');
        const QByteArray encoded = encodedWith([&text](auto& a) { a.notes = text; }).value();
        for (const char c : encoded)
            QVERIFY2(c == '\n' || static_cast<unsigned char>(c) >= 0x20, qPrintable(QString::number(int(c), 16)));
        DECODE_OR_FAIL(read, encoded);
        QCOMPARE(read.applications.at(0).notes, text);
    }

    void dateReader_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDateTime>("expected"); // invalid: refused
        // The writer's form, written for moments in other zones too.
        QTest::newRow("local time, UTC+3") << "2025-03-07T14:05:09.120Z" << local(2025, 3, 7, 17, 5, 9).addMSecs(120);
        QTest::newRow("offset, across midnight")
            << "2025-03-07T23:30:00.000Z" << QDateTime(QDate(2025, 3, 8), QTime(1, 30), Qt::OffsetFromUTC, 2 * 3600);
        QTest::newRow("without fraction") << "2025-03-07T14:05:09Z" << utc(2025, 3, 7, 14, 5, 9);
        QTest::newRow("six fraction digits, cut to ms")
            << "2025-03-07T14:05:09.123999Z" << utc(2025, 3, 7, 14, 5, 9, 123);
        for (const char* refused : {"2025-03-07", "2025-03-07T14:05:09.120", "2025-03-07T14:05:09.Z",
                 "2025-03-07T14:05:09.1234567890Z", "2025-02-29T00:00:00Z", "2025-13-01T00:00:00Z",
                 "2025-03-07T23:59:60Z", "0000-01-01T00:00:00Z", "2025-+3-07T14:05:09Z"})
            QTest::newRow(refused) << QString::fromLatin1(refused) << QDateTime();
    }

    void dateReader()
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

    void structuralFailures_data()
    {
        using K = BackupDecodingError::Kind;
        constexpr K corrupted = K::dataCorrupted;
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("path"); // "@" stands for the first application
        QTest::addColumn<QString>("debug"); // a part of the diagnostic text
        const auto row
            = [](const QByteArray& name, const QByteArray& json, K kind, const char* path, const char* debug) {
                  QTest::newRow(name.constData())
                      << json << int(kind) << QString::fromUtf8(path).replace(u'@', u"applications[0]"_s)
                      << QString::fromUtf8(debug);
              };
        const auto app = [](const QByteArray& key, const QByteArray& value) {
            return withApplication(validApplication().set(key, value));
        };
        const auto root
            = [](const QByteArray& key, const QByteArray& value) { return validRoot().set(key, value).text(); };
        const QByteArray valid = validRoot().text();
        const auto corrupt = [&row](const QByteArray& name, const QByteArray& json) {
            row(name, json, corrupted, "", "not valid JSON");
        };
        // Missing keys, null in a required key, a value of the wrong JSON type.
        for (const char* key : {"applications", "exportedAt", "format", "formatVersion"})
            row(QByteArray("missing ") + key, validRoot().remove(key).text(), K::keyNotFound, "", key);
        // In the second application, so the path counts the applications.
        for (const char* key : {"id", "history", "isFavorite", "createdAt", "workModel"})
            row(QByteArray("missing ") + key,
                validRoot('[' + validApplication().text() + ',' + validApplication().remove(key).text() + ']').text(),
                K::keyNotFound, "applications[1]", key);
        row("missing to", withApplication(validApplication(validChange().remove("to").list())), K::keyNotFound,
            "@.history[0]", "to");
        row("null root", "null", K::valueNotFound, "", "null");
        row("null application", validRoot("[null]").text(), K::valueNotFound, "@", "null");
        row("string amount", app("expectedSalary", "\"12\""), K::typeMismatch, "@.expectedSalary", "string");
        row("string for a bool", app("isFavorite", "\"true\""), K::typeMismatch, "@.isFavorite", "a string");
        row("object for applications", validRoot("{}").text(), K::typeMismatch, "applications", "a dictionary");
        // Values that cannot be what their key needs.
        row("bad date", app("applicationDate", "\"2025-03-07\""), corrupted, "@.applicationDate",
            "Tarih çözümlenemedi: 2025-03-07");
        // The diagnostic shows the start of a value, not a copy of all of it.
        row("date of a million characters", app("applicationDate", '"' + QByteArray(1'000'000, '9') + '"'), corrupted,
            "@.applicationDate", "Tarih çözümlenemedi: 9999999999");
        row("bad identifier", app("id", "\"{0F8FAD5B-D9CB-469F-A165-70867728950E}\""), corrupted, "@.id", "UUID");
        row("version 1.0", root("formatVersion", "1.0"), corrupted, "formatVersion", "Int");
        row("version beyond 64 bits", root("formatVersion", "9223372036854775808"), corrupted, "formatVersion", "Int");
        row("amount 1e301", app("expectedSalary", "1e301"), corrupted, "@.expectedSalary", "amount");
        for (const char* escape : {"\\udc00", "\\uDC00", "\\udC00"})
            row(QByteArray("lone low surrogate ") + escape, app("companyName", QByteArray("\"a") + escape + "b\""),
                corrupted, "@.companyName", "surrogate");
        // The notes are kept as UTF-8 and checked on their own path.
        row("lone low surrogate in the notes", app("notes", "\"a\\udc00b\""), corrupted, "@.notes", "surrogate");
        // Not JSON at all.
        corrupt("amount 1e999999", app("expectedSalary", "1e999999"));
        corrupt("10000-digit amount", app("expectedSalary", QByteArray(10000, '7')));
        corrupt("lone high surrogate", app("companyName", "\"a\\ud800b\""));
        corrupt("empty", "");
        corrupt("truncated", valid.chopped(40));
        corrupt("trailing garbage", valid + "x");
        corrupt("NUL after the document", valid + QByteArray(1, '\0') + "x");
        corrupt("invalid UTF-8", app("companyName", "\"Acme \xC3\x28\""));
        corrupt("invalid UTF-8, unknown key", root("extra", "[\"\xFE\"]"));
        // Raw control characters, also far into a long string, where a parser may scan 16 bytes at a time.
        corrupt("raw tab", app("notes", "\"a\tb\""));
        for (const char* control : {"\x01", "\x1a", "\x1f"})
            corrupt("raw 0x" + QByteArray(control).toHex(),
                app("notes", '"' + QByteArray(61, 'n') + control + QByteArray(40, 'n') + '"'));
        // Nesting far beyond any backup.
        constexpr int deep = 100000;
        const QByteArray arrays = QByteArray(deep, '[') + QByteArray(deep, ']');
        const QByteArray objects = QByteArray("{\"a\":").repeated(deep) + "1" + QByteArray(deep, '}');
        row("deep arrays", arrays, K::typeMismatch, "", "found an array");
        row("deep arrays, unknown key", root("extra", arrays), corrupted, "", "nested too deeply");
        row("deep objects, unknown key", app("extra", objects), corrupted, "@", "nested too deeply");
    }

    void structuralFailures()
    {
        QFETCH(QByteArray, json);
        QFETCH(int, kind);
        QFETCH(QString, path);
        QFETCH(QString, debug);
        const auto decoded = decodeBackup(json);
        QVERIFY(!decoded);
        QCOMPARE(decoded.error().description(), corruptText);
        const BackupDecodingError* error = decoded.error().decodingError();
        QVERIFY(error);
        const QString diagnostic = error->debugDescription();
        QVERIFY2(diagnostic.contains(debug), qPrintable(diagnostic.left(200)));
        // However long the value, the diagnostic stays a line.
        QVERIFY2(diagnostic.size() < 200, qPrintable(diagnostic.left(200)));
        QCOMPARE(int(error->kind()), kind);
        QCOMPARE(error->codingPath(), path);
    }

    void markerAndVersion_data()
    {
        QTest::addColumn<QByteArray>("format");
        QTest::addColumn<QByteArray>("version");
        QTest::addColumn<QString>("outcome"); // the version read, or the kind of refusal and its message
        const auto row = [](const char* name, const char* format, const char* version, const QString& outcome) {
            QTest::newRow(name) << QByteArray(format) << QByteArray(version) << outcome;
        };
        const char* marker = "Applywright Backup";
        row("version 0", marker, "0", u"read 0"_s);
        row("version -1", marker, "-1", u"read -1"_s);
        row("version 2", marker, "2", u"newer 2: "_s + newerFormatText);
        row("largest version", marker, "9223372036854775807", u"newer 9223372036854775807: "_s + newerFormatText);
        // The marker is checked first, whatever the version.
        row("marker case, version 99", "applywright backup", "99", u"not a backup: "_s + notABackupText);
        row("leading space, version 2", " Applywright Backup", "2", u"not a backup: "_s + notABackupText);
    }

    void markerAndVersion()
    {
        QFETCH(QByteArray, format);
        QFETCH(QByteArray, version);
        QFETCH(QString, outcome);
        const auto decoded
            = decodeBackup(validRoot().set("format", '"' + format + '"').set("formatVersion", version).text());
        const BackupError* error = decoded ? nullptr : decoded.error().backupError();
        if (decoded || !error)
            QCOMPARE(decoded ? u"read %1"_s.arg(decoded->formatVersion) : details(decoded.error()), outcome);
        else if (error->kind() == BackupError::Kind::newerFormat)
            QCOMPARE(u"newer %1: %2"_s.arg(error->version()).arg(error->description()), outcome);
        else
            QCOMPARE(u"not a backup: "_s + error->description(), outcome);
    }

    void defaultFilenameUsesTheUtcDate()
    {
        const auto restore = qScopeGuard([] { useTimeZone("Europe/Istanbul"); });
        useTimeZone("EET-2"); // two hours east of UTC
        QCOMPARE(defaultBackupFilename(local(2025, 3, 8, 1, 30)), u"Applywright-2025-03-07.json"_s);
        QCOMPARE(defaultBackupFilename(local(2025, 3, 8, 2, 30)), u"Applywright-2025-03-08.json"_s);
        useTimeZone("America/New_York");
        QCOMPARE(defaultBackupFilename(local(2025, 3, 7, 20, 30)), u"Applywright-2025-03-08.json"_s);
    }

    void files()
    {
        QTemporaryDir temp;
        // The message of a refusal to read `name` for the reason `kind`.
        const auto refused = [&temp](const char* name, BackupFileError::Kind kind) {
            const auto read = readBackup(temp.filePath(QString::fromUtf8(name)));
            const BackupFileError* error = read ? nullptr : read.error().fileError();
            return error && error->kind() == kind ? error->description() : u"<not refused for that reason>"_s;
        };
        const QString cannotOpen = u"The file “missing.json” couldn't be opened. "_s;
        const QString missing = refused("missing.json", BackupFileError::Kind::cannotOpen);
        QVERIFY2(missing.startsWith(cannotOpen) && missing.size() > cannotOpen.size(), qPrintable(missing));
        // Opening a pipe for reading would wait for a writer, for ever: it is refused before it is opened (the file
        // dialogs let a pipe through).
        QCOMPARE(::mkfifo(QFile::encodeName(temp.filePath(u"pipe.json"_s)).constData(), 0600), 0);
        QVERIFY(!refused("pipe.json", BackupFileError::Kind::notARegularFile).startsWith(u'<'));
        QVERIFY(QFile::remove(temp.filePath(u"pipe.json"_s)));
        // Larger than any backup: refused. Sparse, so it takes no disk space.
        QFile huge(temp.filePath(u"huge.json"_s));
        QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(BackupFile::maxFileSize + 1));
        huge.close();
        QCOMPARE(refused("huge.json", BackupFileError::Kind::tooLarge),
            u"The file “huge.json” couldn't be opened because it is larger than 512 MB, too large for a backup."_s);
        // Saving writes the file in full or not at all, readable by its owner alone whatever the umask and whatever the
        // mode of the file it replaces.
        const QString path = temp.filePath(u"Applywright-2025-03-07.json"_s);
        const BackupFile file(encodeBackup(goldenContents()).value());
        for (const mode_t umask : {mode_t(000), mode_t(077), mode_t(000)}) {
            // A new file first, then files open to all replaced.
            if (QFile::exists(path))
                QVERIFY(writeFile(path, "{}") && ::chmod(QFile::encodeName(path).constData(), 0644) == 0);
            const mode_t previous = ::umask(umask);
            const std::optional<BackupMessage> saved = saveExportedBackup(file, path);
            ::umask(previous);
            QVERIFY(!saved);
            QCOMPARE(readFile(path), file.data());
            QCOMPARE(QFile::permissions(path) & 0x7077, QFile::ReadOwner | QFile::WriteOwner);
        }
        // An older backup stays as it was when the new one cannot be written in full: here the process may not write
        // files larger than 100 bytes.
        const QByteArray older = "{\"older\": true}";
        QVERIFY(writeFile(path, older));
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
        QVERIFY2(failure->text().startsWith(u"The file “Applywright-2025-03-07.json” couldn't be saved."_s),
            qPrintable(failure->text()));
        QCOMPARE(readFile(path), older);
        QCOMPARE(QDir(temp.path()).entryList(QDir::Files), QStringList({"Applywright-2025-03-07.json", "huge.json"}));
    }

    void recordsAndBackupsKeepRawTexts()
    {
        ApplicationValues paused = plainValues(u"A"_s);
        paused.statusRaw = u"paused"_s;
        ApplicationBuilder builder(std::move(paused));
        // Appended out of date order, the last two at the same moment.
        const auto add = [&builder](std::optional<QString> from, const char* to, const QDateTime& date) {
            builder.appendHistory(std::make_unique<StatusChange>(std::move(from), QString::fromLatin1(to), date));
        };
        add(u"limbo"_s, "archived", utc(2025, 3, 5));
        add(u"offer"_s, "rejected", utc(2025, 3, 5));
        add(std::nullopt, "applied", utc(2025, 1, 1));
        add(u"applied"_s, "offer", utc(2025, 2, 1));
        const auto record = builder.build();
        const ApplicationBackup backup = makeApplicationBackup(*record);
        QCOMPARE(backup.uuid, record->uuid());
        QCOMPARE(backup.statusRaw, u"paused"_s); // raw texts as stored
        // Earliest first; statuses outside the vocabulary leave as none (from) or applied (to).
        QStringList history;
        for (const StatusChangeBackup& change : backup.history)
            history << change.from.value_or(u"-"_s) + u" > "_s + change.to;
        QCOMPARE(history, QStringList({"- > applied", "applied > offer", "- > applied", "offer > rejected"}));
        QCOMPARE(backup.history.at(2).date, utc(2025, 3, 5));
        QCOMPARE(historyOf(*record).first(), u"limbo > archived"_s); // the record is left as it was

        // Back from a backup: raw texts as in the file, history in file order, unknown statuses as no previous status
        // and applied.
        ApplicationBackup full = goldenContents().applications.at(0);
        full.rejectionReasonRaw = u"ghosted"_s;
        full.history.append({u"limbo"_s, u"archived"_s, utc(2024, 1, 1)});
        const auto restored = restoreApplication(full);
        QCOMPARE(restored->rejectionReasonRaw(), std::optional(u"ghosted"_s));
        QCOMPARE(restored->createdAt(), full.createdAt); // not the moment of the import
        QCOMPARE(historyOf(*restored),
            QStringList({"- > applied", "applied > techInterview", "techInterview > rejected", "- > applied"}));
    }

    void mergeSkipsOnlyStoredIdentifiers_data()
    {
        QTest::addColumn<QStringList>("stored"); // identifiers of the records in the store, "" for none
        QTest::addColumn<QStringList>("file"); // identifiers of the file's entries
        QTest::addColumn<Counts>("expected");
        const QString a = u"AAAAAAAA-0000-4000-8000-000000000001"_s;
        const QString b = u"BBBBBBBB-0000-4000-8000-000000000002"_s;
        const QString nil = u"00000000-0000-0000-0000-000000000000"_s;
        QTest::newRow("stored identifier, other letter case")
            << QStringList {a} << QStringList {a.toLower(), b} << Counts(1, 1);
        QTest::newRow("record without identifier") << QStringList {QString()} << QStringList {nil, b} << Counts(2, 0);
        QTest::newRow("same new identifier twice") << QStringList {a} << QStringList {b, b} << Counts(2, 0);
    }

    void mergeSkipsOnlyStoredIdentifiers()
    {
        QFETCH(QStringList, stored);
        QFETCH(QStringList, file);
        QFETCH(Counts, expected);
        TempStore temp;
        QVERIFY(temp.loader.isReady());
        Store& store = *temp;
        for (const QString& id : stored)
            store.insert(plainRecord(u"Stored"_s, id));
        QVERIFY(store.save());
        QList<ApplicationBackup> entries;
        for (const QString& id : file)
            entries << entry(qPrintable(id), u"From file %1"_s.arg(entries.size()));
        QSignalSpy saved(&store, &Store::saved);
        QCOMPARE(mergeBackup(contentsOf(entries), store).value(), expected);
        QCOMPARE(saved.count(), expected.first > 0 ? 1 : 0);
        QVERIFY(!store.hasChanges());
        QCOMPARE(store.count(), stored.size() + expected.first);
        QStringList companies;
        for (const JobApplication* application : store.applications())
            companies << application->companyName();
        for (qsizetype i = 0; i < file.size(); ++i)
            QCOMPARE(companies.contains(u"From file %1"_s.arg(i)), !stored.contains(file.at(i), Qt::CaseInsensitive));
        // The merge hands out no identifiers of its own.
        const auto& all = store.applications();
        QCOMPARE(std::count_if(all.begin(), all.end(), [](auto* a) { return !a->uuid(); }), stored.count(QString()));
    }

    void saveFailures()
    {
        TempStore temp;
        QVERIFY(temp.loader.isReady());
        Store& store = *temp;
        store.setAutosaveDelay(-1);
        // A second connection holds the write lock, so the store's saves fail.
        sqlite3* lock = nullptr;
        const auto release = qScopeGuard([&lock] { sqlite3_close(lock); }); // rolls the lock back
        QCOMPARE(sqlite3_open(QFile::encodeName(store.databasePath()).constData(), &lock), SQLITE_OK);
        QCOMPARE(sqlite3_exec(lock, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
        // A merge whose save fails reports it and keeps what it inserted.
        const auto merged = mergeBackup(goldenContents(), store);
        QVERIFY(!merged);
        QVERIFY(!merged.error().description().isEmpty());
        QCOMPARE(store.count(), 3);
        QVERIFY(store.hasChanges());
        QCOMPARE(temp.import(encodeBackup(contentsOf({entry("EEEEEEEE-0000-4000-8000-000000000005")})).value()),
            merged.error().description());
        QCOMPARE(store.count(), 4);
        // An export logs its failed saves, before the records are mapped and after, and goes on.
        const QRegularExpression logLine(u"^Kaydedilemedi: .+"_s);
        QTest::ignoreMessage(QtWarningMsg, logLine);
        QTest::ignoreMessage(QtWarningMsg, logLine);
        const auto exported = exportBackup(store);
        QVERIFY(exported);
        DECODE_OR_FAIL(contents, exported->data());
        QCOMPARE(contents.applications.size(), 4);
        QVERIFY(store.hasChanges());
    }

    // A note as long as the whole file is held once on its way in: the record keeps its UTF-8 bytes, the file's pages
    // are given back as they are read, and the store writes the note in place instead of copying it into a row.
    void longNoteImportsWithinTwiceTheFile()
    {
        TempStore temp;
        QVERIFY(temp.loader.isReady());
        // Characters of one to four bytes, so pieces of a megabyte end inside characters.
        const QByteArray unit = u"note ışık € 🚀 "_s.toUtf8();
        const QByteArray note = unit.repeated((qsizetype(48) << 20) / unit.size());
        ApplicationBackup one = entry("EEEEEEEE-0000-4000-8000-000000000001");
        one.notes = u"NOTE"_s;
        const QByteArray document
            = encodeBackup(contentsOf({one})).value().replace("\"NOTE\"", QByteArray('"' + note + '"'));
        const QString path = temp.file("long.json", document);

        QVERIFY(resetPeakMemory());
        const qint64 before = residentMemory("VmRSS:");
        QVERIFY(importBackup(path, *temp).text().startsWith(u"Imported 1 "_s));
        const qint64 risen = residentMemory("VmHWM:") - before;
        // Held once: a second copy of the note at any moment (the file's bytes kept, the row SQLite builds) would
        // take the rise to twice the file.
        QVERIFY2(risen <= document.size() * 3 / 2,
            qPrintable(u"%1 MiB for a file of %2 MiB"_s.arg(risen >> 20).arg(document.size() >> 20)));

        temp.reopen();
        QVERIFY(temp.loader.isReady());
        QCOMPARE((*temp).count(), 1);
        QVERIFY((*temp).applications().first()->notes().utf8() == note);
    }

    void importThenExport()
    {
        FixedClock clock(utc(2030, 1, 1, 8, 0, 0, 250));
        TempStore temp;
        QVERIFY(temp.loader.isReady());
        // The golden applications, the all-zero identifier among them, and a note that opens with a byte-order mark (a
        // character of the note, not a signature).
        BackupFileContents source = goldenContents();
        source.applications[0].notes = QString(QChar(0xFEFF) + source.applications[0].notes.toString());
        QCOMPARE(temp.import(encodeBackup(source).value()), u"Imported 3 applications, skipped 0 already present."_s);
        // Every field, the identifiers, the file's moments and unknown raw texts reach the disk and come back out as
        // they were, latest application first. A record that had no identifier is given one, and it is saved.
        temp.reopen();
        QVERIFY(temp.loader.isReady());
        Store& store = *temp;
        JobApplication* added = store.insert(plainRecord(u"New"_s, QString()));
        const auto exported = exportBackup(store);
        QVERIFY(exported);
        QVERIFY(!store.hasChanges());
        QVERIFY(added->uuid());
        DECODE_OR_FAIL(contents, exported->data());
        QCOMPARE(contents.exportedAt, utc(2030, 1, 1, 8, 0, 0, 250));
        QCOMPARE(contents.applications.size(), 4);
        const auto& all = contents.applications;
        QCOMPARE(all.at(1).uuid, added->uuid()); // second by date
        QVERIFY(QList<ApplicationBackup>({all.at(0), all.at(2), all.at(3)}) == source.applications);
        // Importing what is already there inserts nothing and saves nothing: an edit the user has not saved yet stays
        // unsaved.
        store.setAutosaveDelay(-1);
        ApplicationEdits().edit<ApplicationField::notes>(*added, u"typed, not saved"_s);
        QSignalSpy saved(&store, &Store::saved);
        QSignalSpy inserted(&store, &Store::applicationInserted);
        const BackupMessage again = importBackup(temp.file("again.json", exported->data()), store);
        QCOMPARE(again.text(), u"Imported 0 applications, skipped 4 already present."_s);
        QCOMPARE(saved.count() + inserted.count(), 0);
        QVERIFY(store.hasChanges());
        // Each import's message is a new one, even with the same text; its counts are plain digits, whatever the
        // locale.
        QVERIFY(again.id() != importBackup(temp.file("again.json", exported->data()), store).id());
        QCOMPARE(importSummary(10000, 123456789012),
            u"Imported 10000 applications, skipped 123456789012 already present."_s);
        // The first application is fine, the second is broken: nothing of the file goes in.
        JsonObject fine = validApplication().set("id", "\"2F8FAD5B-D9CB-469F-A165-70867728950E\"");
        JsonObject broken
            = validApplication().set("id", "\"1F8FAD5B-D9CB-469F-A165-70867728950E\"").set("offeredSalary", "\"5\"");
        QCOMPARE(temp.import(validRoot('[' + fine.text() + ',' + broken.text() + ']').text()), corruptText);
        QCOMPARE(store.count(), 4);
    }
};

QTEST_GUILESS_MAIN(BackupTest)
#include "tst_backup.moc"
