#pragma once

#include "engine/common/base/EngineApi.h"
#include "engine/common/base/IReferenceCounted.h"

#include <cstdint>

namespace RVGameEngine {
namespace FileSystem {

// Lists what lies under a folder on disk, as paths joined with "/" in the
// system's listing order. Folders that are reparse points (junctions,
// symbolic links) are neither entered nor listed: a caller that deletes what
// it collects never reaches outside the tree.
class RV_API IFileCollector : public Common::IReferenceCounted
{
public:
    // Empties the list, then collects every file of the tree, depth first.
    virtual void CollectFiles(const wchar_t* folder) = 0;
    virtual int32_t GetCount() = 0;
    // Null for an index out of range. Valid until the list changes.
    virtual const wchar_t* GetAt(int32_t index) = 0;
    // Removes the first entry equal to the path (exact, case-sensitive).
    virtual void Remove(const wchar_t* path) = 0;
    // Appends the folder's immediate subfolders (the list is not emptied).
    virtual void CollectSubdirectories(const wchar_t* folder) = 0;
};

// A new, empty collector, count 0: wrap it in a TIntrusivePointer.
RV_API IFileCollector* IFileCollector_Create();

} // namespace FileSystem
} // namespace RVGameEngine
