#include "installer/core/rules/WebAddressRules.h"

#include "installer/core/rules/AsciiTextFunctions.h"
#include "installer/core/rules/EntryNameRules.h"

#include "engine/common/base/IDigest.h"
#include "engine/common/base/TextCodec.h"

#include <cwctype>

namespace {

constexpr size_t kMaxPlainNameLength = 100;
constexpr size_t kMaxExtensionLength = 8;

bool IsAsciiLetterOrDigit(wchar_t c)
{
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9');
}

bool IsPlainNameCharacter(wchar_t c)
{
    return IsAsciiLetterOrDigit(c) || c == L'.' || c == L'_' || c == L'-';
}

bool IsPlainFileName(const std::wstring& name)
{
    if (name.empty() || name.size() > kMaxPlainNameLength || name == L"." || name == L".." ||
        IsReservedDeviceName(name))
        return false;
    for (wchar_t c : name)
        if (!IsPlainNameCharacter(c))
            return false;
    // Windows drops trailing dots, so "a." would land on "a".
    return name.back() != L'.';
}

std::wstring LastPathPart(const std::wstring& url)
{
    const std::wstring withoutQuery = url.substr(0, url.find_first_of(L"?#"));
    const size_t separator = withoutQuery.find_last_of(L"/\\");
    return separator == std::wstring::npos ? withoutQuery : withoutQuery.substr(separator + 1);
}

std::wstring PlainExtensionOf(const std::wstring& name)
{
    const size_t dot = name.find_last_of(L'.');
    if (dot == std::wstring::npos)
        return std::wstring();
    const std::wstring extension = name.substr(dot + 1);
    if (extension.empty() || extension.size() > kMaxExtensionLength)
        return std::wstring();
    for (wchar_t c : extension)
        if (!IsAsciiLetterOrDigit(c))
            return std::wstring();
    return L"." + extension;
}

} // namespace

std::wstring CacheFileNameOf(const std::wstring& url)
{
    const std::wstring part = LastPathPart(url);
    if (IsPlainFileName(part))
        return part;
    RVGameEngine::Common::TIntrusivePointer<RVGameEngine::Common::IString> digest =
        RVGameEngine::Common::IDigest_GetInstance()->MD5OfText(url.c_str());
    const std::wstring stem = digest ? digest->GetUtf16() : L"download";
    return stem + PlainExtensionOf(part);
}

bool IsWebPageAddress(const std::wstring& url)
{
    // A quote, blank or control character could end the address early where
    // it is handed on as a command-line text.
    for (wchar_t c : url)
        if (c <= L' ' || c == L'"' || c == 0x7F)
            return false;
    const std::wstring upper = UpperAscii(url);
    for (const wchar_t* scheme : {L"HTTP://", L"HTTPS://"}) {
        const std::wstring prefix(scheme);
        if (upper.size() > prefix.size() && upper.compare(0, prefix.size(), prefix) == 0)
            return true;
    }
    return false;
}

std::string PercentEncode(const std::wstring& text)
{
    static const char kHex[] = "0123456789ABCDEF";
    const std::string bytes = RVGameEngine::Common::WideToNarrow(RVGameEngine::Common::kCodePageUtf8, text.c_str());
    std::string encoded;
    for (unsigned char c : bytes) {
        if (IsAsciiLetterOrDigit(static_cast<wchar_t>(c)) || c == '-' || c == '.' || c == '_' || c == '~') {
            encoded += static_cast<char>(c);
        } else {
            encoded += '%';
            encoded += kHex[c >> 4];
            encoded += kHex[c & 0x0F];
        }
    }
    return encoded;
}
