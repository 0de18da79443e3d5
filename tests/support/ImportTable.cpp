#include "support/ImportTable.h"

#include <cstring>

static IMAGE_IMPORT_DESCRIPTOR* ImportDescriptors(HMODULE module)
{
    BYTE* base = (BYTE*)module;
    IMAGE_NT_HEADERS* nt = (IMAGE_NT_HEADERS*)(base + ((IMAGE_DOS_HEADER*)base)->e_lfanew);
    return (IMAGE_IMPORT_DESCRIPTOR*)(base + nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress);
}

void ForEachImport(HMODULE module, const std::function<void(const char* dll, const char* function, IMAGE_THUNK_DATA* slot)>& visit)
{
    BYTE* base = (BYTE*)module;
    for (IMAGE_IMPORT_DESCRIPTOR* d = ImportDescriptors(module); d->Name; ++d)
    {
        IMAGE_THUNK_DATA* names = (IMAGE_THUNK_DATA*)(base + d->OriginalFirstThunk);
        IMAGE_THUNK_DATA* slots = (IMAGE_THUNK_DATA*)(base + d->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots)
            if (!IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                visit((const char*)(base + d->Name),
                      (const char*)((IMAGE_IMPORT_BY_NAME*)(base + names->u1.AddressOfData))->Name, slots);
    }
}

void* RedirectImport(HMODULE module, const char* dll, const char* function, void* replacement)
{
    void* previous = NULL;
    ForEachImport(module, [&](const char* importedFrom, const char* name, IMAGE_THUNK_DATA* slot) {
        if (previous != NULL || _stricmp(importedFrom, dll) != 0 || strcmp(name, function) != 0)
            return;
        DWORD protect;
        VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, PAGE_READWRITE, &protect);
        previous = (void*)slot->u1.Function;
        slot->u1.Function = (DWORD_PTR)replacement;
        VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, protect, &protect);
    });
    return previous;
}
