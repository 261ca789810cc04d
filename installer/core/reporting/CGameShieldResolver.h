#pragma once

#include "engine/common/base/TScopedHandle.h"

#include <windows.h>

#include <cstdint>
#include <string>

// Resolves the statistics server's group name through a cloud game-shield
// library. This program never loads that library, so every answer is the
// group name itself; the calls are kept for a build that ships it.
class CGameShieldResolver
{
public:
    using InitializeEntry = int32_t(WINAPI*)(const char* accessToken);
    using GroupLookupEntry = int32_t(WINAPI*)(const char* groupName, int32_t length, char* output);
    static constexpr size_t kAnswerBufferSize = 24;

    static CGameShieldResolver* GetInstance();

    CGameShieldResolver() = default;
    CGameShieldResolver(const CGameShieldResolver&) = delete;
    CGameShieldResolver& operator=(const CGameShieldResolver&) = delete;

    // The address text for the group: the group name unless a loaded library
    // answers the lookup.
    std::string ResolveAddress(const char* accessToken, const char* groupName);

private:
    bool m_loaded = false;
    RVGameEngine::Common::CScopedModule m_module;
    InitializeEntry m_initialize = nullptr;
    GroupLookupEntry m_lookupGroup = nullptr;
};
