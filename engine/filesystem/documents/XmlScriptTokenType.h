#pragma once

namespace RVGameEngine {
namespace Common {

enum enmXmlScriptTokenType
{
    enmXmlScriptTokenType_Unknown = 0,
    enmXmlScriptTokenType_LeftParen1 = 1,            // <
    enmXmlScriptTokenType_RightParen1 = 2,           // >
    enmXmlScriptTokenType_LeftParen1Divide = 3,      // </
    enmXmlScriptTokenType_DivideRightParen1 = 4,     // />
    enmXmlScriptTokenType_Equal = 5,                 // =
    enmXmlScriptTokenType_Identifier = 6,
    enmXmlScriptTokenType_String = 7,
    enmXmlScriptTokenType_Comment = 8,
    enmXmlScriptTokenType_Eof = 9,
};

// The name error messages give a token type; "UnknownTokenType" for comment
// text and for values outside the enumeration.
const wchar_t* GetTokenTypeName(int type);

} // namespace Common
} // namespace RVGameEngine
