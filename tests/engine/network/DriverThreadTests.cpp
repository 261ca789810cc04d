#include <winsock2.h>

#include "engine/common/base/TScopedHandle.h"
#include "engine/network/INetwork.h"
#include "tests/engine/network/RecordingNetwork.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <tlhelp32.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

using namespace RVGameEngine;
using namespace RVGameEngine::Network;

namespace {

RVTest::WinsockScope g_winsock;

// Ids of this process's threads now.
std::set<DWORD> ThreadIds()
{
    std::set<DWORD> ids;
    const Common::CScopedKernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    THREADENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    if (snapshot.Get() == INVALID_HANDLE_VALUE || !Thread32First(snapshot.Get(), &entry))
        return ids;
    do {
        if (entry.th32OwnerProcessID == GetCurrentProcessId())
            ids.insert(entry.th32ThreadID);
    } while (Thread32Next(snapshot.Get(), &entry));
    return ids;
}

constexpr const char* kChildVariable = "RV_NETWORK_EXIT_CHILD";

} // namespace

// Threads are compared by handle: those that appeared while the driver was
// set up must all have ended once its owner has let it go.
TEST(ThreadedDriver, DestroyingItEndsEveryThreadItStarted)
{
    const std::set<DWORD> before = ThreadIds();
    std::vector<Common::CScopedKernelHandle> started;
    {
        const std::string address = RVTest::FreeLoopbackAddress();
        RVTest::RecordingNetwork server(INetworkDriver_Socket_Create(), address.c_str());
        ASSERT_TRUE(server.started);
        // An open connection of its own, an accepted one and a connect that
        // hangs unanswered.
        ASSERT_NE(server.ConnectToStatServer(), kInvalidNetworkSocket);
        sockaddr_in target{};
        target.sin_family = AF_INET;
        target.sin_addr.s_addr = inet_addr("127.0.0.1");
        target.sin_port = htons(static_cast<u_short>(std::stoi(address.substr(address.find(':') + 1))));
        const Common::CScopedSocket peer(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
        ASSERT_EQ(connect(peer.Get(), reinterpret_cast<const sockaddr*>(&target), sizeof(target)), 0);
        ASSERT_TRUE(server.PumpUntil(NETWORK_EVENT_CLIENT_ACCEPTED, 1));
        server.network->ConnectAsync(RVTest::LoopbackAddress(RVTest::PeerPort("RV_BLACKHOLE_PORT")).c_str());

        for (DWORD id : ThreadIds()) {
            if (before.count(id) == 0)
                started.emplace_back(OpenThread(SYNCHRONIZE, FALSE, id));
        }
        // Accepting, two receiving and one connecting.
        ASSERT_GE(started.size(), 4u);
    }
    for (const Common::CScopedKernelHandle& thread : started) {
        ASSERT_TRUE(thread.IsValid());
        EXPECT_EQ(WaitForSingleObject(thread.Get(), 0), WAIT_OBJECT_0);
    }
}

// What the exit loop below runs in each child: one connection opened and
// closed, then straight out of main.
TEST(ThreadedDriver, DISABLED_ChildOpensClosesAndReturns)
{
    RVTest::RecordingNetwork client(INetworkDriver_Socket_Create());
    const uint32_t socket = client.ConnectToStatServer();
    ASSERT_NE(socket, kInvalidNetworkSocket);
    client.network->Close(socket);
}

// A program that returns from main right after closing its last connection
// must exit cleanly every time, not die while a driver thread is still ending.
TEST(ThreadedDriver, AProgramReturningRightAfterItsLastCloseExitsCleanly)
{
    if (GetEnvironmentVariableA(kChildVariable, nullptr, 0) != 0)
        GTEST_SKIP() << "inside a child";
    constexpr int kRuns = 240;
    constexpr int kAtOnce = 4;
    wchar_t program[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    std::wstring commandLine = std::wstring(L"\"") + program
        + L"\" --gtest_also_run_disabled_tests --gtest_filter=ThreadedDriver.DISABLED_ChildOpensClosesAndReturns";
    SetEnvironmentVariableA(kChildVariable, "1");

    std::vector<std::string> failures;
    int finished = 0;
    std::vector<Common::CScopedKernelHandle> running;
    for (int next = 0; finished < kRuns;) {
        while (next < kRuns && static_cast<int>(running.size()) < kAtOnce) {
            STARTUPINFOW startup{};
            startup.cb = sizeof(startup);
            startup.dwFlags = STARTF_USESTDHANDLES;
            PROCESS_INFORMATION child{};
            std::wstring writable = commandLine;
            if (!CreateProcessW(program, &writable[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                                &startup, &child)) {
                failures.push_back("run " + std::to_string(next) + " did not start");
                ++finished;
            } else {
                CloseHandle(child.hThread);
                running.emplace_back(child.hProcess);
            }
            ++next;
        }
        if (running.empty())
            continue;
        std::vector<HANDLE> handles;
        for (const auto& process : running)
            handles.push_back(process.Get());
        const DWORD which =
            WaitForMultipleObjects(static_cast<DWORD>(handles.size()), handles.data(), FALSE, 60000);
        ASSERT_LT(which, WAIT_OBJECT_0 + handles.size()) << "a child hangs";
        DWORD code = 0;
        GetExitCodeProcess(handles[which - WAIT_OBJECT_0], &code);
        if (code != 0)
            failures.push_back("exit code " + std::to_string(code));
        running.erase(running.begin() + (which - WAIT_OBJECT_0));
        ++finished;
    }
    SetEnvironmentVariableA(kChildVariable, nullptr);
    EXPECT_TRUE(failures.empty()) << failures.size() << " of " << kRuns << " runs failed, first: " << failures[0];
}
