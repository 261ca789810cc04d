#include "tests/support/ImportPatch.h"

#include <windows.h>

#include <cstring>

namespace RVTest {

namespace {

// The program's import address table entries for the function, found by
// the names its import descriptors keep beside them.
std::vector<void**> ImportSlots(const char* module, const char* function)
{
    std::vector<void**> slots;
    auto* const base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0)
        return slots;
    for (auto* descriptor = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         descriptor->Name != 0; ++descriptor) {
        // Without the names (a bound import), the entries cannot be told apart.
        if (_stricmp(reinterpret_cast<const char*>(base + descriptor->Name), module) != 0 ||
            descriptor->OriginalFirstThunk == 0)
            continue;
        const auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + descriptor->OriginalFirstThunk);
        auto* entries = reinterpret_cast<IMAGE_THUNK_DATA*>(base + descriptor->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++entries) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) == 0)
                slots.push_back(reinterpret_cast<void**>(&entries->u1.Function));
        }
    }
    return slots;
}

bool WriteSlot(void** slot, void* value)
{
    DWORD protection = 0;
    if (!VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection))
        return false;
    InterlockedExchangePointer(slot, value);
    VirtualProtect(slot, sizeof *slot, protection, &protection);
    return true;
}

} // namespace

ImportPatch::ImportPatch(const char* module, const char* function, void* replacement)
{
    for (void** slot : ImportSlots(module, function)) {
        void* const original = *slot;
        if (!WriteSlot(slot, replacement))
            continue;
        m_slots.push_back(slot);
        m_original = original;
    }
}

ImportPatch::~ImportPatch()
{
    for (void** slot : m_slots)
        WriteSlot(slot, m_original);
}

} // namespace RVTest
