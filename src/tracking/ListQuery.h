#pragma once

#include "model/DayCount.h"
#include "model/SearchFolding.h"
#include "tracking/SortOption.h"
#include "tracking/StatusFilter.h"

#include <QCollator>
#include <QDateTime>
#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

class JobApplication;
class QCollatorSortKey;
struct UCollator;

// The visible list's rule: which records a filter and a search select and the
// order a sort puts them in. The base list is every record, latest application
// first and, on the same moment, the lower identifier first; each sort keeps that
// order among records it ranks the same, so one record can be put in its place
// again by a binary search on the current list. The search looks in nine fields,
// case folded with the current locale's dotted and dotless i; marks and
// diacritics count. The waiting sort counts days up to `today` (the current
// moment when not given). Reads the records, never writes them.
class ListQuery {
public:
    ListQuery(const StatusFilter& filter, const QString& searchText, SortOption sort, const QDateTime& today = {});

    bool selects(const JobApplication& application) const;
    // selects() for each of `records`, in their order. Texts not yet folded for
    // this query's search are folded on every core when there are many: each
    // record is read and cached by one thread, the caller waits.
    std::vector<quint8> selection(const QList<JobApplication*>& records) const;
    // The selected records of `base`, sorted.
    QList<JobApplication*> apply(const QList<JobApplication*>& base) const;
    // Where `application` goes in `sorted` (a result of this query without it).
    qsizetype placeIn(const QList<JobApplication*>& sorted, const JobApplication& application) const;
    // Whether every record this query selects is also selected by `other`, a query
    // of the same filter and sort: its search text is found inside this one's.
    bool narrows(const ListQuery& other) const;

    // What a record's search text is made with: the folding and the titles of
    // raw values, folded once for the whole query.
    struct SearchTexts {
        explicit SearchTexts(const QLocale& locale);
        SearchFolder folder;
        QStringList statusTitles;
        QStringList workModelTitles;
    };

private:
    // The company sort's primary is the start of the collation key, compared
    // before the whole key is reached through its own memory.
    struct Key {
        qint64 primary;
        const QCollatorSortKey* name;
        qint64 date;
        qint64 id;
    };
    Key key(const JobApplication& application) const;
    bool before(const Key& a, const Key& b) const;

    StatusFilter m_filter;
    SortOption m_sort;
    QLocale m_locale;
    std::shared_ptr<const SearchTexts> m_texts; // only with a search text
    quint64 m_searchKey = 0;
    QString m_needle;
    QDate m_day;
    mutable LocalDayResolver m_days;
    std::optional<QCollator> m_collator;
    std::shared_ptr<UCollator> m_prefixCollator;
    quint8 m_collationNumber = 0;
};

// A list query's result in one call.
QList<JobApplication*> visibleApplications(const QList<JobApplication*>& base, const StatusFilter& filter,
    const QString& searchText, SortOption sort, const QDateTime& today = QDateTime());
