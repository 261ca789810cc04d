#include "engine/directui/services/CClipboard.h"

#include "engine/common/base/TScopedHandle.h"

#include <windows.h>

#include <cstring>
#include <cwchar>
#include <string>

namespace RVGameEngine {
namespace DirectUI {

namespace {

using Common::CScopedClipboard;
using Common::CScopedGlobalLock;
using Common::CScopedGlobalMemory;

// A movable block holding the text and its terminating zero; empty when it
// cannot be made.
CScopedGlobalMemory CopyToGlobalMemory(const wchar_t* text)
{
    const size_t bytes = (std::wcslen(text) + 1) * sizeof(wchar_t);
    CScopedGlobalMemory block(GlobalAlloc(GMEM_MOVEABLE, bytes));
    if (!block)
        return block;
    void* data = GlobalLock(block.Get());
    if (data == nullptr) {
        block.Reset();
        return block;
    }
    CScopedGlobalLock lock(block.Get());
    std::memcpy(data, text, bytes);
    return block;
}

// The text of a clipboard block up to its first zero; a block that lacks
// one is read no further than its own size.
std::wstring CopyFromGlobalMemory(HGLOBAL block)
{
    const auto* data = static_cast<const wchar_t*>(GlobalLock(block));
    if (data == nullptr)
        return std::wstring();
    CScopedGlobalLock lock(block);
    const size_t capacity = GlobalSize(block) / sizeof(wchar_t);
    size_t length = 0;
    while (length < capacity && data[length] != L'\0')
        ++length;
    return std::wstring(data, length);
}

} // namespace

void CClipboard::SetText(const wchar_t* text)
{
    CScopedClipboard clipboard(OpenClipboard(nullptr));
    if (!clipboard || !EmptyClipboard())
        return;
    CScopedGlobalMemory block = CopyToGlobalMemory(text != nullptr ? text : L"");
    if (!block)
        return;
    // The clipboard owns the block once it has taken it; until then we do.
    if (SetClipboardData(CF_UNICODETEXT, block.Get()) != nullptr)
        block.Release();
}

Common::TIntrusivePointer<Common::IString> CClipboard::GetText()
{
    std::wstring text;
    {
        CScopedClipboard clipboard(OpenClipboard(nullptr));
        if (clipboard) {
            HGLOBAL block = GetClipboardData(CF_UNICODETEXT);
            if (block != nullptr)
                text = CopyFromGlobalMemory(block);
        }
    }
    return Common::IString_Create_Utf16(text.c_str());
}

IClipboard* IClipboard_GetInstance()
{
    static CClipboard instance;
    return &instance;
}

} // namespace DirectUI
} // namespace RVGameEngine
