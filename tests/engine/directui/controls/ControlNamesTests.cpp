#include "engine/directui/controls/IUIHelper.h"
#include "engine/directui/controls/IAppPanel.h"
#include "engine/directui/controls/IHScrollBar.h"
#include "engine/directui/controls/IHotKeyBox.h"
#include "engine/directui/controls/IListView.h"
#include "engine/directui/controls/IListViewEx.h"
#include "engine/directui/controls/IMultilineEditBox.h"
#include "engine/directui/controls/IOutputBox.h"
#include "engine/directui/controls/IProcessBar.h"
#include "engine/directui/controls/ITrackBar.h"
#include "engine/directui/controls/IWebControl.h"
#include "engine/webui/CWebControl.h"
#include "tests/engine/directui/uisystem/UITestSupport.h"

using namespace UITest;

namespace {

template <typename Interface>
bool Is(IUIWindow* window)
{
    return dynamic_cast<Interface*>(window) != nullptr;
}

struct ControlName
{
    const wchar_t* element;
    bool (*hasItsInterface)(IUIWindow*);
};

} // namespace

// Every element name of a description makes its own control, which answers
// to its own interface; a name of another case makes nothing.
TEST(ControlNames, EachOfTheTwentyOneNamesMakesItsControl)
{
    RegisterWebControl();
    const ControlName names[] = {
        {L"Dialog", &Is<IDialog>},         {L"Panel", &Is<IPanel>},
        {L"Label", &Is<ILabel>},           {L"Button", &Is<IButton>},
        {L"CheckBox", &Is<ICheckBox>},     {L"ProcessBar", &Is<IProcessBar>},
        {L"ScrollBar", &Is<IScrollBar>},   {L"HScrollBar", &Is<IHScrollBar>},
        {L"EditBox", &Is<IEditBox>},       {L"OutputBox", &Is<IOutputBox>},
        {L"AppPanel", &Is<IAppPanel>},     {L"Digits", &Is<IDigits>},
        {L"ListView", &Is<IListView>},     {L"ListViewEx", &Is<IListViewEx>},
        {L"WebControl", &Is<IWebControl>}, {L"AnimationBox", &Is<IAnimationBox>},
        {L"TrackBar", &Is<ITrackBar>},     {L"RichOutputBox", &Is<IRichOutputBox>},
        {L"RichLabel", &Is<IRichLabel>},   {L"MultilineEditBox", &Is<IMultilineEditBox>},
        {L"HotKeyBox", &Is<IHotKeyBox>},
    };
    RecordedUI ui;
    std::wstring description = L"<Panel Name=\"all\">";
    for (const ControlName& name : names)
        description += L"<" + std::wstring(name.element) + L" Name=\"" + name.element + L"\"/>";
    description += L"<button Name=\"lower\"/></Panel>";
    ui.Load(description.c_str());
    for (const ControlName& name : names) {
        SCOPED_TRACE(testing::Message() << std::string(name.element, name.element + wcslen(name.element)));
        IUIWindow* window = ui.Root()->FindWindow(name.element);
        ASSERT_NE(window, nullptr);
        EXPECT_TRUE(name.hasItsInterface(window));
        EXPECT_STREQ(window->GetTypeName(), name.element);
    }
    EXPECT_EQ(ui.Root()->FindWindow(L"lower"), nullptr);
    // Each name is its own type: the two lists are told apart.
    EXPECT_FALSE(Is<IListViewEx>(ui.Root()->FindWindow(L"ListView")));
    EXPECT_FALSE(Is<IHScrollBar>(ui.Root()->FindWindow(L"ScrollBar")));
}
