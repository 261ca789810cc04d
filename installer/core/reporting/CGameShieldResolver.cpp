#include "installer/core/reporting/CGameShieldResolver.h"

#include <cstring>

CGameShieldResolver* CGameShieldResolver::GetInstance()
{
    static CGameShieldResolver* instance = new CGameShieldResolver;
    return instance;
}

std::string CGameShieldResolver::ResolveAddress(const char* accessToken, const char* groupName)
{
    const std::string group = groupName == nullptr ? std::string() : std::string(groupName);
    if (!m_loaded || m_initialize == nullptr || m_lookupGroup == nullptr)
        return group;
    if (m_initialize(accessToken) != 0)
        return group;
    // One byte more than the library may write keeps the answer terminated.
    char answer[kAnswerBufferSize + 1] = {};
    if (m_lookupGroup(group.c_str(), static_cast<int32_t>(group.size()), answer) != 0)
        return group;
    return std::string(answer, strnlen(answer, kAnswerBufferSize));
}
