#pragma once

#include "engine/common/base/EngineApi.h"
#include "engine/common/base/IReferenceCounted.h"

#include <cstdint>

namespace RVGameEngine {
namespace Scene {

class ISpriteInstance2D;

// The registry of sprites by name, loaded from sprite files, and the batched
// drawing of sprite instances: quads that share a texture and blend mode go
// to the video driver in one draw. A sprite file that does not read whole is
// refused with a log line and nothing of it is kept.
class RV_API ISpriteManager2D : public Common::IReferenceCounted
{
public:
    // Takes the drawing area from the video driver's back buffer.
    virtual bool Initialize() = 0;
    // Forgets every sprite and the batch; nothing draws afterwards. Named
    // apart from the reference count's Release, which it must not hide: a
    // smart pointer letting go of the manager only drops its reference.
    virtual void Shutdown() = 0;
    // Frame texture paths are this directory, "/", and the file's text.
    virtual void SetTextureDirectory(const wchar_t* path) = 0;
    // frameStep n keeps every (n + 1)-th frame and divides the frame rates by n + 1.
    virtual void LoadSpriteFile(const wchar_t* path, bool loadTextures, int frameStep) = 0;
    virtual void LoadSpriteFile(const wchar_t* path, bool loadTextures) = 0;
    virtual void LoadSpriteBinaryFile(const wchar_t* path, bool loadTextures, int frameStep) = 0;
    virtual void LoadSpriteBinaryFile(const wchar_t* path, bool loadTextures) = 0;
    // A new instance playing animation 0 in a loop, without a sprite when the
    // name is unknown; the caller takes the first reference.
    virtual ISpriteInstance2D* CreateSpriteInstance(const wchar_t* name) = 0;
    virtual void DrawSpriteInstance(ISpriteInstance2D* instance) = 0;
    // Draws and empties the batch.
    virtual void Flush() = 0;
    virtual void ResetBlendMode() = 0;
    // Unloads the textures of frames not shown for at least idleMs.
    virtual void ReleaseUnusedTextures(uint32_t idleMs) = 0;
};

// The device's sprite manager; null when there is no device.
RV_API ISpriteManager2D* ISpriteManager2D_GetInstance();

} // namespace Scene
} // namespace RVGameEngine
