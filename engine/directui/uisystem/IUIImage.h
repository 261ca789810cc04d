#pragma once

#include "engine/common/base/EngineApi.h"
#include "engine/common/base/IReferenceCounted.h"
#include "engine/directui/uisystem/tagColor.h"

#include <cstdint>

namespace RVGameEngine {
namespace DirectUI {

class IUISystemDriver;

// A picture drawn through a UI-system driver: shared decoded data of one file,
// an optional source rectangle and an optional nine-part stretch.
class RV_API IUIImage : public Common::IReferenceCounted
{
public:
    ~IUIImage() override = default;

    // Takes the file's shared data through the driver; true when the image
    // has data (also for a name that is no file: that shows as size 0).
    virtual bool Load(const wchar_t* path) = 0;
    // Drops the image data.
    virtual void ReleaseData() = 0;
    virtual void SetSubRect(bool enable, int32_t x, int32_t y, int32_t width, int32_t height) = 0;
    virtual void SetNineGrid(bool enable, int32_t borderWidth, int32_t borderHeight) = 0;
    // The decoded picture's size (decoding on first use); 0 without a picture.
    virtual int32_t GetImageWidth() = 0;
    virtual int32_t GetImageHeight() = 0;
    // The source rectangle's size when one is set, else the picture's.
    virtual int32_t GetWidth() = 0;
    virtual int32_t GetHeight() = 0;
    // At natural size through another driver, untinted.
    virtual void DrawTo(IUISystemDriver* driver, int32_t x, int32_t y) = 0;
    // Unscaled: as much of the source as the destination holds.
    virtual void DrawCropped(int32_t x, int32_t y, int32_t width, int32_t height, tagColor color) = 0;
    virtual void Draw(int32_t x, int32_t y, tagColor color) = 0;
    // Scaled into the destination, nine-part when that is set.
    virtual void DrawStretched(int32_t x, int32_t y, int32_t width, int32_t height, tagColor color) = 0;
    // The source part given relative to the source rectangle's origin.
    virtual void DrawPart(int32_t x, int32_t y, int32_t width, int32_t height, int32_t srcX, int32_t srcY,
                          int32_t srcWidth, int32_t srcHeight, tagColor color) = 0;
    virtual void NotifyDriver() = 0;
    // The offset at which a description asks the picture to be placed; kept
    // for the controls that place pictures themselves.
    virtual void SetDrawPoint(bool enable, int32_t x, int32_t y) = 0;
};

// Null when the engine heap is exhausted.
RV_API IUIImage* IImage_Create(IUISystemDriver* driver);

} // namespace DirectUI
} // namespace RVGameEngine
