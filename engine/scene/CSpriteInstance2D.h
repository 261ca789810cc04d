#pragma once

#include "engine/common/base/TIntrusivePointer.h"
#include "engine/scene/CSprite2D.h"
#include "engine/scene/ISpriteInstance2D.h"
#include "engine/video/ITexture.h"

#include <cstdint>

namespace RVGameEngine {
namespace Scene {

class RV_API CSpriteInstance2D : public ISpriteInstance2D
{
public:
    // A null sprite makes an instance that updates and draws nothing.
    explicit CSpriteInstance2D(CSprite2D* sprite);

    void SetSceneNode(ISceneNode2D* node) override { m_sceneNode = node; }
    ISceneNode2D* GetSceneNode() override { return m_sceneNode; }
    void SetTransform(const Math::tagMatrix3x3& transform) override { m_transform = transform; }
    void Update(uint32_t elapsedMs) override;
    void Draw() override;
    const Math::CBoundingBox2D& GetBoundingBox() override { return m_boundingBox; }
    int GetBoundingSphereCount() override;
    Math::CBoundingSphere2D GetBoundingSphere(int index) override;

    void SetAnimation(int index, uint32_t mode) override;
    void SetAnimationByName(const wchar_t* name, uint32_t mode) override;
    int FindAnimation(const wchar_t* name) override;
    void RandomizeElapsedTime() override;
    bool IsFinished() override;
    void SetColor(Video::tagColor color) override { m_color = color; }
    void GetColor(Video::tagColor& color) override { color = m_color; }
    void SetBlendMode(uint32_t mode) override { m_blendMode = mode; }
    uint32_t GetBlendMode() override { return m_blendMode; }
    void Pause() override { m_paused = true; }
    void Resume() override { m_paused = false; }

    // What the sprite manager batches.
    CSprite2D* GetSprite() const { return m_sprite.Get(); }
    Video::ITexture* GetTexture() const { return m_texture.Get(); }
    const Math::tagVector3* GetWorldCorners() const { return m_corners; }
    void GetTexCoords(float& uLeft, float& uRight, float& vTop, float& vBottom) const;
    int GetAnimationIndex() const { return m_animationIndex; }
    int GetFrameIndex() const { return m_frameIndex; }
    uint64_t GetElapsed() const { return m_elapsed; }
    float GetFrameWidth() const { return m_frameWidth; }
    float GetFrameHeight() const { return m_frameHeight; }

private:
    // The frame the clock points at before the play mode folds it, never
    // negative (a negative or unreadable frame rate counts as frame 0).
    int64_t RawFrameNumber(const CAnimation2D& animation) const;
    int FoldFrameNumber(int64_t frame, int frameCount) const;
    CFrame2D* CurrentFrame() const;
    void SetNodeOffset(float x, float y);
    void ShowFrame(CFrame2D& frame);

    ISceneNode2D* m_sceneNode = nullptr;
    Common::TIntrusivePointer<CSprite2D> m_sprite;
    Math::tagMatrix3x3 m_transform;
    int32_t m_animationIndex = -1;
    int32_t m_frameIndex = -1;
    // 64-bit so that a long-running instance's clock never wraps.
    uint64_t m_elapsed = 0;
    uint32_t m_playMode = ANIMATION_MODE_LOOP;
    Common::TIntrusivePointer<Video::ITexture> m_texture;
    Math::CBoundingBox2D m_boundingBox;
    Math::tagVector3 m_corners[4];
    float m_uLeft = 0.0f, m_uRight = 0.0f, m_vTop = 0.0f, m_vBottom = 0.0f;
    float m_frameWidth = 0.0f, m_frameHeight = 0.0f;
    Video::tagColor m_color = Video::tagColor::White();
    // Kept alive by the sprite this instance holds.
    CFrame2D* m_circleFrame = nullptr;
    uint32_t m_blendMode = 0;
    bool m_paused = false;
};

} // namespace Scene
} // namespace RVGameEngine
