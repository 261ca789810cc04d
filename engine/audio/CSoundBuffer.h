#pragma once

#include "engine/audio/DirectSoundHeaders.h"
#include "engine/common/base/ComPointer.h"
#include "engine/common/base/EngineApi.h"

#include <cstdint>
#include <memory>
#include <string>

namespace RVGameEngine {
namespace Audio {

class CWaveFile;

// One playing sound: a secondary DirectSound buffer holding a whole decoded
// file, with its play number. Destruction stops it and releases it.
class RV_API CSoundBuffer
{
public:
    // Null when the wave has no data or DirectSound refuses the buffer.
    static std::unique_ptr<CSoundBuffer> Create(IDirectSound8* directSound, uint32_t id, const wchar_t* path,
                                                const CWaveFile& wave, bool is3D, bool loop, bool globalFocus);
    ~CSoundBuffer();
    CSoundBuffer(const CSoundBuffer&) = delete;
    CSoundBuffer& operator=(const CSoundBuffer&) = delete;

    // From the start, looping when the sound was made to loop.
    void Play();
    void Stop();
    bool IsStopped();
    void SetBufferVolume(float volume);
    // The attenuation the buffer plays at, in hundredths of a decibel.
    int32_t GetBufferVolume();
    // A buffer lost to another application is given back its memory (trying
    // for at most a second); its contents are not refilled.
    void RestoreIfLost();
    // Commits the 3D parameters (deferred until the listener commits).
    void Commit3DParameters();

    uint32_t GetId() const { return m_id; }
    const std::wstring& GetPath() const { return m_path; }
    bool IsLooping() const { return m_loop; }
    DS3DBUFFER& Get3DParameters() { return m_parameters3D; }

private:
    CSoundBuffer(IDirectSound8* directSound, uint32_t id, const wchar_t* path, bool is3D, bool loop);

    IDirectSound8* m_directSound;
    Common::TComPointer<IDirectSoundBuffer> m_buffer;
    Common::TComPointer<IDirectSound3DBuffer> m_buffer3D;
    DS3DBUFFER m_parameters3D;
    bool m_is3D;
    bool m_loop;
    std::wstring m_path;
    uint32_t m_id;
};

} // namespace Audio
} // namespace RVGameEngine
