#include "engine/directui/services/IClipboard.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <thread>

using namespace RVGameEngine::DirectUI;

namespace {

std::wstring ClipboardText()
{
    return IClipboard_GetInstance()->GetText()->GetUtf16();
}

// Holds the clipboard open on a thread of its own, for a window of its own
// as another program would, until released.
class ClipboardHolder
{
public:
    ClipboardHolder()
        : m_opened(CreateEventW(nullptr, TRUE, FALSE, nullptr)), m_release(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
          m_thread([this] {
              HWND owner = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
              m_holding = owner != nullptr && OpenClipboard(owner) != FALSE;
              SetEvent(m_opened);
              WaitForSingleObject(m_release, 10000);
              if (m_holding)
                  CloseClipboard();
              if (owner != nullptr)
                  DestroyWindow(owner);
          })
    {
        WaitForSingleObject(m_opened, 10000);
    }

    ~ClipboardHolder()
    {
        SetEvent(m_release);
        m_thread.join();
        CloseHandle(m_opened);
        CloseHandle(m_release);
    }

    bool IsHolding() const { return m_holding; }

private:
    HANDLE m_opened;
    HANDLE m_release;
    bool m_holding = false;
    std::thread m_thread;
};

} // namespace

TEST(Clipboard, UnicodeTextTravelsUnchangedAndOtherDataReadsAsEmpty)
{
    IClipboard* clipboard = IClipboard_GetInstance();
    const wchar_t* texts[] = {
        L"plain text",
        L"Gr\u00fc\u00dfe \u4f60\u597d \"quoted\"\r\nsecond line",
        // Characters above U+FFFF as surrogate pairs, one unpaired at the end.
        L"\xD83D\xDE00 smile \xD800\xDF48\xD83C",
        L"",
    };
    for (const wchar_t* text : texts) {
        clipboard->SetText(text);
        EXPECT_EQ(ClipboardText(), text);
    }

    // The empty text is a block of one zero character, not an empty clipboard.
    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    ASSERT_NE(data, nullptr);
    EXPECT_GE(GlobalSize(data), sizeof(wchar_t));
    EXPECT_EQ(*static_cast<const wchar_t*>(GlobalLock(data)), L'\0');
    GlobalUnlock(data);
    EXPECT_TRUE(CloseClipboard());

    clipboard->SetText(nullptr);
    EXPECT_EQ(ClipboardText(), L"");

    // Another program's picture, or nothing at all, reads as no text.
    for (HANDLE data : {static_cast<HANDLE>(CreateBitmap(2, 2, 1, 32, nullptr)), HANDLE()}) {
        ASSERT_TRUE(OpenClipboard(nullptr));
        EXPECT_TRUE(EmptyClipboard());
        if (data != nullptr) {
            EXPECT_NE(SetClipboardData(CF_BITMAP, data), nullptr);
        }
        EXPECT_TRUE(CloseClipboard());
        EXPECT_EQ(ClipboardText(), L"");
    }
}

TEST(Clipboard, ClipboardHeldByAnotherThreadIsLeftAlone)
{
    IClipboard* clipboard = IClipboard_GetInstance();
    clipboard->SetText(L"before");
    {
        ClipboardHolder holder;
        ASSERT_TRUE(holder.IsHolding());
        EXPECT_EQ(ClipboardText(), L"");
        clipboard->SetText(L"while held");
    }
    // Neither call left the clipboard open or changed it.
    EXPECT_EQ(ClipboardText(), L"before");
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_TRUE(CloseClipboard());
}
