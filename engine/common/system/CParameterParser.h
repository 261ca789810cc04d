#pragma once

#include "engine/common/system/IParameterParser.h"

#include <string>
#include <vector>

namespace RVGameEngine {
namespace Common {

class CParameterParser : public IParameterParser
{
public:
    // Longest token, name or value kept, in UTF-16 units; longer ones are cut.
    static constexpr size_t kMaxTokenLength = 999;

    void Parse(const wchar_t* text) override;
    bool HasName(const wchar_t* name) override;
    TIntrusivePointer<IString> GetValue(const wchar_t* name) override;
    void Clear() override;

    const std::vector<std::wstring>& GetTokens() const { return m_tokens; }
    const std::vector<std::wstring>& GetNames() const { return m_names; }
    const std::vector<std::wstring>& GetValues() const { return m_values; }

private:
    static std::vector<std::wstring> Tokenize(const wchar_t* text);
    int FindName(const wchar_t* name) const;

    std::vector<std::wstring> m_tokens;
    std::vector<std::wstring> m_names;
    std::vector<std::wstring> m_values;
};

} // namespace Common
} // namespace RVGameEngine
