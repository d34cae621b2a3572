#include "backup/BackupCodec.h"

#include "backup/BackupDocument.h"

#include <QByteArray>

namespace {

// Dates: proleptic Gregorian calendar arithmetic on days since 1970-01-01, so a
// date is read and written without a trip through the time-zone machinery.

constexpr qint64 msPerDay = 86'400'000;

constexpr qint64 daysFromCivil(qint64 year, int month, int day)
{
    year -= month <= 2 ? 1 : 0;
    const qint64 era = (year >= 0 ? year : year - 399) / 400;
    const qint64 yearOfEra = year - era * 400;
    const qint64 dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const qint64 dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

struct CivilDate {
    qint64 year;
    int month;
    int day;
};

constexpr CivilDate civilFromDays(qint64 days)
{
    days += 719468;
    const qint64 era = (days >= 0 ? days : days - 146096) / 146097;
    const qint64 dayOfEra = days - era * 146097;
    const qint64 yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const qint64 dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const qint64 shiftedMonth = (5 * dayOfYear + 2) / 153;
    const int day = int(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
    const int month = int(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
    return {yearOfEra + era * 400 + (month <= 2 ? 1 : 0), month, day};
}

static_assert(daysFromCivil(1970, 1, 1) == 0);
static_assert(daysFromCivil(2000, 3, 1) == 11017);
static_assert(civilFromDays(11017).year == 2000 && civilFromDays(11017).month == 3);

// The four-digit years of the date form.
constexpr qint64 firstWritableMs = daysFromCivil(1, 1, 1) * msPerDay;
constexpr qint64 lastWritableMs = daysFromCivil(10000, 1, 1) * msPerDay - 1;

constexpr bool isLeapYear(qint64 year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

constexpr int daysInMonth(qint64 year, int month)
{
    constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : days[month - 1];
}

bool readDigits(std::string_view text, size_t at, size_t count, int& value)
{
    value = 0;
    for (size_t i = at; i < at + count; ++i) {
        const char c = text[i];
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    return true;
}
// Identifiers

bool isDashPosition(size_t i)
{
    return i == 8 || i == 13 || i == 18 || i == 23;
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

namespace BackupCodec {

bool writeDate(const QDateTime& moment, char (&out)[dateLength])
{
    if (!moment.isValid())
        return false;
    const qint64 ms = moment.toMSecsSinceEpoch();
    if (ms < firstWritableMs || ms > lastWritableMs)
        return false;
    // Floor division: moments before 1970 count back from the day they fall in.
    const qint64 days = ms >= 0 ? ms / msPerDay : -((-ms + msPerDay - 1) / msPerDay);
    qint64 inDay = ms - days * msPerDay;
    const CivilDate date = civilFromDays(days);
    const auto put = [&out](size_t at, qint64 value, int width) {
        for (int i = width - 1; i >= 0; --i) {
            out[at + size_t(i)] = char('0' + value % 10);
            value /= 10;
        }
    };
    put(0, date.year, 4);
    out[4] = '-';
    put(5, date.month, 2);
    out[7] = '-';
    put(8, date.day, 2);
    out[10] = 'T';
    put(11, inDay / 3'600'000, 2);
    inDay %= 3'600'000;
    out[13] = ':';
    put(14, inDay / 60'000, 2);
    inDay %= 60'000;
    out[16] = ':';
    put(17, inDay / 1000, 2);
    out[19] = '.';
    put(20, inDay % 1000, 3);
    out[23] = 'Z';
    return true;
}

std::optional<QUuid> parseUuid(std::string_view text)
{
    if (text.size() != uuidLength)
        return std::nullopt;
    char bytes[16];
    size_t byte = 0;
    int high = -1;
    for (size_t i = 0; i < uuidLength; ++i) {
        if (isDashPosition(i)) {
            if (text[i] != '-')
                return std::nullopt;
            continue;
        }
        const int nibble = hexValue(text[i]);
        if (nibble < 0)
            return std::nullopt;
        if (high < 0) {
            high = nibble;
        } else {
            bytes[byte++] = char((high << 4) | nibble);
            high = -1;
        }
    }
    return QUuid::fromRfc4122(QByteArrayView(bytes, sizeof bytes));
}

void writeUuid(const QUuid& id, char (&out)[uuidLength])
{
    static constexpr char digits[] = "0123456789ABCDEF";
    const QByteArray bytes = id.toRfc4122();
    size_t at = 0;
    for (int i = 0; i < 16; ++i) {
        if (isDashPosition(at))
            out[at++] = '-';
        const auto value = static_cast<unsigned char>(bytes[i]);
        out[at++] = digits[value >> 4];
        out[at++] = digits[value & 0xF];
    }
}

} // namespace BackupCodec

using namespace BackupCodec;

std::optional<QByteArray> formatBackupDate(const QDateTime& moment)
{
    char text[dateLength];
    if (!writeDate(moment, text))
        return std::nullopt;
    return QByteArray(text, qsizetype(dateLength));
}

std::optional<QDateTime> parseBackupDate(std::string_view text)
{
    // 2025-03-07T14:05:09Z, or with a fraction after the seconds: three digits as
    // written, though any count from one to nine is taken (to the millisecond).
    constexpr size_t plainLength = 20;
    if (text.size() < plainLength || text.size() > plainLength + 10 || text.back() != 'Z')
        return std::nullopt;
    if (text[4] != '-' || text[7] != '-' || text[10] != 'T' || text[13] != ':' || text[16] != ':')
        return std::nullopt;
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    if (!readDigits(text, 0, 4, year) || !readDigits(text, 5, 2, month) || !readDigits(text, 8, 2, day)
        || !readDigits(text, 11, 2, hour) || !readDigits(text, 14, 2, minute) || !readDigits(text, 17, 2, second))
        return std::nullopt;
    int millisecond = 0;
    if (text.size() > plainLength) {
        const size_t digits = text.size() - plainLength - 1;
        if (text[19] != '.' || digits == 0)
            return std::nullopt;
        int fraction = 0;
        if (!readDigits(text, 20, digits, fraction))
            return std::nullopt;
        for (size_t i = digits; i < 3; ++i)
            fraction *= 10;
        for (size_t i = 3; i < digits; ++i)
            fraction /= 10;
        millisecond = fraction;
    }
    if (year < 1 || month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month) || hour > 23 || minute > 59
        || second > 59)
        return std::nullopt;
    const qint64 ms
        = daysFromCivil(year, month, day) * msPerDay + ((hour * 60 + minute) * 60 + second) * 1000 + millisecond;
    return QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC);
}
