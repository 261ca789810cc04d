#pragma once

#include "installer/core/reporting/CUrlItem.h"

#include "engine/common/base/CCriticalSection.h"
#include "engine/common/base/TIntrusivePointer.h"

#include <string>
#include <vector>

constexpr const wchar_t* kUrlItemListFile = L"Installer/Set/UrlItemList.xml";

// The installer's named addresses ("UrlItem" elements with "Name" and
// "Address" under "UrlItemList").
class CUrlItemList
{
public:
    // Made on first use, loading kUrlItemListFile from the current directory.
    static CUrlItemList* GetInstance();

    CUrlItemList() = default;
    CUrlItemList(const CUrlItemList&) = delete;
    CUrlItemList& operator=(const CUrlItemList&) = delete;

    // A missing file leaves the list as it was. A file whose first element is
    // not "UrlItemList" empties the list, with a log line.
    void Load(const wchar_t* path);
    // The address of the first item of that name; the product's home page,
    // with a log line, for a name the list lacks.
    std::wstring GetAddress(const wchar_t* name);
    size_t GetCount();

private:
    RVGameEngine::Common::CCriticalSection m_lock;
    std::vector<RVGameEngine::Common::TIntrusivePointer<CUrlItem>> m_items;
};
