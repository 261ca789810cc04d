#pragma once

// The installer's message box: a small frame of its own over its owner frame
// (which it disables while open), with one message in a rich label. Showing
// it does not block; it closes on its buttons, Escape or Enter.

#include "engine/common/base/IReferenceCounted.h"
#include "engine/common/base/TIntrusivePointer.h"
#include "engine/directui/controls/IButton.h"
#include "engine/directui/controls/IRichLabel.h"
#include "engine/directui/frame/IFrame.h"

#include <windows.h>

#include <cstdint>

constexpr const wchar_t* kCommonDialogOKFile = L"Installer/UI/CommonDialog_OK.xml";
constexpr const wchar_t* kCommonDialogOKCancelFile = L"Installer/UI/CommonDialog_OK_Cancel.xml";
constexpr const wchar_t* kCommonDialogFrameName = L"CommonDialog";
constexpr const wchar_t* kCommonDialogTitle = L"提示";
constexpr const wchar_t* kDeleteSelfMessage = L"DeleteSelf";
// The message text block is centred on this line of the dialog.
constexpr int32_t kCommonDialogTextCentreY = 100;

enum enmCommonDialogKind : int32_t
{
    COMMON_DIALOG_OK = 0,
    COMMON_DIALOG_OK_CANCEL = 1,
};

enum enmCommonDialogResult : int32_t
{
    COMMON_DIALOG_RESULT_OK = 0,
    COMMON_DIALOG_RESULT_CANCEL = 1,
};

class CCommonDialog : public RVGameEngine::Common::IReferenceCounted
{
public:
    CCommonDialog() = default;
    ~CCommonDialog() override;

    void Create(const RVGameEngine::Common::TIntrusivePointer<RVGameEngine::DirectUI::IFrame>& owner, int32_t kind);
    void SetMessage(const wchar_t* text);
    // Centred over the window, or on the work area when it is null.
    void PlaceOnScreen(HWND window);
    void SetTopMost(bool topMost);
    // Shows the dialog over its owner (disabled meanwhile) and returns at once.
    void ShowOverOwner();

    void OnOK(void* sender, RVGameEngine::Common::tagEventArgs* args);
    void OnCancel(void* sender, RVGameEngine::Common::tagEventArgs* args);
    void OnClose(void* sender, RVGameEngine::Common::tagEventArgs* args);
    void OnKeyDown(void* sender, RVGameEngine::Common::tagEventArgs* args);

    int32_t GetResult() const { return m_result; }
    bool IsDeletePosted() const { return m_deletePosted; }
    RVGameEngine::DirectUI::IFrame* GetFrame() const { return m_frame.Get(); }
    RVGameEngine::DirectUI::IRichLabel* GetContent() const { return m_content.Get(); }

private:
    void Finish(int32_t result);
    void PostDeleteSelf();
    template <typename Interface>
    RVGameEngine::Common::TIntrusivePointer<Interface> FindControl(const wchar_t* name);

    bool m_active = false;
    RVGameEngine::Common::TIntrusivePointer<RVGameEngine::DirectUI::IFrame> m_owner;
    RVGameEngine::Common::TIntrusivePointer<RVGameEngine::DirectUI::IFrame> m_frame;
    RVGameEngine::Common::TIntrusivePointer<RVGameEngine::DirectUI::IButton> m_closeButton;
    RVGameEngine::Common::TIntrusivePointer<RVGameEngine::DirectUI::IRichLabel> m_content;
    RVGameEngine::Common::TIntrusivePointer<RVGameEngine::DirectUI::IButton> m_okButton;
    RVGameEngine::Common::TIntrusivePointer<RVGameEngine::DirectUI::IButton> m_cancelButton;
    int32_t m_kind = COMMON_DIALOG_OK;
    int32_t m_result = COMMON_DIALOG_RESULT_CANCEL;
    bool m_deletePosted = false;
};
