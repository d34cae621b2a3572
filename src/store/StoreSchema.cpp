#include "store/StoreSchema.h"

#include "store/SqliteDatabase.h"

namespace StoreSchema {

const char* const createStatements = R"sql(
CREATE TABLE Metadata (
    key TEXT PRIMARY KEY NOT NULL,
    value TEXT NOT NULL
);
CREATE TABLE JobApplication (
    id INTEGER PRIMARY KEY,
    uuid TEXT,
    companyName TEXT NOT NULL,
    position TEXT NOT NULL,
    postingLink TEXT NOT NULL,
    workModelRaw TEXT NOT NULL,
    statusRaw TEXT NOT NULL,
    applicationDate INTEGER NOT NULL,
    statusChangedAt INTEGER NOT NULL,
    closedAt INTEGER,
    followUpDate INTEGER,
    rejectedByEmail INTEGER NOT NULL,
    rejectedByPhone INTEGER NOT NULL,
    rejectionReasonRaw TEXT,
    rejectionNote TEXT NOT NULL,
    hrContactName TEXT NOT NULL,
    hrContactEmail TEXT NOT NULL,
    techInterviewerName TEXT NOT NULL,
    techInterviewerRole TEXT NOT NULL,
    expectedSalary TEXT,
    offeredSalary TEXT,
    currencyRaw TEXT NOT NULL,
    notes TEXT NOT NULL,
    isFavorite INTEGER NOT NULL,
    createdAt INTEGER NOT NULL,
    updatedAt INTEGER NOT NULL
);
CREATE TABLE StatusChange (
    id INTEGER PRIMARY KEY,
    fromRaw TEXT,
    toRaw TEXT NOT NULL,
    date INTEGER NOT NULL,
    application INTEGER REFERENCES JobApplication(id) ON DELETE CASCADE
);
CREATE INDEX StatusChangeByApplication ON StatusChange(application);
)sql";

qint64 storedMoment(const QDateTime& moment)
{
    return moment.isValid() ? moment.toMSecsSinceEpoch() : 0;
}

QDateTime momentFromStored(qint64 milliseconds)
{
    return QDateTime::fromMSecsSinceEpoch(milliseconds, Qt::UTC);
}

namespace {
std::optional<qint64> toStored(const std::optional<QDateTime>& moment)
{
    return moment ? std::optional<qint64>(storedMoment(*moment)) : std::nullopt;
}

std::optional<QDateTime> optionalMoment(const SqliteStatement& s, int column)
{
    return s.isNull(column) ? std::nullopt : std::optional<QDateTime>(momentFromStored(s.int64(column)));
}

// Amounts are stored as their exact decimal text.
std::optional<QString> toStored(const std::optional<Decimal>& amount)
{
    return amount ? std::optional<QString>(amount->toString()) : std::nullopt;
}

std::optional<Decimal> optionalAmount(const SqliteStatement& s, int column)
{
    if (s.isNull(column))
        return std::nullopt;
    return Decimal::parse(s.text(column));
}

std::optional<QString> toStored(const std::optional<QUuid>& uuid)
{
    return uuid ? std::optional<QString>(uuid->toString(QUuid::WithoutBraces).toUpper()) : std::nullopt;
}

std::optional<QUuid> optionalUuid(const SqliteStatement& s, int column)
{
    if (s.isNull(column))
        return std::nullopt;
    // QUuid reads both garbage and the all-zero identifier as null; only garbage is none.
    const QString text = s.text(column);
    const QUuid uuid = QUuid::fromString(text);
    if (uuid.isNull() && text != QLatin1String("00000000-0000-0000-0000-000000000000"))
        return std::nullopt;
    return uuid;
}
} // namespace

#define TEXT_COLUMN(field, setter)                                                                                     \
    Column                                                                                                             \
    {                                                                                                                  \
#field, [](SqliteStatement & s, int i, const JobApplication& a) { s.bind(i, a.field()); },                     \
            [](const SqliteStatement& s, int c, JobApplication& a) { a.setter(s.text(c)); }                            \
    }
#define RAW_COLUMN(field, setter, E)                                                                                   \
    Column                                                                                                             \
    {                                                                                                                  \
#field, [](SqliteStatement & s, int i, const JobApplication& a) { s.bind(i, a.field()); },                     \
            [](const SqliteStatement& s, int c, JobApplication& a) { a.setter(internedRawValue<E>(s.text(c))); }       \
    }
#define MOMENT_COLUMN(field, setter)                                                                                   \
    Column                                                                                                             \
    {                                                                                                                  \
#field, [](SqliteStatement & s, int i, const JobApplication& a) { s.bind(i, storedMoment(a.field())); },       \
            [](const SqliteStatement& s, int c, JobApplication& a) { a.setter(momentFromStored(s.int64(c))); }         \
    }
#define OPTIONAL_MOMENT_COLUMN(field, setter)                                                                          \
    Column                                                                                                             \
    {                                                                                                                  \
#field, [](SqliteStatement & s, int i, const JobApplication& a) { s.bind(i, toStored(a.field())); },           \
            [](const SqliteStatement& s, int c, JobApplication& a) { a.setter(optionalMoment(s, c)); }                 \
    }
#define BOOL_COLUMN(field, setter)                                                                                     \
    Column                                                                                                             \
    {                                                                                                                  \
#field, [](SqliteStatement & s, int i, const JobApplication& a) { s.bind(i, qint64(a.field())); },             \
            [](const SqliteStatement& s, int c, JobApplication& a) { a.setter(s.int64(c) != 0); }                      \
    }
#define AMOUNT_COLUMN(field, setter)                                                                                   \
    Column                                                                                                             \
    {                                                                                                                  \
#field, [](SqliteStatement & s, int i, const JobApplication& a) { s.bind(i, toStored(a.field())); },           \
            [](const SqliteStatement& s, int c, JobApplication& a) { a.setter(optionalAmount(s, c)); }                 \
    }

const std::array<Column, JobApplication::fieldCount - 1>& columns()
{
    static const std::array<Column, JobApplication::fieldCount - 1> table {
        Column {"uuid", [](SqliteStatement& s, int i, const JobApplication& a) { s.bind(i, toStored(a.uuid())); },
            [](const SqliteStatement& s, int c, JobApplication& a) { a.setUuid(optionalUuid(s, c)); }},
        TEXT_COLUMN(companyName, setCompanyName),
        TEXT_COLUMN(position, setPosition),
        TEXT_COLUMN(postingLink, setPostingLink),
        RAW_COLUMN(workModelRaw, setWorkModelRaw, WorkModel),
        RAW_COLUMN(statusRaw, setStatusRaw, ApplicationStatus),
        MOMENT_COLUMN(applicationDate, setApplicationDate),
        MOMENT_COLUMN(statusChangedAt, setStatusChangedAt),
        OPTIONAL_MOMENT_COLUMN(closedAt, setClosedAt),
        OPTIONAL_MOMENT_COLUMN(followUpDate, setFollowUpDate),
        BOOL_COLUMN(rejectedByEmail, setRejectedByEmail),
        BOOL_COLUMN(rejectedByPhone, setRejectedByPhone),
        Column {"rejectionReasonRaw",
            [](SqliteStatement& s, int i, const JobApplication& a) { s.bind(i, a.rejectionReasonRaw()); },
            [](const SqliteStatement& s, int c, JobApplication& a) {
                if (s.isNull(c))
                    a.setRejectionReasonRaw(std::nullopt);
                else
                    a.setRejectionReasonRaw(internedRawValue<RejectionReason>(s.text(c)));
            }},
        TEXT_COLUMN(rejectionNote, setRejectionNote),
        TEXT_COLUMN(hrContactName, setHrContactName),
        TEXT_COLUMN(hrContactEmail, setHrContactEmail),
        TEXT_COLUMN(techInterviewerName, setTechInterviewerName),
        TEXT_COLUMN(techInterviewerRole, setTechInterviewerRole),
        AMOUNT_COLUMN(expectedSalary, setExpectedSalary),
        AMOUNT_COLUMN(offeredSalary, setOfferedSalary),
        RAW_COLUMN(currencyRaw, setCurrencyRaw, Currency),
        TEXT_COLUMN(notes, setNotes),
        BOOL_COLUMN(isFavorite, setFavorite),
        MOMENT_COLUMN(createdAt, setCreatedAt),
        MOMENT_COLUMN(updatedAt, setUpdatedAt),
    };
    return table;
}

#undef TEXT_COLUMN
#undef RAW_COLUMN
#undef MOMENT_COLUMN
#undef OPTIONAL_MOMENT_COLUMN
#undef BOOL_COLUMN
#undef AMOUNT_COLUMN

} // namespace StoreSchema
