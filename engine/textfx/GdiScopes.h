#pragma once

#include <windows.h>
#include <gdiplus.h>

namespace TextFx {

// The device context behind a GDI+ graphics, held for one GDI operation.
// GDI+ refuses to draw on the graphics until the context is given back.
class ScopedGraphicsDc
{
public:
    explicit ScopedGraphicsDc(Gdiplus::Graphics* graphics)
        : m_graphics(graphics), m_dc(graphics->GetHDC()) {}
    ~ScopedGraphicsDc()
    {
        if (m_dc != nullptr)
            m_graphics->ReleaseHDC(m_dc);
    }
    ScopedGraphicsDc(const ScopedGraphicsDc&) = delete;
    ScopedGraphicsDc& operator=(const ScopedGraphicsDc&) = delete;

    HDC Get() const { return m_dc; }

private:
    Gdiplus::Graphics* m_graphics;
    HDC m_dc;
};

class ScopedGdiFont
{
public:
    explicit ScopedGdiFont(const LOGFONTW* font) : m_font(CreateFontIndirectW(font)) {}
    ~ScopedGdiFont()
    {
        if (m_font != nullptr)
            DeleteObject(m_font);
    }
    ScopedGdiFont(const ScopedGdiFont&) = delete;
    ScopedGdiFont& operator=(const ScopedGdiFont&) = delete;

    HFONT Get() const { return m_font; }

private:
    HFONT m_font;
};

// Selects an object into a context and puts the previous one back.
class ScopedSelection
{
public:
    ScopedSelection(HDC dc, HGDIOBJ object) : m_dc(dc), m_previous(SelectObject(dc, object)) {}
    ~ScopedSelection()
    {
        if (m_previous != nullptr && m_previous != HGDI_ERROR)
            SelectObject(m_dc, m_previous);
    }
    ScopedSelection(const ScopedSelection&) = delete;
    ScopedSelection& operator=(const ScopedSelection&) = delete;

    bool Succeeded() const { return m_previous != nullptr && m_previous != HGDI_ERROR; }

private:
    HDC m_dc;
    HGDIOBJ m_previous;
};

class ScopedBackgroundMode
{
public:
    ScopedBackgroundMode(HDC dc, int mode) : m_dc(dc), m_previous(SetBkMode(dc, mode)) {}
    ~ScopedBackgroundMode()
    {
        if (m_previous != 0)
            SetBkMode(m_dc, m_previous);
    }
    ScopedBackgroundMode(const ScopedBackgroundMode&) = delete;
    ScopedBackgroundMode& operator=(const ScopedBackgroundMode&) = delete;

private:
    HDC m_dc;
    int m_previous;
};

} // namespace TextFx
