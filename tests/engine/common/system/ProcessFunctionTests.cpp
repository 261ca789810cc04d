#include "HelperProcess.h"
#include "tests/support/LogCapture.h"

#include "engine/common/ProcessFunctions.h"
#include "tests/support/MessageBoxRecorder.h"

#include <gtest/gtest.h>

using namespace RVGameEngine::Common;

namespace {

const std::wstring kFailurePrefix = L"执行程序失败：";
const std::wstring kErrorCodeLabel = L"，错误码：";

// Checks that the failed launch showed one box and wrote the same text as one
// error line; returns the text.
std::wstring OnlyFailureReported()
{
    const auto boxes = RVTest::MessageBoxRecorder::Taken();
    const auto lines = RVTest::LogCapture::Lines();
    if (boxes.size() != 1 || lines.size() != 1) {
        ADD_FAILURE() << boxes.size() << " boxes, " << lines.size() << " log lines";
        return std::wstring();
    }
    EXPECT_EQ(boxes[0].caption, L"提示");
    EXPECT_EQ(boxes[0].type, static_cast<unsigned>(MB_OK));
    EXPECT_EQ(lines[0].first, 2);
    EXPECT_EQ(lines[0].second, boxes[0].text);
    return boxes[0].text;
}

// The message for a missing program, with whichever "not found" code the
// system gave.
void ExpectMissingProgramMessage(const std::wstring& path, const std::wstring& message)
{
    const size_t at = message.find(kErrorCodeLabel);
    const DWORD error = at == std::wstring::npos ? 0 : wcstoul(message.c_str() + at + 5, nullptr, 10);
    EXPECT_TRUE(error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) << error;
    EXPECT_EQ(message, kFailurePrefix + path + kErrorCodeLabel + std::to_wstring(error) +
                           L"，请尝试重新执行游戏，如仍有问题请与客服联系。");
}

} // namespace

TEST(LaunchProgram, StripsOnlyACurrentFolderPrefix)
{
    SystemTests::ScopedEnvironment environment({{L"RV_HELPER_MODE", L"exit"}, {L"RV_HELPER_EXIT", L"7"}});
    RVTest::TempFolder folder;
    CreateDirectoryW(folder.Child(L"inner").c_str(), nullptr);
    ASSERT_TRUE(CopyFileW(SystemTests::HelperPath().c_str(), folder.Child(L"inner\\here.exe").c_str(), FALSE));
    ASSERT_TRUE(CopyFileW(SystemTests::HelperPath().c_str(), folder.Child(L"parent.exe").c_str(), FALSE));
    RVTest::ScopedCurrentFolder current(folder.Child(L"inner"));
    for (const wchar_t* path : {L"./here.exe", L".\\here.exe", L"..\\parent.exe"}) {
        HANDLE process = LaunchProgram(path, L"");
        ASSERT_NE(process, nullptr) << path;
        EXPECT_EQ(SystemTests::ExitCodeAfterEnd(process), 7);
    }
}

TEST(LaunchProgram, FailureIsLoggedAndShownWithTheSystemError)
{
    // The path's own % signs must come through as text.
    const std::wstring missing = L"C:\\no\\such\\%s%n%d.exe";
    const std::wstring overlong = L"C:\\" + std::wstring(3000, L'x') + L".exe";
    for (int call = 0; call < 3; ++call) {
        RVTest::LogCapture log;
        RVTest::MessageBoxRecorder::Clear();
        if (call == 0) {
            EXPECT_EQ(LaunchProgram(missing.c_str(), L""), nullptr);
            ExpectMissingProgramMessage(missing, OnlyFailureReported());
        } else if (call == 1) {
            EXPECT_EQ(LaunchProgramWithWorkingDirectory(missing.c_str(), L"x", nullptr), nullptr);
            ExpectMissingProgramMessage(missing, OnlyFailureReported());
        } else {
            // A path too long for the message is cut with it.
            EXPECT_EQ(LaunchProgram(overlong.c_str(), nullptr), nullptr);
            const std::wstring text = OnlyFailureReported();
            EXPECT_EQ(text.size(), 999u);
            EXPECT_EQ(text.compare(0, kFailurePrefix.size() + 6, kFailurePrefix + L"C:\\xxx"), 0);
        }
    }
}

TEST(LaunchProgramWithWorkingDirectory, RunsInTheGivenFolder)
{
    RVTest::TempFolder folder;
    const std::wstring out = folder.Child(L"report.txt");
    SystemTests::ScopedEnvironment environment(
        {{L"RV_HELPER_MODE", L"exit"}, {L"RV_HELPER_EXIT", L"5"}, {L"RV_HELPER_OUT", out}});
    HANDLE process =
        LaunchProgramWithWorkingDirectory(SystemTests::HelperPath().c_str(), L"helper a b", folder.Path().c_str());
    ASSERT_NE(process, nullptr);
    EXPECT_EQ(SystemTests::ExitCodeAfterEnd(process), 5);
    EXPECT_EQ(SystemTests::ReadReport(out), (std::vector<std::wstring>{L"cwd:" + folder.Path()}));
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
    EXPECT_EQ(std::wstring(GetProcessPath(GetCurrentProcess())->GetUtf16()), GetProgramPath()->GetUtf16());
    EXPECT_GT(GetProcessMemoryUsage(GetCurrentProcess()), 0);
    EXPECT_STREQ(GetProcessPath(nullptr)->GetUtf16(), L"");

    RVTest::TempFolder folder;
    const std::wstring out = folder.Child(L"report.txt");
    SystemTests::ScopedEnvironment environment({{L"RV_HELPER_MODE", L"wait"}, {L"RV_HELPER_OUT", out}});
    const std::wstring application = SystemTests::HelperPath();
    HANDLE process = LaunchProgramWithWorkingDirectory(application.c_str(), L"helper", nullptr);
    ASSERT_NE(process, nullptr);
    // Wait (bounded) until it runs its own code.
    for (int i = 0; i < 600 && SystemTests::ReadReport(out).empty(); ++i)
        Sleep(50);
    EXPECT_EQ(_wcsicmp(GetProcessPath(process)->GetUtf16(), application.c_str()), 0);
    ForceTerminateProcess(process, 42);
    EXPECT_EQ(SystemTests::ExitCodeAfterEnd(process), 42);
}
