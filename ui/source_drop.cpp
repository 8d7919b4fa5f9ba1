// Dropped files on the Source field. The field's window procedure is replaced so that the
// drop message reaches the program.
#include "dialog.h"

void hook_dropped_files() {}

void unhook_dropped_files() {}
