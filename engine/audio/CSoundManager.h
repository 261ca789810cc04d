#pragma once

#include "engine/audio/CSoundBuffer.h"
#include "engine/audio/CSoundListener.h"
#include "engine/audio/DirectSoundHeaders.h"
#include "engine/common/base/ComPointer.h"
#include "engine/common/base/EngineApi.h"
#include "engine/common/base/TScopedHandle.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace RVGameEngine {
namespace Audio {

// Owns the DirectSound device and the sound effects playing on it. Every
// play request takes the next number, failed ones too; a sound lives until
// the first Update after it stops, or until StopSound.
class RV_API CSoundManager
{
public:
    CSoundManager();
    // Stops and releases the sounds still playing, then the device.
    ~CSoundManager();
    CSoundManager(const CSoundManager&) = delete;
    CSoundManager& operator=(const CSoundManager&) = delete;

    // Loads DirectSound (a device already held is given up first, with its
    // sounds). True once the device exists at the normal cooperative level;
    // a primary buffer or format the device refuses is not a failure.
    bool InitDirectSound(HWND window);
    bool HasDirectSound() const { return static_cast<bool>(m_directSound); }

    // The sound's number, or -1 when it cannot be loaded or played.
    int PlaySound(const wchar_t* path, bool is3D, bool loop, bool globalFocus);
    void StopSound(int id);
    // Applies the volume to every sound and drops those that have ended.
    void Update();
    // Reaches playing sounds at the next Update.
    void SetVolume(float volume) { m_volume = volume; }
    float GetVolume() const { return m_volume; }

    // The last started sound with that number, or null.
    CSoundBuffer* FindSoundBuffer(int id);
    std::unique_ptr<CSoundListener> CreateListener();
    size_t GetPlayingCount() const { return m_playing.size(); }

private:
    void ReleaseDevice();
    void CreatePrimaryBuffer();

    // Declared first so that it is unloaded after every interface it made.
    Common::CScopedModule m_library;
    Common::TComPointer<IDirectSound8> m_directSound;
    Common::TComPointer<IDirectSoundBuffer> m_primaryBuffer;
    std::vector<std::unique_ptr<CSoundBuffer>> m_playing;
    float m_volume = 1.0f;
    uint32_t m_nextId = 0;
};

} // namespace Audio
} // namespace RVGameEngine
