// Winsock 2 must come before anything that brings in windows.h.
#include <winsock2.h>

#include "HelperProcess.h"

#include "engine/common/EngineStartup.h"
#include "engine/common/ShellFunctions.h"
#include "engine/directui/CGdiFontManager.h"
#include "engine/directui/IFrameManager.h"
#include "tests/support/ExpectEngineFatal.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <dbghelp.h>

#include <string>
#include <vector>

using namespace RVGameEngine::Common;

namespace {

// "MDMP" read as a little-endian 32-bit word.
constexpr ULONG32 kMinidumpSignature = 0x504D444D;
const wchar_t* const kDumpStem = L"Dump\\Setup_20210307_090503";

// Runs the helper in crash mode in the folder; returns its report.
std::vector<std::wstring> CrashChild(const RVTest::TempFolder& folder, const wchar_t* fullDump)
{
    const std::wstring out = folder.Child(L"report.txt");
    DeleteFileW(out.c_str());
    SystemTests::ScopedEnvironment environment(
        {{L"RV_HELPER_MODE", L"crash"}, {L"RV_HELPER_OUT", out}, {L"RV_HELPER_FULLDUMP", fullDump}});
    const long code = SystemTests::RunHelper(L"helper", folder.Path().c_str());
    EXPECT_EQ(static_cast<unsigned long>(code), static_cast<unsigned long>(EXCEPTION_ACCESS_VIOLATION));
    return SystemTests::ReadReport(out);
}

std::vector<std::wstring> ExpectedReport(const RVTest::TempFolder& folder, const wchar_t* message,
                                         const std::wstring& dumpName)
{
    return {L"module:",
            L"initialized",
            L"pre",
            std::wstring(L"box:") + message + L"|提示|" + std::to_wstring(MB_OK),
            L"post:" + folder.Path() + L"\\" + dumpName};
}

// The dump type recorded in a minidump's header; 0 when the file is not one.
ULONG64 DumpTypeOf(const std::wstring& path)
{
    const std::string bytes = RVTest::ReadWholeFile(path);
    MINIDUMP_HEADER header = {};
    if (bytes.size() < sizeof(header))
        return 0;
    memcpy(&header, bytes.data(), sizeof(header));
    return header.Signature == kMinidumpSignature ? header.Flags : 0;
}

} // namespace

TEST(EngineStartup, RunsTheWholeStartUp)
{
    LPTOP_LEVEL_EXCEPTION_FILTER testFilter = SetUnhandledExceptionFilter(nullptr);
    SetUnhandledExceptionFilter(testFilter);

    EngineInitialize(L"SystemTests");
    // Put the test harness's filter back, checking that start-up had
    // installed the engine's.
    EXPECT_EQ(SetUnhandledExceptionFilter(testFilter), &DefaultUnhandledExceptionFilter);

    EXPECT_STREQ(GetModuleName(), L"SystemTests");
    EXPECT_STREQ(CoreGetProgramDir(), GetProgramDir()->GetUtf16());
    // Winsock is up: a socket can be made.
    SOCKET probe = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    EXPECT_NE(probe, INVALID_SOCKET);
    closesocket(probe);
    // COM is already initialised on this thread.
    EXPECT_EQ(CoInitialize(nullptr), S_FALSE);
    CoUninitialize();
    // The frame window class is registered.
    WNDCLASSEXW frameClass = {};
    frameClass.cbSize = sizeof(frameClass);
    ASSERT_TRUE(GetClassInfoExW(GetModuleHandleW(nullptr), L"RVFRAME", &frameClass));
    EXPECT_EQ(frameClass.style, 0x082Bu);
    EXPECT_EQ(frameClass.hCursor, LoadCursorW(nullptr, IDC_ARROW));
    // The default font is the first one.
    auto* fonts = static_cast<RVGameEngine::DirectUI::CGdiFontManager*>(RVGameEngine::DirectUI::IFontManager_GetInstance());
    ASSERT_GE(fonts->GetFontCount(), 1);
    EXPECT_EQ(fonts->GetFontAt(0)->GetName(), L"Default");
    EXPECT_FLOAT_EQ(fonts->GetFontAt(0)->GetFont()->GetSize(), 14.0f);
    EXPECT_EQ(fonts->GetFontAt(0)->GetFont()->GetStyle(), 0);
}

TEST(EngineStartup, AnOverlongModuleNameStopsTheProgram)
{
    const std::wstring name(1000, L'm');
    EXPECT_ENGINE_FATAL(EngineInitialize(name.c_str()));
}

TEST(CrashDump, EachCrashWritesTheNextNameAndRunsTheHooks)
{
    RVTest::TempFolder folder;
    const std::vector<std::wstring> names = {std::wstring(kDumpStem) + L".dmp", std::wstring(kDumpStem) + L"_1.dmp",
                                             std::wstring(kDumpStem) + L"_2.dmp"};
    const wchar_t* fullDumpSettings[] = {L"1", L"0", L"1"};
    const ULONG64 types[] = {0x201, 0x1, 0x201};
    for (size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(CrashChild(folder, fullDumpSettings[i]), ExpectedReport(folder, kCrashMessage, names[i]));
        EXPECT_EQ(DumpTypeOf(folder.Child(names[i])), types[i]) << i;
    }
    EXPECT_EQ(GetFileAttributesW(folder.Child(std::wstring(kDumpStem) + L"_3.dmp").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(CrashDump, WithoutADumpTheMessageSaysSo)
{
    RVTest::TempFolder folder;
    // A file where the dump folder should be: neither folder nor dump can be made.
    ASSERT_TRUE(RVTest::WriteWholeFile(folder.Child(L"Dump"), "not a folder"));
    EXPECT_EQ(CrashChild(folder, L"1"),
              ExpectedReport(folder, kCrashMessageNoDump, std::wstring(kDumpStem) + L".dmp"));
}
