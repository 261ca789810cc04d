#pragma once

#include "engine/common/base/EngineApi.h"
#include "engine/common/base/IReferenceCounted.h"
#include "engine/video/enmMeshBufferType.h"
#include "engine/video/tagMeshVertex.h"

#include <cstdint>

namespace RVGameEngine {
namespace Video {

class ITexture;

// A growable batch of vertices and 16-bit triangle indices with one texture,
// drawn by the video driver in one indexed call. It lives in ordinary memory,
// so it survives device resets. Only the vertex array of the buffer's own
// type is counted and drawn; appending the other kind stores it unseen.
class RV_API IMeshBuffer : public Common::IReferenceCounted
{
public:
    // Empties the vertices and indices (keeping their capacity) and drops the texture.
    virtual void Clear() = 0;
    virtual void SetVertexCount(int count) = 0;
    virtual void SetIndexCount(int count) = 0;
    virtual int GetVertexCount() = 0;
    virtual int GetIndexCount() = 0;
    virtual int GetTriangleCount() = 0;
    // Null when the array is empty.
    virtual tagMeshVertex* GetVertices() = 0;
    virtual tagMeshNormalVertex* GetNormalVertices() = 0;
    virtual uint16_t* GetIndices() = 0;
    // The appending operations return the new vertex's index.
    virtual int AddVertex(float x, float y, uint32_t color, float u, float v) = 0;
    virtual int AddVertex(const tagMeshVertex& vertex) = 0;
    virtual int AddNormalVertex(float x, float y, float z, float nx, float ny, float nz,
                                uint32_t color, float u, float v) = 0;
    virtual int AddNormalVertex(const tagMeshNormalVertex& vertex) = 0;
    virtual void AddTriangle(uint16_t i0, uint16_t i1, uint16_t i2) = 0;
    // Corners top-left, top-right, bottom-left, bottom-right as two triangles.
    virtual void AddQuad(uint16_t i0, uint16_t i1, uint16_t i2, uint16_t i3) = 0;
    virtual ITexture* GetTexture() = 0;
    // Holds a reference to the texture.
    virtual void SetTexture(ITexture* texture) = 0;
    virtual void Draw(uint32_t triangleCount) = 0;
    virtual void Draw() = 0;
    // Becomes a copy of the other buffer's texture, vertices of this
    // buffer's type and indices; null empties it.
    virtual void CopyFrom(IMeshBuffer* other) = 0;

    virtual enmMeshBufferType GetType() = 0;
};

// A new empty buffer; the caller takes the first reference.
RV_API IMeshBuffer* IMeshBuffer_Create(enmMeshBufferType type);

} // namespace Video
} // namespace RVGameEngine
