#include "installer/ui/InstallerWindowFunctions.h"

#include "installer/ui/CInstallScene.h"

void RunInstallWindow()
{
    CInstallScene* scene = CInstallScene::GetInstance();
    if (scene == nullptr)
        return;
    scene->Create();
    scene->RunMessageLoop();
    scene->ReleaseCursorHelper();
}
