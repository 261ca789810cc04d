#include "engine/directui/controls/CUIHelper.h"

#include "engine/directui/services/NumberedFileName.h"
#include "engine/filesystem/ILogFile.h"

#include <string>

namespace RVGameEngine {
namespace DirectUI {

namespace {

int FrameWidthOf(const CUIHelper::Ptr<IUIImage>& strip, int count)
{
    return strip && count > 0 ? strip->GetImageWidth() / count : 0;
}

} // namespace

template <typename Interface>
IUIHelper::Ptr<Interface> CUIHelper::Create(const System& system, const wchar_t* elementName)
{
    if (!system)
        return Ptr<Interface>();
    Ptr<IUIWindow> window(system->CreateControl(elementName));
    Ptr<Interface> control(dynamic_cast<Interface*>(window.Get()));
    if (control)
        control->OnCreated();
    return control;
}

IUIHelper::Ptr<IUIImage> CUIHelper::CreateImage(System system, const wchar_t* path)
{
    Ptr<IUIImage> image(IImage_Create(system ? system->GetDriver() : nullptr));
    if (image)
        image->Load(path);
    return image;
}

IUIHelper::Ptr<IUIImage> CUIHelper::CreateSubImage(System system, const wchar_t* path, int x, int y, int width,
                                                   int height)
{
    Ptr<IUIImage> image = CreateImage(system, path);
    if (image)
        image->SetSubRect(true, x, y, width, height);
    return image;
}

CUIHelper::Frames CUIHelper::CutStrip(const System& system, const wchar_t* path, int count, int frameWidth)
{
    const Ptr<IUIImage> strip = CreateImage(system, path);
    if (frameWidth < 0)
        frameWidth = FrameWidthOf(strip, count);
    const int height = strip ? strip->GetImageHeight() : 0;
    Frames frames;
    for (int k = 0; k < count; ++k)
        frames.push_back(CreateSubImage(system, path, k * frameWidth, 0, frameWidth, height));
    return frames;
}

IUIHelper::Ptr<ILabel> CUIHelper::CreateLabel(System system) { return Create<ILabel>(system, L"Label"); }
IUIHelper::Ptr<IPanel> CUIHelper::CreatePanel(System system) { return Create<IPanel>(system, L"Panel"); }
IUIHelper::Ptr<IDialog> CUIHelper::CreateDialog(System system) { return Create<IDialog>(system, L"Dialog"); }
IUIHelper::Ptr<IButton> CUIHelper::CreateButton(System system) { return Create<IButton>(system, L"Button"); }
IUIHelper::Ptr<ICheckBox> CUIHelper::CreateCheckBox(System system) { return Create<ICheckBox>(system, L"CheckBox"); }
IUIHelper::Ptr<IDigits> CUIHelper::CreateDigits(System system) { return Create<IDigits>(system, L"Digits"); }
IUIHelper::Ptr<IEditBox> CUIHelper::CreateEditBox(System system) { return Create<IEditBox>(system, L"EditBox"); }
IUIHelper::Ptr<IRichLabel> CUIHelper::CreateRichLabel(System system) { return Create<IRichLabel>(system, L"RichLabel"); }

IUIHelper::Ptr<IRichOutputBox> CUIHelper::CreateRichOutputBox(System system)
{
    return Create<IRichOutputBox>(system, L"RichOutputBox");
}

IUIHelper::Ptr<IAnimationBox> CUIHelper::CreateAnimationBox(System system)
{
    return Create<IAnimationBox>(system, L"AnimationBox");
}

IUIHelper::Ptr<IScrollBar> CUIHelper::CreateScrollBar(System system)
{
    return Create<IScrollBar>(system, L"ScrollBar");
}

IUIHelper::Ptr<IPanel> CUIHelper::CreateImagePanel(System system, const wchar_t* path)
{
    const Ptr<IUIImage> image = CreateImage(system, path);
    Ptr<IPanel> panel = CreatePanel(system);
    if (panel && image) {
        panel->SetBackgroundImage(image.Get());
        panel->SetRect(0, 0, image->GetImageWidth(), image->GetImageHeight());
    }
    return panel;
}

IUIHelper::Ptr<IDialog> CUIHelper::CreateImageDialog(System system, const wchar_t* path)
{
    const Ptr<IUIImage> image = CreateImage(system, path);
    Ptr<IDialog> dialog = CreateDialog(system);
    if (dialog && image) {
        dialog->SetBackgroundImage(image.Get());
        dialog->SetRect(0, 0, image->GetImageWidth(), image->GetImageHeight());
    }
    return dialog;
}

IUIHelper::Ptr<IButton> CUIHelper::CreateImageButton(System system, const wchar_t* path)
{
    const Ptr<IUIImage> image = CreateImage(system, path);
    Ptr<IButton> button = CreateButton(system);
    if (button && image) {
        button->SetUpImage(image.Get());
        button->SetHoverImage(image.Get());
        button->SetDownImage(image.Get());
        button->SetDisabledImage(image.Get());
        button->SetRect(0, 0, image->GetImageWidth(), image->GetImageHeight());
    }
    return button;
}

IUIHelper::Ptr<IButton> CUIHelper::CreateSmartButton(System system, const wchar_t* path)
{
    const Frames frames = CutStrip(system, path, 4);
    Ptr<IButton> button = CreateButton(system);
    if (!button)
        return button;
    button->SetUpImage(frames[0].Get());
    button->SetHoverImage(frames[1].Get());
    button->SetDownImage(frames[2].Get());
    button->SetDisabledImage(frames[3].Get());
    button->SetRect(0, 0, frames[0] ? frames[0]->GetWidth() : 0, frames[0] ? frames[0]->GetHeight() : 0);
    return button;
}

IUIHelper::Ptr<ICheckBox> CUIHelper::CreateStripCheckBox(const System& system, const wchar_t* path, int count,
                                                         void (ICheckBox::*const* setters)(IUIImage*))
{
    const Frames frames = CutStrip(system, path, count);
    Ptr<ICheckBox> box = CreateCheckBox(system);
    if (!box)
        return box;
    for (int k = 0; k < count; ++k)
        (box.Get()->*setters[k])(frames[static_cast<size_t>(k)].Get());
    box->SetRect(0, 0, frames[0] ? frames[0]->GetWidth() : 0, frames[0] ? frames[0]->GetHeight() : 0);
    return box;
}

IUIHelper::Ptr<ICheckBox> CUIHelper::CreateSmart2CheckBox(System system, const wchar_t* path)
{
    static void (ICheckBox::*const kSetters[])(IUIImage*) = {&ICheckBox::SetUncheckedImage, &ICheckBox::SetCheckedImage};
    return CreateStripCheckBox(system, path, 2, kSetters);
}

IUIHelper::Ptr<ICheckBox> CUIHelper::CreateSmart4CheckBox(System system, const wchar_t* path)
{
    static void (ICheckBox::*const kSetters[])(IUIImage*) = {
        &ICheckBox::SetUncheckedImage, &ICheckBox::SetUncheckedHoverImage, &ICheckBox::SetCheckedImage,
        &ICheckBox::SetUncheckedDisabledImage};
    return CreateStripCheckBox(system, path, 4, kSetters);
}

IUIHelper::Ptr<ICheckBox> CUIHelper::CreateSmart6CheckBox(System system, const wchar_t* path)
{
    static void (ICheckBox::*const kSetters[])(IUIImage*) = {
        &ICheckBox::SetUncheckedImage, &ICheckBox::SetUncheckedHoverImage, &ICheckBox::SetUncheckedDisabledImage,
        &ICheckBox::SetCheckedImage,   &ICheckBox::SetCheckedHoverImage,   &ICheckBox::SetCheckedDisabledImage};
    return CreateStripCheckBox(system, path, 6, kSetters);
}

IUIHelper::Ptr<IDigits> CUIHelper::CreateImageDigits(System system, const wchar_t* path)
{
    const Ptr<IUIImage> image = CreateImage(system, path);
    Ptr<IDigits> digits = CreateDigits(system);
    if (digits)
        digits->SetDigitsImage(image.Get());
    return digits;
}

IUIHelper::Ptr<IAnimationBox> CUIHelper::CreateStripAnimationBox(System system, int frameCount, int framesPerSecond,
                                                                 const wchar_t* path)
{
    Ptr<IAnimationBox> box = CreateAnimationBox(system);
    if (!box)
        return box;
    box->SetFramesPerSecond(framesPerSecond);
    if (frameCount < 1)
        return box;
    const Frames frames = CutStrip(system, path, frameCount);
    for (const Ptr<IUIImage>& frame : frames)
        box->AddFrame(frame.Get());
    box->SetRect(0, 0, frames[0] ? frames[0]->GetWidth() : 0, frames[0] ? frames[0]->GetHeight() : 0);
    return box;
}

// One file per frame; a pattern that is not one integer field, or a name
// too long to hold, ends the frames there with a log line.
IUIHelper::Ptr<IAnimationBox> CUIHelper::CreatePatternAnimationBox(System system, int frameCount, int framesPerSecond,
                                                                   int firstNumber, const wchar_t* pattern)
{
    Ptr<IAnimationBox> box = CreateAnimationBox(system);
    if (!box)
        return box;
    box->SetFramesPerSecond(framesPerSecond);
    for (int i = 0; i < frameCount; ++i) {
        std::wstring name;
        if (!FormatNumberedFileName(pattern, firstNumber + i, name)) {
            FileSystem::ILogFile_GetInstance()->Log(FileSystem::LOG_LEVEL_WARNING,
                                                    L"UI helper: animation file pattern refused");
            break;
        }
        const Ptr<IUIImage> frame = CreateImage(system, name.c_str());
        box->AddFrame(frame.Get());
        if (i == 0 && frame) {
            box->SetWidth(frame->GetImageWidth());
            box->SetHeight(frame->GetImageHeight());
        }
    }
    return box;
}

IUIHelper::Ptr<IScrollBar> CUIHelper::CreateImageScrollBar(System system, const wchar_t* backPath,
                                                           const wchar_t* upPath, const wchar_t* downPath,
                                                           const wchar_t* barPath)
{
    Ptr<IScrollBar> bar = CreateScrollBar(system);
    if (!bar)
        return bar;
    const Ptr<IUIImage> back = CreateImage(system, backPath);
    // The bar strip's frame width serves all three strips.
    const int frameWidth = FrameWidthOf(CreateImage(system, barPath), 4);
    const Frames up = CutStrip(system, upPath, 4, frameWidth);
    const Frames down = CutStrip(system, downPath, 4, frameWidth);
    const Frames thumb = CutStrip(system, barPath, 4, frameWidth);
    bar->SetBackImage(back.Get());
    bar->SetUpUpImage(up[0].Get());
    bar->SetUpDownImage(up[1].Get());
    bar->SetUpHoverImage(up[2].Get());
    bar->SetUpDisabledImage(up[3].Get());
    bar->SetDownUpImage(down[0].Get());
    bar->SetDownDownImage(down[1].Get());
    bar->SetDownHoverImage(down[2].Get());
    bar->SetDownDisabledImage(down[3].Get());
    bar->SetBarUpImage(thumb[2].Get());
    bar->SetBarDownImage(thumb[1].Get());
    bar->SetBarHoverImage(thumb[0].Get());
    bar->SetBarDisabledImage(thumb[3].Get());
    bar->SetRect(0, 0, frameWidth, 10 * frameWidth);
    bar->CreateButtons();
    return bar;
}

void CUIHelper::SwapWindowRects(Ptr<IUIWindow> first, Ptr<IUIWindow> second)
{
    if (!first || !second)
        return;
    const int x = first->GetX(), y = first->GetY(), width = first->GetWidth(), height = first->GetHeight();
    first->SetRect(second->GetX(), second->GetY(), second->GetWidth(), second->GetHeight());
    second->SetRect(x, y, width, height);
}

void CUIHelper::SetWindowBackgroundImage(Ptr<IUIWindow> window, System system, const wchar_t* path)
{
    if (!window)
        return;
    const Ptr<IUIImage> image = CreateImage(system, path);
    window->SetBackgroundImage(image.Get());
}

IUIHelper* IUIHelper_GetInstance()
{
    static CUIHelper helper;
    return &helper;
}

} // namespace DirectUI
} // namespace RVGameEngine
