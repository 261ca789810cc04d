#include "installer/core/InstallerMainFunctions.h"
#include "installer/core/install/InstallPathFunctions.h"

#include "tests/support/LogCapture.h"

#include <gtest/gtest.h>
#include <windows.h>

TEST(InstallerMainFlow, MissingInstallerPackageIsLoggedAndTheRunEndsCleanly)
{
    SetDriveFreeSpaceQuery([](int32_t drive) { return drive == 2 ? 500 : 0; });
    RVTest::LogCapture log;
    // No install could even be offered: the run did not do what it was started for.
    EXPECT_EQ(RunInstaller(), kInstallNotDoneExitCode);
    EXPECT_EQ(log.CountContaining(L"could not be mounted"), 1);
    EXPECT_EQ(GetFileAttributesW(L"C:\\Program Files\\Wendmoor\\Temp"), INVALID_FILE_ATTRIBUTES);
}
