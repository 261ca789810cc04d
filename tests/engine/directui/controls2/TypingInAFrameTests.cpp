#include "tests/engine/directui/controls2/TextControlsTestSupport.h"

#include "engine/directui/controls/CEditBox.h"
#include "engine/directui/controls/CMultilineEditBox.h"
#include "engine/directui/drawing/IGdiFontManager.h"
#include "engine/directui/frame/IFrame.h"
#include "tests/engine/directui/frame/FrameTestSupport.h"

using namespace UITest;

// Window messages of a real frame, measured in a real font: a click focuses
// the box and the typed characters and keys edit its text.
TEST(TypingInAFrame, MessagesToTheFrameEditTheFocusedBoxes)
{
    IGdiFontManager* fonts = IFontManager_GetInstance();
    ASSERT_NE(fonts, nullptr);
    if (fonts->GetFont(L"Default") < 0)
        fonts->AddFont(L"Default", L"Liberation Sans", 14, 0);
    TIntrusivePointer<IFrame> frame = RVTest::MakeFrame(0, 0, 300, 200);
    TIntrusivePointer<IUIWindow> single(frame->CreateControl(L"EditBox"));
    TIntrusivePointer<IUIWindow> multi(frame->CreateControl(L"MultilineEditBox"));
    frame->GetRootWindow()->AddChild(single.Get());
    frame->GetRootWindow()->AddChild(multi.Get());
    single->SetRect(10, 10, 60, 24);
    multi->SetRect(10, 50, 60, 100);
    HWND window = frame->GetHandle();

    auto typeInto = [&](int x, int y, const wchar_t* text) {
        SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
        for (const wchar_t* c = text; *c != L'\0'; ++c)
            SendMessageW(window, WM_CHAR, *c, 0);
    };
    typeInto(20, 20, L"typed\tinto a frame");
    SendMessageW(window, WM_KEYDOWN, VK_BACK, 0);
    EXPECT_EQ(std::wstring(single->GetTitle()), L"typedinto a fram");
    auto* singleBox = dynamic_cast<CEditBox*>(single.Get());
    EXPECT_LT(singleBox->GetScrollOffset(), 0) << "the text outgrew the 60-pixel box";
    EXPECT_TRUE(singleBox->GetCaret().IsShown());

    typeInto(20, 60, L"wrapped over lines");
    EXPECT_EQ(frame->GetFocusWindow(), multi.Get());
    EXPECT_FALSE(singleBox->GetCaret().IsShown());
    auto* multiBox = dynamic_cast<CMultilineEditBox*>(multi.Get());
    EXPECT_EQ(std::wstring(multi->GetTitle()), L"wrapped over lines");
    EXPECT_GT(multiBox->GetLayout().back().y, 0);
    frame->InvalidateAll();
    UpdateWindow(window);
    frame->Destroy();
}
