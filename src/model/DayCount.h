#pragma once

#include <QDate>
#include <QDateTime>

// Whole calendar days from the local day of `from` to the local day of `to`,
// never negative. Days are counted on the calendar, not as elapsed seconds divided
// by 86,400, so a 23- or 25-hour day across a daylight-saving change is one day.
int dayCount(const QDateTime& from, const QDateTime& to);

// The local calendar date of a moment, and the first moment of that day.
QDate localDate(const QDateTime& moment);
QDateTime startOfLocalDay(const QDateTime& moment);
