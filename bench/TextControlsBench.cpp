// Rich text and typing: lays out and draws a rich output box of 2,000
// paragraphs with coloured runs, links, buttons and expression pictures,
// beside measuring and drawing the same paragraphs as plain text through the
// font manager; then types 10,000 characters into a multi-line edit box (five
// rounds up to its 2,000-character limit), timing a character early and late
// in each round, beside measuring the whole typed text once; then places the
// caret of a single-line edit box of 1,000 characters under the mouse (presses
// and drag steps), beside measuring every prefix of its text once, and shows
// how far the sum of the characters' own widths strays from the measured
// prefixes.
//
//   rv_bench_text

#include "bench/BenchClock.h"
#include "engine/common/base/GdiplusStartup.h"
#include "engine/common/base/TIntrusivePointer.h"
#include "engine/directui/controls/ControlFactory.h"
#include "engine/directui/controls/IEditBox.h"
#include "engine/directui/controls/IMultilineEditBox.h"
#include "engine/directui/controls/IRichOutputBox.h"
#include "engine/directui/drawing/IGdiFontManager.h"
#include "engine/directui/services/IExpressionManager.h"
#include "engine/directui/uisystem/CUIWindow.h"
#include "engine/directui/uisystem/IUISystem.h"
#include "tests/engine/directui/drawing/BitmapDriver.h"
#include "tests/support/TempFolder.h"

#include <windows.h>
#include <gdiplus.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using RVGameEngine::Common::TIntrusivePointer;
using namespace RVGameEngine::DirectUI;

namespace {

constexpr int kParagraphs = 2000;
constexpr int kTypingRounds = 5;
constexpr int kSample = 200;
constexpr int kBoxWidth = 600, kBoxHeight = 700;

bool WritePicture(const std::wstring& path, int size, Gdiplus::ARGB argb)
{
    Gdiplus::Bitmap picture(size, size, PixelFormat32bppARGB);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            picture.SetPixel(x, y, Gdiplus::Color(argb));
    CLSID bmp = {0x557cf400, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
    return picture.Save(path.c_str(), &bmp, nullptr) == Gdiplus::Ok;
}

std::wstring Number(int value)
{
    return std::to_wstring(value);
}

struct Paragraph
{
    std::wstring markup;
    std::wstring plain;
};

// Runs in two colours, a button, a link and one of three pictures (one animated).
Paragraph MakeParagraph(int i)
{
    const std::wstring who = L"Player" + Number(i % 97);
    const std::wstring said = L"raises to " + Number(100 + i) + L" chips, good luck at table " + Number(i % 13);
    Paragraph p;
    p.markup = L"<FontColor FontColor=\"255,240,200,80\"><Text Text=\"" + who + L": \"/></FontColor>" +
               L"<Text Text=\"" + said + L"\"/><Expression Expression=\"" + Number(1 + i % 3) + L"\"/>" +
               L"<TextButton Name=\"seat\" Tag=\"" + Number(i) + L"\" Text=\" [join]\"/>" +
               L"<HyperLink Name=\"rules\" Text=\" rules\" URL=\"https://example.com/rules\"/>";
    p.plain = who + L": " + said + L"/:0" + Number(1 + i % 3) + L" [join] rules";
    return p;
}

double PerItemUs(double ms, int count)
{
    return ms * 1000.0 / count;
}

void BenchRichText(IUISystem* ui, UITest::BitmapDriver* canvas)
{
    IGdiFontManager* fonts = IFontManager_GetInstance();
    std::vector<Paragraph> paragraphs;
    for (int i = 0; i < kParagraphs; ++i)
        paragraphs.push_back(MakeParagraph(i));

    TIntrusivePointer<IUIWindow> window(ui->CreateControl(L"RichOutputBox"));
    ui->GetRootWindow()->AddChild(window.Get());
    window->SetRect(0, 0, kBoxWidth, kBoxHeight);
    auto* box = dynamic_cast<IRichOutputBox*>(window.Get());
    auto* root = dynamic_cast<CUIWindow*>(ui->GetRootWindow());

    double start = Bench::NowMs();
    for (const Paragraph& p : paragraphs)
        box->AppendText(p.markup.c_str());
    const double richLayout = Bench::NowMs() - start;

    start = Bench::NowMs();
    int pages = 0;
    for (int offset = 0; offset < box->GetContentHeight(); offset += kBoxHeight, ++pages) {
        box->SetScrollOffset(offset);
        root->OnPaint();
    }
    const double richDraw = Bench::NowMs() - start;

    // The same characters as one plain string per paragraph.
    start = Bench::NowMs();
    std::vector<int32_t> heights;
    int32_t total = 0;
    for (const Paragraph& p : paragraphs) {
        int32_t width = 0, height = 0;
        fonts->MeasureText(canvas->GetGraphics(), 0, p.plain.c_str(), &width, &height);
        heights.push_back(height);
        total += height;
    }
    const double plainMeasure = Bench::NowMs() - start;

    start = Bench::NowMs();
    for (int offset = 0; offset < total; offset += kBoxHeight) {
        int32_t y = -offset;
        for (size_t i = 0; i < paragraphs.size(); y += heights[i], ++i) {
            if (y >= -heights[i] && y <= kBoxHeight)
                canvas->DrawText(0, paragraphs[i].plain.c_str(), tagColor(255, 255, 255), 0, y);
        }
    }
    const double plainDraw = Bench::NowMs() - start;

    std::printf("Rich output box, %d paragraphs (%d pages of %d pixels)\n", kParagraphs, pages, kBoxHeight);
    std::printf("  layout         %9.2f ms (%6.2f us per paragraph)   plain measure %9.2f ms   ratio %.2f\n", richLayout,
                PerItemUs(richLayout, kParagraphs), plainMeasure, richLayout / plainMeasure);
    std::printf("  draw all pages %9.2f ms                              plain draw    %9.2f ms   ratio %.2f\n",
                richDraw, plainDraw, richDraw / plainDraw);
    ui->GetRootWindow()->RemoveWindow(window.Get());
}

void BenchTyping(IUISystem* ui, UITest::BitmapDriver* canvas)
{
    TIntrusivePointer<IUIWindow> window(ui->CreateControl(L"MultilineEditBox"));
    ui->GetRootWindow()->AddChild(window.Get());
    window->SetRect(0, 0, kBoxWidth, kBoxHeight);
    auto* box = dynamic_cast<IMultilineEditBox*>(window.Get());
    box->SetCharLimit(2000);
    ui->SetFocus(window.Get());

    double early = 0, late = 0, all = 0;
    for (int round = 0; round < kTypingRounds; ++round) {
        window->SetTitle(L"");
        for (int i = 0; i < 2000; ++i) {
            const double start = Bench::NowMs();
            box->OnChar(static_cast<wchar_t>(L'a' + (i * 7 + round) % 26));
            const double spent = Bench::NowMs() - start;
            all += spent;
            if (i < kSample)
                early += spent;
            else if (i >= 2000 - kSample)
                late += spent;
        }
    }
    const int typed = 2000 * kTypingRounds;
    const std::wstring text = window->GetTitle();
    const double start = Bench::NowMs();
    int32_t width = 0, height = 0;
    IFontManager_GetInstance()->MeasureText(canvas->GetGraphics(), 0, text.c_str(), &width, &height);
    const double plainMeasure = Bench::NowMs() - start;

    std::printf("Typing into a multi-line edit box, %d characters (%d rounds of 2,000)\n", typed, kTypingRounds);
    std::printf("  all            %9.2f ms (%6.2f us per character)\n", all, PerItemUs(all, typed));
    std::printf("  characters 1-%d of a round      %6.2f us each\n", kSample, PerItemUs(early, kSample * kTypingRounds));
    std::printf("  characters %d-2000 of a round %6.2f us each\n", 2000 - kSample + 1,
                PerItemUs(late, kSample * kTypingRounds));
    std::printf("  plain measure of the 2,000 typed characters once: %.2f ms\n", plainMeasure);
    ui->GetRootWindow()->RemoveWindow(window.Get());
}

void BenchCaretPlacement(IUISystem* ui, UITest::BitmapDriver* canvas)
{
    constexpr int kLength = 1000, kPresses = 50;
    TIntrusivePointer<IUIWindow> window(ui->CreateControl(L"EditBox"));
    ui->GetRootWindow()->AddChild(window.Get());
    window->SetRect(0, 0, kBoxWidth, 24);
    auto* box = dynamic_cast<IEditBox*>(window.Get());
    box->SetCharLimit(2000);
    std::wstring text;
    for (int i = 0; i < kLength; ++i)
        text += static_cast<wchar_t>(i % 11 == 10 ? L' ' : L'a' + (i * 7) % 26);
    window->SetTitle(text.c_str());
    ui->SetFocus(window.Get());
    IUISystemDriver* driver = ui->GetDriver();

    double start = Bench::NowMs();
    for (int i = 0; i < kPresses; ++i) {
        const int x = (i * 97) % kBoxWidth;
        driver->RaiseLButtonDown(x, 10);
        driver->RaiseLButtonUp(x, 10);
    }
    const double presses = Bench::NowMs() - start;
    driver->RaiseLButtonDown(5, 10);
    start = Bench::NowMs();
    for (int i = 0; i < kPresses; ++i)
        driver->RaiseMouseMove(5 + (i * 11) % kBoxWidth, 10);
    const double drags = Bench::NowMs() - start;
    driver->RaiseLButtonUp(5, 10);

    // What placing the caret once used to take: every prefix measured.
    IGdiFontManager* fonts = IFontManager_GetInstance();
    start = Bench::NowMs();
    std::vector<int32_t> prefixes;
    for (int i = 0; i <= kLength; ++i) {
        int32_t width = 0, height = 0;
        fonts->MeasureText(canvas->GetGraphics(), 0, text.substr(0, static_cast<size_t>(i)).c_str(), &width, &height);
        prefixes.push_back(width);
    }
    const double everyPrefix = Bench::NowMs() - start;
    int32_t sum = 0, farthest = 0;
    for (int i = 0; i < kLength; ++i) {
        const wchar_t one[2] = {text[static_cast<size_t>(i)], L'\0'};
        int32_t width = 0, height = 0;
        fonts->MeasureText(canvas->GetGraphics(), 0, one, &width, &height);
        sum += width;
        farthest = std::max(farthest, std::abs(sum - prefixes[static_cast<size_t>(i) + 1]));
    }

    std::printf("Caret placement in a single-line edit box of %d characters\n", kLength);
    std::printf("  press and release %8.3f ms each   drag step %8.3f ms each\n", presses / kPresses, drags / kPresses);
    std::printf("  every prefix measured once: %.2f ms\n", everyPrefix);
    std::printf("  widest gap between summed character widths and a measured prefix: %d px (text %d px)\n", farthest,
                prefixes.back());
    ui->GetRootWindow()->RemoveWindow(window.Get());
}

} // namespace

int main()
{
    if (!RVGameEngine::Common::StartGdiplus()) {
        std::printf("GDI+ cannot start\n");
        return 1;
    }
    RVGameEngine::DirectUI::RegisterControls();
    IFontManager_GetInstance()->AddFont(L"Default", L"Liberation Sans", 12, 0);
    int status = 0;
    {
        RVTest::TempFolder folder;
        RVTest::ScopedCurrentFolder current(folder.Path());
        TIntrusivePointer<UITest::BitmapDriver> canvas(new UITest::BitmapDriver(1024, 768));
        TIntrusivePointer<IUISystem> ui(IUISystem_Create(canvas.Get()));
        ui->Initialize();
        ui->GetRootWindow()->SetRect(0, 0, 1024, 768);
        if (!WritePicture(L"smile.bmp", 20, 0xFFFFD000) || !WritePicture(L"wink0.bmp", 20, 0xFF00D0FF) ||
            !WritePicture(L"wink1.bmp", 20, 0xFF0040FF)) {
            std::printf("cannot write the pictures\n");
            status = 1;
        } else {
            IExpressionManager* expressions = IExpressionManager_GetInstance();
            expressions->SetExpression(ui.Get(), 1, L"smile.bmp");
            expressions->SetExpression(ui.Get(), 2, L"wink0.bmp");
            expressions->SetAnimatedExpression(ui.Get(), 3, L"wink%d.bmp", 0, 2, 10);
            BenchRichText(ui.Get(), canvas.Get());
            BenchTyping(ui.Get(), canvas.Get());
            BenchCaretPlacement(ui.Get(), canvas.Get());
        }
        ui->ResetWindowTree();
    }
    return status;
}
