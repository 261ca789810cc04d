#pragma once

#include "engine/common/base/EngineApi.h"

#include <cstdint>

namespace RVGameEngine {
namespace Video {

// An unlit vertex: position, colour (tagColor layout) and one texture
// coordinate pair. The vertex of immediate quads and lines and of mesh
// buffers of type 0; Direct3D reads it as D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1.
struct RV_API tagMeshVertex
{
    float X, Y, Z;
    uint32_t Color;
    float U, V;
};

constexpr uint32_t kMeshVertexFormat = 0x142;

// A vertex with a normal, for mesh buffers of type 1; read as
// D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE | D3DFVF_TEX1.
struct RV_API tagMeshNormalVertex
{
    float X, Y, Z;
    float NX, NY, NZ;
    uint32_t Color;
    float U, V;
};

constexpr uint32_t kMeshNormalVertexFormat = 0x152;

static_assert(sizeof(tagMeshVertex) == 24, "vertex stride is part of the draw calls");
static_assert(sizeof(tagMeshNormalVertex) == 36, "vertex stride is part of the draw calls");

} // namespace Video
} // namespace RVGameEngine
