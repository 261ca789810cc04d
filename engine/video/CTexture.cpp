#include "engine/video/CTexture.h"

#include "engine/video/IVideoDriver.h"
#include "engine/video/PowerOfTwo.h"

namespace RVGameEngine {
namespace Video {

CTexture::CTexture(const wchar_t* name) : m_name(name != nullptr ? name : L"") {}

CTexture::~CTexture()
{
    Unload();
}

void CTexture::Init(uint32_t imageWidth, uint32_t imageHeight, IDirect3DTexture8* texture,
                    uint32_t filter)
{
    m_imageWidth = imageWidth;
    m_imageHeight = imageHeight;
    m_textureWidth = RoundUpToPowerOfTwo(imageWidth);
    m_textureHeight = RoundUpToPowerOfTwo(imageHeight);
    if (texture == m_texture.Get()) {
        // Already held: the caller's reference is one too many.
        if (texture != nullptr)
            texture->Release();
    } else {
        *m_texture.Receive() = texture;
    }
    m_filter = filter;
    m_loaded = true;
}

uint32_t CTexture::GetWidth()
{
    EnsureLoaded();
    return m_imageWidth;
}

uint32_t CTexture::GetHeight()
{
    EnsureLoaded();
    return m_imageHeight;
}

uint32_t CTexture::GetTextureWidth()
{
    EnsureLoaded();
    return m_textureWidth;
}

uint32_t CTexture::GetTextureHeight()
{
    EnsureLoaded();
    return m_textureHeight;
}

void CTexture::ReadPixels(int x, int y, int w, int h, uint32_t* out)
{
    EnsureLoaded();
    if (IVideoDriver* driver = IVideoDriver_GetInstance())
        driver->ReadTexturePixels(this, x, y, w, h, out);
}

void CTexture::WritePixels(int x, int y, int w, int h, const uint32_t* in)
{
    EnsureLoaded();
    if (IVideoDriver* driver = IVideoDriver_GetInstance())
        driver->WriteTexturePixels(this, x, y, w, h, in);
}

void CTexture::EnsureLoaded()
{
    if (m_loaded || m_undecodable || m_name.empty())
        return;
    if (IVideoDriver* driver = IVideoDriver_GetInstance())
        driver->LoadTexture(this, m_name.c_str(), m_filter);
}

void CTexture::Unload()
{
    if (!m_loaded)
        return;
    if (IVideoDriver* driver = IVideoDriver_GetInstance())
        driver->ReleaseTexture(this);
    else
        m_texture.Reset();
    m_loaded = false;
}

} // namespace Video
} // namespace RVGameEngine
