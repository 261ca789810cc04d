#include "engine/common/base/CString.h"

#include "engine/common/base/TextCodec.h"

#include <new>

namespace RVGameEngine {
namespace Common {

void CString::SetAnsi(const char* text)
{
    m_text = NarrowToWide(kCodePageAnsi, text);
}

void CString::SetUtf8(const char* text)
{
    m_text = NarrowToWide(kCodePageUtf8, text);
}

void CString::SetUtf16(const wchar_t* text)
{
    m_text = text != nullptr ? text : L"";
}

const char* CString::GetAnsi()
{
    m_narrowCache = WideToNarrow(kCodePageAnsi, m_text.c_str());
    return m_narrowCache.c_str();
}

const char* CString::GetUtf8()
{
    m_narrowCache = WideToNarrow(kCodePageUtf8, m_text.c_str());
    return m_narrowCache.c_str();
}

const wchar_t* CString::GetUtf16()
{
    return m_text.c_str();
}

namespace {

TIntrusivePointer<IString> NewString()
{
    return TIntrusivePointer<IString>(new (std::nothrow) CString, true);
}

} // namespace

TIntrusivePointer<IString> IString_Create()
{
    return NewString();
}

TIntrusivePointer<IString> IString_Create_Ansi(const char* text)
{
    TIntrusivePointer<IString> string = NewString();
    if (string)
        string->SetAnsi(text);
    return string;
}

TIntrusivePointer<IString> IString_Create_Utf8(const char* text)
{
    TIntrusivePointer<IString> string = NewString();
    if (string)
        string->SetUtf8(text);
    return string;
}

TIntrusivePointer<IString> IString_Create_Utf16(const wchar_t* text)
{
    TIntrusivePointer<IString> string = NewString();
    if (string)
        string->SetUtf16(text);
    return string;
}

} // namespace Common
} // namespace RVGameEngine
