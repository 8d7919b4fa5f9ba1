// The allocation counter and the program's own operator new and delete, which count and then
// allocate with malloc. The aligned forms are left to the library: nothing in the engine
// could use them without using one of these first.
#include "allocation_count.h"

#include <atomic>
#include <cstdlib>
#include <new>

static std::atomic<bool> counting{false};
static std::atomic<uint64_t> counted{0};

void count_allocations(bool on) {
    if (on)
        counted = 0;
    counting = on;
}

uint64_t allocations_counted() {
    return counted.load();
}

void note_allocation() {
    if (counting.load(std::memory_order_relaxed))
        counted.fetch_add(1, std::memory_order_relaxed);
}

static void* allocate(std::size_t size) {
    note_allocation();
    return std::malloc(size == 0 ? 1 : size);
}

void* operator new(std::size_t size) {
    void* memory = allocate(size);
    if (memory == nullptr)
        throw std::bad_alloc();
    return memory;
}

void* operator new[](std::size_t size) {
    return operator new(size);
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return allocate(size);
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return allocate(size);
}

void operator delete(void* memory) noexcept {
    std::free(memory);
}

void operator delete[](void* memory) noexcept {
    std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}

void operator delete[](void* memory, std::size_t) noexcept {
    std::free(memory);
}

void operator delete(void* memory, const std::nothrow_t&) noexcept {
    std::free(memory);
}

void operator delete[](void* memory, const std::nothrow_t&) noexcept {
    std::free(memory);
}
