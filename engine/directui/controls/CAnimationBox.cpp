#include "engine/directui/controls/CAnimationBox.h"

#include "engine/directui/services/NumberedFileName.h"
#include "engine/filesystem/documents/IXmlElement.h"
#include "engine/filesystem/ILogFile.h"

#include <string>

namespace RVGameEngine {
namespace DirectUI {

namespace {

// More frames than any animation has; a larger count from a description is
// a fault, not a reason to make that many images.
constexpr int32_t kMaxFrameCount = 1024;

int32_t FrameCountFrom(Common::IXmlElement* element)
{
    const int32_t count = element->GetAttributeInt(L"FrameCount");
    if (count > kMaxFrameCount) {
        FileSystem::ILogFile_GetInstance()->Log(FileSystem::LOG_LEVEL_WARNING,
                                                 L"AnimationBox: frame count %d limited to %d", count, kMaxFrameCount);
        return kMaxFrameCount;
    }
    return count;
}

} // namespace

void CAnimationBox::AddFrame(IUIImage* image) { m_frames.push_back(ImagePointer(image)); }
void CAnimationBox::Resume() { m_paused = false; }

void CAnimationBox::Play(int32_t mode)
{
    m_mode = mode;
    m_elapsedMs = 0;
    m_currentFrame = 0;
    m_reportedLoop = -1;
    m_playing = true;
    m_paused = false;
}

bool CAnimationBox::IsPlaying() { return m_playing; }
void CAnimationBox::Pause() { m_paused = true; }
int32_t CAnimationBox::GetFramesPerSecond() { return m_framesPerSecond; }
void CAnimationBox::SetFramesPerSecond(int32_t framesPerSecond) { m_framesPerSecond = framesPerSecond; }
bool CAnimationBox::IsRunning() { return m_playing; }

void CAnimationBox::PrepareFrames()
{
    for (const ImagePointer& frame : m_frames) {
        if (!frame.IsNull())
            frame->GetWidth();
    }
}

void CAnimationBox::NotifyFrames()
{
    for (const ImagePointer& frame : m_frames) {
        if (!frame.IsNull())
            frame->NotifyDriver();
    }
}

void CAnimationBox::ClearFrames()
{
    NotifyFrames();
    m_frames.clear();
}

void CAnimationBox::ResetBackgroundImage() {}

void CAnimationBox::LoadAttributes(Common::IXmlElement* element)
{
    CUIWindow::LoadAttributes(element);
    if (element == nullptr)
        return;
    const int32_t frameCount = FrameCountFrom(element);
    m_framesPerSecond = element->GetAttributeInt(L"FramePerSecond");
    m_paused = element->GetAttributeBool(L"Pause");
    if (element->HasAttribute(L"FilenamePattern"))
        LoadNumberedFiles(element, frameCount);
    else if (!LoadStrip(element, frameCount))
        LoadChildFrames(element, frameCount);
    Invalidate();
}

// Frames from numbered files; the box takes the first picture's size. A
// pattern that is not one integer field loads nothing.
void CAnimationBox::LoadNumberedFiles(Common::IXmlElement* element, int32_t frameCount)
{
    const wchar_t* pattern = element->GetAttribute(L"FilenamePattern");
    const int32_t first = element->HasAttribute(L"StartFrameNumber") ? element->GetAttributeInt(L"StartFrameNumber") : 1;
    IUISystem* system = GetUISystem();
    for (int32_t i = 0; i < frameCount; ++i) {
        std::wstring fileName;
        if (!FormatNumberedFileName(pattern, first + i, fileName)) {
            FileSystem::ILogFile_GetInstance()->Log(FileSystem::LOG_LEVEL_WARNING,
                                                     L"AnimationBox <%ls>: file name pattern refused", GetFullName());
            return;
        }
        ImagePointer image(IImage_Create(system != nullptr ? system->GetDriver() : nullptr));
        if (image.IsNull())
            return;
        image->Load(fileName.c_str());
        m_frames.push_back(image);
        if (i == 0) {
            SetWidth(image->GetImageWidth());
            SetHeight(image->GetImageHeight());
        }
    }
}

// Frames cut from one strip of equal cells; the box takes one cell's size.
bool CAnimationBox::LoadStrip(Common::IXmlElement* element, int32_t frameCount)
{
    ImagePointer strip(LoadImageFromXml(element, L"Smart"));
    if (strip.IsNull() || frameCount <= 0)
        return false;
    const int32_t cellWidth = strip->GetImageWidth() / frameCount;
    const int32_t height = strip->GetImageHeight();
    for (int32_t i = 0; i < frameCount; ++i) {
        ImagePointer cell(LoadImageFromXml(element, L"Smart"));
        if (cell.IsNull())
            break;
        cell->SetSubRect(true, i * cellWidth, 0, cellWidth, height);
        m_frames.push_back(cell);
    }
    SetWidth(cellWidth);
    SetHeight(height);
    return true;
}

void CAnimationBox::LoadChildFrames(Common::IXmlElement* element, int32_t frameCount)
{
    for (int32_t i = 0; i < frameCount; ++i) {
        const std::wstring tag = L"Frame" + std::to_wstring(i);
        m_frames.push_back(ImagePointer(LoadImageFromXml(element, tag.c_str())));
    }
}

// The frame shown after the elapsed time, before the ending mode applies.
int32_t CAnimationBox::FrameAt(int64_t elapsedMs)
{
    const double frame = static_cast<double>(m_framesPerSecond) * (static_cast<double>(elapsedMs) / 1000.0);
    // Past the last frame is all the modes need to know.
    if (frame >= static_cast<double>(INT32_MAX))
        return INT32_MAX;
    return frame <= static_cast<double>(INT32_MIN) ? INT32_MIN : static_cast<int32_t>(frame);
}

void CAnimationBox::RaiseEnd()
{
    tagAnimationBoxAnimationEndEventArgs args;
    Fire(kAnimationBoxAnimationEndEvent, static_cast<IAnimationBox*>(this), &args);
}

void CAnimationBox::EndPlaying()
{
    m_playing = false;
    RaiseEnd();
}

// A played loop reports each pass once, when the pass reaches its last frame
// (or a tick steps past it); it never stops playing. A box that was never
// played loops without a word.
void CAnimationBox::ReportLoopEnd(int32_t frame, int32_t count)
{
    // The last pass whose last frame has been reached, -1 before the first.
    const int64_t ended = (static_cast<int64_t>(frame) + 1) / count - 1;
    if (!m_playing || ended <= m_reportedLoop)
        return;
    m_reportedLoop = static_cast<int32_t>(ended); // at most INT32_MAX / count
    RaiseEnd();
}

void CAnimationBox::OnFrameMove(int32_t elapsedMs)
{
    if (m_paused)
        return;
    m_elapsedMs += elapsedMs;
    if (m_frames.empty())
        return;
    const int32_t count = static_cast<int32_t>(m_frames.size());
    int32_t frame = FrameAt(m_elapsedMs);
    switch (m_mode) {
    case ANIMATION_MODE_LOOP:
        ReportLoopEnd(frame, count);
        frame %= count;
        break;
    case ANIMATION_MODE_HOLD_LAST:
        if (frame >= count) {
            frame = count - 1;
            if (m_playing)
                EndPlaying();
        }
        break;
    case ANIMATION_MODE_CLEAR:
    case ANIMATION_MODE_CLEAR_AND_HIDE:
        if (frame >= count) {
            frame = count;
            if (m_playing) {
                EndPlaying();
                NotifyFrames();
                if (m_mode == ANIMATION_MODE_CLEAR_AND_HIDE)
                    Hide();
            }
        }
        break;
    default:
        break;
    }
    if (frame != m_currentFrame) {
        m_currentFrame = frame;
        Invalidate();
    }
}

void CAnimationBox::OnPaint()
{
    if (!IsVisible() || m_currentFrame < 0 || m_currentFrame >= static_cast<int32_t>(m_frames.size()))
        return;
    IUIImage* frame = m_frames[static_cast<size_t>(m_currentFrame)].Get();
    if (frame != nullptr)
        frame->DrawStretched(GetAnchoredX(), GetAnchoredY(), GetWidth(), GetHeight(), GetBackgroundImageColor());
}

} // namespace DirectUI
} // namespace RVGameEngine
