// The setup program's own resources, read from the built executable.

#include "installer/core/PackedResourceFunctions.h"
#include "tests/installer/InstallerTestSupport.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace {

struct LoadedAsData
{
    explicit LoadedAsData(const std::wstring& path)
        : module(LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE))
    {
    }
    ~LoadedAsData()
    {
        if (module != nullptr)
            FreeLibrary(module);
    }
    std::string Resource(const wchar_t* name, const wchar_t* type) const
    {
        HRSRC found = FindResourceW(module, name, type);
        HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
        const char* bytes = loaded != nullptr ? static_cast<const char*>(LockResource(loaded)) : nullptr;
        return bytes != nullptr ? std::string(bytes, SizeofResource(module, found)) : std::string();
    }
    HMODULE module;
};

TEST(ProgramResources, PackagesManifestIconAndVersionAreInTheSetupProgram)
{
    const std::wstring program = InstallerTests::ProgramFolder() + L"..\\..\\installer\\WendmoorSetup.exe";
    LoadedAsData setup(program);
    ASSERT_NE(setup.module, nullptr);
    for (const wchar_t* package : {kInstallerPackage, kGameClientPackage}) {
        const std::string blob = setup.Resource(package, kPackageResourceType);
        EXPECT_TRUE(UncompressPackage(blob.data(), static_cast<uint32_t>(blob.size()), package)) << package;
    }
    EXPECT_NE(setup.Resource(MAKEINTRESOURCEW(1), RT_MANIFEST).find("level=\"requireAdministrator\""),
              std::string::npos);
    EXPECT_FALSE(setup.Resource(L"IDI_WENDMOOR", RT_GROUP_ICON).empty());

    DWORD ignored = 0;
    std::vector<char> version(GetFileVersionInfoSizeW(program.c_str(), &ignored));
    ASSERT_FALSE(version.empty());
    ASSERT_TRUE(GetFileVersionInfoW(program.c_str(), 0, static_cast<DWORD>(version.size()), version.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(version.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(0, 9));
    EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(3, 1));
}

} // namespace
