#include "engine/directui/services/CExpressionManager.h"

#include "engine/directui/uisystem/IUISystem.h"
#include "engine/directui/uisystem/IUISystemDriver.h"
#include "engine/directui/services/NumberedFileName.h"
#include "engine/filesystem/IVirtualFileSystem.h"
#include "engine/video/ITextureList.h"

#include <cstdint>
#include <new>
#include <string>
#include <utility>

namespace RVGameEngine {
namespace DirectUI {

namespace {

using ImagePointer = Common::TIntrusivePointer<IUIImage>;
using ItemPointer = Common::TIntrusivePointer<CExpressionItem>;

// A table size that no real set reaches; larger numbers are refused rather
// than exhausting the heap.
constexpr int32_t kMaxExpressionCount = 1 << 16;

bool IsSettableNumber(int32_t number)
{
    return number >= 0 && number < kMaxExpressionCount;
}

IUISystemDriver* DriverOf(IUISystem* uiSystem)
{
    return uiSystem != nullptr ? uiSystem->GetDriver() : nullptr;
}

// The picture of the file over the UI system's driver; empty when it does
// not load. Loading alone succeeds for any name, so the picture must also
// decode to a size.
ImagePointer LoadPicture(IUISystem* uiSystem, const wchar_t* filename)
{
    IUISystemDriver* driver = DriverOf(uiSystem);
    if (driver == nullptr || filename == nullptr)
        return ImagePointer();
    ImagePointer image(IImage_Create(driver));
    if (image.IsNull() || !image->Load(filename) || image->GetImageWidth() <= 0 || image->GetImageHeight() <= 0)
        return ImagePointer();
    return image;
}

ItemPointer ItemOf(ImagePointer frame)
{
    ItemPointer item(new (std::nothrow) CExpressionItem());
    if (!item.IsNull())
        item->AddFrame(std::move(frame));
    return item;
}

} // namespace

void CExpressionManager::LoadExpressionSet(IUISystem* uiSystem, const wchar_t* pattern, int32_t count)
{
    if (count < 0 || count > kMaxExpressionCount)
        return;
    m_entries.resize(static_cast<size_t>(count));
    m_fileEntries.erase(m_fileEntries.lower_bound(count), m_fileEntries.end());
    m_freeNumbers.erase(m_freeNumbers.lower_bound(count), m_freeNumbers.end());
    FileSystem::IVirtualFileSystem* files = FileSystem::IVirtualFileSystem_GetInstance();
    for (int32_t i = 0; i < count; ++i) {
        std::wstring name;
        if (!FormatNumberedFileName(pattern, i, name))
            continue;
        if (!files->FileExists(name.c_str()) && !Video::ITextureList_GetInstance()->IsImageListLoaded(name.c_str()))
            continue;
        ImagePointer image = LoadPicture(uiSystem, name.c_str());
        if (!image.IsNull()) {
            Claim(i);
            m_entries[static_cast<size_t>(i)] = ItemOf(image);
        }
    }
}

int32_t CExpressionManager::AddExpressionFromFile(IUISystem* uiSystem, const wchar_t* filename)
{
    ImagePointer image = LoadPicture(uiSystem, filename);
    if (image.IsNull())
        return -1;
    ItemPointer item = ItemOf(image);
    if (item.IsNull())
        return -1;
    const int32_t number = TakeFreeNumber();
    if (number < 0) {
        m_entries.push_back(item);
        MarkFileEntry(GetExpressionCount() - 1);
        return GetExpressionCount() - 1;
    }
    m_entries[static_cast<size_t>(number)] = item;
    MarkFileEntry(number);
    return number;
}

void CExpressionManager::MarkFileEntry(int32_t number)
{
    // Stamps run through every 32-bit value but 0 before one comes again.
    if (++m_lastStamp == 0)
        ++m_lastStamp;
    m_fileEntries[number] = m_lastStamp;
}

uint32_t CExpressionManager::GetFileExpressionStamp(int32_t number)
{
    const auto found = m_fileEntries.find(number);
    return found != m_fileEntries.end() ? found->second : 0;
}

int32_t CExpressionManager::TakeFreeNumber()
{
    if (m_freeNumbers.empty())
        return -1;
    const int32_t number = *m_freeNumbers.begin();
    m_freeNumbers.erase(m_freeNumbers.begin());
    return number;
}

void CExpressionManager::RemoveFileExpression(int32_t number, uint32_t stamp)
{
    const auto found = m_fileEntries.find(number);
    if (found == m_fileEntries.end() || found->second != stamp)
        return;
    m_fileEntries.erase(found);
    m_entries[static_cast<size_t>(number)].Reset();
    m_freeNumbers.insert(number);
    while (!m_entries.empty() && m_freeNumbers.erase(GetExpressionCount() - 1) != 0)
        m_entries.pop_back();
}

void CExpressionManager::Claim(int32_t number)
{
    m_fileEntries.erase(number);
    m_freeNumbers.erase(number);
}

void CExpressionManager::SetExpression(IUISystem* uiSystem, int32_t number, const wchar_t* filename)
{
    if (!IsSettableNumber(number))
        return;
    GrowTo(number + 1);
    ImagePointer image = LoadPicture(uiSystem, filename);
    if (!image.IsNull()) {
        Claim(number);
        m_entries[static_cast<size_t>(number)] = ItemOf(image);
    }
}

void CExpressionManager::SetAnimatedExpression(IUISystem* uiSystem, int32_t number, const wchar_t* pattern,
                                               int32_t first, int32_t count, int32_t framesPerSecond)
{
    if (!IsSettableNumber(number))
        return;
    GrowTo(number + 1);
    ItemPointer item(new (std::nothrow) CExpressionItem());
    if (item.IsNull())
        return;
    item->SetFramesPerSecond(framesPerSecond);
    Claim(number);
    m_entries[static_cast<size_t>(number)] = item;
    // Frame numbers stop where they would pass the largest integer.
    for (int32_t i = 0; i < count && first <= INT32_MAX - i; ++i) {
        std::wstring name;
        if (!FormatNumberedFileName(pattern, first + i, name))
            continue;
        ImagePointer image = LoadPicture(uiSystem, name.c_str());
        if (!image.IsNull())
            item->AddFrame(image);
    }
}

void CExpressionManager::GetExpressionSize(IUISystem* /*uiSystem*/, int32_t number, int32_t* width, int32_t* height)
{
    ImagePointer frame = CurrentFrame(number);
    const int32_t frameWidth = frame.IsNull() ? 0 : frame->GetImageWidth();
    const int32_t frameHeight = frame.IsNull() ? 0 : frame->GetImageHeight();
    if (width != nullptr)
        *width = frameWidth;
    if (height != nullptr)
        *height = frameHeight;
}

void CExpressionManager::DrawExpression(IUISystem* uiSystem, int32_t number, int32_t x, int32_t y)
{
    IUISystemDriver* driver = DriverOf(uiSystem);
    ImagePointer frame = CurrentFrame(number);
    if (driver != nullptr && !frame.IsNull())
        frame->DrawTo(driver, x, y);
}

bool CExpressionManager::IsExpressionAnimated(int32_t number)
{
    CExpressionItem* item = EntryAt(number);
    return item != nullptr && item->IsAnimated();
}

CExpressionItem* CExpressionManager::EntryAt(int32_t number) const
{
    if (number < 0 || number >= GetExpressionCount())
        return nullptr;
    return m_entries[static_cast<size_t>(number)].Get();
}

void CExpressionManager::GrowTo(int32_t count)
{
    if (count > GetExpressionCount())
        m_entries.resize(static_cast<size_t>(count));
}

Common::TIntrusivePointer<IUIImage> CExpressionManager::CurrentFrame(int32_t number) const
{
    CExpressionItem* item = EntryAt(number);
    return item != nullptr ? item->GetCurrentFrame() : ImagePointer();
}

IExpressionManager* IExpressionManager_GetInstance()
{
    static IExpressionManager* instance = nullptr;
    if (instance == nullptr)
        instance = new (std::nothrow) CExpressionManager();
    return instance;
}

} // namespace DirectUI
} // namespace RVGameEngine
