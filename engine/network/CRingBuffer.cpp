#include "engine/network/CRingBuffer.h"

#include <algorithm>
#include <cstring>

namespace RVGameEngine {
namespace Network {

bool CRingBuffer::SetCapacity(int32_t capacity)
{
    if (capacity < 1)
        return false;
    m_storage.assign(static_cast<size_t>(capacity), 0);
    m_capacity = capacity;
    Reset();
    return true;
}

void CRingBuffer::Reset()
{
    m_free = m_capacity;
    m_writePos = 0;
    m_readPos = 0;
}

bool CRingBuffer::Write(const uint8_t* source, int32_t count)
{
    if (count < 0 || count > m_free)
        return false;
    const int32_t first = std::min(count, m_capacity - m_writePos);
    if (first > 0)
        std::memcpy(m_storage.data() + m_writePos, source, static_cast<size_t>(first));
    if (count > first)
        std::memcpy(m_storage.data(), source + first, static_cast<size_t>(count - first));
    if (m_capacity > 0)
        m_writePos = (m_writePos + count) % m_capacity;
    m_free -= count;
    return true;
}

bool CRingBuffer::Peek(uint8_t* destination, int32_t count) const
{
    if (count < 0 || count > GetUsed())
        return false;
    const int32_t first = std::min(count, m_capacity - m_readPos);
    if (first > 0)
        std::memcpy(destination, m_storage.data() + m_readPos, static_cast<size_t>(first));
    if (count > first)
        std::memcpy(destination + first, m_storage.data(), static_cast<size_t>(count - first));
    return true;
}

bool CRingBuffer::Read(uint8_t* destination, int32_t count)
{
    if (!Peek(destination, count))
        return false;
    if (m_capacity > 0)
        m_readPos = (m_readPos + count) % m_capacity;
    m_free += count;
    return true;
}

} // namespace Network
} // namespace RVGameEngine
