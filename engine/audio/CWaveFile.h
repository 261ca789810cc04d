#pragma once

#include "engine/common/base/EngineApi.h"
#include "engine/common/base/IReferenceCounted.h"

#include <windows.h>
#include <mmreg.h>

#include <cstdint>
#include <memory>

namespace RVGameEngine {
namespace Audio {

// One sound as DirectSound takes it: a PCM format and the sample bytes.
//
// A file is taken whole or not at all: a truncated or damaged file (a chunk
// or data block reaching past the end, a format without channels, rate,
// sample size or block size) leaves the wave as it was, and nothing is
// allocated beyond what the file itself holds.
class RV_API CWaveFile : public Common::IReferenceCounted
{
public:
    CWaveFile();
    ~CWaveFile() override;

    // A path ending in ".ogg" (lower case) is decoded from Ogg Vorbis on
    // disk; any other path is read as RIFF/WAVE through the virtual file
    // system.
    bool Open(const wchar_t* path);
    // Parses a whole RIFF/WAVE image.
    bool Load(const uint8_t* bytes, uint32_t size);

    const WAVEFORMATEX& GetFormat() const { return m_format; }
    uint32_t GetDataSize() const { return m_dataSize; }
    const uint8_t* GetData() const { return m_data.get(); }

private:
    WAVEFORMATEX m_format;
    uint32_t m_dataSize = 0;
    std::unique_ptr<uint8_t[]> m_data;
};

} // namespace Audio
} // namespace RVGameEngine
