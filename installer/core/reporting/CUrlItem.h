#pragma once

#include "engine/common/base/IReferenceCounted.h"

#include <string>

// One named address of the installer's URL list.
struct CUrlItem : public RVGameEngine::Common::IReferenceCounted
{
    std::wstring name;
    std::wstring address;
};
