#include "HelperProcess.h"
#include "tests/support/LogCapture.h"

#include "engine/common/system/ProcessFunctions.h"
#include "tests/support/MessageBoxRecorder.h"

#include <gtest/gtest.h>

using namespace RVGameEngine::Common;

TEST(LaunchProgram, FailureIsLoggedAndShownWithTheSystemError)
{
    // The path's own % signs come through as text; a path too long for the
    // message is cut with it.
    const std::wstring paths[] = {L"C:\\no\\such\\%s%n%d.exe", L"C:\\no\\such.exe",
                                  L"C:\\" + std::wstring(3000, L'x') + L".exe"};
    for (int call = 0; call < 3; ++call) {
        RVTest::LogCapture log;
        RVTest::MessageBoxRecorder::Clear();
        const wchar_t* path = paths[call].c_str();
        EXPECT_EQ(call == 1 ? LaunchProgramWithWorkingDirectory(path, L"x", nullptr) : LaunchProgram(path, L""), nullptr);
        const auto boxes = RVTest::MessageBoxRecorder::Taken();
        ASSERT_EQ(boxes.size(), 1u);
        ASSERT_EQ(RVTest::LogCapture::Lines().size(), 1u);
        EXPECT_EQ(RVTest::LogCapture::Lines()[0], std::make_pair(2, boxes[0].text));
        EXPECT_TRUE(boxes[0].caption == L"提示" && boxes[0].type == MB_OK);
        const size_t at = boxes[0].text.find(L"，错误码：");
        const DWORD error = at == std::wstring::npos ? 0 : wcstoul(boxes[0].text.c_str() + at + 5, nullptr, 10);
        EXPECT_TRUE(call == 2 || error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) << error;
        EXPECT_EQ(boxes[0].text, (L"执行程序失败：" + paths[call] + L"，错误码：" + std::to_wstring(error) +
                                  L"，请尝试重新执行游戏，如仍有问题请与客服联系。")
                                     .substr(0, 999));
    }
}

TEST(LaunchProgram, RunsInTheGivenFolderStripsOnlyACurrentFolderPrefixAndExecuteProgramWaits)
{
    RVTest::TempFolder folder;
    const std::wstring out = folder.Child(L"report.txt");
    SystemTests::ScopedEnvironment environment(
        {{L"RV_HELPER_MODE", L"exit"}, {L"RV_HELPER_EXIT", L"42"}, {L"RV_HELPER_OUT", out}});
    HANDLE process =
        LaunchProgramWithWorkingDirectory(SystemTests::HelperPath().c_str(), L"helper a b", folder.Path().c_str());
    ASSERT_NE(process, nullptr);
    EXPECT_EQ(SystemTests::ExitCodeAfterEnd(process), 42);
    EXPECT_EQ(SystemTests::ReadReport(out), (std::vector<std::wstring>{L"cwd:" + folder.Path()}));
    EXPECT_EQ(ExecuteProgram(SystemTests::HelperPath().c_str(), L"helper"), 42u);
    RVTest::MessageBoxRecorder::Clear();
    EXPECT_EQ(ExecuteProgram(L"C:\\no\\such.exe", L"x"), 0xFFFFFFFFu);
    EXPECT_TRUE(RVTest::MessageBoxRecorder::Taken().empty());
    CreateDirectoryW(folder.Child(L"inner").c_str(), nullptr);
    ASSERT_TRUE(CopyFileW(SystemTests::HelperPath().c_str(), folder.Child(L"inner\\here.exe").c_str(), FALSE));
    ASSERT_TRUE(CopyFileW(SystemTests::HelperPath().c_str(), folder.Child(L"parent.exe").c_str(), FALSE));
    RVTest::ScopedCurrentFolder current(folder.Child(L"inner"));
    for (const wchar_t* path : {L"./here.exe", L".\\here.exe", L"..\\parent.exe"}) {
        process = LaunchProgram(path, nullptr);
        ASSERT_NE(process, nullptr) << path;
        EXPECT_EQ(SystemTests::ExitCodeAfterEnd(process), 42);
    }
}

TEST(ForceTerminateProcess, EndsARunningProcessWithTheCode)
{
    EXPECT_EQ(std::wstring(GetProcessPath(GetCurrentProcess())->GetUtf16()), GetProgramPath()->GetUtf16());
    EXPECT_GT(GetProcessMemoryUsage(GetCurrentProcess()), 0);
    EXPECT_STREQ(GetProcessPath(nullptr)->GetUtf16(), L"");
    // Neither may reach the system call: null would end this process's other
    // threads, INVALID_HANDLE_VALUE (the pseudo-handle) this process itself.
    for (HANDLE none : {static_cast<HANDLE>(nullptr), INVALID_HANDLE_VALUE}) {
        RVTest::LogCapture log;
        ForceTerminateProcess(none, 42);
        EXPECT_EQ(RVTest::LogCapture::Lines().size(), 1u);
    }
    RVTest::TempFolder folder;
    const std::wstring out = folder.Child(L"report.txt");
    SystemTests::ScopedEnvironment environment({{L"RV_HELPER_MODE", L"wait"}, {L"RV_HELPER_OUT", out}});
    const std::wstring application = SystemTests::HelperPath();
    HANDLE process = LaunchProgramWithWorkingDirectory(application.c_str(), L"helper", nullptr);
    ASSERT_NE(process, nullptr);
    for (int i = 0; i < 600 && SystemTests::ReadReport(out).empty(); ++i)
        Sleep(50);
    EXPECT_EQ(_wcsicmp(GetProcessPath(process)->GetUtf16(), application.c_str()), 0);
    ForceTerminateProcess(process, 42);
    EXPECT_EQ(SystemTests::ExitCodeAfterEnd(process), 42);
}
