#include "engine/common/system/CCommandLine.h"

#include <windows.h>

#include <cwchar>
#include <cwctype>

namespace RVGameEngine {
namespace Common {

CCommandLine::CCommandLine(const wchar_t* commandLine) : m_parser(IParameterParser_Create())
{
    m_parser->Parse(commandLine);
}

const wchar_t* CCommandLine::GetRawCommandLine()
{
    return GetCommandLineW();
}

bool CCommandLine::HasParameter(const wchar_t* name)
{
    return m_parser->HasName(name);
}

TIntrusivePointer<IString> CCommandLine::GetString(const wchar_t* name)
{
    return m_parser->GetValue(name);
}

// Each typed read holds the value's string while it reads its text: the
// parser hands out a fresh string that ends with the last reference to it.
int32_t CCommandLine::GetInt(const wchar_t* name)
{
    const TIntrusivePointer<IString> text = GetString(name);
    return static_cast<int32_t>(std::wcstol(text->GetUtf16(), nullptr, 10));
}

float CCommandLine::GetFloat(const wchar_t* name)
{
    const TIntrusivePointer<IString> text = GetString(name);
    return static_cast<float>(std::wcstod(text->GetUtf16(), nullptr));
}

bool CCommandLine::GetBool(const wchar_t* name)
{
    const TIntrusivePointer<IString> text = GetString(name);
    const wchar_t* value = text->GetUtf16();
    const wchar_t* expected = L"true";
    for (; *expected != L'\0'; ++value, ++expected) {
        if (std::towlower(*value) != *expected)
            return false;
    }
    return *value == L'\0';
}

ICommandLine* ICommandLine_GetInstance()
{
    static CCommandLine instance(GetCommandLineW());
    return &instance;
}

} // namespace Common
} // namespace RVGameEngine
