#pragma once

#include <cstdint>
#include <vector>

namespace RVGameEngine {
namespace Network {

// A fixed-capacity byte queue that wraps around its storage. Not locked: one
// thread at a time writes and reads it.
class CRingBuffer
{
public:
    // False for a capacity below 1; otherwise sizes the storage and resets.
    bool SetCapacity(int32_t capacity);
    void Reset();
    int32_t GetCapacity() const { return m_capacity; }
    int32_t GetUsed() const { return m_capacity - m_free; }
    int32_t GetFree() const { return m_free; }

    // False, with nothing written, when `count` exceeds the free room.
    bool Write(const uint8_t* source, int32_t count);
    // False, with nothing copied, when fewer than `count` bytes are held.
    bool Peek(uint8_t* destination, int32_t count) const;
    // Peek, then consume what was copied.
    bool Read(uint8_t* destination, int32_t count);

private:
    std::vector<uint8_t> m_storage;
    int32_t m_capacity = 0;
    int32_t m_free = 0;
    int32_t m_writePos = 0;
    int32_t m_readPos = 0;
};

} // namespace Network
} // namespace RVGameEngine
