#pragma once

// The engine's one owner of a Windows resource: a handle, key, module, GDI
// object, device context or block of COM task memory. A traits type says what
// "no resource" is and how one is given back:
//
//   struct Traits {
//     using Handle = ...;
//     static Handle Null();                  // the value an empty owner holds
//     static bool IsValid(Handle handle);    // false for every "none" value
//     void Close(Handle handle);             // gives a valid resource back
//   };
//
// Close is a member so that a traits object can carry what the release
// needs (the window a device context was taken from). The owner is movable,
// not copyable, and closes what it holds exactly once.

#include <windows.h>
#include <objbase.h>
#include <ole2.h>

#include <utility>

namespace RVGameEngine {
namespace Common {

template <typename Traits>
class TScopedHandle {
public:
  using Handle = typename Traits::Handle;

  TScopedHandle() : m_handle(Traits::Null()) {}
  explicit TScopedHandle(Handle handle, Traits traits = Traits())
      : m_handle(handle), m_traits(std::move(traits)) {}
  ~TScopedHandle() { Close(); }

  TScopedHandle(const TScopedHandle&) = delete;
  TScopedHandle& operator=(const TScopedHandle&) = delete;

  TScopedHandle(TScopedHandle&& other) noexcept
      : m_handle(other.Release()), m_traits(std::move(other.m_traits)) {}
  TScopedHandle& operator=(TScopedHandle&& other) noexcept {
    if (this != &other) {
      Traits traits = std::move(other.m_traits);
      Reset(other.Release());
      m_traits = std::move(traits);
    }
    return *this;
  }

  bool IsValid() const { return Traits::IsValid(m_handle); }
  explicit operator bool() const { return IsValid(); }
  Handle Get() const { return m_handle; }

  // Takes ownership of `handle`, closing what was held before.
  void Reset(Handle handle = Traits::Null()) {
    if (handle == m_handle) return;
    Handle old = m_handle;
    m_handle = handle;
    if (Traits::IsValid(old)) m_traits.Close(old);
  }

  // Gives up ownership without closing.
  Handle Release() {
    Handle handle = m_handle;
    m_handle = Traits::Null();
    return handle;
  }

  // For functions that write a new handle through a pointer: closes what is
  // held and hands out the slot.
  Handle* Receive() {
    Reset();
    return &m_handle;
  }

  void Close() { Reset(); }

  Traits& GetTraits() { return m_traits; }

private:
  Handle m_handle;
  Traits m_traits;
};

// Kernel objects (files, processes, threads, events, mutexes, snapshots):
// both null and INVALID_HANDLE_VALUE mean "none", since the API reports
// failure with one or the other depending on the call.
struct KernelHandleTraits {
  using Handle = HANDLE;
  static Handle Null() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  void Close(Handle h) { ::CloseHandle(h); }
};

struct FindHandleTraits {
  using Handle = HANDLE;
  static Handle Null() { return INVALID_HANDLE_VALUE; }
  static bool IsValid(Handle h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  void Close(Handle h) { ::FindClose(h); }
};

// Predefined root keys (HKEY_LOCAL_MACHINE, ...) are never closed.
struct RegistryKeyTraits {
  using Handle = HKEY;
  static Handle Null() { return nullptr; }
  static bool IsValid(Handle h) {
    return h != nullptr && (reinterpret_cast<ULONG_PTR>(h) & 0x80000000u) == 0;
  }
  void Close(Handle h) { ::RegCloseKey(h); }
};

struct ModuleTraits {
  using Handle = HMODULE;
  static Handle Null() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  void Close(Handle h) { ::FreeLibrary(h); }
};

template <typename GdiHandle>
struct GdiObjectTraits {
  using Handle = GdiHandle;
  static Handle Null() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  void Close(Handle h) { ::DeleteObject(h); }
};

// A device context made with CreateCompatibleDC or CreateDC.
struct CreatedDcTraits {
  using Handle = HDC;
  static Handle Null() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  void Close(Handle h) { ::DeleteDC(h); }
};

// A device context taken from a window with GetDC / GetWindowDC.
struct WindowDcTraits {
  using Handle = HDC;
  HWND window = nullptr;
  static Handle Null() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  void Close(Handle h) { ::ReleaseDC(window, h); }
};

struct WindowTraits {
  using Handle = HWND;
  static Handle Null() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  void Close(Handle h) { ::DestroyWindow(h); }
};

struct IconTraits {
  using Handle = HICON;
  static Handle Null() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  void Close(Handle h) { ::DestroyIcon(h); }
};

template <typename Pointer>
struct CoTaskMemTraits {
  using Handle = Pointer;
  static Handle Null() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  void Close(Handle h) { ::CoTaskMemFree(h); }
};

using CScopedKernelHandle = TScopedHandle<KernelHandleTraits>;
using CScopedFindHandle = TScopedHandle<FindHandleTraits>;
using CScopedRegistryKey = TScopedHandle<RegistryKeyTraits>;
using CScopedModule = TScopedHandle<ModuleTraits>;
using CScopedBitmap = TScopedHandle<GdiObjectTraits<HBITMAP>>;
using CScopedGdiFont = TScopedHandle<GdiObjectTraits<HFONT>>;
using CScopedBrush = TScopedHandle<GdiObjectTraits<HBRUSH>>;
using CScopedRegion = TScopedHandle<GdiObjectTraits<HRGN>>;
using CScopedCreatedDc = TScopedHandle<CreatedDcTraits>;
using CScopedWindowDc = TScopedHandle<WindowDcTraits>;
using CScopedWindow = TScopedHandle<WindowTraits>;
using CScopedIcon = TScopedHandle<IconTraits>;
template <typename Pointer>
using TScopedCoTaskMem = TScopedHandle<CoTaskMemTraits<Pointer>>;

// A Winsock socket (SOCKET and closesocket come with <windows.h>; a source
// that also needs Winsock 2 includes <winsock2.h> before any engine header).
struct SocketTraits {
  using Handle = SOCKET;
  static Handle Null() { return INVALID_SOCKET; }
  static bool IsValid(Handle h) { return h != INVALID_SOCKET; }
  void Close(Handle h) { ::closesocket(h); }
};

using CScopedSocket = TScopedHandle<SocketTraits>;

// A mouse cursor. Cursors loaded from resources with LoadCursorW are shared by
// the system and must never be destroyed: such an owner is made with
// `shared` set and only forgets its handle.
struct CursorTraits {
  using Handle = HCURSOR;
  bool shared = false;
  static Handle Null() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  void Close(Handle h) {
    if (!shared) ::DestroyCursor(h);
  }
};

using CScopedCursor = TScopedHandle<CursorTraits>;

// A hook set with SetWindowsHookExW.
struct WindowsHookTraits {
  using Handle = HHOOK;
  static Handle Null() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  void Close(Handle h) { ::UnhookWindowsHookEx(h); }
};

using CScopedWindowsHook = TScopedHandle<WindowsHookTraits>;

}  // namespace Common
}  // namespace RVGameEngine

namespace RVGameEngine {
namespace Common {

// A block from GlobalAlloc.
struct GlobalMemoryTraits {
  using Handle = HGLOBAL;
  static Handle Null() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  void Close(Handle h) { ::GlobalFree(h); }
};

using CScopedGlobalMemory = TScopedHandle<GlobalMemoryTraits>;

// One GlobalLock on a block owned elsewhere; closing unlocks it.
struct GlobalLockTraits {
  using Handle = HGLOBAL;
  static Handle Null() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  void Close(Handle h) { ::GlobalUnlock(h); }
};

// The clipboard as opened by this thread: holds OpenClipboard's result.
struct ClipboardTraits {
  using Handle = BOOL;
  static Handle Null() { return FALSE; }
  static bool IsValid(Handle h) { return h != FALSE; }
  void Close(Handle) { ::CloseClipboard(); }
};

using CScopedGlobalLock = TScopedHandle<GlobalLockTraits>;
using CScopedClipboard = TScopedHandle<ClipboardTraits>;

// A device context lent by an owner that wants it back through its own
// ReleaseHDC (a GDI+ graphics, which refuses to draw until it has it back).
template <typename Owner>
struct BorrowedDcTraits {
  using Handle = HDC;
  Owner* owner = nullptr;
  static Handle Null() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  void Close(Handle h) { owner->ReleaseHDC(h); }
};

// What SelectObject pushed out of a device context: put back at the end.
struct SelectionTraits {
  using Handle = HGDIOBJ;
  HDC dc = nullptr;
  static Handle Null() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr && h != HGDI_ERROR; }
  void Close(Handle h) { ::SelectObject(dc, h); }
};

// The background mode SetBkMode replaced: put back at the end.
struct BackgroundModeTraits {
  using Handle = int;
  HDC dc = nullptr;
  static Handle Null() { return 0; }
  static bool IsValid(Handle h) { return h != 0; }
  void Close(Handle h) { ::SetBkMode(dc, h); }
};

// Pixels locked with a GDI+ bitmap's LockBits; the handle is the lock's data
// record, which the owner keeps alive.
template <typename Bitmap, typename BitmapData>
struct LockedBitsTraits {
  using Handle = BitmapData*;
  Bitmap* bitmap = nullptr;
  static Handle Null() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  void Close(Handle h) { bitmap->UnlockBits(h); }
};

// COM and OLE on the calling thread: held from a successful CoInitialize /
// OleInitialize (S_OK or S_FALSE) and given back with the matching call.
struct ComApartmentTraits {
  using Handle = bool;
  static Handle Null() { return false; }
  static bool IsValid(Handle h) { return h; }
  void Close(Handle) { ::CoUninitialize(); }
};

struct OleTraits {
  using Handle = bool;
  static Handle Null() { return false; }
  static bool IsValid(Handle h) { return h; }
  void Close(Handle) { ::OleUninitialize(); }
};

// An automation string from SysAllocString.
struct BstrTraits {
  using Handle = BSTR;
  static Handle Null() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  void Close(Handle h) { ::SysFreeString(h); }
};

// An automation array from SafeArrayCreate*; destroying it clears its elements.
struct SafeArrayTraits {
  using Handle = SAFEARRAY*;
  static Handle Null() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  void Close(Handle h) { ::SafeArrayDestroy(h); }
};

using CScopedSelection = TScopedHandle<SelectionTraits>;
using CScopedBackgroundMode = TScopedHandle<BackgroundModeTraits>;
using CScopedComApartment = TScopedHandle<ComApartmentTraits>;
using CScopedOle = TScopedHandle<OleTraits>;
using CScopedBstr = TScopedHandle<BstrTraits>;
using CScopedSafeArray = TScopedHandle<SafeArrayTraits>;

}  // namespace Common
}  // namespace RVGameEngine
