#pragma once

#include "engine/common/base/TIntrusivePointer.h"
#include "engine/directui/controls/IAnimationBox.h"
#include "engine/directui/uisystem/CUIWindow.h"

#include <vector>

namespace RVGameEngine {
namespace DirectUI {

// Plays its frames from numbered files, a strip or child image elements.
class RV_API CAnimationBox : public CUIWindow, public IAnimationBox
{
public:
    // IAnimationBox
    void AddFrame(IUIImage* image) override;
    void Resume() override;
    void Play(int32_t mode) override;
    bool IsPlaying() override;
    void Pause() override;
    int32_t GetFramesPerSecond() override;
    void SetFramesPerSecond(int32_t framesPerSecond) override;
    bool IsRunning() override;
    void PrepareFrames() override;
    void ClearFrames() override;

    // IUIWindow
    void ResetBackgroundImage() override;
    void LoadAttributes(Common::IXmlElement* element) override;

    // CUIWindow
    void OnPaint() override;
    void OnFrameMove(int32_t elapsedMs) override;

private:
    using ImagePointer = Common::TIntrusivePointer<IUIImage>;

    void LoadNumberedFiles(Common::IXmlElement* element, int32_t frameCount);
    bool LoadStrip(Common::IXmlElement* element, int32_t frameCount);
    void LoadChildFrames(Common::IXmlElement* element, int32_t frameCount);
    int32_t FrameAt(int64_t elapsedMs);
    void RaiseEnd();
    void EndPlaying();
    void ReportLoopEnd(int32_t frame, int32_t count);
    void NotifyFrames();

    std::vector<ImagePointer> m_frames;
    int32_t m_framesPerSecond = 1;
    int32_t m_currentFrame = 0;
    // 64 bits: a box left looping for weeks must not wrap into the past.
    int64_t m_elapsedMs = 0;
    int32_t m_mode = ANIMATION_MODE_LOOP;
    // The last pass of a played loop whose end was reported.
    int32_t m_reportedLoop = -1;
    bool m_playing = false;
    bool m_paused = false;
};

} // namespace DirectUI
} // namespace RVGameEngine
