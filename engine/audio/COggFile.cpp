#include "engine/audio/COggFile.h"

#include "engine/filesystem/ILogFile.h"
#include "engine/filesystem/IVirtualFileSystem.h"

#include <vorbis/vorbisfile.h>

#include <cstdio>
#include <cstring>

namespace RVGameEngine {
namespace Audio {

namespace {

constexpr int32_t kWaveHeaderSize = 44;
constexpr int kReadChunkBytes = 4096;
// The decoder's sample count comes from the file's last page and may be a
// lie: the stream is pre-sized from it only up to this much, and grows past
// it only as samples really arrive.
constexpr uint32_t kMaxPresizeBytes = 16u << 20;
// Damage is skipped, but a file that yields nothing but errors ends.
constexpr int kMaxErrorsInARow = 64;

struct tagDecodedFormat
{
    uint16_t channels;
    uint32_t rate;
};

void WriteLittleEndian(uint8_t* target, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        target[i] = static_cast<uint8_t>(value >> (8 * i));
}

void WriteWaveHeader(uint8_t* header, const tagDecodedFormat& format, uint32_t dataBytes)
{
    std::memcpy(header, "RIFF", 4);
    WriteLittleEndian(header + 4, dataBytes + 36, 4);
    std::memcpy(header + 8, "WAVEfmt ", 8);
    WriteLittleEndian(header + 16, 16, 4);
    WriteLittleEndian(header + 20, 1, 2);
    WriteLittleEndian(header + 22, format.channels, 2);
    WriteLittleEndian(header + 24, format.rate, 4);
    WriteLittleEndian(header + 28, format.rate * format.channels * 2u, 4);
    WriteLittleEndian(header + 32, format.channels * 2u, 2);
    WriteLittleEndian(header + 34, 16, 2);
    std::memcpy(header + 36, "data", 4);
    WriteLittleEndian(header + 40, dataBytes, 4);
}

// Channels and rate of one link, or false when they cannot describe a
// 16-bit PCM wave (the byte rate must fit its 32-bit field).
bool ReadLinkFormat(OggVorbis_File& file, int link, tagDecodedFormat& format)
{
    const vorbis_info* info = ov_info(&file, link);
    if (info == nullptr || info->channels <= 0 || info->channels > 255 || info->rate <= 0)
        return false;
    const uint64_t byteRate = static_cast<uint64_t>(info->rate) * static_cast<uint64_t>(info->channels) * 2u;
    if (byteRate > UINT32_MAX)
        return false;
    format.channels = static_cast<uint16_t>(info->channels);
    format.rate = static_cast<uint32_t>(info->rate);
    return true;
}

int32_t PresizeFor(OggVorbis_File& file, const tagDecodedFormat& format)
{
    const ogg_int64_t samples = ov_pcm_total(&file, -1);
    if (samples <= 0)
        return kWaveHeaderSize;
    const uint64_t limit = kMaxPresizeBytes / (format.channels * 2u);
    const uint64_t counted = static_cast<uint64_t>(samples) < limit ? static_cast<uint64_t>(samples) : limit;
    return kWaveHeaderSize + static_cast<int32_t>(counted * format.channels * 2u);
}

// Appends every sample of the file behind the stream's header room; false
// when the links disagree in format, the sound is too long or memory runs
// out.
bool DecodeInto(OggVorbis_File& file, const tagDecodedFormat& format, Common::IStream& stream, uint32_t& dataBytes)
{
    char buffer[kReadChunkBytes];
    int errorsInARow = 0;
    int lastSection = -1;
    for (;;) {
        int section = 0;
        const long count = ov_read(&file, buffer, kReadChunkBytes, 0, 2, 1, &section);
        if (count == 0)
            return true;
        if (count < 0) {
            if (++errorsInARow > kMaxErrorsInARow)
                return true;
            continue;
        }
        errorsInARow = 0;
        if (section != lastSection) {
            tagDecodedFormat linkFormat{};
            if (!ReadLinkFormat(file, section, linkFormat) || linkFormat.channels != format.channels ||
                linkFormat.rate != format.rate)
                return false;
            lastSection = section;
        }
        if (static_cast<uint32_t>(count) > COggFile::kMaxDecodedBytes - dataBytes)
            return false;
        if (!stream.Write(buffer, static_cast<int32_t>(count)))
            return false;
        dataBytes += static_cast<uint32_t>(count);
    }
}

Common::TIntrusivePointer<Common::IStream> Decode(OggVorbis_File& file)
{
    tagDecodedFormat format{};
    if (!ReadLinkFormat(file, -1, format))
        return {};
    Common::TIntrusivePointer<Common::IStream> stream(Common::IStream_Create(PresizeFor(file, format)));
    if (!stream)
        return {};
    stream->Seek(kWaveHeaderSize);
    uint32_t dataBytes = 0;
    if (!DecodeInto(file, format, *stream, dataBytes))
        return {};
    // Only the header's data size counts: the stream may keep a longer
    // pre-sized tail when the file held fewer samples than it announced.
    WriteWaveHeader(stream->GetData(), format, dataBytes);
    stream->Seek(0);
    return stream;
}

} // namespace

Common::TIntrusivePointer<Common::IStream> COggFile::Open(const wchar_t* path)
{
    if (path == nullptr)
        return {};
    Common::TIntrusivePointer<Common::IString> mapped =
        FileSystem::IVirtualFileSystem_GetInstance()->ReplaceFilename(path);
    const wchar_t* diskPath = mapped ? mapped->GetUtf16() : path;

    FILE* handle = nullptr;
    if (_wfopen_s(&handle, diskPath, L"rb") != 0 || handle == nullptr)
        return {};
    OggVorbis_File file;
    std::memset(&file, 0, sizeof(file));
    if (ov_open(handle, &file, nullptr, 0) < 0) {
        // A refused open leaves the file to its caller.
        std::fclose(handle);
        return {};
    }
    Common::TIntrusivePointer<Common::IStream> stream = Decode(file);
    // Releases the decoder and closes the file.
    ov_clear(&file);
    if (!stream)
        FileSystem::ILogFile_GetInstance()->Log(FileSystem::LOG_LEVEL_WARNING, L"Ogg Vorbis file refused: %ls",
                                                diskPath);
    return stream;
}

} // namespace Audio
} // namespace RVGameEngine
