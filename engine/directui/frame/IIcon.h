#pragma once

#include "engine/common/base/EngineApi.h"
#include "engine/common/base/IReferenceCounted.h"
#include "engine/common/base/TIntrusivePointer.h"

#include <windows.h>

namespace RVGameEngine {
namespace DirectUI {

// An icon for a frame's window (large or small).
class RV_API IIcon : public Common::IReferenceCounted
{
public:
    // Loads the icon file through the virtual file system (its file-name
    // replacement, then the mounted packed archives, then the disk), in the
    // system's default icon size. A failure leaves no icon.
    virtual void Load(const wchar_t* path) = 0;
    virtual HICON GetHandle() = 0;
    virtual void Reserved() = 0;
};

RV_API Common::TIntrusivePointer<IIcon> IIcon_Create();

} // namespace DirectUI
} // namespace RVGameEngine
