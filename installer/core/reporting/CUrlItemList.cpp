#include "installer/core/reporting/CUrlItemList.h"

#include "installer/core/rules/BuildSettings.h"

#include "engine/common/base/CAutoLock.h"
#include "engine/filesystem/ILogFile.h"
#include "engine/filesystem/IVirtualFileSystem.h"
#include "engine/filesystem/documents/IXmlScript.h"

using RVGameEngine::Common::CAutoLock;
using RVGameEngine::Common::IXmlElement;
using RVGameEngine::Common::TIntrusivePointer;
using RVGameEngine::FileSystem::ILogFile_GetInstance;
using RVGameEngine::FileSystem::LOG_LEVEL_ERROR;

CUrlItemList* CUrlItemList::GetInstance()
{
    static CUrlItemList* const instance = [] {
        static CUrlItemList list;
        list.Load(kUrlItemListFile);
        return &list;
    }();
    return instance;
}

void CUrlItemList::Load(const wchar_t* path)
{
    if (path == nullptr || !RVGameEngine::FileSystem::IVirtualFileSystem_GetInstance()->FileExists(path))
        return;
    std::vector<TIntrusivePointer<CUrlItem>> items;
    TIntrusivePointer<RVGameEngine::Common::IXmlScript> document = RVGameEngine::Common::IXmlScript_Create();
    IXmlElement* list = document->LoadFromFile(path)->GetChild(0);
    if (list == nullptr || std::wstring(list->GetName()) != L"UrlItemList") {
        ILogFile_GetInstance()->Log(LOG_LEVEL_ERROR, L"URL list %s has no \"UrlItemList\" element: list emptied", path);
    } else {
        for (int32_t i = 0; i < list->GetChildCount(); ++i) {
            IXmlElement* element = list->GetChild(i);
            if (std::wstring(element->GetName()) != L"UrlItem")
                continue;
            TIntrusivePointer<CUrlItem> item(new CUrlItem());
            item->name = element->GetAttribute(L"Name");
            item->address = element->GetAttribute(L"Address");
            items.push_back(item);
        }
    }
    CAutoLock guard(&m_lock);
    m_items.swap(items);
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

size_t CUrlItemList::GetCount()
{
    CAutoLock guard(&m_lock);
    return m_items.size();
}
