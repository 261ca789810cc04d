#include "engine/filesystem/documents/CJsonNode.h"

#include "engine/common/base/TimeFunctions.h"

#include <climits>
#include <cstdlib>
#include <exception>

namespace RVGameEngine {
namespace FileSystem {

using Common::TIntrusivePointer;

namespace {

// "/Date(" with the letters in any case.
bool HasDatePrefix(const char* text)
{
    static const char kPrefix[] = "/date(";
    for (size_t i = 0; i + 1 < sizeof(kPrefix); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != kPrefix[i])
            return false;
    }
    return true;
}

int32_t TextToInt(const char* text)
{
    const long value = std::strtol(text, nullptr, 10);
    if (value > INT32_MAX)
        return INT32_MAX;
    if (value < INT32_MIN)
        return INT32_MIN;
    return static_cast<int32_t>(value);
}

// The seconds a service's date texts are ahead of the times it means.
constexpr int64_t kDateOffsetSeconds = 28800;

} // namespace

CJsonNode::CJsonNode(const Json::Value& value) : m_value(value)
{
}

int32_t CJsonNode::GetSize()
{
    return static_cast<int32_t>(m_value.size());
}

TIntrusivePointer<IJsonNode> CJsonNode::Keep(const Json::Value& value)
{
    TIntrusivePointer<IJsonNode> node(new CJsonNode(value), true);
    m_children.push_back(node);
    return node;
}

TIntrusivePointer<IJsonNode> CJsonNode::GetElement(int32_t index)
{
    if (!m_value.isArray() || index < 0 || index >= GetSize())
        return TIntrusivePointer<IJsonNode>();
    const Json::Value& array = m_value;
    return Keep(array[static_cast<Json::ArrayIndex>(index)]);
}

TIntrusivePointer<IJsonNode> CJsonNode::GetMember(const char* name)
{
    if (name == nullptr || !m_value.isObject() || !m_value.isMember(name))
        return TIntrusivePointer<IJsonNode>();
    const Json::Value& object = m_value;
    return Keep(object[name]);
}

int32_t CJsonNode::GetMemberInt(const char* name)
{
    TIntrusivePointer<IJsonNode> member = GetMember(name);
    return member ? member->GetInt() : 0;
}

int32_t CJsonNode::GetInt()
{
    if (m_value.isString())
        return TextToInt(m_value.asCString());
    if (!m_value.isNumeric())
        return 0;
    // Whole numbers beyond 2^53 are not exact as doubles, so those that the
    // library holds as integers are range-checked as integers.
    if (m_value.isInt())
        return m_value.asInt();
    if (m_value.isIntegral())
        return 0;
    const double number = m_value.asDouble();
    if (!(number > static_cast<double>(INT32_MIN) - 1.0 && number < static_cast<double>(INT32_MAX) + 1.0))
        return 0;
    return static_cast<int32_t>(number);
}

float CJsonNode::GetMemberFloat(const char* name)
{
    TIntrusivePointer<IJsonNode> member = GetMember(name);
    return member ? member->GetFloat() : 0.0f;
}

float CJsonNode::GetFloat()
{
    if (m_value.isString())
        return static_cast<float>(std::strtod(m_value.asCString(), nullptr));
    if (m_value.isNumeric())
        return m_value.asFloat();
    return 0.0f;
}

const char* CJsonNode::GetMemberString(const char* name)
{
    TIntrusivePointer<IJsonNode> member = GetMember(name);
    return member ? member->GetString() : "";
}

const char* CJsonNode::GetString()
{
    // Arrays and objects have no text form; the library refuses them.
    if (m_value.isArray() || m_value.isObject()) {
        m_text.clear();
        return m_text.c_str();
    }
    try {
        m_text = m_value.asString();
    } catch (const std::exception&) {
        m_text.clear();
    }
    return m_text.c_str();
}

SYSTEMTIME CJsonNode::GetMemberDateTime(const char* name)
{
    SYSTEMTIME result = {};
    const char* text = GetMemberString(name);
    if (!HasDatePrefix(text))
        return result;
    // Digits only (with a sign): a zone suffix or ")/" ends the number.
    const long long milliseconds = std::strtoll(text + 6, nullptr, 10);
    return Common::TimeTToSystemTime(static_cast<int64_t>(milliseconds / 1000) - kDateOffsetSeconds);
}

} // namespace FileSystem
} // namespace RVGameEngine
