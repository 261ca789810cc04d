#include "engine/common/base/Memory.h"

#include "engine/common/base/FatalError.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <new>

namespace RVGameEngine {
namespace Common {

namespace {

constexpr uint32_t kLeadingGuardBytes = 4;
constexpr uint32_t kHeaderBytes = 8;   // leading guard + size
constexpr uint32_t kTrailingGuardBytes = 8;

bool AllZero(const unsigned char* bytes, uint32_t count)
{
    for (uint32_t i = 0; i < count; ++i) {
        if (bytes[i] != 0)
            return false;
    }
    return true;
}

// The counter's lock must exist before any engine code runs, including code
// run by other static initialisers; a function-local static would be made on
// first use, which is too late for a lock taken from two threads at once.
struct GlobalPoolCounter
{
    CRITICAL_SECTION lock;
    int32_t bytesOutstanding = 0;

    GlobalPoolCounter() { InitializeCriticalSection(&lock); }
    ~GlobalPoolCounter() { DeleteCriticalSection(&lock); }

    void Add(int32_t bytes)
    {
        EnterCriticalSection(&lock);
        bytesOutstanding += bytes;
        LeaveCriticalSection(&lock);
    }
};

GlobalPoolCounter g_globalPool __attribute__((init_priority(101)));

} // namespace

void* EngineAlloc(uint32_t size)
{
    const uint32_t dataSize = size == 0 ? 1 : size;
    if (dataSize > UINT32_MAX - kHeaderBytes - kTrailingGuardBytes)
        return nullptr;
    unsigned char* block = static_cast<unsigned char*>(
        std::calloc(1, dataSize + kHeaderBytes + kTrailingGuardBytes));
    if (block == nullptr)
        return nullptr;
    std::memcpy(block + kLeadingGuardBytes, &dataSize, sizeof(dataSize));
    return block + kHeaderBytes;
}

void EngineFree(void* pointer)
{
    if (pointer == nullptr)
        return;
    unsigned char* block = static_cast<unsigned char*>(pointer) - kHeaderBytes;
    if (!AllZero(block, kLeadingGuardBytes))
        EngineFatalError("EngineFree: leading guard damaged");
    uint32_t dataSize = 0;
    std::memcpy(&dataSize, block + kLeadingGuardBytes, sizeof(dataSize));
    if (!AllZero(block + kHeaderBytes + dataSize, kTrailingGuardBytes))
        EngineFatalError("EngineFree: trailing guard damaged");
#if defined(RV_POISON_FREED_BLOCKS)
    std::memset(pointer, kFreedBlockPattern, dataSize);
#endif
    std::free(block);
}

void* EngineGlobalAlloc(uint32_t size, const char* /*tag*/)
{
    void* block = GlobalAlloc(GPTR, size);
    if (block != nullptr)
        g_globalPool.Add(static_cast<int32_t>(size));
    return block;
}

void EngineGlobalFree(void* pointer)
{
    if (pointer == nullptr)
        return;
    g_globalPool.Add(-static_cast<int32_t>(GlobalSize(pointer)));
    GlobalFree(pointer);
}

int32_t GetGlobalLeak()
{
    return g_globalPool.bytesOutstanding;
}

} // namespace Common
} // namespace RVGameEngine
