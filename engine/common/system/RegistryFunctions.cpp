#include "engine/common/system/RegistryFunctions.h"

#include "engine/common/base/TScopedHandle.h"

#include "engine/filesystem/ILogFile.h"

namespace RVGameEngine {
namespace Common {

namespace {

void LogMissingArgument(const wchar_t* function)
{
    FileSystem::ILogFile_GetInstance()->Log(FileSystem::LOG_LEVEL_ERROR, L"%s: a required argument is null", function);
}

} // namespace

HKEY CreateRegisterKey(HKEY parent, const wchar_t* subkeyPath)
{
    if (parent == nullptr || subkeyPath == nullptr) {
        LogMissingArgument(L"CreateRegisterKey");
        return nullptr;
    }
    HKEY key = nullptr;
    if (RegCreateKeyExW(parent, subkeyPath, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

int WriteRegisterKeyValue(HKEY key, const wchar_t* valueName, const wchar_t* text)
{
    if (key == nullptr || valueName == nullptr || text == nullptr) {
        LogMissingArgument(L"WriteRegisterKeyValue");
        return 0;
    }
    // REG_SZ data must include its terminating zero, or readers may see the
    // text run on into whatever follows it.
    const DWORD bytes = static_cast<DWORD>((wcslen(text) + 1) * sizeof(wchar_t));
    return RegSetValueExW(key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), bytes) == ERROR_SUCCESS
               ? 1
               : 0;
}

void CloseRegisterKey(HKEY key)
{
    // Taken over only to be closed; the predefined root keys stay open.
    CScopedRegistryKey closing(key);
}

void DeleteRegisterKey(HKEY parent, const wchar_t* subkeyPath)
{
    if (parent != nullptr && subkeyPath != nullptr)
        RegDeleteKeyW(parent, subkeyPath);
}

} // namespace Common
} // namespace RVGameEngine
