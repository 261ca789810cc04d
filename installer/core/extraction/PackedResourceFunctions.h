#pragma once

// The packages carried in the program's own resources: each a compressed
// blob (uint32 size, zlib stream) holding a packed archive.

#include "engine/common/base/IStream.h"
#include "engine/common/base/TIntrusivePointer.h"

#include <cstdint>

constexpr const wchar_t* kPackageResourceType = L"RADE_RVC";
constexpr const wchar_t* kInstallerPackage = L"IDR_INSTALLER";
constexpr const wchar_t* kGameClientPackage = L"IDR_GAMECLIENT";

// A copy of the resource's raw bytes at position 0; empty, with a log line,
// when the program has no such resource.
RVGameEngine::Common::TIntrusivePointer<RVGameEngine::Common::IStream> LoadPackedResource(const wchar_t* name,
                                                                                         const wchar_t* type);
// The blob of a package resource in the program's own image (valid for the
// life of the program); false, with a log line, when there is none.
bool FindPackageBlob(const wchar_t* name, const void** blob, uint32_t* size);
// The archive of a package resource, inflated straight from the resource's
// memory; empty, with a log line, when the resource is missing or its blob
// does not inflate to its stated size.
RVGameEngine::Common::TIntrusivePointer<RVGameEngine::Common::IStream> LoadPackageArchive(const wchar_t* name);
// The archive inside a package blob; empty, with a log line naming the
// package, when the blob does not inflate to its stated size.
RVGameEngine::Common::TIntrusivePointer<RVGameEngine::Common::IStream> UncompressPackage(const void* blob,
                                                                                        uint32_t size,
                                                                                        const wchar_t* name);
