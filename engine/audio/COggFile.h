#pragma once

#include "engine/common/base/EngineApi.h"
#include "engine/common/base/IStream.h"
#include "engine/common/base/TIntrusivePointer.h"

#include <cstdint>

namespace RVGameEngine {
namespace Audio {

// Decodes a whole Ogg Vorbis file into an in-memory RIFF/WAVE image of
// interleaved signed 16-bit samples (a 44-byte header, then the samples).
class RV_API COggFile
{
public:
    // The path goes through the file system's name replacement and is then
    // opened on disk (packed archives hold no music or Ogg sounds). Null when
    // the file does not open as Ogg Vorbis, when its links differ in channels
    // or rate, or when it would decode to more than kMaxDecodedBytes.
    static Common::TIntrusivePointer<Common::IStream> Open(const wchar_t* path);

    // A sound held whole in memory; far beyond any effect or jingle, and well
    // inside what the 32-bit process can hold.
    static constexpr uint32_t kMaxDecodedBytes = 256u << 20;
};

} // namespace Audio
} // namespace RVGameEngine
