#include "engine/common/system/CParameterParser.h"

namespace RVGameEngine {
namespace Common {

namespace {

enum class TokenState { Between, Bare, Quoted };

bool IsBlank(wchar_t unit)
{
    return unit == L' ' || unit == L'\t';
}

// Keeps at most the fixed token length: longer tokens from outside are cut
// rather than allowed to grow without limit.
void Append(std::wstring& token, wchar_t unit)
{
    if (token.size() < CParameterParser::kMaxTokenLength)
        token.push_back(unit);
}

std::wstring Cut(const std::wstring& text)
{
    return text.substr(0, CParameterParser::kMaxTokenLength);
}

} // namespace

std::vector<std::wstring> CParameterParser::Tokenize(const wchar_t* text)
{
    std::vector<std::wstring> tokens;
    if (text == nullptr)
        return tokens;
    TokenState state = TokenState::Between;
    std::wstring token;
    for (const wchar_t* unit = text; *unit != L'\0';) {
        const wchar_t c = *unit;
        switch (state) {
        case TokenState::Between:
            if (c == L'"')
                state = TokenState::Quoted;
            else if (!IsBlank(c)) {
                Append(token, c);
                state = TokenState::Bare;
            }
            break;
        case TokenState::Bare:
            if (c == L'"') {
                // The quote opens a quoted stretch of the same token: read it
                // again from the between-tokens state.
                state = TokenState::Between;
                continue;
            }
            [[fallthrough]];
        case TokenState::Quoted:
            // A blank ends a bare token, the closing quote a quoted one.
            if (state == TokenState::Bare ? IsBlank(c) : c == L'"') {
                tokens.push_back(token);
                token.clear();
                state = TokenState::Between;
            } else {
                Append(token, c);
            }
            break;
        }
        ++unit;
    }
    if (!token.empty())
        tokens.push_back(token);
    return tokens;
}

void CParameterParser::Parse(const wchar_t* text)
{
    for (const std::wstring& token : Tokenize(text)) {
        const size_t equals = token.find(L'=');
        m_tokens.push_back(token);
        if (equals == std::wstring::npos) {
            m_names.push_back(Cut(token));
            m_values.emplace_back();
        } else {
            m_names.push_back(Cut(token.substr(0, equals)));
            m_values.push_back(Cut(token.substr(equals + 1)));
        }
    }
}

int CParameterParser::FindName(const wchar_t* name) const
{
    if (name == nullptr)
        return -1;
    for (size_t i = 0; i < m_names.size(); ++i) {
        if (m_names[i] == name)
            return static_cast<int>(i);
    }
    return -1;
}

bool CParameterParser::HasName(const wchar_t* name)
{
    return FindName(name) >= 0;
}

TIntrusivePointer<IString> CParameterParser::GetValue(const wchar_t* name)
{
    const int index = FindName(name);
    return IString_Create_Utf16(index >= 0 ? m_values[static_cast<size_t>(index)].c_str() : L"");
}

void CParameterParser::Clear()
{
    m_tokens.clear();
    m_names.clear();
    m_values.clear();
}

IParameterParser* IParameterParser_Create()
{
    return new CParameterParser();
}

} // namespace Common
} // namespace RVGameEngine
