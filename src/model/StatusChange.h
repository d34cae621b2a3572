#pragma once

#include "model/ApplicationStatus.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

class JobApplication;

// One dated status transition in an application's history. Records append them;
// a person may correct an entry's date or take back the newest one through the
// edit layer. The application owns them and announces their changes through its
// observer and notifier. (Not a QObject, and its statuses held as numbers:
// a store holds several per record, and their size is a good part of the store's.)
class StatusChange {
public:
    enum class Field { fromRaw, toRaw, date, application };

    StatusChange(std::optional<ApplicationStatus> from, ApplicationStatus to, const QDateTime& date);
    // Raw texts as stored or restored, without any check against the vocabulary.
    StatusChange(std::optional<QString> fromRaw, QString toRaw, const QDateTime& date);
    ~StatusChange();
    StatusChange(const StatusChange&) = delete;
    StatusChange& operator=(const StatusChange&) = delete;

    // A store holds several entries per record, all of one size: they come from a pool,
    // without the header and rounding malloc adds to each block.
    static void* operator new(size_t size);
    static void operator delete(void* entry, size_t size);

    std::optional<QString> fromRaw() const;
    QString toRaw() const;
    const QDateTime& date() const { return m_date; }
    // The record the entry belongs to; none while it is out of a history (an undone change).
    JobApplication* application() const { return m_application; }

    // None when no previous status is stored or the stored text is unknown.
    std::optional<ApplicationStatus> from() const;
    // Applied when the stored text is unknown.
    ApplicationStatus to() const;

    // The store's row identifier, 0 until the entry is stored.
    qint64 storeId() const;

    // The history as people read it: newest first; of two changes at the same
    // moment, the one that reached the later stage first.
    static QList<StatusChange*> newestFirst(const QList<StatusChange*>& history);

private:
    friend class JobApplication;
    friend class RecordWriter;
    friend class Store;

    void setDate(const QDateTime& value);
    void notify(Field field);

    // A status is its case's number; a raw text of no known case is kept as it came,
    // in a table aside (such entries are rare), so it is written back unchanged.
    static constexpr quint8 noStatus = 0xff;
    static constexpr quint8 unknownStatus = 0xfe;
    static quint8 statusCode(const std::optional<QString>& raw);
    bool hasUnknownRaw() const { return m_from == unknownStatus || m_to == unknownStatus; }

    // The row identifier shares a word with the statuses: a store numbers its rows from
    // 1 up, far below 2^47. One out of that range (a file edited by hand) is kept in the
    // table aside, and the word holds `storeIdAside`.
    static constexpr int storeIdBits = 48;
    static constexpr qint64 storeIdAside = (qint64(1) << (storeIdBits - 1)) - 1;
    void setStoreId(qint64 id);
    bool hasAside() const { return hasUnknownRaw() || m_storeId == storeIdAside; }

    QDateTime m_date;
    JobApplication* m_application = nullptr;
    qint64 m_storeId : storeIdBits = 0;
    quint8 m_from = noStatus;
    quint8 m_to = 0;
};

// A record's history entries in the order they were appended: their pointers side by
// side in one block from the entries' pool, sized to the history as it was read, and
// one pointer in the record. Read like a list; only the record changes it, and the
// record owns the entries.
class StatusHistory {
public:
    StatusHistory() = default;
    ~StatusHistory();
    StatusHistory(const StatusHistory&) = delete;
    StatusHistory& operator=(const StatusHistory&) = delete;

    qsizetype size() const { return m_block ? qsizetype(m_block->size) : 0; }
    bool isEmpty() const { return size() == 0; }
    StatusChange* at(qsizetype index) const
    {
        Q_ASSERT(index >= 0 && index < size());
        return begin()[index];
    }
    StatusChange* first() const { return at(0); }
    StatusChange* last() const { return at(size() - 1); }
    StatusChange* const* begin() const { return m_block ? m_block->entries() : nullptr; }
    StatusChange* const* end() const { return begin() + size(); }
    // -1 when `entry` is not in this history.
    qsizetype indexOf(const StatusChange* entry) const;
    bool contains(const StatusChange* entry) const { return indexOf(entry) >= 0; }
    QList<StatusChange*> toList() const;
    operator QList<StatusChange*>() const { return toList(); }

private:
    friend class JobApplication;
    friend class ApplicationBuilder;

    void reserve(qsizetype capacity);
    // `index` within 0…size().
    void insert(qsizetype index, StatusChange* entry);
    bool removeOne(const StatusChange* entry);
    void squeeze();

    struct Block {
        quint32 size;
        quint32 capacity;
        StatusChange** entries() { return reinterpret_cast<StatusChange**>(this + 1); }
    };
    static size_t bytesFor(quint32 capacity) { return sizeof(Block) + capacity * sizeof(StatusChange*); }
    void moveTo(quint32 capacity);

    Block* m_block = nullptr;
};
