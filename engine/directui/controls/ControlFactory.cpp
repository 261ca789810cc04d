#include "engine/directui/controls/ControlFactory.h"

#include "engine/directui/controls/CEditBox.h"
#include "engine/directui/controls/CHotKeyBox.h"
#include "engine/directui/controls/CLabel.h"
#include "engine/directui/controls/CMultilineEditBox.h"
#include "engine/directui/controls/COutputBox.h"
#include "engine/directui/controls/CPanel.h"
#include "engine/directui/controls/CRichLabel.h"

#include <cwchar>
#include <new>

namespace RVGameEngine {
namespace DirectUI {

namespace {

using ControlMaker = CUIWindow* (*)();

template <typename Control>
CUIWindow* Make()
{
    return new (std::nothrow) Control();
}

struct tagControlType
{
    const wchar_t* elementName;
    ControlMaker make;
};

// Every element name a description may use for a control, in the order they
// are tried. A type without a maker is known but not built in yet.
const tagControlType kControlTypes[] = {
    {L"Dialog", nullptr},
    {L"Panel", &Make<CPanel>},
    {L"Label", &Make<CLabel>},
    {L"Button", nullptr},
    {L"CheckBox", nullptr},
    {L"ProcessBar", nullptr},
    {L"ScrollBar", nullptr},
    {L"HScrollBar", nullptr},
    {L"EditBox", &Make<CEditBox>},
    {L"OutputBox", &Make<COutputBox>},
    {L"AppPanel", nullptr},
    {L"Digits", nullptr},
    {L"ListView", nullptr},
    {L"ListViewEx", nullptr},
    {L"WebControl", nullptr},
    {L"AnimationBox", nullptr},
    {L"TrackBar", nullptr},
    {L"RichOutputBox", &Make<CRichOutputBox>},
    {L"RichLabel", &Make<CRichLabel>},
    {L"MultilineEditBox", &Make<CMultilineEditBox>},
    {L"HotKeyBox", &Make<CHotKeyBox>},
};

} // namespace

CUIWindow* CreateControlByElementName(const wchar_t* elementName)
{
    if (elementName == nullptr)
        return nullptr;
    for (const tagControlType& type : kControlTypes) {
        if (wcscmp(type.elementName, elementName) == 0)
            return type.make != nullptr ? type.make() : nullptr;
    }
    return nullptr;
}

} // namespace DirectUI
} // namespace RVGameEngine
