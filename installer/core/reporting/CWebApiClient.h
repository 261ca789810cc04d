#pragma once

#include "engine/common/base/CCriticalSection.h"
#include "engine/common/base/IStream.h"
#include "engine/common/base/TIntrusivePointer.h"

#include <cstdint>
#include <string>
#include <unordered_set>

// The installer's client of the maker's web services over the blocking HTTP
// client: text replies by GET or POST, files cached under "Cache/WebApi/" in
// the current directory, and the advert list. Every call blocks its caller;
// the request operations try twice.
class CWebApiClient
{
public:
    static constexpr uint32_t kMaxCachedFileBytes = 8u * 1024u * 1024u;
    static constexpr const wchar_t* kCacheFolder = L"Cache/WebApi";

    static CWebApiClient* GetInstance();

    CWebApiClient();
    CWebApiClient(const CWebApiClient&) = delete;
    CWebApiClient& operator=(const CWebApiClient&) = delete;

    // Present, at least two characters, opening with "{" or "[".
    static bool IsJsonText(const char* text);

    // One GET into a new file (one already there is kept, and a link on the
    // way is not followed: both logged); a body over kMaxCachedFileBytes is not kept,
    // and its address is remembered: the two-attempt form and GetCached do
    // not fetch it again for the life of the process.
    bool DownloadToFile(const wchar_t* url, const wchar_t* path, int32_t delayMs);
    bool DownloadToFileLocked(const wchar_t* url, const wchar_t* path);
    // The cache path for the address, downloading the file when it is not
    // there yet; the path is given even when the download failed.
    std::wstring GetCached(const wchar_t* url);
    // One request; the reply body as text, empty on any failure.
    std::string PostText(const wchar_t* url, int32_t delayMs);
    std::string GetText(const wchar_t* url, int32_t delayMs);
    std::string RequestPost(const wchar_t* url);
    std::string RequestGet(const wchar_t* url);
    // The first advert of the list for the position (type 0: any type). A
    // jump address that is not http or https is logged and left empty.
    bool RequestAdvertList(int32_t position, int32_t type, std::wstring* pictureUrl, std::wstring* jumpUrl);

    // "http://host:port" of the advert server (the build's address by
    // default; tests use their own server).
    void SetAdvertServer(const std::wstring& server) { m_advertServer = server; }
    std::wstring BuildAdvertListUrl(int32_t position, int32_t type) const;

private:
    // Two attempts, waiting 20 ms and then 80 ms after sending a request.
    static int32_t AttemptDelayMs(int32_t attempt) { return (attempt + 1) * 20 * (attempt + 1); }
    static constexpr int32_t kAttempts = 2;

    bool IsRefusedForSize(const wchar_t* url);

    RVGameEngine::Common::CCriticalSection m_lock;
    std::wstring m_advertServer;
    std::unordered_set<std::wstring> m_refusedForSize;
};
