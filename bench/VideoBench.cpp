// On Wine's Direct3D 8 (run it with a display): textured 2D quads per second
// drawn through the texture list's batching beside the same quads drawn one
// draw call each through the video driver, and texture loads per second from
// a mounted archive beside the same image files on disk. Prints both rates
// and their ratios.
//
//   rv_bench_video [work folder]     (default: a new folder under %TEMP%)

#include "bench/BenchClock.h"
#include "engine/common/base/IStream.h"
#include "engine/common/base/TIntrusivePointer.h"
#include "engine/filesystem/IPackedFileManager.h"
#include "engine/filesystem/IVirtualFileSystem.h"
#include "engine/video/CTexture.h"
#include "engine/video/CVideoDriver_DirectX81.h"
#include "engine/video/ITextureList.h"
#include "engine/video/ITextureManager.h"
#include "engine/video/imaging/SurfaceFiles.h"
#include "tests/engine/device/StubDevice.h"
#include "tests/engine/video/Direct3DTestWindow.h"
#include "tests/engine/video/TestImageFiles.h"
#include "tests/support/TempFolder.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

using namespace RVGameEngine;

namespace {

constexpr int kWidth = 640, kHeight = 480;
constexpr int kCell = 16, kCellsPerRow = 4;  // a 64 x 64 atlas of 16 images
constexpr int kQuadsPerFrame = 4000;
constexpr int kFrames = 10;
constexpr int kTextureFiles = 200;
constexpr int kRounds = 3;

// Waits for the device to finish drawing: reading the back buffer back does.
void Finish(IDirect3DDevice8* device)
{
    Common::TComPointer<IDirect3DSurface8> target;
    device->GetRenderTarget(target.Receive());
    std::vector<uint32_t> pixels;
    uint32_t w = 0, h = 0;
    const RECT one = {0, 0, 1, 1};
    Video::Imaging::ReadSurfacePixels(target.Get(), &one, pixels, w, h);
}

struct tagFrameTimes
{
    double submitMs = 1e300;  // drawing calls until the last EndScene
    double totalMs = 1e300;   // and until the device has drawn everything
    uint32_t drawCalls = 0;   // per frame
};

// kFrames frames of kQuadsPerFrame quads drawn by drawQuad(i); keeps the best times.
void TimeFrames(Video::IVideoDriver* driver, IDirect3DDevice8* device, const std::function<void(int)>& drawQuad,
                const std::function<void()>& endFrame, tagFrameTimes& best)
{
    const double start = Bench::NowMs();
    for (int frame = 0; frame < kFrames; ++frame) {
        driver->BeginScene();
        driver->Clear(true, true, Video::tagColor(0xFF000000u));
        driver->Begin2D();
        for (int i = 0; i < kQuadsPerFrame; ++i)
            drawQuad(i);
        endFrame();
        best.drawCalls = driver->GetDrawCallCount();
        driver->End2D();
        driver->EndScene();
    }
    const double submitted = Bench::NowMs();
    Finish(device);
    best.submitMs = std::min(best.submitMs, submitted - start);
    best.totalMs = std::min(best.totalMs, Bench::NowMs() - start);
}

void Put32(std::string* out, uint32_t value)
{
    out->append(reinterpret_cast<const char*>(&value), 4);
}

// The archive in the form the packing tool writes.
std::string BuildArchive(const std::vector<std::wstring>& names, const std::vector<std::string>& files)
{
    std::string archive = "RADE";
    Put32(&archive, 1);
    Put32(&archive, static_cast<uint32_t>(files.size()));
    uint32_t offset = 0;
    for (size_t i = 0; i < files.size(); ++i) {
        Put32(&archive, offset);
        Put32(&archive, static_cast<uint32_t>(files[i].size()));
        Put32(&archive, static_cast<uint32_t>(names[i].size()));
        archive.append(reinterpret_cast<const char*>(names[i].data()), names[i].size() * 2);
        offset += static_cast<uint32_t>(files[i].size());
    }
    for (const std::string& file : files) {
        const size_t at = archive.size();
        archive += file;
        FileSystem::IVirtualFileSystem_GetInstance()->ScrambleBuffer(reinterpret_cast<uint8_t*>(&archive[at]),
                                                                     static_cast<int32_t>(file.size()));
    }
    return archive;
}

// Milliseconds to load (and give back) every texture; negative when one fails.
double LoadAll(const std::vector<std::wstring>& names, const std::wstring& prefix)
{
    const double start = Bench::NowMs();
    for (const std::wstring& name : names) {
        Common::TIntrusivePointer<Video::CTexture> texture(new Video::CTexture((prefix + name).c_str()));
        texture->EnsureLoaded();
        if (!texture->IsLoaded())
            return -1.0;
    }
    return Bench::NowMs() - start;
}

int BenchDrawing(const std::wstring& work, Video::IVideoDriver* driver, IDirect3DDevice8* device)
{
    const std::wstring atlas = work + L"\\atlas.bmp";
    RVTest::WriteWholeFile(atlas, VideoTest::BmpBytes(64, 64, [](int x, int y) {
        return 0xFF000000u | uint32_t(x * 4) << 16 | uint32_t(y * 4) << 8 | 0x80u;
    }));
    std::wstring list = L"<ImageList>\r\n";
    for (int i = 0; i < kCellsPerRow * kCellsPerRow; ++i)
        list += L"\t<Image Name=\"cell" + std::to_wstring(i) + L"\" Filename=\"" + atlas + L"\" X=\"" +
                std::to_wstring(i % kCellsPerRow * kCell) + L"\" Y=\"" + std::to_wstring(i / kCellsPerRow * kCell) +
                L"\" W=\"16\" H=\"16\"/>\r\n";
    list += L"</ImageList>\r\n";
    RVTest::WriteWholeFile(work + L"\\atlas.xml", VideoTest::UnicodeFileBytes(list));
    Video::ITextureList* textureList = Video::ITextureList_GetInstance();
    textureList->LoadImageList((work + L"\\atlas.xml").c_str());
    int cells[kCellsPerRow * kCellsPerRow];
    for (int i = 0; i < kCellsPerRow * kCellsPerRow; ++i)
        cells[i] = textureList->FindImage((L"cell" + std::to_wstring(i)).c_str());
    Video::ITexture* texture = Video::ITextureManager_GetInstance()->GetTexture(atlas.c_str());

    auto x = [](int i) { return (i * 37) % (kWidth - kCell); };
    auto y = [](int i) { return (i * 53) % (kHeight - kCell); };
    const double quads = double(kQuadsPerFrame) * kFrames;
    auto rate = [&](double ms) { return quads / ms * 1000.0; };
    for (int size : {16, 2}) {
        auto batched = [&](int i) { textureList->DrawImage(cells[i % 16], x(i), y(i), size, size); };
        auto oneEach = [&](int i) {
            const int cell = i % 16;
            driver->DrawTexture(texture, float(x(i)), float(y(i)), float(size), float(size),
                                float(cell % kCellsPerRow * kCell), float(cell / kCellsPerRow * kCell), 16.0f, 16.0f);
        };
        tagFrameTimes batchedBest, oneEachBest, warmUp;
        TimeFrames(driver, device, batched, [&] { textureList->Flush(); }, warmUp);
        TimeFrames(driver, device, oneEach, [] {}, warmUp);
        for (int round = 0; round < kRounds; ++round) {
            TimeFrames(driver, device, batched, [&] { textureList->Flush(); }, batchedBest);
            TimeFrames(driver, device, oneEach, [] {}, oneEachBest);
        }
        std::wprintf(L"textured quads of %d x %d pixels, %d per frame, %d frames (quads/s drawn; submitted):\n", size,
                      size, kQuadsPerFrame, kFrames);
        std::wprintf(L"  texture list batches: %9.0f; %9.0f (%u draw calls per frame)\n", rate(batchedBest.totalMs),
                     rate(batchedBest.submitMs), batchedBest.drawCalls);
        std::wprintf(L"  one draw call each:   %9.0f; %9.0f (%u draw calls per frame)\n", rate(oneEachBest.totalMs),
                     rate(oneEachBest.submitMs), oneEachBest.drawCalls);
        std::wprintf(L"  ratio batched/one each: %.1f drawn, %.1f submitted (goal: at least 10)\n",
                     oneEachBest.totalMs / batchedBest.totalMs, oneEachBest.submitMs / batchedBest.submitMs);
    }
    return 0;
}

int BenchLoading(const std::wstring& work)
{
    FileSystem::IVirtualFileSystem* vfs = FileSystem::IVirtualFileSystem_GetInstance();
    std::vector<std::wstring> names;
    std::vector<std::string> files;
    CreateDirectoryW((work + L"\\plain").c_str(), nullptr);
    CreateDirectoryW((work + L"\\plain\\textures").c_str(), nullptr);
    for (int i = 0; i < kTextureFiles; ++i) {
        names.push_back(L"textures/image" + std::to_wstring(i) + L".bmp");
        files.push_back(VideoTest::BmpBytes(64, 64, [i](int x, int y) { return uint32_t(x * y + i); }));
        RVTest::WriteWholeFile(work + L"\\plain\\" + names.back(), files.back());
    }
    const std::wstring archivePath = work + L"\\textures.rade";
    RVTest::WriteWholeFile(archivePath, BuildArchive(names, files));

    double plainBest = 1e300, archiveBest = 1e300;
    for (int round = 0; round <= kRounds; ++round) {
        FileSystem::IPackedFileManager_GetInstance()->UnmountAll();
        const double plain = LoadAll(names, work + L"\\plain\\");
        if (!vfs->MountPackedFile(archivePath.c_str())) {
            std::fwprintf(stderr, L"cannot mount the archive\n");
            return 1;
        }
        const double packed = LoadAll(names, L"");
        if (plain < 0 || packed < 0) {
            std::fwprintf(stderr, L"a texture did not load\n");
            return 1;
        }
        if (round > 0) {
            plainBest = std::min(plainBest, plain);
            archiveBest = std::min(archiveBest, packed);
        }
    }
    FileSystem::IPackedFileManager_GetInstance()->UnmountAll();
    const double archiveRate = kTextureFiles / archiveBest * 1000.0, plainRate = kTextureFiles / plainBest * 1000.0;
    std::wprintf(L"texture loads (%d BMP files of 64 x 64):\n", kTextureFiles);
    std::wprintf(L"  from the mounted archive: %.0f loads/s\n", archiveRate);
    std::wprintf(L"  from plain files on disk: %.0f loads/s\n", plainRate);
    std::wprintf(L"  ratio archive/disk: %.2f\n", archiveRate / plainRate);
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    RVTest::TempFolder scratch;
    const std::wstring work = argc > 1 ? argv[1] : scratch.Path();
    VideoTest::Direct3DTestWindow direct3D;
    if (!direct3D.Create(kWidth, kHeight)) {
        std::fwprintf(stderr, L"no Direct3D 8 device (is there a display?)\n");
        return 1;
    }
    RVTest::StubDevice device;
    Device::tagCreationParams params;
    params.Width = kWidth;
    params.Height = kHeight;
    Common::TIntrusivePointer<Video::IVideoDriver> driver(
        new Video::CVideoDriver_DirectX81(params, &device, direct3D.device.Get()));
    device.videoDriver = driver.Get();
    device.nonPow2Textures = direct3D.SupportsNonPow2Textures();
    driver->ResetStates();

    int status = BenchDrawing(work, driver.Get(), direct3D.device.Get());
    if (status == 0)
        status = BenchLoading(work);
    device.videoDriver = nullptr;
    return status;
}
