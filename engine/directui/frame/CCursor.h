#pragma once

#include "engine/common/base/TScopedHandle.h"
#include "engine/directui/frame/ICursor.h"

namespace RVGameEngine {
namespace DirectUI {

class CCursor : public ICursor
{
public:
    bool LoadFromFile(const wchar_t* path) override;
    bool LoadSystem(HINSTANCE instance, const wchar_t* name) override;
    bool LoadSystem2(HINSTANCE instance, const wchar_t* name) override;
    HCURSOR GetHandle() override;
    void Reserved() override;
    void Apply() override;

private:
    void Keep(HCURSOR cursor, bool shared);

    Common::CScopedCursor m_cursor;
};

} // namespace DirectUI
} // namespace RVGameEngine
