#pragma once

#include <string>

// The install options the installer's window hands to the install worker.
struct tagInstallPaths
{
    // The install folder; the worker replaces it by the default install
    // path when it cannot be created.
    std::wstring path;
    // Kept empty; nothing reads it.
    std::wstring secondPath;
    bool desktopShortcut = false;
    bool startMenuShortcuts = false;
};
