// Entry point of every test executable.
//
// No test may leave a modal box on screen or hand a crash to the system's
// debugger: both would hang a headless run. Message boxes are recorded
// instead of shown, and an exception that reaches the top of a thread ends
// the process with the exception code as its exit code, which death tests
// check (see ExpectEngineFatal.h).

#include "tests/support/MessageBoxRecorder.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace {

LONG WINAPI ExitWithExceptionCode(EXCEPTION_POINTERS* info)
{
    TerminateProcess(GetCurrentProcess(), info->ExceptionRecord->ExceptionCode);
    return EXCEPTION_EXECUTE_HANDLER;
}

} // namespace

int main(int argc, char** argv)
{
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    SetUnhandledExceptionFilter(ExitWithExceptionCode);
    RVTest::MessageBoxRecorder::Install();
    ::testing::InitGoogleTest(&argc, argv);
    // Windows death tests start a fresh copy of this executable.
    ::testing::FLAGS_gtest_death_test_style = "threadsafe";
    return RUN_ALL_TESTS();
}
