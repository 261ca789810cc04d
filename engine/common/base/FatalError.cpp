#include "engine/common/base/FatalError.h"

#include <windows.h>

namespace RVGameEngine {
namespace Common {

void EngineFatalError(const char* reason)
{
    const ULONG_PTR parameter = reinterpret_cast<ULONG_PTR>(reason);
    RaiseException(kEngineFatalExceptionCode, EXCEPTION_NONCONTINUABLE, 1, &parameter);
    // A non-continuable exception never returns; should a debugger force it to,
    // the process still must not go on.
    TerminateProcess(GetCurrentProcess(), kEngineFatalExceptionCode);
    for (;;) {
    }
}

} // namespace Common
} // namespace RVGameEngine
