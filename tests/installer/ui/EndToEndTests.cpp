// Winsock before <windows.h>.
#include "tests/installer/PeerRecords.h"

#include "tests/installer/ui/UiTestSupport.h"

#include "installer/ui/AddressOptionFunctions.h"
#include "installer/ui/CCommonDialog.h"
#include "installer/ui/CInstallScene.h"
#include "installer/ui/InstallSceneFunctions.h"
#include "installer/ui/InstallerWindowFunctions.h"
#include "installer/ui/MessageDialogFunctions.h"

#include "engine/directui/frame/IFrameManager.h"

#include "installer/core/InstallerMainFunctions.h"
#include "installer/core/install/InstallPathFunctions.h"
#include "installer/core/install/InstallStepFunctions.h"
#include "installer/core/install/InstallThreadFunctions.h"
#include "installer/core/reporting/CWebApiClient.h"
#include "installer/core/reporting/StatisticsFunctions.h"

#include "engine/common/system/ShellFunctions.h"

#include "tests/support/InputTrace.h"
#include "tests/support/LogCapture.h"
#include "tests/support/PlantedLink.h"

#include <shlobj.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cwchar>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

using RVGameEngine::Common::TIntrusivePointer;
using InstallerTests::CountStepMessages;
using InstallerTests::Exists;
using InstallerTests::RunProgram;
using InstallerTests::RunSilentCopy;
using UiTests::ClickControl;
using UiTests::KeepScreenshot;

namespace {

RVTest::WinsockScope g_winsock;

constexpr int kChildPassed = 77;
const std::wstring kInstallFolder = L"C:\\Program Files\\Wendmoor";
const wchar_t* const kPackName = L"Wendmoor";

// What the driver thread saw go wrong (0: nothing), the child's exit code.
std::atomic<int> g_driverFault{0};

// Ends the child at once: a run whose window no longer does what the driver
// expects might otherwise wait for a click that never comes. The step that
// gave up, and the windows there were, go to the parent's log: the status
// alone says neither.
void Fault(int code, const std::wstring& step)
{
    g_driverFault = code;
    RVTest::ReportStepGivenUp(step + L" (status " + std::to_wstring(code) + L")");
    ExitProcess(static_cast<UINT>(code));
}

// A click that cannot reach the window ends the run, saying why.
constexpr int kClickNotLanded = 60;

// A click that waited long for its window is noted: a later step that gives
// up for want of time then shows where the time went.
constexpr ULONGLONG kSlowClickMs = 2000;

void ClickOrFault(HWND window, const wchar_t* description, const wchar_t* name, bool mustBeEnabled = true)
{
    const ULONGLONG start = GetTickCount64();
    const std::wstring why = ClickControl(window, description, name, mustBeEnabled);
    if (!why.empty())
        Fault(kClickNotLanded, std::wstring(L"the click on ") + name + L": " + why);
    const ULONGLONG waited = GetTickCount64() - start;
    if (waited > kSlowClickMs)
        std::fwprintf(stderr, L"The click on %ls waited %llu ms for its window\n", name, waited);
}

int32_t FreeOnDriveC(int32_t drive)
{
    return drive == 2 ? 500 : 0;
}

std::wstring WebApiServer()
{
    return L"http://127.0.0.1:" + std::to_wstring(RVTest::PeerPort("RV_WEBAPI_PORT"));
}

// The installer's run in this (child) process, every peer on this machine,
// driven from another thread as a player would; the run must end with the
// status given.
int RunDriven(void (*drive)(), int32_t expectedStatus = 0)
{
    UiTests::StartEngine();
    const int statisticsPort = RVTest::PeerPort("RV_STAT_PORT");
    SetStatisticsServerEndpoint({"127.0.0.1", statisticsPort, statisticsPort});
    CWebApiClient::GetInstance()->SetAdvertServer(WebApiServer());
    SetInstallTrackingHost(WebApiServer());
    SetDriveFreeSpaceQuery(FreeOnDriveC);
    // The install window and its messages run on this thread.
    RVTest::CInputTrace trace;
    std::thread driver(drive);
    const int32_t code = RunInstaller(RunInstallWindow);
    driver.join();
    if (code != expectedStatus) {
        RVTest::ReportStepGivenUp(L"the run's end with status " + std::to_wstring(expectedStatus) +
                                  L": it ended with " + std::to_wstring(code));
        return 1;
    }
    return g_driverFault != 0 ? g_driverFault.load() : kChildPassed;
}

HWND WaitForScene()
{
    HWND scene = UiTests::WaitForFrame(UiTests::kSceneTitle);
    if (scene == nullptr)
        Fault(2, L"the install window to show");
    return scene;
}

void Click(HWND scene, const wchar_t* name)
{
    ClickOrFault(scene, kInstallSceneFile, name);
}

RVGameEngine::DirectUI::ICheckBox* CheckBox(const wchar_t* name)
{
    return dynamic_cast<RVGameEngine::DirectUI::ICheckBox*>(
        CInstallScene::GetInstance()->GetFrame()->GetRootWindow()->FindWindow(name));
}

bool IsTicked(const wchar_t* name)
{
    RVGameEngine::DirectUI::ICheckBox* box = CheckBox(name);
    return box != nullptr && box->IsChecked();
}

// The install reads the boxes as they are when it starts: each click is seen
// to take before the next step.
void Untick(HWND scene, const wchar_t* name)
{
    Click(scene, name);
    if (CheckBox(name) == nullptr || !UiTests::WaitUntil([name] { return !IsTicked(name); }))
        Fault(28, std::wstring(L"the box unticked by a click on ") + name);
}

// Watches, on the window's own thread after the window's own handler, every
// close request that reaches the window while the install runs.
struct tagCloseWatcher
{
    std::atomic<int> refused{0};
    std::atomic<int> allowed{0};

    void OnClose(void*, RVGameEngine::Common::tagEventArgs* args)
    {
        const auto* close = static_cast<RVGameEngine::DirectUI::tagFrameCloseEventArgs*>(args);
        if (!IsInstallThreadRunning() || IsInstallFinished())
            return;
        ++(close->cancel ? refused : allowed);
    }
};

tagCloseWatcher g_closeWatcher;

// Reads, on the window's own thread, the message of each dialog that opens.
struct tagDialogReader
{
    std::mutex lock;
    std::vector<std::wstring> texts;

    void OnTick(void*, RVGameEngine::Common::tagEventArgs*)
    {
        TIntrusivePointer<RVGameEngine::DirectUI::IFrame> dialog =
            RVGameEngine::DirectUI::IFrameManager_GetInstance()->FindFrame(kCommonDialogFrameName);
        if (!dialog || dialog->GetHandle() == nullptr || dialog->GetRootWindow() == nullptr)
            return;
        RVGameEngine::DirectUI::IUIWindow* content = dialog->GetRootWindow()->FindWindow(L"RichLabelContent");
        if (content == nullptr)
            return;
        std::lock_guard<std::mutex> guard(lock);
        if (texts.empty() || texts.back() != content->GetTitle())
            texts.push_back(content->GetTitle());
    }

    // Whether the last dialog read said this (waited for, bounded).
    bool Said(const wchar_t* text)
    {
        return UiTests::WaitUntil([&] {
            std::lock_guard<std::mutex> guard(lock);
            return !texts.empty() && texts.back() == text;
        });
    }
};

tagDialogReader g_dialogReader;

// Notes, on the window's own thread, the first tick that shows the progress
// page; given a picture name, takes the page's picture then, once painted.
struct tagProgressPageWatcher
{
    const wchar_t* picture = nullptr;
    std::atomic<bool> shown{false};

    void OnTick(void* sender, RVGameEngine::Common::tagEventArgs*)
    {
        auto* frame = static_cast<RVGameEngine::DirectUI::IFrame*>(sender);
        RVGameEngine::DirectUI::IUIWindow* page = frame->GetRootWindow()->FindWindow(L"PanelScene2");
        if (shown || page == nullptr || !page->IsVisible())
            return;
        shown = true;
        if (picture == nullptr)
            return;
        UpdateWindow(frame->GetHandle());
        KeepScreenshot(picture);
    }
};

tagProgressPageWatcher g_progressCamera{L"2-progress-page"};

// Subscribing is safe while the window's thread fires.
void WatchTheScene(tagProgressPageWatcher* progressPage = nullptr)
{
    RVGameEngine::DirectUI::IFrame* frame = CInstallScene::GetInstance()->GetFrame();
    frame->AddMemberFunctionDelegate(RVGameEngine::DirectUI::FRAME_EVENT_CLOSE, &g_closeWatcher,
                                     &tagCloseWatcher::OnClose);
    frame->AddMemberFunctionDelegate(RVGameEngine::DirectUI::FRAME_EVENT_FRAME_MOVE, &g_dialogReader,
                                     &tagDialogReader::OnTick);
    if (progressPage != nullptr)
        frame->AddMemberFunctionDelegate(RVGameEngine::DirectUI::FRAME_EVENT_FRAME_MOVE, progressPage,
                                         &tagProgressPageWatcher::OnTick);
}

// Close requests while the worker runs must not end the run early: both
// reach the window while the (larger) package is still being installed.
void TryToCloseWhileInstalling(HWND scene)
{
    // A posted key overtakes clicks still queued as input: the click that
    // starts the install must have been taken first.
    if (!UiTests::WaitUntil([] { return IsInstallThreadRunning() || IsInstallFinished(); }))
        Fault(29, L"the install started by the click before");
    Click(scene, L"ButtonClose");
    PostMessageW(scene, WM_KEYDOWN, VK_ESCAPE, 0);
    if (!UiTests::WaitUntil([] { return g_closeWatcher.refused + g_closeWatcher.allowed >= 2; }))
        Fault(18, L"the window to see both close requests during the install");
    if (g_closeWatcher.allowed != 0)
        Fault(19, L"a close request refused during the install");
}

void WaitForTheWindowToCloseItself(HWND scene)
{
    if (!UiTests::WaitUntilGone(scene))
        Fault(3, L"the window to close itself after the install");
}

void DriveQuickInstall()
{
    HWND scene = WaitForScene();
    if (scene == nullptr)
        return;
    WatchTheScene(&g_progressCamera);
    Sleep(300);
    KeepScreenshot(L"1-one-click-page");
    Click(scene, L"ButtonSetup1");
    TryToCloseWhileInstalling(scene);
    WaitForTheWindowToCloseItself(scene);
}

constexpr const wchar_t* kDialogClass = L"#32770";

// The system's folder picker of this process, waited for (bounded).
HWND WaitForFolderPicker()
{
    return RVTest::WaitForOwnVisibleWindow(kDialogClass, nullptr, 60000);
}

int CountFolderPickers()
{
    return RVTest::CountOwnVisibleWindows(kDialogClass, nullptr);
}

// While the picker is open the window takes no click: neither a second
// picker nor an install with the folder shown before the choice.
void TryTheWindowUnderThePicker(HWND scene, HWND picker)
{
    RECT sceneRect = {};
    GetWindowRect(scene, &sceneRect);
    // Out of the way of the buttons clicked below.
    SetWindowPos(picker, nullptr, sceneRect.left + 700, sceneRect.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    if (IsWindowEnabled(scene))
        Fault(22, L"the window disabled under the folder picker");
    // Refused clicks: the window is disabled under the picker.
    ClickOrFault(scene, kInstallSceneFile, L"ButtonSelectPath", false);
    ClickOrFault(scene, kInstallSceneFile, L"ButtonSetup2", false);
    Sleep(300);
    if (CountFolderPickers() != 1 || IsInstallThreadRunning())
        Fault(23, L"one picker and no install after clicks on the window under the picker");
}

enum enmPickerRound
{
    PICKER_PLAIN,
    // Also clicks the window while the picker is open.
    PICKER_TRY_THE_WINDOW,
    // The folder is refused: a message follows the picker.
    PICKER_REFUSED,
};

// Opens the folder picker and answers it: a folder chosen (null: cancelled).
// Returns the install folder the window shows afterwards.
std::wstring AnswerTheFolderPicker(HWND scene, const wchar_t* chosen, enmPickerRound round = PICKER_PLAIN)
{
    Click(scene, L"ButtonSelectPath");
    HWND picker = WaitForFolderPicker();
    if (picker == nullptr) {
        Fault(13, L"the folder picker after the click on ButtonSelectPath");
        return L"";
    }
    if (round == PICKER_TRY_THE_WINDOW)
        TryTheWindowUnderThePicker(scene, picker);
    if (chosen != nullptr) {
        SendMessageW(picker, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(chosen));
        PostMessageW(picker, WM_COMMAND, IDOK, 0);
    } else {
        PostMessageW(picker, WM_COMMAND, IDCANCEL, 0);
    }
    if (!UiTests::WaitUntilGone(picker, 20000))
        Fault(14, L"the folder picker to close once answered");
    if (round != PICKER_REFUSED && !UiTests::WaitUntil([&] { return IsWindowEnabled(scene) != FALSE; }))
        Fault(24, L"the window enabled again after the folder picker");
    Sleep(200);
    RVGameEngine::DirectUI::IUIWindow* path =
        CInstallScene::GetInstance()->GetFrame()->GetRootWindow()->FindWindow(L"LabelPath");
    return path != nullptr ? path->GetTitle() : L"";
}

// A cancelled picker changes nothing; a chosen folder takes the pack name;
// the default is chosen back for the install the test checks.
void ChooseFoldersWithThePicker(HWND scene)
{
    const std::wstring defaultFolder = AnswerTheFolderPicker(scene, nullptr, PICKER_TRY_THE_WINDOW);
    if (defaultFolder != kInstallFolder)
        Fault(15, L"the default folder kept after a cancelled picker");
    // A drive without room is refused with its message; the folder stays.
    if (AnswerTheFolderPicker(scene, L"Z:\\", PICKER_REFUSED) != kInstallFolder)
        Fault(25, L"the folder kept after a refused drive");
    HWND dialog = UiTests::WaitForFrame(UiTests::kDialogTitle, 20000);
    if (dialog == nullptr || !g_dialogReader.Said(kNoRoomOnDriveMessage))
        Fault(26, L"the message that the drive has no room");
    ClickOrFault(dialog, kCommonDialogOKFile, L"ButtonOK");
    if (!UiTests::WaitUntilGone(dialog, 20000) || !UiTests::WaitUntil([&] { return IsWindowEnabled(scene) != FALSE; }))
        Fault(27, L"the window enabled again after the no-room message");
    if (AnswerTheFolderPicker(scene, L"C:\\windows") != L"C:\\windows\\" + std::wstring(kPackName))
        Fault(16, L"the pack name added to a folder chosen in the picker");
    if (AnswerTheFolderPicker(scene, L"C:\\Program Files") != kInstallFolder)
        Fault(17, L"the default folder chosen back in the picker");
}

void DriveCustomInstallWithoutShortcuts()
{
    HWND scene = WaitForScene();
    if (scene == nullptr)
        return;
    WatchTheScene();
    Click(scene, L"ButtonConfig");
    ChooseFoldersWithThePicker(scene);
    Untick(scene, L"CheckBoxConfig1");
    Untick(scene, L"CheckBoxConfig2");
    Sleep(200);
    KeepScreenshot(L"3-custom-page");
    Click(scene, L"ButtonSetup2");
    TryToCloseWhileInstalling(scene);
    WaitForTheWindowToCloseItself(scene);
}

void DriveRefusedAgreementThenMinimiseAndClose()
{
    HWND scene = WaitForScene();
    if (scene == nullptr)
        return;
    WatchTheScene();
    Click(scene, L"CheckBoxEULA");
    Click(scene, L"ButtonSetup1");
    HWND dialog = UiTests::WaitForFrame(UiTests::kDialogTitle, 20000);
    if (dialog == nullptr)
        return Fault(4, L"the message that the agreement is not ticked");
    if (IsWindowEnabled(scene))
        Fault(5, L"the window disabled under the message");
    if (!g_dialogReader.Said(kAgreementNotTickedMessage))
        Fault(20, L"the text of the agreement message");
    Sleep(200);
    KeepScreenshot(L"4-agreement-message");
    ClickOrFault(dialog, kCommonDialogOKFile, L"ButtonOK");
    if (!UiTests::WaitUntilGone(dialog, 20000) || !UiTests::WaitUntil([&] { return IsWindowEnabled(scene) != FALSE; }))
        return Fault(6, L"the window enabled again after the agreement message");
    // Still the one-click page: no install was started.
    Click(scene, L"ButtonMinimization");
    if (!UiTests::WaitUntil([&] { return IsIconic(scene) != FALSE; }))
        Fault(7, L"the window minimised by ButtonMinimization");
    ShowWindow(scene, SW_RESTORE);
    Click(scene, L"ButtonClose");
    if (!UiTests::WaitUntilGone(scene, 20000))
        Fault(8, L"the window closed by ButtonClose");
}

// The default folder is a link: the player is told and can choose again;
// nothing starts.
void DriveAnInstallIntoALink()
{
    HWND scene = WaitForScene();
    if (scene == nullptr)
        return;
    WatchTheScene();
    Click(scene, L"ButtonSetup1");
    HWND dialog = UiTests::WaitForFrame(UiTests::kDialogTitle, 20000);
    if (dialog == nullptr)
        return Fault(30, L"the message that the install folder is a link");
    if (!g_dialogReader.Said(kInstallFolderIsALinkMessage))
        Fault(31, L"the text of the link message");
    ClickOrFault(dialog, kCommonDialogOKFile, L"ButtonOK");
    if (!UiTests::WaitUntilGone(dialog, 20000) || !UiTests::WaitUntil([&] { return IsWindowEnabled(scene) != FALSE; }))
        return Fault(32, L"the window enabled again after the link message");
    Click(scene, L"ButtonClose");
    if (!UiTests::WaitUntilGone(scene, 20000))
        Fault(33, L"the window closed by ButtonClose after the link message");
}

// The window is closed at once: no install is asked for.
void DriveCloseWithoutInstalling()
{
    HWND scene = WaitForScene();
    if (scene == nullptr)
        return;
    Click(scene, L"ButtonClose");
    if (!UiTests::WaitUntilGone(scene, 20000))
        Fault(34, L"the window closed by ButtonClose at once");
}

// The run with the default folder a link: the temporary folder in it is
// given up once, saying why, and an install is refused as often as one is
// asked for.
int RunDrivenWithTheDefaultFolderALink(void (*drive)(), int installsRefused)
{
    UiTests::StartEngine();
    RVTest::LogCapture log;
    const int code = RunDriven(drive);
    if (code != kChildPassed)
        return code;
    if (log.CountContaining(L"Temporary folder C:/Program Files/Wendmoor/Temp not used: " + kInstallFolder +
                            L" is a link, a junction or a volume mounted in a folder") != 1)
        return 40;
    if (log.CountContaining(kInstallFolder + L" is a link") != 1 + installsRefused)
        return 41;
    return log.CountContaining(L"Install refused: " + kInstallFolder + L" is a link") == installsRefused ? kChildPassed
                                                                                                         : 42;
}

void DriveAnInstallThatFails()
{
    HWND scene = WaitForScene();
    if (scene == nullptr)
        return;
    WatchTheScene();
    Click(scene, L"ButtonSetup1");
    HWND dialog = UiTests::WaitForFrame(UiTests::kDialogTitle);
    if (dialog == nullptr)
        return Fault(10, L"the message that the install failed");
    if (!g_dialogReader.Said(kInstallFailedMessage))
        Fault(21, L"the text of the install-failed message");
    Sleep(200);
    KeepScreenshot(L"5-install-failed");
    // The window waits for the player to read the message.
    if (!IsWindow(scene))
        Fault(11, L"the window kept open under the install-failed message");
    ClickOrFault(dialog, kCommonDialogOKFile, L"ButtonOK");
    WaitForTheWindowToCloseItself(scene);
}

// What the closing statistics, the tracking request and the updater left.
struct tagPeerCounts
{
    int started = CountStepMessages(kStatisticsStepStarted);
    int begun = CountStepMessages(kStatisticsStepInstallBegun);
    int finished = CountStepMessages(kStatisticsStepInstallFinished);
    int tracking = TrackingRequests();

    static int TrackingRequests()
    {
        int count = 0;
        for (const std::string& line : InstallerTests::PeerRecordLines("RV_WEBAPI_RECORD"))
            count += line.find("/RevEzudIzovuv/MaiDian/SendMaiDian") != std::string::npos ? 1 : 0;
        return count;
    }
};

std::wstring DesktopLink()
{
    return std::wstring(RVGameEngine::Common::GetDesktopDir()->GetUtf16()) + L"\\" + kPackName + L".lnk";
}

std::wstring StartMenuFolder()
{
    return std::wstring(RVGameEngine::Common::GetProgramsDir()->GetUtf16()) + L"\\" + kPackName;
}

std::wstring UninstallDisplayName()
{
    const std::wstring key = std::wstring(kUninstallKeyFormat) + kPackName;
    wchar_t value[512] = {};
    DWORD size = sizeof value;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, key.c_str(), L"DisplayName", RRF_RT_REG_SZ, nullptr, value, &size)
        != ERROR_SUCCESS)
        return L"(missing)";
    return value;
}

// A folder of a fixed name, made for a test and taken away with whatever is
// in it when the scope ends: a failed check must not leave it for later runs.
struct tagMadeFolder
{
    explicit tagMadeFolder(std::wstring folder) : path(std::move(folder)) { CreateDirectoryW(path.c_str(), nullptr); }
    ~tagMadeFolder() { RVTest::RemoveTree(path); }
    tagMadeFolder(const tagMadeFolder&) = delete;
    tagMadeFolder& operator=(const tagMadeFolder&) = delete;

    const std::wstring path;
};

class InstallWindowEndToEnd : public ::testing::Test
{
protected:
    void SetUp() override { RemoveInstall(); }
    void TearDown() override { RemoveInstall(); }

    static void RemoveInstall()
    {
        // The updater the install started may still be ending in the folder
        // (its files in use): the next case must not start on what is left.
        // A link planted there is its planter's to take away.
        UiTests::WaitUntil([] {
            RVTest::RemoveTree(kInstallFolder);
            const DWORD attributes = GetFileAttributesW(kInstallFolder.c_str());
            return attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        }, 30000);
        DeleteFileW(DesktopLink().c_str());
        RVTest::RemoveTree(StartMenuFolder());
        RegDeleteKeyW(HKEY_LOCAL_MACHINE, (std::wstring(kUninstallKeyFormat) + kPackName).c_str());
    }

    // The game tree, its records and the updater's start; the temporary folder gone.
    static void ExpectInstalled(const tagPeerCounts& before)
    {
        for (const wchar_t* file : {L"\\ZURovoZizizer.exe", L"\\WMGameUninstaller.exe", L"\\Data\\readme.txt",
                                    L"\\Updater\\Set\\UpdaterConfig.xml", L"\\ReadWrite\\Installer\\InstallData.xml"})
            EXPECT_TRUE(Exists(kInstallFolder + file)) << file;
        EXPECT_NE(UninstallDisplayName(), L"(missing)");
        EXPECT_FALSE(Exists(kInstallFolder + L"\\Temp"));
        EXPECT_TRUE(RVTest::WaitFor([] { return Exists(kInstallFolder + L"\\ZURovoZizizer.exe.started"); }, 10000));
        EXPECT_TRUE(RVTest::WaitFor([&] {
            const tagPeerCounts now;
            return now.started == before.started + 1 && now.begun == before.begun + 1
                   && now.finished == before.finished + 5 && now.tracking == before.tracking + 1;
        }));
    }
};

} // namespace

TEST_F(InstallWindowEndToEnd, QuickInstallRunsToTheUpdaterAndRefusesToCloseMeanwhile)
{
    const tagPeerCounts before;
    EXPECT_EXIT(ExitProcess(RunDriven(DriveQuickInstall)), ::testing::ExitedWithCode(kChildPassed), "");
    ExpectInstalled(before);
    EXPECT_TRUE(Exists(DesktopLink()));
    EXPECT_TRUE(Exists(StartMenuFolder() + L"\\" + kPackName + L".lnk"));
}

TEST_F(InstallWindowEndToEnd, CustomInstallWithFoldersFromThePickerAndBothShortcutBoxesUntickedMakesNoShortcut)
{
    const tagPeerCounts before;
    EXPECT_EXIT(ExitProcess(RunDriven(DriveCustomInstallWithoutShortcuts)), ::testing::ExitedWithCode(kChildPassed),
                "");
    ExpectInstalled(before);
    EXPECT_FALSE(Exists(DesktopLink()));
    EXPECT_FALSE(Exists(StartMenuFolder()));
}

TEST_F(InstallWindowEndToEnd, RefusedAgreementShowsTheMessageOverTheDisabledWindowAndInstallsNothing)
{
    const tagPeerCounts before;
    EXPECT_EXIT(ExitProcess(RunDriven(DriveRefusedAgreementThenMinimiseAndClose)),
                ::testing::ExitedWithCode(kChildPassed), "");
    EXPECT_FALSE(Exists(kInstallFolder + L"\\ZURovoZizizer.exe"));
    EXPECT_EQ(UninstallDisplayName(), L"(missing)");
    EXPECT_FALSE(Exists(DesktopLink()));
    EXPECT_TRUE(RVTest::WaitFor([&] { return CountStepMessages(kStatisticsStepStarted) == before.started + 1; }));
    const tagPeerCounts after;
    EXPECT_EQ(after.begun, before.begun);
    EXPECT_EQ(after.finished, before.finished);
    EXPECT_EQ(after.tracking, before.tracking);
}

TEST_F(InstallWindowEndToEnd, AnInstallFolderThatIsALinkIsRefusedWithAMessageBeforeAnythingStarts)
{
    const std::wstring elsewhere = L"C:\\WendmoorLinkTarget";
    const tagPeerCounts before;
    // Goes after the link, whatever the checks find.
    std::optional<tagMadeFolder> target;
    {
        // Planted once: the driven child runs this body again up to the run.
        std::optional<RVTest::PlantedLink> link;
        if (FindLinkOnInstallPath(kInstallFolder).empty()) {
            target.emplace(elsewhere);
            link.emplace(kInstallFolder, elsewhere, true);
            ASSERT_TRUE(link->Made());
        }
        EXPECT_EXIT(ExitProcess(RunDrivenWithTheDefaultFolderALink(DriveAnInstallIntoALink, 1)),
                    ::testing::ExitedWithCode(kChildPassed), "");
        EXPECT_EXIT(ExitProcess(RunDrivenWithTheDefaultFolderALink(DriveCloseWithoutInstalling, 0)),
                    ::testing::ExitedWithCode(kChildPassed), "");
    }
    // The link is gone before what it led to: nothing was made there.
    EXPECT_TRUE(RemoveDirectoryW(elsewhere.c_str()));
    EXPECT_EQ(UninstallDisplayName(), L"(missing)");
    EXPECT_EQ(tagPeerCounts().begun, before.begun);
}

TEST_F(InstallWindowEndToEnd, AFailedInstallIsToldAndNeitherReportedFinishedNorHandedToTheUpdater)
{
    // A folder where the package has a file: the game tree cannot be written whole.
    ASSERT_EQ(SHCreateDirectoryExW(nullptr, (kInstallFolder + L"\\Data\\readme.txt").c_str(), nullptr), ERROR_SUCCESS);
    const tagPeerCounts before;
    EXPECT_EXIT(ExitProcess(RunDriven(DriveAnInstallThatFails, kInstallNotDoneExitCode)),
                ::testing::ExitedWithCode(kChildPassed), "");
    EXPECT_EQ(UninstallDisplayName(), L"(missing)");
    EXPECT_FALSE(Exists(kInstallFolder + L"\\Temp"));
    EXPECT_TRUE(RVTest::WaitFor([&] { return CountStepMessages(kStatisticsStepInstallBegun) == before.begun + 1; }));
    Sleep(500);
    EXPECT_EQ(CountStepMessages(kStatisticsStepInstallFinished), before.finished);
    EXPECT_FALSE(Exists(kInstallFolder + L"\\ZURovoZizizer.exe.started"));
}

namespace {

// A system with no memory left for the install options.
tagInstallPaths* NoMemoryForTheOptions()
{
    return nullptr;
}

tagProgressPageWatcher g_progressWatcher;

// The install is asked for and cannot begin: the failure is told over the
// page the player clicked on, and the window closes once it has been read.
void DriveAnInstallWithoutMemoryForItsOptions()
{
    HWND scene = WaitForScene();
    if (scene == nullptr)
        return;
    WatchTheScene(&g_progressWatcher);
    Click(scene, L"ButtonSetup1");
    HWND dialog = UiTests::WaitForFrame(UiTests::kDialogTitle, 20000);
    if (dialog == nullptr)
        return Fault(50, L"the message that the install failed without its options");
    if (!g_dialogReader.Said(kInstallFailedMessage))
        Fault(51, L"the text of that message");
    if (g_progressWatcher.shown)
        Fault(52, L"no progress page before that message");
    ClickOrFault(dialog, kCommonDialogOKFile, L"ButtonOK");
    WaitForTheWindowToCloseItself(scene);
}

int RunDrivenWithoutMemoryForTheOptions()
{
    UiTests::StartEngine();
    SetInstallOptionsAllocationForTests(NoMemoryForTheOptions);
    RVTest::LogCapture log;
    const int code = RunDriven(DriveAnInstallWithoutMemoryForItsOptions, kInstallNotDoneExitCode);
    if (code != kChildPassed)
        return code;
    if (log.CountContaining(L"No memory for the install options") != 1)
        return 53;
    return log.CountContaining(L"The install failed; the player is told") == 1 ? kChildPassed : 54;
}

} // namespace

TEST_F(InstallWindowEndToEnd, AnInstallWhoseOptionsCannotBeMadeIsToldAsFailedAndEndsWithOne)
{
    const tagPeerCounts before;
    EXPECT_EXIT(ExitProcess(RunDrivenWithoutMemoryForTheOptions()), ::testing::ExitedWithCode(kChildPassed), "");
    EXPECT_FALSE(Exists(kInstallFolder + L"\\ZURovoZizizer.exe"));
    EXPECT_EQ(UninstallDisplayName(), L"(missing)");
    EXPECT_EQ(tagPeerCounts().begun, before.begun);
}

// A description without the controls the handlers use: every handler skips
// what is missing (and logs it), and the window still ends with its install.
namespace {

int RunWithABareDescription()
{
    UiTests::UnpackedWindowFiles files;
    UITest::WriteUtf16(files.folder.Child(L"Installer\\UI\\InstallScene.xml"),
                       L"<Panel Name=\"Bare\" X=\"0\" Y=\"0\" Width=\"300\" Height=\"200\">"
                       L"<CheckBox Name=\"CheckBoxEULA\" X=\"0\" Y=\"0\" Width=\"16\" Height=\"16\" Checked=\"true\"/>"
                       L"</Panel>");
    // An agreement address that is no web page is never handed to the shell.
    UITest::WriteUtf16(files.folder.Child(L"Installer\\Set\\UrlItemList.xml"),
                       L"<UrlItemList><UrlItem Name=\"GameInstaller_NoticeInfo\" Address=\"file:///C:/x.exe\"/>"
                       L"</UrlItemList>");
    CWebApiClient::GetInstance()->SetAdvertServer(L"http://127.0.0.1:" + std::to_wstring(RVTest::PeerPort("RV_REFUSED_PORT")));
    SetInstallTrackingHost(WebApiServer());
    SetDriveFreeSpaceQuery(FreeOnDriveC);
    FindInstallDrive();
    RVTest::LogCapture log;
    CInstallScene* scene = CInstallScene::GetInstance();
    scene->Create();
    if (scene->GetFrame() == nullptr || !IsWindowVisible(scene->GetFrame()->GetHandle()))
        return 2;
    scene->ResetPath();
    scene->OnButtonConfig(nullptr, nullptr);
    scene->OnButtonSetup2(nullptr, nullptr);
    scene->OnUpdateProgress(nullptr, nullptr);
    scene->OnButtonEULA(nullptr, nullptr);
    if (IsInstallThreadRunning() || log.CountContaining(L"lacks") == 0
        || log.CountContaining(L"The agreement address is no web page") != 1)
        return 3;
    scene->OnButtonSetup1(nullptr, nullptr);
    // A second press while the worker runs changes nothing.
    scene->OnButtonSetup1(nullptr, nullptr);
    if (!IsInstallThreadRunning() || log.CountContaining(L"already running") != 1)
        return 4;
    scene->RunMessageLoop();
    return IsInstallFinished() ? kChildPassed : 5;
}

} // namespace

TEST_F(InstallWindowEndToEnd, ADescriptionWithoutTheHandlersControlsIsSurvived)
{
    EXPECT_EXIT(ExitProcess(RunWithABareDescription()), ::testing::ExitedWithCode(kChildPassed), "");
}

// ---- Silent start ----------------------------------------------------------------------

namespace {

std::atomic<bool> g_silentRunOver{false};

// Watches for the install window for the whole run: it must never show.
void WatchForAnyVisibleScene()
{
    while (!g_silentRunOver) {
        if (RVTest::FindOwnVisibleWindow(UiTests::kFrameClass, UiTests::kSceneTitle) != nullptr)
            Fault(9, L"no install window shown in a silent run");
        if (RVTest::FindOwnVisibleWindow(UiTests::kFrameClass, UiTests::kDialogTitle) != nullptr)
            Fault(12, L"no message shown in a silent run");
        Sleep(10);
    }
}

template <typename Run>
int WatchedSilently(Run run)
{
    std::thread watcher(WatchForAnyVisibleScene);
    const int code = run();
    g_silentRunOver = true;
    watcher.join();
    return g_driverFault != 0 ? g_driverFault.load() : code;
}

// The scene alone, built silently from a description whose agreement box is
// not ticked: it must end by itself without installing or asking anything.
int RunSilentlyUnticked()
{
    UiTests::UnpackedWindowFiles files;
    TIntrusivePointer<RVGameEngine::Common::IXmlScript> document = RVGameEngine::Common::IXmlScript_Create();
    RVGameEngine::Common::IXmlElement* scene = document->LoadFromFile(kInstallSceneFile)->GetChild(0);
    RVGameEngine::Common::IXmlElement* page = scene->FindChildByNameAttribute(L"PanelScene1");
    RVGameEngine::Common::IXmlElement* box = page != nullptr ? page->FindChildByNameAttribute(L"CheckBoxEULA") : nullptr;
    if (box == nullptr)
        return 2;
    box->SetAttribute(L"Checked", L"false");
    document->SaveToFile(kInstallSceneFile);
    CWebApiClient::GetInstance()->SetAdvertServer(WebApiServer());
    SetDriveFreeSpaceQuery(FreeOnDriveC);
    FindInstallDrive();
    CInstallScene::GetInstance()->Create();
    CInstallScene::GetInstance()->RunMessageLoop();
    return IsInstallThreadRunning() ? 3 : kChildPassed;
}

} // namespace

// Run only as children of the tests below: their program name says "SILENT".
TEST(SilentChild, DISABLED_Run)
{
    ExitProcess(WatchedSilently([] { return RunDriven([] {}); }));
}

TEST(SilentChild, DISABLED_Unticked)
{
    ExitProcess(WatchedSilently(RunSilentlyUnticked));
}

namespace {

// A silent run whose install is not done ends with 1 and tells nobody: no
// window, no message (none left behind either), and no log line that says
// the player was told; the line given names what was not shown.
int RunSilentlyWithoutAnInstall(const wchar_t* line)
{
    UiTests::StartEngine();
    RVTest::LogCapture log;
    const int code = RunDriven([] {}, kInstallNotDoneExitCode);
    if (code != kChildPassed)
        return code;
    if (log.CountContaining(L"told") != 0)
        return 20;
    if (GetOpenDialogCount() != 0)
        return 22;
    return log.CountContaining(line) == 1 ? kChildPassed : 21;
}

} // namespace

TEST(SilentChild, DISABLED_Fails)
{
    ExitProcess(WatchedSilently(
        [] { return RunSilentlyWithoutAnInstall(L"The install failed; no window is shown, no message either"); }));
}

TEST(SilentChild, DISABLED_IntoALink)
{
    ExitProcess(WatchedSilently([] {
        return RunSilentlyWithoutAnInstall(L"The install folder is refused: a link, a junction or a volume mounted "
                                           L"in a folder lies on its path; no window is shown, no message either");
    }));
}

TEST(SilentChild, DISABLED_WithoutMemoryForTheOptions)
{
    ExitProcess(WatchedSilently([] {
        SetInstallOptionsAllocationForTests(NoMemoryForTheOptions);
        return RunSilentlyWithoutAnInstall(L"The install failed; no window is shown, no message either");
    }));
}

TEST_F(InstallWindowEndToEnd, ASilentInstallThatFailsTellsNobodyAndSaysSo)
{
    // A folder where the package has a file: the game tree cannot be written whole.
    ASSERT_EQ(SHCreateDirectoryExW(nullptr, (kInstallFolder + L"\\Data\\readme.txt").c_str(), nullptr), ERROR_SUCCESS);
    EXPECT_EQ(RunSilentCopy(L"SilentChild.DISABLED_Fails"), static_cast<DWORD>(kChildPassed));
    EXPECT_EQ(UninstallDisplayName(), L"(missing)");
}

TEST_F(InstallWindowEndToEnd, ASilentStartInstallsWithoutEverShowingTheWindow)
{
    const tagPeerCounts before;
    EXPECT_EQ(RunSilentCopy(L"SilentChild.DISABLED_Run"), static_cast<DWORD>(kChildPassed));
    ExpectInstalled(before);
    EXPECT_TRUE(Exists(DesktopLink()));
}

// Refused for a link on the default folder, or without memory for the
// options: the install never begins, and the run says so only in its log.
TEST_F(InstallWindowEndToEnd, ASilentStartWhoseInstallCannotBeginShowsNothingAndEndsWithOne)
{
    struct tagRow
    {
        const wchar_t* child;
        bool defaultFolderALink;
    };
    const tagRow rows[] = {
        {L"SilentChild.DISABLED_IntoALink", true},
        {L"SilentChild.DISABLED_WithoutMemoryForTheOptions", false},
    };
    const std::wstring elsewhere = L"C:\\WendmoorLinkTarget";
    const tagPeerCounts before;
    for (const tagRow& row : rows) {
        // The folder goes after the link, whatever the checks find.
        std::optional<tagMadeFolder> target;
        std::optional<RVTest::PlantedLink> link;
        if (row.defaultFolderALink) {
            target.emplace(elsewhere);
            link.emplace(kInstallFolder, elsewhere, true);
            ASSERT_TRUE(link->Made());
        }
        EXPECT_EQ(RunSilentCopy(row.child), static_cast<DWORD>(kChildPassed)) << row.child;
        link.reset();
        // The link is gone before what it led to: nothing was made there.
        if (row.defaultFolderALink) {
            EXPECT_TRUE(RemoveDirectoryW(elsewhere.c_str()));
        }
        EXPECT_FALSE(Exists(kInstallFolder + L"\\ZURovoZizizer.exe")) << row.child;
    }
    EXPECT_EQ(tagPeerCounts().begun, before.begun);
}

TEST_F(InstallWindowEndToEnd, ASilentStartWithTheAgreementUntickedEndsWithoutAWord)
{
    EXPECT_EQ(RunSilentCopy(L"SilentChild.DISABLED_Unticked"), static_cast<DWORD>(kChildPassed));
    EXPECT_FALSE(Exists(kInstallFolder + L"\\ZURovoZizizer.exe"));
}

// ---- The pack name in the window, and the texts beside the check boxes ------------------

namespace {

struct tagPackNameRow
{
    const wchar_t* configured;
    const wchar_t* shown;
    // The default folder then ends in the pack name beyond the path field.
    bool folderTooLong;
};

const tagPackNameRow kPackNameRows[] = {
    {L"Wendmoor Moorland", L"Wendmoor Moorland", false},
    {L"", L"Wendmoor", false},
    {L"Wendmoor Moorland Championship Edition For Long Winter Evenings",
     L"Wendmoor Moorland Championship Edition For Long Winter Evenings", true},
};

std::wstring TitleOf(const wchar_t* name)
{
    RVGameEngine::DirectUI::IUIWindow* window =
        CInstallScene::GetInstance()->GetFrame()->GetRootWindow()->FindWindow(name);
    return window != nullptr ? window->GetTitle() : L"(missing)";
}

// The middle of the control, in the window's client coordinates.
LPARAM MiddleOf(const wchar_t* name)
{
    const RECT rect = UiTests::DescribedRect(kInstallSceneFile, name);
    return MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
}

// A press at one place and a release at another, as the window receives them.
void PressAndRelease(LPARAM pressAt, LPARAM releaseAt)
{
    HWND window = CInstallScene::GetInstance()->GetFrame()->GetHandle();
    SendMessageW(window, WM_MOUSEMOVE, 0, pressAt);
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, pressAt);
    SendMessageW(window, WM_MOUSEMOVE, MK_LBUTTON, releaseAt);
    SendMessageW(window, WM_LBUTTONUP, 0, releaseAt);
}

// A press and a release of the left button at the middle of the control.
void ClickInside(const wchar_t* name)
{
    PressAndRelease(MiddleOf(name), MiddleOf(name));
}

// The scene built for a partner whose pack name is the row's; returns the
// number of the first check that failed, or kChildPassed.
int RunWithPackName(const tagPackNameRow& row)
{
    UiTests::UnpackedWindowFiles files;
    // This program's partner identity comes from its name: "test_installer_ui".
    UITest::WriteUtf16(files.folder.Child(L"Installer\\Set\\PartnerConfig.xml"),
                       std::wstring(L"<PartnerConfig><Partner PartnerID=\"ui\" PackName=\"") + row.configured
                           + L"\" IconIndex=\"0\"/></PartnerConfig>");
    CWebApiClient::GetInstance()->SetAdvertServer(L"http://127.0.0.1:" + std::to_wstring(RVTest::PeerPort("RV_REFUSED_PORT")));
    SetDriveFreeSpaceQuery(FreeOnDriveC);
    FindInstallDrive();
    CInstallScene* scene = CInstallScene::GetInstance();
    scene->Create();
    if (scene->GetFrame() == nullptr)
        return 2;
    const std::wstring title = std::wstring(row.shown) + L" - 安装";
    if (scene->GetFrame()->GetTitle() != title || TitleOf(L"LabelWindowTitle") != title)
        return 3;
    if (TitleOf(L"LabelProgressCaption").find(row.shown) == std::wstring::npos)
        return 4;
    // The whole folder stays the label's title; only the drawing moves.
    const std::wstring folder = TitleOf(L"LabelPath");
    if (folder.size() < wcslen(row.shown) || folder.compare(folder.size() - wcslen(row.shown), std::wstring::npos, row.shown) != 0)
        return 5;
    RVGameEngine::DirectUI::IUIWindow* path = scene->GetFrame()->GetRootWindow()->FindWindow(L"LabelPath");
    if (path->GetTitleAlign() != (row.folderTooLong ? kTitleAlignCenterRight : kTitleAlignCenterLeft))
        return 6;
    // Clicking the text beside a box ticks and unticks it, as the box does;
    // the first on the one-click page, the others on the custom page.
    const std::pair<const wchar_t*, const wchar_t*> captions[] = {{L"LabelEULA", L"CheckBoxEULA"},
                                                                  {L"LabelConfig1", L"CheckBoxConfig1"},
                                                                  {L"LabelConfig2", L"CheckBoxConfig2"},
                                                                  {L"LabelConfig3", L"CheckBoxConfig3"}};
    for (const auto& caption : captions) {
        if (std::wcscmp(caption.first, L"LabelConfig1") == 0)
            scene->OnButtonConfig(nullptr, nullptr);
        const bool before = IsTicked(caption.second);
        ClickInside(caption.first);
        if (IsTicked(caption.second) == before)
            return 7;
        ClickInside(caption.first);
        if (IsTicked(caption.second) != before)
            return 8;
    }
    // A press on a text released elsewhere (on the page, or outside the
    // window) is over: a later press elsewhere released on the text is no
    // click on it.
    for (const LPARAM elsewhere : {MiddleOf(L"LabelPath"), MAKELPARAM(-40, -40)}) {
        const bool before = IsTicked(L"CheckBoxConfig3");
        PressAndRelease(MiddleOf(L"LabelConfig3"), elsewhere);
        PressAndRelease(MiddleOf(L"LabelPath"), MiddleOf(L"LabelConfig3"));
        if (IsTicked(L"CheckBoxConfig3") != before)
            return 9;
    }
    return kChildPassed;
}

} // namespace

TEST(InstallWindowPackName, NamesThePackInEveryTitleKeepsTheFolderEndInSightAndTicksBoxesByTheirText)
{
    for (const tagPackNameRow& row : kPackNameRows)
        EXPECT_EXIT(ExitProcess(RunWithPackName(row)), ::testing::ExitedWithCode(kChildPassed), "") << row.configured;
}

// ---- The program itself, on the servers it is handed -------------------------------------

namespace {

int AdvertRequests()
{
    int count = 0;
    for (const std::string& line : InstallerTests::PeerRecordLines("RV_WEBAPI_RECORD"))
        count += line.find("/ReqAdvertList/") != std::string::npos ? 1 : 0;
    return count;
}

} // namespace

TEST_F(InstallWindowEndToEnd, TheProgramReportsToTheServersItIsHandedAndToNoOther)
{
    RVTest::TempFolder folder;
    const std::wstring list = folder.Child(L"UrlItemList.xml");
    UITest::WriteUtf16(list, L"<UrlItemList><UrlItem Name=\"GameInstaller_NoticeInfo\" Address=\"" + WebApiServer()
                                 + L"/agreement.html\"/><UrlItem Name=\"GameInstaller_WebApi\" Address=\""
                                 + WebApiServer() + L"\"/></UrlItemList>");
    const tagPeerCounts before;
    const int advertsBefore = AdvertRequests();
    const std::wstring statistics = L"127.0.0.1:" + std::to_wstring(RVTest::PeerPort("RV_STAT_PORT"));
    const std::wstring program = InstallerTests::ProgramFolder() + L"..\\..\\installer\\WendmoorSetup.exe";
    EXPECT_EQ(RunProgram(program, L"SILENT=TRUE \"UrlItemList=" + list + L"\" StatisticsServer=" + statistics), 0u);
    ExpectInstalled(before);
    EXPECT_EQ(AdvertRequests(), advertsBefore + 1);
}

// Whoever started a silent install learns from the status that it failed.
TEST_F(InstallWindowEndToEnd, TheProgramEndsWithANonZeroStatusWhenItsSilentInstallFails)
{
    // A folder where the package has a file: the game tree cannot be written whole.
    ASSERT_EQ(SHCreateDirectoryExW(nullptr, (kInstallFolder + L"\\Data\\readme.txt").c_str(), nullptr), ERROR_SUCCESS);
    RVTest::TempFolder folder;
    const std::wstring list = folder.Child(L"UrlItemList.xml");
    UITest::WriteUtf16(list, L"<UrlItemList><UrlItem Name=\"GameInstaller_WebApi\" Address=\"" + WebApiServer()
                                 + L"\"/></UrlItemList>");
    const std::wstring statistics = L"127.0.0.1:" + std::to_wstring(RVTest::PeerPort("RV_STAT_PORT"));
    const std::wstring program = InstallerTests::ProgramFolder() + L"..\\..\\installer\\WendmoorSetup.exe";
    const tagPeerCounts before;
    EXPECT_EQ(RunProgram(program, L"SILENT=TRUE \"UrlItemList=" + list + L"\" StatisticsServer=" + statistics),
              static_cast<DWORD>(kInstallNotDoneExitCode));
    EXPECT_EQ(UninstallDisplayName(), L"(missing)");
    // It failed in the install itself, not before.
    EXPECT_TRUE(RVTest::WaitFor([&] { return CountStepMessages(kStatisticsStepInstallBegun) == before.begun + 1; }));
}

namespace {

bool IsRunning(const std::wstring& fileName)
{
    const RVGameEngine::Common::CScopedKernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = snapshot && Process32FirstW(snapshot.Get(), &entry); more;
         more = Process32NextW(snapshot.Get(), &entry))
        if (_wcsicmp(entry.szExeFile, fileName.c_str()) == 0)
            return true;
    return false;
}

} // namespace

// A program that outlives its run's wait is ended, and gone when the run
// returns: the caller deletes its file at once.
TEST(ProgramRuns, AProgramThatOutlivesTheWaitIsGoneWhenTheRunReturns)
{
    RVTest::TempFolder folder;
    const std::wstring name = L"outliving-" + std::to_wstring(GetCurrentProcessId()) + L".exe";
    const std::wstring program = folder.Child(name);
    ASSERT_TRUE(CopyFileW((InstallerTests::ProgramFolder() + L"installer_test_standin.exe").c_str(), program.c_str(),
                          FALSE));
    EXPECT_EQ(RunProgram(program, L"--wait", 0), 1u);
    EXPECT_FALSE(IsRunning(name));
    EXPECT_TRUE(DeleteFileW(program.c_str())) << GetLastError();
}

TEST(AddressOptions, AStatisticsServerIsAHostAndAPortAndNothingElse)
{
    struct tagRow
    {
        const wchar_t* text;
        bool taken;
        const char* host;
        int32_t port;
    };
    const tagRow rows[] = {
        {L"127.0.0.1:45201", true, "127.0.0.1", 45201}, {L"stat.example-1.net:1", true, "stat.example-1.net", 1},
        {L"h:65535", true, "h", 65535},                  {L"h:65536", false, "", 0},
        {L"h:0", false, "", 0},                          {L"h:", false, "", 0},
        {L":80", false, "", 0},                          {L"h", false, "", 0},
        {L"h:8o", false, "", 0},                         {L"h:-1", false, "", 0},
        {L"h h:80", false, "", 0},                       {L"h:0000080", false, "", 0},
    };
    for (const tagRow& row : rows) {
        std::string host;
        int32_t port = 0;
        EXPECT_EQ(SplitHostAndPort(row.text, &host, &port), row.taken) << row.text;
        EXPECT_EQ(host, row.host) << row.text;
        EXPECT_EQ(port, row.port) << row.text;
    }
}
