#pragma once

#include "engine/common/base/TIntrusivePointer.h"
#include "engine/math/CBoundingBox2D.h"
#include "engine/scene/CSprite2D.h"
#include "engine/scene/ISpriteManager2D.h"
#include "engine/scene/tagSpriteFileContents.h"
#include "engine/video/IMeshBuffer.h"

#include <map>
#include <string>

namespace RVGameEngine {
namespace Scene {

class RV_API CSpriteManager2D : public ISpriteManager2D
{
public:
    CSpriteManager2D();
    ~CSpriteManager2D() override;

    bool Initialize() override;
    void Shutdown() override;
    void SetTextureDirectory(const wchar_t* path) override;
    void LoadSpriteFile(const wchar_t* path, bool loadTextures, int frameStep) override;
    void LoadSpriteFile(const wchar_t* path, bool loadTextures) override;
    void LoadSpriteBinaryFile(const wchar_t* path, bool loadTextures, int frameStep) override;
    void LoadSpriteBinaryFile(const wchar_t* path, bool loadTextures) override;
    ISpriteInstance2D* CreateSpriteInstance(const wchar_t* name) override;
    void DrawSpriteInstance(ISpriteInstance2D* instance) override;
    void Flush() override;
    void ResetBlendMode() override;
    void ReleaseUnusedTextures(uint32_t idleMs) override;

    // The sprite of that name, or null.
    CSprite2D* FindSprite(const wchar_t* name);
    const Math::CBoundingBox2D& GetScreenBox() const { return m_screenBox; }

private:
    // A batch that reaches this many indices is drawn before more is added.
    static constexpr int kBatchIndexLimit = 2000;

    // Takes the textures of a file read whole and stores its sprites.
    // Reads a sprite file with the reader of its form and stores what it holds.
    template <typename Reader>
    void LoadWith(const wchar_t* path, bool loadTextures, int frameStep);
    void Store(tagSpriteFileContents& contents, bool loadTextures);
    void Refuse(const wchar_t* path, const std::wstring& why);

    std::wstring m_textureDirectory;
    std::map<std::wstring, Common::TIntrusivePointer<CSprite2D>> m_sprites;
    Common::TIntrusivePointer<Video::IMeshBuffer> m_batch;
    Math::CBoundingBox2D m_screenBox;
    uint32_t m_blendMode = 0;
};

} // namespace Scene
} // namespace RVGameEngine
