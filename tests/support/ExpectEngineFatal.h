#pragma once

#include "engine/common/base/FatalError.h"

#include <gtest/gtest.h>

// Runs the statement in a child copy of the test executable and expects it to
// stop there through the engine's fatal path (the child's top-level filter
// turns the exception code into the exit code).
#define EXPECT_ENGINE_FATAL(statement)                                                               \
    EXPECT_EXIT(statement, ::testing::ExitedWithCode(static_cast<int>(                             \
                               ::RVGameEngine::Common::kEngineFatalExceptionCode)),               \
                "")
