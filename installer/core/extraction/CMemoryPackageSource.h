#pragma once

#include "installer/core/extraction/IPackageSource.h"

#include "engine/common/base/IStream.h"
#include "engine/common/base/TIntrusivePointer.h"

// An archive held whole in a memory stream, given front to back.
class CMemoryPackageSource : public IPackageSource
{
public:
    explicit CMemoryPackageSource(RVGameEngine::Common::TIntrusivePointer<RVGameEngine::Common::IStream> stream);

    uint64_t GetSize() const override { return m_size; }
    bool ReadNext(uint8_t* target, uint32_t count) override;
    bool ReadRestAndCheck() override { return true; }

private:
    RVGameEngine::Common::TIntrusivePointer<RVGameEngine::Common::IStream> m_stream;
    uint64_t m_size = 0;
    uint64_t m_position = 0;
};
