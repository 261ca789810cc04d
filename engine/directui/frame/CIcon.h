#pragma once

#include "engine/common/base/TScopedHandle.h"
#include "engine/directui/frame/IIcon.h"

namespace RVGameEngine {
namespace DirectUI {

class CIcon : public IIcon
{
public:
    void Load(const wchar_t* path) override;
    HICON GetHandle() override;
    void Reserved() override;

private:
    Common::CScopedIcon m_icon;
};

} // namespace DirectUI
} // namespace RVGameEngine
