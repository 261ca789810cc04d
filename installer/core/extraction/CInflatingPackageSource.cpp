#include "installer/core/extraction/CInflatingPackageSource.h"

#include "engine/filesystem/CCompress.h"
#include "engine/filesystem/ILogFile.h"

#include <cstring>
#include <vector>

using RVGameEngine::FileSystem::ILogFile_GetInstance;
using RVGameEngine::FileSystem::LOG_LEVEL_ERROR;

namespace {

constexpr uint32_t kSizeFieldLength = 4;
constexpr uint32_t kDiscardPiece = 64 * 1024;

} // namespace

CInflatingPackageSource::~CInflatingPackageSource()
{
    if (m_started)
        inflateEnd(&m_zlib);
}

bool CInflatingPackageSource::Open(const void* blob, uint32_t blobSize, const wchar_t* name)
{
    m_name = name;
    uint32_t statedSize = 0;
    if (blob != nullptr && blobSize >= kSizeFieldLength)
        std::memcpy(&statedSize, blob, kSizeFieldLength);
    const uint64_t streamLength = blobSize >= kSizeFieldLength ? blobSize - kSizeFieldLength : 0;
    // The same bound on the stated size as a whole inflation applies.
    if (blob == nullptr || blobSize < kSizeFieldLength ||
        statedSize > (streamLength + 1) * RVGameEngine::Common::CCompress::kLargestRatio) {
        ILogFile_GetInstance()->Log(LOG_LEVEL_ERROR, L"Package %s does not decompress", name);
        return false;
    }
    m_zlib.next_in = const_cast<Bytef*>(static_cast<const Bytef*>(blob) + kSizeFieldLength);
    m_zlib.avail_in = static_cast<uInt>(streamLength);
    if (inflateInit(&m_zlib) != Z_OK) {
        ILogFile_GetInstance()->Log(LOG_LEVEL_ERROR, L"Package %s does not decompress", name);
        return false;
    }
    m_started = true;
    m_statedSize = statedSize;
    return true;
}

bool CInflatingPackageSource::Fail(int zlibResult)
{
    if (!m_failed)
        ILogFile_GetInstance()->Log(LOG_LEVEL_ERROR, L"Package %s is damaged: zlib error %d after %llu of %u bytes",
                                    m_name.c_str(), zlibResult, static_cast<unsigned long long>(m_produced),
                                    m_statedSize);
    m_failed = true;
    return false;
}

// Exactly `count` bytes, or false; running out of input or meeting the
// stream's end early are damage too.
bool CInflatingPackageSource::Inflate(uint8_t* target, uint32_t count)
{
    m_zlib.next_out = target;
    m_zlib.avail_out = count;
    while (m_zlib.avail_out > 0) {
        const uInt before = m_zlib.avail_out;
        const int result = inflate(&m_zlib, Z_NO_FLUSH);
        m_produced += before - m_zlib.avail_out;
        if (result == Z_STREAM_END && m_zlib.avail_out > 0)
            return Fail(Z_DATA_ERROR);
        if (result != Z_OK && result != Z_STREAM_END)
            return Fail(result);
    }
    return true;
}

bool CInflatingPackageSource::ReadNext(uint8_t* target, uint32_t count)
{
    if (m_failed || !m_started)
        return false;
    if (count > m_statedSize - m_produced)
        return Fail(Z_BUF_ERROR);
    return Inflate(target, count);
}

bool CInflatingPackageSource::ReadRestAndCheck()
{
    if (m_failed || !m_started)
        return false;
    std::vector<uint8_t> discard(kDiscardPiece);
    while (m_produced < m_statedSize) {
        const uint32_t step = static_cast<uint32_t>(std::min<uint64_t>(kDiscardPiece, m_statedSize - m_produced));
        if (!Inflate(discard.data(), step))
            return false;
    }
    // The stream must end here, its checksum checked: one byte more of room
    // must stay unused.
    uint8_t beyond = 0;
    m_zlib.next_out = &beyond;
    m_zlib.avail_out = 1;
    const int result = inflate(&m_zlib, Z_FINISH);
    if (result != Z_STREAM_END || m_zlib.avail_out != 1)
        return Fail(result == Z_STREAM_END ? Z_DATA_ERROR : result);
    return true;
}
