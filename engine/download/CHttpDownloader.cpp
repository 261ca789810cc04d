#include <winsock2.h>

#include "engine/download/CHttpDownloader.h"

#include "engine/common/base/CKeepAlive.h"
#include "engine/common/base/TextCodec.h"
#include "engine/common/system/SocketFunctions.h"
#include "engine/download/CHttpFileSink.h"
#include "engine/download/HttpResponseHeader.h"
#include "engine/download/HttpUrl.h"
#include "engine/download/IHttpBodySink.h"
#include "engine/filesystem/ILogFile.h"
#include "engine/filesystem/IVirtualFileSystem.h"

#include <windows.h>

#include <algorithm>
#include <memory>
#include <new>
#include <vector>

namespace RVGameEngine {
namespace Download {

namespace {

constexpr uint32_t kDefaultConnectTimeoutMs = 5000;
constexpr uint32_t kSocketTimeoutMs = 1000;
// The request text and the response header each have a buffer of this size.
constexpr size_t kRequestBufferSize = 10000;
constexpr size_t kMaxHeaderBytes = kRequestBufferSize - 2;
// Longest chunk-size or trailer line.
constexpr size_t kMaxChunkLineBytes = 1024;
constexpr uint32_t kBodyPieceSize = 8192;

void LogRefusal(const wchar_t* what)
{
    FileSystem::ILogFile_GetInstance()->Log(FileSystem::LOG_LEVEL_WARNING, L"HTTP request failed: %s", what);
}

// The body goes into the stream as it arrives. A stated length is no promise
// that the bytes will come, so room is made a few MB ahead at first, then
// never more than four times what has arrived (growing with it, in few steps
// since each moves what came), and the pieces are received straight into
// that room. Whatever the outcome, the stream ends up holding exactly the
// bytes that arrived, with its position after them: a body cut short leaves
// its received part, never the room made ahead of it.
class CStreamSink : public IHttpBodySink
{
public:
    explicit CStreamSink(Common::IStream* stream) : m_stream(stream) {}
    ~CStreamSink() { EndRoom(); }
    uint32_t GetLimit() const override { return CHttpDownloader::kMaxBodyInMemory; }
    bool Prepare() override
    {
        m_stream->SetSize(0);
        m_stream->Seek(0);
        m_filled = 0;
        m_room = 0;
        m_expected = 0;
        return m_stream->GetSize() == 0;
    }
    void ExpectLength(uint32_t length) override
    {
        m_expected = length;
        MakeRoom(std::min(length, kFirstRoom));
    }
    bool Append(const uint8_t* data, uint32_t count) override
    {
        EndRoom();
        return m_stream->Write(data, static_cast<int32_t>(count));
    }
    uint8_t* GetRoom(uint32_t count) override
    {
        if (m_expected == 0 || count > m_expected - m_filled)
            return nullptr;
        if (count > m_room - m_filled) {
            const uint32_t ahead = std::max(count, std::max(kRoomAheadFactor * m_filled, kFirstRoom));
            // Only what came is moved to the larger block.
            m_stream->SetSize(static_cast<int32_t>(m_filled));
            MakeRoom(m_filled + std::min(ahead, m_expected - m_filled));
        }
        // Without room (it could not grow) the pieces are appended.
        return m_room != 0 && count <= m_room - m_filled ? m_stream->GetData() + m_filled : nullptr;
    }
    void Commit(uint32_t count) override { m_filled += count; }
    bool Finish() override
    {
        EndRoom();
        return true;
    }

private:
    static constexpr uint32_t kFirstRoom = 4 * 1024 * 1024;
    static constexpr uint32_t kRoomAheadFactor = 4;

    // Sizes the stream to `room` bytes; without the memory for it the pieces
    // are appended one by one.
    void MakeRoom(uint32_t room)
    {
        m_stream->SetSize(static_cast<int32_t>(room));
        if (m_stream->GetSize() == static_cast<int32_t>(room)) {
            m_room = room;
        } else {
            m_stream->SetSize(static_cast<int32_t>(m_filled));
            EndRoom();
            m_expected = 0;
        }
    }
    // Trims the room to what arrived.
    void EndRoom()
    {
        if (m_room == 0)
            return;
        m_stream->SetSize(static_cast<int32_t>(m_filled));
        m_stream->Seek(static_cast<int32_t>(m_filled));
        m_room = 0;
        m_expected = 0;
    }

    Common::IStream* m_stream;
    uint32_t m_expected = 0;
    uint32_t m_room = 0;
    uint32_t m_filled = 0;
};

// The form body: the query text, read in the system's code page, as UTF-8.
std::string FormBodyOf(const std::string& query)
{
    const std::wstring wide = Common::NarrowToWide(CP_ACP, query.c_str());
    return Common::WideToNarrow(Common::kCodePageUtf8, wide.c_str());
}

std::string ToAnsi(const wchar_t* text)
{
    return Common::WideToNarrow(Common::kCodePageAnsi, text);
}

} // namespace

CHttpDownloader::CHttpDownloader(uint32_t requestDeadlineMs) : m_requestDeadlineMs(requestDeadlineMs) {}

CHttpDownloader::~CHttpDownloader()
{
    Close();
}

bool CHttpDownloader::Open(const wchar_t* url, uint32_t timeoutMs)
{
    // A connection still open would otherwise be lost without being closed.
    Close();
    m_url = url != nullptr ? url : L"";
    const tagHttpUrl parts = SplitHttpUrl(m_url.c_str());

    const uint16_t port = HttpHostPort(parts.host);
    if (port == 0) {
        LogRefusal(L"the URL names no usable port");
        return false;
    }
    Common::CScopedSocket connection(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
    if (!connection.IsValid())
        return false;
    Common::SetSocketTimeouts(connection.Get(), kSocketTimeoutMs, kSocketTimeoutMs);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = inet_addr(ResolveHttpHost(parts.host).c_str());
    address.sin_port = htons(port);
    if (address.sin_addr.s_addr == INADDR_NONE
        || !Common::ConnectSocketWithTimeout(connection.Get(), address, timeoutMs))
        return false;
    m_socket = std::move(connection);
    return true;
}

bool CHttpDownloader::Open(const wchar_t* url)
{
    return Open(url, kDefaultConnectTimeoutMs);
}

void CHttpDownloader::Close()
{
    m_socket.Close();
    m_readAhead.clear();
    m_readAheadAt = 0;
}

bool CHttpDownloader::Reopen(uint32_t timeoutMs)
{
    const std::wstring url = m_url;
    Close();
    return Open(url.c_str(), timeoutMs);
}

bool CHttpDownloader::DownloadToFile(const wchar_t* url, const wchar_t* fileName, int32_t delayMs)
{
    if (fileName == nullptr)
        return false;
    FileSystem::IVirtualFileSystem* files = FileSystem::IVirtualFileSystem_GetInstance();
    wchar_t folder[FileSystem::kPathPartBufferLength];
    if (files->GetDirectoryPart(fileName, folder))
        files->CreateDirectory(folder);
    CHttpFileSink sink(fileName);
    return DownloadInto(url, sink, delayMs);
}

bool CHttpDownloader::DownloadInto(const wchar_t* url, IHttpBodySink& sink, int32_t delayMs)
{
    if (!m_socket.IsValid())
        return false;
    const tagHttpUrl parts = SplitHttpUrl(url);
    return Get(parts.path, parts.host, delayMs, sink);
}

bool CHttpDownloader::Download(const wchar_t* url, Common::TIntrusivePointer<Common::IStream> stream, int32_t delayMs)
{
    if (!stream)
        return false;
    CStreamSink sink(stream.Get());
    return DownloadInto(url, sink, delayMs);
}

bool CHttpDownloader::DownloadWithHost(const wchar_t* url, const wchar_t* host,
                                       Common::TIntrusivePointer<Common::IStream> stream, int32_t delayMs)
{
    if (!stream || !m_socket.IsValid())
        return false;
    const tagHttpUrl parts = SplitHttpUrl(url);
    CStreamSink sink(stream.Get());
    return Get(parts.path, ToAnsi(host), delayMs, sink);
}

bool CHttpDownloader::Post(const wchar_t* url, Common::TIntrusivePointer<Common::IStream> stream, int32_t delayMs)
{
    if (!stream || !m_socket.IsValid())
        return false;
    const tagHttpUrl parts = SplitHttpUrl(url);
    const size_t question = parts.path.find('?');
    const std::string target = parts.path.substr(0, question);
    if (!IsPlainRequestText(target) || !IsPlainRequestText(parts.host)) {
        LogRefusal(L"a control character in the URL");
        return false;
    }
    const std::string body = question == std::string::npos ? std::string() : FormBodyOf(parts.path.substr(question + 1));
    const std::string request = "POST " + target + " HTTP/1.1\r\n"
        + "Content-Length:" + std::to_string(body.size()) + "\r\n"
        + "Content-Type: application/x-www-form-urlencoded;charset=UTF-8\r\n"
        + "Host:" + parts.host + "\r\n\r\n" + body;
    CStreamSink sink(stream.Get());
    return Exchange(request, delayMs, sink);
}

std::string CHttpDownloader::BuildGetRequest(const std::string& path, const std::string& host) const
{
    std::string request = "GET " + path + " HTTP/1.1\r\n";
    if (!m_noAcceptHeader)
        request += "Accept: application/octet-stream\r\n";
    request += "User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)\r\n";
    request += "Host: " + host + "\r\n";
    request += "Cache-Control: no-cache\r\n\r\n";
    return request;
}

bool CHttpDownloader::Get(const std::string& path, const std::string& host, int32_t delayMs, IHttpBodySink& sink)
{
    if (!IsPlainRequestText(path) || !IsPlainRequestText(host)) {
        LogRefusal(L"a control character in the URL or host");
        return false;
    }
    return Exchange(BuildGetRequest(path, host), delayMs, sink);
}

bool CHttpDownloader::Exchange(const std::string& request, int32_t delayMs, IHttpBodySink& sink)
{
    // A progress handler may drop the last reference to this downloader.
    Common::CKeepAlive keepAlive(this);
    m_progress = 0.0f;
    if (request.size() > kRequestBufferSize) {
        LogRefusal(L"request text too long");
        return false;
    }
    Common::SendAllBytes(m_socket.Get(), request.data(), static_cast<uint32_t>(request.size()));
    if (delayMs > 0)
        Sleep(static_cast<DWORD>(delayMs));
    m_requestStart = GetTickCount();

    bool complete = false;
    std::string header;
    uint32_t length = 0;
    if (ReceiveHeader(&header) && HttpStatusOf(header) == 200) {
        const enmHttpBodyFraming framing = HttpBodyFramingOf(header, &length);
        if (framing == HTTP_BODY_BAD_LENGTH || (framing == HTTP_BODY_LENGTH && length > sink.GetLimit()))
            LogRefusal(L"unusable body length");
        else if (framing == HTTP_BODY_LENGTH && length > 0 && sink.Prepare())
            complete = ReceiveBody(length, sink);
        else if (framing == HTTP_BODY_CHUNKED && sink.Prepare())
            complete = ReceiveChunkedBody(sink);
        complete = complete && sink.Finish();
    }
    // Whatever is left of this response would be read as the next one.
    if (!complete)
        Close();
    return complete;
}

bool CHttpDownloader::ReceiveHeader(std::string* header)
{
    header->clear();
    char byte = 0;
    while (header->size() < 4 || header->compare(header->size() - 4, 4, "\r\n\r\n") != 0) {
        if (header->size() >= kMaxHeaderBytes) {
            LogRefusal(L"response header too long");
            return false;
        }
        // A header cut short (a close, or a pause past the time-out) is no
        // header: what follows would be taken for the body.
        if (ReceiveSome(&byte, 1) != 1)
            return false;
        header->push_back(byte);
    }
    return true;
}

bool CHttpDownloader::ReceiveLine(std::string* line)
{
    line->clear();
    char byte = 0;
    while (line->size() < 2 || line->compare(line->size() - 2, 2, "\r\n") != 0) {
        if (line->size() >= kMaxChunkLineBytes || ReceiveSome(&byte, 1) != 1)
            return false;
        line->push_back(byte);
    }
    line->resize(line->size() - 2);
    return true;
}

bool CHttpDownloader::ReceiveBody(uint32_t length, IHttpBodySink& sink)
{
    sink.ExpectLength(length);
    std::vector<char> piece(kBodyPieceSize);
    uint32_t received = 0;
    while (received < length) {
        const int want = static_cast<int>(std::min<uint32_t>(length - received, kBodyPieceSize));
        uint8_t* room = sink.GetRoom(static_cast<uint32_t>(want));
        const int count = ReceiveSome(room != nullptr ? reinterpret_cast<char*>(room) : piece.data(), want);
        if (count > 0 && room != nullptr)
            sink.Commit(static_cast<uint32_t>(count));
        else if (count > 0 && !sink.Append(reinterpret_cast<const uint8_t*>(piece.data()), static_cast<uint32_t>(count)))
            return false;
        received += static_cast<uint32_t>(count);
        m_progress = static_cast<float>(received) / static_cast<float>(length);
        CountPiece(static_cast<uint32_t>(count));
        if (count == 0)
            break;
    }
    return received == length;
}

bool CHttpDownloader::ReceiveChunkedBody(IHttpBodySink& sink)
{
    std::vector<char> piece(kBodyPieceSize);
    uint64_t total = 0;
    std::string line;
    for (;;) {
        uint32_t size = 0;
        if (!ReceiveLine(&line) || !ParseHttpChunkSize(line, sink.GetLimit(), &size))
            return false;
        if (size == 0)
            break;
        total += size;
        if (total > sink.GetLimit()) {
            LogRefusal(L"chunked body too long");
            return false;
        }
        for (uint32_t left = size; left > 0;) {
            const int count = ReceiveSome(piece.data(), static_cast<int>(std::min(left, kBodyPieceSize)));
            CountPiece(static_cast<uint32_t>(count));
            if (count == 0
                || !sink.Append(reinterpret_cast<const uint8_t*>(piece.data()), static_cast<uint32_t>(count)))
                return false;
            left -= static_cast<uint32_t>(count);
        }
        if (!ReceiveLine(&line) || !line.empty())
            return false;
    }
    // Trailer lines up to the empty line that ends the body.
    do {
        if (!ReceiveLine(&line))
            return false;
    } while (!line.empty());
    m_progress = 1.0f;
    return true;
}

int CHttpDownloader::TakeReadAhead(char* buffer, int size)
{
    const int count = static_cast<int>(std::min<size_t>(static_cast<size_t>(size), m_readAhead.size() - m_readAheadAt));
    std::copy_n(m_readAhead.data() + m_readAheadAt, count, buffer);
    m_readAheadAt += static_cast<size_t>(count);
    return count;
}

int CHttpDownloader::ReceiveSome(char* buffer, int size)
{
    if (m_readAheadAt < m_readAhead.size())
        return TakeReadAhead(buffer, size);
    if (GetTickCount() - m_requestStart > m_requestDeadlineMs)
        return 0;
    if (static_cast<uint32_t>(size) >= kBodyPieceSize) {
        const int count = recv(m_socket.Get(), buffer, size, 0);
        return count > 0 ? count : 0;
    }
    m_readAhead.resize(kBodyPieceSize);
    const int count = recv(m_socket.Get(), m_readAhead.data(), static_cast<int>(kBodyPieceSize), 0);
    m_readAhead.resize(count > 0 ? static_cast<size_t>(count) : 0);
    m_readAheadAt = 0;
    return count > 0 ? TakeReadAhead(buffer, size) : 0;
}

void CHttpDownloader::CountPiece(uint32_t bytes)
{
    m_bytesDownloaded += bytes;
    tagHttpDownloaderBytesDownloadedEventArgs args;
    args.bytes = bytes;
    Fire(kHttpDownloaderBytesDownloadedEvent, this, &args);
}

IHttpDownloader* IHttpDownloader_Create()
{
    return new (std::nothrow) CHttpDownloader;
}

IHttpDownloader* IHttpDownloader_GetInstance()
{
    static IHttpDownloader* instance = [] {
        IHttpDownloader* downloader = IHttpDownloader_Create();
        if (downloader != nullptr)
            downloader->AddRef();
        return downloader;
    }();
    return instance;
}

} // namespace Download
} // namespace RVGameEngine
