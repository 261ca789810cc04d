#include "engine/common/base/TIntrusivePointer.h"
#include "engine/filesystem/ScrambleKeys.h"
#include "engine/network/INetwork.h"
#include "engine/network/INetworkDriver.h"
#include "engine/network/PacketFormat.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <random>
#include <string>
#include <tuple>
#include <vector>

using namespace RVGameEngine;
using namespace RVGameEngine::Network;
using Common::TIntrusivePointer;

namespace {

constexpr uint32_t kSocket = 77;

// A driver that sends nowhere: it keeps what the manager asks of it, and the
// test plays the driver's part by calling the listener itself.
class FakeNetworkDriver : public INetworkDriver
{
public:
    bool Listen(INetworkDriverListener* newListener, const char*) override { return Initialize(newListener); }
    bool Initialize(INetworkDriverListener* newListener) override
    {
        listener = newListener;
        return true;
    }
    void StopListening() override {}
    uint32_t Connect(const char*) override { return kInvalidNetworkSocket; }
    uint32_t ConnectAsync(const char*) override { return 0; }
    void Close(uint32_t socket) override { closed.push_back(socket); }
    bool Send(uint32_t, const uint8_t* data, uint32_t length) override
    {
        sent.push_back(std::string(reinterpret_cast<const char*>(data), length));
        return sendSucceeds;
    }
    void PauseReceiving(uint32_t, bool paused) override { pauses.push_back(paused); }
    void ReleaseSocket(uint32_t socket) override { released.push_back(socket); }
    void PauseAccepting(bool paused) override { acceptPauses.push_back(paused); }

    INetworkDriverListener* listener = nullptr;
    // Socket numbers given back, in order.
    std::vector<uint32_t> released;
    // Every pause (true) and resume (false) of accepting, in order.
    std::vector<bool> acceptPauses;
    // Every pause (true) and resume (false) asked for, in order.
    std::vector<bool> pauses;
    std::vector<std::string> sent;
    std::vector<uint32_t> closed;
    bool sendSucceeds = true;
};

struct ReceivedMessage
{
    uint32_t socket;
    uint16_t mainCommand;
    uint16_t subCommand;
    std::string payload;

    bool operator==(const ReceivedMessage& other) const
    {
        return std::tie(socket, mainCommand, subCommand, payload)
            == std::tie(other.socket, other.mainCommand, other.subCommand, other.payload);
    }
};

// A manager over the fake driver, with one connection open, that records the
// events it raises.
class FramingTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        driver = new FakeNetworkDriver;
        network = TIntrusivePointer<INetwork>(INetwork_Create());
        ASSERT_TRUE(network->StartClient(driver));
        network->AddMemberFunctionDelegate(NETWORK_EVENT_DATA_RECEIVED, this, &FramingTest::OnData);
        network->AddMemberFunctionDelegate(NETWORK_EVENT_SOCKET_CLOSED, this, &FramingTest::OnClosed);
        driver->listener->OnConnectResult(kSocket, "127.0.0.1:1", true);
        network->Update();
    }

    void OnData(void*, Common::tagEventArgs* args)
    {
        auto* data = static_cast<tagNetworkDataReceivedEventArgs*>(args);
        messages.push_back({data->socket, data->mainCommand, data->subCommand,
                            std::string(reinterpret_cast<const char*>(data->data), data->length)});
        if (afterMessage)
            afterMessage();
    }

    void OnClosed(void*, Common::tagEventArgs* args)
    {
        closedSockets.push_back(static_cast<tagNetworkSocketClosedEventArgs*>(args)->socket);
        releasedWhileRaising.push_back(driver->released.size());
    }

    void Deliver(const std::string& bytes)
    {
        driver->listener->OnDataReceived(kSocket, reinterpret_cast<const uint8_t*>(bytes.data()),
                                         static_cast<uint32_t>(bytes.size()));
    }

    // Sending is refused only on a damaged (or unknown) connection.
    bool IsMarkedBad() { return !network->Send(kSocket, 1, 1, nullptr, 0); }

    FakeNetworkDriver* driver = nullptr;
    TIntrusivePointer<INetwork> network;
    std::vector<ReceivedMessage> messages;
    std::vector<uint32_t> closedSockets;
    // How many numbers had been given back while each closed event was raised.
    std::vector<size_t> releasedWhileRaising;
    // Run by the data handler after it recorded a message.
    std::function<void()> afterMessage;
};

std::string Wire(uint16_t mainCommand, uint16_t subCommand, const std::string& payload)
{
    uint8_t packet[kMaxPacketSize];
    const uint32_t size = EncodePacket(mainCommand, subCommand, reinterpret_cast<const uint8_t*>(payload.data()),
                                       static_cast<uint32_t>(payload.size()), false, packet);
    return std::string(reinterpret_cast<const char*>(packet), size);
}

std::string PayloadOf(size_t length, int seed)
{
    std::string payload(length, '\0');
    for (size_t i = 0; i < length; ++i)
        payload[i] = static_cast<char>((i * 31 + seed * 7) & 0xFF);
    return payload;
}

} // namespace

TEST_F(FramingTest, SendBuildsTheExactWireBytes)
{
    const uint8_t payload[] = {1, 2, 3};
    ASSERT_TRUE(network->Send(kSocket, 108, 6, payload, 3));
    ASSERT_TRUE(network->SendPacket(kSocket, 108, 6, payload, 3, true));

    // check = 0 - (108 + 0 + 6 + 0 + 1 + 2 + 3) = 136 (mod 256)
    const uint8_t* send = FileSystem::kPacketSendTable;
    const std::string expected = {11, 0, static_cast<char>(136), 2,
                                  static_cast<char>(send[108]), static_cast<char>(send[0]),
                                  static_cast<char>(send[6]), static_cast<char>(send[0]),
                                  static_cast<char>(send[1]), static_cast<char>(send[2]),
                                  static_cast<char>(send[3])};
    ASSERT_EQ(driver->sent.size(), 2u);
    EXPECT_EQ(driver->sent[0], expected);
    std::string fromCheck = expected;
    fromCheck[3] = static_cast<char>(255 - 136);
    EXPECT_EQ(driver->sent[1], fromCheck);
    EXPECT_EQ(network->GetBytesSent(), 22u);
}

TEST_F(FramingTest, PayloadLimitAndUnknownSockets)
{
    const std::string largest = PayloadOf(kMaxPacketPayload + 1, 1);
    const auto* bytes = reinterpret_cast<const uint8_t*>(largest.data());
    EXPECT_TRUE(network->Send(kSocket, 1, 2, bytes, kMaxPacketPayload));
    EXPECT_FALSE(network->Send(kSocket, 1, 2, bytes, kMaxPacketPayload + 1));
    EXPECT_FALSE(network->Send(kSocket + 1, 1, 2, bytes, 1));
    ASSERT_EQ(driver->sent.size(), 1u);
    EXPECT_EQ(driver->sent[0].size(), kMaxPacketSize);
    EXPECT_EQ(driver->sent[0].substr(0, 2), std::string("\x06\x08", 2));
}

// The same packets, whatever way the stream is cut, come out whole, in order,
// from Update alone. The sizes are picked so the
// ring's storage wraps around several times.
TEST_F(FramingTest, PacketsSurviveEveryWayOfCuttingTheStream)
{
    std::vector<ReceivedMessage> expected;
    std::string stream;
    const size_t sizes[] = {0, 3, kMaxPacketPayload, 1500, 1, kMaxPacketPayload, 700, 2000, 0, 1234};
    for (int round = 0; round < 3; ++round) {
        for (size_t i = 0; i < sizeof(sizes) / sizeof(sizes[0]); ++i) {
            const std::string payload = PayloadOf(sizes[i], round * 10 + static_cast<int>(i));
            const uint16_t mainCommand = static_cast<uint16_t>(100 + i);
            const uint16_t subCommand = static_cast<uint16_t>(round);
            stream += Wire(mainCommand, subCommand, payload);
            expected.push_back({kSocket, mainCommand, subCommand, payload});
        }
    }

    const size_t cuts[] = {1, 5, 8, 9, kMaxPacketSize, kMaxPacketSize + 1, 4108, 10000, stream.size()};
    for (size_t cut : cuts) {
        SCOPED_TRACE("pieces of " + std::to_string(cut));
        messages.clear();
        for (size_t at = 0; at < stream.size(); at += cut) {
            Deliver(stream.substr(at, cut));
            ASSERT_TRUE(messages.empty());
        }
        network->Update();
        ASSERT_EQ(messages, expected);
    }
    EXPECT_EQ(network->GetBytesReceived(), stream.size() * (sizeof(cuts) / sizeof(cuts[0])));
}

TEST_F(FramingTest, DamagedFramesMarkTheConnectionBadAndRaiseNothing)
{
    const std::string good = Wire(5, 6, "payload");
    std::string tooLong = good;
    tooLong[0] = static_cast<char>(2055 & 0xFF);
    tooLong[1] = static_cast<char>(2055 >> 8);
    std::string tooShort = good;
    tooShort[0] = 7;
    tooShort[1] = 0;
    // A damaged check or payload byte: the seeded random streams below.
    const std::string damaged[] = {tooLong, tooShort};
    for (const std::string& frame : damaged) {
        SetUp();
        messages.clear();
        Deliver(good + frame + good);
        network->Update();
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_TRUE(IsMarkedBad());
        // A damaged connection ignores the rest of its stream.
        Deliver(good);
        network->Update();
        EXPECT_EQ(messages.size(), 1u);
        EXPECT_TRUE(closedSockets.empty());
        // Nor is the rest read: the connection is closed at the driver.
        EXPECT_EQ(driver->closed, std::vector<uint32_t>{kSocket});
    }
}

// Random frames with one damaged check or payload byte, cut at random: the frames
// before the damage arrive, nothing after it does, and the connection is bad.
// Pure noise must never crash or overrun.
TEST_F(FramingTest, SeededRandomStreamsNeverGetPastDamage)
{
    std::mt19937 random(20261207);
    for (int trial = 0; trial < 400; ++trial) {
        SetUp();
        messages.clear();
        std::vector<ReceivedMessage> expected;
        std::string stream;
        const int count = 1 + static_cast<int>(random() % 12);
        const int damagedIndex = static_cast<int>(random() % count);
        for (int i = 0; i < count; ++i) {
            const std::string payload = PayloadOf(random() % (kMaxPacketPayload + 1), trial + i);
            std::string frame = Wire(static_cast<uint16_t>(random()), static_cast<uint16_t>(random()), payload);
            if (i == damagedIndex) {
                // The kind byte (offset 3) is not checked; every other byte is.
                size_t at = 2 + random() % (frame.size() - 2);
                if (at == 3)
                    at = 2;
                frame[at] = static_cast<char>(frame[at] ^ (1 + random() % 255));
            } else if (i < damagedIndex) {
                expected.push_back({kSocket, 0, 0, payload});
            }
            stream += frame;
        }
        for (size_t at = 0; at < stream.size();) {
            const size_t piece = 1 + random() % 3000;
            Deliver(stream.substr(at, piece));
            at += piece;
        }
        network->Update();
        ASSERT_EQ(messages.size(), expected.size()) << "trial " << trial;
        for (size_t i = 0; i < expected.size(); ++i)
            ASSERT_EQ(messages[i].payload, expected[i].payload) << "trial " << trial;
        ASSERT_TRUE(IsMarkedBad()) << "trial " << trial;

        // Noise on a fresh connection.
        std::string noise(1 + random() % 20000, '\0');
        for (char& c : noise)
            c = static_cast<char>(random());
        driver->listener->OnConnectResult(kSocket + 1, "127.0.0.1:1", true);
        driver->listener->OnDataReceived(kSocket + 1, reinterpret_cast<const uint8_t*>(noise.data()),
                                         static_cast<uint32_t>(noise.size()));
        network->Update();
    }
}

TEST_F(FramingTest, CloseConnectionForgetsTheRecordButLeavesTheSocketOpen)
{
    network->CloseConnection(kSocket);
    EXPECT_TRUE(closedSockets.empty());
    network->Update();
    EXPECT_EQ(closedSockets, std::vector<uint32_t>{kSocket});
    EXPECT_TRUE(driver->closed.empty());
    EXPECT_TRUE(IsMarkedBad());
    Deliver(Wire(1, 2, "late"));
    network->Update();
    EXPECT_TRUE(messages.empty());
}

// Data that arrives while Update raises events (here: each handler call
// brings one more packet) waits for the next call.
TEST_F(FramingTest, OneUpdateRaisesOnlyWhatWasQueuedBeforeIt)
{
    afterMessage = [this] {
        if (messages.size() < 100)
            Deliver(Wire(1, 1, "more"));
    };
    Deliver(Wire(1, 1, "first") + Wire(1, 1, "second"));
    network->Update();
    EXPECT_EQ(messages.size(), 2u);
    network->Update();
    EXPECT_EQ(messages.size(), 4u);
}

// A connection on which a send failed part-way is marked bad and closed at
// the driver; nothing more is sent on it. (A peer that gets far ahead of
// Update is slowed down instead: see the next test.)
TEST_F(FramingTest, AConnectionThatCannotKeepUpIsClosed)
{
    driver->sendSucceeds = false;
    EXPECT_FALSE(network->Send(kSocket, 1, 1, nullptr, 0));
    driver->sendSucceeds = true;
    EXPECT_EQ(driver->closed, std::vector<uint32_t>{kSocket});
    const size_t sends = driver->sent.size();
    EXPECT_FALSE(network->Send(kSocket, 1, 1, nullptr, 0));
    EXPECT_EQ(driver->sent.size(), sends);
    network->Update();
    EXPECT_LE(messages.size() * kMaxPacketSize, kMaxQueuedBytesPerConnection);
}

// A handler may drop the last reference to the manager while it raises
// events; the rest of the call must not run on freed (poisoned) memory.
TEST_F(FramingTest, AHandlerMayReleaseTheManager)
{
    const TIntrusivePointer<INetworkDriver> keptDriver(driver);
    afterMessage = [this] { network.Reset(); };
    Deliver(Wire(1, 1, "a") + Wire(1, 2, "b"));
    INetwork* raw = network.Get();
    raw->Update();
    EXPECT_TRUE(network.IsNull());
    // The manager is gone: it detached itself from its driver.
    EXPECT_EQ(driver->listener, nullptr);
}

// A peer far ahead of Update is neither cut off nor allowed to fill memory:
// its receiving pauses once its queued packets cost the bound (bookkeeping
// included, so that tiny packets count for what they really take), resumes
// once Update has taken them below half, and every packet arrives in order.
// Each Update raises a bounded number of events.
TEST_F(FramingTest, AFastPeerIsSlowedDownAndLosesNothing)
{
    struct Case
    {
        size_t payload;
        // At most this many packets may be queued when receiving pauses.
        size_t mostQueued;
    };
    const Case cases[] = {
        {0, kMaxQueuedBytesPerConnection / (kPacketHeaderSize + kQueuedPacketOverhead) + 1},
        {kMaxPacketPayload, kMaxQueuedBytesPerConnection / kMaxPacketSize + 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.payload);
        SetUp();
        messages.clear();
        // Delivered as the receive thread would, until the manager pauses it.
        size_t delivered = 0;
        while (driver->pauses.empty() && delivered < 1000000) {
            Deliver(Wire(4, static_cast<uint16_t>(delivered), PayloadOf(c.payload, static_cast<int>(delivered))));
            ++delivered;
        }
        ASSERT_EQ(driver->pauses, std::vector<bool>{true});
        EXPECT_LE(delivered, c.mostQueued);
        EXPECT_TRUE(driver->closed.empty());
        // One more read that was under way when the pause came still counts.
        Deliver(Wire(4, static_cast<uint16_t>(delivered), PayloadOf(c.payload, static_cast<int>(delivered))));
        ++delivered;

        size_t calls = 0;
        while (messages.size() < delivered && calls < 100000) {
            const size_t before = messages.size();
            network->Update();
            ++calls;
            EXPECT_LE(messages.size() - before, kMaxEventsPerUpdate);
        }
        EXPECT_EQ(driver->pauses, (std::vector<bool>{true, false}));
        ASSERT_EQ(messages.size(), delivered);
        for (size_t i = 0; i < delivered; ++i) {
            ASSERT_EQ(messages[i].subCommand, static_cast<uint16_t>(i));
            ASSERT_EQ(messages[i].payload, PayloadOf(c.payload, static_cast<int>(i)));
        }
        EXPECT_TRUE(driver->closed.empty());
        EXPECT_TRUE(network->Send(kSocket, 1, 1, nullptr, 0));
    }
}

// The packets of a closed connection still wait for Update, and the system
// may give its socket number to the next connection at once. Taking them
// must not resume the newcomer's paused reading: only its own queue may.
TEST_F(FramingTest, AClosedConnectionsQueueNeverResumesTheNextOnTheSameSocket)
{
    // Packets until the manager pauses the socket; how many went.
    const auto flood = [&](uint16_t mainCommand) {
        const size_t pausesBefore = driver->pauses.size();
        size_t sent = 0;
        for (; driver->pauses.size() == pausesBefore && sent < 10000; ++sent)
            Deliver(Wire(mainCommand, static_cast<uint16_t>(sent), PayloadOf(kMaxPacketPayload, 3)));
        return sent;
    };
    const size_t old = flood(1);
    driver->listener->OnSocketClosed(kSocket);
    driver->listener->OnClientAccepted(kSocket);
    const size_t newcomer = flood(2);
    ASSERT_EQ(driver->pauses, (std::vector<bool>{true, true}));

    // While the old connection's packets are raised the socket stays paused;
    // the newcomer's own packets then resume it, once.
    for (size_t calls = 0; closedSockets.empty() && calls < 10000; ++calls) {
        network->Update();
        ASSERT_EQ(driver->pauses, (std::vector<bool>{true, true})) << messages.size() << " of " << old;
    }
    for (size_t calls = 0; messages.size() < old + newcomer && calls < 10000; ++calls)
        network->Update();
    ASSERT_EQ(messages.size(), old + newcomer);
    EXPECT_EQ(driver->pauses, (std::vector<bool>{true, true, false}));
}

// A socket the driver reports closed keeps its number until its closed event
// has been raised: the connection's packets queued before the close (here
// more than one Update raises) still name it, and their handlers may close
// or answer it by number. Only then is the number given back, once. A
// connection the owner forgets itself stays open at the driver: its number
// is not given back, and reading it resumes if it was paused.
TEST_F(FramingTest, ANumberIsGivenBackOnlyAfterTheDriversCloseWasRaised)
{
    const size_t queued = kMaxEventsPerUpdate + 10;
    for (size_t i = 0; i < queued; ++i)
        Deliver(Wire(1, static_cast<uint16_t>(i), "last words"));
    afterMessage = [this] { EXPECT_TRUE(driver->released.empty()) << messages.size(); };
    driver->listener->OnSocketClosed(kSocket);
    network->Update();
    EXPECT_TRUE(closedSockets.empty());
    network->Update();
    EXPECT_EQ(messages.size(), queued);
    EXPECT_EQ(closedSockets, std::vector<uint32_t>{kSocket});
    EXPECT_EQ(releasedWhileRaising, std::vector<size_t>{0});
    EXPECT_EQ(driver->released, std::vector<uint32_t>{kSocket});
    afterMessage = nullptr;

    // Forgotten by its owner while paused.
    driver->listener->OnClientAccepted(kSocket + 1);
    const std::string packet = Wire(2, 0, PayloadOf(kMaxPacketPayload, 1));
    for (int i = 0; driver->pauses.empty() && i < 10000; ++i)
        driver->listener->OnDataReceived(kSocket + 1, reinterpret_cast<const uint8_t*>(packet.data()), kMaxPacketSize);
    ASSERT_EQ(driver->pauses, std::vector<bool>{true});
    network->CloseConnection(kSocket + 1);
    EXPECT_EQ(driver->pauses, (std::vector<bool>{true, false}));
    for (int calls = 0; closedSockets.size() < 2 && calls < 10000; ++calls)
        network->Update();
    EXPECT_EQ(closedSockets, (std::vector<uint32_t>{kSocket, kSocket + 1}));
    EXPECT_EQ(driver->released, std::vector<uint32_t>{kSocket});
    EXPECT_EQ(driver->pauses, (std::vector<bool>{true, false}));
}

// Clients that connect and go while Update is not called are charged to the
// queue's bound like packets: accepting pauses once their accepted and closed
// events cost the bound, and resumes once Update has taken them below half;
// every event is still raised, in order.
TEST_F(FramingTest, ConnectionsComingAndGoingUnraisedPauseAccepting)
{
    uint32_t accepted = 0;
    for (uint32_t socket = 1000; driver->acceptPauses.empty() && socket < 1000 + 100000; ++socket) {
        driver->listener->OnClientAccepted(socket);
        driver->listener->OnSocketClosed(socket);
        ++accepted;
    }
    ASSERT_EQ(driver->acceptPauses, std::vector<bool>{true});
    EXPECT_LE(accepted * 2 * kQueuedPacketOverhead, kMaxQueuedConnectionEventBytes + 2 * kQueuedPacketOverhead);
    for (int calls = 0; closedSockets.size() < accepted && calls < 100000; ++calls)
        network->Update();
    EXPECT_EQ(closedSockets.size(), accepted);
    EXPECT_EQ(closedSockets.back(), 1000 + accepted - 1);
    EXPECT_EQ(driver->acceptPauses, (std::vector<bool>{true, false}));
}
