// Over loopback, beside the local test peers, in one run:
//  - 1 KB messages through the connection manager to the statistics server
//    (which sends every byte straight back) and back, in messages per second,
//    beside the same bytes through plain Winsock send/recv;
//  - a 20 MB HTTP download into a stream and into a file, beside a plain
//    socket read of the same response.
// Prints each rate and its ratio to the plain one. With the argument
// "messages" only the messages are measured.
//
//   python3 tests/servers/run_with_peers.py --work /tmp/peers --stat
//       --http-script tests/engine/download/http_script.json --
//       scripts/wine-run.sh build/out/bench/rv_bench_network.exe
// (with the Wine environment of scripts/wine-env.sh exported).

#include <winsock2.h>

#include "bench/BenchClock.h"
#include "engine/common/base/IStream.h"
#include "engine/common/base/TIntrusivePointer.h"
#include "engine/common/base/TScopedHandle.h"
#include "engine/common/system/SocketFunctions.h"
#include "engine/download/IHttpDownloader.h"
#include "engine/network/INetwork.h"
#include "engine/network/PacketFormat.h"
#include "tests/servers/PeerEnvironment.h"
#include "tests/support/TempFolder.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

using namespace RVGameEngine;
using Common::TIntrusivePointer;

namespace {

constexpr int kMessages = 20000;
constexpr int kWindow = 32;
constexpr uint16_t kMessageBytes = 1024;
constexpr int kRounds = 5;
constexpr uint32_t kDownloadBytes = 20u * 1024u * 1024u;
constexpr uint16_t kControl = 0xF0F0;
constexpr uint16_t kControlEcho = 1;
constexpr uint8_t kEchoRaw = 2;

std::string StatAddress()
{
    return RVTest::LoopbackAddress(RVTest::PeerPort("RV_STAT_PORT"));
}

struct MessageCounter
{
    int received = 0;
    void OnData(void*, Common::tagEventArgs*) { ++received; }
};

// Messages per second through the manager; 0 on failure.
double ManagerRate();
double PlainRate(size_t readSize);
// Reads as large as the driver's receive thread makes, and larger.
double PlainDriverSizedRate() { return PlainRate(4108); }
double PlainLargeReadRate() { return PlainRate(64 * 1024); }

double ManagerRate()
{
    TIntrusivePointer<Network::INetwork> network(Network::INetwork_Create());
    network->StartClient(Network::INetworkDriver_Socket_Create());
    MessageCounter counter;
    network->AddMemberFunctionDelegate(Network::NETWORK_EVENT_DATA_RECEIVED, &counter, &MessageCounter::OnData);
    const uint32_t socket = network->Connect(StatAddress().c_str());
    if (socket == Network::kInvalidNetworkSocket)
        return 0;
    if (!RVTest::WaitFor([&] { network->Update(); return counter.received == 1; }))
        return 0;
    const uint8_t raw = kEchoRaw;
    network->Send(socket, kControl, kControlEcho, &raw, 1);

    const std::vector<uint8_t> payload(kMessageBytes, 0x42);
    counter.received = 0;
    int sent = 0;
    const double start = Bench::NowMs();
    const DWORD limit = GetTickCount() + 60000;
    while (counter.received < kMessages && GetTickCount() < limit) {
        while (sent < kMessages && sent - counter.received < kWindow) {
            if (!network->Send(socket, 1, 2, payload.data(), kMessageBytes))
                return 0;
            ++sent;
        }
        const int before = counter.received;
        network->Update();
        // A program updates once per frame; here, give the receive thread the
        // processor rather than spin on an empty queue.
        if (counter.received == before)
            SwitchToThread();
    }
    const double elapsed = Bench::NowMs() - start;
    network->Close(socket);
    return counter.received == kMessages ? kMessages * 1000.0 / elapsed : 0;
}

// A plain socket connected to the local peer whose port the variable names;
// invalid when it does not connect.
Common::CScopedSocket ConnectToPeer(const char* portVariable)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = inet_addr("127.0.0.1");
    address.sin_port = htons(static_cast<u_short>(RVTest::PeerPort(portVariable)));
    Common::CScopedSocket socket(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
    if (!Common::ConnectSocketWithTimeout(socket.Get(), address, 3000))
        socket.Close();
    return socket;
}

bool ReceiveExactly(SOCKET socket, char* buffer, int count)
{
    while (count > 0) {
        const int got = recv(socket, buffer, count, 0);
        if (got <= 0)
            return false;
        buffer += got;
        count -= got;
    }
    return true;
}

// The same packets, made once, through plain send and recv into a buffer of
// the given size.
double PlainRate(size_t readSize)
{
    const Common::CScopedSocket socket = ConnectToPeer("RV_STAT_PORT");
    if (!socket.IsValid())
        return 0;
    char probe[Network::kPacketHeaderSize];
    if (!ReceiveExactly(socket.Get(), probe, sizeof(probe)))
        return 0;
    uint8_t packet[Network::kMaxPacketSize];
    const uint8_t raw = kEchoRaw;
    uint32_t size = Network::EncodePacket(kControl, kControlEcho, &raw, 1, false, packet);
    Common::SendAllBytes(socket.Get(), packet, size);

    const std::vector<uint8_t> payload(kMessageBytes, 0x42);
    size = Network::EncodePacket(1, 2, payload.data(), kMessageBytes, false, packet);
    std::vector<char> buffer(readSize);
    int sent = 0;
    int received = 0;
    uint64_t pending = 0;
    const double start = Bench::NowMs();
    while (received < kMessages) {
        while (sent < kMessages && sent - received < kWindow) {
            if (!Common::SendAllBytes(socket.Get(), packet, size))
                return 0;
            ++sent;
        }
        const int got = recv(socket.Get(), buffer.data(), static_cast<int>(buffer.size()), 0);
        if (got <= 0)
            return 0;
        pending += static_cast<uint64_t>(got);
        received += static_cast<int>(pending / size);
        pending %= size;
    }
    return kMessages * 1000.0 / (Bench::NowMs() - start);
}

std::wstring DownloadUrl()
{
    const std::string url = "http://127.0.0.1:" + std::to_string(RVTest::PeerPort("RV_HTTP_PORT")) + "/bench";
    return std::wstring(url.begin(), url.end());
}

// Milliseconds for one download through the client; negative on failure.
double ClientDownload(const wchar_t* fileName)
{
    TIntrusivePointer<Download::IHttpDownloader> http(Download::IHttpDownloader_Create());
    const std::wstring url = DownloadUrl();
    if (!http->Open(url.c_str()))
        return -1;
    // Made before and released after the timing: the test build fills every
    // freed block with a pattern, which no download pays for.
    TIntrusivePointer<Common::IStream> stream(Common::IStream_CreateEmpty());
    const double start = Bench::NowMs();
    const bool ok = fileName != nullptr ? http->DownloadToFile(url.c_str(), fileName, 0)
                                        : http->Download(url.c_str(), stream, 0);
    const double elapsed = Bench::NowMs() - start;
    const bool whole = fileName != nullptr || stream->GetSize() == static_cast<int32_t>(kDownloadBytes);
    return ok && whole ? elapsed : -1;
}

// The same request and response over a plain socket, read in pieces of the
// given size.
double PlainDownload(int pieceSize)
{
    const Common::CScopedSocket socket = ConnectToPeer("RV_HTTP_PORT");
    if (!socket.IsValid())
        return -1;
    const std::string request = "GET /bench HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
    const double start = Bench::NowMs();
    Common::SendAllBytes(socket.Get(), request.data(), static_cast<uint32_t>(request.size()));
    std::vector<char> buffer(static_cast<size_t>(pieceSize));
    std::string header;
    uint64_t body = 0;
    while (body < kDownloadBytes) {
        const int got = recv(socket.Get(), buffer.data(), pieceSize, 0);
        if (got <= 0)
            return -1;
        if (header.find("\r\n\r\n") == std::string::npos) {
            header.append(buffer.data(), static_cast<size_t>(got));
            const size_t end = header.find("\r\n\r\n");
            if (end != std::string::npos)
                body = header.size() - end - 4;
        } else {
            body += static_cast<uint64_t>(got);
        }
    }
    return Bench::NowMs() - start;
}

// The same in 8 KB pieces, each received straight into one fresh buffer
// for the whole response, as a body kept in memory must be: what storing
// the bytes costs beside reading them.
double PlainDownloadIntoMemory()
{
    const Common::CScopedSocket socket = ConnectToPeer("RV_HTTP_PORT");
    if (!socket.IsValid())
        return -1;
    const std::string request = "GET /bench HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
    const double start = Bench::NowMs();
    Common::SendAllBytes(socket.Get(), request.data(), static_cast<uint32_t>(request.size()));
    std::vector<char> whole(kDownloadBytes + 65536);
    size_t at = 0;
    size_t headerEnd = std::string::npos;
    while (headerEnd == std::string::npos || at - headerEnd < kDownloadBytes) {
        const int want = static_cast<int>(std::min<size_t>(8192, whole.size() - at));
        const int got = want > 0 ? recv(socket.Get(), whole.data() + at, want, 0) : 0;
        if (got <= 0)
            return -1;
        at += static_cast<size_t>(got);
        if (headerEnd == std::string::npos) {
            const std::string head(whole.data(), std::min<size_t>(at, 4096));
            const size_t end = head.find("\r\n\r\n");
            headerEnd = end == std::string::npos ? std::string::npos : end + 4;
        }
    }
    return Bench::NowMs() - start;
}

// Runs every variant once per round, interleaved, so that load from other
// programs on the machine falls on all of them alike; keeps each one's best.
// A variant gives a rate (higher is better); 0 or less is a failure.
std::vector<double> BestRates(const std::vector<double (*)()>& variants)
{
    std::vector<double> best(variants.size(), 0.0);
    for (int round = 0; round < kRounds; ++round) {
        for (size_t i = 0; i < variants.size(); ++i) {
            const double rate = variants[i]();
            if (rate <= 0)
                return std::vector<double>(variants.size(), 0.0);
            best[i] = std::max(best[i], rate);
        }
    }
    return best;
}

double MegabytesPerSecond(double milliseconds)
{
    return milliseconds > 0 ? kDownloadBytes / 1048576.0 * 1000.0 / milliseconds : 0;
}

std::wstring g_downloadFile;

double ClientToStreamRate() { return MegabytesPerSecond(ClientDownload(nullptr)); }
double ClientToFileRate() { return MegabytesPerSecond(ClientDownload(g_downloadFile.c_str())); }
double PlainSamePiecesRate() { return MegabytesPerSecond(PlainDownload(8192)); }
double PlainLargePiecesRate() { return MegabytesPerSecond(PlainDownload(65536)); }
double PlainIntoMemoryRate() { return MegabytesPerSecond(PlainDownloadIntoMemory()); }

} // namespace

int main(int argc, char** argv)
{
    RVTest::WinsockScope winsock;
    if (RVTest::PeerPort("RV_STAT_PORT") == 0 || RVTest::PeerPort("RV_HTTP_PORT") == 0) {
        std::printf("run beside the test peers (tests/servers/run_with_peers.py --stat --http-script ...)\n");
        return 2;
    }

    const std::vector<double> messages = BestRates({ManagerRate, PlainDriverSizedRate, PlainLargeReadRate});
    const double manager = messages[0];
    const double plain = messages[1];
    std::printf("1 KB messages, echoed (best of %d rounds x %d, window %d):\n", kRounds, kMessages, kWindow);
    std::printf("  connection manager  %10.0f messages/s\n", manager);
    std::printf("  plain, 4108-byte reads %7.0f messages/s  ratio %.2f\n", plain, plain > 0 ? manager / plain : 0);
    std::printf("  plain, 64 KB reads  %10.0f messages/s  ratio %.2f\n", messages[2],
                messages[2] > 0 ? manager / messages[2] : 0);
    if (argc > 1 && std::string(argv[1]) == "messages")
        return manager > 0 && plain > 0 ? 0 : 1;

    RVTest::TempFolder folder;
    g_downloadFile = folder.Child(L"download.bin");
    const std::vector<double> downloads =
        BestRates({ClientToStreamRate, ClientToFileRate, PlainSamePiecesRate, PlainLargePiecesRate, PlainIntoMemoryRate});
    const double toStream = downloads[0];
    const double toFile = downloads[1];
    const double plainSame = downloads[2];
    const double plainLarge = downloads[3];
    std::printf("20 MB HTTP download (best of %d rounds):\n", kRounds);
    std::printf("  client into a stream  %8.1f MB/s  ratio %.2f\n", toStream, plainSame > 0 ? toStream / plainSame : 0);
    std::printf("  client into a file    %8.1f MB/s  ratio %.2f\n", toFile, plainSame > 0 ? toFile / plainSame : 0);
    std::printf("  plain read, 8 KB      %8.1f MB/s\n", plainSame);
    std::printf("  plain read, 64 KB     %8.1f MB/s  (client into a stream / this: %.2f)\n", plainLarge,
                plainLarge > 0 ? toStream / plainLarge : 0);
    std::printf("  plain read, 8 KB into one 20 MB buffer  %6.1f MB/s  (client into a stream / this: %.2f)\n",
                downloads[4], downloads[4] > 0 ? toStream / downloads[4] : 0);
    return manager > 0 && plain > 0 && toStream > 0 && toFile > 0 ? 0 : 1;
}
