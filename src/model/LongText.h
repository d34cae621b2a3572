#pragma once

#include "model/Utf8Text.h"

#include <QByteArrayView>
#include <QString>

#include <atomic>
#include <cstring>
#include <new>
#include <utility>

// A text kept as its UTF-8 bytes in one block behind one pointer: a record's notes
// and its posting link. Half the room of UTF-16 for most writing, 8 bytes in the
// record where a QByteArray takes 24, and the form the store and backups take it in.
// Copies share the block (a text never changes in place: a new text is a new block),
// so a long note is never held twice over on its way in or out. Converted to a
// QString only where it is shown, edited or searched. Records are built on the
// loader's thread and dropped on the main thread, so the count is atomic.
class LongText {
public:
    LongText() = default;
    // Any text is a long text, filled in as a text.
    LongText(const QString& text)
        : LongText(fromUtf8(text.toUtf8()))
    {
    }
    // `utf8` must be valid UTF-8, and under 4 GiB (SQLite and the backup's JSON
    // strings end far below that).
    static LongText fromUtf8(QByteArrayView utf8)
    {
        return filled(utf8.size(), [utf8](char* bytes) { std::memcpy(bytes, utf8.data(), size_t(utf8.size())); });
    }
    // `size` bytes of UTF-8 written in place by `fill(char*)`: a text copied piece by
    // piece from somewhere that gives its pages back as it goes.
    template <typename Fill> static LongText filled(qsizetype size, Fill&& fill)
    {
        LongText text;
        if (size > 0) {
            void* room = ::operator new(sizeof(Block) + size_t(size));
            text.m_block = new (room) Block {{1}, quint32(size)};
            fill(text.m_block->bytes());
        }
        return text;
    }
    LongText(const LongText& other) noexcept
        : m_block(other.m_block)
    {
        if (m_block)
            m_block->holders.fetch_add(1, std::memory_order_relaxed);
    }
    LongText(LongText&& other) noexcept
        : m_block(std::exchange(other.m_block, nullptr))
    {
    }
    LongText& operator=(LongText other) noexcept
    {
        std::swap(m_block, other.m_block);
        return *this;
    }
    ~LongText()
    {
        // The last holder, on whichever thread, sees every other holder's use of the bytes done.
        if (m_block && m_block->holders.fetch_sub(1, std::memory_order_acq_rel) == 1) {
            m_block->~Block();
            ::operator delete(m_block);
        }
    }

    QString toString() const { return textFromUtf8(utf8()); }
    // Valid while this text, or a copy of it, is kept.
    QByteArrayView utf8() const { return m_block ? QByteArrayView(m_block->bytes(), m_block->size) : QByteArrayView(); }
    bool isEmpty() const { return !m_block; }
    void clear() { *this = LongText(); }

    friend bool operator==(const LongText& a, const LongText& b) { return a.utf8() == b.utf8(); }

private:
    // The count and the length, then the bytes, in one allocation.
    struct Block {
        std::atomic<quint32> holders;
        quint32 size;
        char* bytes() { return reinterpret_cast<char*>(this + 1); }
    };
    static_assert(sizeof(Block) == 8);

    Block* m_block = nullptr;
};
