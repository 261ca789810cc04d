#include "installer/core/rules/PartnerFunctions.h"

#include "installer/core/rules/AsciiTextFunctions.h"
#include "installer/core/rules/EntryNameRules.h"

#include "engine/common/base/CAutoLock.h"
#include "engine/common/base/LogTextFunctions.h"
#include "engine/common/base/CCriticalSection.h"
#include "engine/common/system/ICommandLine.h"
#include "engine/filesystem/ILogFile.h"
#include "engine/filesystem/IVirtualFileSystem.h"
#include "engine/filesystem/documents/IXmlScript.h"

#include <windows.h>

using RVGameEngine::Common::CAutoLock;
using RVGameEngine::Common::CCriticalSection;
using RVGameEngine::Common::IXmlElement;
using RVGameEngine::Common::IXmlScript;
using RVGameEngine::Common::TIntrusivePointer;
using RVGameEngine::FileSystem::ILogFile_GetInstance;
using RVGameEngine::FileSystem::IVirtualFileSystem_GetInstance;

namespace {

constexpr DWORD kMaxProgramPath = 260;

std::wstring ProgramPath()
{
    wchar_t path[kMaxProgramPath + 1] = {};
    GetModuleFileNameW(nullptr, path, kMaxProgramPath);
    return path;
}

std::wstring CommandLineOption(const wchar_t* name)
{
    return RVGameEngine::Common::ICommandLine_GetInstance()->GetString(name)->GetUtf16();
}

bool IsRefusedCharacter(wchar_t c)
{
    // The document dialect has no escaping: a quote would end the attribute,
    // a line break or control character would break the line.
    return c == L'"' || c < 0x20 || c == 0x7F;
}

struct tagPartnerSettings
{
    std::wstring packName = kDefaultPackName;
    int32_t iconIndex = 0;
};

// This partner's settings, looked up once the configuration file is there
// (it arrives with the unpacked installer package) and then remembered for
// the process: the UI thread and the worker both ask. False, with the
// defaults, while the file is missing.
bool RememberedPartnerSettings(tagPartnerSettings* settings)
{
    if (!IVirtualFileSystem_GetInstance()->FileExists(kPartnerConfigFile))
        return false;
    static CCriticalSection lock;
    static bool found = false;
    static tagPartnerSettings remembered;
    CAutoLock guard(&lock);
    if (!found) {
        FindPartnerSettings(kPartnerConfigFile, GetPartnerID(), &remembered.packName, &remembered.iconIndex);
        found = true;
    }
    *settings = remembered;
    return true;
}

IXmlElement* FirstMatch(IXmlElement* group, const std::wstring& partnerID, bool exact)
{
    for (int32_t i = 0; i < group->GetChildCount(); ++i) {
        IXmlElement* entry = group->GetChild(i);
        const bool matches = exact ? partnerID == entry->GetAttribute(L"PartnerID")
                                   : ContainsNoCase(partnerID.c_str(), entry->GetAttribute(L"Contains"));
        if (matches)
            return entry;
    }
    return nullptr;
}

IXmlElement* TopLevelNamed(IXmlElement* root, int32_t index, const wchar_t* name)
{
    IXmlElement* element = root->GetChild(index);
    return element != nullptr && std::wstring(element->GetName()) == name ? element : nullptr;
}

} // namespace

bool ContainsNoCase(const wchar_t* text, const wchar_t* part)
{
    if (text == nullptr || part == nullptr || text[0] == L'\0')
        return false;
    const size_t textLength = wcslen(text);
    const size_t partLength = wcslen(part);
    for (size_t at = 0; at < textLength && partLength <= textLength - at; ++at) {
        size_t matched = 0;
        while (matched < partLength && UpperAsciiCharacter(text[at + matched]) == UpperAsciiCharacter(part[matched]))
            ++matched;
        if (matched == partLength)
            return true;
    }
    return false;
}

std::wstring AcceptablePartnerID(const std::wstring& identity, const wchar_t* source)
{
    for (wchar_t c : identity) {
        if (IsRefusedCharacter(c)) {
            ILogFile_GetInstance()->Log(RVGameEngine::FileSystem::LOG_LEVEL_ERROR,
                                        L"Partner identity from the %s refused: it holds a quote or control character",
                                        source);
            return L"";
        }
    }
    return identity;
}

std::wstring PartnerIDFromProgramPath(const std::wstring& programPath)
{
    const size_t separator = programPath.find_last_of(L'\\');
    std::wstring name = separator == std::wstring::npos ? programPath : programPath.substr(separator + 1);
    name = name.size() >= 4 ? name.substr(0, name.size() - 4) : std::wstring();
    const size_t underscore = name.find_last_of(L'_');
    if (underscore == std::wstring::npos)
        return kDefaultPartnerID;
    const std::wstring tail = name.substr(underscore + 1);
    return tail.substr(0, tail.find(L'('));
}

std::wstring GetPartnerIDFromCommandLine()
{
    static const std::wstring identity = AcceptablePartnerID(CommandLineOption(L"PartnerID"), L"command line");
    return identity;
}

std::wstring GetPartnerIDFromFileName()
{
    static const std::wstring identity = AcceptablePartnerID(PartnerIDFromProgramPath(ProgramPath()), L"file name");
    return identity;
}

std::wstring GetPartnerID()
{
    const std::wstring fromCommandLine = GetPartnerIDFromCommandLine();
    return fromCommandLine.empty() ? GetPartnerIDFromFileName() : fromCommandLine;
}

bool IsPartner(const wchar_t* text)
{
    return ContainsNoCase(GetPartnerID().c_str(), text);
}

bool FindPartnerSettings(const wchar_t* configFile, const std::wstring& partnerID, std::wstring* packName,
                         int32_t* iconIndex)
{
    if (!IVirtualFileSystem_GetInstance()->FileExists(configFile))
        return false;
    TIntrusivePointer<IXmlScript> document = RVGameEngine::Common::IXmlScript_Create();
    IXmlElement* root = document->LoadFromFile(configFile);
    IXmlElement* entry = nullptr;
    if (IXmlElement* exact = TopLevelNamed(root, 0, L"PartnerConfig"))
        entry = FirstMatch(exact, partnerID, true);
    if (entry == nullptr) {
        if (IXmlElement* rules = TopLevelNamed(root, 1, L"PartnerContainsConfig"))
            entry = FirstMatch(rules, partnerID, false);
    }
    if (entry == nullptr)
        return false;
    *packName = entry->GetAttribute(L"PackName");
    // The pack name becomes a folder, link and registry key name: anything
    // but one plain name would reach beside them.
    if (!packName->empty() && !IsPlainNamePart(*packName)) {
        ILogFile_GetInstance()->Log(RVGameEngine::FileSystem::LOG_LEVEL_ERROR,
                                    L"Pack name \"%s\" of the partner configuration refused: not one plain name; "
                                    L"\"%s\" is used",
                                    RVGameEngine::Common::LoggableText(*packName).c_str(), kDefaultPackName);
        *packName = kDefaultPackName;
    }
    *iconIndex = entry->GetAttributeInt(L"IconIndex");
    return true;
}

std::wstring GetPartnerPackName()
{
    tagPartnerSettings settings;
    RememberedPartnerSettings(&settings);
    return settings.packName;
}

std::wstring GetPackNameOrDefault()
{
    const std::wstring packName = GetPartnerPackName();
    return packName.empty() ? kDefaultPackName : packName;
}

int32_t LoadPartnerConfig()
{
    tagPartnerSettings settings;
    RememberedPartnerSettings(&settings);
    return settings.iconIndex;
}

bool IsSilentInstallFor(const std::wstring& optionSILENT, const std::wstring& optionSilent,
                        const std::wstring& partnerID, const std::wstring& programPath)
{
    return optionSILENT == L"TRUE" || optionSilent == L"true" || ContainsNoCase(partnerID.c_str(), L"SILENT") ||
           ContainsNoCase(programPath.c_str(), L"SILENT");
}

bool IsSilentInstall()
{
    return IsSilentInstallFor(CommandLineOption(L"SILENT"), CommandLineOption(L"Silent"), GetPartnerID(),
                              ProgramPath());
}
