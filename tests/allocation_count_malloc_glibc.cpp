// The C allocation functions of the GNU C library, counted: the program's own definitions
// come first in symbol lookup, also for calls made inside the C library, and hand the work
// to the library's allocator under its internal names.
#include "allocation_count.h"

#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <malloc.h>

extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* memory, size_t size);
void* __libc_memalign(size_t alignment, size_t size);
void* __libc_valloc(size_t size);
void* __libc_pvalloc(size_t size);

void* malloc(size_t size) noexcept {
    note_allocation();
    return __libc_malloc(size);
}

void* calloc(size_t count, size_t size) noexcept {
    note_allocation();
    return __libc_calloc(count, size);
}

void* realloc(void* memory, size_t size) noexcept {
    note_allocation();
    return __libc_realloc(memory, size);
}

void* memalign(size_t alignment, size_t size) noexcept {
    note_allocation();
    return __libc_memalign(alignment, size);
}

void* aligned_alloc(size_t alignment, size_t size) noexcept {
    note_allocation();
    return __libc_memalign(alignment, size);
}

void* valloc(size_t size) noexcept {
    note_allocation();
    return __libc_valloc(size);
}

void* pvalloc(size_t size) noexcept {
    note_allocation();
    return __libc_pvalloc(size);
}

int posix_memalign(void** memory, size_t alignment, size_t size) noexcept {
    note_allocation();
    void* got = __libc_memalign(alignment, size);
    if (got == nullptr)
        return ENOMEM;
    *memory = got;
    return 0;
}
}

const bool MALLOC_FAMILY_COUNTED = true;
