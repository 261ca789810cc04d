#include <winsock2.h>

#include "engine/common/base/CAutoLock.h"
#include "engine/common/base/CCriticalSection.h"
#include "engine/common/base/TIntrusivePointer.h"
#include "engine/common/base/TScopedHandle.h"
#include "engine/network/CNetworkDriver_Socket.h"
#include "engine/network/INetwork.h"
#include "engine/network/PacketFormat.h"
#include "engine/network/RunOverlapped.h"
#include "tests/engine/network/RecordingNetwork.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <tlhelp32.h>

#include <algorithm>
#include <atomic>
#include <set>
#include <string>
#include <utility>
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

// Whether the thread began in this program's own code, as the driver's do;
// a helper thread the system starts meanwhile is none of the driver's. A
// thread whose start cannot be read is counted.
bool StartedInThisProgram(HANDLE thread)
{
    using QueryThread = LONG(NTAPI*)(HANDLE, int, void*, ULONG, ULONG*);
    constexpr int kThreadWin32StartAddress = 9;
    const auto query = reinterpret_cast<QueryThread>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationThread")));
    void* start = nullptr;
    if (query == nullptr || query(thread, kThreadWin32StartAddress, &start, sizeof(start), nullptr) != 0)
        return true;
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       static_cast<const wchar_t*>(start), &module);
    return module == GetModuleHandleW(nullptr);
}

constexpr const char* kChildVariable = "RV_NETWORK_EXIT_CHILD";

} // namespace

// Threads are compared by handle: those of this program that appeared while
// the driver was set up must all have ended once its owner has let it go.
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
            if (before.count(id) != 0)
                continue;
            Common::CScopedKernelHandle thread(OpenThread(SYNCHRONIZE | THREAD_QUERY_INFORMATION, FALSE, id));
            if (!thread.IsValid() || StartedInThisProgram(thread.Get()))
                started.push_back(std::move(thread));
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

// Two senders wait on a peer that reads nothing, with a time limit far longer
// than this test may run: the close ends both waits, and the connection's
// close is reported once.
TEST(ThreadedDriver, ACloseEndsEverySendWaitingOnAPeerThatDoesNotRead)
{
    RVTest::RecordingNetwork client(new CNetworkDriver_Socket(10 * 60 * 1000));
    const uint32_t socket = client.ConnectToStatServer();
    ASSERT_NE(socket, kInvalidNetworkSocket);
    ASSERT_TRUE(client.Control(socket, RVTest::kStatStall));
    RVTest::BlockedSender senders[2];
    for (RVTest::BlockedSender& sender : senders)
        ASSERT_TRUE(sender.Start(&client, socket));
    // Until the peer's buffers are full and neither sender gets further.
    RVTest::WaitUntilStuck(senders);
    client.network->Close(socket);
    const HANDLE threads[2] = {senders[0].thread.Get(), senders[1].thread.Get()};
    // (The peer itself hangs up only after a minute.)
    EXPECT_EQ(WaitForMultipleObjects(2, threads, TRUE, 30000), WAIT_OBJECT_0);
    ASSERT_TRUE(client.PumpUntil(NETWORK_EVENT_SOCKET_CLOSED, 1));
    client.PumpUntil(NETWORK_EVENT_SOCKET_CLOSED, 2, 300);
    EXPECT_EQ(client.Count(NETWORK_EVENT_SOCKET_CLOSED), 1);
    EXPECT_FALSE(client.Send(socket, 1, 1));
}

namespace {

// Records what the driver reports, from whichever thread reports it.
struct StreamListener : INetworkDriverListener
{
    void OnClientAccepted(uint32_t) override {}
    void OnConnectResult(uint32_t, const char*, bool) override {}
    void OnSocketClosed(uint32_t) override { ++closes; }
    void OnDataReceived(uint32_t, const uint8_t* data, uint32_t length) override
    {
        Common::CAutoLock lock(&bytesLock);
        dataAfterClose = dataAfterClose || closes > 0;
        bytes.append(reinterpret_cast<const char*>(data), length);
    }
    std::string Bytes()
    {
        Common::CAutoLock lock(&bytesLock);
        return bytes;
    }

    Common::CCriticalSection bytesLock;
    std::string bytes;
    std::atomic<int> closes{0};
    bool dataAfterClose = false;
};

// The frames in a stream of packets: "main sub payload" each, or "damaged".
std::vector<std::string> DecodedFrames(std::string stream)
{
    std::vector<std::string> frames;
    while (stream.size() >= kPacketHeaderSize) {
        auto* packet = reinterpret_cast<uint8_t*>(&stream[0]);
        const uint32_t size = PacketSizeField(packet);
        if (size < kPacketHeaderSize || size > stream.size() || !DecodePacket(packet, size)) {
            frames.push_back("damaged");
            break;
        }
        frames.push_back(std::to_string(ReadPacketWord(packet, 4)) + " " + std::to_string(ReadPacketWord(packet, 6))
                         + " " + stream.substr(kPacketHeaderSize, size - kPacketHeaderSize));
        stream.erase(0, size);
    }
    return frames;
}

} // namespace

// A receive thread leaves reading to an owner that reads what has arrived,
// and reads on its own for one that never does: either way every reply comes,
// in order, one write at a time, then the peer's close, once.
TEST(ThreadedDriver, EveryByteAndTheCloseComeWhetherOrNotTheOwnerReadsWhatArrived)
{
    for (const bool ownerReads : {true, false}) {
        SCOPED_TRACE(ownerReads ? "the owner reads what arrived" : "the owner never reads");
        StreamListener listener;
        Common::TIntrusivePointer<INetworkDriver> driver(INetworkDriver_Socket_Create());
        driver->Initialize(&listener);
        const auto pump = [&] {
            if (ownerReads)
                driver->ReadArrived();
            Sleep(1);
        };
        pump();
        const uint32_t socket = driver->Connect(RVTest::StatServerAddress().c_str());
        ASSERT_NE(socket, kInvalidNetworkSocket);
        // The server's probe.
        ASSERT_TRUE(RVTest::WaitFor([&] { pump(); return listener.Bytes().size() >= kPacketHeaderSize; }));

        std::string request(1, RVTest::kFramePerWrite);
        std::vector<std::string> expected = {"0 1 "};
        for (uint16_t i = 0; i < 20; ++i) {
            const std::string payload(i * 9u, static_cast<char>('a' + i));
            request += RVTest::StatFrame(3, i, payload);
            expected.push_back("3 " + std::to_string(i) + " " + payload);
        }
        uint8_t packet[kMaxPacketSize];
        uint32_t size = EncodePacket(RVTest::kStatControl, RVTest::kStatReply,
                                     reinterpret_cast<const uint8_t*>(request.data()),
                                     static_cast<uint32_t>(request.size()), false, packet);
        ASSERT_TRUE(driver->Send(socket, packet, size));
        size = EncodePacket(RVTest::kStatControl, RVTest::kStatClose, nullptr, 0, false, packet);
        ASSERT_TRUE(driver->Send(socket, packet, size));

        ASSERT_TRUE(RVTest::WaitFor([&] { pump(); return listener.closes > 0; }));
        RVTest::WaitFor([&] { pump(); return listener.closes > 1; }, 300);
        EXPECT_EQ(listener.closes, 1);
        EXPECT_FALSE(listener.dataAfterClose);
        EXPECT_EQ(DecodedFrames(listener.Bytes()), expected);
        driver->Initialize(nullptr);
    }
}

// What waited on a socket left to its owner is read whole in one call, not
// one buffer an update: a peer sending steadily is not held to the owner's
// update rate.
TEST(ThreadedDriver, TheOwnerReadsEverythingThatWaitedInOneCall)
{
    StreamListener listener;
    Common::TIntrusivePointer<CNetworkDriver_Socket> driver(new CNetworkDriver_Socket);
    driver->Initialize(&listener);
    driver->ReadArrived();
    const uint32_t socket = driver->Connect(RVTest::StatServerAddress().c_str());
    ASSERT_NE(socket, kInvalidNetworkSocket);
    // The server's probe: from then on reading is left to this owner.
    ASSERT_TRUE(RVTest::WaitFor([&] {
        driver->ReadArrived();
        Sleep(1);
        return listener.Bytes().size() >= kPacketHeaderSize;
    }));

    const std::string frames = RVTest::StatFrame(3, 1, std::string(1000, 'f'));
    uint8_t packet[kMaxPacketSize];
    const uint32_t size = EncodePacket(RVTest::kStatControl, RVTest::kStatFlood,
                                       reinterpret_cast<const uint8_t*>(frames.data()),
                                       static_cast<uint32_t>(frames.size()), false, packet);
    ASSERT_TRUE(driver->Send(socket, packet, size));
    // Several buffers' worth waits unread on the socket, and the receive
    // thread, having reported what it read itself, has handed the reading
    // over: only the owner reads from then on.
    constexpr u_long kWaiting = 4 * 4108;
    u_long waiting = 0;
    ASSERT_TRUE(RVTest::WaitFor([&] {
        return driver->IsReadingHandedOver(socket) && ioctlsocket(static_cast<SOCKET>(socket), FIONREAD, &waiting) == 0
            && waiting >= kWaiting;
    }));
    const size_t before = listener.Bytes().size();
    driver->ReadArrived();
    EXPECT_GE(listener.Bytes().size() - before, waiting);
    driver->Close(socket);
    driver->Initialize(nullptr);
}

// Letting go of the manager does not wait for a connect under way: its wait
// ends with the driver's detach, not with its own time limit (3 seconds,
// here certain to be used up, since the peer never answers).
TEST(ThreadedDriver, ReleasingTheManagerDoesNotWaitForAHungConnect)
{
    DWORD released = 0;
    {
        RVTest::RecordingNetwork client(INetworkDriver_Socket_Create());
        client.network->ConnectAsync(RVTest::LoopbackAddress(RVTest::PeerPort("RV_BLACKHOLE_PORT")).c_str());
        released = GetTickCount();
    }
    // A wait for the connect's own limit would end at about 3000 ms; the
    // bound is kept well clear of a release slowed by a busy machine.
    EXPECT_LT(GetTickCount() - released, 2500u);
}

// A receive whose signal was left set (Winsock does not promise to clear it)
// waits on for its data instead of taking the stale signal for an end.
TEST(ThreadedDriver, AStaleSignalDoesNotEndAReceive)
{
    const std::string address = RVTest::FreeLoopbackAddress();
    sockaddr_in target{};
    target.sin_family = AF_INET;
    target.sin_addr.s_addr = inet_addr("127.0.0.1");
    target.sin_port = htons(static_cast<u_short>(std::stoi(address.substr(address.find(':') + 1))));
    const Common::CScopedSocket listening(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
    ASSERT_EQ(bind(listening.Get(), reinterpret_cast<const sockaddr*>(&target), sizeof(target)), 0);
    ASSERT_EQ(listen(listening.Get(), 1), 0);
    const Common::CScopedSocket writer(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
    ASSERT_EQ(connect(writer.Get(), reinterpret_cast<const sockaddr*>(&target), sizeof(target)), 0);
    const Common::CScopedSocket reader(accept(listening.Get(), nullptr, nullptr));
    ASSERT_TRUE(reader.IsValid());

    const Common::CScopedKernelHandle done(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    const Common::CScopedKernelHandle interrupt(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    // The bytes come from another thread, some time after the receive began.
    struct Writer
    {
        static DWORD WINAPI Run(void* parameter)
        {
            Sleep(300);
            return send(*static_cast<SOCKET*>(parameter), "hello", 5, 0) == 5 ? 0 : 1;
        }
    };
    SOCKET writing = writer.Get();
    const Common::CScopedKernelHandle thread(CreateThread(nullptr, 0, &Writer::Run, &writing, 0, nullptr));
    ASSERT_TRUE(thread.IsValid());
    char buffer[16] = {};
    WSABUF piece;
    piece.len = sizeof(buffer);
    piece.buf = buffer;
    const int count = RunOverlapped(reader.Get(), done.Get(), interrupt.Get(),
                                    [&](WSAOVERLAPPED* overlapped, DWORD* received, DWORD* flags) {
                                        const int result = WSARecv(reader.Get(), &piece, 1, received, flags,
                                                                   overlapped, nullptr);
                                        const int error = WSAGetLastError();
                                        // Left set, as a Winsock that does not clear it would.
                                        SetEvent(done.Get());
                                        WSASetLastError(error);
                                        return result;
                                    });
    EXPECT_EQ(count, 5);
    EXPECT_EQ(std::string(buffer, 5), "hello");
    EXPECT_EQ(WaitForSingleObject(thread.Get(), 10000), WAIT_OBJECT_0);
}
