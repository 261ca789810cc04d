// Loading sounds: RIFF/WAVE parsing, Ogg Vorbis decoding, the wave cache and
// its warning boxes, and mutated files: the loaders never crash, never
// allocate more than the file can justify and take a file whole or not at all.

#include "SoundFixtures.h"

#include "engine/audio/COggFile.h"
#include "engine/audio/CWaveFile.h"
#include "engine/audio/WaveCache.h"
#include "tests/support/LogCapture.h"
#include "tests/support/MessageBoxRecorder.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <random>

using RVGameEngine::Audio::COggFile;
using RVGameEngine::Audio::CWaveFile;
using RVGameEngine::Audio::LoadSound;
using RVGameEngine::Common::TIntrusivePointer;

namespace RVTest {
namespace {

TIntrusivePointer<CWaveFile> NewWave()
{
    return TIntrusivePointer<CWaveFile>(new CWaveFile());
}

bool LoadBytes(CWaveFile& wave, const std::string& bytes)
{
    return wave.Load(reinterpret_cast<const uint8_t*>(bytes.data()), static_cast<uint32_t>(bytes.size()));
}

std::string DataOf(const CWaveFile& wave)
{
    return std::string(reinterpret_cast<const char*>(wave.GetData()), wave.GetDataSize());
}

std::string OggHeader(RVGameEngine::Common::IStream& image)
{
    return std::string(reinterpret_cast<const char*>(image.GetData()), 44);
}

TEST(WaveFile, AcceptedLayoutsGiveTheFormatAndTheExactData)
{
    const std::string pcm = MakePcm(1001);
    WaveLayout withExtraSize;
    withExtraSize.formatChunkSize = 18;
    WaveLayout withList;
    withList.chunksBeforeData = {{"LIST", std::string(33, 'x')}, {"fact", "abcd"}};
    // Longer than any fixed scratch buffer the extra bytes might be read into.
    WaveLayout longFormat;
    longFormat.formatChunkSize = 5000;
    longFormat.channels = 2;
    longFormat.rate = 44100;
    for (const WaveLayout& layout : {WaveLayout(), withExtraSize, withList, longFormat}) {
        SCOPED_TRACE(layout.formatChunkSize);
        TIntrusivePointer<CWaveFile> wave = NewWave();
        ASSERT_TRUE(LoadBytes(*wave, MakeWave(layout, pcm)));
        const WAVEFORMATEX& format = wave->GetFormat();
        EXPECT_EQ(1, format.wFormatTag);
        EXPECT_EQ(layout.channels, format.nChannels);
        EXPECT_EQ(layout.rate, format.nSamplesPerSec);
        EXPECT_EQ(layout.channels * 2, format.nBlockAlign);
        EXPECT_EQ(0, format.cbSize);
        EXPECT_EQ(pcm, DataOf(*wave));
    }
}

TEST(WaveFile, DamagedFilesAreRefusedAndLeaveTheLoadedSoundAlone)
{
    const std::string good = MakeWave(WaveLayout(), MakePcm(400));
    auto patched = [](std::string bytes, size_t offset, uint32_t value) {
        for (int i = 0; i < 4; ++i)
            bytes[offset + static_cast<size_t>(i)] = static_cast<char>(value >> (8 * i));
        return bytes;
    };
    auto withFormat = [&](void (*change)(WaveLayout&)) {
        WaveLayout layout;
        change(layout);
        return MakeWave(layout, MakePcm(400));
    };
    WaveLayout withList;
    withList.chunksBeforeData = {{"LIST", "abcd"}};
    const struct
    {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"empty", ""},
        {"header only", good.substr(0, 20)},
        {"not RIFF", "RIFX" + good.substr(4)},
        {"not WAVE", good.substr(0, 8) + "AVI " + good.substr(12)},
        {"format chunk past the end", patched(good, 16, 0x7FFFFFF0u)},
        {"data size past the end", patched(good, 40, 401)},
        {"huge data size", patched(good, 40, 0xFFFFFFF0u)},
        {"no data chunk", good.substr(0, 36)},
        {"truncated data header", good.substr(0, 42)},
        {"chunk size past the end", patched(MakeWave(withList, MakePcm(16)), 40, 0xFFFFFFF0u)},
        {"compressed format", withFormat([](WaveLayout& l) { l.formatTag = 2; })},
        {"no channels", withFormat([](WaveLayout& l) { l.channels = 0; })},
        {"zero rate", withFormat([](WaveLayout& l) { l.rate = 0; })},
        {"zero sample size", withFormat([](WaveLayout& l) { l.bits = 0; })},
        {"format shorter than a record", withFormat([](WaveLayout& l) { l.formatChunkSize = 12; })},
    };
    const std::string kept = MakePcm(64);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TIntrusivePointer<CWaveFile> wave = NewWave();
        ASSERT_TRUE(LoadBytes(*wave, MakeWave(WaveLayout(), kept)));
        EXPECT_FALSE(LoadBytes(*wave, c.bytes));
        EXPECT_EQ(kept, DataOf(*wave));
        EXPECT_EQ(22050u, wave->GetFormat().nSamplesPerSec);
    }
}

class SoundFileTest : public ::testing::Test
{
protected:
    void SetUp() override { MessageBoxRecorder::Clear(); }

    std::wstring Write(const std::wstring& name, const std::string& bytes)
    {
        const std::wstring path = m_folder.Child(name);
        EXPECT_TRUE(WriteWholeFile(path, bytes));
        return path;
    }

    TempFolder m_folder;
    LogCapture m_log;
};

TEST_F(SoundFileTest, OggDecodesToAWaveImageOfTheExactLengthOrIsRefused)
{
    const struct
    {
        int channels;
        int rate;
        int samples;
    } cases[] = {{1, 22050, 22050}, {2, 44100, 10000}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.channels);
        const std::wstring path =
            Write(L"tone" + std::to_wstring(c.channels) + L".ogg", EncodeOgg(c.channels, c.rate, c.samples));
        TIntrusivePointer<RVGameEngine::Common::IStream> image = COggFile::Open(path.c_str());
        ASSERT_TRUE(image);
        const uint32_t dataBytes = static_cast<uint32_t>(c.channels * 2 * c.samples);
        ASSERT_GE(static_cast<uint32_t>(image->GetSize()), 44 + dataBytes);
        const std::string header = OggHeader(*image);
        EXPECT_EQ("RIFFWAVEfmt ", header.substr(0, 4) + header.substr(8, 8));
        EXPECT_EQ(dataBytes + 36, ReadU32(header, 4));
        EXPECT_EQ(static_cast<uint32_t>(c.rate), ReadU32(header, 24));
        EXPECT_EQ(static_cast<uint32_t>(c.rate * c.channels * 2), ReadU32(header, 28));
        EXPECT_EQ(static_cast<uint32_t>(c.channels * 2), ReadU32(header, 32) & 0xFFFF);
        EXPECT_EQ(dataBytes, ReadU32(header, 40));

        TIntrusivePointer<CWaveFile> wave = LoadSound(path.c_str());
        ASSERT_TRUE(wave);
        EXPECT_EQ(dataBytes, wave->GetDataSize());
        EXPECT_EQ(static_cast<uint32_t>(c.channels), wave->GetFormat().nChannels);
    }
    // The mono 22050-sample file of the table above.
    EXPECT_EQ(44144, COggFile::Open(m_folder.Child(L"tone1.ogg").c_str())->GetSize());
    EXPECT_TRUE(MessageBoxRecorder::Taken().empty());

    // Files that are not one Vorbis format are refused; a chain of links of
    // one format is fine.
    const std::string mono = EncodeOgg(1, 22050, 3000, 1);
    const struct
    {
        const wchar_t* name;
        std::string bytes;
    } refused[] = {
        {L"empty.ogg", ""},
        {L"wave.ogg", MakeWave(WaveLayout(), MakePcm(100))},
        {L"cut.ogg", mono.substr(0, 60)},
        // Two links whose samples could not share one wave header.
        {L"chained.ogg", mono + EncodeOgg(2, 22050, 3000, 2)},
    };
    for (const auto& c : refused)
        EXPECT_FALSE(COggFile::Open(Write(c.name, c.bytes).c_str())) << c.name;
    EXPECT_TRUE(COggFile::Open(Write(L"twice.ogg", mono + EncodeOgg(1, 22050, 3000, 3)).c_str()));
    EXPECT_FALSE(COggFile::Open(m_folder.Child(L"missing.ogg").c_str()));
}

TEST_F(SoundFileTest, CacheLoadsOnceAndWarnsAsDocumented)
{
    const std::wstring good = Write(L"good.wav", MakeWave(WaveLayout(), MakePcm(200)));
    const std::wstring bad = Write(L"bad.wav", "RIFF....junk");
    // The Ogg test looks at the exact lower-case extension only.
    const std::wstring capitals = Write(L"tone.OGG", EncodeOgg(1, 22050, 1000));
    const std::wstring missing = m_folder.Child(L"missing.wav");

    TIntrusivePointer<CWaveFile> first = LoadSound(good.c_str());
    ASSERT_TRUE(first);
    ASSERT_TRUE(WriteWholeFile(good, MakeWave(WaveLayout(), MakePcm(10))));
    EXPECT_EQ(first, LoadSound(good.c_str()));
    EXPECT_EQ(200u, LoadSound(good.c_str())->GetDataSize());

    // A missing file is remembered: one box, however often it is asked for.
    EXPECT_FALSE(LoadSound(missing.c_str()));
    EXPECT_FALSE(LoadSound(missing.c_str()));
    TIntrusivePointer<CWaveFile> refused = LoadSound(bad.c_str());
    ASSERT_TRUE(refused);
    EXPECT_EQ(0u, refused->GetDataSize());
    EXPECT_EQ(refused, LoadSound(bad.c_str()));
    EXPECT_EQ(0u, LoadSound(capitals.c_str())->GetDataSize());

    const std::wstring notFound = L"Failed to load sound file \"" + missing + L"\", file not found.";
    const std::vector<std::wstring> expected = {
        notFound, L"Failed to load sound file \"" + bad + L"\", unsupported format.",
        L"Failed to load sound file \"" + capitals + L"\", unsupported format."};
    std::vector<std::wstring> texts;
    for (const RecordedMessageBox& box : MessageBoxRecorder::Taken()) {
        EXPECT_EQ(L"Warning", box.caption);
        texts.push_back(box.text);
    }
    EXPECT_EQ(expected, texts);
}

// Flips bytes, plants extreme 32-bit sizes, cuts or duplicates ranges, all
// at or after `from`.
std::string Mutate(const std::string& source, std::mt19937& random, size_t from = 0)
{
    static const uint32_t kSizes[] = {0, 1, 0x7FFFFFFF, 0x80000000u, 0xFFFFFFFFu, 0xFFFFFFF0u, 18, 1019};
    std::string bytes = source;
    const int edits = 1 + static_cast<int>(random() % 4);
    for (int e = 0; e < edits && bytes.size() > from; ++e) {
        const size_t at = from + random() % (bytes.size() - from);
        const uint32_t size = kSizes[random() % 8];
        switch (random() % 5) {
        case 0: bytes[at] = static_cast<char>(random()); break;
        case 1:
            for (size_t i = 0; i < 4 && at + i < bytes.size(); ++i)
                bytes[at + i] = static_cast<char>(size >> (8 * i));
            break;
        case 2: bytes.resize(at); break;
        case 3: bytes.insert(at, bytes.substr(at, random() % 64)); break;
        default: bytes.erase(at, random() % 16); break;
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
        TIntrusivePointer<CWaveFile> wave = NewWave();
        if (!LoadBytes(*wave, bytes)) {
            ASSERT_EQ(0u, wave->GetDataSize());
            continue;
        }
        ++accepted;
        // The samples are a copy of bytes the file really holds.
        ASSERT_LE(wave->GetDataSize(), bytes.size());
        ASSERT_NE(std::string::npos, bytes.find(DataOf(*wave))) << "iteration " << i;
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
        const uint32_t dataBytes = ReadU32(OggHeader(*image), 40);
        ASSERT_LE(static_cast<int64_t>(dataBytes) + 44, image->GetSize()) << "iteration " << i;
        // A damaged file may lose samples, but cannot grow far past what was
        // encoded.
        ASSERT_LE(dataBytes, 4u * kSamples * 2u) << "iteration " << i;
        TIntrusivePointer<CWaveFile> wave = NewWave();
        EXPECT_TRUE(wave->Load(image->GetData(), static_cast<uint32_t>(image->GetSize())) || dataBytes == 0);
    }
    // Damage inside the audio pages is skipped, so those files still decode.
    EXPECT_GT(decoded, 400);
}

} // namespace
} // namespace RVTest
