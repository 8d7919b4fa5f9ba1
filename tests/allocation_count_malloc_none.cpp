// Where the C allocation functions cannot be replaced by the program (Windows' C runtime,
// or a sanitizer's runtime that owns them), only operator new is counted.
#include "allocation_count.h"

const bool MALLOC_FAMILY_COUNTED = false;
