#include "installer/ui/MessageDialogFunctions.h"

#include "installer/ui/CCommonDialog.h"

#include "engine/common/base/ISimpleMessagePump.h"
#include "engine/directui/frame/IFrameManager.h"

#include <algorithm>
#include <cwchar>
#include <new>
#include <vector>

using namespace RVGameEngine::DirectUI;
using RVGameEngine::Common::ISimpleMessagePump_GetInstance;
using RVGameEngine::Common::tagEventArgs;
using RVGameEngine::Common::tagSimpleMessagePumpSimpleMessageReceivedEventArgs;
using RVGameEngine::Common::TIntrusivePointer;

namespace {

struct tagHeldDialog
{
    TIntrusivePointer<CCommonDialog> dialog;
    bool deleteRequested = false;
};

std::vector<tagHeldDialog>& HeldDialogs()
{
    static std::vector<tagHeldDialog> dialogs;
    return dialogs;
}

// The message carries the dialog's address; it is only compared with the
// dialogs held here, never followed.
void OnSimpleMessage(void*, tagEventArgs* args)
{
    const auto* message = static_cast<tagSimpleMessagePumpSimpleMessageReceivedEventArgs*>(args);
    if (message == nullptr || std::wcscmp(message->name, kDeleteSelfMessage) != 0)
        return;
    for (tagHeldDialog& held : HeldDialogs())
        if (static_cast<uint32_t>(reinterpret_cast<uintptr_t>(held.dialog.Get())) == message->value1)
            held.deleteRequested = true;
}

void OnManagerTick(void*, tagEventArgs*)
{
    ReleaseClosedDialogs();
}

void WatchForClosedDialogsOnce()
{
    static bool watching = false;
    if (watching)
        return;
    watching = true;
    ISimpleMessagePump_GetInstance()->AddGlobalFunctionDelegate(
        RVGameEngine::Common::ISimpleMessagePump::SimpleMessageReceived, OnSimpleMessage);
    if (IFrameManager* manager = IFrameManager_GetInstance())
        manager->AddGlobalFunctionDelegate(FRAME_MANAGER_EVENT_FRAME_MOVE, OnManagerTick);
}

CCommonDialog* Hold(CCommonDialog* dialog)
{
    WatchForClosedDialogsOnce();
    HeldDialogs().push_back({TIntrusivePointer<CCommonDialog>(dialog), false});
    return dialog;
}

} // namespace

CCommonDialog* ShowMessageDialog(const TIntrusivePointer<IFrame>& owner, const wchar_t* text)
{
    if (owner && owner->IsMinimized())
        return ShowMessageDialogTopMost(nullptr, text);
    CCommonDialog* dialog = new (std::nothrow) CCommonDialog();
    if (dialog == nullptr)
        return nullptr;
    Hold(dialog);
    dialog->Create(owner, COMMON_DIALOG_OK);
    dialog->SetMessage(text);
    dialog->ShowOverOwner();
    return dialog;
}

CCommonDialog* ShowMessageDialogTopMost(HWND window, const wchar_t* text)
{
    CCommonDialog* dialog = new (std::nothrow) CCommonDialog();
    if (dialog == nullptr)
        return nullptr;
    Hold(dialog);
    dialog->Create(TIntrusivePointer<IFrame>(), COMMON_DIALOG_OK);
    dialog->SetMessage(text);
    dialog->PlaceOnScreen(window);
    dialog->SetTopMost(true);
    dialog->ShowOverOwner();
    return dialog;
}

void ReleaseClosedDialogs()
{
    ISimpleMessagePump_GetInstance()->Dispatch();
    // Released only once the window is gone, so that the frame ends its modal
    // state (re-enabling the owner) itself and is destroyed exactly once.
    std::vector<TIntrusivePointer<CCommonDialog>> released;
    std::vector<tagHeldDialog>& held = HeldDialogs();
    for (auto it = held.begin(); it != held.end();) {
        IFrame* frame = it->dialog->GetFrame();
        if (it->deleteRequested && (frame == nullptr || frame->GetHandle() == nullptr)) {
            released.push_back(it->dialog);
            it = held.erase(it);
        } else {
            ++it;
        }
    }
    // The last references go outside the list's walk.
    released.clear();
}

size_t GetOpenDialogCount()
{
    return HeldDialogs().size();
}
