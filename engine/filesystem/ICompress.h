#pragma once

#include "engine/common/base/EngineApi.h"
#include "engine/common/base/IStream.h"
#include "engine/common/base/TIntrusivePointer.h"

#include <cstdint>

namespace RVGameEngine {
namespace Common {

// Compressed blobs: the uncompressed size as uint32 little-endian, then a
// zlib stream (RFC 1950, default level) of the bytes.
class RV_API ICompress
{
public:
    // The blob at position 0; empty when zlib fails or memory runs out.
    virtual TIntrusivePointer<IStream> Compress(const void* data, uint32_t size) = 0;
    // The uncompressed bytes at position 0. Empty for a blob shorter than 4
    // bytes, one that does not inflate to exactly its stated size, or when
    // memory runs out.
    virtual TIntrusivePointer<IStream> Uncompress(const void* blob, uint32_t blobSize) = 0;

protected:
    ~ICompress() = default;
};

// The one compressor (it keeps no state: any thread may use it).
RV_API ICompress* ICompress_GetInstance();

} // namespace Common
} // namespace RVGameEngine
