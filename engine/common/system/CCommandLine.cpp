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

int32_t CCommandLine::GetInt(const wchar_t* name)
{
    return static_cast<int32_t>(std::wcstol(GetString(name)->GetUtf16(), nullptr, 10));
}

float CCommandLine::GetFloat(const wchar_t* name)
{
    return static_cast<float>(std::wcstod(GetString(name)->GetUtf16(), nullptr));
}

bool CCommandLine::GetBool(const wchar_t* name)
{
    const wchar_t* value = GetString(name)->GetUtf16();
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
