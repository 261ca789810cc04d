#include "LogCapture.h"

#include "engine/common/RegistryFunctions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace RVGameEngine::Common;

namespace {

const wchar_t* const kParentPath = L"Software\\WendmoorSystemTests";
const wchar_t* const kKeyPath = L"Software\\WendmoorSystemTests\\Install";

struct RawValue
{
    DWORD type = 0;
    std::vector<BYTE> bytes;
};

bool ReadRaw(const wchar_t* valueName, RawValue* value)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kKeyPath, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    DWORD size = 0;
    bool ok = RegQueryValueExW(key, valueName, nullptr, &value->type, nullptr, &size) == ERROR_SUCCESS;
    if (ok) {
        value->bytes.assign(size, 0);
        ok = RegQueryValueExW(key, valueName, nullptr, &value->type, value->bytes.data(), &size) == ERROR_SUCCESS;
    }
    RegCloseKey(key);
    return ok;
}

} // namespace

TEST(Registry, TextValuesReadBackWithTheirTerminator)
{
    HKEY key = CreateRegisterKey(HKEY_CURRENT_USER, kKeyPath);
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(WriteRegisterKeyValue(key, L"InstallPath", L"C:\\Games\\温德摩尔"), 1);
    EXPECT_EQ(WriteRegisterKeyValue(key, L"Empty", L""), 1);
    CloseRegisterKey(key);

    RawValue value;
    ASSERT_TRUE(ReadRaw(L"InstallPath", &value));
    EXPECT_EQ(value.type, static_cast<DWORD>(REG_SZ));
    const std::wstring expected = L"C:\\Games\\温德摩尔";
    ASSERT_EQ(value.bytes.size(), (expected.size() + 1) * sizeof(wchar_t));
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(value.bytes.data())), expected);
    EXPECT_EQ(reinterpret_cast<const wchar_t*>(value.bytes.data())[expected.size()], L'\0');
    ASSERT_TRUE(ReadRaw(L"Empty", &value));
    EXPECT_EQ(value.bytes.size(), sizeof(wchar_t));

    // Opening an existing key gives it back with its values.
    key = CreateRegisterKey(HKEY_CURRENT_USER, kKeyPath);
    ASSERT_NE(key, nullptr);
    CloseRegisterKey(key);
    EXPECT_TRUE(ReadRaw(L"InstallPath", &value));

    DeleteRegisterKey(HKEY_CURRENT_USER, kKeyPath);
    DeleteRegisterKey(HKEY_CURRENT_USER, kParentPath);
    EXPECT_FALSE(ReadRaw(L"InstallPath", &value));
}

TEST(Registry, NullArgumentsAreRefused)
{
    HKEY key = CreateRegisterKey(HKEY_CURRENT_USER, kKeyPath);
    ASSERT_NE(key, nullptr);
    SystemTests::LogCapture log;
    EXPECT_EQ(WriteRegisterKeyValue(key, nullptr, L"x"), 0);
    EXPECT_EQ(WriteRegisterKeyValue(key, L"Name", nullptr), 0);
    EXPECT_EQ(WriteRegisterKeyValue(nullptr, L"Name", L"x"), 0);
    CloseRegisterKey(key);
    RawValue value;
    EXPECT_FALSE(ReadRaw(L"Name", &value));
    CloseRegisterKey(nullptr);
    EXPECT_EQ(CreateRegisterKey(HKEY_CURRENT_USER, nullptr), nullptr);
    EXPECT_EQ(SystemTests::LogCapture::Lines().size(), 4u);
    DeleteRegisterKey(HKEY_CURRENT_USER, kKeyPath);
    DeleteRegisterKey(HKEY_CURRENT_USER, kParentPath);
}
