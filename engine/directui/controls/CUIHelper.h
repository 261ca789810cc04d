#pragma once

#include "engine/directui/controls/IUIHelper.h"

#include <vector>

namespace RVGameEngine {
namespace DirectUI {

class CUIHelper : public IUIHelper
{
public:
    Ptr<IUIImage> CreateSubImage(System system, const wchar_t* path, int x, int y, int width, int height) override;
    Ptr<IUIImage> CreateImage(System system, const wchar_t* path) override;
    Ptr<ILabel> CreateLabel(System system) override;
    Ptr<IPanel> CreateImagePanel(System system, const wchar_t* path) override;
    Ptr<IPanel> CreatePanel(System system) override;
    Ptr<IDialog> CreateImageDialog(System system, const wchar_t* path) override;
    Ptr<IDialog> CreateDialog(System system) override;
    Ptr<IButton> CreateSmartButton(System system, const wchar_t* path) override;
    Ptr<IButton> CreateButton(System system) override;
    Ptr<IButton> CreateImageButton(System system, const wchar_t* path) override;
    Ptr<ICheckBox> CreateCheckBox(System system) override;
    Ptr<ICheckBox> CreateSmart2CheckBox(System system, const wchar_t* path) override;
    Ptr<ICheckBox> CreateSmart6CheckBox(System system, const wchar_t* path) override;
    Ptr<IDigits> CreateImageDigits(System system, const wchar_t* path) override;
    Ptr<IDigits> CreateDigits(System system) override;
    Ptr<IRichOutputBox> CreateRichOutputBox(System system) override;
    Ptr<IRichLabel> CreateRichLabel(System system) override;
    Ptr<IAnimationBox> CreateAnimationBox(System system) override;
    Ptr<IAnimationBox> CreateStripAnimationBox(System system, int frameCount, int framesPerSecond,
                                               const wchar_t* path) override;
    Ptr<IAnimationBox> CreatePatternAnimationBox(System system, int frameCount, int framesPerSecond, int firstNumber,
                                                 const wchar_t* pattern) override;
    Ptr<IScrollBar> CreateImageScrollBar(System system, const wchar_t* backPath, const wchar_t* upPath,
                                         const wchar_t* downPath, const wchar_t* barPath) override;
    Ptr<IScrollBar> CreateScrollBar(System system) override;
    void SwapWindowRects(Ptr<IUIWindow> first, Ptr<IUIWindow> second) override;
    void SetWindowBackgroundImage(Ptr<IUIWindow> window, System system, const wchar_t* path) override;
    Ptr<ICheckBox> CreateSmart4CheckBox(System system, const wchar_t* path) override;
    Ptr<IEditBox> CreateEditBox(System system) override;

private:
    using Frames = std::vector<Ptr<IUIImage>>;

    // A control of the element name, typed and told it was created.
    template <typename Interface>
    Ptr<Interface> Create(const System& system, const wchar_t* elementName);
    // The strip cut into `count` equal frames of `frameWidth` (its own width
    // divided by the count unless given) and the strip's own height.
    Frames CutStrip(const System& system, const wchar_t* path, int count, int frameWidth = -1);
    Ptr<ICheckBox> CreateStripCheckBox(const System& system, const wchar_t* path, int count,
                                       void (ICheckBox::*const* setters)(IUIImage*));
};

} // namespace DirectUI
} // namespace RVGameEngine
