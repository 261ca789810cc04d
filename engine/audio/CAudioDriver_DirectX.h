#pragma once

#include "engine/audio/CDirectShowMusic.h"
#include "engine/audio/CSoundManager.h"
#include "engine/audio/IAudioDriver.h"

#include <memory>

namespace RVGameEngine {
namespace Audio {

// Sound effects through DirectSound, music through DirectShow; both workers
// are made when first needed.
class RV_API CAudioDriver_DirectX : public IAudioDriver
{
public:
    CAudioDriver_DirectX();
    ~CAudioDriver_DirectX() override;

    bool Initialize(HWND window) override;
    void Update(uint32_t unused) override;
    void SetSoundVolume(float volume) override;
    float GetSoundVolume() override;
    int PlaySound(const wchar_t* path, bool loop, bool globalFocus) override;
    int PlaySound(const wchar_t* path, bool loop) override;
    void StopSound(int id) override;
    void SetMusicVolume(float volume) override;
    float GetMusicVolume() override;
    void PlayMusic(const wchar_t* path, bool loop) override;
    void StopMusic() override;
    bool IsMusicStopped() override;
    void SetMute(bool muted) override;
    bool IsMuted() override;

    CSoundManager* GetSoundManager();
    CDirectShowMusic* GetMusicPlayer();

private:
    float EffectiveLevel(float volume) const { return m_muted ? 0.0f : volume; }

    float m_soundVolume = 1.0f;
    float m_musicVolume = 1.0f;
    std::unique_ptr<CSoundManager> m_soundManager;
    std::unique_ptr<CDirectShowMusic> m_musicPlayer;
    bool m_muted = false;
};

} // namespace Audio
} // namespace RVGameEngine
