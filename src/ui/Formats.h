#pragma once

#include "model/Currency.h"
#include "model/Decimal.h"

#include <QDateTime>
#include <QLocale>
#include <QString>

// How the detail editor writes dates and amounts for the user's locale.
namespace Formats {

// The locale's long date without the weekday, with the month abbreviated:
// "Mar 14, 2025" in English, "14 Mar 2025" in Turkish.
QString abbreviatedDate(const QDateTime& moment, const QLocale& locale = QLocale());
// The same followed by the locale's short time, without seconds.
QString abbreviatedDateTime(const QDateTime& moment, const QLocale& locale = QLocale());
// The locale's short time format with the seconds taken out: some locales (C
// among them) show seconds even in their short form.
QString shortTimeFormat(const QLocale& locale = QLocale());
// The locale's short date (with a four-digit year) and short time, for a date and time field.
QString shortDateTimeFormat(const QLocale& locale = QLocale());

// The salary difference as the "Difference" row shows it: "+" for zero or more
// (a negative number carries its own minus), the number with 0 to 2 fraction
// digits and the locale's grouping, one blank and the currency's sign.
QString salaryDifference(const Decimal& difference, Currency currency, const QLocale& locale = QLocale());

} // namespace Formats
