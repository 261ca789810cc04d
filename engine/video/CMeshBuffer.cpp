#include "engine/video/CMeshBuffer.h"

#include "engine/video/IVideoDriver.h"

#include <new>

namespace RVGameEngine {
namespace Video {

namespace {

template <typename T>
void ResizeNonNegative(std::vector<T>& items, int count)
{
    items.resize(count > 0 ? static_cast<size_t>(count) : 0u);
}

} // namespace

void CMeshBuffer::Clear()
{
    // clear() keeps the capacity, so a buffer refilled every frame stops allocating.
    m_vertices.clear();
    m_normalVertices.clear();
    m_indices.clear();
    m_texture.Reset();
}

void CMeshBuffer::SetVertexCount(int count)
{
    if (m_type == MESH_BUFFER_TYPE_2D)
        ResizeNonNegative(m_vertices, count);
    else if (m_type == MESH_BUFFER_TYPE_NORMAL)
        ResizeNonNegative(m_normalVertices, count);
}

void CMeshBuffer::SetIndexCount(int count)
{
    ResizeNonNegative(m_indices, count);
}

int CMeshBuffer::GetVertexCount()
{
    if (m_type == MESH_BUFFER_TYPE_2D)
        return static_cast<int>(m_vertices.size());
    if (m_type == MESH_BUFFER_TYPE_NORMAL)
        return static_cast<int>(m_normalVertices.size());
    return 0;
}

int CMeshBuffer::GetIndexCount()
{
    return static_cast<int>(m_indices.size());
}

int CMeshBuffer::GetTriangleCount()
{
    return GetIndexCount() / 3;
}

tagMeshVertex* CMeshBuffer::GetVertices()
{
    return m_vertices.empty() ? nullptr : m_vertices.data();
}

tagMeshNormalVertex* CMeshBuffer::GetNormalVertices()
{
    return m_normalVertices.empty() ? nullptr : m_normalVertices.data();
}

uint16_t* CMeshBuffer::GetIndices()
{
    return m_indices.empty() ? nullptr : m_indices.data();
}

int CMeshBuffer::AddVertex(float x, float y, uint32_t color, float u, float v)
{
    return AddVertex(tagMeshVertex{x, y, 0.0f, color, u, v});
}

int CMeshBuffer::AddVertex(const tagMeshVertex& vertex)
{
    m_vertices.push_back(vertex);
    return static_cast<int>(m_vertices.size()) - 1;
}

int CMeshBuffer::AddNormalVertex(float x, float y, float z, float nx, float ny, float nz,
                                 uint32_t color, float u, float v)
{
    return AddNormalVertex(tagMeshNormalVertex{x, y, z, nx, ny, nz, color, u, v});
}

int CMeshBuffer::AddNormalVertex(const tagMeshNormalVertex& vertex)
{
    m_normalVertices.push_back(vertex);
    return static_cast<int>(m_normalVertices.size()) - 1;
}

void CMeshBuffer::AddTriangle(uint16_t i0, uint16_t i1, uint16_t i2)
{
    m_indices.insert(m_indices.end(), {i0, i1, i2});
}

void CMeshBuffer::AddQuad(uint16_t i0, uint16_t i1, uint16_t i2, uint16_t i3)
{
    m_indices.insert(m_indices.end(), {i0, i1, i2, i1, i3, i2});
}

ITexture* CMeshBuffer::GetTexture()
{
    return m_texture.Get();
}

void CMeshBuffer::SetTexture(ITexture* texture)
{
    m_texture = Common::TIntrusivePointer<ITexture>(texture);
}

void CMeshBuffer::Draw(uint32_t triangleCount)
{
    if (IVideoDriver* driver = IVideoDriver_GetInstance())
        driver->DrawMeshBuffer(this, triangleCount);
}

void CMeshBuffer::Draw()
{
    Draw(static_cast<uint32_t>(GetTriangleCount()));
}

void CMeshBuffer::CopyFrom(IMeshBuffer* other)
{
    // Clearing first would empty the source when it is this buffer.
    if (other == this)
        return;
    Clear();
    if (other == nullptr)
        return;
    SetTexture(other->GetTexture());
    // Only this buffer's own kind of vertex is copied; the other's type may differ.
    int vertexCount = other->GetVertexCount();
    if (m_type == MESH_BUFFER_TYPE_2D && other->GetType() == MESH_BUFFER_TYPE_2D && vertexCount > 0)
        m_vertices.assign(other->GetVertices(), other->GetVertices() + vertexCount);
    else if (m_type == MESH_BUFFER_TYPE_NORMAL && other->GetType() == MESH_BUFFER_TYPE_NORMAL &&
             vertexCount > 0)
        m_normalVertices.assign(other->GetNormalVertices(), other->GetNormalVertices() + vertexCount);
    if (int indexCount = other->GetIndexCount(); indexCount > 0)
        m_indices.assign(other->GetIndices(), other->GetIndices() + indexCount);
}

IMeshBuffer* IMeshBuffer_Create(enmMeshBufferType type)
{
    return new (std::nothrow) CMeshBuffer(type);
}

} // namespace Video
} // namespace RVGameEngine
