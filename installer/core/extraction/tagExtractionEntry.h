#pragma once

#include "engine/filesystem/tagPackedFileItem.h"

#include <cstdint>

// One entry an extraction writes: its table entry, where its bytes begin in
// the archive, and whether it ended up written whole (set by its writer).
struct tagExtractionEntry
{
    const RVGameEngine::FileSystem::tagPackedFileItem* item = nullptr;
    uint64_t position = 0;
    bool written = false;
};
