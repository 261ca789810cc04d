#include "engine/video/CVideoDriver_DirectX81.h"

#include "engine/common/base/ComPointer.h"
#include "engine/common/base/IStream.h"
#include "engine/common/base/TIntrusivePointer.h"
#include "engine/device/enmDeviceEvent.h"
#include "engine/filesystem/ILogFile.h"
#include "engine/filesystem/IVirtualFileSystem.h"
#include "engine/video/CTexture.h"
#include "engine/video/IMeshBuffer.h"
#include "engine/video/imaging/ImageMatrices.h"
#include "engine/video/imaging/ImageTextures.h"
#include "engine/video/imaging/SurfaceFiles.h"

#include <algorithm>
#include <new>

namespace RVGameEngine {
namespace Video {

namespace {

const uint16_t kQuadIndices[6] = {0, 2, 1, 1, 2, 3};
const uint16_t kLineIndices[2] = {0, 1};

void LogError(const wchar_t* format, ...)
{
    wchar_t text[512];
    va_list arguments;
    va_start(arguments, format);
    _vsnwprintf(text, 511, format, arguments);
    va_end(arguments);
    text[511] = L'\0';
    FileSystem::ILogFile_GetInstance()->Log(FileSystem::LOG_LEVEL_ERROR, L"%s", text);
}

D3DTRANSFORMSTATETYPE TransformState(int kind)
{
    switch (kind) {
    case TRANSFORM_WORLD: return D3DTS_WORLD;
    case TRANSFORM_VIEW: return D3DTS_VIEW;
    default: return D3DTS_PROJECTION;
    }
}

bool IsTransformKind(int kind)
{
    return kind >= TRANSFORM_WORLD && kind <= TRANSFORM_PROJECTION;
}

// Saves texture-stage states on construction and puts them back on destruction.
class CSavedStageStates
{
public:
    struct tagEntry
    {
        DWORD stage;
        D3DTEXTURESTAGESTATETYPE type;
        DWORD value;
    };

    CSavedStageStates(IDirect3DDevice8* device, std::initializer_list<tagEntry> entries)
        : m_device(device), m_count(0)
    {
        for (tagEntry entry : entries) {
            DWORD saved = 0;
            m_device->GetTextureStageState(entry.stage, entry.type, &saved);
            m_saved[m_count++] = tagEntry{entry.stage, entry.type, saved};
            m_device->SetTextureStageState(entry.stage, entry.type, entry.value);
        }
    }
    ~CSavedStageStates()
    {
        for (size_t i = 0; i < m_count; ++i)
            m_device->SetTextureStageState(m_saved[i].stage, m_saved[i].type, m_saved[i].value);
    }
    CSavedStageStates(const CSavedStageStates&) = delete;
    CSavedStageStates& operator=(const CSavedStageStates&) = delete;

private:
    IDirect3DDevice8* m_device;
    tagEntry m_saved[6];
    size_t m_count;
};

} // namespace

struct CVideoDriver_DirectX81::tagPixelWindow
{
    D3DLOCKED_RECT locked;
    int left, top, right, bottom;  // the clipped rectangle, in texels
};

CVideoDriver_DirectX81::CVideoDriver_DirectX81(const Device::tagCreationParams& params, Device::IDevice* device,
                                               IDirect3DDevice8* direct3DDevice)
    : m_params(params), m_device(device), m_direct3DDevice(direct3DDevice)
{
}

bool CVideoDriver_DirectX81::ResetStates()
{
    const Math::tagMatrix4x4 identity;
    for (int kind = TRANSFORM_WORLD; kind <= TRANSFORM_PROJECTION; ++kind)
        SetTransform(kind, &identity);
    SetTextureFilter(0);
    return true;
}

uint32_t CVideoDriver_DirectX81::GetWidth()
{
    return static_cast<uint32_t>(m_params.Width);
}

uint32_t CVideoDriver_DirectX81::GetHeight()
{
    return static_cast<uint32_t>(m_params.Height);
}

bool CVideoDriver_DirectX81::BeginScene()
{
    const HRESULT level = m_direct3DDevice->TestCooperativeLevel();
    if (level == D3DERR_DEVICENOTRESET) {
        // The device came back: let the game drop what Direct3D loses, reset,
        // and tell it the device is usable again. The frame goes on whatever
        // the reset gave; a failed reset shows in BeginScene below.
        if (m_device != nullptr) {
            Common::tagEventArgs resetting;
            m_device->Fire(Device::DEVICE_EVENT_DEVICE_RESETTING, m_device, &resetting);
            m_device->ResetDevice();
            Common::tagEventArgs reset;
            m_device->Fire(Device::DEVICE_EVENT_DEVICE_RESET, m_device, &reset);
        }
    } else if (level != D3D_OK) {
        return false;
    }
    if (FAILED(m_direct3DDevice->BeginScene()))
        return false;
    m_drawCallCount = 0;
    return true;
}

void CVideoDriver_DirectX81::Clear(bool target, bool zBuffer, tagColor color)
{
    const DWORD flags = (target ? D3DCLEAR_TARGET : 0) | (zBuffer ? D3DCLEAR_ZBUFFER : 0);
    if (flags != 0)
        m_direct3DDevice->Clear(0, nullptr, flags, color.Value, 1.0f, 0);
}

void CVideoDriver_DirectX81::EndScene()
{
    m_direct3DDevice->EndScene();
}

void CVideoDriver_DirectX81::Apply2DCamera(float left, float top, float width, float height)
{
    Math::tagMatrix4x4 projection, view;
    Imaging::MatrixOrthoLH(&projection, width, height, 0.1f, 100.0f);
    // Up is -y, so world y runs down the screen like pixel rows.
    const float centreX = left + width / 2.0f, centreY = top + height / 2.0f;
    Imaging::MatrixLookAtLH(&view, Math::tagVector3(centreX, centreY, 1.0f), Math::tagVector3(centreX, centreY, 0.0f),
                            Math::tagVector3(0.0f, -1.0f, 0.0f));
    const Math::tagMatrix4x4 world;
    SetTransform(TRANSFORM_PROJECTION, &projection);
    SetTransform(TRANSFORM_VIEW, &view);
    SetTransform(TRANSFORM_WORLD, &world);
}

void CVideoDriver_DirectX81::Begin2D()
{
    m_savedProjection = m_transforms[TRANSFORM_PROJECTION];
    m_savedView = m_transforms[TRANSFORM_VIEW];
    m_savedWorld = m_transforms[TRANSFORM_WORLD];
    Apply2DCamera(0.0f, 0.0f, static_cast<float>(m_params.Width), static_cast<float>(m_params.Height));
    SetTextureFilter(0);

    IDirect3DDevice8* d = m_direct3DDevice;
    d->SetTextureStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_BORDER);
    d->SetTextureStageState(0, D3DTSS_ADDRESSV, D3DTADDRESS_BORDER);
    d->SetTextureStageState(0, D3DTSS_BORDERCOLOR, 0);
    d->SetVertexShader(0);
    d->SetPixelShader(0);
    d->SetRenderState(D3DRS_LIGHTING, FALSE);
    d->SetRenderState(D3DRS_ZENABLE, FALSE);
    d->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    d->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    d->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    d->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    d->SetRenderState(D3DRS_ALPHAREF, 0);
    d->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATER);
    d->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    d->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    d->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    d->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    d->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    d->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
    d->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
}

void CVideoDriver_DirectX81::End2D()
{
    SetTransform(TRANSFORM_PROJECTION, &m_savedProjection);
    SetTransform(TRANSFORM_VIEW, &m_savedView);
    SetTransform(TRANSFORM_WORLD, &m_savedWorld);
}

void CVideoDriver_DirectX81::BeginAlphaDraw()
{
    IDirect3DDevice8* d = m_direct3DDevice;
    d->GetRenderState(D3DRS_LIGHTING, &m_savedLighting);
    d->GetRenderState(D3DRS_DIFFUSEMATERIALSOURCE, &m_savedDiffuseMaterialSource);
    d->SetVertexShader(0);
    d->SetPixelShader(0);
    d->SetRenderState(D3DRS_LIGHTING, FALSE);
    d->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    d->SetRenderState(D3DRS_ALPHAREF, 0);
    d->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    d->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    d->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    d->SetRenderState(D3DRS_DIFFUSEMATERIALSOURCE, D3DMCS_COLOR1);
    SetTextureFilter(0);
}

void CVideoDriver_DirectX81::EndAlphaDraw()
{
    m_direct3DDevice->SetRenderState(D3DRS_LIGHTING, m_savedLighting);
    m_direct3DDevice->SetRenderState(D3DRS_DIFFUSEMATERIALSOURCE, m_savedDiffuseMaterialSource);
}

void CVideoDriver_DirectX81::GetTransform(int kind, Math::tagMatrix4x4* out)
{
    if (out != nullptr && IsTransformKind(kind))
        *out = m_transforms[kind];
}

void CVideoDriver_DirectX81::SetTransform(int kind, const Math::tagMatrix4x4* matrix)
{
    if (!IsTransformKind(kind)) {
        LogError(L"SetTransform: unknown transform kind %d ignored", kind);
        return;
    }
    if (matrix == nullptr)
        return;
    m_transforms[kind] = *matrix;
    m_direct3DDevice->SetTransform(TransformState(kind), reinterpret_cast<const D3DMATRIX*>(matrix->m));
}

bool CVideoDriver_DirectX81::BindDrawingTexture(ITexture* texture)
{
    texture->EnsureLoaded();
    if (texture->GetDirect3DTexture() == nullptr)
        return false;
    SetTexture(0, texture);
    return true;
}

void CVideoDriver_DirectX81::DrawTexturedQuad(ITexture* texture, const float corners[8], float sx, float sy,
                                              float sw, float sh, tagColor color)
{
    if (!BindDrawingTexture(texture))
        return;
    CSavedStageStates alpha(m_direct3DDevice, {{0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE},
                                               {0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE},
                                               {0, D3DTSS_ALPHAOP, D3DTOP_MODULATE}});
    float uLeft, uRight, vTop, vBottom;
    ComputeTexCoords(texture, sx, sy, sw, sh, uLeft, uRight, vTop, vBottom);
    uint32_t deviceColor;
    ToDeviceColor(deviceColor, color);
    const tagMeshVertex vertices[4] = {
        {corners[0], corners[1], 0.0f, deviceColor, uLeft, vTop},
        {corners[2], corners[3], 0.0f, deviceColor, uRight, vTop},
        {corners[4], corners[5], 0.0f, deviceColor, uLeft, vBottom},
        {corners[6], corners[7], 0.0f, deviceColor, uRight, vBottom},
    };
    m_direct3DDevice->SetVertexShader(kMeshVertexFormat);
    m_direct3DDevice->DrawIndexedPrimitiveUP(D3DPT_TRIANGLELIST, 0, 4, 2, kQuadIndices, D3DFMT_INDEX16, vertices,
                                             sizeof(tagMeshVertex));
    ++m_drawCallCount;
}

void CVideoDriver_DirectX81::DrawTexture(ITexture* texture, float x, float y, float w, float h, float sx, float sy,
                                         float sw, float sh, tagColor color)
{
    if (texture == nullptr)
        return;
    ClipRectWithSource(x, y, w, h, sx, sy, sw, sh);
    if (!(sw > 0.0f && sh > 0.0f))
        return;
    const float corners[8] = {x, y, x + w, y, x, y + h, x + w, y + h};
    DrawTexturedQuad(texture, corners, sx, sy, sw, sh, color);
}

void CVideoDriver_DirectX81::DrawTexture(ITexture* texture, float x, float y, float w, float h, float sx, float sy,
                                         float sw, float sh)
{
    DrawTexture(texture, x, y, w, h, sx, sy, sw, sh, tagColor::White());
}

void CVideoDriver_DirectX81::DrawTexture(ITexture* texture, float x, float y, float w, float h, tagColor color)
{
    if (texture == nullptr)
        return;
    DrawTexture(texture, x, y, w, h, 0.0f, 0.0f, static_cast<float>(texture->GetWidth()),
                static_cast<float>(texture->GetHeight()), color);
}

void CVideoDriver_DirectX81::DrawTexture(ITexture* texture, float x, float y, float w, float h)
{
    DrawTexture(texture, x, y, w, h, tagColor::White());
}

void CVideoDriver_DirectX81::DrawTextureQuad(ITexture* texture, float x0, float y0, float x1, float y1, float x2,
                                             float y2, float x3, float y3, float sx, float sy, float sw, float sh,
                                             tagColor color)
{
    if (texture == nullptr)
        return;
    const float corners[8] = {x0, y0, x1, y1, x2, y2, x3, y3};
    DrawTexturedQuad(texture, corners, sx, sy, sw, sh, color);
}

void CVideoDriver_DirectX81::DrawTextureQuad(ITexture* texture, float x0, float y0, float x1, float y1, float x2,
                                             float y2, float x3, float y3)
{
    if (texture == nullptr)
        return;
    DrawTextureQuad(texture, x0, y0, x1, y1, x2, y2, x3, y3, 0.0f, 0.0f, static_cast<float>(texture->GetWidth()),
                    static_cast<float>(texture->GetHeight()), tagColor::White());
}

void CVideoDriver_DirectX81::DrawUntextured(D3DPRIMITIVETYPE type, const tagMeshVertex* vertices,
                                            uint32_t vertexCount, const uint16_t* indices, uint32_t primitiveCount)
{
    m_direct3DDevice->SetVertexShader(kMeshVertexFormat);
    m_direct3DDevice->SetTexture(0, nullptr);
    CSavedStageStates colorOnly(m_direct3DDevice, {{0, D3DTSS_COLORARG1, D3DTA_DIFFUSE},
                                                   {0, D3DTSS_COLOROP, D3DTOP_SELECTARG1},
                                                   {0, D3DTSS_ALPHAARG1, D3DTA_DIFFUSE},
                                                   {0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1},
                                                   {1, D3DTSS_COLOROP, D3DTOP_DISABLE},
                                                   {1, D3DTSS_ALPHAOP, D3DTOP_DISABLE}});
    m_direct3DDevice->DrawIndexedPrimitiveUP(type, 0, vertexCount, primitiveCount, indices, D3DFMT_INDEX16,
                                             vertices, sizeof(tagMeshVertex));
    ++m_drawCallCount;
}

void CVideoDriver_DirectX81::FillRect(float x, float y, float w, float h, tagColor color)
{
    ClipRect(x, y, w, h);
    if (!(w > 0.0f && h > 0.0f))
        return;
    uint32_t c;
    ToDeviceColor(c, color);
    const tagMeshVertex vertices[4] = {
        {x, y, 0.0f, c, 0.0f, 0.0f},
        {x + w, y, 0.0f, c, 1.0f, 0.0f},
        {x, y + h, 0.0f, c, 0.0f, 1.0f},
        {x + w, y + h, 0.0f, c, 1.0f, 1.0f},
    };
    DrawUntextured(D3DPT_TRIANGLELIST, vertices, 4, kQuadIndices, 2);
}

void CVideoDriver_DirectX81::DrawLine(float x0, float y0, float x1, float y1, tagColor color)
{
    uint32_t c;
    ToDeviceColor(c, color);
    const tagMeshVertex vertices[2] = {{x0, y0, 0.0f, c, 0.0f, 0.0f}, {x1, y1, 0.0f, c, 1.0f, 0.0f}};
    DrawUntextured(D3DPT_LINELIST, vertices, 2, kLineIndices, 1);
}

void CVideoDriver_DirectX81::SetTexture(uint32_t stage, ITexture* texture)
{
    if (texture == nullptr) {
        m_direct3DDevice->SetTexture(stage, nullptr);
        return;
    }
    texture->EnsureLoaded();
    m_direct3DDevice->SetTexture(stage, texture->GetDirect3DTexture());
    SetTextureFilter(static_cast<int>(texture->GetFilter()));
}

void CVideoDriver_DirectX81::SetFillMode(int mode)
{
    if (mode == 0)
        m_direct3DDevice->SetRenderState(D3DRS_FILLMODE, D3DFILL_WIREFRAME);
    else if (mode == 1)
        m_direct3DDevice->SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
}

void CVideoDriver_DirectX81::SetTextureFilter(int mode)
{
    DWORD minMag, mip;
    switch (mode) {
    case 0: minMag = D3DTEXF_POINT; mip = D3DTEXF_NONE; break;
    case 1:
    case 2: minMag = D3DTEXF_LINEAR; mip = D3DTEXF_NONE; break;
    case 3: minMag = D3DTEXF_LINEAR; mip = D3DTEXF_LINEAR; break;
    default: return;
    }
    m_direct3DDevice->SetTextureStageState(0, D3DTSS_MINFILTER, minMag);
    m_direct3DDevice->SetTextureStageState(0, D3DTSS_MAGFILTER, minMag);
    m_direct3DDevice->SetTextureStageState(0, D3DTSS_MIPFILTER, mip);
}

void CVideoDriver_DirectX81::SetClipRect(bool enable, int x, int y, int w, int h)
{
    m_clipEnabled = enable;
    m_clipX = x;
    m_clipY = y;
    m_clipWidth = w;
    m_clipHeight = h;
}

void CVideoDriver_DirectX81::SetViewport(bool enable, int x, int y, int w, int h)
{
    if (!enable) {
        x = 0;
        y = 0;
        w = m_params.Width;
        h = m_params.Height;
    } else {
        if (x < 0) { w += x; x = 0; }
        if (y < 0) { h += y; y = 0; }
        if (x + w > m_params.Width) w = m_params.Width - x;
        if (y + h > m_params.Height) h = m_params.Height - y;
    }
    if (w <= 0 || h <= 0) {
        // Direct3D refuses an empty viewport and the camera would divide by zero.
        LogError(L"SetViewport: (%d, %d, %d, %d) lies outside the back buffer, ignored", x, y, w, h);
        return;
    }
    D3DVIEWPORT8 viewport = {static_cast<DWORD>(x), static_cast<DWORD>(y), static_cast<DWORD>(w),
                             static_cast<DWORD>(h), 0.0f, 1.0f};
    m_direct3DDevice->SetViewport(&viewport);
    Apply2DCamera(static_cast<float>(x), static_cast<float>(y), static_cast<float>(w), static_cast<float>(h));
}

void CVideoDriver_DirectX81::SaveScreenshot(const wchar_t* path)
{
    Common::TComPointer<IDirect3DSurface8> target;
    if (FAILED(m_direct3DDevice->GetRenderTarget(target.Receive()))) {
        LogError(L"SaveScreenshot: no render target");
        return;
    }
    const RECT whole = {0, 0, m_params.Width, m_params.Height};
    if (FAILED(Imaging::SaveSurfaceToBmpFile(path, target.Get(), &whole)))
        LogError(L"SaveScreenshot: %s could not be written", path != nullptr ? path : L"(null)");
}

void CVideoDriver_DirectX81::LoadTexture(CTexture* texture, const wchar_t* fileName, uint32_t filter)
{
    if (texture == nullptr || fileName == nullptr)
        return;
    Common::TIntrusivePointer<Common::IStream> data =
        FileSystem::IVirtualFileSystem_GetInstance()->ReadFileUnscrambled(fileName);
    if (data.IsNull() || data->GetSize() <= 0)
        return;
    // One decode gives both the image's size and the texture.
    Imaging::tagImageInfo info;
    const uint32_t imageFilter = UnscaledTextureLoading == 1 ? Imaging::kImageFilterNone : Imaging::kImageFilterDefault;
    IDirect3DTexture8* created = nullptr;
    const HRESULT result = Imaging::CreateTextureFromFileInMemoryEx(
        m_direct3DDevice, data->GetData(), static_cast<uint32_t>(data->GetSize()), Imaging::kSizeFromFile,
        Imaging::kSizeFromFile, 1, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED, imageFilter, imageFilter, 0, &info, nullptr,
        &created);
    if (result == Imaging::kImageDataInvalid) {
        LogError(L"Texture %s is not a readable image", fileName);
        texture->MarkUndecodable();
        return;
    }
    if (FAILED(result)) {
        LogError(L"Texture %s could not be created", fileName);
        return;
    }
    texture->Init(info.Width, info.Height, created, filter);
}

ITexture* CVideoDriver_DirectX81::CreateTexture(uint32_t width, uint32_t height)
{
    IDirect3DTexture8* created = nullptr;
    if (FAILED(Imaging::CreateTexture(m_direct3DDevice, width, height, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED,
                                      &created))) {
        LogError(L"CreateTexture: %u x %u refused by the device", width, height);
        return nullptr;
    }
    return WrapTexture(width, height, created, 0);
}

bool CVideoDriver_DirectX81::LockPixels(CTexture* texture, int x, int y, int w, int h, DWORD flags,
                                        tagPixelWindow& window)
{
    IDirect3DTexture8* d3dTexture = texture != nullptr ? texture->GetDirect3DTexture() : nullptr;
    if (d3dTexture == nullptr || w <= 0 || h <= 0)
        return false;
    D3DSURFACE_DESC desc{};
    if (FAILED(d3dTexture->GetLevelDesc(0, &desc)))
        return false;
    if (desc.Format != D3DFMT_A8R8G8B8 && desc.Format != D3DFMT_X8R8G8B8) {
        LogError(L"Texture pixels: format %d is not 32-bit", static_cast<int>(desc.Format));
        return false;
    }
    // 64-bit sums: x + w must not wrap for rectangles near the int limits.
    window.left = std::max(x, 0);
    window.top = std::max(y, 0);
    window.right = static_cast<int>(std::min<int64_t>(int64_t(x) + w, desc.Width));
    window.bottom = static_cast<int>(std::min<int64_t>(int64_t(y) + h, desc.Height));
    if (window.left >= window.right || window.top >= window.bottom)
        return false;
    const RECT area = {window.left, window.top, window.right, window.bottom};
    if (FAILED(d3dTexture->LockRect(0, &window.locked, &area, flags))) {
        LogError(L"Texture pixels: the texture could not be locked");
        return false;
    }
    return true;
}

void CVideoDriver_DirectX81::ReadTexturePixels(CTexture* texture, int x, int y, int w, int h, uint32_t* out)
{
    tagPixelWindow window;
    if (out == nullptr || !LockPixels(texture, x, y, w, h, D3DLOCK_NOSYSLOCK | D3DLOCK_READONLY, window))
        return;
    for (int row = window.top; row < window.bottom; ++row) {
        const auto* source = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(window.locked.pBits) +
                                                               (row - window.top) * window.locked.Pitch);
        std::copy(source, source + (window.right - window.left),
                  out + static_cast<size_t>(row - y) * w + (window.left - x));
    }
    texture->GetDirect3DTexture()->UnlockRect(0);
}

void CVideoDriver_DirectX81::WriteTexturePixels(CTexture* texture, int x, int y, int w, int h, const uint32_t* in)
{
    tagPixelWindow window;
    if (in == nullptr || !LockPixels(texture, x, y, w, h, D3DLOCK_NOSYSLOCK, window))
        return;
    for (int row = window.top; row < window.bottom; ++row) {
        const uint32_t* source = in + static_cast<size_t>(row - y) * w + (window.left - x);
        auto* target = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(window.locked.pBits) +
                                                   (row - window.top) * window.locked.Pitch);
        std::copy(source, source + (window.right - window.left), target);
    }
    texture->GetDirect3DTexture()->UnlockRect(0);
}

void CVideoDriver_DirectX81::ReleaseTexture(CTexture* texture)
{
    if (texture != nullptr)
        texture->ReleaseDirect3DTexture();
}

bool CVideoDriver_DirectX81::IndicesInRange(const uint16_t* indices, uint32_t count, uint32_t vertexCount)
{
    for (uint32_t i = 0; i < count; ++i)
        if (indices[i] >= vertexCount)
            return false;
    return true;
}

void CVideoDriver_DirectX81::DrawMeshBuffer(IMeshBuffer* buffer, uint32_t primitiveCount)
{
    if (buffer == nullptr || buffer->GetIndexCount() <= 0 || buffer->GetTexture() == nullptr)
        return;
    // Never more triangles than the buffer holds: Direct3D would read past its arrays.
    primitiveCount = std::min(primitiveCount, static_cast<uint32_t>(buffer->GetTriangleCount()));
    const uint32_t vertexCount = static_cast<uint32_t>(buffer->GetVertexCount());
    if (primitiveCount == 0 || vertexCount == 0)
        return;
    if (!IndicesInRange(buffer->GetIndices(), primitiveCount * 3, vertexCount)) {
        LogError(L"DrawMeshBuffer: an index lies beyond the buffer's %u vertices", vertexCount);
        return;
    }
    const void* vertices;
    UINT stride;
    DWORD format;
    if (buffer->GetType() == MESH_BUFFER_TYPE_2D) {
        vertices = buffer->GetVertices();
        stride = sizeof(tagMeshVertex);
        format = kMeshVertexFormat;
    } else if (buffer->GetType() == MESH_BUFFER_TYPE_NORMAL) {
        vertices = buffer->GetNormalVertices();
        stride = sizeof(tagMeshNormalVertex);
        format = kMeshNormalVertexFormat;
    } else {
        return;
    }
    if (!BindDrawingTexture(buffer->GetTexture()))
        return;
    m_direct3DDevice->SetVertexShader(format);
    m_direct3DDevice->DrawIndexedPrimitiveUP(D3DPT_TRIANGLELIST, 0, vertexCount, primitiveCount,
                                             buffer->GetIndices(), D3DFMT_INDEX16, vertices, stride);
    ++m_drawCallCount;
}

void CVideoDriver_DirectX81::ClipRect(float& x, float& y, float& w, float& h)
{
    if (!m_clipEnabled)
        return;
    const float left = std::max(static_cast<float>(m_clipX), x);
    const float right = std::min(static_cast<float>(m_clipX + m_clipWidth), x + w);
    const float top = std::max(static_cast<float>(m_clipY), y);
    const float bottom = std::min(static_cast<float>(m_clipY + m_clipHeight), y + h);
    x = left;
    y = top;
    w = right - left;
    h = bottom - top;
}

void CVideoDriver_DirectX81::ClipRectWithSource(float& x, float& y, float& w, float& h, float& sx, float& sy,
                                                float& sw, float& sh)
{
    if (!m_clipEnabled)
        return;
    const float clipLeft = static_cast<float>(m_clipX), clipTop = static_cast<float>(m_clipY);
    const float clipRight = static_cast<float>(m_clipX + m_clipWidth);
    const float clipBottom = static_cast<float>(m_clipY + m_clipHeight);
    if (x >= clipLeft && x + w <= clipRight && y >= clipTop && y + h <= clipBottom)
        return;
    const float left = std::max(clipLeft, x), right = std::min(clipRight, x + w);
    const float top = std::max(clipTop, y), bottom = std::min(clipBottom, y + h);
    const float newSx = sw * (left - x) / w + sx;
    const float newSy = sh * (top - y) / h + sy;
    const float newSw = (sw * (right - x) / w + sx) - newSx;
    const float newSh = (sh * (bottom - y) / h + sy) - newSy;
    sx = newSx;
    sy = newSy;
    sw = newSw;
    sh = newSh;
    ClipRect(x, y, w, h);
}

void CVideoDriver_DirectX81::ComputeTexCoords(ITexture* texture, float sx, float sy, float sw, float sh,
                                              float& uLeft, float& uRight, float& vTop, float& vBottom)
{
    uLeft = uRight = vTop = vBottom = 0.0f;
    if (texture == nullptr)
        return;
    const uint32_t imageWidth = texture->GetWidth(), imageHeight = texture->GetHeight();
    const uint32_t textureWidth = texture->GetTextureWidth(), textureHeight = texture->GetTextureHeight();
    const bool anySize = m_device != nullptr && m_device->SupportsNonPow2Textures();
    const bool exact = imageWidth == textureWidth && imageHeight == textureHeight;
    float d = static_cast<float>(imageWidth), e = static_cast<float>(imageHeight);
    if (!anySize && !exact && UnscaledTextureLoading == 1) {
        d = static_cast<float>(textureWidth);
        e = static_cast<float>(textureHeight);
    }
    if (d <= 0.0f || e <= 0.0f)
        return;
    const float k = GetTexelEndScale();
    uLeft = (sx + 0.5f) / d;
    uRight = (sx + sw + 0.5f * k) / d;
    vTop = (sy + 0.5f) / e;
    vBottom = (sy + sh + 0.5f * k) / e;
}

ITexture* CVideoDriver_DirectX81::WrapTexture(uint32_t width, uint32_t height, IDirect3DTexture8* texture,
                                              uint32_t filter)
{
    CTexture* wrapped = new (std::nothrow) CTexture(L"");
    if (wrapped == nullptr) {
        if (texture != nullptr)
            texture->Release();
        return nullptr;
    }
    wrapped->Init(width, height, texture, filter);
    return wrapped;
}

void CVideoDriver_DirectX81::SetBlendMode(int mode)
{
    if (mode != 0 && mode != 1)
        return;
    m_direct3DDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    m_direct3DDevice->SetRenderState(D3DRS_SRCBLEND, mode == 0 ? D3DBLEND_SRCALPHA : D3DBLEND_SRCCOLOR);
    m_direct3DDevice->SetRenderState(D3DRS_DESTBLEND, mode == 0 ? D3DBLEND_INVSRCALPHA : D3DBLEND_ONE);
}

} // namespace Video
} // namespace RVGameEngine
