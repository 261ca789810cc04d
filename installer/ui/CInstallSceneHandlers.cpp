#include "installer/ui/CInstallScene.h"

#include "installer/ui/CCommonDialog.h"
#include "installer/ui/InstallSceneFunctions.h"
#include "installer/ui/MessageDialogFunctions.h"

#include "installer/core/install/CInstallProgress.h"
#include "installer/core/install/InstallPathFunctions.h"
#include "installer/core/install/InstallThreadFunctions.h"
#include "installer/core/install/tagInstallPaths.h"
#include "installer/core/reporting/CStatisticsServerConnection.h"
#include "installer/core/reporting/CUrlItemList.h"
#include "installer/core/reporting/StatisticsFunctions.h"
#include "installer/core/rules/PartnerFunctions.h"
#include "installer/core/rules/WebAddressRules.h"

#include "engine/common/base/IString.h"
#include "engine/common/system/DialogFunctions.h"
#include "engine/common/system/ISystemInfo.h"
#include "engine/common/system/ShellFunctions.h"
#include "engine/filesystem/ILogFile.h"

#include <string>

using namespace RVGameEngine::DirectUI;
using RVGameEngine::Common::tagEventArgs;
using RVGameEngine::Common::TIntrusivePointer;
using RVGameEngine::FileSystem::ILogFile_GetInstance;
using RVGameEngine::FileSystem::LOG_LEVEL_ERROR;
using RVGameEngine::FileSystem::LOG_LEVEL_WARNING;

namespace {

constexpr uint32_t kEscapeKey = VK_ESCAPE;

} // namespace

bool CInstallScene::Has(const void* control, const wchar_t* name)
{
    if (control == nullptr)
        ILogFile_GetInstance()->Log(LOG_LEVEL_ERROR, L"The install window lacks %s; the action is skipped", name);
    return control != nullptr;
}

CCommonDialog* CInstallScene::ShowMessage(int32_t logLevel, const wchar_t* what, const wchar_t* text)
{
    if (!m_frame || !m_frame->IsVisible()) {
        ILogFile_GetInstance()->Log(logLevel, L"%s; no window is shown, no message either", what);
        return nullptr;
    }
    ILogFile_GetInstance()->Log(logLevel, L"%s; the player is told", what);
    return ShowMessageDialog(m_frame, text);
}

void CInstallScene::ShowPage(IPanel* page)
{
    for (IPanel* each : {m_quickPage.Get(), m_progressPage.Get(), m_customPage.Get(), m_agreementPage.Get()}) {
        if (each == nullptr)
            continue;
        if (each == page)
            each->Show();
        else
            each->Hide();
    }
}

void CInstallScene::ResetPath()
{
    if (Has(m_pathLabel.Get(), L"LabelPath"))
        ShowFolder(GetDefaultInstallPath());
    for (ICheckBox* box : {m_desktopShortcutBox.Get(), m_startMenuShortcutBox.Get()})
        if (Has(box, L"a shortcut check box"))
            box->SetChecked(true);
}

void CInstallScene::StartInstall(ICheckBox* agreement, const wchar_t* agreementName, const std::wstring& folder,
                                 bool desktopShortcut, bool startMenuShortcuts)
{
    if (m_installStarted) {
        ILogFile_GetInstance()->Log(LOG_LEVEL_WARNING, L"An install is already running; the request is ignored");
        return;
    }
    if (!Has(agreement, agreementName))
        return;
    if (!agreement->IsChecked()) {
        ShowMessage(LOG_LEVEL_WARNING, L"The agreement is not ticked", kAgreementNotTickedMessage);
        return;
    }
    // A link planted by another user could lead anywhere: refused before
    // the install starts, so that the player can choose another folder.
    if (IsInstallRefusedForALink(folder)) {
        ShowMessage(LOG_LEVEL_ERROR,
                    L"The install folder is refused: a link, a junction or a volume mounted in a folder lies on "
                    L"its path",
                    kInstallFolderIsALinkMessage);
        return;
    }
    // Made before anything shows the install under way. Without it the
    // install is still asked for: it fails at once, as one whose worker
    // cannot start, and the window's next tick tells so and closes.
    tagInstallPaths* options = NewInstallOptions(folder, desktopShortcut, startMenuShortcuts);
    m_installStarted = true;
    if (options == nullptr) {
        StartInstallThread();
        return;
    }
    SetInstallOption(options);
    ShowPage(m_progressPage.Get());
    SendStatisticsSystemInfo(kStatisticsStepInstallBegun);
    StartInstallThread();
    SendInstallTracking();
}

void CInstallScene::OnButtonSetup1(void*, tagEventArgs*)
{
    StartInstall(m_quickAgreementBox.Get(), L"CheckBoxEULA", GetDefaultInstallPath(), true, true);
}

void CInstallScene::OnButtonSetup2(void*, tagEventArgs*)
{
    if (!Has(m_pathLabel.Get(), L"LabelPath") || !Has(m_desktopShortcutBox.Get(), L"CheckBoxConfig1")
        || !Has(m_startMenuShortcutBox.Get(), L"CheckBoxConfig2"))
        return;
    StartInstall(m_customAgreementBox.Get(), L"CheckBoxConfig3", m_pathLabel->GetTitle(),
                 m_desktopShortcutBox->IsChecked(), m_startMenuShortcutBox->IsChecked());
}

void CInstallScene::OnButtonConfig(void*, tagEventArgs*)
{
    ShowPage(m_customPage.Get());
    ShowFreeSpace();
}

void CInstallScene::ShowFreeSpace()
{
    if (!Has(m_pathLabel.Get(), L"LabelPath") || !Has(m_freeSpaceLabel.Get(), L"LabelMemorySize"))
        return;
    const int32_t drive = DriveIndexOf(m_pathLabel->GetTitle());
    if (drive < 0)
        return;
    const int32_t freeMB = RVGameEngine::Common::ISystemInfo_GetInstance()->GetDriveFreeMB(drive);
    m_freeSpaceLabel->SetTitle(FreeSpaceText(freeMB).c_str());
}

void CInstallScene::OnButtonSelectPath(void*, tagEventArgs*)
{
    if (!Has(m_pathLabel.Get(), L"LabelPath"))
        return;
    // The picker has no owner, and its own message loop keeps this window
    // running: disabled meanwhile, the window takes no second picker, no
    // install with the old folder and no close.
    if (m_pickerOpen || m_installStarted || !m_frame)
        return;
    m_pickerOpen = true;
    m_frame->Disable();
    TIntrusivePointer<RVGameEngine::Common::IString> chosen = RVGameEngine::Common::ShowSelectDirectory();
    m_frame->Enable();
    m_pickerOpen = false;
    SetForegroundWindow(m_frame->GetHandle());
    const std::wstring folder = chosen ? std::wstring(chosen->GetUtf16()) : std::wstring();
    if (!IsDriveFolder(folder))
        return;
    if (!HasEnoughFreeSpace(folder[0])) {
        ShowMessage(LOG_LEVEL_WARNING, L"The chosen drive has too little room", kNoRoomOnDriveMessage);
        return;
    }
    ShowFolder(FolderWithPackName(folder, GetPackNameOrDefault()));
    ShowFreeSpace();
}

void CInstallScene::ShowFolder(const std::wstring& folder)
{
    m_pathLabel->SetTitle(folder.c_str());
    // Too long for the field: drawn from its right edge, so that the start
    // is cut off rather than the end, where the pack name is.
    m_pathLabel->SetTitleAlign(FitsOnOneLine(m_pathLabel.Get(), folder) ? kTitleAlignCenterLeft
                                                                        : kTitleAlignCenterRight);
}

void CInstallScene::OnButtonEULA(void*, tagEventArgs*)
{
    const std::wstring address = CUrlItemList::GetInstance()->GetAddress(kAgreementUrlItem);
    // Only a web page goes to the browser: the list is data, not a command.
    if (!IsWebPageAddress(address)) {
        ILogFile_GetInstance()->Log(LOG_LEVEL_ERROR, L"The agreement address is no web page: %s", address.c_str());
        return;
    }
    RVGameEngine::Common::OpenWebLink(address.c_str());
}

void CInstallScene::RequestClose()
{
    if (m_frame)
        m_frame->PostMessage();
}

void CInstallScene::OnButtonClose(void*, tagEventArgs*)
{
    RequestClose();
}

void CInstallScene::OnButtonMinimization(void*, tagEventArgs*)
{
    if (m_frame)
        m_frame->Minimize();
}

void CInstallScene::OnFrameEvent(void*, tagEventArgs* args)
{
    const auto* key = static_cast<tagFrameKeyEventArgs*>(args);
    if (key != nullptr && key->virtualKey == kEscapeKey)
        RequestClose();
}

void CInstallScene::OnCheckFinished(void*, tagEventArgs* args)
{
    auto* close = static_cast<tagFrameCloseEventArgs*>(args);
    if (close == nullptr)
        return;
    const bool installing = IsInstallThreadRunning() && !IsInstallFinished();
    // After a failure the window stays until its message has been closed.
    const bool failureOpen = m_failureDialog && m_failureDialog->GetFrame() != nullptr
                             && m_failureDialog->GetFrame()->GetHandle() != nullptr;
    if (installing || failureOpen)
        close->cancel = true;
}

void CInstallScene::OnUpdateProgress(void*, tagEventArgs*)
{
    CStatisticsServerConnection::GetInstance()->Update();
    if (m_progressPage && m_progressPage->IsVisible())
        ShowProgress();
    // Also without a progress page the window must not outlive its install.
    if (m_installStarted && IsInstallFinished())
        EndInstall();
}

void CInstallScene::ShowProgress()
{
    const CInstallProgress* progress = CInstallProgress::GetInstance();
    const uint32_t total = progress->GetTotal();
    const uint32_t done = progress->GetCurrent();
    if (m_progressBar)
        m_progressBar->SetProgress(total == 0 ? 0.0f : static_cast<float>(ProgressPercent(done, total)) / 100.0f);
    if (m_percentLabel)
        m_percentLabel->SetTitle(ProgressText(done, total).c_str());
}

void CInstallScene::EndInstall()
{
    if (IsInstallFailed())
        ReportFailure();
    RequestClose();
}

void CInstallScene::ReportFailure()
{
    if (m_failureReported)
        return;
    m_failureReported = true;
    m_failureDialog =
        TIntrusivePointer<CCommonDialog>(ShowMessage(LOG_LEVEL_ERROR, L"The install failed", kInstallFailedMessage));
}
