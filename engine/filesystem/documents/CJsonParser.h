#pragma once

#include "engine/filesystem/documents/CJsonNode.h"
#include "engine/filesystem/documents/IJsonParser.h"

#include <json/reader.h>

namespace RVGameEngine {
namespace FileSystem {

class CJsonParser : public IJsonParser
{
public:
    CJsonParser();

    Common::TIntrusivePointer<IJsonNode> Parse(const char* text) override;

private:
    Json::Reader m_reader;
    Common::TIntrusivePointer<CJsonNode> m_root;
};

} // namespace FileSystem
} // namespace RVGameEngine
