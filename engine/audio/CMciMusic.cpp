#include "engine/audio/CMciMusic.h"

#include "engine/filesystem/IVirtualFileSystem.h"

#include <windows.h>
#include <mmsystem.h>
#include <digitalv.h>

#include <string>

namespace RVGameEngine {
namespace Audio {

namespace {

constexpr DWORD kPlayRepeat = 0x10000;   // digital-video play flag: start again at the end
constexpr DWORD kModeStopped = 525;      // MCI_MODE_STOP
constexpr DWORD kVolumeItem = 0x4002;    // digital-video audio item: volume, 0..1000

} // namespace

CMciMusic::~CMciMusic()
{
    Close();
}

void CMciMusic::Play(const wchar_t* path, bool loop)
{
    Close();
    if (path == nullptr)
        return;
    Common::TIntrusivePointer<Common::IString> mapped =
        FileSystem::IVirtualFileSystem_GetInstance()->ReplaceFilename(path);
    const std::wstring file = mapped ? mapped->GetUtf16() : path;

    MCI_OPEN_PARMSW open = {};
    open.lpstrDeviceType = L"mpegvideo";
    open.lpstrElementName = file.c_str();
    if (mciSendCommandW(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_ELEMENT, reinterpret_cast<DWORD_PTR>(&open)) != 0)
        return;
    m_device = static_cast<uint16_t>(open.wDeviceID);
    SetVolume(m_volume);

    MCI_PLAY_PARMS play = {};
    if (mciSendCommandW(m_device, MCI_PLAY, loop ? kPlayRepeat : 0, reinterpret_cast<DWORD_PTR>(&play)) != 0)
        Close();
}

void CMciMusic::Close()
{
    if (m_device == 0)
        return;
    MCI_GENERIC_PARMS generic = {};
    mciSendCommandW(m_device, MCI_STOP, 0, reinterpret_cast<DWORD_PTR>(&generic));
    mciSendCommandW(m_device, MCI_CLOSE, 0, reinterpret_cast<DWORD_PTR>(&generic));
    m_device = 0;
}

bool CMciMusic::IsStopped()
{
    if (m_device == 0)
        return true;
    MCI_STATUS_PARMS status = {};
    status.dwItem = MCI_STATUS_MODE;
    if (mciSendCommandW(m_device, MCI_STATUS, MCI_STATUS_ITEM, reinterpret_cast<DWORD_PTR>(&status)) != 0)
        return true;
    return status.dwReturn == kModeStopped;
}

void CMciMusic::SetVolume(float volume)
{
    m_volume = volume;
    if (m_device == 0)
        return;
    // The level field is unsigned: a negative level would wrap to a huge one.
    const float clamped = !(volume > 0.0f) ? 0.0f : (volume > 1.0f ? 1.0f : volume);
    MCI_DGV_SETAUDIO_PARMSW audio = {};
    audio.dwItem = kVolumeItem;
    audio.dwValue = static_cast<DWORD>(clamped * 1000.0f);
    mciSendCommandW(m_device, MCI_SETAUDIO, MCI_DGV_SETAUDIO_VALUE | MCI_DGV_SETAUDIO_ITEM,
                    reinterpret_cast<DWORD_PTR>(&audio));
}

} // namespace Audio
} // namespace RVGameEngine
