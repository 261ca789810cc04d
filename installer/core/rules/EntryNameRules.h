#pragma once

#include <string>

// Whether an archive entry's name (normalised, "/" separated) may be written
// as a file under the install folder: a relative path of ordinary names. Refused:
// an empty name or part, an absolute path, a drive, UNC or device prefix, a
// "." or ".." part, a part ending in a dot or space (Windows drops those, so
// two names could reach one file), a colon (alternate data streams) or any
// other character file names cannot hold, and the reserved device names (CON,
// NUL, COM1 ... with or without an extension).
bool IsSafeEntryName(const std::wstring& name);

// Whether a text is one such ordinary name on its own: no separator of
// either kind, and nothing the rule above refuses in a part.
bool IsPlainNamePart(const std::wstring& part);

// Whether a file-name part names a device whatever follows after a dot, in
// any letter case: CON, PRN, AUX, NUL, CONIN$, CONOUT$, CLOCK$, and COM or
// LPT followed by one digit (the superscripts 1, 2 and 3 included).
bool IsReservedDeviceName(const std::wstring& part);

// Whether an entry of that name is stored in the RVEF form when extracted.
bool IsScrambledOnExtraction(const wchar_t* name);
