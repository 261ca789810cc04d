#include "tests/engine/video/VideoTestEnvironment.h"

#include "engine/common/base/ComPointer.h"
#include "engine/video/CVideoDriver_DirectX81.h"
#include "engine/video/ITextureManager.h"
#include "engine/video/imaging/SurfaceFiles.h"
#include "tests/engine/video/Direct3DTestWindow.h"
#include "tests/engine/video/TestImageFiles.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <set>

using namespace RVGameEngine;

namespace VideoTest {

namespace {

// Made in SetUp and given back in TearDown in reverse order, while the
// process still runs whole: left to the process's end, Wine's exit stops the
// Direct3D device's threads wherever they are and the system's GL driver is
// torn down under them (a crash on the way out after every case passed).
struct Environment : ::testing::Environment
{
    Direct3DTestWindow* direct3D = new Direct3DTestWindow();
    RVTest::StubDevice* stub = nullptr;
    Video::IVideoDriver* driver = nullptr;
    // Names the tests put in the engine's texture cache: the cache lives to
    // the process's end and its textures hold the device.
    std::set<std::wstring> cachedNames;

    void SetUp() override
    {
        ASSERT_TRUE(direct3D->Create(kWidth, kHeight)) << "Direct3D 8 needs a display (DISPLAY of an Xvfb)";
        Device::tagCreationParams params;
        params.Width = kWidth;
        params.Height = kHeight;
        stub = new RVTest::StubDevice();
        driver = new Video::CVideoDriver_DirectX81(params, stub, direct3D->device.Get());
        driver->AddRef();
        stub->videoDriver = driver;
        stub->nonPow2Textures = direct3D->SupportsNonPow2Textures();
        driver->ResetStates();
    }

    void TearDown() override
    {
        for (const std::wstring& name : cachedNames)
            Video::ITextureManager_GetInstance()->GetTexture(name.c_str())->Unload();
        if (driver != nullptr)
            driver->Release();
        driver = nullptr;
        // Without a device the cache's textures, should one be loaded again,
        // no longer reach the driver just released.
        delete stub;
        stub = nullptr;
        if (IDirect3DDevice8* device = direct3D->device.Get()) {
            device->AddRef();
            direct3D->device.Reset();
            EXPECT_EQ(0u, device->Release())
                << "a Direct3D object made by the tests still holds the device at the end";
        }
        // The Direct3D object, then the window.
        delete direct3D;
        direct3D = nullptr;
    }
};

Environment* g_environment = static_cast<Environment*>(::testing::AddGlobalTestEnvironment(new Environment));

} // namespace

Video::IVideoDriver* Driver() { return g_environment->driver; }
RVTest::StubDevice& Device() { return *g_environment->stub; }
IDirect3DDevice8* Direct3DDevice() { return g_environment->direct3D->device.Get(); }

Video::ITexture* CachedTexture(const std::wstring& name, uint32_t filter)
{
    g_environment->cachedNames.insert(name);
    return Video::ITextureManager_GetInstance()->GetTexture(name.c_str(), filter);
}

BackBuffer ReadBackBuffer()
{
    BackBuffer buffer;
    Common::TComPointer<IDirect3DSurface8> target;
    EXPECT_EQ(D3D_OK, Direct3DDevice()->GetRenderTarget(target.Receive()));
    uint32_t width = 0, height = 0;
    EXPECT_EQ(D3D_OK, Video::Imaging::ReadSurfacePixels(target.Get(), nullptr, buffer.pixels, width, height));
    EXPECT_EQ(static_cast<uint32_t>(kWidth), width);
    buffer.pixels.resize(static_cast<size_t>(kWidth) * kHeight);
    return buffer;
}

void DrawFrame(uint32_t background, const std::function<void()>& draw)
{
    Video::IVideoDriver* driver = Driver();
    ASSERT_TRUE(driver->BeginScene());
    driver->Clear(true, true, Video::tagColor(background));
    driver->Begin2D();
    draw();
    driver->End2D();
    driver->EndScene();
}

void WriteBmp(const std::wstring& path, int width, int height, const std::function<uint32_t(int, int)>& color)
{
    ASSERT_TRUE(RVTest::WriteWholeFile(path, BmpBytes(width, height, color)));
}

void WriteUnicodeFile(const std::wstring& path, const std::wstring& text)
{
    ASSERT_TRUE(RVTest::WriteWholeFile(path, UnicodeFileBytes(text)));
}

} // namespace VideoTest
