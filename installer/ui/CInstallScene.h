#pragma once

// The installer's one main window: a borderless frame built from the scene
// description, with an advert panel and four pages that the handlers switch
// between (one-click install, progress, custom install, user agreement).

#include "engine/common/base/EventArgs.h"
#include "engine/common/base/TIntrusivePointer.h"
#include "engine/directui/controls/IButton.h"
#include "engine/directui/controls/ICheckBox.h"
#include "engine/directui/controls/ILabel.h"
#include "engine/directui/uisystem/IPanel.h"
#include "engine/directui/controls/IProcessBar.h"
#include "engine/directui/frame/IFrame.h"

#include <cstdint>
#include <string>

class CCommonDialog;

constexpr const wchar_t* kInstallSceneFile = L"Installer/UI/InstallScene.xml";
constexpr const wchar_t* kInstallerIconFile = L"Installer/Icons/Installer.ico";
constexpr const wchar_t* kInstallSceneTitleFormat = L"%s - 安装";
// The description's drawn title and progress caption, which name the pack.
constexpr const wchar_t* kDrawnTitleLabel = L"LabelWindowTitle";
constexpr const wchar_t* kProgressCaptionLabel = L"LabelProgressCaption";
constexpr const wchar_t* kProgressCaptionFormat = L"正在安装 %s，请稍候……";
constexpr const wchar_t* kAgreementUrlItem = L"GameInstaller_NoticeInfo";
constexpr const wchar_t* kAgreementNotTickedMessage = L"    同意用户协议后才能继续安装";
constexpr const wchar_t* kNoRoomOnDriveMessage =
    L"指定安装路径对应的硬盘中磁盘剩余空间不足100M，无法安装在该磁盘中，请重新选择路径或使用系统默认路径。";
constexpr const wchar_t* kInstallFolderIsALinkMessage =
    L"安装目录或它的上级目录是一个链接、目录联接或挂载在文件夹中的卷，为了安全不能通过它安装。请重新选择路径或使用系统默认路径。";
constexpr const wchar_t* kInstallFailedMessage =
    L"安装未能完成：游戏文件没有全部写入安装目录。请检查磁盘空间和权限后重新运行安装程序。";
constexpr int32_t kAdvertPosition = 4;
constexpr int32_t kAdvertType = 0;

class CInstallScene
{
public:
    // The process's scene, made on first use and never destroyed.
    static CInstallScene* GetInstance();

    CInstallScene() = default;
    CInstallScene(const CInstallScene&) = delete;
    CInstallScene& operator=(const CInstallScene&) = delete;

    // Builds the window from the description and binds its controls; a
    // silent start begins the quick install at once, with the window hidden.
    void Create();
    // The frame manager's loop, until the scene's window is destroyed.
    void RunMessageLoop();
    void ReleaseCursorHelper();
    // Puts the advert picture into the advert panel when the web API has one.
    void LoadAdvert();
    // The default folder into "LabelPath", both shortcut boxes ticked.
    void ResetPath();

    void OnButtonSetup1(void* sender, RVGameEngine::Common::tagEventArgs* args);
    void OnButtonSetup2(void* sender, RVGameEngine::Common::tagEventArgs* args);
    void OnButtonConfig(void* sender, RVGameEngine::Common::tagEventArgs* args);
    void OnButtonSelectPath(void* sender, RVGameEngine::Common::tagEventArgs* args);
    void OnButtonEULA(void* sender, RVGameEngine::Common::tagEventArgs* args);
    void OnButtonClose(void* sender, RVGameEngine::Common::tagEventArgs* args);
    void OnButtonMinimization(void* sender, RVGameEngine::Common::tagEventArgs* args);
    void OnFrameEvent(void* sender, RVGameEngine::Common::tagEventArgs* args);
    void OnCheckFinished(void* sender, RVGameEngine::Common::tagEventArgs* args);
    void OnUpdateProgress(void* sender, RVGameEngine::Common::tagEventArgs* args);

    // A press and a release on the text beside a check box tick the box.
    void OnCaptionPressed(void* sender, RVGameEngine::Common::tagEventArgs* args);
    void OnCaptionReleased(void* sender, RVGameEngine::Common::tagEventArgs* args);

    RVGameEngine::DirectUI::IFrame* GetFrame() const { return m_frame.Get(); }

private:
    using ButtonHandler = void (CInstallScene::*)(void*, RVGameEngine::Common::tagEventArgs*);

    void BuildFrame();
    void StartSilently();
    void BindControls();
    void ShowPackName();
    void BindCheckBoxCaptions();
    // The folder into "LabelPath", its end (with the pack name) in sight
    // when the whole does not fit.
    void ShowFolder(const std::wstring& folder);
    template <typename Interface>
    RVGameEngine::Common::TIntrusivePointer<Interface> Bind(const wchar_t* name);
    RVGameEngine::Common::TIntrusivePointer<RVGameEngine::DirectUI::IButton> BindButton(const wchar_t* name,
                                                                                        ButtonHandler handler);
    // False (logged) when the description lacked the control a handler needs.
    bool Has(const void* control, const wchar_t* name);

    // Starts an install with these options unless the agreement box refuses
    // it or an install has already been started.
    void StartInstall(RVGameEngine::DirectUI::ICheckBox* agreement, const wchar_t* agreementName,
                      const std::wstring& folder, bool desktopShortcut, bool startMenuShortcuts);
    void ShowPage(RVGameEngine::DirectUI::IPanel* page);
    void ShowFreeSpace();
    void RequestClose();
    void ShowProgress();
    // Once the worker has finished: the failure told, the window closed.
    void EndInstall();
    // The message over the window, and a log line naming it (`what` says in
    // a few words what it tells). A window out of sight (a silent start) has
    // nobody to read it: then only the line, no dialog. Returns the dialog
    // shown, or null.
    CCommonDialog* ShowMessage(int32_t logLevel, const wchar_t* what, const wchar_t* text);
    // Tells the player once that the install failed.
    void ReportFailure();

    RVGameEngine::Common::TIntrusivePointer<RVGameEngine::DirectUI::IFrame> m_frame;
    RVGameEngine::Common::TIntrusivePointer<RVGameEngine::DirectUI::IPanel> m_advertPanel;
    RVGameEngine::Common::TIntrusivePointer<RVGameEngine::DirectUI::IButton> m_closeButton;
    RVGameEngine::Common::TIntrusivePointer<RVGameEngine::DirectUI::IButton> m_minimizeButton;
    RVGameEngine::Common::TIntrusivePointer<RVGameEngine::DirectUI::IPanel> m_quickPage;
    RVGameEngine::Common::TIntrusivePointer<RVGameEngine::DirectUI::IButton> m_quickInstallButton;
    RVGameEngine::Common::TIntrusivePointer<RVGameEngine::DirectUI::IButton> m_configButton;
    RVGameEngine::Common::TIntrusivePointer<RVGameEngine::DirectUI::IPanel> m_progressPage;
    RVGameEngine::Common::TIntrusivePointer<RVGameEngine::DirectUI::IProcessBar> m_progressBar;
    RVGameEngine::Common::TIntrusivePointer<RVGameEngine::DirectUI::ILabel> m_infoLabel;
    RVGameEngine::Common::TIntrusivePointer<RVGameEngine::DirectUI::ILabel> m_percentLabel;
    RVGameEngine::Common::TIntrusivePointer<RVGameEngine::DirectUI::IPanel> m_customPage;
    RVGameEngine::Common::TIntrusivePointer<RVGameEngine::DirectUI::ILabel> m_pathLabel;
    RVGameEngine::Common::TIntrusivePointer<RVGameEngine::DirectUI::ILabel> m_freeSpaceLabel;
    RVGameEngine::Common::TIntrusivePointer<RVGameEngine::DirectUI::IButton> m_selectPathButton;
    RVGameEngine::Common::TIntrusivePointer<RVGameEngine::DirectUI::ICheckBox> m_desktopShortcutBox;
    RVGameEngine::Common::TIntrusivePointer<RVGameEngine::DirectUI::ICheckBox> m_startMenuShortcutBox;
    RVGameEngine::Common::TIntrusivePointer<RVGameEngine::DirectUI::IButton> m_customInstallButton;
    RVGameEngine::Common::TIntrusivePointer<RVGameEngine::DirectUI::IPanel> m_agreementPage;
    RVGameEngine::Common::TIntrusivePointer<RVGameEngine::DirectUI::ICheckBox> m_quickAgreementBox;
    RVGameEngine::Common::TIntrusivePointer<RVGameEngine::DirectUI::ICheckBox> m_customAgreementBox;
    RVGameEngine::Common::TIntrusivePointer<RVGameEngine::DirectUI::IButton> m_agreementButton;
    // Set once an install has been handed to the worker: the options record
    // is never replaced under it.
    bool m_installStarted = false;
    // While the folder picker is open the window is disabled and takes no
    // second request for it.
    bool m_pickerOpen = false;
    // The caption text pressed last, until the button is released.
    void* m_pressedCaption = nullptr;
    // The failure message is shown once, and the window stays until it closes.
    bool m_failureReported = false;
    RVGameEngine::Common::TIntrusivePointer<CCommonDialog> m_failureDialog;
};
