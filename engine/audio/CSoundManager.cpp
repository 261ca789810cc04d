#include "engine/audio/CSoundManager.h"

#include "engine/audio/WaveCache.h"

#include <cstring>

namespace RVGameEngine {
namespace Audio {

namespace {

using DirectSoundCreate8Function = HRESULT(WINAPI*)(LPCGUID, LPDIRECTSOUND8*, LPUNKNOWN);

// The primary buffer's format is a request: the device may run at another
// rate, and refuses it outright below the priority cooperative level.
WAVEFORMATEX PrimaryFormat()
{
    WAVEFORMATEX format;
    std::memset(&format, 0, sizeof(format));
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 1;
    format.nSamplesPerSec = 22050;
    format.wBitsPerSample = 16;
    format.nBlockAlign = 2;
    format.nAvgBytesPerSec = 44100;
    return format;
}

} // namespace

CSoundManager::CSoundManager() = default;

CSoundManager::~CSoundManager()
{
    ReleaseDevice();
}

void CSoundManager::ReleaseDevice()
{
    m_playing.clear();
    m_primaryBuffer.Reset();
    m_directSound.Reset();
}

bool CSoundManager::InitDirectSound(HWND window)
{
    ReleaseDevice();
    if (!m_library) {
        m_library.Reset(LoadLibraryW(L"C:\\Windows\\System32\\DSOUND.DLL"));
        if (!m_library)
            m_library.Reset(LoadLibraryW(L"DSOUND.DLL"));
    }
    if (!m_library)
        return false;
    // Through the generic function type, which converts to any other without
    // a warning about mismatched signatures.
    const auto create = reinterpret_cast<DirectSoundCreate8Function>(
        reinterpret_cast<void (*)()>(GetProcAddress(m_library.Get(), "DirectSoundCreate8")));
    if (create == nullptr)
        return false;
    if (FAILED(create(nullptr, m_directSound.Receive(), nullptr)) || !m_directSound)
        return false;
    if (FAILED(m_directSound->SetCooperativeLevel(window, DSSCL_NORMAL))) {
        m_directSound.Reset();
        return false;
    }
    CreatePrimaryBuffer();
    return true;
}

void CSoundManager::CreatePrimaryBuffer()
{
    DSBUFFERDESC description;
    std::memset(&description, 0, sizeof(description));
    description.dwSize = sizeof(description);
    description.dwFlags = DSBCAPS_PRIMARYBUFFER | DSBCAPS_CTRL3D;
    if (FAILED(m_directSound->CreateSoundBuffer(&description, m_primaryBuffer.Receive(), nullptr)))
        return;
    WAVEFORMATEX format = PrimaryFormat();
    if (FAILED(m_primaryBuffer->SetFormat(&format)))
        m_primaryBuffer.Reset();
}

int CSoundManager::PlaySound(const wchar_t* path, bool is3D, bool loop, bool globalFocus)
{
    const uint32_t id = m_nextId++;
    if (!m_directSound || path == nullptr)
        return -1;
    Common::TIntrusivePointer<CWaveFile> wave = LoadSound(path);
    if (!wave)
        return -1;
    std::unique_ptr<CSoundBuffer> sound =
        CSoundBuffer::Create(m_directSound.Get(), id, path, *wave, is3D, loop, globalFocus);
    if (!sound)
        return -1;
    sound->SetBufferVolume(m_volume);
    sound->Play();
    m_playing.push_back(std::move(sound));
    return static_cast<int>(id);
}

void CSoundManager::StopSound(int id)
{
    for (size_t i = m_playing.size(); i-- > 0;) {
        if (m_playing[i]->GetId() == static_cast<uint32_t>(id))
            m_playing.erase(m_playing.begin() + static_cast<std::ptrdiff_t>(i));
    }
}

void CSoundManager::Update()
{
    for (size_t i = m_playing.size(); i-- > 0;) {
        m_playing[i]->SetBufferVolume(m_volume);
        if (m_playing[i]->IsStopped())
            m_playing.erase(m_playing.begin() + static_cast<std::ptrdiff_t>(i));
    }
}

CSoundBuffer* CSoundManager::FindSoundBuffer(int id)
{
    for (size_t i = m_playing.size(); i-- > 0;) {
        if (m_playing[i]->GetId() == static_cast<uint32_t>(id))
            return m_playing[i].get();
    }
    return nullptr;
}

std::unique_ptr<CSoundListener> CSoundManager::CreateListener()
{
    return CSoundListener::Create(m_primaryBuffer.Get());
}

} // namespace Audio
} // namespace RVGameEngine
