#pragma once

// The install window's part of the installer's run: build it, run the main
// loop until it has closed, then let go of the frame.
void RunInstallWindow();
