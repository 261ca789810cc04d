#include "engine/directui/frame/CBackBuffer.h"
#include "engine/directui/frame/ICursor.h"
#include "engine/directui/frame/IIcon.h"
#include "engine/filesystem/IVirtualFileSystem.h"
#include "tests/engine/directui/frame/FrameTestSupport.h"
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
#pragma pack(push, 1)
    struct
    {
        WORD reserved = 0, type = 1, count = 1;
        BYTE width = 16, height = 16, colours = 0, zero = 0;
        WORD planes = 1, bitsPerPixel = 32;
        DWORD bytes = 40 + 16 * 16 * 4 + 16 * 4, offset = 22;
    } directory;
#pragma pack(pop)
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = 16;
    info.biHeight = 32; // colour and mask halves
    info.biPlanes = 1;
    info.biBitCount = 32;
    std::string image(reinterpret_cast<const char*>(&directory), sizeof directory);
    image.append(reinterpret_cast<const char*>(&info), sizeof info);
    for (int i = 0; i < 16 * 16; ++i)
        image.append("\0\0\xFF\xFF", 4);
    image.append(16 * 4, '\0'); // the mask: 1 bit per pixel, rows padded to 32 bits
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

    // Icons given before the window is made reach it when it is.
    auto frame = IFrame_Create();
    frame->SetIcon(icon.Get());
    frame->SetSmallIcon(icon.Get());
    frame->Create(nullptr, WS_POPUP, 0);
    ASSERT_NE(frame->GetHandle(), nullptr);
    for (WPARAM kind : {ICON_BIG, ICON_SMALL})
        EXPECT_EQ(reinterpret_cast<HICON>(SendMessageW(frame->GetHandle(), WM_GETICON, kind, 0)), icon->GetHandle());
    frame->Destroy();

    auto cursor = ICursor_Create();
    EXPECT_FALSE(cursor->LoadFromFile(folder.Child(L"missing.cur").c_str()));
    EXPECT_FALSE(cursor->LoadSystem(nullptr, MAKEINTRESOURCEW(1)));
    ASSERT_TRUE(cursor->LoadSystem2(nullptr, IDC_CROSS));
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
    std::vector<HWND> windows;
    std::vector<HGDIOBJ> objects;
    std::vector<HICON> icons;
    makeAndDrop(&windows, &objects, &icons);
    // (Wine counts no objects per process: the handles themselves are checked.)
    for (HWND window : windows)
        EXPECT_FALSE(IsWindow(window));
    for (HGDIOBJ object : objects)
        ExpectGone(object);
    for (HICON icon : icons) {
        ICONINFO info = {};
        EXPECT_FALSE(GetIconInfo(icon, &info));
    }
}
