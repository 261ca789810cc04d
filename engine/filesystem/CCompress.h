#pragma once

#include "engine/filesystem/ICompress.h"

namespace RVGameEngine {
namespace Common {

class CCompress : public ICompress
{
public:
    // Deflate cannot shrink data by more than about 1,032 to 1: a blob that
    // claims more is damaged, and is refused before its buffer is allocated.
    static constexpr uint64_t kLargestRatio = 1040;

    TIntrusivePointer<IStream> Compress(const void* data, uint32_t size) override;
    TIntrusivePointer<IStream> Uncompress(const void* blob, uint32_t blobSize) override;
};

} // namespace Common
} // namespace RVGameEngine
