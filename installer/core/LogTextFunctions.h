#pragma once

// The engine keeps the one rule for outside text in log lines.
#include "engine/common/base/LogTextFunctions.h"

using RVGameEngine::Common::LoggableText;
