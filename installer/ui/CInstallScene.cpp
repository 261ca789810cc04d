#include "installer/ui/CInstallScene.h"

#include "installer/ui/CCommonDialog.h"
#include "installer/ui/CCursorHelper.h"
#include "installer/ui/InstallSceneFunctions.h"

#include "installer/core/reporting/CWebApiClient.h"
#include "installer/core/rules/PartnerFunctions.h"

#include "engine/directui/frame/IFrameManager.h"
#include "engine/directui/frame/IIcon.h"
#include "engine/directui/uisystem/IUIWindow.h"
#include "engine/directui/uisystem/WindowEventArgs.h"
#include "engine/filesystem/ILogFile.h"
#include "engine/filesystem/IPackedFileManager.h"

#include <cwchar>
#include <new>
#include <string>

using namespace RVGameEngine::DirectUI;
using RVGameEngine::Common::TIntrusivePointer;
using RVGameEngine::FileSystem::ILogFile_GetInstance;
using RVGameEngine::FileSystem::LOG_LEVEL_ERROR;
using RVGameEngine::FileSystem::LOG_LEVEL_TRACE;

namespace {

constexpr DWORD kSceneStyle = WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;

// The format with its one "%s" replaced by the pack name (of any length).
std::wstring WithPackName(const wchar_t* format)
{
    std::wstring text(format);
    return text.replace(text.find(L"%s"), 2, GetPackNameOrDefault());
}

// Each text beside a check box, and the box a click on it ticks.
struct tagCheckBoxCaption
{
    const wchar_t* caption;
    const wchar_t* box;
};
constexpr tagCheckBoxCaption kCheckBoxCaptions[] = {
    {L"LabelEULA", L"CheckBoxEULA"},
    {L"LabelConfig1", L"CheckBoxConfig1"},
    {L"LabelConfig2", L"CheckBoxConfig2"},
    {L"LabelConfig3", L"CheckBoxConfig3"},
};

} // namespace

CInstallScene* CInstallScene::GetInstance()
{
    // Never destroyed: handlers may still be subscribed when the process ends.
    static CInstallScene* scene = new (std::nothrow) CInstallScene();
    return scene;
}

void CInstallScene::Create()
{
    BuildFrame();
    if (!m_frame)
        return;
    BindControls();
    ResetPath();
    if (!IsSilentInstall()) {
        m_frame->Show();
        return;
    }
    StartSilently();
}

void CInstallScene::StartSilently()
{
    // Nobody is there to tick the box or read a message: end instead of
    // waiting unseen.
    if (m_quickAgreementBox && !m_quickAgreementBox->IsChecked()) {
        ILogFile_GetInstance()->Log(LOG_LEVEL_ERROR, L"Silent start without the agreement ticked: nothing installed");
        RequestClose();
        return;
    }
    OnButtonSetup1(nullptr, nullptr);
    if (!m_installStarted)
        RequestClose();
}

void CInstallScene::BuildFrame()
{
    // The window files of a mounted package are read from it wherever the
    // current folder goes; only files unpacked on disk need theirs kept.
    if (!RVGameEngine::FileSystem::IPackedFileManager_GetInstance()->FileExists(kInstallSceneFile))
        KeepWindowFilesReachable();
    TIntrusivePointer<IIcon> icon = IIcon_Create();
    if (icon)
        icon->Load(kInstallerIconFile);
    m_frame = IFrame_Create();
    if (!m_frame) {
        ILogFile_GetInstance()->Log(LOG_LEVEL_ERROR, L"The install window could not be made");
        return;
    }
    CCursorHelper::GetInstance()->AttachFrame(m_frame);
    m_frame->Create(nullptr, kSceneStyle, 0);
    m_frame->LoadUI(kInstallSceneFile);
    m_frame->FitToContent();
    m_frame->CenterOnScreen();
    if (icon)
        m_frame->SetIcon(icon.Get());
    m_frame->SetTitle(WithPackName(kInstallSceneTitleFormat).c_str());
    m_frame->AddMemberFunctionDelegate(FRAME_EVENT_FRAME_MOVE, this, &CInstallScene::OnUpdateProgress);
    m_frame->AddMemberFunctionDelegate(FRAME_EVENT_CLOSE, this, &CInstallScene::OnCheckFinished);
    m_frame->AddMemberFunctionDelegate(FRAME_EVENT_KEY_DOWN, this, &CInstallScene::OnFrameEvent);
}

template <typename Interface>
TIntrusivePointer<Interface> CInstallScene::Bind(const wchar_t* name)
{
    IUIWindow* root = m_frame->GetRootWindow();
    Interface* control = dynamic_cast<Interface*>(root != nullptr ? root->FindWindow(name) : nullptr);
    if (control == nullptr)
        ILogFile_GetInstance()->Log(LOG_LEVEL_ERROR, L"The install window has no control %s of its kind", name);
    return TIntrusivePointer<Interface>(control);
}

TIntrusivePointer<IButton> CInstallScene::BindButton(const wchar_t* name, ButtonHandler handler)
{
    TIntrusivePointer<IButton> button = Bind<IButton>(name);
    if (button)
        button->AddMemberFunctionDelegate(kButtonClickedEvent, this, handler);
    return button;
}

void CInstallScene::BindControls()
{
    m_advertPanel = Bind<IPanel>(L"PanelAd1");
    if (m_advertPanel) {
        m_advertPanel->Show();
        LoadAdvert();
    }
    m_closeButton = BindButton(L"ButtonClose", &CInstallScene::OnButtonClose);
    m_minimizeButton = BindButton(L"ButtonMinimization", &CInstallScene::OnButtonMinimization);
    m_quickPage = Bind<IPanel>(L"PanelScene1");
    m_quickInstallButton = BindButton(L"ButtonSetup1", &CInstallScene::OnButtonSetup1);
    m_configButton = BindButton(L"ButtonConfig", &CInstallScene::OnButtonConfig);
    m_progressPage = Bind<IPanel>(L"PanelScene2");
    m_progressBar = Bind<IProcessBar>(L"ProcessBarUpdate");
    m_infoLabel = Bind<ILabel>(L"LabelInfo1");
    m_percentLabel = Bind<ILabel>(L"LabelInfo2");
    m_customPage = Bind<IPanel>(L"PanelScene3");
    m_pathLabel = Bind<ILabel>(L"LabelPath");
    m_freeSpaceLabel = Bind<ILabel>(L"LabelMemorySize");
    m_selectPathButton = BindButton(L"ButtonSelectPath", &CInstallScene::OnButtonSelectPath);
    m_desktopShortcutBox = Bind<ICheckBox>(L"CheckBoxConfig1");
    m_startMenuShortcutBox = Bind<ICheckBox>(L"CheckBoxConfig2");
    m_customInstallButton = BindButton(L"ButtonSetup2", &CInstallScene::OnButtonSetup2);
    m_agreementPage = Bind<IPanel>(L"PanelScene4");
    m_quickAgreementBox = Bind<ICheckBox>(L"CheckBoxEULA");
    m_customAgreementBox = Bind<ICheckBox>(L"CheckBoxConfig3");
    m_agreementButton = BindButton(L"ButtonEULA", &CInstallScene::OnButtonEULA);
    ShowPackName();
    BindCheckBoxCaptions();
}

void CInstallScene::ShowPackName()
{
    // Drawn texts of the description that name the product: optional, the
    // frame's own title already carries the name.
    IUIWindow* root = m_frame->GetRootWindow();
    if (root == nullptr)
        return;
    if (IUIWindow* title = root->FindWindow(kDrawnTitleLabel))
        title->SetTitle(WithPackName(kInstallSceneTitleFormat).c_str());
    if (IUIWindow* caption = root->FindWindow(kProgressCaptionLabel))
        caption->SetTitle(WithPackName(kProgressCaptionFormat).c_str());
}

void CInstallScene::BindCheckBoxCaptions()
{
    IUIWindow* root = m_frame->GetRootWindow();
    for (const tagCheckBoxCaption& pair : kCheckBoxCaptions) {
        IUIWindow* caption = root != nullptr ? root->FindWindow(pair.caption) : nullptr;
        if (caption == nullptr || dynamic_cast<ICheckBox*>(root->FindWindow(pair.box)) == nullptr)
            continue;
        // The text takes the mouse instead of letting it through to its panel.
        caption->SetPenetrable(false);
        caption->AddMemberFunctionDelegate(WINDOW_EVENT_LBUTTON_DOWN, this, &CInstallScene::OnCaptionPressed);
        caption->AddMemberFunctionDelegate(WINDOW_EVENT_LBUTTON_UP, this, &CInstallScene::OnCaptionReleased);
    }
    // Every release the window gets ends the press, after the texts have
    // seen it: one released elsewhere is not taken for the start of a click.
    m_frame->AddMemberFunctionDelegate(FRAME_EVENT_LBUTTON_UP, this, &CInstallScene::OnCaptionReleased);
}

void CInstallScene::OnCaptionPressed(void* sender, RVGameEngine::Common::tagEventArgs*)
{
    m_pressedCaption = sender;
    // A release outside the window comes back to it, and ends the press too.
    SetCapture(m_frame->GetHandle());
}

void CInstallScene::OnCaptionReleased(void* sender, RVGameEngine::Common::tagEventArgs*)
{
    // A click is a press and a release on the same text.
    const bool clicked = sender != nullptr && sender == m_pressedCaption;
    m_pressedCaption = nullptr;
    if (!clicked)
        return;
    IUIWindow* caption = static_cast<IUIWindow*>(sender);
    for (const tagCheckBoxCaption& pair : kCheckBoxCaptions) {
        if (std::wcscmp(caption->GetName(), pair.caption) != 0)
            continue;
        auto* box = dynamic_cast<ICheckBox*>(m_frame->GetRootWindow()->FindWindow(pair.box));
        if (box != nullptr && box->IsVisible() && box->IsEnabled())
            box->SetChecked(!box->IsChecked());
        return;
    }
}

void CInstallScene::LoadAdvert()
{
    std::wstring pictureUrl;
    std::wstring jumpUrl;
    if (!CWebApiClient::GetInstance()->RequestAdvertList(kAdvertPosition, kAdvertType, &pictureUrl, &jumpUrl)) {
        ILogFile_GetInstance()->Log(LOG_LEVEL_TRACE, L"No advert: the window keeps its own picture");
        return;
    }
    const std::wstring file = CWebApiClient::GetInstance()->GetCached(pictureUrl.c_str());
    if (!m_advertPanel || !SetWindowPicture(m_advertPanel.Get(), file.c_str()))
        return;
    // The designed default (name and tagline) would cover the advert.
    for (int32_t i = 0; i < m_advertPanel->GetChildCount(); ++i)
        m_advertPanel->GetChild(i)->Hide();
}

void CInstallScene::RunMessageLoop()
{
    IFrameManager* manager = IFrameManager_GetInstance();
    if (!m_frame || manager == nullptr || m_frame->GetHandle() == nullptr)
        return;
    manager->SetMainFrame(m_frame.Get());
    manager->RunMessageLoop(m_frame.Get(), true);
}

void CInstallScene::ReleaseCursorHelper()
{
    CCursorHelper::GetInstance()->DetachFrame(m_frame);
}
