#include "installer/core/reporting/CWebApiClient.h"

#include "installer/core/rules/BuildSettings.h"
#include "installer/core/rules/PartnerFunctions.h"
#include "installer/core/rules/WebAddressRules.h"

#include "engine/common/base/CAutoLock.h"
#include "engine/common/base/LogTextFunctions.h"
#include "engine/common/base/TextCodec.h"
#include "engine/download/IHttpDownloader.h"
#include "engine/filesystem/CCheckedFileWriter.h"
#include "engine/filesystem/documents/IJsonParser.h"
#include "engine/filesystem/ILogFile.h"
#include "engine/filesystem/IVirtualFileSystem.h"
#include "engine/filesystem/ReparsePointFunctions.h"

#include <cstdio>

using RVGameEngine::Common::CAutoLock;
using RVGameEngine::Common::IStream_CreateEmpty;
using RVGameEngine::Common::LoggableText;
using RVGameEngine::Common::TIntrusivePointer;
using RVGameEngine::Download::IHttpDownloader;
using RVGameEngine::Download::IHttpDownloader_Create;
using RVGameEngine::FileSystem::IJsonNode;
using RVGameEngine::FileSystem::ILogFile_GetInstance;
using RVGameEngine::FileSystem::IVirtualFileSystem_GetInstance;
using RVGameEngine::FileSystem::LOG_LEVEL_WARNING;

namespace {

using EngineStream = RVGameEngine::Common::IStream;

constexpr const wchar_t* kAdvertServerPort = L":8081";

std::string TextOf(EngineStream* stream)
{
    const uint8_t zero = 0;
    stream->Seek(stream->GetSize());
    stream->Write(&zero, 1);
    return std::string(reinterpret_cast<const char*>(stream->GetData()));
}

std::wstring Utf8ToWide(const char* text)
{
    return RVGameEngine::Common::NarrowToWide(RVGameEngine::Common::kCodePageUtf8, text);
}

} // namespace

CWebApiClient* CWebApiClient::GetInstance()
{
    static CWebApiClient instance;
    return &instance;
}

CWebApiClient::CWebApiClient() : m_advertServer(std::wstring(kAdvertApiHost) + kAdvertServerPort)
{
}

bool CWebApiClient::IsJsonText(const char* text)
{
    return text != nullptr && text[0] != '\0' && text[1] != '\0' && (text[0] == '{' || text[0] == '[');
}

bool CWebApiClient::DownloadToFile(const wchar_t* url, const wchar_t* path, int32_t delayMs)
{
    TIntrusivePointer<IHttpDownloader> http(IHttpDownloader_Create());
    if (!http)
        return false;
    http->DisableAcceptHeader();
    if (!http->Open(url))
        return false;
    TIntrusivePointer<EngineStream> stream(IStream_CreateEmpty());
    if (!stream || !http->Download(url, stream, delayMs))
        return false;
    if (static_cast<uint32_t>(stream->GetSize()) > kMaxCachedFileBytes) {
        ILogFile_GetInstance()->Log(LOG_LEVEL_WARNING, L"Download of %s not kept: %d bytes is more than %u",
                                    LoggableText(url).c_str(), stream->GetSize(), kMaxCachedFileBytes);
        CAutoLock guard(&m_lock);
        m_refusedForSize.insert(url);
        return false;
    }
    // The cache lies in a folder other users may write to: its folders are
    // reached from the current folder's handle without following a link, and
    // only a new file is made (a name already there, planted or not, is kept).
    CAutoLock guard(&m_lock);
    RVGameEngine::FileSystem::CCheckedFileWriter writer(RVGameEngine::FileSystem::FILE_EXISTING_REFUSED);
    RVGameEngine::FileSystem::CHECKED_REACH reach = RVGameEngine::FileSystem::CHECKED_REACH_DONE;
    DWORD error = ERROR_SUCCESS;
    if (!writer.Write(path, stream->GetData(), static_cast<uint32_t>(stream->GetSize()), &reach, &error)) {
        const std::wstring why = reach == RVGameEngine::FileSystem::CHECKED_REACH_LINK
                                     ? std::wstring(RVGameEngine::FileSystem::kLinkKinds) + L" on the way"
                                     : L"not written";
        ILogFile_GetInstance()->Log(LOG_LEVEL_WARNING, L"Download of %s not cached as %s (%s, system error %lu)",
                                    LoggableText(url).c_str(), path, why.c_str(), static_cast<unsigned long>(error));
    }
    return true;
}

bool CWebApiClient::IsRefusedForSize(const wchar_t* url)
{
    CAutoLock guard(&m_lock);
    return url != nullptr && m_refusedForSize.count(url) != 0;
}

bool CWebApiClient::DownloadToFileLocked(const wchar_t* url, const wchar_t* path)
{
    for (int32_t attempt = 0; attempt < kAttempts && !IsRefusedForSize(url); ++attempt)
        if (DownloadToFile(url, path, AttemptDelayMs(attempt)))
            return true;
    return false;
}

std::wstring CWebApiClient::GetCached(const wchar_t* url)
{
    const std::wstring path = std::wstring(kCacheFolder) + L"/" + CacheFileNameOf(url == nullptr ? L"" : url);
    if (url != nullptr && !IVirtualFileSystem_GetInstance()->FileExists(path.c_str()))
        DownloadToFileLocked(url, path.c_str());
    return path;
}

std::string CWebApiClient::PostText(const wchar_t* url, int32_t delayMs)
{
    TIntrusivePointer<IHttpDownloader> http(IHttpDownloader_Create());
    if (!http || !http->Open(url))
        return std::string();
    TIntrusivePointer<EngineStream> stream(IStream_CreateEmpty());
    if (!stream || !http->Post(url, stream, delayMs))
        return std::string();
    return TextOf(stream.Get());
}

std::string CWebApiClient::GetText(const wchar_t* url, int32_t delayMs)
{
    TIntrusivePointer<IHttpDownloader> http(IHttpDownloader_Create());
    if (!http || !http->Open(url))
        return std::string();
    TIntrusivePointer<EngineStream> stream(IStream_CreateEmpty());
    if (!stream || !http->Download(url, stream, delayMs))
        return std::string();
    return TextOf(stream.Get());
}

std::string CWebApiClient::RequestPost(const wchar_t* url)
{
    for (int32_t attempt = 0; attempt < kAttempts; ++attempt) {
        std::string reply = PostText(url, AttemptDelayMs(attempt));
        if (!reply.empty())
            return reply;
    }
    return std::string();
}

std::string CWebApiClient::RequestGet(const wchar_t* url)
{
    for (int32_t attempt = 0; attempt < kAttempts; ++attempt) {
        std::string reply = GetText(url, AttemptDelayMs(attempt));
        if (!reply.empty())
            return reply;
    }
    return std::string();
}

std::wstring CWebApiClient::BuildAdvertListUrl(int32_t position, int32_t type) const
{
    // The channel is the partner identity, which may hold any character.
    const std::wstring channel = Utf8ToWide(PercentEncode(GetPartnerID()).c_str());
    wchar_t query[160];
    if (type == 0)
        _snwprintf(query, sizeof query / sizeof query[0] - 1, L"/AdvertCenterApi/AdvertCenterApi/ReqAdvertList/?position=%d&channel=", position);
    else
        _snwprintf(query, sizeof query / sizeof query[0] - 1,
                   L"/AdvertCenterApi/AdvertCenterApi/ReqAdvertList/?position=%d&type=%d&channel=", position, type);
    query[sizeof query / sizeof query[0] - 1] = L'\0';
    return m_advertServer + query + channel;
}

bool CWebApiClient::RequestAdvertList(int32_t position, int32_t type, std::wstring* pictureUrl,
                                      std::wstring* jumpUrl)
{
    const std::string reply = RequestGet(BuildAdvertListUrl(position, type).c_str());
    if (!IsJsonText(reply.c_str()))
        return false;
    TIntrusivePointer<RVGameEngine::FileSystem::IJsonParser> parser = RVGameEngine::FileSystem::IJsonParser_Create();
    if (!parser)
        return false;
    TIntrusivePointer<IJsonNode> root = parser->Parse(reply.c_str());
    if (!root || root->GetMemberInt("rescode") != 0)
        return false;
    root->GetMemberString("resmsg");
    TIntrusivePointer<IJsonNode> elements = root->GetMember("advertElements");
    const int32_t elementCount = elements ? elements->GetSize() : 0;
    for (int32_t e = 0; e < elementCount; ++e) {
        TIntrusivePointer<IJsonNode> element = elements->GetElement(e);
        TIntrusivePointer<IJsonNode> adverts = element ? element->GetMember("advertList") : TIntrusivePointer<IJsonNode>();
        const int32_t advertCount = adverts ? adverts->GetSize() : 0;
        for (int32_t a = 0; a < advertCount; ++a) {
            TIntrusivePointer<IJsonNode> advert = adverts->GetElement(a);
            if (!advert)
                continue;
            *pictureUrl = Utf8ToWide(advert->GetMemberString("advertPicUrl"));
            *jumpUrl = Utf8ToWide(advert->GetMemberString("jumpUrl"));
            if (!jumpUrl->empty() && !IsWebPageAddress(*jumpUrl)) {
                ILogFile_GetInstance()->Log(LOG_LEVEL_WARNING, L"Advert jump address ignored: %s",
                                            LoggableText(*jumpUrl).c_str());
                jumpUrl->clear();
            }
            return true;
        }
    }
    return false;
}
