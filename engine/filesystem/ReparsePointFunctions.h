#pragma once

#include "engine/common/base/EngineApi.h"

#include <windows.h>

#include <cstddef>

namespace RVGameEngine {
namespace FileSystem {

// Which reparse points the program refuses to pass. Only those that send a
// name elsewhere (symbolic links, junctions) can lead a write out of the
// folder it was meant for. Cloud-file placeholders, deduplicated or
// compressed files and a volume mounted in a folder keep the entry where its
// name says; refusing them would refuse ordinary installs.

// The tag's rule. For a mount point, `mountTarget` is its substitute name
// (a volume's is "\??\Volume{...}\"); null when it could not be read. An
// unknown tag (0: the system did not say) counts as a link.
RV_API bool IsNameRedirectingTag(DWORD tag, const wchar_t* mountTarget, size_t mountTargetLength);

// The rule applied to the entry of a handle opened without following a
// link; false when it is no reparse point, true when it cannot be told.
// Uses no heap: the crash filter calls it.
RV_API bool IsNameRedirectingEntry(HANDLE handle);

} // namespace FileSystem
} // namespace RVGameEngine
