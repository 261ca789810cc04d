#pragma once

#include "engine/common/base/LocalClock.h"

namespace RVTest {

// Puts a fixed local time in place of the system clock for its lifetime.
class FixedLocalTime
{
public:
    explicit FixedLocalTime(const SYSTEMTIME& time);
    ~FixedLocalTime();
    FixedLocalTime(const FixedLocalTime&) = delete;
    FixedLocalTime& operator=(const FixedLocalTime&) = delete;

    static void Set(const SYSTEMTIME& time);

private:
    RVGameEngine::Common::LocalTimeSource m_previous;
};

} // namespace RVTest
