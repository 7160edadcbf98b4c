// The few services the library takes from the operating system.
#ifndef KEL_PLATFORM_H
#define KEL_PLATFORM_H

#include "kelInternal.h"

// Writes one text to the diagnostic channel (standard error) in one piece.
void kelPlatformDebugOutput(const char* text);

// The directory that holds the default database and the plug-ins.
KEL_INTERNAL const char* kelPlatformSystemDirectory();

// Loads a shared library and runs its static initialisers; a name without
// "/" is also looked for in the system directory and beside the core
// library. Returns null when it cannot be loaded.
KEL_INTERNAL void* kelPlatformLoadLibrary(const char* name);

#endif
