#pragma once

#include <QtGlobal>

#include <atomic>
#include <utility>

// One pointer to a block that never changes once made, shared by every copy and freed
// by the last one: what SharedText and LongText keep a text in. `Block` starts with
// `std::atomic<quint32> holders`, set to 1 when it is made; `free` gives it back.
// Records are built on the loader's thread and dropped on the main thread, so the
// count is atomic.
template <typename Block, void (*free)(Block*)> class CountedBlock {
public:
    CountedBlock() = default;
    // Takes over a new block, counted once.
    explicit CountedBlock(Block* block)
        : m_block(block)
    {
    }
    CountedBlock(const CountedBlock& other) noexcept
        : m_block(other.m_block)
    {
        if (m_block)
            m_block->holders.fetch_add(1, std::memory_order_relaxed);
    }
    CountedBlock(CountedBlock&& other) noexcept
        : m_block(std::exchange(other.m_block, nullptr))
    {
    }
    CountedBlock& operator=(CountedBlock other) noexcept
    {
        std::swap(m_block, other.m_block);
        return *this;
    }
    ~CountedBlock()
    {
        // The last holder, on whichever thread, sees every other holder's use of the block done.
        if (m_block && m_block->holders.fetch_sub(1, std::memory_order_acq_rel) == 1)
            free(m_block);
    }

    Block* get() const { return m_block; }
    explicit operator bool() const { return m_block != nullptr; }

private:
    Block* m_block = nullptr;
};
