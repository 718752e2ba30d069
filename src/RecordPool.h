// The memory behind the engine's pooled records (pending notes, trigger groups): each
// growth is one allocation holding many records, so a new instance reserves its
// hundreds of spares in one call instead of one call per record. Records never go
// back one by one: every block is freed with the pool.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <type_traits>

#include "src/IntrusiveList.h"

template <typename T>
class RecordPool {
    static_assert(std::is_trivially_destructible<T>::value, "pooled records are freed without destructors");

public:
    RecordPool() = default;
    ~RecordPool() {
        while (Block* block = mpBlocks) {
            mpBlocks = block->mpNext;
            ::operator delete(block);
        }
    }
    RecordPool(const RecordPool&) = delete;
    RecordPool& operator=(const RecordPool&) = delete;

    // Adds `count` new records, in their initial state, to the back of `spares`; false
    // (and nothing added) without memory.
    bool Grow(int count, IntrusiveList<T>& spares) {
        if (count <= 0) return true;
        if (static_cast<size_t>(count) > (SIZE_MAX - RECORDS_OFFSET) / sizeof(T)) return false;
        void* memory = ::operator new(RECORDS_OFFSET + sizeof(T) * static_cast<size_t>(count), std::nothrow);
        if (!memory) return false;
        Block* block = new (memory) Block{mpBlocks};
        mpBlocks = block;
        T* records = reinterpret_cast<T*>(static_cast<unsigned char*>(memory) + RECORDS_OFFSET);
        for (int i = 0; i < count; ++i) spares.PushBack(new (records + i) T());
        return true;
    }

private:
    struct Block {
        Block* mpNext;
    };
    // The records start after the block's header, on their own alignment.
    static constexpr size_t RECORDS_OFFSET = (sizeof(Block) + alignof(T) - 1) / alignof(T) * alignof(T);
    static_assert(alignof(T) <= __STDCPP_DEFAULT_NEW_ALIGNMENT__, "records fit the allocator's alignment");

    Block* mpBlocks = nullptr;
};
