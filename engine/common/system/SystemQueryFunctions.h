#pragma once

#include "engine/common/base/EngineApi.h"

#include <cstddef>

namespace RVGameEngine {
namespace Common {

// Copies the network adapter's hardware address text (code page 936) into the
// buffer, cut to fit; true when the address is not empty.
RV_API bool GetMACAddress(char* buffer, size_t bufferSize);
template <size_t N>
bool GetMACAddress(char (&buffer)[N])
{
    return GetMACAddress(buffer, N);
}

// The system runs on mains power.
RV_API bool IsACPowerOn();
RV_API bool IsWin7OrAbove();
// The same test on given version numbers.
RV_API bool IsWin7OrAboveVersion(unsigned long platformId, unsigned long major, unsigned long minor);

} // namespace Common
} // namespace RVGameEngine
