#include "tests/src/AllocationCounter.h"

#include <cstdint>
#include <cstdlib>
#include <new>

// The C library's own entry points, under the names it exports for exactly this use.
extern "C" {
void* __libc_malloc(size_t size);
void __libc_free(void* ptr);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* ptr, size_t size);
void* __libc_memalign(size_t alignment, size_t size);
}

namespace {
bool gArmed = false;
size_t gAllocations = 0;
size_t gFrees = 0;
size_t gFailAbove = SIZE_MAX;

inline void CountAllocation() {
    if (gArmed) ++gAllocations;
}
inline void CountFree(void* ptr) {
    if (gArmed && ptr) ++gFrees;
}
}  // namespace

namespace AllocationCounter {
void Arm() {
    gAllocations = 0;
    gFrees = 0;
    gArmed = true;
}
void Disarm() { gArmed = false; }
void FailAbove(size_t bytes) { gFailAbove = bytes; }
size_t Allocations() { return gAllocations; }
size_t Frees() { return gFrees; }
}  // namespace AllocationCounter

#define EXPORTED __attribute__((visibility("default")))

extern "C" {
EXPORTED void* malloc(size_t size) {
    CountAllocation();
    if (size > gFailAbove) return nullptr;
    return __libc_malloc(size);
}
EXPORTED void free(void* ptr) {
    CountFree(ptr);
    __libc_free(ptr);
}
EXPORTED void* calloc(size_t count, size_t size) {
    CountAllocation();
    if (size && count > gFailAbove / size) return nullptr;
    return __libc_calloc(count, size);
}
EXPORTED void* realloc(void* ptr, size_t size) {
    CountAllocation();
    if (size > gFailAbove) return nullptr;
    return __libc_realloc(ptr, size);
}
EXPORTED void* memalign(size_t alignment, size_t size) {
    CountAllocation();
    if (size > gFailAbove) return nullptr;
    return __libc_memalign(alignment, size);
}
EXPORTED void* aligned_alloc(size_t alignment, size_t size) {
    CountAllocation();
    if (size > gFailAbove) return nullptr;
    return __libc_memalign(alignment, size);
}
EXPORTED int posix_memalign(void** out, size_t alignment, size_t size) {
    CountAllocation();
    if (size > gFailAbove) return 12;  // ENOMEM
    void* ptr = __libc_memalign(alignment, size);
    if (!ptr) return 12;  // ENOMEM
    *out = ptr;
    return 0;
}
}

namespace {
void* NewBytes(size_t size) {
    CountAllocation();
    void* ptr = size > gFailAbove ? nullptr : __libc_malloc(size ? size : 1);
    if (!ptr) throw std::bad_alloc();
    return ptr;
}
void* NewAligned(size_t size, std::align_val_t alignment) {
    CountAllocation();
    void* ptr = size > gFailAbove ? nullptr : __libc_memalign(static_cast<size_t>(alignment), size ? size : 1);
    if (!ptr) throw std::bad_alloc();
    return ptr;
}
void DeleteBytes(void* ptr) {
    CountFree(ptr);
    __libc_free(ptr);
}
}  // namespace

EXPORTED void* operator new(size_t size) { return NewBytes(size); }
EXPORTED void* operator new[](size_t size) { return NewBytes(size); }
EXPORTED void* operator new(size_t size, const std::nothrow_t&) noexcept {
    CountAllocation();
    return size > gFailAbove ? nullptr : __libc_malloc(size ? size : 1);
}
EXPORTED void* operator new[](size_t size, const std::nothrow_t&) noexcept {
    CountAllocation();
    return size > gFailAbove ? nullptr : __libc_malloc(size ? size : 1);
}
EXPORTED void* operator new(size_t size, std::align_val_t alignment) { return NewAligned(size, alignment); }
EXPORTED void* operator new[](size_t size, std::align_val_t alignment) { return NewAligned(size, alignment); }
EXPORTED void operator delete(void* ptr) noexcept { DeleteBytes(ptr); }
EXPORTED void operator delete[](void* ptr) noexcept { DeleteBytes(ptr); }
EXPORTED void operator delete(void* ptr, size_t) noexcept { DeleteBytes(ptr); }
EXPORTED void operator delete[](void* ptr, size_t) noexcept { DeleteBytes(ptr); }
EXPORTED void operator delete(void* ptr, const std::nothrow_t&) noexcept { DeleteBytes(ptr); }
EXPORTED void operator delete[](void* ptr, const std::nothrow_t&) noexcept { DeleteBytes(ptr); }
EXPORTED void operator delete(void* ptr, std::align_val_t) noexcept { DeleteBytes(ptr); }
EXPORTED void operator delete[](void* ptr, std::align_val_t) noexcept { DeleteBytes(ptr); }
EXPORTED void operator delete(void* ptr, size_t, std::align_val_t) noexcept { DeleteBytes(ptr); }
EXPORTED void operator delete[](void* ptr, size_t, std::align_val_t) noexcept { DeleteBytes(ptr); }
