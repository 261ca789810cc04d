#include "engine/audio/IAudioDriver.h"
#include "engine/common/base/ComPointer.h"
#include "engine/scene/CSpriteManager2D.h"
#include "engine/scene/ISceneNode2D.h"
#include "engine/scene/ISpriteInstance2D.h"
#include "engine/video/imaging/SurfaceFiles.h"
#include "tests/engine/device/window/DeviceTestSupport.h"
#include "tests/engine/video/TestImageFiles.h"
#include "tests/support/LogCapture.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace RVGameEngine;
using namespace RVGameEngine::Device;
using Common::TIntrusivePointer;

namespace {

class DeviceWindow : public DeviceWindowTest::DeviceFixture
{
protected:
    static RECT WindowRect(HWND window)
    {
        RECT rect{};
        GetWindowRect(window, &rect);
        return rect;
    }
};

// The one device: a failed creation leaves nothing, a second is refused, the
// scene draws through its Direct3D device, and giving it up releases all.
TEST_F(DeviceWindow, DeviceOwnsAPopupAndItsServicesUntilItGoes)
{
    {
        RVTest::LogCapture log;
        tagCreationParams noVideo;
        noVideo.NoVideo = 1;
        EXPECT_EQ(nullptr, IDevice_Create(noVideo));
        EXPECT_EQ(nullptr, IDevice_GetInstance());
        EXPECT_EQ(nullptr, FindWindowW(L"RVGAME", nullptr));
        EXPECT_EQ(1, log.CountContaining(L"no video"));
    }
    RVTest::TempFolder folder;
    ASSERT_TRUE(RVTest::WriteWholeFile(folder.Child(L"red.bmp"),
                                       VideoTest::BmpBytes(16, 16, [](int, int) { return 0xFFFF0000u; })));
    ASSERT_TRUE(RVTest::WriteWholeFile(folder.Child(L"box.xml"), VideoTest::UnicodeFileBytes(
        L"<SpriteList>\r\n\t<Sprite Name=\"Box\">\r\n\t\t<Animation Name=\"Still\" FramePerSecond=\"1\">\r\n"
        L"\t\t\t<Frame Texture=\"red.bmp\" X1=\"0\" Y1=\"0\" X2=\"16\" Y2=\"16\" CX=\"0\" CY=\"0\"/>\r\n"
        L"\t\t</Animation>\r\n\t</Sprite>\r\n</SpriteList>\r\n")));

    tagCreationParams params;  // 640 × 480 with audio
    params.CenterOnScreen = 1;
    Create(params);
    wchar_t className[32] = {};
    GetClassNameW(window, className, 32);
    EXPECT_STREQ(L"RVGAME", className);
    EXPECT_EQ(WS_POPUP | WS_VISIBLE, GetWindowLongW(window, GWL_STYLE) & (WS_POPUP | WS_VISIBLE | WS_CHILD));
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const RECT rect = WindowRect(window);
    EXPECT_EQ(std::make_pair((work.right - work.left - 640) / 2, (work.bottom - work.top - 480) / 2),
              std::make_pair(rect.left, rect.top));
    EXPECT_EQ(std::make_pair(640L, 480L), std::make_pair(rect.right - rect.left, rect.bottom - rect.top));

    Video::IVideoDriver* video = device->GetVideoDriver();
    Audio::IAudioDriver* audio = device->GetAudioDriver();
    ASSERT_NE(nullptr, video);
    ASSERT_NE(nullptr, audio);
    EXPECT_EQ(video, Video::IVideoDriver_GetInstance());
    EXPECT_EQ(device->GetSpriteManager(), Scene::ISpriteManager2D_GetInstance());
    EXPECT_EQ(device->GetSceneManager(), Scene::ISceneManager2D_GetInstance());
    EXPECT_EQ(audio, Audio::IAudioDriver_GetInstance());
    {
        RVTest::LogCapture log;
        tagCreationParams second;
        EXPECT_EQ(nullptr, IDevice_Create(second));
        EXPECT_EQ(1, log.CountContaining(L"already exists"));
    }
    EXPECT_EQ(device.Get(), IDevice_GetInstance());

    // One whole frame with a sprite, read back from the render target.
    Scene::ISpriteManager2D* sprites = device->GetSpriteManager();
    sprites->SetTextureDirectory(folder.Path().c_str());
    sprites->LoadSpriteFile(folder.Child(L"box.xml").c_str(), true);
    TIntrusivePointer<Scene::ISpriteInstance2D> box(sprites->CreateSpriteInstance(L"Box"));
    Scene::ISceneManager2D* scene = device->GetSceneManager();
    scene->GetRoot()->CreateChild(L"Box", box.Get(), 0)->Translate(20.0f, 10.0f);
    scene->Update(0);
    scene->Update(16);
    EXPECT_TRUE(device->ProcessMessages());
    ASSERT_TRUE(video->BeginScene());
    video->Clear(true, true, Video::tagColor(0xFF0000FFu));
    video->Begin2D();
    scene->Draw();
    video->End2D();
    video->EndScene();
    Common::TComPointer<IDirect3DSurface8> target;
    ASSERT_EQ(D3D_OK, video->GetDirect3DDevice()->GetRenderTarget(target.Receive()));
    std::vector<uint32_t> pixels;
    uint32_t width = 0, height = 0;
    ASSERT_EQ(D3D_OK, Video::Imaging::ReadSurfacePixels(target.Get(), nullptr, pixels, width, height));
    target.Reset();
    auto at = [&](int x, int y) { return pixels[static_cast<size_t>(y) * width + x] & 0xFFFFFFu; };
    EXPECT_EQ(0xFF0000u, at(28, 18)) << "inside the sprite";
    EXPECT_EQ(0x0000FFu, at(10, 5)) << "outside it";
    device->Present();
    EXPECT_TRUE(device->ResetDevice());
    EXPECT_TRUE(video->BeginScene());
    video->EndScene();

    // Held here so that its address cannot be handed to another object while
    // it is compared; the device must let go of it and unregister it.
    const TIntrusivePointer<Audio::IAudioDriver> heldAudio(audio);
    box.Reset();
    device.Reset();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(nullptr, IDevice_GetInstance());
    EXPECT_EQ(1, heldAudio->GetReferenceCount()) << "only this test still holds the device's driver";
    EXPECT_NE(audio, Audio::IAudioDriver_GetInstance());
    MSG quit;
    EXPECT_FALSE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE))
        << "giving the device up is not closing the program";
}

int g_ownerCloses = 0;

LRESULT CALLBACK OwnerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    g_ownerCloses += message == WM_CLOSE;
    return message == WM_CLOSE ? 0 : DefWindowProcW(window, message, wParam, lParam);
}

TEST_F(DeviceWindow, ChildAndHandedOverWindows)
{
    WNDCLASSW ownerClass{};
    ownerClass.lpfnWndProc = &OwnerWindowProc;
    ownerClass.hInstance = GetModuleHandleW(nullptr);
    ownerClass.lpszClassName = L"DeviceOwnerTest";
    RegisterClassW(&ownerClass);
    Common::CScopedWindow parent(CreateWindowExW(0, L"DeviceOwnerTest", L"", WS_POPUP | WS_VISIBLE, 100, 50, 300, 200,
                                                 nullptr, nullptr, ownerClass.hInstance, nullptr));
    tagCreationParams params = DeviceWindowTest::SmallParams(200, 100);
    params.CenterOnScreen = 1;  // ignored for a child
    params.ParentWindow = parent.Get();
    params.X = 7;
    params.Y = 9;
    Create(params);
    const HWND child = window;
    EXPECT_TRUE(GetWindowLongW(child, GWL_STYLE) & WS_CHILD);
    const RECT placed = WindowRect(child);
    EXPECT_EQ(107, placed.left);
    EXPECT_EQ(59, placed.top);
    // A close request goes to the window above, without the device's close events.
    SendMessageW(child, WM_CLOSE, 0, 0);
    EXPECT_EQ(1, g_ownerCloses);
    EXPECT_TRUE(log.entries.empty());
    EXPECT_TRUE(IsWindow(child));
    device.Reset();
    EXPECT_TRUE(IsWindow(parent.Get()));

    // A window handed over is subclassed, then given its own procedure back.
    const LONG_PTR original = GetWindowLongPtrW(parent.Get(), GWLP_WNDPROC);
    tagCreationParams handOver = DeviceWindowTest::SmallParams();
    handOver.ExistingWindow = parent.Get();
    Create(handOver);
    log.entries.clear();
    SendMessageW(parent.Get(), WM_KEYDOWN, 'A', 0);
    EXPECT_EQ(std::vector<std::string>{"0:65"}, log.entries);
    device.Reset();
    EXPECT_TRUE(IsWindow(parent.Get()));
    EXPECT_EQ(original, GetWindowLongPtrW(parent.Get(), GWLP_WNDPROC));
}

TEST_F(DeviceWindow, FramesCountOnTheDeviceClockAndTicksComeOnTheWindowThread)
{
    uint32_t clock = 5000;
    auto* win32 = new CDevice_Win32([&clock] { return clock; });
    device = TIntrusivePointer<IDevice>(win32);
    tagCreationParams params = DeviceWindowTest::SmallParams();
    ASSERT_TRUE(device->Create(params));

    // 60 frames of 16 ms: the first opens the one-second window.
    for (int frame = 0; frame < 60; ++frame) {
        clock += 16;
        ASSERT_TRUE(device->ProcessMessages());
        EXPECT_EQ(16u, device->GetFrameTime());
        device->Present();
    }
    EXPECT_EQ(0u, device->GetFps());
    clock = 5016 + 1000;
    device->ProcessMessages();
    EXPECT_EQ(60u, device->GetFps());
    EXPECT_EQ(1u, win32->GetFrameCounter());
    // Without Present the frame time keeps growing from the last one.
    clock += 100;
    device->ProcessMessages();
    EXPECT_EQ(6116u - 5960u, device->GetFrameTime());
    EXPECT_EQ(60u, device->GetFps()) << "the rate changes at most once a second";

    log.SubscribeAll(device.Get());
    Common::CScopedKernelHandle thread(device->StartTickThread());
    ASSERT_TRUE(thread);
    const uint32_t deadline = GetTickCount() + 8000;
    while (std::count(log.entries.begin(), log.entries.end(), "19") < 2 && GetTickCount() < deadline) {
        device->ProcessMessages();
        Sleep(10);
    }
    EXPECT_GE(std::count(log.entries.begin(), log.entries.end(), "19"), 2);
    device.Reset();
    // With its window gone the thread ends.
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread.Get(), 2000));
}

} // namespace
