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

// One searched field appended, folded. Raw values are searched by what the user
// reads: their title, folded once per query.
template <ApplicationField field>
void appendSearchedField(QString& text, const JobApplication& a, const ListQuery::SearchTexts& texts)
{
    constexpr FieldVocabulary vocabulary = ApplicationFields::describe(field).vocabulary;
    if constexpr (vocabulary == FieldVocabulary::status)
        text += texts.statusTitles[qsizetype(a.status())];
    else if constexpr (vocabulary == FieldVocabulary::workModel)
        text += texts.workModelTitles[qsizetype(a.workModel())];
    else if constexpr (std::is_same_v<ApplicationFields::ValueType<field>, LongText>)
        texts.folder.append(text, QByteArrayView(a.get<field>().utf8()));
    else
        texts.folder.append(text, QStringView(a.get<field>()));
}

// The text a search looks in, folded: company, position, notes, the two contacts,
// the interviewer's name and role, the status title and the work-model title,
// joined with single spaces.
QString foldedSearchableText(const JobApplication& a, const ListQuery::SearchTexts& texts)
{
    static constexpr auto fields = ApplicationFields::searchedFields();
    // Built in one buffer kept for the query, then copied at its size: the text
    // stays with the record, so it should hold no spare room.
    QString& text = texts.buffer;
    text.resize(0);
    [&]<size_t... i>(std::index_sequence<i...>)
    {
        ((i == 0 ? void() : void(text += QLatin1Char(' ')), appendSearchedField<fields[i]>(text, a, texts)), ...);
    }
    (std::make_index_sequence<fields.size()>());
    return QString(text.constData(), text.size());
}

const QString& foldedSearchText(const JobApplication& application, const ListQuery::SearchTexts& texts, quint64 key)
{
    auto& cache = application.derivedCache();
    if (cache.searchKey != key) {
        cache.searchText = foldedSearchableText(application, texts);
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

ListQuery::SearchTexts::SearchTexts(const QLocale& locale)
    : folder(locale)
{
    for (ApplicationStatus status : allCases<ApplicationStatus>())
        statusTitles.append(foldForSearch(title(status), locale));
    for (WorkModel model : allCases<WorkModel>())
        workModelTitles.append(foldForSearch(title(model), locale));
}

ListQuery::ListQuery(const StatusFilter& filter, const QString& searchText, SortOption sort, const QDateTime& today)
    : m_filter(filter)
    , m_sort(sort)
{
    if (const QString trimmed = searchText.trimmed(); !trimmed.isEmpty()) {
        m_searchKey = searchCacheKey(m_locale);
        m_needle = foldForSearch(trimmed, m_locale);
        m_texts = std::make_shared<SearchTexts>(m_locale);
    }
    switch (sort) {
    case SortOption::longestWaiting:
        // One day for the whole sort, so every comparison sees the same day.
        m_day = localDate(today.isValid() ? today : Clock::now());
        break;
    case SortOption::company:
        m_collator.emplace(collationLocale());
        m_collator->setNumericMode(true);
        m_collator->setCaseSensitivity(Qt::CaseInsensitive);
        m_collationKey = qHashMulti(0xc011a7e, m_collator->locale().name(),
                             QCoreApplication::translate("JobApplication", "New Application"))
            | 1;
        break;
    case SortOption::newest:
    case SortOption::status: break;
    }
}

bool ListQuery::selects(const JobApplication& application) const
{
    return m_filter.selects(application)
        && (m_needle.isEmpty() || foldedSearchText(application, *m_texts, m_searchKey).contains(m_needle));
}

bool ListQuery::narrows(const ListQuery& other) const
{
    return m_filter == other.m_filter && m_sort == other.m_sort && m_day == other.m_day && m_locale == other.m_locale
        && m_needle.contains(other.m_needle);
}

ListQuery::Key ListQuery::key(const JobApplication& application) const
{
    Key key {0, nullptr, application.applicationDate().toMSecsSinceEpoch(), application.id()};
    switch (m_sort) {
    case SortOption::newest: break;
    case SortOption::longestWaiting:
        // Not waiting: after every record that is.
        key.primary = isActive(application.status())
            ? -std::max<qint64>(0, m_days.localDate(application.applicationDate()).daysTo(m_day))
            : 1;
        break;
    case SortOption::status: key.primary = pipelineRank(application.status()); break;
    case SortOption::company: key.name = &companySortKey(application, *m_collator, m_collationKey); break;
    }
    return key;
}

bool ListQuery::before(const Key& a, const Key& b) const
{
    if (a.name) {
        // Names that collate the same compare equal, whatever their spelling.
        if (const int order = a.name->compare(*b.name); order != 0)
            return order < 0;
    } else if (a.primary != b.primary) {
        return a.primary < b.primary;
    }
    if (a.date != b.date)
        return a.date > b.date;
    return a.id < b.id;
}

QList<JobApplication*> ListQuery::apply(const QList<JobApplication*>& base) const
{
    // The keys are read once per record, then compared.
    std::vector<std::pair<Key, JobApplication*>> keyed;
    keyed.reserve(size_t(base.size()));
    for (JobApplication* application : base) {
        if (selects(*application))
            keyed.emplace_back(key(*application), application);
    }
    // The base is in the newest-first order already: that sort, and a search
    // under it, need no sorting.
    const auto less = [this](const auto& a, const auto& b) { return before(a.first, b.first); };
    if (!std::is_sorted(keyed.begin(), keyed.end(), less))
        std::stable_sort(keyed.begin(), keyed.end(), less);
    QList<JobApplication*> result;
    result.reserve(qsizetype(keyed.size()));
    for (const auto& entry : keyed)
        result.append(entry.second);
    return result;
}

qsizetype ListQuery::placeIn(const QList<JobApplication*>& sorted, const JobApplication& application) const
{
    const Key placed = key(application);
    const auto at = std::upper_bound(sorted.cbegin(), sorted.cend(), placed,
        [this](const Key& k, const JobApplication* other) { return before(k, key(*other)); });
    return at - sorted.cbegin();
}

QList<JobApplication*> visibleApplications(const QList<JobApplication*>& base, const StatusFilter& filter,
    const QString& searchText, SortOption sort, const QDateTime& today)
{
    return ListQuery(filter, searchText, sort, today).apply(base);
}
