#include "tests/support/FixedLocalTime.h"

namespace RVTest {

namespace {

SYSTEMTIME g_fixedTime{};

void ReadFixedTime(SYSTEMTIME* now)
{
    *now = g_fixedTime;
}

} // namespace

FixedLocalTime::FixedLocalTime(const SYSTEMTIME& time)
{
    g_fixedTime = time;
    m_previous = RVGameEngine::Common::SetLocalTimeSource(ReadFixedTime);
}

FixedLocalTime::~FixedLocalTime()
{
    RVGameEngine::Common::SetLocalTimeSource(m_previous);
}

void FixedLocalTime::Set(const SYSTEMTIME& time)
{
    g_fixedTime = time;
}

} // namespace RVTest
