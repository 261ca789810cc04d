#include "installer/ui/InstallSceneFunctions.h"

#include "installer/core/reporting/CWebApiClient.h"
#include "installer/core/rules/BuildSettings.h"
#include "installer/core/rules/PartnerFunctions.h"
#include "installer/core/rules/WebAddressRules.h"

#include "engine/common/base/TextCodec.h"

#include "engine/directui/controls/IUIHelper.h"
#include "engine/directui/drawing/IGdiFontManager.h"
#include "engine/directui/services/ProgramFolderNames.h"
#include "engine/directui/uisystem/IUISystemDriver.h"
#include "engine/directui/uisystem/IUIImage.h"
#include "engine/directui/uisystem/IUISystem.h"
#include "engine/filesystem/IVirtualFileSystem.h"

#include <windows.h>

#include <algorithm>
#include <cstdarg>
#include <cwchar>

using RVGameEngine::Common::TIntrusivePointer;
using namespace RVGameEngine::DirectUI;

namespace {

constexpr int32_t kMegabytesPerGigabyte = 1024;
constexpr int32_t kDriveCount = 26;
// What a right-aligned title keeps free at the window's right edge.
constexpr int32_t kTitleRightMargin = 4;
// Where the window's own files live inside the unpacked package.
constexpr const wchar_t* kWindowFilePrefixes[] = {L"Installer/UI/", L"Installer/Skin/"};

std::wstring Formatted(const wchar_t* format, ...)
{
    wchar_t buffer[64] = {};
    va_list arguments;
    va_start(arguments, format);
    std::vswprintf(buffer, sizeof(buffer) / sizeof(buffer[0]), format, arguments);
    va_end(arguments);
    return buffer;
}

std::wstring& TrackingHost()
{
    static std::wstring host = kTrackingHost;
    return host;
}

// The text as an XML attribute value: the identity comes from the program's
// name or command line and may hold markup.
std::wstring XmlAttributeText(const std::wstring& text)
{
    std::wstring escaped;
    for (wchar_t c : text) {
        switch (c) {
        case L'&':
            escaped += L"&amp;";
            break;
        case L'<':
            escaped += L"&lt;";
            break;
        case L'>':
            escaped += L"&gt;";
            break;
        case L'"':
            escaped += L"&quot;";
            break;
        case L'\'':
            escaped += L"&apos;";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

} // namespace

int32_t ProgressPercent(uint32_t done, uint32_t total)
{
    if (total == 0)
        return 0;
    const uint64_t percent = static_cast<uint64_t>(done) * 100u / total;
    return static_cast<int32_t>(percent > 100u ? 100u : percent);
}

std::wstring ProgressText(uint32_t done, uint32_t total)
{
    return Formatted(L"%d%%", ProgressPercent(done, total));
}

std::wstring FreeSpaceText(int32_t freeMB)
{
    return Formatted(L"%0.2fG", static_cast<double>(freeMB) / kMegabytesPerGigabyte);
}

int32_t DriveIndexOf(const std::wstring& folder)
{
    if (folder.empty())
        return -1;
    wchar_t letter = folder[0];
    if (letter >= L'a' && letter <= L'z')
        letter = static_cast<wchar_t>(letter - L'a' + L'A');
    const int32_t index = letter - L'A';
    return index >= 0 && index < kDriveCount ? index : -1;
}

bool IsDriveFolder(const std::wstring& folder)
{
    return folder.size() >= 2 && folder[1] == L':';
}

std::wstring InstallTrackingAddress(const wchar_t* host, const std::wstring& partnerID)
{
    // The record itself goes as it stands; the identity inside it is escaped
    // for the XML and then percent-encoded, as in the advert request, so that
    // neither the form ('&', '+', '%') nor the record ('<', '"') can be split
    // by it. Put in place by hand: the identity may be of any length.
    const std::wstring channel = RVGameEngine::Common::NarrowToWide(
        RVGameEngine::Common::kCodePageUtf8, PercentEncode(XmlAttributeText(partnerID)).c_str());
    std::wstring record(kTrackingRecordFormat);
    record.replace(record.find(L"%s"), 2, channel);
    return std::wstring(host) + kTrackingPath + record;
}

void SendInstallTracking()
{
    CWebApiClient::GetInstance()->RequestPost(InstallTrackingAddress(TrackingHost().c_str(), GetPartnerID()).c_str());
}

void SetInstallTrackingHost(const std::wstring& host)
{
    TrackingHost() = host;
}

bool FitsOnOneLine(IUIWindow* window, const std::wstring& text)
{
    IUISystem* system = window != nullptr ? window->GetUISystem() : nullptr;
    IUISystemDriver* driver = system != nullptr ? system->GetDriver() : nullptr;
    IGdiFontManager* fonts = IFontManager_GetInstance();
    if (driver == nullptr || fonts == nullptr)
        return true;
    int32_t width = 0;
    int32_t height = 0;
    driver->MeasureText(fonts->GetFont(window->GetTitleFont()), text.c_str(), &width, &height);
    return width + kTitleRightMargin <= window->GetWidth();
}

void KeepWindowFilesReachable()
{
    static bool kept = false;
    if (kept)
        return;
    wchar_t buffer[MAX_PATH + 1] = {};
    const DWORD length = GetCurrentDirectoryW(MAX_PATH, buffer);
    if (length == 0 || length > MAX_PATH)
        return;
    // The unpacked window files are the program's own: markup may show their pictures.
    RVGameEngine::DirectUI::AddProgramFolder(buffer);
    std::wstring folder(buffer, length);
    std::replace(folder.begin(), folder.end(), L'\\', L'/');
    if (folder.back() != L'/')
        folder += L'/';
    kept = true;
    RVGameEngine::FileSystem::IVirtualFileSystem* files = RVGameEngine::FileSystem::IVirtualFileSystem_GetInstance();
    for (const wchar_t* prefix : kWindowFilePrefixes)
        files->AddFilenameReplace(prefix, (folder + prefix).c_str());
}

bool SetWindowPicture(IUIWindow* window, const wchar_t* file)
{
    if (window == nullptr || window->GetUISystem() == nullptr
        || !RVGameEngine::FileSystem::IVirtualFileSystem_GetInstance()->FileExists(file))
        return false;
    IUIHelper* helper = IUIHelper_GetInstance();
    const IUIHelper::System system(window->GetUISystem());
    // A download that is no picture keeps the window's own look; the decoded
    // data is shared, so the helper's own load below decodes nothing again.
    const TIntrusivePointer<IUIImage> picture = helper->CreateImage(system, file);
    if (!picture || picture->GetImageWidth() <= 0 || picture->GetImageHeight() <= 0)
        return false;
    helper->SetWindowBackgroundImage(TIntrusivePointer<IUIWindow>(window), system, file);
    return true;
}
