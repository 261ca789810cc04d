#pragma once

#include "engine/device/IDevice.h"
#include "engine/device/tagCreationParams.h"
#include "engine/video/IVideoDriver.h"
#include "engine/video/tagMeshVertex.h"

namespace RVGameEngine {
namespace Video {

// The video driver over one Direct3D 8 device. The device window makes it
// right after the Direct3D device and keeps both alive longer than it; the
// driver holds neither by reference.
class RV_API CVideoDriver_DirectX81 : public IVideoDriver
{
public:
    CVideoDriver_DirectX81(const Device::tagCreationParams& params, Device::IDevice* device,
                           IDirect3DDevice8* direct3DDevice);

    bool ResetStates() override;
    uint32_t GetWidth() override;
    uint32_t GetHeight() override;
    bool BeginScene() override;
    void Clear(bool target, bool zBuffer, tagColor color) override;
    void EndScene() override;
    void Begin2D() override;
    void End2D() override;
    void BeginAlphaDraw() override;
    void EndAlphaDraw() override;
    void GetTransform(int kind, Math::tagMatrix4x4* out) override;
    void SetTransform(int kind, const Math::tagMatrix4x4* matrix) override;
    void DrawTexture(ITexture* texture, float x, float y, float w, float h, float sx, float sy, float sw,
                     float sh, tagColor color) override;
    void DrawTexture(ITexture* texture, float x, float y, float w, float h, float sx, float sy, float sw,
                     float sh) override;
    void DrawTexture(ITexture* texture, float x, float y, float w, float h, tagColor color) override;
    void DrawTexture(ITexture* texture, float x, float y, float w, float h) override;
    void DrawTextureQuad(ITexture* texture, float x0, float y0, float x1, float y1, float x2, float y2,
                         float x3, float y3, float sx, float sy, float sw, float sh, tagColor color) override;
    void DrawTextureQuad(ITexture* texture, float x0, float y0, float x1, float y1, float x2, float y2,
                         float x3, float y3) override;
    void FillRect(float x, float y, float w, float h, tagColor color) override;
    void DrawLine(float x0, float y0, float x1, float y1, tagColor color) override;
    void SetTexture(uint32_t stage, ITexture* texture) override;
    void SetFillMode(int mode) override;
    void SetTextureFilter(int mode) override;
    void SetClipRect(bool enable, int x, int y, int w, int h) override;
    void SetViewport(bool enable, int x, int y, int w, int h) override;
    void SaveScreenshot(const wchar_t* path) override;
    uint32_t GetDrawCallCount() override { return m_drawCallCount; }
    void LoadTexture(CTexture* texture, const wchar_t* fileName, uint32_t filter) override;
    ITexture* CreateTexture(uint32_t width, uint32_t height) override;
    void ReadTexturePixels(CTexture* texture, int x, int y, int w, int h, uint32_t* out) override;
    void WriteTexturePixels(CTexture* texture, int x, int y, int w, int h, const uint32_t* in) override;
    void ReleaseTexture(CTexture* texture) override;
    void DrawMeshBuffer(IMeshBuffer* buffer, uint32_t primitiveCount) override;
    void AddDrawCalls(uint32_t count) override { m_drawCallCount += count; }
    void ClipRect(float& x, float& y, float& w, float& h) override;
    void ClipRectWithSource(float& x, float& y, float& w, float& h, float& sx, float& sy, float& sw,
                            float& sh) override;
    IDirect3DDevice8* GetDirect3DDevice() override { return m_direct3DDevice; }
    float GetTexelEndScale() override { return 1.0f; }
    void ToDeviceColor(uint32_t& out, tagColor color) override { out = color.Value; }
    void ComputeTexCoords(ITexture* texture, float sx, float sy, float sw, float sh, float& uLeft,
                          float& uRight, float& vTop, float& vBottom) override;
    ITexture* WrapTexture(uint32_t width, uint32_t height, IDirect3DTexture8* texture,
                          uint32_t filter) override;
    void SetBlendMode(int mode) override;

private:
    // Binds the texture to stage 0; false when it has no Direct3D texture
    // (a file that is missing or does not decode), which then draws nothing.
    bool BindDrawingTexture(ITexture* texture);
    void DrawTexturedQuad(ITexture* texture, const float corners[8], float sx, float sy, float sw, float sh,
                          tagColor color);
    void DrawUntextured(D3DPRIMITIVETYPE type, const tagMeshVertex* vertices, uint32_t vertexCount,
                        const uint16_t* indices, uint32_t primitiveCount);
    void Apply2DCamera(float left, float top, float width, float height);
    // Whether every index of the first `count` lies below the vertex count.
    static bool IndicesInRange(const uint16_t* indices, uint32_t count, uint32_t vertexCount);
    // The locked part of a texture for a pixel copy, clipped to the texture.
    struct tagPixelWindow;
    bool LockPixels(CTexture* texture, int x, int y, int w, int h, DWORD flags, tagPixelWindow& window);

    Device::tagCreationParams m_params;
    Device::IDevice* m_device;
    IDirect3DDevice8* m_direct3DDevice;
    Math::tagMatrix4x4 m_transforms[3];
    Math::tagMatrix4x4 m_savedProjection;
    Math::tagMatrix4x4 m_savedView;
    Math::tagMatrix4x4 m_savedWorld;
    uint32_t m_drawCallCount = 0;
    bool m_clipEnabled = false;
    int32_t m_clipX = 0;
    int32_t m_clipY = 0;
    int32_t m_clipWidth = 0;
    int32_t m_clipHeight = 0;
    DWORD m_savedLighting = 0;
    DWORD m_savedDiffuseMaterialSource = 0;
};

} // namespace Video
} // namespace RVGameEngine
