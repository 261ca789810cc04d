#pragma once

// One real Direct3D 8 device (Wine's, under Xvfb) for the whole test
// program, given back before the program ends, with its video driver behind a stub device, and helpers that read
// the back buffer and write the image and list files the tests load.

#include "engine/video/IVideoDriver.h"
#include "tests/engine/device/StubDevice.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace VideoTest {

constexpr int kWidth = 128;
constexpr int kHeight = 96;

RVGameEngine::Video::IVideoDriver* Driver();
RVTest::StubDevice& Device();
IDirect3DDevice8* Direct3DDevice();

// The engine's cached texture of that name (ITextureManager::GetTexture). The
// environment unloads it at the end, before the device goes: take every
// cached texture through here, also those a texture list takes by its files.
RVGameEngine::Video::ITexture* CachedTexture(const std::wstring& name, uint32_t filter = 0);

// The back buffer as ARGB, rows top down; alpha forced to 255.
struct BackBuffer
{
    std::vector<uint32_t> pixels;
    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * kWidth + x] | 0xFF000000u; }
};
BackBuffer ReadBackBuffer();

// Runs one 2D frame: clear to `background`, draw, end the frame.
void DrawFrame(uint32_t background, const std::function<void()>& draw);

// A 24-bit BMP file whose pixel (x, y) is color(x, y) (ARGB, alpha ignored).
void WriteBmp(const std::wstring& path, int width, int height, const std::function<uint32_t(int, int)>& color);
// UTF-16LE text with its byte-order mark, as the engine's XML files are.
void WriteUnicodeFile(const std::wstring& path, const std::wstring& text);

} // namespace VideoTest
