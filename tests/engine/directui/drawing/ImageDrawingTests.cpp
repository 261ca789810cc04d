#include "tests/engine/directui/drawing/BitmapDriver.h"
#include "tests/engine/directui/uisystem/UITestSupport.h"

#include "engine/directui/drawing/CImageDataCache.h"
#include "engine/directui/drawing/CUIImage.h"
#include "tests/support/LogCapture.h"

using namespace UITest;

namespace {
const auto* const g_gdiplus = ::testing::AddGlobalTestEnvironment(new GdiplusEnvironment);

constexpr Gdiplus::ARGB kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kWhite = 0xFFFFFFFF,
                        kBlack = 0xFF000000, kYellow = 0xFFFFFF00;

// Quarters: red top-left, green top-right, blue bottom-left, white bottom-right.
uint32_t Quarters(int x, int y, int size)
{
    const bool right = x >= size / 2, bottom = y >= size / 2;
    return bottom ? (right ? kWhite : kBlue) : (right ? kGreen : kRed);
}

struct Pictures : ::testing::Test
{
    RVTest::TempFolder folder;
    RVTest::ScopedCurrentFolder current{folder.Path()};
    TIntrusivePointer<BitmapDriver> driver{new BitmapDriver(64, 64)};

    void SetUp() override
    {
        ASSERT_TRUE(WriteBmp(folder.Child(L"quarters.bmp"), 8, 8, [](int x, int y) { return Quarters(x, y, 8); }));
        ASSERT_TRUE(WriteBmp(folder.Child(L"white.bmp"), 4, 4, [](int, int) { return kWhite; }));
    }
    TIntrusivePointer<IUIImage> Load(const wchar_t* name)
    {
        TIntrusivePointer<IUIImage> image(IImage_Create(driver.Get()));
        EXPECT_TRUE(image->Load(name));
        return image;
    }
};

} // namespace

TEST_F(Pictures, ImagesOfOneNameShareTheirDataUntilTheLastGoes)
{
    CImageDataCache* cache = CImageDataCache::GetInstance();
    const size_t before = cache->GetCount();
    TIntrusivePointer<IUIImage> first = Load(L"quarters.bmp"), second = Load(L"quarters.bmp");
    EXPECT_EQ(cache->GetCount(), before + 1);
    EXPECT_EQ(static_cast<CUIImage*>(first.Get())->GetImageData(), static_cast<CUIImage*>(second.Get())->GetImageData());
    EXPECT_EQ(second->GetImageWidth(), 8);
    first.Reset();
    second.Reset();
    EXPECT_EQ(cache->GetCount(), before);
    // Loaded again after the file changed, the picture is decoded again.
    ASSERT_TRUE(WriteBmp(folder.Child(L"quarters.bmp"), 6, 2, [](int, int) { return kRed; }));
    TIntrusivePointer<IUIImage> again = Load(L"quarters.bmp");
    EXPECT_EQ(again->GetImageWidth(), 6);
    EXPECT_EQ(again->GetImageHeight(), 2);

    // A name that is no file still loads; it has no size and draws nothing.
    TIntrusivePointer<IUIImage> missing = Load(L"missing.bmp");
    EXPECT_EQ(missing->GetImageWidth(), 0);
    missing->DrawStretched(0, 0, 64, 64, kOpaqueWhite);
    EXPECT_EQ(driver->At(32, 32), kBlack);
    // Without a driver nothing loads.
    TIntrusivePointer<IUIImage> loose(IImage_Create(nullptr));
    EXPECT_FALSE(loose->Load(L"white.bmp"));
}

TEST_F(Pictures, AFileThatDoesNotDecodeIsReportedOnceAndALoadAgainTakesTheNewFile)
{
    ASSERT_TRUE(RVTest::WriteWholeFile(folder.Child(L"garbage.png"), "\x89PNG but not really an image"));
    RVTest::LogCapture log;
    TIntrusivePointer<IUIImage> image = Load(L"garbage.png");
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(image->GetImageWidth(), 0);
        image->DrawStretched(0, 0, 64, 64, kOpaqueWhite);
    }
    EXPECT_EQ(driver->At(32, 32), kBlack);
    EXPECT_EQ(log.CountContaining(L"UI image garbage.png could not be decoded"), 1);
    // Loaded again from other files, the image reports each one's size.
    for (auto file : {std::make_pair(L"quarters.bmp", 8), std::make_pair(L"white.bmp", 4)}) {
        ASSERT_TRUE(image->Load(file.first));
        EXPECT_EQ(image->GetImageWidth(), file.second);
    }
}

TEST_F(Pictures, PartsAndSourceRectanglesPickTheRightPixels)
{
    TIntrusivePointer<IUIImage> quarters = Load(L"quarters.bmp");
    quarters->Draw(0, 0, kOpaqueWhite);
    quarters->DrawPart(20, 0, 4, 4, 4, 0, 4, 4, kOpaqueWhite);
    quarters->SetSubRect(true, 4, 4, 4, 4);
    quarters->Draw(30, 0, kOpaqueWhite);
    quarters->DrawPart(40, 0, 2, 2, 0, 0, 2, 2, kOpaqueWhite);
    quarters->DrawCropped(50, 0, 2, 2, kOpaqueWhite);
    const std::vector<Gdiplus::ARGB> seen = {driver->At(1, 1),  driver->At(6, 1),  driver->At(1, 6),
                                             driver->At(6, 6),  driver->At(22, 2), driver->At(32, 2),
                                             driver->At(41, 1), driver->At(51, 1), driver->At(35, 2)};
    EXPECT_EQ(seen, (std::vector<Gdiplus::ARGB>{kRed, kGreen, kBlue, kWhite, kGreen, kWhite, kWhite, kWhite, kBlack}));
}

TEST_F(Pictures, ColoursTintEachChannelAndOpaqueWhiteLeavesThePictureAlone)
{
    TIntrusivePointer<IUIImage> white = Load(L"white.bmp");
    const struct
    {
        tagColor tint;
        Gdiplus::ARGB expected;
    } cases[] = {{tagColor(255, 255, 255, 255), kWhite},
                 {tagColor(255, 0, 0, 255), kRed},
                 {tagColor(0, 255, 255, 255), 0xFF00FFFF},
                 {tagColor(255, 255, 255, 0), kBlack},
                 {tagColor(0, 0, 255, 128), 0xFF000080}};
    int x = 0;
    for (const auto& c : cases) {
        white->Draw(x, 0, c.tint);
        const Gdiplus::ARGB seen = driver->At(x + 1, 1);
        // Half alpha blends to within one step of the half value.
        for (int shift = 0; shift < 32; shift += 8) {
            const int a = static_cast<int>((seen >> shift) & 0xFF), b = static_cast<int>((c.expected >> shift) & 0xFF);
            EXPECT_LE(std::abs(a - b), 1) << x << " " << std::hex << seen;
        }
        x += 8;
    }
}

TEST(DriverDrawing, FillsAreOpaqueClipsLimitAndNoGraphicsDrawsNothing)
{
    TIntrusivePointer<BitmapDriver> driver(new BitmapDriver(40, 40));
    driver->FillRect(0, 0, 10, 10, tagColor(255, 0, 0, 10));
    EXPECT_EQ(driver->At(5, 5), kRed);
    driver->DrawRect(20, 0, 10, 10, tagColor(0, 255, 0, 0));
    EXPECT_EQ(driver->At(20, 5), kGreen);
    EXPECT_EQ(driver->At(25, 5), kBlack);
    driver->SetClipRect(true, 0, 20, 5, 5);
    driver->FillRect(0, 20, 20, 20, tagColor(0, 0, 255));
    EXPECT_EQ(driver->At(2, 22), kBlue);
    EXPECT_EQ(driver->At(10, 22), kBlack);
    driver->SetClipRect(false, 0, 0, 0, 0);
    driver->FillRect(0, 20, 20, 20, tagColor(255, 255, 0));
    EXPECT_EQ(driver->At(10, 22), kYellow);

    driver->Detach();
    driver->FillRect(0, 0, 40, 40, kOpaqueWhite);
    int32_t width = -1, height = -1;
    driver->MeasureText(0, L"text", &width, &height);
    driver->DrawText(0, L"text", kOpaqueWhite, 0, 0, 40, 40, 0);
    driver->SetClipRect(true, 0, 0, 1, 1);
    EXPECT_EQ(width, 0);
    EXPECT_EQ(height, 0);
    EXPECT_EQ(driver->At(30, 30), kBlack);
}
