#include "engine/common/startup/EngineStartup.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    RVGameEngine::Common::EngineInitialize(L"Setup");
    return 0;
}
