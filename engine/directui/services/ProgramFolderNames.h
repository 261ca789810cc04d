#pragma once

#include "engine/common/base/EngineApi.h"

namespace RVGameEngine {
namespace DirectUI {

// Whether a file name that outside text gave (a peer's markup, say) leads
// into one of the program's own folders: the folder of its executable, or a
// folder the program named with AddProgramFolder. The folder the program was
// started in is none of them: it is the player's (a download folder, say),
// and relative names resolve there only until the program moves elsewhere.
// The name is made absolute first, "." and ".." resolved. Network (UNC) and
// device paths, and names with a stream part, are refused. A drive's root is
// never a program folder: it would accept the whole drive.
bool IsInsideProgramFolders(const wchar_t* name);

// A folder the program fills itself (the folder it unpacks its own files
// into), whose pictures markup may show. Made absolute when added; adding it
// again changes nothing.
RV_API void AddProgramFolder(const wchar_t* folder);
// Takes a folder added before off the list.
RV_API void RemoveProgramFolder(const wchar_t* folder);

} // namespace DirectUI
} // namespace RVGameEngine
