#pragma once

#include "engine/common/base/TIntrusivePointer.h"
#include "engine/video/ITextureManager.h"

#include <map>
#include <string>

namespace RVGameEngine {
namespace Video {

class CTextureManager : public ITextureManager
{
public:
    ITexture* GetTexture(const wchar_t* fileName, uint32_t filter) override;
    ITexture* GetTexture(const wchar_t* fileName) override;
    ITexture* CreateTexture(uint32_t width, uint32_t height) override;

    virtual ~CTextureManager() = default;

private:
    std::map<std::wstring, Common::TIntrusivePointer<ITexture>> m_textures;
};

} // namespace Video
} // namespace RVGameEngine
