#pragma once

#include <QString>

#include <atomic>
#include <utility>

// A short text kept in one pointer: none for an empty text, otherwise an entry that
// every holder of the same entry counts. A record spends 8 bytes on a company or a
// recruiter's name instead of a QString's 24, and records read from one file that
// name the same one share its entry. An entry's text never changes: a new text is a
// new entry. Records are built on the loader's thread and dropped on the main
// thread, so the count is atomic.
class SharedText {
public:
    SharedText() = default;
    explicit SharedText(QString text)
        : m_entry(text.isEmpty() ? nullptr : new Entry {std::move(text)})
    {
    }
    SharedText(const SharedText& other) noexcept
        : m_entry(other.m_entry)
    {
        if (m_entry)
            m_entry->holders.fetch_add(1, std::memory_order_relaxed);
    }
    SharedText(SharedText&& other) noexcept
        : m_entry(std::exchange(other.m_entry, nullptr))
    {
    }
    SharedText& operator=(SharedText other) noexcept
    {
        std::swap(m_entry, other.m_entry);
        return *this;
    }
    ~SharedText()
    {
        // The last holder, on whichever thread, sees every other holder's use of the text done.
        if (m_entry && m_entry->holders.fetch_sub(1, std::memory_order_acq_rel) == 1)
            delete m_entry;
    }

    const QString& text() const { return m_entry ? m_entry->text : s_empty; }
    // Whether `text` is this entry's own string (a copy of it), not merely an equal one.
    bool holds(const QString& text) const
    {
        return m_entry && text.constData() == m_entry->text.constData() && text.size() == m_entry->text.size();
    }

private:
    struct Entry {
        const QString text;
        std::atomic<quint32> holders {1};
    };
    static inline const QString s_empty;

    Entry* m_entry = nullptr;
};
