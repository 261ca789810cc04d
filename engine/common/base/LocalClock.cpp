#include "engine/common/base/LocalClock.h"

#include <atomic>

namespace RVGameEngine {
namespace Common {

namespace {
std::atomic<LocalTimeSource> g_localTimeSource{nullptr};
}

LocalTimeSource SetLocalTimeSource(LocalTimeSource source)
{
    return g_localTimeSource.exchange(source);
}

void GetEngineLocalTime(SYSTEMTIME* now)
{
    if (now == nullptr)
        return;
    if (LocalTimeSource source = g_localTimeSource.load())
        source(now);
    else
        GetLocalTime(now);
}

} // namespace Common
} // namespace RVGameEngine
