#include "engine/common/base/TIntrusivePointer.h"
#include "engine/video/CTexture.h"
#include "engine/video/IMeshBuffer.h"

#include <gtest/gtest.h>

#include <vector>

using namespace RVGameEngine;
using Common::TIntrusivePointer;
using Video::IMeshBuffer;

namespace {

TIntrusivePointer<IMeshBuffer> MakeBuffer(int type)
{
    return TIntrusivePointer<IMeshBuffer>(Video::IMeshBuffer_Create(static_cast<Video::enmMeshBufferType>(type)));
}

std::vector<uint16_t> IndicesOf(IMeshBuffer& buffer)
{
    return std::vector<uint16_t>(buffer.GetIndices(), buffer.GetIndices() + buffer.GetIndexCount());
}

TEST(MeshBuffer, AppendsVerticesAndQuadsOfItsOwnType)
{
    auto flat = MakeBuffer(Video::MESH_BUFFER_TYPE_2D);
    EXPECT_EQ(0, flat->AddVertex(1.0f, 2.0f, 0xFF00FF00u, 0.25f, 0.5f));
    EXPECT_EQ(1, flat->AddVertex(3.0f, 4.0f, 0u, 0.0f, 0.0f));
    EXPECT_EQ(0.0f, flat->GetVertices()[0].Z);
    flat->AddQuad(0, 1, 2, 3);
    EXPECT_EQ((std::vector<uint16_t>{0, 1, 2, 1, 3, 2}), IndicesOf(*flat));
    flat->AddQuad(4, 5, 6, 7);
    EXPECT_EQ(12, flat->GetIndexCount());
    EXPECT_EQ(4, flat->GetTriangleCount());

    // A vertex of the other kind is stored but neither counted nor drawn.
    flat->AddNormalVertex(0, 0, 0, 0, 0, 1, 0, 0, 0);
    EXPECT_EQ(2, flat->GetVertexCount());
    auto lit = MakeBuffer(Video::MESH_BUFFER_TYPE_NORMAL);
    lit->AddVertex(0, 0, 0, 0, 0);
    EXPECT_EQ(0, lit->AddNormalVertex(0, 0, 0, 0, 0, 1, 0, 0, 0));
    EXPECT_EQ(1, lit->GetVertexCount());
    auto unknown = MakeBuffer(7);
    unknown->AddVertex(0, 0, 0, 0, 0);
    unknown->SetVertexCount(5);
    EXPECT_EQ(0, unknown->GetVertexCount());

    flat->SetVertexCount(-3);
    EXPECT_EQ(0, flat->GetVertexCount());
}

TEST(MeshBuffer, CopyFromTakesTextureVerticesAndIndicesAndNeverEmptiesItself)
{
    TIntrusivePointer<Video::ITexture> texture(new Video::CTexture(L"unused.png"));
    auto source = MakeBuffer(Video::MESH_BUFFER_TYPE_2D);
    for (int i = 0; i < 4; ++i)
        source->AddVertex(float(i), 0.0f, 0u, 0.0f, 0.0f);
    source->AddQuad(0, 1, 2, 3);
    source->SetTexture(texture.Get());
    EXPECT_EQ(2, texture->GetReferenceCount());

    auto copy = MakeBuffer(Video::MESH_BUFFER_TYPE_2D);
    copy->AddVertex(9.0f, 9.0f, 0u, 0.0f, 0.0f);
    copy->CopyFrom(source.Get());
    EXPECT_EQ(4, copy->GetVertexCount());
    EXPECT_EQ(3.0f, copy->GetVertices()[3].X);
    EXPECT_EQ(IndicesOf(*source), IndicesOf(*copy));
    EXPECT_EQ(texture.Get(), copy->GetTexture());
    EXPECT_EQ(3, texture->GetReferenceCount());

    // Copying a buffer onto itself keeps everything.
    source->CopyFrom(source.Get());
    EXPECT_EQ(4, source->GetVertexCount());
    EXPECT_EQ(6, source->GetIndexCount());
    EXPECT_EQ(texture.Get(), source->GetTexture());

    copy->CopyFrom(nullptr);
    EXPECT_EQ(0, copy->GetVertexCount());
    EXPECT_EQ(0, copy->GetIndexCount());
    EXPECT_EQ(nullptr, copy->GetTexture());
    EXPECT_EQ(2, texture->GetReferenceCount());
}

} // namespace
