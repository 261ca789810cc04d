#pragma once

#include "engine/common/base/EngineApi.h"
#include "engine/common/base/IReferenceCounted.h"
#include "engine/math/tagMatrix4x4.h"
#include "engine/video/tagColor.h"

#include <d3d8.h>

#include <cstdint>

namespace RVGameEngine {
namespace Video {

class CTexture;
class IMeshBuffer;
class ITexture;

// Kinds of GetTransform / SetTransform.
enum enmTransformKind : int32_t
{
    TRANSFORM_WORLD = 0,
    TRANSFORM_VIEW = 1,
    TRANSFORM_PROJECTION = 2,
};

// The game's drawing layer over one Direct3D 8 device: scene brackets,
// transforms, a 2D mode whose units are back-buffer pixels (origin top left,
// y down), immediate quads, fills and lines, a software clip rectangle, the
// viewport, batched mesh drawing, screenshots, lost-device recovery and the
// texture back end. Drawing coordinates are floats in the current space; a
// null texture draws nothing. Every operation runs on the device's thread.
class RV_API IVideoDriver : public Common::IReferenceCounted
{
public:
    // Identity transforms and point filtering; after creation and every reset.
    virtual bool ResetStates() = 0;
    virtual uint32_t GetWidth() = 0;
    virtual uint32_t GetHeight() = 0;
    // False when the frame must be skipped (device lost); a lost device that
    // can be reset is reset here, between the DeviceResetting and
    // DeviceReset events of the device.
    virtual bool BeginScene() = 0;
    virtual void Clear(bool target, bool zBuffer, tagColor color) = 0;
    virtual void EndScene() = 0;
    virtual void Begin2D() = 0;
    // Restores the transforms saved by Begin2D (render states stay).
    virtual void End2D() = 0;
    virtual void BeginAlphaDraw() = 0;
    virtual void EndAlphaDraw() = 0;
    virtual void GetTransform(int kind, Math::tagMatrix4x4* out) = 0;
    virtual void SetTransform(int kind, const Math::tagMatrix4x4* matrix) = 0;
    // Source rectangles are in texels of the image; rectangle draws are clipped.
    virtual void DrawTexture(ITexture* texture, float x, float y, float w, float h, float sx, float sy,
                             float sw, float sh, tagColor color) = 0;
    virtual void DrawTexture(ITexture* texture, float x, float y, float w, float h, float sx, float sy,
                             float sw, float sh) = 0;
    virtual void DrawTexture(ITexture* texture, float x, float y, float w, float h, tagColor color) = 0;
    virtual void DrawTexture(ITexture* texture, float x, float y, float w, float h) = 0;
    // Corners top-left, top-right, bottom-left, bottom-right; not clipped.
    virtual void DrawTextureQuad(ITexture* texture, float x0, float y0, float x1, float y1, float x2,
                                 float y2, float x3, float y3, float sx, float sy, float sw, float sh,
                                 tagColor color) = 0;
    virtual void DrawTextureQuad(ITexture* texture, float x0, float y0, float x1, float y1, float x2,
                                 float y2, float x3, float y3) = 0;
    virtual void FillRect(float x, float y, float w, float h, tagColor color) = 0;
    virtual void DrawLine(float x0, float y0, float x1, float y1, tagColor color) = 0;
    virtual void SetTexture(uint32_t stage, ITexture* texture) = 0;
    // 0 wireframe, 1 solid.
    virtual void SetFillMode(int mode) = 0;
    // 0 point, 1 and 2 linear, 3 linear with linear mip filtering.
    virtual void SetTextureFilter(int mode) = 0;
    virtual void SetClipRect(bool enable, int x, int y, int w, int h) = 0;
    virtual void SetViewport(bool enable, int x, int y, int w, int h) = 0;
    virtual void SaveScreenshot(const wchar_t* path) = 0;
    virtual uint32_t GetDrawCallCount() = 0;

    // Texture back end.
    virtual void LoadTexture(CTexture* texture, const wchar_t* fileName, uint32_t filter) = 0;
    // A new empty A8R8G8B8 texture; the caller takes the first reference.
    virtual ITexture* CreateTexture(uint32_t width, uint32_t height) = 0;
    // Rectangles are clipped to the texture; out/in hold w × h pixels row by row.
    virtual void ReadTexturePixels(CTexture* texture, int x, int y, int w, int h, uint32_t* out) = 0;
    virtual void WriteTexturePixels(CTexture* texture, int x, int y, int w, int h, const uint32_t* in) = 0;
    virtual void ReleaseTexture(CTexture* texture) = 0;

    // Draws up to primitiveCount triangles of the buffer (never more than it holds).
    virtual void DrawMeshBuffer(IMeshBuffer* buffer, uint32_t primitiveCount) = 0;
    virtual void AddDrawCalls(uint32_t count) = 0;
    // Cut to the clip rectangle when clipping is on; the result may be empty.
    virtual void ClipRect(float& x, float& y, float& w, float& h) = 0;
    // The same, with the source rectangle cut in proportion.
    virtual void ClipRectWithSource(float& x, float& y, float& w, float& h, float& sx, float& sy,
                                    float& sw, float& sh) = 0;
    virtual IDirect3DDevice8* GetDirect3DDevice() = 0;
    virtual float GetTexelEndScale() = 0;
    virtual void ToDeviceColor(uint32_t& out, tagColor color) = 0;
    virtual void ComputeTexCoords(ITexture* texture, float sx, float sy, float sw, float sh, float& uLeft,
                                  float& uRight, float& vTop, float& vBottom) = 0;
    // Wraps a Direct3D texture (taking over the caller's reference) in a new
    // unnamed texture; the caller takes the first reference.
    virtual ITexture* WrapTexture(uint32_t width, uint32_t height, IDirect3DTexture8* texture,
                                  uint32_t filter) = 0;
    // 0 alpha blending, 1 additive colour blending.
    virtual void SetBlendMode(int mode) = 0;
};

// The video driver of the device; null when there is no device.
RV_API IVideoDriver* IVideoDriver_GetInstance();

// How images go into textures whose size the device rounds up: 1 keeps them
// unscaled in the top-left corner, anything else stretches them.
RV_API extern uint32_t UnscaledTextureLoading;

} // namespace Video
} // namespace RVGameEngine
