#include "tests/support/InputTrace.h"

#include "tests/support/MessagePump.h"
#include "tests/support/PlainWindow.h"

#include "engine/common/base/TScopedHandle.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

using RVGameEngine::Common::CScopedWindow;

namespace {

CScopedWindow MakeWindow(const wchar_t* title)
{
    return RVTest::MakePlainWindow(title, false, {0, 0, 50, 50});
}

bool Has(const std::wstring& text, const std::wstring& part)
{
    return text.find(part) != std::wstring::npos;
}

} // namespace

TEST(InputTrace, KeepsTheLastClickAndFocusMessagesOfItsOwnThreadWhileItLives)
{
    EXPECT_EQ(RVTest::DescribeInputTrace(), L"") << "no trace runs yet";
    {
        RVTest::CInputTrace trace;
        CScopedWindow traced = MakeWindow(L"traced");
        ASSERT_TRUE(traced);
        PostMessageW(traced.Get(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(12, 34));
        PostMessageW(traced.Get(), WM_KEYDOWN, VK_SPACE, 0);
        // Posted messages count when the thread takes them, sent ones when sent.
        RVTest::DeliverPostedMessages();
        SendMessageW(traced.Get(), WM_CANCELMODE, 0, 0);
        // Another thread's window is not this trace's business.
        std::thread([] {
            CScopedWindow other = MakeWindow(L"other thread");
            PostMessageW(other.Get(), WM_LBUTTONUP, 0, MAKELPARAM(56, 78));
            RVTest::DeliverPostedMessages();
        }).join();
        RVTest::DeliverPostedMessages();

        const std::wstring seen = RVTest::DescribeInputTrace();
        EXPECT_TRUE(Has(seen, L"WM_LBUTTONDOWN at (12, 34) to RVTestPlainWindow \"traced\"")) << seen;
        EXPECT_TRUE(Has(seen, L"WM_CANCELMODE")) << seen;
        EXPECT_FALSE(Has(seen, L"WM_KEYDOWN")) << seen;
        EXPECT_FALSE(Has(seen, L"other thread")) << seen;
        EXPECT_LT(seen.find(L"WM_LBUTTONDOWN"), seen.find(L"WM_CANCELMODE")) << "oldest first: " << seen;

        // A long run keeps its latest messages only.
        for (int x = 1000; x < 1300; ++x)
            PostMessageW(traced.Get(), WM_MOUSEMOVE, 0, MAKELPARAM(x, 1));
        RVTest::DeliverPostedMessages();
        const std::wstring later = RVTest::DescribeInputTrace();
        EXPECT_TRUE(Has(later, L"(1299, 1)")) << later;
        EXPECT_FALSE(Has(later, L"(1000, 1)")) << later;
        EXPECT_FALSE(Has(later, L"WM_LBUTTONDOWN")) << later;
    }
    EXPECT_EQ(RVTest::DescribeInputTrace(), L"") << "the trace ended with its owner";
}
