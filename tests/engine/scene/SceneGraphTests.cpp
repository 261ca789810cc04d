#include "engine/math/MatrixFunctions.h"
#include "engine/scene/CSceneNode2D.h"
#include "engine/scene/CSpriteInstance2D.h"
#include "engine/video/ITextureManager.h"
#include "tests/engine/scene/SceneTestDevice.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

using namespace RVGameEngine;
using namespace RVGameEngine::Scene;
using Common::TIntrusivePointer;

namespace {

// A sprite of one animation whose frames are 10 × 20 rectangles side by side
// in one texture, centred on their middle.
TIntrusivePointer<CSprite2D> MakeSprite(int frames, float fps, const wchar_t* texture = L"scene/strip.bmp",
                                        float offsetX = 0.0f)
{
    TIntrusivePointer<CSprite2D> sprite(new CSprite2D());
    TIntrusivePointer<CAnimation2D> animation(new CAnimation2D());
    animation->FramePerSecond = fps;
    animation->OffsetX = offsetX;
    for (int i = 0; i < frames; ++i) {
        TIntrusivePointer<CFrame2D> frame(new CFrame2D());
        frame->X1 = 10.0f * i;
        frame->X2 = frame->X1 + 10.0f;
        frame->Y2 = 20.0f;
        frame->CX = frame->X1 + 5.0f;
        frame->CY = 10.0f;
        frame->OffsetX = static_cast<float>(i);
        frame->OffsetY = static_cast<float>(-i);
        frame->Texture = TIntrusivePointer<Video::ITexture>(Video::ITextureManager_GetInstance()->GetTexture(texture, 1));
        animation->Frames.push_back(frame);
    }
    sprite->Animations.push_back(animation);
    return sprite;
}

TIntrusivePointer<CSpriteInstance2D> MakeInstance(const TIntrusivePointer<CSprite2D>& sprite, uint32_t mode)
{
    TIntrusivePointer<CSpriteInstance2D> instance(new CSpriteInstance2D(sprite.Get()));
    instance->SetAnimation(0, mode);
    return instance;
}

// An object that writes its name into a shared record on every call.
class RecordingObject : public CSpriteInstance2D
{
public:
    RecordingObject(std::wstring* record, wchar_t name) : CSpriteInstance2D(nullptr), m_record(record), m_name(name) {}
    void Update(uint32_t) override { *m_record += L'u'; *m_record += m_name; }
    void Draw() override { *m_record += m_name; }

private:
    std::wstring* m_record;
    wchar_t m_name;
};

class SceneGraph : public ::testing::Test
{
protected:
    void SetUp() override { SceneTest::FreshManagers(); }
    ISceneManager2D& Scene() { return *SceneTest::Device().scene; }
    ISpriteManager2D& Sprites() { return *SceneTest::Device().sprites; }
};

TEST_F(SceneGraph, PlayModesFoldTheClockIntoFrames)
{
    const struct { uint32_t mode; std::vector<int> frames; bool finishedAtEnd; } cases[] = {
        // Sampled at 50, 150, ..., 950 ms; 4 frames at 10 frames per second.
        {ANIMATION_MODE_LOOP, {0, 1, 2, 3, 0, 1, 2, 3, 0, 1}, false},
        {ANIMATION_MODE_ONCE, {0, 1, 2, 3, 3, 3, 3, 3, 3, 3}, true},
        {ANIMATION_MODE_PING_PONG, {0, 1, 2, 3, 3, 2, 1, 0, 0, 1}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        TIntrusivePointer<CSpriteInstance2D> instance = MakeInstance(MakeSprite(4, 10.0f), c.mode);
        std::vector<int> frames;
        instance->Update(50);
        for (int i = 0; i < 10; ++i) {
            frames.push_back(instance->GetFrameIndex());
            instance->Update(100);
        }
        EXPECT_EQ(c.frames, frames);
        EXPECT_EQ(c.finishedAtEnd, instance->IsFinished());
    }
    // Once mode finishes exactly when the clock reaches the end.
    TIntrusivePointer<CSpriteInstance2D> once = MakeInstance(MakeSprite(4, 10.0f), ANIMATION_MODE_ONCE);
    once->Update(399);
    EXPECT_FALSE(once->IsFinished());
    once->Update(1);
    EXPECT_TRUE(once->IsFinished());

    // A random start lies within one pass, spread over all of it (twice as long in ping-pong).
    for (uint32_t mode : {ANIMATION_MODE_LOOP, ANIMATION_MODE_PING_PONG}) {
        TIntrusivePointer<CSpriteInstance2D> instance = MakeInstance(MakeSprite(4, 10.0f), mode);
        uint64_t largest = 0;
        for (int i = 0; i < 200; ++i, largest = std::max(largest, instance->GetElapsed()))
            instance->RandomizeElapsedTime();
        const uint64_t period = mode == ANIMATION_MODE_PING_PONG ? 800 : 400;
        EXPECT_LT(largest, period);
        EXPECT_GT(largest, period / 2);
    }
}

TEST_F(SceneGraph, ClocksNeitherWrapNorDivideByZero)
{
    // Two updates of the largest step: a 32-bit clock would read negative.
    TIntrusivePointer<CSpriteInstance2D> slow = MakeInstance(MakeSprite(4, 1.0f), ANIMATION_MODE_LOOP);
    slow->Update(0xFFFFFFFFu);
    slow->Update(0xFFFFFFFFu);
    EXPECT_EQ(2u * 0xFFFFFFFFull, slow->GetElapsed());
    EXPECT_EQ(static_cast<int>(8589934 % 4), slow->GetFrameIndex());

    const float rates[] = {0.0f, -5.0f, std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()};
    for (float rate : rates) {
        SCOPED_TRACE(rate);
        for (uint32_t mode : {0u, 1u, 2u, 7u}) {
            TIntrusivePointer<CSpriteInstance2D> instance = MakeInstance(MakeSprite(3, rate), mode);
            instance->Update(123456);
            instance->RandomizeElapsedTime();
            instance->IsFinished();
            EXPECT_GE(instance->GetFrameIndex(), 0);
            EXPECT_LT(instance->GetFrameIndex(), 3);
        }
    }
    // No frames, an unknown animation, no sprite: nothing shows and nothing breaks.
    TIntrusivePointer<CSpriteInstance2D> empty = MakeInstance(MakeSprite(0, 10.0f), ANIMATION_MODE_LOOP);
    TIntrusivePointer<CSpriteInstance2D> lost = MakeInstance(MakeSprite(2, 10.0f), ANIMATION_MODE_LOOP);
    lost->SetAnimationByName(L"Missing", ANIMATION_MODE_LOOP);
    TIntrusivePointer<ISpriteInstance2D> nameless(Sprites().CreateSpriteInstance(L"Nobody"));
    for (ISpriteInstance2D* instance : {static_cast<ISpriteInstance2D*>(empty.Get()), static_cast<ISpriteInstance2D*>(lost.Get()), nameless.Get()}) {
        instance->Update(100);
        instance->RandomizeElapsedTime();
        EXPECT_EQ(0, instance->GetBoundingSphereCount());
        EXPECT_EQ(nullptr, dynamic_cast<CSpriteInstance2D*>(instance)->GetTexture());
    }
    EXPECT_TRUE(lost->IsFinished());
    EXPECT_TRUE(nameless->IsFinished());
}

TEST_F(SceneGraph, InstancesHandTheirOffsetsToTheNodeAndFollowItsTransform)
{
    TIntrusivePointer<CSpriteInstance2D> instance(new CSpriteInstance2D(MakeSprite(2, 10.0f, L"scene/strip.bmp", 8).Get()));
    ISceneNode2D* node = Scene().GetRoot()->CreateChild(L"Hero", instance.Get(), 3);
    auto* concrete = dynamic_cast<CSceneNode2D*>(node);
    instance->SetAnimation(0, ANIMATION_MODE_LOOP);
    EXPECT_FLOAT_EQ(8.0f, concrete->GetOffsetX());
    node->Translate(100.0f, 50.0f);
    Scene().Update(150);
    Scene().Update(0);  // objects see the transform of the pass before
    EXPECT_EQ(1, instance->GetFrameIndex());
    EXPECT_FLOAT_EQ(1.0f, concrete->GetOffsetX());
    EXPECT_FLOAT_EQ(-1.0f, concrete->GetOffsetY());
    EXPECT_FLOAT_EQ(95.0f, instance->GetBoundingBox().GetBoundingMin().x);
    EXPECT_FLOAT_EQ(60.0f, instance->GetBoundingBox().GetBoundingMax().y);

    // Paused: the frame stays, the quad still follows the node.
    instance->Pause();
    node->Translate(10.0f, 0.0f);
    Scene().Update(1000);
    Scene().Update(1000);
    EXPECT_EQ(1, instance->GetFrameIndex());
    EXPECT_FLOAT_EQ(105.0f, instance->GetBoundingBox().GetBoundingMin().x);
    instance->Resume();
    Scene().Update(100);
    EXPECT_EQ(0, instance->GetFrameIndex());
}

TEST_F(SceneGraph, ChildrenAreFoundRemovedAndDetachedSafely)
{
    ISceneNode2D* root = Scene().GetRoot();
    ISceneNode2D* child = root->CreateChild(L"Child", nullptr, 0);
    ISceneNode2D* grandchild = child->CreateChild(L"Grandchild", nullptr, 0);
    child->Translate(5.0f, 0.0f);
    root->UpdateTransforms();
    EXPECT_FLOAT_EQ(5.0f, grandchild->GetWorldTransform().m[6]);
    EXPECT_EQ(nullptr, root->GetChild(1));
    TIntrusivePointer<ISceneNode2D> stranger(ISceneNode2D_Create(L"Stranger"));
    EXPECT_FALSE(root->RemoveChild(stranger.Get()));
    TIntrusivePointer<ISceneNode2D> kept(grandchild);
    EXPECT_TRUE(root->RemoveChild(grandchild));
    EXPECT_EQ(nullptr, kept->GetParent());

    // A node whose parent holds the only reference detaches itself.
    ISceneNode2D* leaf = child->CreateChild(L"Leaf", nullptr, 0);
    ASSERT_EQ(1, leaf->GetReferenceCount());
    leaf->Detach();
    EXPECT_EQ(0, child->GetChildCount());

    // Children and objects that outlive their node lose the link to it.
    TIntrusivePointer<ISceneNode2D> orphan(child->CreateChild(L"Orphan", nullptr, 0));
    TIntrusivePointer<CSpriteInstance2D> instance = MakeInstance(MakeSprite(1, 1.0f), ANIMATION_MODE_LOOP);
    child->AttachObject(instance.Get());
    EXPECT_EQ(child, instance->GetSceneNode());
    child->Detach();
    EXPECT_EQ(nullptr, orphan->GetParent());
    EXPECT_EQ(nullptr, instance->GetSceneNode());
    orphan->Detach();
    instance->Update(10);
}

TEST_F(SceneGraph, LayersDrawFromThirtyOneDownAndHiddenSubtreesStillAdvance)
{
    std::wstring record;
    auto object = [&record](wchar_t name) { return new RecordingObject(&record, name); };
    ISceneNode2D* root = Scene().GetRoot();
    ISceneNode2D* a = root->CreateChild(L"A", object(L'a'), 0);
    a->CreateChild(L"B", object(L'b'), 0);
    root->CreateChild(L"C", object(L'c'), 5);
    ISceneNode2D* hidden = root->CreateChild(L"D", object(L'd'), 40);
    hidden->CreateChild(L"E", object(L'e'), 1);
    EXPECT_EQ(31, hidden->GetLayer());
    root->CreateChild(L"F", object(L'f'), -3);
    hidden->SetVisible(false);

    Scene().Update(16);
    EXPECT_EQ(L"uaubucudueuf", record);
    record.clear();
    Scene().Draw();
    EXPECT_EQ(L"cabf", record);
    hidden->SetVisible(true);
    record.clear();
    Scene().Draw();
    EXPECT_EQ(L"dceabf", record);
}

TEST_F(SceneGraph, BatchesShareTextureAndBlendModeUpToTheIndexLimit)
{
    SceneTest::RecordingVideoDriver& driver = SceneTest::Driver();
    TIntrusivePointer<CSprite2D> sprite = MakeSprite(1, 1.0f);
    TIntrusivePointer<CSprite2D> other = MakeSprite(1, 1.0f, L"scene/other.bmp");
    Math::tagMatrix3x3 view;
    Math::Matrix3x3Translation(view, 1.0f, 2.0f);
    Scene().SetViewMatrix(view);
    ISceneNode2D* root = Scene().GetRoot();
    auto add = [&](const TIntrusivePointer<CSprite2D>& s, uint32_t blend, float x) {
        TIntrusivePointer<CSpriteInstance2D> instance = MakeInstance(s, ANIMATION_MODE_LOOP);
        instance->SetBlendMode(blend);
        instance->SetColor(Video::tagColor(0x80112233u));
        root->CreateChild(L"Q", instance.Get(), 0)->Translate(x, 30.0f);
    };
    for (int i = 0; i < 335; ++i)
        add(sprite, 0, 20.0f);
    add(sprite, 1, 20.0f);
    add(other, 1, 20.0f);
    add(other, 1, -500.0f);  // off screen
    Scene().Update(0);
    Scene().Update(0);  // objects see the transform of the pass before
    Scene().Draw();

    ASSERT_EQ(4u, driver.batches.size());
    EXPECT_EQ(334u * 6, driver.batches[0].indices.size());
    EXPECT_EQ(6u, driver.batches[1].indices.size());
    EXPECT_EQ(0, driver.batches[1].blendMode);
    EXPECT_EQ(1, driver.batches[2].blendMode) << "a blend change draws what was batched before";
    EXPECT_EQ(driver.batches[1].texture, driver.batches[2].texture);
    EXPECT_NE(driver.batches[2].texture, driver.batches[3].texture);
    EXPECT_EQ(1, driver.batches[3].textureFilter);
    EXPECT_EQ(0, driver.blendMode) << "the scene leaves the blend mode reset";

    // The quad: frame corners about its centre, moved by the node and the view.
    const std::vector<Video::tagMeshVertex>& quad = driver.batches[3].vertices;
    ASSERT_EQ(4u, quad.size());
    EXPECT_FLOAT_EQ(20.0f - 5.0f + 1.0f, quad[0].X);
    EXPECT_FLOAT_EQ(30.0f - 10.0f + 2.0f, quad[0].Y);
    EXPECT_FLOAT_EQ(20.0f + 5.0f + 1.0f, quad[3].X);
    EXPECT_FLOAT_EQ(30.0f + 10.0f + 2.0f, quad[3].Y);
    EXPECT_EQ(0x80112233u, quad[2].Color);
    EXPECT_FLOAT_EQ(10.0f / SceneTest::kTexCoordScale, quad[1].U);
    EXPECT_FLOAT_EQ(20.0f / SceneTest::kTexCoordScale, quad[3].V);
    const std::vector<uint16_t> order = {0, 1, 2, 1, 3, 2};
    EXPECT_EQ(order, driver.batches[3].indices);

    // A manager shut down draws nothing more.
    driver.Forget();
    Sprites().Shutdown();
    Scene().Draw();
    EXPECT_TRUE(driver.batches.empty());
}

} // namespace
