#pragma once

#include <windows.h>
#include <objidl.h>

#include "engine/webui/CComObjectCount.h"

namespace RVGameEngine {
namespace WebUI {

// The stub storage the browser object is made with: it keeps nothing. The
// object may keep it past its making (InitNew hands it over), so it lives as
// long as anyone holds it; it starts with its maker's reference.
class CWBStorage final : public IStorage, private CComObjectCount
{
public:
    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return AddComReference(); }
    ULONG STDMETHODCALLTYPE Release() override { return ReleaseComReference(); }

    // IStorage
    HRESULT STDMETHODCALLTYPE CreateStream(const OLECHAR*, DWORD, DWORD, DWORD, IStream**) override;
    HRESULT STDMETHODCALLTYPE OpenStream(const OLECHAR*, void*, DWORD, DWORD, IStream**) override;
    HRESULT STDMETHODCALLTYPE CreateStorage(const OLECHAR*, DWORD, DWORD, DWORD, IStorage**) override;
    HRESULT STDMETHODCALLTYPE OpenStorage(const OLECHAR*, IStorage*, DWORD, SNB, DWORD, IStorage**) override;
    HRESULT STDMETHODCALLTYPE CopyTo(DWORD, const IID*, SNB, IStorage*) override;
    HRESULT STDMETHODCALLTYPE MoveElementTo(const OLECHAR*, IStorage*, const OLECHAR*, DWORD) override;
    HRESULT STDMETHODCALLTYPE Commit(DWORD) override;
    HRESULT STDMETHODCALLTYPE Revert() override;
    HRESULT STDMETHODCALLTYPE EnumElements(DWORD, void*, DWORD, IEnumSTATSTG**) override;
    HRESULT STDMETHODCALLTYPE DestroyElement(const OLECHAR*) override;
    HRESULT STDMETHODCALLTYPE RenameElement(const OLECHAR*, const OLECHAR*) override;
    HRESULT STDMETHODCALLTYPE SetElementTimes(const OLECHAR*, const FILETIME*, const FILETIME*,
                                              const FILETIME*) override;
    HRESULT STDMETHODCALLTYPE SetClass(REFCLSID) override;
    HRESULT STDMETHODCALLTYPE SetStateBits(DWORD, DWORD) override;
    HRESULT STDMETHODCALLTYPE Stat(STATSTG*, DWORD) override;

private:
    ~CWBStorage() override = default;
};

} // namespace WebUI
} // namespace RVGameEngine
