#pragma once

#include "engine/audio/CWaveFile.h"
#include "engine/common/base/EngineApi.h"
#include "engine/common/base/TIntrusivePointer.h"

namespace RVGameEngine {
namespace Audio {

// The process-wide cache of decoded sounds, keyed by the path exactly as
// given: each file is read and decoded once. A missing file gives null after
// one "file not found" warning box, and stays null for the life of the
// process; a file that exists but does not load is cached empty (data size 0)
// after one "unsupported format" box.
RV_API Common::TIntrusivePointer<CWaveFile> LoadSound(const wchar_t* path);

} // namespace Audio
} // namespace RVGameEngine
