#include "installer/core/extraction/PackedResourceFunctions.h"

#include "engine/filesystem/ICompress.h"
#include "engine/filesystem/ILogFile.h"

#include <windows.h>

#include <cstring>

using EngineStream = RVGameEngine::Common::IStream;
using RVGameEngine::Common::TIntrusivePointer;
using RVGameEngine::FileSystem::ILogFile_GetInstance;
using RVGameEngine::FileSystem::LOG_LEVEL_ERROR;

namespace {

// The resource's bytes, valid for the life of the program (resources of
// the program's own image are never unloaded).
bool FindResourceBytes(const wchar_t* name, const wchar_t* type, const void** bytes, DWORD* size)
{
    HMODULE program = GetModuleHandleW(nullptr);
    HRSRC resource = FindResourceW(program, name, type);
    HGLOBAL loaded = resource != nullptr ? LoadResource(program, resource) : nullptr;
    *bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    *size = resource != nullptr ? SizeofResource(program, resource) : 0;
    if (*bytes == nullptr) {
        ILogFile_GetInstance()->Log(LOG_LEVEL_ERROR, L"The program has no resource %s of type %s (system error %lu)",
                                    name, type, static_cast<unsigned long>(GetLastError()));
        return false;
    }
    return true;
}

} // namespace

TIntrusivePointer<EngineStream> LoadPackedResource(const wchar_t* name, const wchar_t* type)
{
    const void* bytes = nullptr;
    DWORD size = 0;
    if (!FindResourceBytes(name, type, &bytes, &size))
        return {};
    TIntrusivePointer<EngineStream> stream(RVGameEngine::Common::IStream_Create(static_cast<int32_t>(size)));
    if (stream.IsNull()) {
        ILogFile_GetInstance()->Log(LOG_LEVEL_ERROR, L"Out of memory copying resource %s", name);
        return {};
    }
    std::memcpy(stream->GetData(), bytes, size);
    return stream;
}

bool FindPackageBlob(const wchar_t* name, const void** blob, uint32_t* size)
{
    DWORD bytes = 0;
    const bool found = FindResourceBytes(name, kPackageResourceType, blob, &bytes);
    *size = bytes;
    return found;
}

TIntrusivePointer<EngineStream> LoadPackageArchive(const wchar_t* name)
{
    const void* bytes = nullptr;
    DWORD size = 0;
    if (!FindResourceBytes(name, kPackageResourceType, &bytes, &size))
        return {};
    return UncompressPackage(bytes, size, name);
}

TIntrusivePointer<EngineStream> UncompressPackage(const void* blob, uint32_t size, const wchar_t* name)
{
    TIntrusivePointer<EngineStream> archive = RVGameEngine::Common::ICompress_GetInstance()->Uncompress(blob, size);
    if (archive.IsNull())
        ILogFile_GetInstance()->Log(LOG_LEVEL_ERROR, L"Package %s does not decompress", name);
    return archive;
}
