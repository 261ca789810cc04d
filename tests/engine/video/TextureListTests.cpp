#include "engine/video/ITextureList.h"
#include "tests/engine/video/VideoTestEnvironment.h"
#include "tests/support/MessageBoxRecorder.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

using namespace RVGameEngine;
using Video::ITextureList;
using VideoTest::Driver;

namespace {

constexpr uint32_t kBlack = 0xFF000000u, kRed = 0xFFFF0000u, kGreen = 0xFF00FF00u, kBlue = 0xFF0000FFu;

int CountBoxes(const std::wstring& text)
{
    int count = 0;
    for (const auto& box : RVTest::MessageBoxRecorder::Taken())
        count += box.text == text;
    return count;
}

// The list singleton lives for the whole program, so its files do too.
class TextureListTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_folder = new RVTest::TempFolder();
        VideoTest::WriteBmp(s_folder->Child(L"atlas.bmp"), 8, 4, [](int x, int) { return x < 4 ? kRed : kGreen; });
        VideoTest::WriteBmp(s_folder->Child(L"solid.bmp"), 2, 2, [](int, int) { return kBlue; });
        const std::wstring atlas = s_folder->Child(L"atlas.bmp");
        VideoTest::WriteUnicodeFile(s_folder->Child(L"atlas.xml"),
            L"<ImageList Version=\"1\">\r\n"
            L"\t<Image Name=\"Red\" Filename=\"" + atlas + L"\" X=\"0\" Y=\"0\" W=\"4\" H=\"4\"/>\r\n"
            L"\t<Image Name=\"Green\" Filename=\"" + atlas + L"\" X=\"4\" W=\"4\" H=\"4\"/>\r\n"
            L"\t<Picture Name=\"Both\" Filename=\"" + atlas + L"\"/>\r\n"
            L"\t<Image Name=\"Nothing\"/>\r\n"
            L"</ImageList>\r\n");
        const std::wstring solid = s_folder->Child(L"solid.bmp");
        VideoTest::WriteUnicodeFile(s_folder->Child(L"solid.xml"),
            L"<ImageList>\r\n\t<Image/>\r\n\t<Image Filename=\"" + solid + L"\"/>\r\n\t<Image Filename=\"" + solid + L"\"/>\r\n"
            L"</ImageList>\r\n");
        RVTest::MessageBoxRecorder::Clear();
        List()->LoadImageList(s_folder->Child(L"atlas.xml").c_str());
        List()->LoadImageList(s_folder->Child(L"solid.xml").c_str());
        // The list took its textures from the cache by their files: named to
        // the environment, which unloads them before the device goes.
        VideoTest::CachedTexture(atlas);
        VideoTest::CachedTexture(solid);
    }

    static ITextureList* List() { return Video::ITextureList_GetInstance(); }
    static std::wstring Solid() { return s_folder->Child(L"solid.bmp"); }

    static RVTest::TempFolder* s_folder;
};

RVTest::TempFolder* TextureListTest::s_folder = nullptr;

TEST_F(TextureListTest, FindsImagesByNameAndWarnsAboutDuplicatesAndMissingOnes)
{
    EXPECT_EQ(1, CountBoxes(L"Image " + Solid() + L" duplicated!"));
    EXPECT_TRUE(List()->HasImage(L"Red"));
    EXPECT_TRUE(List()->IsImageListLoaded(L"Both"));
    EXPECT_FALSE(List()->HasImage(L"red")) << "exact letter case";
    const int red = List()->FindImage(L"red");
    ASSERT_GE(red, 0);
    EXPECT_EQ(red, List()->FindImage(L"RED"));
    // Named by its file, and not hidden by the entry with neither name nor file before it.
    EXPECT_EQ(List()->FindImage(Solid().c_str()), List()->FindImage(L"Red") + 5);

    RVTest::MessageBoxRecorder::Clear();
    EXPECT_EQ(-1, List()->FindImageQuiet(L"Absent"));
    EXPECT_EQ(0u, RVTest::MessageBoxRecorder::Taken().size());
    EXPECT_EQ(-1, List()->FindImage(L"Absent"));
    EXPECT_EQ(1, CountBoxes(L"Image Absent not found!"));
    List()->LoadImageList(L"no/such/list.xml");
    EXPECT_EQ(1, CountBoxes(L"ImageList no/such/list.xml not found!"));

    // Every named image is already there: a second load adds nothing.
    const int nothing = List()->FindImageQuiet(L"Nothing");
    List()->LoadImageList(s_folder->Child(L"atlas.xml").c_str());
    const int solid = List()->FindImageQuiet(Solid().c_str());
    EXPECT_EQ(nothing + 2, solid);

    int w = -1, h = -1;
    List()->GetImageSize(List()->FindImage(L"Both"), w, h);
    EXPECT_EQ(8, w) << "taken from the texture";
    EXPECT_EQ(4, h);
    List()->GetImageSize(nothing, w, h);
    EXPECT_EQ(0, w);
    List()->GetImageSize(-1, w, h);  // out of range: left alone
    EXPECT_EQ(0, w);
}

TEST_F(TextureListTest, DrawsImagesOfOneTextureInOneCall)
{
    const int red = List()->FindImage(L"Red"), green = List()->FindImage(L"Green");
    const int both = List()->FindImage(L"Both"), solid = List()->FindImage(Solid().c_str());
    uint32_t batchedCalls = 0, alternatingCalls = 0, clippedCalls = 0;
    VideoTest::DrawFrame(kBlack, [&] {
        List()->DrawImage(red, 0, 0);
        List()->DrawImage(green, 4, 0);
        List()->DrawImage(both, 0, 10);
        List()->DrawImageMirrored(both, 20, 0, 8, 4);
        List()->Flush();
        batchedCalls = Driver()->GetDrawCallCount();
        List()->DrawImage(red, 40, 0);
        List()->DrawImage(solid, 50, 0, 4, 4);
        List()->DrawImage(red, 60, 0);
        List()->Flush();
        alternatingCalls = Driver()->GetDrawCallCount() - batchedCalls;
        Driver()->SetClipRect(true, 100, 100, 5, 5);
        List()->DrawImage(red, 0, 20);
        List()->Flush();
        Driver()->SetClipRect(false, 0, 0, 0, 0);
        clippedCalls = Driver()->GetDrawCallCount() - batchedCalls - alternatingCalls;
        List()->DrawImage(List()->FindImageQuiet(L"Nothing"), 70, 0);
        List()->DrawImage(-1, 70, 0);
        List()->Flush();
    });
    EXPECT_EQ(1u, batchedCalls);
    EXPECT_EQ(3u, alternatingCalls);
    EXPECT_EQ(0u, clippedCalls);

    const VideoTest::BackBuffer pixels = VideoTest::ReadBackBuffer();
    const struct { int x, y; uint32_t color; } expected[] = {
        {0, 0, kRed}, {3, 3, kRed}, {4, 0, kGreen}, {7, 3, kGreen}, {8, 0, kBlack},
        {1, 11, kRed}, {6, 11, kGreen},
        {22, 1, kGreen}, {26, 1, kRed},  // mirrored: from x 28 back to 20
        {41, 1, kRed}, {51, 1, kBlue}, {52, 2, kBlue}, {61, 1, kRed}, {1, 21, kBlack}, {70, 0, kBlack}};
    for (const auto& e : expected)
        EXPECT_EQ(e.color, pixels.At(e.x, e.y)) << e.x << "," << e.y;
}

} // namespace
