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
};

// Every element name a description may use for a control, in the order they
// are tried. A type without a maker is known but has not been registered.
tagControlType g_controlTypes[] = {
    {L"Dialog", nullptr},
    {L"Panel", nullptr},
    {L"Label", nullptr},
    {L"Button", nullptr},
    {L"CheckBox", nullptr},
    {L"ProcessBar", nullptr},
    {L"ScrollBar", nullptr},
    {L"HScrollBar", nullptr},
    {L"EditBox", nullptr},
    {L"OutputBox", nullptr},
    {L"AppPanel", nullptr},
    {L"Digits", nullptr},
    {L"ListView", nullptr},
    {L"ListViewEx", nullptr},
    {L"WebControl", nullptr},
    {L"AnimationBox", nullptr},
    {L"TrackBar", nullptr},
    {L"RichOutputBox", nullptr},
    {L"RichLabel", nullptr},
    {L"MultilineEditBox", nullptr},
    {L"HotKeyBox", nullptr},
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
    // A maker whose name the table lacks would never be called: said once,
    // where it is registered, rather than by every description naming it.
    FileSystem::ILogFile_GetInstance()->Log(FileSystem::LOG_LEVEL_ERROR,
                                            L"No control type is named %s: its maker is refused",
                                            Common::LoggableText(elementName).c_str());
    return false;
}

} // namespace DirectUI
} // namespace RVGameEngine
