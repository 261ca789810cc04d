#include "engine/common/base/GdiplusStartup.h"
#include "engine/directui/frame/IFrame.h"
#include "engine/directui/frame/IFrameManager.h"
#include "tests/support/LogCapture.h"

#include <gtest/gtest.h>
#include <windows.h>

using namespace RVGameEngine;
using namespace RVGameEngine::DirectUI;

namespace {

// Runs in a fresh copy of the executable, where the frame class is not yet
// registered; the exit code names the first check that failed.
UINT StartFramesWithoutGdiplus()
{
    Common::SetGdiplusStartupFailureForTesting(true);
    RVTest::LogCapture log;
    if (IFrameManager_GetInstance()->Initialize() == 0)
        return 1;
    if (log.CountContaining(L"GDI+ could not be started") != 1)
        return 2;
    Common::TIntrusivePointer<IFrame> frame = IFrame_Create();
    frame->Create(nullptr, WS_POPUP, 0);
    return frame->GetHandle() != nullptr ? 0 : 3;
}

} // namespace

TEST(FrameManagerStart, TheFrameClassIsRegisteredEvenWhenGdiplusDoesNotStart)
{
    EXPECT_EXIT(ExitProcess(StartFramesWithoutGdiplus()), ::testing::ExitedWithCode(0), "");
}
