#include "tests/engine/directui/controls/ControlTestSupport.h"

#include "engine/directui/controls/IDialog.h"

using namespace ControlTest;

TEST(Dialog, DragsByItsAreaAndStaysInsideItsBounds)
{
    struct Row
    {
        const char* name;
        const wchar_t* attributes;
        int width;
        int pressX, pressY, moveX, moveY;
        int endX, endY;
    };
    const Row rows[] = {
        {"free", L"Movable=\"true\"", 300, 150, 150, 170, 140, 120, 90},
        {"not movable", L"", 300, 150, 150, 170, 140, 100, 100},
        {"far right and down", L"Movable=\"true\" BoundingX=\"0\" BoundingW=\"800\" BoundingH=\"600\"", 300, 150, 150,
         5000, 5000, 500, 400},
        {"far left and up", L"Movable=\"true\" BoundingX=\"0\" BoundingW=\"800\" BoundingH=\"600\"", 300, 150, 150,
         -5000, -5000, 0, 0},
        {"wider than the bounds", L"Movable=\"true\" BoundingX=\"0\" BoundingW=\"800\" BoundingH=\"600\"", 900, 150,
         150, 300, 150, 0, 100},
        {"bounding Y alone does nothing", L"Movable=\"true\" BoundingY=\"0\" BoundingW=\"10\" BoundingH=\"10\"", 300,
         150, 150, 170, 140, 120, 90},
        {"outside the drag bar", L"Movable=\"true\" DragBarX=\"0\" DragBarW=\"300\" DragBarH=\"20\"", 300, 150, 200,
         170, 140, 100, 100},
        {"on the drag bar's far corner", L"Movable=\"true\" DragBarX=\"0\" DragBarW=\"300\" DragBarH=\"20\"", 300, 400,
         120, 420, 130, 120, 110},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        RecordedUI ui;
        IUIWindow* behind = ui.Add(ui.Root(), L"behind", 0, 0, 400, 300);
        EventLog log;
        log.Watch(behind, {WINDOW_EVENT_LBUTTON_DOWN});
        ui.Load((std::wstring(L"<Dialog Name=\"d\" X=\"100\" Y=\"100\" Width=\"") + std::to_wstring(row.width) +
                 L"\" Height=\"200\" " + row.attributes + L"/>")
                    .c_str());
        IDialog* dialog = Find<IDialog>(ui.ui.Get(), L"d");
        ASSERT_NE(dialog, nullptr);
        ui.driver->RaiseLButtonDown(row.pressX, row.pressY);
        ui.driver->RaiseMouseMove(row.moveX, row.moveY);
        ui.driver->RaiseLButtonUp(row.moveX, row.moveY);
        EXPECT_EQ(dialog->GetX(), row.endX);
        EXPECT_EQ(dialog->GetY(), row.endY);
        // Presses on a dialog never reach the window behind it.
        EXPECT_TRUE(log.lines.empty());
        // The drag has ended.
        ui.driver->RaiseMouseMove(0, 0);
        EXPECT_EQ(dialog->GetX(), row.endX);
    }
}

TEST(Dialog, HidingEndsTheDragAndAReleaseOffTheAreaIsLeftToOthers)
{
    RecordedUI ui;
    ui.Load(L"<Dialog Name=\"d\" X=\"100\" Y=\"100\" Width=\"100\" Height=\"100\" Movable=\"true\"/>");
    IDialog* dialog = Find<IDialog>(ui.ui.Get(), L"d");
    CUIWindow* window = Window(dialog);
    bool untaken = true;
    window->OnLButtonDown(150, 150, &untaken);
    EXPECT_FALSE(untaken);
    EXPECT_EQ(ui.ui->GetCaptureWindow(), dialog);
    untaken = true;
    window->OnMouseMove(160, 150, &untaken);
    EXPECT_TRUE(untaken);
    EXPECT_EQ(dialog->GetX(), 110);
    // Released off the dialog: the drag ends but the release is not taken.
    untaken = true;
    window->OnLButtonUp(300, 300, &untaken);
    EXPECT_TRUE(untaken);
    EXPECT_EQ(ui.ui->GetCaptureWindow(), nullptr);

    window->OnLButtonDown(150, 150, &untaken);
    dialog->Hide();
    dialog->Show();
    window->OnMouseMove(190, 190, &untaken);
    EXPECT_EQ(dialog->GetX(), 110);
    EXPECT_EQ(dialog->GetY(), 100);
}
