#pragma once

#include "engine/common/base/TIntrusivePointer.h"
#include "engine/video/IMeshBuffer.h"
#include "engine/video/ITexture.h"

#include <vector>

namespace RVGameEngine {
namespace Video {

class CMeshBuffer : public IMeshBuffer
{
public:
    explicit CMeshBuffer(enmMeshBufferType type) : m_type(type) {}

    void Clear() override;
    void SetVertexCount(int count) override;
    void SetIndexCount(int count) override;
    int GetVertexCount() override;
    int GetIndexCount() override;
    int GetTriangleCount() override;
    tagMeshVertex* GetVertices() override;
    tagMeshNormalVertex* GetNormalVertices() override;
    uint16_t* GetIndices() override;
    int AddVertex(float x, float y, uint32_t color, float u, float v) override;
    int AddVertex(const tagMeshVertex& vertex) override;
    int AddNormalVertex(float x, float y, float z, float nx, float ny, float nz,
                        uint32_t color, float u, float v) override;
    int AddNormalVertex(const tagMeshNormalVertex& vertex) override;
    void AddTriangle(uint16_t i0, uint16_t i1, uint16_t i2) override;
    void AddQuad(uint16_t i0, uint16_t i1, uint16_t i2, uint16_t i3) override;
    ITexture* GetTexture() override;
    void SetTexture(ITexture* texture) override;
    void Draw(uint32_t triangleCount) override;
    void Draw() override;
    void CopyFrom(IMeshBuffer* other) override;
    enmMeshBufferType GetType() override { return m_type; }

private:
    enmMeshBufferType m_type;
    std::vector<tagMeshVertex> m_vertices;
    std::vector<tagMeshNormalVertex> m_normalVertices;
    std::vector<uint16_t> m_indices;
    Common::TIntrusivePointer<ITexture> m_texture;
};

} // namespace Video
} // namespace RVGameEngine
