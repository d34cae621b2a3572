#include "ui/Formats.h"

#include <QRegularExpression>

#include <cmath>

namespace Formats {

namespace {

// The long date format with the weekday taken out and full month names shortened.
QString abbreviatedDateFormat(const QLocale& locale)
{
    QString format = locale.dateFormat(QLocale::LongFormat);
    // The weekday and whatever separates it from the rest ("dddd, " or " dddd").
    static const QRegularExpression weekday(QStringLiteral("[,\\s]*dddd[,\\s]*"));
    const QRegularExpressionMatch match = weekday.match(format);
    if (match.hasMatch()) {
        const bool atStart = match.capturedStart() == 0;
        const bool atEnd = match.capturedEnd() == format.size();
        format.replace(
            match.capturedStart(), match.capturedLength(), atStart || atEnd ? QString() : QStringLiteral(" "));
    }
    format.replace(QLatin1String("MMMM"), QLatin1String("MMM"));
    return format.trimmed();
}

} // namespace

QString abbreviatedDate(const QDateTime& moment, const QLocale& locale)
{
    return locale.toString(moment.toLocalTime().date(), abbreviatedDateFormat(locale));
}

QString abbreviatedDateTime(const QDateTime& moment, const QLocale& locale)
{
    const QDateTime local = moment.toLocalTime();
    return abbreviatedDate(local, locale) + QLatin1Char(' ') + locale.toString(local.time(), shortTimeFormat(locale));
}

QString shortTimeFormat(const QLocale& locale)
{
    QString format = locale.timeFormat(QLocale::ShortFormat);
    // The seconds and the separator before them ("HH:mm:ss", "H.mm.ss"), with any
    // fraction after them.
    static const QRegularExpression seconds(QStringLiteral("[:.,]?\\s*s+(?:[.,]z+)?"));
    format.remove(seconds);
    return format.trimmed();
}

QString shortDateTimeFormat(const QLocale& locale)
{
    QString date = locale.dateFormat(QLocale::ShortFormat);
    if (!date.contains(QLatin1String("yyyy")))
        date.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    return date + QLatin1Char(' ') + shortTimeFormat(locale);
}

QString salaryDifference(const Decimal& difference, Currency currency, const QLocale& locale)
{
    // Rounded to two places, then the zeros a whole or tenth amount does not need go.
    const double value = std::round(difference.toDouble() * 100.0) / 100.0;
    QString number = locale.toString(value, 'f', 2);
    const QString point = locale.decimalPoint();
    const QString zero = locale.zeroDigit();
    if (number.contains(point)) {
        while (number.endsWith(zero))
            number.chop(zero.size());
        if (number.endsWith(point))
            number.chop(point.size());
    }
    const QString sign = difference.isNegative() ? QString() : QStringLiteral("+");
    return sign + number + QLatin1Char(' ') + ::sign(currency);
}

} // namespace Formats
