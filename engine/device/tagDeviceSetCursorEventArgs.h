#pragma once

#include "engine/common/base/EngineApi.h"
#include "engine/common/base/EventArgs.h"
#include "engine/common/base/TIntrusivePointer.h"
#include "engine/device/IDeviceCursor.h"

#include <cstdint>

namespace RVGameEngine {
namespace Device {

// The window asks which cursor to show at (X, Y), in client coordinates. A
// handler that answers sets Handled and puts the cursor in Cursor; an empty
// Cursor then hides the cursor.
struct RV_API tagDeviceSetCursorEventArgs : public Common::tagEventArgs
{
    int32_t X = 0;
    int32_t Y = 0;
    bool Handled = false;
    Common::TIntrusivePointer<IDeviceCursor> Cursor;
};

} // namespace Device
} // namespace RVGameEngine
