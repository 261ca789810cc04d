#pragma once

#include "engine/directui/IFrameManager.h"

namespace RVGameEngine {
namespace DirectUI {

class CFrameManager : public IFrameManager
{
public:
    static constexpr const wchar_t* kFrameClassName = L"RVFRAME";

    ATOM Initialize() override;

    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};

} // namespace DirectUI
} // namespace RVGameEngine
