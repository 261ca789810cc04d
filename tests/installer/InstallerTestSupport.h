#pragma once

#include "installer/core/extraction/PackedResourceFunctions.h"
#include "installer/core/install/CInstallProgress.h"

#include "engine/common/base/IStream.h"
#include "engine/common/base/TIntrusivePointer.h"
#include "engine/common/base/TScopedHandle.h"
#include "engine/common/system/ShellFunctions.h"
#include "tests/support/TempFolder.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace InstallerTests {

using EngineStream = RVGameEngine::Common::IStream;
using StreamPointer = RVGameEngine::Common::TIntrusivePointer<EngineStream>;

inline std::wstring ProgramFolder()
{
    return RVGameEngine::Common::GetProgramDir()->GetUtf16();
}

inline StreamPointer StreamOf(const std::string& bytes)
{
    StreamPointer stream(RVGameEngine::Common::IStream_Create(static_cast<int32_t>(bytes.size())));
    if (!bytes.empty())
        memcpy(stream->GetData(), bytes.data(), bytes.size());
    return stream;
}

inline std::string BytesOf(EngineStream* stream)
{
    return std::string(reinterpret_cast<const char*>(stream->GetData()), static_cast<size_t>(stream->GetSize()));
}

// A file made by the packing tool for these tests.
inline std::string Fixture(const std::wstring& name)
{
    return RVTest::ReadWholeFile(ProgramFolder() + L"installer_fixtures\\" + name);
}

inline bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Unpacks an embedded package into a folder, as the installer does.
inline bool ExtractPackageInto(const wchar_t* package, const std::wstring& folder)
{
    RVTest::ScopedCurrentFolder inside(folder);
    StreamPointer archive = LoadPackageArchive(package);
    return archive && CInstallProgress::GetInstance()->ExtractPackedArchive(archive);
}

// A running copy of the stand-in game program under another name; ended
// (if still running) when it goes.
class StandInProcess
{
public:
    StandInProcess(const std::wstring& folder, const std::wstring& fileName, const std::wstring& options)
    {
        const std::wstring path = folder + L"\\" + fileName;
        CopyFileW((ProgramFolder() + L"installer_test_standin.exe").c_str(), path.c_str(), FALSE);
        std::wstring commandLine = L"\"" + path + L"\" " + options;
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION started = {};
        if (CreateProcessW(path.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                           &started)) {
            RVGameEngine::Common::CScopedKernelHandle thread(started.hThread);
            m_process.Reset(started.hProcess);
        }
    }
    ~StandInProcess()
    {
        if (!m_process)
            return;
        TerminateProcess(m_process.Get(), 1);
        WaitForSingleObject(m_process.Get(), 10000);
    }

    bool Started() const { return m_process.IsValid(); }
    // Whether the process ends within the time.
    bool EndsWithin(DWORD milliseconds) const
    {
        return m_process && WaitForSingleObject(m_process.Get(), milliseconds) == WAIT_OBJECT_0;
    }

private:
    RVGameEngine::Common::CScopedKernelHandle m_process;
};

// How long a program that was ended may take to be gone: its file is in use
// until then.
constexpr DWORD kEndedProgramLimitMs = 30000;

// Runs the program with the options, waits for it (bounded) and gives its
// exit code; 1 when it could not be started or did not end. It writes to
// this program's output, so that a child that gives up says why in the same
// log. A program that outlives the wait is ended, and gone when this returns.
inline DWORD RunProgram(const std::wstring& program, const std::wstring& options, DWORD limitMs = 180000)
{
    std::wstring commandLine = L"\"" + program + L"\" " + options;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION started = {};
    if (!CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                        &started))
        return 1;
    RVGameEngine::Common::CScopedKernelHandle thread(started.hThread);
    RVGameEngine::Common::CScopedKernelHandle process(started.hProcess);
    if (WaitForSingleObject(process.Get(), limitMs) != WAIT_OBJECT_0) {
        TerminateProcess(process.Get(), 1);
        const bool gone = WaitForSingleObject(process.Get(), kEndedProgramLimitMs) == WAIT_OBJECT_0;
        std::fwprintf(stderr, L"%ls did not end within %lu ms; ended%ls\n", program.c_str(), limitMs,
                      gone ? L"" : L", but still not gone");
        return 1;
    }
    DWORD exitCode = 0;
    GetExitCodeProcess(process.Get(), &exitCode);
    return exitCode;
}

// Runs one test of this test program (a disabled one, the child of another)
// in a copy whose file name says "SILENT": a silent start. Its exit code.
inline DWORD RunSilentCopy(const std::wstring& childTest)
{
    RVTest::TempFolder folder;
    const std::wstring program = folder.Child(L"WendmoorSetup_SILENT.exe");
    if (!CopyFileW(RVGameEngine::Common::GetProgramPath()->GetUtf16(), program.c_str(), FALSE))
        return 1;
    return RunProgram(program, L"--gtest_filter=" + childTest + L" --gtest_also_run_disabled_tests");
}

} // namespace InstallerTests
