#pragma once

#include "engine/common/base/TIntrusivePointer.h"
#include "engine/video/CPackedTexture.h"
#include "engine/video/IMeshBuffer.h"
#include "engine/video/ITextureList.h"

#include <vector>

namespace RVGameEngine {
namespace Video {

class CTextureList : public ITextureList
{
public:
    CTextureList();
    virtual ~CTextureList() = default;

    void LoadImageList(const wchar_t* path, uint32_t filter) override;
    void LoadImageList(const wchar_t* path) override;
    bool HasImage(const wchar_t* name) override;
    int FindImage(const wchar_t* name) override;
    void GetImageSize(int index, int& w, int& h) override;
    void DrawImage(int index, int x, int y, int w, int h, int sx, int sy, int sw, int sh, tagColor color) override;
    void DrawImage(int index, int x, int y, int w, int h, int sx, int sy, int sw, int sh) override;
    void DrawImage(int index, int x, int y, int w, int h, tagColor color) override;
    void DrawImage(int index, int x, int y, int w, int h) override;
    void DrawImage(int index, int x, int y, tagColor color) override;
    void DrawImage(int index, int x, int y) override;
    void DrawImageMirrored(int index, int x, int y, int w, int h) override;
    void DrawImageQuad(int index, float x0, float y0, float x1, float y1, float x2, float y2, float x3,
                       float y3) override;
    void DrawImageQuad(int index, float x0, float y0, float x1, float y1, float x2, float y2, float x3, float y3,
                       float sx, float sy, float sw, float sh, tagColor color) override;
    void DrawImage(int index, float x, float y, float w, float h) override;
    void Flush() override;
    int FindImageQuiet(const wchar_t* name) override;

private:
    // The image at the index with its size refreshed, or null when out of range.
    CPackedTexture* ImageAt(int index);
    // Flushes when the batch is full or holds another texture; false when
    // the image cannot be drawn at all.
    bool PrepareBatch(CPackedTexture* image);
    // Every draw ends here: a destination rectangle (or, with corners, four
    // free corners that are not clipped) and a source rectangle in texels.
    void AddToBatch(CPackedTexture& image, float x, float y, float w, float h, float sx, float sy, float sw,
                    float sh, tagColor color);
    void AddQuadToBatch(CPackedTexture& image, const float corners[8], float sx, float sy, float sw, float sh,
                        tagColor color);
    int Find(const wchar_t* name, bool warn);

    std::vector<Common::TIntrusivePointer<CPackedTexture>> m_images;
    Common::TIntrusivePointer<IMeshBuffer> m_batch;
};

} // namespace Video
} // namespace RVGameEngine
