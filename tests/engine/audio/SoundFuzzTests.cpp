// Mutated sound files: the loaders never crash, never allocate more than the
// file can justify and take a file whole or not at all.

#include "SoundFixtures.h"

#include "engine/audio/COggFile.h"
#include "engine/audio/CWaveFile.h"
#include "tests/support/LogCapture.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <random>

using RVGameEngine::Audio::COggFile;
using RVGameEngine::Audio::CWaveFile;
using RVGameEngine::Common::TIntrusivePointer;

namespace RVTest {
namespace {

// Flips bytes, plants extreme 32-bit sizes, cuts or duplicates ranges, all
// at or after `from`.
std::string Mutate(const std::string& source, std::mt19937& random, size_t from = 0)
{
    std::string bytes = source;
    const int edits = 1 + static_cast<int>(random() % 4);
    for (int e = 0; e < edits && bytes.size() > from; ++e) {
        const size_t at = from + random() % (bytes.size() - from);
        switch (random() % 5) {
        case 0:
            bytes[at] = static_cast<char>(random());
            break;
        case 1: {
            static const uint32_t kSizes[] = {0, 1, 0x7FFFFFFF, 0x80000000u, 0xFFFFFFFFu, 0xFFFFFFF0u, 18, 1019};
            const uint32_t value = kSizes[random() % (sizeof(kSizes) / sizeof(kSizes[0]))];
            for (size_t i = 0; i < 4 && at + i < bytes.size(); ++i)
                bytes[at + i] = static_cast<char>(value >> (8 * i));
            break;
        }
        case 2:
            bytes.resize(at);
            break;
        case 3:
            bytes.insert(at, bytes.substr(at, random() % 64));
            break;
        default:
            bytes.erase(at, random() % 16);
            break;
        }
    }
    return bytes;
}

TEST(SoundFuzz, MutatedWavesLoadWholeOrNotAtAll)
{
    WaveLayout withList;
    withList.chunksBeforeData = {{"LIST", "INFOabcd"}};
    withList.formatChunkSize = 18;
    const std::string seeds[] = {MakeWave(WaveLayout(), MakePcm(300)), MakeWave(withList, MakePcm(257))};
    std::mt19937 random(20261207);
    int accepted = 0;
    for (int i = 0; i < 20000; ++i) {
        const std::string bytes = Mutate(seeds[i % 2], random);
        TIntrusivePointer<CWaveFile> wave(new CWaveFile());
        if (!wave->Load(reinterpret_cast<const uint8_t*>(bytes.data()), static_cast<uint32_t>(bytes.size()))) {
            ASSERT_EQ(0u, wave->GetDataSize());
            continue;
        }
        ++accepted;
        // The samples are a copy of bytes the file really holds.
        ASSERT_LE(wave->GetDataSize(), bytes.size());
        const std::string data(reinterpret_cast<const char*>(wave->GetData()), wave->GetDataSize());
        ASSERT_NE(std::string::npos, bytes.find(data)) << "iteration " << i;
        const WAVEFORMATEX& format = wave->GetFormat();
        ASSERT_TRUE(format.nChannels != 0 && format.nSamplesPerSec != 0 && format.nBlockAlign != 0);
    }
    // The mutations leave many files intact enough to load.
    EXPECT_GT(accepted, 1000);
}

TEST(SoundFuzz, MutatedOggFilesDecodeOrAreRefused)
{
    // Long enough that most of the file is audio pages, not set-up headers.
    const int kSamples = 44100;
    size_t headerBytes = 0;
    const std::string seed = EncodeOgg(1, 22050, kSamples, 1, &headerBytes);
    ASSERT_FALSE(seed.empty());
    TempFolder folder;
    LogCapture log;
    std::mt19937 random(7122026);
    int decoded = 0;
    for (int i = 0; i < 1000; ++i) {
        // Every other file keeps its set-up headers, so that the damage
        // reaches the audio decoder.
        const std::string bytes = Mutate(seed, random, i % 2 == 0 ? 0 : headerBytes);
        const std::wstring path = folder.Child(L"fuzz" + std::to_wstring(i % 8) + L".ogg");
        ASSERT_TRUE(WriteWholeFile(path, bytes));
        TIntrusivePointer<RVGameEngine::Common::IStream> image = COggFile::Open(path.c_str());
        if (!image)
            continue;
        ++decoded;
        ASSERT_GE(image->GetSize(), 44);
        const std::string header(reinterpret_cast<const char*>(image->GetData()), 44);
        const uint32_t dataBytes = ReadU32(header, 40);
        ASSERT_LE(static_cast<int64_t>(dataBytes) + 44, image->GetSize()) << "iteration " << i;
        // A damaged file may lose samples, but cannot grow far past what was
        // encoded.
        ASSERT_LE(dataBytes, 4u * kSamples * 2u) << "iteration " << i;
        TIntrusivePointer<CWaveFile> wave(new CWaveFile());
        EXPECT_TRUE(wave->Load(image->GetData(), static_cast<uint32_t>(image->GetSize())) || dataBytes == 0);
    }
    // Damage inside the audio pages is skipped, so those files still decode.
    EXPECT_GT(decoded, 400);
}

} // namespace
} // namespace RVTest
