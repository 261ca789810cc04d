#include "engine/filesystem/documents/XmlScriptTokenType.h"

namespace RVGameEngine {
namespace Common {

const wchar_t* GetTokenTypeName(int type)
{
    static const wchar_t* const kNames[] = {
        L"enmXmlScriptTokenType_Unknown",
        L"enmXmlScriptTokenType_LeftParen1",
        L"enmXmlScriptTokenType_RightParen1",
        L"enmXmlScriptTokenType_LeftParen1Divide",
        L"enmXmlScriptTokenType_DivideRightParen1",
        L"enmXmlScriptTokenType_Equal",
        L"enmXmlScriptTokenType_Identifier",
        L"enmXmlScriptTokenType_String",
    };
    if (type >= 0 && type < static_cast<int>(sizeof(kNames) / sizeof(kNames[0])))
        return kNames[type];
    if (type == enmXmlScriptTokenType_Eof)
        return L"enmXmlScriptTokenType_Eof";
    return L"UnknownTokenType";
}

} // namespace Common
} // namespace RVGameEngine
