// A loaded module's import table: read, and single imports pointed elsewhere, so that a test or a
// benchmark can count or time what the plug-in calls without touching the plug-in.
#ifndef IMPORTTABLE_H
#define IMPORTTABLE_H

#include <windows.h>

#include <functional>

// Calls visit(dll, function, slot) for every import by name.
void ForEachImport(HMODULE module, const std::function<void(const char* dll, const char* function, IMAGE_THUNK_DATA* slot)>& visit);

// Points the module's import of dll!function at replacement; returns the previous target, or
// NULL when the module does not import it. The DLL's name is compared without regard to case.
void* RedirectImport(HMODULE module, const char* dll, const char* function, void* replacement);

#endif
