#pragma once

// Include <winsock2.h> before this header (and before <windows.h>).
#include <winsock2.h>

namespace RVGameEngine {
namespace Network {

// Starts one overlapped socket operation (`start` issues it with the
// overlapped record, the count and the flags, as WSARecv takes them) and
// waits for it to finish: the byte count, or -1 on an error or on
// `interrupt`. Winsock does not promise to clear the operation's signal
// `done` (manual reset) when it is issued, so a wake-up that finds the
// operation not yet complete clears it and waits again (clearing it before
// every operation would cost a system call each time for a case that the
// wait handles anyway). An operation given up on is cancelled and waited
// out, since its buffer and overlapped record must outlive it.
template <typename Start>
int RunOverlapped(SOCKET socket, HANDLE done, HANDLE interrupt, Start start)
{
    WSAOVERLAPPED overlapped{};
    overlapped.hEvent = done;
    DWORD count = 0;
    DWORD flags = 0;
    if (start(&overlapped, &count, &flags) == 0)
        return static_cast<int>(count);
    if (WSAGetLastError() != WSA_IO_PENDING)
        return -1;
    // The byte count, -1 on an error, or kIncomplete.
    constexpr int kIncomplete = -2;
    const auto result = [&]() -> int {
        if (WSAGetOverlappedResult(socket, &overlapped, &count, FALSE, &flags))
            return static_cast<int>(count);
        return WSAGetLastError() == WSA_IO_INCOMPLETE ? kIncomplete : -1;
    };
    const HANDLE waits[2] = {done, interrupt};
    for (;;) {
        if (WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0) {
            CancelIo(reinterpret_cast<HANDLE>(socket));
            WSAGetOverlappedResult(socket, &overlapped, &count, TRUE, &flags);
            return -1;
        }
        int finished = result();
        if (finished == kIncomplete) {
            // A signal that was not this operation's completion: cleared,
            // then looked at once more, since the completion may have come
            // between the look and the clearing (it signals after it).
            ResetEvent(done);
            finished = result();
        }
        if (finished != kIncomplete)
            return finished;
    }
}

} // namespace Network
} // namespace RVGameEngine
