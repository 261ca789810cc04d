#pragma once

#include "engine/common/base/EngineApi.h"
#include "engine/video/ITexture.h"

#include <cstdint>

namespace RVGameEngine {
namespace Video {

// The cache that makes one texture per exact (case-sensitive) file name, so
// that every user of a file shares its texture. Entries live until the
// process ends; Unload gives a texture's memory back meanwhile.
class RV_API ITextureManager
{
public:
    // The cached texture of that name, or a new unloaded one with the filter
    // (which is ignored for a name already cached). The pointer is the
    // cache's: take a reference to keep it.
    virtual ITexture* GetTexture(const wchar_t* fileName, uint32_t filter) = 0;
    virtual ITexture* GetTexture(const wchar_t* fileName) = 0;
    // A new empty A8R8G8B8 texture from the video driver, not cached; null
    // without a device. The caller takes the first reference.
    virtual ITexture* CreateTexture(uint32_t width, uint32_t height) = 0;

protected:
    ~ITextureManager() = default;
};

RV_API ITextureManager* ITextureManager_GetInstance();

} // namespace Video
} // namespace RVGameEngine
