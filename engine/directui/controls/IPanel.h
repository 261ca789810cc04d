#pragma once

// The panel's interface is part of the window vocabulary, which hit testing
// uses; this name stays for the controls that include it from here.
#include "engine/directui/uisystem/IPanel.h"
