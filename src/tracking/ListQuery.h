#pragma once

#include "tracking/SortOption.h"
#include "tracking/StatusFilter.h"

#include <QDateTime>
#include <QList>
#include <QString>

class JobApplication;

// The visible list: the base list (every record, latest application first)
// filtered by status, searched over nine fields (case folded, with the current
// locale's dotted and dotless i; marks and diacritics count) and sorted. Reads the records,
// never writes them; the sort is stable. The waiting sort counts days up to
// `today` (the current moment when not given).
QList<JobApplication*> visibleApplications(const QList<JobApplication*>& base, const StatusFilter& filter,
    const QString& searchText, SortOption sort, const QDateTime& today = QDateTime());

// The text a search looks in: company, position, notes, the two contacts, the
// interviewer's name and role, the status title and the work-model title, joined
// with single spaces.
QString searchableText(const JobApplication& application);
