#include "engine/video/CTextureManager.h"

#include "engine/video/CTexture.h"
#include "engine/video/IVideoDriver.h"

#include <new>

namespace RVGameEngine {
namespace Video {

ITexture* CTextureManager::GetTexture(const wchar_t* fileName, uint32_t filter)
{
    std::wstring name = fileName != nullptr ? fileName : L"";
    auto found = m_textures.find(name);
    if (found != m_textures.end())
        return found->second.Get();
    CTexture* texture = new (std::nothrow) CTexture(name.c_str());
    if (texture == nullptr)
        return nullptr;
    texture->SetFilter(filter);
    m_textures.emplace(name, Common::TIntrusivePointer<ITexture>(texture));
    return texture;
}

ITexture* CTextureManager::GetTexture(const wchar_t* fileName)
{
    return GetTexture(fileName, 0);
}

ITexture* CTextureManager::CreateTexture(uint32_t width, uint32_t height)
{
    IVideoDriver* driver = IVideoDriver_GetInstance();
    return driver != nullptr ? driver->CreateTexture(width, height) : nullptr;
}

ITextureManager* ITextureManager_GetInstance()
{
    // Destroyed at exit, releasing every cached texture.
    static CTextureManager manager;
    return &manager;
}

} // namespace Video
} // namespace RVGameEngine
