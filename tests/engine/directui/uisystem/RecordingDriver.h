#pragma once

// A UI-system driver without a window: it records what the UI system and the
// windows ask of it, as short lines, and draws nothing.

#include "engine/directui/drawing/CUISystemDriver_Graphics.h"

#include <cstdio>
#include <string>
#include <vector>

namespace UITest {

using namespace RVGameEngine::DirectUI;

class RecordingDriver : public CUISystemDriver_Graphics
{
public:
    std::vector<std::string> calls;

    Gdiplus::Graphics* GetGraphics() override { return nullptr; }

    void DrawImage(IUIImage*, int32_t x, int32_t y, int32_t w, int32_t h, int32_t sx, int32_t sy, int32_t sw,
                   int32_t sh, tagColor c) override
    {
        Record("image %d,%d,%d,%d from %d,%d,%d,%d tint %d,%d,%d,%d", x, y, w, h, sx, sy, sw, sh, c.red, c.green,
               c.blue, c.alpha);
    }
    void FillRect(int32_t x, int32_t y, int32_t w, int32_t h, tagColor) override
    {
        Record("fill %d,%d,%d,%d", x, y, w, h);
    }
    void DrawText(int32_t, const wchar_t* text, tagColor, int32_t x, int32_t y, int32_t w, int32_t h,
                  int32_t align) override
    {
        Record("text %ls %d,%d,%d,%d align %d", text, x, y, w, h, align);
    }
    void DrawText(int32_t, const wchar_t* text, tagColor, int32_t x, int32_t y) override
    {
        Record("text %ls at %d,%d", text, x, y);
    }
    void SetClipRect(bool enable, int32_t x, int32_t y, int32_t w, int32_t h) override
    {
        Record(enable ? "clip %d,%d,%d,%d" : "noclip", x, y, w, h);
    }
    void SetCapture() override { Record("capture"); }
    void ReleaseCapture() override { Record("release"); }
    void SetFocusToFrame() override { Record("framefocus"); }
    void BeginWindowDrag() override { Record("drag"); }
    void Invalidate(int32_t x, int32_t y, int32_t w, int32_t h) override
    {
        Record("invalidate %d,%d,%d,%d", x, y, w, h);
    }
    void InvalidateAll() override { Record("invalidate all"); }

    // The recorded lines that begin with the prefix.
    std::vector<std::string> Starting(const std::string& prefix) const
    {
        std::vector<std::string> found;
        for (const std::string& call : calls) {
            if (call.compare(0, prefix.size(), prefix) == 0)
                found.push_back(call);
        }
        return found;
    }
    int Count(const std::string& prefix) const { return static_cast<int>(Starting(prefix).size()); }

    template <typename... Values>
    void Record(const char* format, Values... values)
    {
        char line[256];
        snprintf(line, sizeof line, format, values...);
        calls.push_back(line);
    }
};

} // namespace UITest
