#pragma once

// Include <winsock2.h> before this header (and before <windows.h>).
#include <winsock2.h>

#include "engine/common/base/CCriticalSection.h"
#include "engine/common/base/TScopedHandle.h"
#include "engine/network/INetworkDriverListener.h"

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace RVGameEngine {
namespace Network {

// The working part of the threaded socket driver. Its threads share it, so it
// lives until the last of them has ended, even after the driver object that
// made it is gone.
//
// Each connected socket has one owner record. The socket is closed exactly
// once, when the last holder of that record lets go: normally the receive
// thread after reporting the close. Close() only signals the record's close
// event, which wakes that thread out of its wait for data, so a socket number
// is never given back to the system while an old thread could still read
// from it.
//
// Once its owner has called ReadArrived, a receive thread that has just
// reported data hands the reading of its socket over to the owner's next
// ReadArrived and waits: a peer that sends many small pieces then costs one
// read per owner's update, not a read and a thread wake-up per piece. The
// owner hands it back (nothing waiting, the end of the stream, an error) and
// a close request takes it back; the owner's read in progress ends first, so
// data and the close are reported in order.
//
// Every thread it starts is kept by handle. Detach signals them all and waits
// for them (bounded), so that none is still ending when its owner, or the
// process, goes; from then on no new thread is started.
class CSocketDriverCore : public std::enable_shared_from_this<CSocketDriverCore>
{
public:
    // How long one send may wait for a peer that does not read.
    static constexpr DWORD kDefaultSendTimeoutMs = 5000;

    explicit CSocketDriverCore(DWORD sendTimeoutMs = kDefaultSendTimeoutMs);
    ~CSocketDriverCore();
    CSocketDriverCore(const CSocketDriverCore&) = delete;
    CSocketDriverCore& operator=(const CSocketDriverCore&) = delete;

    // Waits for a listener call in progress, so that after
    // SetListener(nullptr) no call reaches the old listener.
    void SetListener(INetworkDriverListener* listener);
    bool Listen(const char* address);
    void StopListening();
    uint32_t Connect(const char* address);
    bool ConnectAsync(const char* address);
    void Close(uint32_t socket);
    // Lets the number of a socket reported closed go back to the system.
    void ReleaseSocket(uint32_t socket);
    bool Send(uint32_t socket, const uint8_t* data, uint32_t length);
    void PauseReceiving(uint32_t socket, bool paused);
    void PauseAccepting(bool paused);
    // One plain read of each socket handed over to the caller, reported
    // before it returns; a socket with nothing waiting goes back to its
    // receive thread.
    void ReadArrived();
    // Whether the socket's receive thread has left its reading to the owner
    // and waits for ReadArrived (for tests that need that state first).
    bool IsReadingHandedOver(uint32_t socket);
    // The driver is going: no more listener calls, no more accepting, every
    // connection shut down (its thread closes it), and every thread of the
    // driver ended (but the calling one, when it is one of them).
    void Detach();

private:
    struct CDriverSocket
    {
        // Puts the socket in non-blocking mode, with a signal for room to
        // send once its buffer was full.
        explicit CDriverSocket(SOCKET socket);
        Common::CScopedSocket handle;
        // Signalled by Close: the receive thread stops waiting and ends.
        Common::CScopedKernelHandle closeRequested;
        // Reset while the owner has paused receiving: the receive thread
        // waits before its next read.
        Common::CScopedKernelHandle receiveAllowed;
        // Set by Winsock when there is room to send again after a full buffer.
        Common::CScopedKernelHandle sendRoom;
        // Set when the owner gives the reading back to the receive thread.
        Common::CScopedKernelHandle readingReturned;
        // Held by the owner while it reads and reports; taken by the receive
        // thread to take the reading back.
        Common::CCriticalSection readLock;
        // The owner's ReadArrived reads this socket (under readLock).
        bool handedOver = false;
        std::atomic<bool> hasReader{false};
        // Close was asked for: sends fail at once, the receive thread ends.
        std::atomic<bool> closing{false};
        // Receiving is paused (receiveAllowed is reset).
        std::atomic<bool> receivePaused{false};
        Common::CCriticalSection sendLock;
        // A send failed part-way: nothing more may be sent (under sendLock).
        bool sendFailed = false;
        // Its close was reported: the record only keeps the number taken
        // until the owner gives it back (under the driver's socket lock).
        bool ended = false;
    };
    using SocketRecord = std::shared_ptr<CDriverSocket>;

    struct tagStartedThread
    {
        Common::CScopedKernelHandle handle;
        DWORD id = 0;
    };

    // Starts a thread of the driver and keeps its handle (in `kept` when
    // given, else among the threads Detach waits for); false, with the
    // parameter deleted, once the driver is detached or when it fails.
    bool StartThread(LPTHREAD_START_ROUTINE routine, void* parameter, tagStartedThread* kept = nullptr);
    // Waits until each of the threads has ended or the time is up.
    static void WaitForThreads(const std::vector<tagStartedThread>& threads, DWORD limitMs);

    static unsigned long __stdcall AcceptThread(void* parameter);
    static unsigned long __stdcall ReceiveThread(void* parameter);
    static unsigned long __stdcall ConnectThread(void* parameter);

    void AcceptLoop(SOCKET listenSocket);
    void ReceiveLoop(const SocketRecord& record);
    // One receive that a close request can interrupt: the byte count, 0 when
    // the peer closed, -1 on an error or a close request.
    static int ReceiveOnce(const SocketRecord& record, HANDLE dataReady, char* buffer, int size);
    // Waits until the record's socket has room to send again; false on a
    // close request or once the send begun at `start` has used its time.
    bool WaitForSendRoom(CDriverSocket& record, DWORD start);
    // Leaves reading to the owner until it gives it back (true) or a close
    // is requested (false); either way the reading is the thread's again.
    bool HandReadingOver(const SocketRecord& record);
    // Gives the reading back to the receive thread (under readLock).
    static void ReturnReading(CDriverSocket& record);
    // Starts the record's receive thread; on failure the connection is
    // reported closed.
    void StartReceiving(const SocketRecord& record);
    // Shuts the connection down and reports its close; the record stays,
    // keeping the number, until ReleaseSocket (or at once when nobody
    // listens, since nobody would give it back).
    void EndSocket(const SocketRecord& record);
    // A non-blocking connect that a detach cuts short; true once connected.
    bool ConnectWithin(SOCKET socket, const sockaddr_in& address, DWORD limitMs);

    void AddSocket(const SocketRecord& record);
    SocketRecord FindSocket(uint32_t socket);
    void RemoveSocket(const SocketRecord& record);

    void NotifyClientAccepted(uint32_t socket);
    void NotifyConnectResult(uint32_t socket, const char* address, bool success);
    // False when no listener heard it.
    bool NotifySocketClosed(uint32_t socket);
    void NotifyDataReceived(uint32_t socket, const uint8_t* data, uint32_t length);

    const DWORD m_sendTimeoutMs;

    Common::CCriticalSection m_listenerLock;
    INetworkDriverListener* m_listener = nullptr;

    Common::CCriticalSection m_socketLock;
    std::map<uint32_t, SocketRecord> m_sockets;

    // Sockets whose reading the owner has; the owner calls ReadArrived.
    Common::CCriticalSection m_handOverLock;
    std::vector<SocketRecord> m_handedOver;
    std::atomic<bool> m_ownerReads{false};
    // What ReadArrived reads into (only the owner's thread calls it).
    std::vector<char> m_ownerReadBuffer;

    Common::CCriticalSection m_threadLock;
    std::vector<tagStartedThread> m_threads;
    bool m_detached = false;
    // Set by Detach: connects under way give up at once.
    Common::CScopedKernelHandle m_detaching;

    // Used by the thread that listens and stops listening.
    Common::CScopedSocket m_listenSocket;
    tagStartedThread m_acceptThread;
    std::atomic<bool> m_stopAccepting{false};
    // Set while clients may be accepted; reset while the owner pauses that.
    Common::CScopedKernelHandle m_acceptAllowed;
    // Set by StopListening, never cleared: receive threads then end quietly.
    std::atomic<bool> m_stopping{false};
};

} // namespace Network
} // namespace RVGameEngine
