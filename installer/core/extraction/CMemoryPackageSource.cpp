#include "installer/core/extraction/CMemoryPackageSource.h"

#include <cstring>

CMemoryPackageSource::CMemoryPackageSource(RVGameEngine::Common::TIntrusivePointer<RVGameEngine::Common::IStream> stream)
    : m_stream(stream), m_size(stream.IsNull() ? 0 : static_cast<uint64_t>(stream->GetSize()))
{
}

bool CMemoryPackageSource::ReadNext(uint8_t* target, uint32_t count)
{
    if (count > m_size - m_position)
        return false;
    if (count > 0)
        std::memcpy(target, m_stream->GetData() + m_position, count);
    m_position += count;
    return true;
}
