// Counting the heap allocations a test program makes while a flag is up, to show that a job
// allocates nothing. operator new is counted everywhere; the C allocation functions where
// the platform lets a program put its own in front of them (MALLOC_FAMILY_COUNTED).
#pragma once

#include <cstdint>

// Starts or stops counting; starting sets the count to 0. Counts every thread.
void count_allocations(bool on);
uint64_t allocations_counted();

// Whether malloc, calloc, realloc and the aligned allocators are counted too (natively,
// without a sanitizer, which keeps those functions for itself).
extern const bool MALLOC_FAMILY_COUNTED;

// Called by the replacements for each allocation they make.
void note_allocation();
