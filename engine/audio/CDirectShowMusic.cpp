#include "engine/audio/CDirectShowMusic.h"

#include "engine/audio/VolumeLaw.h"
#include "engine/filesystem/ILogFile.h"
#include "engine/filesystem/IVirtualFileSystem.h"

#include <vector>

namespace RVGameEngine {
namespace Audio {

namespace {

constexpr DWORD kPollMilliseconds = 10;

void LogMusic(const wchar_t* text, const wchar_t* path)
{
    FileSystem::ILogFile_GetInstance()->Log(FileSystem::LOG_LEVEL_WARNING, L"Music: %ls: %ls", text, path);
}

// COM for the playback thread, for as long as it runs.
class CThreadComScope
{
public:
    CThreadComScope() : m_initialised(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) {}
    ~CThreadComScope()
    {
        if (m_initialised)
            CoUninitialize();
    }
    CThreadComScope(const CThreadComScope&) = delete;
    CThreadComScope& operator=(const CThreadComScope&) = delete;

private:
    bool m_initialised;
};

} // namespace

CDirectShowMusic::CDirectShowMusic()
{
    const bool made =
        SUCCEEDED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER,
                                   IID_IGraphBuilder, reinterpret_cast<void**>(m_graph.Receive()))) &&
        m_graph &&
        SUCCEEDED(m_graph->QueryInterface(IID_IMediaControl, reinterpret_cast<void**>(m_control.Receive()))) &&
        SUCCEEDED(m_graph->QueryInterface(IID_IMediaPosition, reinterpret_cast<void**>(m_position.Receive()))) &&
        SUCCEEDED(m_graph->QueryInterface(IID_IBasicAudio, reinterpret_cast<void**>(m_audio.Receive())));
    if (made)
        m_graph->QueryInterface(IID_IMediaEvent, reinterpret_cast<void**>(m_events.Receive()));
    if (!made) {
        m_failed = true;
        FileSystem::ILogFile_GetInstance()->Log(FileSystem::LOG_LEVEL_ERROR, L"Music: no DirectShow filter graph");
    }
}

CDirectShowMusic::~CDirectShowMusic()
{
    // A failed player may still hold the handle of a thread that ended.
    m_stopRequest = 1;
    CloseThread();
    m_events.Reset();
    m_audio.Reset();
    m_position.Reset();
    m_control.Reset();
    m_graph.Reset();
}

void CDirectShowMusic::Play(const wchar_t* path, bool loop)
{
    if (m_failed || path == nullptr)
        return;
    Stop();
    Common::TIntrusivePointer<Common::IString> mapped =
        FileSystem::IVirtualFileSystem_GetInstance()->ReplaceFilename(path);
    const std::wstring file = mapped ? mapped->GetUtf16() : path;
    if (file.size() > MAX_PATH - 1) {
        LogMusic(L"path too long", path);
        return;
    }
    m_path = file;
    m_loop = loop;
    m_stopRequest = 0;
    m_playing = 1;
    m_thread.Reset(CreateThread(nullptr, 0, &CDirectShowMusic::PlaybackThread, this, 0, nullptr));
    if (!m_thread) {
        m_playing = 0;
        LogMusic(L"no playback thread", path);
    }
}

void CDirectShowMusic::Stop()
{
    if (m_failed || !m_thread)
        return;
    m_stopRequest = 1;
    CloseThread();
    m_rendered = false;
}

void CDirectShowMusic::CloseThread()
{
    if (m_thread)
        WaitForSingleObject(m_thread.Get(), INFINITE);
    m_thread.Reset();
}

DWORD WINAPI CDirectShowMusic::PlaybackThread(void* player)
{
    static_cast<CDirectShowMusic*>(player)->RunPlayback();
    return 0;
}

void CDirectShowMusic::RunPlayback()
{
    CThreadComScope com;
    try {
        if (!m_rendered) {
            RenderFile();
            m_rendered = true;
        }
        PlayRenderedFile();
    } catch (...) {
        m_failed = true;
    }
    m_playing = 0;
}

bool CDirectShowMusic::RenderFile()
{
    // The graph still holds the previous track's filters: left there, they
    // would play along with the new one.
    RemoveAllFilters();
    if (FAILED(m_graph->RenderFile(m_path.c_str(), nullptr))) {
        LogMusic(L"cannot render", m_path.c_str());
        return false;
    }
    return true;
}

void CDirectShowMusic::PlayRenderedFile()
{
    REFTIME duration = 0.0;
    m_position->put_CurrentPosition(0.0);
    if (FAILED(m_position->get_Duration(&duration)) || !(duration > 0.0))
        return;
    // What the previous track left in the queue is not this one's.
    CountCompletions(false);
    m_startCompleted = false;
    ApplyVolume();
    m_control->Run();
    ApplyVolume();
    for (;;) {
        Sleep(kPollMilliseconds);
        if (m_stopRequest != 0)
            break;
        ApplyVolume();
        CountCompletions(true);
        REFTIME position = 0.0;
        m_position->get_CurrentPosition(&position);
        if (position < duration)
            continue;
        if (m_stopRequest != 0 || !m_loop)
            break;
        // After the end of its stream the graph does not play on from a
        // seek alone: it has to be stopped and run again.
        m_control->Stop();
        m_position->put_CurrentPosition(0.0);
        m_control->Run();
        m_startCompleted = false;
        ++m_restarts;
    }
    m_control->Stop();
}

void CDirectShowMusic::RemoveAllFilters()
{
    std::vector<IBaseFilter*> filters;
    Common::TComPointer<IEnumFilters> enumerator;
    if (SUCCEEDED(m_graph->EnumFilters(enumerator.Receive())) && enumerator) {
        IBaseFilter* filter = nullptr;
        while (enumerator->Next(1, &filter, nullptr) == S_OK) {
            filters.push_back(filter);
            filter = nullptr;
        }
    }
    // Removed only after the walk: removing a filter invalidates the
    // enumerator.
    for (IBaseFilter* filter : filters) {
        m_graph->RemoveFilter(filter);
        filter->Release();
    }
}

int CDirectShowMusic::CountGraphFilters()
{
    if (!m_graph)
        return 0;
    Common::TComPointer<IEnumFilters> enumerator;
    if (FAILED(m_graph->EnumFilters(enumerator.Receive())) || !enumerator)
        return 0;
    int count = 0;
    IBaseFilter* filter = nullptr;
    while (enumerator->Next(1, &filter, nullptr) == S_OK) {
        filter->Release();
        ++count;
    }
    return count;
}

void CDirectShowMusic::CountCompletions(bool count)
{
    if (!m_events)
        return;
    long code = 0;
    LONG_PTR first = 0;
    LONG_PTR second = 0;
    while (m_events->GetEvent(&code, &first, &second, 0) == S_OK) {
        // The graph may report one end more than once.
        if (count && code == EC_COMPLETE && !m_startCompleted) {
            m_startCompleted = true;
            ++m_completions;
        }
        m_events->FreeEventParams(code, first, second);
    }
}

long CDirectShowMusic::GetGraphVolume()
{
    long volume = -10000;
    if (m_audio)
        m_audio->get_Volume(&volume);
    return volume;
}

void CDirectShowMusic::ApplyVolume()
{
    m_audio->put_Volume(VolumeToAttenuation(m_volume));
}

} // namespace Audio
} // namespace RVGameEngine
