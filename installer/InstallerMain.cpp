#include "installer/core/InstallerMainFunctions.h"
#include "installer/ui/AddressOptionFunctions.h"
#include "installer/ui/InstallerWindowFunctions.h"

#include "engine/common/startup/EngineStartup.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    RVGameEngine::Common::EngineInitialize(kInstallerModuleName);
    ReadAddressOptions();
    return RunInstaller(RunInstallWindow);
}
