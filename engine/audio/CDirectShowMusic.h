#pragma once

#include "engine/common/base/ComPointer.h"
#include "engine/common/base/EngineApi.h"
#include "engine/common/base/TScopedHandle.h"

#include <windows.h>
#include <dshow.h>

#include <atomic>
#include <cstdint>
#include <string>

namespace RVGameEngine {
namespace Audio {

// Background music: DirectShow renders the file into the player's filter
// graph and plays it, while a thread of the player's own polls the position
// every 10 ms to apply the volume, to start a looping track again and to
// notice the end.
//
// The caller's thread must have initialised COM before making a player; the
// playback thread initialises it for itself. Once the graph cannot be had,
// or the playback thread has met a fault, the player is failed for good and
// ignores Play and Stop.
class RV_API CDirectShowMusic
{
public:
    CDirectShowMusic();
    // Stops the music, then releases the graph.
    ~CDirectShowMusic();
    CDirectShowMusic(const CDirectShowMusic&) = delete;
    CDirectShowMusic& operator=(const CDirectShowMusic&) = delete;

    // Stops what plays, then plays the file (after the file system's name
    // replacement) in place of it. A path longer than MAX_PATH - 1 units
    // after replacement is refused rather than cut to another file's name.
    void Play(const wchar_t* path, bool loop);
    // Waits for the playback thread to end; returns at once when idle.
    void Stop();
    // 0..1, reaching the music within one poll.
    void SetVolume(float volume) { m_volume = volume; }
    float GetVolume() const { return m_volume; }
    bool IsStopped() const { return m_playing == 0; }
    bool HasFailed() const { return m_failed; }

    // How often a looping track has been started again from its beginning,
    // and how many of its starts the graph has reported played through to
    // the end of the stream (the proof that a restart really plays).
    uint32_t GetRestartCount() const { return m_restarts; }
    uint32_t GetCompletionCount() const { return m_completions; }
    // The attenuation the graph plays at, in hundredths of a decibel.
    long GetGraphVolume();
    // Filters now in the graph (one file's worth while a track is rendered).
    int CountGraphFilters();

private:
    static DWORD WINAPI PlaybackThread(void* player);
    void RunPlayback();
    void PlayRenderedFile();
    bool RenderFile();
    void RemoveAllFilters();
    void ApplyVolume();
    // Empties the graph's event queue, counting ends of stream when asked.
    void CountCompletions(bool count);
    void CloseThread();

    std::wstring m_path;
    std::atomic<bool> m_loop{false};
    Common::TComPointer<IGraphBuilder> m_graph;
    Common::TComPointer<IMediaControl> m_control;
    Common::TComPointer<IMediaPosition> m_position;
    Common::TComPointer<IBasicAudio> m_audio;
    // Optional: only counts the ends of the stream.
    Common::TComPointer<IMediaEvent> m_events;
    std::atomic<uint32_t> m_stopRequest{0};
    bool m_rendered = false;
    std::atomic<uint32_t> m_playing{0};
    Common::CScopedKernelHandle m_thread;
    std::atomic<float> m_volume{0.0f};
    std::atomic<bool> m_failed{false};
    std::atomic<uint32_t> m_restarts{0};
    std::atomic<uint32_t> m_completions{0};
    // Playback thread only: the current start has been reported complete.
    bool m_startCompleted = false;
};

} // namespace Audio
} // namespace RVGameEngine
