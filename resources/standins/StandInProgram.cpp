// Stand-in for one of the game's programs (updater, repair tool,
// uninstaller) in the sample game package and in the installer's tests.
//
// On start it appends its command line to "<own path>.started". Options:
//   --wait           stays running (at most a minute) until it is ended
//   --window=<title> also shows a frame window of the game's class with that
//                    title, as the game's updater does

#include <windows.h>

#include <string>

namespace {

constexpr DWORD kLongestStayMs = 60000;

void RecordStart()
{
    wchar_t path[MAX_PATH + 16] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    const std::wstring record = std::wstring(path) + L".started";
    HANDLE file = CreateFileW(record.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    const std::wstring line = std::wstring(GetCommandLineW()) + L"\r\n";
    DWORD written = 0;
    WriteFile(file, line.c_str(), static_cast<DWORD>(line.size() * sizeof(wchar_t)), &written, nullptr);
    CloseHandle(file);
}

void ShowFrameWindow(const std::wstring& title)
{
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"RVFRAME";
    RegisterClassW(&windowClass);
    CreateWindowExW(0, L"RVFRAME", title.c_str(), WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                    windowClass.hInstance, nullptr);
}

void StayUntilEnded()
{
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < kLongestStayMs) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
        Sleep(10);
    }
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int)
{
    RecordStart();
    const std::wstring options = commandLine;
    const size_t window = options.find(L"--window=");
    if (window != std::wstring::npos)
        ShowFrameWindow(options.substr(window + 9));
    if (window != std::wstring::npos || options.find(L"--wait") != std::wstring::npos)
        StayUntilEnded();
    return 0;
}
