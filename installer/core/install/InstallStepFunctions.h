#pragma once

// The steps of an install after the game files are in place. Relative paths
// resolve in the current directory, which the worker has made the install
// folder.

#include <cstdint>
#include <string>

constexpr const wchar_t* kUpdaterProgram = L"ZURovoZizizer.exe";
constexpr const wchar_t* kRepairProgram = L"WMGameRepairer.exe";
constexpr const wchar_t* kUninstallProgram = L"WMGameUninstaller.exe";
constexpr const wchar_t* kUpdaterStateFolder = L"ReadWrite/Updater";
constexpr const wchar_t* kUpdaterConfigFile = L"Updater/Set/UpdaterConfig.xml";
constexpr const wchar_t* kInstallDataFile = L"ReadWrite/Installer/InstallData.xml";
constexpr const wchar_t* kUninstallKeyFormat = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
constexpr const wchar_t* kDisplayVersion = L"9.0.1";

// Deletes every file under the updater's state folder (folders stay), never
// through a link.
void ClearUpdaterState();
// Writes the partner identity and pack name into the updater configuration
// and stores it in the RVEF form. False, with a log line and the file left
// as it was, when the file is missing or is not an updater configuration
// (no "UpdaterConfig" first element or no "UpdateServerAddress" in it), or
// a value holds a double quote. This file and the install record are
// written as the game files are: through the install folder's handles.
bool WriteUpdaterConfig(const std::wstring& packName);
// A link to <current directory>\<target>, working in the current directory.
bool CreateDesktopShortcut(const wchar_t* target, const wchar_t* description, const wchar_t* linkName,
                           int32_t iconIndex);
// The same in "<Start-menu programs>\<folder name>\".
bool CreateProgramsShortcut(const wchar_t* target, const wchar_t* description, const wchar_t* folderName,
                            const wchar_t* linkName, int32_t iconIndex);
// "InstallData" with "SetupTime" (now) and "JustSetup" true, as plain XML.
bool WriteInstallData(const wchar_t* path);
// The game's entry in the Windows uninstall list (HKEY_LOCAL_MACHINE). The
// program paths in "DisplayIcon" and "UninstallString" are quoted when they
// hold a blank.
bool WriteUninstallRegistry(const std::wstring& packName, const std::wstring& installFolder);
// Whole seconds since 1970-01-01 00:00 UTC, low 32 bits.
uint32_t GetCurrentUnixTime();
