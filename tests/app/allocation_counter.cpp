#include "tests/app/allocation_counter.h"

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <new>

namespace {

std::atomic<bool> counting{false};
std::atomic<long> allocations{0};

void Count() {
    if (counting.load(std::memory_order_relaxed)) {
        allocations.fetch_add(1, std::memory_order_relaxed);
    }
}

}  // namespace

namespace testing_app {

void AllocationCountingStart() {
    allocations.store(0);
    counting.store(true);
}

long AllocationCountingStop() {
    counting.store(false);
    return allocations.load();
}

long AllocationCount() { return allocations.load(); }

}  // namespace testing_app

extern "C" {
void* __real_malloc(size_t size);
void* __real_calloc(size_t count, size_t size);
void* __real_realloc(void* block, size_t size);
void* __real_aligned_alloc(size_t alignment, size_t size);
void* __wrap_malloc(size_t size);
void* __wrap_calloc(size_t count, size_t size);
void* __wrap_realloc(void* block, size_t size);
void* __wrap_aligned_alloc(size_t alignment, size_t size);

void* __wrap_malloc(size_t size) {
    Count();
    return __real_malloc(size);
}
void* __wrap_calloc(size_t count, size_t size) {
    Count();
    return __real_calloc(count, size);
}
void* __wrap_realloc(void* block, size_t size) {
    Count();
    return __real_realloc(block, size);
}
void* __wrap_aligned_alloc(size_t alignment, size_t size) {
    Count();
    return __real_aligned_alloc(alignment, size);
}
}

void* operator new(size_t size) {
    Count();
    if (void* block = __real_malloc(size == 0 ? 1 : size)) {
        return block;
    }
    throw std::bad_alloc();
}
void* operator new[](size_t size) { return operator new(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept {
    Count();
    return __real_malloc(size == 0 ? 1 : size);
}
void* operator new[](size_t size, const std::nothrow_t& tag) noexcept {
    return operator new(size, tag);
}
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, size_t) noexcept { std::free(block); }
void operator delete[](void* block, size_t) noexcept { std::free(block); }
