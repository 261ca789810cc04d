#pragma once

#include "engine/common/base/EngineApi.h"

#include <d3d8.h>

#include <cstdint>
#include <vector>

namespace RVGameEngine {
namespace Video {
namespace Imaging {

// The pixels of a rectangle of a surface (null: all of it) as A8R8G8B8, rows
// top down. Works on surfaces that cannot be locked, such as render targets,
// by copying them to an image surface first. Formats read: A8R8G8B8,
// X8R8G8B8, R5G6B5, X1R5G5B5, A1R5G5B5 (an alpha the format lacks reads 255).
RV_API HRESULT ReadSurfacePixels(IDirect3DSurface8* surface, const RECT* rect,
                                 std::vector<uint32_t>& pixels, uint32_t& width, uint32_t& height);

// Writes the rectangle of the surface (null: all of it) to a 24-bit
// uncompressed BMP file through the virtual file system.
RV_API HRESULT SaveSurfaceToBmpFile(const wchar_t* path, IDirect3DSurface8* surface, const RECT* rect);

} // namespace Imaging
} // namespace Video
} // namespace RVGameEngine
