#include "engine/device/window/CDevice_Win32.h"

#include "engine/common/base/CKeepAlive.h"
#include "engine/common/base/TimeFunctions.h"
#include "engine/common/base/WindowInputFunctions.h"
#include "engine/device/enmDeviceEvent.h"
#include "engine/device/tagCharEventArgs.h"
#include "engine/device/tagDeviceCloseEventArgs.h"
#include "engine/device/tagDeviceClosedEventArgs.h"
#include "engine/device/tagDeviceSetCursorEventArgs.h"
#include "engine/device/tagFocusEventArgs.h"
#include "engine/device/tagKeyEventArgs.h"
#include "engine/device/tagMouseEventArgs.h"
#include "engine/device/tagMouseWheelEventArgs.h"
#include "engine/device/window/CDeviceTickThread.h"
#include "engine/device/window/DeviceCreation.h"
#include "engine/filesystem/ILogFile.h"
#include "engine/scene/CSceneManager2D.h"
#include "engine/scene/CSpriteManager2D.h"
#include "engine/video/CDirect3D8Library.h"
#include "engine/video/CVideoDriver_DirectX81.h"

#include <algorithm>
#include <new>

namespace RVGameEngine {
namespace Device {

namespace {

const wchar_t kWindowClass[] = L"RVGAME";
constexpr UINT kWindowClassStyle = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC | CS_SAVEBITS;
constexpr UINT kDirect3DSdkVersion = 220;

// The device whose window procedure the window class forwards to. Separate
// from the device instance, which may be a device of another kind.
CDevice_Win32* g_windowDevice = nullptr;

void LogError(const wchar_t* text)
{
    FileSystem::ILogFile_GetInstance()->Log(FileSystem::LOG_LEVEL_ERROR, L"Device: %s", text);
}

// Kept to the end of the process: textures cached beyond the device's life
// still hold Direct3D objects of the runtime.
Video::CDirect3D8Library& Direct3DLibrary()
{
    static Video::CDirect3D8Library* library = new Video::CDirect3D8Library();
    return *library;
}

LRESULT CALLBACK DeviceWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CDevice_Win32* device = g_windowDevice;
    if (device == nullptr)
        return DefWindowProcW(window, message, wParam, lParam);
    // A handler may drop the last reference to the device: it lives until
    // its message is done.
    Common::CKeepAlive keepAlive(device);
    return device->HandleMessage(window, message, wParam, lParam);
}

} // namespace

CDevice_Win32::CDevice_Win32(Clock clock)
    : m_clock(clock ? std::move(clock) : Clock([] { return static_cast<uint32_t>(Common::GetTimeMs()); }))
{
    g_windowDevice = this;
    CDeviceTickThread::BeginDevice();
    m_frameStart = m_now = m_clock();
}

CDevice_Win32::~CDevice_Win32()
{
    // Destruction is not a close: the window's going must not end the
    // program's message loop, so its messages no longer reach this device.
    if (g_windowDevice == this)
        g_windowDevice = nullptr;
    CDeviceTickThread::EndDevice();
    m_sceneManager.Reset();
    m_spriteManager.Reset();
    if (!m_audioDriver.IsNull() && Audio::IAudioDriver_GetInstance() == m_audioDriver.Get())
        Audio::SetDeviceAudioDriver(nullptr);
    m_audioDriver.Reset();
    m_videoDriver.Reset();
    m_direct3DDevice.Reset();
    m_direct3D.Reset();
    ReleaseWindow();
}

void CDevice_Win32::ReleaseWindow()
{
    m_deviceContext.Reset();
    if (m_window != nullptr && m_previousWindowProc != nullptr)
        SetWindowLongPtrW(m_window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_previousWindowProc));
    m_ownedWindow.Reset();
    m_window = nullptr;
}

bool CDevice_Win32::Create(tagCreationParams& params)
{
    m_params = params;
    if (!CreateDeviceWindow())
        return false;
    CDeviceTickThread::SetWindow(m_window);
    if (m_params.ParentWindow == nullptr && m_params.CenterOnScreen)
        CenterWindow();
    m_deviceContext.GetTraits().window = m_window;
    m_deviceContext.Reset(GetDC(m_window));
    if (!CreateVideo())
        return false;
    CreateAudio();
    if (!CreateScene())
        return false;
    m_frameStart = m_clock();
    ShowWindow(m_window, SW_SHOWNORMAL);
    SetFocus(m_window);
    return true;
}

bool CDevice_Win32::CreateDeviceWindow()
{
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    if (m_params.ExistingWindow != nullptr) {
        m_window = m_params.ExistingWindow;
        m_previousWindowProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(m_window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&DeviceWindowProc)));
        return true;
    }
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = kWindowClassStyle;
    windowClass.lpfnWndProc = &DeviceWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kWindowClass;
    // A second registration fails harmlessly: the class stays as it was.
    RegisterClassExW(&windowClass);
    const DWORD style = m_params.ParentWindow != nullptr ? WS_CHILD : WS_POPUP;
    m_window = CreateWindowExW(0, kWindowClass, L"", style, m_params.X, m_params.Y, m_params.Width,
                               m_params.Height, m_params.ParentWindow, nullptr, instance, nullptr);
    if (m_window == nullptr) {
        LogError(L"the window cannot be created");
        return false;
    }
    m_ownedWindow.Reset(m_window);
    return true;
}

void CDevice_Win32::CenterWindow()
{
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoW(MonitorFromWindow(m_window, MONITOR_DEFAULTTOPRIMARY), &monitor))
        return;
    const int32_t workWidth = monitor.rcWork.right - monitor.rcWork.left;
    const int32_t workHeight = monitor.rcWork.bottom - monitor.rcWork.top;
    MoveWindow(m_window, (workWidth - m_params.Width) / 2, (workHeight - m_params.Height) / 2, m_params.Width,
               m_params.Height, TRUE);
}

D3DMULTISAMPLE_TYPE CDevice_Win32::ChooseMultiSampleType(int32_t requested,
                                                         const std::function<bool(D3DMULTISAMPLE_TYPE)>& accepted)
{
    int32_t type = requested < 2 ? 0 : std::min(requested, 16);
    while (type >= 1 && !accepted(static_cast<D3DMULTISAMPLE_TYPE>(type)))
        type = type == 2 ? 0 : type - 1;
    return static_cast<D3DMULTISAMPLE_TYPE>(type);
}

bool CDevice_Win32::ReadCapsAndPresentParameters()
{
    if (FAILED(m_direct3D->GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, &m_caps)))
        return false;
    m_nonPow2Textures = (m_caps.TextureCaps & D3DPTEXTURECAPS_POW2) == 0;
    D3DDISPLAYMODE mode{};
    if (FAILED(m_direct3D->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode)))
        return false;
    m_present = D3DPRESENT_PARAMETERS{};
    m_present.BackBufferWidth = static_cast<UINT>(m_params.Width);
    m_present.BackBufferHeight = static_cast<UINT>(m_params.Height);
    m_present.BackBufferFormat = mode.Format;
    m_present.BackBufferCount = 1;
    m_present.SwapEffect = D3DSWAPEFFECT_DISCARD;
    m_present.hDeviceWindow = m_window;
    m_present.Windowed = TRUE;
    m_present.EnableAutoDepthStencil = TRUE;
    m_present.AutoDepthStencilFormat = D3DFMT_D16;
    m_present.MultiSampleType =
        ChooseMultiSampleType(m_params.MultiSampleType, [this, &mode](D3DMULTISAMPLE_TYPE type) {
            return SUCCEEDED(m_direct3D->CheckDeviceMultiSampleType(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, mode.Format,
                                                                    TRUE, type));
        });
    return true;
}

bool CDevice_Win32::CreateVideo()
{
    if (m_params.NoVideo) {
        LogError(L"no video was asked for; a device cannot do without it");
        return false;
    }
    if (!Direct3DLibrary().CreateDirect3D(m_direct3D))
        return false;
    if (!ReadCapsAndPresentParameters()) {
        LogError(L"the adapter's capabilities or display mode cannot be read");
        return false;
    }
    const struct { D3DDEVTYPE type; DWORD processing; } attempts[] = {
        {D3DDEVTYPE_HAL, D3DCREATE_HARDWARE_VERTEXPROCESSING},
        {D3DDEVTYPE_HAL, D3DCREATE_MIXED_VERTEXPROCESSING},
        {D3DDEVTYPE_HAL, D3DCREATE_SOFTWARE_VERTEXPROCESSING},
        {D3DDEVTYPE_REF, D3DCREATE_SOFTWARE_VERTEXPROCESSING},
    };
    bool created = false;
    for (const auto& attempt : attempts) {
        D3DPRESENT_PARAMETERS present = m_present;
        if (SUCCEEDED(m_direct3D->CreateDevice(D3DADAPTER_DEFAULT, attempt.type, m_window, attempt.processing,
                                               &present, m_direct3DDevice.Receive()))) {
            created = true;
            break;
        }
    }
    if (!created) {
        LogError(L"Direct3D accepts none of the device types");
        return false;
    }
    m_videoDriver = Common::TIntrusivePointer<Video::IVideoDriver>(
        new (std::nothrow) Video::CVideoDriver_DirectX81(m_params, this, m_direct3DDevice.Get()));
    if (m_videoDriver.IsNull())
        return false;
    m_videoDriver->ResetStates();
    return true;
}

void CDevice_Win32::CreateAudio()
{
    if (m_params.NoAudio)
        return;
    // A game runs without sound when the sound device cannot be had.
    m_audioDriver = Common::TIntrusivePointer<Audio::IAudioDriver>(Audio::IAudioDriver_DirectX_Create());
    if (m_audioDriver.IsNull())
        return;
    Audio::SetDeviceAudioDriver(m_audioDriver.Get());
    m_audioDriver->Initialize(m_window);
}

bool CDevice_Win32::CreateScene()
{
    m_spriteManager = Common::TIntrusivePointer<Scene::ISpriteManager2D>(new (std::nothrow) Scene::CSpriteManager2D());
    if (m_spriteManager.IsNull() || !m_spriteManager->Initialize())
        return false;
    m_sceneManager = Common::TIntrusivePointer<Scene::ISceneManager2D>(new (std::nothrow) Scene::CSceneManager2D());
    return !m_sceneManager.IsNull() && m_sceneManager->Initialize();
}

void CDevice_Win32::SetTitle(const wchar_t* title)
{
    SetWindowTextW(m_window, title != nullptr ? title : L"");
}

bool CDevice_Win32::ProcessMessages()
{
    // A handler may drop the last reference to the device: the pump still
    // updates its frame timer.
    Common::CKeepAlive keepAlive(this);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
        if (message.message == WM_QUIT)
            return false;
    }
    UpdateFrameTimer();
    return true;
}

void CDevice_Win32::UpdateFrameTimer()
{
    m_now = m_clock();
    m_frameTime = m_now - m_frameStart;
    if (m_now - m_fpsWindowStart >= 1000) {
        m_fps = m_frameCounter;
        m_frameCounter = 0;
        m_fpsWindowStart = m_now;
    }
    ++m_frameCounter;
}

void CDevice_Win32::Sleep(uint32_t milliseconds)
{
    ::Sleep(milliseconds);
}

void CDevice_Win32::Present()
{
    if (!m_params.NoVideo && m_direct3DDevice)
        m_direct3DDevice->Present(nullptr, nullptr, nullptr, nullptr);
    m_frameStart = m_now;
}

bool CDevice_Win32::IsKeyDown(int virtualKey)
{
    return (GetAsyncKeyState(virtualKey) & 0x8000) != 0;
}

void CDevice_Win32::SetCursorPosition(int x, int y)
{
    if (!m_active)
        return;
    POINT point{x, y};
    ClientToScreen(m_window, &point);
    SetCursorPos(point.x, point.y);
}

void CDevice_Win32::GetCursorPosition(int& x, int& y)
{
    POINT point{};
    GetCursorPos(&point);
    ScreenToClient(m_window, &point);
    x = point.x;
    y = point.y;
}

bool CDevice_Win32::ResetDevice()
{
    if (m_params.NoVideo)
        return true;
    if (!m_direct3D || !m_direct3DDevice)
        return false;
    if (!ReadCapsAndPresentParameters())
        return false;
    D3DPRESENT_PARAMETERS present = m_present;
    if (FAILED(m_direct3DDevice->Reset(&present)))
        return false;
    if (!m_videoDriver.IsNull())
        m_videoDriver->ResetStates();
    return true;
}

HANDLE CDevice_Win32::StartTickThread()
{
    return CDeviceTickThread::Start();
}

void CDevice_Win32::OnTick()
{
    m_now = m_clock();
    m_frameTime = m_now - m_frameStart;
    Common::tagEventArgs args;
    Fire(DEVICE_EVENT_TICK, this, &args);
    m_frameStart = m_now;
}

void CDevice_Win32::OnInput(const Common::tagWindowInput& input)
{
    // Focus changes are not input: they come also while input is locked.
    if (input.kind == Common::WINDOW_INPUT_SET_FOCUS || input.kind == Common::WINDOW_INPUT_KILL_FOCUS) {
        tagFocusEventArgs args;
        Fire(input.kind == Common::WINDOW_INPUT_SET_FOCUS ? DEVICE_EVENT_SET_FOCUS : DEVICE_EVENT_KILL_FOCUS, this,
             &args);
        return;
    }
    if (m_inputLocked)
        return;
    switch (input.kind) {
    case Common::WINDOW_INPUT_KEY_DOWN:
    case Common::WINDOW_INPUT_KEY_UP: {
        tagKeyEventArgs args;
        args.Key = input.key;
        Fire(input.kind == Common::WINDOW_INPUT_KEY_DOWN ? DEVICE_EVENT_KEY_DOWN : DEVICE_EVENT_KEY_UP, this, &args);
        break;
    }
    case Common::WINDOW_INPUT_CHAR: {
        tagCharEventArgs args;
        args.Character = input.character;
        Fire(DEVICE_EVENT_CHAR, this, &args);
        break;
    }
    case Common::WINDOW_INPUT_MOUSE_WHEEL: {
        tagMouseWheelEventArgs args;
        args.Delta = input.wheelSteps;
        Fire(DEVICE_EVENT_MOUSE_WHEEL, this, &args);
        break;
    }
    default:
        FireMouse(input);
        break;
    }
}

void CDevice_Win32::FireMouse(const Common::tagWindowInput& input)
{
    // A release is a click first; a double click is also a press.
    static const Common::tagWindowInputEvents kMouseEvents[] = {
        {Common::WINDOW_INPUT_MOUSE_MOVE, DEVICE_EVENT_MOUSE_MOVE, -1},
        {Common::WINDOW_INPUT_LBUTTON_DOWN, DEVICE_EVENT_LBUTTON_DOWN, -1},
        {Common::WINDOW_INPUT_LBUTTON_UP, DEVICE_EVENT_LBUTTON_CLICK, DEVICE_EVENT_LBUTTON_UP},
        {Common::WINDOW_INPUT_LBUTTON_DBLCLK, DEVICE_EVENT_LBUTTON_DBLCLK, DEVICE_EVENT_LBUTTON_DOWN},
        {Common::WINDOW_INPUT_RBUTTON_DOWN, DEVICE_EVENT_RBUTTON_DOWN, -1},
        {Common::WINDOW_INPUT_RBUTTON_UP, DEVICE_EVENT_RBUTTON_UP, -1},
        {Common::WINDOW_INPUT_RBUTTON_DBLCLK, DEVICE_EVENT_RBUTTON_DBLCLK, DEVICE_EVENT_RBUTTON_DOWN},
    };
    const Common::tagWindowInputEvents* events = Common::FindWindowInputEvents(kMouseEvents, input.kind);
    if (events == nullptr)
        return;
    // Both events get the one record.
    tagMouseEventArgs args;
    args.X = input.x;
    args.Y = input.y;
    Fire(events->first, this, &args);
    if (events->second >= 0)
        Fire(events->second, this, &args);
}

LRESULT CDevice_Win32::OnSetCursor(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!m_systemCursorVisible && LOWORD(lParam) == HTCLIENT) {
        SetCursor(nullptr);
        return 0;
    }
    tagDeviceSetCursorEventArgs args;
    GetCursorPosition(args.X, args.Y);
    Fire(DEVICE_EVENT_DEVICE_SET_CURSOR, this, &args);
    if (!args.Handled)
        return DefWindowProcW(window, message, wParam, lParam);
    if (!args.Cursor.IsNull())
        args.Cursor->Apply();
    else
        SetCursor(nullptr);
    return 0;
}

LRESULT CDevice_Win32::OnClose()
{
    const HWND owner = reinterpret_cast<HWND>(GetWindowLongPtrW(m_window, GWLP_HWNDPARENT));
    if (owner != nullptr) {
        SendMessageW(owner, WM_CLOSE, 0, 0);
        return 0;
    }
    tagDeviceCloseEventArgs close;
    Fire(DEVICE_EVENT_DEVICE_CLOSE, this, &close);
    if (close.Cancel)
        return 0;
    tagDeviceClosedEventArgs closed;
    Fire(DEVICE_EVENT_DEVICE_CLOSED, this, &closed);
    DestroyWindow(m_window);
    return 0;
}

void CDevice_Win32::OnWindowDestroyed()
{
    CDeviceTickThread::SetWindow(nullptr);
    m_deviceContext.Reset();
    m_ownedWindow.Release();
    m_previousWindowProc = nullptr;
    m_window = nullptr;
}

LRESULT CDevice_Win32::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const Common::tagWindowInput input = Common::ReadWindowInput(message, wParam, lParam);
    if (input.kind != Common::WINDOW_INPUT_NONE) {
        OnInput(input);
        return DefWindowProcW(window, message, wParam, lParam);
    }
    switch (message) {
    case WM_ACTIVATE:
        m_active = LOWORD(wParam) != 0;
        break;
    case WM_DESTROY:
        PostQuitMessage(0);
        break;
    case WM_NCDESTROY:
        if (window == m_window)
            OnWindowDestroyed();
        break;
    case WM_PAINT:
        // Drawing happens only in the frame loop.
        ValidateRect(window, nullptr);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_CLOSE:
        return OnClose();
    case WM_SETCURSOR:
        return OnSetCursor(window, message, wParam, lParam);
    case CDeviceTickThread::kTickMessage:
        OnTick();
        break;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

IDevice* IDevice_Create(tagCreationParams& params)
{
    if (IDevice_GetInstance() != nullptr) {
        LogError(L"a device already exists; a second one is refused");
        return nullptr;
    }
    CDevice_Win32* device = new (std::nothrow) CDevice_Win32();
    if (device == nullptr)
        return nullptr;
    if (!device->Create(params)) {
        delete device;
        return nullptr;
    }
    return device;
}

} // namespace Device
} // namespace RVGameEngine
