#pragma once

#include <QDateTime>
#include <QList>

class JobApplication;

// The three numbers under the list: open applications, offers, and open ones
// that were sent two weeks ago or more.
struct SummaryCounts {
    qint64 active = 0;
    qint64 offers = 0;
    qint64 stale = 0;

    friend bool operator==(const SummaryCounts&, const SummaryCounts&) = default;
};

// Counts the given records as of `now` (the current moment when not given).
SummaryCounts summaryCounts(const QList<JobApplication*>& applications, const QDateTime& now = QDateTime());
