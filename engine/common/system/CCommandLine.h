#pragma once

#include "engine/common/system/ICommandLine.h"
#include "engine/common/system/IParameterParser.h"

namespace RVGameEngine {
namespace Common {

class CCommandLine : public ICommandLine
{
public:
    // Parses the given text; the process-wide instance passes the process's
    // own command line.
    explicit CCommandLine(const wchar_t* commandLine);
    virtual ~CCommandLine() = default;

    const wchar_t* GetRawCommandLine() override;
    bool HasParameter(const wchar_t* name) override;
    TIntrusivePointer<IString> GetString(const wchar_t* name) override;
    int32_t GetInt(const wchar_t* name) override;
    float GetFloat(const wchar_t* name) override;
    bool GetBool(const wchar_t* name) override;

private:
    TIntrusivePointer<IParameterParser> m_parser;
};

} // namespace Common
} // namespace RVGameEngine
