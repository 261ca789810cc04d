#include "installer/ui/CCommonDialog.h"

#include "installer/ui/CCursorHelper.h"

#include "engine/common/base/ISimpleMessagePump.h"
#include "engine/directui/frame/IFrameManager.h"
#include "engine/directui/uisystem/IUIWindow.h"
#include "engine/directui/uisystem/tagColor.h"
#include "engine/filesystem/ILogFile.h"

using namespace RVGameEngine::DirectUI;
using RVGameEngine::Common::TIntrusivePointer;
using RVGameEngine::FileSystem::ILogFile_GetInstance;
using RVGameEngine::FileSystem::LOG_LEVEL_ERROR;

namespace {

constexpr DWORD kDialogStyle = WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
constexpr uint32_t kEscapeKey = VK_ESCAPE;
constexpr uint32_t kEnterKey = VK_RETURN;
const tagColor kMessageColor(74, 74, 75, 254);
constexpr const wchar_t* kMessageFont = L"Default_Bold";

const wchar_t* DescriptionOf(int32_t kind)
{
    switch (kind) {
    case COMMON_DIALOG_OK:
        return kCommonDialogOKFile;
    case COMMON_DIALOG_OK_CANCEL:
        return kCommonDialogOKCancelFile;
    default:
        return nullptr;
    }
}

} // namespace

CCommonDialog::~CCommonDialog()
{
    m_cancelButton.Reset();
    m_okButton.Reset();
    m_content.Reset();
    m_closeButton.Reset();
    m_frame.Reset();
    m_owner.Reset();
}

template <typename Interface>
TIntrusivePointer<Interface> CCommonDialog::FindControl(const wchar_t* name)
{
    IUIWindow* root = m_frame ? m_frame->GetRootWindow() : nullptr;
    IUIWindow* window = root != nullptr ? root->FindWindow(name) : nullptr;
    return TIntrusivePointer<Interface>(dynamic_cast<Interface*>(window));
}

void CCommonDialog::Create(const TIntrusivePointer<IFrame>& owner, int32_t kind)
{
    m_owner = owner;
    m_kind = kind;
    m_frame = IFrame_Create();
    if (!m_frame)
        return;
    CCursorHelper::GetInstance()->AttachFrame(m_frame);
    m_frame->Create(m_owner ? m_owner->GetHandle() : nullptr, kDialogStyle, 0);
    if (const wchar_t* description = DescriptionOf(kind))
        m_frame->LoadUI(description);
    m_frame->FitToContent();
    if (m_owner)
        m_frame->CenterOnFrame(m_owner.Get());
    else
        m_frame->CenterOnScreen();
    m_frame->SetName(kCommonDialogFrameName);
    m_frame->SetTitle(kCommonDialogTitle);
    m_frame->AddMemberFunctionDelegate(FRAME_EVENT_KEY_DOWN, this, &CCommonDialog::OnKeyDown);

    // Without its close button the dialog still closes on Enter and Escape.
    m_closeButton = FindControl<IButton>(L"ButtonClose");
    if (m_closeButton)
        m_closeButton->AddMemberFunctionDelegate(kButtonClickedEvent, this, &CCommonDialog::OnClose);
    else
        ILogFile_GetInstance()->Log(LOG_LEVEL_ERROR, L"The message dialog's description has no ButtonClose");
    m_content = FindControl<IRichLabel>(L"RichLabelContent");
    if (m_content) {
        m_content->SetTitleColor(kMessageColor);
        m_content->SetTitleFont(kMessageFont);
    }
    m_okButton = FindControl<IButton>(L"ButtonOK");
    if (m_okButton)
        m_okButton->AddMemberFunctionDelegate(kButtonClickedEvent, this, &CCommonDialog::OnOK);
    m_cancelButton = FindControl<IButton>(L"ButtonCancel");
    if (m_cancelButton)
        m_cancelButton->AddMemberFunctionDelegate(kButtonClickedEvent, this, &CCommonDialog::OnCancel);
}

void CCommonDialog::SetMessage(const wchar_t* text)
{
    if (!m_content) {
        ILogFile_GetInstance()->Log(LOG_LEVEL_ERROR, L"The message dialog has no RichLabelContent for: %s",
                                    text != nullptr ? text : L"");
        return;
    }
    m_content->SetTitle(text);
    m_content->SetY(kCommonDialogTextCentreY - m_content->GetContentHeight() / 2);
}

void CCommonDialog::PlaceOnScreen(HWND window)
{
    if (!m_frame)
        return;
    if (window != nullptr)
        m_frame->CenterOnWindows(&window, 1);
    else
        m_frame->CenterOnScreen();
}

void CCommonDialog::SetTopMost(bool topMost)
{
    if (m_frame)
        m_frame->SetTopMost(topMost);
}

void CCommonDialog::ShowOverOwner()
{
    m_active = true;
    if (m_frame)
        m_frame->ShowModeless(m_owner.Get());
}

void CCommonDialog::OnOK(void*, RVGameEngine::Common::tagEventArgs*)
{
    Finish(COMMON_DIALOG_RESULT_OK);
}

void CCommonDialog::OnCancel(void*, RVGameEngine::Common::tagEventArgs*)
{
    Finish(COMMON_DIALOG_RESULT_CANCEL);
}

void CCommonDialog::OnClose(void*, RVGameEngine::Common::tagEventArgs*)
{
    Finish(COMMON_DIALOG_RESULT_CANCEL);
}

void CCommonDialog::OnKeyDown(void* sender, RVGameEngine::Common::tagEventArgs* args)
{
    const auto* key = static_cast<tagFrameKeyEventArgs*>(args);
    if (key == nullptr)
        return;
    if (key->virtualKey == kEscapeKey)
        OnCancel(sender, args);
    else if (key->virtualKey == kEnterKey)
        OnOK(sender, args);
}

void CCommonDialog::Finish(int32_t result)
{
    m_result = result;
    if (m_frame)
        m_frame->PostMessage();
    PostDeleteSelf();
}

void CCommonDialog::PostDeleteSelf()
{
    if (!m_active || m_deletePosted)
        return;
    // The dialog itself is named by its address; whoever handles the message
    // only compares it with the dialogs it holds.
    RVGameEngine::Common::ISimpleMessagePump_GetInstance()->Post(
        kDeleteSelfMessage, static_cast<uint32_t>(reinterpret_cast<uintptr_t>(this)), 0, L"", L"");
    m_deletePosted = true;
}
