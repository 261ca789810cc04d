// Sound effects through DirectSound and music through DirectShow (the
// driver's player) and MCI, under the null ALSA sink: numbers, volumes, mute
// and the life of buffers and players. The sink is not paced in real time,
// so the tests wait for states, never for durations.

#include "SoundFixtures.h"

#include "engine/audio/CAudioDriver_DirectX.h"
#include "engine/audio/CMciMusic.h"
#include "engine/audio/CSoundBuffer.h"
#include "engine/audio/WaveCache.h"
#include "engine/common/base/TIntrusivePointer.h"
#include "engine/common/base/TScopedHandle.h"
#include "tests/support/LogCapture.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <objbase.h>

using RVGameEngine::Audio::CAudioDriver_DirectX;
using RVGameEngine::Audio::CDirectShowMusic;
using RVGameEngine::Audio::CMciMusic;
using RVGameEngine::Audio::CSoundBuffer;
using RVGameEngine::Audio::CSoundManager;
using RVGameEngine::Audio::IAudioDriver;
using RVGameEngine::Common::CScopedWindow;
using RVGameEngine::Common::TIntrusivePointer;

namespace RVTest {
namespace {

class PlaybackTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        m_window.Reset(CreateWindowExW(0, L"STATIC", L"sound", WS_OVERLAPPEDWINDOW, 0, 0, 64, 64, nullptr, nullptr,
                                       GetModuleHandleW(nullptr), nullptr));
        ASSERT_TRUE(m_window);
        m_short = m_folder.Child(L"short.wav");
        m_long = m_folder.Child(L"long.wav");
        ASSERT_TRUE(WriteWholeFile(m_short, MakeWave(WaveLayout(), MakePcm(4410))));
        ASSERT_TRUE(WriteWholeFile(m_long, MakeWave(WaveLayout(), MakePcm(88200))));
        m_driver = TIntrusivePointer<CAudioDriver_DirectX>(new CAudioDriver_DirectX());
    }

    void TearDown() override
    {
        // The players' COM objects go before the thread leaves COM.
        m_driver.Reset();
        CoUninitialize();
    }

    CSoundBuffer* Buffer(int id) { return m_driver->GetSoundManager()->FindSoundBuffer(id); }
    int32_t VolumeOf(int id)
    {
        CSoundBuffer* buffer = Buffer(id);
        return buffer != nullptr ? buffer->GetBufferVolume() : 1;
    }

    TempFolder m_folder;
    LogCapture m_log;
    CScopedWindow m_window;
    std::wstring m_short;
    std::wstring m_long;
    TIntrusivePointer<CAudioDriver_DirectX> m_driver;
};

TEST_F(PlaybackTest, EveryRequestTakesANumberAndPlaysNeedTheDevice)
{
    // Not initialised yet: refused, but the numbers are used up.
    EXPECT_EQ(-1, m_driver->PlaySound(m_short.c_str(), false));
    EXPECT_EQ(-1, m_driver->PlaySound(m_short.c_str(), true, false));
    ASSERT_TRUE(m_driver->Initialize(m_window.Get()));
    EXPECT_EQ(2, m_driver->PlaySound(m_long.c_str(), true));
    EXPECT_EQ(-1, m_driver->PlaySound(m_folder.Child(L"missing.wav").c_str(), false));
    EXPECT_EQ(4, m_driver->PlaySound(m_long.c_str(), true));
    const int oneShot = m_driver->PlaySound(m_short.c_str(), false);
    EXPECT_EQ(5, oneShot);
    // 3D sounds are mono buffers with their own 3D interface.
    EXPECT_EQ(6, m_driver->GetSoundManager()->PlaySound(m_short.c_str(), true, true, false));

    // Stopping the first of two plays of one file leaves the second.
    m_driver->StopSound(2);
    EXPECT_EQ(nullptr, Buffer(2));
    ASSERT_NE(nullptr, Buffer(4));
    EXPECT_FALSE(Buffer(4)->IsStopped());

    // A one-shot sound ends by itself and goes at the next update; looping
    // ones stay until stopped.
    EXPECT_TRUE(WaitUpTo(10, [&] {
        m_driver->Update(0);
        return Buffer(oneShot) == nullptr;
    }));
    EXPECT_NE(nullptr, Buffer(4));
    EXPECT_NE(nullptr, Buffer(6));
    m_driver->StopSound(4);
    m_driver->StopSound(6);
    EXPECT_EQ(0u, m_driver->GetSoundManager()->GetPlayingCount());
}

TEST_F(PlaybackTest, VolumeAndMuteReachSoundsAtTheNextUpdate)
{
    ASSERT_TRUE(m_driver->Initialize(m_window.Get()));
    m_driver->SetSoundVolume(0.5f);
    const int id = m_driver->PlaySound(m_long.c_str(), true);
    ASSERT_GE(id, 0);
    EXPECT_EQ(-1591, VolumeOf(id));

    const struct
    {
        const char* step;
        void (*change)(IAudioDriver&);
        int32_t beforeUpdate;
        int32_t afterUpdate;
    } steps[] = {
        {"mute", [](IAudioDriver& d) { d.SetMute(true); }, -1591, -10000},
        {"volume while muted", [](IAudioDriver& d) { d.SetSoundVolume(0.25f); }, -10000, -10000},
        {"unmute", [](IAudioDriver& d) { d.SetMute(false); }, -10000, -2928},
        {"above full", [](IAudioDriver& d) { d.SetSoundVolume(2.0f); }, -2928, 0},
        {"below silence", [](IAudioDriver& d) { d.SetSoundVolume(-1.0f); }, 0, -10000},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.step);
        s.change(*m_driver);
        EXPECT_EQ(s.beforeUpdate, VolumeOf(id));
        m_driver->Update(0);
        EXPECT_EQ(s.afterUpdate, VolumeOf(id));
    }
    // A new sound starts at the current level.
    m_driver->SetSoundVolume(0.0625f);
    EXPECT_EQ(-5000, VolumeOf(m_driver->PlaySound(m_short.c_str(), true)));
}

TEST_F(PlaybackTest, ReinitialisingGivesUpTheOldDeviceAndItsSounds)
{
    CSoundManager manager;
    ASSERT_TRUE(manager.InitDirectSound(m_window.Get()));
    ASSERT_GE(manager.PlaySound(m_long.c_str(), false, true, true), 0);
    ASSERT_EQ(1u, manager.GetPlayingCount());
    ASSERT_TRUE(manager.InitDirectSound(m_window.Get()));
    EXPECT_EQ(0u, manager.GetPlayingCount());
    EXPECT_GE(manager.PlaySound(m_long.c_str(), false, true, true), 0);
}

TEST(AudioDriverInstance, DeviceDriverWhileRegisteredElseOneUninitialisedProcessDriver)
{
    using RVGameEngine::Audio::IAudioDriver_GetInstance;
    IAudioDriver* driver = IAudioDriver_GetInstance();
    ASSERT_NE(nullptr, driver);
    CAudioDriver_DirectX deviceDriver;
    RVGameEngine::Audio::SetDeviceAudioDriver(&deviceDriver);
    EXPECT_EQ(&deviceDriver, IAudioDriver_GetInstance());
    RVGameEngine::Audio::SetDeviceAudioDriver(nullptr);
    EXPECT_EQ(driver, IAudioDriver_GetInstance());
    {
        // A caller's pointer does not take it down.
        TIntrusivePointer<IAudioDriver> held(driver);
    }
    EXPECT_EQ(-1, driver->PlaySound(L"C:\\nothing-here.wav", false));
}

// Files that cannot play end the play without breaking the player: the next
// track still plays, ends by itself or loops until stopped.
TEST_F(PlaybackTest, MusicEndsOrLoopsUntilStoppedAndSurvivesUnplayableFiles)
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
    CDirectShowMusic* player = m_driver->GetMusicPlayer();
    EXPECT_EQ(0u, player->GetRestartCount());

    // Each start of a looping track plays through to the end of the stream.
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

TEST_F(PlaybackTest, MusicReplayReplacesTheTrackInTheSameGraphAndFollowsTheVolume)
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
}

TEST_F(PlaybackTest, MciDevicePlaysAndCloses)
{
    // Closing or setting the volume before anything is open is harmless.
    CMciMusic music;
    music.Close();
    music.SetVolume(0.5f);
    EXPECT_TRUE(music.IsStopped());
    EXPECT_FALSE(music.IsOpen());

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

// Takes the description of every buffer asked for and makes none.
struct DescriptionRecorder : IDirectSound8
{
    DSBUFFERDESC asked{};
    HRESULT STDMETHODCALLTYPE CreateSoundBuffer(LPCDSBUFFERDESC description, LPDIRECTSOUNDBUFFER*, LPUNKNOWN) override
    {
        asked = *description;
        return DSERR_UNSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetCaps(LPDSCAPS) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DuplicateSoundBuffer(LPDIRECTSOUNDBUFFER, LPDIRECTSOUNDBUFFER*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Compact() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetSpeakerConfig(LPDWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetSpeakerConfig(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Initialize(LPCGUID) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE VerifyCertification(LPDWORD) override { return E_NOTIMPL; }
};

TEST_F(PlaybackTest, BuffersAskForTheirControlsAndThe3DAlgorithm)
{
    const struct { bool is3D; DWORD flags; GUID algorithm; } cases[] = {
        {true, DSBCAPS_LOCSOFTWARE | DSBCAPS_CTRL3D | DSBCAPS_CTRLVOLUME, DS3DALG_HRTF_FULL},
        {false, DSBCAPS_LOCSOFTWARE | DSBCAPS_CTRLPAN | DSBCAPS_CTRLVOLUME | DSBCAPS_GLOBALFOCUS, GUID_NULL},
    };
    const TIntrusivePointer<RVGameEngine::Audio::CWaveFile> wave = RVGameEngine::Audio::LoadSound(m_short.c_str());
    ASSERT_TRUE(wave);
    for (const auto& c : cases) {
        DescriptionRecorder device;
        EXPECT_FALSE(CSoundBuffer::Create(&device, 1, m_short.c_str(), *wave, c.is3D, false, true));
        EXPECT_EQ(c.flags, device.asked.dwFlags);
        EXPECT_TRUE(IsEqualGUID(c.algorithm, device.asked.guid3DAlgorithm)) << c.is3D;
    }
}

} // namespace
} // namespace RVTest
