#include "engine/filesystem/CCompress.h"

#include "engine/filesystem/FileSystemLog.h"
#include "engine/filesystem/ILogFile.h"

#include <zlib.h>

#include <cstring>

namespace RVGameEngine {
namespace Common {

using FileSystem::FileSystemLog;
using FileSystem::LOG_LEVEL_ERROR;

namespace {

constexpr uint32_t kSizeFieldLength = 4;
constexpr uint64_t kLargestStream = 0x7FFFFFFFu;

} // namespace

TIntrusivePointer<IStream> CCompress::Compress(const void* data, uint32_t size)
{
    if (data == nullptr && size > 0)
        return {};
    const uint64_t bound = compressBound(size);
    if (bound + kSizeFieldLength > kLargestStream) {
        FileSystemLog(LOG_LEVEL_ERROR, L"Compress refused: %u bytes is too large", size);
        return {};
    }
    TIntrusivePointer<IStream> blob(IStream_Create(static_cast<int32_t>(bound + kSizeFieldLength)));
    if (blob.IsNull()) {
        FileSystemLog(LOG_LEVEL_ERROR, L"Compress: out of memory for %u bytes", size);
        return {};
    }
    std::memcpy(blob->GetData(), &size, kSizeFieldLength);
    uLongf compressedLength = static_cast<uLongf>(bound);
    static const Bytef kNothing = 0;
    const Bytef* source = size > 0 ? static_cast<const Bytef*>(data) : &kNothing;
    const int result = compress2(blob->GetData() + kSizeFieldLength, &compressedLength, source, size,
                                 Z_DEFAULT_COMPRESSION);
    if (result != Z_OK) {
        FileSystemLog(LOG_LEVEL_ERROR, L"Compress failed: zlib error %d", result);
        return {};
    }
    blob->SetSize(static_cast<int32_t>(compressedLength + kSizeFieldLength));
    blob->Seek(0);
    return blob;
}

TIntrusivePointer<IStream> CCompress::Uncompress(const void* blob, uint32_t blobSize)
{
    if (blob == nullptr || blobSize < kSizeFieldLength) {
        FileSystemLog(LOG_LEVEL_ERROR, L"Uncompress refused: a blob of %u bytes has no size field", blobSize);
        return {};
    }
    uint32_t statedSize = 0;
    std::memcpy(&statedSize, blob, kSizeFieldLength);
    const uint32_t streamLength = blobSize - kSizeFieldLength;
    if (statedSize > kLargestStream || statedSize > (static_cast<uint64_t>(streamLength) + 1) * kLargestRatio) {
        FileSystemLog(LOG_LEVEL_ERROR, L"Uncompress refused: %u bytes cannot come from a %u-byte stream", statedSize,
                      streamLength);
        return {};
    }
    TIntrusivePointer<IStream> plain(IStream_Create(static_cast<int32_t>(statedSize)));
    if (plain.IsNull()) {
        FileSystemLog(LOG_LEVEL_ERROR, L"Uncompress: out of memory for %u bytes", statedSize);
        return {};
    }
    uLongf inflatedLength = statedSize;
    uLong consumed = streamLength;
    const int result = uncompress2(plain->GetData(), &inflatedLength,
                                   static_cast<const Bytef*>(blob) + kSizeFieldLength, &consumed);
    if (result != Z_OK || inflatedLength != statedSize) {
        FileSystemLog(LOG_LEVEL_ERROR, L"Uncompress failed: zlib error %d, %u of %u bytes", result,
                      static_cast<unsigned>(inflatedLength), statedSize);
        return {};
    }
    return plain;
}

ICompress* ICompress_GetInstance()
{
    static CCompress instance;
    return &instance;
}

} // namespace Common
} // namespace RVGameEngine
