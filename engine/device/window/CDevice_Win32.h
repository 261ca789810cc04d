#pragma once

#include "engine/audio/IAudioDriver.h"
#include "engine/common/base/ComPointer.h"
#include "engine/common/base/TIntrusivePointer.h"
#include "engine/common/base/TScopedHandle.h"
#include "engine/common/base/tagWindowInput.h"
#include "engine/device/IDevice.h"
#include "engine/scene/ISceneManager2D.h"
#include "engine/scene/ISpriteManager2D.h"
#include "engine/video/IVideoDriver.h"

#include <windows.h>
#include <d3d8.h>

#include <cstdint>
#include <functional>

namespace RVGameEngine {
namespace Device {

// The device window: a window of class "RVGAME" (or a window the game hands
// over, subclassed), its Direct3D 8 device and the services that live on it.
// Window messages become device events; ProcessMessages is the frame loop's
// pump and measures frame time and frames per second on the device's clock.
// Destruction releases the services, the Direct3D objects, the window's
// device context and the window (a handed-over window gets its own window
// procedure back instead).
class RV_API CDevice_Win32 : public IDevice
{
public:
    // Milliseconds; the multimedia clock unless a test hands in its own.
    using Clock = std::function<uint32_t()>;

    explicit CDevice_Win32(Clock clock = Clock());
    ~CDevice_Win32() override;

    bool Create(tagCreationParams& params) override;
    void SetTitle(const wchar_t* title) override;
    bool ProcessMessages() override;
    bool IsActive() override { return m_active; }
    uint32_t GetTime() override { return m_clock(); }
    uint32_t GetFrameTime() override { return m_frameTime; }
    uint32_t GetFps() override { return m_fps; }
    void Sleep(uint32_t milliseconds) override;
    void Present() override;
    Video::IVideoDriver* GetVideoDriver() override { return m_videoDriver.Get(); }
    Audio::IAudioDriver* GetAudioDriver() override { return m_audioDriver.Get(); }
    Scene::ISpriteManager2D* GetSpriteManager() override { return m_spriteManager.Get(); }
    Scene::ISceneManager2D* GetSceneManager() override { return m_sceneManager.Get(); }
    bool IsKeyDown(int virtualKey) override;
    bool IsKeyUp(int virtualKey) override { return !IsKeyDown(virtualKey); }
    void ShowSystemCursor(bool visible) override { m_systemCursorVisible = visible; }
    void SetCursorPosition(int x, int y) override;
    void GetCursorPosition(int& x, int& y) override;
    bool ResetDevice() override;
    HWND GetWindowHandle() override { return m_window; }
    void LockInput() override { m_inputLocked = true; }
    bool SupportsNonPow2Textures() override { return m_nonPow2Textures; }
    HANDLE StartTickThread() override;

    // The window procedure of the device window.
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    // The multisample type to use for a request: below 2 none, above 16
    // 16, then lowered while the adapter refuses it (2 drops straight to none).
    static D3DMULTISAMPLE_TYPE ChooseMultiSampleType(int32_t requested,
                                                     const std::function<bool(D3DMULTISAMPLE_TYPE)>& accepted);

    const D3DPRESENT_PARAMETERS& GetPresentParameters() const { return m_present; }
    uint32_t GetFrameCounter() const { return m_frameCounter; }
    uint32_t GetNow() const { return m_now; }

private:
    bool CreateDeviceWindow();
    void CenterWindow();
    bool CreateVideo();
    bool ReadCapsAndPresentParameters();
    void CreateAudio();
    bool CreateScene();
    void UpdateFrameTimer();
    void OnTick();
    void OnInput(const Common::tagWindowInput& input);
    void FireMouse(const Common::tagWindowInput& input);
    LRESULT OnSetCursor(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnClose();
    // The window is going: forget it and give its device context back.
    void OnWindowDestroyed();
    void ReleaseWindow();

    Clock m_clock;
    tagCreationParams m_params;
    // The window in use: the one made here (owned below) or the one handed over.
    HWND m_window = nullptr;
    Common::CScopedWindow m_ownedWindow;
    WNDPROC m_previousWindowProc = nullptr;
    Common::CScopedWindowDc m_deviceContext;
    Common::TComPointer<IDirect3D8> m_direct3D;
    D3DCAPS8 m_caps{};
    D3DPRESENT_PARAMETERS m_present{};
    Common::TComPointer<IDirect3DDevice8> m_direct3DDevice;
    Common::TIntrusivePointer<Video::IVideoDriver> m_videoDriver;
    Common::TIntrusivePointer<Audio::IAudioDriver> m_audioDriver;
    Common::TIntrusivePointer<Scene::ISpriteManager2D> m_spriteManager;
    Common::TIntrusivePointer<Scene::ISceneManager2D> m_sceneManager;
    uint32_t m_frameStart = 0;
    uint32_t m_now = 0;
    uint32_t m_frameTime = 0;
    uint32_t m_fpsWindowStart = 0;
    uint32_t m_frameCounter = 0;
    uint32_t m_fps = 0;
    bool m_active = false;
    bool m_systemCursorVisible = true;
    bool m_inputLocked = false;
    bool m_nonPow2Textures = false;
};

} // namespace Device
} // namespace RVGameEngine
