#pragma once

#include <winsock2.h>

#include "engine/common/base/TIntrusivePointer.h"
#include "engine/common/base/TScopedHandle.h"
#include "engine/directui/frame/IFrameManager.h"
#include "engine/network/CNetworkDriver_WinSock.h"
#include "engine/network/INetwork.h"
#include "engine/network/PacketFormat.h"
#include "tests/servers/PeerEnvironment.h"

#include <windows.h>

#include <atomic>
#include <ostream>
#include <string>
#include <vector>

namespace RVTest {

// Steering messages of the test statistics server (see statserver.py).
constexpr uint16_t kStatControl = 0xF0F0;
constexpr uint16_t kStatClose = 2;
constexpr uint16_t kStatStall = 3;
constexpr uint16_t kStatReply = 4;
constexpr uint16_t kStatFlood = 5;
enum StatReplyStyle : char { kWhole = 0, kByteByByte = 1, kFramePerWrite = 2, kDamagedCheck = 3 };

// One frame of a reply request: u16 main, u16 sub, u16 length, bytes.
inline std::string StatFrame(uint16_t mainCommand, uint16_t subCommand, const std::string& payload)
{
    std::string frame;
    for (uint16_t word : {mainCommand, subCommand, static_cast<uint16_t>(payload.size())}) {
        frame += static_cast<char>(word & 0xFF);
        frame += static_cast<char>(word >> 8);
    }
    return frame + payload;
}

inline std::string StatServerAddress()
{
    return LoopbackAddress(PeerPort("RV_STAT_PORT"));
}

struct NetworkEvent
{
    int kind;
    uint32_t socket;
    bool success;
    uint16_t mainCommand;
    uint16_t subCommand;
    std::string payload;
};

// A connection manager over a driver that records every event it raises. The
// window-message driver reports only while this thread dispatches window
// messages, so Pump does that too.
class RecordingNetwork
{
public:
    // A client, or with an address a server listening there.
    explicit RecordingNetwork(RVGameEngine::Network::INetworkDriver* driver, const char* listenAddress = nullptr)
        : network(RVGameEngine::Network::INetwork_Create()), driver(driver)
    {
        started = listenAddress == nullptr ? network->StartClient(driver) : network->StartServer(driver, listenAddress);
        for (int kind = 0; kind < 4; ++kind)
            network->AddMemberFunctionDelegate(kind, this, &RecordingNetwork::Record);
    }

    void Record(void*, RVGameEngine::Common::tagEventArgs* args)
    {
        using namespace RVGameEngine::Network;
        NetworkEvent event{};
        if (auto* accepted = dynamic_cast<tagNetworkClientAcceptedEventArgs*>(args))
            event = {NETWORK_EVENT_CLIENT_ACCEPTED, accepted->socket, false, 0, 0, {}};
        else if (auto* result = dynamic_cast<tagNetworkConnectServerResultEventArgs*>(args))
            event = {NETWORK_EVENT_CONNECT_RESULT, result->socket, result->success, 0, 0, {}};
        else if (auto* closed = dynamic_cast<tagNetworkSocketClosedEventArgs*>(args))
            event = {NETWORK_EVENT_SOCKET_CLOSED, closed->socket, false, 0, 0, {}};
        else if (auto* data = dynamic_cast<tagNetworkDataReceivedEventArgs*>(args))
            event = {NETWORK_EVENT_DATA_RECEIVED, data->socket, false, data->mainCommand, data->subCommand,
                     std::string(reinterpret_cast<const char*>(data->data), data->length)};
        seen.push_back(event);
    }

    int Count(int kind) const
    {
        int count = 0;
        for (const NetworkEvent& event : seen)
            count += event.kind == kind ? 1 : 0;
        return count;
    }

    std::vector<NetworkEvent> Messages() const
    {
        std::vector<NetworkEvent> messages;
        for (const NetworkEvent& event : seen)
            if (event.kind == RVGameEngine::Network::NETWORK_EVENT_DATA_RECEIVED)
                messages.push_back(event);
        return messages;
    }

    // Dispatches the window messages waiting now, a bounded number of them:
    // a flooding peer keeps the window-message driver's reads coming.
    static void DispatchWindowMessages()
    {
        MSG message;
        for (int i = 0; i < 256 && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE); ++i) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }

    void Pump()
    {
        DispatchWindowMessages();
        network->Update();
    }

    // True when no data event was raised after a closed event of the socket.
    bool NothingAfterTheClose(uint32_t socket) const
    {
        bool closed = false;
        for (const NetworkEvent& event : seen) {
            if (event.socket != socket)
                continue;
            if (closed && event.kind == RVGameEngine::Network::NETWORK_EVENT_DATA_RECEIVED)
                return false;
            closed = closed || event.kind == RVGameEngine::Network::NETWORK_EVENT_SOCKET_CLOSED;
        }
        return true;
    }

    // Pumps until `count` events of the kind have been raised (bounded).
    bool PumpUntil(int kind, int count, uint32_t limitMs = 5000)
    {
        return WaitFor([&] {
            Pump();
            return Count(kind) >= count;
        }, limitMs);
    }

    // Connects to the statistics server and waits for its probe.
    uint32_t ConnectToStatServer()
    {
        const uint32_t socket = network->Connect(StatServerAddress().c_str());
        if (socket != RVGameEngine::Network::kInvalidNetworkSocket)
            PumpUntil(RVGameEngine::Network::NETWORK_EVENT_DATA_RECEIVED, 1);
        return socket;
    }

    bool Send(uint32_t socket, uint16_t mainCommand, uint16_t subCommand, const std::string& payload = std::string())
    {
        return network->Send(socket, mainCommand, subCommand, reinterpret_cast<const uint8_t*>(payload.data()),
                             static_cast<uint16_t>(payload.size()));
    }

    bool Control(uint32_t socket, uint16_t sub, const std::string& payload = std::string())
    {
        return Send(socket, kStatControl, sub, payload);
    }

    RVGameEngine::Common::TIntrusivePointer<RVGameEngine::Network::INetwork> network;
    RVGameEngine::Network::INetworkDriver* driver;
    bool started = false;
    std::vector<NetworkEvent> seen;
};

// Sends full-size packets on its own thread until one fails.
struct BlockedSender
{
    static DWORD WINAPI Run(void* parameter)
    {
        auto* self = static_cast<BlockedSender*>(parameter);
        const std::string block(RVGameEngine::Network::kMaxPacketPayload, 's');
        for (int i = 0; i < 100000 && self->client->Send(self->socket, 7, 7, block); ++i)
            ++self->sent;
        return 0;
    }
    bool Start(RecordingNetwork* sendingClient, uint32_t sendingSocket)
    {
        client = sendingClient;
        socket = sendingSocket;
        thread.Reset(CreateThread(nullptr, 0, &BlockedSender::Run, this, 0, nullptr));
        return thread.IsValid();
    }
    RecordingNetwork* client = nullptr;
    uint32_t socket = RVGameEngine::Network::kInvalidNetworkSocket;
    std::atomic<int> sent{0};
    RVGameEngine::Common::CScopedKernelHandle thread;
};

// Waits until the senders, writing to a peer that reads nothing, get no
// further: its buffers are full.
template <size_t N>
void WaitUntilStuck(BlockedSender (&senders)[N])
{
    int last = -1;
    WaitFor([&] {
        int now = 0;
        for (BlockedSender& sender : senders)
            now += sender.sent;
        const bool stuck = now == last;
        last = now;
        Sleep(250);
        return stuck;
    }, 30000);
}

// The two socket drivers; the window-message one needs the frame class.
struct DriverKind
{
    const char* name;
    RVGameEngine::Network::INetworkDriver* (*create)();
    // Whether connections still open when listening stops fall silent.
    bool quietAfterStopListening;
};

inline void PrintTo(const DriverKind& kind, std::ostream* out)
{
    *out << kind.name;
}

// The window-message driver's hidden frame needs the frame class.
inline void RegisterFrameClass()
{
    static const ATOM frames = RVGameEngine::DirectUI::IFrameManager_GetInstance()->Initialize();
    (void)frames;
}

inline RVGameEngine::Network::INetworkDriver* NewWindowMessageDriver()
{
    RegisterFrameClass();
    return RVGameEngine::Network::INetworkDriver_WinSock_Create();
}

const DriverKind kThreadedDriver = {"Threaded", RVGameEngine::Network::INetworkDriver_Socket_Create, true};
const DriverKind kWindowMessageDriver = {"WindowMessages", NewWindowMessageDriver, false};

} // namespace RVTest
