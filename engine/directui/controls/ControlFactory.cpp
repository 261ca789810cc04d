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
#include "engine/directui/uisystem/ControlMakers.h"

#include <new>

namespace RVGameEngine {
namespace DirectUI {

namespace {

template <typename Control>
CUIWindow* Make()
{
    return new (std::nothrow) Control();
}

struct tagControlMaker
{
    const wchar_t* elementName;
    ControlMaker make;
};

const tagControlMaker kControlMakers[] = {
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
    {L"AnimationBox", &Make<CAnimationBox>},
    {L"TrackBar", &Make<CTrackBar>},
    {L"RichOutputBox", &Make<CRichOutputBox>},
    {L"RichLabel", &Make<CRichLabel>},
    {L"MultilineEditBox", &Make<CMultilineEditBox>},
    {L"HotKeyBox", &Make<CHotKeyBox>},
};

} // namespace

void RegisterControls()
{
    for (const tagControlMaker& maker : kControlMakers)
        RegisterControlMaker(maker.elementName, maker.make);
}

} // namespace DirectUI
} // namespace RVGameEngine
