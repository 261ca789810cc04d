#pragma once

#include "engine/common/base/IReferenceCounted.h"

#include <cstdint>
#include <string>

namespace RVGameEngine {
namespace FileSystem {

// One entry of a packed archive's table. The name is normalised: every "\"
// turned into "/".
struct tagPackedFileItem : public Common::IReferenceCounted
{
    uint32_t offset = 0;
    uint32_t size = 0;
    std::wstring name;
};

} // namespace FileSystem
} // namespace RVGameEngine
