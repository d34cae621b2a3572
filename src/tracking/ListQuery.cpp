#include "tracking/ListQuery.h"

#include "model/ApplicationFields.h"
#include "model/Clock.h"
#include "model/DayCount.h"
#include "model/JobApplication.h"
#include "model/SearchFolding.h"

#include <QCollator>
#include <QCoreApplication>
#include <QLocale>
#include <QMutex>
#include <QThread>
#include <QtConcurrent/QtConcurrentRun>

#ifdef APPLYWRIGHT_COLLATION_PREFIX
#include <unicode/ucol.h>
#endif

#include <algorithm>
#include <atomic>

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
QString foldedSearchableText(const JobApplication& a, const ListQuery::SearchTexts& texts, QString& text)
{
    static constexpr auto fields = ApplicationFields::searchedFields();
    // Built in a buffer kept by the caller, then copied at its size: the text
    // stays with the record, so it should hold no spare room.
    text.resize(0);
    [&]<size_t... i>(std::index_sequence<i...>)
    {
        ((i == 0 ? void() : void(text += QLatin1Char(' ')), appendSearchedField<fields[i]>(text, a, texts)), ...);
    }
    (std::make_index_sequence<fields.size()>());
    return QString(text.constData(), text.size());
}

const QString& foldedSearchText(
    const JobApplication& application, const ListQuery::SearchTexts& texts, quint64 key, QString& buffer)
{
    auto& cache = application.derivedCache();
    if (cache.searchKey != key) {
        cache.searchText = foldedSearchableText(application, texts, buffer);
        cache.searchKey = key;
    }
    return cache.searchText;
}

// The collations this process has sorted with, numbered from 1 (0: too many to
// number, nothing is kept). A record's cached key is tagged with its number.
quint8 collationNumber(const QString& fingerprint)
{
    static QMutex mutex;
    static QStringList seen;
    const QMutexLocker locker(&mutex);
    qsizetype index = seen.indexOf(fingerprint);
    if (index < 0) {
        if (seen.size() == 255)
            return 0;
        seen.append(fingerprint);
        index = seen.size() - 1;
    }
    return quint8(index + 1);
}

// The collator QCollator opens for `collator`'s settings, opened again to read the
// first bytes of the same sort keys: QCollatorSortKey does not show its bytes.
std::shared_ptr<UCollator> openPrefixCollator([[maybe_unused]] const QCollator& collator)
{
#ifndef APPLYWRIGHT_COLLATION_PREFIX
    return {}; // whole keys only
#else
    UErrorCode status = U_ZERO_ERROR;
    const QByteArray name = collator.locale().bcp47Name().replace(QLatin1Char('-'), QLatin1Char('_')).toLatin1();
    UCollator* opened = ucol_open(name.constData(), &status);
    if (U_FAILURE(status))
        return {};
    ucol_setAttribute(opened, UCOL_NORMALIZATION_MODE, UCOL_ON, &status);
    ucol_setAttribute(opened, UCOL_STRENGTH,
        collator.caseSensitivity() == Qt::CaseSensitive ? UCOL_DEFAULT_STRENGTH : UCOL_SECONDARY, &status);
    ucol_setAttribute(opened, UCOL_NUMERIC_COLLATION, collator.numericMode() ? UCOL_ON : UCOL_OFF, &status);
    ucol_setAttribute(opened, UCOL_ALTERNATE_HANDLING, UCOL_NON_IGNORABLE, &status);
    if (U_FAILURE(status)) {
        ucol_close(opened);
        return {};
    }
    return std::shared_ptr<UCollator>(opened, ucol_close);
#endif
}

// The first seven bytes of `text`'s sort key as a number, zeros after its end:
// two keys whose numbers differ are in the numbers' order.
quint64 collationPrefix([[maybe_unused]] const UCollator* collator, [[maybe_unused]] const QString& text)
{
#ifndef APPLYWRIGHT_COLLATION_PREFIX
    return 0;
#else
    if (!collator)
        return 0;
    constexpr int prefixBytes = 7;
    uint8_t bytes[64];
    const auto* chars = reinterpret_cast<const UChar*>(text.utf16());
    const int32_t size = ucol_getSortKey(collator, chars, int32_t(text.size()), bytes, int32_t(sizeof bytes));
    QByteArray longer;
    const uint8_t* key = bytes;
    if (size > int32_t(sizeof bytes)) {
        longer.resize(size);
        ucol_getSortKey(collator, chars, int32_t(text.size()), reinterpret_cast<uint8_t*>(longer.data()), size);
        key = reinterpret_cast<const uint8_t*>(longer.constData());
    }
    quint64 prefix = 0;
    for (int i = 0; i < prefixBytes; ++i)
        prefix = (prefix << 8) | (i < size ? key[i] : 0);
    return prefix;
#endif
}

// The cache's collation tag holds the key's prefix above the collation's number.
struct CompanyKey {
    qint64 prefix;
    const QCollatorSortKey* key;
};

CompanyKey companySortKey(
    const JobApplication& application, const QCollator& collator, const UCollator* prefixCollator, quint8 number)
{
    auto& cache = application.derivedCache();
    if (number == 0 || quint8(cache.collationKey) != number || !cache.companySortKey) {
        const QString company = application.displayCompany();
        cache.companySortKey = collator.sortKey(company);
        cache.collationKey = collationPrefix(prefixCollator, company) << 8 | number;
    }
    return {qint64(cache.collationKey >> 8), &*cache.companySortKey};
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
        m_prefixCollator = openPrefixCollator(*m_collator);
        m_collationNumber = collationNumber(m_collator->locale().name() + QLatin1Char('\x1f')
            + QCoreApplication::translate("JobApplication", "New Application"));
        break;
    case SortOption::newest:
    case SortOption::status: break;
    }
}

bool ListQuery::selects(const JobApplication& application) const
{
    QString buffer;
    return m_filter.selects(application)
        && (m_needle.isEmpty() || foldedSearchText(application, *m_texts, m_searchKey, buffer).contains(m_needle));
}

std::vector<quint8> ListQuery::selection(const QList<JobApplication*>& records) const
{
    std::vector<quint8> selected(size_t(records.size()));
    const auto select = [&](qsizetype begin, qsizetype end) {
        QString buffer;
        for (qsizetype i = begin; i < end; ++i) {
            // Reading records is waiting for memory: the ones a few steps ahead are
            // asked for now, so that several are on their way at once.
            if (i + 8 < end) {
                const auto* ahead = reinterpret_cast<const char*>(records[i + 8]);
                __builtin_prefetch(ahead);
                __builtin_prefetch(ahead + 64);
                __builtin_prefetch(ahead + 128);
            }
            // Only a search reads the cache; asking for it makes it.
            if (!m_needle.isEmpty() && i + 4 < end)
                __builtin_prefetch(&records[i + 4]->derivedCache());
            const JobApplication& application = *records[i];
            selected[size_t(i)] = m_filter.selects(application)
                && (m_needle.isEmpty()
                    || foldedSearchText(application, *m_texts, m_searchKey, buffer).contains(m_needle));
        }
    };
    // Below a few thousand records, or without a search, starting threads costs
    // more than it saves.
    constexpr qsizetype chunk = 4096;
    if (m_needle.isEmpty() || records.size() < 2 * chunk) {
        select(0, records.size());
        return selected;
    }
    // The calling thread takes chunks too: on a busy machine it does not wait for
    // helpers that get no core.
    std::atomic<qsizetype> next = 0;
    const auto work = [&] {
        for (qsizetype begin; (begin = next.fetch_add(chunk)) < records.size();)
            select(begin, std::min(begin + chunk, records.size()));
    };
    QList<QFuture<void>> helpers;
    for (int helper = 1; helper < QThread::idealThreadCount(); ++helper)
        helpers.append(QtConcurrent::run(work));
    work();
    for (QFuture<void>& helper : helpers)
        helper.waitForFinished();
    return selected;
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
    case SortOption::company: {
        const CompanyKey company = companySortKey(application, *m_collator, m_prefixCollator.get(), m_collationNumber);
        key.primary = company.prefix;
        key.name = company.key;
        break;
    }
    }
    return key;
}

bool ListQuery::before(const Key& a, const Key& b) const
{
    if (a.primary != b.primary)
        return a.primary < b.primary;
    // Names that collate the same compare equal, whatever their spelling.
    if (a.name) {
        if (const int order = a.name->compare(*b.name); order != 0)
            return order < 0;
    }
    if (a.date != b.date)
        return a.date > b.date;
    return a.id < b.id;
}

QList<JobApplication*> ListQuery::apply(const QList<JobApplication*>& base) const
{
    const std::vector<quint8> selected = selection(base);
    // The base is in the newest-first order already: that sort, and a search under
    // it, are the selected records as they stand, with no array of keys beside them
    // (for a large store that array was a tenth of the window's peak memory).
    QList<JobApplication*> result;
    std::optional<Key> previous;
    qsizetype inOrder = 0;
    for (; inOrder < base.size(); ++inOrder) {
        if (!selected[size_t(inOrder)])
            continue;
        Key current = key(*base[inOrder]);
        if (previous && before(current, *previous))
            break;
        previous = current;
    }
    if (inOrder == base.size()) {
        result.reserve(qsizetype(std::count_if(selected.cbegin(), selected.cend(), [](quint8 s) { return s != 0; })));
        for (qsizetype i = 0; i < base.size(); ++i) {
            if (selected[size_t(i)])
                result.append(base[i]);
        }
        return result;
    }

    // The keys are read once per record, then compared.
    std::vector<std::pair<Key, JobApplication*>> keyed;
    keyed.reserve(size_t(base.size()));
    for (qsizetype i = 0; i < base.size(); ++i) {
        if (selected[size_t(i)])
            keyed.emplace_back(key(*base[i]), base[i]);
    }
    const auto less = [this](const auto& a, const auto& b) { return before(a.first, b.first); };
    if (m_collator) {
        // By the keys' prefixes first, read from this array alone; then each run of
        // equal prefixes by the whole keys, which are read close together.
        std::stable_sort(
            keyed.begin(), keyed.end(), [](const auto& a, const auto& b) { return a.first.primary < b.first.primary; });
        for (auto run = keyed.begin(); run != keyed.end();) {
            const auto end = std::find_if(
                run, keyed.end(), [&](const auto& entry) { return entry.first.primary != run->first.primary; });
            std::stable_sort(run, end, less);
            run = end;
        }
    } else {
        std::stable_sort(keyed.begin(), keyed.end(), less);
    }
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
