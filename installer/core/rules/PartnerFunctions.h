#pragma once

// Which distribution partner this copy of the installer belongs to, and what
// the partner configuration says about it.

#include <cstdint>
#include <string>

constexpr const wchar_t* kPartnerConfigFile = L"Installer/Set/PartnerConfig.xml";
constexpr const wchar_t* kDefaultPackName = L"Wendmoor";
constexpr const wchar_t* kDefaultPartnerID = L"Official";

// True when the part occurs somewhere in the text, A-Z equal to a-z. An
// empty text contains nothing; an empty part is in every other text.
bool ContainsNoCase(const wchar_t* text, const wchar_t* part);

// The command-line option "PartnerID" when given and acceptable, else the
// identity from the program's file name. Both are worked out once.
std::wstring GetPartnerID();
std::wstring GetPartnerIDFromCommandLine();
std::wstring GetPartnerIDFromFileName();
// The identity a program path gives: the file name's text after its last
// "_", cut before a "(" ("Official" without an "_").
std::wstring PartnerIDFromProgramPath(const std::wstring& programPath);
// The identity as it may be written into files and messages: a text that
// holds a double quote or a control character is refused (empty answer,
// logged with its source). Any length is kept: only the statistics record's
// fixed field cuts it, there alone.
std::wstring AcceptablePartnerID(const std::wstring& identity, const wchar_t* source);

// Whether the partner identity contains the text (ContainsNoCase).
bool IsPartner(const wchar_t* text);

// What the partner configuration file holds for a partner identity: the
// first "PartnerConfig" entry whose "PartnerID" equals it exactly, else the
// first "PartnerContainsConfig" rule whose "Contains" it contains. False when
// the file is missing or nothing matches (the outputs are then untouched).
// A pack name that is not one plain file-name part is refused with a log
// line and "Wendmoor" given instead.
bool FindPartnerSettings(const wchar_t* configFile, const std::wstring& partnerID, std::wstring* packName,
                         int32_t* iconIndex);

// The pack name for this partner; "Wendmoor" when the configuration file
// (relative to the current directory) is missing or has no entry. A matching
// entry may give an empty name. Both settings are looked up once the file is
// there and remembered from then on.
std::wstring GetPartnerPackName();
// The pack name with an empty one replaced by "Wendmoor".
std::wstring GetPackNameOrDefault();
// The shortcut icon index for this partner; 0 when there is no entry.
int32_t LoadPartnerConfig();

// A silent start: "SILENT=TRUE" or "Silent=true" on the command line, a
// partner identity or program path holding "SILENT" in any case.
bool IsSilentInstall();
bool IsSilentInstallFor(const std::wstring& optionSILENT, const std::wstring& optionSilent,
                        const std::wstring& partnerID, const std::wstring& programPath);
