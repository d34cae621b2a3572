#include "model/StatusChange.h"

#include "model/JobApplication.h"

#include <QHash>
#include <QMutex>

#include <algorithm>
#include <memory_resource>

namespace {

// History entries and the blocks of short histories. Never destroyed: an entry may
// outlive every static, and the pool's memory goes with the process.
std::pmr::memory_resource& entryPool()
{
    static auto* pool = new std::pmr::synchronized_pool_resource(std::pmr::pool_options {0, 64});
    return *pool;
}

// What an entry keeps aside, by entry: the raw texts of statuses of no known case,
// and a row identifier too large for the entry. Entries are made on the loader's thread
// and dropped on the main thread.
struct EntryAside {
    std::optional<QString> from;
    QString to;
    qint64 storeId = 0;
};
struct AsideTable {
    QMutex mutex;
    QHash<const StatusChange*, EntryAside> entries;
};
AsideTable& asideTable()
{
    static auto* table = new AsideTable;
    return *table;
}
EntryAside asideOf(const StatusChange* entry)
{
    AsideTable& table = asideTable();
    QMutexLocker lock(&table.mutex);
    return table.entries.value(entry);
}

} // namespace

// Three words each (the date, the record, the row identifier with both statuses): a
// store holds several entries per record.
static_assert(sizeof(StatusChange) == 3 * sizeof(qint64));

void* StatusChange::operator new(size_t size)
{
    return entryPool().allocate(size, alignof(StatusChange));
}

void StatusChange::operator delete(void* entry, size_t size)
{
    entryPool().deallocate(entry, size, alignof(StatusChange));
}

StatusChange::StatusChange(std::optional<ApplicationStatus> from, ApplicationStatus to, const QDateTime& date)
    : m_date(date.toUTC())
    , m_from(from ? quint8(*from) : noStatus)
    , m_to(quint8(to))
{
}

StatusChange::StatusChange(std::optional<QString> fromRaw, QString toRaw, const QDateTime& date)
    : m_date(date.toUTC())
    , m_from(statusCode(fromRaw))
    , m_to(statusCode(toRaw))
{
    if (hasUnknownRaw()) {
        AsideTable& table = asideTable();
        QMutexLocker lock(&table.mutex);
        table.entries.insert(this, EntryAside {std::move(fromRaw), std::move(toRaw)});
    }
}

StatusChange::~StatusChange()
{
    if (hasAside()) {
        AsideTable& table = asideTable();
        QMutexLocker lock(&table.mutex);
        table.entries.remove(this);
    }
}

quint8 StatusChange::statusCode(const std::optional<QString>& raw)
{
    if (!raw)
        return noStatus;
    const auto status = fromRawValue<ApplicationStatus>(*raw);
    return status ? quint8(*status) : unknownStatus;
}

std::optional<QString> StatusChange::fromRaw() const
{
    switch (m_from) {
    case noStatus: return std::nullopt;
    case unknownStatus: return asideOf(this).from;
    default: return rawValue(ApplicationStatus(m_from));
    }
}

QString StatusChange::toRaw() const
{
    return m_to == unknownStatus ? asideOf(this).to : rawValue(ApplicationStatus(m_to));
}

qint64 StatusChange::storeId() const
{
    return m_storeId == storeIdAside ? asideOf(this).storeId : m_storeId;
}

void StatusChange::setStoreId(qint64 id)
{
    // Given once, when the entry is read or first stored.
    Q_ASSERT(m_storeId == 0);
    if (id >= 0 && id < storeIdAside) {
        m_storeId = id;
        return;
    }
    AsideTable& table = asideTable();
    QMutexLocker lock(&table.mutex);
    table.entries[this].storeId = id;
    m_storeId = storeIdAside;
}

void StatusChange::setDate(const QDateTime& value)
{
    const QDateTime utc = value.toUTC();
    if (m_date == utc)
        return;
    m_date = utc;
    notify(Field::date);
}

std::optional<ApplicationStatus> StatusChange::from() const
{
    return m_from == noStatus || m_from == unknownStatus ? std::nullopt : std::optional(ApplicationStatus(m_from));
}

ApplicationStatus StatusChange::to() const
{
    return m_to == unknownStatus ? ApplicationStatus::applied : ApplicationStatus(m_to);
}

void StatusChange::notify(Field field)
{
    if (m_application)
        m_application->historyEntryDidChange(this, field);
}

QList<StatusChange*> StatusChange::newestFirst(const QList<StatusChange*>& history)
{
    QList<StatusChange*> entries = history;
    std::stable_sort(entries.begin(), entries.end(), [](const StatusChange* a, const StatusChange* b) {
        if (a->date() == b->date())
            return int(a->to()) > int(b->to());
        return a->date() > b->date();
    });
    return entries;
}

StatusHistory::~StatusHistory()
{
    if (m_block)
        entryPool().deallocate(m_block, bytesFor(m_block->capacity), alignof(Block));
}

qsizetype StatusHistory::indexOf(const StatusChange* entry) const
{
    const auto at = std::find(begin(), end(), entry);
    return at == end() ? -1 : at - begin();
}

QList<StatusChange*> StatusHistory::toList() const
{
    return QList<StatusChange*>(begin(), end());
}

void StatusHistory::moveTo(quint32 capacity)
{
    Block* block = nullptr;
    if (capacity > 0) {
        block = static_cast<Block*>(entryPool().allocate(bytesFor(capacity), alignof(Block)));
        block->size = quint32(size());
        block->capacity = capacity;
        std::copy(begin(), end(), block->entries());
    }
    if (m_block)
        entryPool().deallocate(m_block, bytesFor(m_block->capacity), alignof(Block));
    m_block = block;
}

void StatusHistory::reserve(qsizetype capacity)
{
    if (capacity > (m_block ? qsizetype(m_block->capacity) : 0))
        moveTo(quint32(capacity));
}

void StatusHistory::insert(qsizetype index, StatusChange* entry)
{
    const qsizetype count = size();
    Q_ASSERT(index >= 0 && index <= count);
    if (!m_block || m_block->size == m_block->capacity)
        reserve(std::max<qsizetype>(count + 1, count * 3 / 2));
    StatusChange** entries = m_block->entries();
    std::move_backward(entries + index, entries + count, entries + count + 1);
    entries[index] = entry;
    ++m_block->size;
}

bool StatusHistory::removeOne(const StatusChange* entry)
{
    const qsizetype index = indexOf(entry);
    if (index < 0)
        return false;
    StatusChange** entries = m_block->entries();
    std::move(entries + index + 1, entries + size(), entries + index);
    --m_block->size;
    return true;
}

void StatusHistory::squeeze()
{
    if (m_block && m_block->size < m_block->capacity)
        moveTo(m_block->size);
}
