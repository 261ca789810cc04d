#pragma once

// A device without a window or Direct3D of its own: the services below the
// device window find it through IDevice_GetInstance, and a test decides what
// it answers. ResetDevice counts the call and runs onReset (which restores
// the video driver's states, as the real device does after Direct3D's reset).

#include "engine/device/IDevice.h"

#include <functional>

namespace RVTest {

class StubDevice : public RVGameEngine::Device::IDevice
{
public:
    RVGameEngine::Video::IVideoDriver* videoDriver = nullptr;  // owned by the test
    bool nonPow2Textures = true;
    int resetCount = 0;
    std::function<bool()> onReset;

    bool Create(RVGameEngine::Device::tagCreationParams&) override { return true; }
    void SetTitle(const wchar_t*) override {}
    bool ProcessMessages() override { return true; }
    bool IsActive() override { return true; }
    uint32_t GetTime() override { return 0; }
    uint32_t GetFrameTime() override { return 0; }
    uint32_t GetFps() override { return 0; }
    void Sleep(uint32_t) override {}
    void Present() override {}
    RVGameEngine::Video::IVideoDriver* GetVideoDriver() override { return videoDriver; }
    RVGameEngine::Audio::IAudioDriver* GetAudioDriver() override { return nullptr; }
    RVGameEngine::Scene::ISpriteManager2D* GetSpriteManager() override { return nullptr; }
    RVGameEngine::Scene::ISceneManager2D* GetSceneManager() override { return nullptr; }
    bool IsKeyDown(int) override { return false; }
    bool IsKeyUp(int) override { return true; }
    void ShowSystemCursor(bool) override {}
    void SetCursorPosition(int, int) override {}
    void GetCursorPosition(int& x, int& y) override { x = y = 0; }
    bool ResetDevice() override
    {
        ++resetCount;
        return onReset ? onReset() : true;
    }
    HWND GetWindowHandle() override { return nullptr; }
    void LockInput() override {}
    bool SupportsNonPow2Textures() override { return nonPow2Textures; }
    HANDLE StartTickThread() override { return nullptr; }
};

} // namespace RVTest
