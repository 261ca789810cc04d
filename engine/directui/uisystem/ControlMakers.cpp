#include "engine/directui/uisystem/ControlMakers.h"

#include "engine/common/base/LogTextFunctions.h"
#include "engine/filesystem/ILogFile.h"

#include <cwchar>

namespace RVGameEngine {
namespace DirectUI {

namespace {

struct tagControlType
{
    const wchar_t* elementName;
    ControlMaker make;
    // The missing maker has been reported.
    bool reported;
};

// Every element name a description may use for a control, in the order they
// are tried. A type without a maker is known but has not been registered.
tagControlType g_controlTypes[] = {
    {L"Dialog", nullptr, false},
    {L"Panel", nullptr, false},
    {L"Label", nullptr, false},
    {L"Button", nullptr, false},
    {L"CheckBox", nullptr, false},
    {L"ProcessBar", nullptr, false},
    {L"ScrollBar", nullptr, false},
    {L"HScrollBar", nullptr, false},
    {L"EditBox", nullptr, false},
    {L"OutputBox", nullptr, false},
    {L"AppPanel", nullptr, false},
    {L"Digits", nullptr, false},
    {L"ListView", nullptr, false},
    {L"ListViewEx", nullptr, false},
    {L"WebControl", nullptr, false},
    {L"AnimationBox", nullptr, false},
    {L"TrackBar", nullptr, false},
    {L"RichOutputBox", nullptr, false},
    {L"RichLabel", nullptr, false},
    {L"MultilineEditBox", nullptr, false},
    {L"HotKeyBox", nullptr, false},
};

// A description naming a control whose maker nobody registered loses the
// element and everything in it: said once per type, naming the call that
// was left out, instead of a window tree that is silently empty.
void ReportMissingMaker(tagControlType& type)
{
    if (type.reported)
        return;
    type.reported = true;
    const bool web = wcscmp(type.elementName, L"WebControl") == 0;
    FileSystem::ILogFile_GetInstance()->Log(
        FileSystem::LOG_LEVEL_ERROR,
        L"Control type %s has no maker: %s was not called (engine start-up calls it); its elements are skipped",
        type.elementName, web ? L"RVGameEngine::DirectUI::RegisterWebControl()" : L"RVGameEngine::DirectUI::RegisterControls()");
}

} // namespace

CUIWindow* CreateControlByElementName(const wchar_t* elementName)
{
    if (elementName == nullptr)
        return nullptr;
    for (tagControlType& type : g_controlTypes) {
        if (wcscmp(type.elementName, elementName) != 0)
            continue;
        if (type.make != nullptr)
            return type.make();
        ReportMissingMaker(type);
        return nullptr;
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
            type.reported = false;
            return true;
        }
    }
    // A maker whose name the table lacks would never be called: said once,
    // where it is registered, rather than by every description naming it.
    FileSystem::ILogFile_GetInstance()->Log(FileSystem::LOG_LEVEL_ERROR,
                                            L"No control type is named %s: its maker is refused",
                                            Common::LoggableText(elementName).c_str());
    return false;
}

} // namespace DirectUI
} // namespace RVGameEngine
