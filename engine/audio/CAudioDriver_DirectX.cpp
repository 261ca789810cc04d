#include "engine/audio/CAudioDriver_DirectX.h"

namespace RVGameEngine {
namespace Audio {

CAudioDriver_DirectX::CAudioDriver_DirectX() = default;

CAudioDriver_DirectX::~CAudioDriver_DirectX()
{
    m_musicPlayer.reset();
    m_soundManager.reset();
}

CSoundManager* CAudioDriver_DirectX::GetSoundManager()
{
    if (!m_soundManager)
        m_soundManager.reset(new CSoundManager());
    return m_soundManager.get();
}

CDirectShowMusic* CAudioDriver_DirectX::GetMusicPlayer()
{
    if (!m_musicPlayer)
        m_musicPlayer.reset(new CDirectShowMusic());
    return m_musicPlayer.get();
}

bool CAudioDriver_DirectX::Initialize(HWND window)
{
    return GetSoundManager()->InitDirectSound(window);
}

void CAudioDriver_DirectX::Update(uint32_t)
{
    GetSoundManager()->Update();
}

void CAudioDriver_DirectX::SetSoundVolume(float volume)
{
    m_soundVolume = volume;
    GetSoundManager()->SetVolume(EffectiveLevel(volume));
}

float CAudioDriver_DirectX::GetSoundVolume()
{
    return m_soundVolume;
}

int CAudioDriver_DirectX::PlaySound(const wchar_t* path, bool loop, bool globalFocus)
{
    return GetSoundManager()->PlaySound(path, false, loop, globalFocus);
}

int CAudioDriver_DirectX::PlaySound(const wchar_t* path, bool loop)
{
    return PlaySound(path, loop, true);
}

void CAudioDriver_DirectX::StopSound(int id)
{
    GetSoundManager()->StopSound(id);
}

void CAudioDriver_DirectX::SetMusicVolume(float volume)
{
    m_musicVolume = volume;
    GetMusicPlayer()->SetVolume(EffectiveLevel(volume));
}

float CAudioDriver_DirectX::GetMusicVolume()
{
    return m_musicVolume;
}

void CAudioDriver_DirectX::PlayMusic(const wchar_t* path, bool loop)
{
    // Muted means silent, for a track started while muted too.
    CDirectShowMusic* player = GetMusicPlayer();
    player->SetVolume(EffectiveLevel(m_musicVolume));
    player->Play(path, loop);
}

void CAudioDriver_DirectX::StopMusic()
{
    m_musicPlayer.reset();
}

bool CAudioDriver_DirectX::IsMusicStopped()
{
    return GetMusicPlayer()->IsStopped();
}

void CAudioDriver_DirectX::SetMute(bool muted)
{
    m_muted = muted;
    SetSoundVolume(m_soundVolume);
    SetMusicVolume(m_musicVolume);
}

bool CAudioDriver_DirectX::IsMuted()
{
    return m_muted;
}

namespace {

IAudioDriver* g_deviceDriver = nullptr;

} // namespace

void SetDeviceAudioDriver(IAudioDriver* driver)
{
    g_deviceDriver = driver;
}

IAudioDriver* IAudioDriver_GetInstance()
{
    if (g_deviceDriver != nullptr)
        return g_deviceDriver;
    // Never destroyed: sounds and music may still be in use while the
    // process's static objects are torn down. The reference taken here keeps
    // a caller's intrusive pointer from deleting it.
    static IAudioDriver* driver = [] {
        IAudioDriver* made = new CAudioDriver_DirectX();
        made->AddRef();
        return made;
    }();
    return driver;
}

IAudioDriver* IAudioDriver_DirectX_Create()
{
    return new CAudioDriver_DirectX();
}

} // namespace Audio
} // namespace RVGameEngine
