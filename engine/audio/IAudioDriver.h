#pragma once

#include "engine/common/base/EngineApi.h"
#include "engine/common/base/IReferenceCounted.h"

#include <windows.h>

#include <cstdint>

namespace RVGameEngine {
namespace Audio {

// The engine's sound output: sound effects, each identified by a number,
// and one music track at a time, with a sound volume, a music volume and a
// mute switch. Volumes are levels 0..1 (values outside are clamped when
// applied).
class RV_API IAudioDriver : public Common::IReferenceCounted
{
public:
    // Starts DirectSound for the window; without it every PlaySound gives -1.
    virtual bool Initialize(HWND window) = 0;
    // Once a frame: applies the sound volume and frees ended sounds.
    virtual void Update(uint32_t unused) = 0;
    // Reaches playing sounds at the next Update.
    virtual void SetSoundVolume(float volume) = 0;
    virtual float GetSoundVolume() = 0;
    // The new sound's number, or -1 (the number is used up either way).
    virtual int PlaySound(const wchar_t* path, bool loop, bool globalFocus) = 0;
    virtual int PlaySound(const wchar_t* path, bool loop) = 0;
    // Stops every sound with that number.
    virtual void StopSound(int id) = 0;
    virtual void SetMusicVolume(float volume) = 0;
    virtual float GetMusicVolume() = 0;
    // Replaces whatever music plays.
    virtual void PlayMusic(const wchar_t* path, bool loop) = 0;
    virtual void StopMusic() = 0;
    virtual bool IsMusicStopped() = 0;
    // While muted both volumes act as 0; the stored volumes are kept.
    virtual void SetMute(bool muted) = 0;
    virtual bool IsMuted() = 0;
};

// The device's driver while a device has registered one; otherwise the
// process-wide driver, made on the first call and kept for the life of the
// process, and not initialised: its user calls Initialize.
RV_API IAudioDriver* IAudioDriver_GetInstance();
// The device window registers the driver it made and initialised (and null
// when it goes): the device sits beside this library, not below it, so it
// hands its driver over instead of being asked for it.
RV_API void SetDeviceAudioDriver(IAudioDriver* driver);
// A new driver owned by the caller (count 0: wrap it in a TIntrusivePointer).
RV_API IAudioDriver* IAudioDriver_DirectX_Create();

} // namespace Audio
} // namespace RVGameEngine
