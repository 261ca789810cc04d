#pragma once

#include "engine/common/base/EngineApi.h"
#include "engine/video/tagColor.h"

#include <cstdint>

namespace RVGameEngine {
namespace Video {

// The process-wide catalogue of named images, loaded from "ImageList" XML
// files: each image is a texture file, or a rectangle of one (an atlas).
// Images are found by name and drawn by index; an index out of range makes
// every index operation do nothing. Draws of images of one texture in a row
// go out as one draw call when the batch is flushed (by a texture change, a
// full batch, or Flush, which the caller calls at the end of its drawing).
class RV_API ITextureList
{
public:
    // filter: the texture filter mode of textures first made for this list.
    virtual void LoadImageList(const wchar_t* path, uint32_t filter) = 0;
    virtual void LoadImageList(const wchar_t* path) = 0;
    // Exact, case-sensitive name.
    virtual bool HasImage(const wchar_t* name) = 0;
    // Ignoring case, also after the file system's name replacement; -1 and
    // the warning "Image %s not found!" when there is none.
    virtual int FindImage(const wchar_t* name) = 0;
    virtual void GetImageSize(int index, int& w, int& h) = 0;
    // Source rectangles relative to the image's own rectangle.
    virtual void DrawImage(int index, int x, int y, int w, int h, int sx, int sy, int sw, int sh,
                           tagColor color) = 0;
    virtual void DrawImage(int index, int x, int y, int w, int h, int sx, int sy, int sw, int sh) = 0;
    virtual void DrawImage(int index, int x, int y, int w, int h, tagColor color) = 0;
    virtual void DrawImage(int index, int x, int y, int w, int h) = 0;
    virtual void DrawImage(int index, int x, int y, tagColor color) = 0;
    virtual void DrawImage(int index, int x, int y) = 0;
    // Mirrored left to right.
    virtual void DrawImageMirrored(int index, int x, int y, int w, int h) = 0;
    // Corners top-left, top-right, bottom-left, bottom-right.
    virtual void DrawImageQuad(int index, float x0, float y0, float x1, float y1, float x2, float y2, float x3,
                               float y3) = 0;
    // Here the source rectangle is in texture pixels.
    virtual void DrawImageQuad(int index, float x0, float y0, float x1, float y1, float x2, float y2, float x3,
                               float y3, float sx, float sy, float sw, float sh, tagColor color) = 0;
    virtual void DrawImage(int index, float x, float y, float w, float h) = 0;
    virtual void Flush() = 0;
    // FindImage without the warning.
    virtual int FindImageQuiet(const wchar_t* name) = 0;

    // The UI toolkit's name for HasImage: whether an image of exactly that
    // name has been loaded.
    bool IsImageListLoaded(const wchar_t* name) { return HasImage(name); }

protected:
    ~ITextureList() = default;
};

// The list, made on first use and kept until the process ends.
RV_API ITextureList* ITextureList_GetInstance();

} // namespace Video
} // namespace RVGameEngine
