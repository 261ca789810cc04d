#include "engine/textfx/TextPath.h"

#include "engine/common/base/TScopedHandle.h"

#include <cwchar>
#include <vector>

namespace TextFx {

namespace {

// Writes the text into the context's path bracket and copies the result.
template <typename WriteText>
bool BuildGdiPath(Gdiplus::Graphics* graphics, std::unique_ptr<Gdiplus::GraphicsPath>& path,
                  const wchar_t* text, const LOGFONTW* font, WriteText writeText)
{
    path.reset(new Gdiplus::GraphicsPath(Gdiplus::FillModeWinding));
    if (graphics == nullptr || text == nullptr || font == nullptr || path->GetLastStatus() != Gdiplus::Ok)
        return false;

    using namespace RVGameEngine::Common;
    // GDI+ refuses to draw on the graphics until its context is given back.
    TScopedHandle<BorrowedDcTraits<Gdiplus::Graphics>> dc(graphics->GetHDC(),
                                                          BorrowedDcTraits<Gdiplus::Graphics>{graphics});
    if (!dc)
        return false;
    CScopedBackgroundMode transparent(SetBkMode(dc.Get(), TRANSPARENT), BackgroundModeTraits{dc.Get()});
    CScopedGdiFont gdiFont(CreateFontIndirectW(font));
    if (!gdiFont)
        return false;
    CScopedSelection selection(SelectObject(dc.Get(), gdiFont.Get()), SelectionTraits{dc.Get()});
    if (!selection)
        return false;

    if (!BeginPath(dc.Get()))
        return false;
    const bool written = writeText(dc.Get(), static_cast<int>(std::wcslen(text)));
    if (!EndPath(dc.Get()) || !written)
        return false;

    const int count = GetPath(dc.Get(), nullptr, nullptr, 0);
    if (count <= 0)
        return false;
    std::vector<POINT> points(count);
    std::vector<BYTE> types(count);
    const int fetched = GetPath(dc.Get(), points.data(), types.data(), count);
    if (fetched <= 0)
        return false;
    return AppendGdiPathPoints(path.get(), points.data(), types.data(), fetched);
}

} // namespace

bool BuildLogFontPath(Gdiplus::Graphics* graphics, std::unique_ptr<Gdiplus::GraphicsPath>& path,
                      const wchar_t* text, const LOGFONTW* font, int x, int y)
{
    return BuildGdiPath(graphics, path, text, font, [&](HDC dc, int length) {
        return TextOutW(dc, x, y, text, length) != FALSE;
    });
}

bool BuildLogFontPathInRect(Gdiplus::Graphics* graphics, std::unique_ptr<Gdiplus::GraphicsPath>& path,
                            const wchar_t* text, const LOGFONTW* font, int x, int y, int width, int height)
{
    return BuildGdiPath(graphics, path, text, font, [&](HDC dc, int length) {
        RECT box = {x, y, x + width, y + height};
        return length == 0 || DrawTextW(dc, text, length, &box, DT_CENTER) != 0;
    });
}

bool AppendGdiPathPoints(Gdiplus::GraphicsPath* path, const POINT* points, const BYTE* types, int count)
{
    if (path == nullptr || (count > 0 && (points == nullptr || types == nullptr)))
        return false;

    bool ok = true;
    auto check = [&ok](Gdiplus::Status status) {
        if (status != Gdiplus::Ok)
            ok = false;
    };
    auto at = [points](int i) { return Gdiplus::Point(points[i].x, points[i].y); };

    Gdiplus::Point current;
    Gdiplus::Point start;
    bool figureOpen = false;
    auto closeFigure = [&]() {
        if (figureOpen) {
            check(path->CloseFigure());
            current = start;
            figureOpen = false;
        }
    };

    for (int i = 0; i < count; ++i) {
        const BYTE type = types[i];
        const BYTE kind = type & ~PT_CLOSEFIGURE;
        if (type == PT_MOVETO) {
            closeFigure();
            start = current = at(i);
            figureOpen = true;
        } else if (kind == PT_LINETO) {
            check(path->AddLine(current, at(i)));
            current = at(i);
            if (type & PT_CLOSEFIGURE)
                closeFigure();
        } else if (kind == PT_BEZIERTO) {
            // A Bezier needs its two control points and its end point; a
            // truncated list ends the walk rather than reading past it.
            if (i + 2 >= count) {
                ok = false;
                break;
            }
            check(path->AddBezier(current, at(i), at(i + 1), at(i + 2)));
            current = at(i + 2);
            const bool closes = (types[i + 2] & PT_CLOSEFIGURE) != 0 || (type & PT_CLOSEFIGURE) != 0;
            i += 2;
            if (closes)
                closeFigure();
        }
    }
    if (figureOpen && count >= 2)
        check(path->AddLine(current, start));
    return ok;
}

} // namespace TextFx
