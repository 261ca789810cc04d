#include "tests/engine/video/VideoTestEnvironment.h"

#include "engine/common/base/ComPointer.h"
#include "engine/common/base/TScopedHandle.h"
#include "engine/video/CDirect3D8Library.h"
#include "engine/video/CVideoDriver_DirectX81.h"
#include "engine/video/imaging/SurfaceFiles.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

using namespace RVGameEngine;

namespace VideoTest {

namespace {

struct Environment : ::testing::Environment
{
    // Kept to the end of the process: textures cached by the engine's
    // singletons are released at exit and need the runtime still loaded.
    Video::CDirect3D8Library* library = new Video::CDirect3D8Library();
    Common::CScopedWindow window;
    Common::TComPointer<IDirect3D8> direct3D;
    Common::TComPointer<IDirect3DDevice8> device;
    RVTest::StubDevice* stub = nullptr;
    Common::TIntrusivePointer<Video::IVideoDriver> driver;

    void SetUp() override
    {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"VideoTestWindow";
        RegisterClassW(&windowClass);
        window.Reset(CreateWindowExW(0, windowClass.lpszClassName, L"", WS_POPUP | WS_VISIBLE, 0, 0, kWidth, kHeight,
                                     nullptr, nullptr, windowClass.hInstance, nullptr));
        ASSERT_TRUE(window.IsValid());
        ASSERT_TRUE(library->CreateDirect3D(direct3D));
        D3DDISPLAYMODE mode{};
        ASSERT_EQ(D3D_OK, direct3D->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode));
        D3DPRESENT_PARAMETERS present{};
        present.BackBufferWidth = kWidth;
        present.BackBufferHeight = kHeight;
        present.BackBufferFormat = mode.Format;
        present.BackBufferCount = 1;
        present.SwapEffect = D3DSWAPEFFECT_DISCARD;
        present.hDeviceWindow = window.Get();
        present.Windowed = TRUE;
        present.EnableAutoDepthStencil = TRUE;
        present.AutoDepthStencilFormat = D3DFMT_D16;
        ASSERT_EQ(D3D_OK, direct3D->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window.Get(),
                                                 D3DCREATE_SOFTWARE_VERTEXPROCESSING, &present, device.Receive()));
        Device::tagCreationParams params;
        params.Width = kWidth;
        params.Height = kHeight;
        stub = new RVTest::StubDevice();
        driver = Common::TIntrusivePointer<Video::IVideoDriver>(
            new Video::CVideoDriver_DirectX81(params, stub, device.Get()));
        stub->videoDriver = driver.Get();
        D3DCAPS8 caps{};
        device->GetDeviceCaps(&caps);
        stub->nonPow2Textures = (caps.TextureCaps & D3DPTEXTURECAPS_POW2) == 0;
        driver->ResetStates();
    }
};

Environment* g_environment = static_cast<Environment*>(::testing::AddGlobalTestEnvironment(new Environment));

} // namespace

Video::IVideoDriver* Driver() { return g_environment->driver.Get(); }
RVTest::StubDevice& Device() { return *g_environment->stub; }
IDirect3DDevice8* Direct3DDevice() { return g_environment->device.Get(); }

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
    const int rowBytes = (width * 3 + 3) & ~3;
    std::string bytes(54 + rowBytes * height, '\0');
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            bytes[at + i] = static_cast<char>(v >> (8 * i));
    };
    bytes[0] = 'B';
    bytes[1] = 'M';
    put32(2, static_cast<uint32_t>(bytes.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, width);
    put32(22, height);
    bytes[26] = 1;
    bytes[28] = 24;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint32_t c = color(x, y);
            const size_t at = 54 + static_cast<size_t>(height - 1 - y) * rowBytes + x * 3;
            bytes[at] = static_cast<char>(c);
            bytes[at + 1] = static_cast<char>(c >> 8);
            bytes[at + 2] = static_cast<char>(c >> 16);
        }
    ASSERT_TRUE(RVTest::WriteWholeFile(path, bytes));
}

void WriteUnicodeFile(const std::wstring& path, const std::wstring& text)
{
    std::string bytes = "\xFF\xFE";
    bytes.append(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
    ASSERT_TRUE(RVTest::WriteWholeFile(path, bytes));
}

} // namespace VideoTest
