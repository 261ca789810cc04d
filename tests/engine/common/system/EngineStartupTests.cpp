// Winsock 2 must come before anything that brings in windows.h.
#include <winsock2.h>

#include "HelperProcess.h"

#include "engine/common/startup/EngineStartup.h"
#include "engine/directui/drawing/IGdiFontManager.h"
#include "tests/support/ExpectEngineFatal.h"
#include "tests/support/PlantedLink.h"

#include <gtest/gtest.h>
#include <dbghelp.h>

#include <cstddef>
#include <cstring>

using namespace RVGameEngine::Common;

namespace {

const std::wstring kDumpStem = L"Dump\\Setup_20210307_090503";

// Crashes the helper in the folder and checks its report: the filter ran
// both hooks around the dump and showed the message.
void ExpectCrashReport(const RVTest::TempFolder& folder, const wchar_t* fullDump, const wchar_t* message,
                       const std::wstring& dumpName, const std::wstring& baseFolder = L"", bool overflow = false)
{
    const std::wstring out = folder.Child(L"report.txt");
    DeleteFileW(out.c_str());
    SystemTests::ScopedEnvironment environment({{L"RV_HELPER_MODE", L"crash"}, {L"RV_HELPER_OUT", out},
                                                {L"RV_HELPER_FULLDUMP", fullDump}, {L"RV_HELPER_BASE", baseFolder},
                                                {L"RV_HELPER_OVERFLOW", overflow ? L"1" : L"0"}});
    EXPECT_EQ(static_cast<DWORD>(SystemTests::RunHelper(L"helper", folder.Path().c_str())),
              static_cast<DWORD>(overflow ? EXCEPTION_STACK_OVERFLOW : EXCEPTION_ACCESS_VIOLATION));
    EXPECT_EQ(SystemTests::ReadReport(out),
              (std::vector<std::wstring>{L"module:", L"initialized", L"pre", std::wstring(L"box:") + message + L"|提示|0",
                                         L"post:" + folder.Child(dumpName)}));
}

// The dump type recorded in a minidump's header; 0 when the file is not one.
ULONG64 DumpTypeOf(const std::wstring& path)
{
    const std::string bytes = RVTest::ReadWholeFile(path);
    ULONG64 flags = 0;
    if (bytes.size() >= sizeof(MINIDUMP_HEADER) && bytes.compare(0, 4, "MDMP") == 0)
        memcpy(&flags, bytes.data() + offsetof(MINIDUMP_HEADER, Flags), sizeof(flags));
    return flags;
}

} // namespace

TEST(EngineStartup, RunsTheWholeStartUp)
{
    EXPECT_ENGINE_FATAL(EngineInitialize(std::wstring(1000, L'm').c_str()));
    LPTOP_LEVEL_EXCEPTION_FILTER testFilter = SetUnhandledExceptionFilter(nullptr);
    EngineInitialize(L"SystemTests");
    // Put the harness's filter back, checking that start-up had installed the engine's.
    EXPECT_EQ(SetUnhandledExceptionFilter(testFilter), &DefaultUnhandledExceptionFilter);
    EXPECT_STREQ(GetModuleName(), L"SystemTests");
    EXPECT_STREQ(CoreGetProgramDir(), GetProgramDir()->GetUtf16());
    SOCKET probe = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    EXPECT_NE(probe, INVALID_SOCKET);
    closesocket(probe);
    EXPECT_EQ(CoInitialize(nullptr), S_FALSE);
    CoUninitialize();
    WNDCLASSW frameClass = {};
    EXPECT_TRUE(GetClassInfoW(GetModuleHandleW(nullptr), L"RVFRAME", &frameClass));
    EXPECT_EQ(RVGameEngine::DirectUI::IFontManager_GetInstance()->GetFontHeight(0), 14);
}

TEST(CrashDump, EachCrashWritesTheNextNameAndRunsTheHooks)
{
    RVTest::TempFolder folder;
    // The file system's base folder must not divert the search for a free
    // name away from the current directory, where the dump is written.
    RVTest::TempFolder elsewhere;
    const wchar_t* suffixes[] = {L".dmp", L"_1.dmp", L"_2.dmp", L"_3.dmp"};
    // Full and small dumps alternate; the last crash overflows the stack, which
    // leaves the filter next to none.
    for (size_t i = 0; i < 4; ++i) {
        ExpectCrashReport(folder, i % 2 ? L"0" : L"1", kCrashMessage, kDumpStem + suffixes[i], elsewhere.Path(), i == 3);
        EXPECT_EQ(DumpTypeOf(folder.Child(kDumpStem + suffixes[i])), i % 2 ? 0x1u : 0x201u) << i;
    }
    EXPECT_EQ(GetFileAttributesW(folder.Child(kDumpStem + L"_4.dmp").c_str()), INVALID_FILE_ATTRIBUTES);
    // A file where the dump folder should be: neither folder nor dump can be made.
    RVTest::TempFolder blocked;
    ASSERT_TRUE(RVTest::WriteWholeFile(blocked.Child(L"Dump"), "not a folder"));
    ExpectCrashReport(blocked, L"1", kCrashMessageNoDump, kDumpStem + L".dmp");
}

// The dump is written as administrator in folders other users may write
// to: a link planted as the dump folder is not followed (no dump is
// written), and a name already taken in it, by a file or a link, is never
// opened.
TEST(CrashDump, PlantedLinksAreNeverWrittenThrough)
{
    RVTest::TempFolder linked;
    RVTest::TempFolder outside;
    const RVTest::PlantedLink folderLink(linked.Child(L"Dump"), outside.Path(), true);
    RVTest::TempFolder taken;
    ASSERT_TRUE(CreateDirectoryW(taken.Child(L"Dump").c_str(), nullptr));
    ASSERT_TRUE(RVTest::WriteWholeFile(outside.Child(L"victim.dmp"), "keep"));
    const RVTest::PlantedLink fileLink(taken.Child(kDumpStem + L".dmp"), outside.Child(L"victim.dmp"), false);
    if (!folderLink.Made() || !fileLink.Made())
        GTEST_SKIP() << "no links can be made here";
    ExpectCrashReport(linked, L"1", kCrashMessageNoDump, kDumpStem + L".dmp");
    ExpectCrashReport(taken, L"1", kCrashMessage, kDumpStem + L"_1.dmp");
    EXPECT_EQ(DumpTypeOf(taken.Child(kDumpStem + L"_1.dmp")), 0x201u);
    EXPECT_EQ(RVTest::ReadWholeFile(outside.Child(L"victim.dmp")), "keep");
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW(outside.Child(L"*.dmp").c_str(), &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    EXPECT_STREQ(found.cFileName, L"victim.dmp");
    EXPECT_FALSE(FindNextFileW(search, &found)) << found.cFileName;
    FindClose(search);
}
