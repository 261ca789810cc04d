#pragma once

#include "engine/common/base/TIntrusivePointer.h"
#include "engine/directui/services/CExpressionItem.h"
#include "engine/directui/services/IExpressionManager.h"

#include <map>
#include <set>
#include <vector>

namespace RVGameEngine {
namespace DirectUI {

// Entries are numbered from 0; an entry may be empty.
class RV_API CExpressionManager : public IExpressionManager
{
public:
    CExpressionManager() = default;
    CExpressionManager(const CExpressionManager&) = delete;
    CExpressionManager& operator=(const CExpressionManager&) = delete;

    void LoadExpressionSet(IUISystem* uiSystem, const wchar_t* pattern, int32_t count) override;
    int32_t AddExpressionFromFile(IUISystem* uiSystem, const wchar_t* filename) override;
    void SetExpression(IUISystem* uiSystem, int32_t number, const wchar_t* filename) override;
    void SetAnimatedExpression(IUISystem* uiSystem, int32_t number, const wchar_t* pattern, int32_t first,
                               int32_t count, int32_t framesPerSecond) override;
    void GetExpressionSize(IUISystem* uiSystem, int32_t number, int32_t* width, int32_t* height) override;
    void DrawExpression(IUISystem* uiSystem, int32_t number, int32_t x, int32_t y) override;
    bool IsExpressionAnimated(int32_t number) override;
    uint32_t GetFileExpressionStamp(int32_t number) override;
    void RemoveFileExpression(int32_t number, uint32_t stamp) override;

    int32_t GetExpressionCount() const { return static_cast<int32_t>(m_entries.size()); }

private:
    CExpressionItem* EntryAt(int32_t number) const;
    void GrowTo(int32_t count);
    // The current frame of the entry, or empty when it has none.
    Common::TIntrusivePointer<IUIImage> CurrentFrame(int32_t number) const;
    // The entry is about to hold something else: it is no file entry, nor
    // free, any more.
    void Claim(int32_t number);
    int32_t TakeFreeNumber();
    // Makes the number a file entry with a stamp no other entry had.
    void MarkFileEntry(int32_t number);

    std::vector<Common::TIntrusivePointer<CExpressionItem>> m_entries;
    // Entries AddExpressionFromFile made and nobody has removed, with their stamps.
    std::map<int32_t, uint32_t> m_fileEntries;
    uint32_t m_lastStamp = 0;
    // Emptied file entries, below the table's end, that a new file entry may take.
    std::set<int32_t> m_freeNumbers;
};

} // namespace DirectUI
} // namespace RVGameEngine
