#pragma once

#include "engine/common/base/CString.h"

#include <string>

namespace RVGameEngine {
namespace Common {

// A string whose narrow ("Ansi") form is its UTF-8 encoding, for callers that
// hand GetAnsi's bytes on to something that expects UTF-8. The bytes are
// produced once from the UTF-16 text and returned exactly; a later Set...
// turns the string back into an ordinary one.
class CUtf8AnsiString : public CString
{
public:
    explicit CUtf8AnsiString(const wchar_t* text);

    void SetAnsi(const char* text) override;
    void SetUtf8(const char* text) override;
    void SetUtf16(const wchar_t* text) override;
    const char* GetAnsi() override;

private:
    std::string m_utf8Bytes;
    bool m_ansiIsUtf8 = true;
};

} // namespace Common
} // namespace RVGameEngine
