#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace RVTest {

// A chunk placed between "fmt " and "data".
struct WaveChunk
{
    std::string tag;
    std::string body;
};

struct WaveLayout
{
    uint16_t formatTag = 1;
    uint16_t channels = 1;
    uint32_t rate = 22050;
    uint16_t bits = 16;
    uint32_t formatChunkSize = 16;   // 16, 18 or longer (zero-padded)
    std::vector<WaveChunk> chunksBeforeData;
};

// Deterministic sample bytes (a saw tooth) of the given length.
std::string MakePcm(uint32_t bytes);
// A RIFF/WAVE file holding `pcm` as its data chunk.
std::string MakeWave(const WaveLayout& layout, const std::string& pcm);

// An Ogg Vorbis file of a sine tone, `samples` per channel. `headerBytes`,
// when given, receives the length of the set-up pages before the audio.
std::string EncodeOgg(int channels, int rate, int samples, int serial = 1, size_t* headerBytes = nullptr);

// Polls `done` every 10 ms for up to `seconds`: the null sound sink is not
// paced in real time, so tests wait for states, never for durations.
template <typename Done>
bool WaitUpTo(int seconds, Done done)
{
    for (int i = 0; i < seconds * 100 && !done(); ++i)
        Sleep(10);
    return done();
}

uint32_t ReadU32(const std::string& bytes, size_t offset);
uint16_t ReadU16(const std::string& bytes, size_t offset);

} // namespace RVTest
