#include "engine/audio/CWaveFile.h"

#include "engine/audio/COggFile.h"
#include "engine/filesystem/IVirtualFileSystem.h"

#include <cstring>
#include <cwchar>
#include <new>

namespace RVGameEngine {
namespace Audio {

namespace {

static_assert(sizeof(WAVEFORMATEX) == 18, "the format record is stored as 18 bytes");

constexpr uint32_t kRiffHeaderSize = 20; // "RIFF", size, "WAVE", "fmt ", format size
constexpr uint32_t kChunkHeaderSize = 8;

// Reads little-endian values from a byte block without ever passing its end.
class CByteReader
{
public:
    CByteReader(const uint8_t* bytes, uint32_t size) : m_bytes(bytes), m_size(size) {}

    uint32_t Remaining() const { return m_size - m_position; }
    uint32_t Position() const { return m_position; }
    const uint8_t* Current() const { return m_bytes + m_position; }

    bool Tag(const char* expected)
    {
        if (Remaining() < 4 || std::memcmp(Current(), expected, 4) != 0)
            return false;
        m_position += 4;
        return true;
    }

    bool UInt32(uint32_t& value)
    {
        if (Remaining() < 4)
            return false;
        const uint8_t* p = Current();
        value = p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
        m_position += 4;
        return true;
    }

    bool Skip(uint32_t count)
    {
        if (Remaining() < count)
            return false;
        m_position += count;
        return true;
    }

private:
    const uint8_t* m_bytes;
    uint32_t m_size;
    uint32_t m_position = 0;
};

bool IsOggPath(const wchar_t* path)
{
    const size_t length = std::wcslen(path);
    return length >= 4 && std::wcscmp(path + length - 4, L".ogg") == 0;
}

// DirectSound refuses these anyway; refusing them here keeps a damaged file
// from being cached as if it were playable and keeps later arithmetic on the
// format free of zero divisors.
bool IsUsablePcmFormat(const WAVEFORMATEX& format)
{
    return format.wFormatTag == WAVE_FORMAT_PCM && format.nChannels != 0 && format.nSamplesPerSec != 0 &&
           format.wBitsPerSample != 0 && format.nBlockAlign != 0;
}

} // namespace

CWaveFile::CWaveFile()
{
    std::memset(&m_format, 0, sizeof(m_format));
}

CWaveFile::~CWaveFile() = default;

bool CWaveFile::Open(const wchar_t* path)
{
    if (path == nullptr)
        return false;
    Common::TIntrusivePointer<Common::IStream> stream =
        IsOggPath(path) ? COggFile::Open(path) : FileSystem::IVirtualFileSystem_GetInstance()->ReadFile(path);
    if (!stream || stream->GetSize() < 0)
        return false;
    return Load(stream->GetData(), static_cast<uint32_t>(stream->GetSize()));
}

bool CWaveFile::Load(const uint8_t* bytes, uint32_t size)
{
    if (bytes == nullptr)
        return false;
    CByteReader reader(bytes, size);
    uint32_t riffSize = 0;
    uint32_t formatSize = 0;
    if (!reader.Tag("RIFF") || !reader.UInt32(riffSize) || !reader.Tag("WAVE") || !reader.Tag("fmt ") ||
        !reader.UInt32(formatSize) || reader.Remaining() < formatSize)
        return false;

    // A shorter format chunk leaves the tail of the record zero (a 16-byte
    // PCM format has no extra-size field); a longer one is skipped past.
    WAVEFORMATEX format;
    std::memset(&format, 0, sizeof(format));
    const uint32_t recordBytes = formatSize < sizeof(format) ? formatSize : sizeof(format);
    std::memcpy(&format, reader.Current(), recordBytes);
    reader.Skip(formatSize);
    if (!IsUsablePcmFormat(format))
        return false;

    // Chunks before "data" are skipped by their size (no pad byte after odd
    // sizes); a chunk that claims more than the file holds ends the parse.
    while (reader.Remaining() > 0) {
        if (reader.Tag("data")) {
            uint32_t dataSize = 0;
            if (!reader.UInt32(dataSize) || reader.Remaining() < dataSize)
                return false;
            std::unique_ptr<uint8_t[]> data(new (std::nothrow) uint8_t[dataSize == 0 ? 1 : dataSize]);
            if (!data)
                return false;
            std::memcpy(data.get(), reader.Current(), dataSize);
            m_format = format;
            m_dataSize = dataSize;
            m_data = std::move(data);
            return true;
        }
        uint32_t chunkSize = 0;
        if (!reader.Skip(4) || !reader.UInt32(chunkSize) || !reader.Skip(chunkSize))
            return false;
    }
    return false;
}

} // namespace Audio
} // namespace RVGameEngine
