#include "engine/common/Console.h"
#include "tests/support/MessageBoxRecorder.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

using namespace RVGameEngine::Common;

namespace {

// Points standard output at a file for the life of the object, so that the
// redirected-output path is what gets exercised, and reads what was written.
class CapturedOutput
{
public:
    CapturedOutput() : m_path(m_folder.Child(L"out.txt"))
    {
        m_file = CreateFileW(m_path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
        m_previous = GetStdHandle(STD_OUTPUT_HANDLE);
        SetStdHandle(STD_OUTPUT_HANDLE, m_file);
    }
    ~CapturedOutput()
    {
        Restore();
    }
    std::string Text()
    {
        Restore();
        return RVTest::ReadWholeFile(m_path);
    }

private:
    void Restore()
    {
        if (m_file == INVALID_HANDLE_VALUE)
            return;
        SetStdHandle(STD_OUTPUT_HANDLE, m_previous);
        CloseHandle(m_file);
        m_file = INVALID_HANDLE_VALUE;
    }

    RVTest::TempFolder m_folder;
    std::wstring m_path;
    HANDLE m_file = INVALID_HANDLE_VALUE;
    HANDLE m_previous = nullptr;
};

} // namespace

TEST(ConsoleOutput, RedirectedOutputReceivesUtf8)
{
    CapturedOutput output;
    PrintUnicodeString(L"\u4F60\u597D ok");
    PrintUnicodeString(nullptr);
    EXPECT_EQ(output.Text(), "\xE4\xBD\xA0\xE5\xA5\xBD ok");
}

TEST(ConsoleOutput, FormattingFollowsWideConventions)
{
    CapturedOutput output;
    PrintUnicodeStringFormated(L"%s=%d;", L"\u4F60", 42);
    PrintUnicodeStringFormated_Warning(L"[%ls]", L"w");
    PrintUnicodeStringFormated_Error(L"%c%%", L'e');
    EXPECT_EQ(output.Text(), "\xE4\xBD\xA0=42;[w]e%");
}

TEST(ConsoleOutput, OverlongFormattedTextIsCutNotRefused)
{
    const std::wstring longText(25000, L'z');
    CapturedOutput output;
    PrintUnicodeStringFormated(L"%s", longText.c_str());
    EXPECT_EQ(output.Text(), std::string(kFormattedTextUnits - 1, 'z'));
}

TEST(DebuggingWarning, ShowsTheFormattedTextInAWarningBox)
{
    RVTest::MessageBoxRecorder::Clear();
    ShowEngineDebuggingWarningMessage(L"Font %s is not loaded (%d%%)", L"\u5B8B\u4F53", 7);
    const auto boxes = RVTest::MessageBoxRecorder::Taken();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, L"Font \u5B8B\u4F53 is not loaded (7%)");
    EXPECT_EQ(boxes[0].caption, L"Warning");
    EXPECT_EQ(boxes[0].type, static_cast<unsigned int>(MB_OK));
}

TEST(DebuggingWarning, OverlongTextIsCutAtTheBufferSize)
{
    RVTest::MessageBoxRecorder::Clear();
    const std::wstring longText(kFormattedTextUnits * 2, L'x');
    ShowEngineDebuggingWarningMessage(L"%s", longText.c_str());
    const auto boxes = RVTest::MessageBoxRecorder::Taken();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, std::wstring(kFormattedTextUnits - 1, L'x'));
}
