#include "tracking/ListQuery.h"

#include "model/ApplicationFields.h"
#include "model/Clock.h"
#include "model/DayCount.h"
#include "model/JobApplication.h"
#include "model/SearchFolding.h"

#include <QCollator>
#include <QCoreApplication>
#include <QLocale>

#include <algorithm>

namespace {

// Identifies everything the cached search text depends on besides the record:
// the locale and the translated titles. A change of either rebuilds the caches.
quint64 searchCacheKey(const QLocale& locale)
{
    QString fingerprint = locale.name();
    for (ApplicationStatus s : allCases<ApplicationStatus>())
        fingerprint += QLatin1Char('\x1f') + title(s);
    for (WorkModel m : allCases<WorkModel>())
        fingerprint += QLatin1Char('\x1f') + title(m);
    const quint64 key = qHash(fingerprint, 0x5eed);
    return key == 0 ? 1 : key;
}

// The C and POSIX locales have no collation of their own; comparing code points
// would put "Çağrı" after "Wayne". They get the root collation (English has no
// tailoring of it).
QLocale collationLocale()
{
    const QLocale locale;
    return locale.language() == QLocale::C ? QLocale(QLocale::English, QLocale::UnitedStates) : locale;
}

const QString& foldedSearchText(const JobApplication& application, const QLocale& locale, quint64 key)
{
    auto& cache = application.derivedCache();
    if (cache.searchKey != key) {
        cache.searchText = foldForSearch(searchableText(application), locale);
        cache.searchKey = key;
    }
    return cache.searchText;
}

const QCollatorSortKey& companySortKey(const JobApplication& application, const QCollator& collator, quint64 key)
{
    auto& cache = application.derivedCache();
    if (cache.collationKey != key || !cache.companySortKey) {
        cache.companySortKey = collator.sortKey(application.displayCompany());
        cache.collationKey = key;
    }
    return *cache.companySortKey;
}

int pipelineRank(ApplicationStatus status)
{
    return int(status);
}

} // namespace

QString searchableText(const JobApplication& a)
{
    static constexpr auto fields = ApplicationFields::searchedFields();
    QString text;
    for (JobApplication::Field field : fields) {
        if (field != fields.front())
            text += QLatin1Char(' ');
        // Raw values are searched by what the user reads: their title.
        switch (ApplicationFields::describe(field).vocabulary) {
        case FieldVocabulary::status: text += title(a.status()); break;
        case FieldVocabulary::workModel: text += title(a.workModel()); break;
        default: text += std::get<QString>(a.value(field)); break;
        }
    }
    return text;
}

QList<JobApplication*> visibleApplications(const QList<JobApplication*>& base, const StatusFilter& filter,
    const QString& searchText, SortOption sort, const QDateTime& today)
{
    QList<JobApplication*> result;
    result.reserve(base.size());

    const QString trimmed = searchText.trimmed();
    if (trimmed.isEmpty()) {
        for (JobApplication* application : base) {
            if (filter.selects(*application))
                result.append(application);
        }
    } else {
        const QLocale locale;
        const quint64 key = searchCacheKey(locale);
        const QString needle = foldForSearch(trimmed, locale);
        for (JobApplication* application : base) {
            if (filter.selects(*application) && foldedSearchText(*application, locale, key).contains(needle))
                result.append(application);
        }
    }

    // Every sort compares precomputed integer keys; the application date (as
    // milliseconds, later first) breaks ties except under the company sort.
    struct Keyed {
        JobApplication* application;
        qint64 primary;
        qint64 date;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(size_t(result.size()));

    switch (sort) {
    case SortOption::newest:
        for (JobApplication* application : result)
            keyed.push_back({application, 0, application->applicationDate().toMSecsSinceEpoch()});
        break;
    case SortOption::longestWaiting: {
        // One day for the whole sort, so every comparison sees the same day.
        LocalDayResolver days;
        const QDate day = localDate(today.isValid() ? today : Clock::now());
        for (JobApplication* application : result) {
            qint64 waiting = -1; // not waiting: after every record that is
            if (isActive(application->status()))
                waiting = std::max<qint64>(0, days.localDate(application->applicationDate()).daysTo(day));
            keyed.push_back({application, -waiting, application->applicationDate().toMSecsSinceEpoch()});
        }
        break;
    }
    case SortOption::status:
        for (JobApplication* application : result)
            keyed.push_back(
                {application, pipelineRank(application->status()), application->applicationDate().toMSecsSinceEpoch()});
        break;
    case SortOption::company: {
        QCollator collator {collationLocale()};
        collator.setNumericMode(true);
        collator.setCaseSensitivity(Qt::CaseInsensitive);
        const quint64 key = qHashMulti(0xc011a7e, collator.locale().name(),
                                QCoreApplication::translate("JobApplication", "New Application"))
            | 1;
        std::vector<std::pair<JobApplication*, const QCollatorSortKey*>> byName;
        byName.reserve(size_t(result.size()));
        for (JobApplication* application : result)
            byName.emplace_back(application, &companySortKey(*application, collator, key));
        // Names that collate the same compare equal: no second key.
        std::stable_sort(byName.begin(), byName.end(),
            [](const auto& a, const auto& b) { return a.second->compare(*b.second) < 0; });
        for (size_t i = 0; i < byName.size(); ++i)
            result[qsizetype(i)] = byName[i].first;
        return result;
    }
    }

    std::stable_sort(keyed.begin(), keyed.end(), [](const Keyed& a, const Keyed& b) {
        if (a.primary != b.primary)
            return a.primary < b.primary;
        return a.date > b.date;
    });
    for (size_t i = 0; i < keyed.size(); ++i)
        result[qsizetype(i)] = keyed[i].application;
    return result;
}
