#include "engine/audio/CSoundBuffer.h"

#include "engine/audio/CWaveFile.h"
#include "engine/audio/VolumeLaw.h"

#include <cstring>

namespace RVGameEngine {
namespace Audio {

namespace {

constexpr DWORD kFlags3D = DSBCAPS_LOCSOFTWARE | DSBCAPS_CTRL3D | DSBCAPS_CTRLVOLUME;
constexpr DWORD kFlags2D = DSBCAPS_LOCSOFTWARE | DSBCAPS_CTRLPAN | DSBCAPS_CTRLVOLUME;
constexpr int kRestoreRetryMilliseconds = 10;
// While another application holds the device the buffer cannot come back;
// the caller (a frame) must not hang on it: it tries again next time.
constexpr int kRestoreTries = 100;

// A buffer restored while the application is still in the background is
// lost again at once; the wait lets the system settle between tries.
void RestoreUntilKept(IDirectSoundBuffer* buffer)
{
    for (int i = 0; i < kRestoreTries && buffer->Restore() == DSERR_BUFFERLOST; ++i)
        Sleep(kRestoreRetryMilliseconds);
}

void InitDefault3DParameters(DS3DBUFFER& parameters)
{
    std::memset(&parameters, 0, sizeof(parameters));
    parameters.dwSize = sizeof(DS3DBUFFER);
    parameters.dwInsideConeAngle = DS3D_DEFAULTCONEANGLE;
    parameters.dwOutsideConeAngle = DS3D_DEFAULTCONEANGLE;
    parameters.vConeOrientation.x = 1.0f;
    parameters.lConeOutsideVolume = DSBVOLUME_MIN;
    parameters.flMinDistance = 1.0f;
    parameters.flMaxDistance = 1e9f;
    parameters.dwMode = DS3DMODE_NORMAL;
}

bool FillBuffer(IDirectSoundBuffer* buffer, const CWaveFile& wave)
{
    void* region = nullptr;
    DWORD regionBytes = 0;
    void* secondRegion = nullptr;
    DWORD secondBytes = 0;
    if (FAILED(buffer->Lock(0, wave.GetDataSize(), &region, &regionBytes, &secondRegion, &secondBytes, 0)))
        return false;
    if (region != nullptr && regionBytes != 0 && wave.GetDataSize() != 0)
        std::memcpy(region, wave.GetData(), regionBytes < wave.GetDataSize() ? regionBytes : wave.GetDataSize());
    buffer->Unlock(region, regionBytes, secondRegion, secondBytes);
    return true;
}

} // namespace

CSoundBuffer::CSoundBuffer(IDirectSound8* directSound, uint32_t id, const wchar_t* path, bool is3D, bool loop)
    : m_directSound(directSound), m_is3D(is3D), m_loop(loop), m_path(path != nullptr ? path : L""), m_id(id)
{
    InitDefault3DParameters(m_parameters3D);
}

std::unique_ptr<CSoundBuffer> CSoundBuffer::Create(IDirectSound8* directSound, uint32_t id, const wchar_t* path,
                                                   const CWaveFile& wave, bool is3D, bool loop, bool globalFocus)
{
    if (directSound == nullptr || wave.GetDataSize() == 0)
        return nullptr;
    // A PCM format carries no extra bytes: the record is handed over without
    // any, whatever the file's format chunk said.
    WAVEFORMATEX format = wave.GetFormat();
    format.cbSize = 0;

    DSBUFFERDESC description;
    std::memset(&description, 0, sizeof(description));
    description.dwSize = sizeof(description);
    description.dwFlags = is3D ? kFlags3D : (kFlags2D | (globalFocus ? DSBCAPS_GLOBALFOCUS : 0));
    description.dwBufferBytes = wave.GetDataSize();
    description.lpwfxFormat = &format;
    if (is3D)
        description.guid3DAlgorithm = DS3DALG_HRTF_FULL;

    std::unique_ptr<CSoundBuffer> sound(new CSoundBuffer(directSound, id, path, is3D, loop));
    if (FAILED(directSound->CreateSoundBuffer(&description, sound->m_buffer.Receive(), nullptr)) ||
        !sound->m_buffer)
        return nullptr;
    if (is3D && FAILED(sound->m_buffer->QueryInterface(IID_IDirectSound3DBuffer,
                                                        reinterpret_cast<void**>(sound->m_buffer3D.Receive()))))
        return nullptr;
    if (!FillBuffer(sound->m_buffer.Get(), wave))
        return nullptr;
    sound->SetBufferVolume(1.0f);
    if (is3D)
        sound->Commit3DParameters();
    return sound;
}

CSoundBuffer::~CSoundBuffer()
{
    Stop();
    m_buffer3D.Reset();
    m_buffer.Reset();
}

void CSoundBuffer::Play()
{
    if (!m_buffer)
        return;
    m_buffer->SetCurrentPosition(0);
    m_buffer->Play(0, 0, m_loop ? DSBPLAY_LOOPING : 0);
}

void CSoundBuffer::Stop()
{
    if (m_buffer && !IsStopped())
        m_buffer->Stop();
}

bool CSoundBuffer::IsStopped()
{
    DWORD status = 0;
    if (!m_buffer || FAILED(m_buffer->GetStatus(&status)))
        return true;
    return (status & DSBSTATUS_PLAYING) == 0;
}

void CSoundBuffer::SetBufferVolume(float volume)
{
    if (m_buffer)
        m_buffer->SetVolume(VolumeToAttenuation(volume));
}

int32_t CSoundBuffer::GetBufferVolume()
{
    LONG volume = DSBVOLUME_MIN;
    if (m_buffer)
        m_buffer->GetVolume(&volume);
    return volume;
}

void CSoundBuffer::RestoreIfLost()
{
    DWORD status = 0;
    if (m_buffer && SUCCEEDED(m_buffer->GetStatus(&status)) && (status & DSBSTATUS_BUFFERLOST) != 0)
        RestoreUntilKept(m_buffer.Get());
}

void CSoundBuffer::Commit3DParameters()
{
    if (m_buffer3D)
        m_buffer3D->SetAllParameters(&m_parameters3D, DS3D_DEFERRED);
}

} // namespace Audio
} // namespace RVGameEngine
