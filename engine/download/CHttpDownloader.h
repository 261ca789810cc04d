#pragma once

// Include <winsock2.h> before this header (and before <windows.h>).
#include <winsock2.h>

#include "engine/common/base/TScopedHandle.h"
#include "engine/download/IHttpDownloader.h"

#include <cstdint>
#include <string>
#include <vector>

namespace RVGameEngine {
namespace Download {

class IHttpBodySink;

// The blocking HTTP/1.1 client. Besides the 1-second send and receive
// time-outs of each call, a whole request (after its optional delay) must end
// within the request deadline, so a peer that trickles bytes cannot hold the
// caller for long. A response that is not read to its exact end leaves the
// connection unusable, so it is closed then.
class CHttpDownloader : public IHttpDownloader
{
public:
    // Longest a request may take once sent.
    static constexpr uint32_t kDefaultRequestDeadlineMs = 20000;
    // Largest body kept in memory (streams); longer ones fail before reading.
    static constexpr uint32_t kMaxBodyInMemory = 64u * 1024u * 1024u;

    explicit CHttpDownloader(uint32_t requestDeadlineMs = kDefaultRequestDeadlineMs);
    ~CHttpDownloader() override;

    bool Open(const wchar_t* url, uint32_t timeoutMs) override;
    bool Open(const wchar_t* url) override;
    void Close() override;
    bool Reopen(uint32_t timeoutMs) override;
    bool DownloadToFile(const wchar_t* url, const wchar_t* fileName, int32_t delayMs) override;
    float GetProgress() override { return m_progress; }
    uint32_t GetBytesDownloaded() override { return m_bytesDownloaded; }
    bool Download(const wchar_t* url, Common::TIntrusivePointer<Common::IStream> stream, int32_t delayMs) override;
    void DisableAcceptHeader() override { m_noAcceptHeader = true; }
    bool DownloadWithHost(const wchar_t* url, const wchar_t* host, Common::TIntrusivePointer<Common::IStream> stream,
                          int32_t delayMs) override;
    bool Post(const wchar_t* url, Common::TIntrusivePointer<Common::IStream> stream, int32_t delayMs) override;
    // A GET whose body goes to the sink given (the open connection is used).
    bool DownloadInto(const wchar_t* url, IHttpBodySink& sink, int32_t delayMs);

private:
    std::string BuildGetRequest(const std::string& path, const std::string& host) const;
    // A GET of the path with that Host line; refused before anything is sent
    // when the path or host would break the request's lines.
    bool Get(const std::string& path, const std::string& host, int32_t delayMs, IHttpBodySink& sink);
    // Sends the request and takes a 200 response's body into the sink.
    bool Exchange(const std::string& request, int32_t delayMs, IHttpBodySink& sink);
    bool ReceiveHeader(std::string* header);
    bool ReceiveLine(std::string* line);
    bool ReceiveBody(uint32_t length, IHttpBodySink& sink);
    bool ReceiveChunkedBody(IHttpBodySink& sink);
    // One recv bounded by the request deadline: the byte count, or 0 for an
    // error, a time-out, a close or a passed deadline. Reads shorter than a
    // body piece (header bytes, chunk lines) are served from one piece read
    // ahead, so that a header costs one recv rather than one per byte.
    int ReceiveSome(char* buffer, int size);
    int TakeReadAhead(char* buffer, int size);
    void CountPiece(uint32_t bytes);

    float m_progress = 0.0f;
    uint32_t m_bytesDownloaded = 0;
    Common::CScopedSocket m_socket;
    // Bytes received ahead of the reads that want them; they belong to the
    // connection and go with it.
    std::vector<char> m_readAhead;
    size_t m_readAheadAt = 0;
    std::wstring m_url;
    bool m_noAcceptHeader = false;
    uint32_t m_requestDeadlineMs;
    DWORD m_requestStart = 0;
};

} // namespace Download
} // namespace RVGameEngine
