#pragma once

// The scene's world without a display: a video driver that records what the
// sprite manager sends it, and a device that hands out that driver and the
// sprite and scene managers under test.

#include "engine/scene/CSceneManager2D.h"
#include "engine/scene/CSpriteManager2D.h"
#include "engine/video/IMeshBuffer.h"
#include "engine/video/CVideoDriver_DirectX81.h"
#include "tests/engine/device/StubDevice.h"

#include <cstdint>
#include <string>
#include <vector>

namespace SceneTest {

// Texture coordinates are pixel positions divided by this.
constexpr float kTexCoordScale = 256.0f;

// One mesh-buffer draw as the driver saw it.
struct RecordedBatch
{
    std::vector<RVGameEngine::Video::tagMeshVertex> vertices;
    std::vector<uint16_t> indices;
    RVGameEngine::Video::ITexture* texture = nullptr;
    int blendMode = 0;
    int textureFilter = -1;
};

// The real driver's own bookkeeping without a Direct3D device: every call
// the scene makes that would reach Direct3D is recorded instead.
class RecordingVideoDriver : public RVGameEngine::Video::CVideoDriver_DirectX81
{
public:
    RecordingVideoDriver() : CVideoDriver_DirectX81(RVGameEngine::Device::tagCreationParams(), nullptr, nullptr) {}

    std::vector<RecordedBatch> batches;  // draws with at least one triangle
    std::vector<std::wstring> loadedTextures;
    int blendMode = 0;
    int textureFilter = -1;

    void Forget() { batches.clear(); loadedTextures.clear(); }

    void DrawMeshBuffer(RVGameEngine::Video::IMeshBuffer* buffer, uint32_t) override;
    void SetBlendMode(int mode) override { blendMode = mode; }
    void SetTextureFilter(int mode) override { textureFilter = mode; }
    void LoadTexture(RVGameEngine::Video::CTexture* texture, const wchar_t* fileName, uint32_t filter) override;
    void ComputeTexCoords(RVGameEngine::Video::ITexture*, float sx, float sy, float sw, float sh, float& uLeft,
                          float& uRight, float& vTop, float& vBottom) override
    {
        uLeft = sx / kTexCoordScale;
        uRight = (sx + sw) / kTexCoordScale;
        vTop = sy / kTexCoordScale;
        vBottom = (sy + sh) / kTexCoordScale;
    }
};

// The process's one device, with a fresh sprite and scene manager per test.
class SceneTestDevice : public RVTest::StubDevice
{
public:
    RVGameEngine::Common::TIntrusivePointer<RVGameEngine::Scene::CSpriteManager2D> sprites;
    RVGameEngine::Common::TIntrusivePointer<RVGameEngine::Scene::CSceneManager2D> scene;

    RVGameEngine::Scene::ISpriteManager2D* GetSpriteManager() override { return sprites.Get(); }
    RVGameEngine::Scene::ISceneManager2D* GetSceneManager() override { return scene.Get(); }
};

RecordingVideoDriver& Driver();
SceneTestDevice& Device();
// New managers on the device, initialised, and a driver that has seen nothing.
RVGameEngine::Scene::CSpriteManager2D& FreshManagers();

// Little-endian fields of a binary sprite file.
struct BinarySpriteWriter
{
    template <typename T> BinarySpriteWriter& Put(T value)
    {
        bytes.append(reinterpret_cast<const char*>(&value), sizeof value);
        return *this;
    }
    BinarySpriteWriter& U32(uint32_t value) { return Put(value); }
    BinarySpriteWriter& F32(float value) { return Put(value); }
    BinarySpriteWriter& Text(const std::wstring& text)
    {
        U32(static_cast<uint32_t>(text.size()));
        bytes.append(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
        return *this;
    }
    std::string bytes;
};

} // namespace SceneTest
