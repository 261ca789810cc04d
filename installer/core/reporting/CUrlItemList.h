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
    // A list handed to the program over the package's: an item of the handed
    // list with a web address (http or https) takes the place of the
    // package's item of that name, or is added; one without is refused, with
    // a log line, and the package's item stays. Of items of one name the
    // first one taken counts; a later one is left out, with a log line. A
    // missing file, or one that is no URL list, changes nothing, with a log
    // line. The number of items taken.
    size_t LoadOver(const wchar_t* path);
    // The address of the first item of that name; the product's home page,
    // with a log line, for a name the list lacks.
    std::wstring GetAddress(const wchar_t* name);
    // The address of the first item of that name, without a fallback; false
    // when the list lacks the name.
    bool FindAddress(const wchar_t* name, std::wstring* address);
    size_t GetCount();

private:
    // The "UrlItem" children of the file's "UrlItemList" element; false
    // (logged) when the file's first element is not that.
    static bool ReadItems(const wchar_t* path, std::vector<RVGameEngine::Common::TIntrusivePointer<CUrlItem>>* items);

    RVGameEngine::Common::CCriticalSection m_lock;
    std::vector<RVGameEngine::Common::TIntrusivePointer<CUrlItem>> m_items;
};
