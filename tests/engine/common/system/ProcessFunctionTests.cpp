#include "HelperProcess.h"
#include "LogCapture.h"

#include "engine/common/ProcessFunctions.h"
#include "engine/common/ShellFunctions.h"
#include "tests/support/MessageBoxRecorder.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <string>

using namespace RVGameEngine::Common;

namespace {

const wchar_t* const kFailurePrefix = L"执行程序失败：";

DWORD ExitCodeAfterEnd(HANDLE process)
{
    DWORD code = 0xDEADu;
    EXPECT_TRUE(SystemTests::WaitForEnd(process));
    GetExitCodeProcess(process, &code);
    CloseHandle(process);
    return code;
}

std::wstring FailureMessage(const std::wstring& path, DWORD error)
{
    return kFailurePrefix + path + L"，错误码：" + std::to_wstring(error) +
           L"，请尝试重新执行游戏，如仍有问题请与客服联系。";
}

DWORD ErrorCodeIn(const std::wstring& message)
{
    const size_t at = message.find(L"，错误码：");
    return at == std::wstring::npos ? 0 : wcstoul(message.c_str() + at + 5, nullptr, 10);
}

class CurrentFolderScope
{
public:
    explicit CurrentFolderScope(const wchar_t* folder)
    {
        GetCurrentDirectoryW(MAX_PATH, m_previous);
        SetCurrentDirectoryW(folder);
    }
    ~CurrentFolderScope() { SetCurrentDirectoryW(m_previous); }

private:
    wchar_t m_previous[MAX_PATH] = {};
};

} // namespace

TEST(LaunchProgram, OpensAPathRelativeToTheCurrentFolder)
{
    SystemTests::ScopedEnvironment environment({{L"RV_HELPER_MODE", L"exit"}, {L"RV_HELPER_EXIT", L"7"}});
    CurrentFolderScope current(GetProgramDir()->GetUtf16());
    for (const wchar_t* path : {L"./system_test_helper.exe", L".\\system_test_helper.exe"}) {
        HANDLE process = LaunchProgram(path, L"");
        ASSERT_NE(process, nullptr) << path;
        EXPECT_EQ(ExitCodeAfterEnd(process), 7u);
    }
}

TEST(LaunchProgram, KeepsAParentFolderPrefix)
{
    SystemTests::ScopedEnvironment environment({{L"RV_HELPER_MODE", L"exit"}, {L"RV_HELPER_EXIT", L"8"}});
    RVTest::TempFolder folder;
    CreateDirectoryW(folder.Child(L"inner").c_str(), nullptr);
    ASSERT_TRUE(CopyFileW(SystemTests::HelperPath().c_str(), folder.Child(L"copy.exe").c_str(), FALSE));
    CurrentFolderScope current(folder.Child(L"inner").c_str());
    HANDLE process = LaunchProgram(L"..\\copy.exe", nullptr);
    ASSERT_NE(process, nullptr);
    EXPECT_EQ(ExitCodeAfterEnd(process), 8u);
}

TEST(LaunchProgram, FailureIsLoggedAndShownWithTheSystemError)
{
    SystemTests::LogCapture log;
    RVTest::MessageBoxRecorder::Clear();
    const wchar_t* missing = L"C:\\no\\such\\%s%n%d.exe";
    EXPECT_EQ(LaunchProgram(missing, L""), nullptr);

    const auto boxes = RVTest::MessageBoxRecorder::Taken();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, L"提示");
    EXPECT_EQ(boxes[0].type, static_cast<unsigned>(MB_OK));
    // The path's own % signs come through as text; the code is the system's.
    EXPECT_EQ(boxes[0].text.substr(0, boxes[0].text.find(L"，错误码：")), std::wstring(kFailurePrefix) + missing);
    const DWORD error = ErrorCodeIn(boxes[0].text);
    EXPECT_TRUE(error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) << error;
    EXPECT_EQ(boxes[0].text, FailureMessage(missing, error));
    const auto lines = SystemTests::LogCapture::Lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].first, 2);
    EXPECT_EQ(lines[0].second, boxes[0].text);
}

TEST(LaunchProgram, AnOverlongPathCutsTheMessage)
{
    SystemTests::LogCapture log;
    RVTest::MessageBoxRecorder::Clear();
    const std::wstring path = L"C:\\" + std::wstring(3000, L'x') + L".exe";
    EXPECT_EQ(LaunchProgram(path.c_str(), nullptr), nullptr);
    const auto boxes = RVTest::MessageBoxRecorder::Taken();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text.size(), 999u);
    const std::wstring start = std::wstring(kFailurePrefix) + L"C:\\xxx";
    EXPECT_EQ(boxes[0].text.compare(0, start.size(), start), 0);
    ASSERT_EQ(SystemTests::LogCapture::Lines().size(), 1u);
    EXPECT_EQ(SystemTests::LogCapture::Lines()[0].second, boxes[0].text);
}

TEST(LaunchProgramWithWorkingDirectory, RunsInTheGivenFolder)
{
    RVTest::TempFolder folder;
    const std::wstring out = folder.Child(L"report.txt");
    SystemTests::ScopedEnvironment environment(
        {{L"RV_HELPER_MODE", L"exit"}, {L"RV_HELPER_EXIT", L"5"}, {L"RV_HELPER_OUT", out}});
    const std::wstring application = SystemTests::HelperPath();
    HANDLE process = LaunchProgramWithWorkingDirectory(application.c_str(), L"helper a b", folder.Path().c_str());
    ASSERT_NE(process, nullptr);
    EXPECT_EQ(ExitCodeAfterEnd(process), 5u);
    EXPECT_EQ(SystemTests::ReadReport(out), (std::vector<std::wstring>{L"cwd:" + folder.Path()}));

    SystemTests::LogCapture log;
    RVTest::MessageBoxRecorder::Clear();
    EXPECT_EQ(LaunchProgramWithWorkingDirectory(L"C:\\no\\such.exe", L"x", nullptr), nullptr);
    const auto boxes = RVTest::MessageBoxRecorder::Taken();
    ASSERT_EQ(boxes.size(), 1u);
    const DWORD error = ErrorCodeIn(boxes[0].text);
    EXPECT_TRUE(error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) << error;
    EXPECT_EQ(boxes[0].text, FailureMessage(L"C:\\no\\such.exe", error));
    EXPECT_EQ(SystemTests::LogCapture::Lines().size(), 1u);
}

TEST(ExecuteProgram, WaitsAndReturnsTheExitCode)
{
    SystemTests::ScopedEnvironment environment({{L"RV_HELPER_MODE", L"exit"}, {L"RV_HELPER_EXIT", L"42"}});
    EXPECT_EQ(ExecuteProgram(SystemTests::HelperPath().c_str(), L"helper"), 42u);
    RVTest::MessageBoxRecorder::Clear();
    EXPECT_EQ(ExecuteProgram(L"C:\\no\\such.exe", L"x"), 0xFFFFFFFFu);
    EXPECT_TRUE(RVTest::MessageBoxRecorder::Taken().empty());
}

TEST(ForceTerminateProcess, EndsARunningProcessWithTheCode)
{
    RVTest::TempFolder folder;
    const std::wstring out = folder.Child(L"report.txt");
    SystemTests::ScopedEnvironment environment({{L"RV_HELPER_MODE", L"wait"}, {L"RV_HELPER_OUT", out}});
    const std::wstring application = SystemTests::HelperPath();
    std::wstring line = L"helper";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started = {};
    ASSERT_TRUE(CreateProcessW(application.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                               &started));
    CloseHandle(started.hThread);
    // Wait (bounded) until it runs its own code.
    for (int i = 0; i < 600 && SystemTests::ReadReport(out).empty(); ++i)
        Sleep(50);
    EXPECT_EQ(_wcsicmp(GetProcessPath(started.hProcess)->GetUtf16(), application.c_str()), 0)
        << GetProcessPath(started.hProcess)->GetUtf16();
    ForceTerminateProcess(started.hProcess, 42);
    EXPECT_EQ(ExitCodeAfterEnd(started.hProcess), 42u);
}

TEST(ProcessQueries, CurrentProcessIsDescribed)
{
    EXPECT_EQ(std::wstring(GetProcessPath(GetCurrentProcess())->GetUtf16()), GetProgramPath()->GetUtf16());
    EXPECT_GT(GetProcessMemoryUsage(GetCurrentProcess()), 0);
    EXPECT_STREQ(GetProcessPath(nullptr)->GetUtf16(), L"");
}
