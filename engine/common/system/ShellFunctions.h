#pragma once

#include "engine/common/base/EngineApi.h"
#include "engine/common/base/IString.h"
#include "engine/common/base/TIntrusivePointer.h"

#include <windows.h>

#include <cstdint>
#include <vector>

namespace RVGameEngine {
namespace Common {

// True for an "http:" or "https:" address (any letter case) followed by two
// slashes or backslashes; false for null.
RV_API bool IsWebAddress(const wchar_t* text);
// Web links and local paths. An "http://" or "https://" address (either
// slash, any letter case) comes back unchanged; any other text is a path: its
// short form, joined to the current directory unless it names a drive, then
// canonicalised.
RV_API TIntrusivePointer<IString> ProcessURL(const wchar_t* url);
// Opens ProcessURL's answer with the shell (the default browser for links).
// Opening a page needs no rights: a program running elevated while the
// desktop shell runs as the signed-in user asks that shell to open it, so
// the browser runs as the user; should that fail, or should the shell's
// rights be unknown (no shell window, or its token cannot be read), nothing
// is opened (logged) rather than a browser with administrator rights.
RV_API void OpenWebLink(const wchar_t* url);

// What is known of a process's rights.
enum ELEVATION
{
    ELEVATION_UNKNOWN = -1,
    ELEVATION_NONE = 0,
    ELEVATION_FULL = 1,
};
// Whether the process of that id runs elevated; the system's answer unless
// replaced (tests play the signed-in user's shell this way). Null restores it.
using ElevationQuery = ELEVATION (*)(DWORD processId);
RV_API void SetElevationQuery(ElevationQuery query);
RV_API ELEVATION GetProcessElevation(DWORD processId);
// The desktop shell's process, 0 when there is none.
RV_API DWORD GetShellProcessId();

// The current user's special folders (not created when missing).
RV_API TIntrusivePointer<IString> GetDesktopDir();
RV_API TIntrusivePointer<IString> GetDocumentDir();
RV_API TIntrusivePointer<IString> GetProgramsDir();

// The executable's full path, and its folder ending in the separator.
RV_API TIntrusivePointer<IString> GetProgramPath();
RV_API TIntrusivePointer<IString> GetProgramDir();
// The part of a path up to and including its last slash or backslash; the
// whole path when it has none.
RV_API TIntrusivePointer<IString> GetFolderOfPath(const wchar_t* path);
// The 8.3 form of an existing path; the path unchanged when there is none.
RV_API TIntrusivePointer<IString> GetShortPath(const wchar_t* path);
RV_API bool IsDirectoryExists(const wchar_t* path);

// Shell shortcuts; COM must be initialised on the calling thread. Null texts
// are left unset; a null shortcut file saves nothing and succeeds. A non-zero
// icon index takes the icon from the target itself.
RV_API bool CreateShortcut1(const wchar_t* target, const wchar_t* workingFolder, const wchar_t* description,
                            const wchar_t* shortcutFile, int32_t iconIndex);
RV_API bool CreateShortcut(const wchar_t* target, const wchar_t* workingFolder, const wchar_t* description,
                           const wchar_t* shortcutFile);
// The bytes of such a shortcut's file, made in memory, for a caller that
// writes the file itself (through a folder's handle rather than a path).
RV_API bool MakeShortcutBytes(const wchar_t* target, const wchar_t* workingFolder, const wchar_t* description,
                              int32_t iconIndex, std::vector<uint8_t>* bytes);

} // namespace Common
} // namespace RVGameEngine
