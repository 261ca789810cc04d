#include "engine/common/base/TIntrusivePointer.h"
#include "engine/math/tagMatrix4x4.h"
#include "engine/video/ITexture.h"
#include "engine/video/ITextureManager.h"
#include "engine/video/imaging/ImageMatrices.h"
#include "tests/engine/video/VideoTestEnvironment.h"
#include "tests/support/LogCapture.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

using namespace RVGameEngine;
using Common::TIntrusivePointer;
using Video::tagColor;
using VideoTest::Driver;

namespace {

constexpr uint32_t kBlack = 0xFF000000u, kRed = 0xFFFF0000u, kGreen = 0xFF00FF00u, kBlue = 0xFF0000FFu,
                   kWhite = 0xFFFFFFFFu;

// Row vector times matrix, then the perspective divide.
void Project(const Math::tagMatrix4x4& m, float x, float y, float z, float out[3])
{
    float r[4];
    for (int c = 0; c < 4; ++c)
        r[c] = x * m(0, c) + y * m(1, c) + z * m(2, c) + m(3, c);
    for (int c = 0; c < 3; ++c)
        out[c] = r[c] / r[3];
}

TEST(ImageMatrices, TheTwoDimensionalCameraMapsPixelsToClipSpace)
{
    Math::tagMatrix4x4 projection, view, both;
    Video::Imaging::MatrixOrthoLH(&projection, 200.0f, 100.0f, 0.1f, 100.0f);
    Video::Imaging::MatrixLookAtLH(&view, Math::tagVector3(100, 50, 1), Math::tagVector3(100, 50, 0),
                                   Math::tagVector3(0, -1, 0));
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            float sum = 0;
            for (int k = 0; k < 4; ++k)
                sum += view(r, k) * projection(k, c);
            both(r, c) = sum;
        }
    const struct { float x, y, clipX, clipY; } corners[] = {
        {0, 0, -1, 1}, {200, 0, 1, 1}, {0, 100, -1, -1}, {100, 50, 0, 0}};
    for (const auto& corner : corners) {
        float clip[3];
        Project(both, corner.x, corner.y, 0.0f, clip);
        EXPECT_NEAR(corner.clipX, clip[0], 1e-5f) << corner.x << "," << corner.y;
        EXPECT_NEAR(corner.clipY, clip[1], 1e-5f) << corner.x << "," << corner.y;
        EXPECT_GT(clip[2], 0.0f);
        EXPECT_LT(clip[2], 1.0f);
    }
}

TEST(VideoDriver, FillsClearsAndClipsPixelExactly)
{
    VideoTest::DrawFrame(kBlue, [] {
        Driver()->FillRect(10, 10, 20, 10, tagColor(kRed));
        Driver()->Clear(false, false, tagColor(kGreen));  // no flags: nothing
        Driver()->SetClipRect(true, 40, 40, 10, 10);
        Driver()->FillRect(0, 0, 128, 96, tagColor(kWhite));
        const uint32_t before = Driver()->GetDrawCallCount();
        Driver()->FillRect(60, 60, 5, 5, tagColor(kRed));  // wholly outside the clip
        EXPECT_EQ(before, Driver()->GetDrawCallCount());
        Driver()->SetClipRect(false, 0, 0, 0, 0);
        Driver()->FillRect(100, 80, 1000, 1000, tagColor(kGreen));  // no clip: reaches the edge
    });
    const VideoTest::BackBuffer pixels = VideoTest::ReadBackBuffer();
    const struct { int x, y; uint32_t color; } expected[] = {
        {10, 10, kRed}, {29, 19, kRed}, {30, 10, kBlue}, {9, 10, kBlue}, {10, 20, kBlue},
        {40, 40, kWhite}, {49, 49, kWhite}, {50, 45, kBlue}, {45, 39, kBlue}, {60, 60, kBlue},
        {127, 95, kGreen}, {100, 80, kGreen}, {99, 80, kBlue}};
    for (const auto& e : expected)
        EXPECT_EQ(e.color, pixels.At(e.x, e.y)) << e.x << "," << e.y;
}

TEST(VideoDriver, DrawsLinesAndRestrictsDrawingToAClampedViewport)
{
    VideoTest::DrawFrame(kBlack, [] {
        Driver()->DrawLine(2, 5, 60, 5, tagColor(kGreen));
        Driver()->SetViewport(true, -10, -10, 100, 100);
        Driver()->FillRect(80, 80, 20, 20, tagColor(kRed));
    });
    D3DVIEWPORT8 viewport{};
    VideoTest::Direct3DDevice()->GetViewport(&viewport);
    EXPECT_EQ((std::vector<DWORD>{0, 0, 90, 90}),
              (std::vector<DWORD>{viewport.X, viewport.Y, viewport.Width, viewport.Height}));
    Driver()->SetViewport(false, 0, 0, 0, 0);

    const VideoTest::BackBuffer pixels = VideoTest::ReadBackBuffer();
    int lineRows = 0;
    for (int y = 0; y < 12; ++y)
        lineRows += pixels.At(30, y) == kGreen;
    EXPECT_EQ(1, lineRows);
    EXPECT_EQ(kGreen, pixels.At(30, 5));
    // The viewport keeps back-buffer coordinates and cuts at its edge.
    EXPECT_EQ(kRed, pixels.At(80, 80));
    EXPECT_EQ(kRed, pixels.At(89, 89));
    EXPECT_EQ(kBlack, pixels.At(90, 85));
    EXPECT_EQ(kBlack, pixels.At(85, 90));
}

TEST(VideoDriver, DrawsTexturedQuadsWithClippedTextureCoordinates)
{
    TIntrusivePointer<Video::ITexture> texture(Video::ITextureManager_GetInstance()->CreateTexture(4, 4));
    ASSERT_FALSE(texture.IsNull());
    uint32_t texels[16];
    for (int i = 0; i < 16; ++i)
        texels[i] = 0xFF000000u | (i * 16) << 16 | (255 - i * 16);
    texture->WritePixels(0, 0, 4, 4, texels);

    VideoTest::DrawFrame(kBlack, [&] {
        Driver()->DrawTexture(texture.Get(), 10, 10, 4, 4);
        Driver()->DrawTexture(texture.Get(), 20, 10, 16, 16);
        // Cut at x = 42: only the first two texel columns show.
        Driver()->SetClipRect(true, 0, 0, 42, 96);
        Driver()->DrawTexture(texture.Get(), 40, 10, 4, 4, tagColor(kWhite));
        const uint32_t before = Driver()->GetDrawCallCount();
        Driver()->DrawTexture(texture.Get(), 50, 10, 4, 4);
        EXPECT_EQ(before, Driver()->GetDrawCallCount());
        Driver()->SetClipRect(false, 0, 0, 0, 0);
        Driver()->DrawTextureQuad(texture.Get(), 60, 10, 64, 10, 60, 14, 64, 14);
        Driver()->DrawTexture(nullptr, 0, 0, 10, 10);
    });
    const VideoTest::BackBuffer pixels = VideoTest::ReadBackBuffer();
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(texels[y * 4 + x], pixels.At(10 + x, 10 + y)) << x << "," << y;
            EXPECT_EQ(texels[y * 4 + x], pixels.At(60 + x, 10 + y)) << x << "," << y;
            // Four times larger: pixel 4k + 1 lies well inside texel k.
            EXPECT_EQ(texels[y * 4 + x], pixels.At(20 + 4 * x + 1, 10 + 4 * y + 1)) << x << "," << y;
            EXPECT_EQ(x < 2 ? texels[y * 4 + x] : kBlack, pixels.At(40 + x, 10 + y)) << x << "," << y;
        }
    EXPECT_EQ(kBlack, pixels.At(0, 0));
}

TEST(VideoDriver, KeepsTransformsAndFilterModesAndIgnoresUnknownKinds)
{
    Math::tagMatrix4x4 scaled;
    scaled(0, 0) = 3.0f;
    Driver()->SetTransform(Video::TRANSFORM_VIEW, &scaled);
    Math::tagMatrix4x4 read(9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9);
    Driver()->GetTransform(3, &read);
    EXPECT_EQ(9.0f, read(0, 0)) << "an unknown kind leaves the output alone";
    {
        RVTest::LogCapture log;
        Driver()->SetTransform(5, &scaled);
        EXPECT_EQ(1, log.CountContaining(L"unknown transform kind 5"));
    }
    Driver()->GetTransform(Video::TRANSFORM_VIEW, &read);
    EXPECT_EQ(3.0f, read(0, 0));

    auto filters = [] {
        DWORD min = 0, mag = 0, mip = 0;
        VideoTest::Direct3DDevice()->GetTextureStageState(0, D3DTSS_MINFILTER, &min);
        VideoTest::Direct3DDevice()->GetTextureStageState(0, D3DTSS_MAGFILTER, &mag);
        VideoTest::Direct3DDevice()->GetTextureStageState(0, D3DTSS_MIPFILTER, &mip);
        return std::vector<DWORD>{min, mag, mip};
    };
    for (int mode : {2, 4, 3}) {
        Driver()->SetTextureFilter(mode);
        EXPECT_EQ((std::vector<DWORD>{D3DTEXF_LINEAR, D3DTEXF_LINEAR, mode == 3 ? D3DTEXF_LINEAR : D3DTEXF_NONE}),
                  filters()) << mode;
    }

    Driver()->ResetStates();
    Driver()->GetTransform(Video::TRANSFORM_VIEW, &read);
    EXPECT_EQ(1.0f, read(0, 0));
    EXPECT_EQ((std::vector<DWORD>{D3DTEXF_POINT, D3DTEXF_POINT, D3DTEXF_NONE}), filters());
}

TEST(VideoDriver, ScreenshotIsABottomUpTwentyFourBitBmp)
{
    VideoTest::DrawFrame(kBlue, [] { Driver()->FillRect(0, 0, 2, 1, tagColor(kRed)); });
    RVTest::TempFolder folder;
    const std::wstring path = folder.Child(L"shot.bmp");
    Driver()->SaveScreenshot(path.c_str());
    const std::string bmp = RVTest::ReadWholeFile(path);
    auto u32 = [&](size_t at) {
        return uint32_t(uint8_t(bmp[at])) | uint32_t(uint8_t(bmp[at + 1])) << 8 |
               uint32_t(uint8_t(bmp[at + 2])) << 16 | uint32_t(uint8_t(bmp[at + 3])) << 24;
    };
    const size_t rowBytes = VideoTest::kWidth * 3;
    ASSERT_EQ(54 + rowBytes * VideoTest::kHeight, bmp.size());
    EXPECT_EQ("BM", bmp.substr(0, 2));
    EXPECT_EQ(bmp.size(), u32(2));
    EXPECT_EQ(54u, u32(10));
    EXPECT_EQ(40u, u32(14));
    EXPECT_EQ(uint32_t(VideoTest::kWidth), u32(18));
    EXPECT_EQ(uint32_t(VideoTest::kHeight), u32(22));
    EXPECT_EQ(1u | 24u << 16, u32(26)) << "one plane, 24 bits";
    // The top row is stored last; pixels are blue, green, red.
    const size_t topRow = 54 + rowBytes * (VideoTest::kHeight - 1);
    EXPECT_EQ(std::string("\x00\x00\xFF\x00\x00\xFF\xFF\x00\x00", 9), bmp.substr(topRow, 9));
    EXPECT_EQ(std::string("\xFF\x00\x00", 3), bmp.substr(54, 3));
}

} // namespace
