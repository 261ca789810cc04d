#pragma once

#include "engine/common/base/ComPointer.h"
#include "engine/video/ITexture.h"

#include <string>

namespace RVGameEngine {
namespace Video {

class RV_API CTexture : public ITexture
{
public:
    // An empty name makes a texture that only Init fills (made in memory).
    explicit CTexture(const wchar_t* name);
    ~CTexture() override;

    void Init(uint32_t imageWidth, uint32_t imageHeight, IDirect3DTexture8* texture,
              uint32_t filter) override;
    uint32_t GetWidth() override;
    uint32_t GetHeight() override;
    uint32_t GetTextureWidth() override;
    uint32_t GetTextureHeight() override;
    void ReadPixels(int x, int y, int w, int h, uint32_t* out) override;
    void WritePixels(int x, int y, int w, int h, const uint32_t* in) override;
    uint32_t GetFilter() override { return m_filter; }
    void SetFilter(uint32_t filter) override { m_filter = filter; }
    void EnsureLoaded() override;
    void Unload() override;
    IDirect3DTexture8* GetDirect3DTexture() override { return m_texture.Get(); }
    bool IsLoaded() override { return m_loaded; }

    const wchar_t* GetName() const { return m_name.c_str(); }
    // The video driver's back end gives the Direct3D texture back through this.
    void ReleaseDirect3DTexture() { m_texture.Reset(); }
    // The file is no image the decoder takes: later uses do not read and
    // decode it again (a draw each frame would otherwise do it every time).
    void MarkUndecodable() { m_undecodable = true; }

private:
    std::wstring m_name;
    Common::TComPointer<IDirect3DTexture8> m_texture;
    uint32_t m_imageWidth = 0;
    uint32_t m_imageHeight = 0;
    uint32_t m_textureWidth = 0;
    uint32_t m_textureHeight = 0;
    uint32_t m_filter = 0;
    bool m_loaded = false;
    bool m_undecodable = false;
};

} // namespace Video
} // namespace RVGameEngine
