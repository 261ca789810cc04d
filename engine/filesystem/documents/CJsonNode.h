#pragma once

#include "engine/filesystem/documents/IJsonNode.h"

#include <json/value.h>

#include <string>
#include <vector>

namespace RVGameEngine {
namespace FileSystem {

class CJsonNode : public IJsonNode
{
public:
    CJsonNode() = default;
    explicit CJsonNode(const Json::Value& value);

    int32_t GetSize() override;
    Common::TIntrusivePointer<IJsonNode> GetElement(int32_t index) override;
    Common::TIntrusivePointer<IJsonNode> GetMember(const char* name) override;
    int32_t GetMemberInt(const char* name) override;
    int32_t GetInt() override;
    float GetMemberFloat(const char* name) override;
    float GetFloat() override;
    const char* GetMemberString(const char* name) override;
    const char* GetString() override;
    SYSTEMTIME GetMemberDateTime(const char* name) override;

    // The parser fills its root node in place.
    Json::Value& Value() { return m_value; }

private:
    Common::TIntrusivePointer<IJsonNode> Keep(const Json::Value& value);

    Json::Value m_value;
    // Every node handed out lives as long as this one, with the texts it gave.
    std::vector<Common::TIntrusivePointer<IJsonNode>> m_children;
    std::string m_text;
};

} // namespace FileSystem
} // namespace RVGameEngine
