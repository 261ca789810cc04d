#pragma once

#include "engine/directui/services/IClipboard.h"

namespace RVGameEngine {
namespace DirectUI {

class RV_API CClipboard : public IClipboard
{
public:
    CClipboard() = default;
    CClipboard(const CClipboard&) = delete;
    CClipboard& operator=(const CClipboard&) = delete;

    void SetText(const wchar_t* text) override;
    Common::TIntrusivePointer<Common::IString> GetText() override;
};

} // namespace DirectUI
} // namespace RVGameEngine
