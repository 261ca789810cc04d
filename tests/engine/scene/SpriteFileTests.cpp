#include "engine/scene/CSpriteManager2D.h"
#include "engine/scene/CSpriteInstance2D.h"
#include "tests/engine/scene/SceneTestDevice.h"
#include "tests/engine/video/TestImageFiles.h"
#include "tests/support/LogCapture.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <random>

using namespace RVGameEngine;
using namespace RVGameEngine::Scene;
using SceneTest::BinarySpriteWriter;

namespace {

const wchar_t* const kHeroXml =
    L"<SpriteList>\r\n"
    L"\t<Sprite Name=\"Hero\">\r\n"
    L"\t\t<Animation Name=\"Walk\" FramePerSecond=\"30\" OffsetX=\"3\" OffsetY=\"4\">\r\n"
    L"\t\t\t<Frame Texture=\"hero.bmp\" X1=\"0\" Y1=\"0\" X2=\"32\" Y2=\"16\" BSCount=\"2\">\r\n"
    L"\t\t\t\t<BoundingSphere X=\"1\" Y=\"2\" R=\"3\"/>\r\n"
    L"\t\t\t\t<BoundingSphere X=\"4\" Y=\"5\" R=\"6\"/>\r\n"
    L"\t\t\t</Frame>\r\n"
    L"\t\t\t<Frame Texture=\"hero.bmp\" X1=\"32\" Y1=\"0\" X2=\"64\" Y2=\"16\" CX=\"40.5\" CY=\"2\" OffsetX=\"7\"/>\r\n"
    L"\t\t\t<Frame Texture=\"b.bmp\" X1=\"0\" Y1=\"16\" X2=\"8\" Y2=\"24\" OffsetY=\"-2\"/>\r\n"
    L"\t\t\t<Frame Texture=\"c.bmp\" X1=\"0\" Y1=\"0\" X2=\"8\" Y2=\"8\"/>\r\n"
    L"\t\t\t<Frame Texture=\"d.bmp\" X1=\"0\" Y1=\"0\" X2=\"8\" Y2=\"8\"/>\r\n"
    L"\t\t\t<Frame Texture=\"e.bmp\" X1=\"0\" Y1=\"0\" X2=\"8\" Y2=\"8\"/>\r\n"
    L"\t\t\t<Frame Texture=\"f.bmp\" X1=\"0\" Y1=\"0\" X2=\"8\" Y2=\"8\"/>\r\n"
    L"\t\t</Animation>\r\n"
    L"\t\t<Animation Name=\"Idle\" FramePerSecond=\"5\"/>\r\n"
    L"\t</Sprite>\r\n"
    L"\t<Sprite Name=\"Coin\">\r\n"
    L"\t\t<Animation Name=\"Spin\" FramePerSecond=\"10\">\r\n"
    L"\t\t\t<Frame Texture=\"coin.bmp\" X1=\"0\" Y1=\"0\" X2=\"4\" Y2=\"4\"/>\r\n"
    L"\t\t</Animation>\r\n"
    L"\t</Sprite>\r\n"
    L"</SpriteList>\r\n";

// Version 2 (with offsets) or 1 (without) of one sprite "Gem": one animation
// "Glow" of three frames, the middle one with two circles.
std::string GemBinary(uint32_t version)
{
    const bool offsets = version == 2;
    BinarySpriteWriter w;
    w.U32(version).U32(1).Text(L"Gem").U32(1).Text(L"Glow").F32(12.0f).U32(3);
    if (offsets)
        w.F32(5.0f).F32(6.0f);
    for (int i = 0; i < 3; ++i) {
        w.Text(L"gem" + std::to_wstring(i) + L".bmp");
        w.F32(10.0f * i).F32(0.0f).F32(10.0f * i + 10.0f).F32(20.0f).F32(10.0f * i + 5.0f).F32(10.0f);
        if (offsets)
            w.F32(-1.0f * i).F32(2.0f * i);
        const uint32_t circles = i == 1 ? 2 : 0;
        w.U32(circles);
        for (uint32_t c = 0; c < circles; ++c)
            w.F32(1.0f + c).F32(2.0f).F32(3.0f);
    }
    w.bytes += "trailing bytes are ignored";
    return w.bytes;
}

class SpriteFiles : public ::testing::Test
{
protected:
    void SetUp() override { manager = &SceneTest::FreshManagers(); }

    std::wstring WriteXml(const wchar_t* name, const std::wstring& text)
    {
        return WriteBinary(name, VideoTest::UnicodeFileBytes(text));
    }

    std::wstring WriteBinary(const wchar_t* name, const std::string& bytes)
    {
        const std::wstring path = folder.Child(name);
        EXPECT_TRUE(RVTest::WriteWholeFile(path, bytes));
        return path;
    }

    RVTest::TempFolder folder;
    CSpriteManager2D* manager = nullptr;
};

TEST_F(SpriteFiles, XmlFramesTakeCentresOffsetsCirclesAndTexturePaths)
{
    manager->LoadSpriteFile(WriteXml(L"hero.xml", kHeroXml).c_str(), true);
    CSprite2D* hero = manager->FindSprite(L"Hero");
    ASSERT_NE(nullptr, hero);
    ASSERT_EQ(2, hero->GetAnimationCount());
    EXPECT_EQ(-1, hero->FindAnimation(L"idle"));
    CAnimation2D* walk = hero->GetAnimation(0);
    ASSERT_EQ(7, walk->GetFrameCount());
    EXPECT_FLOAT_EQ(30.0f, walk->FramePerSecond);

    struct Expected { float cx, cy, offsetX, offsetY; size_t circles; };
    const Expected expected[3] = {
        {16.0f, 8.0f, 3.0f, 4.0f, 2},   // middle of the rectangle; the animation's offsets
        {40.5f, 2.0f, 7.0f, 0.0f, 0},   // one offset given: both read from the frame
        {4.0f, 20.0f, 0.0f, -2.0f, 0},
    };
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const CFrame2D* frame = walk->GetFrame(i);
        EXPECT_FLOAT_EQ(expected[i].cx, frame->CX);
        EXPECT_FLOAT_EQ(expected[i].cy, frame->CY);
        EXPECT_FLOAT_EQ(expected[i].offsetX, frame->OffsetX);
        EXPECT_FLOAT_EQ(expected[i].offsetY, frame->OffsetY);
        EXPECT_EQ(expected[i].circles, frame->BoundingSpheres.size());
    }
    EXPECT_FLOAT_EQ(6.0f, walk->GetFrame(0)->BoundingSpheres[1].GetRadius());
    // One cached texture per file name; an empty directory still puts its separator in front.
    EXPECT_EQ(walk->GetFrame(0)->Texture, walk->GetFrame(1)->Texture);
    EXPECT_EQ(L"/hero.bmp", SceneTest::Driver().loadedTextures.front());

    // Idle textures are unloaded, but frames keep them.
    CFrame2D* first = walk->GetFrame(0);
    manager->ReleaseUnusedTextures(0xFFFFFFFFu);
    EXPECT_TRUE(first->Texture->IsLoaded());
    manager->ReleaseUnusedTextures(0);
    EXPECT_FALSE(first->Texture->IsLoaded());
}

TEST_F(SpriteFiles, FrameStepKeepsEveryNthFrameAndSlowsTheRate)
{
    BinarySpriteWriter w;
    w.U32(2).U32(1).Text(L"Bin").U32(1).Text(L"Walk").F32(30.0f).U32(7).F32(0.0f).F32(0.0f);
    for (int i = 0; i < 7; ++i)
        w.Text(L"t.bmp").F32(float(i)).F32(0).F32(float(i) + 1).F32(1).F32(0).F32(0).F32(0).F32(0).U32(0);
    manager->LoadSpriteBinaryFile(WriteBinary(L"step.bin", w.bytes).c_str(), false, 2);
    manager->LoadSpriteFile(WriteXml(L"hero.xml", kHeroXml).c_str(), false, 2);
    for (const wchar_t* name : {L"Bin", L"Hero"}) {
        SCOPED_TRACE(name);
        CAnimation2D* walk = manager->FindSprite(name)->GetAnimation(0);
        ASSERT_EQ(3, walk->GetFrameCount());
        EXPECT_FLOAT_EQ(10.0f, walk->FramePerSecond);
    }
    EXPECT_FLOAT_EQ(6.0f, manager->FindSprite(L"Bin")->GetAnimation(0)->GetFrame(2)->X1);
    // A negative step reads every frame rather than dividing by zero.
    manager->LoadSpriteFile(WriteXml(L"hero.xml", kHeroXml).c_str(), false, -1);
    EXPECT_EQ(7, manager->FindSprite(L"Hero")->GetAnimation(0)->GetFrameCount());
}

TEST_F(SpriteFiles, BinaryVersionsReadWithAndWithoutOffsets)
{
    manager->SetTextureDirectory(L"Gems");
    for (uint32_t version : {2u, 1u}) {
        SCOPED_TRACE(version);
        manager->LoadSpriteBinaryFile(WriteBinary(L"gem.bin", GemBinary(version)).c_str(), true);
        CSprite2D* gem = manager->FindSprite(L"Gem");
        ASSERT_NE(nullptr, gem);
        CAnimation2D* glow = gem->GetAnimation(0);
        ASSERT_EQ(3, glow->GetFrameCount());
        EXPECT_FLOAT_EQ(12.0f, glow->FramePerSecond);
        const CFrame2D* middle = glow->GetFrame(1);
        EXPECT_FLOAT_EQ(20.0f, middle->X2);
        EXPECT_FLOAT_EQ(15.0f, middle->CX);
        ASSERT_EQ(2u, middle->BoundingSpheres.size());
        EXPECT_FLOAT_EQ(2.0f, middle->BoundingSpheres[1].GetX());
        const bool offsets = version == 2;
        EXPECT_FLOAT_EQ(offsets ? 5.0f : 0.0f, glow->OffsetX);
        EXPECT_FLOAT_EQ(offsets ? 2.0f : 0.0f, middle->OffsetY);
    }
    EXPECT_EQ(L"Gems/gem2.bmp", SceneTest::Driver().loadedTextures.at(2));
}

TEST_F(SpriteFiles, ALaterFileReplacesASpriteWhileRunningInstancesKeepTheOld)
{
    manager->LoadSpriteFile(WriteXml(L"hero.xml", kHeroXml).c_str(), false);
    Common::TIntrusivePointer<ISpriteInstance2D> running(manager->CreateSpriteInstance(L"Hero"));
    manager->LoadSpriteFile(WriteXml(L"other.xml", L"<SpriteList>\r\n\t<Sprite Name=\"Hero\">\r\n"
                                                   L"\t\t<Animation Name=\"Only\"/>\r\n\t</Sprite>\r\n</SpriteList>\r\n").c_str(), false);
    Common::TIntrusivePointer<ISpriteInstance2D> later(manager->CreateSpriteInstance(L"Hero"));
    EXPECT_NE(nullptr, manager->FindSprite(L"Coin"));
    EXPECT_EQ(1, running->FindAnimation(L"Idle"));
    EXPECT_EQ(0, later->FindAnimation(L"Only"));
}

// Letting go of the manager through its interface drops a reference; it
// never shuts the sprites down under the other owners.
TEST_F(SpriteFiles, SmartPointersToTheManagerCountReferencesAndLeaveTheSpritesAlone)
{
    struct WatchedManager : CSpriteManager2D
    {
        bool* ended = nullptr;
        ~WatchedManager() override { *ended = true; }
    };
    bool ended = false;
    auto* watched = new WatchedManager();
    watched->ended = &ended;
    Common::TIntrusivePointer<ISpriteManager2D> owner(watched);
    watched->LoadSpriteFile(WriteXml(L"hero.xml", kHeroXml).c_str(), false);
    Common::TIntrusivePointer<ISpriteManager2D>(owner).Reset();
    EXPECT_NE(nullptr, watched->FindSprite(L"Hero"));
    owner.Reset();
    EXPECT_TRUE(ended);
}

// Every break of the format refuses the whole file: not even the sprites
// before the break are stored, and the log says which file.
TEST_F(SpriteFiles, MalformedFilesAreRefusedWhole)
{
    auto list = [](const std::wstring& more) {
        return L"<SpriteList>\r\n<Sprite Name=\"Good\">\r\n<Animation Name=\"A\"/>\r\n</Sprite>\r\n" + more +
               L"</SpriteList>\r\n";
    };
    const std::wstring xmlCases[] = {
        L"<Sprites>\r\n</Sprites>\r\n",
        list(L"<Image/>\r\n"),
        list(L"<Sprite Name=\"\"/>\r\n"),
        list(L"<Sprite Name=\"B\">\r\n<Frame/>\r\n</Sprite>\r\n"),
        list(L"<Sprite Name=\"B\">\r\n<Animation>\r\n<Sprite/>\r\n</Animation>\r\n</Sprite>\r\n"),
        list(L"<Sprite Name=\"B\">\r\n<Animation>\r\n<Frame>\r\n<Circle/>\r\n</Frame>\r\n</Animation>\r\n</Sprite>\r\n"),
    };
    for (const std::wstring& text : xmlCases) {
        SCOPED_TRACE(std::string(text.begin(), text.end()));
        RVTest::LogCapture log;
        const std::wstring path = WriteXml(L"bad.xml", text);
        manager->LoadSpriteFile(path.c_str(), false);
        EXPECT_EQ(nullptr, manager->FindSprite(L"Good"));
        EXPECT_EQ(1, log.CountContaining(path));
    }

    const std::string gem = GemBinary(2);
    const struct { const wchar_t* name; std::string bytes; } binaryCases[] = {
        {L"empty", ""},
        {L"cut inside the last frame", gem.substr(0, gem.size() - 40)},
        {L"huge sprite count", BinarySpriteWriter().U32(2).U32(0x40000000).bytes},
        {L"huge animation count", BinarySpriteWriter().U32(2).U32(1).Text(L"A").U32(0xFFFFFFFF).bytes},
        {L"huge frame count",
         BinarySpriteWriter().U32(1).U32(1).Text(L"A").U32(1).Text(L"B").F32(1).U32(100000000).bytes +
             std::string(64, '\0')},
        {L"text past the end", BinarySpriteWriter().U32(2).U32(1).U32(5000).bytes},
    };
    for (const auto& c : binaryCases) {
        SCOPED_TRACE(c.name);
        RVTest::LogCapture log;
        const std::wstring path = WriteBinary(L"bad.bin", c.bytes);
        manager->LoadSpriteBinaryFile(path.c_str(), false);
        EXPECT_EQ(nullptr, manager->FindSprite(L"Gem"));
        EXPECT_EQ(nullptr, manager->FindSprite(L"A"));
        EXPECT_EQ(1, log.CountContaining(path));
    }
    RVTest::LogCapture log;
    manager->LoadSpriteBinaryFile(folder.Child(L"missing.bin").c_str(), false);
    EXPECT_EQ(1, log.CountContaining(L"refused"));
}

// Mutated valid files, in bounded time: the loaders may refuse them but must
// neither crash nor allocate beyond what the file could describe, and a file
// is either stored whole or not at all.
TEST_F(SpriteFiles, MutatedFilesNeverCrashOrHalfLoad)
{
    std::mt19937 random(20261207);
    const std::string binary = GemBinary(2);
    const std::string xml = VideoTest::UnicodeFileBytes(kHeroXml);
    const std::wstring binaryPath = folder.Child(L"fuzz.bin"), xmlPath = folder.Child(L"fuzz.xml");
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(8);
    int runs = 0;
    RVTest::LogCapture quiet;
    for (; runs < 1500 && std::chrono::steady_clock::now() < deadline; ++runs) {
        const bool useXml = runs % 3 == 0;
        std::string bytes = useXml ? xml : binary;
        const int mutations = 1 + static_cast<int>(random() % 4);
        for (int m = 0; m < mutations; ++m) {
            const size_t at = random() % bytes.size();
            switch (random() % 4) {
            case 0: bytes[at] = static_cast<char>(random()); break;
            case 1: bytes[at] = '\xFF'; break;
            case 2: bytes.resize(at); break;
            default: bytes.insert(at, 1, static_cast<char>(random())); break;
            }
            if (bytes.empty())
                bytes = "x";
        }
        manager = &SceneTest::FreshManagers();
        const std::wstring& path = useXml ? xmlPath : binaryPath;
        ASSERT_TRUE(RVTest::WriteWholeFile(path, bytes));
        if (useXml)
            manager->LoadSpriteFile(path.c_str(), false);
        else
            manager->LoadSpriteBinaryFile(path.c_str(), false);
        // Whatever was stored is whole and plays without trouble.
        Common::TIntrusivePointer<ISpriteInstance2D> instance(manager->CreateSpriteInstance(useXml ? L"Hero" : L"Gem"));
        instance->Update(1000);
        instance->IsFinished();
        if (CSprite2D* sprite = manager->FindSprite(useXml ? L"Hero" : L"Gem")) {
            for (const auto& animation : sprite->Animations) {
                for (const auto& frame : animation->Frames)
                    ASSERT_FALSE(frame->Texture.IsNull());
            }
        }
    }
    EXPECT_GT(runs, 100);
}

} // namespace
