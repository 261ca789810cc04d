#include "installer/core/install/InstallStepFunctions.h"

#include "installer/core/extraction/CExtractedFileWriter.h"
#include "installer/core/rules/BuildSettings.h"
#include "installer/core/rules/PartnerFunctions.h"

#include "engine/common/base/TScopedHandle.h"
#include "engine/common/system/FolderRemovalFunctions.h"
#include "engine/common/system/RegistryFunctions.h"
#include "engine/common/system/ShellFunctions.h"
#include "engine/filesystem/CCheckedFileWriter.h"
#include "engine/filesystem/ILogFile.h"
#include "engine/filesystem/IVirtualFileSystem.h"
#include "engine/filesystem/ReparsePointFunctions.h"
#include "engine/filesystem/documents/IXmlScript.h"

#include <windows.h>

#include <vector>

using RVGameEngine::Common::CScopedKernelHandle;
using RVGameEngine::Common::IXmlElement;
using RVGameEngine::Common::IXmlScript;
using RVGameEngine::Common::TIntrusivePointer;
using RVGameEngine::FileSystem::ILogFile_GetInstance;
using RVGameEngine::FileSystem::IVirtualFileSystem;
using RVGameEngine::FileSystem::IVirtualFileSystem_GetInstance;
using RVGameEngine::FileSystem::LOG_LEVEL_ERROR;

namespace {

constexpr DWORD kMaxCurrentDirectory = 1024;

std::wstring CurrentDirectory()
{
    wchar_t folder[kMaxCurrentDirectory + 1] = {};
    const DWORD length = GetCurrentDirectoryW(kMaxCurrentDirectory, folder);
    return length > 0 && length < kMaxCurrentDirectory ? std::wstring(folder, length) : std::wstring();
}

// A link to <current directory>\<target> written as <link name> (one name,
// or a folder and a name) below the shell folder. The shell folder is the
// user's own and is taken as the system names it; below it nothing is done
// by path: the folder is made from its handle, never through a link, and the
// link's bytes, made in memory, go into a checked file.
bool MakeShortcut(const wchar_t* target, const wchar_t* description, const std::wstring& shellFolder,
                  const std::wstring& linkName, int32_t iconIndex)
{
    const std::wstring folder = CurrentDirectory();
    const std::wstring targetPath = folder + L"\\" + target;
    const std::wstring shown = shellFolder + L"\\" + linkName;
    std::vector<uint8_t> bytes;
    if (!RVGameEngine::Common::MakeShortcutBytes(targetPath.c_str(), folder.c_str(), description, iconIndex,
                                                 &bytes)) {
        ILogFile_GetInstance()->Log(LOG_LEVEL_ERROR, L"Shortcut %s not made", shown.c_str());
        return false;
    }
    const CScopedKernelHandle base(CreateFileW(shellFolder.c_str(),
                                               RVGameEngine::FileSystem::kCheckedFolderAccess | SYNCHRONIZE,
                                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                               OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    RVGameEngine::FileSystem::CCheckedFileWriter writer;
    RVGameEngine::FileSystem::CHECKED_REACH reach = RVGameEngine::FileSystem::CHECKED_REACH_FAILED;
    DWORD error = GetLastError();
    if (base && writer.SetBase(base.Get()) &&
        writer.Write(linkName, bytes.data(), static_cast<uint32_t>(bytes.size()), &reach, &error))
        return true;
    const std::wstring why = reach == RVGameEngine::FileSystem::CHECKED_REACH_LINK
                                 ? std::wstring(RVGameEngine::FileSystem::kLinkKinds) + L" on the way"
                                 : L"cannot be written";
    ILogFile_GetInstance()->Log(LOG_LEVEL_ERROR, L"Shortcut %s not written (%s, system error %lu)", shown.c_str(),
                                why.c_str(), static_cast<unsigned long>(error));
    return false;
}

// Written as the game files are: through the install folder's handles, so
// that a link planted in it since cannot send the file elsewhere.
bool WriteInInstallFolder(const wchar_t* name, const std::string& bytes)
{
    CExtractedFileWriter writer;
    DWORD error = ERROR_SUCCESS;
    if (writer.Write(name, bytes.data(), static_cast<uint32_t>(bytes.size()), &error))
        return true;
    ILogFile_GetInstance()->Log(LOG_LEVEL_ERROR, L"%s not written (system error %lu)", name,
                                static_cast<unsigned long>(error));
    return false;
}

// A document as its file holds it: UTF-16 behind its byte-order mark.
std::string DocumentBytes(IXmlScript* document)
{
    TIntrusivePointer<RVGameEngine::Common::IString> text = RVGameEngine::Common::IString_Create();
    document->GetRoot()->SaveToString(text);
    const std::wstring utf16 = text->GetUtf16();
    return std::string("\xff\xfe", 2) +
           std::string(reinterpret_cast<const char*>(utf16.data()), utf16.size() * sizeof(wchar_t));
}

void LogUpdaterConfigRefused(const wchar_t* reason)
{
    ILogFile_GetInstance()->Log(LOG_LEVEL_ERROR, L"Updater configuration %s left as it is: %s", kUpdaterConfigFile,
                                reason);
}

// A program path read as a command line: unquoted, "C:\Program Files\x.exe"
// would first start "C:\Program" with the rest as its arguments.
std::wstring QuotedWhenItHoldsBlanks(const std::wstring& path)
{
    return path.find_first_of(L" \t") == std::wstring::npos ? path : L"\"" + path + L"\"";
}

} // namespace

void ClearUpdaterState()
{
    RVGameEngine::Common::RemoveFolderTree(kUpdaterStateFolder, RVGameEngine::Common::FOLDER_REMOVAL_FILES_ONLY);
}

bool WriteUpdaterConfig(const std::wstring& packName)
{
    IVirtualFileSystem* fileSystem = IVirtualFileSystem_GetInstance();
    if (!fileSystem->FileExists(kUpdaterConfigFile))
        return false;
    const std::wstring partnerID = GetPartnerID();
    TIntrusivePointer<IXmlScript> document = RVGameEngine::Common::IXmlScript_Create();
    IXmlElement* config = document->LoadFromFile(kUpdaterConfigFile)->GetChild(0);
    if (config == nullptr || std::wstring(config->GetName()) != L"UpdaterConfig") {
        LogUpdaterConfigRefused(L"its first element is not \"UpdaterConfig\"");
        return false;
    }
    IXmlElement* server = config->FindChildByName(L"UpdateServerAddress");
    if (server == nullptr) {
        LogUpdaterConfigRefused(L"it has no \"UpdateServerAddress\"");
        return false;
    }
    // Written as it stands, a double quote would end the value early.
    if (partnerID.find(L'"') != std::wstring::npos || packName.find(L'"') != std::wstring::npos) {
        LogUpdaterConfigRefused(L"the partner identity or pack name holds a double quote");
        return false;
    }
    server->SetAttribute(L"PartnerID", partnerID.c_str());
    server->SetAttribute(L"PacketName", packName.c_str());
    server->SetAttribute(L"PackName", packName.c_str());
    std::string bytes = DocumentBytes(document.Get());
    fileSystem->ScrambleBuffer(reinterpret_cast<uint8_t*>(&bytes[0]), static_cast<int32_t>(bytes.size()));
    if (!WriteInInstallFolder(kUpdaterConfigFile, "RVEF" + bytes)) {
        LogUpdaterConfigRefused(L"it could not be saved");
        return false;
    }
    return true;
}

bool CreateDesktopShortcut(const wchar_t* target, const wchar_t* description, const wchar_t* linkName,
                           int32_t iconIndex)
{
    return MakeShortcut(target, description, RVGameEngine::Common::GetDesktopDir()->GetUtf16(), linkName, iconIndex);
}

bool CreateProgramsShortcut(const wchar_t* target, const wchar_t* description, const wchar_t* folderName,
                            const wchar_t* linkName, int32_t iconIndex)
{
    return MakeShortcut(target, description, RVGameEngine::Common::GetProgramsDir()->GetUtf16(),
                        std::wstring(folderName) + L"\\" + linkName, iconIndex);
}

bool WriteInstallData(const wchar_t* path)
{
    TIntrusivePointer<IXmlScript> document = RVGameEngine::Common::IXmlScript_Create();
    IXmlElement* data = document->GetRoot()->CreateChild();
    data->SetName(L"InstallData");
    data->SetAttributeInt(L"SetupTime", static_cast<int32_t>(GetCurrentUnixTime()));
    data->SetAttributeBool(L"JustSetup", true);
    const bool saved = WriteInInstallFolder(path, DocumentBytes(document.Get()));
    if (!saved)
        ILogFile_GetInstance()->Log(LOG_LEVEL_ERROR, L"Install record %s not written", path);
    return saved;
}

bool WriteUninstallRegistry(const std::wstring& packName, const std::wstring& installFolder)
{
    const std::wstring keyPath = std::wstring(kUninstallKeyFormat) + packName;
    RVGameEngine::Common::CScopedRegistryKey key(
        RVGameEngine::Common::CreateRegisterKey(HKEY_LOCAL_MACHINE, keyPath.c_str()));
    if (!key) {
        ILogFile_GetInstance()->Log(LOG_LEVEL_ERROR, L"Uninstall entry %s not made", keyPath.c_str());
        return false;
    }
    const std::wstring values[][2] = {
        {L"DisplayIcon", QuotedWhenItHoldsBlanks(installFolder + L"\\" + kUpdaterProgram) + L",0"},
        {L"DisplayName", packName},
        {L"DisplayVersion", kDisplayVersion},
        {L"InstallLocation", installFolder},
        {L"Publisher", packName},
        {L"UninstallString", QuotedWhenItHoldsBlanks(installFolder + L"\\" + kUninstallProgram)},
        {L"URLInfoAbout", kHomePageAddress},
    };
    bool allWritten = true;
    for (const auto& value : values)
        allWritten = RVGameEngine::Common::WriteRegisterKeyValue(key.Get(), value[0].c_str(), value[1].c_str()) != 0 &&
                     allWritten;
    return allWritten;
}

uint32_t GetCurrentUnixTime()
{
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    const uint64_t ticks = (static_cast<uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    constexpr uint64_t kTicksPerSecond = 10000000ULL;
    constexpr uint64_t kSecondsFrom1601To1970 = 11644473600ULL;
    return static_cast<uint32_t>(ticks / kTicksPerSecond - kSecondsFrom1601To1970);
}
