#pragma once

// The drive the installer works on and the folders it installs into.

#include "engine/common/base/TScopedHandle.h"
#include "engine/filesystem/CheckedFolderFunctions.h"

#include <windows.h>

#include <cstdint>
#include <string>

// Megabytes a drive must have free for the caller to be used.
constexpr int32_t kRequiredFreeMB = 100;
// Letters in the order drives are tried: D first, then C, E to Z, A and B.
constexpr const wchar_t* kDriveSearchOrder = L"DCEFGHIJKLMNOPQRSTUVWXYZAB";
// The stored letter while no drive has been found.
constexpr wchar_t kNoDrive = L' ';

// Megabytes free for the caller on a drive (0 = A), 0 for drives that are
// missing or not fixed disks. The system-information query by default;
// tests put their own in place.
using DriveFreeSpaceQuery = int32_t (*)(int32_t driveIndex);
void SetDriveFreeSpaceQuery(DriveFreeSpaceQuery query);

// Stores the first letter of the search order whose drive has enough free
// space, or the blank when none has.
void FindInstallDrive();
wchar_t GetInstallDriveLetter();
// A lower-case letter counts as its upper-case one; anything outside A-Z is false.
bool HasEnoughFreeSpace(wchar_t letter);

// Whether "C:\Program Files (x86)" exists (always drive C).
bool HasProgramFilesX86();
// "<drive>:\Program Files[ (x86)]\<pack name>".
std::wstring GetDefaultInstallPath();
// "<drive>:/Program Files[ (x86)]/<pack name>/Temp".
std::wstring GetTempInstallPath();

// The folder a player picked, made the game's own: the pack name is appended
// unless the folder's last part already is the pack name, letter case aside
// as the system compares file names (every letter, not only A-Z: "ÄRGER" is
// the folder "ärger"). "D:\Games" gives "D:\Games\<pack>", "D:\" gives
// "D:\<pack>". A folder that merely holds the name elsewhere in its path
// ("C:\Users\<pack>\Documents") is the player's, not the game's: the game's
// uninstaller removes its folder whole.
std::wstring FolderWithPackName(const std::wstring& folder, const std::wstring& packName);

// The first folder of the path, from its drive or share down, that exists
// and is a link (a symbolic link, a junction or a volume mounted in a
// folder); empty when none is. An install refuses such a folder: a link
// another user planted could lead anywhere, a system folder too. Reparse
// points that keep their names in place (a cloud-file placeholder) are no
// links.
std::wstring FindLinkOnInstallPath(const std::wstring& path);
// Whether an install into the folder is refused for such a link; the link
// found is logged as LogInstallRefusedForALink does. Checked before anything
// is made or written.
bool IsInstallRefusedForALink(const std::wstring& folder);
// The one line an install refused for a link is logged with.
void LogInstallRefusedForALink(const std::wstring& link);
// Opens the folder, making each missing one from its checked parent's
// handle, from the drive's root down: a folder above it swapped for a link
// meanwhile is noticed, never followed. The handle is the writer's base from
// then on. On a link `link` gets the link met, on a failure `error` the
// system's error that stopped the walk. Nothing is logged: the folder may be
// the install's or only a temporary one, and the caller words it.
RVGameEngine::FileSystem::CHECKED_REACH MakeCheckedInstallFolder(const std::wstring& folder,
                                                                 RVGameEngine::Common::CScopedKernelHandle* handle,
                                                                 std::wstring* link, DWORD* error);
