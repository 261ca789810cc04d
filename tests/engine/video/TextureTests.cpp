#include "engine/common/base/TIntrusivePointer.h"
#include "engine/video/CTexture.h"
#include "engine/video/ITextureManager.h"
#include "tests/engine/video/TestImageFiles.h"
#include "tests/engine/video/VideoTestEnvironment.h"
#include "tests/support/LogCapture.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <vector>

using namespace RVGameEngine;
using Common::TIntrusivePointer;
using Video::ITexture;
using VideoTest::Driver;

namespace {

constexpr uint32_t kBlack = 0xFF000000u, kRed = 0xFFFF0000u, kGreen = 0xFF00FF00u;

ITexture* Cached(const std::wstring& name, uint32_t filter = 0)
{
    return VideoTest::CachedTexture(name, filter);
}

TEST(Textures, LoadLazilyThroughTheFileSystemWithTheirSizesAndTextureCoordinates)
{
    RVTest::TempFolder folder;
    const std::wstring path = folder.Child(L"Wide.bmp");
    VideoTest::WriteBmp(path, 100, 60, [](int x, int) { return x < 50 ? kRed : kGreen; });

    ITexture* texture = Cached(path, 3);
    EXPECT_EQ(texture, Cached(path, 0));
    EXPECT_EQ(3u, texture->GetFilter()) << "the first filter stays";
    EXPECT_NE(texture, Cached(folder.Child(L"WIDE.bmp"))) << "names are compared with letter case";
    EXPECT_FALSE(texture->IsLoaded());

    EXPECT_EQ(100u, texture->GetWidth());
    EXPECT_TRUE(texture->IsLoaded());
    EXPECT_EQ(60u, texture->GetHeight());
    EXPECT_EQ(128u, texture->GetTextureWidth());
    EXPECT_EQ(64u, texture->GetTextureHeight());

    // Where the device rounds textures up, the image fills only part of it.
    const bool anySize = VideoTest::Device().nonPow2Textures;
    const struct { bool anySize; float d, e; } cases[] = {{false, 128, 64}, {true, 100, 60}};
    for (const auto& c : cases) {
        VideoTest::Device().nonPow2Textures = c.anySize;
        float uLeft, uRight, vTop, vBottom;
        Driver()->ComputeTexCoords(texture, 0, 0, 100, 60, uLeft, uRight, vTop, vBottom);
        EXPECT_FLOAT_EQ(0.5f / c.d, uLeft);
        EXPECT_FLOAT_EQ(100.5f / c.d, uRight);
        EXPECT_FLOAT_EQ(0.5f / c.e, vTop);
        EXPECT_FLOAT_EQ(60.5f / c.e, vBottom);
    }
    VideoTest::Device().nonPow2Textures = anySize;

    VideoTest::DrawFrame(kBlack, [&] { Driver()->DrawTexture(texture, 0, 0, 100, 60); });
    const VideoTest::BackBuffer pixels = VideoTest::ReadBackBuffer();
    const struct { int x, y; uint32_t color; } expected[] = {
        {0, 0, kRed}, {49, 59, kRed}, {50, 30, kGreen}, {99, 59, kGreen}, {100, 30, kBlack}, {50, 60, kBlack}};
    for (const auto& e : expected)
        EXPECT_EQ(e.color, pixels.At(e.x, e.y)) << e.x << "," << e.y;

    texture->Unload();
    EXPECT_FALSE(texture->IsLoaded());
    EXPECT_EQ(nullptr, texture->GetDirect3DTexture());
    EXPECT_EQ(100u, texture->GetWidth()) << "the next use loads it again";
}

TEST(Textures, MissingOrUndecodableFilesLeaveTheTextureUnloaded)
{
    RVTest::TempFolder folder;
    const std::wstring garbage = folder.Child(L"garbage.png");
    ASSERT_TRUE(RVTest::WriteWholeFile(garbage, "\x89PNG but not really an image"));
    // Wider than any texture, or more pixels than the limit: refused before a
    // pixel buffer is sized for them.
    const std::wstring tooWide = folder.Child(L"too_wide.bmp");
    VideoTest::WriteBmp(tooWide, 16385, 1, [](int, int) { return kRed; });
    const std::wstring tooMany = folder.Child(L"too_many.bmp");
    ASSERT_TRUE(RVTest::WriteWholeFile(tooMany, VideoTest::MonochromeBmpBytes(8192, 2049)));
    const struct { std::wstring name; int reported; const wchar_t* refusal; } cases[] = {
        {garbage, 1, nullptr},
        {tooWide, 1, L"16385 x 1 pixels refused: too large"},
        {tooMany, 1, L"8192 x 2049 pixels refused: too large"},
        {folder.Child(L"missing.png"), 0, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name.begin(), c.name.end()));
        RVTest::LogCapture log;
        ITexture* texture = Cached(c.name);
        EXPECT_EQ(0u, texture->GetWidth());
        EXPECT_EQ(0u, texture->GetTextureHeight());
        EXPECT_FALSE(texture->IsLoaded());
        EXPECT_EQ(nullptr, texture->GetDirect3DTexture());
        const uint32_t before = Driver()->GetDrawCallCount();
        Driver()->DrawTexture(texture, 0, 0, 10, 10);
        Driver()->DrawTexture(texture, 0, 0, 10, 10);
        EXPECT_EQ(before, Driver()->GetDrawCallCount()) << "nothing to draw";
        // An image that does not decode is read, decoded and reported once.
        EXPECT_EQ(c.reported, log.CountContaining(L"is not a readable image"));
        if (c.refusal != nullptr) {
            EXPECT_EQ(1, log.CountContaining(c.refusal));
        }
    }
}

// Runs in a fresh copy of the executable, its exit code naming the first
// check that failed. While every free stretch of the address space of 16 MiB
// or more is held, the 64 MiB of pixels cannot be had; small blocks still can.
UINT LoadWithoutRoomForThePixels(const std::wstring& path)
{
    RVTest::LogCapture log;
    ITexture* texture = Cached(path);
    std::vector<void*> held;
    held.reserve(256);  // 4 GiB at most, in 16 MiB stretches
    while (held.size() < 256) {
        void* stretch = VirtualAlloc(nullptr, 16u << 20, MEM_RESERVE, PAGE_NOACCESS);
        if (stretch == nullptr)
            break;
        held.push_back(stretch);
    }
    const uint32_t width = texture->GetWidth();
    for (void* stretch : held)
        VirtualFree(stretch, 0, MEM_RELEASE);
    if (width != 0 || texture->IsLoaded())
        return 1;
    if (log.CountContaining(L"4096 x 4096 pixels refused: out of memory") != 1)
        return 2;
    // Running short of memory is not a broken file: with memory back, it loads.
    return texture->GetWidth() == 4096 ? 0 : 3;
}

TEST(Textures, PixelsThatDoNotFitInMemoryLeaveTheTextureUnloadedInsteadOfStopping)
{
    RVTest::TempFolder folder;
    const std::wstring path = folder.Child(L"big.bmp");
    ASSERT_TRUE(RVTest::WriteWholeFile(path, VideoTest::MonochromeBmpBytes(4096, 4096)));
    EXPECT_EXIT(ExitProcess(LoadWithoutRoomForThePixels(path)), ::testing::ExitedWithCode(0), "");
}

TEST(Textures, PixelReadsAndWritesStayInsideTheTexture)
{
    TIntrusivePointer<ITexture> texture(Video::ITextureManager_GetInstance()->CreateTexture(4, 4));
    ASSERT_FALSE(texture.IsNull());
    uint32_t all[16];
    for (uint32_t i = 0; i < 16; ++i)
        all[i] = 0xFF000000u + i;
    texture->WritePixels(0, 0, 4, 4, all);

    uint32_t inner[4] = {};
    texture->ReadPixels(1, 1, 2, 2, inner);
    EXPECT_EQ((std::vector<uint32_t>{all[5], all[6], all[9], all[10]}), std::vector<uint32_t>(inner, inner + 4));

    // Rectangles reaching outside touch only the part that lies inside.
    uint32_t corner[4] = {7, 7, 7, 7};
    texture->ReadPixels(-1, -1, 2, 2, corner);
    EXPECT_EQ((std::vector<uint32_t>{7, 7, 7, all[0]}), std::vector<uint32_t>(corner, corner + 4));
    const uint32_t written[4] = {0xFFAA0000u, 1, 2, 3};
    texture->WritePixels(3, 3, 2, 2, written);
    uint32_t after[16] = {};
    texture->ReadPixels(0, 0, 4, 4, after);
    for (int i = 0; i < 15; ++i)
        EXPECT_EQ(all[i], after[i]) << i;
    EXPECT_EQ(0xFFAA0000u, after[15]);

    uint32_t untouched[1] = {5};
    texture->ReadPixels(4, 0, 1, 1, untouched);
    texture->ReadPixels(0, 0, 0, 3, untouched);
    texture->ReadPixels(0, 0, 1, 1, nullptr);
    EXPECT_EQ(5u, untouched[0]);
}

} // namespace
