#pragma once

#include "engine/common/base/EngineApi.h"

#include <windows.h>

namespace RVGameEngine {
namespace FileSystem {

// Which reparse points the program refuses to pass. Every one whose tag
// says it may send a name elsewhere (a name surrogate: symbolic links, and
// junctions and volume mount points whatever their target) is a link. A
// junction's target is not checked by the system and any user may make one
// in a folder they can write, so no target text can tell a mounted volume
// from a planted junction: neither is followed. Reparse points that keep
// the entry where its name says (cloud-file placeholders, deduplicated or
// compressed files) are no links; refusing them would refuse ordinary
// installs.

// The tag's rule. An unknown tag (0: the system did not say) counts as a link.
RV_API bool IsNameRedirectingTag(DWORD tag);

// The rule applied to the entry of a handle opened without following a
// link: `redirecting` is false when it is no reparse point. False, with the
// system error, when its tag cannot be read. Uses no heap: the crash filter
// calls it.
RV_API bool QueryNameRedirection(HANDLE handle, bool* redirecting);
// The same where a tag that cannot be read counts as a link.
RV_API bool IsNameRedirectingEntry(HANDLE handle);

// How the program's messages name what it refuses to pass (for "%s is %s").
constexpr const wchar_t* kLinkKinds = L"a link, a junction or a volume mounted in a folder";

} // namespace FileSystem
} // namespace RVGameEngine
