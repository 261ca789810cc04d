#include "engine/directui/frame/CFrameManager.h"

#include "engine/common/base/CKeepAlive.h"
#include "engine/common/base/GdiplusStartup.h"
#include "engine/common/base/TimeFunctions.h"
#include "engine/directui/frame/CFrame.h"
#include "engine/filesystem/ILogFile.h"

#include <cwchar>
#include <new>
#include <utility>

namespace RVGameEngine {
namespace DirectUI {

namespace {

constexpr UINT kFrameClassStyle = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC | CS_SAVEBITS;
// Ticks closer together than this pause for a millisecond first, so that an
// idle loop does not spin at full speed.
constexpr int32_t kTickPaceMs = 10;

CFrameManager* g_instance = nullptr;

void SystemSleep(DWORD milliseconds)
{
    ::Sleep(milliseconds);
}

uintptr_t Key(HWND window)
{
    return reinterpret_cast<uintptr_t>(window);
}

void LogError(const wchar_t* message)
{
    if (FileSystem::ILogFile* log = FileSystem::ILogFile_GetInstance())
        log->Log(FileSystem::LOG_LEVEL_ERROR, L"%s", message);
}

} // namespace

CFrameManager::CFrameManager() : m_clock(Common::GetTimeMs), m_sleep(SystemSleep)
{
}

ATOM CFrameManager::Initialize()
{
    // Frames work without GDI+ (only their drawing calls fail, each with its
    // own status), so the class is registered either way.
    if (!Common::StartGdiplus())
        LogError(L"GDI+ could not be started: frames are made, their drawing fails");

    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = kFrameClassStyle;
    windowClass.lpfnWndProc = WindowProcedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kFrameClassName;
    return RegisterClassExW(&windowClass);
}

void CFrameManager::SetMainFrame(IFrame* frame)
{
    m_loopFrame = dynamic_cast<CFrame*>(frame);
}

void CFrameManager::RunMessageLoop(IFrame* loopFrame, bool tickOnIdle)
{
    m_outerLoops.push_back(tagOuterLoop{m_loopFrame, false});
    m_loopFrame = dynamic_cast<CFrame*>(loopFrame);
    m_lastTickMs = m_clock();
    bool quit = false;
    while (!quit) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                quit = true;
                break;
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
            if (message.message == WM_MOUSEMOVE)
                Tick();
        }
        if (!quit && tickOnIdle)
            Tick();
    }
    const tagOuterLoop outer = m_outerLoops.back();
    m_outerLoops.pop_back();
    m_loopFrame = outer.frame;
    // Its frame went while this loop ran: the quit ends it once we are back.
    if (outer.ended)
        Quit();
}

void CFrameManager::RunFrameLoop(IFrame* frame)
{
    RunMessageLoop(frame, true);
}

void CFrameManager::Quit()
{
    PostQuitMessage(0);
}

void CFrameManager::Tick()
{
    const int32_t now = m_clock();
    // Unsigned subtraction: the clock wraps, the difference stays right.
    const int32_t elapsed = static_cast<int32_t>(static_cast<uint32_t>(now) - static_cast<uint32_t>(m_lastTickMs));
    if (elapsed < kTickPaceMs)
        m_sleep(1);
    m_lastTickMs = now;

    tagFrameManagerFrameMoveEventArgs args;
    args.elapsedMs = elapsed;
    Fire(FRAME_MANAGER_EVENT_FRAME_MOVE, this, &args);

    // Handlers may create and destroy frames or drop the last reference to
    // one: tick a snapshot that holds each frame, and skip the frames that
    // have left the map meanwhile.
    // (A frame that nobody counts, one not made by its factory, is not
    // taken over: its owner keeps it alive.)
    struct tagTickedFrame
    {
        HWND window;
        CFrame* frame;
        Common::TIntrusivePointer<CFrame> hold;
    };
    std::vector<tagTickedFrame> frames;
    frames.reserve(m_frames.size());
    for (const auto& entry : m_frames) {
        CFrame* frame = entry.second;
        if (frame != nullptr)
            frames.push_back(tagTickedFrame{reinterpret_cast<HWND>(entry.first), frame,
                                            Common::TIntrusivePointer<CFrame>(
                                                frame->GetReferenceCount() > 0 ? frame : nullptr)});
    }
    for (const tagTickedFrame& entry : frames) {
        if (IsRegistered(entry.window, entry.frame))
            entry.frame->RaiseFrameMove(elapsed);
    }
}

void CFrameManager::GetMonitorWorkArea(int* x, int* y, int* width, int* height)
{
    const HWND window = m_loopFrame != nullptr ? m_loopFrame->GetHandle() : nullptr;
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &info);
    if (x != nullptr)
        *x = info.rcWork.left;
    if (y != nullptr)
        *y = info.rcWork.top;
    if (width != nullptr)
        *width = info.rcWork.right - info.rcWork.left;
    if (height != nullptr)
        *height = info.rcWork.bottom - info.rcWork.top;
}

bool CFrameManager::IsAppActive()
{
    return m_appActive;
}

void CFrameManager::GetCursorPos(int* x, int* y)
{
    POINT point = {0, 0};
    ::GetCursorPos(&point);
    if (x != nullptr)
        *x = point.x;
    if (y != nullptr)
        *y = point.y;
}

Common::TIntrusivePointer<IFrame> CFrameManager::FindFrame(const wchar_t* name)
{
    const wchar_t* wanted = name != nullptr ? name : L"";
    for (const auto& entry : m_frames) {
        if (entry.second != nullptr && wcscmp(entry.second->GetName(), wanted) == 0)
            return Common::TIntrusivePointer<IFrame>(entry.second);
    }
    return Common::TIntrusivePointer<IFrame>();
}

Common::TIntrusivePointer<Common::IVector> CFrameManager::GetFrames()
{
    Common::TIntrusivePointer<Common::IVector> frames = Common::IVector_Create();
    if (!frames)
        return frames;
    for (const auto& entry : m_frames) {
        if (entry.second != nullptr)
            frames->Add(Common::TIntrusivePointer<Common::IReferenceCounted>(entry.second));
    }
    return frames;
}

CFrameManager* CFrameManager::GetInstance()
{
    IFrameManager_GetInstance();
    return g_instance;
}

void CFrameManager::RegisterFrame(HWND window, CFrame* frame)
{
    if (window != nullptr)
        m_frames[Key(window)] = frame;
}

void CFrameManager::UnregisterFrame(HWND window, CFrame* frame)
{
    auto found = m_frames.find(Key(window));
    if (found != m_frames.end() && found->second == frame)
        m_frames.erase(found);
}

bool CFrameManager::IsRegistered(HWND window, const CFrame* frame) const
{
    auto found = m_frames.find(Key(window));
    return found != m_frames.end() && found->second == frame;
}

void CFrameManager::EndLoopsOf(const CFrame* frame)
{
    if (frame == nullptr)
        return;
    if (m_loopFrame == frame)
        Quit();
    for (tagOuterLoop& outer : m_outerLoops) {
        if (outer.frame == frame)
            outer.ended = true;
    }
}

void CFrameManager::ForgetFrame(const CFrame* frame)
{
    if (m_loopFrame == frame)
        m_loopFrame = nullptr;
    for (tagOuterLoop& outer : m_outerLoops) {
        if (outer.frame == frame)
            outer.frame = nullptr;
    }
}

CFrame* CFrameManager::FindRegistered(HWND window) const
{
    auto found = m_frames.find(Key(window));
    return found != m_frames.end() ? found->second : nullptr;
}

void CFrameManager::FireKeyDown(uint32_t virtualKey)
{
    tagFrameManagerKeyEventArgs args;
    args.virtualKey = virtualKey;
    Fire(FRAME_MANAGER_EVENT_KEY_DOWN, this, &args);
}

void CFrameManager::FireKeyUp(uint32_t virtualKey)
{
    tagFrameManagerKeyEventArgs args;
    args.virtualKey = virtualKey;
    Fire(FRAME_MANAGER_EVENT_KEY_UP, this, &args);
}

void CFrameManager::FireEditBoxContextMenu(IFrame* frame, IEditBox* editBox, int32_t x, int32_t y)
{
    tagFrameManagerEditBoxContextMenuEventArgs args;
    args.frame = Common::TIntrusivePointer<IFrame>(frame);
    args.editBox = editBox;
    args.x = x;
    args.y = y;
    Fire(FRAME_MANAGER_EVENT_EDIT_BOX_CONTEXT_MENU, this, &args);
}

void CFrameManager::FireMultilineEditBoxContextMenu(IFrame* frame, IMultilineEditBox* editBox, int32_t x, int32_t y)
{
    tagFrameManagerMultilineEditBoxContextMenuEventArgs args;
    args.frame = Common::TIntrusivePointer<IFrame>(frame);
    args.editBox = editBox;
    args.x = x;
    args.y = y;
    Fire(FRAME_MANAGER_EVENT_MULTILINE_EDIT_BOX_CONTEXT_MENU, this, &args);
}

void CFrameManager::SetTimeFunctions(ClockFunction clock, SleepFunction sleep)
{
    m_clock = clock != nullptr ? clock : Common::GetTimeMs;
    m_sleep = sleep != nullptr ? sleep : SystemSleep;
}

LRESULT CALLBACK CFrameManager::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CFrameManager* manager = GetInstance();
    CFrame* frame = manager != nullptr ? manager->FindRegistered(window) : nullptr;
    // Messages sent while the window is being made (before the frame
    // registers it) and after it left take the default handling.
    if (frame == nullptr)
        return DefWindowProcW(window, message, wParam, lParam);
    // A handler may drop the last reference to the frame: it lives until its
    // message is done.
    Common::CKeepAlive keepAlive(frame);
    return frame->WindowProc(window, message, wParam, lParam);
}

IFrameManager* IFrameManager_GetInstance()
{
    if (g_instance == nullptr) {
        g_instance = new (std::nothrow) CFrameManager();
        if (g_instance != nullptr)
            g_instance->AddRef();
    }
    return g_instance;
}

} // namespace DirectUI
} // namespace RVGameEngine
