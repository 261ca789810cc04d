#pragma once

// Rules for addresses and names that come from the web services, whose
// replies the installer does not trust.

#include <string>

// The file name under which a downloaded picture is cached: the MD5 of the
// whole address, followed by the extension of its last path part (without
// query or fragment) when that is png, jpg, bmp or gif in any letter case
// (written in small letters). No part of the name is the server's choosing.
std::wstring CacheFileNameOf(const std::wstring& url);

// Whether the address may be opened in the browser: http or https only,
// without blanks, quotes or control characters.
bool IsWebPageAddress(const std::wstring& url);

// The text's UTF-8 bytes with everything but letters, digits and "-._~"
// written as %XX, for use inside a query value.
std::string PercentEncode(const std::wstring& text);
