#pragma once

#include "model/CountedBlock.h"

#include <QString>

#include <atomic>
#include <utility>

// A short text kept in one pointer: none for an empty text, otherwise an entry that
// every holder of the same entry counts. A record spends 8 bytes on a company or a
// recruiter's name instead of a QString's 24, and records read from one file that
// name the same one share its entry. An entry's text never changes: a new text is a
// new entry.
class SharedText {
public:
    SharedText() = default;
    explicit SharedText(QString text)
        : m_entry(text.isEmpty() ? nullptr : new Entry {std::move(text)})
    {
    }

    const QString& text() const { return m_entry ? m_entry.get()->text : s_empty; }
    // Whether `text` is this entry's own string (a copy of it), not merely an equal one.
    bool holds(const QString& text) const
    {
        return m_entry && text.constData() == m_entry.get()->text.constData()
            && text.size() == m_entry.get()->text.size();
    }

private:
    struct Entry {
        const QString text;
        std::atomic<quint32> holders {1};
    };
    static void release(Entry* entry) { delete entry; }
    static inline const QString s_empty;

    CountedBlock<Entry, &SharedText::release> m_entry;
};
