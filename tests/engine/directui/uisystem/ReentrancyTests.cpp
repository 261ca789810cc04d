#include "tests/engine/directui/uisystem/UITestSupport.h"

#include <functional>

using namespace UITest;

namespace {

// Runs a test-chosen action from a window event, once or every time.
struct Reaction
{
    std::function<void(IUIWindow*)> action;
    bool once = false;
    int calls = 0;
    void On(void* sender, tagEventArgs*)
    {
        ++calls;
        if (once && calls > 1)
            return;
        action(static_cast<IUIWindow*>(sender));
    }
};

// Counts its own end, so a test sees whether a removed subtree was freed.
class CountedWindow : public FocusableWindow
{
public:
    explicit CountedWindow(int* ends) : m_ends(ends) {}
    ~CountedWindow() override { ++*m_ends; }

private:
    int* m_ends;
};

// Counts the calls of its own mouse handlers, as a control's overrides would see them.
class HandlerCounter : public CUIWindow
{
public:
    int calls = 0;
    void OnLButtonDown(int32_t x, int32_t y, bool* go) override { Count(&CUIWindow::OnLButtonDown, x, y, go); }
    void OnLButtonUp(int32_t x, int32_t y, bool* go) override { Count(&CUIWindow::OnLButtonUp, x, y, go); }
    void OnRButtonDown(int32_t x, int32_t y, bool* go) override { Count(&CUIWindow::OnRButtonDown, x, y, go); }
    void OnMouseMove(int32_t x, int32_t y, bool* go) override { Count(&CUIWindow::OnMouseMove, x, y, go); }

private:
    void Count(void (CUIWindow::*base)(int32_t, int32_t, bool*), int32_t x, int32_t y, bool* go)
    {
        ++calls;
        (this->*base)(x, y, go);
    }
};

IUIWindow* AddFocusable(IUIWindow* parent, const wchar_t* name)
{
    TIntrusivePointer<IUIWindow> window(new FocusableWindow());
    window->SetName(name);
    parent->AddChild(window.Get());
    window->SetRect(0, 0, 50, 50);
    return window.Get();
}

} // namespace

// Focus moves from "a" to "b" while a's focus-lost handler edits the tree or
// the focus; the handler must not run again and one window ends up focused.
TEST(FocusReentrancy, AFocusLostHandlerThatEditsTheFocusOrTheTreeRunsOnce)
{
    struct Row
    {
        const char* what;
        std::function<void(RecordedUI&, IUIWindow* a, IUIWindow* b, IUIWindow* c)> onBlur;
        const char* focused;
        Lines log;
    };
    const Row rows[] = {
        {"removes its own window", [](RecordedUI& ui, IUIWindow* a, IUIWindow*, IUIWindow*) { ui.Root()->RemoveWindow(a); },
         "b", {"a focus", "a blur", "b focus"}},
        {"moves the focus on", [](RecordedUI& ui, IUIWindow*, IUIWindow*, IUIWindow* c) { ui.ui->SetFocus(c); },
         "c", {"a focus", "a blur", "b blur", "c focus"}},
        {"removes the window taking the focus",
         [](RecordedUI& ui, IUIWindow*, IUIWindow* b, IUIWindow*) { ui.Root()->RemoveWindow(b); }, "", {"a focus", "a blur"}},
        {"takes the focus away", [](RecordedUI& ui, IUIWindow*, IUIWindow*, IUIWindow*) { ui.ui->SetFocus(nullptr); },
         "", {"a focus", "a blur", "b blur"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        RecordedUI ui;
        EventLog log;
        IUIWindow* a = AddFocusable(ui.Root(), L"a");
        IUIWindow* b = AddFocusable(ui.Root(), L"b");
        IUIWindow* c = AddFocusable(ui.Root(), L"c");
        for (IUIWindow* window : {a, b, c})
            log.Watch(window, {WINDOW_EVENT_FOCUS_GAINED, WINDOW_EVENT_FOCUS_LOST});
        Reaction reaction{[&](IUIWindow*) { row.onBlur(ui, a, b, c); }};
        a->AddMemberFunctionDelegate(WINDOW_EVENT_FOCUS_LOST, &reaction, &Reaction::On);
        ui.ui->SetFocus(a);
        ui.ui->SetFocus(b);
        EXPECT_EQ(reaction.calls, 1);
        IUIWindow* focused = ui.ui->GetFocusWindow();
        EXPECT_EQ(focused != nullptr ? std::string(focused->GetName(), focused->GetName() + wcslen(focused->GetName()))
                                     : std::string(),
                  row.focused);
        EXPECT_EQ(log.lines, row.log);
    }
}

// A focus-lost handler that drops the last reference to the UI system while
// the system is still moving the focus.
TEST(FocusReentrancy, AFocusLostHandlerMayDropTheLastReferenceToItsUISystem)
{
    TIntrusivePointer<RecordingDriver> driver(new RecordingDriver());
    TIntrusivePointer<IUISystem> system(IUISystem_Create(driver.Get()));
    system->Initialize();
    TIntrusivePointer<IUIWindow> a(new FocusableWindow()), b(new FocusableWindow());
    system->GetRootWindow()->AddChild(a.Get());
    system->GetRootWindow()->AddChild(b.Get());
    system->SetFocus(a.Get());
    Reaction drop{[&](IUIWindow*) { system.Reset(); }, true};
    a->AddMemberFunctionDelegate(WINDOW_EVENT_FOCUS_LOST, &drop, &Reaction::On);
    system->SetFocus(b.Get());
    EXPECT_TRUE(system.IsNull());
    EXPECT_EQ(b->GetUISystem(), nullptr);
}

// Tree a > b > c, each filling the root; a paint handler removes one of them.
TEST(PaintReentrancy, TheClipStackStaysBalancedWhenAPaintHandlerRemovesAnAncestor)
{
    const struct
    {
        const char* painted;
        const char* removed;
    } rows[] = {{"c", "a"}, {"c", "b"}, {"c", "c"}, {"b", "a"}, {"a", "a"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.painted) + " removes " + row.removed);
        RecordedUI ui;
        IUIWindow* a = ui.Add(ui.Root(), L"a", 0, 0, 100, 100);
        IUIWindow* b = ui.Add(a, L"b", 0, 0, 100, 100);
        IUIWindow* c = ui.Add(b, L"c", 0, 0, 100, 100);
        auto named = [&](const char* name) { return name[0] == 'a' ? a : name[0] == 'b' ? b : c; };
        IUIWindow* removed = named(row.removed);
        Reaction remove{[&](IUIWindow*) { ui.Root()->RemoveWindow(removed); }, true};
        named(row.painted)->AddMemberFunctionDelegate(WINDOW_EVENT_PAINT, &remove, &Reaction::On);
        TIntrusivePointer<IUIWindow> keep(a);
        ui.driver->RaisePaint();
        EXPECT_EQ(ui.System()->GetClipDepth(), 0u);
        const auto lastClip = std::find_if(ui.driver->calls.rbegin(), ui.driver->calls.rend(), [](const std::string& call) {
            return call.compare(0, 4, "clip") == 0 || call == "noclip";
        });
        ASSERT_NE(lastClip, ui.driver->calls.rend());
        EXPECT_EQ(*lastClip, "noclip");
        // The next paint starts without a clip left over.
        ui.Add(ui.Root(), L"d", 90, 90, 40, 40);
        ui.driver->calls.clear();
        ui.driver->RaisePaint();
        const Lines clips = ui.driver->Starting("clip");
        EXPECT_NE(std::find(clips.begin(), clips.end(), "clip 90,90,40,40"), clips.end());
    }
}

TEST(RoutingReentrancy, AWindowRemovedByItsOwnHandlerTakesNoMoreOfThatInput)
{
    const struct
    {
        int event;
        void (IUISystemDriver::*raise)(int32_t, int32_t);
        const char* logged;
    } rows[] = {{WINDOW_EVENT_LBUTTON_DOWN, &IUISystemDriver::RaiseLButtonDown, "lower down"},
                {WINDOW_EVENT_LBUTTON_UP, &IUISystemDriver::RaiseLButtonUp, "lower up"},
                {WINDOW_EVENT_RBUTTON_DOWN, &IUISystemDriver::RaiseRButtonDown, "lower rdown"},
                {WINDOW_EVENT_MOUSE_MOVE, &IUISystemDriver::RaiseMouseMove, "lower move"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.logged);
        RecordedUI ui;
        EventLog log;
        log.Watch(ui.Add(ui.Root(), L"lower", 0, 0, 50, 50), {row.event});
        TIntrusivePointer<HandlerCounter> upper(new HandlerCounter());
        ui.Root()->AddChild(upper.Get());
        upper->SetRect(0, 0, 50, 50);
        Reaction remove{[&](IUIWindow* sender) { ui.Root()->RemoveWindow(sender); }};
        upper->AddMemberFunctionDelegate(row.event, &remove, &Reaction::On);
        (ui.driver.Get()->*row.raise)(10, 10);
        EXPECT_EQ(remove.calls, 1);
        EXPECT_EQ(upper->calls, 0);
        EXPECT_EQ(log.lines, Lines{row.logged});
    }
}

TEST(TreeEdits, AWindowWithAParentMovesToItsNewParent)
{
    RecordedUI ui;
    EventLog log;
    IUIWindow* left = ui.Add(ui.Root(), L"left", 0, 0, 50, 50);
    IUIWindow* right = ui.Add(ui.Root(), L"right", 100, 0, 50, 50);
    IUIWindow* moved = ui.Add(left, L"moved", 0, 0, 20, 20);
    log.Watch(moved, {WINDOW_EVENT_LBUTTON_DOWN});
    right->AddChild(moved);
    EXPECT_EQ(left->GetChildCount(), 0);
    EXPECT_EQ(right->GetChildCount(), 1);
    EXPECT_EQ(moved->GetParent(), right);
    EXPECT_EQ(ui.Root()->FindWindow(L"moved"), moved);
    ui.driver->RaiseLButtonDown(10, 10);
    ui.driver->RaiseLButtonDown(110, 10);
    EXPECT_EQ(log.lines, Lines{"moved down"});
    // Moved between UI systems, it leaves the old one's registry.
    RecordedUI other;
    other.Root()->AddChild(moved);
    EXPECT_EQ(right->GetChildCount(), 0);
    EXPECT_EQ(ui.Root()->FindWindow(L"moved"), nullptr);
    EXPECT_EQ(other.Root()->FindWindow(L"moved"), moved);
    EXPECT_EQ(moved->GetUISystem(), other.ui.Get());
}

// Hover windows and wheel targets that point into or out of a removed
// subtree must not keep it alive once its owners let go.
TEST(TreeEdits, ARemovedSubtreeIsFreedWhateverItsHoverAndWheelReferencesHold)
{
    const struct
    {
        const char* what;
        bool childWheelsParent, parentHoversChild, childHoversParent, otherWheelsChild;
    } rows[] = {
        {"child passes the wheel to its parent", true, false, false, false},
        {"parent shows the child on hover, child the parent", false, true, true, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        RecordedUI ui;
        int ends = 0;
        TIntrusivePointer<IUIWindow> outside(new CUIWindow());
        ui.Root()->AddChild(outside.Get());
        {
            TIntrusivePointer<IUIWindow> parent(new CountedWindow(&ends)), child(new CountedWindow(&ends));
            ui.Root()->AddChild(parent.Get());
            parent->AddChild(child.Get());
            if (row.childWheelsParent)
                child->SetWheelTarget(parent.Get());
            if (row.parentHoversChild)
                parent->SetHoverWindow(child.Get());
            if (row.childHoversParent)
                child->SetHoverWindow(parent.Get());
            if (row.otherWheelsChild)
                outside->SetWheelTarget(child.Get());
            ui.Root()->RemoveWindow(parent.Get());
        }
        if (row.otherWheelsChild)
            outside->SetWheelTarget(nullptr);
        EXPECT_EQ(ends, 2);
    }
}
