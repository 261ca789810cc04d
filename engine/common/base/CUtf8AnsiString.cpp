#include "engine/common/base/CUtf8AnsiString.h"

#include "engine/common/base/TextCodec.h"

namespace RVGameEngine {
namespace Common {

CUtf8AnsiString::CUtf8AnsiString(const wchar_t* text)
{
    CString::SetUtf16(text);
    m_utf8Bytes = WideToNarrow(kCodePageUtf8, text);
}

void CUtf8AnsiString::SetAnsi(const char* text)
{
    m_ansiIsUtf8 = false;
    CString::SetAnsi(text);
}

void CUtf8AnsiString::SetUtf8(const char* text)
{
    m_ansiIsUtf8 = false;
    CString::SetUtf8(text);
}

void CUtf8AnsiString::SetUtf16(const wchar_t* text)
{
    m_ansiIsUtf8 = false;
    CString::SetUtf16(text);
}

const char* CUtf8AnsiString::GetAnsi()
{
    return m_ansiIsUtf8 ? m_utf8Bytes.c_str() : CString::GetAnsi();
}

} // namespace Common
} // namespace RVGameEngine
