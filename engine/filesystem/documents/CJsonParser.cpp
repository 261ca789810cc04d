#include "engine/filesystem/documents/CJsonParser.h"

#include <exception>
#include <string>

namespace RVGameEngine {
namespace FileSystem {

using Common::TIntrusivePointer;

CJsonParser::CJsonParser() : m_root(new CJsonNode, true)
{
}

TIntrusivePointer<IJsonNode> CJsonParser::Parse(const char* text)
{
    const std::string document = text != nullptr ? text : "";
    Json::Value& value = m_root->Value();
    try {
        m_reader.parse(document, value, true);
    } catch (const std::exception&) {
        // The reader gives up by throwing on nesting too deep for it; what it
        // had built by then is not a value anyone should read.
        value = Json::Value();
    }
    return m_root;
}

TIntrusivePointer<IJsonParser> IJsonParser_Create()
{
    return TIntrusivePointer<IJsonParser>(new CJsonParser, true);
}

} // namespace FileSystem
} // namespace RVGameEngine
