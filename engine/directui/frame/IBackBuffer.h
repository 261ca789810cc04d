#pragma once

#include "engine/common/base/EngineApi.h"
#include "engine/common/base/IReferenceCounted.h"
#include "engine/common/base/TIntrusivePointer.h"

#include <windows.h>

namespace RVGameEngine {
namespace DirectUI {

// A frame's off-screen 32-bit image: the whole UI is drawn into its memory
// device context, which is then copied to the window.
class RV_API IBackBuffer : public Common::IReferenceCounted
{
public:
    // Replaces the image by a new one of the given size. A size of 0 or less
    // keeps a device context without an image, on which drawing does nothing.
    virtual void Create(int width, int height) = 0;
    virtual void Destroy() = 0;
    // Null before Create.
    virtual HDC GetDC() = 0;
    virtual void BitBlt(HDC target, int x, int y, int width, int height) = 0;
    virtual void BitBlt(HDC target) = 0;
};

RV_API Common::TIntrusivePointer<IBackBuffer> IBackBuffer_Create();

} // namespace DirectUI
} // namespace RVGameEngine
