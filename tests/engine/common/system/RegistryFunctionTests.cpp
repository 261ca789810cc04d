#include "tests/support/LogCapture.h"

#include "engine/common/base/TScopedHandle.h"

#include "engine/common/system/RegistryFunctions.h"

#include <gtest/gtest.h>

#include <string>

using namespace RVGameEngine::Common;

namespace {

// Of this process alone: copies of the test program may run side by side
// in one prefix.
const std::wstring kParentPath = L"Software\\WendmoorSystemTests-" + std::to_wstring(GetCurrentProcessId());
const std::wstring kKeyPath = kParentPath + L"\\Install";

// The stored bytes of a value under the test key; false when it is not there.
bool ReadRaw(const wchar_t* valueName, std::wstring* bytes, DWORD* type)
{
    RVGameEngine::Common::CScopedRegistryKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kKeyPath.c_str(), 0, KEY_QUERY_VALUE, key.Receive()) != ERROR_SUCCESS)
        return false;
    wchar_t data[256] = {};
    DWORD size = sizeof(data);
    const bool ok = RegQueryValueExW(key.Get(), valueName, nullptr, type, reinterpret_cast<BYTE*>(data), &size) == 0;
    bytes->assign(data, ok ? size / sizeof(wchar_t) : 0);
    return ok && size % sizeof(wchar_t) == 0;
}

} // namespace

TEST(Registry, TextValuesReadBackWithTheirTerminator)
{
    RVTest::LogCapture log;
    HKEY key = CreateRegisterKey(HKEY_CURRENT_USER, kKeyPath.c_str());
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(WriteRegisterKeyValue(key, L"InstallPath", L"C:\\Games\\温德摩尔"), 1);
    EXPECT_EQ(WriteRegisterKeyValue(key, L"Empty", L""), 1);
    // Missing arguments are refused, each with a log line.
    EXPECT_EQ(WriteRegisterKeyValue(key, nullptr, L"x") + WriteRegisterKeyValue(key, L"Name", nullptr) +
                  WriteRegisterKeyValue(nullptr, L"Name", L"x"), 0);
    EXPECT_EQ(CreateRegisterKey(HKEY_CURRENT_USER, nullptr), nullptr);
    EXPECT_EQ(RVTest::LogCapture::Lines().size(), 4u);
    CloseRegisterKey(key);
    CloseRegisterKey(nullptr);
    // Opening an existing key keeps its values.
    key = CreateRegisterKey(HKEY_CURRENT_USER, kKeyPath.c_str());
    ASSERT_NE(key, nullptr);
    CloseRegisterKey(key);
    std::wstring bytes;
    DWORD type = 0;
    ASSERT_TRUE(ReadRaw(L"InstallPath", &bytes, &type));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(bytes, std::wstring(L"C:\\Games\\温德摩尔", 14));
    ASSERT_TRUE(ReadRaw(L"Empty", &bytes, &type));
    EXPECT_EQ(bytes, std::wstring(1, L'\0'));
    EXPECT_FALSE(ReadRaw(L"Name", &bytes, &type));
    DeleteRegisterKey(HKEY_CURRENT_USER, kKeyPath.c_str());
    DeleteRegisterKey(HKEY_CURRENT_USER, kParentPath.c_str());
    EXPECT_FALSE(ReadRaw(L"InstallPath", &bytes, &type));
}
