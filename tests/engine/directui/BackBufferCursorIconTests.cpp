#include "engine/directui/CBackBuffer.h"
#include "engine/directui/ICursor.h"
#include "engine/directui/IIcon.h"
#include "engine/filesystem/IVirtualFileSystem.h"
#include "tests/engine/directui/FrameTestSupport.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

using namespace RVGameEngine;
using namespace RVGameEngine::DirectUI;

namespace {

// A 16 x 16 icon file, 32 bits per pixel, all pixels opaque red.
std::string IconFile()
{
    const int size = 16;
    std::string image;
    auto put32 = [&image](uint32_t value) {
        for (int i = 0; i < 4; ++i)
            image.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    };
    auto put16 = [&image](uint16_t value) {
        image.push_back(static_cast<char>(value & 0xFF));
        image.push_back(static_cast<char>(value >> 8));
    };
    const uint32_t pixels = size * size * 4;
    const uint32_t mask = size * 4; // 1 bit per pixel, rows padded to 32 bits
    const uint32_t bytes = 40 + pixels + mask;
    put16(0);
    put16(1); // icon
    put16(1); // one image
    image.push_back(static_cast<char>(size));
    image.push_back(static_cast<char>(size));
    image.push_back(0);
    image.push_back(0);
    put16(1);
    put16(32);
    put32(bytes);
    put32(22);
    put32(40);
    put32(size);
    put32(size * 2); // colour and mask halves
    put16(1);
    put16(32);
    for (int i = 0; i < 6; ++i)
        put32(0);
    for (uint32_t i = 0; i < size * size; ++i)
        put32(0xFFFF0000u);
    image.append(mask, '\0');
    return image;
}

void ExpectGone(HGDIOBJ object)
{
    EXPECT_EQ(GetObjectType(object), 0u);
}

} // namespace

TEST(BackBuffer, HoldsAnImageOfItsSizeAndCopiesIt)
{
    RVTest::StartFrames();
    CBackBuffer buffer;
    EXPECT_EQ(buffer.GetDC(), nullptr);
    buffer.BitBlt(nullptr);

    buffer.Create(8, 4);
    HDC firstDc = buffer.GetDC();
    HGDIOBJ firstImage = GetCurrentObject(firstDc, OBJ_BITMAP);
    BITMAP info = {};
    ASSERT_EQ(GetObjectW(firstImage, sizeof(info), &info), static_cast<int>(sizeof(info)));
    EXPECT_EQ(info.bmWidth, 8);
    EXPECT_EQ(info.bmHeight, 4);
    EXPECT_EQ(info.bmBitsPixel, 32);
    SetPixel(firstDc, 2, 1, RGB(10, 20, 30));

    // Created again: the first image and device context are released.
    buffer.Create(3, 3);
    ExpectGone(firstImage);
    ExpectGone(firstDc);

    // Copies go to the same place in the target.
    CBackBuffer target;
    target.Create(8, 4);
    SetPixel(buffer.GetDC(), 1, 2, RGB(200, 100, 50));
    buffer.BitBlt(target.GetDC());
    EXPECT_EQ(GetPixel(target.GetDC(), 1, 2), RGB(200, 100, 50));
    SetPixel(buffer.GetDC(), 2, 2, RGB(1, 2, 3));
    buffer.BitBlt(target.GetDC(), 2, 2, 1, 1);
    EXPECT_EQ(GetPixel(target.GetDC(), 2, 2), RGB(1, 2, 3));

    // Empty sizes keep a device context on which drawing does nothing.
    for (int size : {0, -5}) {
        buffer.Create(size, 10);
        ASSERT_NE(buffer.GetDC(), nullptr);
        Gdiplus::Graphics graphics(buffer.GetDC());
        Gdiplus::SolidBrush brush(Gdiplus::Color(255, 255, 0, 0));
        graphics.FillRectangle(&brush, 0, 0, 10, 10);
        buffer.BitBlt(target.GetDC());
    }
}

TEST(CursorAndIcon, LoadFromFilesAndTheSystem)
{
    RVTest::StartFrames();
    RVTest::TempFolder folder;
    ASSERT_TRUE(RVTest::WriteWholeFile(folder.Child(L"real.ico"), IconFile()));

    auto icon = IIcon_Create();
    icon->Load(folder.Child(L"missing.ico").c_str());
    EXPECT_EQ(icon->GetHandle(), nullptr);
    // The icon is read through the file-name replacement.
    FileSystem::IVirtualFileSystem_GetInstance()->AddFilenameReplace(folder.Child(L"wanted.ico").c_str(),
                                                                     folder.Child(L"real.ico").c_str());
    icon->Load(folder.Child(L"wanted.ico").c_str());
    ASSERT_NE(icon->GetHandle(), nullptr);
    ICONINFO iconInfo = {};
    EXPECT_TRUE(GetIconInfo(icon->GetHandle(), &iconInfo));
    DeleteObject(iconInfo.hbmColor);
    DeleteObject(iconInfo.hbmMask);

    auto cursor = ICursor_Create();
    EXPECT_FALSE(cursor->LoadFromFile(folder.Child(L"missing.cur").c_str()));
    EXPECT_FALSE(cursor->LoadSystem(nullptr, MAKEINTRESOURCEW(1)));
    ASSERT_TRUE(cursor->LoadSystem2(nullptr, IDC_CROSS));
    EXPECT_EQ(cursor->GetHandle(), LoadCursorW(nullptr, IDC_CROSS));
    cursor->Apply();
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_CROSS));
    // A shared system cursor survives its wrapper.
    cursor = Common::TIntrusivePointer<ICursor>();
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_CROSS));
    ICONINFO cursorInfo = {};
    EXPECT_TRUE(GetIconInfo(LoadCursorW(nullptr, IDC_CROSS), &cursorInfo));
    DeleteObject(cursorInfo.hbmColor);
    DeleteObject(cursorInfo.hbmMask);
}

TEST(FrameResources, ComeBackWhenFramesAndBuffersGo)
{
    RVTest::StartFrames();
    RVTest::TempFolder folder;
    ASSERT_TRUE(RVTest::WriteWholeFile(folder.Child(L"real.ico"), IconFile()));
    auto makeAndDrop = [&folder](std::vector<HWND>* windows, std::vector<HGDIOBJ>* objects,
                                 std::vector<HICON>* icons) {
        for (int i = 0; i < 100; ++i) {
            auto frame = RVTest::MakeFrame(i, i, 40 + i, 30);
            auto icon = IIcon_Create();
            icon->Load(folder.Child(L"real.ico").c_str());
            frame->SetIcon(icon.Get());
            // (Wine takes seconds to take a tray icon away: a few will do.)
            if (i < 2) {
                frame->AddTrayIcon();
                frame->SetTrayTip(std::wstring(300, L't').c_str());
            }
            RVTest::PumpMessages();
            CBackBuffer buffer;
            buffer.Create(64, 64);
            if (windows != nullptr) {
                windows->push_back(frame->GetHandle());
                icons->push_back(icon->GetHandle());
                objects->push_back(buffer.GetDC());
                objects->push_back(GetCurrentObject(buffer.GetDC(), OBJ_BITMAP));
            }
            if (i % 2 == 0)
                frame->Destroy();
        }
        RVTest::PumpMessages();
    };
    // One round first, so that lazily made system objects are counted before.
    makeAndDrop(nullptr, nullptr, nullptr);
    const DWORD gdiBefore = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    const DWORD userBefore = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    std::vector<HWND> windows;
    std::vector<HGDIOBJ> objects;
    std::vector<HICON> icons;
    makeAndDrop(&windows, &objects, &icons);
    EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), gdiBefore);
    EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS), userBefore);
    // Wine answers 0 for both counts: the handles themselves are checked too.
    for (HWND window : windows)
        EXPECT_FALSE(IsWindow(window));
    for (HGDIOBJ object : objects)
        ExpectGone(object);
    for (HICON icon : icons) {
        ICONINFO info = {};
        EXPECT_FALSE(GetIconInfo(icon, &info));
    }
}
