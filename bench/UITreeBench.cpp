// A window tree of 2,000 nested and sibling windows loaded from a UI
// description: the load, a full repaint of a 1024 x 768 surface and 10,000
// routed mouse moves, each through a GDI+ bitmap-backed driver beside the
// same work through a driver that draws nothing; then the repaint of a tree
// the size of the installer's window (40 windows), and clicks routed through
// trees of 200 and 2,000 windows; last, each tree's repaint in a shown frame,
// whole and after invalidating one 16 x 16 rectangle (a caret's blink).
//
//   rv_bench_ui

#include "bench/BenchClock.h"
#include "engine/common/base/GdiplusStartup.h"
#include "engine/common/base/TIntrusivePointer.h"
#include "engine/directui/frame/IFrame.h"
#include "engine/directui/frame/IFrameManager.h"
#include "engine/directui/drawing/IGdiFontManager.h"
#include "engine/directui/uisystem/IUISystem.h"
#include "engine/directui/uisystem/IUIWindow.h"
#include "tests/engine/directui/drawing/BitmapDriver.h"
#include "tests/support/TempFolder.h"

#include <windows.h>
#include <gdiplus.h>

#include <cstdio>
#include <string>

using RVGameEngine::Common::TIntrusivePointer;
using namespace RVGameEngine::DirectUI;

namespace {

constexpr int kMouseMoves = 10000;
constexpr int kClicks = 2000;

// Draws nothing: the cost of the tree walk alone.
class NullDriver : public CUISystemDriver_Graphics
{
public:
    Gdiplus::Graphics* GetGraphics() override { return nullptr; }
};

// `groups` top panels on a grid, each a chain of four nested panels whose
// innermost holds `labels` titled labels: groups x (5 + labels) windows.
std::wstring MakeDescription(int groups, int labels)
{
    std::wstring text;
    wchar_t line[256];
    for (int g = 0; g < groups; ++g) {
        swprintf(line, 256, L"<Panel Name=\"Group%d\" X=\"%d\" Y=\"%d\" Width=\"120\" Height=\"150\">\r\n",
                 g, (g % 8) * 128, (g / 8) * 153);
        text += line;
        text += L"<Picture Tag=\"Background\" Filename=\"tile.bmp\"/>\r\n";
        for (int depth = 0; depth < 4; ++depth)
            text += L"<Panel X=\"2\" Y=\"2\" Width=\"116\" Height=\"146\">\r\n";
        for (int l = 0; l < labels; ++l) {
            swprintf(line, 256, L"<Label Name=\"L%d_%d\" X=\"%d\" Y=\"%d\" Width=\"24\" Height=\"14\" Title=\"%d\"/>\r\n",
                     g, l, (l % 4) * 28, (l / 4) * 14, l);
            text += line;
        }
        for (int depth = 0; depth < 4; ++depth)
            text += L"</Panel>\r\n";
        text += L"</Panel>\r\n";
    }
    return text;
}

bool WriteUtf16(const std::wstring& path, const std::wstring& text)
{
    const std::wstring withMark = L"\xFEFF" + text;
    return RVTest::WriteWholeFile(path, std::string(reinterpret_cast<const char*>(withMark.data()), withMark.size() * 2));
}

// The group panels' skin, at the panels' own size, as the installer's skins
// are (a "Smart" picture sizes its window).
bool WriteTile(const std::wstring& path)
{
    Gdiplus::Bitmap tile(120, 150, PixelFormat32bppARGB);
    for (int y = 0; y < 150; ++y)
        for (int x = 0; x < 120; ++x)
            tile.SetPixel(x, y, Gdiplus::Color(255, 40 + x, 60, 90 + y));
    CLSID bmp = {0x557cf400, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
    return tile.Save(path.c_str(), &bmp, nullptr) == Gdiplus::Ok;
}

struct Timings
{
    double load = 0, repaint = 0, moves = 0, clicks = 0;
    int windows = 0;
};

int CountWindows(IUIWindow* window)
{
    int count = 1;
    for (int i = 0; i < window->GetChildCount(); ++i)
        count += CountWindows(window->GetChild(i));
    return count;
}

Timings Run(IUISystemDriver* driver, const wchar_t* description)
{
    Timings t;
    TIntrusivePointer<IUISystem> ui(IUISystem_Create(driver));
    ui->Initialize();
    ui->GetRootWindow()->SetRect(0, 0, 1024, 768);
    double start = Bench::NowMs();
    ui->LoadUI(description);
    t.load = Bench::NowMs() - start;
    t.windows = CountWindows(ui->GetRootWindow()) - 1;

    driver->RaisePaint(); // decodes the shared tile once
    start = Bench::NowMs();
    driver->RaisePaint();
    t.repaint = Bench::NowMs() - start;

    start = Bench::NowMs();
    for (int i = 0; i < kMouseMoves; ++i)
        driver->RaiseMouseMove((i * 7) % 1024, (i * 13) % 768);
    t.moves = Bench::NowMs() - start;

    start = Bench::NowMs();
    for (int i = 0; i < kClicks; ++i) {
        driver->RaiseLButtonDown((i * 7) % 1024, (i * 13) % 768);
        driver->RaiseLButtonUp((i * 7) % 1024, (i * 13) % 768);
    }
    t.clicks = Bench::NowMs() - start;
    ui->ResetWindowTree();
    return t;
}

void Report(const char* what, const Timings& drawn, const Timings& bare)
{
    std::printf("%s (%d windows)\n", what, drawn.windows);
    std::printf("  load             %9.2f ms   no drawing %9.2f ms   ratio %.2f\n", drawn.load, bare.load,
                drawn.load / bare.load);
    std::printf("  full repaint     %9.2f ms   no drawing %9.2f ms   ratio %.2f\n", drawn.repaint, bare.repaint,
                drawn.repaint / bare.repaint);
    std::printf("  %d moves     %9.2f ms   no drawing %9.2f ms   ratio %.2f   (%.2f us per move)\n", kMouseMoves,
                drawn.moves, bare.moves, drawn.moves / bare.moves, drawn.moves * 1000.0 / kMouseMoves);
    std::printf("  %d clicks     %9.2f ms   no drawing %9.2f ms   ratio %.2f   (%.2f us per press and release)\n",
                kClicks, drawn.clicks, bare.clicks, drawn.clicks / bare.clicks, drawn.clicks * 1000.0 / kClicks);
}

struct FramePaintTimes
{
    double full = -1;  // negative without a display
    double caret = -1;
};

// Average time of WM_PAINTs of a shown frame after an invalidation.
template <typename Invalidate>
double TimePaints(IFrame* frame, int rounds, Invalidate invalidate)
{
    const double start = Bench::NowMs();
    for (int i = 0; i < rounds; ++i) {
        invalidate(i);
        UpdateWindow(frame->GetHandle());
    }
    return (Bench::NowMs() - start) / rounds;
}

// A whole WM_PAINT of a shown 1024 x 768 frame, the copy to the window
// included: once with everything invalidated, once with a caret-sized
// rectangle inside a group panel.
FramePaintTimes FramePaint(const wchar_t* description)
{
    FramePaintTimes times;
    TIntrusivePointer<IFrame> frame = IFrame_Create();
    if (!frame)
        return times;
    frame->Create(nullptr, WS_POPUP, 0);
    if (frame->GetHandle() == nullptr)
        return times;
    frame->Move(0, 0, 1024, 768);
    frame->LoadUI(description);
    frame->Show();
    UpdateWindow(frame->GetHandle());
    times.full = TimePaints(frame.Get(), 5, [&](int) { frame->InvalidateAll(); });
    times.caret = TimePaints(frame.Get(), 200, [&](int i) { frame->Invalidate(40 + (i % 4) * 128, 40, 16, 16); });
    frame->Destroy();
    return times;
}

} // namespace

int main()
{
    if (!RVGameEngine::Common::StartGdiplus()) {
        std::printf("GDI+ cannot start\n");
        return 1;
    }
    IFontManager_GetInstance()->AddFont(L"Default", L"Liberation Sans", 12, 0);
    int status = 0;
    {
        RVTest::TempFolder folder;
        RVTest::ScopedCurrentFolder current(folder.Path());
        if (!WriteTile(folder.Child(L"tile.bmp")) || !WriteUtf16(folder.Child(L"big.xml"), MakeDescription(40, 45)) ||
            !WriteUtf16(folder.Child(L"small.xml"), MakeDescription(4, 45)) ||
            !WriteUtf16(folder.Child(L"installer.xml"), MakeDescription(4, 5))) {
            std::printf("cannot write the descriptions\n");
            status = 1;
        } else {
            const struct
            {
                const char* what;
                const wchar_t* file;
            } trees[] = {{"2,000-window tree", L"big.xml"},
                         {"200-window tree", L"small.xml"},
                         {"installer-sized tree", L"installer.xml"}};
            for (const auto& tree : trees) {
                TIntrusivePointer<UITest::BitmapDriver> canvas(new UITest::BitmapDriver(1024, 768));
                TIntrusivePointer<NullDriver> bare(new NullDriver());
                const Timings drawn = Run(canvas.Get(), tree.file);
                const Timings nothing = Run(bare.Get(), tree.file);
                Report(tree.what, drawn, nothing);
            }
            IFrameManager_GetInstance()->Initialize();
            for (const auto& tree : trees) {
                const FramePaintTimes paint = FramePaint(tree.file);
                if (paint.full >= 0)
                    std::printf("%s: repaint of a shown 1024 x 768 frame, copy to the window included: %.2f ms; "
                                "of a 16 x 16 caret: %.3f ms; ratio %.1f\n",
                                tree.what, paint.full, paint.caret, paint.full / paint.caret);
                else
                    std::printf("%s: no frame (no display)\n", tree.what);
            }
        }
    }
    return status;
}
