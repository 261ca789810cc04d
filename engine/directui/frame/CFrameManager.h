#pragma once

#include "engine/directui/frame/IFrameManager.h"

#include <cstdint>
#include <map>
#include <vector>

namespace RVGameEngine {
namespace DirectUI {

class CFrame;

class CFrameManager : public IFrameManager
{
public:
    static constexpr const wchar_t* kFrameClassName = L"RVFRAME";

    // The tick's clock and pause; replaceable so that the pace can be checked
    // without waiting on the real clock.
    using ClockFunction = int32_t (*)();
    using SleepFunction = void (*)(DWORD milliseconds);

    CFrameManager();

    ATOM Initialize() override;
    void SetMainFrame(IFrame* frame) override;
    void RunMessageLoop(IFrame* loopFrame, bool tickOnIdle) override;
    void RunFrameLoop(IFrame* frame) override;
    void Quit() override;
    void Tick() override;
    void GetMonitorWorkArea(int* x, int* y, int* width, int* height) override;
    bool IsAppActive() override;
    void GetCursorPos(int* x, int* y) override;
    Common::TIntrusivePointer<IFrame> FindFrame(const wchar_t* name) override;
    Common::TIntrusivePointer<Common::IVector> GetFrames() override;

    // The instance behind IFrameManager_GetInstance.
    static CFrameManager* GetInstance();

    void RegisterFrame(HWND window, CFrame* frame);
    // Removes the entry only while it still belongs to that frame, so that a
    // frame whose window is long gone cannot drop a newer frame that was given
    // the same handle value.
    void UnregisterFrame(HWND window, CFrame* frame);
    bool IsRegistered(HWND window, const CFrame* frame) const;
    // The frame's window or object is going: the loop running for it ends
    // now, and an outer loop that it runs for ends as soon as the loops
    // nested in it have returned.
    void EndLoopsOf(const CFrame* frame);
    // A frame object is going away: no loop (running or waiting to be
    // restored) keeps pointing at it.
    void ForgetFrame(const CFrame* frame);
    CFrame* GetMainFrame() const { return m_loopFrame; }

    void SetAppActive(bool active) { m_appActive = active; }
    void FireKeyDown(uint32_t virtualKey);
    void FireKeyUp(uint32_t virtualKey);
    void FireEditBoxContextMenu(IFrame* frame, IEditBox* editBox, int32_t x, int32_t y);
    void FireMultilineEditBoxContextMenu(IFrame* frame, IMultilineEditBox* editBox, int32_t x, int32_t y);

    // Null restores the engine clock or Sleep.
    void SetTimeFunctions(ClockFunction clock, SleepFunction sleep);

    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    struct tagOuterLoop
    {
        CFrame* frame;
        // Its frame went while a nested loop ran.
        bool ended;
    };

    CFrame* FindRegistered(HWND window) const;

    // Ordered by the handle's numeric value; the frames are not counted.
    std::map<uintptr_t, CFrame*> m_frames;
    CFrame* m_loopFrame = nullptr;
    // The loops that the running ones interrupted, innermost last.
    std::vector<tagOuterLoop> m_outerLoops;
    int32_t m_lastTickMs = 0;
    bool m_appActive = false;
    ClockFunction m_clock;
    SleepFunction m_sleep;
};

} // namespace DirectUI
} // namespace RVGameEngine
