#pragma once

#include "engine/filesystem/tagPackedFileItem.h"

#include <atomic>
#include <cstdint>
#include <memory>

// One entry an extraction writes: its table entry, where its bytes begin in
// the archive, and whether it ended up written whole (set by its writer).
struct tagExtractionEntry
{
    const RVGameEngine::FileSystem::tagPackedFileItem* item = nullptr;
    uint64_t position = 0;
    bool written = false;
};

// A block of inflated archive bytes shared by the pieces cut from it; it goes
// back to its pool when the last of them is written.
struct tagExtractionSlab
{
    std::unique_ptr<uint8_t[]> bytes;
    std::atomic<uint32_t> users{0};
};

// Bytes of one entry in a slab, in order. Every piece has kPieceHeadroom free
// bytes in front of it, so that a header can go before the entry's first
// bytes without a copy. An abandoned piece carries no bytes: its entry will
// get no more, because the package turned out damaged.
struct tagExtractionPiece
{
    static constexpr uint32_t kPieceHeadroom = 4;

    uint32_t entry = 0;
    tagExtractionSlab* slab = nullptr;
    uint32_t offset = 0;
    uint32_t size = 0;
    bool first = false;
    bool last = false;
    bool abandoned = false;

    uint8_t* Bytes() const { return slab->bytes.get() + offset; }
};
