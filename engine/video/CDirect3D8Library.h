#pragma once

#include "engine/common/base/ComPointer.h"
#include "engine/common/base/EngineApi.h"
#include "engine/common/base/TScopedHandle.h"

#include <d3d8.h>

namespace RVGameEngine {
namespace Video {

// The Direct3D 8 runtime, loaded only when a program uses it. The object
// must outlive every Direct3D object made through it: its destruction
// unloads the runtime.
class RV_API CDirect3D8Library
{
public:
    CDirect3D8Library() = default;
    CDirect3D8Library(const CDirect3D8Library&) = delete;
    CDirect3D8Library& operator=(const CDirect3D8Library&) = delete;

    // Loads "D3D8.DLL" (once) and makes a Direct3D object for SDK version
    // 220. False, with a log line, when the library or its entry point is
    // missing or the runtime gives no object (no display, for one).
    bool CreateDirect3D(Common::TComPointer<IDirect3D8>& direct3D);

private:
    Common::CScopedModule m_module;
};

} // namespace Video
} // namespace RVGameEngine
