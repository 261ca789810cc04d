#include "installer/ui/InstallerWindowFunctions.h"

#include "installer/ui/AddressOptionFunctions.h"
#include "installer/ui/CInstallScene.h"

void RunInstallWindow()
{
    CInstallScene* scene = CInstallScene::GetInstance();
    if (scene == nullptr)
        return;
    ApplyHandedUrlList();
    scene->Create();
    scene->RunMessageLoop();
    scene->ReleaseCursorHelper();
}
