#include "engine/common/base/Console.h"
#include "engine/common/base/EngineMessageBox.h"
#include "engine/common/base/TScopedHandle.h"
#include "tests/support/LogCapture.h"
#include "tests/support/MessageBoxRecorder.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

using namespace RVGameEngine::Common;

namespace {

// Points standard output at a file until Text() or the end, so that the
// redirected-output path is what gets exercised.
struct CapturedOutput
{
    RVTest::TempFolder folder;
    std::wstring path = folder.Child(L"out.txt");
    HANDLE previous = GetStdHandle(STD_OUTPUT_HANDLE);
    RVGameEngine::Common::CScopedKernelHandle file{
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)};
    CapturedOutput() { SetStdHandle(STD_OUTPUT_HANDLE, file.Get()); }
    ~CapturedOutput() { Text(); }
    std::string Text()
    {
        if (file && SetStdHandle(STD_OUTPUT_HANDLE, previous))
            file.Reset();
        return RVTest::ReadWholeFile(path);
    }
};

} // namespace

TEST(ConsoleOutput, RedirectedOutputReceivesUtf8AndOverlongTextIsCut)
{
    const std::wstring longText(25000, L'z');
    CapturedOutput output;
    PrintUnicodeString(L"\u4F60\u597D ok;");
    PrintUnicodeString(nullptr);
    PrintUnicodeStringFormated(L"%s=%d;", L"\u4F60", 42);
    PrintUnicodeStringFormated_Warning(L"[%ls]", L"w");
    PrintUnicodeStringFormated_Error(L"%c%%", L'e');
    PrintUnicodeStringFormated(L"%s", longText.c_str());
    EXPECT_EQ(output.Text(), "\xE4\xBD\xA0\xE5\xA5\xBD ok;\xE4\xBD\xA0=42;[w]e%" +
                                 std::string(kFormattedTextUnits - 1, 'z'));
}

TEST(DebuggingWarning, ShowsAndLogsTheFormattedTextCutAtTheBufferSize)
{
    RVTest::MessageBoxRecorder::Clear();
    RVTest::LogCapture log;
    ShowEngineDebuggingWarningMessage(L"Font %s is not loaded (%d%%)", L"\u5B8B\u4F53", 7);
    const std::wstring longText(kFormattedTextUnits * 2, L'x');
    ShowEngineDebuggingWarningMessage(L"%s", longText.c_str());
    // Logged as an error, as it stands: the '%' is not read as a format again.
    const auto lines = RVTest::LogCapture::Lines();
    const auto boxes = RVTest::MessageBoxRecorder::Taken();
    ASSERT_TRUE(lines.size() == 2u && boxes.size() == 2u);
    EXPECT_EQ(lines[0].first, 2);
    EXPECT_EQ(lines[0].second, L"Font \u5B8B\u4F53 is not loaded (7%)");
    EXPECT_EQ(boxes[0].text, lines[0].second);
    EXPECT_EQ(boxes[0].caption, L"Warning");
    EXPECT_EQ(boxes[0].type, static_cast<unsigned int>(MB_OK));
    EXPECT_EQ(boxes[1].text, std::wstring(kFormattedTextUnits - 1, L'x'));
}

namespace {

// A box whose modal loop runs a tick handler that raises `g_raisedInside`.
std::vector<std::wstring> g_raisedInside, g_shown;

int ShowAndRaiseAgain(const wchar_t* text, const wchar_t*, unsigned int)
{
    g_shown.push_back(text);
    for (const std::wstring& again : std::exchange(g_raisedInside, {}))
        ShowEngineDebuggingWarningMessage(L"%s", again.c_str());
    return IDOK;
}

} // namespace

TEST(DebuggingWarning, TheSameWarningIsNotStackedWhileItsBoxIsShowing)
{
    const struct { std::vector<std::wstring> raisedInside, shown; } cases[] = {
        {{L"tick", L"tick"}, {L"tick"}},
        {{L"other"}, {L"tick", L"other"}},
        {{}, {L"tick"}},  // once closed, it shows again
    };
    const EngineMessageBoxHook previous = SetEngineMessageBoxHook(ShowAndRaiseAgain);
    for (const auto& c : cases) {
        RVTest::LogCapture log;
        g_shown.clear();
        g_raisedInside = c.raisedInside;
        ShowEngineDebuggingWarningMessage(L"tick");
        EXPECT_EQ(c.shown, g_shown);
        EXPECT_EQ(c.raisedInside.size() + 1, log.Messages().size()) << "every raise is logged";
    }
    SetEngineMessageBoxHook(previous);
}
