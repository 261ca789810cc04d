#pragma once

#include <vector>

namespace RVTest {

// While it lives, the test program's own calls of an imported system
// function reach a replacement: the program's import address table entries
// for it are rewritten. The engine is linked into the test program, so its
// calls are caught too; other modules' calls (the system's own) are not.
// Only one patch of a function at a time; made and undone on one thread.
class ImportPatch
{
public:
    // The module as the program imports it ("kernel32.dll", any case).
    ImportPatch(const char* module, const char* function, void* replacement);
    ~ImportPatch();
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;

    // Whether the program imports the function and its entries now lead to
    // the replacement.
    bool Patched() const { return m_original != nullptr; }
    // The function the entries led to before: the system's.
    void* Original() const { return m_original; }

private:
    std::vector<void**> m_slots;
    void* m_original = nullptr;
};

} // namespace RVTest
