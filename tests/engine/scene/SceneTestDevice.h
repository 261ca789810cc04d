#pragma once

// The scene's world without a display: a video driver that records what the
// sprite manager sends it, and a device that hands out that driver and the
// sprite and scene managers under test.

#include "engine/scene/CSceneManager2D.h"
#include "engine/scene/CSpriteManager2D.h"
#include "engine/video/IMeshBuffer.h"
#include "engine/video/IVideoDriver.h"
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

class RecordingVideoDriver : public RVGameEngine::Video::IVideoDriver
{
public:
    using Texture = RVGameEngine::Video::ITexture;
    using CTexture = RVGameEngine::Video::CTexture;
    using Color = RVGameEngine::Video::tagColor;
    using Matrix = RVGameEngine::Math::tagMatrix4x4;

    std::vector<RecordedBatch> batches;  // draws with at least one triangle
    std::vector<std::wstring> loadedTextures;
    int blendMode = 0;
    int textureFilter = -1;

    void Forget() { batches.clear(); loadedTextures.clear(); }

    void DrawMeshBuffer(RVGameEngine::Video::IMeshBuffer* buffer, uint32_t) override;
    void SetBlendMode(int mode) override { blendMode = mode; }
    void SetTextureFilter(int mode) override { textureFilter = mode; }
    void LoadTexture(CTexture* texture, const wchar_t* fileName, uint32_t filter) override;
    void ComputeTexCoords(Texture*, float sx, float sy, float sw, float sh, float& uLeft, float& uRight, float& vTop,
                          float& vBottom) override
    {
        uLeft = sx / kTexCoordScale;
        uRight = (sx + sw) / kTexCoordScale;
        vTop = sy / kTexCoordScale;
        vBottom = (sy + sh) / kTexCoordScale;
    }
    void ToDeviceColor(uint32_t& out, Color color) override { out = color.Value; }
    uint32_t GetWidth() override { return 640; }
    uint32_t GetHeight() override { return 480; }

    // Nothing else of the driver is used by the scene.
    using F = float;
    bool ResetStates() override { return true; } bool BeginScene() override { return true; }
    void Clear(bool, bool, Color) override {} void EndScene() override {} void Begin2D() override {}
    void End2D() override {} void BeginAlphaDraw() override {} void EndAlphaDraw() override {}
    void GetTransform(int, Matrix*) override {} void SetTransform(int, const Matrix*) override {}
    void DrawTexture(Texture*, F, F, F, F, F, F, F, F, Color) override {}
    void DrawTexture(Texture*, F, F, F, F, F, F, F, F) override {}
    void DrawTexture(Texture*, F, F, F, F, Color) override {} void DrawTexture(Texture*, F, F, F, F) override {}
    void DrawTextureQuad(Texture*, F, F, F, F, F, F, F, F, F, F, F, F, Color) override {}
    void DrawTextureQuad(Texture*, F, F, F, F, F, F, F, F) override {} void FillRect(F, F, F, F, Color) override {}
    void DrawLine(F, F, F, F, Color) override {} void SetTexture(uint32_t, Texture*) override {}
    void SetFillMode(int) override {} void SetClipRect(bool, int, int, int, int) override {}
    void SetViewport(bool, int, int, int, int) override {} void SaveScreenshot(const wchar_t*) override {}
    uint32_t GetDrawCallCount() override { return 0; }
    Texture* CreateTexture(uint32_t, uint32_t) override { return nullptr; }
    void ReadTexturePixels(CTexture*, int, int, int, int, uint32_t*) override {}
    void WriteTexturePixels(CTexture*, int, int, int, int, const uint32_t*) override {}
    void ReleaseTexture(CTexture*) override {} void AddDrawCalls(uint32_t) override {}
    void ClipRect(F&, F&, F&, F&) override {} void ClipRectWithSource(F&, F&, F&, F&, F&, F&, F&, F&) override {}
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
