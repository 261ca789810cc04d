#pragma once

#include "engine/filesystem/documents/IXmlElement.h"
#include "engine/scene/tagSpriteFileContents.h"

#include <string>

namespace RVGameEngine {
namespace Scene {

// Reads a "SpriteList" XML file whole. Any break of the format (first
// element not "SpriteList", a child of the wrong kind at any level, a sprite
// without a name) refuses the whole file and says why.
class CSpriteXmlReader
{
public:
    bool Read(const wchar_t* path, int frameStep, tagSpriteFileContents& contents);
    const std::wstring& GetError() const { return m_error; }

private:
    bool ReadSprite(Common::IXmlElement* element, tagSpriteFileContents& contents);
    bool ReadAnimation(Common::IXmlElement* element, CSprite2D& sprite, tagSpriteFileContents& contents);
    bool ReadFrame(Common::IXmlElement* element, const CAnimation2D& animation, CFrame2D& frame);
    bool Fail(const wchar_t* why);

    int64_t m_stepDivisor = 1;
    std::wstring m_error;
};

} // namespace Scene
} // namespace RVGameEngine
