#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

// A block of inflated archive bytes shared by the pieces cut from it; it goes
// back to its pool when the last of them is written.
struct tagExtractionSlab
{
    std::unique_ptr<uint8_t[]> bytes;
    std::atomic<uint32_t> users{0};
};
