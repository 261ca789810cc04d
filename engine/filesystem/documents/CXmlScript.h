#pragma once

#include "engine/filesystem/documents/CXmlElement.h"
#include "engine/filesystem/documents/IXmlScript.h"
#include "engine/common/base/TIntrusivePointer.h"
#include "engine/filesystem/documents/XmlScriptTokenType.h"

#include <cstdint>
#include <string>

namespace RVGameEngine {
namespace Common {

class CXmlScript : public IXmlScript
{
public:
    CXmlScript();

    IXmlElement* LoadFromFile(const wchar_t* fileName) override;
    bool SaveToFile(const wchar_t* fileName) override;
    IXmlElement* GetRoot() override;
    IXmlElement* Parse(const wchar_t* text) override;

    // Longest token text, in UTF-16 units.
    static constexpr int kMaxTokenLength = 999;
    // Deepest element nesting a text may have: the parser, the writer and the
    // release of a tree recurse once per level.
    static constexpr int kMaxDepth = 256;

private:
    void ParseText(std::wstring text);

    wchar_t ReadChar();
    void UnreadChar();
    wchar_t PeekChar() const;

    void NextToken();
    enmXmlScriptTokenType ScanToken();
    enmXmlScriptTokenType ScanIdentifier(wchar_t first);
    enmXmlScriptTokenType ScanString();
    enmXmlScriptTokenType ScanDash();
    enmXmlScriptTokenType ScanSlash();
    enmXmlScriptTokenType ScanOpen();
    enmXmlScriptTokenType ScanCommentText();
    bool AppendTokenChar(wchar_t character);
    void StopParse(const wchar_t* reason);

    void Expect(enmXmlScriptTokenType type);
    void ParseDocument();
    void ParseNode(int depth);
    void ParseAttributes();
    void ParseAttribute();

    std::wstring m_fileName;
    std::wstring m_text;
    int32_t m_lineNumber = 0;
    int32_t m_cursor = 0;
    enmXmlScriptTokenType m_tokenType = enmXmlScriptTokenType_Unknown;
    wchar_t m_tokenText[kMaxTokenLength + 1] = {};
    TIntrusivePointer<CXmlElement> m_root;
    CXmlElement* m_current = nullptr;
    bool m_reportFirstErrorOnly = true;
    bool m_errorReported = false;

    int32_t m_tokenLength = 0;
    // Line on which the current token starts, for messages.
    int32_t m_tokenLine = 1;
    // False when the last read met the end of the text and did not move.
    bool m_lastReadMoved = false;
    // Set when the text cannot be read on; every later token is the end.
    bool m_stopped = false;
};

} // namespace Common
} // namespace RVGameEngine
