#include "engine/common/base/ModuleName.h"

#include <cwchar>

namespace RVGameEngine {
namespace Common {

namespace {

wchar_t g_moduleName[kModuleNameUnits] = {0};

} // namespace

const wchar_t* GetModuleName()
{
    return g_moduleName;
}

bool StoreModuleName(const wchar_t* name)
{
    if (name == nullptr)
        name = L"";
    const size_t length = std::wcslen(name);
    if (length >= kModuleNameUnits)
        return false;
    std::wmemcpy(g_moduleName, name, length + 1);
    return true;
}

} // namespace Common
} // namespace RVGameEngine
