#include "SoundFixtures.h"

#include <vorbis/vorbisenc.h>

#include <cmath>

namespace RVTest {

namespace {

void PutU16(std::string& out, uint16_t value)
{
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>(value >> 8));
}

void PutU32(std::string& out, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

void AppendPage(std::string& out, const ogg_page& page)
{
    out.append(reinterpret_cast<const char*>(page.header), static_cast<size_t>(page.header_len));
    out.append(reinterpret_cast<const char*>(page.body), static_cast<size_t>(page.body_len));
}

} // namespace

std::string MakePcm(uint32_t bytes)
{
    std::string pcm(bytes, '\0');
    for (uint32_t i = 0; i < bytes; ++i)
        pcm[i] = static_cast<char>((i * 7) & 0xFF);
    return pcm;
}

std::string MakeWave(const WaveLayout& layout, const std::string& pcm)
{
    std::string body = "WAVEfmt ";
    PutU32(body, layout.formatChunkSize);
    std::string format;
    PutU16(format, layout.formatTag);
    PutU16(format, layout.channels);
    PutU32(format, layout.rate);
    const uint16_t blockAlign = static_cast<uint16_t>(layout.channels * (layout.bits / 8));
    PutU32(format, layout.rate * blockAlign);
    PutU16(format, blockAlign);
    PutU16(format, layout.bits);
    format.resize(layout.formatChunkSize, '\0');
    body += format;
    for (const WaveChunk& chunk : layout.chunksBeforeData) {
        body += chunk.tag;
        PutU32(body, static_cast<uint32_t>(chunk.body.size()));
        body += chunk.body;
    }
    body += "data";
    PutU32(body, static_cast<uint32_t>(pcm.size()));
    body += pcm;
    std::string file = "RIFF";
    PutU32(file, static_cast<uint32_t>(body.size()));
    return file + body;
}

std::string EncodeOgg(int channels, int rate, int samples, int serial, size_t* headerBytes)
{
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, channels, rate, 0.3f) != 0) {
        vorbis_info_clear(&info);
        return {};
    }
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_dsp_state dsp;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block block;
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, serial);

    std::string out;
    ogg_packet identification, comments, codebooks;
    vorbis_analysis_headerout(&dsp, &comment, &identification, &comments, &codebooks);
    ogg_stream_packetin(&stream, &identification);
    ogg_stream_packetin(&stream, &comments);
    ogg_stream_packetin(&stream, &codebooks);
    ogg_page page;
    while (ogg_stream_flush(&stream, &page) != 0)
        AppendPage(out, page);
    if (headerBytes != nullptr)
        *headerBytes = out.size();

    auto drain = [&] {
        ogg_packet packet;
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            while (vorbis_bitrate_flushpacket(&dsp, &packet) != 0) {
                ogg_stream_packetin(&stream, &packet);
                while (ogg_stream_pageout(&stream, &page) != 0)
                    AppendPage(out, page);
            }
        }
    };
    const int kChunk = 1024;
    for (int done = 0; done < samples; done += kChunk) {
        const int count = samples - done < kChunk ? samples - done : kChunk;
        float** buffer = vorbis_analysis_buffer(&dsp, count);
        for (int c = 0; c < channels; ++c)
            for (int i = 0; i < count; ++i)
                buffer[c][i] = 0.5f * std::sin(static_cast<float>(done + i) * 0.05f * static_cast<float>(c + 1));
        vorbis_analysis_wrote(&dsp, count);
        drain();
    }
    vorbis_analysis_wrote(&dsp, 0);
    drain();
    while (ogg_stream_flush(&stream, &page) != 0)
        AppendPage(out, page);

    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return out;
}

uint32_t ReadU32(const std::string& bytes, size_t offset)
{
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | static_cast<uint8_t>(bytes.at(offset + static_cast<size_t>(i)));
    return value;
}

uint16_t ReadU16(const std::string& bytes, size_t offset)
{
    return static_cast<uint16_t>(static_cast<uint8_t>(bytes.at(offset)) |
                                 (static_cast<uint8_t>(bytes.at(offset + 1)) << 8));
}

} // namespace RVTest
