#pragma once

#include "engine/common/base/EngineApi.h"
#include "engine/common/base/IReferenceCounted.h"
#include "engine/common/base/TIntrusivePointer.h"

#include <windows.h>

namespace RVGameEngine {
namespace DirectUI {

// A mouse cursor that a frame applies on WM_SETCURSOR.
class RV_API ICursor : public Common::IReferenceCounted
{
public:
    // A cursor file read straight from disk (not through the virtual file
    // system); true when it loaded.
    virtual bool LoadFromFile(const wchar_t* path) = 0;
    // A cursor resource of the module (null instance: a system cursor such
    // as IDC_HAND); true when it loaded.
    virtual bool LoadSystem(HINSTANCE instance, const wchar_t* name) = 0;
    virtual bool LoadSystem2(HINSTANCE instance, const wchar_t* name) = 0;
    virtual HCURSOR GetHandle() = 0;
    virtual void Reserved() = 0;
    // Makes this the current cursor unless it already is.
    virtual void Apply() = 0;
};

RV_API Common::TIntrusivePointer<ICursor> ICursor_Create();

} // namespace DirectUI
} // namespace RVGameEngine
