#pragma once

#include <cstdint>

namespace RVGameEngine {
namespace Video {

// Which vertex array a mesh buffer draws. Any other value makes a buffer
// whose vertex operations do nothing.
enum enmMeshBufferType : int32_t
{
    MESH_BUFFER_TYPE_2D = 0,      // tagMeshVertex
    MESH_BUFFER_TYPE_NORMAL = 1,  // tagMeshNormalVertex
};

} // namespace Video
} // namespace RVGameEngine
