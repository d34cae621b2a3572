#pragma once

#include "model/CountedBlock.h"
#include "model/Utf8Text.h"

#include <QByteArrayView>
#include <QString>

#include <atomic>
#include <cstring>
#include <new>

// A text kept as its UTF-8 bytes in one block behind one pointer: a record's notes
// and its posting link. Half the room of UTF-16 for most writing, 8 bytes in the
// record where a QByteArray takes 24, and the form the store and backups take it in.
// Copies share the block (a text never changes in place: a new text is a new block),
// so a long note is never held twice over on its way in or out. Converted to a
// QString only where it is shown, edited or searched.
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
            Block* block = new (room) Block {{1}, quint32(size)};
            fill(block->bytes());
            text.m_block = Counted(block);
        }
        return text;
    }

    QString toString() const { return textFromUtf8(utf8()); }
    // Valid while this text, or a copy of it, is kept.
    QByteArrayView utf8() const
    {
        Block* block = m_block.get();
        return block ? QByteArrayView(block->bytes(), block->size) : QByteArrayView();
    }
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
    static void release(Block* block)
    {
        block->~Block();
        ::operator delete(block);
    }
    using Counted = CountedBlock<Block, &LongText::release>;

    Counted m_block;
};
