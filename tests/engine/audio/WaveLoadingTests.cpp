// Loading sounds: RIFF/WAVE parsing, Ogg Vorbis decoding, the wave cache and
// its warning boxes.

#include "SoundFixtures.h"

#include "engine/audio/COggFile.h"
#include "engine/audio/CWaveFile.h"
#include "engine/audio/WaveCache.h"
#include "tests/support/LogCapture.h"
#include "tests/support/MessageBoxRecorder.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstring>

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

TEST(WaveFile, AcceptedLayoutsGiveTheFormatAndTheExactData)
{
    const std::string pcm = MakePcm(1001);
    struct Case
    {
        const char* name;
        WaveLayout layout;
    };
    WaveLayout canonical;
    WaveLayout withExtraSize;
    withExtraSize.formatChunkSize = 18;
    WaveLayout withList;
    withList.chunksBeforeData = {{"LIST", std::string(33, 'x')}, {"fact", "abcd"}};
    // Longer than any fixed scratch buffer the extra bytes might be read into.
    WaveLayout longFormat;
    longFormat.formatChunkSize = 5000;
    longFormat.channels = 2;
    longFormat.rate = 44100;
    const Case cases[] = {
        {"canonical", canonical}, {"18-byte format", withExtraSize}, {"LIST chunk", withList},
        {"5000-byte format", longFormat}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TIntrusivePointer<CWaveFile> wave = NewWave();
        ASSERT_TRUE(LoadBytes(*wave, MakeWave(c.layout, pcm)));
        const WAVEFORMATEX& format = wave->GetFormat();
        EXPECT_EQ(1, format.wFormatTag);
        EXPECT_EQ(c.layout.channels, format.nChannels);
        EXPECT_EQ(c.layout.rate, format.nSamplesPerSec);
        EXPECT_EQ(c.layout.channels * 2, format.nBlockAlign);
        EXPECT_EQ(0, format.cbSize);
        EXPECT_EQ(pcm, DataOf(*wave));
    }
}

TEST(WaveFile, DamagedFilesAreRefusedAndLeaveTheLoadedSoundAlone)
{
    const std::string good = MakeWave(WaveLayout(), MakePcm(400));
    auto patched = [&](size_t offset, uint32_t value) {
        std::string bytes = good;
        for (int i = 0; i < 4; ++i)
            bytes[offset + static_cast<size_t>(i)] = static_cast<char>(value >> (8 * i));
        return bytes;
    };
    auto withFormat = [&](void (*change)(WaveLayout&)) {
        WaveLayout layout;
        change(layout);
        return MakeWave(layout, MakePcm(400));
    };
    WaveLayout oversizedChunk;
    oversizedChunk.chunksBeforeData = {{"LIST", "abcd"}};
    std::string chunkPastEnd = MakeWave(oversizedChunk, MakePcm(16));
    chunkPastEnd.replace(40, 4, std::string("\xF0\xFF\xFF\xFF", 4));
    const struct
    {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"empty", ""},
        {"header only", good.substr(0, 20)},
        {"not RIFF", "RIFX" + good.substr(4)},
        {"not WAVE", good.substr(0, 8) + "AVI " + good.substr(12)},
        {"format chunk past the end", patched(16, 0x7FFFFFF0u)},
        {"data size past the end", patched(40, 401)},
        {"huge data size", patched(40, 0xFFFFFFF0u)},
        {"no data chunk", good.substr(0, 36)},
        {"truncated data header", good.substr(0, 42)},
        {"chunk size past the end", chunkPastEnd},
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

    static std::vector<std::wstring> BoxTexts()
    {
        std::vector<std::wstring> texts;
        for (const RecordedMessageBox& box : MessageBoxRecorder::Taken()) {
            EXPECT_EQ(L"Warning", box.caption);
            texts.push_back(box.text);
        }
        return texts;
    }

    TempFolder m_folder;
    LogCapture m_log;
};

TEST_F(SoundFileTest, OggDecodesToAWaveImageOfTheExactLength)
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
        const std::string header(reinterpret_cast<const char*>(image->GetData()), 44);
        EXPECT_EQ("RIFF", header.substr(0, 4));
        EXPECT_EQ(dataBytes + 36, ReadU32(header, 4));
        EXPECT_EQ("WAVEfmt ", header.substr(8, 8));
        EXPECT_EQ(static_cast<uint32_t>(c.rate), ReadU32(header, 24));
        EXPECT_EQ(static_cast<uint32_t>(c.rate * c.channels * 2), ReadU32(header, 28));
        EXPECT_EQ(c.channels * 2, ReadU16(header, 32));
        EXPECT_EQ(dataBytes, ReadU32(header, 40));

        TIntrusivePointer<CWaveFile> wave = LoadSound(path.c_str());
        ASSERT_TRUE(wave);
        EXPECT_EQ(dataBytes, wave->GetDataSize());
        EXPECT_EQ(static_cast<uint32_t>(c.channels), wave->GetFormat().nChannels);
    }
    // The mono 22050-sample file of the table above.
    EXPECT_EQ(44144, COggFile::Open(m_folder.Child(L"tone1.ogg").c_str())->GetSize());
    EXPECT_TRUE(BoxTexts().empty());
}

TEST_F(SoundFileTest, OggFilesThatAreNotOneVorbisFormatAreRefused)
{
    const std::string mono = EncodeOgg(1, 22050, 3000, 1);
    const std::string stereo = EncodeOgg(2, 22050, 3000, 2);
    const struct
    {
        const wchar_t* name;
        std::string bytes;
    } cases[] = {
        {L"empty.ogg", ""},
        {L"wave.ogg", MakeWave(WaveLayout(), MakePcm(100))},
        {L"cut.ogg", mono.substr(0, 60)},
        // Two links whose samples could not share one wave header.
        {L"chained.ogg", mono + stereo},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(COggFile::Open(Write(c.name, c.bytes).c_str()));
    }
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
    EXPECT_EQ(200u, first->GetDataSize());
    ASSERT_TRUE(WriteWholeFile(good, MakeWave(WaveLayout(), MakePcm(10))));
    EXPECT_EQ(first, LoadSound(good.c_str()));
    EXPECT_EQ(200u, LoadSound(good.c_str())->GetDataSize());

    EXPECT_FALSE(LoadSound(missing.c_str()));
    EXPECT_FALSE(LoadSound(missing.c_str()));
    TIntrusivePointer<CWaveFile> refused = LoadSound(bad.c_str());
    ASSERT_TRUE(refused);
    EXPECT_EQ(0u, refused->GetDataSize());
    EXPECT_EQ(refused, LoadSound(bad.c_str()));
    EXPECT_EQ(0u, LoadSound(capitals.c_str())->GetDataSize());

    const std::wstring notFound = L"Failed to load sound file \"" + missing + L"\", file not found.";
    const std::vector<std::wstring> expected = {
        notFound, notFound, L"Failed to load sound file \"" + bad + L"\", unsupported format.",
        L"Failed to load sound file \"" + capitals + L"\", unsupported format."};
    EXPECT_EQ(expected, BoxTexts());
}

} // namespace
} // namespace RVTest
