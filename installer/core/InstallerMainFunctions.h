#pragma once

// The installer's run from start-up to clean-up, on the UI thread.

#include <cstdint>
#include <string>

constexpr const wchar_t* kInstallerModuleName = L"WMGameInstaller";
constexpr const wchar_t* kSingleInstanceMutexName = L"WMGameInstaller";
constexpr const wchar_t* kFontListFile = L"Installer/Font/FontList.xml";
constexpr const wchar_t* kNoDriveMessage = L"单个磁盘分区剩余空间不足100M，请整理出足够空间后重新安装。";
constexpr const wchar_t* kNoDriveCaption = L"温馨提示";
// Returned when another installer is running.
constexpr int32_t kAnotherInstanceExitCode = -2;
// Returned when an install was asked for (a click on an install button, or a
// silent start) and the game is not installed whole at the end, or when the
// program could not even offer one: whoever ran a silent install must not take
// a failure for success.
constexpr int32_t kInstallNotDoneExitCode = 1;
constexpr int32_t kClosingReportCount = 5;
constexpr uint32_t kClosingReportPauseMs = 100;

// The install window's run, from building it until it has closed.
using InstallWindowRun = void (*)();

// Everything after the engine's start-up: single instance, drive, temporary
// folder and UI package, URL list, statistics, fonts, the install window
// (when given; without one the run goes straight on), the closing reports
// and the updater, then the removal of the temporary folder. Without a drive
// of 100 MB free it ends at once: the player is told in a message box, a
// silent start only logs it. Returns -2 when another installer runs,
// otherwise what InstallExitStatus says.
int32_t RunInstaller(InstallWindowRun runWindow = nullptr);

// The program's status at its end: 0 for a finished, sound install and for a
// window closed without one; kInstallNotDoneExitCode when an install was asked
// for (a silent start asks at once; a click asks even when the worker's thread
// then cannot be started) and did not finish, or failed.
int32_t InstallExitStatus(bool silentStart, bool installAskedFor, bool installFinished, bool installFailed);

// True when another installer holds the mutex; otherwise the mutex is kept
// for the rest of the process.
bool CheckSingleInstance();

// Creates the folder and makes it the current directory; when that fails, a
// new unique folder under the system's temporary folder is used instead.
// The folder entered, with "/" separators, or empty when none could be.
std::wstring EnterTempFolder(const std::wstring& preferred);
// Mounts the installer's own package, held in memory, into the virtual file
// system, so that its files (URL list, partner configuration, window
// descriptions, pictures) are read from the program itself wherever the
// current directory is; nothing of it is written to disk, where another user
// could rewrite it. False (logged) when it is missing or damaged.
bool MountInstallerPackage();
// After the window has closed: for a finished, sound install the finished
// step is reported five times and the updater is started when present.
void ReportClosingAndStartUpdater(bool installFinished, bool installFailed);
// Leaves the folder (current directory elsewhere, log file closed), then
// deletes it. With a boundary, no folder at or above it is removed.
void LeaveAndDeleteTempFolder(const std::wstring& folder, const std::wstring& boundary);

// Deletes the folder with everything in it, then climbs from its parent as
// RemoveDirectoryTree does. Nothing is deleted through a link: a link in the
// folder, in its place or above it stays, and so does what it leads to.
void DeleteTempDirectory(const wchar_t* path);
void DeleteTempDirectoryWithin(const wchar_t* path, const wchar_t* boundary);
// Removes the folder when it is empty and climbs to its parents while they
// become empty; stops at "./", an empty path, a drive or the boundary. A
// folder reached through a link is not removed.
void RemoveDirectoryTree(const wchar_t* path);
void RemoveDirectoryTreeWithin(const wchar_t* path, const wchar_t* boundary);
