#include "installer/ui/CCursorHelper.h"

#include "engine/directui/controls/IButton.h"
#include "engine/directui/controls/ICheckBox.h"
#include "engine/directui/controls/IEditBox.h"
#include "engine/directui/controls/IHScrollBar.h"
#include "engine/directui/controls/IHotKeyBox.h"
#include "engine/directui/controls/IListView.h"
#include "engine/directui/controls/IMultilineEditBox.h"
#include "engine/directui/controls/IScrollBar.h"
#include "engine/directui/controls/ITrackBar.h"
#include "engine/directui/uisystem/IUISystem.h"

#include <cwchar>

using namespace RVGameEngine::DirectUI;
using RVGameEngine::Common::TIntrusivePointer;

namespace {

constexpr const wchar_t* kNoCursorTag = L"NotSetCursor";

template <typename Interface>
bool Is(IUIWindow* window)
{
    return dynamic_cast<Interface*>(window) != nullptr;
}

TIntrusivePointer<ICursor> SystemCursor(const wchar_t* name)
{
    TIntrusivePointer<ICursor> cursor = ICursor_Create();
    if (cursor)
        cursor->LoadSystem(nullptr, name);
    return cursor;
}

} // namespace

CCursorHelper* CCursorHelper::GetInstance()
{
    static CCursorHelper helper;
    return &helper;
}

CCursorHelper::CCursorHelper() : m_handCursor(SystemCursor(IDC_HAND)), m_beamCursor(SystemCursor(IDC_IBEAM)) {}

CCursorHelper::~CCursorHelper() = default;

void CCursorHelper::AttachFrame(const TIntrusivePointer<IFrame>& frame)
{
    DetachFrame(frame);
    if (frame)
        frame->AddMemberFunctionDelegate(FRAME_EVENT_SET_CURSOR, this, &CCursorHelper::ApplyToControls);
}

void CCursorHelper::DetachFrame(const TIntrusivePointer<IFrame>& frame)
{
    if (frame)
        frame->RemoveObjectDelegates(this);
}

void CCursorHelper::ApplyToControls(void* sender, RVGameEngine::Common::tagEventArgs* args)
{
    IFrame* frame = static_cast<IFrame*>(sender);
    auto* record = static_cast<tagFrameSetCursorEventArgs*>(args);
    if (frame == nullptr || record == nullptr || !frame->IsEnabled() || frame->GetUISystem() == nullptr)
        return;
    // Held for this event only: a window kept after it would keep a closed
    // dialog's controls, pictures and driver alive until the process ends.
    const TIntrusivePointer<IUIWindow> held(frame->GetUISystem()->WindowFromPoint(record->x, record->y));
    IUIWindow* window = held.Get();
    if (window == nullptr || !window->IsEnabled() || std::wcscmp(window->GetTag2(), kNoCursorTag) == 0)
        return;
    ICursor* cursor = CursorFor(window, record->x, record->y);
    if (cursor == nullptr)
        return;
    record->handled = true;
    record->cursor = TIntrusivePointer<ICursor>(cursor);
}

ICursor* CCursorHelper::CursorFor(IUIWindow* window, int32_t x, int32_t y)
{
    if (Is<IButton>(window) || Is<ICheckBox>(window))
        return m_handCursor.Get();
    if (Is<IEditBox>(window) || Is<IMultilineEditBox>(window) || Is<IHotKeyBox>(window))
        return m_beamCursor.Get();
    if (Is<IScrollBar>(window) || Is<IHScrollBar>(window) || Is<ITrackBar>(window))
        return m_handCursor.Get();
    if (auto* list = dynamic_cast<IListView*>(window)) {
        int32_t row = -1;
        list->HitTestRow(x, y, &row);
        return row != -1 ? m_handCursor.Get() : nullptr;
    }
    return nullptr;
}
