#pragma once

namespace RVGameEngine {
namespace DirectUI {

// Whether a file name that outside text gave (a peer's markup, say) leads
// into one of the program's own folders: the folder of its executable, or
// the current folder, where relative names of its resources resolve. The
// name is made absolute first, "." and ".." resolved. Network (UNC) and
// device paths, and names with a stream part, are refused.
bool IsInsideProgramFolders(const wchar_t* name);

} // namespace DirectUI
} // namespace RVGameEngine
