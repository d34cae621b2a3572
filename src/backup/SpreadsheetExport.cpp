#include "backup/SpreadsheetExport.h"

#include "model/ApplicationFields.h"
#include "model/DayCount.h"
#include "model/JobApplication.h"

#include <QCoreApplication>

#include <algorithm>
#include <functional>
#include <optional>

namespace SpreadsheetExport {

namespace {

// A spreadsheet runs a cell that starts like a formula; text typed or read from a
// posting must stay text.
QString guarded(const QString& text)
{
    if (text.isEmpty())
        return text;
    switch (text.front().unicode()) {
    case u'=':
    case u'+':
    case u'-':
    case u'@':
    case u'\t':
    case u'\r': return QLatin1Char('\'') + text;
    default: return text;
    }
}

template <typename E> class Titles {
public:
    Titles()
    {
        for (E value : allCases<E>())
            m_titles[size_t(value)] = title(value);
    }
    QString of(const QString& raw) const
    {
        const auto value = fromRawValue<E>(raw);
        return value ? m_titles[size_t(*value)] : guarded(raw);
    }

private:
    std::array<QString, allCases<E>().size()> m_titles;
};

// The vocabulary titles in the user's language, looked up once per file rather than
// once per cell.
class VocabularyTexts {
public:
    QString of(FieldVocabulary vocabulary, const QString& raw) const
    {
        switch (vocabulary) {
        case FieldVocabulary::status: return m_statuses.of(raw);
        case FieldVocabulary::workModel: return m_workModels.of(raw);
        case FieldVocabulary::rejectionReason: return m_reasons.of(raw);
        // The ISO code is what a spreadsheet and a reader both understand.
        case FieldVocabulary::currency:
        case FieldVocabulary::none: return guarded(raw);
        }
        return guarded(raw);
    }

private:
    Titles<ApplicationStatus> m_statuses;
    Titles<WorkModel> m_workModels;
    Titles<RejectionReason> m_reasons;
};

bool isColumn(const FieldDescription& description)
{
    return description.kind != FieldKind::history;
}

using F = JobApplication::Field;
constexpr std::array historyIdentity = {F::uuid, F::companyName, F::position};

QStringList headerRow(Kind kind)
{
    QStringList header;
    if (kind == Kind::history) {
        for (F field : historyIdentity)
            header << ApplicationFields::title(ApplicationFields::describe(field));
        header << QCoreApplication::translate(
            "SpreadsheetExport", "Date", "Spreadsheet column: when the status changed")
               << QCoreApplication::translate("SpreadsheetExport", "From", "Spreadsheet column: the status left")
               << QCoreApplication::translate("SpreadsheetExport", "To", "Spreadsheet column: the status entered");
        return header;
    }
    for (const FieldDescription& description : ApplicationFields::all) {
        if (isColumn(description))
            header << ApplicationFields::title(description);
    }
    for (ApplicationStatus status : allCases<ApplicationStatus>())
        header << QCoreApplication::translate(
            "SpreadsheetExport", "%1 on", "Spreadsheet column: the date a status was first reached; %1 is the status")
                      .arg(title(status));
    return header;
}

} // namespace

// Every text of the file that depends on the language.
struct Spreadsheet::Texts {
    explicit Texts(Kind kind)
        : header(headerRow(kind))
    {
    }
    QStringList header;
    VocabularyTexts vocabulary;
    QString yes = QCoreApplication::translate("SpreadsheetExport", "Yes", "Spreadsheet: a flag that is set");
    QString no = QCoreApplication::translate("SpreadsheetExport", "No", "Spreadsheet: a flag that is not set");
};

namespace {

using Record = Spreadsheet::Record;

class Writer {
public:
    explicit Writer(const Spreadsheet::Texts& texts)
        : m_texts(texts)
    {
    }

    QString date(const QDateTime& moment) { return m_days.localDate(moment).toString(Qt::ISODate); }
    QString dateAndTime(const QDateTime& moment) const
    {
        return moment.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"));
    }

    QString cell(const Record& record, const FieldDescription& description)
    {
        const FieldValue& value = record.values.at(qsizetype(description.field));
        switch (description.kind) {
        case FieldKind::identifier: {
            const auto& uuid = std::get<std::optional<QUuid>>(value);
            return uuid ? uuid->toString(QUuid::WithoutBraces) : QString();
        }
        case FieldKind::text: return guarded(std::get<QString>(value));
        case FieldKind::longText: return guarded(std::get<LongText>(value).toString());
        case FieldKind::rawValue: return vocabulary().of(description.vocabulary, std::get<QString>(value));
        case FieldKind::optionalRawValue: {
            const auto& raw = std::get<std::optional<QString>>(value);
            return raw ? vocabulary().of(description.vocabulary, *raw) : QString();
        }
        case FieldKind::moment: return date(std::get<QDateTime>(value));
        case FieldKind::optionalMoment: {
            const auto& moment = std::get<std::optional<QDateTime>>(value);
            return moment ? date(*moment) : QString();
        }
        case FieldKind::flag: return std::get<bool>(value) ? m_texts.yes : m_texts.no;
        case FieldKind::amount: {
            const auto& amount = std::get<std::optional<Decimal>>(value);
            const auto& currency = std::get<QString>(record.values.at(qsizetype(F::currencyRaw)));
            return amount ? amount->toString() + QLatin1Char(' ') + guarded(currency) : QString();
        }
        case FieldKind::history: return QString();
        }
        return QString();
    }

    const VocabularyTexts& vocabulary() const { return m_texts.vocabulary; }

private:
    const Spreadsheet::Texts& m_texts;
    LocalDayResolver m_days;
};

using RowSink = std::function<void(const QStringList&)>;

void applicationsRows(const QList<Record>& records, Writer& writer, const RowSink& emitRow)
{
    constexpr auto statuses = allCases<ApplicationStatus>();
    for (const Record& record : records) {
        QStringList cells;
        cells.reserve(qsizetype(ApplicationFields::all.size() + statuses.size()));
        for (const FieldDescription& description : ApplicationFields::all) {
            if (isColumn(description))
                cells << writer.cell(record, description);
        }
        std::array<std::optional<QDateTime>, statuses.size()> firstReached;
        for (const Spreadsheet::Change& change : record.history) {
            const auto status = fromRawValue<ApplicationStatus>(change.toRaw);
            if (!status)
                continue;
            auto& first = firstReached[size_t(*status)];
            if (!first || change.date < *first)
                first = change.date;
        }
        for (const auto& first : firstReached)
            cells << (first ? writer.date(*first) : QString());
        emitRow(cells);
    }
}

void historyRows(const QList<Record>& records, Writer& writer, const RowSink& emitRow)
{
    for (const Record& record : records) {
        QStringList identityCells;
        for (F field : historyIdentity)
            identityCells << writer.cell(record, ApplicationFields::describe(field));
        QList<Spreadsheet::Change> changes = record.history;
        std::stable_sort(changes.begin(), changes.end(),
            [](const Spreadsheet::Change& a, const Spreadsheet::Change& b) { return a.date < b.date; });
        for (const Spreadsheet::Change& change : changes) {
            QStringList cells = identityCells;
            cells << writer.dateAndTime(change.date)
                  << (change.fromRaw ? writer.vocabulary().of(FieldVocabulary::status, *change.fromRaw) : QString())
                  << writer.vocabulary().of(FieldVocabulary::status, change.toRaw);
            emitRow(cells);
        }
    }
}

void forEachRow(Kind kind, const QList<Record>& records, const Spreadsheet::Texts& texts, const RowSink& emitRow)
{
    emitRow(texts.header);
    Writer writer(texts);
    if (kind == Kind::applications)
        applicationsRows(records, writer, emitRow);
    else
        historyRows(records, writer, emitRow);
}

} // namespace

Spreadsheet::Spreadsheet(Kind kind, const QList<JobApplication*>& applications)
    : m_kind(kind)
    , m_texts(std::make_shared<const Texts>(kind))
{
    m_records.reserve(applications.size());
    for (const JobApplication* application : applications)
        add(*application);
}

Spreadsheet::~Spreadsheet() = default;
Spreadsheet::Spreadsheet(const Spreadsheet&) = default;
Spreadsheet& Spreadsheet::operator=(const Spreadsheet&) = default;

void Spreadsheet::add(const JobApplication& application)
{
    Record record;
    record.values.reserve(JobApplication::fieldCount);
    for (int field = 0; field < JobApplication::fieldCount; ++field)
        record.values.append(application.value(JobApplication::Field(field)));
    record.history.reserve(application.history().size());
    for (const StatusChange* change : application.history())
        record.history.append({change->fromRaw(), change->toRaw(), change->date()});
    m_records.append(std::move(record));
}

QList<QStringList> Spreadsheet::table() const
{
    QList<QStringList> rows;
    forEachRow(m_kind, m_records, *m_texts, [&rows](const QStringList& values) { rows.append(values); });
    return rows;
}

QList<QStringList> table(Kind kind, const QList<JobApplication*>& applications)
{
    return Spreadsheet(kind, applications).table();
}

QString field(const QString& value)
{
    const bool quoted = std::any_of(value.begin(), value.end(), [](QChar c) {
        return c == QLatin1Char(',') || c == QLatin1Char('"') || c == QLatin1Char('\n') || c == QLatin1Char('\r');
    });
    if (!quoted)
        return value;
    QString text = value;
    text.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + text + QLatin1Char('"');
}

namespace {

void appendRow(QString& text, const QStringList& values)
{
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (i > 0)
            text += QLatin1Char(',');
        text += field(values.at(i));
    }
    text += QLatin1String("\r\n");
}

} // namespace

QByteArray Spreadsheet::document() const
{
    // Rows go straight into one text, which grows in large steps.
    QString text;
    text.reserve(m_records.size() * 256);
    forEachRow(m_kind, m_records, *m_texts, [&text](const QStringList& values) { appendRow(text, values); });
    return QByteArrayLiteral("\xEF\xBB\xBF") + text.toUtf8();
}

QByteArray document(Kind kind, const QList<JobApplication*>& applications)
{
    return Spreadsheet(kind, applications).document();
}

QString defaultFilename(Kind kind, const QDateTime& moment)
{
    const QString prefix
        = kind == Kind::applications ? QStringLiteral("Applywright-") : QStringLiteral("Applywright-History-");
    return prefix + localDate(moment).toString(Qt::ISODate) + QStringLiteral(".csv");
}

Expected<Done, BackupFileError> write(const QByteArray& data, const QString& path)
{
    return BackupFile(data).write(path);
}

} // namespace SpreadsheetExport
