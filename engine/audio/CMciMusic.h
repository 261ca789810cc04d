#pragma once

#include "engine/common/base/EngineApi.h"

#include <cstdint>

namespace RVGameEngine {
namespace Audio {

// Music through the Windows MCI device "mpegvideo": the device plays (and
// repeats) the file by itself, without a thread of ours.
class RV_API CMciMusic
{
public:
    CMciMusic() = default;
    ~CMciMusic();
    CMciMusic(const CMciMusic&) = delete;
    CMciMusic& operator=(const CMciMusic&) = delete;

    // Closes what plays, then opens and plays the file (after the file
    // system's name replacement); a file that will not play leaves no device
    // open.
    void Play(const wchar_t* path, bool loop);
    void Close();
    bool IsStopped();
    // 0..1; applied at once when a device is open, else at the next Play.
    void SetVolume(float volume);
    float GetVolume() const { return m_volume; }
    bool IsOpen() const { return m_device != 0; }

private:
    uint16_t m_device = 0;
    float m_volume = 0.0f;
};

} // namespace Audio
} // namespace RVGameEngine
