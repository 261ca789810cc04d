#pragma once

#include "engine/common/base/EngineApi.h"

#include <cstdint>

namespace RVGameEngine {
namespace Common {

// The engine heap. Each block carries four zero guard bytes and its size in
// front of the data and eight zero guard bytes behind it; the data is
// zero-filled. Returns null when the heap is exhausted.
RV_API void* EngineAlloc(uint32_t size);
// Accepts null. Stops the program when a guard byte of the block has changed.
// In builds made with RV_POISON_FREED_BLOCKS the data is overwritten with
// kFreedBlockPattern first.
RV_API void EngineFree(void* pointer);
constexpr unsigned char kFreedBlockPattern = 0xDD;

// Zero-filled blocks from the system's global heap, with a running count of
// the bytes outstanding.
RV_API void* EngineGlobalAlloc(uint32_t size, const char* tag);
RV_API void EngineGlobalFree(void* pointer);
RV_API int32_t GetGlobalLeak();

} // namespace Common
} // namespace RVGameEngine
