// Music through DirectShow (the driver's player) and through MCI. The null
// sink plays faster than real time: the tests wait for states only.

#include "SoundFixtures.h"

#include "engine/audio/CAudioDriver_DirectX.h"
#include "engine/audio/CMciMusic.h"
#include "engine/common/base/TIntrusivePointer.h"
#include "tests/support/LogCapture.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <objbase.h>

using RVGameEngine::Audio::CAudioDriver_DirectX;
using RVGameEngine::Audio::CDirectShowMusic;
using RVGameEngine::Audio::CMciMusic;
using RVGameEngine::Common::TIntrusivePointer;

namespace RVTest {
namespace {

class MusicTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        m_short = m_folder.Child(L"short.wav");
        m_long = m_folder.Child(L"long.wav");
        ASSERT_TRUE(WriteWholeFile(m_short, MakeWave(WaveLayout(), MakePcm(2205 * 2))));
        ASSERT_TRUE(WriteWholeFile(m_long, MakeWave(WaveLayout(), MakePcm(44100 * 2))));
        m_driver = TIntrusivePointer<CAudioDriver_DirectX>(new CAudioDriver_DirectX());
    }

    void TearDown() override
    {
        // The players' COM objects go before the thread leaves COM.
        m_driver.Reset();
        CoUninitialize();
    }

    TempFolder m_folder;
    LogCapture m_log;
    std::wstring m_short;
    std::wstring m_long;
    TIntrusivePointer<CAudioDriver_DirectX> m_driver;
};

TEST_F(MusicTest, TrackEndsOrLoopsUntilStopped)
{
    EXPECT_TRUE(m_driver->IsMusicStopped());
    m_driver->PlayMusic(m_short.c_str(), false);
    EXPECT_FALSE(m_driver->IsMusicStopped());
    EXPECT_TRUE(WaitUpTo(20, [&] { return m_driver->IsMusicStopped(); }));
    EXPECT_EQ(0u, m_driver->GetMusicPlayer()->GetRestartCount());

    // Each start of a looping track plays through to the end of the stream.
    CDirectShowMusic* player = m_driver->GetMusicPlayer();
    const uint32_t completions = player->GetCompletionCount();
    m_driver->PlayMusic(m_short.c_str(), true);
    EXPECT_TRUE(WaitUpTo(30, [&] { return player->GetCompletionCount() >= completions + 3; }));
    EXPECT_GE(player->GetRestartCount(), 2u);
    EXPECT_FALSE(m_driver->IsMusicStopped());
    EXPECT_FALSE(player->HasFailed());

    // Stopping ends the player; the next music call makes a fresh one.
    m_driver->StopMusic();
    EXPECT_TRUE(m_driver->IsMusicStopped());
    EXPECT_EQ(0u, m_driver->GetMusicPlayer()->GetRestartCount());
}

TEST_F(MusicTest, ReplayReplacesTheTrackInTheSameGraphAndFollowsTheVolume)
{
    m_driver->SetMusicVolume(0.5f);
    m_driver->PlayMusic(m_long.c_str(), true);
    CDirectShowMusic* player = m_driver->GetMusicPlayer();
    ASSERT_TRUE(WaitUpTo(20, [&] { return player->GetGraphVolume() == -1591; }));
    const int filters = player->CountGraphFilters();
    EXPECT_GT(filters, 0);

    m_driver->SetMusicVolume(0.0625f);
    EXPECT_TRUE(WaitUpTo(20, [&] { return player->GetGraphVolume() == -5000; }));

    // Each play empties the graph before rendering, so replays neither pile
    // up filters nor play the old track under the new one.
    for (const std::wstring* track : {&m_short, &m_long, &m_short}) {
        const uint32_t restarts = player->GetRestartCount();
        m_driver->PlayMusic(track->c_str(), true);
        ASSERT_TRUE(WaitUpTo(30, [&] { return player->GetRestartCount() > restarts; }));
        EXPECT_EQ(player, m_driver->GetMusicPlayer());
        EXPECT_EQ(filters, player->CountGraphFilters());
    }

    // Muted means silent for a track started while muted, too.
    m_driver->SetMute(true);
    m_driver->PlayMusic(m_short.c_str(), false);
    EXPECT_TRUE(WaitUpTo(20, [&] { return player->GetGraphVolume() == -10000 || m_driver->IsMusicStopped(); }));
    EXPECT_EQ(-10000, player->GetGraphVolume());
    EXPECT_EQ(0.0625f, m_driver->GetMusicVolume());
}

TEST_F(MusicTest, UnplayableFilesEndThePlayWithoutBreakingThePlayer)
{
    const std::wstring junk = m_folder.Child(L"junk.wav");
    ASSERT_TRUE(WriteWholeFile(junk, std::string(3000, 'j')));
    const std::wstring tooLong = m_folder.Path() + L"\\" + std::wstring(300, 'a') + L".wav";
    for (const std::wstring& path : {junk, m_folder.Child(L"missing.wav"), tooLong}) {
        m_driver->PlayMusic(path.c_str(), true);
        EXPECT_TRUE(WaitUpTo(20, [&] { return m_driver->IsMusicStopped(); }));
        EXPECT_FALSE(m_driver->GetMusicPlayer()->HasFailed());
    }
    EXPECT_EQ(1, m_log.CountContaining(L"path too long"));
    m_driver->PlayMusic(m_short.c_str(), false);
    EXPECT_FALSE(m_driver->IsMusicStopped());
    EXPECT_TRUE(WaitUpTo(20, [&] { return m_driver->IsMusicStopped(); }));
}

TEST_F(MusicTest, MciDevicePlaysClosesAndTakesTheVolume)
{
    CMciMusic music;
    music.Close();
    EXPECT_TRUE(music.IsStopped());
    music.SetVolume(0.5f);
    EXPECT_FALSE(music.IsOpen());

    music.Play(m_short.c_str(), false);
    ASSERT_TRUE(music.IsOpen());
    EXPECT_TRUE(WaitUpTo(20, [&] { return music.IsStopped(); }));
    music.SetVolume(-3.0f);
    EXPECT_EQ(-3.0f, music.GetVolume());

    // Side by side, the repeating track still plays when its twin has ended
    // (the device opens one file once: the twin is a copy).
    const std::wstring twin = m_folder.Child(L"twin.wav");
    ASSERT_TRUE(WriteWholeFile(twin, ReadWholeFile(m_short)));
    CMciMusic once;
    music.Play(m_short.c_str(), true);
    once.Play(twin.c_str(), false);
    ASSERT_TRUE(music.IsOpen() && once.IsOpen());
    EXPECT_TRUE(WaitUpTo(20, [&] { return once.IsStopped(); }));
    EXPECT_FALSE(music.IsStopped());
    music.Close();
    EXPECT_FALSE(music.IsOpen());
    EXPECT_TRUE(music.IsStopped());

    music.Play(m_folder.Child(L"missing.wav").c_str(), false);
    EXPECT_FALSE(music.IsOpen());
}

} // namespace
} // namespace RVTest
