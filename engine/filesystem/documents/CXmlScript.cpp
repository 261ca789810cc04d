#include "engine/filesystem/documents/CXmlScript.h"

#include "engine/filesystem/ILogFile.h"
#include "engine/filesystem/IVirtualFileSystem.h"

#include <utility>

namespace RVGameEngine {
namespace Common {

using FileSystem::ILogFile_GetInstance;
using FileSystem::IVirtualFileSystem;
using FileSystem::IVirtualFileSystem_GetInstance;

namespace {

// What the character reader gives at the end of the text. The unit itself is
// a non-character, so a text that holds it is taken to end there.
constexpr wchar_t kEndOfText = 0xFFFF;

static_assert(CXmlScript::kMaxTokenLength == 999 && CXmlScript::kMaxDepth == 256, "the messages name the limits");

bool IsLetter(wchar_t c)
{
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

bool IsDigit(wchar_t c)
{
    return c >= L'0' && c <= L'9';
}

bool IsBlank(wchar_t c)
{
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n';
}

} // namespace

CXmlScript::CXmlScript() : m_root(new CXmlElement, true)
{
    m_root->SetName(kXmlRootName);
    m_current = m_root.Get();
}

IXmlElement* CXmlScript::GetRoot()
{
    return m_root.Get();
}

IXmlElement* CXmlScript::LoadFromFile(const wchar_t* fileName)
{
    m_fileName = fileName != nullptr ? fileName : L"";
    m_text.clear();
    m_cursor = 0;
    IVirtualFileSystem* files = IVirtualFileSystem_GetInstance();
    wchar_t* buffer = nullptr;
    const bool read = fileName != nullptr && files->ReadUnicodeText2(fileName, &buffer) && buffer != nullptr;
    m_root->RemoveAllChildren();
    std::wstring text;
    if (read)
        text = buffer;
    files->FreeBuffer2(buffer);
    if (read)
        ParseText(std::move(text));
    return m_root.Get();
}

bool CXmlScript::SaveToFile(const wchar_t* fileName)
{
    // Written as it stands, such a value would come back as other attributes.
    if (const CXmlAttribute* unwritable = m_root->FindUnwritableAttribute()) {
        ILogFile_GetInstance()->Log(FileSystem::LOG_LEVEL_ERROR,
                                    L"XML not saved to %ls: the value of %ls holds a double quote",
                                    fileName != nullptr ? fileName : L"", unwritable->name.c_str());
        return false;
    }
    TIntrusivePointer<IString> text = IString_Create();
    m_root->SaveToString(text);
    return IVirtualFileSystem_GetInstance()->WriteUnicodeText(fileName, text->GetUtf16());
}

IXmlElement* CXmlScript::Parse(const wchar_t* text)
{
    ParseText(text != nullptr ? text : L"");
    return m_root.Get();
}

void CXmlScript::ParseText(std::wstring text)
{
    m_text = std::move(text);
    ParseDocument();
    m_text.clear();
    m_text.shrink_to_fit();
    m_current = m_root.Get();
}

wchar_t CXmlScript::ReadChar()
{
    const wchar_t c = m_text.c_str()[m_cursor];
    if (c == L'\0' || c == kEndOfText) {
        m_lastReadMoved = false;
        return kEndOfText;
    }
    ++m_cursor;
    m_lastReadMoved = true;
    if (c == L'\n')
        ++m_lineNumber;
    return c;
}

// Only a read that moved can be taken back: the end of the text is never
// passed, so it is never stepped back from either.
void CXmlScript::UnreadChar()
{
    if (!m_lastReadMoved || m_cursor <= 0)
        return;
    m_lastReadMoved = false;
    --m_cursor;
    if (m_text[static_cast<size_t>(m_cursor)] == L'\n')
        --m_lineNumber;
}

wchar_t CXmlScript::PeekChar() const
{
    const wchar_t c = m_text.c_str()[m_cursor];
    return c == L'\0' ? kEndOfText : c;
}

void CXmlScript::NextToken()
{
    m_tokenLength = 0;
    m_tokenType = m_stopped ? enmXmlScriptTokenType_Eof : ScanToken();
    if (m_tokenType == enmXmlScriptTokenType_Eof)
        m_tokenLength = 0;
    m_tokenText[m_tokenLength] = L'\0';
}

enmXmlScriptTokenType CXmlScript::ScanToken()
{
    for (;;) {
        const wchar_t c = ReadChar();
        m_tokenLine = m_lineNumber + 1;
        if (IsBlank(c))
            continue;
        switch (c) {
        case L'"':
            return ScanString();
        case L'-':
            return ScanDash();
        case L'/':
            return ScanSlash();
        case L'<':
            return ScanOpen();
        case L'=':
            return enmXmlScriptTokenType_Equal;
        case L'>':
            return enmXmlScriptTokenType_RightParen1;
        case kEndOfText:
            return enmXmlScriptTokenType_Eof;
        default:
            if (IsLetter(c))
                return ScanIdentifier(c);
            // Anything else between tokens is skipped.
            break;
        }
    }
}

enmXmlScriptTokenType CXmlScript::ScanIdentifier(wchar_t first)
{
    if (!AppendTokenChar(first))
        return enmXmlScriptTokenType_Eof;
    for (;;) {
        const wchar_t c = ReadChar();
        if (!IsLetter(c) && !IsDigit(c) && c != L'_') {
            UnreadChar();
            return enmXmlScriptTokenType_Identifier;
        }
        if (!AppendTokenChar(c))
            return enmXmlScriptTokenType_Eof;
    }
}

// No escapes: the value runs to the next double quote, line ends included.
// A text that ends inside a value ends the parse there.
enmXmlScriptTokenType CXmlScript::ScanString()
{
    for (;;) {
        const wchar_t c = ReadChar();
        if (c == kEndOfText)
            return enmXmlScriptTokenType_Eof;
        if (c == L'"')
            return enmXmlScriptTokenType_String;
        if (!AppendTokenChar(c))
            return enmXmlScriptTokenType_Eof;
    }
}

enmXmlScriptTokenType CXmlScript::ScanDash()
{
    // A single dash takes the character after it along.
    if (ReadChar() == L'-')
        return ScanCommentText();
    return enmXmlScriptTokenType_Unknown;
}

enmXmlScriptTokenType CXmlScript::ScanSlash()
{
    const wchar_t c = ReadChar();
    if (c == L'>')
        return enmXmlScriptTokenType_DivideRightParen1;
    if (c == L'/')
        return ScanCommentText();
    UnreadChar();
    return enmXmlScriptTokenType_Unknown;
}

enmXmlScriptTokenType CXmlScript::ScanOpen()
{
    if (ReadChar() == L'/')
        return enmXmlScriptTokenType_LeftParen1Divide;
    UnreadChar();
    return enmXmlScriptTokenType_LeftParen1;
}

// The rest of the line; the carriage return of a CR LF line end is not part
// of the text. A line end right after the marker makes no comment, and a
// comment that the text ends in is dropped.
enmXmlScriptTokenType CXmlScript::ScanCommentText()
{
    bool tookAny = false;
    for (;;) {
        const wchar_t c = ReadChar();
        if (c == kEndOfText)
            return enmXmlScriptTokenType_Eof;
        if (c == L'\n')
            return tookAny ? enmXmlScriptTokenType_Comment : enmXmlScriptTokenType_Unknown;
        tookAny = true;
        if (c == L'\r' && PeekChar() == L'\n')
            continue;
        if (!AppendTokenChar(c))
            return enmXmlScriptTokenType_Eof;
    }
}

// A token that does not fit is cut, and the parse ends with what it has read.
bool CXmlScript::AppendTokenChar(wchar_t character)
{
    if (m_tokenLength >= kMaxTokenLength) {
        StopParse(L"Token longer than 999 characters");
        return false;
    }
    m_tokenText[m_tokenLength++] = character;
    return true;
}

// Ends the parse at the current token and logs why; later syntax errors in
// the same document object are not logged, as after any logged error.
void CXmlScript::StopParse(const wchar_t* reason)
{
    if (m_stopped)
        return;
    m_stopped = true;
    m_errorReported = true;
    ILogFile_GetInstance()->Log(FileSystem::LOG_LEVEL_ERROR, L"Error %ls(%d): %ls; parsing stopped", m_fileName.c_str(),
                                static_cast<int>(m_tokenLine), reason);
}

// A token of the wrong type is dropped together with the one after it, so
// the parse always moves on; only the first error of the document is logged.
void CXmlScript::Expect(enmXmlScriptTokenType type)
{
    if (m_tokenType == type) {
        NextToken();
        return;
    }
    if (!(m_reportFirstErrorOnly && m_errorReported)) {
        ILogFile_GetInstance()->Log(
            FileSystem::LOG_LEVEL_ERROR,
            L"Error %ls(%d): Unexpected token type:%ls, token string:%ls, expected token type:%ls",
            m_fileName.c_str(), static_cast<int>(m_tokenLine), GetTokenTypeName(m_tokenType), m_tokenText,
            GetTokenTypeName(type));
    }
    m_errorReported = true;
    NextToken();
    NextToken();
}

void CXmlScript::ParseDocument()
{
    m_cursor = 0;
    m_lineNumber = 0;
    m_tokenLine = 1;
    m_lastReadMoved = false;
    m_stopped = false;
    m_current = m_root.Get();
    NextToken();
    while (m_tokenType != enmXmlScriptTokenType_Eof)
        ParseNode(0);
}

void CXmlScript::ParseNode(int depth)
{
    if (m_tokenType == enmXmlScriptTokenType_Comment) {
        CXmlElement* comment = m_current->AddCommentChild();
        comment->SetName(kXmlCommentName);
        comment->SetAttribute(kXmlCommentTextName, m_tokenText);
        NextToken();
        return;
    }
    // Checked before the tag is read: a tag without a name still nests its
    // children one level deeper.
    if (depth >= kMaxDepth) {
        StopParse(L"Elements nested deeper than 256 levels");
        NextToken();
        return;
    }
    CXmlElement* const parent = m_current;
    Expect(enmXmlScriptTokenType_LeftParen1);
    if (m_tokenType == enmXmlScriptTokenType_Identifier) {
        IXmlElement* child = m_current->CreateChild();
        child->SetName(m_tokenText);
        m_current = static_cast<CXmlElement*>(child);
    }
    Expect(enmXmlScriptTokenType_Identifier);
    ParseAttributes();
    if (m_tokenType == enmXmlScriptTokenType_DivideRightParen1) {
        Expect(enmXmlScriptTokenType_DivideRightParen1);
    } else if (m_tokenType == enmXmlScriptTokenType_RightParen1) {
        Expect(enmXmlScriptTokenType_RightParen1);
        while (m_tokenType != enmXmlScriptTokenType_LeftParen1Divide && m_tokenType != enmXmlScriptTokenType_Eof)
            ParseNode(depth + 1);
        // The name in the closing tag is not compared with the opening one.
        Expect(enmXmlScriptTokenType_LeftParen1Divide);
        Expect(enmXmlScriptTokenType_Identifier);
        Expect(enmXmlScriptTokenType_RightParen1);
    }
    m_current = parent;
}

void CXmlScript::ParseAttributes()
{
    while (m_tokenType != enmXmlScriptTokenType_DivideRightParen1 && m_tokenType != enmXmlScriptTokenType_RightParen1 &&
           m_tokenType != enmXmlScriptTokenType_Eof)
        ParseAttribute();
}

void CXmlScript::ParseAttribute()
{
    std::wstring name;
    std::wstring value;
    if (m_tokenType == enmXmlScriptTokenType_Identifier)
        name = m_tokenText;
    Expect(enmXmlScriptTokenType_Identifier);
    Expect(enmXmlScriptTokenType_Equal);
    if (m_tokenType == enmXmlScriptTokenType_String)
        value = m_tokenText;
    Expect(enmXmlScriptTokenType_String);
    m_current->SetAttribute(name.c_str(), value.c_str());
}

TIntrusivePointer<IXmlScript> IXmlScript_Create()
{
    return TIntrusivePointer<IXmlScript>(new CXmlScript, true);
}

} // namespace Common
} // namespace RVGameEngine
