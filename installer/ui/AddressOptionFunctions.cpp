#include "installer/ui/AddressOptionFunctions.h"

#include "installer/ui/InstallSceneFunctions.h"

#include "installer/core/reporting/CUrlItemList.h"
#include "installer/core/reporting/CWebApiClient.h"
#include "installer/core/reporting/StatisticsFunctions.h"

#include "engine/common/base/LogTextFunctions.h"
#include "engine/common/system/ICommandLine.h"
#include "engine/filesystem/FinalPathFunctions.h"
#include "engine/filesystem/ILogFile.h"

#include <windows.h>

using RVGameEngine::Common::LoggableText;
using RVGameEngine::FileSystem::ILogFile_GetInstance;
using RVGameEngine::FileSystem::LOG_LEVEL_ERROR;

namespace {

constexpr int32_t kLastPort = 65535;

std::wstring Option(const wchar_t* name)
{
    return RVGameEngine::Common::ICommandLine_GetInstance()->GetString(name)->GetUtf16();
}

std::wstring& HandedUrlList()
{
    static std::wstring path;
    return path;
}

} // namespace

bool SplitHostAndPort(const std::wstring& text, std::string* host, int32_t* port)
{
    const size_t colon = text.rfind(L':');
    if (colon == std::wstring::npos || colon == 0 || colon + 1 == text.size() || text.size() - colon > 6)
        return false;
    int32_t value = 0;
    for (size_t at = colon + 1; at < text.size(); ++at) {
        if (text[at] < L'0' || text[at] > L'9')
            return false;
        value = value * 10 + (text[at] - L'0');
    }
    if (value < 1 || value > kLastPort)
        return false;
    for (size_t at = 0; at < colon; ++at) {
        // A host name or address: letters, digits, '.' and '-' only.
        const wchar_t c = text[at];
        const bool plain = (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9')
                           || c == L'.' || c == L'-';
        if (!plain)
            return false;
    }
    *host = std::string(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(colon));
    *port = value;
    return true;
}

void ReadAddressOptions()
{
    const std::wstring statistics = Option(kStatisticsServerOption);
    if (!statistics.empty()) {
        std::string host;
        int32_t port = 0;
        if (SplitHostAndPort(statistics, &host, &port))
            SetStatisticsServerEndpoint({host, port, port});
        else
            ILogFile_GetInstance()->Log(LOG_LEVEL_ERROR, L"%s=%s is no host:port; the build's server is used",
                                        kStatisticsServerOption, LoggableText(statistics).c_str());
    }
    const std::wstring list = Option(kUrlItemListOption);
    if (list.empty())
        return;
    const std::wstring full = RVGameEngine::FileSystem::GetFullPath(list.c_str());
    HandedUrlList() = full.empty() ? list : full;
}

void ApplyHandedUrlList()
{
    const std::wstring& path = HandedUrlList();
    if (path.empty())
        return;
    CUrlItemList* list = CUrlItemList::GetInstance();
    list->LoadOver(path.c_str());
    std::wstring webApi;
    if (!list->FindAddress(kWebApiUrlItem, &webApi)) {
        ILogFile_GetInstance()->Log(LOG_LEVEL_ERROR, L"URL list %s names no %s: the build's web API server is used",
                                    path.c_str(), kWebApiUrlItem);
        return;
    }
    CWebApiClient::GetInstance()->SetAdvertServer(webApi);
    SetInstallTrackingHost(webApi);
}
