#include "engine/scene/CSpriteXmlReader.h"

#include "engine/filesystem/documents/IXmlScript.h"

#include <algorithm>
#include <cwchar>
#include <new>

namespace RVGameEngine {
namespace Scene {

namespace {

bool IsNamed(Common::IXmlElement* element, const wchar_t* name)
{
    return element != nullptr && std::wcscmp(element->GetName(), name) == 0;
}

} // namespace

bool CSpriteXmlReader::Read(const wchar_t* path, int frameStep, tagSpriteFileContents& contents)
{
    m_stepDivisor = FrameStepDivisor(frameStep);
    Common::TIntrusivePointer<Common::IXmlScript> script = Common::IXmlScript_Create();
    if (script.IsNull())
        return Fail(L"no XML document");
    Common::IXmlElement* root = script->LoadFromFile(path);
    Common::IXmlElement* list = root != nullptr ? root->GetChild(0) : nullptr;
    if (!IsNamed(list, L"SpriteList"))
        return Fail(L"the first element is not \"SpriteList\" (or the file is missing)");
    const int32_t count = list->GetChildCount();
    for (int32_t i = 0; i < count; ++i)
        if (!ReadSprite(list->GetChild(i), contents))
            return false;
    return true;
}

bool CSpriteXmlReader::ReadSprite(Common::IXmlElement* element, tagSpriteFileContents& contents)
{
    if (!IsNamed(element, L"Sprite"))
        return Fail(L"a child of \"SpriteList\" is not \"Sprite\"");
    const wchar_t* name = element->GetAttribute(L"Name");
    if (name[0] == L'\0')
        return Fail(L"a sprite has no name");
    Common::TIntrusivePointer<CSprite2D> sprite(new (std::nothrow) CSprite2D());
    if (sprite.IsNull())
        return Fail(L"out of memory");
    sprite->Name = name;
    contents.sprites.push_back(sprite);
    const int32_t count = element->GetChildCount();
    for (int32_t i = 0; i < count; ++i)
        if (!ReadAnimation(element->GetChild(i), *sprite, contents))
            return false;
    return true;
}

bool CSpriteXmlReader::ReadAnimation(Common::IXmlElement* element, CSprite2D& sprite,
                                     tagSpriteFileContents& contents)
{
    if (!IsNamed(element, L"Animation"))
        return Fail(L"a child of \"Sprite\" is not \"Animation\"");
    Common::TIntrusivePointer<CAnimation2D> animation(new (std::nothrow) CAnimation2D());
    if (animation.IsNull())
        return Fail(L"out of memory");
    sprite.Animations.push_back(animation);
    animation->Name = element->GetAttribute(L"Name");
    animation->FramePerSecond =
        static_cast<float>(element->GetAttributeFloat(L"FramePerSecond") / static_cast<double>(m_stepDivisor));
    animation->OffsetX = element->GetAttributeFloat(L"OffsetX");
    animation->OffsetY = element->GetAttributeFloat(L"OffsetY");
    const int32_t count = element->GetChildCount();
    for (int32_t i = 0; i < count; ++i) {
        // Frames between the kept ones are skipped unread.
        if (i % m_stepDivisor != 0)
            continue;
        Common::TIntrusivePointer<CFrame2D> frame(new (std::nothrow) CFrame2D());
        if (frame.IsNull())
            return Fail(L"out of memory");
        animation->Frames.push_back(frame);
        Common::IXmlElement* child = element->GetChild(i);
        if (!ReadFrame(child, *animation, *frame))
            return false;
        contents.textures.push_back({frame.Get(), child->GetAttribute(L"Texture")});
    }
    return true;
}

bool CSpriteXmlReader::ReadFrame(Common::IXmlElement* element, const CAnimation2D& animation, CFrame2D& frame)
{
    if (!IsNamed(element, L"Frame"))
        return Fail(L"a child of \"Animation\" is not \"Frame\"");
    frame.X1 = static_cast<float>(element->GetAttributeInt(L"X1"));
    frame.Y1 = static_cast<float>(element->GetAttributeInt(L"Y1"));
    frame.X2 = static_cast<float>(element->GetAttributeInt(L"X2"));
    frame.Y2 = static_cast<float>(element->GetAttributeInt(L"Y2"));
    frame.CX = element->HasAttribute(L"CX") ? element->GetAttributeFloat(L"CX") : (frame.X1 + frame.X2) / 2.0f;
    frame.CY = element->HasAttribute(L"CY") ? element->GetAttributeFloat(L"CY") : (frame.Y1 + frame.Y2) / 2.0f;
    if (element->HasAttribute(L"OffsetX") || element->HasAttribute(L"OffsetY")) {
        frame.OffsetX = element->GetAttributeFloat(L"OffsetX");
        frame.OffsetY = element->GetAttributeFloat(L"OffsetY");
    } else {
        frame.OffsetX = animation.OffsetX;
        frame.OffsetY = animation.OffsetY;
    }
    const int32_t count = element->GetChildCount();
    // The announced count only reserves room; a hostile one must not make a
    // huge allocation, so no more than the circles present are reserved.
    frame.BoundingSpheres.reserve(static_cast<size_t>(
        std::clamp(element->GetAttributeInt(L"BSCount"), 0, count)));
    for (int32_t i = 0; i < count; ++i) {
        Common::IXmlElement* circle = element->GetChild(i);
        if (!IsNamed(circle, L"BoundingSphere"))
            return Fail(L"a child of \"Frame\" is not \"BoundingSphere\"");
        frame.BoundingSpheres.emplace_back(static_cast<float>(circle->GetAttributeInt(L"X")),
                                           static_cast<float>(circle->GetAttributeInt(L"Y")),
                                           static_cast<float>(circle->GetAttributeInt(L"R")));
    }
    return true;
}

bool CSpriteXmlReader::Fail(const wchar_t* why)
{
    m_error = why;
    return false;
}

} // namespace Scene
} // namespace RVGameEngine
