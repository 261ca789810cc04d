#include "engine/directui/controls/ControlFactory.h"

#include "engine/directui/controls/CAnimationBox.h"
#include "engine/directui/controls/CAppPanel.h"
#include "engine/directui/controls/CButton.h"
#include "engine/directui/controls/CCheckBox.h"
#include "engine/directui/controls/CDialog.h"
#include "engine/directui/controls/CDigits.h"
#include "engine/directui/controls/CEditBox.h"
#include "engine/directui/controls/CHScrollBar.h"
#include "engine/directui/controls/CHotKeyBox.h"
#include "engine/directui/controls/CLabel.h"
#include "engine/directui/controls/CListView.h"
#include "engine/directui/controls/CListViewEx.h"
#include "engine/directui/controls/CMultilineEditBox.h"
#include "engine/directui/controls/COutputBox.h"
#include "engine/directui/controls/CPanel.h"
#include "engine/directui/controls/CProcessBar.h"
#include "engine/directui/controls/CRichLabel.h"
#include "engine/directui/controls/CRichOutputBox.h"
#include "engine/directui/controls/CScrollBar.h"
#include "engine/directui/controls/CTrackBar.h"

#include <cwchar>
#include <new>

namespace RVGameEngine {
namespace DirectUI {

namespace {

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
// are tried. A type without a maker is known but has not been registered.
tagControlType g_controlTypes[] = {
    {L"Dialog", &Make<CDialog>},
    {L"Panel", &Make<CPanel>},
    {L"Label", &Make<CLabel>},
    {L"Button", &Make<CButton>},
    {L"CheckBox", &Make<CCheckBox>},
    {L"ProcessBar", &Make<CProcessBar>},
    {L"ScrollBar", &Make<CScrollBar>},
    {L"HScrollBar", &Make<CHScrollBar>},
    {L"EditBox", &Make<CEditBox>},
    {L"OutputBox", &Make<COutputBox>},
    {L"AppPanel", &Make<CAppPanel>},
    {L"Digits", &Make<CDigits>},
    {L"ListView", &Make<CListView>},
    {L"ListViewEx", &Make<CListViewEx>},
    {L"WebControl", nullptr},
    {L"AnimationBox", &Make<CAnimationBox>},
    {L"TrackBar", &Make<CTrackBar>},
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
    for (const tagControlType& type : g_controlTypes) {
        if (wcscmp(type.elementName, elementName) == 0)
            return type.make != nullptr ? type.make() : nullptr;
    }
    return nullptr;
}

bool RegisterControlMaker(const wchar_t* elementName, ControlMaker make)
{
    if (elementName == nullptr)
        return false;
    for (tagControlType& type : g_controlTypes) {
        if (wcscmp(type.elementName, elementName) == 0) {
            type.make = make;
            return true;
        }
    }
    return false;
}

} // namespace DirectUI
} // namespace RVGameEngine
