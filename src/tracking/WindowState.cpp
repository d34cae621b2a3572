#include "tracking/WindowState.h"

#include "model/ApplicationFields.h"
#include "store/Store.h"
#include "tracking/ListQuery.h"
#include "tracking/StoreChange.h"
#include "tracking/TodayProvider.h"

#include <QDebug>
#include <QScopedValueRollback>

WindowState::WindowState(Store& store, TodayProvider& today, QObject* parent)
    : QObject(parent)
    , m_store(store)
    , m_today(today)
{
    m_recomputeTimer.setSingleShot(true);
    m_recomputeTimer.setInterval(0);
    connect(&m_recomputeTimer, &QTimer::timeout, this, &WindowState::recompute);
    // An undo is saved as soon as the window has shown it: a large one (an import
    // taken back) is not kept from the screen by the writing.
    m_saveTimer.setSingleShot(true);
    m_saveTimer.setInterval(0);
    connect(&m_saveTimer, &QTimer::timeout, this, &WindowState::saveIfNeeded);
    connectStore();
    connect(&m_today, &TodayProvider::todayChanged, this, [this](const QDateTime& day) {
        // Waiting days and the stale count move on with the day.
        recompute();
        Q_EMIT todayChanged(day);
    });
    if (m_store.isLoaded()) {
        recompute();
    } else {
        // A window made after the newest records came shows them at once.
        showFirstApplications();
        connect(&m_store, &Store::firstApplicationsRead, this, &WindowState::recompute, Qt::SingleShotConnection);
        connect(&m_store, &Store::loaded, this, &WindowState::recompute, Qt::SingleShotConnection);
    }
}

QDateTime WindowState::today() const
{
    return m_today.today();
}

void WindowState::connectStore()
{
    connect(&m_store, &Store::applicationInserted, this, &WindowState::scheduleRecompute);
    connect(&m_store, &Store::applicationAboutToBeRemoved, this, &WindowState::applicationAboutToGo);
    connect(&m_store, &Store::applicationRemoved, this, &WindowState::scheduleRecompute);
    connect(&m_store, &Store::applicationsTaken, this, &WindowState::applicationsLeft);
    connect(
        &m_store, &Store::applicationChanged, this, [this](JobApplication* application, JobApplication::Field field) {
            Q_EMIT applicationChanged(application, field);
            if (ApplicationFields::describe(field).affectsVisibleList())
                replace(application);
        });
}

void WindowState::scheduleRecompute()
{
    if (!m_recomputeTimer.isActive())
        m_recomputeTimer.start();
}

void WindowState::recompute()
{
    m_recomputeTimer.stop();
    m_narrowed.clear();
    if (!m_store.isLoaded()) {
        showFirstApplications();
        return;
    }
    const QDateTime today = m_today.today();
    m_query.emplace(m_statusFilter, m_searchText, m_sortOption, today);
    m_day = localDate(today);
    m_visible = m_query->apply(m_store.applicationsByDate());
    m_totalCount = m_store.count();
    LocalDayResolver days;
    m_shares.resize(m_visible.size());
    m_summary = {};
    for (qsizetype row = 0; row < m_visible.size(); ++row) {
        m_shares[row] = SummaryCounts::shareOf(*m_visible[row], m_day, days);
        m_summary.add(m_shares[row]);
    }
    Q_EMIT visibleApplicationsChanged();
}

void WindowState::showFirstApplications()
{
    // The newest records stand for the top of the list in the newest-first order only
    // (a filter or search keeps their order, so they are still its top); the counts
    // and any other order wait for every record.
    const QList<JobApplication*>& first = m_store.firstApplications();
    QList<JobApplication*> shown;
    if (m_sortOption == SortOption::newest && !first.isEmpty())
        shown = ListQuery(m_statusFilter, m_searchText, m_sortOption, m_today.today()).apply(first);
    if (shown.isEmpty() && m_visible.isEmpty())
        return;
    m_query.reset();
    m_visible = std::move(shown);
    m_shares.fill(SummaryCounts::none, m_visible.size());
    m_summary = {};
    Q_EMIT visibleApplicationsChanged();
}

void WindowState::search()
{
    ListQuery query(m_statusFilter, m_searchText, m_sortOption, m_today.today());
    if (!m_query || m_recomputeTimer.isActive()) {
        recompute();
        return;
    }
    if (!query.narrows(*m_query)) {
        // A text shown before, taken back to: its result is still the list.
        while (!m_narrowed.empty()) {
            Narrowed kept = std::move(m_narrowed.back());
            m_narrowed.pop_back();
            if (kept.query.narrows(query) && query.narrows(kept.query)) {
                m_query = std::move(kept.query);
                m_visible = std::move(kept.visible);
                m_shares = std::move(kept.shares);
                m_summary = kept.summary;
                Q_EMIT visibleApplicationsChanged();
                return;
            }
        }
        recompute();
        return;
    }
    // A longer search text shows some of what the shorter one showed, in the same order.
    constexpr size_t keptResults = 16;
    if (m_narrowed.size() == keptResults)
        m_narrowed.erase(m_narrowed.begin());
    m_narrowed.push_back({std::move(*m_query), m_visible, m_shares, m_summary});
    m_query = std::move(query);
    qsizetype kept = 0;
    m_summary = {};
    const std::vector<quint8> selected = m_query->selection(m_visible);
    for (qsizetype row = 0; row < m_visible.size(); ++row) {
        if (!selected[size_t(row)])
            continue;
        m_visible[kept] = m_visible[row];
        m_shares[kept] = m_shares[row];
        m_summary.add(m_shares[kept]);
        ++kept;
    }
    m_visible.resize(kept);
    m_shares.resize(kept);
    Q_EMIT visibleApplicationsChanged();
}

qsizetype WindowState::takeVisible(JobApplication* application)
{
    // The kept results may hold the record, or miss it now that it changed.
    m_narrowed.clear();
    const qsizetype row = m_visible.indexOf(application);
    if (row >= 0) {
        m_visible.removeAt(row);
        m_summary.add(m_shares.takeAt(row), -1);
    }
    return row;
}

void WindowState::replace(JobApplication* application)
{
    // Until the list has been computed with everything the store holds, the
    // coming recompute places the record too.
    if (!m_query || m_recomputeTimer.isActive()) {
        scheduleRecompute();
        return;
    }
    const qsizetype from = takeVisible(application);
    qsizetype to = -1;
    if (m_query->selects(*application)) {
        to = m_query->placeIn(m_visible, *application);
        LocalDayResolver days;
        const quint8 share = SummaryCounts::shareOf(*application, m_day, days);
        m_visible.insert(to, application);
        m_shares.insert(to, share);
        m_summary.add(share);
    }
    if (from >= 0 || to >= 0)
        Q_EMIT visibleApplicationMoved(application, from, to);
}

void WindowState::recomputeUnlessBatching()
{
    if (!m_batching)
        recompute();
}

void WindowState::applicationAboutToGo(JobApplication* application)
{
    // The object is deleted soon after: the visible list lets go of it at once.
    takeVisible(application);
    Q_EMIT applicationLeaving(application);
    // Deleted elsewhere while selected: the selection goes with it.
    if (m_selectedID == application->id())
        setSelectedID(std::nullopt);
    scheduleRecompute();
}

void WindowState::applicationsLeft(const QList<JobApplication*>& applications)
{
    // Taken out by an undo, many at once perhaps: the list is computed again now,
    // once, rather than losing its rows one by one.
    if (m_selectedID) {
        for (const JobApplication* application : applications) {
            if (application->id() == *m_selectedID) {
                setSelectedID(std::nullopt);
                break;
            }
        }
    }
    recompute();
}

JobApplication* WindowState::selectedApplication() const
{
    return m_selectedID && m_store.isLoaded() ? m_store.application(*m_selectedID) : nullptr;
}

void WindowState::setSelectedID(std::optional<RecordID> id)
{
    if (id == m_selectedID)
        return;
    m_selectedID = id;
    Q_EMIT selectedIDChanged(id);
}

void WindowState::setSearchText(const QString& text)
{
    if (text == m_searchText)
        return;
    m_searchText = text;
    Q_EMIT searchTextChanged(text);
    if (!m_batching)
        search();
}

void WindowState::setStatusFilter(const StatusFilter& filter)
{
    if (filter == m_statusFilter)
        return;
    m_statusFilter = filter;
    Q_EMIT statusFilterChanged(filter);
    recomputeUnlessBatching();
}

void WindowState::setSortOption(SortOption option)
{
    if (option == m_sortOption)
        return;
    m_sortOption = option;
    Q_EMIT sortOptionChanged(option);
    recomputeUnlessBatching();
}

void WindowState::saveIfNeeded()
{
    m_store.saveIfNeeded();
}

StoreChange* WindowState::push(std::unique_ptr<StoreChange> change)
{
    // A step of its own: typing after it starts a new one.
    m_edits.endTyping();
    StoreChange* pushed = change.get();
    m_undoStack.push(change.release());
    return pushed;
}

void WindowState::reselect(JobApplication* application)
{
    recompute();
    setSelectedID(application->id());
}

void WindowState::undo()
{
    m_edits.endTyping();
    m_undoStack.undo();
    m_edits.endTyping();
    m_saveTimer.start();
}

void WindowState::redo()
{
    m_edits.endTyping();
    m_undoStack.redo();
    m_edits.endTyping();
    m_saveTimer.start();
}

JobApplication* WindowState::createApplication()
{
    std::vector<std::unique_ptr<JobApplication>> records;
    records.push_back(ApplicationBuilder(JobApplication::makeBlank()).appendFirstHistoryEntry().build());
    StoreChange* change = push(StoreChange::adding(m_store, std::move(records), tr("New Application")));
    // Done again, the record is shown again.
    change->setOnEntered([this](const QList<JobApplication*>& entered) { reselect(entered.first()); });
    JobApplication* record = change->applications().first();
    if (auto saved = m_store.save(); !saved)
        qWarning().noquote() << QStringLiteral("Yeni başvuru kaydedilemedi: ") + saved.error().description();
    applyNewRecords(record, true);
    return record;
}

QList<JobApplication*> WindowState::addNewApplications(std::vector<std::unique_ptr<JobApplication>> applications)
{
    if (applications.empty())
        return {};
    std::vector<std::unique_ptr<JobApplication>> records;
    for (auto& application : applications)
        records.push_back(ApplicationBuilder(std::move(application)).appendFirstHistoryEntry().build());
    const QList<JobApplication*> added
        = push(StoreChange::adding(m_store, std::move(records), tr("Import")))->applications();
    saveIfNeeded();
    applyNewRecords(added.first(), false);
    return added;
}

QList<JobApplication*> WindowState::addRestoredApplications(std::vector<std::unique_ptr<JobApplication>> applications)
{
    if (applications.empty())
        return {};
    return push(StoreChange::adding(m_store, std::move(applications), tr("Backup Import")))->applications();
}

void WindowState::reveal(JobApplication& record)
{
    applyNewRecords(&record, true);
}

void WindowState::applyNewRecords(JobApplication* first, bool keepMatchingFilter)
{
    {
        const QScopedValueRollback<bool> batching(m_batching, true);
        // A new blank record gives up only a filter that would hide it; reviewed
        // drafts always show the whole list.
        if (!keepMatchingFilter || !m_statusFilter.selects(*first))
            setStatusFilter(StatusFilter::all());
        setSearchText(QString());
        setSelectedID(first->id());
    }
    recompute();
}

bool WindowState::beginDeletion(const JobApplication& application)
{
    if (m_pendingDeletion)
        return false;
    m_pendingDeletion = application.id();
    Q_EMIT pendingDeletionChanged(m_pendingDeletion);
    return true;
}

void WindowState::endDeletion(bool confirmed)
{
    if (!m_pendingDeletion)
        return;
    const RecordID id = *m_pendingDeletion;
    m_pendingDeletion.reset();
    Q_EMIT pendingDeletionChanged(std::nullopt);
    // The record may have gone while the question was open.
    JobApplication* record = confirmed ? m_store.application(id) : nullptr;
    if (!record)
        return;
    StoreChange* change = push(StoreChange::removing(m_store, {record}, tr("Delete")));
    // Taken back, the record is shown again.
    change->setOnEntered([this](const QList<JobApplication*>& entered) { reselect(entered.first()); });
    saveIfNeeded();
}
