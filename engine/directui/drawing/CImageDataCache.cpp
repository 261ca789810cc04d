#include "engine/directui/drawing/CImageDataCache.h"

#include <new>

namespace RVGameEngine {
namespace DirectUI {

CImageDataCache* CImageDataCache::GetInstance()
{
    static CImageDataCache* instance = new (std::nothrow) CImageDataCache();
    return instance;
}

Common::TIntrusivePointer<CImageData> CImageDataCache::GetOrCreate(const wchar_t* path)
{
    const std::wstring name = path != nullptr ? path : L"";
    auto found = m_entries.find(name);
    if (found != m_entries.end())
        return Common::TIntrusivePointer<CImageData>(found->second);
    Common::TIntrusivePointer<CImageData> data(new (std::nothrow) CImageData());
    if (data.IsNull())
        return data;
    data->SetFileName(name.c_str());
    data->SetDestroyedHook([](CImageData* gone) {
        if (CImageDataCache* cache = GetInstance())
            cache->Remove(gone);
    });
    m_entries[name] = data.Get();
    return data;
}

void CImageDataCache::Remove(CImageData* data)
{
    for (auto entry = m_entries.begin(); entry != m_entries.end(); ++entry) {
        if (entry->second == data) {
            m_entries.erase(entry);
            return;
        }
    }
}

} // namespace DirectUI
} // namespace RVGameEngine
