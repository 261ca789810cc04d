#pragma once

#include "engine/common/base/CEventDelegateManager.h"
#include "engine/common/base/EngineApi.h"
#include "engine/common/base/EventArgs.h"
#include "engine/common/base/IStream.h"
#include "engine/common/base/TIntrusivePointer.h"

#include <cstdint>

namespace RVGameEngine {
namespace Download {

// Event id raised after every receive of a body piece (sender: the downloader).
constexpr int32_t kHttpDownloaderBytesDownloadedEvent = 0;

struct RV_API tagHttpDownloaderBytesDownloadedEventArgs : public Common::tagEventArgs
{
    // Bytes of the piece just received (0 for a receive that gave nothing).
    uint32_t bytes = 0;
};

// A small blocking HTTP/1.1 client over one TCP connection. Open connects to
// the URL's host; each request then sends one GET or form POST on that
// connection and takes a 200 response whose body has a Content-Length or
// chunked framing. Every call blocks its caller, never for longer than the
// connect time-out plus an overall request deadline of a few tens of seconds.
// Every failure is a false result.
//
// URLs and file names are UTF-16; a URL is "[http://]host[:port][/path]".
class RV_API IHttpDownloader : public Common::CEventDelegateManager
{
public:
    virtual bool Open(const wchar_t* url, uint32_t timeoutMs) = 0;
    // Open with a time-out of 5 seconds.
    virtual bool Open(const wchar_t* url) = 0;
    virtual void Close() = 0;
    // Close, then Open the URL last given to Open.
    virtual bool Reopen(uint32_t timeoutMs) = 0;
    // GET into the named file (created or truncated; its folder is made).
    virtual bool DownloadToFile(const wchar_t* url, const wchar_t* fileName, int32_t delayMs) = 0;
    // Fraction of the current body received.
    virtual float GetProgress() = 0;
    // Body bytes received by every request of this object.
    virtual uint32_t GetBytesDownloaded() = 0;
    // GET into the stream (emptied first).
    virtual bool Download(const wchar_t* url, Common::TIntrusivePointer<Common::IStream> stream, int32_t delayMs) = 0;
    // Later GET requests leave out their Accept line.
    virtual void DisableAcceptHeader() = 0;
    // Download with the given text in the Host line.
    virtual bool DownloadWithHost(const wchar_t* url, const wchar_t* host,
                                  Common::TIntrusivePointer<Common::IStream> stream, int32_t delayMs) = 0;
    // POST of the URL's query text (after the first "?") as a UTF-8 form
    // body; the response body goes into the stream.
    virtual bool Post(const wchar_t* url, Common::TIntrusivePointer<Common::IStream> stream, int32_t delayMs) = 0;
};

// A new downloader, count 0: hold it in a TIntrusivePointer.
RV_API IHttpDownloader* IHttpDownloader_Create();
// One process-wide downloader, made on the first call and never destroyed.
RV_API IHttpDownloader* IHttpDownloader_GetInstance();

} // namespace Download
} // namespace RVGameEngine
