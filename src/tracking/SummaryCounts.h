#pragma once

#include <QDateTime>
#include <QList>

class JobApplication;
class LocalDayResolver;

// The three numbers under the list: open applications, offers, and open ones
// that were sent two weeks ago or more.
struct SummaryCounts {
    qint64 active = 0;
    qint64 offers = 0;
    qint64 stale = 0;

    // One record's part in the counts, so that an edit can take away what the
    // record counted before and add what it counts now.
    enum Share : quint8 { none = 0, countsActive = 1, countsOffer = 2, countsStale = 4 };
    static quint8 shareOf(const JobApplication& application, const QDate& today, LocalDayResolver& days);
    void add(quint8 share, int sign = 1);

    friend bool operator==(const SummaryCounts&, const SummaryCounts&) = default;
};

// Counts the given records as of `now` (the current moment when not given).
SummaryCounts summaryCounts(const QList<JobApplication*>& applications, const QDateTime& now = QDateTime());
