#pragma once

#include "engine/common/base/IString.h"

#include <string>

namespace RVGameEngine {
namespace Common {

class CString : public IString
{
public:
    void SetAnsi(const char* text) override;
    void SetUtf8(const char* text) override;
    void SetUtf16(const wchar_t* text) override;
    const char* GetAnsi() override;
    const char* GetUtf8() override;
    const wchar_t* GetUtf16() override;

private:
    std::wstring m_text;
    std::string m_narrowCache;
};

} // namespace Common
} // namespace RVGameEngine
