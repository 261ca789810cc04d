#pragma once

#include "engine/common/base/TIntrusivePointer.h"
#include "engine/directui/drawing/CImageData.h"

#include <map>
#include <string>

namespace RVGameEngine {
namespace DirectUI {

// One image data object per file name while any image uses it. The map holds
// no references: each data object leaves the map when it ends.
class CImageDataCache
{
public:
    static CImageDataCache* GetInstance();

    Common::TIntrusivePointer<CImageData> GetOrCreate(const wchar_t* path);
    void Remove(CImageData* data);
    size_t GetCount() const { return m_entries.size(); }

private:
    std::map<std::wstring, CImageData*> m_entries;
};

} // namespace DirectUI
} // namespace RVGameEngine
