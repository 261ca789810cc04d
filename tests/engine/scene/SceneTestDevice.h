#pragma once

// The scene's world without a display: a video driver that records what the
// sprite manager sends it, and a device that hands out that driver and the
// sprite and scene managers under test. Sprite files are written here too.

#include "engine/scene/CSceneManager2D.h"
#include "engine/scene/CSpriteManager2D.h"
#include "engine/video/IMeshBuffer.h"
#include "engine/video/IVideoDriver.h"
#include "tests/engine/device/StubDevice.h"

#include <cstdint>
#include <string>
#include <vector>

namespace SceneTest {

constexpr int kScreenWidth = 640;
constexpr int kScreenHeight = 480;
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

class RecordingVideoDriver : public RVGameEngine::Video::IVideoDriver
{
public:
    std::vector<RecordedBatch> batches;  // draws with at least one triangle
    std::vector<std::wstring> loadedTextures;
    int blendMode = 0;
    int textureFilter = -1;
    int blendModeChanges = 0;

    void Forget()
    {
        batches.clear();
        loadedTextures.clear();
        blendModeChanges = 0;
    }

    void DrawMeshBuffer(RVGameEngine::Video::IMeshBuffer* buffer, uint32_t) override;
    void SetBlendMode(int mode) override
    {
        blendMode = mode;
        ++blendModeChanges;
    }
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
    void ToDeviceColor(uint32_t& out, RVGameEngine::Video::tagColor color) override { out = color.Value; }
    uint32_t GetWidth() override { return kScreenWidth; }
    uint32_t GetHeight() override { return kScreenHeight; }

    // Nothing else of the driver is used by the scene.
    using Texture = RVGameEngine::Video::ITexture;
    using Color = RVGameEngine::Video::tagColor;
    bool ResetStates() override { return true; }
    bool BeginScene() override { return true; }
    void Clear(bool, bool, Color) override {}
    void EndScene() override {}
    void Begin2D() override {}
    void End2D() override {}
    void BeginAlphaDraw() override {}
    void EndAlphaDraw() override {}
    void GetTransform(int, RVGameEngine::Math::tagMatrix4x4*) override {}
    void SetTransform(int, const RVGameEngine::Math::tagMatrix4x4*) override {}
    void DrawTexture(Texture*, float, float, float, float, float, float, float, float, Color) override {}
    void DrawTexture(Texture*, float, float, float, float, float, float, float, float) override {}
    void DrawTexture(Texture*, float, float, float, float, Color) override {}
    void DrawTexture(Texture*, float, float, float, float) override {}
    void DrawTextureQuad(Texture*, float, float, float, float, float, float, float, float, float, float, float,
                         float, Color) override {}
    void DrawTextureQuad(Texture*, float, float, float, float, float, float, float, float) override {}
    void FillRect(float, float, float, float, Color) override {}
    void DrawLine(float, float, float, float, Color) override {}
    void SetTexture(uint32_t, Texture*) override {}
    void SetFillMode(int) override {}
    void SetClipRect(bool, int, int, int, int) override {}
    void SetViewport(bool, int, int, int, int) override {}
    void SaveScreenshot(const wchar_t*) override {}
    uint32_t GetDrawCallCount() override { return 0; }
    Texture* CreateTexture(uint32_t, uint32_t) override { return nullptr; }
    void ReadTexturePixels(RVGameEngine::Video::CTexture*, int, int, int, int, uint32_t*) override {}
    void WriteTexturePixels(RVGameEngine::Video::CTexture*, int, int, int, int, const uint32_t*) override {}
    void ReleaseTexture(RVGameEngine::Video::CTexture*) override {}
    void AddDrawCalls(uint32_t) override {}
    void ClipRect(float&, float&, float&, float&) override {}
    void ClipRectWithSource(float&, float&, float&, float&, float&, float&, float&, float&) override {}
    IDirect3DDevice8* GetDirect3DDevice() override { return nullptr; }
    float GetTexelEndScale() override { return 1.0f; }
    Texture* WrapTexture(uint32_t, uint32_t, IDirect3DTexture8*, uint32_t) override { return nullptr; }
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

// Sprite files.
void WriteUnicodeFile(const std::wstring& path, const std::wstring& text);

class BinarySpriteWriter
{
public:
    BinarySpriteWriter& U32(uint32_t value);
    BinarySpriteWriter& F32(float value);
    BinarySpriteWriter& Text(const std::wstring& text);
    std::string bytes;
};

} // namespace SceneTest
