#include "tests/engine/directui/uisystem/UITestSupport.h"

#include "engine/directui/frame/CFrame.h"
#include "engine/directui/frame/IFrame.h"
#include "tests/engine/directui/frame/FrameTestSupport.h"

#include <map>

using namespace UITest;

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255);

// Counts the paints of each window and may invalidate another window from
// inside a paint, once.
struct PaintCounter
{
    std::map<std::wstring, int> paints;
    IUIWindow* invalidateWhilePainting = nullptr;
    void On(void* sender, tagEventArgs*)
    {
        ++paints[static_cast<IUIWindow*>(sender)->GetName()];
        if (IUIWindow* other = invalidateWhilePainting) {
            invalidateWhilePainting = nullptr;
            other->Invalidate();
        }
    }
};

} // namespace

TEST(FramePaint, OnlyTheInvalidatedRectangleIsRepaintedAndInvalidationsWhilePaintingAreKept)
{
    RVTest::TempFolder folder;
    RVTest::ScopedCurrentFolder current(folder.Path());
    ASSERT_TRUE(WriteBmp(folder.Child(L"red.bmp"), 2, 2, [](int, int) { return 0xFFFF0000u; }));
    TIntrusivePointer<IFrame> frame = RVTest::MakeFrame(0, 0, 200, 100);
    PaintCounter counter;
    IUIWindow* windows[2] = {};
    const wchar_t* names[2] = {L"near", L"far"};
    for (int i = 0; i < 2; ++i) {
        TIntrusivePointer<IUIWindow> window(new CUIWindow());
        window->SetName(names[i]);
        frame->GetRootWindow()->AddChild(window.Get());
        window->SetRect(10 + 100 * i, 10, 40, 40);
        TIntrusivePointer<IUIImage> red(frame->CreateImage(L"red.bmp"));
        window->SetBackgroundImage(red.Get());
        window->AddMemberFunctionDelegate(WINDOW_EVENT_PAINT, &counter, &PaintCounter::On);
        windows[i] = window.Get();
    }
    IUIWindow* nearWindow = windows[0];
    IUIWindow* farWindow = windows[1];
    frame->Show();
    UpdateWindow(frame->GetHandle());
    RVTest::PumpMessages();
    HDC buffer = static_cast<CFrame*>(frame.Get())->GetBackBuffer()->GetDC();
    ASSERT_EQ(GetPixel(buffer, 20, 20), kRed);
    ASSERT_EQ(GetPixel(buffer, 120, 20), kRed);

    // Marks that only a repaint of their place wipes out.
    SetPixel(buffer, 20, 20, kBlue);
    SetPixel(buffer, 120, 20, kBlue);
    counter.paints.clear();
    nearWindow->Invalidate();
    UpdateWindow(frame->GetHandle());
    RVTest::PumpMessages();
    EXPECT_EQ(counter.paints[L"near"], 1);
    EXPECT_EQ(counter.paints[L"far"], 0);
    EXPECT_EQ(GetPixel(buffer, 20, 20), kRed);
    EXPECT_EQ(GetPixel(buffer, 120, 20), kBlue);
    bool clipped = true;
    frame->GetUISystem()->GetClipRect(&clipped, nullptr, nullptr, nullptr, nullptr);
    EXPECT_FALSE(clipped);

    // A window invalidated by a paint handler is painted by the next paint.
    counter.paints.clear();
    counter.invalidateWhilePainting = farWindow;
    nearWindow->Invalidate();
    UpdateWindow(frame->GetHandle());
    RVTest::PumpMessages();
    UpdateWindow(frame->GetHandle());
    RVTest::PumpMessages();
    EXPECT_EQ(counter.paints[L"far"], 1);
    EXPECT_EQ(GetPixel(buffer, 120, 20), kRed);
    frame->Destroy();
}
