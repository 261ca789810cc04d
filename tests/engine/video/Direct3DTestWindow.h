#pragma once

// A visible popup window with a windowed Direct3D 8 device whose back buffer
// has the window's size, for tests and benchmarks that draw for real. Its
// members go in reverse order (device, Direct3D object, window). The runtime
// library is kept to the end of the process: a texture an engine singleton
// still caches at exit is released then and needs it loaded.

#include "engine/common/base/ComPointer.h"
#include "engine/common/base/TScopedHandle.h"
#include "engine/video/CDirect3D8Library.h"

#include <windows.h>

namespace VideoTest {

class Direct3DTestWindow
{
public:
    RVGameEngine::Common::CScopedWindow window;
    RVGameEngine::Common::TComPointer<IDirect3D8> direct3D;
    RVGameEngine::Common::TComPointer<IDirect3DDevice8> device;

    // False when there is no display or Direct3D refuses the device.
    bool Create(int width, int height)
    {
        static RVGameEngine::Video::CDirect3D8Library* library = new RVGameEngine::Video::CDirect3D8Library();
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"Direct3DTestWindow";
        RegisterClassW(&windowClass);
        window.Reset(CreateWindowExW(0, windowClass.lpszClassName, L"", WS_POPUP | WS_VISIBLE, 0, 0, width, height,
                                     nullptr, nullptr, windowClass.hInstance, nullptr));
        if (!window || !library->CreateDirect3D(direct3D))
            return false;
        D3DDISPLAYMODE mode{};
        if (FAILED(direct3D->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode)))
            return false;
        D3DPRESENT_PARAMETERS present{};
        present.BackBufferWidth = width;
        present.BackBufferHeight = height;
        present.BackBufferFormat = mode.Format;
        present.BackBufferCount = 1;
        present.SwapEffect = D3DSWAPEFFECT_DISCARD;
        present.hDeviceWindow = window.Get();
        present.Windowed = TRUE;
        present.EnableAutoDepthStencil = TRUE;
        present.AutoDepthStencilFormat = D3DFMT_D16;
        // Hardware vertex processing first, as the device window tries it.
        for (DWORD processing : {D3DCREATE_HARDWARE_VERTEXPROCESSING, D3DCREATE_SOFTWARE_VERTEXPROCESSING})
            if (SUCCEEDED(direct3D->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window.Get(), processing,
                                                 &present, device.Receive())))
                return true;
        return false;
    }

    bool SupportsNonPow2Textures()
    {
        D3DCAPS8 caps{};
        device->GetDeviceCaps(&caps);
        return (caps.TextureCaps & D3DPTEXTURECAPS_POW2) == 0;
    }
};

} // namespace VideoTest
