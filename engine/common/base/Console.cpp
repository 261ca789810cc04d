#include "engine/common/base/Console.h"

#include "engine/common/base/EngineMessageBox.h"
#include "engine/common/base/TextCodec.h"
#include "engine/common/base/IEngineLog.h"

#include <windows.h>

#include <clocale>
#include <cstdarg>
#include <cstdio>
#include <cwchar>
#include <string>

namespace RVGameEngine {
namespace Common {

namespace {

constexpr WORD kAttributeNormal = 7;
constexpr WORD kAttributeWarning = 14;
constexpr WORD kAttributeError = 12;

// Bounded formatting: output longer than the buffer is cut, never refused.
std::wstring FormatBounded(const wchar_t* format, va_list args)
{
    if (format == nullptr)
        return std::wstring();
    std::wstring buffer(kFormattedTextUnits, L'\0');
    _vsnwprintf(&buffer[0], kFormattedTextUnits - 1, format, args);
    buffer[kFormattedTextUnits - 1] = L'\0';
    buffer.resize(std::wcslen(buffer.c_str()));
    return buffer;
}

HANDLE StandardOutput()
{
    HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    return output == INVALID_HANDLE_VALUE ? nullptr : output;
}

void PrintInColour(WORD attribute, const wchar_t* format, va_list args)
{
    const std::wstring text = FormatBounded(format, args);
    HANDLE output = StandardOutput();
    const bool coloured = output != nullptr && SetConsoleTextAttribute(output, attribute);
    PrintUnicodeString(text.c_str());
    if (coloured)
        SetConsoleTextAttribute(output, kAttributeNormal);
}

// The text goes in as it stands: through "%s", so that a '%' in it is not
// read as a format again.
void WriteWarningToLog(const std::wstring& text)
{
    EngineLog(ENGINE_LOG_ERROR, L"%s", text.c_str());
}

} // namespace

void CreateConsole()
{
    if (!AllocConsole())
        return;
    // The runtime's streams were bound to no console at start-up.
    if (std::freopen("CONIN$", "r+t", stdin) == nullptr)
        return;
    if (std::freopen("CONOUT$", "w+t", stdout) == nullptr)
        return;
    std::setlocale(LC_ALL, "chs");
}

void HideConsole()
{
    HWND window = GetConsoleWindow();
    if (window != nullptr)
        ShowWindow(window, SW_HIDE);
}

void ShowConsole()
{
    HWND window = GetConsoleWindow();
    if (window != nullptr)
        ShowWindow(window, SW_SHOW);
    else
        CreateConsole();
}

bool IsConsoleVisible()
{
    HWND window = GetConsoleWindow();
    return window != nullptr && IsWindowVisible(window);
}

void ToggleConsoleVisibility()
{
    if (IsConsoleVisible())
        HideConsole();
    else
        ShowConsole();
}

void PrintUnicodeString(const wchar_t* text)
{
    HANDLE output = StandardOutput();
    if (output == nullptr || text == nullptr || *text == L'\0')
        return;
    const DWORD length = static_cast<DWORD>(std::wcslen(text));
    DWORD written = 0;
    if (WriteConsoleW(output, text, length, &written, nullptr))
        return;
    const std::string bytes = WideToNarrow(kCodePageUtf8, text);
    WriteFile(output, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

void PrintUnicodeStringFormated(const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    const std::wstring text = FormatBounded(format, args);
    va_end(args);
    PrintUnicodeString(text.c_str());
}

void PrintUnicodeStringFormated_Warning(const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    PrintInColour(kAttributeWarning, format, args);
    va_end(args);
}

void PrintUnicodeStringFormated_Error(const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    PrintInColour(kAttributeError, format, args);
    va_end(args);
}

void ShowEngineDebuggingWarningMessage(const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    const std::wstring text = FormatBounded(format, args);
    va_end(args);
    WriteWarningToLog(text);
    ShowEngineWarningBox(text.c_str());
}

void WaitForAnyKey()
{
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    DWORD mode = 0;
    if (input == nullptr || input == INVALID_HANDLE_VALUE || !GetConsoleMode(input, &mode))
        return;
    SetConsoleMode(input, mode & ~static_cast<DWORD>(ENABLE_ECHO_INPUT | ENABLE_LINE_INPUT));
    for (;;) {
        INPUT_RECORD record = {};
        DWORD read = 0;
        if (!ReadConsoleInputW(input, &record, 1, &read) || read == 0)
            break;
        if (record.EventType == KEY_EVENT && record.Event.KeyEvent.bKeyDown)
            break;
    }
    SetConsoleMode(input, mode);
}

} // namespace Common
} // namespace RVGameEngine
