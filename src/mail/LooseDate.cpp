#include "mail/LooseDate.h"

#include "posting/TextFolding.h"

#include <QHash>
#include <QRegularExpression>
#include <QTimeZone>

namespace LooseDate {
namespace {

// Month names and their short forms, folded (Turkish letters as their Latin
// neighbours: "agustos", "eylul", "kasim", "aralik").
int monthOf(QStringView folded)
{
    static const QHash<QString, int> months = [] {
        QHash<QString, int> names;
        const char* const english[] = {"january", "february", "march", "april", "may", "june", "july", "august",
            "september", "october", "november", "december"};
        const char* const turkish[] = {"ocak", "subat", "mart", "nisan", "mayis", "haziran", "temmuz", "agustos",
            "eylul", "ekim", "kasim", "aralik"};
        for (int i = 0; i < 12; ++i) {
            const QString en = QString::fromLatin1(english[i]);
            const QString tr = QString::fromLatin1(turkish[i]);
            names.insert(en, i + 1);
            names.insert(en.left(3), i + 1);
            names.insert(tr, i + 1);
            names.insert(tr.left(3), i + 1);
        }
        names.insert(QStringLiteral("sept"), 9);
        return names;
    }();
    return months.value(folded.toString(), 0);
}

struct TimeOfDay {
    QTime time;
    qsizetype start = -1;
    qsizetype end = -1;
};

TimeOfDay timeIn(const QString& folded)
{
    static const QRegularExpression pattern(
        QStringLiteral(R"((?<![\d.:])(\d{1,2})[:.](\d{2})(?::(\d{2}))?(?:\s*(am|pm|a\.m\.|p\.m\.|oo|os)\b)?(?![\d]))"));
    QRegularExpressionMatchIterator matches = pattern.globalMatch(folded);
    while (matches.hasNext()) {
        const QRegularExpressionMatch match = matches.next();
        int hour = match.captured(1).toInt();
        const int minute = match.captured(2).toInt();
        const int second = match.captured(3).isEmpty() ? 0 : match.captured(3).toInt();
        const QString half = match.captured(4);
        if (half.startsWith(u'p') || half == u"os") {
            if (hour < 12)
                hour += 12;
        } else if ((half.startsWith(u'a') || half == u"oo") && hour == 12) {
            hour = 0;
        }
        const QTime time(hour, minute, second);
        // "03.03.2025" is a date, not a time: a dot needs a colon-free, yearless context.
        if (!time.isValid() || (match.captured(0).contains(u'.') && folded.mid(match.capturedEnd(), 1) == u"."))
            continue;
        return {time, match.capturedStart(), match.capturedEnd()};
    }
    return {};
}

// "GMT+3", "GMT+03:00", "UTC-5", "(UTC+03:00)", "+0300", "GMT", "UTC", "Z".
std::optional<int> zoneIn(const QString& folded, qsizetype after)
{
    static const QRegularExpression named(QStringLiteral(R"(\b(?:gmt|utc)\s*(?:([+-])(\d{1,2})(?::?(\d{2}))?)?)"));
    static const QRegularExpression bare(QStringLiteral(R"((?:^|[\s(])([+-])(\d{2}):?(\d{2})\b)"));
    static const QRegularExpression zulu(QStringLiteral(R"(\bz\b)"));
    const QString rest = folded.mid(std::max<qsizetype>(0, after));
    QRegularExpressionMatch match = named.match(rest);
    if (!match.hasMatch())
        match = bare.match(rest);
    if (match.hasMatch()) {
        if (match.captured(1).isEmpty())
            return 0;
        const int hours = match.captured(2).toInt();
        const int minutes = match.captured(3).isEmpty() ? 0 : match.captured(3).toInt();
        if (hours <= 14 && minutes < 60)
            return (match.captured(1) == u"-" ? -1 : 1) * (hours * 3600 + minutes * 60);
    }
    if (zulu.match(rest).hasMatch())
        return 0;
    return std::nullopt;
}

QDate dateIn(const QString& folded, const TimeOfDay& time)
{
    // Numeric forms first: "2025-03-03", "03.03.2025".
    static const QRegularExpression iso(QStringLiteral(R"(\b(\d{4})-(\d{1,2})-(\d{1,2})\b)"));
    static const QRegularExpression dotted(QStringLiteral(R"(\b(\d{1,2})\.(\d{1,2})\.(\d{4})\b)"));
    if (const QRegularExpressionMatch m = iso.match(folded); m.hasMatch()) {
        const QDate date(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
        if (date.isValid())
            return date;
    }
    if (const QRegularExpressionMatch m = dotted.match(folded); m.hasMatch()) {
        const QDate date(m.captured(3).toInt(), m.captured(2).toInt(), m.captured(1).toInt());
        if (date.isValid())
            return date;
    }
    // Words: a month name, a four-digit year and a day number, in any order.
    int month = 0;
    int year = 0;
    int day = 0;
    static const QRegularExpression word(QStringLiteral(R"([a-z]+|\d+)"));
    QRegularExpressionMatchIterator words = word.globalMatch(folded);
    while (words.hasNext()) {
        const QRegularExpressionMatch w = words.next();
        if (time.start >= 0 && w.capturedStart() >= time.start && w.capturedStart() < time.end)
            continue;
        const QString token = w.captured();
        if (token.front().isDigit()) {
            const int value = token.toInt();
            if (token.size() == 4 && value >= 1970 && value <= 2200 && year == 0)
                year = value;
            else if (token.size() <= 2 && value >= 1 && value <= 31 && day == 0)
                day = value;
        } else if (month == 0) {
            month = monthOf(token);
        }
    }
    return month && year && day ? QDate(year, month, day) : QDate();
}

} // namespace

std::optional<QDateTime> parse(QStringView text, int offsetSeconds)
{
    if (text.size() > 200)
        text = text.first(200);
    const QString folded = TextFolding::normalize(text);
    const TimeOfDay time = timeIn(folded);
    const QDate date = dateIn(folded, time);
    if (!date.isValid())
        return std::nullopt;
    const QTime clock = time.time.isValid() ? time.time : QTime(12, 0);
    const int offset = zoneIn(folded, time.end).value_or(offsetSeconds);
    const QDateTime moment(date, clock, Qt::OffsetFromUTC, offset);
    if (!moment.isValid())
        return std::nullopt;
    return moment.toUTC();
}

} // namespace LooseDate
