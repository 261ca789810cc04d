#include "engine/scene/CSpriteBinaryReader.h"

#include "engine/filesystem/IVirtualFileSystem.h"

#include <algorithm>
#include <new>

namespace RVGameEngine {
namespace Scene {

namespace {

// Smallest possible records: a text is at least its 4-byte length.
constexpr uint32_t kTextBytes = 4;
constexpr uint32_t kSpriteBytes = kTextBytes + 4;
constexpr uint32_t kCircleBytes = 12;

uint32_t AnimationBytes(bool hasOffsets)
{
    return kTextBytes + 4 + 4 + (hasOffsets ? 8 : 0);
}

uint32_t FrameBytes(bool hasOffsets)
{
    return kTextBytes + 6 * 4 + (hasOffsets ? 8 : 0) + 4;
}

} // namespace

bool CSpriteBinaryReader::Read(const wchar_t* path, int frameStep, tagSpriteFileContents& contents)
{
    m_stepDivisor = FrameStepDivisor(frameStep);
    FileSystem::IVirtualFileSystem* files = FileSystem::IVirtualFileSystem_GetInstance();
    m_stream = files != nullptr ? files->ReadFile(path) : Common::TIntrusivePointer<Common::IStream>();
    if (m_stream.IsNull())
        return Fail(L"the file cannot be read");
    m_hasOffsets = m_stream->ReadUInt32() == 2;
    uint32_t spriteCount = 0;
    if (!ReadCount(kSpriteBytes, L"sprite", spriteCount))
        return false;
    for (uint32_t i = 0; i < spriteCount; ++i)
        if (!ReadSprite(contents))
            return false;
    return true;
}

bool CSpriteBinaryReader::ReadSprite(tagSpriteFileContents& contents)
{
    Common::TIntrusivePointer<CSprite2D> sprite(new (std::nothrow) CSprite2D());
    if (sprite.IsNull())
        return Fail(L"out of memory");
    uint32_t animationCount = 0;
    if (!ReadText(sprite->Name) || !ReadCount(AnimationBytes(m_hasOffsets), L"animation", animationCount))
        return false;
    contents.sprites.push_back(sprite);
    sprite->Animations.reserve(animationCount);
    for (uint32_t i = 0; i < animationCount; ++i)
        if (!ReadAnimation(*sprite, contents))
            return false;
    return true;
}

bool CSpriteBinaryReader::ReadAnimation(CSprite2D& sprite, tagSpriteFileContents& contents)
{
    Common::TIntrusivePointer<CAnimation2D> animation(new (std::nothrow) CAnimation2D());
    if (animation.IsNull())
        return Fail(L"out of memory");
    sprite.Animations.push_back(animation);
    if (!ReadText(animation->Name))
        return false;
    animation->FramePerSecond =
        static_cast<float>(m_stream->ReadFloat() / static_cast<double>(m_stepDivisor));
    uint32_t frameCount = 0;
    if (!ReadCount(FrameBytes(m_hasOffsets), L"frame", frameCount))
        return false;
    if (m_hasOffsets) {
        animation->OffsetX = m_stream->ReadFloat();
        animation->OffsetY = m_stream->ReadFloat();
    }
    animation->Frames.reserve(std::max<size_t>(1, static_cast<size_t>(frameCount / m_stepDivisor)));
    for (uint32_t i = 0; i < frameCount; ++i) {
        // Every frame record is read; only every (step + 1)-th is kept.
        Common::TIntrusivePointer<CFrame2D> frame(new (std::nothrow) CFrame2D());
        if (frame.IsNull())
            return Fail(L"out of memory");
        std::wstring texturePath;
        if (!ReadFrame(*frame, texturePath))
            return false;
        if (i % m_stepDivisor != 0)
            continue;
        animation->Frames.push_back(frame);
        contents.textures.push_back({frame.Get(), std::move(texturePath)});
    }
    return !m_stream->HasReadFailed() || Fail(L"the file ends inside a record");
}

bool CSpriteBinaryReader::ReadFrame(CFrame2D& frame, std::wstring& texturePath)
{
    if (!ReadText(texturePath))
        return false;
    frame.X1 = m_stream->ReadFloat();
    frame.Y1 = m_stream->ReadFloat();
    frame.X2 = m_stream->ReadFloat();
    frame.Y2 = m_stream->ReadFloat();
    frame.CX = m_stream->ReadFloat();
    frame.CY = m_stream->ReadFloat();
    if (m_hasOffsets) {
        frame.OffsetX = m_stream->ReadFloat();
        frame.OffsetY = m_stream->ReadFloat();
    }
    uint32_t circleCount = 0;
    if (!ReadCount(kCircleBytes, L"circle", circleCount))
        return false;
    frame.BoundingSpheres.reserve(circleCount);
    for (uint32_t i = 0; i < circleCount; ++i) {
        const float x = m_stream->ReadFloat();
        const float y = m_stream->ReadFloat();
        const float r = m_stream->ReadFloat();
        frame.BoundingSpheres.emplace_back(x, y, r);
    }
    return !m_stream->HasReadFailed() || Fail(L"the file ends inside a frame");
}

bool CSpriteBinaryReader::ReadCount(uint32_t minimumBytes, const wchar_t* what, uint32_t& count)
{
    count = m_stream->ReadUInt32();
    if (m_stream->HasReadFailed())
        return Fail(L"the file ends before a count");
    const uint32_t remaining = static_cast<uint32_t>(std::max(0, m_stream->GetSize() - m_stream->Tell()));
    if (count > remaining / minimumBytes) {
        m_error = std::wstring(L"a ") + what + L" count larger than the file could hold";
        return false;
    }
    return true;
}

bool CSpriteBinaryReader::ReadText(std::wstring& text)
{
    Common::TIntrusivePointer<Common::IString> read = m_stream->ReadUnicodeString();
    if (read.IsNull())
        return Fail(L"a text runs past the end of the file or is too long");
    const wchar_t* units = read->GetUtf16();
    text = units != nullptr ? units : L"";
    return true;
}

bool CSpriteBinaryReader::Fail(const wchar_t* why)
{
    m_error = why;
    return false;
}

} // namespace Scene
} // namespace RVGameEngine
