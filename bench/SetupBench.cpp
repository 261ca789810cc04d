// Times the whole setup program, built with the generated 5,000-file game
// package inside it (bench/setup_bench.sh makes that build and runs this
// beside the local statistics and web API servers), over a few rounds:
//   - a silent install ("SILENT=TRUE") from process start to exit, into a
//     fresh install folder each round;
//   - a normal start until its frame window shows, then closed;
//   - the installer-core benchmark's extraction of the same package (its
//     zlib + CreateFileW/WriteFile baseline and the installer's own path),
//     each in a child run of rv_bench_install.
// Prints each figure's range and median and compares the medians with the
// goals: silent run <= extraction baseline + 1.5 s, window shown < 2 s.
//
//   rv_bench_setup SETUP_EXE INSTALL_BENCH_EXE PACKAGE_BLOB [rounds]

#include "bench/BenchChildRun.h"
#include "bench/BenchClock.h"
#include "installer/core/install/InstallPathFunctions.h"

#include "engine/common/base/TScopedHandle.h"
#include "tests/support/TempFolder.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

using RVGameEngine::Common::CScopedKernelHandle;

namespace {

constexpr int kDefaultRounds = 3;
constexpr double kSilentAllowanceMs = 1500.0;
constexpr double kWindowGoalMs = 2000.0;
constexpr DWORD kSilentRunLimitMs = 600000;
constexpr DWORD kWindowLimitMs = 60000;
constexpr DWORD kCloseLimitMs = 60000;
constexpr const wchar_t* kFrameClass = L"RVFRAME";
// Installed last-but-one by every successful install: proof that the run installed.
constexpr const wchar_t* kUpdaterFile = L"\\ZURovoZizizer.exe";

struct tagStarted
{
    CScopedKernelHandle process;
    CScopedKernelHandle thread;
    DWORD id = 0;
};

// The program starts as from the desktop: its log lines go nowhere rather
// than through this console, which a player's run does not have either.
bool StartProgram(const std::wstring& program, const std::wstring& arguments, tagStarted* started)
{
    std::wstring commandLine = L"\"" + program + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    const CScopedKernelHandle nowhere(
        CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr));
    if (!nowhere)
        return false;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = nowhere.Get();
    startup.hStdError = nowhere.Get();
    PROCESS_INFORMATION child = {};
    if (!CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                        &child))
        return false;
    started->process.Reset(child.hProcess);
    started->thread.Reset(child.hThread);
    started->id = child.dwProcessId;
    return true;
}

// Waits for the process's end; ends it when it outstays the limit.
bool EndsWithExitZero(const tagStarted& started, DWORD limitMs)
{
    if (WaitForSingleObject(started.process.Get(), limitMs) != WAIT_OBJECT_0) {
        TerminateProcess(started.process.Get(), 1);
        WaitForSingleObject(started.process.Get(), INFINITE);
        return false;
    }
    DWORD exitCode = 1;
    GetExitCodeProcess(started.process.Get(), &exitCode);
    return exitCode == 0;
}

HWND VisibleFrameOf(DWORD processId)
{
    for (HWND window = FindWindowExW(nullptr, nullptr, kFrameClass, nullptr); window != nullptr;
         window = FindWindowExW(nullptr, window, kFrameClass, nullptr)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId && IsWindowVisible(window))
            return window;
    }
    return nullptr;
}

// Options every run of the program gets: the local servers it reports to.
std::wstring g_programOptions;

std::wstring WithProgramOptions(const std::wstring& arguments)
{
    if (g_programOptions.empty())
        return arguments;
    return arguments.empty() ? g_programOptions : arguments + L" " + g_programOptions;
}

bool TimeSilentRun(const std::wstring& setup, const std::wstring& installFolder, double* milliseconds)
{
    RVTest::RemoveTree(installFolder);
    tagStarted started;
    const double start = Bench::NowMs();
    if (!StartProgram(setup, WithProgramOptions(L"SILENT=TRUE"), &started))
        return false;
    const bool ended = EndsWithExitZero(started, kSilentRunLimitMs);
    *milliseconds = Bench::NowMs() - start;
    return ended && GetFileAttributesW((installFolder + kUpdaterFile).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool TimeWindowShown(const std::wstring& setup, double* milliseconds)
{
    tagStarted started;
    const double start = Bench::NowMs();
    if (!StartProgram(setup, WithProgramOptions(L""), &started))
        return false;
    HWND frame = nullptr;
    while (frame == nullptr && Bench::NowMs() - start < kWindowLimitMs &&
           WaitForSingleObject(started.process.Get(), 0) == WAIT_TIMEOUT) {
        frame = VisibleFrameOf(started.id);
        if (frame == nullptr)
            Sleep(1);
    }
    *milliseconds = Bench::NowMs() - start;
    if (frame != nullptr)
        PostMessageW(frame, WM_CLOSE, 0, 0);
    const bool closed = EndsWithExitZero(started, kCloseLimitMs);
    return frame != nullptr && closed;
}

// One child run of the installer-core benchmark: its own timing of the extraction alone.
bool TimeExtraction(const std::wstring& installBench, const wchar_t* kind, const std::wstring& blob,
                    const std::wstring& folder, double* milliseconds)
{
    const std::wstring commandLine =
        L"\"" + installBench + L"\" --run " + kind + L" \"" + blob + L"\" \"" + folder + L"\"";
    std::string output;
    double peakMB = 0;
    const bool done = Bench::RunChildForOutput(installBench, commandLine, &output) &&
                      std::sscanf(output.c_str(), "%lf %lf", milliseconds, &peakMB) == 2;
    RVTest::RemoveTree(folder);
    return done;
}

struct tagFigure
{
    const char* label;
    std::vector<double> runs;

    double Median() const
    {
        std::vector<double> sorted = runs;
        std::sort(sorted.begin(), sorted.end());
        return sorted.empty() ? 0.0 : sorted[sorted.size() / 2];
    }
    void Print() const
    {
        if (runs.empty())
            return;
        std::printf("%-32s %8.1f .. %8.1f ms  median %8.1f ms  (%d rounds)\n", label,
                    *std::min_element(runs.begin(), runs.end()), *std::max_element(runs.begin(), runs.end()),
                    Median(), static_cast<int>(runs.size()));
    }
};

bool Fail(const char* what, int round)
{
    std::fprintf(stderr, "round %d: %s failed\n", round + 1, what);
    return false;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: rv_bench_setup SETUP_EXE INSTALL_BENCH_EXE PACKAGE_BLOB [rounds [PROGRAM_OPTIONS]]\n");
        return 2;
    }
    const std::wstring setup = argv[1];
    const std::wstring installBench = argv[2];
    const std::wstring blob = argv[3];
    const int rounds = argc > 4 ? std::max(1, _wtoi(argv[4])) : kDefaultRounds;
    g_programOptions = argc > 5 ? argv[5] : L"";
    // Where the program itself installs (same drive rule, default pack name).
    FindInstallDrive();
    const std::wstring installFolder = GetDefaultInstallPath();
    const RVTest::TempFolder work;

    tagFigure silent{"silent install, start to exit", {}};
    tagFigure window{"normal start to window shown", {}};
    tagFigure baseline{"extraction baseline", {}};
    tagFigure ours{"extraction, installer core (*)", {}};
    bool ok = true;
    for (int round = 0; ok && round < rounds; ++round) {
        double ms = 0;
        ok = (TimeWindowShown(setup, &ms) || Fail("the window start", round)) && (window.runs.push_back(ms), true);
        ok = ok && (TimeSilentRun(setup, installFolder, &ms) || Fail("the silent install", round)) &&
             (silent.runs.push_back(ms), true);
        ok = ok && (TimeExtraction(installBench, L"baseline", blob, work.Child(L"baseline"), &ms) ||
                    Fail("the extraction baseline", round)) &&
             (baseline.runs.push_back(ms), true);
        ok = ok && (TimeExtraction(installBench, L"ours", blob, work.Child(L"ours"), &ms) ||
                    Fail("the installer-core extraction", round)) &&
             (ours.runs.push_back(ms), true);
    }
    RVTest::RemoveTree(installFolder);
    for (const tagFigure* figure : {&silent, &window, &baseline, &ours})
        figure->Print();
    std::printf("(*) as rv_bench_install is built: with the test build's freed-block fill\n");
    if (!ok)
        return 1;
    const double silentBudget = baseline.Median() + kSilentAllowanceMs;
    std::printf("goal: silent run <= extraction baseline + 1.5 s: %.1f ms vs %.1f ms: %s\n", silent.Median(),
                silentBudget, silent.Median() <= silentBudget ? "met" : "missed");
    std::printf("goal: window shown < 2 s: %.1f ms: %s\n", window.Median(),
                window.Median() < kWindowGoalMs ? "met" : "missed");
    return 0;
}
