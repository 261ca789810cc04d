#include "engine/directui/CGdiFontManager.h"
#include "engine/directui/IFrameManager.h"
#include "tests/support/ExpectEngineFatal.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <windows.h>

using namespace RVGameEngine::DirectUI;

namespace {

// GDI+ must be up before any font is made; the frame manager starts it.
void StartFrameManager()
{
    static const ATOM atom = IFrameManager_GetInstance()->Initialize();
    (void)atom;
}

} // namespace

TEST(FrameManager, InitializeRegistersTheFrameClassOnce)
{
    IFrameManager* manager = IFrameManager_GetInstance();
    ASSERT_NE(manager, nullptr);
    StartFrameManager();
    WNDCLASSW frameClass = {};
    ASSERT_TRUE(GetClassInfoW(GetModuleHandleW(nullptr), L"RVFRAME", &frameClass));
    EXPECT_EQ(frameClass.style, 0x082Bu);
    EXPECT_EQ(frameClass.hbrBackground, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    EXPECT_EQ(frameClass.hCursor, LoadCursorW(nullptr, IDC_ARROW));
    EXPECT_EQ(frameClass.hIcon, nullptr);
    // The class exists now: a second registration fails and says so.
    EXPECT_EQ(manager->Initialize(), 0);
    // Windows of the class work before any frame takes them over.
    HWND window = CreateWindowExW(0, L"RVFRAME", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(DestroyWindow(window));
}

TEST(FontManager, FontsKeepTheirOrderAndAreFoundByName)
{
    StartFrameManager();
    CGdiFontManager fonts;
    EXPECT_EQ(fonts.GetFontHeight(-1), 0);
    EXPECT_EQ(fonts.AddFont(L"Title", L"Liberation Sans", 20, kFontStyleBold | kFontStyleUnderline), 0);
    EXPECT_EQ(fonts.AddFont(L"Title", L"Liberation Sans", 12, 0), 1);
    EXPECT_EQ(fonts.GetDefaultFont(), 2);
    ASSERT_EQ(fonts.GetFontCount(), 3);
    EXPECT_EQ(fonts.GetFontAt(0)->GetFont()->GetStyle(), 5);
    EXPECT_EQ(fonts.GetFontAt(2)->GetName(), L"Default");
    EXPECT_FLOAT_EQ(fonts.GetFontAt(2)->GetFont()->GetSize(), 14.0f);
    EXPECT_EQ(fonts.GetFontAt(2)->GetFont()->GetUnit(), Gdiplus::UnitPixel);
    EXPECT_EQ(fonts.GetFontAt(3), nullptr);
    EXPECT_EQ(fonts.GetFontAt(-1), nullptr);
    EXPECT_EQ(fonts.GetFont(L"Title"), 0);
    EXPECT_EQ(fonts.GetFont(L"Default"), 2);
    EXPECT_EQ(fonts.GetFontHeight(1), 12);
    EXPECT_EQ(fonts.GetFontHeight(2), 14);
    EXPECT_EQ(fonts.GetFontHeight(3), 0);
    // Names, and fonts that cannot be made, stop the program.
    EXPECT_ENGINE_FATAL(fonts.GetFont(L"title"));
    EXPECT_ENGINE_FATAL(fonts.AddFont(L"Odd", L"Liberation Sans", 12, 8));
    EXPECT_ENGINE_FATAL(fonts.AddFont(L"Missing", L"No Such Family Anywhere", 12, 0));
}

TEST(FontManager, FontListAddsEachEntryInOrder)
{
    StartFrameManager();
    RVTest::TempFolder folder;
    CreateDirectoryW(folder.Child(L"Font").c_str(), nullptr);
    const std::wstring list =
        L"\xFEFF<FontList>\r\n"
        L"<Font Name=\"Title\" FontName=\"Liberation Sans\" FontSize=\"20\" Bold=\"true\" Underline=\"true\"/>\r\n"
        L"<Other Name=\"Small\" FontName=\"Liberation Sans\" FontSize=\"9\" Italic=\"true\" Bold=\"True\"/>\r\n"
        L"</FontList>\r\n";
    ASSERT_TRUE(RVTest::WriteWholeFile(folder.Child(L"Font\\FontList.xml"),
                                       std::string(reinterpret_cast<const char*>(list.data()), list.size() * 2)));
    RVTest::ScopedCurrentFolder current(folder.Path());
    CGdiFontManager fonts;
    fonts.LoadFontList(L"Font/FontList.xml");
    fonts.LoadFontList(L"Font/Missing.xml");
    ASSERT_EQ(fonts.GetFontCount(), 2);
    EXPECT_EQ(fonts.GetFontAt(0)->GetName(), L"Title");
    EXPECT_FLOAT_EQ(fonts.GetFontAt(0)->GetFont()->GetSize(), 20.0f);
    EXPECT_EQ(fonts.GetFontAt(0)->GetFont()->GetStyle(), 5);
    EXPECT_EQ(fonts.GetFontAt(1)->GetName(), L"Small");
    EXPECT_EQ(fonts.GetFontAt(1)->GetFont()->GetStyle(), kFontStyleItalic);
}
