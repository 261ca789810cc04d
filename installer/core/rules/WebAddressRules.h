#pragma once

// Rules for addresses and names that come from the web services, whose
// replies the installer does not trust.

#include <string>

// The file name under which a downloaded address is cached: the address's
// last path part without query or fragment when it is made only of letters,
// digits, ".", "_" and "-" and is no reserved device or dot name; otherwise
// the MD5 of the whole address followed by the part's extension (when that
// extension is itself plain), so that every address gets a safe name.
std::wstring CacheFileNameOf(const std::wstring& url);

// Whether the address may be opened in the browser: http or https only,
// without blanks, quotes or control characters.
bool IsWebPageAddress(const std::wstring& url);

// The text's UTF-8 bytes with everything but letters, digits and "-._~"
// written as %XX, for use inside a query value.
std::string PercentEncode(const std::wstring& text);
