#pragma once

#include "engine/common/base/IReferenceCounted.h"

#include <string>

namespace RVGameEngine {
namespace FileSystem {

// One pair of the file system's name replacement list.
struct tagFilenameReplace : public Common::IReferenceCounted
{
    std::wstring from;
    std::wstring to;
};

} // namespace FileSystem
} // namespace RVGameEngine
