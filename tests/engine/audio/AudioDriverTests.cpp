// Sound effects through DirectSound under the null ALSA sink: numbers,
// volumes, mute and the life of a buffer. The sink is not paced in real
// time, so the tests wait for states, never for durations.

#include "SoundFixtures.h"

#include "engine/audio/CAudioDriver_DirectX.h"
#include "engine/common/base/TIntrusivePointer.h"
#include "engine/common/base/TScopedHandle.h"
#include "tests/support/LogCapture.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

using RVGameEngine::Audio::CAudioDriver_DirectX;
using RVGameEngine::Audio::CSoundBuffer;
using RVGameEngine::Audio::CSoundManager;
using RVGameEngine::Audio::IAudioDriver;
using RVGameEngine::Common::CScopedWindow;
using RVGameEngine::Common::TIntrusivePointer;

namespace RVTest {
namespace {

class AudioDriverTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_window.Reset(CreateWindowExW(0, L"STATIC", L"sound", WS_OVERLAPPEDWINDOW, 0, 0, 64, 64, nullptr, nullptr,
                                       GetModuleHandleW(nullptr), nullptr));
        ASSERT_TRUE(m_window);
        m_short = m_folder.Child(L"short.wav");
        m_long = m_folder.Child(L"long.wav");
        ASSERT_TRUE(WriteWholeFile(m_short, MakeWave(WaveLayout(), MakePcm(4410))));
        ASSERT_TRUE(WriteWholeFile(m_long, MakeWave(WaveLayout(), MakePcm(88200))));
        m_driver = TIntrusivePointer<CAudioDriver_DirectX>(new CAudioDriver_DirectX());
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

TEST_F(AudioDriverTest, EveryRequestTakesANumberAndPlaysNeedTheDevice)
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

TEST_F(AudioDriverTest, VolumeAndMuteReachSoundsAtTheNextUpdate)
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
        float storedVolume;
    } steps[] = {
        {"mute", [](IAudioDriver& d) { d.SetMute(true); }, -1591, -10000, 0.5f},
        {"volume while muted", [](IAudioDriver& d) { d.SetSoundVolume(0.25f); }, -10000, -10000, 0.25f},
        {"unmute", [](IAudioDriver& d) { d.SetMute(false); }, -10000, -2928, 0.25f},
        {"above full", [](IAudioDriver& d) { d.SetSoundVolume(2.0f); }, -2928, 0, 2.0f},
        {"below silence", [](IAudioDriver& d) { d.SetSoundVolume(-1.0f); }, 0, -10000, -1.0f},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.step);
        s.change(*m_driver);
        EXPECT_EQ(s.beforeUpdate, VolumeOf(id));
        m_driver->Update(0);
        EXPECT_EQ(s.afterUpdate, VolumeOf(id));
        EXPECT_EQ(s.storedVolume, m_driver->GetSoundVolume());
    }
    // A new sound starts at the current level.
    m_driver->SetSoundVolume(0.0625f);
    EXPECT_EQ(-5000, VolumeOf(m_driver->PlaySound(m_short.c_str(), true)));
}

TEST_F(AudioDriverTest, ReinitialisingGivesUpTheOldDeviceAndItsSounds)
{
    CSoundManager manager;
    ASSERT_TRUE(manager.InitDirectSound(m_window.Get()));
    ASSERT_GE(manager.PlaySound(m_long.c_str(), false, true, true), 0);
    ASSERT_EQ(1u, manager.GetPlayingCount());
    ASSERT_TRUE(manager.InitDirectSound(m_window.Get()));
    EXPECT_EQ(0u, manager.GetPlayingCount());
    EXPECT_GE(manager.PlaySound(m_long.c_str(), false, true, true), 0);
    // The primary buffer refuses its format at the normal level, so there is
    // no listener to hand out.
    EXPECT_EQ(nullptr, manager.CreateListener());
}

TEST(AudioDriverInstance, DeviceDriverWhileRegisteredElseOneUninitialisedProcessDriver)
{
    using RVGameEngine::Audio::IAudioDriver_GetInstance;
    IAudioDriver* driver = IAudioDriver_GetInstance();
    ASSERT_NE(nullptr, driver);
    EXPECT_EQ(driver, IAudioDriver_GetInstance());
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
    EXPECT_FALSE(driver->IsMuted());
    EXPECT_EQ(1.0f, driver->GetMusicVolume());
}

} // namespace
} // namespace RVTest
