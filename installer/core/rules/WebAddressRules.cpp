#include "installer/core/rules/WebAddressRules.h"

#include "installer/core/rules/AsciiTextFunctions.h"

#include "engine/common/base/IDigest.h"
#include "engine/common/base/TextCodec.h"

namespace {

bool IsAsciiLetterOrDigit(wchar_t c)
{
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9');
}

std::wstring LastPathPart(const std::wstring& url)
{
    const std::wstring withoutQuery = url.substr(0, url.find_first_of(L"?#"));
    const size_t separator = withoutQuery.find_last_of(L"/\\");
    return separator == std::wstring::npos ? withoutQuery : withoutQuery.substr(separator + 1);
}

// The part's picture extension with its dot, from the fixed list, or empty.
std::wstring PictureExtensionOf(const std::wstring& part)
{
    const size_t dot = part.find_last_of(L'.');
    if (dot == std::wstring::npos)
        return std::wstring();
    const std::wstring extension = UpperAscii(part.substr(dot + 1));
    for (const wchar_t* picture : {L"png", L"jpg", L"bmp", L"gif"}) {
        if (extension == UpperAscii(picture))
            return std::wstring(L".") + picture;
    }
    return std::wstring();
}

} // namespace

std::wstring CacheFileNameOf(const std::wstring& url)
{
    RVGameEngine::Common::TIntrusivePointer<RVGameEngine::Common::IString> digest =
        RVGameEngine::Common::IDigest_GetInstance()->MD5OfText(url.c_str());
    const std::wstring stem = digest ? digest->GetUtf16() : L"download";
    return stem + PictureExtensionOf(LastPathPart(url));
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
