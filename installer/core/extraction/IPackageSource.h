#pragma once

#include <cstdint>

// The bytes of a packed archive, taken front to back exactly once: an archive
// already in memory, or one inflated piece by piece from its package blob.
class IPackageSource
{
public:
    virtual ~IPackageSource() = default;

    // The archive's whole size in bytes.
    virtual uint64_t GetSize() const = 0;
    // Fills `target` with the next `count` bytes. False when the source
    // cannot give them all: it is damaged, and gives nothing more.
    virtual bool ReadNext(uint8_t* target, uint32_t count) = 0;
    // Takes what is left to the end and says whether the whole source was
    // sound (for a blob: it ends where it says and its checksum holds).
    virtual bool ReadRestAndCheck() = 0;
};
