#include "tests/engine/video/VideoTestEnvironment.h"

#include "engine/common/base/ComPointer.h"
#include "engine/video/CVideoDriver_DirectX81.h"
#include "engine/video/imaging/SurfaceFiles.h"
#include "tests/engine/video/Direct3DTestWindow.h"
#include "tests/engine/video/TestImageFiles.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

using namespace RVGameEngine;

namespace VideoTest {

namespace {

// Everything stays until the process ends: the texture cache releases its
// textures at exit through the device's video driver.
struct Environment : ::testing::Environment
{
    Direct3DTestWindow* direct3D = new Direct3DTestWindow();
    RVTest::StubDevice* stub = nullptr;
    Video::IVideoDriver* driver = nullptr;

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
};

Environment* g_environment = static_cast<Environment*>(::testing::AddGlobalTestEnvironment(new Environment));

} // namespace

Video::IVideoDriver* Driver() { return g_environment->driver; }
RVTest::StubDevice& Device() { return *g_environment->stub; }
IDirect3DDevice8* Direct3DDevice() { return g_environment->direct3D->device.Get(); }

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
