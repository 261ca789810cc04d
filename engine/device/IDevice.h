#pragma once

#include "engine/common/base/CEventDelegateManager.h"
#include "engine/common/base/EngineApi.h"
#include "engine/device/tagCreationParams.h"

#include <windows.h>

#include <cstdint>

namespace RVGameEngine {
namespace Video { class IVideoDriver; }
namespace Audio { class IAudioDriver; }
namespace Scene { class ISpriteManager2D; class ISceneManager2D; }

namespace Device {

// The game runtime's window with its Direct3D device and the services that
// live on it. At most one device exists in a process: constructing one makes
// it the instance that IDevice_GetInstance returns until it is destroyed, and
// constructing a second while one exists stops the program. The device fires
// the events of enmDeviceEvent with itself as sender.
class RV_API IDevice : public Common::CEventDelegateManager
{
public:
    IDevice();
    ~IDevice() override;

    virtual bool Create(tagCreationParams& params) = 0;
    virtual void SetTitle(const wchar_t* title) = 0;
    // Pumps every waiting message; false once WM_QUIT came.
    virtual bool ProcessMessages() = 0;
    virtual bool IsActive() = 0;
    virtual uint32_t GetTime() = 0;
    virtual uint32_t GetFrameTime() = 0;
    virtual uint32_t GetFps() = 0;
    virtual void Sleep(uint32_t milliseconds) = 0;
    virtual void Present() = 0;
    virtual Video::IVideoDriver* GetVideoDriver() = 0;
    virtual Audio::IAudioDriver* GetAudioDriver() = 0;
    virtual Scene::ISpriteManager2D* GetSpriteManager() = 0;
    virtual Scene::ISceneManager2D* GetSceneManager() = 0;
    virtual bool IsKeyDown(int virtualKey) = 0;
    virtual bool IsKeyUp(int virtualKey) = 0;
    virtual void ShowSystemCursor(bool visible) = 0;
    virtual void SetCursorPosition(int x, int y) = 0;
    virtual void GetCursorPosition(int& x, int& y) = 0;
    // Recomputes the present parameters and resets the Direct3D device.
    virtual bool ResetDevice() = 0;
    virtual HWND GetWindowHandle() = 0;
    // One-way: mouse, key and character events stop for good.
    virtual void LockInput() = 0;
    virtual bool SupportsNonPow2Textures() = 0;
    virtual HANDLE StartTickThread() = 0;
};

// The device, or null when none exists.
RV_API IDevice* IDevice_GetInstance();

} // namespace Device
} // namespace RVGameEngine
