// The program's global allocation operators: every object and container
// buffer lives in a guarded engine block.
//
// A failing plain `new` must not hand null to callers that never check it:
// it stops the program through the fatal path (which writes a crash dump).
// The nothrow forms keep their null result.

#include "engine/common/base/FatalError.h"
#include "engine/common/base/Memory.h"

#include <cstdint>
#include <new>

using RVGameEngine::Common::EngineAlloc;
using RVGameEngine::Common::EngineFatalError;
using RVGameEngine::Common::EngineFree;

namespace {

void* AllocateOrStop(std::size_t size)
{
    if (size <= UINT32_MAX) {
        if (void* p = EngineAlloc(static_cast<uint32_t>(size)))
            return p;
    }
    EngineFatalError("operator new: out of memory");
}

void* AllocateOrNull(std::size_t size) noexcept
{
    return size <= UINT32_MAX ? EngineAlloc(static_cast<uint32_t>(size)) : nullptr;
}

} // namespace

void* operator new(std::size_t size) { return AllocateOrStop(size); }
void* operator new[](std::size_t size) { return AllocateOrStop(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return AllocateOrNull(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return AllocateOrNull(size); }

void operator delete(void* p) noexcept { EngineFree(p); }
void operator delete[](void* p) noexcept { EngineFree(p); }
void operator delete(void* p, std::size_t) noexcept { EngineFree(p); }
void operator delete[](void* p, std::size_t) noexcept { EngineFree(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { EngineFree(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { EngineFree(p); }
