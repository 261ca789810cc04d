#include "engine/scene/CSpriteManager2D.h"

#include "engine/common/base/TimeFunctions.h"
#include "engine/filesystem/ILogFile.h"
#include "engine/math/VectorFunctions.h"
#include "engine/scene/CSpriteBinaryReader.h"
#include "engine/scene/CSpriteInstance2D.h"
#include "engine/scene/CSpriteXmlReader.h"
#include "engine/scene/ISceneManager2D.h"
#include "engine/video/ITextureManager.h"
#include "engine/video/IVideoDriver.h"

#include <new>

namespace RVGameEngine {
namespace Scene {

namespace {

// Textures of sprite frames are asked for with this creation flag.
constexpr uint32_t kFrameTextureFilter = 1;
// The batch's texture filter: linear.
constexpr int kBatchTextureFilter = 1;

} // namespace

CSpriteManager2D::CSpriteManager2D() : m_batch(Video::IMeshBuffer_Create(Video::MESH_BUFFER_TYPE_2D))
{
}

CSpriteManager2D::~CSpriteManager2D()
{
    Shutdown();
}

bool CSpriteManager2D::Initialize()
{
    if (Video::IVideoDriver* driver = Video::IVideoDriver_GetInstance()) {
        m_screenBox.ExtendBoundingBox(Math::tagVector2(0.0f, 0.0f));
        m_screenBox.ExtendBoundingBox(Math::tagVector2(static_cast<float>(driver->GetWidth()),
                                                       static_cast<float>(driver->GetHeight())));
    }
    return true;
}

void CSpriteManager2D::Shutdown()
{
    m_batch.Reset();
    m_sprites.clear();
}

void CSpriteManager2D::SetTextureDirectory(const wchar_t* path)
{
    m_textureDirectory = path != nullptr ? path : L"";
}

template <typename Reader>
void CSpriteManager2D::LoadWith(const wchar_t* path, bool loadTextures, int frameStep)
{
    tagSpriteFileContents contents;
    Reader reader;
    if (reader.Read(path, frameStep, contents))
        Store(contents, loadTextures);
    else
        Refuse(path, reader.GetError());
}

void CSpriteManager2D::LoadSpriteFile(const wchar_t* path, bool loadTextures, int frameStep)
{
    LoadWith<CSpriteXmlReader>(path, loadTextures, frameStep);
}

void CSpriteManager2D::LoadSpriteFile(const wchar_t* path, bool loadTextures)
{
    LoadSpriteFile(path, loadTextures, 0);
}

void CSpriteManager2D::LoadSpriteBinaryFile(const wchar_t* path, bool loadTextures, int frameStep)
{
    LoadWith<CSpriteBinaryReader>(path, loadTextures, frameStep);
}

void CSpriteManager2D::LoadSpriteBinaryFile(const wchar_t* path, bool loadTextures)
{
    LoadSpriteBinaryFile(path, loadTextures, 0);
}

void CSpriteManager2D::Store(tagSpriteFileContents& contents, bool loadTextures)
{
    Video::ITextureManager* textures = Video::ITextureManager_GetInstance();
    for (const tagSpriteFileContents::tagTextureRequest& request : contents.textures) {
        const std::wstring texturePath = m_textureDirectory + L"/" + request.relativePath;
        request.frame->Texture =
            Common::TIntrusivePointer<Video::ITexture>(textures->GetTexture(texturePath.c_str(), kFrameTextureFilter));
        if (loadTextures && !request.frame->Texture.IsNull())
            request.frame->Texture->EnsureLoaded();
    }
    // In file order, so a later sprite of a name replaces an earlier one.
    for (Common::TIntrusivePointer<CSprite2D>& sprite : contents.sprites)
        m_sprites[sprite->Name] = sprite;
}

void CSpriteManager2D::Refuse(const wchar_t* path, const std::wstring& why)
{
    FileSystem::ILogFile_GetInstance()->Log(FileSystem::LOG_LEVEL_ERROR, L"Sprite file \"%s\" refused: %s",
                                            path != nullptr ? path : L"", why.c_str());
}

CSprite2D* CSpriteManager2D::FindSprite(const wchar_t* name)
{
    auto found = m_sprites.find(name != nullptr ? name : L"");
    return found != m_sprites.end() ? found->second.Get() : nullptr;
}

ISpriteInstance2D* CSpriteManager2D::CreateSpriteInstance(const wchar_t* name)
{
    CSpriteInstance2D* instance = new (std::nothrow) CSpriteInstance2D(FindSprite(name));
    if (instance != nullptr)
        instance->SetAnimation(0, ANIMATION_MODE_LOOP);
    return instance;
}

void CSpriteManager2D::DrawSpriteInstance(ISpriteInstance2D* instance)
{
    CSpriteInstance2D* sprite = dynamic_cast<CSpriteInstance2D*>(instance);
    if (sprite == nullptr || m_batch.IsNull() || !sprite->GetBoundingBox().InOrIntersectsBoundingBox(m_screenBox) ||
        sprite->GetSprite() == nullptr || sprite->GetTexture() == nullptr)
        return;
    Video::IVideoDriver* driver = Video::IVideoDriver_GetInstance();
    if (driver == nullptr)
        return;
    if (m_batch->GetIndexCount() >= kBatchIndexLimit)
        Flush();
    if (sprite->GetBlendMode() != m_blendMode) {
        // The quads already batched were meant for the old mode: draw them first.
        Flush();
        m_blendMode = sprite->GetBlendMode();
        driver->SetBlendMode(static_cast<int>(m_blendMode));
    }
    if (m_batch->GetTexture() != sprite->GetTexture()) {
        Flush();
        m_batch->SetTexture(sprite->GetTexture());
    }
    ISceneManager2D* scene = ISceneManager2D_GetInstance();
    const Math::tagMatrix3x3 view = scene != nullptr ? scene->GetViewMatrix() : Math::tagMatrix3x3();
    Video::tagColor color;
    sprite->GetColor(color);
    uint32_t deviceColor = 0;
    driver->ToDeviceColor(deviceColor, color);
    float uLeft, uRight, vTop, vBottom;
    sprite->GetTexCoords(uLeft, uRight, vTop, vBottom);
    const float us[4] = {uLeft, uRight, uLeft, uRight};
    const float vs[4] = {vTop, vTop, vBottom, vBottom};
    int indices[4];
    for (int i = 0; i < 4; ++i) {
        Math::tagVector3 corner;
        Math::Matrix3x3TransformVector2(corner, sprite->GetWorldCorners()[i], view);
        indices[i] = m_batch->AddVertex(corner.x, corner.y, deviceColor, us[i], vs[i]);
    }
    m_batch->AddQuad(static_cast<uint16_t>(indices[0]), static_cast<uint16_t>(indices[1]),
                     static_cast<uint16_t>(indices[2]), static_cast<uint16_t>(indices[3]));
}

void CSpriteManager2D::Flush()
{
    Video::IVideoDriver* driver = Video::IVideoDriver_GetInstance();
    if (m_batch.IsNull() || driver == nullptr)
        return;
    driver->SetTextureFilter(kBatchTextureFilter);
    driver->SetBlendMode(static_cast<int>(m_blendMode));
    m_batch->Draw();
    m_batch->Clear();
}

void CSpriteManager2D::ResetBlendMode()
{
    m_blendMode = 0;
    if (Video::IVideoDriver* driver = Video::IVideoDriver_GetInstance())
        driver->SetBlendMode(0);
}

void CSpriteManager2D::ReleaseUnusedTextures(uint32_t idleMs)
{
    const uint32_t now = static_cast<uint32_t>(Common::GetTimeMs());
    for (auto& entry : m_sprites)
        entry.second->ReleaseUnusedTextures(idleMs, now);
}

} // namespace Scene
} // namespace RVGameEngine
