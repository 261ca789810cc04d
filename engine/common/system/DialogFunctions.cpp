#include "engine/common/system/DialogFunctions.h"

#include "engine/common/base/EngineMessageBox.h"
#include "engine/common/base/TScopedHandle.h"

#include <commdlg.h>
#include <shlobj.h>

#include <algorithm>
#include <string>

namespace RVGameEngine {
namespace Common {

namespace {

constexpr DWORD kPathBufferLength = 1000;
constexpr DWORD kOpenFlags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
constexpr DWORD kSaveFlags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_OVERWRITEPROMPT;

// Copies at most the buffer's length and turns slashes into backslashes.
void CopyWithBackslashes(const wchar_t* text, wchar_t* buffer)
{
    buffer[0] = L'\0';
    if (text == nullptr)
        return;
    lstrcpynW(buffer, text, kPathBufferLength);
    std::replace(buffer, buffer + wcslen(buffer), L'/', L'\\');
}

// Makes a folder current for its lifetime and restores the previous one.
class CCurrentDirectoryScope
{
public:
    explicit CCurrentDirectoryScope(const wchar_t* folder)
    {
        const DWORD length = GetCurrentDirectoryW(kPathBufferLength, m_previous);
        if (length == 0 || length >= kPathBufferLength)
            m_previous[0] = L'\0';
        if (folder[0] != L'\0')
            SetCurrentDirectoryW(folder);
    }
    ~CCurrentDirectoryScope()
    {
        if (m_previous[0] != L'\0')
            SetCurrentDirectoryW(m_previous);
    }
    CCurrentDirectoryScope(const CCurrentDirectoryScope&) = delete;
    CCurrentDirectoryScope& operator=(const CCurrentDirectoryScope&) = delete;

private:
    wchar_t m_previous[kPathBufferLength] = {};
};

TIntrusivePointer<IString> ShowFileDialog(bool opening, HWND owner, const wchar_t* initialFolder,
                                          const wchar_t* filter, const wchar_t* defaultExtension,
                                          const wchar_t* initialFileName)
{
    wchar_t folder[kPathBufferLength];
    wchar_t result[kPathBufferLength];
    CopyWithBackslashes(initialFolder, folder);
    CopyWithBackslashes(initialFileName, result);
    CCurrentDirectoryScope scope(folder);

    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner;
    dialog.hInstance = GetModuleHandleW(nullptr);
    dialog.lpstrFilter = filter;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = result;
    dialog.nMaxFile = kPathBufferLength;
    dialog.lpstrDefExt = defaultExtension;
    BOOL chosen;
    if (opening) {
        dialog.lpstrInitialDir = initialFolder;
        dialog.Flags = kOpenFlags;
        chosen = GetOpenFileNameW(&dialog);
    } else {
        dialog.Flags = kSaveFlags;
        chosen = GetSaveFileNameW(&dialog);
    }
    return IString_Create_Utf16(chosen ? result : L"");
}

} // namespace

void ShowSimpleTips(const wchar_t* text)
{
    ShowSimpleTips(nullptr, text);
}

void ShowSimpleTips(HWND owner, const wchar_t* text)
{
    EngineMessageBox(owner, text != nullptr ? text : L"", L"提示", MB_OK);
}

TIntrusivePointer<IString> ShowOpenFileDialog(HWND owner, const wchar_t* initialFolder, const wchar_t* filter,
                                              const wchar_t* defaultExtension, const wchar_t* initialFileName)
{
    return ShowFileDialog(true, owner, initialFolder, filter, defaultExtension, initialFileName);
}

TIntrusivePointer<IString> ShowSaveFileDialog(HWND owner, const wchar_t* initialFolder, const wchar_t* filter,
                                              const wchar_t* defaultExtension, const wchar_t* initialFileName)
{
    return ShowFileDialog(false, owner, initialFolder, filter, defaultExtension, initialFileName);
}

COLORREF ShowChooseColorDialog(HWND owner, COLORREF initialColor)
{
    COLORREF customColors[16];
    std::fill(customColors, customColors + 16, RGB(255, 255, 255));
    CHOOSECOLORW dialog = {};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner;
    dialog.rgbResult = initialColor;
    dialog.lpCustColors = customColors;
    dialog.Flags = CC_RGBINIT | CC_FULLOPEN;
    return ChooseColorW(&dialog) ? dialog.rgbResult : initialColor;
}

TIntrusivePointer<IString> ShowSelectDirectory()
{
    BROWSEINFOW browse = {};
    browse.lpszTitle = L"请选择路径";
    browse.ulFlags = BIF_NEWDIALOGSTYLE;
    const TScopedCoTaskMem<PIDLIST_ABSOLUTE> chosen(SHBrowseForFolderW(&browse));
    if (!chosen)
        return IString_Create_Utf16(L"");
    wchar_t folder[MAX_PATH] = {};
    if (!SHGetPathFromIDListW(chosen.Get(), folder))
        folder[0] = L'\0';
    return IString_Create_Utf16(folder);
}

} // namespace Common
} // namespace RVGameEngine
