#include "installer/core/reporting/CUrlItemList.h"

#include "installer/core/rules/BuildSettings.h"
#include "installer/core/rules/WebAddressRules.h"

#include "engine/common/base/CAutoLock.h"
#include "engine/common/base/LogTextFunctions.h"
#include "engine/filesystem/ILogFile.h"
#include "engine/filesystem/IVirtualFileSystem.h"
#include "engine/filesystem/documents/IXmlScript.h"

#include <algorithm>

using RVGameEngine::Common::CAutoLock;
using RVGameEngine::Common::IXmlElement;
using RVGameEngine::Common::LoggableText;
using RVGameEngine::Common::TIntrusivePointer;
using RVGameEngine::FileSystem::ILogFile_GetInstance;
using RVGameEngine::FileSystem::IVirtualFileSystem_GetInstance;
using RVGameEngine::FileSystem::LOG_LEVEL_ERROR;
using RVGameEngine::FileSystem::LOG_LEVEL_TRACE;

CUrlItemList* CUrlItemList::GetInstance()
{
    static CUrlItemList* const instance = [] {
        static CUrlItemList list;
        list.Load(kUrlItemListFile);
        return &list;
    }();
    return instance;
}

bool CUrlItemList::ReadItems(const wchar_t* path, std::vector<TIntrusivePointer<CUrlItem>>* items)
{
    TIntrusivePointer<RVGameEngine::Common::IXmlScript> document = RVGameEngine::Common::IXmlScript_Create();
    IXmlElement* list = document->LoadFromFile(path)->GetChild(0);
    if (list == nullptr || std::wstring(list->GetName()) != L"UrlItemList") {
        ILogFile_GetInstance()->Log(LOG_LEVEL_ERROR, L"URL list %s has no \"UrlItemList\" element", path);
        return false;
    }
    for (int32_t i = 0; i < list->GetChildCount(); ++i) {
        IXmlElement* element = list->GetChild(i);
        if (std::wstring(element->GetName()) != L"UrlItem")
            continue;
        TIntrusivePointer<CUrlItem> item(new CUrlItem());
        item->name = element->GetAttribute(L"Name");
        item->address = element->GetAttribute(L"Address");
        items->push_back(item);
    }
    return true;
}

void CUrlItemList::Load(const wchar_t* path)
{
    if (path == nullptr || !IVirtualFileSystem_GetInstance()->FileExists(path))
        return;
    std::vector<TIntrusivePointer<CUrlItem>> items;
    if (!ReadItems(path, &items))
        ILogFile_GetInstance()->Log(LOG_LEVEL_ERROR, L"URL list %s: list emptied", path);
    CAutoLock guard(&m_lock);
    m_items.swap(items);
}

size_t CUrlItemList::LoadOver(const wchar_t* path)
{
    if (path == nullptr || !IVirtualFileSystem_GetInstance()->FileExists(path)) {
        ILogFile_GetInstance()->Log(LOG_LEVEL_ERROR, L"URL list %s is missing: the package's addresses are kept",
                                    path != nullptr ? path : L"(none)");
        return 0;
    }
    std::vector<TIntrusivePointer<CUrlItem>> handed;
    if (!ReadItems(path, &handed)) {
        ILogFile_GetInstance()->Log(LOG_LEVEL_ERROR, L"URL list %s refused: the package's addresses are kept", path);
        return 0;
    }
    std::vector<TIntrusivePointer<CUrlItem>> taken;
    for (const TIntrusivePointer<CUrlItem>& item : handed) {
        // Every address of the list is fetched or opened in the browser.
        if (item->name.empty() || !IsWebPageAddress(item->address)) {
            ILogFile_GetInstance()->Log(LOG_LEVEL_ERROR, L"URL list %s: item \"%s\" refused, %s is no web address",
                                        path, LoggableText(item->name).c_str(), LoggableText(item->address).c_str());
            continue;
        }
        // The first item of a name counts, as GetAddress reads a list; a
        // later one would otherwise take its place below.
        const auto first = std::find_if(taken.begin(), taken.end(), [&](const TIntrusivePointer<CUrlItem>& earlier) {
            return earlier->name == item->name;
        });
        if (first != taken.end()) {
            ILogFile_GetInstance()->Log(LOG_LEVEL_ERROR,
                                        L"URL list %s: item \"%s\" named again, %s ignored: the first one's %s is kept",
                                        path, LoggableText(item->name).c_str(), LoggableText(item->address).c_str(),
                                        LoggableText((*first)->address).c_str());
            continue;
        }
        taken.push_back(item);
    }
    {
        CAutoLock guard(&m_lock);
        for (const TIntrusivePointer<CUrlItem>& item : taken) {
            auto same = std::find_if(m_items.begin(), m_items.end(), [&](const TIntrusivePointer<CUrlItem>& mine) {
                return mine->name == item->name;
            });
            if (same != m_items.end())
                *same = item;
            else
                m_items.push_back(item);
        }
    }
    ILogFile_GetInstance()->Log(LOG_LEVEL_TRACE, L"URL list %s: %u items taken", path,
                                static_cast<unsigned>(taken.size()));
    return taken.size();
}

std::wstring CUrlItemList::GetAddress(const wchar_t* name)
{
    {
        CAutoLock guard(&m_lock);
        for (const TIntrusivePointer<CUrlItem>& item : m_items) {
            if (name != nullptr && item->name == name)
                return item->address;
        }
    }
    ILogFile_GetInstance()->Log(LOG_LEVEL_ERROR, L"No address named %s: the home page is used",
                                name != nullptr ? name : L"(null)");
    return kHomePageAddress;
}

bool CUrlItemList::FindAddress(const wchar_t* name, std::wstring* address)
{
    CAutoLock guard(&m_lock);
    for (const TIntrusivePointer<CUrlItem>& item : m_items) {
        if (name != nullptr && item->name == name) {
            *address = item->address;
            return true;
        }
    }
    return false;
}

size_t CUrlItemList::GetCount()
{
    CAutoLock guard(&m_lock);
    return m_items.size();
}
