#pragma once

#include "engine/common/base/IStream.h"
#include "engine/scene/tagSpriteFileContents.h"

#include <string>

namespace RVGameEngine {
namespace Scene {

// Reads a binary sprite file whole: version, sprites, animations, frames and
// circles front to back, with the offsets present only in version 2. A count
// that the rest of the file could not hold, or a read past its end, refuses
// the whole file before anything large is allocated.
class CSpriteBinaryReader
{
public:
    bool Read(const wchar_t* path, int frameStep, tagSpriteFileContents& contents);
    const std::wstring& GetError() const { return m_error; }

private:
    bool ReadSprite(tagSpriteFileContents& contents);
    bool ReadAnimation(CSprite2D& sprite, tagSpriteFileContents& contents);
    bool ReadFrame(CFrame2D& frame, std::wstring& texturePath);
    // A count of records of at least minimumBytes each that the unread part
    // of the file can hold.
    bool ReadCount(uint32_t minimumBytes, const wchar_t* what, uint32_t& count);
    bool ReadText(std::wstring& text);
    bool Fail(const wchar_t* why);

    Common::TIntrusivePointer<Common::IStream> m_stream;
    bool m_hasOffsets = false;
    int64_t m_stepDivisor = 1;
    std::wstring m_error;
};

} // namespace Scene
} // namespace RVGameEngine
